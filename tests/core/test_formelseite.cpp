// The formula page drawn by TFormelseite on the fixed-metrics device: separators,
// heading comments, formulas placed one below the other, error texts, pictures and the
// cached repaint.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/page/FixedMetricsDevice.h"
#include "core/page/Formelseite.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Stile.h"
#include "core/typeset/TextObjekte.h"
#include "zeichnen_testhilfe.h"

using namespace kd;
using namespace kd::testhilfe;
using Kind = FixedMetricsDevice::Kind;

namespace {

// What is drawn, in order.
std::string Aufzeichnung(const FixedMetricsDevice& d) {
    std::ostringstream os;
    for (const auto& c : d.Calls()) {
        switch (c.kind) {
        case Kind::TextOut: case Kind::MoveTo: case Kind::LineTo: case Kind::Polygon:
        case Kind::Polyline: case Kind::FillRect: case Kind::Rectangle: break;
        default: continue;  // measuring and selecting
        }
        os << int(c.kind);
        for (const TPoint& p : c.points) os << " " << p.x << "," << p.y;
        os << " '" << c.text << "' " << c.font.Height << " " << c.color << "\n";
    }
    return os.str();
}

class Bilder : public Seitenbilder {
public:
    TSize Groesse(int i) override { return i == 1 ? TSize{100, 300} : TSize{}; }
    void Zeichnen(Device&, int i, const TRect& r) override {
        gezeichnet.push_back(i);
        rechteck = r;
    }
    std::vector<int> gezeichnet;
    TRect rechteck;
};

} // namespace

TEST(Formelseite, CommentIsTheBracedEnd) {
    const struct {
        const char* text;
        const char* formel;
        const char* kommentar;
        bool hat;
    } faelle[] = {
        {"y=x {Erste}  ", "y=x ", "Erste", true},
        {"y=x{a{b}c}", "y=x", "a{b}c", true},
        {"y=x}", "y=x}", "", false},
        {"y=x {offen", "y=x {offen", "", false},
        {"{}", "", "", true},
        {"", "", "", false},
    };
    for (const auto& f : faelle) {
        std::string formel, kommentar;
        bool hat;
        FormelUndKommentar(f.text, formel, kommentar, hat);
        EXPECT_EQ(formel, f.formel) << f.text;
        EXPECT_EQ(kommentar, f.kommentar) << f.text;
        EXPECT_EQ(hat, f.hat) << f.text;
    }
}

