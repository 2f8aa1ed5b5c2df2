// A sheet of typeset example formulas drawn with QtDevice into a PNG: the page is not
// blank, every text leaf and sign shows ink inside the box the layout gave it, the
// fraction bars lie where the layout put them, and nothing is drawn right of the
// formulas.
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <typeinfo>
#include <string>
#include <vector>

#include "core/page/Formelseite.h"
#include "core/typeset/Formelsatz.h"
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

// Every sign below e, the second bracket pair of sums and integrals included.
void Zeichen(const kd::TDLine* e, std::vector<const kd::TnEck*>& aus) {
    auto* k = dynamic_cast<const kd::TFormElem*>(e);
    if (!k) {
        if (auto* z = dynamic_cast<const kd::TnEck*>(e)) aus.push_back(z);
        return;
    }
    Zeichen(k->Erstes.get(), aus);
    Zeichen(k->Zweites.get(), aus);
    for (const kd::TKlammer* b : {k->HatKlammern ? k->KlammerLinks.get() : nullptr,
                                  k->HatKlammern ? k->KlammerRechts.get() : nullptr,
                                  k->HatSymbolKlammern ? k->SymbolKlammerLinks.get() : nullptr,
                                  k->HatSymbolKlammern ? k->SymbolKlammerRechts.get() : nullptr})
        if (b) aus.push_back(b);
}

// The ink of one sign drawn alone, in page units (Left, Top, Right, Bottom); Left >
// Right when nothing was drawn.
kd::TRect TinteAllein(kd::TnEck& z) {
    constexpr double proEinheit = 4.0;
    const kd::TRect r = z.Rect;
    const int rand = 100;  // units around the sign's box
    QImage img(int((r.Right - r.Left + 2 * rand) * proEinheit),
               int((r.Top - r.Bottom + 2 * rand) * proEinheit), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        kd::QtDevice dc(&p);
        kd::DeviceMapping m;
        m.WindowOrg = {r.Left - rand, r.Top + rand};
        m.WindowExt = {1000, 1000};
        m.ViewportExt = {int(1000 * proEinheit), -int(1000 * proEinheit)};
        dc.SetMapping(m);
        z.Draw(dc);
    }
    int l = INT_MAX, t = INT_MAX, re = -1, b = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 200) {
                l = std::min(l, x);
                re = std::max(re, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
    if (re < 0) return {1, 0, 0, 0};
    auto einheitX = [&](int px) { return int(std::lround(px / proEinheit)) + r.Left - rand; };
    auto einheitY = [&](int py) { return r.Top + rand - int(std::lround(py / proEinheit)); };
    return {einheitX(l), einheitY(t), einheitX(re + 1), einheitY(b + 1)};
}

// ---- ink of single elements -------------------------------------------------------

// A formula drawn part by part at `proEinheit` pixels per unit with a margin of `rand`
// units around its box: each part's dark pixels, and the whole formula's.
struct Tintenblatt {
    static constexpr double proEinheit = 2.0;
    static constexpr int rand = 30;
    kd::TRect box;
    int breite = 0, hoehe = 0;

    explicit Tintenblatt(const kd::TRect& b) : box(b) {
        breite = int((b.Right - b.Left + 2 * rand) * proEinheit);
        hoehe = int((b.Top - b.Bottom + 2 * rand) * proEinheit);
    }
    // The pixel indices a drawing leaves dark.
    std::vector<int> Tinte(const std::function<void(kd::Device&)>& zeichnen) const {
        QImage img(breite, hoehe, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            kd::QtDevice dc(&p);
            kd::DeviceMapping m;
            m.WindowOrg = {box.Left - rand, box.Top + rand};
            m.WindowExt = {1000, 1000};
            m.ViewportExt = {int(1000 * proEinheit), -int(1000 * proEinheit)};
            dc.SetMapping(m);
            zeichnen(dc);
        }
        std::vector<int> aus;
        for (int y = 0; y < hoehe; ++y) {
            const auto* zeile = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < breite; ++x)
                if (qGray(zeile[x]) < 96) aus.push_back(y * breite + x);
        }
        return aus;
    }
    // A pixel index in page units.
    kd::TPoint Einheit(int i) const {
        const int x = i % breite, y = i / breite;
        return {int(std::floor(x / proEinheit)) + box.Left - rand,
                box.Top + rand - int(std::floor(y / proEinheit))};
    }
};

