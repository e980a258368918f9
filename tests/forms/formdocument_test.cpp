// The form document: value texts of every field kind, the document text both ways, key
// values and series rows.
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "support/QtPrint.h"

#include "app/util/Folders.h"
#include "forms/FormDocument.h"

namespace {

const char* kLayout = R"LAY(
form frmTest "TEST"
page "Strona1"
field 1 masked mask="99999999999;1;_" max=11 key=iden1 "NIP / PESEL"
field 5 masked mask="\2\0##;1;_" max=4 "Rok"
field 6 radio group=6 "Indywidualnie"
field 506 radio group=6 "Wspólnie"
field 12 text key=IDEN2 "Nazwisko"
field 13 text key=Iden3 "Imię"
field 14 masked mask="99.99.9999;1;_" max=10 "Data urodzenia"
field 23 masked mask="99-999;1;_" max=6 "Kod"
field 515 upper "kod kraju"
field 163 masked mask="!aa99 9999 9999 9999 9999 9999 9999;0;_" max=34 "IBAN"
field 44 amount "Przychód"
field 56 whole "Zaliczka"
field 57 number dp=10 fmt="0.0000000000" "Udział"
field 60 amount calc "Dochód"
field 70 check "Zgoda"
field 80 memo "Uwagi"
field 90 combo items="a|b|c" "Wybór"
page "Strona2"
field 1000 count key=SERIA calc "Liczba firm"
field 2000 count key=SERIA calc "Liczba dzieci"
series 1 count=1000 "C.@. Firma (@)"
field 11 text "Nazwa firmy @"
field 21 amount "Dochód"
endseries
series 2 count=2000
field 31 text "Imię dziecka"
endseries
)LAY";

std::unique_ptr<FormDocument> makeDoc() {
    static auto layout = std::make_shared<FormLayout>(FormLayout::parse(QString::fromUtf8(kLayout)));
    return std::make_unique<FormDocument>(layout);
}

class Document : public ::testing::Test {
protected:
    std::unique_ptr<FormDocument> doc;
    void SetUp() override { doc = makeDoc(); }
    QString line(int n) {
        const QStringList lines = doc->BuildDocumentText().split(QStringLiteral("\r\n"));
        for (const QString& l : lines)
            if (l.startsWith(QString::number(n) + u'=')) return l.mid(l.indexOf(u'=') + 1);
        return QStringLiteral("<none>");
    }
};

TEST_F(Document, EmptyDocumentText) {
    const QString text = doc->BuildDocumentText();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 22); // templates of series are written too
    EXPECT_EQ(line(1), QStringLiteral("           "));
    EXPECT_EQ(line(5), QStringLiteral("20  "));
    EXPECT_EQ(line(14), QStringLiteral("  .  .    "));
    EXPECT_EQ(line(23), QStringLiteral("  -   "));
    EXPECT_EQ(line(163), QString()); // literals not stored, unfilled end dropped
    EXPECT_EQ(line(6), QStringLiteral("0"));
    EXPECT_EQ(line(44), QStringLiteral("0"));
    EXPECT_EQ(line(90), QStringLiteral("-1"));
}

TEST_F(Document, WorkedExampleRoundTrip) {
    doc->ApplyDocumentText(QStringLiteral("1=12345678903\r\n5=2022\r\n6=1\r\n12=KOWALSKA\r\n44=50000.5\r\n56=12345\r\n"));
    EXPECT_EQ(line(1), QStringLiteral("12345678903"));
    EXPECT_EQ(line(5), QStringLiteral("2022"));
    EXPECT_EQ(line(6), QStringLiteral("1"));
    EXPECT_EQ(line(506), QStringLiteral("0"));
    EXPECT_EQ(line(12), QStringLiteral("KOWALSKA"));
    EXPECT_EQ(line(14), QStringLiteral("  .  .    "));
    EXPECT_EQ(line(44), QStringLiteral("50000.5"));
    EXPECT_EQ(line(56), QStringLiteral("12345"));

    doc->SetControlValue(doc->FindFieldControl(80), QStringLiteral("pierwsza\r\ndruga  "));
    doc->SetControlValue(doc->FindFieldControl(14), QStringLiteral("05.03.1980"));
    doc->SetControlValue(doc->FindFieldControl(163), QStringLiteral("PL61109010140000071219812874"));
    const QString text = doc->BuildDocumentText();
    EXPECT_EQ(line(163), QStringLiteral("PL61109010140000071219812874"));
    EXPECT_EQ(line(80), QStringLiteral("pierwsza druga"));

    auto other = makeDoc();
    other->ApplyDocumentText(text);
    EXPECT_EQ(other->BuildDocumentText(), text);
}

