// The layout of formula element trees (TFormElem, FormelAufbau) on the
// fixed-metrics device with the default styles: main font 40, index font 34, a
// character h/2 wide; a formula text leaf "x" is 21 wide (20 + 5 %) and 40 high.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/device/FixedMetricsDevice.h"
#include "core/device/Rounding.h"
#include "core/device/TextSys.h"
#include "core/notation/Gleichung.h"
#include "core/Stream.h"
#include "core/typeset/Elementfabrik.h"
#include "core/typeset/FormelAufbau.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/TextObjekte.h"
#include "zeichnen_testhilfe.h"

using namespace kd;
using namespace kd::testhilfe;
using Kind = FixedMetricsDevice::Kind;

namespace {

std::shared_ptr<TStyleHandle> Schwarz() {
    return std::make_shared<TPenBrushTyp>(PS_SOLID, 0, 0, BS_SOLID, 0, 0);
}

// A formula set as the page sets it (collect mode, elements, default styles).
struct Satz {
    FixedMetricsDevice dc;
    std::shared_ptr<TFormStyles> stile = std::make_shared<TFormStyles>();
    std::unique_ptr<TDLine> baum;
    int code = 0;

    explicit Satz(const std::string& text, bool bedingung = false) {
        Elementfabrik fabrik(dc, stile);
        TGleichung::Optionen o;
        o.Sammelmodus = true;
        o.Bedingungsmodus = bedingung;
        o.ElementeErzeugen = true;
        o.Stile = stile.get();
        o.Fabrik = &fabrik;
        TGleichung g(o);
        int p = 0, e = 0;
        code = g.FormelLesen(text, "", "", 0, p, e);
        if (code == 0) baum = FormelAufbau(g, dc, stile, Schwarz(), true, TagFormElem);
    }
    TFormElem& Wurzel() const { return dynamic_cast<TFormElem&>(*baum); }
    // The right side of "name = ...".
    TFormElem& Rechts() const { return dynamic_cast<TFormElem&>(*Wurzel().Zweites); }
};

TFormElem& K(const std::unique_ptr<TDLine>& e) { return dynamic_cast<TFormElem&>(*e); }
TFormElem* KP(const std::unique_ptr<TDLine>& e) { return dynamic_cast<TFormElem*>(e.get()); }

// The leaf of an identifier load, or the element itself.
const TDLine& Blatt(const std::unique_ptr<TDLine>& e) {
    if (auto* k = KP(e); k && k->Art >= ArtBezeichner) return *k->Erstes;
    return *e;
}

std::int32_t Breite(const TDLine& e) { return e.Rect.Right - e.Rect.Left; }
std::int32_t Hoehe(const TDLine& e) { return e.Rect.Top - e.Rect.Bottom; }

// Everything drawn and placed in a tree, kinds of nodes left out.
void Beschreiben(const TDLine* e, std::ostream& os) {
    if (!e) return;
    os << e->ClassName() << " " << e->Tag << " " << e->Rect.Left << "," << e->Rect.Top << ","
       << e->Rect.Right << "," << e->Rect.Bottom;
    if (auto* t = dynamic_cast<const TDText*>(e))
        os << " '" << t->Text << "' " << (t->Font ? t->Font->Height() : 0);
    os << "\n";
    if (auto* k = dynamic_cast<const TFormElem*>(e)) {
        os << " achse " << k->Achse << " op " << k->OpX << "," << k->OpY << " '" << k->OpText
           << "'\n";
        Beschreiben(k->Erstes.get(), os);
        Beschreiben(k->Zweites.get(), os);
        if (k->HatKlammern) {
            Beschreiben(k->KlammerLinks.get(), os);
            Beschreiben(k->KlammerRechts.get(), os);
        }
    }
}
std::string Beschreibung(const TDLine& e) {
    std::ostringstream os;
    Beschreiben(&e, os);
    return os.str();
}

std::vector<std::uint8_t> Datensatz(const TDLine& e) {
    MemorySink sink;
    {
        BufferedWriter w(sink);
        e.Store(w);
    }
    return sink.Bytes();
}

// Draw calls as text: kind, points, text, font height, colour.
std::string Zeichnung(const TDLine& e) {
    FixedMetricsDevice d;
    d.RecordMeasurements = false;
    const_cast<TDLine&>(e).Draw(d);
    std::ostringstream os;
    for (const auto& c : d.Calls()) {
        if (c.kind != Kind::TextOut && c.kind != Kind::Polygon && c.kind != Kind::LineTo) continue;
        os << int(c.kind);
        for (const TPoint& p : c.points) os << " " << p.x << "," << p.y;
        os << " '" << c.text << "' " << c.font.Height << " " << c.color << "\n";
    }
    return os.str();
}

} // namespace

