// The data module: documents saved and loaded through the form model, the one transaction,
// the document list's filters, and connecting.
#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "forms/FormDocument.h"
#include "forms/FormLayout.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"

namespace {

// A small attachment form with two series, stored as a spouse variant.
const char* kAttachmentLayout = R"LAY(
form frmTest "TEST"
page "Strona1"
field 1 masked mask="99999999999;1;_" max=11 key=iden1 "NIP"
field 2 text key=IDEN2 "Nazwisko"
field 1000 count key=SERIA "Liczba firm"
field 2000 count key=SERIA "Liczba dzieci"
series 1 count=1000 "Firma (@)"
field 11 text "Nazwa firmy @"
endseries
series 2 count=2000 "Dziecko (@)"
field 31 text "Imię dziecka"
endseries
)LAY";

std::unique_ptr<FormDocument> attachmentDoc() {
    static auto layout =
        std::make_shared<FormLayout>(FormLayout::parse(QString::fromUtf8(kAttachmentLayout)));
    auto doc = std::make_unique<FormDocument>(layout);
    doc->setTypeCode("TFRMPIT_BM");
    return doc;
}

std::unique_ptr<FormDocument> pit37(const QString& nip, const QString& surname, const QString& name,
                                    bool korekta = false) {
    auto doc = FormDocument::create("TFRMPIT_37");
    doc->ApplyDocumentText("1=" + nip + "\r\n12=" + surname + "\r\n13=" + name + "\r\n5=2022\r\n" +
                           (korekta ? "510=1\r\n" : "10=1\r\n"));
    return doc;
}

class DaneTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        konfig.BazaDanych = dbPath;
        konfig.Uzytkownik = "SYSDBA";
        konfig.Haslo = "plumtrees";
        dane = std::make_unique<TDane>(konfig);
        dane->OpenDatabase();
    }
    // The main documents as another connection sees them after a commit.
    QList<QVariantList> committed(const QString& sql) {
        fb::Attachment att = fb::Attachment::open(LocalParams(dbPath));
        fb::Transaction tx = att.startTransaction(true);
        return att.rows(tx, sql);
    }
    int save(std::unique_ptr<FormDocument> doc) {
        dane->SaveDocument(true, *doc, false);
        return dane->Forms().current()->FOR_ID;
    }
    QList<int> listed() {
        QList<int> ids;
        for (const FormRow& r : dane->Forms().rows())
            ids << r.FOR_ID;
        return ids;
    }
    TGlobalKonfig konfig;
    std::unique_ptr<TDane> dane;
};

TEST_F(DaneTest, DocumentRoundTripWithKeysNotesAndCompany) {
    auto doc = pit37("12345678903", QString::fromUtf8("ŻÓŁKIEWSKA-NOWAK"), "ANNA", true);
    dane->SetCompanyContext("FIRMA1");
    dane->Notatki = QString::fromUtf8("pierwsza\r\nżółta");
    dane->QueryDocuments("TFRMPIT_37", "", "", "");
    EXPECT_TRUE(dane->SaveDocument(true, *doc, false));
    const FormRow& row = *dane->Forms().current();
    EXPECT_EQ(row.FOR_NIP, "12345678903");
    EXPECT_EQ(row.FOR_TYP, "TFRMPIT_37");
    EXPECT_EQ(row.FOR_KOREKTA, 1);
    EXPECT_EQ(row.FOR_FIRMA, "FIRMA1");
    EXPECT_FALSE(row.FOR_MASTER_ID.has_value());
    EXPECT_EQ(row.FOR_DATA_WYPELNIENIA, QDate::currentDate());
    EXPECT_EQ(row.C_FOR_NAZIMIE, QString::fromUtf8("ŻÓŁKIEWSKA-NOWAK ANNA"));
    EXPECT_EQ(row.C_FOR_TYP, "PIT-37 KOR");
    EXPECT_TRUE(row.CREATE_AT.isValid());
    dane->CommitAndRefresh(true);

    TDane other(konfig);
    other.OpenDatabase();
    other.QueryDocuments("TFRMPIT_37", "", "", "");
    ASSERT_EQ(other.Forms().recordCount(), 1);
    auto loaded = FormDocument::create("TFRMPIT_37");
    other.LoadDocument(*loaded, false);
    EXPECT_EQ(loaded->BuildDocumentText(), doc->BuildDocumentText());
    EXPECT_EQ(other.Notatki, dane->Notatki);
    EXPECT_FALSE(other.SaveDocument(false, *loaded, false)); // nothing changed
    loaded->SetFieldText(13, "EWA");
    EXPECT_TRUE(other.SaveDocument(false, *loaded, false));
    EXPECT_EQ(other.Forms().recordCount(), 1);
    EXPECT_EQ(other.Forms().current()->C_FOR_NAZIMIE, QString::fromUtf8("ŻÓŁKIEWSKA-NOWAK EWA"));
}

