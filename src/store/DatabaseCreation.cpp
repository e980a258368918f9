#include "store/DatabaseCreation.h"

#include <QDir>
#include <QFileInfo>

#include "app/util/Encoding.h"
#include "app/util/Folders.h"
#include "app/util/Interaction.h"
#include "store/Firebird.h"
#include "store/GlobalKonfig.h"
#include "store/ReferenceLists.h"
#include "store/ScriptRunner.h"

namespace {

const char* scriptFile(CreationScript script) {
    switch (script) {
    case CreationScript::Forms:
        return "SQL/scrpt_Forms.sql";
    case CreationScript::TaxOffices:
        return "SQL/scrpt_BazaUS.sql";
    case CreationScript::Operators:
        return "SQL/scrpt_others.sql";
    case CreationScript::Organisations:
        return "SQL/scrpt_OPP.sql";
    }
    return "";
}

bool isThisComputer(const QString& server) {
    const QString s = server.trimmed().toLower();
    return s.isEmpty() || s == u"127.0.0.1" || s == u"localhost";
}

// Folder part of a path as the server sees it, with its separator ("\" or "/") kept.
QString folderOf(const QString& path) {
    qsizetype i = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return i < 0 ? QString() : path.left(i + 1);
}
QString fileNameOf(const QString& path) {
    qsizetype i = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(i + 1);
}

} // namespace

QString ConnectionString(const QString& server, const QString& path) {
    const QString s = server.trimmed();
    return s.isEmpty() ? path : s + u':' + path;
}

QString CreationScriptPath(CreationScript script) {
    return FindDataFile(QString::fromLatin1(scriptFile(script)));
}

void RunCreationScript(CreationScript script, const DatabaseTarget& target, QMap<QString, int>* loaded,
                       QStringList* errors) {
    const QString path = CreationScriptPath(script);
    if (path.isEmpty())
        throw std::runtime_error(
            ("Brak skryptu " + DataFolder() + QString::fromLatin1(scriptFile(script))).toStdString());
    ScriptRunner runner;
    runner.setBaseFolder(QFileInfo(path).absolutePath());
    runner.setLoader(QStringLiteral("URZEDY_SKARBOWE"), InsertTaxOffices);
    runner.setLoader(QStringLiteral("LISTA_OPP"), InsertOrganisations);
    runner.setStopOnError(errors == nullptr);
    runner.setCreateWithoutForcedWrites(script == CreationScript::Forms);
    const QString text = SubstituteScript(ReadTextFile(path), ConnectionString(target.server, target.path),
                                          target.user, target.password);
    runner.run(text, QFileInfo(path).fileName());
    if (errors) *errors = runner.errors();
    if (loaded)
        for (auto it = runner.loadedRows().begin(); it != runner.loadedRows().end(); ++it)
            loaded->insert(it.key(), it.value());
}

CreationOutcome RunCreationScripts(const DatabaseTarget& target,
                                   const std::function<void(const QString&)>& status) {
    static const struct {
        CreationScript script;
        const char* text;
    } steps[] = {
        {CreationScript::Forms, "Tworzenie bazy danych formularzy..."},
        {CreationScript::TaxOffices, "Tworzenie bazy danych urzędów skarbowych..."},
        {CreationScript::Operators, "Tworzenie bazy użytkowników, logów operacji, etc."},
        {CreationScript::Organisations,
         "Tworzenie bazy danych organizacji pożytku publicznego...(to może potrwać)"},
    };
    CreationOutcome outcome;
    if (isThisComputer(target.server)) {
        const QString folder = folderOf(target.path);
        if (!folder.isEmpty() && !QFileInfo::exists(folder))
            QDir().mkdir(folder); // one level; failure shows later
    }
    bool madeFile = false;
    for (const auto& step : steps) {
        if (status) status(QString::fromUtf8(step.text));
        try {
            RunCreationScript(step.script, target, &outcome.loaded);
            if (step.script == CreationScript::Forms) madeFile = true;
        } catch (const std::exception& e) {
            outcome.ok = false;
            outcome.errors.append(QString::fromUtf8(e.what()));
        }
    }
    if (madeFile) {
        // The file was made without synchronous writes; from now on every commit is durable.
        try {
            fb::ConnectParams p;
            p.database = ConnectionString(target.server, target.path);
            p.user = target.user;
            p.password = target.password;
            p.forcedWrites = true;
            fb::Attachment::open(p).close();
        } catch (const std::exception& e) {
            outcome.ok = false;
            outcome.errors.append(QString::fromUtf8(e.what()));
        }
    }
    return outcome;
}

QString CreationFailureMessage(const DatabaseTarget& target) {
    return QStringLiteral("Błąd tworzenia bazy danych\n") + target.server + u':' + target.path +
           QStringLiteral("\n\n") + QStringLiteral("Możliwe przyczyny:\n") +
           QStringLiteral("a) serwer Firebird (Interbase) nie działa na komputerze docelowym ") +
           target.server + QStringLiteral("\n    lub jest on blokowany przez FIREWALL\n") +
           QStringLiteral("b) folder ") + folderOf(target.path) +
           QStringLiteral("\n    nie istnieje na komputerze docelowym ") + target.server +
           QStringLiteral("\nc) plik bazy danych ") + fileNameOf(target.path) +
           QStringLiteral(" już istnieje w podanej lokalizacji");
}

bool CreateDatabase(TGlobalKonfig& konfig, const NewDatabaseWizard& wizard,
                    const std::function<void(const QString&)>& status) {
    DatabaseTarget target{konfig.AdresSieciowySerwera, konfig.BazaDanych, konfig.Uzytkownik, konfig.Haslo};
    if (!wizard || !wizard(target)) return false;
    // All four scripts use the wizard's account: the configured one may not exist on the
    // target server.
    const CreationOutcome outcome = RunCreationScripts(target, status);
    if (!outcome.ok) {
        ShowBox(BoxWarning, CreationFailureMessage(target), QStringLiteral("Błąd"));
        return false;
    }
    konfig.AdresSieciowySerwera = target.server;
    konfig.BazaDanych = target.path;
    konfig.Uzytkownik = target.user;
    konfig.Haslo = target.password;
    return true;
}

void CreateOperatorTables(const DatabaseTarget& target) {
    try {
        QStringList errors;
        RunCreationScript(CreationScript::Operators, target, nullptr, &errors);
    } catch (...) {
        // The operator list opens with the next refresh, or stays unavailable.
    }
}