TEST(Formelseite, FormulasOneBelowTheOther) {
    FixedMetricsDevice d;
    auto stile = std::make_shared<TFormStyles>();
    TFormelseite seite;
    const std::vector<std::string> texte = {"y=x {Erste}", "y=(", "z=a/b"};
    const FormelPosTabelle& pos = seite.Zeichnen(d, texte, stile);
    EXPECT_TRUE(seite.LayoutGueltig);
    EXPECT_EQ(seite.Anzahl, 3);
    EXPECT_EQ(seite.BildBreite, 50);
    ASSERT_EQ(seite.ElementListe.Count(), 3);

    // y=x (the text before the heading, "x " with its blank): 99 wide, 40 high.
    EXPECT_EQ(pos[0].Breite, 99);
    EXPECT_EQ(pos[0].Unterkante, 2970 - 140);
    EXPECT_EQ(seite.ElementListe[0]->Rect, (TRect{75, 2900, 174, 2860}));
    // The text that does not parse: "Fehler in Formel" in red.
    const auto& fehler = dynamic_cast<const TFormelText&>(*seite.ElementListe[1]);
    EXPECT_EQ(fehler.Text, "Fehler in Formel");
    EXPECT_EQ(fehler.Color, RGB(255, 0, 0));
    EXPECT_EQ(pos[1].Breite, 336);
    EXPECT_EQ(pos[1].Unterkante, 2830 - 140);
    EXPECT_EQ(fehler.Rect.Bottom, 2950 - 230);
    // z=a/b: 100 high.
    EXPECT_EQ(pos[2].Unterkante, 2690 - 200);
    EXPECT_EQ(seite.ElementListe[2]->Rect.Bottom, 2950 - 430);
    EXPECT_EQ(seite.ElementListe[2]->Rect.Left, 75);
    EXPECT_EQ(seite.Ende, 2995 - 530);

    // The white page, then grey separators at 2995 - acc.
    const auto flaechen = d.CallsOf(Kind::FillRect);
    ASSERT_GE(flaechen.size(), 2u);
    EXPECT_EQ(flaechen[0].points, (std::vector<TPoint>{{0, 2970}, {32000, -32000}}));
    std::vector<std::int32_t> trenner;
    for (const auto& c : d.CallsOf(Kind::LineTo)) {
        if (c.pen.Color != RGB(128, 128, 128)) continue;
        EXPECT_EQ(c.points.at(0).x, 0);
        EXPECT_EQ(c.points.at(1).x, 5000);
        trenner.push_back(c.points.at(0).y);
    }
    EXPECT_EQ(trenner, (std::vector<std::int32_t>{2945, 2805, 2665, 2465}));
    // The heading at (50, 2925) in dark blue on white that covers the separator.
    EXPECT_EQ(flaechen[1].points, (std::vector<TPoint>{{46, 2965}, {158, 2925}}));
    EXPECT_EQ(flaechen[1].brush.Color, RGB(255, 255, 255));
    bool kopf = false;
    for (const auto& c : d.CallsOf(Kind::TextOut)) {
        if (c.text == "E" && c.color == RGB(0, 0, 80)) {
            kopf = true;
            EXPECT_EQ(c.points.at(0), (TPoint{50, 2925}));
            EXPECT_EQ(c.font.Face(), "Arial");
        }
    }
    EXPECT_TRUE(kopf);
    EXPECT_EQ(stile->MainFont.Font.Face(), "Arial");

    // Highlight frame and hit test.
    EXPECT_EQ(seite.Markierungsrahmen(0), (TRect{70, 2915, 75 + 99 + 5, 2825}));
    EXPECT_EQ(seite.Markierungsrahmen(1), (TRect{70, 2775, 75 + 336 + 5, 2685}));
    EXPECT_EQ(seite.FormelBei(2900), 0);
    EXPECT_EQ(seite.FormelBei(2800), 1);
    EXPECT_EQ(seite.FormelBei(2000), -1);

    // A repaint draws the cached trees in the same places.
    const std::string erst = Aufzeichnung(d);
    TDLine* baum = seite.ElementListe[0];
    d.ClearCalls();
    seite.Zeichnen(d, texte, stile);
    EXPECT_EQ(seite.ElementListe[0], baum);
    EXPECT_EQ(Aufzeichnung(d), erst);

    // After Ungueltig everything is built again, to the same result.
    seite.Ungueltig();
    d.ClearCalls();
    seite.Zeichnen(d, texte, stile);
    EXPECT_EQ(Aufzeichnung(d), erst);
}

TEST(Formelseite, PicturesWidenTheMarginAndGrowTheBlock) {
    FixedMetricsDevice d;
    TFormelseite seite;
    Bilder bilder;
    const std::vector<std::string> texte = {"y=x", "z=2", "w=3"};
    const FormelPosTabelle& pos = seite.Zeichnen(d, texte, nullptr, &bilder);
    EXPECT_EQ(seite.BildBreite, 343);
    EXPECT_EQ(seite.ElementListe[0]->Rect.Left, 343 + 25);
    EXPECT_EQ(bilder.gezeichnet, (std::vector<int>{1}));
    // Formula 1: acc = 50 + 40 + 100 + 40 = 230 when its picture is placed.
    const std::int32_t oben = 2970 - 230 + 40 - 15;
    const std::int32_t hoehe = 300 * 323 / 100;  // 969
    EXPECT_EQ(bilder.rechteck, (TRect{0, oben, 323, oben - hoehe}));
    EXPECT_EQ(pos[1].Unterkante, 2830 - 140 - (hoehe - 40));
    // The next formula starts below the picture.
    EXPECT_EQ(pos[2].Unterkante, pos[1].Unterkante - 140);
    EXPECT_EQ(seite.ElementListe[2]->Rect.Bottom, 2950 - (230 - 40 + hoehe + 100 + 40));
}

