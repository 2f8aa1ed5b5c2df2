// Typesetting speed: the formula page of a 251-formula library (the example formulas
// of resources/libraries/*.txt repeated) drawn with QtDevice on a QImage the size of
// the screen page, beside the same characters drawn as plain text lines with QPainter.
//
//   ErsteDarstellung   parse + FormelAufbau + drawing (the page after a library load)
//   ErsteDarstellungNeueTexte  the same with no glyph run cached (texts never drawn)
//   Neuzeichnen        drawing the cached trees (every later paint)
//   Klartext           the characters the page draws for each formula and its heading,
//                      as two QPainter::drawText lines
//   NeuzeichnenOhneQt  the repaint on the fixed-metrics device (the page's own share)
//
// At the end the ratios of the CPU times to the plain-text figure are printed; the
// targets are at most 3 for the first paint and 1.5 for a repaint.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Beispielformeln.h"
#include "core/device/FixedMetricsDevice.h"
#include "core/page/Formelseite.h"
#include "core/device/Stile.h"
#include "gui/platform/QtDevice.h"

#ifndef KD_SOURCE_DIR
#define KD_SOURCE_DIR "."
#endif

namespace {

constexpr double Zoom = 0.35;  // the screen page: 0.35 pixels per 0.1 mm
constexpr int Formelzahl = 251;

std::vector<std::string> Bibliothek() { return kdbench::Beispielformeln(Formelzahl); }

const std::vector<std::string>& Texte() {
    static const std::vector<std::string> t = Bibliothek();
    return t;
}

void Seite(kd::Device& dc) {
    kd::DeviceMapping m;
    m.WindowOrg = {0, 2970};
    m.WindowExt = {1000, 1000};
    m.ViewportExt = {int(1000 * Zoom), -int(1000 * Zoom)};
    dc.SetMapping(m);
}

QImage& Leinwand() {
    static QImage img(int(2100 * Zoom), int(2970 * Zoom), QImage::Format_RGB32);
    return img;
}

void ErsteDarstellung(benchmark::State& st) {
    auto stile = std::make_shared<kd::TFormStyles>();
    QPainter p(&Leinwand());
    p.setRenderHint(QPainter::Antialiasing);
    kd::QtDevice dc(&p);
    Seite(dc);
    for (auto _ : st) {
        kd::TFormelseite seite;
        seite.Zeichnen(dc, Texte(), stile);
        benchmark::DoNotOptimize(seite.FormelPos[0].Breite);
    }
    st.counters["Formeln"] = double(Texte().size());
}

// The first paint of texts never drawn before: the glyph runs are built again.
void ErsteDarstellungNeueTexte(benchmark::State& st) {
    auto stile = std::make_shared<kd::TFormStyles>();
    QPainter p(&Leinwand());
    p.setRenderHint(QPainter::Antialiasing);
    kd::QtDevice dc(&p);
    Seite(dc);
    for (auto _ : st) {
        kd::QtDevice::ForgetGlyphRuns();
        kd::TFormelseite seite;
        seite.Zeichnen(dc, Texte(), stile);
        benchmark::DoNotOptimize(seite.FormelPos[0].Breite);
    }
}

void Neuzeichnen(benchmark::State& st) {
    auto stile = std::make_shared<kd::TFormStyles>();
    QPainter p(&Leinwand());
    p.setRenderHint(QPainter::Antialiasing);
    kd::QtDevice dc(&p);
    Seite(dc);
    kd::TFormelseite seite;
    seite.Zeichnen(dc, Texte(), stile);
    for (auto _ : st) {
        seite.Zeichnen(dc, Texte(), stile);
        benchmark::DoNotOptimize(seite.FormelPos[0].Breite);
    }
}

// The page's own work without Qt: the same repaint on the fixed-metrics device.
void NeuzeichnenOhneQt(benchmark::State& st) {
    auto stile = std::make_shared<kd::TFormStyles>();
    kd::FixedMetricsDevice dc;
    dc.RecordMeasurements = false;
    Seite(dc);
    kd::TFormelseite seite;
    seite.Zeichnen(dc, Texte(), stile);
    for (auto _ : st) {
        dc.ClearCalls();
        seite.Zeichnen(dc, Texte(), stile);
        benchmark::DoNotOptimize(seite.FormelPos[0].Breite);
    }
}

// The same characters as plain lines at the formulas' places, in the main font: every
// character the page draws for a formula (its heading, the operators, names, digits,
// Greek letters, bracket pieces, limits) as two QPainter::drawText lines, the heading
// and the formula.
void Klartext(benchmark::State& st) {
    auto stile = std::make_shared<kd::TFormStyles>();
    kd::TFormelseite seite;
    {
        kd::QtDevice mass;
        Seite(mass);
        seite.Zeichnen(mass, Texte(), stile);
    }
    // What the page draws, formula by formula: the texts between two separator lines
    // (drawn from x = 0 to 5000), split into the heading (its own colour) and the rest.
    struct Zeichen {
        QString kopf, formel;
    };
    std::vector<Zeichen> gezeichnet;
    {
        kd::FixedMetricsDevice fest;
        fest.RecordMeasurements = false;
        Seite(fest);
        kd::TFormelseite festeSeite;
        festeSeite.Zeichnen(fest, Texte(), stile);
        for (const auto& c : fest.Calls()) {
            using Kind = kd::FixedMetricsDevice::Kind;
            if (c.kind == Kind::LineTo && !c.points.empty() && c.points.back().x == 5000)
                gezeichnet.emplace_back();
            if (c.kind != Kind::TextOut || gezeichnet.empty()) continue;
            const QString t = kd::QtDevice::TextFor(kd::QtDevice::Font(c.font), c.text);
            (c.color == kd::RGB(0, 0, 80) ? gezeichnet.back().kopf : gezeichnet.back().formel) += t;
        }
    }
    struct Zeile {
        QString text;
        QPointF wo;
    };
    std::vector<Zeile> zeilen;
    std::size_t zeichen = 0;
    for (int i = 0; i < seite.Anzahl && std::size_t(i) < gezeichnet.size(); ++i) {
        const kd::TRect& r = seite.ElementListe[i]->Rect;
        const Zeichen& z = gezeichnet[std::size_t(i)];
        zeilen.push_back({z.formel, QPointF(r.Left, r.Bottom)});
        if (!z.kopf.isEmpty()) zeilen.push_back({z.kopf, QPointF(50, r.Top + 40)});
        zeichen += std::size_t(z.formel.size() + z.kopf.size());
    }
    const kd::QtDevice::FontInfo& f = kd::QtDevice::Font(stile->MainFont.Font);
    QPainter p(&Leinwand());
    p.setRenderHint(QPainter::Antialiasing);
    for (auto _ : st) {
        p.fillRect(Leinwand().rect(), Qt::white);
        p.setFont(f.font);
        p.setPen(Qt::black);
        for (const Zeile& z : zeilen) {
            // Page units to pixels, y flipped; the font is made at FontScale units.
            p.setWorldTransform(QTransform::fromTranslate(z.wo.x() * Zoom, (2970 - z.wo.y()) * Zoom)
                                    .scale(Zoom / kd::QtDevice::FontScale,
                                           Zoom / kd::QtDevice::FontScale));
            p.drawText(QPointF(0, 0), z.text);
        }
    }
    st.counters["Zeichen"] = double(zeichen);
}

BENCHMARK(ErsteDarstellung)->Unit(benchmark::kMillisecond);
BENCHMARK(ErsteDarstellungNeueTexte)->Unit(benchmark::kMillisecond);
BENCHMARK(Neuzeichnen)->Unit(benchmark::kMillisecond);
BENCHMARK(Klartext)->Unit(benchmark::kMillisecond);
BENCHMARK(NeuzeichnenOhneQt)->Unit(benchmark::kMillisecond);

// Keeps the time per iteration of each benchmark for the ratios.
class Verhaeltnisse : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            // A single run, or the mean of repetitions.
            const bool einzeln = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            const bool mittel = r.run_type == Run::RT_Aggregate && r.aggregate_name == "mean";
            if ((einzeln || mittel) && r.iterations > 0)
                zeiten[r.run_name.function_name] = r.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> zeiten;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (Texte().empty()) {
        std::fprintf(stderr, "bench_typeset: no example formulas under %s\n", KD_SOURCE_DIR);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    Verhaeltnisse rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    const auto klar = rep.zeiten.find("Klartext");
    if (klar != rep.zeiten.end() && klar->second > 0) {
        for (const char* n : {"ErsteDarstellung", "ErsteDarstellungNeueTexte", "Neuzeichnen"}) {
            const auto it = rep.zeiten.find(n);
            if (it != rep.zeiten.end())
                std::printf("%-25s / Klartext = %.2f (Ziel %s)\n", n, it->second / klar->second,
                            std::string(n) == "Neuzeichnen" ? "<= 1.5" : "<= 3");
        }
    }
    benchmark::Shutdown();
    return 0;
}
