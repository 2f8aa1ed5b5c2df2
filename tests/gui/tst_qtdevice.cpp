// QtDevice: drawing on images, device-independent text measurement, font mapping
// ("Arial", "Symbol"), the not-xor raster mode and pixel reading.
#include <QBuffer>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QtTest>

#include <string>

#include "core/device/Device.h"
#include "gui/platform/QtDevice.h"

using kd::QtDevice;

namespace {

kd::LogFont Schrift(const char* face, std::int32_t height, std::int32_t escapement = 0,
                    std::int32_t weight = 400) {
    kd::LogFont f;
    f.Height = height;
    f.Escapement = f.Orientation = escapement;
    f.Weight = weight;
    f.SetFace(face);
    return f;
}

// The page mapping at a zoom: 0.1 mm units, y up, the top at y = 2970.
void Seite(kd::Device& dc, double zoom, std::int32_t top = 2970) {
    kd::DeviceMapping m;
    const int r = int(std::lround(zoom * 1000));
    m.WindowExt = {1000, -1000};
    m.ViewportExt = {r, r};
    m.WindowOrg = {0, top};
    dc.SetMapping(m);
}

QImage Weiss(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// The bounding box of the pixels that are not white, empty when none.
QRect Tinte(const QImage& img, QRect in = {}) {
    if (in.isNull()) in = img.rect();
    int l = INT_MAX, t = INT_MAX, r = -1, b = -1;
    for (int y = in.top(); y <= in.bottom(); ++y)
        for (int x = in.left(); x <= in.right(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255)) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                b = std::max(b, y);
            }
    if (r < 0) return {};
    return QRect(QPoint(l, t), QPoint(r, b));
}

} // namespace

class TestQtDevice : public QObject {
    Q_OBJECT
private slots:
    void arialIsLiberationSans() {
        const QtDevice::FontInfo& f = QtDevice::Font(Schrift("Arial", 40));
        QCOMPARE(QFontInfo(f.font).family(), QStringLiteral("Liberation Sans"));
        QVERIFY(!f.symbol);
        QVERIFY(!f.font.kerning());  // characters at their own advances, as GDI sets them
        QCOMPARE(f.font.hintingPreference(), QFont::PreferNoHinting);
        // "Symbol" is drawn in DejaVu Sans, named explicitly, whatever the case.
        for (const char* face : {"Symbol", "SYMBOL", "symbol"}) {
            const QtDevice::FontInfo& s = QtDevice::Font(Schrift(face, 40));
            QVERIFY(s.symbol);
            QCOMPARE(QFontInfo(s.font).family(), QStringLiteral("DejaVu Sans"));
        }
        // The cache gives the same object for the same record.
        QCOMPARE(&QtDevice::Font(Schrift("Arial", 40)), &f);
    }

    void cellAndCharacterHeight() {
        QtDevice dc;  // measuring only
        struct Fall {
            const char* face;
            std::int32_t h;
        };
        // h > 0: the cell height is h.
        for (const Fall& c : {Fall{"Arial", 40}, Fall{"Arial", 34}, Fall{"Arial", 120},
                              Fall{"Symbol", 40}, Fall{"Symbol", 34}, Fall{"Arial", 7}}) {
            dc.SelectFont(Schrift(c.face, c.h));
            QCOMPARE(dc.TextExtent("Ag").cy, c.h);
        }
        // h < 0: the em is |h|; Liberation Sans has a cell of 1.149 em.
        dc.SelectFont(Schrift("Arial", -100));
        const kd::TSize e = dc.TextExtent("A");
        QVERIFY2(e.cy >= 111 && e.cy <= 116, qPrintable(QString::number(e.cy)));
        // "AAAA" in Arial at an em of 100: 4 x 66.7 units.
        QCOMPARE(dc.TextExtent("AAAA").cx, 267);
        dc.SelectFont(Schrift("Arial", 40));
        QCOMPARE(dc.TextExtent("").cx, 0);
    }

