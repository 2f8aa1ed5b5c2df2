// The formula signs on the fixed-metrics device with the default styles (main 40,
// index 34; a character is h/2 wide).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Stream.h"
#include "core/page/TextSys.h"
#include "core/typeset/Formelzeichen.h"
#include "zeichnen_testhilfe.h"

using namespace kd;
using namespace kd::testhilfe;
using Kind = FixedMetricsDevice::Kind;

namespace {

// Sets SymbolKlammer for one test and puts it back.
class SymbolStuecke {
public:
    explicit SymbolStuecke(bool an) : alt_(SymbolKlammer()) { SymbolKlammer() = an; }
    ~SymbolStuecke() { SymbolKlammer() = alt_; }

private:
    bool alt_;
};

std::shared_ptr<TStyleHandle> Stil() {
    return std::make_shared<TPenBrushTyp>(PS_SOLID, 0x0000FF, 0, BS_SOLID, 0x00FF00, 0);
}

std::vector<TPoint> Tabellenpunkte(const Zeichentabelle& t, std::int32_t dx = 0,
                                   std::int32_t dy = 0) {
    std::vector<TPoint> v;
    for (int i = 0; i < t.Anzahl; ++i) v.push_back({t.Punkte[i].x + dx, t.Punkte[i].y + dy});
    return v;
}

} // namespace

TEST(Formelzeichen, PointTables) {
    const struct {
        const Zeichentabelle* t;
        int anzahl;
        std::int32_t hoehe;
    } faelle[] = {
        {&LinkeKlammerTabelle, 14, 52}, {&RechteKlammerTabelle, 14, 52},
        {&WurzelTabelle, 10, 50},       {&GammaTabelle, 14, 120},
        {&SummenTabelle, 12, 40},       {&ProduktTabelle, 20, 120},
        {&IntegralTabelle, 46, 180},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(f.t->Anzahl, f.anzahl);
        EXPECT_EQ(f.t->Hoehe, f.hoehe);
    }
    // The root sign's height: the 7th point's y minus the 8th's, minus 1.
    EXPECT_EQ(WurzelTabelle.Punkte[6].y - WurzelTabelle.Punkte[7].y - 1, 50);
    EXPECT_EQ(IntegralTabelle.Punkte[44], (TPoint{10, 0}));
    EXPECT_EQ(IntegralTabelle.Punkte[21], (TPoint{90, 180}));
}

TEST(Formelzeichen, BracketsScaleFromTheirTables) {
    TKlammer l(100, TagKlammerLinks, false, Stil(), LinkeKlammerTabelle, 52, 10);
    EXPECT_EQ(l.Points, Tabellenpunkte(LinkeKlammerTabelle, 100, 10));
    EXPECT_EQ(l.Rect, (TRect{100, 62, 108, 10}));
    EXPECT_TRUE(l.IstLinks());
    EXPECT_EQ(l.Tag, 21u);
    TKlammer r(0, TagKlammerRechts, false, Stil(), RechteKlammerTabelle, 104, 0);
    EXPECT_FALSE(r.IstLinks());
    EXPECT_EQ(r.Rect, (TRect{0, 104, 16, 0}));
    EXPECT_EQ(r.Points[5], (TPoint{16, 68}));
    TKlammer halb(0, TagKlammerLinks, false, Stil(), LinkeKlammerTabelle, 26, 0);
    EXPECT_EQ(halb.Rect, (TRect{0, 26, 4, 0}));
    EXPECT_EQ(halb.Points[10], (TPoint{2, 24}));  // 2.5 and 24 rounded to even
    l.MovePosRel(5, 5);
    EXPECT_EQ(l.OriginX, 105);
    EXPECT_EQ(l.Points[0], (TPoint{113, 15}));
}

