// Creating a database from the scripts, and the script runner underneath.
#include <QDir>
#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "store/GlobalKonfig.h"
#include "store/ScriptRunner.h"

namespace {

TEST(Creation, NewDatabaseHoldsOfficesVersionAndAdministrator) {
    fb::Attachment att = fb::Attachment::open(LocalParams(TemplateDatabase()));
    fb::Transaction tx = att.startTransaction();
    EXPECT_EQ(att.scalar(tx, "select count(*) from URZEDY_SKARBOWE").toInt(), 400);
    EXPECT_EQ(att.scalar(tx, "select count(*) from LISTA_OPP").toInt(), 0); // no official list shipped
    EXPECT_EQ(att.rows(tx, "select WER_ID, WER_VER, WER_SUBVER from WERSJA"),
              (QList<QVariantList>{{-1, 2022, 1}}));
    EXPECT_EQ(
        att.rows(tx,
                 "select OP_ID, OP_NAZWISKO, OP_IMIE, OP_UPRAWNIENIA, OP_USUNIETY, OP_PASS from OPERATOR"),
        (QList<QVariantList>{{1, "Administrator", "Naczelny", 65535, "N", QVariant()}}));
    // Codes rise as keys fall; names keep their Polish letters through WIN1250.
    EXPECT_EQ(
        att.rows(tx,
                 "select first 1 IDX, KODURZEDU, NAZWA, MIEJSCOWOSC from URZEDY_SKARBOWE order by IDX desc"),
        (QList<QVariantList>{{-2, "0202    ", QString::fromUtf8("URZĄD SKARBOWY W BOLESŁAWCU"),
                              QString::fromUtf8("Bolesławiec")}}));
    EXPECT_EQ(att.scalar(tx, "select min(IDX) from URZEDY_SKARBOWE").toInt(), -401);
    EXPECT_EQ(att.scalar(tx, "select count(*) from RDB$INDICES where RDB$INDEX_NAME in "
                             "('URZEDY_SKARBOWE_IDX1', 'IND_URZEDY_SKARBOWE_MIEJSCOWOSC', 'LISTA_OPP_IDX1', "
                             "'IND_LISTA_OPP_MIEJSCOWOSC')")
                  .toInt(),
              4);
    EXPECT_EQ(att.scalar(tx, "select rdb$character_set_name from rdb$database").toString().trimmed(),
              "WIN1250");
    EXPECT_EQ(att.scalar(tx, "select mon$forced_writes from mon$database").toInt(),
              1); // made fast, left safe
}

TEST_F(StoreTest, FormsTriggersStampInsertsAndCascadeDeletes) {
    fb::Attachment att = fb::Attachment::open(LocalParams(dbPath));
    fb::Transaction tx = att.startTransaction();
    // A supplied key is kept and still gets its creation time.
    att.execute(tx, "insert into FORMS (FOR_ID, FOR_TYP) values (100, 'TFRMPIT_37')");
    att.execute(tx, "insert into FORMS (FOR_TYP) values ('TFRMPIT_37')");
    att.execute(tx, "insert into FORMS (FOR_ID, FOR_TYP, FOR_MASTER_ID) values (?, 'TFRMPIT_O', 100)", {101});
    att.execute(tx, "insert into FORMS (FOR_ID, FOR_TYP, FOR_MASTER_ID) values (?, 'TFRMPIT_O', 100)", {102});
    EXPECT_EQ(att.scalar(tx, "select count(*) from FORMS where CREATE_AT is null").toInt(), 0);
    EXPECT_EQ(att.scalar(tx, "select min(FOR_ID) from FORMS where FOR_ID < 100").toInt(), 1);
    att.execute(tx, "update FORMS set FOR_UWAGI = 'x' where FOR_ID = 100");
    EXPECT_FALSE(att.scalar(tx, "select MODIFIED_AT from FORMS where FOR_ID = 100").isNull());

    att.execute(tx, "delete from FORMS where FOR_ID = 101"); // an attachment alone
    EXPECT_EQ(att.scalar(tx, "select count(*) from FORMS where FOR_ID in (100, 102)").toInt(), 2);
    att.execute(tx, "delete from FORMS where FOR_ID = 100"); // the declaration takes the rest
    EXPECT_EQ(att.scalar(tx, "select count(*) from FORMS where FOR_ID >= 100").toInt(), 0);
}

TEST_F(StoreTest, CreatingOverAnExistingFileFailsAndLeavesItAlone) {
    ScriptedInteraction ui;
    TGlobalKonfig konfig;
    konfig.BazaDanych = dbPath;
    konfig.Uzytkownik = "SYSDBA";
    konfig.Haslo = "plumtrees";
    QStringList statuses;
    const bool created = CreateDatabase(
        konfig, [](DatabaseTarget&) { return true; }, [&](const QString& s) { statuses << s; });
    EXPECT_FALSE(created);
    EXPECT_EQ(statuses.size(), 4); // the later scripts still ran
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].caption, "Błąd");
    EXPECT_TRUE(
        ui.boxes[0].text.startsWith("Błąd tworzenia bazy danych\n:" + dbPath + "\n\nMożliwe przyczyny:\n"));
    EXPECT_TRUE(ui.boxes[0].text.endsWith("c) plik bazy danych test.fb już istnieje w podanej lokalizacji"));

    fb::Attachment att = fb::Attachment::open(LocalParams(dbPath));
    fb::Transaction tx = att.startTransaction();
    EXPECT_EQ(att.scalar(tx, "select count(*) from URZEDY_SKARBOWE").toInt(), 400);
    EXPECT_EQ(att.scalar(tx, "select count(*) from OPERATOR").toInt(), 1);
}