    void widthNarrowsTheCharacters() {
        // A LogFont width is the average character width: the advances scale with it,
        // the height stays.
        QtDevice dc;
        kd::LogFont natuerlich = Schrift("Arial", 40);
        dc.SelectFont(natuerlich);
        const kd::TSize n = dc.TextExtent("((((((((((");
        const double mittel = QtDevice::Font(natuerlich).metrics.averageCharWidth() /
                              QtDevice::FontScale;
        for (const double faktor : {0.5, 0.75, 2.0}) {
            kd::LogFont f = natuerlich;
            f.Width = int(std::lround(mittel * faktor));
            dc.SelectFont(f);
            const kd::TSize s = dc.TextExtent("((((((((((");
            QCOMPARE(s.cy, n.cy);
            const double ist = double(s.cx) / n.cx;
            QVERIFY2(std::abs(ist - faktor) < 0.05, qPrintable(QString::number(ist)));
        }
    }

    void narrowedTextIsNarrowOnEveryEngine() {
        // The same narrowed text on an image and through SVG (which keeps no font
        // stretch) has the same ink width.
        kd::LogFont f = Schrift("Arial", 100);
        f.Width = int(std::lround(QtDevice::Font(Schrift("Arial", 100)).metrics.averageCharWidth() /
                                  QtDevice::FontScale / 2));
        auto zeichne = [&](QPainter& p) {
            QtDevice dc(&p);
            dc.SelectFont(f);
            dc.SetBkMode(kd::TRANSPARENT);
            dc.TextOut(20, 20, "HHHHHH");
        };
        QImage direkt = Weiss(600, 200);
        {
            QPainter p(&direkt);
            zeichne(p);
        }
        QByteArray svgBytes;
        QBuffer buf(&svgBytes);
        QSvgGenerator svg;
        svg.setOutputDevice(&buf);
        svg.setSize(QSize(600, 200));
        svg.setViewBox(QRect(0, 0, 600, 200));
        {
            QPainter p(&svg);
            zeichne(p);
        }
        QSvgRenderer leser(svgBytes);
        QImage gelesen = Weiss(600, 200);
        {
            QPainter p(&gelesen);
            leser.render(&p, QRectF(0, 0, 600, 200));
        }
        const QRect a = Tinte(direkt), b = Tinte(gelesen);
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        QVERIFY2(std::abs(a.width() - b.width()) <= 3,
                 qPrintable(QStringLiteral("%1 against %2").arg(a.width()).arg(b.width())));
    }