// A parenthesis is one filled outline in the pen's colour, whatever the Symbol font
// test found: inside its box, touching the outer side in the middle and the inner side
// at both ends, spanning the box's height.
TEST(Formelzeichen, RoundBracketsFillTheirBoxWithOneOutline) {
    for (const bool symbol : {true, false}) {
        SymbolStuecke schalter(symbol);
        for (const bool links : {true, false}) {
            for (std::int32_t h = 8; h <= 400; h += 7) {
                FixedMetricsDevice d;
                TKlammer k(300, links ? 21 : 22, false, Stil(),
                           links ? LinkeKlammerTabelle : RechteKlammerTabelle, h, 50);
                k.Draw(d);
                EXPECT_TRUE(Ausgaben(d).empty()) << h;
                const auto p = d.CallsOf(Kind::Polygon);
                ASSERT_EQ(p.size(), 1u) << h;
                EXPECT_EQ(p[0].brush.Color, 0x0000FFu);  // the pen's colour
                EXPECT_EQ(p[0].pen.Style, PS_NULL);
                std::int32_t l = INT32_MAX, r = INT32_MIN, u = INT32_MAX, o = INT32_MIN;
                for (const TPoint& q : p[0].points) {
                    l = std::min(l, q.x);
                    r = std::max(r, q.x);
                    u = std::min(u, q.y);
                    o = std::max(o, q.y);
                }
                EXPECT_EQ(u, k.Rect.Bottom) << h;
                EXPECT_EQ(o, k.Rect.Top) << h;
                EXPECT_EQ(l, k.Rect.Left) << h;
                EXPECT_EQ(r, k.Rect.Right) << h;
                // The ends lie at the inner side, the middle bulges outwards.
                const std::size_t n = p[0].points.size() / 2 - 1;  // segments per edge
                ASSERT_EQ(n % 2, 0u) << h;
                const TPoint ende = p[0].points.front(), mitte = p[0].points[n / 2];
                const std::int32_t innen = links ? k.Rect.Right : k.Rect.Left;
                const std::int32_t aussen = links ? k.Rect.Left : k.Rect.Right;
                EXPECT_LE(std::abs(ende.x - innen), 2) << h;
                EXPECT_EQ(mitte.x, aussen) << h;
            }
        }
    }
}

// The stroke is of one weight: from a bracket one line high to one ten lines high it
// stays between 1 and 4 units thick in the middle.
TEST(Formelzeichen, RoundBracketStrokeKeepsItsWeight) {
    for (const std::int32_t h : {40, 80, 200, 400}) {
        const std::vector<TPoint> u = Rundklammer({0, h, 8 * h / 52, 0}, true);
        ASSERT_EQ(u.size(), 34u);
        const std::int32_t dicke = u[8 + 17].x - u[8].x;  // inner minus outer at mid height
        EXPECT_GE(dicke, 3) << h;
        EXPECT_LE(dicke, 4) << h;
    }
}

TEST(Formelzeichen, RootSign) {
    FixedMetricsDevice d;
    auto index = std::make_shared<TCFont>("Arial", 34);
    const struct {
        std::int32_t grad, breite, hoehe, x0;
        std::int32_t radikand, balken;
        TRect rect;
    } faelle[] = {
        {2, 100, 50, 0, 26, 126, {0, 52, 126, 0}},      // no degree: no room for one
        // The digit (17 wide, 34 high) stands right-aligned on the stroke's foot (x 15)
        // and 2 over the hook (y 36); the hook is narrower than the digit, so the sign
        // moves 2 right and Top rises to 70.
        {3, 100, 50, 100, 28, 228, {100, 70, 228, 0}},
        {3, 60, 100, 0, 52, 112, {0, 104, 112, 0}},     // tall enough already
    };
    for (const auto& f : faelle) {
        TWurzel w(d, TagWurzel, false, index, false, Stil(), f.grad, f.breite, f.hoehe, 0, f.x0);
        EXPECT_EQ(w.RadikandX(), f.radikand);
        EXPECT_EQ(w.Points[4].x, f.balken);
        EXPECT_EQ(w.Points[5].x, f.balken);
        EXPECT_EQ(w.Rect, f.rect);
    }
    SymbolStuecke an(true);  // a root is always the polygon
    for (int grad : {2, 3, 4}) {
        FixedMetricsDevice g;
        TWurzel w(g, TagWurzel, false, index, false, Stil(), grad, 100, 50, 0, 0);
        g.ClearCalls();
        w.Draw(g);
        // Four strokes of one weight (3 units, the degree font's 34 x 0.09) inside the
        // sign's box, the same for a sign five times as tall.
        const auto striche = g.CallsOf(Kind::Polygon);
        EXPECT_EQ(striche.size(), 4u);
        for (const auto& c : striche)
            for (const TPoint& p : c.points) {
                EXPECT_GE(p.x, w.Rect.Left);
                EXPECT_LE(p.x, w.Rect.Right);
                EXPECT_GE(p.y, w.Rect.Bottom);
                EXPECT_LE(p.y, w.Rect.Top);
            }
        TWurzel hoch(g, TagWurzel, false, index, false, Stil(), grad, 100, 250, 0, 0);
        const auto s1 = w.Striche(), s5 = hoch.Striche();
        ASSERT_EQ(s1.size(), 4u);
        ASSERT_EQ(s5.size(), 4u);
        EXPECT_EQ(s1[2][1].x - s1[2][0].x, 3);  // the up stroke
        EXPECT_EQ(s5[2][1].x - s5[2][0].x, 3);
        EXPECT_EQ(s1[3][2].y - s1[3][0].y, 3);  // the bar
        EXPECT_EQ(s5[3][2].y - s5[3][0].y, 3);
        const auto t = Ausgaben(g);
        if (grad == 2) {
            EXPECT_TRUE(t.empty());
            continue;
        }
        ASSERT_EQ(t.size(), 1u);
        EXPECT_EQ(t[0].text, grad == 3 ? "3" : "4");
        EXPECT_EQ(t[0].points[0], (TPoint{17, 36}));
        EXPECT_EQ(t[0].align, TA_RIGHT | TA_BOTTOM);
        // The digit keeps left of the stroke that rises from the foot.
        EXPECT_LE(t[0].points[0].x, w.Points[2].x);
        EXPECT_GT(t[0].points[0].y, w.Points[1].y);
        EXPECT_EQ(t[0].font.Height, 34);
    }
}