struct Teil {
    QString name;
    std::function<void(kd::Device&)> zeichnen;
};

// What a node draws itself (operator text, bars), with its children and brackets
// taken out for the drawing.
void NurSelbst(kd::TFormElem& k, kd::Device& dc) {
    auto e1 = std::move(k.Erstes), e2 = std::move(k.Zweites);
    const auto hk = k.HatKlammern, hs = k.HatSymbolKlammern;
    k.HatKlammern = k.HatSymbolKlammern = 0;
    k.Draw(dc);
    k.Erstes = std::move(e1);
    k.Zweites = std::move(e2);
    k.HatKlammern = hk;
    k.HatSymbolKlammern = hs;
}

// A style that draws nothing: the root's polygon hidden, its degree digit left.
std::shared_ptr<kd::TStyleHandle> Unsichtbar() {
    return std::make_shared<kd::TPenBrushTyp>(kd::PS_NULL, 0, 0, kd::BS_NULL, 0, 0);
}

// Every part that draws ink of its own: text leaves, signs (a root's polygon and its
// degree apart), brackets, and the operator texts and bars of the nodes.
void Teile(kd::TDLine* e, std::vector<Teil>& aus) {
    if (!e) return;
    auto* k = dynamic_cast<kd::TFormElem*>(e);
    if (!k) {
        const QString name = QString::fromLatin1(e->ClassName().data());
        if (auto* w = dynamic_cast<kd::TWurzel*>(e); w && (w->Grad == 3 || w->Grad == 4)) {
            aus.push_back({"root sign", [w](kd::Device& dc) {
                               const int g = w->Grad;
                               w->Grad = 2;
                               w->Draw(dc);
                               w->Grad = g;
                           }});
            aus.push_back({"root degree", [w](kd::Device& dc) {
                               auto alt = w->Style;
                               w->Style = Unsichtbar();
                               w->Draw(dc);
                               w->Style = alt;
                           }});
            return;
        }
        QString text;
        if (auto* t = dynamic_cast<kd::TDText*>(e)) text = QString::fromLatin1(t->Text.c_str());
        aus.push_back({name + " " + text, [e](kd::Device& dc) { e->Draw(dc); }});
        return;
    }
    const bool eigenes = (k->Art >= 0 && k->Art <= 3) || (k->Art >= 6 && k->Art <= 20) ||
                         k->Art == 26 || (k->Art >= 28 && k->Art <= 33);
    if (eigenes)
        aus.push_back({QString("operator '%1' of kind %2")
                           .arg(QString::fromLatin1(k->OpText.c_str()))
                           .arg(k->Art),
                       [k](kd::Device& dc) { NurSelbst(*k, dc); }});
    Teile(k->Erstes.get(), aus);
    Teile(k->Zweites.get(), aus);
    for (kd::TKlammer* b : {k->HatKlammern ? k->KlammerLinks.get() : nullptr,
                            k->HatKlammern ? k->KlammerRechts.get() : nullptr,
                            k->HatSymbolKlammern ? k->SymbolKlammerLinks.get() : nullptr,
                            k->HatSymbolKlammern ? k->SymbolKlammerRechts.get() : nullptr})
        if (b) aus.push_back({b->IstLinks() ? "left bracket" : "right bracket",
                              [b](kd::Device& dc) { b->Draw(dc); }});
}

} // namespace

