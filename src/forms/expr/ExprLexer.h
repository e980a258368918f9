#pragma once
// Tokens of an expression text, read one at a time on the parser's demand.
#include <QString>
#include <QStringView>

#include "forms/expr/ExprNodes.h"

enum class TokenKind {
    End,
    Integer,    // fits in 32 bits
    BigInteger, // digits only, beyond 32 bits
    Float,
    String,
    Identifier, // the spelling as written; never one of the word operators
    Operator,
    LParen,
    RParen,
    Comma,
    Other, // a character that starts no token
};

struct ExprToken {
    TokenKind kind = TokenKind::End;
    qsizetype pos = 0; // where the token starts in the text
    qsizetype len = 0;
    ExprOp op = ExprOp::Not;
    qint64 integer = 0;
    double number = 0;
    QString text; // contents of a string constant
};

class TExprLexer {
public:
    explicit TExprLexer(QStringView text) : text_(text) {}
    // Reads the next token; throws EExpression for a malformed number or string.
    void Next();
    const ExprToken& Token() const { return token_; }
    QStringView Spelling() const { return text_.mid(token_.pos, token_.len); }
    // The contents of the current string constant, moved out.
    QString TakeText() { return std::move(token_.text); }

private:
    void ReadNumber();
    void ReadHex();
    void ReadString();
    void ReadWord();

    QStringView text_;
    qsizetype pos_ = 0;
    ExprToken token_;
};
