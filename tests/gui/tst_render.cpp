// A sheet of typeset example formulas drawn with QtDevice into a PNG: the page is not
// blank, every text leaf and sign shows ink inside the box the layout gave it, the
// fraction bars lie where the layout put them, and nothing is drawn right of the
// formulas.
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "core/page/Formelseite.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/Stile.h"
#include "core/typeset/TextObjekte.h"
#include "gui/platform/QtDevice.h"

namespace {

constexpr double Zoom = 1.0;  // pixels per 0.1 mm

const std::vector<std::string> Blatt = {
    "y=a/b+(a+b)/(c-d)+1/(1+1/x) {Br\xFC" "che}",
    "y=WURZEL(x)+WURZEL3(x^2+1)+WURZEL4(a/b) {Wurzeln}",
    "y=x^2+a|1^n+x|i {Potenzen und Indizes}",
    "~a=~b+~g*~p {Griechisch}",
    "s=SUMME(k=1;n;k^2)*PRODUKT(i=1;m;a|i) {Summe und Produkt}",
    "A=INTEGRAL(x=0;~p;SIN(x)*dx) {Integral}",
    "y=GAMMA(x+1)+ABS(x-a)+FAKULT\xC4T(n) {Gamma, Betrag, Fakult\xE4t}",
    "y=x;z=2*y:w=a/b {Untereinander und nebeneinander}",
    "y=(",
};

// The page mapping: 0.1 mm units, y up, the top of the page at row 0.
void Seite(kd::Device& dc) {
    kd::DeviceMapping m;
    m.WindowOrg = {0, 2970};
    m.WindowExt = {1000, 1000};
    m.ViewportExt = {int(1000 * Zoom), -int(1000 * Zoom)};
    dc.SetMapping(m);
}

QRect Pixel(const kd::Device& dc, const kd::TRect& r) {
    const kd::DevicePoint a = dc.LogicalToDevice(r.Left, r.Top);
    const kd::DevicePoint e = dc.LogicalToDevice(r.Right, r.Bottom);
    return QRect(QPoint(int(std::floor(a.x)), int(std::floor(a.y))),
                 QPoint(int(std::ceil(e.x)), int(std::ceil(e.y))));
}

int Dunkel(const QImage& img, QRect in) {
    in = in.intersected(img.rect());
    int n = 0;
    for (int y = in.top(); y <= in.bottom(); ++y)
        for (int x = in.left(); x <= in.right(); ++x)
            if (qGray(img.pixel(x, y)) < 160) ++n;
    return n;
}

// Every text leaf and sign below e.
void Blaetter(const kd::TDLine* e, std::vector<const kd::TDLine*>& aus) {
    if (!e) return;
    if (auto* k = dynamic_cast<const kd::TFormElem*>(e)) {
        Blaetter(k->Erstes.get(), aus);
        Blaetter(k->Zweites.get(), aus);
        if (k->HatKlammern) {
            Blaetter(k->KlammerLinks.get(), aus);
            Blaetter(k->KlammerRechts.get(), aus);
        }
        return;
    }
    aus.push_back(e);
}

void Brueche(const kd::TDLine* e, std::vector<const kd::TFormElem*>& aus) {
    auto* k = dynamic_cast<const kd::TFormElem*>(e);
    if (!k) return;
    if (k->Art == 4) aus.push_back(k);
    Brueche(k->Erstes.get(), aus);
    Brueche(k->Zweites.get(), aus);
}

} // namespace

