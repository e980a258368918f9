// Every rule file shipped in the data folder lints clean against its form's layout: a failing
// rule line does nothing at run time and says nothing, so this is where such a line shows.
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "app/util/Encoding.h"
#include "app/util/Folders.h"
#include "forms/FormLayout.h"
#include "forms/FormTypes.h"
#include "forms/rules/RuleLinter.h"

TEST(ShippedRules, EveryRuleFileLintsClean) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    QDir dir(DataFolder() + QStringLiteral("EXPR"));
    const QStringList files = dir.entryList({QStringLiteral("*.EXP"), QStringLiteral("*.exp")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const FormType* type = FindFormType(QStringLiteral("T") + QFileInfo(file).completeBaseName());
        ASSERT_NE(type, nullptr) << "rule file names no form type";
        QString text = ReadTextFile(dir.filePath(file));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QStringList lines = text.split(u'\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        for (const LintFinding& f : LintRules(lines, LayoutForType(type->typeCode())))
            ADD_FAILURE() << f.line << ": " << f.text.toStdString() << "\n    " << f.message.toStdString();
    }
    SetAppFolder(QString());
}
