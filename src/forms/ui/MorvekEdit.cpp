#include "forms/ui/MorvekEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "app/util/Encoding.h"

TMorvekEdit::TMorvekEdit(QWidget* parent) : TMorvekEditBase(parent) {
    connect(this, &QLineEdit::textEdited, this, &TMorvekEdit::onPlainEdited);
    connect(this, &QLineEdit::cursorPositionChanged, this, &TMorvekEdit::keepCaretOffLiterals);
}

void TMorvekEdit::setEditMask(const QString& mask) {
    mask_ = mask.isEmpty() ? EditMask() : EditMask(mask);
    // Edits outside our key handling (context menu, drops) would bypass the mask.
    setContextMenuPolicy(isMasked() ? Qt::NoContextMenu : Qt::DefaultContextMenu);
    setAcceptDrops(!isMasked());
    if (isMasked()) {
        buffer_ = mask_.editFromText(QString());
        showBuffer(0);
    }
}

QString TMorvekEdit::editBuffer() const {
    return isMasked() ? buffer_ : text();
}

void TMorvekEdit::setEditBuffer(const QString& buffer) {
    if (!isMasked()) {
        setPlainText(buffer);
        return;
    }
    const int n = int(mask_.positions().size());
    QString b = buffer.left(n);
    while (b.size() < n)
        b += u' ';
    buffer_ = b;
    showBuffer(cursorPosition());
}

QString TMorvekEdit::storedText() const {
    return isMasked() ? mask_.textFromEdit(buffer_) : text();
}

void TMorvekEdit::setPlainText(const QString& t) {
    if (t == text()) return;
    const int c = cursorPosition();
    setText(t);
    setCursorPosition(qMin(c, int(t.size())));
}

void TMorvekEdit::onPlainEdited(const QString& t) {
    if (isMasked()) return;
    if (upper_) {
        const QString u = UpperCase1250(t);
        if (u != t) setPlainText(u);
    }
    emit bufferEdited(text());
}

int TMorvekEdit::firstInput() const {
    const int p = nextInput(0);
    return p < 0 ? 0 : p;
}

int TMorvekEdit::nextInput(int pos) const {
    const auto& ps = mask_.positions();
    for (int p = qMax(0, pos); p < ps.size(); ++p)
        if (ps[p].cls != EditMask::CharClass::Literal) return p;
    return -1;
}

int TMorvekEdit::previousInput(int pos) const {
    const auto& ps = mask_.positions();
    for (int p = qMin(pos, int(ps.size())) - 1; p >= 0; --p)
        if (ps[p].cls != EditMask::CharClass::Literal) return p;
    return -1;
}

void TMorvekEdit::showBuffer(int cursor) {
    adjustingCaret_ = true;
    setText(mask_.displayFromEdit(buffer_));
    setCursorPosition(qBound(0, cursor, int(buffer_.size())));
    adjustingCaret_ = false;
}

void TMorvekEdit::keepCaretOffLiterals(int oldPos, int newPos) {
    if (adjustingCaret_ || !isMasked() || hasSelectedText()) return;
    const auto& ps = mask_.positions();
    if (newPos < 0 || newPos >= ps.size() || ps[newPos].cls != EditMask::CharClass::Literal) return;
    int target = newPos >= oldPos ? nextInput(newPos) : previousInput(newPos);
    if (target < 0) target = newPos >= oldPos ? previousInput(newPos) : nextInput(newPos);
    if (target < 0) return;
    adjustingCaret_ = true;
    setCursorPosition(target);
    adjustingCaret_ = false;
}

void TMorvekEdit::clearRange(int from, int to) {
    const auto& ps = mask_.positions();
    for (int p = qMax(0, from); p < to && p < ps.size(); ++p)
        if (ps[p].cls != EditMask::CharClass::Literal) buffer_[p] = u' ';
}

bool TMorvekEdit::typeChar(QChar ch) {
    const auto& ps = mask_.positions();
    int lead = 0;
    while (lead < ps.size() && ps[lead].cls == EditMask::CharClass::Literal) ++lead;
    const bool empty = mask_.textFromEdit(buffer_) == mask_.textFromEdit(mask_.editFromText(QString()));
    if (lead > 0 && empty && !hasSelectedText() && cursorPosition() <= firstInput()) {
        if (prefixPending_.size() < lead && ch == ps[prefixPending_.size()].literal) {
            prefixPending_ += ch;
            return true;
        }
        // More typed after the whole prefix: the prefix was the literals ("2022" is the year 2022);
        // left alone, it stays digits ("20" is 2020).
        if (prefixPending_.size() == lead) prefixPending_.clear();
    }
    flushPrefix();
    return typeInput(ch);
}

