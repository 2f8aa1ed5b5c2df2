// The formula page in the real main window (offscreen): a library of 251 formulas (the
// example formulas of resources/libraries/*.txt repeated) in a fresh program folder.
//
//   FensterStart        a trivial window (a label and a button) created, shown and
//                       painted for the first time: the yardstick
//   ErsteDarstellung    the main window created, started on the library, shown and
//                       its page painted for the first time (parse, layout, drawing)
//   Neuzeichnen         the page drawn again with the cached layouts (ShowFormel)
//   Auswahlwechsel      the selection moved one formula down or up and the screen
//                       updated: the highlight frames only, the page is not drawn
//
// The benchmarks above run warm (Qt's fonts and caches are loaded after the first
// iteration). The start as a user sees it is measured apart: the program runs itself
// as a child process, once with the trivial window and once with the main window, each
// timing from the start of main (before the application object) to its first paint
// done; the medians of five starts are compared.
//
// At the end: first painted page / trivial window (target <= 2), warm and from a cold
// process start, and the selection change in milliseconds (target <= 1), with the
// count of page drawings during the changes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Beispielformeln.h"
#include "core/library/Bibliothek.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/Meldungen.h"
#include "gui/platform/VirtPntBox.h"

#ifndef KD_SOURCE_DIR
#define KD_SOURCE_DIR "."
#endif

namespace {

constexpr int Formelzahl = 251;

// Boxes answered at once: the bench never waits for a user.
class StilleMeldungen final : public kd::Meldungen {
public:
    Antwort Zeige(const QString&, const QString&, Symbol, Tasten) override { return Antwort::Nein; }
    void Signalton() override {}
};

std::vector<std::string> Texte() { return kdbench::Beispielformeln(Formelzahl); }

// The program folder with the one library, for the whole run.
QTemporaryDir& Ordner() {
    static QTemporaryDir dir;
    return dir;
}

bool OrdnerAnlegen() {
    const std::vector<std::string> texte = Texte();
    if (texte.empty() || !Ordner().isValid()) return false;
    kd::FormelListeTyp liste;
    for (const std::string& t : texte) {
        auto f = std::make_unique<kd::TFormelBiblio>();
        f->FormelText = t;
        liste.Add(std::move(f));
    }
    kd::SchreibeBibliothek(QFile::encodeName(Ordner().filePath("Seite.pqb")).toStdString(), liste);
    qputenv("KDFORMEL_HOME", QFile::encodeName(Ordner().path()));
    return true;
}

StilleMeldungen& Boxen() {
    static StilleMeldungen m;
    return m;
}

std::unique_ptr<kd::TDlgFormelSamml> Hauptfenster() {
    auto w = std::make_unique<kd::TDlgFormelSamml>(&Boxen());
    w->SetWartezeit(0);
    w->Start();
    w->show();
    w->PaintBox1->repaint();
    QApplication::processEvents();
    return w;
}

// The trivial window: the main window's size, a label and a button, shown and painted.
void TrivialesFenster() {
    QWidget w;
    w.resize(kd::TDlgFormelSamml::ClientBreite, kd::TDlgFormelSamml::ClientHoehe);
    auto* l = new QVBoxLayout(&w);
    l->addWidget(new QLabel(QStringLiteral("KALDORA Formelsammlung")));
    l->addWidget(new QPushButton(QStringLiteral("OK")));
    w.show();
    w.repaint();
    QApplication::processEvents();
    benchmark::DoNotOptimize(w.isVisible());
}

void FensterStart(benchmark::State& st) {
    for (auto _ : st) TrivialesFenster();
}

void ErsteDarstellung(benchmark::State& st) {
    int formeln = 0;
    for (auto _ : st) {
        auto w = Hauptfenster();
        formeln = w->Seite.Anzahl;
        st.PauseTiming();
        w.reset();
        QApplication::processEvents();
        st.ResumeTiming();
    }
    st.counters["Formeln"] = formeln;
}

void Neuzeichnen(benchmark::State& st) {
    auto w = Hauptfenster();
    for (auto _ : st) {
        w->ShowFormel();
        w->PaintBox1->repaint();
    }
}

int seitenBeimWechsel = -1;

void Auswahlwechsel(benchmark::State& st) {
    auto w = Hauptfenster();
    w->SetFormel(3);
    QApplication::processEvents();
    const int vorher = w->SeitenZeichnungen;
    int i = 0;
    for (auto _ : st) {
        w->SetFormel(3 + (i++ & 1));  // formulas 3 and 4 lie in the view
        QApplication::processEvents();
    }
    seitenBeimWechsel = w->SeitenZeichnungen - vorher;
    st.counters["Seitenzeichnungen"] = seitenBeimWechsel;
}

BENCHMARK(FensterStart)->Unit(benchmark::kMillisecond);
BENCHMARK(ErsteDarstellung)->Unit(benchmark::kMillisecond);
BENCHMARK(Neuzeichnen)->Unit(benchmark::kMillisecond);
BENCHMARK(Auswahlwechsel)->Unit(benchmark::kMicrosecond);

// Keeps the real time per iteration of each benchmark (the window system's work
// counts) for the figures at the end.
class Zeiten : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const bool einzeln = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            const bool mittel = r.run_type == Run::RT_Aggregate && r.aggregate_name == "mean";
            if ((einzeln || mittel) && r.iterations > 0)
                sekunden[r.run_name.function_name] =
                    r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        }
    }
    std::map<std::string, double> sekunden;
};

} // namespace

