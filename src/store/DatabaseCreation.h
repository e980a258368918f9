#pragma once
// Creating a new database from the four creation scripts (templates in the data folder's
// SQL/ folder) and the message shown when that fails.
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

struct TGlobalKonfig;

struct DatabaseTarget {
    QString server; // empty: this computer, embedded engine
    QString path;   // as the server sees it
    QString user;
    QString password;
};

// The server trimmed, ":" and the path; the path alone when there is no server.
QString ConnectionString(const QString& server, const QString& path);

enum class CreationScript { Forms, TaxOffices, Operators, Organisations };
// The template's file, empty when it is missing from the data folder.
QString CreationScriptPath(CreationScript script);
// Runs one template, substituted for the target. Throws ScriptError or std::runtime_error.
// `loaded` receives the rows loaded per table; `errors` (when given) makes the script go on
// past failing statements and collects them. The forms script makes the file without forced
// writes; RunCreationScripts turns them on when all scripts have run.
void RunCreationScript(CreationScript script, const DatabaseTarget& target,
                       QMap<QString, int>* loaded = nullptr, QStringList* errors = nullptr);

struct CreationOutcome {
    bool ok = true;
    QStringList errors; // one line per failed script
    QMap<QString, int> loaded;
};
// Runs the four scripts in order with their start-up status texts. A failing script marks
// the creation failed and the following ones still run.
CreationOutcome RunCreationScripts(const DatabaseTarget& target,
                                   const std::function<void(const QString&)>& status = {});

// "Błąd tworzenia bazy danych" and the possible causes, for the target.
QString CreationFailureMessage(const DatabaseTarget& target);

// The new-database wizard: shown with the configured values, it may change the target; true
// when the person confirmed. The window itself belongs to the user interface.
using NewDatabaseWizard = std::function<bool(DatabaseTarget& target)>;

// Offers the wizard and, when confirmed, creates the database. On success the configured
// server, path, user and password become the wizard's; on failure the message box above is
// shown and the configuration stays. Returns whether a database was created.
bool CreateDatabase(TGlobalKonfig& konfig, const NewDatabaseWizard& wizard,
                    const std::function<void(const QString&)>& status = {});

// Adds the operator tables to an existing database (any failure is ignored).
void CreateOperatorTables(const DatabaseTarget& target);