    void measurementIsDeviceIndependent() {
        const std::string texte[] = {"x^2 + y", "Hallo Welt", "W", "iiiiiiiiiii", "\xC4\xD6\xDC\xDF"};
        const kd::LogFont fonts[] = {Schrift("Arial", 40), Schrift("Arial", 34, 0, 700),
                                     Schrift("Symbol", 40)};
        QImage klein = Weiss(300, 300), gross = Weiss(2400, 2400);
        klein.setDotsPerMeterX(3780);   // 96 dpi
        gross.setDotsPerMeterX(23622);  // 600 dpi
        QPainter p1(&klein), p2(&gross);
        QtDevice a(&p1), b(&p2), mess;
        Seite(a, 0.35);
        Seite(b, 2.3622);
        QByteArray pdf;
        QBuffer buf(&pdf);
        buf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buf);
        writer.setResolution(1200);
        QPainter p3(&writer);
        QtDevice c(&p3);
        Seite(c, 4.7244);
        for (const auto& f : fonts) {
            for (QtDevice* dc : {&a, &b, &c, &mess}) dc->SelectFont(f);
            for (const auto& t : texte) {
                const kd::TSize ref = mess.TextExtent(t);
                QVERIFY(ref.cx > 0);
                QCOMPARE(a.TextExtent(t), ref);
                QCOMPARE(b.TextExtent(t), ref);
                QCOMPARE(c.TextExtent(t), ref);
            }
        }
        a.End();
        b.End();
        c.End();
        p3.end();
    }

    void drawsTextAndShapes() {
        QImage img = Weiss(800, 1100);
        QPainter p(&img);
        QtDevice dc(&p);
        Seite(dc, 0.35);  // logical (x, y) at pixel (0.35 x, 0.35 (2970 - y))

        // A filled rectangle (100..400, 2800..2600) -> pixels (35..140, 59..129).
        dc.SelectPen({kd::PS_SOLID, 0, 0, kd::RGB(0, 0, 0)});
        dc.SelectBrush({kd::BS_SOLID, kd::RGB(0, 0, 255), 0});
        dc.Rectangle(100, 2800, 400, 2600);
        // A thick red line (500, 2800) -> (1000, 2600).
        dc.SelectPen({kd::PS_SOLID, 10, 10, kd::RGB(255, 0, 0)});
        dc.MoveTo(500, 2800);
        dc.LineTo(1000, 2600);
        // A green triangle.
        const kd::TPoint tri[3] = {{100, 2000}, {500, 2000}, {300, 2400}};
        dc.SelectPen(kd::NullPen());
        dc.SelectBrush({kd::BS_SOLID, kd::RGB(0, 160, 0), 0});
        dc.Polygon(tri, 3);
        // Text, bottom-left aligned at (100, 1500), transparent.
        dc.SelectFont(Schrift("Arial", 100));
        dc.SetTextAlign(kd::TA_LEFT | kd::TA_BOTTOM);
        dc.SetBkMode(kd::TRANSPARENT);
        dc.SetTextColor(kd::RGB(0, 0, 0));
        const kd::TSize ext = dc.TextExtent("Hallo");
        dc.TextOut(100, 1500, "Hallo");
        // An ellipse outline and a filled rectangle with FillRect.
        dc.SelectPen(kd::BlackPen());
        dc.SelectBrush(kd::NullBrush());
        dc.Ellipse(1200, 2800, 1600, 2500);
        dc.FillRect({1200, 1500, 1600, 1300}, {kd::BS_SOLID, kd::RGB(255, 200, 0), 0});
        dc.End();
        p.end();

        struct Fall {
            const char* was;
            QRect wo;   // pixels where it must be
            QRgb farbe; // a colour expected inside (0: anything not white)
        };
        const Fall faelle[] = {
            {"rectangle fill", QRect(60, 80, 40, 30), qRgb(0, 0, 255)},
            {"line", QRect(230, 60, 40, 30), 0},
            {"triangle", QRect(90, 310, 30, 20), qRgb(0, 160, 0)},
            {"ellipse", QRect(418, 59, 146, 106), 0},
            {"fill rect", QRect(430, 520, 120, 50), qRgb(255, 200, 0)},
        };
        for (const Fall& f : faelle) {
            const QRect ink = Tinte(img, f.wo);
            QVERIFY2(!ink.isEmpty(), f.was);
            if (f.farbe) QCOMPARE(img.pixel(f.wo.center()), f.farbe);
        }
        // The text lies in its box: x from 35 over the measured width, its cell bottom at
        // pixel 0.35 x 1470 = 514.5, its cell 35 pixels high.
        const QRect textBox(35, 480, int(ext.cx * 0.35) + 2, 36);
        const QRect ink = Tinte(img, textBox.adjusted(-20, -20, 20, 20));
        QVERIFY(!ink.isEmpty());
        QVERIFY2(textBox.contains(ink), qPrintable(QStringLiteral("ink %1,%2 %3x%4")
                                                       .arg(ink.x()).arg(ink.y())
                                                       .arg(ink.width()).arg(ink.height())));
        QVERIFY(ink.width() > ext.cx * 0.35 * 0.8);  // the text fills most of its width
        // Elsewhere the page stays white.
        QVERIFY(Tinte(img, QRect(0, 700, 800, 400)).isEmpty());
        QVERIFY(Tinte(img, QRect(600, 0, 200, 700)).isEmpty());
    }

    void alignmentAndRotation() {
        struct Fall {
            std::uint32_t align;
            std::int32_t escapement;
            bool (*pruefe)(const QRect& ink);
            const char* was;
        };
        // Identity mapping (pixels, y down), reference point (200, 200), font 40 px.
        const Fall faelle[] = {
            {kd::TA_LEFT | kd::TA_TOP, 0, [](const QRect& i) { return i.left() >= 199 && i.top() >= 199; },
             "left top: right of and below the point"},
            {kd::TA_RIGHT | kd::TA_BOTTOM, 0,
             [](const QRect& i) { return i.right() <= 201 && i.bottom() <= 201; },
             "right bottom: left of and above the point"},
            {kd::TA_CENTER | kd::TA_BASELINE, 0,
             [](const QRect& i) { return i.left() < 200 && i.right() > 200 && i.bottom() <= 201; },
             "centre baseline"},
            {kd::TA_LEFT | kd::TA_BOTTOM, 900,
             [](const QRect& i) { return i.height() > 2 * i.width() && i.bottom() <= 201 && i.right() <= 201; },
             "escapement 90 degrees: upward, counter-clockwise"},
        };
        for (const Fall& f : faelle) {
            QImage img = Weiss(400, 400);
            QPainter p(&img);
            QtDevice dc(&p);
            dc.SelectFont(Schrift("Arial", 40, f.escapement));
            dc.SetTextAlign(f.align);
            dc.SetBkMode(kd::TRANSPARENT);
            dc.TextOut(200, 200, "Hallo");
            dc.End();
            p.end();
            const QRect ink = Tinte(img);
            QVERIFY2(!ink.isEmpty(), f.was);
            QVERIFY2(f.pruefe(ink), qPrintable(QStringLiteral("%1: ink %2,%3 %4x%5")
                                                   .arg(f.was).arg(ink.x()).arg(ink.y())
                                                   .arg(ink.width()).arg(ink.height())));
        }
    }

    void symbolBytesDrawGlyphs() {
        // Symbol bytes are Unicode glyphs of DejaVu Sans.
        const QtDevice::FontInfo& sym = QtDevice::Font(Schrift("Symbol", 40));
        QCOMPARE(QtDevice::TextFor(sym, "a"), QString(QChar(0x03B1)));
        QCOMPARE(QtDevice::TextFor(sym, "p"), QString(QChar(0x03C0)));
        QCOMPARE(QtDevice::TextFor(sym, "\xEC"), QString(QChar(0x23A7)));
        QCOMPARE(QtDevice::TextFor(sym, "\xF2"), QString(QChar(0x222B)));
        QVERIFY(sym.metrics.inFontUcs4(0x23A7));
        QVERIFY(sym.metrics.inFontUcs4(0x03B1));

        struct Fall {
            const char* bytes;
            char32_t zeichen;
        };
        for (const Fall& f : {Fall{"a", 0x03B1}, Fall{"\xEC", 0x23A7}, Fall{"\xEE", 0x23A9},
                              Fall{"\xFC", 0x23AB}, Fall{"\xA5", 0x221E}}) {
            QImage img = Weiss(200, 200);
            QPainter p(&img);
            QtDevice dc(&p);
            dc.SelectFont(Schrift("Symbol", 80));
            dc.SetBkMode(kd::TRANSPARENT);
            dc.TextOut(50, 40, f.bytes);
            dc.End();
            p.end();
            QVERIFY2(!Tinte(img).isEmpty(), f.bytes);

            // The same glyph as the Unicode character drawn by Qt in DejaVu Sans.
            const QString u = QString::fromUcs4(&f.zeichen, 1);
            QImage direkt = Weiss(200, 200);
            QPainter r(&direkt);
            r.scale(1.0 / QtDevice::FontScale, 1.0 / QtDevice::FontScale);
            const QtDevice::FontInfo& gross = QtDevice::Font(Schrift("Symbol", 80));
            r.setFont(gross.font);
            r.setPen(Qt::black);
            r.drawText(QPointF(50, 40) * QtDevice::FontScale + QPointF(0, gross.metrics.ascent()), u);
            r.end();
            QCOMPARE(Tinte(img), Tinte(direkt));
        }
    }

    void notXorTwiceRestores() {
        QImage img = Weiss(300, 300);
        {
            QPainter p(&img);
            p.fillRect(QRect(0, 0, 150, 300), QColor(10, 200, 30));
        }
        const QImage vorher = img.copy();
        QPainter p(&img);
        QtDevice dc(&p);
        p.setRenderHint(QPainter::Antialiasing, true);
        QVERIFY(dc.SupportsRasterOps());
        Seite(dc, 0.35, 857);
        dc.SelectPen({kd::PS_DOT, 0, 0, kd::RGB(0, 0, 128)});
        dc.SelectBrush(kd::NullBrush());
        QCOMPARE(dc.SetROP2(kd::R2_NOTXORPEN), kd::R2_COPYPEN);
        const kd::TPoint rahmen[5] = {{50, 800}, {700, 800}, {700, 100}, {50, 100}, {50, 800}};
        dc.Polyline(rahmen, 5);
        dc.Rectangle(100, 700, 300, 500);
        dc.End();
        p.end();
        QVERIFY(img != vorher);
        // Black on white gives black; the frame inverts the green half too.
        QPainter p2(&img);
        dc.Begin(&p2);
        Seite(dc, 0.35, 857);
        dc.SelectPen({kd::PS_DOT, 0, 0, kd::RGB(0, 0, 128)});
        dc.SelectBrush(kd::NullBrush());
        dc.SetROP2(kd::R2_NOTXORPEN);
        dc.Polyline(rahmen, 5);
        dc.Rectangle(100, 700, 300, 500);
        dc.SetROP2(kd::R2_COPYPEN);
        dc.End();
        p2.end();
        QCOMPARE(img, vorher);

        // PDF and SVG have no raster operations: nothing is drawn in that mode.
        QByteArray svgBytes;
        QBuffer buf(&svgBytes);
        QSvgGenerator svg;
        svg.setOutputDevice(&buf);
        svg.setSize(QSize(300, 300));
        QPainter ps(&svg);
        QtDevice ds(&ps);
        QVERIFY(!ds.SupportsRasterOps());
        ds.SetROP2(kd::R2_NOTXORPEN);
        ds.Rectangle(10, 10, 200, 200);
        ds.SetROP2(kd::R2_COPYPEN);
        ds.End();
        ps.end();
        QVERIFY(!svgBytes.contains("<rect"));
    }

    void pixelsAndCapabilities() {
        QImage img = Weiss(400, 300);
        img.setDotsPerMeterX(3780);
        img.setDotsPerMeterY(3780);
        QPainter p(&img);
        QtDevice dc(&p);
        Seite(dc, 0.35);
        dc.FillRect({100, 2900, 300, 2700}, {kd::BS_SOLID, kd::RGB(12, 34, 56), 0});
        QCOMPARE(dc.GetPixel(200, 2800), kd::RGB(12, 34, 56));
        QCOMPARE(dc.GetPixel(500, 2800), kd::RGB(255, 255, 255));
        QCOMPARE(dc.GetPixel(-100, 2800), kd::ClrInvalid);
        QCOMPARE(dc.GetDeviceCaps(kd::DeviceCap::HorzRes), 400);
        QCOMPARE(dc.GetDeviceCaps(kd::DeviceCap::VertRes), 300);
        QCOMPARE(dc.GetDeviceCaps(kd::DeviceCap::LogPixelsX), 96);
        QCOMPARE(dc.GetDeviceCaps(kd::DeviceCap::HorzSize), 106);  // 400 px at 96 dpi
        dc.End();
        p.end();
        // Without a painter: nothing to read, nothing drawn, measuring works.
        QtDevice mess;
        QCOMPARE(mess.GetPixel(0, 0), kd::ClrInvalid);
        mess.Rectangle(0, 0, 10, 10);
        mess.SelectFont(Schrift("Arial", 40));
        QVERIFY(mess.TextExtent("x").cx > 0);
    }

    void svgAndPdfOutput() {
        // The same drawing calls produce vector output.
        QByteArray svgBytes;
        QBuffer buf(&svgBytes);
        QSvgGenerator svg;
        svg.setOutputDevice(&buf);
        svg.setSize(QSize(735, 1040));
        svg.setViewBox(QRect(0, 0, 735, 1040));
        {
            QPainter p(&svg);
            QtDevice dc(&p);
            Seite(dc, 0.35);
            dc.SelectFont(Schrift("Arial", 40));
            dc.SetBkMode(kd::TRANSPARENT);
            dc.TextOut(100, 2900, "Formel");
            dc.SelectPen(kd::BlackPen());
            dc.MoveTo(100, 2800);
            dc.LineTo(600, 2800);
        }
        QVERIFY(svgBytes.contains("Formel") || svgBytes.contains("<path"));
        QVERIFY(svgBytes.contains("<polyline") || svgBytes.contains("<path") ||
                svgBytes.contains("<line"));
    }
};

QTEST_MAIN(TestQtDevice)
#include "tst_qtdevice.moc"
