// One keystroke in the organisation register: filter 10,000 rows and repaint the grid.
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <benchmark/benchmark.h>

#include "store/ui/ReferencePickers.h"

namespace {

QList<Organisation> syntheticList(int count) {
    static const char* const towns[] = {"WARSZAWA", "KRAKÓW",   "ŁÓDŹ",      "WROCŁAW", "POZNAŃ",
                                        "GDAŃSK",   "SZCZECIN", "BYDGOSZCZ", "LUBLIN",  "BIAŁYSTOK"};
    static const char* const kinds[] = {"FUNDACJA", "STOWARZYSZENIE", "TOWARZYSTWO", "ZWIĄZEK"};
    QList<Organisation> list;
    for (int i = 0; i < count; ++i)
        list.append({-(i + 1), QString::number(100000 + i * 7).rightJustified(10, u'0'),
                     QString::fromUtf8("%1 POMOCY DZIECIOM I MŁODZIEŻY „NADZIEJA %2” W %3")
                         .arg(QString::fromUtf8(kinds[i % 4]))
                         .arg(i)
                         .arg(QString::fromUtf8(towns[i % 10])),
                     QString::fromUtf8(towns[(i * 3) % 10])});
    return list;
}

void BM_OrganisationKeystroke(benchmark::State& state) {
    TForm_OPP picker;
    picker.SetOrganisations(syntheticList(int(state.range(0))));
    picker.show();
    QCoreApplication::processEvents();
    // Typing a word and rubbing it out again, a keystroke per iteration.
    const QString word = QString::fromUtf8("nadzieja 12");
    int at = 0;
    bool typing = true;
    for (auto _ : state) {
        if (typing)
            picker.Search()->insert(word.mid(at++, 1));
        else
            picker.Search()->backspace(), --at;
        if (at == word.size()) typing = false;
        if (at == 0) typing = true;
        picker.Grid()->viewport()->repaint();
        benchmark::DoNotOptimize(picker.Model()->rowCount());
    }
}
BENCHMARK(BM_OrganisationKeystroke)->Arg(10000)->Unit(benchmark::kMillisecond);

// The heaviest keystroke: from a blank search to a letter nearly every row holds, and back.
void BM_WholeListKeystroke(benchmark::State& state) {
    TForm_OPP picker;
    picker.SetOrganisations(syntheticList(int(state.range(0))));
    picker.show();
    QCoreApplication::processEvents();
    bool blank = true;
    for (auto _ : state) {
        picker.Search()->setText(blank ? QStringLiteral("o") : QString());
        blank = !blank;
        picker.Grid()->viewport()->repaint();
        benchmark::DoNotOptimize(picker.Model()->rowCount());
    }
}
BENCHMARK(BM_WholeListKeystroke)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
