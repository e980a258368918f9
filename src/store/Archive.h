#pragma once
// Backup copies of the current database and restoring it from them, through the backup and
// restore services of the database server: the backup file is written and read by the server,
// so its path is the one the server sees. A database on this computer without a server goes
// through the embedded engine's services.
#include <QDate>
#include <QString>
#include <functional>
#include <stdexcept>

struct TGlobalKonfig;
class TDane;

// Where the services run and who asks: `server` empty for the embedded engine, otherwise
// "host" or "host/port".
struct ServiceAccess {
    QString server;
    QString user;
    QString password;
};

// Each line of a service's verbose output, handed over as soon as the service reports it.
using ServiceLineSink = std::function<void(const QString& line)>;
// Called about once a second while a service runs without reporting anything.
using ServiceIdle = std::function<void()>;

// Backs `database` up into `backupFile`, replacing the file. Refuses a backup file that is
// the database itself or, on this computer, any Firebird database. Throws on every failure.
void BackupDatabase(const ServiceAccess& access, const QString& database, const QString& backupFile,
                    const ServiceLineSink& sink = {}, const ServiceIdle& idle = {});

// The backup could not be restored into the scratch database; the current one is untouched.
class RestoreCheckFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Replaces `database` with the content of `backupFile`. The backup is first restored in full
// into a scratch database beside it (then dropped), so that an unreadable or incomplete backup
// fails before the current database is touched; `beforeReplace` runs after that check, just
// before the replacement (to close the program's own connection). Throws on every failure;
// RestoreCheckFailed when the check failed and `database` is untouched.
void RestoreDatabase(const ServiceAccess& access, const QString& backupFile, const QString& database,
                     const ServiceLineSink& sink = {}, const ServiceIdle& idle = {},
                     const std::function<void()>& beforeReplace = {});

// The proposed backup file: `folder`, the date as yyyy-MM-dd, then the database's file name
// with its extension replaced by ".gbk" (a name without extension stays as it is).
QString ProposedBackupFile(const QString& folder, const QString& databasePath, const QDate& date);
// The folder part of a path, up to and including its last "\" or "/"; empty when it has none.
QString ArchiveFolderOf(const QString& path);
// The browse dialog's starting file: the edit's text unless blank, else the program folder
// with the default database file name's extension replaced by ".gbk".
QString BrowseStartFile(const QString& editText);
// The file dialog's filter; the second entry is the preset one.
inline constexpr const char* kArchiveFileFilter =
    "Bazy danych Firebird|*.fb|Pliki archiwum GBK|*.gbk|Wszystkie Pliki|*.*";

// ---------------------------------------------------------------------------------------------
// The archive page "Archiwizacja danych": its edits, settings and the two buttons. Questions
// and messages go through ShowBox; nothing here opens a window or throws.

struct ArchiveEdits {
    QString server;   // ed_ArchSerwer
    QString file;     // ed_ArchDatabaseName: the backup file as the server sees it
    QString user;     // ed_ArchUser
    QString password; // ed_ArchPass
};

struct ArchiveObserver {
    ServiceLineSink line;                  // append to the log memo, then process pending events
    ServiceIdle idle;                      // process pending events
    std::function<void(bool)> busy;        // true: hourglass cursor; false: normal cursor again
    std::function<void()> beforeReconnect; // after a restore: take the configuration page's edits
};

enum class ArchiveOutcome { Cancelled, Done, Failed };

class DataArchive {
public:
    DataArchive(TDane& dane, TGlobalKonfig& konfig) : dane_(dane), konfig_(konfig) {}

    // Filling the edits when the page is shown (the proposed file is dated `today`).
    ArchiveEdits Edits(const QDate& today = QDate::currentDate()) const;
    // Storing the edits into the settings (when the page is hidden, and after a run that worked).
    void StoreEdits(const ArchiveEdits& edits);
    // "Przywróć ustawienia fabryczne": asks; on Yes resets the settings and refills `edits`.
    bool ResetToFactory(ArchiveEdits& edits, const QDate& today = QDate::currentDate());

    // The services' address and login for the edits. A blank server edit means this computer:
    // the configured database server when there is one, otherwise the embedded engine.
    ServiceAccess Access(const ArchiveEdits& edits) const;

    // "Archiwizuj" and "Odtwarzaj": confirmation, the run with its log lines, the outcome
    // reported in a message box. A restore logs the lines of its check and then those of the
    // replacement, and reconnects the data module as "Połącz / Testuj połączenie" does. A
    // failed restore check leaves the program connected; a failure after it, disconnected.
    ArchiveOutcome Archiwizuj(const ArchiveEdits& edits, const ArchiveObserver& observer = {});
    ArchiveOutcome Odtwarzaj(const ArchiveEdits& edits, const ArchiveObserver& observer = {});

private:
    TDane& dane_;
    TGlobalKonfig& konfig_;
};
