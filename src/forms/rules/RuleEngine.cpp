#include "forms/rules/RuleEngine.h"

#include <QFileInfo>
#include <cmath>

#include "app/util/Encoding.h"
#include "app/util/Folders.h"
#include "app/util/Numbers.h"
#include "forms/FormDocument.h"

namespace {

// Results of these functions change between passes or show dialogs, so they are never reused.
bool mayVary(const QString& text) {
    return text.contains(QLatin1String("ASK")) || text.contains(QLatin1String("MESSAGEBOX")) ||
           text.contains(QLatin1String("DATE"));
}

constexpr int kMaxCachedResults = 20000;

QString defaultValue(ConditionType t) {
    switch (t) {
    case ConditionType::ctString: return QStringLiteral("''");
    case ConditionType::ctBoolean: return QStringLiteral("FALSE");
    default: return QStringLiteral("0");
    }
}

bool isWholeNumber(const QString& text) { return !text.isEmpty() && IsIntegerText(text); }

} // namespace

bool IsRuleNumber(const QString& text) {
    QString t = text;
    int dot = t.indexOf(u'.');
    if (dot >= 0) t[dot] = u'\x01';
    int comma = t.indexOf(u',');
    if (comma >= 0) t[comma] = u'\x01';
    bool sep = false;
    for (int i = 0; i < t.size(); ++i) {
        QChar c = t[i];
        if (c >= u'0' && c <= u'9') continue;
        if (c == u'\x01' && !sep) {
            sep = true;
            continue;
        }
        if (c == u'-' && i == 0) continue;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

QString TFieldConditionEvaluator::GetReferenceValue(const QString& name) {
    const QString n = name.trimmed();
    if (isWholeNumber(n)) {
        bool ok = false;
        int number = n.toInt(&ok);
        return ok ? engine_.Document().GetFieldText(number) : QString();
    }
    return engine_.GetVariable(n);
}

QString TFieldConditionEvaluator::SubstituteReferences(const QString& text) {
    if (text.contains(u'\'')) conditionType = ConditionType::ctString;
    QString out;
    out.reserve(text.size() + 16);
    int pos = 0;
    while (true) {
        int open = int(text.indexOf(u'[', pos));
        int close = int(text.indexOf(u']', pos));
        if (open < 0 || close < open) break;
        out += QStringView(text).mid(pos, open - pos);
        QString value = GetReferenceValue(text.mid(open + 1, close - open - 1));
        if (value.isEmpty()) {
            out += defaultValue(conditionType);
        } else {
            if (conditionType == ConditionType::ctNumeric && !IsRuleNumber(value))
                conditionType = ConditionType::ctString;
            if (conditionType == ConditionType::ctString) {
                // An apostrophe in a value (O'Neill) is doubled so that the text survives.
                value.replace(QStringLiteral("'"), QStringLiteral("''"));
                out += u'\'';
                out += value;
                out += u'\'';
            } else {
                out += value;
            }
        }
        // The inserted value is not scanned again; the search goes on after it.
        pos = close + 1;
    }
    out += QStringView(text).mid(pos);
    return out;
}

// ---------------------------------------------------------------------------------------------

RuleEngine::RuleEngine(FormDocument& document) : doc_(document), evaluator_(*this) {
    evaluator_.defaultConditionType = ConditionType::ctNumeric;
}

RuleEngine::~RuleEngine() = default;

bool RuleEngine::LoadRules(const QString& fileName) {
    QString path = fileName;
    if (QFileInfo(fileName).isRelative() && !fileName.contains(QLatin1String(":\\")))
        path = FindDataFile(QStringLiteral("EXPR/") + fileName);
    SetRules({});
    if (path.isEmpty() || !QFileInfo::exists(path)) return false;
    try {
        QString text = ReadTextFile(path);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        QStringList lines = text.split(u'\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        SetRules(lines);
        Recalculate();
    } catch (...) {
        SetRules({});
        return false;
    }
    return true;
}

void RuleEngine::SetRules(const QStringList& lines) {
    lines_ = lines;
    parsed_.clear();
    parsed_.reserve(size_t(lines.size()));
    for (const QString& l : lines) parsed_.push_back(parseLine(l));
}

RuleEngine::Action RuleEngine::parseAction(const QString& text) {
    Action a;
    a.expression = text.trimmed();
    int eq = int(text.indexOf(u'='));
    if (eq < 0) return a;
    a.assigns = true;
    a.target = text.left(eq).trimmed();
    a.expression = text.mid(eq + 1).trimmed();
    a.dynsum = a.expression.contains(QLatin1String("DYNSUM"), Qt::CaseInsensitive);
    if (isWholeNumber(a.target)) {
        bool ok = false;
        a.field = a.target.toInt(&ok);
        a.kind = ok ? Action::Field : Action::None;
    } else if (a.target.compare(QLatin1String("ITERATION"), Qt::CaseInsensitive) == 0) {
        a.kind = Action::Iteration;
    } else {
        a.kind = Action::Variable;
        a.target = UpperCase1250(a.target);
    }
    return a;
}

RuleEngine::Line RuleEngine::parseLine(const QString& raw) {
    Line line;
    const QString t = raw.trimmed();
    int then = int(t.indexOf(QLatin1String(" THEN "), 0, Qt::CaseInsensitive));
    if (t.startsWith(QLatin1String("IF "), Qt::CaseInsensitive) && then >= 2) {
        line.conditional = true;
        line.condition = t.mid(3, then - 3).trimmed();
        QString rest = t.mid(then + 6);
        int els = int(rest.indexOf(QLatin1String(" ELSE "))); // capitals only
        if (els >= 0) {
            line.thenAction = parseAction(rest.left(els).trimmed());
            line.elseAction = parseAction(rest.mid(els + 6).trimmed());
        } else {
            line.thenAction = parseAction(rest.trimmed());
        }
        return line;
    }
    line.thenAction = parseAction(t);
    return line;
}

void RuleEngine::Recalculate() {
    if (disabled) return;
    RunPass();
    UpdateErrorHint();
}

void RuleEngine::RunPass() {
    for (size_t i = 0; i < parsed_.size(); ++i) {
        const Line& line = parsed_[i];
        currentLine_ = int(i);
        try {
            if (line.conditional) {
                if (evaluateChecked(line.condition).toUpper() == u"TRUE") runAction(line.thenAction);
                else if (!line.elseAction.expression.isEmpty() || line.elseAction.assigns) runAction(line.elseAction);
            } else {
                runAction(line.thenAction);
            }
        } catch (const std::exception& e) {
            // A failing line does nothing more; the pass goes on.
            if (onFailure) onFailure(int(i), lines_[int(i)], QString::fromUtf8(e.what()));
        } catch (...) {
            if (onFailure) onFailure(int(i), lines_[int(i)], QStringLiteral("error"));
        }
    }
    currentLine_ = -1;
}

QString RuleEngine::evaluateChecked(const QString& expression) {
    QString value = EvaluateRule(expression);
    if (onFailure && !lastError_.isEmpty()) onFailure(currentLine_, expression, lastError_);
    return value;
}

void RuleEngine::runAction(const Action& a) {
    if (!a.assigns) {
        if (!a.expression.isEmpty()) evaluateChecked(a.expression);
        return;
    }
    const QString expression = a.dynsum ? ExpandDynSum(a.expression) : a.expression;
    switch (a.kind) {
    case Action::Field: doc_.SetFieldText(a.field, evaluateChecked(expression)); break;
    case Action::Iteration: RunIteration(expression); break;
    case Action::Variable: SetVariable(a.target, evaluateChecked(expression)); break;
    case Action::None: break;
    }
}

QString RuleEngine::EvaluateRule(const QString& expression) {
    QString result;
    if (useCache) {
        result = evaluateCached(expression);
    } else {
        evaluator_.setCondition(expression);
        result = evaluator_.EvaluateText();
        lastError_ = evaluator_.lastError();
    }
    if (!result.isEmpty() && IsRuleNumber(result)) result.replace(u',', u'.');
    return result;
}

// The same steps as the evaluator's EvaluateText, with the preparation of each expression kept
// and the result of each substituted text reused.
QString RuleEngine::evaluateCached(const QString& expression) {
    lastError_.clear();
    const int cs = evaluator_.caseSensitive ? 1 : 0;
    auto pit = prepared_[cs].constFind(expression);
    if (pit == prepared_[cs].constEnd()) {
        evaluator_.setCondition(expression);
        QString text = evaluator_.condition();
        Prepared p{ConditionType::ctNumeric, QString()};
        if (!text.isEmpty()) {
            try {
                p.type = evaluator_.DetectConditionType(text);
                p.text = text;
            } catch (const std::exception& e) {
                lastError_ = QString::fromUtf8(e.what());
                return QString();
            }
        }
        pit = prepared_[cs].insert(expression, p);
    }
    const Prepared& p = *pit;
    if (p.text.isEmpty()) return QString();
    try {
        evaluator_.conditionType = p.type;
        const QString text = evaluator_.SubstituteReferences(p.text);
        auto& cache = results_[int(evaluator_.conditionType)];
        if (auto rit = cache.constFind(text); rit != cache.constEnd()) return *rit;
        auto root = evaluator_.ParseExpression(text);
        QString value = root->TextValue();
        if (!mayVary(text)) {
            if (cache.size() >= kMaxCachedResults) cache.clear();
            cache.insert(text, value);
        }
        return value;
    } catch (const std::exception& e) {
        lastError_ = QString::fromUtf8(e.what());
        return QString();
    } catch (...) {
        lastError_ = QStringLiteral("error");
        return QString();
    }
}

QStringList RuleEngine::UpdateErrorHint() {
    hints_.clear();
    const bool previous = evaluator_.caseSensitive;
    evaluator_.caseSensitive = true;
    try {
        for (const QString& raw : lines_) {
            if (!raw.startsWith(QLatin1String("ERROR"), Qt::CaseInsensitive)) continue;
            int eq = int(raw.indexOf(u'='));
            if (eq < 0) continue;
            QString value = EvaluateRule(raw.mid(eq + 1));
            if (!value.isEmpty()) hints_.append(value);
        }
    } catch (...) {
    }
    evaluator_.caseSensitive = previous;
    return hints_;
}

void RuleEngine::SetVariable(const QString& name, const QString& value) {
    const QString key = UpperCase1250(name);
    if (value.isEmpty()) variables_.remove(key);
    else variables_.insert(key, value);
}

QString RuleEngine::GetVariable(const QString& name) const { return variables_.value(UpperCase1250(name)); }

int RuleEngine::countValue(const QString& text) {
    const QString t = text.trimmed();
    if (isWholeNumber(t)) return IntegerOrZero(t);
    // The name of a series count field, seriesCountEdt_<k>.
    if (t.startsWith(QLatin1String("seriesCountEdt_"), Qt::CaseInsensitive)) {
        bool ok = false;
        int k = t.mid(15).toInt(&ok);
        if (ok && doc_.layout().seriesByK(k)) {
            const QString edit = FormDocument::NumericEditText(doc_.FindFieldControl(doc_.layout().seriesByK(k)->countField));
            return edit.isEmpty() ? 0 : IntegerOrZero(edit);
        }
    }
    throw std::runtime_error("no such component: " + t.toStdString());
}

QString RuleEngine::ExpandDynSum(const QString& expression) {
    const QString bad = QStringLiteral("Wrong input data!");
    int at = int(expression.indexOf(QLatin1String("DYNSUM"), 0, Qt::CaseInsensitive));
    if (at < 0) return expression;
    QString s = expression.mid(at + 6).trimmed();
    if (s.startsWith(u'(')) s = s.mid(1);
    if (s.endsWith(u')')) s.chop(1);
    s = s.trimmed();
    if (!s.startsWith(u'[')) return bad;
    const QStringList parts = s.split(u',');
    if (parts.size() < 3) return bad;
    QString start = parts[0].trimmed();
    start.remove(u'[');
    start.remove(u']');
    start = start.trimmed();
    const QString step = parts[1].trimmed();
    if (!isWholeNumber(start) || !isWholeNumber(step)) return bad;
    int count = 0;
    try {
        count = countValue(parts[2]);
    } catch (...) {
        return bad;
    }
    const int a = IntegerOrZero(start), d = IntegerOrZero(step);
    QStringList refs;
    for (int i = 0; i < count; ++i) refs << QStringLiteral("[%1]").arg(a + i * d);
    return QStringLiteral("SUM(") + refs.join(u',') + u')';
}

void RuleEngine::RunIteration(const QString& expression) {
    const QStringList parts = expression.split(u';');
    if (parts.size() < 4) throw std::runtime_error("ITERATION needs start;step;count;template");
    const QString startText = parts[0].trimmed(), stepText = parts[1].trimmed();
    if (!isWholeNumber(startText) || !isWholeNumber(stepText)) throw std::runtime_error("ITERATION: bad numbers");
    const int start = IntegerOrZero(startText), step = IntegerOrZero(stepText);
    const int count = countValue(parts[2]);
    const QString tmpl = parts.mid(3).join(u';');
    for (int i = 1; i <= count; ++i) {
        QString expr;
        for (int k = 0; k < tmpl.size(); ++k) {
            if (tmpl[k] != u'@') {
                expr += tmpl[k];
                continue;
            }
            int e = k + 1;
            while (e < tmpl.size() && (tmpl[e].isDigit() || tmpl[e] == u'-')) ++e;
            const QString num = tmpl.mid(k + 1, e - k - 1);
            if (!isWholeNumber(num)) throw std::runtime_error("ITERATION: @ without a number");
            expr += QString::number(IntegerOrZero(num) + i * step);
            k = e - 1;
        }
        doc_.SetFieldText(start + i * step, evaluateChecked(expr));
    }
}
