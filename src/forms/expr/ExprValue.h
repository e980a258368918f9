#pragma once
// Value types of the expression language, its error messages and the texts of its values.
#include <QString>
#include <QStringView>
#include <stdexcept>

// The order matters: the common type of two operands is the lower of the two.
enum class ExprType { String = 0, Float = 1, Integer = 2, Boolean = 3 };

inline ExprType CommonType(ExprType a, ExprType b) {
    return a < b ? a : b;
}
// "String", "Float", "Integer", "Boolean" as the messages name them.
QString ExprTypeName(ExprType type);

// Every message of the language; the texts are in one table in ExprValue.cpp.
enum class ExprMsg {
    BadNumericFormat,
    HexTooLong,
    InvalidHexChar,
    UnterminatedString,
    StringTooLong,
    SyntaxError,
    UnexpectedEndOfFactor,
    CloseParenExpected,
    InvalidSubExpression,
    IncorrectParameters,
    UnknownIdentifier,     // %s: the identifier
    NotAllowedHere,        // %s: operator name
    NotAppropriate,        // %s: first character left over
    NotUnaryOperator,      // %s: operator name
    NotBinaryOperator,     // %s: operator name
    NotRelationalOperator, // %s: operator name
    OperatorIncompatible,  // %s: operator name, %s: type name
    BooleanOperands,       // %s: operator name
    InvalidParameter,      // %s: function name
    InvalidIfParameters,
    CannotReadString, // %s: type name
    CannotReadFloat,
    CannotReadInteger,
    CannotReadBoolean,
    InternalError, // %d: code
    // Failures of the arithmetic and of the conversions below the language.
    InvalidInteger, // %s: the digits
    IntegerOverflow,
    DivisionByZero,
    FloatDivisionByZero,
    InvalidFloatOperation,
    FloatOverflow,
    TooDeeplyNested,
};

class EExpression : public std::runtime_error {
public:
    EExpression(ExprMsg code, const QString& message);
    ExprMsg code() const { return code_; }
    const QString& message() const { return message_; }

private:
    ExprMsg code_;
    QString message_;
};

// The message text with its %s / %d filled in, in order.
QString ExprMessage(ExprMsg code, const QString& arg1 = QString(), const QString& arg2 = QString());
[[noreturn]] void ExprFail(ExprMsg code, const QString& arg1 = QString(), const QString& arg2 = QString());

// Shortest text with 15 significant digits and "." as point; exponent form (1E20, 1E-5) from
// 1E15 up and below 0.0001.
QString FloatText(double value);
// Byte-wise comparison of the Windows-1250 forms: negative, 0 or positive.
int CompareText1250(QStringView a, QStringView b);
// NaN and infinities are failures of the arithmetic, never values.
double CheckedFloat(double value);
