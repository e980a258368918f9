#include "forms/expr/ExprNodes.h"

#include "app/util/Encoding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

const char* const kOperatorNames[] = {"opNot", "opExp", "opMult", "opDivide", "opDiv", "opMod", "opAnd",
                                      "opShl", "opShr", "opPlus", "opMinus",  "opOr",  "opXor", "opEq",
                                      "opNEQ", "opLT",  "opGT",   "opLTE",    "opGTE"};
static_assert(sizeof(kOperatorNames) / sizeof(kOperatorNames[0]) == int(ExprOp::GTE) + 1);

// The result type of an operator applied to operands of the (common) type.
ExprType ResultType(ExprOp op, ExprType operand) {
    // comparisons of booleans other than = and <> fail when evaluated
    if (IsRelational(op)) return ExprType::Boolean;
    switch (operand) {
    case ExprType::String:
        if (op == ExprOp::Plus) return ExprType::String;
        break;
    case ExprType::Float:
        if (op == ExprOp::Exp || op == ExprOp::Mult || op == ExprOp::Divide || op == ExprOp::Plus ||
            op == ExprOp::Minus)
            return ExprType::Float;
        break;
    case ExprType::Integer:
        if (op == ExprOp::Exp || op == ExprOp::Divide) return ExprType::Float;
        return ExprType::Integer;
    case ExprType::Boolean:
        if (op == ExprOp::Not || op == ExprOp::And || op == ExprOp::Or || op == ExprOp::Xor)
            return ExprType::Boolean;
        break;
    }
    ExprFail(ExprMsg::OperatorIncompatible, OperatorName(op), ExprTypeName(operand));
}

template <typename T> bool Compare(ExprOp op, T a, T b) {
    switch (op) {
    case ExprOp::Eq:
        return a == b;
    case ExprOp::NEQ:
        return a != b;
    case ExprOp::LT:
        return a < b;
    case ExprOp::GT:
        return a > b;
    case ExprOp::LTE:
        return a <= b;
    case ExprOp::GTE:
        return a >= b;
    default:
        ExprFail(ExprMsg::NotRelationalOperator, OperatorName(op));
    }
}

qint64 Negate(qint64 v) {
    if (v == std::numeric_limits<qint64>::min()) ExprFail(ExprMsg::IntegerOverflow);
    return -v;
}

qint64 ToInteger(double d) {
    // 2^63 is exact as a double; anything from there on does not fit
    if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) ExprFail(ExprMsg::IntegerOverflow);
    return static_cast<qint64>(d);
}

// Half to the even neighbour; x - floor(x) is exact for every double.
double RoundHalfEven(double x) {
    const double f = std::floor(x);
    const double diff = x - f;
    if (diff > 0.5) return f + 1;
    if (diff < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

qint32 Low32(qint64 v) {
    return static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(v)));
}

int HeightOf(const ParameterList& params) {
    int h = 0;
    for (const auto& p : params)
        h = std::max(h, p->Height());
    return h + 1;
}

} // namespace

QString OperatorName(ExprOp op) {
    return QString::fromLatin1(kOperatorNames[int(op)]);
}

double FloatPower(double base, double exponent) {
    if (base == 0 && exponent < 0) ExprFail(ExprMsg::FloatDivisionByZero);
    // a whole exponent also serves a negative base: -2^2 is (-2)^2 = 4
    if (base < 0 && exponent != std::trunc(exponent)) ExprFail(ExprMsg::InvalidFloatOperation);
    return CheckedFloat(std::pow(base, exponent));
}

// ---- TExpression: the readings a type allows by default

QString TExpression::TextValue() const {
    switch (ValueType()) {
    case ExprType::String:
        break;
    case ExprType::Float:
        return FloatText(FloatValue());
    case ExprType::Integer:
        return QString::number(IntegerValue());
    case ExprType::Boolean:
        return BooleanValue() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    }
    ExprFail(ExprMsg::CannotReadString, ExprTypeName(ValueType()));
}

double TExpression::FloatValue() const {
    const ExprType type = ValueType();
    if (type == ExprType::Integer) return double(IntegerValue());
    if (type == ExprType::Boolean) return BooleanValue() ? 1.0 : 0.0;
    ExprFail(ExprMsg::CannotReadFloat, ExprTypeName(type));
}

