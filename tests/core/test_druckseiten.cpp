// Printing a library on the fixed-metrics device: the printer mapping, sheets that
// end when less than 500 units remain or when a tall formula would run off the sheet,
// formulas that do not parse leaving no trace, pictures, comments and copies.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/page/Druckseiten.h"
#include "core/device/FixedMetricsDevice.h"
#include "core/page/Formelseite.h"
#include "zeichnen_testhilfe.h"

using namespace kd;
using namespace kd::testhilfe;
using Kind = FixedMetricsDevice::Kind;

namespace {

// Records the sheet each output lands on and whether Printing was set for it.
class Druckerdevice : public FixedMetricsDevice {
public:
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override {
        if (!DrawingState().Printing) ++ohneDruckflag;
        FixedMetricsDevice::TextOut(x, y, text);
    }
    int ohneDruckflag = 0;
};

struct Lauf {
    Druckerdevice d;
    std::vector<std::string> texte;
    Druckergebnis e;
    int neueSeiten = 0;
    std::vector<std::size_t> seitenAnfang{0};  // index into d.Calls() where each sheet starts

    explicit Lauf(std::vector<std::string> t, int kopien = 1, Seitenbilder* bilder = nullptr)
        : texte(std::move(t)) {
        Druckauftrag a;
        a.Texte = &texte;
        a.Bilder = bilder;
        a.Seitenstil.RandLinks = 200;  // as the main window sets it
        a.Kopien = kopien;
        a.NeueSeite = [this] {
            ++neueSeiten;
            seitenAnfang.push_back(d.Calls().size());
        };
        e = FormelsammlungDrucken(d, a);
    }

    // The separator lines (grey, from x = 0) as y values.
    std::vector<std::int32_t> Trenner() const {
        std::vector<std::int32_t> y;
        for (const auto& c : d.CallsOf(Kind::LineTo))
            if (c.pen.Color == RGB(128, 128, 128) && c.points.at(0).x == 0) y.push_back(c.points[0].y);
        return y;
    }
};

// What is drawn, with positions (measuring and selecting left out).
std::string Zeichnung(const FixedMetricsDevice& d) {
    std::ostringstream os;
    for (const auto& c : d.Calls()) {
        if (c.kind == Kind::TextExtent || c.kind == Kind::SelectFont || c.kind == Kind::SelectPen ||
            c.kind == Kind::SelectBrush || c.kind == Kind::SetTextState)
            continue;
        os << int(c.kind);
        for (const TPoint& p : c.points) os << " " << p.x << "," << p.y;
        os << " '" << c.text << "'\n";
    }
    return os.str();
}

class EinBild : public Seitenbilder {
public:
    explicit EinBild(int formel, TSize groesse) : formel_(formel), groesse_(groesse) {}
    TSize Groesse(int i) override { return i == formel_ ? groesse_ : TSize{}; }
    void Zeichnen(Device&, int i, const TRect& r) override { gezeichnet.push_back({i, r}); }
    std::vector<std::pair<int, TRect>> gezeichnet;

private:
    int formel_;
    TSize groesse_;
};

} // namespace

TEST(Druckseiten, MappingSeparatorsAndPlacement) {
    Zustandswache wache;
    Lauf l({"y=x {Erste}", "z=a/b"});
    ASSERT_TRUE(l.e.Gedruckt);
    EXPECT_EQ(l.e.Seiten, 1);
    EXPECT_EQ(l.neueSeiten, 0);
    EXPECT_EQ(l.d.ohneDruckflag, 0);
    EXPECT_FALSE(DrawingState().Printing);

    // A4 at 10 pixels per mm without unprintable border: window origin
    // (-RandLinks, 2970 + RandOben), one pixel per unit, y down.
    const auto abb = l.d.CallsOf(Kind::SetMapping);
    ASSERT_FALSE(abb.empty());
    EXPECT_EQ(abb.back().points, (std::vector<TPoint>{{-200, 3170}, {1000, -1000}, {0, 0}, {1000, 1000}}));

    // Separators start at the top of the sheet (acc 0) and run over the printable
    // width 2100 - 100 - 200; each block is its height plus 100.
    EXPECT_EQ(l.Trenner(), (std::vector<std::int32_t>{2995, 2995 - 140, 2995 - 340}));
    for (const auto& c : l.d.CallsOf(Kind::LineTo)) {
        if (c.pen.Color == RGB(128, 128, 128)) {
            EXPECT_EQ(c.points.at(1).x, 1800);
        }
    }
    ASSERT_EQ(l.e.Posten.size(), 2u);
    EXPECT_EQ(l.e.Posten[0].Element, (TRect{75, 2950, 174, 2910}));
    EXPECT_EQ(l.e.Posten[1].Element.Bottom, 2950 - 240);
    EXPECT_EQ(l.e.Posten[1].Element.Top, 2950 - 140);
    EXPECT_EQ(l.e.Posten[1].Trennlinie, 2995 - 140);

    // The heading comment in dark blue at (50, 2975).
    bool kopf = false;
    for (const auto& c : l.d.CallsOf(Kind::TextOut)) {
        if (c.text == "E" && c.color == RGB(0, 0, 80)) {
            kopf = true;
            EXPECT_EQ(c.points.at(0), (TPoint{50, 2975}));
        }
    }
    EXPECT_TRUE(kopf);
}