TEST(FormElem, PowerPutsTheExponentInTheIndexFont) {
    Satz s("y=x^2");
    ASSERT_EQ(s.code, 0);
    TFormElem& p = s.Rechts();
    EXPECT_EQ(p.Art, ArtHoch);
    const TDLine& basis = *p.Erstes;
    auto& hoch = dynamic_cast<TDText&>(*p.Zweites);
    EXPECT_EQ(hoch.Text, "2");
    EXPECT_EQ(hoch.Font->Height(), 34);  // IndexFont
    // Raised by round(40 x 0.5) - 2 = 18, shifted right by SpacingB div 4 = 2.
    EXPECT_EQ(hoch.Rect.Left - basis.Rect.Right, 2);
    EXPECT_EQ(hoch.Rect.Bottom - basis.Rect.Bottom, 18);
    // The node at the origin would be (0, 52, 40, 0) with the axis of x at 20.
    EXPECT_EQ(Breite(p), 40);
    EXPECT_EQ(p.Rect.Top - p.Rect.Bottom, 52);
    EXPECT_EQ(p.Achse - p.Rect.Bottom, 20);
    EXPECT_EQ(p.Rect.Bottom, 0);
    // "=": gap round((40 + 52) / 2 x 0.2) = 9 on both sides of the 20-wide "=".
    TFormElem& g = s.Wurzel();
    EXPECT_EQ(g.OpText, "=");
    EXPECT_EQ(g.OpX, 21 + 9);
    EXPECT_EQ(p.Rect.Left, 21 + 9 + 20 + 9);
    EXPECT_EQ(g.OpY, 0);  // axis 20 minus half the text height
    EXPECT_EQ(g.Rect, (TRect{0, 52, 99, 0}));
}

TEST(FormElem, QuadratLooksExactlyLikeThePower) {
    Satz a("y=x^2"), b("y=QUADRAT(x)");
    ASSERT_EQ(a.code, 0);
    ASSERT_EQ(b.code, 0);
    EXPECT_EQ(b.Rechts().Art, ArtQuadrat);
    EXPECT_EQ(Beschreibung(*a.baum), Beschreibung(*b.baum));
    EXPECT_EQ(Zeichnung(*a.baum), Zeichnung(*b.baum));
    EXPECT_FALSE(Zeichnung(*a.baum).empty());
}

TEST(FormElem, ExponentOfAnIndexedNameStandsOverTheIndex) {
    Satz s("y=x|1^2"), t("y=x1^2");
    ASSERT_EQ(s.code, 0);
    ASSERT_EQ(t.code, 0);
    const TFormElem& p = s.Rechts();
    // Moved left by a third of the base's font height (40 / 3).
    EXPECT_EQ(p.Zweites->Rect.Left - p.Erstes->Rect.Right, 2 - 13);
    const TFormElem& q = t.Rechts();
    EXPECT_EQ(q.Zweites->Rect.Left - q.Erstes->Rect.Right, 2);
}

TEST(FormElem, TextsWithIndicesKeepOneBaseLine) {
    // g|n is the constant g with index n: a text leaf of its own whose index reaches
    // below the base line; the whole formula sits on one base line.
    const char* texte[] = {"F|G=m*g|n", "E|pot=m*g|n*h", "x|1=a+b|2", "y=a|i*b"};
    for (const char* text : texte) {
        Satz s(text);
        ASSERT_EQ(s.code, 0) << text;
        std::vector<std::int32_t> linien;
        std::vector<const TDLine*> offen = {s.baum.get()};
        while (!offen.empty()) {
            const TDLine* e = offen.back();
            offen.pop_back();
            if (auto* t = dynamic_cast<const TFormelText*>(e)) linien.push_back(t->AnchorY);
            if (auto* k = dynamic_cast<const TFormElem*>(e)) {
                if (k->Erstes) offen.push_back(k->Erstes.get());
                if (k->Zweites) offen.push_back(k->Zweites.get());
            }
        }
        ASSERT_GE(linien.size(), 3u) << text;
        for (std::int32_t y : linien) EXPECT_EQ(y, linien.front()) << text;
        EXPECT_EQ(s.Wurzel().Achse, linien.front() + 20) << text;
    }
}

TEST(FormElem, ChainedFractionIsSetAsNumeratorOverAProduct) {
    Satz s("y=a/b/c");
    ASSERT_EQ(s.code, 0);
    TFormElem& f = s.Rechts();
    EXPECT_EQ(f.Art, ArtGeteilt);
    EXPECT_EQ(dynamic_cast<const TDText&>(Blatt(f.Erstes)).Text, "a");
    TFormElem& nenner = K(f.Zweites);
    EXPECT_EQ(nenner.Art, ArtMal);
    EXPECT_EQ(nenner.OpText, "\xB7");
    EXPECT_EQ(dynamic_cast<const TDText&>(Blatt(nenner.Erstes)).Text, "b");
    EXPECT_EQ(dynamic_cast<const TDText&>(Blatt(nenner.Zweites)).Text, "c");
    // b·c: gap round(40 x 0.2) div 5 = 1.
    EXPECT_EQ(nenner.OpX - nenner.Erstes->Rect.Right, 1);
    // The middle dot is drawn.
    EXPECT_NE(Zeichnung(*s.baum).find("'\xB7'"), std::string::npos);
    // The numerator a sits over the bar, centred on b·c (64 wide): (64 - 21) / 2.
    EXPECT_EQ(Breite(nenner), 64);
    EXPECT_EQ(f.Erstes->Rect.Left - nenner.Rect.Left, 21);
    EXPECT_EQ(f.Erstes->Rect.Bottom - nenner.Rect.Top, 20);  // 2 x SpacingA
}

TEST(FormElem, ParenthesesFromTheOperatorRules) {
    const struct {
        const char* text;
        bool erstes, zweites;  // parentheses on the right side's children
    } faelle[] = {
        {"y=(a+b)*c", true, false},
        {"y=c*(a-b)", false, true},
        {"y=a*(b*c)", false, false},
        {"y=a-(b+c)", false, true},
        {"y=a-(b-c)", false, true},
        {"y=a+(b-c)", false, false},
        {"y=(a-b)+c", false, false},
        {"y=a*(-b)", false, true},
    };
    for (const auto& f : faelle) {
        Satz s(f.text);
        ASSERT_EQ(s.code, 0) << f.text;
        const TFormElem& r = s.Rechts();
        const TFormElem* e = KP(r.Erstes);
        const TFormElem* z = KP(r.Zweites);
        EXPECT_EQ(e && e->HatKlammern, f.erstes) << f.text;
        EXPECT_EQ(z && z->HatKlammern, f.zweites) << f.text;
    }
}

