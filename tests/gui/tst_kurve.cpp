// "Kurve zeichnen" driven through the real window and dialogs: the range dialog and the
// input mask, the plot window's zoom, reset and value display, the exports and printing,
// and the rendered chart itself (ink along the curve, gaps not bridged).
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <cmath>
#include <functional>

#include "core/plot/Kurve.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/dialogs/DlgEingabe.h"
#include "gui/plot/KurvenDiagramm.h"
#include "gui/plot/KurvenFenster.h"
#include "helpers/BeiModal.h"
#include "helpers/FakeDateidialoge.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::KurvenDiagramm;
using kd::KurvenFenster;
using kdtest::FakeDateidialoge;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

namespace {

template <class D>
using BeiDialog = kdtest::BeiModal<D>;

void Tippe(QLineEdit* e, const QString& text) {
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, text);
}

kd::Kurventabelle Tabelle(const std::string& text, double von, double bis, int n) {
    kd::Kurvenbereich b;
    b.XName = "x";
    b.Von = von;
    b.Bis = bis;
    b.Punkte = n;
    const kd::Kurvenergebnis e = kd::KurvenTabellieren(text, b, {});
    return e.Tabelle;
}

// The chart laid out at w x h and drawn into an image of that size (chart coordinates
// are image coordinates).
QImage Zeichne(KurvenDiagramm& d, QGraphicsScene& szene, int w, int h) {
    szene.addItem(&d);
    d.resize(w, h);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    d.layout()->activate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    d.layout()->activate();
    QImage bild(w, h, QImage::Format_RGB32);
    bild.fill(Qt::white);
    QPainter p(&bild);
    szene.render(&p, QRectF(0, 0, w, h), d.sceneBoundingRect());
    p.end();
    return bild;
}

// A pixel of the first curve's colour (blue), not grid grey nor text.
bool Blau(QRgb c) { return qBlue(c) > 120 && qRed(c) < 90 && qBlue(c) - qRed(c) > 80; }

struct Plotfenster {
    FakeMeldungen boxen;
    FakeDateidialoge dialoge;
    std::unique_ptr<KurvenFenster> f;
    explicit Plotfenster(const std::string& text = "y=SIN(x)", double bis = 2 * M_PI) {
        f = std::make_unique<KurvenFenster>(Tabelle(text, 0, bis, 201), false, false, dialoge, boxen);
        f->setAttribute(Qt::WA_DeleteOnClose, false);
        f->resize(800, 600);
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        QApplication::processEvents();
    }
    QPoint Pixel(double x, double y) const {
        const QPointF c = f->Diagramm()->PositionVon(QPointF(x, y));
        return f->Ansicht->mapFromScene(f->Diagramm()->mapToScene(c));
    }
};

} // namespace

