// Data-folder look-ups, Windows-1250 text, and questions put through the interaction interface.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"
#include "app/util/Encoding.h"
#include "app/util/Folders.h"

namespace {

TEST(Folders, LookUpsIgnoreCaseAndAcceptBothSeparators) {
    QTemporaryDir dir;
    SetAppFolder(dir.path());
    ASSERT_TRUE(QDir().mkpath(DataFolder() + QStringLiteral("EXPR")));
    QFile f(DataFolder() + QStringLiteral("EXPR/FRMPIT_37.EXP"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString expected = DataFolder() + QStringLiteral("EXPR/FRMPIT_37.EXP");
    EXPECT_EQ(FindDataFile(QStringLiteral("expr/frmpit_37.exp")), expected);
    EXPECT_EQ(FindDataFile(QStringLiteral("Expr\\FrmPit_37.Exp")), expected);
    EXPECT_EQ(FindDataFile(QStringLiteral("EXPR/FRMPIT_36.EXP")), QString());
    EXPECT_EQ(DataFilePath(QStringLiteral("XMLTEMPL\\frmPit_37.xml")), DataFolder() + QStringLiteral("XMLTEMPL/frmPit_37.xml"));
    EXPECT_TRUE(DataFolder().endsWith(QStringLiteral("/_BIN2022/")));
    SetAppFolder(QString());
}

TEST(Encoding, Windows1250BothWaysAndPolishCase) {
    const QString polish = QStringLiteral("ąćęłńóśżź ĄĆĘŁŃÓŚŻŹ");
    EXPECT_EQ(FromWin1250(ToWin1250(polish)), polish);
    EXPECT_EQ(ToWin1250(QStringLiteral("Łą")), QByteArray("\xA3\xB9"));
    EXPECT_EQ(ToWin1250(QStringLiteral("€ 中")), QByteArray("\x80 ?"));
    EXPECT_EQ(UpperCase1250(QStringLiteral("żółć ß")), QStringLiteral("ŻÓŁĆ ß"));
    EXPECT_EQ(LowerCase1250(QStringLiteral("ŻÓŁĆ")), QStringLiteral("żółć"));
}

TEST(Interaction, BoxCaptionsAndPickListMemory) {
    ScriptedInteraction person;
    person.boxAnswers = {BoxResult::Yes};
    EXPECT_EQ(ShowBox(BoxYesNo, QStringLiteral("Usunąć?")), BoxResult::Yes);
    ShowBox(BoxError, QStringLiteral("x"));
    ShowBox(BoxInfo, QStringLiteral("y"), QStringLiteral("Własny"));
    ASSERT_EQ(person.boxes.size(), 3);
    EXPECT_EQ(person.boxes[0].caption, QStringLiteral("Uwaga!"));
    EXPECT_EQ(person.boxes[1].caption, QStringLiteral("Błąd!"));
    EXPECT_EQ(person.boxes[2].caption, QStringLiteral("Własny"));

    TStringListMenu menu;
    menu.lines = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    person.pickAnswers = {2, -1, 7};
    EXPECT_EQ(menu.Execute(), 2);
    EXPECT_EQ(menu.Execute(), -1);
    EXPECT_EQ(menu.Execute(), -1); // out of range counts as nothing chosen
    EXPECT_EQ(person.preselections, (QList<int>{-1, 2, 2}));
}

} // namespace
