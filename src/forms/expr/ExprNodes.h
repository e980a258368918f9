#pragma once
// The expression tree. A node owns its children. Readings of a node that its type does not
// allow raise EExpression; integers are computed in 64 bits so that sums of large amounts do
// not wrap (constants in the text stay within 32 bits).
#include <QString>
#include <memory>
#include <vector>

#include "forms/expr/ExprValue.h"

enum class ExprOp {
    Not,
    Exp,
    Mult,
    Divide,
    Div,
    Mod,
    And,
    Shl,
    Shr,
    Plus,
    Minus,
    Or,
    Xor,
    Eq,
    NEQ,
    LT,
    GT,
    LTE,
    GTE,
};
// "opNot", "opExp", ... as the messages name them.
QString OperatorName(ExprOp op);
inline bool IsRelational(ExprOp op) {
    return op >= ExprOp::Eq;
}

class TExpression {
public:
    virtual ~TExpression() = default;
    virtual QString TextValue() const;
    virtual double FloatValue() const;
    virtual qint64 IntegerValue() const;
    virtual bool BooleanValue() const;
    virtual ExprType ValueType() const = 0;
    // Levels of nodes below and including this one; the parser caps it so that reading and
    // freeing a tree never recurse without bound.
    int Height() const { return height_; }

protected:
    int height_ = 1;
};

using ExprPtr = std::unique_ptr<TExpression>;
using ParameterList = std::vector<ExprPtr>;

class TStringLiteral : public TExpression {
public:
    explicit TStringLiteral(QString value) : value_(std::move(value)) {}
    QString TextValue() const override { return value_; }
    ExprType ValueType() const override { return ExprType::String; }

private:
    QString value_;
};

class TFloatLiteral : public TExpression {
public:
    explicit TFloatLiteral(double value) : value_(value) {}
    double FloatValue() const override { return value_; }
    ExprType ValueType() const override { return ExprType::Float; }

private:
    double value_;
};

class TIntegerLiteral : public TExpression {
public:
    explicit TIntegerLiteral(qint64 value) : value_(value) {}
    qint64 IntegerValue() const override { return value_; }
    ExprType ValueType() const override { return ExprType::Integer; }

private:
    qint64 value_;
};

class TBooleanLiteral : public TExpression {
public:
    explicit TBooleanLiteral(bool value) : value_(value) {}
    bool BooleanValue() const override { return value_; }
    ExprType ValueType() const override { return ExprType::Boolean; }

private:
    bool value_;
};

// NOT, prefix + and -. The type is checked when the node is built.
class TUnaryOp : public TExpression {
public:
    TUnaryOp(ExprOp op, ExprPtr operand);
    double FloatValue() const override;
    qint64 IntegerValue() const override;
    bool BooleanValue() const override;
    ExprType ValueType() const override { return type_; }

private:
    ExprOp op_;
    ExprPtr operand_;
    ExprType type_;
};

// The arithmetic, bitwise, logical and concatenating operators; typed when built.
class TBinaryOp : public TExpression {
public:
    TBinaryOp(ExprOp op, ExprPtr left, ExprPtr right);
    QString TextValue() const override;
    double FloatValue() const override;
    qint64 IntegerValue() const override;
    bool BooleanValue() const override;
    ExprType ValueType() const override { return type_; }

private:
    ExprOp op_;
    ExprPtr left_, right_;
    ExprType operandType_;
    ExprType type_;
};

class TRelationalOp : public TExpression {
public:
    TRelationalOp(ExprOp op, ExprPtr left, ExprPtr right);
    bool BooleanValue() const override;
    ExprType ValueType() const override { return ExprType::Boolean; }

private:
    ExprOp op_;
    ExprPtr left_, right_;
    ExprType operandType_;
};

// A built-in function; its arguments are checked when the node is first read.
class TFunction : public TExpression {
public:
    explicit TFunction(ParameterList params);
    const ParameterList& Params() const { return params_; }

protected:
    void EnsureChecked() const {
        if (!checked_) {
            CheckParameters();
            checked_ = true;
        }
    }
    virtual void CheckParameters() const {}
    const TExpression& Param(size_t i) const { return *params_[i]; }

    ParameterList params_;

private:
    mutable bool checked_ = false;
};

// IF(condition, then, else): type and value of the branch chosen at each reading.
class TConditional : public TFunction {
public:
    using TFunction::TFunction;
    QString TextValue() const override { return Chosen().TextValue(); }
    double FloatValue() const override { return Chosen().FloatValue(); }
    qint64 IntegerValue() const override { return Chosen().IntegerValue(); }
    bool BooleanValue() const override { return Chosen().BooleanValue(); }
    ExprType ValueType() const override { return Chosen().ValueType(); }

protected:
    void CheckParameters() const override;

private:
    const TExpression& Chosen() const;
};

// STRING, FLOAT, BOOLEAN: the argument read as asked, with another type.
class TTypeCast : public TFunction {
public:
    TTypeCast(ExprType target, ParameterList params);
    QString TextValue() const override;
    double FloatValue() const override;
    qint64 IntegerValue() const override;
    bool BooleanValue() const override;
    ExprType ValueType() const override { return target_; }

protected:
    void CheckParameters() const override;

private:
    ExprType target_;
};

enum class MathFn { Trunc, Round, Abs, ArcTan, Cos, Sin, Exp, Ln, Frac, Int, Sqr, Sqrt, Pi, Power };

class TMathExpression : public TFunction {
public:
    TMathExpression(MathFn fn, ParameterList params) : TFunction(std::move(params)), fn_(fn) {}
    double FloatValue() const override;
    qint64 IntegerValue() const override;
    ExprType ValueType() const override;

protected:
    void CheckParameters() const override;

private:
    MathFn fn_;
};

enum class StringFn { Upper, Lower, Copy, Pos, Length };

class TStringExpression : public TFunction {
public:
    TStringExpression(StringFn fn, ParameterList params) : TFunction(std::move(params)), fn_(fn) {}
    QString TextValue() const override;
    qint64 IntegerValue() const override;
    ExprType ValueType() const override;

protected:
    void CheckParameters() const override;

private:
    StringFn fn_;
};

// a ^ b and POWER(a, b).
double FloatPower(double base, double exponent);
