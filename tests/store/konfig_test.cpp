// Settings in the INI file (first start, last year's carry-over, the private file) and the
// program password's encoding.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/QtPrint.h"

#include "app/util/Folders.h"
#include "store/GlobalKonfig.h"
#include "store/ProgramPassword.h"

namespace {

TEST(ProgramPassword, EncodesCodesWithTheirLength) {
    const struct {
        const char* plain;
        const char* encoded;
        const char* decoded;
    } cases[] = {
        {"abc", "297298299", "abc"},
        {"", "", ""},
        {"ąę1", "3185323424 9", "ąę1"},
        {" a b ", "232297232298232", "a b"}, // blanks inside stay, the ends go
        {"\t", "19", ""},
    };
    for (const auto& c : cases) {
        QString encoded = QString::fromUtf8(c.encoded);
        encoded.remove(u' ');
        EXPECT_EQ(EncodePassword(QString::fromUtf8(c.plain)), encoded) << c.plain;
        EXPECT_EQ(DecodePassword(encoded), QString::fromUtf8(c.decoded)) << c.plain;
    }
    EXPECT_EQ(DecodePassword(EncodePassword(QString(40, u'x'))), QString(31, u'x'));
    for (const char* bad : {"2", "x97", "097", "3256", "29a", "-12"})
        EXPECT_THROW(DecodePassword(bad), std::invalid_argument) << bad;
}

class KonfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetAppFolder(dir.path());
        SetSettingsFile(dir.filePath("conf/Sumaris.ini"));
    }
    void TearDown() override {
        SetSettingsFile(QString());
        SetAppFolder(QString());
    }
    void write(const char* group, const QList<QPair<QString, QVariant>>& values) {
        QSettings s(SettingsFile(), QSettings::IniFormat);
        s.beginGroup(group);
        for (const auto& [k, v] : values)
            s.setValue(k, v);
    }
    QTemporaryDir dir;
};

TEST_F(KonfigTest, FirstStartTakesTheFactoryValues) {
    TGlobalKonfig k;
    QStringList statuses;
    k.LoadSettings([&](const QString& s) { statuses << s; });
    EXPECT_EQ(statuses, QStringList{"Odczyt konfiguracji"});
    EXPECT_EQ(k.AdresSieciowySerwera, "");
    EXPECT_EQ(k.BazaDanych, AppFolder() + "_Sumaris2022.FB");
    EXPECT_EQ(k.Uzytkownik, "SYSDBA");
    EXPECT_EQ(k.Haslo, "plumtrees");
    EXPECT_EQ(k.ArchiwSciezka, AppFolder());
    EXPECT_EQ(k.ArchiwUzytkownik, "SYSDBA");
    EXPECT_TRUE(k.SciezkaKPR.endsWith("/KPR_2022"));
    EXPECT_EQ(k.KPR_PL, 1);
    EXPECT_TRUE(k.AutoChkUpdates);
    EXPECT_TRUE(k.LocalRepository);
    EXPECT_FALSE(k.FullScreen);
    EXPECT_EQ(k.OLD_BazaDanych, "");
}

TEST_F(KonfigTest, LastYearsSettingsCarryOver) {
    write(kLastYearConfigGroup, {{"AdresSieciowySerwera", " serwer "},
                                 {"BazaDanych", "/dane/2021/_Sumaris2021.FB"},
                                 {"Uzytkownik", "JAN"},
                                 {"Haslo", "tajne"},
                                 {"SciezkaKPR", "/kpr/KPR_2021"},
                                 {"KPR_PL", 0}});
    TGlobalKonfig k;
    k.LoadSettings();
    EXPECT_EQ(k.AdresSieciowySerwera, "serwer");
    EXPECT_EQ(k.BazaDanych, "/dane/2022/_Sumaris2022.FB");
    EXPECT_EQ(k.Uzytkownik, "JAN");
    EXPECT_EQ(k.Haslo, "tajne");
    EXPECT_EQ(k.SciezkaKPR, "/kpr/KPR_2022");
    EXPECT_EQ(k.KPR_PL, 0);
    // Last year's own database is the source for imports from last year.
    EXPECT_EQ(k.OLD_AdresSieciowySerwera, "serwer");
    EXPECT_EQ(k.OLD_BazaDanych, "/dane/2021/_Sumaris2021.FB");
    EXPECT_EQ(k.OLD_Uzytkownik, "JAN");
}

TEST_F(KonfigTest, SavedSettingsReadBackFromAPrivateFile) {
    TGlobalKonfig k;
    k.LoadSettings();
    k.BazaDanych = "  /dane/baza.fb ";
    k.SciezkaKPR = "/kpr/firma  ";
    k.Haslo = "hasło, z przecinkiem";
    k.FullScreen = true;
    k.AutoChkUpdates = false;
    k.Sortowanie = "FOR_NIP DESC";
    bool passwordStored = false;
    ASSERT_TRUE(k.SaveSettings([&] {
        passwordStored = true;
        throw std::runtime_error("no database"); // ignored
    }));
    EXPECT_TRUE(passwordStored);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(SettingsFile()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u); // database passwords inside

    TGlobalKonfig r;
    r.LoadSettings();
    EXPECT_EQ(r.BazaDanych, "/dane/baza.fb");
    EXPECT_EQ(r.SciezkaKPR, "/kpr/firma  "); // the ledger path is taken as stored
    EXPECT_EQ(r.Haslo, "hasło, z przecinkiem");
    EXPECT_TRUE(r.FullScreen);
    EXPECT_FALSE(r.AutoChkUpdates);
    EXPECT_EQ(r.Sortowanie, "FOR_NIP DESC");
    QSettings raw(SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QString(kConfigGroup) + "/FullScreen").toString(), "1");
}

} // namespace