TEST_F(DaneTest, AttachmentBelongsToTheCurrentDocumentAndKeepsItsSeries) {
    auto att = attachmentDoc();
    EXPECT_THROW(dane->SaveDocument(true, *att, true), std::runtime_error); // no declaration yet
    const int master = save(pit37("12345678903", "KOWALSKI", "JAN"));
    save(pit37("98765432109", "NOWAK", "PIOTR"));
    ASSERT_TRUE(dane->Forms().locate(master));

    att->ExpandSeries("2;1;");
    att->ApplyDocumentText("1=12345678903\r\n2=KOWALSKI\r\n111=Alfa\r\n211=Beta\r\n131=Ola\r\n");
    dane->SaveDocument(true, *att, true);
    const FormRow& row = *dane->Zalaczniki().current();
    EXPECT_EQ(row.FOR_MASTER_ID, master);
    EXPECT_EQ(row.FOR_SERIES, "2;1;");
    EXPECT_EQ(row.C_FOR_TYP, QString::fromUtf8("PIT-B(Małżonek)"));
    const int attId = row.FOR_ID;
    dane->CommitAndRefresh(true);

    dane->QueryDocuments("", "", "", ""); // attachments never appear in the document list
    EXPECT_EQ(dane->Forms().recordCount(), 2);
    ASSERT_TRUE(dane->Forms().locate(master));
    ASSERT_EQ(dane->Zalaczniki().recordCount(), 1);
    EXPECT_EQ(dane->Zalaczniki().current()->FOR_ID, attId);
    auto loaded = attachmentDoc();
    dane->LoadDocument(*loaded, true);
    EXPECT_EQ(loaded->seriesCount(1), 2);
    EXPECT_EQ(loaded->seriesCount(2), 1);
    EXPECT_EQ(loaded->BuildDocumentText(), att->BuildDocumentText());

    dane->DeleteRecord(dane->Forms()); // the declaration takes its attachment along
    dane->CommitAndRefresh(true);
    EXPECT_EQ(committed("select count(*) from FORMS"), (QList<QVariantList>{{1}}));
}

TEST_F(DaneTest, RollBackDiscardsEverySaveAndKeepsThePosition) {
    const int first = save(pit37("11111111116", "PIERWSZY", "A"));
    const int second = save(pit37("22222222222", "DRUGI", "B"));
    dane->CommitAndRefresh(true);
    ASSERT_TRUE(dane->Forms().locate(second));

    auto doc = FormDocument::create("TFRMPIT_37");
    dane->LoadDocument(*doc, false);
    doc->SetFieldText(12, "ZMIENIONY");
    dane->SaveDocument(false, *doc, false);
    dane->SaveDocument(true, *attachmentDoc(), true); // an attachment saved while editing
    dane->CommitAndRefresh(false);

    EXPECT_EQ(listed(), (QList<int>{first, second}));
    EXPECT_EQ(dane->Forms().current()->FOR_ID, second);
    EXPECT_EQ(dane->Forms().current()->FOR_NAZWISKO, "DRUGI");
    EXPECT_EQ(committed("select count(*) from FORMS"), (QList<QVariantList>{{2}}));
}

