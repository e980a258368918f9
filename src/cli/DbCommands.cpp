#include "cli/DbCommands.h"

#include <QFileInfo>
#include <cstdio>
#include <stdexcept>

#include "app/util/Encoding.h"
#include "app/util/Texts.h"
#include "forms/FormDocument.h"
#include "cli/CliSupport.h"
#include "store/Archive.h"
#include "store/Dane.h"
#include "store/DatabaseCreation.h"
#include "store/Firebird.h"
#include "store/GlobalKonfig.h"
#include "store/ReferenceLists.h"

namespace {

const char* kUsage =
    "usage:\n"
    "  sumaris-cli db create PATH\n"
    "  sumaris-cli db load-opp DB FILE\n"
    "  sumaris-cli db put --db DB TYPE FILE [--master ID]\n"
    "  sumaris-cli db get --db DB ID\n"
    "  sumaris-cli db list --db DB [--type T] [--filter F] [--order O]\n"
    "  sumaris-cli db backup DB FILE [--verbose]\n"
    "  sumaris-cli db restore FILE DB [--verbose]\n"
    "  (each with [--user U] [--password P]; DB and PATH: a file, or host:path on a server;\n"
    "  with a server, FILE is the backup file as the server sees it)\n";

int toId(const QString& text) {
    bool ok = false;
    const int id = text.toInt(&ok);
    if (!ok) throw UsageError(("not a document number: " + text).toStdString());
    return id;
}

// "host:path" or "host/port:path" names a server; a drive letter or a plain path does not.
// A plain path is made absolute, as the embedded engine would not resolve it from here.
DatabaseTarget targetOf(const QString& db, const QString& user, const QString& password) {
    const qsizetype colon = db.indexOf(u':');
    if (colon > 1) {
        const QString host = db.left(colon);
        if (!host.contains(u'\\') && !host.startsWith(u'/') && !host.startsWith(u'.'))
            return DatabaseTarget{host, db.mid(colon + 1), user, password};
    }
    return DatabaseTarget{QString(), QFileInfo(db).absoluteFilePath(), user, password};
}

fb::ConnectParams connectParams(const DatabaseTarget& t) {
    fb::ConnectParams p;
    p.database = ConnectionString(t.server, t.path);
    p.user = t.user;
    p.password = t.password;
    return p;
}

void openStore(TGlobalKonfig& konfig, TDane& dane, const DatabaseTarget& t) {
    konfig.AdresSieciowySerwera = t.server;
    konfig.BazaDanych = t.path;
    konfig.Uzytkownik = t.user;
    konfig.Haslo = t.password;
    dane.OpenDatabase();
}

int create(QStringList& args, const DatabaseTarget& base, const Output& out) {
    if (args.size() != 1) throw UsageError("db create: expected PATH");
    const DatabaseTarget t = targetOf(args[0], base.user, base.password);
    const CreationOutcome outcome = RunCreationScripts(t);
    if (!outcome.ok) {
        for (const QString& e : outcome.errors)
            std::fprintf(stderr, "%s\n", e.toLocal8Bit().constData());
        return 1;
    }
    fb::Attachment att = fb::Attachment::open(connectParams(t));
    fb::Transaction tx = att.startTransaction(true);
    const qlonglong offices =
        att.scalar(tx, QStringLiteral("select count(*) from URZEDY_SKARBOWE")).toLongLong();
    const qlonglong organisations =
        att.scalar(tx, QStringLiteral("select count(*) from LISTA_OPP")).toLongLong();
    out.write(QStringLiteral("tax offices: %1\norganisations: %2\n").arg(offices).arg(organisations));
    return 0;
}

int loadOpp(QStringList& args, const DatabaseTarget& base, const Output& out) {
    if (args.size() != 2) throw UsageError("db load-opp: expected DB and FILE");
    const DatabaseTarget t = targetOf(args[0], base.user, base.password);
    fb::Attachment att = fb::Attachment::open(connectParams(t));
    const OppLoadResult r = LoadOppList(att, args[1]);
    out.write(QStringLiteral("organisations: %1\n").arg(r.loaded));
    if (r.duplicates > 0) out.write(QStringLiteral("repeated KRS numbers skipped: %1\n").arg(r.duplicates));
    return 0;
}

int put(QStringList& args, const DatabaseTarget& t, const Output& out) {
    const QString master = takeOption(args, QStringLiteral("--master"));
    if (args.size() != 2) throw UsageError("db put: expected TYPE and FILE");
    auto doc = FormDocument::create(args[0]);
    const QString text = readDocumentText(args[1]);
    // The counts of the series are fields of the text: rebuild the rows, then fill them.
    doc->ApplyDocumentText(text);
    doc->ExpandSeries(doc->keyValues().series);
    doc->ApplyDocumentText(text);
    TGlobalKonfig konfig;
    TDane dane(konfig);
    openStore(konfig, dane, t);
    const bool attachment = !master.isEmpty();
    if (attachment && !dane.Forms().locate(toId(master)))
        throw std::runtime_error(("no main document with FOR_ID " + master).toStdString());
    dane.SaveDocument(true, *doc, attachment);
    const int id = (attachment ? dane.Zalaczniki() : dane.Forms()).current()->FOR_ID;
    dane.CommitAndRefresh(true);
    dane.CloseDatabase();
    out.write(QString::number(id) + u'\n');
    return 0;
}

int get(QStringList& args, const DatabaseTarget& t, const Output& out) {
    if (args.size() != 1) throw UsageError("db get: expected ID");
    const int id = toId(args[0]);
    TGlobalKonfig konfig;
    TDane dane(konfig);
    openStore(konfig, dane, t);
    const std::optional<FormRow> row = dane.DocumentById(id);
    if (!row) throw std::runtime_error(("no document with FOR_ID " + args[0]).toStdString());
    out.write(row->FOR_DANE);
    return 0;
}

int list(QStringList& args, const DatabaseTarget& t, const Output& out) {
    const QString type = takeOption(args, QStringLiteral("--type"));
    const QString filter = takeOption(args, QStringLiteral("--filter"));
    const QString order = takeOption(args, QStringLiteral("--order"));
    if (!args.isEmpty()) throw UsageError("db list: unexpected arguments");
    TGlobalKonfig konfig;
    TDane dane(konfig);
    openStore(konfig, dane, t);
    dane.QueryDocuments(type, QString(), order, filter);
    for (const FormRow& r : dane.Forms().rows())
        out.write(QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                      .arg(r.FOR_ID)
                      .arg(r.FOR_NIP, r.C_FOR_NAZIMIE.trimmed(), r.C_FOR_TYP.trimmed(),
                           DateText(r.FOR_DATA_WYPELNIENIA)));
    return 0;
}

// The backup file of a database on this computer is a local file too.
QString backupFileOf(const DatabaseTarget& t, const QString& file) {
    return t.server.isEmpty() ? QFileInfo(file).absoluteFilePath() : file;
}

ServiceLineSink lineSink(bool verbose, const Output& out) {
    if (!verbose) return {};
    return [&out](const QString& line) {
        out.write(line + u'\n');
        std::fflush(stdout);
    };
}

int backup(QStringList& args, const DatabaseTarget& base, const Output& out) {
    const bool verbose = takeFlag(args, QStringLiteral("--verbose"));
    if (args.size() != 2) throw UsageError("db backup: expected DB and FILE");
    const DatabaseTarget t = targetOf(args[0], base.user, base.password);
    const QString file = backupFileOf(t, args[1]);
    BackupDatabase(ServiceAccess{t.server, t.user, t.password}, t.path, file, lineSink(verbose, out));
    out.write(QStringLiteral("backup: %1\n").arg(file));
    return 0;
}

int restore(QStringList& args, const DatabaseTarget& base, const Output& out) {
    const bool verbose = takeFlag(args, QStringLiteral("--verbose"));
    if (args.size() != 2) throw UsageError("db restore: expected FILE and DB");
    const DatabaseTarget t = targetOf(args[1], base.user, base.password);
    const QString file = backupFileOf(t, args[0]);
    RestoreDatabase(ServiceAccess{t.server, t.user, t.password}, file, t.path, lineSink(verbose, out));
    out.write(QStringLiteral("restored: %1\n").arg(ConnectionString(t.server, t.path)));
    return 0;
}

} // namespace