TEST(Formelseite, EmptyAndOverlongLists) {
    FixedMetricsDevice d;
    TFormelseite seite;
    seite.Zeichnen(d, {}, nullptr);
    EXPECT_EQ(seite.Anzahl, 0);
    EXPECT_TRUE(seite.LayoutGueltig);
    EXPECT_EQ(d.CallsOf(Kind::FillRect).size(), 1u);
    // Every formula of a long library is on the page, one below the other, and the
    // white ground reaches below the last one.
    std::vector<std::string> viele(300, "y=x");
    d.ClearCalls();
    seite.Zeichnen(d, viele, nullptr);
    EXPECT_EQ(seite.Anzahl, 300);
    EXPECT_EQ(seite.ElementListe.Count(), 300);
    ASSERT_EQ(seite.FormelPos.size(), 300u);
    for (std::size_t i = 1; i < 300; ++i)
        EXPECT_EQ(seite.FormelPos[i - 1].Unterkante - seite.FormelPos[i].Unterkante,
                  seite.FormelPos[0].Unterkante - seite.FormelPos[1].Unterkante);
    EXPECT_LT(seite.Ende, seite.FormelPos[299].Unterkante);
    const auto fuellen = d.CallsOf(Kind::FillRect);
    ASSERT_FALSE(fuellen.empty());
    EXPECT_LT(fuellen.front().points.at(1).y, seite.Ende);
    EXPECT_EQ(seite.FormelBei(seite.FormelPos[299].Unterkante + 1), 299);
    EXPECT_NE(seite.Markierungsrahmen(299).Right, 0);
    // A list of another length builds again.
    seite.Zeichnen(d, {"y=x"}, nullptr);
    EXPECT_EQ(seite.ElementListe.Count(), 1);
}

TEST(Formelseite, OnlyBlocksInTheVisiblePartAreDrawn) {
    const std::vector<std::string> texte = {"a=1 {Kopf}", "b=2", "c=3", "d=4"};
    FixedMetricsDevice ganz;
    TFormelseite voll;
    voll.Zeichnen(ganz, texte, nullptr);

    // Blocks: 0 from 2970 to 2830, 1 to 2690, 2 to 2550, 3 to 2410 (FormelPos).
    struct Fall {
        TRect ausschnitt;
        std::vector<std::string> texte;  // the formula letters drawn
    };
    // Separators at 2945, 2805, 2665, 2525; a block is drawn from its lower edge (less
    // 10) up to 80 above its separator, where a heading may reach.
    const Fall faelle[] = {
        {{0, 2700, 2100, 2650}, {"b", "c"}},  // inside blocks 1 and 2
        {{0, 2970, 2100, 2900}, {"a"}},
        {{0, 2380, 2100, 0}, {}},             // below the last
        {{0, 2640, 2100, 2620}, {"c"}},
        {{0, 5000, 2100, -5000}, {"a", "b", "c", "d"}},
    };
    for (const Fall& f : faelle) {
        FixedMetricsDevice d;
        TFormelseite seite;
        seite.Ausschnitt = f.ausschnitt;
        seite.Zeichnen(d, texte, nullptr);
        std::vector<std::string> gezeichnet;
        for (const auto& c : d.CallsOf(Kind::TextOut))
            if (c.text.size() == 1 && c.text[0] >= 'a' && c.text[0] <= 'd') gezeichnet.push_back(c.text);
        EXPECT_EQ(gezeichnet, f.texte) << f.ausschnitt.Top;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(seite.FormelPos[std::size_t(i)].Unterkante, voll.FormelPos[std::size_t(i)].Unterkante);
            EXPECT_EQ(seite.FormelPos[std::size_t(i)].Breite, voll.FormelPos[std::size_t(i)].Breite);
        }
        EXPECT_EQ(seite.Ende, voll.Ende);
    }
}
