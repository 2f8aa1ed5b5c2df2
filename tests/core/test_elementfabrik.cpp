// The parser's leaves and sum signs made by Elementfabrik on the fixed-metrics device.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/device/FixedMetricsDevice.h"
#include "core/notation/Gleichung.h"
#include "core/typeset/Elementfabrik.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/TextObjekte.h"

using namespace kd;

TEST(Elementfabrik, Leaves) {
    FixedMetricsDevice d;
    auto st = std::make_shared<TFormStyles>();
    Elementfabrik f(d, st);
    f.Farbe = 0x0000FF;

    auto zahl = f.TextLeaf(12, " 3.5");
    auto* t = dynamic_cast<TDText*>(zahl.get());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(dynamic_cast<TFormelText*>(zahl.get()), nullptr);
    EXPECT_EQ(t->Tag, 12u);
    EXPECT_EQ(t->Text, " 3.5");
    EXPECT_EQ(t->Color, 0x0000FFu);
    EXPECT_EQ(t->Align, TA_LEFT | TA_BOTTOM);
    EXPECT_EQ(t->Rect, (TRect{0, 40, 80, 0}));  // built at the origin, above it
    EXPECT_TRUE(t->Font->Font == st->MainFont.Font);
    EXPECT_NE(t->Font.get(), &st->MainFont);    // its own copy of the main font
    EXPECT_EQ(t->OwnsStyle, 1);
    EXPECT_EQ(f.LeafText(*zahl), " 3.5");

    auto name = f.FormelTextLeaf(13, "~a|1", 0x606060);
    auto* n = dynamic_cast<TFormelText*>(name.get());
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Tag, 13u);
    EXPECT_EQ(n->Stile, st);  // shared with the equation
    EXPECT_EQ(n->OwnsStyle, 0);
    EXPECT_EQ(n->Color, 0x606060u);
    EXPECT_EQ(n->Rect, (TRect{0, 40, 43, -8}));
    EXPECT_EQ(f.LeafText(*name), "~a|1");

    auto leer = f.TextLeaf(12, "");
    EXPECT_EQ(f.LeafText(*leer), " ");

    TFormStyles fremd;
    Elementfabrik g(d, fremd);  // styles owned elsewhere
    auto m = g.FormelTextLeaf(13, "x", 0);
    EXPECT_EQ(dynamic_cast<TFormelText&>(*m).Stile.get(), &fremd);
}

TEST(Elementfabrik, SumSigns) {
    FixedMetricsDevice d;
    auto st = std::make_shared<TFormStyles>();
    Elementfabrik f(d, st);
    const struct {
        std::int32_t art;
        std::uint32_t tag;
        const char* klasse;
    } faelle[] = {{ArtSumme, 24, "TSigma"}, {ArtIntegral, 24, "TIntegral"}, {ArtProdukt, 25, "TProdukt"}};
    for (const auto& fall : faelle) {
        auto z = f.SummenZeichen(fall.art, fall.tag, "n", "i = 1");
        ASSERT_NE(z, nullptr);
        EXPECT_EQ(z->ClassName(), fall.klasse);
        EXPECT_EQ(z->Tag, fall.tag);
        EXPECT_EQ(f.LeafText(*z), "");
        if (auto* s = dynamic_cast<TSigma*>(z.get())) {
            EXPECT_EQ(s->Oben, "n");
            EXPECT_EQ(s->Unten, "i = 1");
            EXPECT_EQ(s->Stile, st);
            EXPECT_EQ(s->Zielhoehe, 40);
        } else {
            auto& i = dynamic_cast<TIntegral&>(*z);
            EXPECT_EQ(i.Oben, "n");
            EXPECT_EQ(i.Unten, "i = 1");
            EXPECT_EQ(i.Zielhoehe, 40);
        }
        EXPECT_GE(z->Rect.Left, 0);
    }
    EXPECT_EQ(f.SummenZeichen(ArtPlus, 24, "n", "i = 1"), nullptr);
    auto unendlich = f.SummenZeichen(ArtIntegral, 24, "~\xA5", "x = -~\xA5");
    EXPECT_TRUE(dynamic_cast<TIntegral&>(*unendlich).Unten.empty());
}

TEST(Elementfabrik, ParserMakesItsLeavesThroughTheFactory) {
    FixedMetricsDevice d;
    auto st = std::make_shared<TFormStyles>();
    Elementfabrik f(d, st);
    const struct {
        const char* formel;
        std::vector<std::string> klassen;  // the element of each term
    } faelle[] = {
        {"y=2*x", {"TFormelText", "TDText", "TFormelText"}},
        {"y=SUMME(i=1;n;i)", {"TFormelText", "TSigma", "TFormelText"}},
        {"y=PRODUKT(k=1;5;k)", {"TFormelText", "TProdukt", "TFormelText"}},
        {"y=x[12]", {"TFormelText", "TFormelText"}},
    };
    for (const auto& fall : faelle) {
        TGleichung::Optionen o;
        o.Sammelmodus = true;
        o.ElementeErzeugen = true;
        o.Fabrik = &f;
        TGleichung g(o);
        ASSERT_EQ(g.FormelLesen(fall.formel), 0) << fall.formel;
        std::vector<std::string> ist;
        for (int i = 1; i <= g.TermAnzahl; ++i)
            if (const TDLine* e = g.Terme[std::size_t(i)].Element.get())
                ist.emplace_back(e->ClassName());
        EXPECT_EQ(ist, fall.klassen) << fall.formel;
    }
    TGleichung::Optionen o;
    o.Sammelmodus = true;
    o.ElementeErzeugen = true;
    o.Fabrik = &f;
    TGleichung g(o);
    ASSERT_EQ(g.FormelLesen("y=SUMME(i=1;n;i)"), 0);
    const TSigma* s = nullptr;
    const TFormelText* x = nullptr;
    for (int i = 1; i <= g.TermAnzahl; ++i) {
        if (!s) s = dynamic_cast<const TSigma*>(g.Terme[std::size_t(i)].Element.get());
        if (!x) x = dynamic_cast<const TFormelText*>(g.Terme[std::size_t(i)].Element.get());
    }
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Oben, "n");
    EXPECT_EQ(s->Unten, "i = 1");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->Text, "y");

    TGleichung h(o);
    ASSERT_EQ(h.FormelLesen("y=x[12]"), 0);
    std::string texte;
    for (int i = 1; i <= h.TermAnzahl; ++i)
        if (const TDLine* e = h.Terme[std::size_t(i)].Element.get()) texte += f.LeafText(*e) + ";";
    EXPECT_EQ(texte, "y;x[12];");  // read as a matrix element while collecting
}