int RunDbCommand(QStringList args, bool utf8) {
    Output out;
    out.utf8 = utf8;
    try {
        if (args.isEmpty()) throw UsageError("db: missing verb");
        const QString verb = args.takeFirst();
        DatabaseTarget base;
        base.user = takeOption(args, QStringLiteral("--user"), nullptr, QString::fromLatin1(kDefaultUser));
        base.password = takeOption(args, QStringLiteral("--password"), nullptr, QString::fromLatin1(kDefaultPassword));
        if (verb == u"create") return create(args, base, out);
        if (verb == u"load-opp") return loadOpp(args, base, out);
        if (verb == u"backup") return backup(args, base, out);
        if (verb == u"restore") return restore(args, base, out);
        const QString db = takeOption(args, QStringLiteral("--db"));
        if (db.isEmpty()) throw UsageError(("db " + verb + ": missing --db").toStdString());
        const DatabaseTarget t = targetOf(db, base.user, base.password);
        if (verb == u"put") return put(args, t, out);
        if (verb == u"get") return get(args, t, out);
        if (verb == u"list") return list(args, t, out);
        throw UsageError(("db: unknown verb " + verb).toStdString());
    } catch (const UsageError& e) {
        std::fprintf(stderr, "sumaris-cli: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        const QByteArray msg =
            ("sumaris-cli: " + QString::fromUtf8(e.what()).simplified() + u'\n').toLocal8Bit();
        std::fwrite(msg.constData(), 1, size_t(msg.size()), stderr);
        return 1;
    }
}
