// Pictures in memory and time: the first page of a library as the window shows it
// (1000 x 800 pixels at the screen's zoom, only the visible formulas drawn) and the
// whole library printed into a PDF file, each run in a child process of its own so that
// its peak memory (getrusage ru_maxrss) is its alone.
//
//   ErsteSeite/Fotos50       50 formulas, each with a 12-megapixel photo (4000 x 3000 JPEG)
//   ErsteSeite/Bilder1000    1000 formulas, each with a picture of about 1 MB (JPEG)
//   ErsteSeite/Ohne...       the same formulas without pictures: the yardstick
//   Drucken/...              the whole library printed (A4 PDF at 600 dpi)
//
// Reported: the time of the run (manual time) and Spitze_MB, the child's peak resident
// memory; the library's own picture bytes (held as read from the file) are part of it
// and given as Bilddaten_MB. Each child may take at most 6 GB of address space, so a
// run that would need more ends early instead of pressing the machine (Ueber_Grenze = 1).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/library/Bibliothek.h"
#include "core/page/Druckseiten.h"
#include "core/page/Formelseite.h"
#include "core/pictures/Bilder.h"
#include "core/pictures/Jpeg.h"
#include "core/pictures/Seitenbilder.h"
#include "core/device/Stile.h"
#include "gui/platform/QtDevice.h"