TEST(Creation, WizardTargetBecomesTheConfiguration) {
    QTemporaryDir dir;
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    ScriptedInteraction ui;
    TGlobalKonfig konfig;
    konfig.BazaDanych = "/nonexistent/old.fb";
    const QString path = dir.filePath("sub/new.fb"); // the one missing folder level is created
    const bool created = CreateDatabase(konfig, [&](DatabaseTarget& t) {
        EXPECT_EQ(t.path, "/nonexistent/old.fb");
        t = LocalTarget(path);
        return true;
    });
    EXPECT_TRUE(created);
    EXPECT_TRUE(ui.boxes.isEmpty());
    EXPECT_EQ(konfig.BazaDanych, path);
    EXPECT_EQ(konfig.Uzytkownik, "SYSDBA");

    konfig.BazaDanych = "/nonexistent/old.fb";
    EXPECT_FALSE(CreateDatabase(konfig, [](DatabaseTarget&) { return false; })); // cancelled
    EXPECT_EQ(konfig.BazaDanych, "/nonexistent/old.fb");
    EXPECT_TRUE(ui.boxes.isEmpty());
}

TEST(ScriptRunner, SplitsOnTheCurrentTerminator) {
    const QString script = "SET SQL DIALECT 3;\n"
                           "/* a ; in a comment */ CREATE TABLE T (A VARCHAR(5) DEFAULT ';');\n"
                           "-- line comment ;\n"
                           "SET TERM ^ ;\n"
                           "CREATE TRIGGER X FOR T BEFORE INSERT AS BEGIN NEW.A = 'a;b'; END^\n"
                           "SET TERM ; ^\n"
                           "INSERT INTO T VALUES ('it''s;');";
    const QList<ScriptRunner::Piece> pieces = ScriptRunner::Split(script);
    QStringList texts;
    QList<int> lines;
    for (const auto& p : pieces) {
        texts << p.text;
        lines << p.line;
    }
    EXPECT_EQ(texts, (QStringList{"SET SQL DIALECT 3", "CREATE TABLE T (A VARCHAR(5) DEFAULT ';')",
                                  "CREATE TRIGGER X FOR T BEFORE INSERT AS BEGIN NEW.A = 'a;b'; END",
                                  "INSERT INTO T VALUES ('it''s;')"}));
    EXPECT_EQ(lines, (QList<int>{1, 2, 5, 7}));
}

TEST(ScriptRunner, PlaceholdersAreReplacedWithoutRegardToCaseAndQuoted) {
    EXPECT_EQ(SubstituteScript("CONNECT '__DBNAME__' USER '__user__' PASSWORD '__Pass__';",
                               "/home/o'brien/a.fb", "SYSDBA", "p'w"),
              "CONNECT '/home/o''brien/a.fb' USER 'SYSDBA' PASSWORD 'p''w';");
}

TEST(ScriptRunner, RunsAScriptAndReportsTheFailingLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("o'brien.fb");
    const QString head = SubstituteScript("SET SQL DIALECT 3;\nSET NAMES WIN1250;\n"
                                          "CREATE DATABASE '__DBNAME__' USER '__USER__' PASSWORD '__PASS__' "
                                          "PAGE_SIZE = 4096 DEFAULT CHARACTER SET WIN1250;\n",
                                          path, "SYSDBA", "x");
    ScriptRunner runner;
    runner.run(head + "CREATE TABLE T (A VARCHAR(10));\nINSERT INTO T VALUES ('zażółć');\nCOMMIT WORK;\n"
                      "INSERT INTO T VALUES ('rolled');\nROLLBACK;\n");
    fb::Attachment att = fb::Attachment::open(LocalParams(path));
    fb::Transaction tx = att.startTransaction();
    EXPECT_EQ(att.rows(tx, "select A from T"), (QList<QVariantList>{{QString::fromUtf8("zażółć")}}));
    tx.commit();
    att.close();

    ScriptRunner failing;
    const QString connect =
        SubstituteScript("CONNECT '__DBNAME__' USER '__USER__' PASSWORD '__PASS__';\n", path, "SYSDBA", "x");
    try {
        failing.run(connect + "INSERT INTO T VALUES ('kept');\n\nINSERT INTO NOPE VALUES (1);\n", "test.sql");
        FAIL() << "no error";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.line(), 4);
        EXPECT_TRUE(e.message().startsWith("test.sql, wiersz 4: ")) << qPrintable(e.message());
    }
    // Work of a script that stopped is not committed.
    att = fb::Attachment::open(LocalParams(path));
    tx = att.startTransaction();
    EXPECT_EQ(att.scalar(tx, "select count(*) from T").toInt(), 1);
}

} // namespace