TEST(Formelzeichen, GammaSignIsAtMost50High) {
    FixedMetricsDevice d;
    const struct {
        std::int32_t ziel;
        TRect rect;
    } faelle[] = {
        {30, {10, 30, 35, 0}},
        {50, {10, 50, 52, 0}},
        {500, {10, 275, 52, 225}},  // centred in the target height
        {51, {10, 50, 52, 0}},
    };
    SymbolStuecke an(true);
    for (const auto& f : faelle) {
        TGamma g(d, TagGamma, false, Stil(), f.ziel, 0, 10);
        EXPECT_EQ(g.Rect, f.rect) << f.ziel;
        EXPECT_LE(g.Rect.Top - g.Rect.Bottom, 50);
        EXPECT_EQ(g.Tag, 26u);
        d.ClearCalls();
        g.Draw(d);
        EXPECT_EQ(d.CallsOf(Kind::Polygon).size(), 1u);
        EXPECT_TRUE(Ausgaben(d).empty());
    }
}

TEST(Formelzeichen, SumSignIsNeverTallerThanTwiceTheMainHeight) {
    FixedMetricsDevice d;
    auto st = std::make_shared<TFormStyles>();
    auto gross = std::make_shared<TFormStyles>(0.2L, 0.5L, 0.85L, 10, 10, 25, 60);
    const struct {
        std::shared_ptr<TFormStyles> stile;
        std::int32_t h, ziel;
    } faelle[] = {
        {st, 20, 20}, {st, 40, 40}, {st, 80, 80}, {st, 81, 80}, {st, 5000, 80},
        {gross, 5000, 120},
    };
    for (const auto& f : faelle) {
        TSigma s(d, TagSumme, false, f.stile, false, Stil(), "", "", 40, 0, 0);
        s.HoeheSetzen(d, f.h);
        EXPECT_EQ(s.Zielhoehe, f.ziel) << f.h;
        EXPECT_EQ(s.Rect.Top - s.Rect.Bottom, f.ziel) << f.h;
        TProdukt p(d, TagProdukt, false, f.stile, false, Stil(), "", "", f.h, 0, 0);
        EXPECT_EQ(p.Rect.Top - p.Rect.Bottom, f.ziel) << f.h;
        TIntegral i(d, TagSumme, false, f.stile, false, Stil(), "", "", f.h, 0, 0);
        EXPECT_EQ(i.Rect.Top - i.Rect.Bottom, f.ziel) << f.h;
    }
    TSigma s(d, TagSumme, false, st, false, Stil(), "", "", 1000, 0, 0);
    EXPECT_EQ(s.Rect, (TRect{0, 80, 56, 0}));
    TProdukt p(d, TagProdukt, false, st, false, Stil(), "", "", 40, 0, 0);
    EXPECT_EQ(p.Rect, (TRect{0, 40, 33, 0}));
}