class TstRender : public QObject {
    Q_OBJECT

private slots:
    // A sheet of formulas that once drew faultily: no element's ink lies on another's
    // (a sign over its neighbour, a limit over a bracket, a degree over its root), and
    // all ink lies inside the formula's box.
    void InkOfOneElementNeverOverlapsAnother() {
        const bool symbolAlt = kd::SymbolKlammer();
        const std::vector<std::string> formeln = {
            "y=SUMME(k=1;n;1/(1+1/(1+1/k)))",
            "y=SIN(x|1)",
            "y=SUMME(k=1;n;a|k)",
            "y=(a|1+b)*c",
            "s=INTEGRAL(t=0;T;(v|0+a*t)*dt)",
            "I=INTEGRAL(t=0;x;e^(-t^2)*dt)",
            "a=WURZEL3(V)",
            "y=WURZEL4(x)+WURZEL3(a/b)",
            "U|e|f|f=U|s/WURZEL(2)",
            "T=2*~p*WURZEL(l/g|n)",
            "y=SUMME(k=1;Anzahlwert;a/b/c)",
            "W=PRODUKT(k=1;nmaximum;(1+x/k))",
            "y=GAMMA(GAMMA(GAMMA(x)))",
            "y=GAMMA(x|1)",
            "y=a^(n+m)",
            "N=N|0*e^(-t/~t)",
            "y=-INTEGRAL(x=0;1;x)",
            "y=-PRODUKT(k=1;n;k)",
            "y=a-(-b)*c",
            "y=ABS(x|1)+FAKULT\xC4T(n+1)",
            "y=e^(SUMME(k=1;n;k))+2^(WURZEL3(x|1))",
        };
        for (const bool symbol : {true, false}) {
            kd::SymbolKlammer() = symbol;
            for (const std::string& formel : formeln) {
                kd::QtDevice mass;
                auto stile = std::make_shared<kd::TFormStyles>();
                auto satz = kd::Formelsatz(mass, stile).Setzen(formel);
                QVERIFY2(satz.Baum, formel.c_str());
                kd::TDLine& baum = *satz.Baum;
                const Tintenblatt blatt(baum.Rect);
                const QString wo = QString::fromLatin1(formel.c_str()) +
                                   (symbol ? " (Symbol)" : " (polygons)");

                // All ink inside the box (a unit of antialiasing allowed).
                const std::vector<int> ganz = blatt.Tinte([&](kd::Device& dc) { baum.Draw(dc); });
                QVERIFY2(ganz.size() > 50, qPrintable(wo));
                for (const int i : ganz) {
                    const kd::TPoint p = blatt.Einheit(i);
                    QVERIFY2(p.x >= baum.Rect.Left - 1 && p.x <= baum.Rect.Right + 1 &&
                                 p.y >= baum.Rect.Bottom - 1 && p.y <= baum.Rect.Top + 1,
                             qPrintable(wo + QString(": ink at %1,%2 outside %3,%4,%5,%6")
                                                 .arg(p.x).arg(p.y)
                                                 .arg(baum.Rect.Left).arg(baum.Rect.Top)
                                                 .arg(baum.Rect.Right).arg(baum.Rect.Bottom)));
                }

                // No pixel dark in two parts.
                std::vector<Teil> teile;
                Teile(&baum, teile);
                QVERIFY2(teile.size() >= 3, qPrintable(wo));
                std::vector<int> besitzer(std::size_t(blatt.breite) * std::size_t(blatt.hoehe), -1);
                for (int t = 0; t < int(teile.size()); ++t) {
                    std::map<int, int> ueber;  // part -> pixels shared
                    for (const int i : blatt.Tinte(teile[std::size_t(t)].zeichnen)) {
                        int& b = besitzer[std::size_t(i)];
                        if (b >= 0 && b != t) ++ueber[b];
                        b = t;
                    }
                    for (const auto& [andere, n] : ueber)
                        QVERIFY2(n <= 2, qPrintable(wo + QString(": %1 over %2 (%3 pixels)")
                                                              .arg(teile[std::size_t(t)].name)
                                                              .arg(teile[std::size_t(andere)].name)
                                                              .arg(n)));
                }
            }
        }
        kd::SymbolKlammer() = symbolAlt;
    }