TEST(FormElem, ParenthesesAreAsTallAsTheirContentAndShiftIt) {
    Satz s("y=(a+b)*c");
    ASSERT_EQ(s.code, 0);
    const TFormElem& summe = K(s.Rechts().Erstes);
    ASSERT_TRUE(summe.HatKlammern);
    const TKlammer& l = *summe.KlammerLinks;
    const TKlammer& r = *summe.KlammerRechts;
    EXPECT_EQ(l.Tag, TagKlammerLinks);
    EXPECT_EQ(r.Tag, TagKlammerRechts);
    EXPECT_EQ(Hoehe(l), 40);
    EXPECT_EQ(Hoehe(r), 40);
    EXPECT_EQ(Breite(l), 6);  // round(8 x 40 / 52)
    EXPECT_EQ(l.Style, summe.Style);  // shared with the node
    // The content moved right by the bracket's width; the node spans both brackets.
    EXPECT_EQ(summe.Erstes->Rect.Left, l.Rect.Right);
    EXPECT_EQ(r.Rect.Left, summe.Zweites->Rect.Right);
    EXPECT_EQ(summe.Rect.Left, l.Rect.Left);
    EXPECT_EQ(summe.Rect.Right, r.Rect.Right);
    EXPECT_EQ(summe.Rect.Top, l.Rect.Top);
}

TEST(FormElem, PowerWrapsItsBaseUnlessItIsAFunction) {
    Satz a("y=(a+b)^2"), b("y=SIN(x)^2"), c("y=VORZEICHEN(x)^2");
    ASSERT_EQ(a.code, 0);
    ASSERT_EQ(b.code, 0);
    ASSERT_EQ(c.code, 0);
    EXPECT_TRUE(K(a.Rechts().Erstes).HatKlammern);
    // sin(x) keeps only the parentheses of its argument.
    const TFormElem& sinus = K(b.Rechts().Erstes);
    EXPECT_EQ(sinus.OpText, "Sin");
    EXPECT_TRUE(sinus.HatKlammern);
    EXPECT_FALSE(sinus.HatSymbolKlammern);
    EXPECT_EQ(sinus.KlammerLinks->Rect.Left, 59 + RoundEven(60 * 11 / 10.0L) + 5);
    // A function outside 6..19 is wrapped and keeps its own pair inside.
    const TFormElem& vorz = K(c.Rechts().Erstes);
    EXPECT_TRUE(vorz.HatKlammern);
    EXPECT_TRUE(vorz.HatSymbolKlammern);
    EXPECT_LT(vorz.KlammerLinks->Rect.Right, vorz.OpX + 1);
    EXPECT_GT(vorz.SymbolKlammerLinks->Rect.Left, vorz.OpX);
}

TEST(FormElem, FractionCentresTheNarrowerPart) {
    {
        Satz s("y=a/(b+c)");  // the wider denominator
        ASSERT_EQ(s.code, 0);
        const TFormElem& f = s.Rechts();
        const TDLine& z = *f.Erstes;
        const TDLine& n = *f.Zweites;
        EXPECT_EQ(Breite(n), 78);
        EXPECT_EQ(z.Rect.Left - n.Rect.Left, (78 - 21) / 2);
        EXPECT_EQ(f.Rect.Left, n.Rect.Left);
        EXPECT_EQ(Breite(f), 78);
        EXPECT_EQ(f.OpY, n.Rect.Top + 10);
        EXPECT_EQ(f.Achse, f.OpY);
        EXPECT_EQ(z.Rect.Bottom, n.Rect.Top + 20);
        EXPECT_EQ(f.Rect.Top, z.Rect.Top);
        // The bar: three units high (the text's weight) on the axis over the wider part.
        FixedMetricsDevice d;
        const_cast<TFormElem&>(f).Draw(d);
        const auto balken = d.CallsOf(Kind::Polygon);
        ASSERT_EQ(balken.size(), 1u);
        EXPECT_EQ(balken[0].points,
                  (std::vector<TPoint>{{n.Rect.Left, f.OpY + 1}, {n.Rect.Right, f.OpY + 1},
                                       {n.Rect.Right, f.OpY - 2}, {n.Rect.Left, f.OpY - 2}}));
        EXPECT_EQ(balken[0].pen.Style, PS_NULL);
        EXPECT_EQ(balken[0].brush.Style, BS_SOLID);
        EXPECT_EQ(balken[0].brush.Color, 0u);
    }
    {
        Satz s("y=(a+b)/c");  // the wider numerator
        ASSERT_EQ(s.code, 0);
        const TFormElem& f = s.Rechts();
        EXPECT_EQ(f.Zweites->Rect.Left - f.Erstes->Rect.Left, (78 - 21) / 2);
        EXPECT_EQ(Breite(f), 78);
        EXPECT_FALSE(K(f.Erstes).HatKlammern);  // the bar groups
    }
}