// One start in a child process: prints the milliseconds from the start of main to the
// first paint done.
int EinStart(const char* art) {
    QElapsedTimer uhr;
    uhr.start();
    int argc = 1;
    char name[] = "bench_page";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    if (std::strcmp(art, "haupt") == 0) {
        auto w = Hauptfenster();
        benchmark::DoNotOptimize(w->Seite.Anzahl);
    } else {
        TrivialesFenster();
    }
    // From main, and the moment of the first page on the steady clock, so that the
    // parent can also count the launch (loading and linking the program).
    const auto jetzt = std::chrono::steady_clock::now().time_since_epoch();
    std::printf("%.3f %lld\n", double(uhr.nsecsElapsed()) / 1e6,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(jetzt).count()));
    return 0;
}

// Five starts of the kind: the median milliseconds from main to the first page, and
// from the launch of the process to the first page; -1 when a start failed.
struct Startzeiten {
    double abMain = -1;
    double abAufruf = -1;
};

Startzeiten KalterStart(const QString& programm, const char* art) {
    std::vector<double> main, aufruf;
    for (int i = 0; i < 5; ++i) {
        QProcess p;
        const auto los = std::chrono::steady_clock::now().time_since_epoch();
        p.start(programm, {QStringLiteral("--einmal=") + QLatin1String(art)});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
        const QStringList zeilen = QString::fromLatin1(p.readAllStandardOutput()).trimmed().split('\n');
        const QStringList teile = zeilen.isEmpty() ? QStringList() : zeilen.last().trimmed().split(' ');
        bool ok1 = false, ok2 = false;
        const double t = teile.size() == 2 ? teile[0].toDouble(&ok1) : 0;
        const long long fertig = teile.size() == 2 ? teile[1].toLongLong(&ok2) : 0;
        if (!ok1 || !ok2) return {};
        main.push_back(t);
        aufruf.push_back(double(fertig - std::chrono::duration_cast<std::chrono::nanoseconds>(los).count()) / 1e6);
    }
    const auto median = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return {median(main), median(aufruf)};
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && std::strncmp(argv[1], "--einmal=", 9) == 0) return EinStart(argv[1] + 9);
    QApplication app(argc, argv);
    if (!OrdnerAnlegen()) {
        std::fprintf(stderr, "bench_page: no example formulas under %s\n", KD_SOURCE_DIR);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    Zeiten rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    const auto s = [&](const char* n) {
        const auto it = rep.sekunden.find(n);
        return it == rep.sekunden.end() ? -1.0 : it->second;
    };
    if (s("FensterStart") > 0 && s("ErsteDarstellung") > 0)
        std::printf("warm: ErsteDarstellung / FensterStart = %.2f\n",
                    s("ErsteDarstellung") / s("FensterStart"));
    const QString selbst = QCoreApplication::applicationFilePath();
    const Startzeiten trivial = KalterStart(selbst, "trivial"), haupt = KalterStart(selbst, "haupt");
    if (trivial.abMain > 0 && haupt.abMain > 0) {
        std::printf("Programmstart bis zur ersten Seite: %.1f ms, triviales Fenster: %.1f ms, "
                    "Verhaeltnis %.2f (Ziel <= 2)\n",
                    haupt.abAufruf, trivial.abAufruf, haupt.abAufruf / trivial.abAufruf);
        std::printf("  davon ab main: %.1f ms, triviales Fenster: %.1f ms, Verhaeltnis %.2f\n",
                    haupt.abMain, trivial.abMain, haupt.abMain / trivial.abMain);
    }
    if (s("Auswahlwechsel") > 0)
        std::printf("Auswahlwechsel = %.3f ms (Ziel <= 1), Seitenzeichnungen dabei: %d\n",
                    s("Auswahlwechsel") * 1000, seitenBeimWechsel);
    benchmark::Shutdown();
    return 0;
}
