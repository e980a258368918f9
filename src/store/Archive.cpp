#include "store/Archive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <firebird/Interface.h>

#include "app/util/Interaction.h"
#include "app/util/Numbers.h"
#include "store/Dane.h"
#include "store/DatabaseCreation.h"
#include "store/Firebird.h"
#include "store/GlobalKonfig.h"

namespace {

qsizetype lastSeparator(const QString& path) {
    return qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

// A server given as "localhost" or "127.0.0.1" (with or without "/port") shares our files.
bool sharesOurFiles(const QString& server) {
    const QString host = server.section(u'/', 0, 0).trimmed().toLower();
    return host.isEmpty() || host == u"localhost" || host == u"127.0.0.1";
}

QString comparable(const QString& path) {
    QString p = path.trimmed();
    p.replace(u'\\', u'/');
    return QDir::cleanPath(p);
}

bool samePath(const QString& a, const QString& b, bool local) {
    // Servers on Windows ignore the letter case; refusing too much is harmless here.
    if (comparable(a).compare(comparable(b), Qt::CaseInsensitive) == 0) return true;
    if (!local) return false;
    const QString ca = QFileInfo(a.trimmed()).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b.trimmed()).canonicalFilePath();
}

// The header page of a Firebird database: page type 1, a power-of-two page size and an
// on-disk structure version of a Firebird release.
bool isFirebirdDatabaseFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(20);
    if (head.size() < 20 || head[0] != 1) return false;
    const auto u16 = [&](int at) { return unsigned(uchar(head[at])) | (unsigned(uchar(head[at + 1])) << 8); };
    const unsigned pageSize = u16(16);
    const unsigned ods = u16(18) & 0x7FFFu;
    return pageSize >= 1024 && pageSize <= 65536 && (pageSize & (pageSize - 1)) == 0 && ods >= 8 && ods <= 15;
}

// Copies the output of a started action to the sink. The services do not report a restore
// from a backup file that ends too early as failed: the server asks its own console for the
// next volume and then finishes, its output stopping short. So a restore counts only when its
// output reaches the completion line, and error lines in the output fail any action.
void follow(fb::Service& svc, const ServiceLineSink& sink, const ServiceIdle& idle, QIODevice* input,
            bool isRestore) {
    QStringList errors;
    bool completed = false;
    QString line;
    for (;;) {
        switch (svc.readLine(line, 1, input)) {
        case fb::Service::Read::Line: {
            const QString t = line.trimmed();
            if (t.startsWith(QStringLiteral("ERROR:")) || t.contains(QStringLiteral("gbak: ERROR:")))
                errors << t;
            if (t.contains(QStringLiteral("finishing, closing, and going home"))) completed = true;
            if (sink) sink(line);
            break;
        }
        case fb::Service::Read::Idle:
            if (idle) idle();
            break;
        case fb::Service::Read::End:
            svc.close();
            if (!errors.isEmpty()) throw fb::Error(errors.join(u'\n'));
            if (isRestore && !completed)
                throw fb::Error(
                    QStringLiteral("Odtwarzanie nie zostało ukończone (niekompletny plik archiwum)."));
            return;
        }
    }
}

void restoreInto(const ServiceAccess& access, const QString& backupFile, const QString& database,
                 bool replace, const ServiceLineSink& sink, const ServiceIdle& idle) {
    // The embedded engine's restore runs inside this program: a file that ends too early would
    // have it prompt on our console. Read through the service instead, the end of the file
    // is then an error of the restore.
    QFile input(backupFile);
    const bool embedded = access.server.isEmpty();
    if (embedded && !input.open(QIODevice::ReadOnly))
        throw std::runtime_error((QStringLiteral("Nie można odczytać pliku ") + backupFile +
                                  QStringLiteral(": ") + input.errorString())
                                     .toStdString());
    fb::Service svc = fb::Service::attach(access.server, access.user, access.password);
    const int options = isc_spb_res_no_validity | (replace ? isc_spb_res_replace : isc_spb_res_create);
    svc.start(fb::SpbStart(isc_action_svc_restore)
                  .text(isc_spb_bkp_file, embedded ? QStringLiteral("stdin") : backupFile)
                  .text(isc_spb_dbname, database)
                  .integer(isc_spb_options, options)
                  .flag(isc_spb_verbose)
                  .bytes());
    follow(svc, sink, idle, embedded ? &input : nullptr, true);
}

