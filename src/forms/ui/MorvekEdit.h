#pragma once
// The single-line text field of the forms, with an optional edit mask. Masked typing fills the
// input positions one after another, skips the literals, and never leaves the caret on a literal;
// the field's content is its edit buffer (one character per mask position, blanks unfilled).
#include "forms/EditMask.h"
#include "forms/ui/MorvekEditBase.h"

class TMorvekEdit : public TMorvekEditBase {
    Q_OBJECT
    Q_PROPERTY(bool CursorToStart READ cursorToStart WRITE setCursorToStart)

public:
    explicit TMorvekEdit(QWidget* parent = nullptr);

    void setEditMask(const QString& mask);
    const EditMask& editMask() const { return mask_; }
    bool isMasked() const { return !mask_.isEmpty(); }
    // Typed and pasted letters become capitals (Polish letters included).
    void setUpperCase(bool on) { upper_ = on; }
    bool upperCase() const { return upper_; }
    // Entering the field and the first click after entering put the caret at the first position.
    void setCursorToStart(bool on) { cursorToStart_ = on; }
    bool cursorToStart() const { return cursorToStart_; }

    // Masked: one character per mask position, spaces for unfilled positions. Plain: the text.
    QString editBuffer() const;
    void setEditBuffer(const QString& buffer);
    // The text the mask stores (literals kept or dropped by the mask); plain: the text.
    QString storedText() const;
    // Replaces a plain field's text keeping the caret where it was.
    void setPlainText(const QString& text);

signals:
    // The person changed the content; the buffer as editBuffer() gives it.
    void bufferEdited(const QString& buffer);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    int firstInput() const;
    int nextInput(int pos) const;     // first input position >= pos, -1 when none
    int previousInput(int pos) const; // last input position < pos, -1 when none
    bool typeChar(QChar ch);          // false when refused
    bool typeInput(QChar ch);         // typeChar without the literal-prefix check
    void flushPrefix();
    void clearRange(int from, int to);
    void pasteText(const QString& text);
    void showBuffer(int cursor);
    void keepCaretOffLiterals(int oldPos, int newPos);
    void onPlainEdited(const QString& text);

    EditMask mask_;
    QString buffer_;
    bool upper_ = false;
    bool cursorToStart_ = false;
    bool caretToStartOnClick_ = false;
    bool adjustingCaret_ = false;
    // Characters typed into an empty field that so far repeat the mask's leading literals ("20"
    // of a tax year): held back until it is clear whether the whole year is being typed.
    QString prefixPending_;
};