qint64 TExpression::IntegerValue() const {
    const ExprType type = ValueType();
    if (type == ExprType::Boolean) return BooleanValue() ? 1 : 0;
    ExprFail(ExprMsg::CannotReadInteger, ExprTypeName(type));
}

bool TExpression::BooleanValue() const {
    ExprFail(ExprMsg::CannotReadBoolean, ExprTypeName(ValueType()));
}

// ---- TUnaryOp

TUnaryOp::TUnaryOp(ExprOp op, ExprPtr operand) : op_(op), operand_(std::move(operand)) {
    if (!operand_) ExprFail(ExprMsg::InvalidSubExpression);
    if (op != ExprOp::Not && op != ExprOp::Plus && op != ExprOp::Minus)
        ExprFail(ExprMsg::NotUnaryOperator, OperatorName(op));
    type_ = ResultType(op, operand_->ValueType());
    height_ = operand_->Height() + 1;
}

double TUnaryOp::FloatValue() const {
    if (type_ != ExprType::Float) return TExpression::FloatValue();
    const double v = operand_->FloatValue();
    return op_ == ExprOp::Minus ? -v : v;
}

qint64 TUnaryOp::IntegerValue() const {
    switch (type_) {
    case ExprType::Integer: {
        const qint64 v = operand_->IntegerValue();
        if (op_ == ExprOp::Not) return ~v;
        return op_ == ExprOp::Minus ? Negate(v) : v;
    }
    case ExprType::Float:
        return 0;
    default:
        return TExpression::IntegerValue();
    }
}

bool TUnaryOp::BooleanValue() const {
    if (type_ != ExprType::Boolean) return TExpression::BooleanValue();
    return !operand_->BooleanValue();
}

// ---- TBinaryOp

TBinaryOp::TBinaryOp(ExprOp op, ExprPtr left, ExprPtr right)
    : op_(op), left_(std::move(left)), right_(std::move(right)) {
    if (!left_ || !right_) ExprFail(ExprMsg::InvalidSubExpression);
    if (op == ExprOp::Not || IsRelational(op)) ExprFail(ExprMsg::NotBinaryOperator, OperatorName(op));
    operandType_ = CommonType(left_->ValueType(), right_->ValueType());
    type_ = ResultType(op, operandType_);
    height_ = std::max(left_->Height(), right_->Height()) + 1;
}

QString TBinaryOp::TextValue() const {
    if (type_ != ExprType::String) return TExpression::TextValue();
    return left_->TextValue() + right_->TextValue();
}

double TBinaryOp::FloatValue() const {
    if (type_ != ExprType::Float) return TExpression::FloatValue();
    const double a = left_->FloatValue();
    const double b = right_->FloatValue();
    switch (op_) {
    case ExprOp::Exp:
        return FloatPower(a, b);
    case ExprOp::Mult:
        return CheckedFloat(a * b);
    case ExprOp::Divide:
        if (b == 0) ExprFail(a == 0 ? ExprMsg::InvalidFloatOperation : ExprMsg::FloatDivisionByZero);
        return CheckedFloat(a / b);
    case ExprOp::Plus:
        return CheckedFloat(a + b);
    case ExprOp::Minus:
        return CheckedFloat(a - b);
    default:
        ExprFail(ExprMsg::InternalError, QString::number(int(op_)));
    }
}

qint64 TBinaryOp::IntegerValue() const {
    if (type_ == ExprType::Float) return 0;
    if (type_ != ExprType::Integer) return TExpression::IntegerValue();
    const qint64 a = left_->IntegerValue();
    const qint64 b = right_->IntegerValue();
    qint64 r = 0;
    switch (op_) {
    case ExprOp::Mult:
        if (__builtin_mul_overflow(a, b, &r)) ExprFail(ExprMsg::IntegerOverflow);
        return r;
    case ExprOp::Plus:
        if (__builtin_add_overflow(a, b, &r)) ExprFail(ExprMsg::IntegerOverflow);
        return r;
    case ExprOp::Minus:
        if (__builtin_sub_overflow(a, b, &r)) ExprFail(ExprMsg::IntegerOverflow);
        return r;
    case ExprOp::Div:
        if (b == 0) ExprFail(ExprMsg::DivisionByZero);
        if (b == -1) return Negate(a);
        return a / b;
    case ExprOp::Mod:
        if (b == 0) ExprFail(ExprMsg::DivisionByZero);
        return b == -1 ? 0 : a % b;
    case ExprOp::And:
        return a & b;
    case ExprOp::Or:
        return a | b;
    case ExprOp::Xor:
        return a ^ b;
    // shifts stay 32-bit: 1 SHL 31 is the lowest integer, SHR fills with zeros
    case ExprOp::Shl:
        return Low32(qint64(quint32(Low32(a)) << (b & 31)));
    case ExprOp::Shr:
        return Low32(qint64(quint32(Low32(a)) >> (b & 31)));
    default:
        ExprFail(ExprMsg::InternalError, QString::number(int(op_)));
    }
}

