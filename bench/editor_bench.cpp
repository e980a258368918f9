// Responsiveness of the form editor on the offscreen platform: opening a PIT-37 editor until
// its first page is painted, and a field exit (typed value, rule pass, changed fields shown,
// repaint).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include "app/util/Folders.h"
#include "forms/ui/FormEditor.h"
#include "forms/ui/PageControl.h"

namespace {

const QString kFilled =
    QStringLiteral("1=12345678903\r\n5=2022\r\n6=1\r\n10=1\r\n12=KOWALSKA\r\n13=ANNA\r\n"
                   "52=98765.43\r\n53=3000\r\n56=9000\r\n62=12000\r\n63=2400\r\n66=1500\r\n"
                   "122=4000\r\n124=1000\r\n3000=1\r\n");

void Settle() {
    // Twice: showing posts layout and expose events that post the paint.
    QApplication::processEvents();
    QApplication::processEvents();
}

void OpenPit37(benchmark::State& state) {
    for (auto _ : state) {
        auto w = FormEditorWindow::Create(QStringLiteral("TFRMPIT_37"));
        w->Document().ApplyDocumentText(kFilled);
        w->show();
        Settle();
        state.PauseTiming();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void TypeDigit(QWidget* w, int digit) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + digit, Qt::NoModifier, QString::number(digit));
    QApplication::sendEvent(w, &press);
}

void FieldExit(benchmark::State& state) {
    auto w = FormEditorWindow::Create(QStringLiteral("TFRMPIT_37"));
    w->Document().ApplyDocumentText(kFilled);
    w->show();
    // Focus events, and so field exits, need the active window.
    w->activateWindow();
    QApplication::setActiveWindow(w.get());
    for (int i = 0; i < 200 && !w->isActiveWindow(); ++i) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    Settle();
    w->Pages()->setCurrentIndex(1);
    QWidget* revenue = w->FieldWidget(52);
    QWidget* costs = w->FieldWidget(53);
    revenue->setFocus(Qt::TabFocusReason); // selects the text: the typed digit replaces it
    Settle();
    int i = 0;
    for (auto _ : state) {
        // A new revenue, then a Tab-like exit: the rules run and every field they changed is shown
        // again (income or loss, totals, tax, refund) and painted.
        TypeDigit(revenue, i++ % 10);
        costs->setFocus(Qt::TabFocusReason);
        Settle();
        state.PauseTiming();
        revenue->setFocus(Qt::BacktabFocusReason); // entering costs nothing; its exit is not measured
        Settle();
        state.ResumeTiming();
    }
    // Costs of 3 000 exceed the typed revenue (each digit replaces the selected text): a loss.
    const FormDocument& doc = w->Document();
    if (doc.FindFieldControl(55)->value() !=
        doc.FindFieldControl(53)->value() - doc.FindFieldControl(52)->value())
        state.SkipWithError("the field exits did not recalculate");
}

} // namespace

// The first opening also reads the layout file (later ones take it from the cache).
BENCHMARK(OpenPit37)->Name("OpenPit37/first")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenPit37)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FieldExit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