    // Brackets and integral signs from Symbol characters keep off what they enclose:
    // a left bracket's ink ends at its box's right edge, a right bracket's begins at its
    // left edge, both span the box's height; the integral character stays within a few
    // units of its polygon, clear of the body's bracket 10 units on.
    void SymbolSignsStayOffTheirContent() {
        const bool symbolAlt = kd::SymbolKlammer();
        kd::SymbolKlammer() = true;
        const std::vector<std::string> texte = {
            "y=(a+b)*c+SIN(x)+COS(x^2/2)+((a+b)*c)^2",
            "y=(a/(b+c))*(1/(1+1/(1+1/x)))",
            "A=INTEGRAL(x=0;~p;SIN(x)*dx)+SUMME(k=1;n;(k+1)*k)",
            "A=INTEGRAL(t=0;x;(t+1)^2/(t^2+1)*dt)",
        };
        kd::TFormelseite seite;
        kd::QtDevice mass;
        Seite(mass);
        seite.Zeichnen(mass, texte, std::make_shared<kd::TFormStyles>());
        int klammern = 0, integrale = 0;
        for (int i = 0; i < seite.ElementListe.Count(); ++i) {
            std::vector<const kd::TnEck*> zeichen;
            Zeichen(seite.ElementListe[i], zeichen);
            for (const kd::TnEck* c : zeichen) {
                auto* z = const_cast<kd::TnEck*>(c);
                const kd::TRect box = z->Rect;
                const QString wo = QString("formula %1, %2 at %3..%4")
                                       .arg(i)
                                       .arg(QString::fromLatin1(z->ClassName().data()))
                                       .arg(box.Left)
                                       .arg(box.Right);
                if (auto* k = dynamic_cast<kd::TKlammer*>(z);
                    k && typeid(*k) == typeid(kd::TKlammer)) {
                    const kd::TRect ink = TinteAllein(*k);
                    QVERIFY2(ink.Left <= ink.Right, qPrintable(wo));
                    if (k->IstLinks()) {
                        QVERIFY2(ink.Right <= box.Right + 1, qPrintable(wo + QString(" ink %1..%2").arg(ink.Left).arg(ink.Right)));
                    } else {
                        QVERIFY2(ink.Left >= box.Left - 1, qPrintable(wo));
                    }
                    QVERIFY2(ink.Right - ink.Left <= 2 * (box.Right - box.Left) + 4,
                             qPrintable(wo));
                    QVERIFY2(ink.Top <= box.Top + 3 && ink.Top >= box.Top - (box.Top - box.Bottom) / 4,
                             qPrintable(wo));
                    QVERIFY2(ink.Bottom >= box.Bottom - 3, qPrintable(wo));
                    ++klammern;
                } else if (auto* in = dynamic_cast<kd::TIntegral*>(z)) {
                    in->Oben.clear();  // the character alone
                    in->Unten.clear();
                    std::int32_t links = INT32_MAX, rechts = INT32_MIN;
                    for (const kd::TPoint& p : in->Points) {
                        links = std::min(links, p.x);
                        rechts = std::max(rechts, p.x);
                    }
                    const kd::TRect ink = TinteAllein(*in);
                    QVERIFY2(ink.Left <= ink.Right, qPrintable(wo));
                    QVERIFY2(ink.Left >= links - 4 && ink.Right <= rechts + 4, qPrintable(wo));
                    ++integrale;
                }
            }
        }
        QVERIFY(klammern >= 20);
        QCOMPARE(integrale, 2);
        kd::SymbolKlammer() = symbolAlt;
    }

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
