#include "forms/expr/ExprParser.h"

#include "forms/expr/ExprLexer.h"

namespace {

enum class BuiltinKind { If, Cast, Math, Text };

struct Builtin {
    const char* name;
    BuiltinKind kind;
    int code; // ExprType of a cast, MathFn or StringFn
};

const Builtin kBuiltins[] = {
    {"IF", BuiltinKind::If, 0},
    {"STRING", BuiltinKind::Cast, int(ExprType::String)},
    {"FLOAT", BuiltinKind::Cast, int(ExprType::Float)},
    {"BOOLEAN", BuiltinKind::Cast, int(ExprType::Boolean)},
    {"TRUNC", BuiltinKind::Math, int(MathFn::Trunc)},
    {"ROUND", BuiltinKind::Math, int(MathFn::Round)},
    {"ABS", BuiltinKind::Math, int(MathFn::Abs)},
    {"ARCTAN", BuiltinKind::Math, int(MathFn::ArcTan)},
    {"COS", BuiltinKind::Math, int(MathFn::Cos)},
    {"SIN", BuiltinKind::Math, int(MathFn::Sin)},
    {"EXP", BuiltinKind::Math, int(MathFn::Exp)},
    {"LN", BuiltinKind::Math, int(MathFn::Ln)},
    {"FRAC", BuiltinKind::Math, int(MathFn::Frac)},
    {"INT", BuiltinKind::Math, int(MathFn::Int)},
    {"SQR", BuiltinKind::Math, int(MathFn::Sqr)},
    {"SQRT", BuiltinKind::Math, int(MathFn::Sqrt)},
    {"PI", BuiltinKind::Math, int(MathFn::Pi)},
    {"POWER", BuiltinKind::Math, int(MathFn::Power)},
    {"UPPER", BuiltinKind::Text, int(StringFn::Upper)},
    {"LOWER", BuiltinKind::Text, int(StringFn::Lower)},
    {"COPY", BuiltinKind::Text, int(StringFn::Copy)},
    {"POS", BuiltinKind::Text, int(StringFn::Pos)},
    {"LENGTH", BuiltinKind::Text, int(StringFn::Length)},
};

bool SameWord(QStringView spelling, const char* upper) {
    return spelling.compare(QLatin1StringView(upper), Qt::CaseInsensitive) == 0;
}

const Builtin* FindBuiltin(QStringView name) {
    for (const Builtin& b : kBuiltins)
        if (qsizetype(qstrlen(b.name)) == name.size() && SameWord(name, b.name)) return &b;
    return nullptr;
}

// Identifiers are ASCII, so upper case is a plain shift.
QString AsciiUpper(QStringView word) {
    QString out(word.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t c = word[i].unicode();
        out[i] = QChar(c >= 'a' && c <= 'z' ? char16_t(c - 32) : c);
    }
    return out;
}

class Parser {
public:
    Parser(QStringView text, ExprFunctionResolver* resolver, ExprParseOptions options)
        : lex_(text), resolver_(resolver), options_(options) {}

    ExprPtr Run() {
        lex_.Next();
        ExprPtr root = Relation();
        if (Kind() != TokenKind::End) ExprFail(ExprMsg::NotAppropriate, lex_.Spelling().left(1).toString());
        return root;
    }

private:
    TokenKind Kind() const { return lex_.Token().kind; }
    bool AtOperator(bool (*inLevel)(ExprOp)) const {
        return Kind() == TokenKind::Operator && inLevel(lex_.Token().op);
    }

    static ExprPtr Capped(ExprPtr node) {
        if (node->Height() > kMaxExprHeight) ExprFail(ExprMsg::TooDeeplyNested);
        return node;
    }

    static bool IsRelationLevel(ExprOp op) { return IsRelational(op); }
    static bool IsSumLevel(ExprOp op) {
        return op == ExprOp::Plus || op == ExprOp::Minus || op == ExprOp::Or || op == ExprOp::Xor;
    }
    static bool IsTermLevel(ExprOp op) {
        return op == ExprOp::Mult || op == ExprOp::Divide || op == ExprOp::Div || op == ExprOp::Mod ||
               op == ExprOp::And || op == ExprOp::Shl || op == ExprOp::Shr;
    }
    static bool IsPowerLevel(ExprOp op) { return op == ExprOp::Exp; }

    ExprPtr Relation() {
        ExprPtr left = Sum();
        while (AtOperator(IsRelationLevel)) {
            const ExprOp op = lex_.Token().op;
            lex_.Next();
            left = Capped(std::make_unique<TRelationalOp>(op, std::move(left), Sum()));
        }
        return left;
    }

    ExprPtr Sum() {
        ExprPtr left = Term();
        while (AtOperator(IsSumLevel)) {
            const ExprOp op = lex_.Token().op;
            lex_.Next();
            left = Capped(std::make_unique<TBinaryOp>(op, std::move(left), Term()));
        }
        return left;
    }