TEST(FormElem, SubFormulasStackedAndSideBySide) {
    Satz a("y=x;z=2");
    ASSERT_EQ(a.code, 0);
    const TFormElem& u = a.Wurzel();
    EXPECT_EQ(u.Art, ArtUntereinander);
    EXPECT_EQ(u.Erstes->Rect.Bottom - u.Zweites->Rect.Top, 15);
    EXPECT_EQ(u.Erstes->Rect.Left, 0);
    EXPECT_EQ(u.Zweites->Rect.Left, 0);  // left-aligned outside condition mode
    EXPECT_EQ(u.Achse, K(u.Zweites).Achse);
    EXPECT_EQ(u.Rect.Top, u.Erstes->Rect.Top);
    EXPECT_EQ(u.Rect.Right, std::max(Breite(*u.Erstes), Breite(*u.Zweites)));

    Satz b("y=x:z=2");
    ASSERT_EQ(b.code, 0);
    const TFormElem& n = b.Wurzel();
    EXPECT_EQ(n.Art, ArtNebeneinander);
    EXPECT_EQ(n.Zweites->Rect.Left - n.Erstes->Rect.Right, 50);
    EXPECT_EQ(K(n.Erstes).Achse, K(n.Zweites).Achse);
    EXPECT_EQ(n.Rect.Right, n.Zweites->Rect.Right);

    // Axes meet by raising the lower formula.
    Satz c("y=x:z=a/b");
    ASSERT_EQ(c.code, 0);
    const TFormElem& m = c.Wurzel();
    EXPECT_EQ(K(m.Erstes).Achse, K(m.Zweites).Achse);
    EXPECT_EQ(m.Zweites->Rect.Bottom, 0);
    EXPECT_EQ(m.Achse, 50);

    // A formula stacked over a row keeps its gap over the row's taller formula.
    Satz d("y=x;z=2:w=a/b");
    ASSERT_EQ(d.code, 0);
    const TFormElem& r = d.Wurzel();
    const TFormElem& stapel = K(r.Erstes);
    EXPECT_EQ(stapel.Art, ArtUntereinander);
    EXPECT_EQ(K(stapel.Zweites).Achse, K(r.Zweites).Achse);
    EXPECT_EQ(stapel.Erstes->Rect.Bottom - r.Zweites->Rect.Top, 15);
    EXPECT_EQ(stapel.Rect.Top, stapel.Erstes->Rect.Top);
}

TEST(FormElem, ConditionsAreCentredWithTheConnectiveBetween) {
    Satz s("a==b;und;c==dd", true);
    ASSERT_EQ(s.code, 0);
    const TFormElem& u = s.Wurzel();
    EXPECT_EQ(u.Art, ArtUnd);
    const TDLine& oben = *u.Erstes;
    const TDLine& unten = *u.Zweites;
    EXPECT_EQ(Breite(oben), 98);
    EXPECT_EQ(Breite(unten), 119);
    EXPECT_EQ(oben.Rect.Left, (119 - 98) / 2);
    EXPECT_EQ(oben.Rect.Bottom - unten.Rect.Top, 15);
    FixedMetricsDevice d;
    const_cast<TFormElem&>(u).Draw(d);
    bool gefunden = false;
    for (const auto& c : d.CallsOf(Kind::TextOut)) {
        if (c.text != "und") continue;
        gefunden = true;
        EXPECT_EQ(c.color, RGB(128, 128, 128));
        EXPECT_EQ(c.font.Height, 34);
        EXPECT_EQ(c.points.at(0), (TPoint{(oben.Rect.Left + oben.Rect.Right - 51) / 2,
                                          unten.Rect.Top - 8}));
    }
    EXPECT_TRUE(gefunden);
}

TEST(FormElem, LegendBelowAndCommentBeside) {
    Satz a("y=x{Legende}");
    ASSERT_EQ(a.code, 0);
    const TFormElem& l = a.Wurzel();
    EXPECT_EQ(l.Art, ArtLegende);
    const TDLine& formel = *l.Erstes;
    const TDLine& legende = *l.Zweites;
    EXPECT_EQ(formel.Rect.Bottom - legende.Rect.Top, 10);
    // Legende: 7 x 20 + 5 % = 147 wide; the formula (78) is centred on it.
    EXPECT_EQ(Breite(legende), 147);
    EXPECT_EQ(formel.Rect.Left, (147 - 78) / 2);
    EXPECT_EQ(legende.Rect.Left, 0);
    EXPECT_EQ(l.Rect.Right, 147);
    EXPECT_EQ(l.Achse, K(l.Erstes).Achse);

    // With several formulas the legend only goes below, left-aligned.
    Satz b("y=x;z=2{Legende}");
    ASSERT_EQ(b.code, 0);
    const TFormElem& m = b.Wurzel();
    EXPECT_EQ(m.Art, ArtLegende);
    EXPECT_EQ(m.Erstes->Rect.Left, 0);
    EXPECT_EQ(m.Erstes->Rect.Bottom - m.Zweites->Rect.Top, 10);

    Satz c("y=x \"Kommentar\"");
    ASSERT_EQ(c.code, 0);
    const TFormElem& k = c.Wurzel();
    EXPECT_EQ(k.Art, ArtKommentar);
    EXPECT_EQ(k.Zweites->Rect.Left - k.Erstes->Rect.Right, 25);  // SpacingC
    const std::int32_t achse = K(k.Erstes).Achse;
    EXPECT_EQ(k.Zweites->Rect.Bottom, achse - Hoehe(*k.Zweites) / 2);
    EXPECT_EQ(k.Rect.Right, k.Zweites->Rect.Right);
}

