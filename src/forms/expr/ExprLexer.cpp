#include "forms/expr/ExprLexer.h"

#include <charconv>
#include <system_error>

namespace {

constexpr qsizetype kMaxNumberLength = 28;
constexpr qsizetype kMaxHexDigits = 256; // this many digits are already too many
constexpr qsizetype kMaxStringLength = 256;

bool IsDigit(char16_t c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char16_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsHexDigit(char16_t c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(char16_t c) {
    return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}

struct WordOperator {
    const char* word;
    ExprOp op;
};
const WordOperator kWordOperators[] = {{"NOT", ExprOp::Not}, {"DIV", ExprOp::Div}, {"MOD", ExprOp::Mod},
                                       {"AND", ExprOp::And}, {"SHL", ExprOp::Shl}, {"SHR", ExprOp::Shr},
                                       {"OR", ExprOp::Or},   {"XOR", ExprOp::Xor}};

} // namespace

void TExprLexer::Next() {
    const qsizetype n = text_.size();
    while (pos_ < n && text_[pos_].unicode() >= 1 && text_[pos_].unicode() <= 32)
        ++pos_;
    token_.pos = pos_;
    token_.len = 1;
    if (pos_ >= n) {
        token_.kind = TokenKind::End;
        token_.len = 0;
        return;
    }
    const char16_t c = text_[pos_].unicode();
    const char16_t next = pos_ + 1 < n ? text_[pos_ + 1].unicode() : 0;
    auto op = [this](ExprOp o, qsizetype len = 1) {
        token_.kind = TokenKind::Operator;
        token_.op = o;
        token_.len = len;
        pos_ += len;
    };
    switch (c) {
    case '(':
        token_.kind = TokenKind::LParen;
        ++pos_;
        return;
    case ')':
        token_.kind = TokenKind::RParen;
        ++pos_;
        return;
    case ',':
        token_.kind = TokenKind::Comma;
        ++pos_;
        return;
    case '^':
        return op(ExprOp::Exp);
    case '*':
        return op(ExprOp::Mult);
    case '/':
        return op(ExprOp::Divide);
    case '+':
        return op(ExprOp::Plus);
    case '-':
        return op(ExprOp::Minus);
    case '=':
        return op(ExprOp::Eq);
    case '<':
        if (next == '>') return op(ExprOp::NEQ, 2);
        if (next == '=') return op(ExprOp::LTE, 2);
        return op(ExprOp::LT);
    case '>':
        if (next == '=') return op(ExprOp::GTE, 2);
        return op(ExprOp::GT);
    case '$':
        return ReadHex();
    case '\'':
        return ReadString();
    default:
        break;
    }
    if (IsDigit(c)) return ReadNumber();
    if (IsLetter(c)) return ReadWord();
    token_.kind = TokenKind::Other;
    ++pos_;
}

void TExprLexer::ReadNumber() {
    const qsizetype n = text_.size();
    qsizetype i = pos_;
    bool point = false;
    bool exponent = false;
    bool negativeExponent = false;
    while (i < n) {
        const char16_t c = text_[i].unicode();
        if (IsDigit(c)) {
            ++i;
        } else if (c == '.') {
            if (point || exponent) ExprFail(ExprMsg::BadNumericFormat);
            point = true;
            ++i;
        } else if (c == 'E' || c == 'e') {
            if (exponent) ExprFail(ExprMsg::BadNumericFormat);
            exponent = true;
            ++i;
            if (i < n && text_[i] == QLatin1Char('-')) {
                negativeExponent = true;
                ++i;
            }
            if (i >= n || !IsDigit(text_[i].unicode())) ExprFail(ExprMsg::BadNumericFormat);
        } else {
            break;
        }
    }
    const qsizetype len = i - pos_;
    if (len > kMaxNumberLength) ExprFail(ExprMsg::BadNumericFormat);
    token_.len = len;

    if (!point && !exponent) {
        qint64 value = 0;
        for (qsizetype k = pos_; k < i && value <= 0x7FFFFFFF; ++k)
            value = value * 10 + (text_[k].unicode() - '0');
        token_.kind = value <= 0x7FFFFFFF ? TokenKind::Integer : TokenKind::BigInteger;
        token_.integer = value;
    } else {
        char buf[kMaxNumberLength + 1];
        for (qsizetype k = 0; k < len; ++k)
            buf[k] = char(text_[pos_ + k].unicode());
        double value = 0;
        const auto res = std::from_chars(buf, buf + len, value);
        if (res.ec == std::errc::result_out_of_range) {
            if (!negativeExponent) ExprFail(ExprMsg::FloatOverflow);
            value = 0; // too small to hold
        } else if (res.ec != std::errc() || res.ptr != buf + len) {
            ExprFail(ExprMsg::BadNumericFormat);
        }
        token_.kind = TokenKind::Float;
        token_.number = value;
    }
    pos_ = i;
}

void TExprLexer::ReadHex() {
    const qsizetype n = text_.size();
    qsizetype i = pos_ + 1;
    while (i < n && IsHexDigit(text_[i].unicode()))
        ++i;
    const qsizetype digits = i - pos_ - 1;
    if (digits >= kMaxHexDigits) ExprFail(ExprMsg::HexTooLong);
    if (digits == 0) ExprFail(ExprMsg::InvalidHexChar);
    quint64 value = 0;
    for (qsizetype k = pos_ + 1; k < i; ++k) {
        value = value * 16 + quint64(HexValue(text_[k].unicode()));
        if (value > 0xFFFFFFFFu) ExprFail(ExprMsg::InvalidHexChar);
    }
    token_.kind = TokenKind::Integer;
    token_.integer = qint32(quint32(value)); // $FFFFFFFF is -1
    token_.len = i - pos_;
    pos_ = i;
}

void TExprLexer::ReadString() {
    const qsizetype n = text_.size();
    qsizetype i = pos_ + 1;
    QString value;
    qsizetype runStart = i;
    for (;;) {
        if (i >= n) ExprFail(ExprMsg::UnterminatedString);
        if (text_[i] != QLatin1Char('\'')) {
            ++i;
            continue;
        }
        value += text_.mid(runStart, i - runStart);
        if (i + 1 < n && text_[i + 1] == QLatin1Char('\'')) { // doubled: one apostrophe
            value += QLatin1Char('\'');
            i += 2;
            runStart = i;
            continue;
        }
        ++i;
        break;
    }
    if (value.size() > kMaxStringLength) ExprFail(ExprMsg::StringTooLong);
    token_.kind = TokenKind::String;
    token_.text = std::move(value);
    token_.len = i - pos_;
    pos_ = i;
}

void TExprLexer::ReadWord() {
    const qsizetype n = text_.size();
    qsizetype i = pos_ + 1;
    while (i < n && (IsLetter(text_[i].unicode()) || IsDigit(text_[i].unicode())))
        ++i;
    token_.len = i - pos_;
    pos_ = i;
    token_.kind = TokenKind::Identifier;
    if (token_.len > 3) return;
    const QStringView word = Spelling();
    for (const WordOperator& w : kWordOperators) {
        if (word.compare(QLatin1StringView(w.word), Qt::CaseInsensitive) == 0) {
            token_.kind = TokenKind::Operator;
            token_.op = w.op;
            return;
        }
    }
}