TEST_F(Document, ApplyingLinesTable) {
    struct Case {
        const char* text;
        int field;
        const char* expected;
    } cases[] = {
        {"1=123\r\n1=456\r\n", 1, "456        "}, // the last line wins; the mask pads the rest
        {"abc\nx=5\n44=7\n", 44, "7"},              // unreadable lines are skipped
        {"44=1,5", 44, "1.5"},
        {"44=1 500", 44, "0"},
        {"44=12.345", 44, "12.35"}, // rounded to the field's decimals, half away from zero
        {"44=-12.345", 44, "-12.35"},
        {"56=2.5", 56, "3"},
        {"57=0.12345678905", 57, "0.1234567891"},
        {"44=abc", 44, "0"},
        {"70=1", 70, "1"},
        {"70=yes", 70, "0"},
        {"90=2", 90, "2"},
        {"12=  NOWAK  \x01", 12, "NOWAK"}, // trimmed of blanks and control characters
        {"515=pl", 515, "PL"},
        {"999=1\n", 12, ""}, // a number without a field changes nothing
    };
    for (const Case& c : cases) {
        SetUp();
        doc->ApplyDocumentText(QString::fromUtf8(c.text));
        EXPECT_EQ(line(c.field), QString::fromUtf8(c.expected)) << c.text;
    }
}

TEST_F(Document, LinesFillOnlyTheFieldsTheyName) {
    doc->ApplyDocumentText(QStringLiteral("12=NOWAK\r\n44=10\r\n"));
    doc->ApplyDocumentText(QStringLiteral("44=20\r\n"));
    EXPECT_EQ(line(12), QStringLiteral("NOWAK"));
    EXPECT_EQ(line(44), QStringLiteral("20"));
}

TEST_F(Document, RadioChoicesExcludeEachOther) {
    doc->ApplyDocumentText(QStringLiteral("6=1\r\n506=1\r\n"));
    EXPECT_EQ(line(6), QStringLiteral("0"));
    EXPECT_EQ(line(506), QStringLiteral("1"));
}

TEST_F(Document, CalculationConversions) {
    doc->SetFieldText(44, QStringLiteral("1,5")); // rules accept only "."
    EXPECT_EQ(doc->GetFieldText(44), QStringLiteral("0"));
    doc->SetFieldText(60, QStringLiteral("1234.5")); // a calculated field still takes rule values
    EXPECT_EQ(doc->GetFieldText(60), QStringLiteral("1234.5"));
    doc->SetFieldText(60, QString());
    EXPECT_EQ(doc->GetFieldText(60), QStringLiteral("0"));
    doc->SetControlValue(doc->FindFieldControl(80), QStringLiteral("a\r\nb"));
    EXPECT_EQ(doc->GetFieldText(80), QStringLiteral("a\r\nb"));
    EXPECT_EQ(doc->GetFieldText(4711), QString());
}

TEST_F(Document, KeyValues) {
    doc->ApplyDocumentText(QStringLiteral("1=12345678903\r\n12=") + QString(60, u'X') + QStringLiteral("\r\n13=Jan\r\n"));
    KeyValues k = doc->keyValues();
    EXPECT_EQ(k.nip, QStringLiteral("12345678903"));
    EXPECT_EQ(k.nazwisko.size(), 50);
    EXPECT_EQ(k.imie, QStringLiteral("Jan"));
    EXPECT_EQ(k.series, QStringLiteral(";;")); // empty counts
    doc->AddSeriesRow(QStringLiteral("btn_1_add"));
    doc->AddSeriesRow(QStringLiteral("btn_1_add"));
    doc->AddSeriesRow(QStringLiteral("btn_1_add"));
    doc->AddSeriesRow(QStringLiteral("btn_2_add"));
    EXPECT_EQ(doc->keyValues().series, QStringLiteral("3;1;"));
}

TEST_F(Document, SeriesRowsNumberingAndOrder) {
    doc->ExpandSeries(QStringLiteral("2;"));
    EXPECT_EQ(doc->seriesCount(1), 2);
    EXPECT_EQ(doc->seriesCount(2), 0);
    doc->ApplyDocumentText(QStringLiteral("11=wzór\r\n111=A\r\n211=B\r\n221=5\r\n"));
    EXPECT_EQ(line(11), QStringLiteral("wzór"));
    EXPECT_EQ(line(111), QStringLiteral("A"));
    EXPECT_EQ(line(211), QStringLiteral("B"));
    EXPECT_EQ(doc->FindFieldControl(111)->label(), QStringLiteral("Nazwa firmy 1"));

    // Rows follow the layout's fields in creation order.
    const QString text = doc->BuildDocumentText();
    EXPECT_LT(text.indexOf(QStringLiteral("\r\n31=")), text.indexOf(QStringLiteral("\r\n111=")));
    EXPECT_LT(text.indexOf(QStringLiteral("\r\n121=")), text.indexOf(QStringLiteral("\r\n211=")));

    doc->AddSeriesRow(1);
    EXPECT_NE(doc->FindFieldControl(321), nullptr);
    EXPECT_EQ(doc->FindFieldControl(311)->label(), QStringLiteral("Nazwa firmy 3"));
    doc->RemoveSeriesRow(1);
    EXPECT_EQ(doc->FindFieldControl(321), nullptr);
    EXPECT_NE(doc->FindFieldControl(221), nullptr);
    EXPECT_EQ(doc->seriesCount(1), 2);

    // Removing from an empty series does nothing.
    doc->RemoveSeriesRow(2);
    EXPECT_EQ(doc->seriesCount(2), 0);
}