TEST_F(DaneTest, DuplicateGetsANewKeyAndTheSameContent) {
    const int id = save(pit37("12345678903", "KOWALSKI", "JAN"));
    dane->DuplicateRecord(dane->Forms());
    const FormRow& copy = *dane->Forms().current();
    EXPECT_NE(copy.FOR_ID, id);
    EXPECT_EQ(copy.FOR_DANE, dane->Forms().rows().first().FOR_DANE);
    EXPECT_EQ(copy.C_FOR_NAZIMIE, "KOWALSKI JAN");
}

TEST_F(DaneTest, FiltersAreSearchTextsNotSql) {
    save(pit37("12345678903", "O'BRIEN", "JAN"));
    save(pit37("98765432109", QString::fromUtf8("ŻÓŁĆ"), ""));
    auto kor = pit37("55555555555", "KOREKTOWY", "K", true);
    dane->SetCompanyContext("Firma1");
    dane->SaveDocument(true, *kor, false);
    // Rows written by other means may lack the identifier or the first name.
    dane->BazaDanych().execute(
        dane->Transakcja(), "insert into FORMS (FOR_TYP, FOR_NAZWISKO, FOR_IMIE) values ('TFRMPIT_37', ?, ?)",
        {"BEZNIPU", "ADAM"});
    dane->CommitAndRefresh(true);

    const struct {
        const char* type;
        const char* company;
        const char* filter;
        QStringList surnames;
    } cases[] = {
        {"TFRMPIT_ALL", "", "", {"O'BRIEN", "ŻÓŁĆ", "BEZNIPU", "KOREKTOWY"}},
        {"", "", "  ", {"O'BRIEN", "ŻÓŁĆ", "BEZNIPU", "KOREKTOWY"}},
        {"tfrmpit_37", "", "o'brien", {"O'BRIEN"}},
        {"", "", "żółć", {"ŻÓŁĆ"}},
        {"", "", "98765", {"ŻÓŁĆ"}},
        {"", "", "beznipuad", {"BEZNIPU"}}, // no identifier, still found
        {"", "", "' OR '1'='1", {}},
        {"", "", "x'; DELETE FROM FORMS; --", {}},
        {"", "", "%", {}},
        {"TFRMPIT_28", "", "", {}},
        {"", "FIRMA1", "", {"KOREKTOWY"}},
        {"", "firma1", "kor", {"KOREKTOWY"}},
    };
    for (const auto& c : cases) {
        dane->QueryDocuments(c.type, QString::fromUtf8(c.company), "", QString::fromUtf8(c.filter));
        QStringList found;
        for (const FormRow& r : dane->Forms().rows())
            found << r.FOR_NAZWISKO;
        QStringList expected;
        for (const QString& s : c.surnames)
            expected << QString::fromUtf8(s.toUtf8());
        found.sort();
        expected.sort();
        EXPECT_EQ(found, expected) << c.type << " / " << c.company << " / " << c.filter;
    }
    EXPECT_EQ(committed("select count(*) from FORMS"), (QList<QVariantList>{{4}}));
}

