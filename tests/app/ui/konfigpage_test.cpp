// The configuration page: "Zapisz" (also to disk), "Poniechaj", factory database settings and
// loading the organisation list.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <gtest/gtest.h>

#include "store/StoreFixture.h"
#include "support/ScriptedInteraction.h"

#include "app/ui/AppWindows.h"
#include "app/ui/CollapsiblePanel.h"
#include "app/ui/ConfigPage.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"

namespace {

class KonfigPageTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        iniPath = dir.filePath("Sumaris.ini");
        SetSettingsFile(iniPath);
        konfig.BazaDanych = dbPath;
        konfig.Uzytkownik = "SYSDBA";
        konfig.Haslo = "plumtrees";
        konfig.SciezkaKPR = "/home/kpr";
        konfig.KPR_PL = 1;
        konfig.AutoChkUpdates = true;
    }
    void TearDown() override {
        App = AppWindows();
        SetSettingsFile(QString());
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString iniPath;
    TGlobalKonfig konfig;
    ScriptedInteraction interaction;
};

TEST_F(KonfigPageTest, ZapiszTakesAndWritesPoniechajRestores) {
    TKonfigPage page(konfig);
    page.show();
    EXPECT_EQ(page.ed_Baza->text(), dbPath);
    EXPECT_TRUE(page.rb_CP852->isChecked());

    page.pnl_Import->TitleButton()->click();
    EXPECT_TRUE(page.pnl_Import->IsExpanded());
    page.chk_AutoChkUpdates->setChecked(false);
    page.rb_Mazovia->setChecked(true);
    page.ed_SciezkaKPR->setText("/home/kpr 2022  ");
    page.ed_HasloProgramu->setText("tajne");
    page.btn_Zapisz->click();
    EXPECT_EQ(page.lbl_Status->text(), "Zapisano zmiany!");
    EXPECT_EQ(page.lbl_Status->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_FALSE(page.pnl_Import->IsExpanded());
    EXPECT_FALSE(konfig.AutoChkUpdates);
    EXPECT_EQ(konfig.KPR_PL, 0);
    EXPECT_EQ(konfig.HasloProgramu, "tajne");

    // Already on disk, as the program would read it after a crash.
    TGlobalKonfig reread;
    reread.LoadSettings();
    EXPECT_FALSE(reread.AutoChkUpdates);
    EXPECT_EQ(reread.KPR_PL, 0);
    EXPECT_EQ(reread.SciezkaKPR, "/home/kpr 2022  ");
    EXPECT_EQ(reread.BazaDanych, dbPath);

    page.ed_SciezkaKPR->setText("/inna");
    page.rb_CP852->setChecked(true);
    page.pnl_Baza->TitleButton()->click();
    EXPECT_TRUE(page.lbl_Status->text().isEmpty()); // a panel title clears the status
    page.btn_Poniechaj->click();
    EXPECT_EQ(page.lbl_Status->text(), "Anulowano edycję konfiguracji");
    EXPECT_EQ(page.ed_SciezkaKPR->text(), "/home/kpr 2022  ");
    EXPECT_TRUE(page.rb_Mazovia->isChecked());
    EXPECT_FALSE(page.pnl_Baza->IsExpanded());
}

TEST_F(KonfigPageTest, FactoryDatabaseSettingsOnlyOnYes) {
    TKonfigPage page(konfig);
    page.show();
    page.ed_SciezkaKPR->setText("/niezapisana");
    interaction.boxAnswers = {BoxResult::No, BoxResult::Yes};
    page.btn_Fabryczne->click();
    EXPECT_EQ(konfig.BazaDanych, dbPath);
    EXPECT_EQ(page.ed_SciezkaKPR->text(), "/niezapisana");

    page.btn_Fabryczne->click();
    ASSERT_EQ(interaction.boxes.size(), 2);
    EXPECT_EQ(interaction.boxes[1].kind, BoxYesNo);
    EXPECT_EQ(interaction.boxes[1].caption, "Przywracanie parametrów domyślnych");
    EXPECT_EQ(konfig.BazaDanych, DefaultDatabasePath());
    EXPECT_EQ(page.ed_Baza->text(), DefaultDatabasePath());
    EXPECT_EQ(page.ed_SciezkaKPR->text(), "/home/kpr"); // unsaved edits are dropped
}

TEST_F(KonfigPageTest, OrganisationListLoadsOrIsRefused) {
    TDane dane(konfig);
    TKonfigPage page(konfig);
    App.Dane = &dane;

    page.LoadOppFile(writeFile("opp.csv", "KRS;Nazwa;Miejscowość\n12345;FUNDACJA O'BRIEN;Łódź\n"
                                          "7;STOWARZYSZENIE;Gdańsk\n12345;FUNDACJA O'BRIEN;Łódź\n"));
    ASSERT_EQ(interaction.boxes.size(), 1); // not connected yet
    EXPECT_EQ(interaction.boxes[0].kind, BoxWarning);

    dane.OpenDatabase();
    page.LoadOppFile(dir.filePath("opp.csv"));
    ASSERT_EQ(interaction.boxes.size(), 2);
    EXPECT_EQ(interaction.boxes[1].kind, BoxInfo);
    EXPECT_TRUE(interaction.boxes[1].text.contains("Liczba organizacji: 2"));
    EXPECT_TRUE(interaction.boxes[1].text.contains("numerów KRS: 1"));
    EXPECT_EQ(dane.SearchOrganisations("o'brien").size(), 1); // seen by the program at once

    page.LoadOppFile(writeFile("zly.csv", "Numer;Opis\n1;x\n"));
    ASSERT_EQ(interaction.boxes.size(), 3);
    EXPECT_EQ(interaction.boxes[2].kind, BoxWarning);
    EXPECT_TRUE(interaction.boxes[2].text.startsWith("Plik zly.csv nie jest wykazem"));
    EXPECT_EQ(dane.SearchOrganisations("").size(), 2);
}

} // namespace
