#include "store/GlobalKonfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include "app/util/Folders.h"

namespace {

QString& settingsOverride() {
    static QString path;
    return path;
}

// A text value; a missing one reads as empty. An unquoted value with commas comes back from
// the INI reader as a list, which is joined again.
QString readString(const QSettings& s, const QString& key) {
    const QVariant v = s.value(key);
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

// An integer value; false when missing or not a number.
bool readInt(const QSettings& s, const QString& key, int* out) {
    const QVariant v = s.value(key);
    if (!v.isValid()) return false;
    bool ok = false;
    int n = v.toString().trimmed().toInt(&ok);
    if (ok) *out = n;
    return ok;
}

void readBool(const QSettings& s, const QString& key, bool* out, bool whenUnreadable) {
    int n = 0;
    if (readInt(s, key, &n))
        *out = n != 0;
    else if (whenUnreadable)
        *out = true;
}

// The ledger's own folder on this platform (the earlier platform used "c:\KPR_2022").
QString defaultLedgerPath() {
    return QDir::homePath() + QStringLiteral("/KPR_2022");
}

void restrictToOwner(const QString& path) {
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

TGlobalKonfig& GlobalKonfig() {
    static TGlobalKonfig konfig;
    return konfig;
}

QString SettingsFile() {
    if (!settingsOverride().isEmpty()) return settingsOverride();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Morvek/Sumaris.ini");
}

void SetSettingsFile(const QString& path) {
    settingsOverride() = path;
}

QString ProgramDataFolder() {
    const QString app = AppFolder();
    if (QFileInfo(app).isWritable()) return app;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     QStringLiteral("/Morvek/Sumaris2022/");
    QDir().mkpath(folder);
    return folder;
}

QString DefaultDatabasePath() {
    return ProgramDataFolder() + QStringLiteral("_Sumaris2022.FB");
}

void TGlobalKonfig::ResetArchiveSettings() {
    ArchiwAdresSieciowySerwera.clear();
    ArchiwSciezka = ProgramDataFolder();
    ArchiwUzytkownik = QString::fromLatin1(kDefaultUser);
    ArchiwHaslo = QString::fromLatin1(kDefaultPassword);
}

void TGlobalKonfig::ResetDatabaseSettings() {
    AdresSieciowySerwera.clear();
    BazaDanych = DefaultDatabasePath();
    Uzytkownik = QString::fromLatin1(kDefaultUser);
    Haslo = QString::fromLatin1(kDefaultPassword);
}

void TGlobalKonfig::LoadSettings(const std::function<void(const QString&)>& status) {
    if (status) status(QStringLiteral("Odczyt konfiguracji"));
    QSettings s(SettingsFile(), QSettings::IniFormat);
    s.beginGroup(QString::fromLatin1(kConfigGroup));
    auto text = [&](const char* key) { return readString(s, QString::fromLatin1(key)).trimmed(); };
    readBool(s, QStringLiteral("KprSpisNag"), &KprSpisNag, false);
    AdresSieciowySerwera = text("AdresSieciowySerwera");
    BazaDanych = text("BazaDanych");
    Uzytkownik = text("Uzytkownik");
    Haslo = text("Haslo");
    ArchiwAdresSieciowySerwera = text("ArchiwAdresSieciowySerwera");
    ArchiwSciezka = text("ArchiwSciezka");
    ArchiwUzytkownik = text("ArchiwUzytkownik");
    ArchiwHaslo = text("ArchiwHaslo");
    SciezkaKPR = readString(s, QStringLiteral("SciezkaKPR")); // taken as stored
    readInt(s, QStringLiteral("KPR_PL"), &KPR_PL);
    OLD_AdresSieciowySerwera = text("OLD_AdresSieciowySerwera");
    OLD_BazaDanych = text("OLD_BazaDanych");
    OLD_Uzytkownik = text("OLD_Uzytkownik");
    OLD_Haslo = text("OLD_Haslo");
    readBool(s, QStringLiteral("AutoChkUpdates"), &AutoChkUpdates, true);
    readBool(s, QStringLiteral("FullScreen"), &FullScreen, false);
    Sortowanie = text("Sortowanie");
    readBool(s, QStringLiteral("LocalRepository"), &LocalRepository, true);
    s.endGroup();

    // Last year's own database becomes the source for imports from last year.
    if (OLD_BazaDanych.isEmpty()) {
        s.beginGroup(QString::fromLatin1(kLastYearConfigGroup));
        OLD_AdresSieciowySerwera = readString(s, QStringLiteral("AdresSieciowySerwera")).trimmed();
        OLD_BazaDanych = readString(s, QStringLiteral("BazaDanych")).trimmed();
        OLD_Uzytkownik = readString(s, QStringLiteral("Uzytkownik")).trimmed();
        OLD_Haslo = readString(s, QStringLiteral("Haslo")).trimmed();
        s.endGroup();
    }
    if ((ArchiwSciezka + ArchiwUzytkownik).trimmed().isEmpty()) ResetArchiveSettings();
    ApplySettingsDefaults();
}

void TGlobalKonfig::ApplySettingsDefaults() {
    if ((BazaDanych + Uzytkownik + Haslo).trimmed().isEmpty()) {
        // First start of this year's program: carry last year's settings over to a database of
        // the same name and place for this year.
        QSettings s(SettingsFile(), QSettings::IniFormat);
        s.beginGroup(QString::fromLatin1(kLastYearConfigGroup));
        auto text = [&](const char* key, int max) {
            return readString(s, QString::fromLatin1(key)).trimmed().left(max);
        };
        const QString server = text("AdresSieciowySerwera", 30);
        const QString path = text("BazaDanych", 200);
        const QString user = text("Uzytkownik", 30);
        const QString password = text("Haslo", 30);
        const QString ledger = text("SciezkaKPR", 200);
        int ledgerCodePage = 0;
        readInt(s, QStringLiteral("KPR_PL"), &ledgerCodePage);
        AdresSieciowySerwera = server;
        BazaDanych = QString(path).replace(QStringLiteral("2021"), QStringLiteral("2022"));
        Uzytkownik = user;
        Haslo = password;
        SciezkaKPR = QString(ledger).replace(QStringLiteral("2021"), QStringLiteral("2022"));
        KPR_PL = ledgerCodePage;
    }
    if (BazaDanych.isEmpty()) BazaDanych = DefaultDatabasePath();
    if (Uzytkownik.isEmpty()) Uzytkownik = QString::fromLatin1(kDefaultUser);
    if (Haslo.isEmpty()) Haslo = QString::fromLatin1(kDefaultPassword);
    if (SciezkaKPR.isEmpty()) {
        SciezkaKPR = defaultLedgerPath();
        KPR_PL = 1;
    }
}

bool TGlobalKonfig::SaveSettings(const std::function<void()>& storeProgramPassword) {
    const QString path = SettingsFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Create the file private before anything is written into it; the writer keeps the
    // permissions of an existing file.
    if (!QFileInfo::exists(path)) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) f.close();
    }
    restrictToOwner(path);
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QString::fromLatin1(kConfigGroup));
    s.setValue(QStringLiteral("KprSpisNag"), int(KprSpisNag));
    s.setValue(QStringLiteral("AdresSieciowySerwera"), AdresSieciowySerwera);
    s.setValue(QStringLiteral("BazaDanych"), BazaDanych);
    s.setValue(QStringLiteral("Uzytkownik"), Uzytkownik);
    s.setValue(QStringLiteral("Haslo"), Haslo);
    if (storeProgramPassword) {
        try {
            storeProgramPassword();
        } catch (...) {
            // The previous password stays in the database.
        }
    }
    s.setValue(QStringLiteral("ArchiwAdresSieciowySerwera"), ArchiwAdresSieciowySerwera);
    s.setValue(QStringLiteral("ArchiwSciezka"), ArchiwSciezka);
    s.setValue(QStringLiteral("ArchiwUzytkownik"), ArchiwUzytkownik);
    s.setValue(QStringLiteral("ArchiwHaslo"), ArchiwHaslo);
    s.setValue(QStringLiteral("SciezkaKPR"), SciezkaKPR);
    s.setValue(QStringLiteral("KPR_PL"), KPR_PL);
    s.setValue(QStringLiteral("OLD_AdresSieciowySerwera"), OLD_AdresSieciowySerwera);
    s.setValue(QStringLiteral("OLD_BazaDanych"), OLD_BazaDanych);
    s.setValue(QStringLiteral("OLD_Uzytkownik"), OLD_Uzytkownik);
    s.setValue(QStringLiteral("OLD_Haslo"), OLD_Haslo);
    s.setValue(QStringLiteral("AutoChkUpdates"), int(AutoChkUpdates));
    s.setValue(QStringLiteral("FullScreen"), int(FullScreen));
    s.setValue(QStringLiteral("Sortowanie"), Sortowanie);
    s.setValue(QStringLiteral("LocalRepository"), int(LocalRepository));
    s.endGroup();
    s.sync();
    restrictToOwner(path);
    return s.status() == QSettings::NoError;
}
