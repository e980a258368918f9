// The archive page: the proposed file, and a backup and restore whose lines reach the log.
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "store/StoreFixture.h"
#include "support/ScriptedInteraction.h"

#include "app/ui/AppWindows.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"
#include "store/ui/ArchivePage.h"

namespace {

class ArchivePageTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        konfig.BazaDanych = dbPath;
        konfig.Uzytkownik = kDefaultUser;
        konfig.Haslo = kDefaultPassword;
        konfig.ArchiwSciezka = dir.path() + "/";
        konfig.ArchiwUzytkownik = kDefaultUser;
        konfig.ArchiwHaslo = kDefaultPassword;
        dane = std::make_unique<TDane>(konfig);
        dane->OpenDatabase();
        App.Dane = dane.get();
    }
    void TearDown() override { App = AppWindows(); }
    TGlobalKonfig konfig;
    std::unique_ptr<TDane> dane;
    ScriptedInteraction interaction;
};

TEST_F(ArchivePageTest, BackupAndRestoreLogTheirLines) {
    TArchivePage page(konfig);
    page.show();
    const QString proposed = dir.path() + "/" + QDate::currentDate().toString("yyyy-MM-dd") + "test.gbk";
    EXPECT_EQ(page.ed_ArchDatabaseName->text(), proposed);

    // No: nothing runs and the edits are not taken.
    page.ed_ArchDatabaseName->setText(dir.filePath("kopie/kopia.gbk"));
    page.btn_Archiwizuj->click();
    EXPECT_EQ(konfig.ArchiwSciezka, dir.path() + "/");
    EXPECT_TRUE(page.mmo_Log->toPlainText().isEmpty());

    page.ed_ArchDatabaseName->setText(proposed);
    interaction.boxAnswers = {BoxResult::Yes, BoxResult::Ok};
    page.btn_Archiwizuj->click();
    ASSERT_EQ(interaction.boxes.size(), 3);
    EXPECT_EQ(interaction.boxes[2].text, "Operacja ARCHIWIZACJI przebiegła pomyślnie!");
    EXPECT_TRUE(QFile::exists(proposed));
    EXPECT_GT(page.mmo_Log->blockCount(), 5);
    EXPECT_TRUE(page.isEnabled());
    EXPECT_FALSE(page.Busy());

    page.mmo_Log->clear();
    interaction.boxes.clear();
    interaction.boxAnswers = {BoxResult::Yes};
    page.btn_Odtwarzaj->click();
    QStringList texts;
    for (const auto& box : interaction.boxes)
        texts << box.text;
    EXPECT_EQ(texts.mid(1), (QStringList{"Operacja odtwarzania danych przebiegła pomyślnie!",
                                         "OK. Połączenie z bazą nawiązane!"}));
    EXPECT_TRUE(dane->Connected());
    EXPECT_GT(page.mmo_Log->blockCount(), 5);
}

} // namespace