TEST_F(DaneTest, SortOrderIsAColumnListOrNothing) {
    save(pit37("11111111116", "BBB", "X"));
    save(pit37("22222222222", "AAA", "Y"));
    save(pit37("33333333333", "CCC", "Z"));
    const struct {
        const char* order;
        const char* clause;
        QStringList surnames;
    } cases[] = {
        {"FOR_NAZWISKO ASC", "ORDER BY FOR_NAZWISKO ASC", {"AAA", "BBB", "CCC"}},
        {" for_nazwisko desc ", "ORDER BY FOR_NAZWISKO DESC", {"CCC", "BBB", "AAA"}},
        {"FOR_TYP, FOR_NIP DESC", "ORDER BY FOR_TYP, FOR_NIP DESC", {"CCC", "AAA", "BBB"}},
        {"FOR_NAZWISKO; DROP TABLE FORMS", "", {}},
        {"1", "", {}},
        {"", "", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TDane::OrderClause(c.order), c.clause) << c.order;
        dane->QueryDocuments("", "", c.order, "");
        EXPECT_EQ(dane->Forms().recordCount(), 3) << c.order;
        if (c.surnames.isEmpty()) continue;
        QStringList found;
        for (const FormRow& r : dane->Forms().rows())
            found << r.FOR_NAZWISKO;
        EXPECT_EQ(found, c.surnames) << c.order;
    }
}

TEST_F(DaneTest, ProgramPasswordIsKeptInTheOperatorRow) {
    konfig.HasloProgramu = QString::fromUtf8("tajne ąę");
    dane->StoreProgramPassword();
    dane->CommitAndRefresh(true);
    EXPECT_EQ(committed("select OP_PASS from OPERATOR"),
              (QList<QVariantList>{{"311629731063110310123231853234"}}));
    TGlobalKonfig otherKonfig = konfig;
    otherKonfig.HasloProgramu.clear();
    TDane other(otherKonfig);
    other.OpenDatabase();
    other.LoadProgramPassword();
    EXPECT_EQ(otherKonfig.HasloProgramu, QString::fromUtf8("tajne ąę"));
}

TEST_F(DaneTest, OperatorTablesAreAddedToAnOlderDatabase) {
    dane->CloseDatabase();
    {
        fb::Attachment att = fb::Attachment::open(LocalParams(dbPath));
        fb::Transaction tx = att.startTransaction();
        for (const char* sql : {"drop table OPERATOR", "drop table LOGS", "drop generator GEN_OP_ID",
                                "drop generator GEN_LOGS_ID"}) {
            att.execute(tx, sql);
            tx.commit();
            tx = att.startTransaction();
        }
    }
    dane->OpenDatabase();
    EXPECT_TRUE(dane->Operators().isEmpty());
    dane->CommitAndRefresh(true); // the operator list opens with the next refresh
    ASSERT_EQ(dane->Operators().size(), 1);
    EXPECT_EQ(dane->Operators().first().OP_NAZWISKO, "Administrator");
    dane->OpenDataSets(); // an existing table is never created twice
    EXPECT_EQ(committed("select count(*) from OPERATOR"), (QList<QVariantList>{{1}}));
}

TEST_F(DaneTest, LastYearsDocumentsOpenFromTheirOwnDatabase) {
    save(pit37("12345678903", "KOWALSKI-BARDZO-DLUGIE-NAZWISKO", "JAN"));
    dane->CommitAndRefresh(true);
    konfig.OLD_BazaDanych = dbPath;
    konfig.OLD_Uzytkownik = "SYSDBA";
    konfig.OLD_Haslo = "plumtrees";
    dane->OpenLastYearDocuments("TFRMPIT_37");
    ASSERT_EQ(dane->OldForms().recordCount(), 1);
    EXPECT_EQ(dane->OldForms().current()->C_FOR_NAZIMIE, "KOWALSKI-BARDZO-DLUGIE-NAZWISK");

    ScriptedInteraction ui;
    konfig.OLD_BazaDanych = dir.filePath("brak.fb");
    EXPECT_THROW(dane->OpenLastYearDocuments("TFRMPIT_37"), fb::Error);
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].text, "Błąd otwarcia ubiegłorocznej bazy dokumentów\n" + konfig.OLD_BazaDanych);
    EXPECT_FALSE(dane->OldForms().isOpen());
}

class ConnectTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        konfig.BazaDanych = dbPath;
        konfig.Uzytkownik = "SYSDBA";
        konfig.Haslo = "plumtrees";
    }
    QStringList boxTexts() const {
        QStringList t;
        for (const auto& b : ui.boxes)
            t << b.text;
        return t;
    }
    ScriptedInteraction ui;
    TGlobalKonfig konfig;
};

