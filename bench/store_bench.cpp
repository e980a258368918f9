// Creating a database with all its rows, and loading an organisation list of 10,000 rows.
// Goal: each at most 3 s.
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <stdexcept>

#include "app/util/Folders.h"
#include "store/DatabaseCreation.h"
#include "store/Firebird.h"
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

} // namespace