class TstRender : public QObject {
    Q_OBJECT

private slots:
    void SheetShowsEveryElementWhereTheLayoutPutIt() {
        const bool symbolAlt = kd::SymbolKlammer();
        for (const bool symbol : {true, false}) {
            kd::SymbolKlammer() = symbol;
            QImage img(int(2100 * Zoom), int(2970 * Zoom), QImage::Format_RGB32);
            img.fill(Qt::white);
            kd::TFormelseite seite;
            auto stile = std::make_shared<kd::TFormStyles>();
            {
                QPainter p(&img);
                p.setRenderHint(QPainter::Antialiasing);
                kd::QtDevice dc(&p);
                Seite(dc);
                seite.Zeichnen(dc, Blatt, stile);
            }
            QCOMPARE(seite.Anzahl, int(Blatt.size()));
            QVERIFY(Dunkel(img, img.rect()) > 5000);

            kd::QtDevice mass;
            Seite(mass);
            std::int32_t rechts = 0;
            for (int i = 0; i < seite.ElementListe.Count(); ++i) {
                const kd::TDLine* baum = seite.ElementListe[i];
                rechts = std::max(rechts, baum->Rect.Right);
                std::vector<const kd::TDLine*> blaetter;
                Blaetter(baum, blaetter);
                QVERIFY(!blaetter.empty());
                for (const kd::TDLine* b : blaetter) {
                    const auto* t = dynamic_cast<const kd::TDText*>(b);
                    if (t && t->Text.find_first_not_of(' ') == std::string::npos) continue;
                    // Glyphs may reach a little beyond the measured box.
                    const QRect r = Pixel(mass, b->Rect).adjusted(-3, -3, 3, 3);
                    QVERIFY2(Dunkel(img, r) > 0,
                             qPrintable(QString("formula %1: no ink in %2 of %3")
                                            .arg(i)
                                            .arg(QString::fromLatin1(b->ClassName().data()))
                                            .arg(QString::fromStdString(t ? t->Text : ""))));
                }
                // Fraction bars: a dark row at OpY over the middle of the bar.
                std::vector<const kd::TFormElem*> brueche;
                Brueche(baum, brueche);
                for (const kd::TFormElem* f : brueche) {
                    const std::int32_t l = std::min(f->Erstes->Rect.Left, f->Zweites->Rect.Left);
                    const std::int32_t r = l + std::max(f->Erstes->Rect.Right - f->Erstes->Rect.Left,
                                                        f->Zweites->Rect.Right - f->Zweites->Rect.Left);
                    const QRect balken = Pixel(mass, kd::TRect{(l + r) / 2 - 2, f->OpY + 1,
                                                               (l + r) / 2 + 2, f->OpY - 2});
                    QVERIFY2(Dunkel(img, balken) > 0, qPrintable(QString("bar of formula %1").arg(i)));
                }
            }
            // The formulas end where the layout says: right of them only the separators.
            // (The headings are shorter than 700 units.)
            const QRect leer = Pixel(mass, kd::TRect{std::max(rechts, 700) + 40, 2970, 2000, 0});
            int tinte = 0;
            for (int y = leer.top(); y <= std::min(leer.bottom(), img.height() - 1); ++y)
                for (int x = leer.left(); x <= std::min(leer.right(), img.width() - 1); ++x)
                    if (qGray(img.pixel(x, y)) < 100) ++tinte;
            QCOMPARE(tinte, 0);

            // The red error text and the dark blue headings.
            const kd::TDLine& fehler = *seite.ElementListe[int(Blatt.size()) - 1];
            const QRect fr = Pixel(mass, fehler.Rect);
            bool rot = false;
            for (int y = fr.top(); y <= fr.bottom() && !rot; ++y)
                for (int x = fr.left(); x <= fr.right() && !rot; ++x) {
                    const QColor c = img.pixelColor(x, y);
                    rot = c.red() > 200 && c.green() < 100 && c.blue() < 100;
                }
            QVERIFY(rot);

            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            const QString datei = dir.filePath("blatt.png");
            QVERIFY(img.save(datei, "PNG"));
            QImage gelesen(datei);
            QCOMPARE(gelesen.size(), img.size());
        }
        kd::SymbolKlammer() = symbolAlt;
    }
};

QTEST_MAIN(TstRender)
#include "tst_render.moc"
