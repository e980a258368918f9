#include "app/util/Splitters.h"

#include "app/util/Texts.h"

namespace {

// The integer value of a whole field as the program reads one (blanks may lead, a sign may
// stand first); false when it is not an integer in the 32-bit range.
bool ReadInteger(const QString& text, int& value) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return false;
    value = int(v);
    return true;
}

} // namespace

void TTCL::Split(const QString& line, const QString& delimiter) {
    fields_.clear();
    QString rest = line;
    if (!delimiter.isEmpty()) {
        qsizetype at;
        while ((at = rest.indexOf(delimiter)) >= 0) {
            fields_.append(rest.left(at));
            rest.remove(0, at + delimiter.size());
        }
    }
    if (!line.isEmpty()) fields_.append(rest);
}

QString TTCL::Field(int i) const {
    if (i < 1 || i > fields_.size()) return QString();
    return fields_[i - 1];
}

int TTCL::FieldAsInteger(int i) const {
    int value = 0;
    return ReadInteger(Field(i), value) ? value : 0;
}

void TStringSplitter::SetText(const QString& text) {
    fields_.clear();
    QString rest = trim ? TrimBlanks(text) : text;
    bool endsWithDelimiter = false;
    if (!delimiter_.isEmpty()) {
        qsizetype at;
        while ((at = rest.indexOf(delimiter_)) >= 0) {
            const QString field = rest.left(at);
            fields_.append(trim ? TrimBlanks(field) : field);
            rest.remove(0, at + delimiter_.size());
            endsWithDelimiter = rest.isEmpty();
        }
    }
    const QString last = trim ? TrimBlanks(rest) : rest;
    if (!last.isEmpty() || endsWithDelimiter) fields_.append(last);
}

QString TStringSplitter::GetText() const {
    QString out;
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        if (i > 0) out += delimiter_;
        out += trim ? TrimBlanks(fields_[i]) : fields_[i];
    }
    return out;
}

QString TStringSplitter::Field(int i) const {
    if (i < 0 || i >= fields_.size()) return QString();
    return fields_[i];
}