bool TBinaryOp::BooleanValue() const {
    if (type_ != ExprType::Boolean) return TExpression::BooleanValue();
    switch (op_) {
    case ExprOp::And:
        return left_->BooleanValue() && right_->BooleanValue();
    case ExprOp::Or:
        return left_->BooleanValue() || right_->BooleanValue();
    case ExprOp::Xor:
        return left_->BooleanValue() != right_->BooleanValue();
    default:
        ExprFail(ExprMsg::InternalError, QString::number(int(op_)));
    }
}

// ---- TRelationalOp

TRelationalOp::TRelationalOp(ExprOp op, ExprPtr left, ExprPtr right)
    : op_(op), left_(std::move(left)), right_(std::move(right)) {
    if (!left_ || !right_) ExprFail(ExprMsg::InvalidSubExpression);
    if (!IsRelational(op)) ExprFail(ExprMsg::NotRelationalOperator, OperatorName(op));
    operandType_ = CommonType(left_->ValueType(), right_->ValueType());
    height_ = std::max(left_->Height(), right_->Height()) + 1;
}

bool TRelationalOp::BooleanValue() const {
    switch (operandType_) {
    case ExprType::String:
        return Compare(op_, CompareText1250(left_->TextValue(), right_->TextValue()), 0);
    case ExprType::Float:
        return Compare(op_, left_->FloatValue(), right_->FloatValue());
    case ExprType::Integer:
        return Compare(op_, left_->IntegerValue(), right_->IntegerValue());
    case ExprType::Boolean:
        if (op_ != ExprOp::Eq && op_ != ExprOp::NEQ) ExprFail(ExprMsg::BooleanOperands, OperatorName(op_));
        return Compare(op_, left_->BooleanValue(), right_->BooleanValue());
    }
    return false;
}

// ---- functions

TFunction::TFunction(ParameterList params) : params_(std::move(params)) {
    height_ = HeightOf(params_);
}

void TConditional::CheckParameters() const {
    if (params_.size() != 3 || Param(0).ValueType() != ExprType::Boolean)
        ExprFail(ExprMsg::InvalidIfParameters);
}

const TExpression& TConditional::Chosen() const {
    EnsureChecked();
    return Param(0).BooleanValue() ? Param(1) : Param(2);
}

TTypeCast::TTypeCast(ExprType target, ParameterList params) : TFunction(std::move(params)), target_(target) {}

void TTypeCast::CheckParameters() const {
    // one argument is all the cast reads; without any there is nothing to read
    if (params_.empty())
        ExprFail(ExprMsg::InvalidParameter, target_ == ExprType::String  ? QStringLiteral("STRING")
                                            : target_ == ExprType::Float ? QStringLiteral("FLOAT")
                                                                         : QStringLiteral("BOOLEAN"));
}

QString TTypeCast::TextValue() const {
    EnsureChecked();
    return Param(0).TextValue();
}

double TTypeCast::FloatValue() const {
    EnsureChecked();
    return Param(0).FloatValue();
}

qint64 TTypeCast::IntegerValue() const {
    EnsureChecked();
    return Param(0).IntegerValue();
}

bool TTypeCast::BooleanValue() const {
    EnsureChecked();
    return Param(0).BooleanValue();
}

namespace {
const char* const kMathNames[] = {"TRUNC", "ROUND", "ABS", "ARCTAN", "COS",  "SIN", "EXP",
                                  "LN",    "FRAC",  "INT", "SQR",    "SQRT", "PI",  "POWER"};
const char* const kStringNames[] = {"UPPER", "LOWER", "COPY", "POS", "LENGTH"};
} // namespace

