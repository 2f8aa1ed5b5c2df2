// The Qt side of layout and render: the application object the fonts need, the
// measuring device, and SVG, PDF and PNG output through QtDevice.
#include "QtAusgabe.h"

#include <QGuiApplication>
#include <QIODevice>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>
#include <vector>

#include "../Befehle.h"
#include "core/library/AtomarSchreiben.h"
#include "core/numeric/Encoding.h"
#include "gui/platform/QtDevice.h"

namespace kdcli {

namespace {

// Fonts need an application object; it is made on first use and lives to the end of
// the process (the device's font cache outlives every caller). Without a display the
// offscreen platform serves.
void Anwendung() {
    static int argc = 1;
    static char name[] = "kdformel-cli";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

enum class Art { Svg, Png, Pdf };

// Qt's writers over a file that replaces the target only when every byte is written.
class AtomaresGeraet final : public QIODevice {
public:
    explicit AtomaresGeraet(const std::string& datei) : datei_(datei) { open(QIODevice::WriteOnly); }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* daten, qint64 n) override {
        return datei_.Schreibe(daten, std::size_t(n)) ? n : -1;
    }
    std::string Fehler() const { return datei_.Fehler(); }
    std::string Abschliessen() {
        close();
        return datei_.Abschliessen();
    }
private:
    kd::AtomareDatei datei_;
};

Art ArtVon(const std::string& datei) {
    if (datei.ends_with(".png")) return Art::Png;
    if (datei.ends_with(".pdf")) return Art::Pdf;
    return Art::Svg;
}

// Page units onto device pixels: `proEinheit` pixels per unit, y flipped, the top-left
// corner of `b` at (0, 0).
kd::DeviceMapping Abbildung(const kd::TRect& b, double proEinheit) {
    kd::DeviceMapping m;
    m.WindowOrg = {b.Left, b.Top};
    m.WindowExt = {10000, 10000};
    const auto s = static_cast<std::int32_t>(std::lround(10000 * proEinheit));
    m.ViewportOrg = {0, 0};
    m.ViewportExt = {s, -s};
    return m;
}

int Zeichnen(QPainter& p, const kd::TRect& b, double proEinheit,
             const std::function<void(kd::Device&)>& zeichnen) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    kd::QtDevice dc(&p);
    dc.SetMapping(Abbildung(b, proEinheit));
    zeichnen(dc);
    dc.End();
    return Erfolg;
}

} // namespace

int MitQtMessung(const std::function<int(kd::Device&)>& arbeit) {
    Anwendung();
    QImage leinwand(64, 64, QImage::Format_RGB32);
    leinwand.fill(Qt::white);
    QPainter p(&leinwand);
    kd::QtDevice dc(&p);
    const int rc = arbeit(dc);
    dc.End();
    return rc;
}

static int AusgabeFehler(const std::string& datei, const std::string& grund) {
    return Fehler(Dateifehler, datei + " l\xC3\xA4sst sich nicht schreiben: " + kd::Cp1252ToUtf8(grund));
}

int InDatei(const std::string& datei, const std::function<bool(QIODevice&)>& schreiben) {
    AtomaresGeraet geraet(datei);
    if (!geraet.Fehler().empty()) return AusgabeFehler(datei, geraet.Fehler());
    const bool ok = schreiben(geraet);
    if (!geraet.Fehler().empty()) return AusgabeFehler(datei, geraet.Fehler());
    if (!ok) return AusgabeFehler(datei, "Schreibfehler");
    if (const std::string grund = geraet.Abschliessen(); !grund.empty()) return AusgabeFehler(datei, grund);
    return Erfolg;
}

int QtRendern(const std::string& datei, double zoom,
              const std::function<int(kd::Device&, kd::TRect& bereich)>& aufbauen,
              const std::function<void(kd::Device&)>& zeichnen) {
    Anwendung();
    kd::QtDevice mess;  // measures only
    kd::TRect b;
    if (const int rc = aufbauen(mess, b); rc != Erfolg) return rc;
    b = kd::NormalizeRect(b);
    const double breite = b.Right - b.Left, hoehe = b.Top - b.Bottom;
    const auto px = [&](double einheiten) { return std::max(1, int(std::lround(einheiten * zoom))); };
    switch (ArtVon(datei)) {
    case Art::Png: {
        QImage bild(px(breite), px(hoehe), QImage::Format_RGB32);
        if (bild.isNull()) return Fehler(Dateifehler, "das Bild ist zu gro\xC3\x9F (--zoom kleiner w\xC3\xA4hlen)");
        bild.fill(Qt::white);
        {
            QPainter p(&bild);
            Zeichnen(p, b, zoom, zeichnen);
        }
        return InDatei(datei, [&](QIODevice& d) { return bild.save(&d, "PNG"); });
    }
    case Art::Svg: {
        return InDatei(datei, [&](QIODevice& d) {
        QSvgGenerator svg;
        svg.setOutputDevice(&d);
        svg.setSize(QSize(px(breite), px(hoehe)));
        svg.setViewBox(QRect(0, 0, px(breite), px(hoehe)));
        svg.setResolution(std::max(1, int(std::lround(254 * zoom))));  // 0.1 mm per unit
        svg.setTitle(QStringLiteral("KALDORA Formelsammlung"));
        QPainter p;
        if (!p.begin(&svg)) return false;
        p.fillRect(QRectF(0, 0, px(breite), px(hoehe)), Qt::white);
        Zeichnen(p, b, zoom, zeichnen);
        return p.end();
        });
    }
    case Art::Pdf: {
        // Real size: 2540 dpi, 10 device pixels per 0.1 mm.
        return InDatei(datei, [&](QIODevice& d) {
        QPdfWriter pdf(&d);
        pdf.setResolution(2540);
        pdf.setPageSize(QPageSize(QSizeF(breite / 10.0, hoehe / 10.0), QPageSize::Millimeter, QString(),
                                  QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("KALDORA Formelsammlung"));
        QPainter p;
        if (!p.begin(&pdf)) return false;
        Zeichnen(p, b, 10.0, zeichnen);
        return p.end();
        });
    }
    }
    return Erfolg;
}

} // namespace kdcli