TEST(Druckseiten, NewSheetWhenLessThan500Remain) {
    Zustandswache wache;
    // Blocks of 140 units: the sheet ends after the formula that takes acc past 2470.
    Lauf l(std::vector<std::string>(40, "y=x"));
    ASSERT_TRUE(l.e.Gedruckt);
    ASSERT_EQ(l.e.Posten.size(), 40u);
    // Walk the rule independently of the layout: acc before a formula is 2995 minus
    // its separator; a sheet starts exactly where 2970 - acc fell below 500.
    std::int32_t acc = 0;
    int seite = 1;
    for (const DruckPosten& p : l.e.Posten) {
        if (2970 - acc < 500) {
            ++seite;
            acc = 0;
        }
        EXPECT_EQ(p.Seite, seite) << p.Formel;
        EXPECT_EQ(p.Trennlinie, 2995 - acc) << p.Formel;
        acc += (p.Element.Top - p.Element.Bottom) + 100;
    }
    // 18 blocks of 140 fill a sheet (18 x 140 = 2520 > 2470 after the 18th).
    EXPECT_EQ(l.e.Seiten, 3);
    EXPECT_EQ(l.neueSeiten, 2);
    EXPECT_EQ(l.e.Posten[17].Seite, 1);
    EXPECT_EQ(l.e.Posten[18].Seite, 2);
    EXPECT_EQ(l.e.Posten[18].Trennlinie, 2995);
    // Each sheet starts with the mapping of the first page again.
    for (std::size_t s = 1; s < l.seitenAnfang.size(); ++s)
        EXPECT_EQ(l.d.Calls().at(l.seitenAnfang[s]).kind, Kind::SetMapping);
}

TEST(Druckseiten, FormulaThatDoesNotParseLeavesNoTrace) {
    Zustandswache wache;
    const std::vector<std::string> ohne = {"y=x", "z=a/b {Zweite}", "w=1"};
    Lauf mit({"y=x", "y=( {kaputt}", "z=a/b {Zweite}", "q=)", "w=1"});
    Lauf vergleich(ohne);
    EXPECT_EQ(mit.e.Ausgelassen, (std::vector<int>{1, 3}));
    ASSERT_EQ(mit.e.Posten.size(), 3u);
    EXPECT_EQ(mit.e.Posten[1].Formel, 2);
    // No separator, no comment, no space: the drawing is that of the library without them.
    EXPECT_EQ(Zeichnung(mit.d), Zeichnung(vergleich.d));
    for (const auto& c : mit.d.CallsOf(Kind::TextOut)) EXPECT_NE(c.text, "k");
}

TEST(Druckseiten, TallFormulaNearTheBottomStartsANewSheet) {
    Zustandswache wache;
    // How tall is the tall formula alone?
    const std::string hoch = "y=a/(b/(c/(d/(e/(f/(g/h))))))";
    Lauf allein({hoch});
    ASSERT_EQ(allein.e.Posten.size(), 1u);
    const std::int32_t h = allein.e.Posten[0].Element.Top - allein.e.Posten[0].Element.Bottom;
    ASSERT_GT(h, 300);
    ASSERT_LT(h, 2500);

    // 17 short blocks (acc = 2380) leave 590 units, more than 500, but the printable
    // area ends at y = 200 (the sheet's lower edge), and the tall formula would reach
    // 2950 - 2380 - h.
    std::vector<std::string> texte(17, "y=x");
    texte.push_back(hoch);
    texte.push_back("y=x");
    Lauf l(texte);
    ASSERT_EQ(l.e.Posten.size(), 19u);
    EXPECT_EQ(l.e.Posten[16].Seite, 1);
    EXPECT_EQ(l.e.Posten[17].Seite, 2);
    EXPECT_EQ(l.e.Posten[17].Trennlinie, 2995);
    EXPECT_EQ(l.e.Posten[17].Element.Bottom, 2950 - h);
    for (const DruckPosten& p : l.e.Posten) EXPECT_GE(p.Element.Bottom, 200) << p.Formel;
}

TEST(Druckseiten, PicturesAsOnThePage) {
    Zustandswache wache;
    // A picture 100 x 300 on formula 1: the picture column makes the left margin 343,
    // the picture is 323 wide and 969 high, taller than the formula, so the block grows.
    EinBild bild(1, {100, 300});
    Lauf l({"y=x", "z=a/b", "w=1"}, 1, &bild);
    ASSERT_EQ(l.e.Posten.size(), 3u);
    EXPECT_EQ(l.e.Posten[0].Element.Left, 343 + 25);
    ASSERT_EQ(bild.gezeichnet.size(), 1u);
    EXPECT_EQ(bild.gezeichnet[0].first, 1);
    // acc is 140 before formula 1: the picture's top lies at 2970 - acc - 15.
    EXPECT_EQ(bild.gezeichnet[0].second, (TRect{0, 2955 - 140, 323, 2955 - 140 - 969}));
    EXPECT_EQ(l.e.Posten[1].Bild, bild.gezeichnet[0].second);
    EXPECT_EQ(l.e.Posten[2].Trennlinie, 2995 - (140 + 969 + 100));
}

TEST(Druckseiten, CopiesAndAPrinterWithoutSize) {
    Zustandswache wache;
    Lauf zwei(std::vector<std::string>(20, "y=x"), 2);
    EXPECT_EQ(zwei.e.Seiten, 2);
    // One new sheet inside each copy and one between the copies.
    EXPECT_EQ(zwei.neueSeiten, 3);
    EXPECT_EQ(zwei.e.Posten.size(), 20u);
    EXPECT_EQ(zwei.Trenner().size(), 2u * 21u);

    Druckerdevice leer;
    leer.HorzSizeMM = 0;
    const std::vector<std::string> texte = {"y=x"};
    Druckauftrag a;
    a.Texte = &texte;
    const Druckergebnis e = FormelsammlungDrucken(leer, a);
    EXPECT_FALSE(e.Gedruckt);
    EXPECT_TRUE(leer.CallsOf(Kind::TextOut).empty());
    EXPECT_FALSE(DrawingState().Printing);
}
