// The undo history of the window over a large library: what one step costs (the
// records are compared before and after a command) and what an undo and redo cost.
#include <benchmark/benchmark.h>

#include <QString>

#include <memory>
#include <string>

#include "gui/app/DlgFormelSammlUndo.h"

namespace {

// `n` formulas; every 100th carries a picture of `bild` bytes.
void Fuellen(kd::Formelsammlung& s, int n, std::size_t bild) {
    for (int i = 0; i < n; ++i) {
        auto r = std::make_unique<kd::TFormelBiblio>();
        r->FormelText = "f" + std::to_string(i) + "=SUMME(k=1;n;a|k*x^k)/(1+WURZEL(x)) {Formel " +
                        std::to_string(i) + "}";
        if (i % 100 == 0) {
            r->BildTyp = 1;
            r->Bild.assign(bild, std::uint8_t(i));
        }
        s.FormelListe.Add(std::move(r));
    }
    s.AktFormel = 0;
}

// One command that edits one formula's text, as a step.
void BM_Schritt(benchmark::State& state) {
    kd::Formelsammlung s;
    Fuellen(s, int(state.range(0)), std::size_t(state.range(1)));
    kd::FormelVerlauf v(s);
    int i = 0;
    for (auto _ : state) {
        v.Beginn();
        s.FormelListe[i % s.FormelListe.Count()]->FormelText += "+1";
        v.Ende(QStringLiteral("Formel editieren"));
        ++i;
    }
    state.SetLabel(std::to_string(state.range(0)) + " Formeln, Bilder je " + std::to_string(state.range(1)) +
                   " Bytes");
}
BENCHMARK(BM_Schritt)->Args({250, 0})->Args({2000, 0})->Args({2000, 200000})->Unit(benchmark::kMicrosecond);

// Undo and redo of a deleted formula.
void BM_RueckgaengigWiederholen(benchmark::State& state) {
    kd::Formelsammlung s;
    Fuellen(s, int(state.range(0)), std::size_t(state.range(1)));
    kd::FormelVerlauf v(s);
    v.Beginn();
    s.FormelListe.DeleteItem(1);
    v.Ende(QStringLiteral("Formel l\u00f6schen"));
    for (auto _ : state) {
        v.Rueckgaengig();
        v.Wiederholen();
    }
    state.SetLabel(std::to_string(state.range(0)) + " Formeln, Bilder je " + std::to_string(state.range(1)) +
                   " Bytes");
}
BENCHMARK(BM_RueckgaengigWiederholen)
    ->Args({250, 0})
    ->Args({2000, 0})
    ->Args({2000, 200000})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
