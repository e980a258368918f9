#pragma once
// Checks a rule file against its form's layout. A failing rule does nothing at run time and
// says nothing, so authors need this: lines that do not parse, references to fields the layout
// lacks or to variables not assigned above, and expressions that fail on an empty form and on
// a form filled with sample values.
#include <QList>
#include <QString>
#include <QStringList>

#include "forms/FormLayout.h"

struct LintFinding {
    int line = 0;      // 1-based
    QString text;      // the rule line
    QString message;
};

QList<LintFinding> LintRules(const QStringList& lines, std::shared_ptr<const FormLayout> layout);
