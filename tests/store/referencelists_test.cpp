// The organisation list loaded from the published file, and the picker searches.
#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "support/QtPrint.h"

#include "app/util/Encoding.h"
#include "store/ReferenceLists.h"

namespace {

// Clearly synthetic rows in the shapes the published list takes.
const char* kSemicolonList = "Wykaz organizacji (dane testowe)\n"
                             "Lp.;Numer KRS;Nazwa organizacji;Województwo;Miejscowość\n"
                             "1;12345;FUNDACJA TESTOWA O'BRIEN;MAZOWIECKIE;Łódź\n"
                             "2; 0000000007 ;STOWARZYSZENIE PRÓBNE \"ŻUBR\";ŚLĄSKIE;Gdańsk\n"
                             "3;12345;FUNDACJA TESTOWA O'BRIEN;MAZOWIECKIE;Łódź\n"
                             ";;;;\n";
const char* kCommaList = "KRS,Nazwa,Miejscowość\r\n"
                         "0000012345,\"FUNDACJA TESTOWA O'BRIEN, ODDZIAŁ\",Łódź\r\n"
                         "7,\"STOWARZYSZENIE PRÓBNE \"\"ŻUBR\"\"\",Gdańsk\r\n";

class OppListTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        att = fb::Attachment::open(LocalParams(dbPath));
    }
    QString writeList(const QByteArray& bytes) {
        const QString path = dir.filePath("lista.csv");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    QList<QVariantList> stored() {
        fb::Transaction tx = att.startTransaction(true);
        return att.rows(tx, "select IDX, KODREGON, NAZWA, MIEJSCOWOSC from LISTA_OPP order by IDX desc");
    }
    fb::Attachment att;
};

TEST_F(OppListTest, LoadsEitherSeparatorAndEncoding) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString name1;
        int duplicates;
    } cases[] = {
        {"semicolon, UTF-8 with BOM", QByteArray("\xEF\xBB\xBF") + kSemicolonList,
         QString::fromUtf8("FUNDACJA TESTOWA O'BRIEN"), 1},
        {"comma, Windows-1250", ToWin1250(QString::fromUtf8(kCommaList)),
         QString::fromUtf8("FUNDACJA TESTOWA O'BRIEN, ODDZIAŁ"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OppLoadResult r = LoadOppList(att, writeList(c.bytes));
        EXPECT_EQ(r.loaded, 2);
        EXPECT_EQ(r.duplicates, c.duplicates);
        EXPECT_EQ(stored(),
                  (QList<QVariantList>{
                      {-1, "0000000007", QString::fromUtf8("STOWARZYSZENIE PRÓBNE \"ŻUBR\""), "Gdańsk"},
                      {-2, "0000012345", c.name1, QString::fromUtf8("Łódź")}}));
    }
}

TEST_F(OppListTest, AFileThatIsNoListChangesNothing) {
    LoadOppList(att, writeList(kSemicolonList));
    const QList<QVariantList> before = stored();
    const struct {
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"KRS;Nazwa\n1;FUNDACJA\n",
         "Plik lista.csv nie jest wykazem organizacji pożytku publicznego: brak kolumn: "
         "miejscowość."},
        {"Numer;Opis;Miasto\n1;x;y\n",
         "Plik lista.csv nie jest wykazem organizacji pożytku publicznego: brak kolumn: "
         "numer KRS, nazwa."},
        {QByteArray("PK\x03\x04\x00\x00binary", 14),
         "Plik lista.csv nie jest wykazem organizacji pożytku publicznego: "
         "brak kolumn: numer KRS, nazwa, miejscowość."},
        {"KRS;Nazwa;Miejscowość\n12A45;FUNDACJA;Łódź\n",
         "Plik lista.csv, wiersz 2: niepoprawny numer KRS: 12A45"},
        {"KRS;Nazwa;Miejscowość\n12345678901;FUNDACJA;Łódź\n",
         "Plik lista.csv, wiersz 2: niepoprawny numer KRS: 12345678901"},
    };
    for (const auto& c : cases) {
        try {
            LoadOppList(att, writeList(c.bytes));
            ADD_FAILURE() << c.message;
        } catch (const ListFileError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.message));
        }
        EXPECT_EQ(stored(), before);
    }
    EXPECT_THROW(LoadOppList(att, dir.filePath("none.csv")), ListFileError);
}

TEST_F(OppListTest, SearchesTakeTheTextAsPlainText) {
    LoadOppList(att, writeList(kSemicolonList));
    fb::Transaction tx = att.startTransaction(true);
    const struct {
        const char* text;
        QStringList krs;
    } cases[] = {
        {"", {"0000012345", "0000000007"}},
        {"o'brien", {"0000012345"}}, // name, any case, with an apostrophe
        {"gdańsk", {"0000000007"}},  // town
        {"0012", {"0000012345"}},    // part of the number
        {"' or '1'='1", {}},         // SQL text is only text
        {"%", {}},                   // and so are wildcards
        {"_", {}},
    };
    for (const auto& c : cases) {
        QStringList found;
        for (const Organisation& o : SearchOrganisations(att, tx, QString::fromUtf8(c.text)))
            found << o.krs;
        found.sort();
        QStringList expected = c.krs;
        expected.sort();
        EXPECT_EQ(found, expected) << c.text;
    }
}

TEST_F(StoreTest, TaxOfficeSearchFindsTheTownInAnyCase) {
    fb::Attachment att = fb::Attachment::open(LocalParams(dbPath));
    fb::Transaction tx = att.startTransaction(true);
    const QList<TaxOffice> offices = SearchTaxOffices(att, tx, QString::fromUtf8("gdań"));
    int inGdansk = 0;
    for (const TaxOffice& o : offices) {
        EXPECT_TRUE(o.town.toLower().contains(QString::fromUtf8("gdań"))) << qPrintable(o.town);
        inGdansk += o.town == QString::fromUtf8("Gdańsk");
    }
    EXPECT_GE(inGdansk, 2);
    EXPECT_EQ(SearchTaxOffices(att, tx, "").size(), 400);
    EXPECT_TRUE(SearchTaxOffices(att, tx, "x' or 1=1 --").isEmpty());
}

TEST(Csv, QuotedFieldsKeepSeparatorsQuotesAndLineBreaks) {
    EXPECT_EQ(ParseCsv("a;\"b;c\";\"d \"\"e\"\"\"\r\n\"f\ng\";;\n", u';'),
              (QList<QStringList>{{"a", "b;c", "d \"e\""}, {"f\ng", "", ""}}));
}

} // namespace
