// The new-database wizard: its three choices, and creating the database it names.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "store/StoreFixture.h"
#include "support/ScriptedInteraction.h"

#include "store/GlobalKonfig.h"
#include "store/ui/NewDatabaseWizard.h"

// Found by argument lookup, so beside the type's own namespace.
bool operator==(const DatabaseTarget& a, const DatabaseTarget& b) {
    return a.server == b.server && a.path == b.path && a.user == b.user && a.password == b.password;
}
void PrintTo(const DatabaseTarget& t, std::ostream* os) {
    *os << "{" << t.server.toStdString() << "|" << t.path.toStdString() << "|" << t.user.toStdString() << "|"
        << t.password.toStdString() << "}";
}

namespace {

TEST(NewDatabaseWizard, ChoicesSetTheTarget) {
    const DatabaseTarget configured{"", "/dane/_Sumaris2022.FB", "JAN", "tajne"};
    TfrmNewDatabase w;
    w.Reset(configured);
    EXPECT_TRUE(w.pnl_Advanced->isHidden());
    EXPECT_TRUE(w.rb_Current->isChecked());
    EXPECT_FALSE(w.ed_Path->isEnabled());
    EXPECT_EQ(w.Target(), configured);
    EXPECT_EQ(w.lbl_Destination->text(), "/dane/_Sumaris2022.FB");

    w.chk_Advanced->click();
    EXPECT_FALSE(w.pnl_Advanced->isHidden());
    w.rb_Default->click();
    EXPECT_EQ(w.Target(), (DatabaseTarget{"", DefaultDatabasePath(), "SYSDBA", "plumtrees"}));

    w.rb_Custom->click();
    EXPECT_TRUE(w.ed_Path->isEnabled());
    EXPECT_EQ(w.Target(), configured); // the edits still hold the configured values
    w.ed_Server->setText(" serwer ");
    w.ed_Path->setText(" /srv/baza.fb ");
    w.ed_User->setText(" ADAM ");
    EXPECT_EQ(w.Target(), (DatabaseTarget{"serwer", "/srv/baza.fb", " ADAM ", "tajne"}));
    EXPECT_EQ(w.lbl_Destination->text(), "serwer : /srv/baza.fb");

    w.rb_Current->click();
    EXPECT_EQ(w.Target(), configured);
    EXPECT_FALSE(w.ed_Path->isEnabled());

    // Every showing starts again from the configured values.
    w.rb_Custom->click();
    w.Reset(configured);
    EXPECT_TRUE(w.rb_Current->isChecked());
    EXPECT_EQ(w.ed_Path->text(), "/dane/_Sumaris2022.FB");
}

class CreateThroughWizard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
        konfig.BazaDanych = dir.filePath("brak.fb");
        konfig.Uzytkownik = kDefaultUser;
        konfig.Haslo = kDefaultPassword;
    }
    // Answers the wizard once it shows: a custom path, then OK or "Anuluj".
    void answer(const QString& path, bool ok) {
        QTimer::singleShot(0, [this, path, ok] {
            ASSERT_EQ(QApplication::activeModalWidget(), &wizard);
            if (!path.isEmpty()) {
                wizard.chk_Advanced->click();
                wizard.rb_Custom->click();
                wizard.ed_Path->setText(path);
            }
            (ok ? wizard.btn_OK : wizard.btn_Cancel)->click();
        });
    }
    bool create() {
        return CreateDatabase(
            konfig, [this](DatabaseTarget& t) { return wizard.Execute(t); },
            [this](const QString& s) { statuses << s; });
    }
    QTemporaryDir dir;
    TGlobalKonfig konfig;
    TfrmNewDatabase wizard;
    QStringList statuses;
    ScriptedInteraction interaction;
};

TEST_F(CreateThroughWizard, CreatesTheChosenDatabaseAndAdoptsIt) {
    const QString path = dir.filePath("nowy/_Sumaris2022.FB"); // its folder is made too
    answer(path, true);
    ASSERT_TRUE(create());
    EXPECT_TRUE(interaction.boxes.isEmpty());
    EXPECT_EQ(konfig.BazaDanych, path);
    EXPECT_EQ(statuses, (QStringList{"Tworzenie bazy danych formularzy...",
                                     "Tworzenie bazy danych urzędów skarbowych...",
                                     "Tworzenie bazy użytkowników, logów operacji, etc.",
                                     "Tworzenie bazy danych organizacji pożytku publicznego...(to może "
                                     "potrwać)"}));
    fb::Attachment att = fb::Attachment::open(LocalParams(path));
    fb::Transaction tx = att.startTransaction(true);
    EXPECT_EQ(att.scalar(tx, "select count(*) from URZEDY_SKARBOWE").toInt(), 400);
    EXPECT_EQ(att.scalar(tx, "select WER_VER from WERSJA").toInt(), 2022);
    EXPECT_EQ(att.scalar(tx, "select OP_NAZWISKO from OPERATOR").toString(), "Administrator");
}

TEST_F(CreateThroughWizard, CancelOrFailureLeavesTheSettings) {
    answer(QString(), false);
    EXPECT_FALSE(create());
    EXPECT_FALSE(QFile::exists(konfig.BazaDanych));
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_TRUE(interaction.boxes.isEmpty());

    // A file that is already there is not overwritten; the failure is shown.
    const QString existing = dir.filePath("jest.fb");
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("nie baza");
    f.close();
    answer(existing, true);
    EXPECT_FALSE(create());
    EXPECT_EQ(konfig.BazaDanych, dir.filePath("brak.fb"));
    ASSERT_EQ(interaction.boxes.size(), 1);
    EXPECT_EQ(interaction.boxes[0].caption, "Błąd");
    EXPECT_TRUE(interaction.boxes[0].text.startsWith("Błąd tworzenia bazy danych\n:" + existing));
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "nie baza");
}

} // namespace