TEST(FormElem, SignSizes) {
    // The sum sign follows the body but never grows over twice the main height.
    Satz a("y=SUMME(k=1;n;k)"), b("y=SUMME(k=1;n;a/b/c/d)");
    ASSERT_EQ(a.code, 0);
    ASSERT_EQ(b.code, 0);
    const auto& s1 = dynamic_cast<const TSigma&>(*a.Rechts().Erstes);
    const auto& s2 = dynamic_cast<const TSigma&>(*b.Rechts().Erstes);
    EXPECT_EQ(s1.Zielhoehe, 40);
    EXPECT_EQ(s2.Zielhoehe, 80);
    // The body in parentheses, centred on the sign.
    const TFormElem& sum = a.Rechts();
    EXPECT_TRUE(sum.HatKlammern);
    EXPECT_EQ(sum.KlammerLinks->Rect.Left - s1.Rect.Right, 10);
    // The body right against both brackets.
    EXPECT_EQ(sum.Zweites->Rect.Left, sum.KlammerLinks->Rect.Right);
    EXPECT_EQ(sum.KlammerRechts->Rect.Left, sum.Zweites->Rect.Right);
    EXPECT_EQ(sum.Zweites->Rect.Bottom - sum.Rect.Bottom, (Hoehe(s1) - 40) / 2);
    EXPECT_EQ(Hoehe(sum), Hoehe(s1));
    EXPECT_EQ(sum.Rect.Right, sum.KlammerRechts->Rect.Right);

    // The integral sign is twice the body, also at most 80.
    Satz c("y=INTEGRAL(x=0;1;x)"), d("y=INTEGRAL(x=0;1;a/b)");
    ASSERT_EQ(c.code, 0);
    ASSERT_EQ(d.code, 0);
    EXPECT_EQ(dynamic_cast<const TIntegral&>(*c.Rechts().Erstes).Zielhoehe, 80);
    const TFormElem& i2 = d.Rechts();
    EXPECT_EQ(dynamic_cast<const TIntegral&>(*i2.Erstes).Zielhoehe, 80);

    // The gamma sign is a capital letter, 0.7 of the main height, centred on the
    // argument's axis and half a spacing before it; its argument always in parentheses.
    Satz e("y=GAMMA(x)"), f("y=GAMMA(a/b/c)"), g("y=GAMMA(5)");
    for (Satz* t : {&e, &f, &g}) {
        ASSERT_EQ(t->code, 0);
        const TFormElem& n = t->Rechts();
        const auto& gamma = dynamic_cast<const TGamma&>(*n.Erstes);
        EXPECT_EQ(Hoehe(gamma), 28);
        EXPECT_EQ((gamma.Rect.Top + gamma.Rect.Bottom) / 2, n.Achse);
        EXPECT_EQ(gamma.Tag, TagGamma);
        EXPECT_TRUE(K(n.Zweites).HatKlammern);
        EXPECT_EQ(n.Zweites->Rect.Left - gamma.Rect.Right, 5);
        EXPECT_EQ(n.Rect.Right, n.Zweites->Rect.Right);
    }

    // The root sign: 10 over the radicand, the bar 10 past it.
    Satz h("y=WURZEL(x)"), i("y=WURZEL4(a/b)");
    for (Satz* t : {&h, &i}) {
        ASSERT_EQ(t->code, 0);
        const TFormElem& n = t->Rechts();
        const auto& w = dynamic_cast<const TWurzel&>(*n.Erstes);
        const TDLine& r = *n.Zweites;
        EXPECT_EQ(w.Zielhoehe, 10 + Hoehe(r));
        EXPECT_EQ(r.Rect.Left - w.Rect.Left, w.RadikandX() + 10);
        EXPECT_EQ(w.Rect.Right - r.Rect.Right, 10);
        EXPECT_EQ(n.Rect, w.Rect);
        EXPECT_EQ(n.Achse, t == &h ? 20 : 50);
    }
    EXPECT_EQ(dynamic_cast<const TWurzel&>(*i.Rechts().Erstes).Grad, 4);
}

TEST(FormElem, IntegralWithLimitsAfterAnOperatorMovesLeft) {
    Satz s("y=INTEGRAL(x=0;1;x)");
    ASSERT_EQ(s.code, 0);
    const TFormElem& g = s.Wurzel();
    const std::int32_t gap = RoundEven(Extended(Hoehe(*g.Erstes) + Hoehe(*g.Zweites)) / 2 * 0.2L);
    // The integral tucks its lower limit under the "=", by at most 40 and no further
    // than its sign keeps clear of the "=".
    const auto& zeichen = *K(g.Zweites).Erstes;
    const auto& punkte = dynamic_cast<const TIntegral&>(zeichen).Points;
    std::int32_t tinte = punkte.at(0).x;
    for (const TPoint& p : punkte) tinte = std::min(tinte, p.x);
    const std::int32_t raum = tinte - zeichen.Rect.Left;
    ASSERT_GT(raum, 0);
    EXPECT_EQ(g.Zweites->Rect.Left, 20 + 21 + std::min(gap, 12) * 2 - std::min(40, raum));
    EXPECT_GT(tinte, g.OpX + 21);  // the sign's ink right of the "="
    // A leading minus: the same, the sign's ink after the minus.
    Satz t("y=-INTEGRAL(x=0;1;x)");
    ASSERT_EQ(t.code, 0);
    const TFormElem& m = t.Rechts();
    const auto& zm = dynamic_cast<const TIntegral&>(*K(m.Zweites).Erstes);
    std::int32_t tm = zm.Points.at(0).x;
    for (const TPoint& p : zm.Points) tm = std::min(tm, p.x);
    EXPECT_GE(tm, m.OpX + 20);
}

