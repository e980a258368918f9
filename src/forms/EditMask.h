#pragma once
// Edit masks of the masked text fields ("99.99.9999;1;_", "\2\0##;1;_", "!aa99 9999 ...;0;_").
// The mask decides which positions take input, which show fixed literals, and what text the
// field gives for storage: literals kept or dropped, unfilled positions as spaces, the blank
// character ("_") never stored.
#include <QString>
#include <QVector>

class EditMask {
public:
    enum class CharClass { Literal, Digit, DigitOrSign, Letter, AlphaNumeric, Any };
    struct Position {
        CharClass cls = CharClass::Literal;
        QChar literal;        // for literals
        bool required = false;
        int caseMode = 0;     // 1 upper, -1 lower, 0 as typed
    };

    EditMask() = default;
    explicit EditMask(const QString& mask);

    bool isEmpty() const { return positions_.isEmpty(); }
    const QString& source() const { return source_; }
    const QVector<Position>& positions() const { return positions_; }
    bool saveLiterals() const { return saveLiterals_; }
    QChar blank() const { return blank_; }
    bool reverse() const { return reverse_; }

    // The edit buffer: one character per position, literals in place, unfilled positions as
    // spaces. An empty value gives the empty buffer ("  .  .    " for a date).
    QString editFromText(const QString& value) const;
    // The stored text of an edit buffer.
    QString textFromEdit(const QString& edit) const;
    // Whether a typed character may stand at input position `pos`, and how it is stored there.
    bool accepts(int pos, QChar ch) const;
    QChar normalise(int pos, QChar ch) const;
    // The buffer as displayed while editing: unfilled positions show the blank character.
    QString displayFromEdit(const QString& edit) const;

private:
    QString source_;
    QVector<Position> positions_;
    bool saveLiterals_ = true;
    QChar blank_ = u'_';
    bool reverse_ = false;
};