class TestKurve : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void kurveUeberTasteMitBereichUndEingabemaske() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kdtest::Bibliothek({"y=x", "s=v|0*t+a/2*t^2"}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        w->SetFormel(1);
        // The context menu offers it, with its key.
        QVERIFY(w->PopupMenu1->actions().contains(w->KurveZeichnen1));
        QCOMPARE(w->KurveZeichnen1->text(), QStringLiteral("Kurve zeichnen..."));

        QStringList angeboten;
        BeiDialog<kd::DlgKurve> bereich([&](kd::DlgKurve& d) {
            for (int i = 0; i < d.Variable->count(); ++i) angeboten << d.Variable->itemText(i);
            QCOMPARE(d.Punkte->text(), QStringLiteral("200"));
            d.Variable->setCurrentIndex(angeboten.indexOf(QStringLiteral("t")));
            Tippe(d.Von, QStringLiteral("0"));
            Tippe(d.Bis, QStringLiteral("2,5"));
            Tippe(d.Punkte, QStringLiteral("6"));
            QTest::mouseClick(d.OkKnopf, Qt::LeftButton);
        });
        QStringList maske;
        BeiDialog<kd::TDlgEingabe> eingabe([&](kd::TDlgEingabe& d) {
            for (int i = 0; i < d.Anzahl(); ++i) {
                maske << QString::number(i);
                Tippe(d.Edits[std::size_t(i)], i == 0 ? QStringLiteral("2") : QStringLiteral("4"));
            }
            QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        });
        QTest::keyClick(w->RichEdit1, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(bereich.geoeffnet, 1);
        QCOMPARE(eingabe.geoeffnet, 1);
        QCOMPARE(angeboten.size(), 3);
        QVERIFY(angeboten.contains(QString::fromUtf8("v\xE2\x82\x80")));
        QCOMPARE(maske.size(), 2);  // v|0 and a; t runs along the axis

        const auto fenster = w->findChildren<KurvenFenster*>();
        QCOMPARE(fenster.size(), 1);
        const kd::Kurventabelle& t = fenster[0]->Diagramm()->Tabelle();
        QCOMPARE(t.XName, std::string("t"));
        QCOMPARE(int(t.X.size()), 6);
        // v|0 and a are asked in the order of the formula: v|0 = 2, a = 4.
        for (std::size_t i = 0; i < t.X.size(); ++i)
            QCOMPARE(t.Kurven[0].Y[i], 2 * t.X[i] + 2 * t.X[i] * t.X[i]);
        QVERIFY(boxen.gezeigt.empty());

        // Cancelling the range dialog plots nothing.
        BeiDialog<kd::DlgKurve> abbruch([](kd::DlgKurve& d) { d.reject(); });
        w->KurveZeichnenClick();
        QCOMPARE(abbruch.geoeffnet, 1);
        QCOMPARE(w->findChildren<KurvenFenster*>().size(), 1);
    }

    void bereichsdialogLehntFalscheWerteAb() {
        FakeMeldungen boxen;
        kd::DlgKurve d({"x"}, boxen);
        d.show();
        struct Fall {
            const char *von, *bis, *punkte;
            bool log;
            int toene, boxen;
        };
        const Fall faelle[] = {
            {"a", "1", "10", false, 1, 0},  {"0", "", "10", false, 1, 0},
            {"1", "1", "10", false, 0, 1},  {"0", "1", "1", false, 0, 1},
            {"0", "1", "2,5", false, 0, 1}, {"0", "10", "10", true, 0, 1},
        };
        for (const Fall& f : faelle) {
            boxen.gezeigt.clear();
            boxen.signaltoene = 0;
            Tippe(d.Von, QString::fromLatin1(f.von));
            Tippe(d.Bis, QString::fromLatin1(f.bis));
            Tippe(d.Punkte, QString::fromLatin1(f.punkte));
            d.LogXBox->setChecked(f.log);
            QTest::mouseClick(d.OkKnopf, Qt::LeftButton);
            QVERIFY2(d.isVisible(), f.von);
            QCOMPARE(boxen.signaltoene, f.toene);
            QCOMPARE(int(boxen.gezeigt.size()), f.boxen);
        }
        Tippe(d.Von, QStringLiteral("0,1"));
        Tippe(d.Bis, QStringLiteral("1E3"));
        Tippe(d.Punkte, QStringLiteral("50"));
        d.LogXBox->setChecked(true);
        QTest::mouseClick(d.OkKnopf, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(double(d.Bereich().Von), 0.1);
        QCOMPARE(double(d.Bereich().Bis), 1000.0);
        QCOMPARE(d.Bereich().Punkte, 50);
        QVERIFY(d.Bereich().LogX);
    }

    void zoomRadGummibandUndZuruecksetzen() {
        Plotfenster p;
        KurvenDiagramm* d = p.f->Diagramm();
        const QRectF gesamt = d->Gesamtbereich();
        QCOMPARE(d->Sichtbereich(), gesamt);
        QCOMPARE(gesamt.left(), 0.0);
        QCOMPARE(gesamt.right(), 2 * M_PI);
        QVERIFY(gesamt.top() <= -1 && gesamt.bottom() >= 1);

        // The wheel zooms in about the mouse: the point under it stays.
        const QPoint m = p.Pixel(2, 0.5);
        QWheelEvent rad(QPointF(m), QPointF(p.f->Ansicht->viewport()->mapToGlobal(m)), QPoint(),
                        QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(p.f->Ansicht->viewport(), &rad);
        QRectF s = d->Sichtbereich();
        QVERIFY(s.width() < gesamt.width() * 0.9);
        QVERIFY(s.left() < 2 && s.right() > 2);
        const QPointF unterMaus = d->WertBei(d->mapFromScene(p.f->Ansicht->mapToScene(m)));
        QVERIFY(std::fabs(unterMaus.x() - 2) < 0.05);
        // The tick labels follow the zoom and stay inside it.
        for (double t : d->XTeilstriche()) QVERIFY(t >= s.left() - 1e-9 && t <= s.right() + 1e-9);

        // Reset.
        QTest::mouseClick(p.f->Zuruecksetzen, Qt::LeftButton);
        QCOMPARE(d->Sichtbereich(), gesamt);

        // A rubber band from (1, 0.5) to (3, -0.5) zooms to about that rectangle.
        const QPoint a = p.Pixel(1, 0.5), b = p.Pixel(3, -0.5);
        QWidget* vp = p.f->Ansicht->viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, a);
        QMouseEvent zug(QEvent::MouseMove, QPointF(b), QPointF(vp->mapToGlobal(b)), Qt::NoButton, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(vp, &zug);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, b);
        s = d->Sichtbereich();
        QVERIFY2(std::fabs(s.left() - 1) < 0.05 && std::fabs(s.right() - 3) < 0.05,
                 qPrintable(QString("%1 %2").arg(s.left()).arg(s.right())));
        QVERIFY(std::fabs(s.top() + 0.5) < 0.05 && std::fabs(s.bottom() - 0.5) < 0.05);

        // The right button shows everything again.
        QTest::mouseClick(vp, Qt::RightButton, {}, p.Pixel(2, 0));
        QCOMPARE(d->Sichtbereich(), gesamt);
    }

    void wertUnterDerMaus() {
        Plotfenster p;
        const QPoint m = p.Pixel(M_PI / 2, 0.25);
        QTest::mouseMove(p.f->Ansicht->viewport(), m);
        const QString t = p.f->Wertanzeige->text();
        // The mouse position, and the curve's value at the nearest tabulated x (pi/2).
        QVERIFY2(t.startsWith(QStringLiteral("x = 1,5")) || t.startsWith(QStringLiteral("x = 1,6")), qPrintable(t));
        QVERIFY2(t.contains(QStringLiteral("y = 1")), qPrintable(t));
        QVERIFY2(t.contains(QStringLiteral("bei x = 1,5707963267948966")), qPrintable(t));

        // At a gap the value display names the error.
        Plotfenster q("y=1/(x-3)", 6);
        const QString l = q.f->WertText(QPointF(3.01, 0));
        QVERIFY2(l.contains(QString::fromUtf8("(Division durch 0, oder \xC3\x9C" "berlauf)")), qPrintable(l));
    }

    void exporteDruckUndZwischenablage() {
        Plotfenster p;
        TestOrdner ordner;
        for (const char* n : {"k.png", "k.svg", "k.pdf"}) {
            p.dialoge.dateien.push_back(ordner.Datei(QString::fromLatin1(n)));
            QTest::mouseClick(p.f->BildSpeichern, Qt::LeftButton);
            QVERIFY2(QFile(ordner.Datei(QString::fromLatin1(n))).size() > 1000, n);
        }
        QImage png(ordner.Datei(QStringLiteral("k.png")));
        QVERIFY(png.width() >= 2000);
        QCOMPARE(std::lround(png.dotsPerMeterX() * 0.0254), 300L);
        QVERIFY(ordner.Lies(QStringLiteral("k.svg")).contains("<svg"));
        QVERIFY(ordner.Lies(QStringLiteral("k.pdf")).startsWith("%PDF"));
        QCOMPARE(p.dialoge.aufrufe.back().filter.size(), 3);

        // An existing file is kept when the user does not confirm.
        const QByteArray alt = ordner.Lies(QStringLiteral("k.png"));
        p.dialoge.dateien.push_back(ordner.Datei(QStringLiteral("k.png")));
        p.boxen.Antworte({kd::Meldungen::Antwort::Abbrechen});
        QTest::mouseClick(p.f->BildSpeichern, Qt::LeftButton);
        QCOMPARE(ordner.Lies(QStringLiteral("k.png")), alt);

        // The table: CSV with byte order mark, and tab-separated on the clipboard.
        p.dialoge.dateien.push_back(ordner.Datei(QStringLiteral("k.csv")));
        QTest::mouseClick(p.f->CsvSpeichern, Qt::LeftButton);
        const QByteArray csv = ordner.Lies(QStringLiteral("k.csv"));
        const std::string soll = kd::KurvenCsv(p.f->Diagramm()->Tabelle(), ';');
        QCOMPARE(csv, QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(soll));
        QVERIFY(csv.contains("\r\n0,031415926535897934;0,03141075907812829\r\n"));
        QTest::mouseClick(p.f->Kopieren, Qt::LeftButton);
        const QString tsv = QApplication::clipboard()->text();
        QVERIFY(tsv.startsWith(QStringLiteral("x\ty=SIN(x)\r\n0\t0\r\n")));
        QCOMPARE(tsv.count(QStringLiteral("\r\n")), 202);

        // Printing goes through the print dialog: cancelled prints nothing, a PDF printer
        // gets one page.
        const std::size_t vorher = p.dialoge.aufrufe.size();
        QTest::mouseClick(p.f->Drucken, Qt::LeftButton);
        QCOMPARE(p.dialoge.aufrufe.size(), vorher + 1);
        QCOMPARE(p.dialoge.aufrufe.back().art, QStringLiteral("drucken"));
        p.dialoge.pdf = ordner.Datei(QStringLiteral("druck.pdf"));
        QTest::mouseClick(p.f->Drucken, Qt::LeftButton);
        const QByteArray druck = ordner.Lies(QStringLiteral("druck.pdf"));
        QVERIFY(druck.startsWith("%PDF"));
        QCOMPARE(druck.count("/Type /Page\n") + druck.count("/Type /Page\r") + druck.count("/Type /Page "), 1);
        QVERIFY(p.boxen.ohneAntwort == 0);
    }

    void sinusHatTinteNurEntlangDerKurve() {
        QGraphicsScene szene;  // outlives the chart, which leaves it when destroyed
        KurvenDiagramm d(Tabelle("y=SIN(x)", 0, 2 * M_PI, 400), false, false);
        const QImage bild = Zeichne(d, szene, 900, 600);
        const QRectF flaeche = d.plotArea();
        QVERIFY(flaeche.width() > 500 && flaeche.height() > 300);

        // The expected curve in pixels, densely.
        std::vector<QPointF> soll;
        for (int i = 0; i <= 4000; ++i) {
            const double x = 2 * M_PI * i / 4000;
            soll.push_back(d.mapToPosition(QPointF(x, std::sin(x))));
        }
        auto abstand = [&](QPointF p) {
            double m = 1e9;
            for (const QPointF& s : soll) m = std::min(m, std::hypot(s.x() - p.x(), s.y() - p.y()));
            return m;
        };
        // Nowhere far from it: every blue pixel lies within 3 pixels of the curve.
        int tinte = 0;
        for (int y = 0; y < bild.height(); ++y)
            for (int x = 0; x < bild.width(); ++x) {
                if (!Blau(bild.pixel(x, y))) continue;
                if (!flaeche.adjusted(-3, -3, 3, 3).contains(QPointF(x, y))) continue;  // the legend's box
                ++tinte;
                QVERIFY2(abstand(QPointF(x + 0.5, y + 0.5)) < 3.0, qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
        // Along it: at every 20th x of the plot area there is ink within 2 pixels.
        for (int i = 0; i <= 200; ++i) {
            const double x = 2 * M_PI * i / 200;
            const QPointF p = d.mapToPosition(QPointF(x, std::sin(x)));
            bool gefunden = false;
            for (int dy = -2; dy <= 2 && !gefunden; ++dy)
                for (int dx = -2; dx <= 2 && !gefunden; ++dx) {
                    const int px = int(p.x()) + dx, py = int(p.y()) + dy;
                    if (bild.rect().contains(px, py) && Blau(bild.pixel(px, py))) gefunden = true;
                }
            QVERIFY2(gefunden, qPrintable(QString("x=%1").arg(x)));
        }
        QVERIFY(tinte > int(flaeche.width()));
        // Axis labels in German format, one per tick, reading back as the tick value.
        for (const auto& [texte, werte] : {std::pair{d.XBeschriftung(), d.XTeilstriche()},
                                           std::pair{d.YBeschriftung(), d.YTeilstriche()}}) {
            QCOMPARE(texte.size(), werte.size());
            QVERIFY(texte.size() >= 3);
            bool komma = false;
            for (int i = 0; i < texte.size(); ++i) {
                QVERIFY2(!texte[i].contains(QLatin1Char('.')), qPrintable(texte[i]));
                komma = komma || texte[i].contains(QLatin1Char(','));
                QString t = texte[i];
                QCOMPARE(t.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(), werte[i]);
            }
            QVERIFY(komma);
        }
    }

    void polIstEineLueckeKeineSenkrechteLinie() {
        // 1/x on -1..1 with a point at 0: without the gap a line would join -100 and +100.
        QGraphicsScene szene;
        KurvenDiagramm d(Tabelle("y=1/x", -1, 1, 201), false, false);
        QCOMPARE(d.Stuecke(), 2);
        const QImage bild = Zeichne(d, szene, 900, 600);
        const QRectF f = d.plotArea();
        const double x0 = d.mapToPosition(QPointF(0, 0)).x();
        int mitte = 0;
        for (int y = int(f.top() + f.height() * 0.2); y < int(f.bottom() - f.height() * 0.2); ++y)
            for (int x = int(x0) - 1; x <= int(x0) + 1; ++x)
                if (Blau(bild.pixel(x, y))) ++mitte;
        QCOMPARE(mitte, 0);
        // Both branches are drawn.
        int links = 0, rechts = 0;
        for (int y = int(f.top()); y < int(f.bottom()); ++y)
            for (int x = int(f.left()); x < int(f.right()); ++x)
                if (Blau(bild.pixel(x, y))) (x < x0 ? links : rechts)++;
        QVERIFY(links > 100 && rechts > 100);
    }

    void langeTabellenWerdenFuerDieAnsichtAusgeduennt() {
        // 100,000 points of a fast oscillation: the series hold at most 4 points per
        // column of the view, with every extreme kept; zoomed in, every point in view.
        const kd::Kurventabelle t = Tabelle("y=SIN(x*300)+x/10", 0, 10, 100000);
        KurvenDiagramm d(t, false, false);
        QVERIFY(d.GezeichnetePunkte() <= 4 * 2000 + 2);
        QVERIFY(d.GezeichnetePunkte() > 2000);
        auto extreme = [&](const QList<QPointF>& p) {
            double lo = 1e9, hi = -1e9;
            for (const QPointF& q : p) lo = std::min(lo, q.y()), hi = std::max(hi, q.y());
            return std::pair{lo, hi};
        };
        auto* serie = qobject_cast<QLineSeries*>(d.series().at(0));
        QVERIFY(serie);
        double lo = 1e9, hi = -1e9;
        for (double y : t.Kurven[0].Y) lo = std::min(lo, y), hi = std::max(hi, y);
        QCOMPARE(extreme(serie->points()), std::pair(lo, hi));
        d.SetSichtbereich(QRectF(QPointF(5, -2), QPointF(5.1, 2)));
        const QList<QPointF> innen = serie->points();
        const auto imBild = std::count_if(t.X.begin(), t.X.end(), [](double x) { return x >= 5 && x <= 5.1; });
        QVERIFY(imBild > 900);
        QCOMPARE(qsizetype(innen.size()), qsizetype(imBild + 2));  // and one beyond each side
        QVERIFY(innen.front().x() < 5 && innen.back().x() > 5.1);
        d.Zuruecksetzen();
        QVERIFY(d.GezeichnetePunkte() <= 4 * 2000 + 2);
    }

    void polZwischenZweiPunktenWirdNichtVerbunden() {
        struct Fall {
            const char* text;
            double von, bis;
            int stuecke;
        };
        // TAN on -5..5 crosses the poles at -3pi/2, -pi/2, pi/2 and 3pi/2 between points;
        // 1/x with an even number of points never hits 0; steep and fast curves stay whole.
        const Fall faelle[] = {{"y=TAN(x)", -5, 5, 5},  {"y=1/x", -1, 1, 2},     {"y=SIN(x*40)", 0, 10, 1},
                               {"y=x^9", -3, 3, 1},      {"y=0-x^3", -10, 10, 1}};
        for (const Fall& f : faelle) {
            KurvenDiagramm d(Tabelle(f.text, f.von, f.bis, 200), false, false);
            QVERIFY2(d.Stuecke() == f.stuecke, qPrintable(QString("%1: %2").arg(f.text).arg(d.Stuecke())));
        }
    }

    void einzelneSpitzeBestimmtNichtDenBereich() {
        // A narrow peak of 1E36 at -1 among values below 1E4: the first view shows the
        // curve, not the spike; the table keeps the value.
        const kd::Kurventabelle t = Tabelle("y=1/((x+1)^2+1E-36)", -1.5, 2.5, 401);
        QVERIFY(*std::max_element(t.Kurven[0].Y.begin(), t.Kurven[0].Y.end()) > 1e30);
        KurvenDiagramm d(t, false, false);
        const QRectF g = d.Gesamtbereich();
        QVERIFY2(g.bottom() <= 1e4 && g.top() > -1e4, qPrintable(QString("%1 %2").arg(g.top()).arg(g.bottom())));
        QVERIFY(g.bottom() >= 2500.0);  // the neighbours of the peak are in view
        // The pole of GAMMA(x+1) at -1 is a gap in the table, not a value.
        const kd::Kurventabelle gt = Tabelle("y=GAMMA(x+1)", -1.5, 2.5, 401);
        QVERIFY(std::any_of(gt.Kurven[0].Y.begin(), gt.Kurven[0].Y.end(), [](double y) { return std::isnan(y); }));
        // Without spikes the range is the whole data.
        KurvenDiagramm s(Tabelle("y=x^3", 0, 10, 401), false, false);
        QCOMPARE(s.Gesamtbereich().bottom(), 1000.0);
    }

    void logAchsenUndNamen() {
        kd::Kurvenbereich b;
        b.XName = "~w";
        b.Von = 1;
        b.Bis = 1000;
        b.Punkte = 50;
        b.LogX = true;
        const kd::Kurvenergebnis e = kd::KurvenTabellieren("A|0=1/~w", b, {});
        QVERIFY(e.Ok);
        QGraphicsScene szene;
        KurvenDiagramm d(e.Tabelle, true, true);
        QCOMPARE(d.axes(Qt::Horizontal).at(0)->titleText(), QString::fromUtf8("\xCF\x89"));
        QCOMPARE(d.axes(Qt::Vertical).at(0)->titleText(), QStringLiteral("A<sub>0</sub>"));
        QCOMPARE(d.XTeilstriche(), (QList<double>{1, 10, 100, 1000}));
        QCOMPARE(d.XBeschriftung(), (QStringList{"1", "10", "100", "1.000"}));
        QCOMPARE(d.YBeschriftung(), (QStringList{"0,001", "0,01", "0,1", "1"}));
        // Decades are evenly spaced, and positions map back to values.
        szene.addItem(&d);
        d.resize(900, 600);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const double x1 = d.PositionVon(QPointF(1, 1)).x(), x10 = d.PositionVon(QPointF(10, 1)).x(),
                     x1000 = d.PositionVon(QPointF(1000, 1)).x();
        QVERIFY(std::fabs((x10 - x1) * 3 - (x1000 - x1)) < 1e-6);
        const QPointF w = d.WertBei(d.PositionVon(QPointF(31.6, 0.02)));
        QVERIFY(std::fabs(w.x() - 31.6) < 1e-9 && std::fabs(w.y() - 0.02) < 1e-12);
        // Zoomed into less than a decade, the labels are nice values on the log scale.
        d.SetSichtbereich(QRectF(QPointF(20, 0.001), QPointF(60, 1)));
        const QList<double> t = d.XTeilstriche();
        QVERIFY(t.size() >= 3);
        QCOMPARE(t.front(), 20.0);
        QCOMPARE(t.back(), 60.0);
        for (double v : t) QCOMPARE(std::fmod(v, 5.0), 0.0);
        QCOMPARE(d.Gesamtbereich().top(), 0.001);
        QCOMPARE(d.Gesamtbereich().bottom(), 1.0);
        // A logarithmic y-axis cannot show values <= 0: they are gaps.
        KurvenDiagramm s(Tabelle("y=SIN(x)", 0, 2 * M_PI, 101), false, true);
        QCOMPARE(s.Stuecke(), 1);
    }
};

QTEST_MAIN(TestKurve)
#include "tst_kurve.moc"
