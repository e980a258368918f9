#pragma once
// Runs a form's rule file over its document: one pass from top to bottom computing fields,
// variables and series columns, then the check messages of the ERROR lines.
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "forms/expr/ConditionEvaluator.h"

class FormDocument;
class RuleEngine;

// The evaluator of a form: references in brackets read fields ([44]) and rule variables ([X]).
class TFieldConditionEvaluator : public TConditionEvaluator {
public:
    explicit TFieldConditionEvaluator(RuleEngine& engine) : engine_(engine) {}
    QString GetReferenceValue(const QString& name) override;
    QString SubstituteReferences(const QString& text) override;

private:
    RuleEngine& engine_;
};

class RuleEngine {
public:
    explicit RuleEngine(FormDocument& document);
    ~RuleEngine();

    // Loads the rule file (a relative name is taken from the data folder's EXPR folder) and runs
    // a first pass. A missing file leaves the form without rules; returns whether rules loaded.
    bool LoadRules(const QString& fileName);
    void SetRules(const QStringList& lines);
    const QStringList& Rules() const { return lines_; }

    // One pass and the check messages; nothing while the rules are switched off ("bez EXPR").
    void Recalculate();
    void RunPass();
    QStringList UpdateErrorHint();
    const QStringList& ErrorHints() const { return hints_; }

    QString EvaluateRule(const QString& expression);
    // An expression that failed in the last EvaluateRule: the evaluator's message, else empty.
    QString LastError() const { return lastError_; }

    void SetVariable(const QString& name, const QString& value);
    QString GetVariable(const QString& name) const;
    const QMap<QString, QString>& Variables() const { return variables_; }

    FormDocument& Document() { return doc_; }
    TFieldConditionEvaluator& Evaluator() { return evaluator_; }

    bool disabled = false; // "bez EXPR"
    // Told of every expression that fails during a pass (line index from 0, the expression, the
    // evaluator's message): the rule linter listens here, the program does not.
    std::function<void(int line, const QString& expression, const QString& error)> onFailure;
    // Reuses results of expressions whose text after substitution was seen before; results are
    // the same as evaluating afresh (the parse of a given text always gives the same value).
    bool useCache = true;

    // Rewrites a DYNSUM expression into SUM([a],[b],...); "Wrong input data!" when malformed.
    QString ExpandDynSum(const QString& expression);
    void RunIteration(const QString& expression);

private:
    struct Action {
        bool assigns = false;
        QString target;     // upper-cased for variables
        int field = 0;      // target field number
        enum { None, Field, Iteration, Variable } kind = None;
        QString expression;
        bool dynsum = false;
    };
    struct Line {
        bool conditional = false;
        QString condition;
        Action thenAction, elseAction;
    };
    static Action parseAction(const QString& text);
    static Line parseLine(const QString& raw);
    void runAction(const Action& a);
    QString evaluateChecked(const QString& expression);
    int countValue(const QString& text);
    QString evaluateCached(const QString& expression);

    FormDocument& doc_;
    TFieldConditionEvaluator evaluator_;
    QStringList lines_;
    std::vector<Line> parsed_;
    QMap<QString, QString> variables_;
    QStringList hints_;
    QString lastError_;
    int currentLine_ = -1;

    struct Prepared {
        ConditionType type;
        QString text; // after the case rule and the mode prefix
    };
    QHash<QString, Prepared> prepared_[2]; // by case sensitivity
    QHash<QString, QString> results_[3];   // by condition type after substitution
};

// A text is a number for the rules: digits, at most one decimal separator ("." or ","), at most
// one "-" in front; the empty text counts too.
bool IsRuleNumber(const QString& text);
