// Start-up of the data module: settings read, the database connected or the wizard offered,
// and the settings written when it goes at the end.
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

#include "store/StoreFixture.h"
#include "support/ScriptedInteraction.h"

#include "app/ui/AppWindows.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"
#include "store/ui/NewDatabaseWizard.h"

namespace {

class StartupTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        iniPath = dir.filePath("Sumaris.ini");
        SetSettingsFile(iniPath);
        GlobalKonfig() = TGlobalKonfig();
        App = AppWindows();
    }
    void TearDown() override {
        delete App.frmNewDatabase;
        App = AppWindows();
        SetSettingsFile(QString());
    }
    void configure(const QString& database) {
        QSettings s(iniPath, QSettings::IniFormat);
        s.setValue(QString(kConfigGroup) + "/BazaDanych", database);
        s.setValue(QString(kConfigGroup) + "/Uzytkownik", "SYSDBA");
        s.setValue(QString(kConfigGroup) + "/Haslo", "plumtrees");
    }
    void start() {
        App.Dane = CreateDataModule([this](const QString& s) { statuses << s; });
    }
    QString iniPath;
    QStringList statuses;
    ScriptedInteraction interaction;
};

TEST_F(StartupTest, ConnectsToTheConfiguredDatabaseAndSavesAtTheEnd) {
    configure(dbPath);
    start();
    ASSERT_TRUE(App.Dane->Connected());
    EXPECT_EQ(statuses, (QStringList{"Odczyt konfiguracji", "Próba nawiązania połączenia z bazą:\r" + dbPath,
                                     "Połączenie nawiązane:\r" + dbPath}));
    EXPECT_TRUE(interaction.boxes.isEmpty());
    EXPECT_TRUE(GlobalKonfig().HasloProgramu.isEmpty());

    GlobalKonfig().HasloProgramu = "abc";
    GlobalKonfig().FullScreen = true;
    DestroyApplicationWindows();
    EXPECT_EQ(App.Dane, nullptr);
    QSettings s(iniPath, QSettings::IniFormat);
    EXPECT_EQ(s.value(QString(kConfigGroup) + "/FullScreen").toInt(), 1);

    // The next start reads the password back from the database.
    GlobalKonfig() = TGlobalKonfig();
    start();
    EXPECT_EQ(GlobalKonfig().HasloProgramu, "abc");
    EXPECT_TRUE(GlobalKonfig().FullScreen);
    DestroyApplicationWindows();
}

TEST_F(StartupTest, MissingDatabaseOffersTheWizard) {
    const QString missing = dir.filePath("nowa/_Sumaris2022.FB");
    configure(missing);
    App.frmNewDatabase = new TfrmNewDatabase();
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        statuses.clear();
        interaction.boxes.clear();
        GlobalKonfig() = TGlobalKonfig();
        QString shownFor;
        QTimer::singleShot(0, [&] {
            ASSERT_EQ(QApplication::activeModalWidget(), App.frmNewDatabase);
            shownFor = App.frmNewDatabase->Target().path;
            (ok ? App.frmNewDatabase->btn_OK : App.frmNewDatabase->btn_Cancel)->click();
        });
        start();
        EXPECT_EQ(shownFor, missing);
        EXPECT_EQ(App.Dane->Connected(), ok);
        if (ok) {
            EXPECT_TRUE(interaction.boxes.isEmpty());
            EXPECT_EQ(statuses.size(), 3 + 4);
            EXPECT_EQ(statuses.last(), "Połączenie nawiązane:\r" + missing);
        } else {
            // Cancelled: the program goes on without a database and says why.
            ASSERT_EQ(interaction.boxes.size(), 1);
            EXPECT_TRUE(interaction.boxes[0].text.startsWith("Błąd otawcia bazy danych " + missing));
        }
        delete App.Dane;
        App.Dane = nullptr;
    }
}

TEST_F(StartupTest, DamagedDatabaseIsReportedAndKept) {
    const QByteArray damaged = "to nie jest baza danych";
    QFile f(dbPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(damaged);
    f.close();
    configure(dbPath);
    App.frmNewDatabase = new TfrmNewDatabase();
    QTimer::singleShot(0, [] { App.frmNewDatabase->btn_OK->click(); }); // creating there must fail
    start();
    EXPECT_FALSE(App.Dane->Connected());
    ASSERT_EQ(interaction.boxes.size(), 2);
    EXPECT_TRUE(interaction.boxes[0].text.startsWith("Błąd tworzenia bazy danych"));
    EXPECT_TRUE(interaction.boxes[1].text.startsWith("Błąd otawcia bazy danych " + dbPath));
    QFile kept(dbPath);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged);
    delete App.Dane;
}

} // namespace
