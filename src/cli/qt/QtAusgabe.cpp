// The Qt side of layout and render: the application object the fonts need, the
// measuring device, and SVG, PDF and PNG output through QtDevice.
#include "QtAusgabe.h"

#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>
#include <vector>

#include "../Befehle.h"
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

int QtRendern(const std::string& datei, double zoom,
              const std::function<int(kd::Device&, kd::TRect& bereich)>& aufbauen,
              const std::function<void(kd::Device&)>& zeichnen) {
    Anwendung();
    kd::QtDevice mess;  // measures only
    kd::TRect b;
    if (const int rc = aufbauen(mess, b); rc != Erfolg) return rc;
    b = kd::NormalizeRect(b);
    const double breite = b.Right - b.Left, hoehe = b.Top - b.Bottom;
    const QString name = QString::fromStdString(datei);
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
        if (!bild.save(name, "PNG")) return Fehler(Dateifehler, datei + " l\xC3\xA4sst sich nicht schreiben");
        return Erfolg;
    }
    case Art::Svg: {
        QSvgGenerator svg;
        svg.setFileName(name);
        svg.setSize(QSize(px(breite), px(hoehe)));
        svg.setViewBox(QRect(0, 0, px(breite), px(hoehe)));
        svg.setResolution(std::max(1, int(std::lround(254 * zoom))));  // 0.1 mm per unit
        svg.setTitle(QStringLiteral("KALDORA Formelsammlung"));
        QPainter p;
        if (!p.begin(&svg)) return Fehler(Dateifehler, datei + " l\xC3\xA4sst sich nicht schreiben");
        p.fillRect(QRectF(0, 0, px(breite), px(hoehe)), Qt::white);
        Zeichnen(p, b, zoom, zeichnen);
        p.end();
        return Erfolg;
    }
    case Art::Pdf: {
        // Real size: 2540 dpi, 10 device pixels per 0.1 mm.
        QPdfWriter pdf(name);
        pdf.setResolution(2540);
        pdf.setPageSize(QPageSize(QSizeF(breite / 10.0, hoehe / 10.0), QPageSize::Millimeter, QString(),
                                  QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("KALDORA Formelsammlung"));
        QPainter p;
        if (!p.begin(&pdf)) return Fehler(Dateifehler, datei + " l\xC3\xA4sst sich nicht schreiben");
        Zeichnen(p, b, 10.0, zeichnen);
        p.end();
        return Erfolg;
    }
    }
    return Erfolg;
}

} // namespace kdcli