void TMathExpression::CheckParameters() const {
    if (fn_ == MathFn::Pi) return;
    bool ok = params_.size() == (fn_ == MathFn::Power ? 2u : 1u);
    for (size_t i = 0; ok && i < params_.size(); ++i)
        ok = Param(i).ValueType() != ExprType::String;
    if (!ok) ExprFail(ExprMsg::InvalidParameter, QString::fromLatin1(kMathNames[int(fn_)]));
}

ExprType TMathExpression::ValueType() const {
    return fn_ == MathFn::Trunc || fn_ == MathFn::Round ? ExprType::Integer : ExprType::Float;
}

double TMathExpression::FloatValue() const {
    EnsureChecked();
    if (fn_ == MathFn::Pi) return std::numbers::pi;
    if (fn_ == MathFn::Trunc || fn_ == MathFn::Round) return double(IntegerValue());
    const double x = Param(0).FloatValue();
    switch (fn_) {
    case MathFn::Abs:
        return std::fabs(x);
    case MathFn::ArcTan:
        return std::atan(x);
    case MathFn::Cos:
        return CheckedFloat(std::cos(x));
    case MathFn::Sin:
        return CheckedFloat(std::sin(x));
    case MathFn::Exp:
        return CheckedFloat(std::exp(x));
    case MathFn::Ln:
        if (x <= 0) ExprFail(ExprMsg::InvalidFloatOperation);
        return std::log(x);
    case MathFn::Frac:
        return x - std::trunc(x);
    case MathFn::Int:
        return std::trunc(x);
    case MathFn::Sqr:
        return CheckedFloat(x * x);
    case MathFn::Sqrt:
        if (x < 0) ExprFail(ExprMsg::InvalidFloatOperation);
        return std::sqrt(x);
    case MathFn::Power:
        return FloatPower(x, Param(1).FloatValue());
    default:
        ExprFail(ExprMsg::InternalError, QString::number(int(fn_)));
    }
}

qint64 TMathExpression::IntegerValue() const {
    EnsureChecked();
    switch (fn_) {
    case MathFn::Trunc:
        return ToInteger(std::trunc(Param(0).FloatValue()));
    case MathFn::Round:
        return ToInteger(RoundHalfEven(Param(0).FloatValue()));
    case MathFn::Abs: {
        const qint64 v = Param(0).IntegerValue();
        return v < 0 ? Negate(v) : v;
    }
    default:
        return TExpression::IntegerValue();
    }
}

void TStringExpression::CheckParameters() const {
    bool ok = false;
    switch (fn_) {
    case StringFn::Upper:
    case StringFn::Lower:
    case StringFn::Length:
        ok = params_.size() == 1;
        break;
    case StringFn::Pos:
        ok = params_.size() == 2;
        break;
    case StringFn::Copy:
        ok = params_.size() == 3;
        for (size_t i = 1; ok && i < 3; ++i)
            ok = Param(i).ValueType() == ExprType::Integer || Param(i).ValueType() == ExprType::Boolean;
        break;
    }
    if (!ok) ExprFail(ExprMsg::InvalidParameter, QString::fromLatin1(kStringNames[int(fn_)]));
}

ExprType TStringExpression::ValueType() const {
    return fn_ == StringFn::Pos || fn_ == StringFn::Length ? ExprType::Integer : ExprType::String;
}

QString TStringExpression::TextValue() const {
    EnsureChecked();
    switch (fn_) {
    case StringFn::Upper:
        return UpperCase1250(Param(0).TextValue());
    case StringFn::Lower:
        return LowerCase1250(Param(0).TextValue());
    case StringFn::Copy: {
        const QString text = Param(0).TextValue();
        const qint64 index = std::max<qint64>(Param(1).IntegerValue(), 1);
        const qint64 count = Param(2).IntegerValue();
        if (count <= 0 || index > text.size()) return QString();
        return text.mid(index - 1, std::min<qint64>(count, text.size() - index + 1));
    }
    default:
        return TExpression::TextValue();
    }
}

qint64 TStringExpression::IntegerValue() const {
    EnsureChecked();
    switch (fn_) {
    case StringFn::Pos: {
        const QString needle = Param(0).TextValue();
        if (needle.isEmpty()) return 0;
        return Param(1).TextValue().indexOf(needle) + 1;
    }
    case StringFn::Length:
        return Param(0).TextValue().size();
    default:
        return TExpression::IntegerValue();
    }
}