TEST(FormElem, FunctionsAbsAndFactorial) {
    Satz a("y=LN(x)");
    ASSERT_EQ(a.code, 0);
    const TFormElem& f = a.Rechts();
    EXPECT_EQ(f.OpText, "Ln");
    const std::int32_t w1 = RoundEven(40 * 11 / 10.0L);  // "Ln" 40 wide
    EXPECT_EQ(f.KlammerLinks->Rect.Left - f.Rect.Left, w1 + 5);
    EXPECT_EQ(f.Zweites->Rect.Left - f.Rect.Left, 10 + w1 + 6);
    // Both brackets 5 from the argument.
    EXPECT_EQ(f.Zweites->Rect.Left - f.KlammerLinks->Rect.Right, 5);
    EXPECT_EQ(f.KlammerRechts->Rect.Left - f.Zweites->Rect.Right, 5);
    EXPECT_EQ(f.OpX, f.Rect.Left);
    EXPECT_EQ(f.OpY, f.Achse - 20);

    Satz b("y=ABS(x)");
    ASSERT_EQ(b.code, 0);
    const TFormElem& betrag = b.Rechts();
    EXPECT_EQ(betrag.Zweites->Rect.Left - betrag.Rect.Left, 10);
    EXPECT_EQ(betrag.Rect.Right - betrag.Zweites->Rect.Right, 10);
    FixedMetricsDevice d;
    const_cast<TFormElem&>(betrag).Draw(d);
    // The bars: 3 units wide (the text's weight, 40 x 0.08) at the box's two sides,
    // from Top to Bottom, filled in the pen's colour; no hairlines.
    EXPECT_TRUE(d.CallsOf(Kind::LineTo).empty());
    const auto balken = d.CallsOf(Kind::Polygon);
    ASSERT_EQ(balken.size(), 2u);
    const TRect& r = betrag.Rect;
    EXPECT_EQ(balken[0].points, (std::vector<TPoint>{{r.Left, r.Top}, {r.Left + 3, r.Top},
                                                     {r.Left + 3, r.Bottom}, {r.Left, r.Bottom}}));
    EXPECT_EQ(balken[1].points, (std::vector<TPoint>{{r.Right - 3, r.Top}, {r.Right, r.Top},
                                                     {r.Right, r.Bottom}, {r.Right - 3, r.Bottom}}));
    EXPECT_EQ(balken[0].pen.Style, PS_NULL);

    Satz c("y=FAKULT\xC4T(n+1)"), e("y=FAKULT\xC4T(n)");
    ASSERT_EQ(c.code, 0);
    ASSERT_EQ(e.code, 0);
    const TFormElem& fak = c.Rechts();
    EXPECT_TRUE(K(fak.Zweites).HatKlammern);
    // The box holds the "!" drawn 5 after the operand (20 wide on the fixed metrics).
    EXPECT_EQ(fak.Rect.Right - fak.Rect.Left, Breite(*fak.Zweites) + 25);
    EXPECT_FALSE(K(e.Rechts().Zweites).HatKlammern);  // a name stays as it is
    FixedMetricsDevice d2;
    const_cast<TFormElem&>(fak).Draw(d2);
    const auto texte = d2.CallsOf(Kind::TextOut);
    ASSERT_FALSE(texte.empty());
    EXPECT_EQ(texte.back().text, "!");
    EXPECT_EQ(texte.back().points.at(0), (TPoint{fak.Zweites->Rect.Right + 5, fak.Achse - 20}));
}

TEST(FormElem, SumInParenthesesKeepsItsOwnPair) {
    Satz s("y=SUMME(k=1;n;k)^2");
    ASSERT_EQ(s.code, 0);
    const TFormElem& sum = K(s.Rechts().Erstes);
    EXPECT_EQ(sum.Art, ArtSumme);
    EXPECT_TRUE(sum.HatKlammern);
    EXPECT_TRUE(sum.HatSymbolKlammern);
    EXPECT_EQ(Hoehe(*sum.KlammerLinks), Hoehe(sum));
    EXPECT_EQ(sum.Erstes->Rect.Left, sum.KlammerLinks->Rect.Right);  // the sign moved right
    EXPECT_LT(sum.SymbolKlammerRechts->Rect.Right, sum.KlammerRechts->Rect.Left + 1);
    // Drawn: both pairs, each a round outline.
    FixedMetricsDevice d;
    const_cast<TFormElem&>(sum).Draw(d);
    int klammern = 0;
    for (const auto& c : d.CallsOf(Kind::Polygon))
        if (c.pen.Style == PS_NULL && c.points.size() >= 10u) ++klammern;
    EXPECT_EQ(klammern, 4);
}

TEST(FormElem, OperatorTextsAreDrawnCentredOnTheAxis) {
    Satz s("y=a+b>=c");
    ASSERT_EQ(s.code, 0);
    const std::string z = Zeichnung(*s.baum);
    EXPECT_NE(z.find("'+'"), std::string::npos);
    EXPECT_NE(z.find("'>='"), std::string::npos);
    FixedMetricsDevice d;
    s.baum->Draw(d);
    for (const auto& c : d.CallsOf(Kind::TextOut)) {
        if (c.text == "=") {
            EXPECT_EQ(c.points.at(0), (TPoint{s.Wurzel().OpX, s.Wurzel().OpY}));
        }
        EXPECT_EQ(c.align & TA_BOTTOM, TA_BOTTOM);
        EXPECT_EQ(c.bkMode, TRANSPARENT);
    }
}

