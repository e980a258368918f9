// Speed of a rule pass: the PIT-37 rule file on a filled return, and a synthetic 1,000-line
// rule file over a 600-field form, each after one field changed (as on a field exit).
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "app/util/Folders.h"
#include "forms/FormDocument.h"
#include "forms/rules/RuleEngine.h"

namespace {

QCoreApplication* app() {
    static int argc = 1;
    static char name[] = "rules_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* a = new QCoreApplication(argc, argv);
    return a;
}

void Pit37Pass(benchmark::State& state, bool cached) {
    app();
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    auto doc = FormDocument::create(QStringLiteral("TFRMPIT_37"));
    doc->ApplyDocumentText(QStringLiteral("1=12345678903\r\n5=2022\r\n6=1\r\n10=1\r\n12=KOWALSKA\r\n13=ANNA\r\n"
                                          "52=98765.43\r\n53=3000\r\n56=9000\r\n62=12000\r\n63=2400\r\n66=1500\r\n"
                                          "122=4000\r\n124=1000\r\n3000=1\r\n"));
    RuleEngine engine(*doc);
    engine.useCache = cached;
    engine.LoadRules(QStringLiteral("FRMPIT_37.EXP"));
    int i = 0;
    for (auto _ : state) {
        doc->SetFieldText(52, QString::number(98765 + (i++ % 50)));
        engine.Recalculate();
    }
    state.counters["lines"] = double(engine.Rules().size());
}

void Synthetic(benchmark::State& state, bool cached) {
    app();
    // 600 fields: 500 amounts and 100 texts.
    QString layoutText = QStringLiteral("form frmBench \"B\"\n");
    for (int n = 1; n <= 500; ++n) layoutText += QStringLiteral("field %1 amount\n").arg(n);
    for (int n = 501; n <= 600; ++n) layoutText += QStringLiteral("field %1 text\n").arg(n);
    auto layout = std::make_shared<FormLayout>(FormLayout::parse(layoutText));
    FormDocument doc(layout);
    for (int n = 1; n <= 200; ++n) doc.SetFieldText(n, QString::number(n * 10.5));
    for (int n = 501; n <= 600; ++n) doc.SetFieldText(n, QStringLiteral("TEKST %1").arg(n));
    // A mix of the shapes real rule files use.
    QStringList rules;
    for (int i = 0; i < 1000; ++i) {
        int a = 1 + i % 200, b = 1 + (i * 7) % 200, t = 201 + i % 300;
        switch (i % 5) {
        case 0: rules << QStringLiteral("%1=[%2]+[%3]").arg(t).arg(a).arg(b); break;
        case 1: rules << QStringLiteral("IF [%1]>[%2] THEN %3=[%1]-[%2] ELSE %3=0").arg(a).arg(b).arg(t); break;
        case 2: rules << QStringLiteral("V%1=BCROUND([%2]*0.12-3600,1)").arg(i).arg(a); break;
        case 3: rules << QStringLiteral("%1=POSITIV([%2]-[%3])").arg(t).arg(a).arg(b); break;
        case 4: rules << QStringLiteral("ERROR%1=IF([%2]<0,'Kwota w polu %2 nie może być ujemna','')").arg(i).arg(a); break;
        }
    }
    RuleEngine engine(doc);
    engine.useCache = cached;
    engine.SetRules(rules);
    engine.Recalculate();
    int i = 0;
    for (auto _ : state) {
        doc.SetFieldText(1 + i % 200, QString::number(i));
        ++i;
        engine.Recalculate();
    }
}

} // namespace

BENCHMARK_CAPTURE(Pit37Pass, cached, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pit37Pass, fresh, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Synthetic, cached, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Synthetic, fresh, false)->Unit(benchmark::kMicrosecond);