    ExprPtr Term() {
        ExprPtr left = Power();
        while (AtOperator(IsTermLevel)) {
            const ExprOp op = lex_.Token().op;
            lex_.Next();
            left = Capped(std::make_unique<TBinaryOp>(op, std::move(left), Power()));
        }
        return left;
    }

    ExprPtr Power() {
        ExprPtr left = Factor();
        while (AtOperator(IsPowerLevel)) {
            lex_.Next();
            left = Capped(std::make_unique<TBinaryOp>(ExprOp::Exp, std::move(left), Factor()));
        }
        return left;
    }

    struct NestingGuard {
        int& depth;
        explicit NestingGuard(int& d) : depth(d) {
            if (++depth > kMaxExprNesting) ExprFail(ExprMsg::TooDeeplyNested);
        }
        ~NestingGuard() { --depth; }
    };

    ExprPtr Factor() {
        NestingGuard guard(depth_);
        const ExprToken& token = lex_.Token();
        switch (token.kind) {
        case TokenKind::Operator: {
            const ExprOp op = token.op;
            if (op != ExprOp::Not && op != ExprOp::Plus && op != ExprOp::Minus)
                ExprFail(ExprMsg::NotAllowedHere, OperatorName(op));
            lex_.Next();
            return Capped(std::make_unique<TUnaryOp>(op, Factor()));
        }
        case TokenKind::Integer: {
            auto node = std::make_unique<TIntegerLiteral>(token.integer);
            lex_.Next();
            return node;
        }
        case TokenKind::BigInteger: {
            const QString digits = lex_.Spelling().toString();
            if (!options_.bigIntegersAsStrings) ExprFail(ExprMsg::InvalidInteger, digits);
            lex_.Next();
            return std::make_unique<TStringLiteral>(digits);
        }
        case TokenKind::Float: {
            auto node = std::make_unique<TFloatLiteral>(token.number);
            lex_.Next();
            return node;
        }
        case TokenKind::String: {
            auto node = std::make_unique<TStringLiteral>(lex_.TakeText());
            lex_.Next();
            return node;
        }
        case TokenKind::LParen: {
            lex_.Next();
            ExprPtr inner = Relation();
            if (Kind() != TokenKind::RParen) ExprFail(ExprMsg::CloseParenExpected);
            lex_.Next();
            return inner;
        }
        case TokenKind::Identifier:
            return Identifier();
        case TokenKind::End:
        case TokenKind::RParen:
        case TokenKind::Comma:
            ExprFail(ExprMsg::UnexpectedEndOfFactor);
        case TokenKind::Other:
            ExprFail(ExprMsg::SyntaxError);
        }
        ExprFail(ExprMsg::InternalError, QString::number(int(token.kind)));
    }

    ExprPtr Identifier() {
        const QStringView name = lex_.Spelling();
        lex_.Next();
        if (SameWord(name, "TRUE")) return std::make_unique<TBooleanLiteral>(true);
        if (SameWord(name, "FALSE")) return std::make_unique<TBooleanLiteral>(false);

        ParameterList params;
        const bool hasList = Kind() == TokenKind::LParen;
        if (hasList) {
            lex_.Next();
            for (;;) {
                params.push_back(Relation());
                if (Kind() == TokenKind::Comma) {
                    lex_.Next();
                    continue;
                }
                if (Kind() != TokenKind::RParen) ExprFail(ExprMsg::IncorrectParameters);
                lex_.Next();
                break;
            }
        }

        if (const Builtin* b = FindBuiltin(name)) {
            switch (b->kind) {
            case BuiltinKind::If:
                return Capped(std::make_unique<TConditional>(std::move(params)));
            case BuiltinKind::Cast:
                return Capped(std::make_unique<TTypeCast>(ExprType(b->code), std::move(params)));
            case BuiltinKind::Math:
                return Capped(std::make_unique<TMathExpression>(MathFn(b->code), std::move(params)));
            case BuiltinKind::Text:
                return Capped(std::make_unique<TStringExpression>(StringFn(b->code), std::move(params)));
            }
        }
        const QString upper = AsciiUpper(name);
        ExprPtr node = resolver_ ? resolver_->ResolveFunction(upper, hasList ? &params : nullptr) : nullptr;
        if (!node) ExprFail(ExprMsg::UnknownIdentifier, upper);
        return Capped(std::move(node));
    }

    TExprLexer lex_;
    ExprFunctionResolver* resolver_;
    ExprParseOptions options_;
    int depth_ = 0;
};

} // namespace

ExprPtr ParseExprText(QStringView text, ExprFunctionResolver* resolver, ExprParseOptions options) {
    return Parser(text, resolver, options).Run();
}