TEST_F(ConnectTest, ReportsTheOutcomeWhenAsked) {
    TDane dane(konfig);
    QStringList statuses;
    dane.startupStatus = [&](const QString& s) { statuses << s; };
    EXPECT_TRUE(dane.Connect(true));
    EXPECT_TRUE(ui.boxes.isEmpty());
    EXPECT_EQ(statuses, (QStringList{"Próba nawiązania połączenia z bazą:\r" + dbPath,
                                     "Połączenie nawiązane:\r" + dbPath}));
    EXPECT_TRUE(dane.Connect(false));
    EXPECT_EQ(boxTexts(), QStringList{"OK. Połączenie z bazą nawiązane!"});
    EXPECT_TRUE(dane.Forms().isOpen());
}

TEST_F(ConnectTest, WarnsAboutADatabaseOfAnotherYear) {
    {
        fb::Attachment att = fb::Attachment::open(LocalParams(dbPath));
        fb::Transaction tx = att.startTransaction();
        att.execute(tx, "update WERSJA set WER_VER = 2021");
        tx.commit();
    }
    TDane dane(konfig);
    EXPECT_TRUE(dane.Connect(true));
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].kind, BoxError);
    EXPECT_EQ(ui.boxes[0].text,
              "Nawiązano połączenia z bazą danych z roku 2021!\n\nUzywanie tej wersji program z "
              "wybraną bazą może skutkować utratą danych! Wskaż właściwą bazę lub skontaktuj się "
              "z dystrybutorem programu.");
}

TEST_F(ConnectTest, AMissingDatabaseOffersTheWizard) {
    konfig.BazaDanych = dir.filePath("nowa.fb");
    TDane dane(konfig);
    EXPECT_FALSE(dane.Connect(false)); // no wizard confirmed
    ASSERT_EQ(ui.boxes.size(), 2);
    EXPECT_EQ(ui.boxes[0].text, "Połączenie nieudane!");
    EXPECT_EQ(ui.boxes[1].caption, "Błąd");
    EXPECT_TRUE(
        ui.boxes[1].text.startsWith("Błąd otawcia bazy danych " + konfig.BazaDanych +
                                    "\n\nSprawdź czy na komputerze zainstalowano niezbędny do pracy silnik "
                                    "Firebird/Interbase\ni czy usługa jest aktualnie uruchomiona.\n\n"));

    ui.boxes.clear();
    dane.newDatabaseWizard = [](DatabaseTarget&) { return true; };
    EXPECT_TRUE(dane.Connect(true));
    EXPECT_TRUE(ui.boxes.isEmpty());
    EXPECT_EQ(dane.DatabaseYear(), 2022);
}

TEST_F(ConnectTest, SettingsAndPasswordSurviveARestart) {
    SetSettingsFile(dir.filePath("Sumaris.ini"));
    {
        TDane dane(konfig);
        dane.DataModuleCreate(); // reads the missing file's defaults, then the configured database
        EXPECT_EQ(konfig.BazaDanych, DefaultDatabasePath());
        konfig.BazaDanych = dbPath;
        ASSERT_TRUE(dane.Connect(false));
        konfig.HasloProgramu = "abc";
        konfig.Sortowanie = "FOR_NAZWISKO DESC";
        dane.DataModuleDestroy();
    }
    TGlobalKonfig fresh;
    TDane dane(fresh);
    dane.DataModuleCreate();
    EXPECT_TRUE(dane.Connected());
    EXPECT_EQ(fresh.BazaDanych, dbPath);
    EXPECT_EQ(fresh.HasloProgramu, "abc");
    EXPECT_EQ(dane.SortOrder(), "FOR_NAZWISKO DESC");
    SetSettingsFile(QString());
}

} // namespace