TEST(Formelzeichen, SumAndProductMakeRoomForTheirLimits) {
    FixedMetricsDevice d;
    auto st = std::make_shared<TFormStyles>();
    // lh = height of "0" in the index font + 5 = 39; the limits measured at 0.85:
    // "n" 18 wide, "i = 1" 89 wide, centred where they are drawn (3 right of the
    // sign's middle); the box reaches over the wider text on both sides.
    TSigma s(d, TagSumme, false, st, false, Stil(), "n", "i = 1", 1000, 0, 0);
    EXPECT_EQ(s.Oben, "n");
    EXPECT_EQ(s.Unten, "i = 1");
    EXPECT_EQ(s.ObenBreite, 18);
    EXPECT_EQ(s.UntenBreite, 89);
    EXPECT_EQ(s.Rect, (TRect{0, 158, 89, 0}));  // moved right so Left = 0
    EXPECT_EQ(s.Points[0], (TPoint{14, 39}));   // lifted over the lower limit
    s.HoeheSetzen(d, 1000);                     // sizing again gives the same sign
    EXPECT_EQ(s.Rect, (TRect{0, 158, 89, 0}));
    EXPECT_EQ(st->MainFont.Height(), 40);       // the styles are back
    EXPECT_EQ(st->IndexFont.Height(), 34);

    TSigma nurOben(d, TagSumme, false, st, false, Stil(), "n", "", 80, 0, 0);
    EXPECT_EQ(nurOben.Rect, (TRect{0, 119, 56, 0}));
    TSigma nurUnten(d, TagSumme, false, st, false, Stil(), "", "x", 80, 0, 0);
    EXPECT_EQ(nurUnten.Rect, (TRect{0, 119, 56, 0}));

    TProdukt p(d, TagProdukt, false, st, false, Stil(), "n", "k = 1", 40, 0, 0);
    EXPECT_EQ(p.Rect, (TRect{0, 118, 89, 0}));
    EXPECT_EQ(p.Tag, 25u);

    TSigma lang(d, TagSumme, false, st, false, Stil(), "1234567890123", "i = 1.2345678", 40, 0, 0);
    EXPECT_EQ(lang.Oben, "1234567890");  // limit texts keep 10 characters
    EXPECT_EQ(lang.Unten, "i = 1.2345");
}

TEST(Formelzeichen, SumAndProductDrawTheirLimits) {
    auto st = std::make_shared<TFormStyles>();
    const struct {
        bool produkt, drucken;
        std::vector<Ausgabe> erwartet;  // the first character of each limit text
    } faelle[] = {
        // "n" at 0.85 (34 high, 18 wide) centred on 44 at the 3rd point's y; "i = 1" at
        // 0.8 (32 high, 84 wide) below the first point by 32 + 2
        {false, false, {{"n", {35, 119}, "", 34}, {"i", {2, 5}, "", 32}}},
        {false, true, {{"n", {36, 119}, "", 32}, {"i", {2, 5}, "", 32}}},  // printed: all at 0.8
        {true, false, {{"n", {34, 79}, "", 34}, {"k", {1, 3}, "", 32}}},
    };
    for (const auto& f : faelle) {
        Zustandswache w;
        FixedMetricsDevice d;
        std::unique_ptr<TSigma> s;
        if (f.produkt)
            s = std::make_unique<TProdukt>(d, TagProdukt, false, st, false, Stil(), "n", "k = 1",
                                           40, 0, 0);
        else
            s = std::make_unique<TSigma>(d, TagSumme, false, st, false, Stil(), "n", "i = 1",
                                         1000, 0, 0);
        DrawingState().Printing = f.drucken;
        d.ClearCalls();
        s->Draw(d);
        const auto poly = d.CallsOf(Kind::Polygon);
        ASSERT_EQ(poly.size(), 1u);
        EXPECT_EQ(poly[0].points, s->Points);
        ErwarteTexte(d, f.erwartet, std::to_string(f.produkt) + std::to_string(f.drucken), false);
        for (const auto& c : Ausgaben(d)) EXPECT_EQ(c.color, 0x0000FFu);  // the pen's colour
        EXPECT_EQ(st->MainFont.Height(), 40);
    }
}

