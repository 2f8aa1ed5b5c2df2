// The paint box widget in its scroll box: set-up, painting through OnPaint, the mapping
// of page units to pixels while scrolled, mouse conversion, cursors.
#include <QImage>
#include <QScrollBar>
#include <QtTest>

#include "core/device/VirtPntBox.h"
#include "gui/platform/Cursors.h"
#include "gui/platform/VirtPntBox.h"
#include "helpers/Umgebung.h"

using kd::gui::TCScrollBox;
using kd::gui::TVirtPntBox;

namespace {

// A scroll box of the main window's size with a page at zoom 0.35.
struct Seite {
    TCScrollBox sb;
    TVirtPntBox* box = new TVirtPntBox;
    int gemalt = 0;
    Seite() {
        sb.resize(403, 497);
        sb.setWidget(box);
        box->SetParameter(true, 0, 0, 0, 0, 1.0L, &sb);
        box->ZoomFactor = 0.35;
        box->PageHeight = 2970;
        // A black square 100 x 100 units with its top-left corner at page (1000, 2000).
        box->OnPaint = [this](kd::Device& dc, const kd::TRect&) {
            ++gemalt;
            dc.FillRect({1000, 2000, 1100, 1900}, kd::BlackBrush());
        };
        sb.show();
    }
    QImage Bild() { return sb.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// The top-left black pixel, or (-1, -1).
QPoint ErstesSchwarz(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 64) return {x, y};
    return {-1, -1};
}

} // namespace

class TestVirtPntBox : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void setUpGivesThePageRanges() {
        Seite s;
        QCOMPARE(s.box->AnzSeiten, 1);
        QCOMPARE(s.box->PageWidth, 2100);
        QCOMPARE(s.box->PageHeight, 2970);
        // The scroll ranges: the page width and twice the page height, in pixels.
        QCOMPARE(s.box->size(), QSize(2100, 5940));
        QCOMPARE(s.sb.verticalScrollBar()->singleStep(), 50);
        QCOMPARE(s.box->ViewWidth, 403 - s.sb.VertScrollBarWidth());
        QCOMPARE(s.box->HWindow(), static_cast<QWidget*>(&s.sb));
    }

    void paintsWhereTheMappingSays() {
        Seite s;
        struct Fall {
            int h, v;  // scroll position
        };
        for (const Fall& f : {Fall{0, 0}, Fall{0, 100}, Fall{50, 200}, Fall{200, 287}}) {
            s.sb.horizontalScrollBar()->setValue(f.h);
            s.sb.verticalScrollBar()->setValue(f.v);
            QCOMPARE(s.sb.HorzPosition(), f.h);
            QCOMPARE(s.sb.VertPosition(), f.v);
            const QImage img = s.Bild();
            QVERIFY(s.gemalt > 0);
            // Page (1000, 2000) is at view pixel (0.35 x 1000, 0.35 (2970 - 2000)) minus
            // the scroll position.
            const QPoint want(350 - f.h, 340 - f.v);  // 0.35 * 970 = 339.5
            const QPoint got = ErstesSchwarz(img);
            QVERIFY2((got - want).manhattanLength() <= 2,
                     qPrintable(QStringLiteral("scroll %1,%2: square at %3,%4")
                                    .arg(f.h).arg(f.v).arg(got.x()).arg(got.y())));
            // The mouse at that pixel of the paint box gives back the page point.
            const QPoint maus = got + QPoint(f.h, f.v);  // widget coordinates
            QVERIFY(std::abs(s.box->GetVirtX(maus.x()) - 1000) <= 3);
            QVERIFY(std::abs(s.box->GetVirtY(maus.y()) - 2000) <= 3);
            // The drawing state describes the paint box drawn last.
            QCOMPARE(double(kd::DrawingState().CurrentZoomX), 0.35);
            QCOMPARE(double(kd::DrawingState().CurrentOriginY), double(s.box->WindowOrgY));
        }
    }

    void scrollsARectangleIntoView() {
        Seite s;
        s.box->SetScale();
        // Far down the page: the top-left corner comes to the middle of the view.
        s.box->ScrollObjctSichtbar({1000, 800, 1100, 700});
        QVERIFY(s.sb.VertPosition() > 0);
        QVERIFY(s.sb.HorzPosition() > 0);
        s.box->SetScale();
        QVERIFY(s.box->RectVollSichtbar({1000, 800, 1100, 700}));
    }

    void invalidatesPageRectangles() {
        Seite s;
        s.box->SetScale();
        const QRect r = s.box->PixelRect({1000, 2000, 1100, 1900});
        QVERIFY(r.contains(QPoint(360, 350)));
        QVERIFY(r.width() >= 35 && r.width() <= 40);
        s.box->InvalidateLogicalRect({1000, 2000, 1100, 1900}, true);
    }

    void cursors() {
        QCOMPARE(kd::KDCursor(QStringLiteral("CURSWAIT")).shape(), Qt::ArrowCursor);
        kd::LoadCursors();
        QVERIFY(kd::CursorsLoaded());
        const QStringList names = kd::CursorNames();
        QCOMPARE(names.size(), 17);
        for (const QString& n : names) {
            const QCursor c = kd::KDCursor(n);
            QCOMPARE(c.shape(), Qt::BitmapCursor);
            const QImage img = c.pixmap().toImage();
            QVERIFY2(!img.isNull(), qPrintable(n));
            // Every cursor is drawn: some opaque pixels, transparent elsewhere.
            int deckend = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qAlpha(img.pixel(x, y)) > 128) ++deckend;
            QVERIFY2(deckend > 20 && deckend < img.width() * img.height() * 3 / 4, qPrintable(n));
            QCOMPARE(c.hotSpot(), kd::CursorHotSpot(n));
        }
        QCOMPARE(kd::KDCursor(QStringLiteral("GibtEsNicht")).shape(), Qt::ArrowCursor);

        Seite s;
        s.box->SetNewCursor(kd::KDCursor(QStringLiteral("CURSWAIT")));
        QCOMPARE(s.box->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(s.box->cursor().hotSpot(), QPoint(16, 16));
    }
};

QTEST_MAIN(TestVirtPntBox)
#include "tst_virtpntbox.moc"
