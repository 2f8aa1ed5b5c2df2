#include <gtest/gtest.h>

#include "core/constants/Konstanten.h"
#include "core/eval/KDGData.h"

using namespace kd;

TEST(KDGData, DefaultsAfterCreate) {
    const TKDGData d;
    ASSERT_EQ(d.FormelZeilen.size(), 1u);
    EXPECT_EQ(d.FormelZeilen[0], "y=x");
    EXPECT_EQ(d.Werte, nullptr);
    EXPECT_FALSE(d.NurFormeln);
    EXPECT_TRUE(d.FormelnMitKurven);
    EXPECT_FALSE(d.Dreidimensional);
    EXPECT_EQ(d.XStart, 0);
    EXPECT_EQ(d.XEnde, 0);
    EXPECT_EQ(d.XPunkte, 100);
    EXPECT_EQ(d.ZStart, 0);
    EXPECT_EQ(d.ZEnde, 0);
    EXPECT_EQ(d.ZPunkte, 1);
    EXPECT_EQ(d.YMin, 0);
    EXPECT_EQ(d.YMax, 0);
    EXPECT_TRUE(d.YMinAuto);
    EXPECT_TRUE(d.YMaxAuto);
    EXPECT_FALSE(d.XLog);
    EXPECT_FALSE(d.YLog);
    EXPECT_EQ(d.XVariable.str(), "x");
    EXPECT_EQ(d.ZVariable.str(), "z");
    EXPECT_EQ(d.Seitenstil.RandLinks, 100);
    EXPECT_EQ(d.Seitenstil.RandOben, 200);
    EXPECT_EQ(d.Seitenstil.RandRechts, 100);
    EXPECT_EQ(d.Ueberschrift, "\xDC" "berschrift");
    EXPECT_EQ(d.Untertitel, "Untertitel");
    EXPECT_EQ(d.XTitel, "X-Achse");
    EXPECT_EQ(d.YTitel, "Y-Achse");
    EXPECT_EQ(d.ZTitel, "Z-Achse");
    EXPECT_EQ(d.XEinheit, "XEinheit");
    EXPECT_EQ(d.YEinheit, "YEinheit");
    EXPECT_EQ(d.ZEinheit, "ZEinheit");
}

TEST(KDGData, MainWindowSettingsAndPrintableWidth) {
    TKDGData d;
    d.Seitenstil.RandLinks = 200;
    d.NurFormeln = true;
    d.XVariable = "~";
    d.ZVariable = "~";
    EXPECT_EQ(d.Seitenstil.DruckBreite(), 1800);
    EXPECT_TRUE(d.XVariable == "~");
}

TEST(KDGData, VariableNamesKeepSevenCharacters) {
    TKDGData d;
    d.XVariable = "abcdefghij";
    EXPECT_EQ(d.XVariable.str(), "abcdefg");
    d.ZVariable = std::string("t\0uvw", 5);  // ends at the NUL
    EXPECT_EQ(d.ZVariable.str(), "t");
    d.ZVariable = "";
    EXPECT_EQ(d.ZVariable.str(), "");
}

TEST(KDGData, CreatingTheRecordResetsTheConstantsTable) {
    Konstantentabelle& t = Konstanten();
    t.Leeren();
    t.Anhaengen("q", 7);
    {
        const TKDGData d;
        ASSERT_EQ(t.Anzahl(), 15);
        for (int nr = 1; nr <= 15; ++nr) {
            EXPECT_EQ(t.Name(nr), BasisKonstanten[static_cast<std::size_t>(nr - 1)].Name);
            EXPECT_EQ(t.Wert(nr), BasisKonstanten[static_cast<std::size_t>(nr - 1)].Wert);
        }
    }
    // The table lives on after the record.
    EXPECT_EQ(t.Anzahl(), 15);
}
