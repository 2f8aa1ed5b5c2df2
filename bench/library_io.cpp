// Library load and save: a library of 251 formulas, text only and with a 100 kB picture
// in every tenth record, written to and read from a temporary folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "core/library/Bibliothek.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFormeln = 251;
constexpr std::size_t kBildGroesse = 100 * 1024;

kd::FormelListeTyp Bibliothek(bool mitBildern) {
    kd::FormelListeTyp liste;
    for (int i = 0; i < kFormeln; ++i) {
        auto satz = std::make_unique<kd::TFormelBiblio>();
        satz->FormelText = "y" + std::to_string(i) + "=SUMME(k=1;n;a|k*x^k)/WURZEL(b^2+c^2) {Formel " +
                           std::to_string(i) + "}";
        if (mitBildern && i % 10 == 0) {
            satz->BildTyp = 1;
            satz->Bild.assign(kBildGroesse, std::uint8_t(i));
        }
        liste.Add(std::move(satz));
    }
    return liste;
}

class Ordner {
public:
    Ordner() {
        std::random_device rd;
        pfad_ = fs::temp_directory_path() / ("kdformel-bench-" + std::to_string(rd()));
        fs::create_directories(pfad_);
    }
    ~Ordner() {
        std::error_code ec;
        fs::remove_all(pfad_, ec);
    }
    fs::path operator/(const char* n) const { return pfad_ / n; }

private:
    fs::path pfad_;
};

std::uintmax_t Groesse(const fs::path& p) { return fs::file_size(p); }

void BM_SaveLibrary(benchmark::State& state) {
    const bool bilder = state.range(0) != 0;
    const kd::FormelListeTyp liste = Bibliothek(bilder);
    Ordner ordner;
    const std::string datei = (ordner / "Bench.pqb").string();
    for (auto _ : state) kd::SchreibeBibliothek(datei, liste);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Groesse(datei)));
    state.SetLabel(bilder ? "26 pictures of 100 kB" : "text only");
}

void BM_LoadLibrary(benchmark::State& state) {
    const bool bilder = state.range(0) != 0;
    Ordner ordner;
    const std::string datei = (ordner / "Bench.pqb").string();
    kd::SchreibeBibliothek(datei, Bibliothek(bilder));
    for (auto _ : state) {
        kd::FormelListeTyp liste;
        kd::LiesBibliothek(datei, liste);
        benchmark::DoNotOptimize(liste.Count());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Groesse(datei)));
    state.SetLabel(bilder ? "26 pictures of 100 kB" : "text only");
}

} // namespace

BENCHMARK(BM_SaveLibrary)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadLibrary)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