TEST(FormElem, MovingMovesEverything) {
    Satz s("y=SIN(a/b)^2");
    ASSERT_EQ(s.code, 0);
    TFormElem& w = s.Wurzel();
    const std::string vorher = Beschreibung(w);
    const TRect r = w.Rect;
    w.MovePosRel(100, -50);
    EXPECT_NE(Beschreibung(w), vorher);
    EXPECT_EQ(w.Rect, (TRect{r.Left + 100, r.Top - 50, r.Right + 100, r.Bottom - 50}));
    w.MovePos(r.Left, r.Top);
    EXPECT_EQ(Beschreibung(w), vorher);
}

TEST(FormElem, FormelAufbauHandsOutTheRootWithItsTag) {
    FixedMetricsDevice dc;
    auto stile = std::make_shared<TFormStyles>();
    Elementfabrik fabrik(dc, stile);
    TGleichung::Optionen o;
    o.ElementeErzeugen = true;
    o.Stile = stile.get();
    o.Fabrik = &fabrik;
    TGleichung g(o);
    // A single number: no node; the leaf comes back with the tag, the style goes.
    ASSERT_EQ(g.FormelLesen("5"), 0);
    auto stil = Schwarz();
    std::weak_ptr<TStyleHandle> schwach = stil;
    auto blatt = FormelAufbau(g, std::move(stil), true, 77);
    ASSERT_NE(blatt, nullptr);
    EXPECT_EQ(blatt->ClassName(), "TDText");
    EXPECT_EQ(blatt->Tag, 77u);
    EXPECT_TRUE(schwach.expired());
    // A formula: the tree; the equation keeps no element.
    ASSERT_EQ(g.FormelLesen("2*3+4"), 0);
    auto baum = FormelAufbau(g, Schwarz(), true, 5);
    ASSERT_NE(baum, nullptr);
    EXPECT_EQ(baum->Tag, 5u);
    EXPECT_EQ(K(baum).Art, ArtPlus);
    EXPECT_EQ(K(baum).Erstes->Tag, TagFormElem);
    for (const Term& t : g.Terme) EXPECT_EQ(t.Element, nullptr);
    // Nodes share the styles and the style object.
    EXPECT_EQ(K(baum).Stile, stile);
    EXPECT_EQ(K(K(baum).Erstes).Style, K(baum).Style);
    EXPECT_EQ(K(baum).OwnsStyle, 1);
    EXPECT_EQ(K(baum).Farbe, 0u);
    // Without a parse nothing is built.
    TGleichung leer(o);
    EXPECT_EQ(FormelAufbau(leer, Schwarz(), true, 1), nullptr);
}

TEST(FormElem, RecordSizesAndRoundTrips) {
    Satz s("y=x");
    ASSERT_EQ(s.code, 0);
    // Each node: 16 + 4 + 1 + 28 (own style) + 1 + 1 + 1 + 4 + 4 + 4 + 32 = 96 bytes;
    // a formula text leaf "y": 41 + 2.
    EXPECT_EQ(Datensatz(s.Wurzel()).size(), 96u + 43u + 96u + 43u);
    Satz k("y=(a+b)*c");
    ASSERT_EQ(k.code, 0);
    const TFormElem& summe = K(k.Rechts().Erstes);
    const std::size_t klammer = Datensatz(*summe.KlammerLinks).size();
    EXPECT_EQ(klammer, 4u + 14 * 8 + 12 + 28 + 4 + 4 + 10 + 1);
    EXPECT_EQ(Datensatz(summe).size(),
              96u + 2 * klammer + Datensatz(*summe.Erstes).size() + Datensatz(*summe.Zweites).size());

    // Read into a tree of the same shape, every field comes back.
    const char* texte[][2] = {{"y=a/b/c", "z=u/v/w"},
                              {"y=(a+b)^2;z=SUMME(k=1;n;k)", "w=(c-d)^3;v=SUMME(j=2;m;j)"},
                              {"y=WURZEL3(x|1)+GAMMA(5)", "u=WURZEL3(t|2)+GAMMA(7)"}};
    for (auto& paar : texte) {
        Satz a(paar[0]), b(paar[1]);
        ASSERT_EQ(a.code, 0);
        ASSERT_EQ(b.code, 0);
        const auto bytes = Datensatz(*a.baum);
        MemorySource src(bytes.data(), bytes.size());
        BufferedReader r(src);
        ASSERT_TRUE(b.baum->Load(r)) << paar[0];
        EXPECT_EQ(r.Remaining(), 0u);
        EXPECT_EQ(Datensatz(*b.baum), bytes) << paar[0];
        // Signs are stored as their polygons: their boxes come back as the points' box
        // and their limit texts are not in the record; everything else is the same.
        if (&paar == &texte[0]) {
            EXPECT_EQ(Beschreibung(*b.baum), Beschreibung(*a.baum)) << paar[0];
            EXPECT_EQ(Zeichnung(*b.baum), Zeichnung(*a.baum)) << paar[0];
        }
        // A cut record fails cleanly.
        for (std::size_t n : {std::size_t(0), std::size_t(10), bytes.size() / 2, bytes.size() - 1}) {
            Satz c(paar[1]);
            MemorySource kurz(bytes.data(), n);
            BufferedReader rk(kurz);
            EXPECT_FALSE(c.baum->Load(rk)) << n;
        }
    }

    // With its own styles the node stores them (290 bytes more).
    Satz e("y=x");
    e.Wurzel().EigeneStile = 1;
    EXPECT_EQ(Datensatz(e.Wurzel()).size(), 96u + 290 + 43 + 96 + 43);
}

