// Creating a database with all its rows, and loading an organisation list of 10,000 rows.
// Goal: each at most 3 s.
// Listing the documents of one form type with a filter among 100,000 stored documents.
// Goal: at most 100 ms.
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <stdexcept>

#include "app/util/Folders.h"
#include "store/Dane.h"
#include "store/DatabaseCreation.h"
#include "store/Firebird.h"
#include "store/GlobalKonfig.h"
#include "store/ReferenceLists.h"

namespace {

DatabaseTarget target(const QString& path) {
    return DatabaseTarget{QString(), path, "SYSDBA", "plumtrees"};
}

void createDatabase(const QString& path) {
    const CreationOutcome outcome = RunCreationScripts(target(path));
    if (!outcome.ok) throw std::runtime_error(outcome.errors.join(u'\n').toStdString());
}

void BM_CreateDatabase(benchmark::State& state) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    int n = 0;
    QTemporaryDir dir;
    for (auto _ : state)
        createDatabase(dir.filePath(QStringLiteral("db%1.fb").arg(n++)));
}
BENCHMARK(BM_CreateDatabase)->Unit(benchmark::kMillisecond)->Iterations(5);

// Synthetic rows shaped like the published list (semicolons, Windows-1250).
QString writeSyntheticList(const QTemporaryDir& dir, int rows) {
    QByteArray csv = "Lp.;Numer KRS;Nazwa organizacji;Wojew\xF3\x64ztwo;Miejscowo\x9C\xE6\r\n";
    for (int i = 1; i <= rows; ++i)
        csv += QStringLiteral("%1;%2;FUNDACJA TESTOWA NR %1 \"PR\xD3\x42\x41\";MAZOWIECKIE;MIASTO %3\r\n")
                   .arg(i)
                   .arg(i * 37 + 11)
                   .arg(i % 500)
                   .toLatin1();
    const QString path = dir.filePath(QStringLiteral("opp.csv"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(csv) != csv.size())
        throw std::runtime_error("cannot write list");
    return path;
}

void BM_LoadOppList10000(benchmark::State& state) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("opp.fb"));
    createDatabase(db);
    const QString list = writeSyntheticList(dir, 10000);
    fb::ConnectParams p;
    p.database = db;
    p.user = QStringLiteral("SYSDBA");
    p.password = QStringLiteral("plumtrees");
    fb::Attachment att = fb::Attachment::open(p);
    for (auto _ : state) {
        const OppLoadResult r = LoadOppList(att, list); // replaces the previous load
        if (r.loaded != 10000) state.SkipWithError("rows lost");
    }
}
BENCHMARK(BM_LoadOppList10000)->Unit(benchmark::kMillisecond)->Iterations(5);

// 100,000 documents: 70,000 declarations of seven form types and 30,000 attachments, each
// with a field text of about 1 kB, the names drawn from 400 surnames and 20 first names.
const QString& largeDatabase() {
    static QTemporaryDir dir;
    static const QString path = [] {
        SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
        const QString p = dir.filePath(QStringLiteral("large.fb"));
        createDatabase(p);
        fb::ConnectParams cp;
        cp.database = p;
        cp.user = QStringLiteral("SYSDBA");
        cp.password = QStringLiteral("plumtrees");
        cp.forcedWrites = false;
        fb::Attachment att = fb::Attachment::open(cp);
        const QStringList mainTypes = {"TFRMPIT_37", "TFRMPIT_36",  "TFRMPIT_28", "TFRMPIT_38",
                                       "TFRMPIT_39", "TFRMPIT_36L", "TFRMPIT_40A"};
        const QStringList attachmentTypes = {"TFRMPIT_O", "TFRMPIT_B", "TFRMPIT_ZG"};
        const QStringList stems = {"KOWAL", "NOWAK",  "WIŚNIEW", "WÓJCI",
                                   "KAMIŃ", "LEWAND", "ZIELIŃ",  "SZYMAŃ"};
        const QStringList endings = {"SKI", "SKA", "CZYK", "EK", "AK", "OWSKI", "OWSKA", "IK", "CZAK", "UK"};
        const QStringList names = {"JAN",   "ANNA",  "PIOTR", "MARIA", "ŁUKASZ", "ZOFIA", "TOMASZ",
                                   "EWA",   "PAWEŁ", "OLGA",  "ADAM",  "EMILIA", "MAREK", "ALICJA",
                                   "JERZY", "IRENA", "KAROL", "BEATA", "ROBERT", "HANNA"};
        QString filler;
        for (int f = 20; f < 80; ++f)
            filler += QStringLiteral("%1=%2\r\n").arg(f).arg(f * 37 % 1000);
        const int total = 100000;
        const int mains = 70000;
        fb::Transaction tx = att.startTransaction();
        fb::Statement insert = att.prepare(
            tx, QStringLiteral("insert into FORMS (FOR_ID, FOR_NIP, FOR_NAZWISKO, FOR_IMIE, FOR_TYP, "
                               "FOR_DANE, FOR_DATA_WYPELNIENIA, FOR_MASTER_ID, FOR_KOREKTA, FOR_SERIES) "
                               "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int id = 1; id <= total; ++id) {
            const bool main = id <= mains;
            const int person = main ? id : (id * 7) % mains + 1;
            const QString surname = stems[person % stems.size()] + endings[(person / 8) % endings.size()] +
                                    QString::number(person % 5);
            const QString name = names[(person / 3) % names.size()];
            const QString nip = QString::number(10000000000LL + person * 7919LL);
            const QString type =
                main ? mainTypes[id % mainTypes.size()] : attachmentTypes[id % attachmentTypes.size()];
            const QString text =
                QStringLiteral("1=%1\r\n12=%2\r\n13=%3\r\n5=2022\r\n").arg(nip, surname, name) + filler;
            insert.execute(tx, {id, nip, surname, name, type, text, QDate(2023, 1 + id % 12, 1 + id % 28),
                                main ? QVariant() : QVariant(person), 0, QStringLiteral("0;0;")});
            if (id % 10000 == 0) tx.commitRetaining();
        }
        att.execute(tx, QStringLiteral("set generator GEN_FORMS_ID to 100000"));
        tx.commit();
        return p;
    }();
    return path;
}

void BM_ListOneTypeWithFilter100k(benchmark::State& state) {
    const QString path = largeDatabase();
    TGlobalKonfig konfig;
    konfig.BazaDanych = path;
    konfig.Uzytkownik = QStringLiteral("SYSDBA");
    konfig.Haslo = QStringLiteral("plumtrees");
    TDane dane(konfig);
    dane.OpenDatabase();
    int listed = 0;
    for (auto _ : state) {
        dane.QueryDocuments(QStringLiteral("TFRMPIT_37"), QString(), QStringLiteral("FOR_NAZWISKO, FOR_IMIE"),
                            QStringLiteral("kowalski"));
        listed = dane.Forms().recordCount();
    }
    state.counters["listed"] = listed;
    if (listed == 0) state.SkipWithError("nothing listed");
}
BENCHMARK(BM_ListOneTypeWithFilter100k)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
