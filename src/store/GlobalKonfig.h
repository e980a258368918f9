#pragma once
// All settings in one record, read once at start and written once at exit. They live in an
// INI file in the user's configuration folder, in groups named after the registry keys of
// the program's earlier platform ("Software/Morvek/Sumaris2022/Config"); the previous
// year's group is read to carry its settings over. The file holds database passwords and is
// kept readable by its owner only.
#include <QString>
#include <functional>

struct TGlobalKonfig {
    bool KprSpisNag = false;
    QString AdresSieciowySerwera; // database server, empty for a local file (embedded engine)
    QString BazaDanych;           // database path as the server sees it
    QString Uzytkownik;
    QString Haslo;
    QString HasloProgramu; // program password; kept in the database, not in the settings file
    QString ArchiwAdresSieciowySerwera;
    QString ArchiwSciezka;
    QString ArchiwUzytkownik;
    QString ArchiwHaslo;
    QString SciezkaKPR;
    int KPR_PL = 0; // 0 Mazovia, 1 CP-852
    QString OLD_AdresSieciowySerwera;
    QString OLD_BazaDanych;
    QString OLD_Uzytkownik;
    QString OLD_Haslo;
    QString KatalogFirmy;
    QString NazwaFirmy;
    bool AutoChkUpdates = false;
    bool FullScreen = false;
    QString Sortowanie;
    bool LocalRepository = false;

    // `status` receives "Odczyt konfiguracji" (the start-up status line).
    void LoadSettings(const std::function<void(const QString&)>& status = {});
    void ApplySettingsDefaults();
    // `storeProgramPassword` runs between the database and the archive values; its failure
    // is ignored. Returns false when the file could not be written.
    bool SaveSettings(const std::function<void()>& storeProgramPassword = {});
    void ResetArchiveSettings();
    // Factory values of the four database settings.
    void ResetDatabaseSettings();
};

// The one instance the program reads.
TGlobalKonfig& GlobalKonfig();

// The settings file; SetSettingsFile overrides it (tests, portable installs), empty restores it.
QString SettingsFile();
void SetSettingsFile(const QString& path);

// Registry-style group names.
inline constexpr const char* kConfigGroup = "Software/Morvek/Sumaris2022/Config";
inline constexpr const char* kLastYearConfigGroup = "Software/Morvek/Sumaris2021/Config";

// The folder for the program's own files: the executable's folder when it is writable,
// otherwise the user's data folder ("…/Morvek/Sumaris2022/"). Ends with "/".
QString ProgramDataFolder();
// ProgramDataFolder() + "_Sumaris2022.FB".
QString DefaultDatabasePath();
inline constexpr const char* kDefaultUser = "SYSDBA";
inline constexpr const char* kDefaultPassword = "plumtrees";