TEST(FormElem, ListsKnowTheNodeByName) {
    RegisterFormElemClasses();
    TCList<TDLine> liste;
    auto knoten = std::make_unique<TFormElem>();
    knoten->Art = ArtPlus;
    knoten->OpText = "+";
    knoten->OpX = 7;
    knoten->Rect = {1, 2, 3, 4};
    liste.Add(std::move(knoten));
    Satz s("y=x");
    liste.Add(std::move(s.Wurzel().Erstes));  // a leaf beside it
    MemorySink sink;
    {
        BufferedWriter w(sink);
        StoreList(w, liste);
    }
    MemorySource src(sink.Bytes().data(), sink.Bytes().size());
    BufferedReader r(src);
    TCList<TDLine> gelesen;
    ASSERT_TRUE(LoadList(r, gelesen));
    ASSERT_EQ(gelesen.Count(), 2);
    auto& k = dynamic_cast<TFormElem&>(*gelesen[0]);
    EXPECT_EQ(k.Art, ArtPlus);
    EXPECT_EQ(k.OpText, "+");
    EXPECT_EQ(k.OpX, 7);
    EXPECT_EQ(k.Rect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(gelesen[1]->ClassName(), "TFormelText");
}

TEST(FormElem, StretchRescalesOnlyTheFonts) {
    Satz s("y=x");
    ASSERT_EQ(s.code, 0);
    TFormElem& w = s.Wurzel();
    const TRect vorher = w.Rect;
    const std::int32_t b = Breite(w);  // 78
    w.Stretch(0, TRect{0, 0, 2 * b, -100});
    EXPECT_EQ(w.Rect, vorher);
    EXPECT_EQ(s.stile->MainFont.Height(), 80);
    EXPECT_EQ(s.stile->SymbolFont.Height(), 80);
    EXPECT_EQ(s.stile->IndexFont.Height(), 68);
    EXPECT_EQ(s.stile->SymbolIndexFont.Height(), 68);
    // A box of at most 100 takes 100 / old width.
    w.Stretch(0, TRect{0, 0, 50, 0});
    EXPECT_EQ(s.stile->MainFont.Height(), RoundEven(80 * (100.0L / b)));
}

TEST(FormElem, VerkleinernReducesOnceToIndexSize) {
    Satz s("y=a+SIN(x)");
    ASSERT_EQ(s.code, 0);
    TFormElem& w = s.Wurzel();
    const TRect vorher = w.Rect;
    w.Verkleinern();
    EXPECT_EQ(w.Verkleinert, 1);
    EXPECT_EQ(w.Rect.Left, vorher.Left);
    EXPECT_EQ(w.Rect.Bottom, vorher.Bottom);
    EXPECT_EQ(w.Rect.Right, RoundEven(vorher.Right * 0.85L));
    EXPECT_EQ(w.OpFont.Height(), 34);
    const auto& y = dynamic_cast<const TFormelText&>(*w.Erstes);
    EXPECT_EQ(y.Stile->MainFont.Height(), 34);
    EXPECT_EQ(s.stile->MainFont.Height(), 40);  // the shared styles stay
    EXPECT_EQ(K(w.Zweites).Verkleinert, 1);
    const TRect einmal = w.Rect;
    w.Verkleinern();
    EXPECT_EQ(w.Rect, einmal);
}

TEST(FormElem, AnyTextGivesATreeOrAnError) {
    // Every formula of the example libraries, and cut and mixed variants of them.
    std::vector<std::string> texte = {
        "y=x", "y=((((a))))", "y=a/b/c/d/e", "y=-(-(-x))", "y=x^y^z", "y=WURZEL(WURZEL(x))",
        "y=SUMME(i=1;n;SUMME(k=1;m;i*k))", "y=INTEGRAL(x=-~\xA5;~\xA5;e^(-x^2)*dx)",
        "y=GAMMA(GAMMA(x))", "y=FAKULT\xC4T(FAKULT\xC4T(n))", "y=ABS(ABS(x)-1)",
        "y=x \"a\" ", "y=x{}", "y=x;z=y:w=z;v=w", "y=x:z=y;w=z:v=w", "y=MAXZEILEN(T)",
        "y=PRODUKT(k=1;n;k)^2", "y=-PRODUKT(k=1;n;k)", "y=x|1|2^~a|b", "y=a[1]+b[i]",
        "y=LN(x)/LOG(x)*ZUFALL(1)", "y=x<>1", "y=", "=", "", "y=(", "y=x)", "y=x;",
    };
    std::vector<std::string> mehr;
    for (const std::string& t : texte)
        for (std::size_t n = 1; n < t.size(); n += 3) mehr.push_back(t.substr(0, n) + t.substr(n + 1));
    texte.insert(texte.end(), mehr.begin(), mehr.end());
    int baeume = 0;
    for (const std::string& t : texte) {
        for (bool bedingung : {false, true}) {
            Satz s(t, bedingung);
            if (s.code != 0) continue;
            ASSERT_NE(s.baum, nullptr) << t;
            ++baeume;
            s.baum->MovePos(100, 2000);
            FixedMetricsDevice d;
            s.baum->Draw(d);
            EXPECT_GE(Breite(*s.baum), 0) << t;
            EXPECT_FALSE(Datensatz(*s.baum).empty());
        }
    }
    EXPECT_GT(baeume, 20);
}
