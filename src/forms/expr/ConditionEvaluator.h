#pragma once
// The host of the expression language: holds one condition, chooses its value mode, replaces
// bracketed references, parses and evaluates it. Subclasses supply the reference values.
#include <QString>
#include <memory>

#include "app/util/Interaction.h"
#include "forms/expr/ExprNodes.h"
#include "forms/expr/ExprParser.h"
#include "forms/expr/ExprValue.h"

enum class ConditionType { ctString, ctNumeric, ctBoolean };

class TConditionEvaluator : public ExprFunctionResolver {
public:
    TConditionEvaluator() = default;
    ~TConditionEvaluator() override;
    TConditionEvaluator(const TConditionEvaluator&) = delete;
    TConditionEvaluator& operator=(const TConditionEvaluator&) = delete;

    // Stored trimmed, and upper-cased (Windows-1250 letters too) unless caseSensitive is set.
    void setCondition(const QString& text);
    QString condition() const { return condition_; }

    ConditionType conditionType = ConditionType::ctNumeric;
    ConditionType defaultConditionType = ConditionType::ctNumeric;
    bool caseSensitive = false;

    // The condition's value as text; empty when the condition is empty or anything fails.
    // Never throws and never shows a message (the host functions ASK and MESSAGEBOX aside).
    QString EvaluateText();
    // Message of the last failed EvaluateText, empty after a success.
    QString lastError() const { return lastError_; }

    // The value of a bracketed name; the base knows none.
    virtual QString GetReferenceValue(const QString& name);
    // Replaces each [name] by GetReferenceValue(name); an inserted value is never scanned again.
    virtual QString SubstituteReferences(const QString& text);
    // Strips a leading STR, NUM or BOOL from the trimmed text and returns the mode it chose; an
    // apostrophe anywhere also means string mode.
    virtual ConditionType DetectConditionType(QString& text);
    // The host functions (SUM, DOGROSZA, ASK, ...), computed at once into constant nodes.
    ExprPtr ResolveFunction(const QString& name, ParameterList* params) override;
    // Parses the whole text; throws EExpression.
    ExprPtr ParseExpression(const QString& text);

protected:
    // DetectConditionType and SubstituteReferences applied to the condition: the text to parse.
    QString PrepareCondition();
    // A host function of the form engine, or of the import engine when `importVariant` is set.
    ExprPtr HostFunction(const QString& name, ParameterList* params, bool importVariant);

    ExprParseOptions parseOptions;

private:
    QString condition_;
    QString lastError_;
    TStringListMenu askMenu_; // keeps the previous ASK choice preselected
};

// The import engine's evaluator: a 32-bit overflowing constant is a string, ASKYESNO and TRIM
// are known, OPP is not, LVTO does not clamp at 0.
class TImportConditionEvaluator : public TConditionEvaluator {
public:
    TImportConditionEvaluator();
    ExprPtr ResolveFunction(const QString& name, ParameterList* params) override;
    // Sets the condition and tests it: true when empty, TRUE, a true Boolean, or failing.
    bool ConditionIsTrue(const QString& condition);
};
