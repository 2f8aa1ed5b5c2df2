// Plotting a formula: the curve table of 10,000 points, and from the formula text to the
// first painted plot (the table, the chart with its axes and the chart view painted
// once, offscreen at 800 x 500).
//   Tabellieren10000   KurvenTabellieren over 10,000 points
//   Zeichnen/N         the chart of a ready table of N points built and painted
//   ErsterPlot10000    table + chart + first paint: the time a user waits
#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "core/plot/Kurve.h"
#include "gui/plot/KurvenDiagramm.h"

namespace {

const char* const Formel = "y=SIN(x)*x^2+WURZEL(ABS(x))/(x-3)";

kd::Kurventabelle Tabelle(int punkte = 10000) {
    kd::Kurvenbereich b;
    b.XName = "x";
    b.Von = -10;
    b.Bis = 10;
    b.Punkte = punkte;
    return kd::KurvenTabellieren(Formel, b, {}).Tabelle;
}

void Malen(const kd::Kurventabelle& t) {
    auto* diagramm = new kd::KurvenDiagramm(t, false, false);
    QChartView ansicht(diagramm);
    ansicht.setRenderHint(QPainter::Antialiasing);
    ansicht.resize(800, 500);
    QImage bild(800, 500, QImage::Format_ARGB32_Premultiplied);
    static_cast<QWidget&>(ansicht).render(&bild);  // the widget's own paint event
    benchmark::DoNotOptimize(bild.bits());
}

void Tabellieren10000(benchmark::State& state) {
    for (auto _ : state) {
        const kd::Kurventabelle t = Tabelle();
        benchmark::DoNotOptimize(t.Kurven.data());
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(Tabellieren10000)->Unit(benchmark::kMillisecond);

void Zeichnen(benchmark::State& state) {
    const kd::Kurventabelle t = Tabelle(int(state.range(0)));
    for (auto _ : state) Malen(t);
}
BENCHMARK(Zeichnen)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

void ErsterPlot10000(benchmark::State& state) {
    for (auto _ : state) Malen(Tabelle());
}
BENCHMARK(ErsterPlot10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
