#include "forms/EditMask.h"

#include "app/util/Encoding.h"

EditMask::EditMask(const QString& mask) : source_(mask) {
    // Split into the mask itself, the save-literals flag and the blank character. A ";" right
    // after "\" belongs to the mask.
    QString body;
    QStringList tail;
    int i = 0;
    for (; i < mask.size(); ++i) {
        if (mask[i] == u'\\' && i + 1 < mask.size()) {
            body += mask[i];
            body += mask[++i];
            continue;
        }
        if (mask[i] == u';') break;
        body += mask[i];
    }
    if (i < mask.size()) tail = mask.mid(i + 1).split(u';');
    if (tail.size() >= 1 && !tail[0].isEmpty()) saveLiterals_ = tail[0] != QStringLiteral("0");
    if (tail.size() >= 2 && !tail[1].isEmpty()) blank_ = tail[1][0];

    int caseMode = 0;
    for (int k = 0; k < body.size(); ++k) {
        QChar c = body[k];
        Position p;
        switch (c.unicode()) {
        case u'!': reverse_ = true; continue;
        case u'>':
            if (k + 1 < body.size() && body[k + 1] == u'<') { caseMode = 0; ++k; }
            else caseMode = 1;
            continue;
        case u'<': caseMode = -1; continue;
        case u'\\':
            if (k + 1 < body.size()) c = body[++k];
            p.literal = c;
            break;
        case u'L': p.cls = CharClass::Letter; p.required = true; break;
        case u'l': p.cls = CharClass::Letter; break;
        case u'A': p.cls = CharClass::AlphaNumeric; p.required = true; break;
        case u'a': p.cls = CharClass::AlphaNumeric; break;
        case u'C': p.cls = CharClass::Any; p.required = true; break;
        case u'c': p.cls = CharClass::Any; break;
        case u'0': p.cls = CharClass::Digit; p.required = true; break;
        case u'9': p.cls = CharClass::Digit; break;
        case u'#': p.cls = CharClass::DigitOrSign; break;
        default: p.literal = c; break;
        }
        p.caseMode = caseMode;
        positions_.append(p);
    }
}

QChar EditMask::normalise(int pos, QChar ch) const {
    if (pos < 0 || pos >= positions_.size()) return ch;
    const Position& p = positions_[pos];
    if (p.caseMode > 0) return UpperCase1250(QString(ch))[0];
    if (p.caseMode < 0) return LowerCase1250(QString(ch))[0];
    return ch;
}

bool EditMask::accepts(int pos, QChar ch) const {
    if (pos < 0 || pos >= positions_.size()) return false;
    switch (positions_[pos].cls) {
    case CharClass::Literal: return false;
    case CharClass::Digit: return ch.isDigit();
    case CharClass::DigitOrSign: return ch.isDigit() || ch == u'+' || ch == u'-';
    case CharClass::Letter: return ch.isLetter();
    case CharClass::AlphaNumeric: return ch.isLetterOrNumber();
    case CharClass::Any: return ch.isPrint();
    }
    return false;
}

QString EditMask::editFromText(const QString& value) const {
    QString edit;
    edit.reserve(positions_.size());
    auto put = [&](int pos, QChar ch) {
        if (ch == blank_) ch = u' ';
        return normalise(pos, ch);
    };
    if (saveLiterals_) {
        // The stored text carries the literals, so it lines up with the mask position by position.
        // Stored texts are trimmed when a document is loaded ("  -   " comes back as "-"), so find
        // the first shift at which the literals fall into place again.
        int offset = 0;
        for (int shift = 0; shift + value.size() <= positions_.size(); ++shift) {
            bool fits = true;
            for (int j = 0; j < value.size() && fits; ++j) {
                const Position& p = positions_[shift + j];
                QChar ch = value[j];
                if (p.cls == CharClass::Literal) fits = ch == p.literal;
                else fits = ch == u' ' || ch == blank_ || accepts(shift + j, ch);
            }
            if (fits) {
                offset = shift;
                break;
            }
        }
        for (int pos = 0; pos < positions_.size(); ++pos) {
            const Position& p = positions_[pos];
            int j = pos - offset;
            if (p.cls == CharClass::Literal) edit += p.literal;
            else edit += j >= 0 && j < value.size() ? put(pos, value[j]) : QChar(u' ');
        }
        return edit;
    }
    // Without literals the characters fill the input positions in turn (right-aligned with "!").
    int inputs = 0;
    for (const Position& p : positions_)
        if (p.cls != CharClass::Literal) ++inputs;
    int skip = reverse_ ? qMax(0, inputs - int(value.size())) : 0;
    int next = 0, seen = 0;
    for (int pos = 0; pos < positions_.size(); ++pos) {
        const Position& p = positions_[pos];
        if (p.cls == CharClass::Literal) {
            edit += p.literal;
            continue;
        }
        if (seen++ < skip) edit += u' ';
        else edit += next < value.size() ? put(pos, value[next++]) : QChar(u' ');
    }
    return edit;
}

QString EditMask::textFromEdit(const QString& edit) const {
    if (saveLiterals_) {
        QString out;
        for (int pos = 0; pos < positions_.size(); ++pos) {
            const Position& p = positions_[pos];
            out += p.cls == CharClass::Literal ? p.literal : (pos < edit.size() ? edit[pos] : QChar(u' '));
        }
        return out;
    }
    QString out;
    for (int pos = 0; pos < positions_.size() && pos < edit.size(); ++pos)
        if (positions_[pos].cls != CharClass::Literal) out += edit[pos];
    // Unfilled optional positions are dropped from the free end.
    if (reverse_) {
        int k = 0;
        while (k < out.size() && out[k] == u' ') ++k;
        out = out.mid(k);
    } else {
        int k = out.size();
        while (k > 0 && out[k - 1] == u' ') --k;
        out.truncate(k);
    }
    return out;
}

QString EditMask::displayFromEdit(const QString& edit) const {
    QString out = edit;
    for (int pos = 0; pos < positions_.size() && pos < out.size(); ++pos)
        if (positions_[pos].cls != CharClass::Literal && out[pos] == u' ') out[pos] = blank_;
    return out;
}