void TMorvekEdit::flushPrefix() {
    const QString pending = prefixPending_;
    prefixPending_.clear();
    for (QChar c : pending) typeInput(c);
}

bool TMorvekEdit::typeInput(QChar ch) {
    const auto& ps = mask_.positions();
    const int n = int(ps.size());
    int pos = cursorPosition();
    bool cleared = false;
    if (hasSelectedText()) {
        pos = selectionStart();
        clearRange(pos, pos + selectionLength());
        cleared = true;
    }
    const int p = nextInput(pos);
    if (p >= 0 && mask_.accepts(p, ch)) {
        QChar c = mask_.normalise(p, ch);
        if (upper_) c = UpperCase1250(QString(c))[0];
        buffer_[p] = c;
        const int next = nextInput(p + 1);
        showBuffer(next < 0 ? n : next);
        emit bufferEdited(buffer_);
        return true;
    }
    // A typed literal: the caret has just passed it, or it jumps past the next one.
    int target = -1;
    if (p == pos && pos > 0 && ps[pos - 1].cls == EditMask::CharClass::Literal && ps[pos - 1].literal == ch) {
        target = pos;
    } else {
        for (int q = pos; q < n && target < 0; ++q)
            if (ps[q].cls == EditMask::CharClass::Literal && ps[q].literal == ch) {
                const int next = nextInput(q + 1);
                target = next < 0 ? n : next;
            }
    }
    if (target >= 0 || cleared) showBuffer(target >= 0 ? target : pos);
    if (cleared) emit bufferEdited(buffer_);
    return target >= 0;
}

void TMorvekEdit::pasteText(const QString& t) {
    if (hasSelectedText()) {
        const int s = selectionStart();
        clearRange(s, s + selectionLength());
        showBuffer(s);
        emit bufferEdited(buffer_);
    }
    for (QChar ch : t)
        typeChar(ch); // what the mask refuses is dropped
}

void TMorvekEdit::keyPressEvent(QKeyEvent* e) {
    if (!isMasked() || isReadOnly()) {
        TMorvekEditBase::keyPressEvent(e);
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        pasteText(QApplication::clipboard()->text());
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        if (hasSelectedText()) {
            copy();
            const int s = selectionStart();
            clearRange(s, s + selectionLength());
            showBuffer(s);
            emit bufferEdited(buffer_);
        }
        return;
    }
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::SelectAll)) {
        TMorvekEditBase::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Backspace && !prefixPending_.isEmpty()) {
        prefixPending_.chop(1);
        return;
    }
    if (e->text().isEmpty() || !e->text()[0].isPrint()) flushPrefix();
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        TMorvekEditBase::keyPressEvent(e);
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete: {
        int pos = cursorPosition();
        if (hasSelectedText()) {
            pos = selectionStart();
            clearRange(pos, pos + selectionLength());
        } else {
            const int p = e->key() == Qt::Key_Backspace ? previousInput(pos) : nextInput(pos);
            if (p < 0) return;
            buffer_[p] = u' ';
            pos = p;
        }
        showBuffer(pos);
        emit bufferEdited(buffer_);
        return;
    }
    default:
        break;
    }
    const QString t = e->text();
    if (!t.isEmpty() && t[0].isPrint() &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        for (QChar ch : t)
            if (!typeChar(ch)) QApplication::beep();
        return;
    }
    // Everything else (Enter, Esc, Tab, function keys, shortcuts) is for the window; edits that
    // bypass the mask (undo, word deletion) are not offered.
    e->ignore();
}

void TMorvekEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (!isMasked()) {
        TMorvekEditBase::inputMethodEvent(e);
        return;
    }
    for (QChar ch : e->commitString())
        typeChar(ch);
    e->accept();
}

void TMorvekEdit::focusInEvent(QFocusEvent* e) {
    TMorvekEditBase::focusInEvent(e);
    if (cursorToStart_) {
        deselect();
        setCursorPosition(isMasked() ? firstInput() : 0);
        caretToStartOnClick_ = true;
    }
}

void TMorvekEdit::focusOutEvent(QFocusEvent* e) {
    flushPrefix();
    TMorvekEditBase::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason) caretToStartOnClick_ = false;
}

void TMorvekEdit::mousePressEvent(QMouseEvent* e) {
    TMorvekEditBase::mousePressEvent(e);
    if (caretToStartOnClick_) {
        caretToStartOnClick_ = false;
        deselect();
        setCursorPosition(isMasked() ? firstInput() : 0);
    }
}
