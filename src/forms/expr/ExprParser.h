#pragma once
// Recursive-descent parser of the expression language.
#include <QString>
#include <QStringView>

#include "forms/expr/ExprNodes.h"

// The host's functions: asked for every identifier that is neither TRUE, FALSE nor a built-in.
class ExprFunctionResolver {
public:
    virtual ~ExprFunctionResolver() = default;
    // `name` is upper case; `params` is null when the identifier has no parenthesised list. The
    // resolver may move argument nodes out of *params. nullptr: the name is unknown.
    virtual ExprPtr ResolveFunction(const QString& name, ParameterList* params) = 0;
};

struct ExprParseOptions {
    // An integer constant beyond 32 bits becomes a string constant instead of failing.
    bool bigIntegersAsStrings = false;
};

// Deepest nesting of factors (parentheses, prefix operators, arguments) and tallest tree the
// parser accepts; beyond them it raises "Expression nested too deeply".
constexpr int kMaxExprNesting = 200;
constexpr int kMaxExprHeight = 1000;

// Parses the whole text; throws EExpression. `resolver` may be null (no host functions).
ExprPtr ParseExprText(QStringView text, ExprFunctionResolver* resolver, ExprParseOptions options = {});
