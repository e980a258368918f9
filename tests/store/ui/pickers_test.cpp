// The tax office and organisation registers: search as you type, keys, and the pick functions
// on a real database.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "store/StoreFixture.h"
#include "support/ScriptedInteraction.h"

#include "store/Dane.h"
#include "store/GlobalKonfig.h"
#include "store/ui/ReferencePickers.h"

namespace {

QList<Organisation> organisations() {
    return {
        {-1, "0000000007", QString::fromUtf8("STOWARZYSZENIE PRÓBNE „ŻUBR”"), QString::fromUtf8("GDAŃSK")},
        {-2, "0000012345", "FUNDACJA TESTOWA O'BRIEN", QString::fromUtf8("ŁÓDŹ")},
        {-3, "0000099999", "TOWARZYSTWO 100% POMOCY", "KRAKÓW"},
    };
}

QStringList shownKrs(TReferencePicker& picker) {
    QStringList krs;
    for (int i = 0; i < picker.Model()->rowCount(); ++i)
        krs << picker.Model()->At(i).cells[0];
    return krs;
}

void showActive(QWidget& w) {
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

// Runs `drive` on the picker once its modal loop has started.
template <typename Window, typename Drive> void whenShown(Drive drive) {
    QTimer::singleShot(0, [drive] {
        auto* picker = qobject_cast<Window*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        drive(*picker);
    });
}

TEST(OrganisationPicker, SearchesNumberTownAndNameAsTyped) {
    TForm_OPP picker;
    picker.SetOrganisations(organisations());
    const struct {
        const char* typed;
        QStringList krs;
    } cases[] = {
        {"o'b", {"0000012345"}},                            // an apostrophe is just a character
        {"100%", {"0000099999"}},                           // so is a wildcard
        {"łódź", {"0000012345"}},                           // town, Polish letters in any case
        {"żubr", {"0000000007"}},                           // name
        {"1234", {"0000012345"}},                           // part of the number
        {"x'y", {}},                                        // nothing found
        {"  ", {"0000000007", "0000012345", "0000099999"}}, // blank: the whole list again
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        picker.Search()->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(shownKrs(picker), c.krs);
        EXPECT_EQ(picker.Current(), c.krs.isEmpty() ? QStringList() : picker.Model()->At(0).cells);
    }
}

TEST(OrganisationPicker, KeysMoveBetweenSearchAndGridAndDecide) {
    TForm_OPP picker;
    picker.SetOrganisations(organisations());
    showActive(picker);
    picker.Search()->setFocus();
    QTest::keyClick(picker.Search(), Qt::Key_Down);
    EXPECT_TRUE(picker.Grid()->hasFocus());
    QTest::keyClick(picker.Grid(), Qt::Key_Down);
    EXPECT_EQ(picker.Current().value(0), "0000012345");

    // Typing in the grid starts a new search with that character.
    picker.Search()->setText("zzz");
    picker.Grid()->setFocus();
    QTest::keyClick(picker.Grid(), Qt::Key_K);
    EXPECT_EQ(picker.Search()->text(), "k");
    EXPECT_TRUE(picker.Search()->hasFocus());
    EXPECT_EQ(picker.Search()->cursorPosition(), 1);

    QTest::keyClicks(picker.Search(), "rak");
    QTest::keyClick(picker.Search(), Qt::Key_Return);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.Chosen().value(0), "0000099999");

    showActive(picker);
    QTest::keyClick(picker.Grid(), Qt::Key_Escape);
    EXPECT_EQ(picker.result(), QDialog::Rejected);
    EXPECT_TRUE(picker.Chosen().isEmpty());
}

class PickFromDatabase : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        konfig.BazaDanych = dbPath;
        konfig.Uzytkownik = kDefaultUser;
        konfig.Haslo = kDefaultPassword;
        dane = std::make_unique<TDane>(konfig);
        dane->OpenDatabase();
    }
    TGlobalKonfig konfig;
    std::unique_ptr<TDane> dane;
    ScriptedInteraction interaction;
};

TEST_F(PickFromDatabase, TaxOfficeStartsOnTheCurrentCodeAndReturnsTheChoice) {
    QString code = "1436", name = "bez zmian";
    QString startedOn;
    whenShown<TForm_US>([&](TForm_US& picker) {
        startedOn = picker.Current().value(0);
        for (QChar c : QString::fromUtf8("gdań"))
            picker.Search()->insert(c); // typed one letter at a time
        QTest::keyClick(picker.Search(), Qt::Key_Down);
        QTest::keyClick(picker.Grid(), Qt::Key_Down);
        QTest::keyClick(picker.Grid(), Qt::Key_Enter);
    });
    EXPECT_TRUE(PickTaxOffice(*dane, nullptr, code, name));
    EXPECT_EQ(startedOn, "1436");
    EXPECT_EQ(code, "2206");
    EXPECT_EQ(name, QString::fromUtf8("DRUGI URZĄD SKARBOWY W GDAŃSKU"));

    // Not a four-character code: the first office; Escape leaves the fields alone.
    code = "14";
    whenShown<TForm_US>([&](TForm_US& picker) {
        startedOn = picker.Current().value(0);
        QTest::keyClick(picker.Grid(), Qt::Key_Escape);
    });
    EXPECT_FALSE(PickTaxOffice(*dane, nullptr, code, name));
    EXPECT_EQ(startedOn, "0202");
    EXPECT_EQ(code, "14");
    EXPECT_TRUE(interaction.boxes.isEmpty());
}

TEST_F(PickFromDatabase, OrganisationFromALoadedList) {
    const QString list = dir.filePath("opp.csv");
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Numer KRS;Nazwa organizacji;Miejscowość\n"
            "12345;FUNDACJA TESTOWA O'BRIEN;Łódź\n7;STOWARZYSZENIE PRÓBNE;Gdańsk\n");
    f.close();
    LoadOppList(dane->BazaDanych(), list);
    dane->CommitAndRefresh(true);

    QString krs = "0000012345";
    whenShown<TForm_OPP>([](TForm_OPP& picker) {
        EXPECT_EQ(picker.Current().value(0), "0000012345");
        QTest::keyClicks(picker.Search(), "o'b"); // still the same one
        picker.Pobierz()->click();
    });
    EXPECT_TRUE(PickOrganisation(*dane, nullptr, krs));
    EXPECT_EQ(krs, "0000012345");
}

TEST_F(PickFromDatabase, NoDatabaseOffersNoTaxOfficesAndReportsTheOrganisations) {
    dane->CloseDatabase();
    QString code = "1436", name, krs = "0000012345";
    EXPECT_FALSE(PickTaxOffice(*dane, nullptr, code, name));
    EXPECT_TRUE(interaction.boxes.isEmpty());
    EXPECT_FALSE(PickOrganisation(*dane, nullptr, krs));
    ASSERT_EQ(interaction.boxes.size(), 1);
    EXPECT_EQ(interaction.boxes[0].kind, BoxError);
    EXPECT_EQ(code, "1436");
    EXPECT_EQ(krs, "0000012345");
}

} // namespace