namespace {

constexpr double Zoom = 0.35;  // screen pixels per 0.1 mm, as the window's page

// A photo-like picture: smooth colours with grain, so that it compresses like a photo.
std::vector<std::uint8_t> Foto(int w, int h, int korn) {
    kd::Bild b;
    b.Create(w, h);
    std::mt19937 z(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int r = int(z() % unsigned(korn));
            b.Set(x, y, std::uint8_t((x * 255 / w + r) & 255), std::uint8_t((y * 255 / h + r) & 255),
                  std::uint8_t(((x + y) / 16 + r) & 255));
        }
    return kd::KodiereJpeg(b, 90);
}

const std::vector<std::uint8_t>& Grosses() {
    static const auto f = Foto(4000, 3000, 24);
    return f;
}
const std::vector<std::uint8_t>& Mittleres() {
    static const auto f = Foto(1400, 1050, 64);
    return f;
}

kd::FormelListeTyp Liste(int n, const std::vector<std::uint8_t>* bild) {
    kd::FormelListeTyp l;
    for (int i = 0; i < n; ++i) {
        auto f = std::make_unique<kd::TFormelBiblio>();
        f->FormelText = "y=a*x^2+b*x+" + std::to_string(i) + " {Formel " + std::to_string(i) + "}";
        if (bild) {
            f->BildTyp = kd::BildJpeg;
            f->Bild = *bild;
        }
        l.Add(std::move(f));
    }
    return l;
}

void Anwendung() {
    static int argc = 1;
    static char name[] = "bench_bilder";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

double ErsteSeite(const kd::FormelListeTyp& liste) {
    Anwendung();
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> texte;
    for (const auto& f : liste) texte.push_back(f->FormelText);
    kd::ListenBilder bilder(liste);
    auto stile = std::make_shared<kd::TFormStyles>();
    QImage fenster(1000, 800, QImage::Format_RGB32);
    fenster.fill(Qt::white);
    QPainter p(&fenster);
    kd::QtDevice dc(&p);
    kd::DeviceMapping m;
    m.WindowOrg = {0, kd::TFormelseite::Seitenoben};
    m.WindowExt = {1000, 1000};
    m.ViewportExt = {int(1000 * Zoom), -int(1000 * Zoom)};
    dc.SetMapping(m);
    kd::TFormelseite seite;
    const std::int32_t hoehe = std::int32_t(800 / Zoom);
    seite.Ausschnitt = kd::TRect{0, kd::TFormelseite::Seitenoben, std::int32_t(1000 / Zoom),
                                 kd::TFormelseite::Seitenoben - hoehe};
    seite.Zeichnen(dc, texte, stile, &bilder);
    dc.End();
    p.end();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Drucken(const kd::FormelListeTyp& liste) {
    Anwendung();
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> texte;
    for (const auto& f : liste) texte.push_back(f->FormelText);
    kd::ListenBilder bilder(liste);
    QTemporaryDir ordner;
    QPdfWriter pdf(ordner.filePath(QStringLiteral("druck.pdf")));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    pdf.setResolution(600);
    QPainter p(&pdf);
    kd::QtDevice dc(&p);
    kd::Druckauftrag a;
    a.Texte = &texte;
    a.Bilder = &bilder;
    a.Seitenstil.RandLinks = 200;
    a.NeueSeite = [&pdf] { pdf.newPage(); };
    kd::FormelsammlungDrucken(dc, a);
    dc.End();
    p.end();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs `arbeit` in a child; returns its time (negative when it failed) and peak memory.
struct Lauf {
    double sekunden = -1;
    double spitzeMB = 0;
    bool grenze = false;
};
Lauf ImKind(const std::function<double()>& arbeit) {
    int rohr[2];
    if (::pipe(rohr) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(rohr[0]);
        rlimit r{6ull << 30, 6ull << 30};
        ::setrlimit(RLIMIT_AS, &r);
        double t = -1;
        try {
            t = arbeit();
        } catch (...) {
        }
        [[maybe_unused]] auto n = ::write(rohr[1], &t, sizeof t);
        ::_exit(0);
    }
    ::close(rohr[1]);
    Lauf l;
    if (::read(rohr[0], &l.sekunden, sizeof l.sekunden) != sizeof l.sekunden) l.sekunden = -1;
    ::close(rohr[0]);
    int status = 0;
    rusage ru{};
    ::wait4(pid, &status, 0, &ru);
    l.spitzeMB = double(ru.ru_maxrss) / 1024.0;
    l.grenze = l.sekunden < 0 || !WIFEXITED(status);
    return l;
}

void Messen(benchmark::State& st, int n, const std::vector<std::uint8_t>* bild, bool drucken) {
    if (bild) (void)bild->size();  // encoded before the child starts
    for (auto _ : st) {
        const Lauf l = ImKind([&] {
            const kd::FormelListeTyp liste = Liste(n, bild);
            return drucken ? Drucken(liste) : ErsteSeite(liste);
        });
        st.SetIterationTime(l.sekunden > 0 ? l.sekunden : 0);
        st.counters["Spitze_MB"] = l.spitzeMB;
        st.counters["Ueber_Grenze"] = l.grenze ? 1 : 0;
        st.counters["Bilddaten_MB"] = bild ? double(bild->size()) * n / (1 << 20) : 0;
    }
}

void ErsteSeiteFotos50(benchmark::State& st) { Messen(st, 50, &Grosses(), false); }
void ErsteSeiteOhneBilder50(benchmark::State& st) { Messen(st, 50, nullptr, false); }
void ErsteSeiteBilder1000(benchmark::State& st) { Messen(st, 1000, &Mittleres(), false); }
void ErsteSeiteOhneBilder1000(benchmark::State& st) { Messen(st, 1000, nullptr, false); }
void DruckenFotos50(benchmark::State& st) { Messen(st, 50, &Grosses(), true); }
void DruckenBilder1000(benchmark::State& st) { Messen(st, 1000, &Mittleres(), true); }
void DruckenOhneBilder1000(benchmark::State& st) { Messen(st, 1000, nullptr, true); }

} // namespace

BENCHMARK(ErsteSeiteOhneBilder50)->Name("ErsteSeite/OhneBilder50")->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(ErsteSeiteFotos50)->Name("ErsteSeite/Fotos50")->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(ErsteSeiteOhneBilder1000)->Name("ErsteSeite/OhneBilder1000")->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(ErsteSeiteBilder1000)->Name("ErsteSeite/Bilder1000")->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(DruckenFotos50)->Name("Drucken/Fotos50")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(DruckenOhneBilder1000)->Name("Drucken/OhneBilder1000")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(DruckenBilder1000)->Name("Drucken/Bilder1000")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