TEST(Formelzeichen, IntegralLimits) {
    FixedMetricsDevice d;
    auto st = std::make_shared<TFormStyles>();
    const struct {
        const char *oben, *unten;
        bool ohneGrenzen;
    } faelle[] = {
        {"~\xA5", "x = -~\xA5", true},  // from minus to plus infinity
        {"~\xA5", "-~\xA5", true},
        {"5", "x = -~\xA5", false},
        {"~\xA5", "x = 0", false},
        {"", "", true},
    };
    for (const auto& f : faelle) {
        TIntegral i(d, TagSumme, false, st, false, Stil(), f.oben, f.unten, 40, 0, 0);
        EXPECT_EQ(i.Oben.empty() && i.Unten.empty(), f.ohneGrenzen) << f.oben << " " << f.unten;
        if (f.ohneGrenzen) {
            EXPECT_EQ(i.Rect, (TRect{1, 40, 21, 0}));
        }
    }
    // lh = main height + 5 = 45; the lower text (89 wide at 0.85) centred 2 right of the
    // 45th point would start at -38, so the points move 40 right; Right reaches over
    // the text's right end (46 + 45).
    TIntegral i(d, TagSumme, false, st, false, Stil(), "b", "x = a", 400, 0, 0);
    EXPECT_EQ(i.Zielhoehe, 80);
    EXPECT_EQ(i.Rect, (TRect{2, 170, 91, 0}));
    EXPECT_EQ(i.Points[44], (TPoint{44, 45}));
    i.HoeheSetzen(d, 400);
    EXPECT_EQ(i.Rect, (TRect{2, 170, 91, 0}));
}

TEST(Formelzeichen, IntegralDrawing) {
    auto st = std::make_shared<TFormStyles>();
    {
        SymbolStuecke an(true);
        FixedMetricsDevice d;
        TIntegral i(d, TagSumme, false, st, false, Stil(), "~\xA5", "x = -~\xA5", 40, 0, 0);
        d.ClearCalls();
        i.Draw(d);
        const auto t = Ausgaben(d);
        ASSERT_EQ(t.size(), 1u);  // the sign alone, no limits
        EXPECT_EQ(t[0].text, "\xF2");
        // Advance 24 centred on the polygon's width (x 1..21), standing on its foot.
        EXPECT_EQ(t[0].points[0], (TPoint{-1, 0}));
        EXPECT_EQ(t[0].font.Face(), "Symbol");
        EXPECT_EQ(t[0].font.Height, 48);
        EXPECT_EQ(t[0].font.Weight, 700);
        EXPECT_EQ(t[0].color, 0x0000FFu);
        EXPECT_TRUE(d.CallsOf(Kind::Polygon).empty());
    }
    const struct {
        bool symbol;
        std::vector<Ausgabe> erwartet;
    } faelle[] = {
        {false, {{"b", {72, 127}, "", 32}, {"x", {4, 13}, "", 32}}},
        // The character where the polygon is (x 42..83, foot at 45): the limits as for
        // the polygon.
        {true, {{"\xF2", {38, 45}, "", 96}, {"b", {72, 127}, "", 32}, {"x", {4, 13}, "", 32}}},
    };
    for (const auto& f : faelle) {
        SymbolStuecke s(f.symbol);
        FixedMetricsDevice d;
        TIntegral i(d, TagSumme, false, st, false, Stil(), "b", "x = a", 400, 0, 0);
        d.ClearCalls();
        i.Draw(d);
        EXPECT_EQ(d.CallsOf(Kind::Polygon).size(), f.symbol ? 0u : 1u);
        ErwarteTexte(d, f.erwartet, f.symbol ? "Symbol" : "Polygon", false);
    }
}

TEST(Formelzeichen, SignsStoreAsTnEckAndAreKnownByName) {
    RegisterSignClasses();
    for (const char* name : {"TKlammer", "TWurzel", "TGamma", "TSigma", "TProdukt", "TIntegral"}) {
        auto o = CreateDrawingObject(name);
        ASSERT_NE(o, nullptr) << name;
        EXPECT_EQ(o->ClassName(), name);
    }
    TKlammer k(100, 21, false, Stil(), LinkeKlammerTabelle, 80, 10);
    MemorySink sink;
    {
        BufferedWriter w(sink);
        k.Store(w);
    }
    MemorySource src(sink.Bytes().data(), sink.Bytes().size());
    BufferedReader r(src);
    TKlammer l;
    ASSERT_TRUE(l.Load(r));
    EXPECT_EQ(l.Points, k.Points);
    EXPECT_EQ(l.Rect, k.Rect);
    EXPECT_EQ(l.OriginX, 100);
    EXPECT_TRUE(l.IstLinks());
    SymbolStuecke an(true);
    FixedMetricsDevice d;
    TKlammer leer;
    leer.Draw(d);  // an empty bracket draws without reading past its points
    TSigma s;
    s.Draw(d);
    TIntegral i;
    i.Draw(d);
}
