#include "forms/expr/ExprValue.h"

#include "app/util/Encoding.h"

#include <QByteArray>
#include <QHash>
#include <charconv>
#include <cmath>

namespace {

// The language's messages, indexed by ExprMsg.
const char* const kMessages[] = {
    "Bad numeric format",
    "Hex string too long",
    "Invalid char in hex number",
    "Unterminated string",
    "String too long",
    "Syntax error",
    "Unexpected end of factor",
    " ) expected",
    "invalid sub-expression",
    "Incorrectly formed parameters",
    "Unknown Identifier %s",
    "%s not allowed here",
    "%s not appropriate",
    "%s is not simple unary operator",
    "%s is not a simple binary operator",
    "%s is not relational operator",
    "Operator %s incompatible with %s",
    "cannot apply %s to boolean operands",
    "Invalid parameter to %s",
    "Invalid parameters to If",
    "Cannot read %s as String",
    "Cannot read %s as Float",
    "Cannot read %s as prInteger",
    "Cannot read %s as boolean",
    "Internal parser error. Code %d",
    "'%s' is not a valid integer value",
    "Integer overflow",
    "Division by zero",
    "Floating point division by zero",
    "Invalid floating point operation",
    "Floating point overflow",
    "Expression nested too deeply",
};
static_assert(sizeof(kMessages) / sizeof(kMessages[0]) == int(ExprMsg::TooDeeplyNested) + 1);

std::string Utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

unsigned char Win1250Byte(char16_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    static const QHash<char16_t, unsigned char> table = [] {
        QHash<char16_t, unsigned char> t;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString u = FromWin1250(QByteArray(1, char(b)));
            if (u.size() == 1 && u[0].unicode() != 0xFFFD)
                t.insert(u[0].unicode(), static_cast<unsigned char>(b));
        }
        return t;
    }();
    return table.value(c, '?');
}

} // namespace

QString ExprTypeName(ExprType type) {
    switch (type) {
    case ExprType::String:
        return QStringLiteral("String");
    case ExprType::Float:
        return QStringLiteral("Float");
    case ExprType::Integer:
        return QStringLiteral("Integer");
    case ExprType::Boolean:
        return QStringLiteral("Boolean");
    }
    return QString();
}

EExpression::EExpression(ExprMsg code, const QString& message)
    : std::runtime_error(Utf8(message)), code_(code), message_(message) {}

QString ExprMessage(ExprMsg code, const QString& arg1, const QString& arg2) {
    const QString pattern = QString::fromLatin1(kMessages[int(code)]);
    QString out;
    int used = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == QLatin1Char('%') && i + 1 < pattern.size() &&
            (pattern[i + 1] == QLatin1Char('s') || pattern[i + 1] == QLatin1Char('d'))) {
            out += used++ == 0 ? arg1 : arg2;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

void ExprFail(ExprMsg code, const QString& arg1, const QString& arg2) {
    throw EExpression(code, ExprMessage(code, arg1, arg2));
}

QString FloatText(double value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == std::trunc(value) && std::fabs(value) < 1e15) return QString::number(qint64(value));

    // d.dddddddddddddde[+-]x: the 15 significant digits and the exponent, locale-free.
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const char* e = buf;
    while (e < res.ptr && *e != 'e')
        ++e;
    char digits[16];
    int n = 0;
    for (const char* p = buf; p < e; ++p)
        if (*p >= '0' && *p <= '9') digits[n++] = *p;
    while (n > 1 && digits[n - 1] == '0')
        --n;
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), res.ptr, exponent);

    QString out;
    out.reserve(24);
    if (value < 0) out += QLatin1Char('-');
    const int pointPos = exponent + 1; // digits before the point
    if (pointPos > 15 || pointPos < -3) {
        out += QLatin1Char(digits[0]);
        if (n > 1) {
            out += QLatin1Char('.');
            out += QLatin1StringView(digits + 1, n - 1);
        }
        out += QLatin1Char('E');
        out += QString::number(exponent);
    } else if (pointPos <= 0) {
        out += QLatin1StringView("0.");
        out += QString(-pointPos, QLatin1Char('0'));
        out += QLatin1StringView(digits, n);
    } else if (pointPos >= n) {
        out += QLatin1StringView(digits, n);
        out += QString(pointPos - n, QLatin1Char('0'));
    } else {
        out += QLatin1StringView(digits, pointPos);
        out += QLatin1Char('.');
        out += QLatin1StringView(digits + pointPos, n - pointPos);
    }
    return out;
}

int CompareText1250(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = a[i].unicode();
        const char16_t cb = b[i].unicode();
        if (ca == cb) continue;
        const unsigned char ba = Win1250Byte(ca);
        const unsigned char bb = Win1250Byte(cb);
        if (ba != bb) return ba < bb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

double CheckedFloat(double value) {
    if (std::isnan(value)) ExprFail(ExprMsg::InvalidFloatOperation);
    if (std::isinf(value)) ExprFail(ExprMsg::FloatOverflow);
    return value;
}
