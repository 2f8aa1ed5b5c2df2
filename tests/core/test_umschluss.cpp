// Every element's box holds what it draws: for each formula of the table, on the fixed
// metrics, every child's rectangle lies inside its node's, every drawn point and text
// lies inside the formula's rectangle, and every bracket spans the full height of what
// it encloses (an index below the base line too).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/page/FixedMetricsDevice.h"
#include "core/typeset/Formelsatz.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/Stile.h"
#include "zeichnen_testhilfe.h"

using namespace kd;
using namespace kd::testhilfe;
using Kind = FixedMetricsDevice::Kind;

namespace {

// Polygon brackets: on the fixed metrics a text parenthesis is as wide as any
// character, so only the polygons say where the brackets' ink lies.
class Polygonklammern {
public:
    Polygonklammern() : alt_(SymbolKlammer()) { SymbolKlammer() = false; }
    ~Polygonklammern() { SymbolKlammer() = alt_; }

private:
    bool alt_;
};

bool Innen(const TRect& innen, const TRect& aussen) {
    return innen.Left >= aussen.Left && innen.Right <= aussen.Right &&
           innen.Bottom >= aussen.Bottom && innen.Top <= aussen.Top;
}

std::string Text(const TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
           std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

// The box of a text output on the fixed metrics, by its alignment (y up).
TRect Textbox(const FixedMetricsDevice::Call& c) {
    const TSize s = FixedMetricsDevice::Measure(c.font, c.text);
    const TPoint p = c.points.at(0);
    std::int32_t l = p.x;
    if ((c.align & TA_CENTER) == TA_CENTER) l = p.x - s.cx / 2;
    else if (c.align & TA_RIGHT) l = p.x - s.cx;
    std::int32_t b = p.y;
    if ((c.align & TA_BASELINE) == TA_BASELINE) b = p.y - s.cy / 5;
    else if (!(c.align & TA_BOTTOM)) b = p.y - s.cy;  // top aligned
    return {l, b + s.cy, l + s.cx, b};
}

// Walks the tree: children inside their node, brackets over their content.
void Pruefen(const TDLine& e, const std::string& formel) {
    const auto* k = dynamic_cast<const TFormElem*>(&e);
    if (!k) return;
    const TDLine* kinder[] = {k->Erstes.get(), k->Zweites.get(),
                              k->HatKlammern ? k->KlammerLinks.get() : nullptr,
                              k->HatKlammern ? k->KlammerRechts.get() : nullptr,
                              k->HatSymbolKlammern ? k->SymbolKlammerLinks.get() : nullptr,
                              k->HatSymbolKlammern ? k->SymbolKlammerRechts.get() : nullptr};
    for (const TDLine* c : kinder) {
        if (!c) continue;
        EXPECT_TRUE(Innen(c->Rect, k->Rect))
            << formel << ": " << c->ClassName() << " " << Text(c->Rect) << " outside node Art "
            << k->Art << " " << Text(k->Rect);
    }
    // The brackets of a function, sum, product or integral enclose the body; brackets
    // put round a whole node enclose everything inside.
    auto spannt = [&](const TKlammer* kl, const TRect& inhalt, const char* was) {
        if (!kl) return;
        EXPECT_LE(kl->Rect.Bottom, inhalt.Bottom) << formel << ": " << was << " bracket bottom";
        EXPECT_GE(kl->Rect.Top, inhalt.Top) << formel << ": " << was << " bracket top";
    };
    if (k->HatKlammern && k->Zweites) {
        const bool eigenePaar = !k->HatSymbolKlammern &&
                                (k->Art == ArtSumme || k->Art == ArtProdukt ||
                                 k->Art == ArtIntegral || (k->Art >= 7 && k->Art <= 20));
        TRect inhalt = k->Zweites->Rect;
        if (!eigenePaar && k->Erstes) {
            const TRect& a = k->Erstes->Rect;
            inhalt = {std::min(a.Left, inhalt.Left), std::max(a.Top, inhalt.Top),
                      std::max(a.Right, inhalt.Right), std::min(a.Bottom, inhalt.Bottom)};
        }
        spannt(k->KlammerLinks.get(), inhalt, "left");
        spannt(k->KlammerRechts.get(), inhalt, "right");
    }
    if (k->HatSymbolKlammern && k->Zweites) {
        spannt(k->SymbolKlammerLinks.get(), k->Zweites->Rect, "inner left");
        spannt(k->SymbolKlammerRechts.get(), k->Zweites->Rect, "inner right");
    }
    for (const TDLine* c : {k->Erstes.get(), k->Zweites.get()})
        if (c) Pruefen(*c, formel);
}

} // namespace

TEST(Umschluss, EveryBoxHoldsWhatItDraws) {
    Polygonklammern polygone;
    const char* const formeln[] = {
        "y=SUMME(k=1;n;1/(1+1/(1+1/k)))",  // body taller than the sign
        "y=SIN(x|1)",                      // an index inside brackets
        "y=SUMME(k=1;n;a|k)",
        "y=(a|1+b)*c",                     // only the left operand descends
        "s=INTEGRAL(t=0;T;(v|0+a*t)*dt)",
        "I=INTEGRAL(t=0;x;e^(-t^2)*dt)",
        "a=WURZEL3(V)",                    // degree over a one-line radicand
        "U|e|f|f=U|s/WURZEL(2)",
        "T=2*~p*WURZEL(l/g|n)",
        "y=WURZEL4(a|1/b)",
        "y=SUMME(k=1;Anzahlwert;a/b/c)",   // limits wider than the sign
        "W=PRODUKT(k=1;nmaximum;a/b)",
        "y=INTEGRAL(x=Anfangswert;Endwert;x*dx)",
        "y=GAMMA(GAMMA(GAMMA(x)))",
        "y=GAMMA(x|1)",
        "y=a^(n+m)",
        "y=e^(-t/~t)",
        "y=(a+b)^2",
        "y=-INTEGRAL(x=0;1;x)",
        "y=-PRODUKT(k=1;n;k)",
        "y=a-(-b)",
        "y=FAKULT\xC4T(n+1)",
        "y=ABS(x|1)",
        "y=x;z=SUMME(k=1;n;k)",
        "y=x|1:z=2",
        "y=x \"Kommentar\"",
        "y=(SUMME(k=1;n;k))*2",
        "y=e^(SUMME(k=1;n;k))",            // signs and functions in an exponent
        "y=2^(WURZEL3(x|1))",
        "y=x^(ABS(a)+SIN(b|1))",
        "y=x^(GAMMA(a)/2)",
    };
    for (const char* formel : formeln) {
        FixedMetricsDevice dc;
        dc.RecordMeasurements = false;
        auto stile = std::make_shared<TFormStyles>();
        Formelsatz::Ergebnis satz = Formelsatz(dc, stile).Setzen(formel);
        ASSERT_EQ(satz.Code, 0) << formel;
        ASSERT_TRUE(satz.Baum) << formel;
        const TDLine& baum = *satz.Baum;
        EXPECT_EQ(baum.Rect.Bottom, 0) << formel;
        EXPECT_EQ(baum.Rect.Left, 0) << formel;
        Pruefen(baum, formel);

        dc.ClearCalls();
        const_cast<TDLine&>(baum).Draw(dc);
        int gezeichnet = 0;
        for (const auto& c : dc.Calls()) {
            std::vector<TRect> tinte;
            if (c.kind == Kind::TextOut) {
                tinte.push_back(Textbox(c));
            } else if (c.kind == Kind::Polygon || c.kind == Kind::Polyline ||
                       c.kind == Kind::LineTo) {
                for (const TPoint& p : c.points) tinte.push_back({p.x, p.y, p.x, p.y});
            } else {
                continue;
            }
            ++gezeichnet;
            for (const TRect& r : tinte) {
                EXPECT_TRUE(Innen(r, baum.Rect))
                    << formel << ": ink " << Text(r) << " of '" << c.text << "' outside "
                    << Text(baum.Rect);
            }
        }
        EXPECT_GT(gezeichnet, 2) << formel;
    }
}

// The sign of a sum stands on the body's axis, the body reaching above and below it.
TEST(Umschluss, TallBodyIsCentredOnTheSignsMiddle) {
    Polygonklammern polygone;
    FixedMetricsDevice dc;
    auto stile = std::make_shared<TFormStyles>();
    auto satz = Formelsatz(dc, stile).Setzen("y=SUMME(k=1;n;1/(1+1/(1+1/k)))");
    ASSERT_TRUE(satz.Baum);
    const auto& summe = dynamic_cast<const TFormElem&>(*dynamic_cast<TFormElem&>(*satz.Baum).Zweites);
    const auto& zeichen = dynamic_cast<const TSigma&>(*summe.Erstes);
    std::int32_t lo = zeichen.Points.at(0).y, hi = lo;
    for (const TPoint& p : zeichen.Points) {
        lo = std::min(lo, p.y);
        hi = std::max(hi, p.y);
    }
    // The body's axis is its top fraction bar.
    const auto& bruch = dynamic_cast<const TFormElem&>(*summe.Zweites);
    EXPECT_EQ(bruch.Art, ArtGeteilt);
    EXPECT_EQ(bruch.OpY, (lo + hi) / 2);
    EXPECT_EQ(summe.Achse, bruch.OpY);
    EXPECT_GT(bruch.Rect.Top, hi);
    EXPECT_LT(bruch.Rect.Bottom, lo);
}

// A root without a degree is as tall as its radicand needs; with a degree, the digit
// keeps left of the stroke and over the hook.
TEST(Umschluss, RootHeightAndDegree) {
    FixedMetricsDevice dc;
    auto stile = std::make_shared<TFormStyles>();
    auto zwei = Formelsatz(dc, stile).Setzen("y=WURZEL(V)");
    auto drei = Formelsatz(dc, stile).Setzen("y=WURZEL3(V)");
    ASSERT_TRUE(zwei.Baum);
    ASSERT_TRUE(drei.Baum);
    const auto& w2 = dynamic_cast<const TFormElem&>(*dynamic_cast<TFormElem&>(*zwei.Baum).Zweites);
    const auto& w3 = dynamic_cast<const TFormElem&>(*dynamic_cast<TFormElem&>(*drei.Baum).Zweites);
    // No room over the sign's own top bar.
    const auto& z2 = dynamic_cast<const TWurzel&>(*w2.Erstes);
    EXPECT_EQ(w2.Rect.Top, z2.Points[3].y);
    EXPECT_GT(w2.Rect.Top, w2.Zweites->Rect.Top);
    const auto& z3 = dynamic_cast<const TWurzel&>(*w3.Erstes);
    dc.ClearCalls();
    const_cast<TWurzel&>(z3).Draw(dc);
    const auto t = Ausgaben(dc);
    ASSERT_EQ(t.size(), 1u);
    const TRect ziffer = Textbox(t[0]);
    EXPECT_LE(ziffer.Right, z3.Points[2].x);  // left of where the stroke rises
    EXPECT_GT(ziffer.Bottom, z3.Points[1].y);  // over the hook
    EXPECT_TRUE(Innen(ziffer, w3.Rect));
}

// A leading minus stands tight before its operand and every minus is the Symbol font's
// minus sign; the gap around an operator grows with the operands' height only up to
// one and a half times the one-line gap (8 → at most 12).
TEST(Umschluss, MinusSignAndOperatorGaps) {
    const struct {
        const char* formel;
        std::int32_t luecke;  // gap between "=" and each operand
    } faelle[] = {
        {"y=x", 8},
        {"y=a/b", 12},
        {"y=1/(1+1/(1+1/x))", 12},
        {"y=SUMME(k=1;n;1/(1+1/(1+1/k)))", 12},
    };
    for (const auto& f : faelle) {
        FixedMetricsDevice dc;
        auto satz = Formelsatz(dc, std::make_shared<TFormStyles>()).Setzen(f.formel);
        ASSERT_TRUE(satz.Baum) << f.formel;
        const auto& g = dynamic_cast<const TFormElem&>(*satz.Baum);
        EXPECT_EQ(g.OpX - g.Erstes->Rect.Right, f.luecke) << f.formel;
        EXPECT_EQ(g.Zweites->Rect.Left - (g.OpX + 20), f.luecke) << f.formel;
    }
    FixedMetricsDevice dc;
    auto satz = Formelsatz(dc, std::make_shared<TFormStyles>()).Setzen("y=a-(-b)");
    ASSERT_TRUE(satz.Baum);
    const auto& minus = dynamic_cast<const TFormElem&>(
        *dynamic_cast<const TFormElem&>(*satz.Baum).Zweites);
    ASSERT_EQ(minus.Art, ArtMinus);
    const auto* vorzeichen = dynamic_cast<const TFormElem*>(minus.Zweites.get());
    ASSERT_TRUE(vorzeichen);
    EXPECT_EQ(vorzeichen->Art, ArtMinus);
    EXPECT_FALSE(vorzeichen->Erstes);
    // "-" 20 wide, then SpacingB / 4.
    EXPECT_EQ(vorzeichen->Zweites->Rect.Left - vorzeichen->OpX, 22);
    dc.ClearCalls();
    const_cast<TDLine&>(*satz.Baum).Draw(dc);
    int minuszeichen = 0;
    for (const auto& c : Ausgaben(dc))
        if (c.text == "-") {
            EXPECT_EQ(c.font.Face(), "Symbol");
            ++minuszeichen;
        }
    EXPECT_EQ(minuszeichen, 2);
}