// A database name that nothing uses yet, beside the database (or, for an alias, the backup).
QString scratchDatabase(const ServiceAccess& access, const QString& database, const QString& backupFile) {
    const QString base = lastSeparator(database) >= 0 ? database : backupFile;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    QString name = base + u'.' + stamp + QStringLiteral(".tmp");
    for (int n = 1; sharesOurFiles(access.server) && QFileInfo::exists(name); ++n)
        name = base + u'.' + stamp + u'-' + QString::number(n) + QStringLiteral(".tmp");
    return name;
}

void dropQuietly(const ServiceAccess& access, const QString& database) {
    try {
        fb::ConnectParams p;
        p.database = ConnectionString(access.server, database);
        p.user = access.user;
        p.password = access.password;
        fb::Attachment::open(p).drop();
    } catch (const std::exception&) {
        // A restore that failed early left nothing to drop.
    }
    if (access.server.isEmpty() && QFileInfo::exists(database)) QFile::remove(database);
}

// Hourglass for as long as a service runs.
class Busy {
public:
    explicit Busy(const std::function<void(bool)>& busy) : busy_(busy) {
        if (busy_) busy_(true);
    }
    ~Busy() { end(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    void end() {
        if (busy_ && !ended_) busy_(false);
        ended_ = true;
    }

private:
    const std::function<void(bool)>& busy_;
    bool ended_ = false;
};

QString messageOf(const std::exception& e) {
    return QString::fromUtf8(e.what());
}

} // namespace

// ---------------------------------------------------------------------------------------------

void BackupDatabase(const ServiceAccess& access, const QString& database, const QString& backupFile,
                    const ServiceLineSink& sink, const ServiceIdle& idle) {
    const QString file = backupFile.trimmed();
    if (file.isEmpty()) throw std::runtime_error("Nie podano pliku archiwum.");
    // The service would write the backup over whatever file it is given, a database too.
    const bool local = sharesOurFiles(access.server);
    if (samePath(file, database, local) || (local && isFirebirdDatabaseFile(file)))
        throw std::runtime_error(
            (QStringLiteral("Plik archiwum nie może być plikiem bazy danych:\n") + file).toStdString());
    fb::Service svc = fb::Service::attach(access.server, access.user, access.password);
    svc.start(fb::SpbStart(isc_action_svc_backup)
                  .text(isc_spb_dbname, database)
                  .text(isc_spb_bkp_file, file)
                  .flag(isc_spb_verbose)
                  .bytes());
    follow(svc, sink, idle, nullptr, false);
}

void RestoreDatabase(const ServiceAccess& access, const QString& backupFile, const QString& database,
                     const ServiceLineSink& sink, const ServiceIdle& idle,
                     const std::function<void()>& beforeReplace) {
    const QString file = backupFile.trimmed();
    if (file.isEmpty()) throw std::runtime_error("Nie podano pliku archiwum.");
    // Replacing drops the database before reading the backup, and a backup that ends too
    // early still leaves a database behind: prove the whole file restores first.
    const QString scratch = scratchDatabase(access, database, file);
    try {
        restoreInto(access, file, scratch, false, sink, idle);
    } catch (const std::exception& e) {
        dropQuietly(access, scratch);
        throw RestoreCheckFailed((QStringLiteral("Nie można odtworzyć danych z pliku archiwum ") + file +
                                  QStringLiteral(".\nBieżące dane pozostały bez zmian.\n\n") + messageOf(e))
                                     .toStdString());
    }
    dropQuietly(access, scratch);
    if (beforeReplace) beforeReplace();
    restoreInto(access, file, database, true, sink, idle);
}

QString ArchiveFolderOf(const QString& path) {
    return path.left(lastSeparator(path) + 1);
}

QString ProposedBackupFile(const QString& folder, const QString& databasePath, const QDate& date) {
    QString name = databasePath.mid(lastSeparator(databasePath) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) name = name.left(dot) + QStringLiteral(".gbk");
    return folder + QString::number(date.year()) + u'-' + ZeroPad(date.month(), 2) + u'-' +
           ZeroPad(date.day(), 2) + name;
}

QString BrowseStartFile(const QString& editText) {
    if (!editText.trimmed().isEmpty()) return editText;
    return ProgramDataFolder() + QStringLiteral("_Sumaris2022.gbk");
}

// ---------------------------------------------------------------------------------------------

ArchiveEdits DataArchive::Edits(const QDate& today) const {
    return ArchiveEdits{konfig_.ArchiwAdresSieciowySerwera,
                        ProposedBackupFile(konfig_.ArchiwSciezka, konfig_.BazaDanych, today),
                        konfig_.ArchiwUzytkownik, konfig_.ArchiwHaslo};
}

void DataArchive::StoreEdits(const ArchiveEdits& edits) {
    konfig_.ArchiwAdresSieciowySerwera = edits.server;
    konfig_.ArchiwSciezka = ArchiveFolderOf(edits.file);
    konfig_.ArchiwUzytkownik = edits.user;
    konfig_.ArchiwHaslo = edits.password;
}

bool DataArchive::ResetToFactory(ArchiveEdits& edits, const QDate& today) {
    if (ShowBox(BoxYesNo, QStringLiteral("Czy na pewno przywrócić ustawienia fabryczne archiwum?"),
                QStringLiteral("Przywracanie parametrów domyślnych")) != BoxResult::Yes)
        return false;
    konfig_.ResetArchiveSettings();
    edits = Edits(today);
    return true;
}

ServiceAccess DataArchive::Access(const ArchiveEdits& edits) const {
    // The database path is the server's: with no archive server given, the services of the
    // database's own server read it. Our embedded engine must never open a file a server has open.
    QString server = edits.server.trimmed();
    if (server.isEmpty()) server = konfig_.AdresSieciowySerwera.trimmed();
    return ServiceAccess{server, edits.user.trimmed(), edits.password.trimmed()};
}

ArchiveOutcome DataArchive::Archiwizuj(const ArchiveEdits& edits, const ArchiveObserver& observer) {
    const QString question =
        QStringLiteral("Czy na pewno przeprowadzić proces ARCHIWIZACJI danych?\n\nJeżeli plik ") +
        edits.file +
        QStringLiteral(" istnieje, to zostanie\nusunięty i zastąpiony bieżącą archiwizacją.\n"
                       "Jeżeli chcesz zachować istniejące dotchczas archiwum\n"
                       "wciśnij NIE i zmień nazwę archiwum.");
    if (ShowBox(BoxYesNo, question) != BoxResult::Yes) return ArchiveOutcome::Cancelled;
    Busy busy(observer.busy);
    try {
        BackupDatabase(Access(edits), konfig_.BazaDanych, edits.file, observer.line, observer.idle);
    } catch (const std::exception& e) {
        busy.end();
        ShowBox(BoxError, messageOf(e));
        return ArchiveOutcome::Failed;
    }
    busy.end();
    ShowBox(BoxInfo, QStringLiteral("Operacja ARCHIWIZACJI przebiegła pomyślnie!"));
    StoreEdits(edits);
    return ArchiveOutcome::Done;
}

ArchiveOutcome DataArchive::Odtwarzaj(const ArchiveEdits& edits, const ArchiveObserver& observer) {
    const QString question = QStringLiteral("Czy na pewno ODTWORZYĆ dane z pliku archiwum?\n"
                                            "Bieżące dane z programu zostaną bezpowrotnie skasowane\n"
                                            "i zastąpione danymi z archiwum.");
    if (ShowBox(BoxYesNo, question) != BoxResult::Yes) return ArchiveOutcome::Cancelled;
    Busy busy(observer.busy);
    try {
        RestoreDatabase(Access(edits), edits.file, konfig_.BazaDanych, observer.line, observer.idle,
                        [this] { dane_.CloseDatabase(); });
    } catch (const std::exception& e) {
        busy.end();
        ShowBox(BoxError, messageOf(e));
        return ArchiveOutcome::Failed;
    }
    busy.end();
    ShowBox(BoxInfo, QStringLiteral("Operacja odtwarzania danych przebiegła pomyślnie!"));
    try {
        if (observer.beforeReconnect) observer.beforeReconnect();
        dane_.Connect(false);
    } catch (const std::exception& e) {
        ShowBox(BoxError, messageOf(e));
    }
    StoreEdits(edits);
    return ArchiveOutcome::Done;
}