TEST_F(Document, ExpandSeriesEdgeCases) {
    struct Case {
        const char* series;
        int first, second;
    } cases[] = {{"", 0, 0}, {"3;1;", 3, 1}, {"1;2;7;", 1, 2}, {"2", 0, 0}, {"x;1;", 0, 1}, {"100000;", 0, 0}};
    for (const Case& c : cases) {
        SetUp();
        doc->ExpandSeries(QString::fromLatin1(c.series));
        EXPECT_EQ(doc->seriesCount(1), c.first) << c.series;
        EXPECT_EQ(doc->seriesCount(2), c.second) << c.series;
        EXPECT_EQ(doc->fieldCount(), 22 + 2 * c.first + c.second) << c.series;
    }
    // Expanding again rebuilds instead of adding.
    doc->ExpandSeries(QStringLiteral("1;1;"));
    doc->ExpandSeries(QStringLiteral("1;1;"));
    EXPECT_EQ(doc->fieldCount(), 25);
}

TEST(SeriesNumberOf, LastRunOfDigits) {
    EXPECT_EQ(FormDocument::SeriesNumberOf(QStringLiteral("btn_12_add")), QStringLiteral("12"));
    EXPECT_EQ(FormDocument::SeriesNumberOf(QStringLiteral("btn_1_Remove")), QStringLiteral("1"));
    EXPECT_EQ(FormDocument::SeriesNumberOf(QStringLiteral("seriesPnl_2_13")), QStringLiteral("13"));
    EXPECT_EQ(FormDocument::SeriesNumberOf(QStringLiteral("btn_add")), QStringLiteral("0"));
}

TEST(LayoutParse, DamagedFilesNameTheLine) {
    const char* bad[] = {
        "field 1 text\n",                                  // no form line
        "form f\nfield x text\n",                          // number not a number
        "form f\nfield 1 gizmo\n",                         // unknown kind
        "form f\nfield 1 text\nfield 1 text\n",            // duplicate number
        "form f\nfield 1 text \"unclosed\n",               // open quote
        "form f\nseries 1 count=9\nfield 2 text\n",        // series not closed
        "form f\nfield 9 amount\nseries 1 count=9\nendseries\n", // count field without SERIA key
        "form f\nfield 1 masked\n",                        // masked field without a mask
    };
    for (const char* text : bad) {
        try {
            FormLayout::parse(QString::fromUtf8(text), QStringLiteral("x.lay"));
            ADD_FAILURE() << "accepted: " << text;
        } catch (const LayoutError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QRegularExpression(QStringLiteral("linia \\d+|pusty|seria"))))
                << e.what();
        }
    }
}

TEST(Pit37, NewDocumentStoresEveryControl) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    auto doc = FormDocument::create(QStringLiteral("tfrmpit_37"));
    const QString text = QStringLiteral("\r\n") + doc->BuildDocumentText();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 185);
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n5=20  \r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n14=  .  .    \r\n")));
    EXPECT_EQ(doc->keyValues().series, QString());
    EXPECT_THROW(FormDocument::create(QStringLiteral("TFRMPIT_99")), LayoutError);
    SetAppFolder(QString());
}

} // namespace

namespace {
TEST(EditMaskText, StoredTextsAndTrimmedReloads) {
    struct Case {
        const char* mask;
        const char* value;
        const char* stored;
    } cases[] = {
        {"99-999;1;_", "", "  -   "},
        {"99-999;1;_", "-", "  -   "}, // an empty code trimmed on loading stays empty
        {"99-999;1;_", "02-495", "02-495"},
        {"99.99.9999;1;_", ".  .", "  .  .    "},
        {"99.99.9999;1;_", "05.03.1980", "05.03.1980"},
        {"\\2\\0##;1;_", "", "20  "},
        {"\\2\\0##;1;_", "2022", "2022"},
        {"\\2\\0##;1;_", "20", "20  "},
        {"9999999999;1;_", "123", "123       "},
        {"!aa99 9999 9999 9999 9999 9999 9999;0;_", "", ""},
        {"!aa99 9999 9999 9999 9999 9999 9999;0;_", "PL61109010140000071219812874", "PL61109010140000071219812874"},
        {">LL;1;_", "pl", "PL"},
    };
    for (const Case& c : cases) {
        EditMask m(QString::fromUtf8(c.mask));
        EXPECT_EQ(m.textFromEdit(m.editFromText(QString::fromUtf8(c.value))), QString::fromUtf8(c.stored))
            << c.mask << " / " << c.value;
    }
}
} // namespace
