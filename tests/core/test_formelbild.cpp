// The clipboard picture of a formula: its size from the tree, the mapping that turns the
// page's upward y down the picture, and fonts at 9/10 while it is drawn.
#include <gtest/gtest.h>

#include "core/page/FixedMetricsDevice.h"
#include "core/page/Formelbild.h"
#include "core/page/VirtPntBox.h"
#include "core/typeset/Stile.h"
#include "zeichnen_testhilfe.h"

using namespace kd;
using namespace kd::testhilfe;
using Kind = FixedMetricsDevice::Kind;

TEST(Formelbild, SizeMappingAndFonts) {
    Zustandswache wache;
    FixedMetricsDevice d;
    auto b = FormelbildSetzen(d, "z=a/b");
    ASSERT_TRUE(b.has_value());
    // On the fixed metrics z=a/b is 100 units high (as on the page); the picture adds
    // a margin all round.
    EXPECT_EQ(b->Hoehe, 101 + 2 * Formelbild::Rand);
    const TRect baum = NormalizeRect(b->Baum->Rect);
    EXPECT_EQ(b->Rect, (TRect{baum.Left - Formelbild::Rand, baum.Top + Formelbild::Rand,
                              baum.Right + Formelbild::Rand, baum.Bottom - Formelbild::Rand}));
    EXPECT_EQ(b->Breite, b->Rect.Right - b->Rect.Left + 1);
    EXPECT_GT(b->Breite, 60);  // three characters and the fraction

    // Top-left corner at the origin, the lower edge at the picture's height; three
    // pixels per unit give three times the size.
    for (double s : {1.0, 3.0}) {
        d.SetMapping(b->Abbildung(s));
        const DevicePoint oben = d.LogicalToDevice(b->Rect.Left, b->Rect.Top + 1);
        const DevicePoint unten = d.LogicalToDevice(b->Rect.Right + 1, b->Rect.Bottom);
        EXPECT_DOUBLE_EQ(oben.x, 0);
        EXPECT_DOUBLE_EQ(oben.y, 0);
        EXPECT_NEAR(unten.x, b->Breite * s, 1e-9);
        EXPECT_NEAR(unten.y, b->Hoehe * s, 1e-9);
    }

    d.ClearCalls();
    b->Zeichnen(d);
    EXPECT_FALSE(DrawingState().MetafileOutput);
    const auto texte = d.CallsOf(Kind::TextOut);
    ASSERT_FALSE(texte.empty());
    const std::int32_t h = b->Stile->MainFont.Font.Height;
    bool haupt = false;
    for (const auto& c : texte)
        if (c.text == "z") {
            haupt = true;
            EXPECT_EQ(c.font.Height, (h * 9 + 5) / 10);
        }
    EXPECT_TRUE(haupt);

    EXPECT_FALSE(FormelbildSetzen(d, "y=(").has_value());
    EXPECT_FALSE(FormelbildSetzen(d, "").has_value());
}
