// Formatted text output on the fixed-metrics device: a character of a font of height h
// is h/2 wide, so with the default styles a main character is 20 wide, an index one 17.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/device/TextSys.h"
#include "core/device/Stile.h"
#include "zeichnen_testhilfe.h"

using namespace kd;
using namespace kd::testhilfe;
using Kind = FixedMetricsDevice::Kind;

TEST(TextSys, MakeLogFontAndCreateNamedFont) {
    const LogFont f = MakeLogFont("Arial", 40, 700);
    EXPECT_EQ(f.Height, 40);
    EXPECT_EQ(f.Weight, 700);
    EXPECT_EQ(f.Width, 0);
    EXPECT_EQ(f.Escapement, 0);
    EXPECT_EQ(f.Orientation, 0);
    EXPECT_EQ(f.Italic + f.Underline + f.StrikeOut + f.CharSet, 0);
    EXPECT_EQ(f.OutPrecision, 1);
    EXPECT_EQ(f.ClipPrecision, 16);
    EXPECT_EQ(f.Quality, 2);
    EXPECT_EQ(f.PitchAndFamily, 0x22);
    EXPECT_EQ(f.Face(), "Arial");
    EXPECT_EQ(MakeLogFont(std::string(40, 'x'), 1, 1).Face(), std::string(31, 'x'));

    const struct {
        const char* name;
        int charset;
    } faelle[] = {{"Symbol", 2}, {"SYMBOL", 2}, {"wingDings", 2}, {"Arial", 0}, {"Symbols", 0}, {"", 0}};
    for (const auto& fall : faelle) {
        const LogFont n = CreateNamedFont(fall.name, 33, 400);
        EXPECT_EQ(n.CharSet, fall.charset) << fall.name;
        EXPECT_EQ(n.PitchAndFamily, 1);
        EXPECT_EQ(n.Height, 33);
        EXPECT_EQ(n.Weight, 400);
        EXPECT_EQ(n.OutPrecision + n.ClipPrecision + n.Quality + n.Width + n.Escapement, 0);
        EXPECT_EQ(n.Face(), fall.name);
    }
}

TEST(TextSys, TextHeightAndWidthUseTheReferenceCanvas) {
    Zustandswache w;
    FixedMetricsDevice schirm;
    BreiterDevice drucker(5, 4);
    const LogFont arial = MakeLogFont("Arial", 40, 400);
    const LogFont vorher = MakeLogFont("Courier", 12, 400);
    drucker.SelectFont(vorher);

    EXPECT_EQ(TextWidth(drucker, arial, "abcd"), 100);  // its own reference
    EXPECT_EQ(TextHeight(drucker, arial, "abcd"), 40);
    Leinwandbox box(schirm);
    DrawingState().CurrentPaintBox = &box;
    EXPECT_EQ(TextWidth(drucker, arial, "abcd"), 80);  // the screen's widths
    EXPECT_EQ(TextWidth(drucker, arial, std::string_view("ab\0cd", 5)), 40);
    EXPECT_EQ(TextHeight(drucker, MakeLogFont("Arial", 70000, 400), "a"), 4464);  // 16 bits
    EXPECT_TRUE(drucker.CurrentFont() == vorher);
    EXPECT_TRUE(schirm.CurrentFont() == LogFont{});
}

TEST(TextSys, ScaledFontCorrectsPrinterAndMetafileFonts) {
    const struct {
        bool drucken, metafile, mitBox;
        int zaehler, nenner;  // printer widths relative to the screen
        std::int32_t hoehe, erwartet;
    } faelle[] = {
        {false, false, true, 5, 4, 40, 40},
        {true, false, true, 5, 4, 40, 32},    // wider printer: shrinks in proportion
        {true, false, true, 5, 4, -40, -32},
        {true, false, true, 2, 1, 40, 20},
        {true, false, true, 1, 2, 40, 36},    // narrower printer: 9/10
        {true, false, true, 1, 1, 40, 40},
        {true, false, true, 0, 1, 40, 36},    // nothing measured on the printer
        {true, false, false, 5, 4, 40, 40},   // no paint box: the printer is its own reference
        {false, true, true, 5, 4, 40, 36},
        {false, true, true, 5, 4, 35, 32},    // MulDiv rounds 31.5 up
        {true, true, true, 1, 1, 40, 40},     // printing wins over the metafile
    };
    for (const auto& f : faelle) {
        Zustandswache w;
        FixedMetricsDevice schirm;
        BreiterDevice drucker(f.zaehler, f.nenner);
        Leinwandbox box(schirm);
        DrawingState().Printing = f.drucken;
        DrawingState().MetafileOutput = f.metafile;
        if (f.mitBox) DrawingState().CurrentPaintBox = &box;
        const LogFont s = ScaledFont(drucker, MakeLogFont("Arial", f.hoehe, 400));
        EXPECT_EQ(s.Height, f.erwartet) << f.zaehler << "/" << f.nenner << " " << f.hoehe;
        EXPECT_EQ(s.Face(), "Arial");
        EXPECT_TRUE(drucker.CurrentFont() == LogFont{});
    }
}

TEST(TextSys, RotatedBounds) {
    const struct {
        TRect r;
        std::int32_t cx, cy, winkel;
        TRect erwartet;
    } faelle[] = {
        {{0, 40, 42, 0}, 0, 0, 0, {0, 40, 42, 0}},
        {{0, 40, 42, 0}, 0, 0, 900, {-40, 42, 0, 0}},
        {{0, 40, 42, 0}, 0, 0, 1800, {-42, 0, 0, -40}},
        {{0, 40, 42, 0}, 0, 0, -900, {0, 0, 40, -42}},
        {{0, 40, 42, 0}, 0, 0, 450, {-28, 58, 30, 0}},
        {{100, 1040, 142, 1000}, 100, 1000, 900, {60, 1042, 100, 1000}},
    };
    for (const auto& f : faelle) {
        TRect r = f.r;
        RotatedBounds(r, f.cx, f.cy, f.winkel);
        EXPECT_EQ(r, f.erwartet) << f.winkel;
    }
}

TEST(TextSys, MeasureFormattedText) {
    TFormStyles st;  // main 40, index 34: raise = round(34) / 4 = 8, gap = 4
    FixedMetricsDevice d;
    const struct {
        const char* text;
        TRect erwartet;  // at (100, 1000)
    } faelle[] = {
        {"x^2", {100, 1053, 139, 1000}},       // 40 + 8 + 5 above the baseline
        {"x|1", {100, 1040, 139, 992}},        // lowered by 8
        {"x[12]", {100, 1040, 161, 992}},      // lowered once, the gap before the group
        {"x|1|2", {100, 1040, 157, 992}},
        {"x^2^3", {100, 1053, 157, 1000}},     // raised once
        {"x|1^2", {100, 1053, 145, 992}},      // exponent moves back over the index
        {"x|i", {100, 1040, 141, 992}},        // an index "i" starts 2 further right
        {"a|^", {100, 1040, 121, 1000}},       // an accent does not advance
        {"a|^b", {100, 1040, 142, 1000}},
        {"~a", {100, 1040, 125, 1000}},        // symbol letter and the gap of h/10
        {"~|a", {100, 1040, 122, 1000}},       // symbol index font
        {"[~a]", {100, 1040, 126, 992}},       // symbol index font inside a group
        {"|a", {100, 1040, 142, 1000}},        // a bar first is a bar
        {" |a", {100, 1040, 163, 1000}},       // and after a blank
        {"x]", {100, 1040, 142, 1000}},        // "]" outside a group is a character
        {"", {100, 1040, 100, 1000}},
        // markup at the very end draws nothing
        {"x|", {100, 1040, 121, 1000}},
        {"x^", {100, 1040, 121, 1000}},
        {"x|1^", {100, 1040, 139, 992}},
        {"~", {100, 1040, 100, 1000}},
        {"~|", {100, 1040, 100, 1000}},
        {"[", {100, 1040, 104, 992}},
        {"x[1", {100, 1040, 143, 992}},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(MeasureFormattedText(d, 100, 1000, 0, st, f.text), f.erwartet) << f.text;
    }
    EXPECT_EQ(FormattedTextWidth(d, "x^2", st), 39);
    EXPECT_EQ(MeasureFormattedText(d, 100, 1000, 900, st, "ab"), (TRect{60, 1042, 100, 1000}));
    EXPECT_TRUE(d.CurrentFont() == LogFont{});  // the device's font is back

    st.IndexRatio = 0.5L;  // raise = 20 / 4 = 5
    EXPECT_EQ(MeasureFormattedText(d, 0, 0, 0, st, "x^2").Top, 50);
    TFormStyles gross(0.2L, 0.5L, 0.85L, 10, 10, 25, 60);  // raise = round(51) / 4 = 12
    EXPECT_EQ(MeasureFormattedText(d, 0, 0, 0, gross, "x^2").Top, 77);
    EXPECT_EQ(MeasureFormattedText(d, 0, 0, 0, gross, "x|2").Bottom, -12);
}

TEST(TextSys, DrawFormattedTextPositionsAndFonts) {
    TFormStyles st;
    const struct {
        const char* text;
        bool yUp;
        std::vector<Ausgabe> erwartet;  // at (100, 1000)
    } faelle[] = {
        {"x^2", true, {{"x", {100, 1000}, "Arial", 40}, {"2", {120, 1013}, "Arial", 34}}},
        {"x^2", false, {{"x", {100, 1000}, "Arial", 40}, {"2", {120, 987}, "Arial", 34}}},
        {"x|1", true, {{"x", {100, 1000}, "Arial", 40}, {"1", {120, 992}, "Arial", 34}}},
        {"x|1", false, {{"x", {100, 1000}, "Arial", 40}, {"1", {120, 1008}, "Arial", 34}}},
        {"x|i", true, {{"x", {100, 1000}, "Arial", 40}, {"i", {122, 992}, "Arial", 34}}},
        {"x|1^2", true,
         {{"x", {100, 1000}, "Arial", 40}, {"1", {120, 992}, "Arial", 34},
          {"2", {126, 1013}, "Arial", 34}}},
        {"x[12]y", true,
         {{"x", {100, 1000}, "Arial", 40}, {"1", {124, 992}, "Arial", 34},
          {"2", {141, 992}, "Arial", 34}, {"y", {158, 1000}, "Arial", 40}}},
        {"~ab", true, {{"a", {100, 1000}, "Symbol", 40}, {"b", {124, 1000}, "Arial", 40}}},
        {"~|ab", true, {{"a", {100, 1000}, "Symbol", 34}, {"b", {121, 1000}, "Arial", 40}}},
        {"[~a]b", true, {{"a", {104, 992}, "Symbol", 34}, {"b", {125, 1000}, "Arial", 40}}},
        {"|a", true, {{"|", {100, 1000}, "Arial", 40}, {"a", {120, 1000}, "Arial", 40}}},
        {" |a", true,
         {{" ", {100, 1000}, "Arial", 40}, {"|", {120, 1000}, "Arial", 40},
          {"a", {140, 1000}, "Arial", 40}}},
        {"x]", true, {{"x", {100, 1000}, "Arial", 40}, {"]", {120, 1000}, "Arial", 40}}},
        // accents: centred over the preceding character, H - round(H * ratio) above it
        {"a|^b", true,
         {{"a", {100, 1000}, "Arial", 40}, {"^", {100, 1016}, "Arial", 40},
          {"b", {120, 1000}, "Arial", 40}}},
        {"a|^", false, {{"a", {100, 1000}, "Arial", 40}, {"^", {100, 984}, "Arial", 40}}},
        {"a|=", true, {{"a", {100, 1000}, "Arial", 40}, {"=", {100, 1032}, "Arial", 40}}},
        {"a|.", true, {{"a", {100, 1000}, "Arial", 40}, {".", {100, 1028}, "Arial", 40}}},
        {"a|:", true,
         {{"a", {100, 1000}, "Arial", 40}, {".", {96, 1028}, "Arial", 40},
          {".", {104, 1028}, "Arial", 40}}},
        {"a|_", true, {{"a", {100, 1000}, "Arial", 40}, {"_", {100, 1036}, "Arial", 40}}},
        {"a|~", true, {{"a", {100, 1000}, "Arial", 40}, {"~", {100, 1020}, "Arial", 40}}},
        {"i|^", true, {{"i", {100, 1000}, "Arial", 40}, {"^", {80, 1016}, "Arial", 40}}},
        {"j|^", true, {{"j", {100, 1000}, "Arial", 40}, {"^", {80, 1016}, "Arial", 40}}},
        {"l|^", true, {{"l", {100, 1000}, "Arial", 40}, {"^", {80, 1016}, "Arial", 40}}},
        {"t|^", true, {{"t", {100, 1000}, "Arial", 40}, {"^", {90, 1016}, "Arial", 40}}},
        // the accent's width is at most the (index) character's: ax = 121 - 17
        {"[1|^]", true, {{"1", {104, 992}, "Arial", 34}, {"^", {104, 1008}, "Arial", 34}}},
        // markup at the very end draws nothing
        {"x|", true, {{"x", {100, 1000}, "Arial", 40}}},
        {"x^", true, {{"x", {100, 1000}, "Arial", 40}}},
        {"x~", true, {{"x", {100, 1000}, "Arial", 40}}},
        {"x~|", true, {{"x", {100, 1000}, "Arial", 40}}},
        {"x[", true, {{"x", {100, 1000}, "Arial", 40}}},
        {"|", true, {{"|", {100, 1000}, "Arial", 40}}},
    };
    for (const auto& f : faelle) {
        FixedMetricsDevice d;
        DrawFormattedText(d, 100, 1000, st, 0, 0x123456, f.text, f.yUp);
        ErwarteTexte(d, f.erwartet, f.text);
        for (const auto& c : Ausgaben(d)) {
            EXPECT_EQ(c.align, TA_LEFT | TA_BOTTOM);
            EXPECT_EQ(c.color, 0x123456u);
            EXPECT_EQ(c.bkMode, TRANSPARENT);
        }
        EXPECT_TRUE(d.CallsOf(Kind::LineTo).empty()) << f.text;
    }
}

TEST(TextSys, VectorArrowIsALineWithAFilledTriangle) {
    TFormStyles st;
    FixedMetricsDevice d;
    const LogPen pen{PS_DOT, 3, 3, 0x00FF00};
    const LogBrush brush{BS_HATCHED, 0x0000FF, 2};
    d.SelectPen(pen);
    d.SelectBrush(brush);
    DrawFormattedText(d, 100, 1000, st, 0, 0x0000AA, "v|-w", true);
    // "v" and "w"; the arrow is no character
    ErwarteTexte(d, {{"v", {100, 1000}, "Arial", 40}, {"w", {120, 1000}, "Arial", 40}}, "v|-w");
    const auto linien = d.CallsOf(Kind::LineTo);
    ASSERT_EQ(linien.size(), 1u);
    // from the left of the "v" at its cell top, 0.8 × h/2 = 16 long
    EXPECT_EQ(linien[0].points, (std::vector<TPoint>{{100, 1040}, {116, 1040}}));
    EXPECT_EQ(linien[0].pen, (LogPen{PS_SOLID, 1, 1, 0x0000AA}));
    const auto dreiecke = d.CallsOf(Kind::Polygon);
    ASSERT_EQ(dreiecke.size(), 1u);
    // tip at the end, (h/2)/2 = 10 long, (h/2)/4 = 5 wide
    EXPECT_EQ(dreiecke[0].points, (std::vector<TPoint>{{116, 1040}, {106, 1042}, {106, 1037}}));
    EXPECT_EQ(dreiecke[0].brush, (LogBrush{BS_SOLID, 0x0000AA, 0}));
    EXPECT_EQ(d.CurrentPen(), pen);
    EXPECT_EQ(d.CurrentBrush(), brush);
}

TEST(TextSys, DrawRotatesAboutTheStartAndRestoresFonts) {
    TFormStyles st;
    for (bool yUp : {true, false}) {
        FixedMetricsDevice d;
        const LogFont vorher = MakeLogFont("Courier", 12, 400);
        d.SelectFont(vorher);
        DrawFormattedText(d, 100, 1000, st, 900, 0, "ab", yUp);
        const auto a = Ausgaben(d);
        ASSERT_EQ(a.size(), 2u);
        EXPECT_EQ(a[0].points[0], (TPoint{100, 1000}));
        EXPECT_EQ(a[1].points[0], (TPoint{100, yUp ? 1020 : 980}));
        EXPECT_EQ(a[1].font.Escapement, 900);
        EXPECT_EQ(a[1].font.Orientation, 900);
        EXPECT_TRUE(d.CurrentFont() == vorher);
        EXPECT_EQ(st.MainFont.Font.Escapement, 0);  // the styles keep their angle
    }
}

TEST(TextSys, PrintedTextKeepsTheScreenPositions) {
    Zustandswache w;
    TFormStyles st;
    FixedMetricsDevice schirm;
    BreiterDevice drucker(5, 4);
    Leinwandbox box(schirm);
    DrawingState().CurrentPaintBox = &box;
    DrawingState().Printing = true;
    DrawFormattedText(drucker, 0, 0, st, 0, 0, "ab^2", true);
    const auto a = Ausgaben(drucker);
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[1].points[0].x, 20);  // screen widths
    EXPECT_EQ(a[2].points[0].x, 40);
    EXPECT_EQ(a[0].font.Height, 32);  // printer fonts shrunk by 80/100
    EXPECT_EQ(a[2].font.Height, 27);
    EXPECT_GT(box.skaliert, 0);
    EXPECT_TRUE(schirm.CurrentFont() == LogFont{});
    EXPECT_EQ(MeasureFormattedText(drucker, 0, 0, 0, st, "ab").Right, 42);
}

TEST(TextSys, DrawSimpleFormattedText) {
    const struct {
        const char* text;
        std::vector<Ausgabe> erwartet;  // at (10, 50), height 20: small font 13, 6 wide
    } faelle[] = {
        {"a~b^2|3", {{"a", {10, 50}, "Arial", 20}, {"b", {20, 50}, "Symbol", 20},
                      {"2", {30, 47}, "Arial", 13}, {"3", {36, 56}, "Arial", 13}}},
        {"x|1^2", {{"x", {10, 50}, "Arial", 20}, {"1", {20, 56}, "Arial", 13},
                    {"2", {22, 47}, "Arial", 13}}},
        {"|a", {{"a", {10, 56}, "Arial", 13}}},
        {"a~", {{"a", {10, 50}, "Arial", 20}}},
        {"a^", {{"a", {10, 50}, "Arial", 20}}},
        {"a|", {{"a", {10, 50}, "Arial", 20}}},
        {"", {}},
    };
    for (const auto& f : faelle) {
        FixedMetricsDevice d;
        DrawSimpleFormattedText(d, 10, 50, 0xFF, 20, "Arial", f.text);
        ErwarteTexte(d, f.erwartet, f.text);
        for (const auto& c : Ausgaben(d)) {
            EXPECT_EQ(c.color, 0xFFu);
            EXPECT_EQ(c.bkMode, TRANSPARENT);
        }
        EXPECT_TRUE(d.CurrentFont() == LogFont{});
    }
    FixedMetricsDevice d;
    DrawSimpleFormattedText(d, 0, 0, 0, 20, "Arial", "a\\b~c\\d");
    const auto a = Ausgaben(d);
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[0].font.Weight, 400);
    EXPECT_EQ(a[1].font.Weight, 700);
    EXPECT_EQ(a[2].font.Weight, 700);  // the Symbol letter keeps the weight
    EXPECT_EQ(a[2].font.Face(), "Symbol");
    EXPECT_EQ(a[3].font.Weight, 400);
}

TEST(TextSys, AnyTextIsHandled) {
    TFormStyles st;
    FixedMetricsDevice d;
    d.RecordMeasurements = false;
    const std::string zeichen = "~^|[] a-i";
    std::string t;
    // every text of up to four of these characters
    std::vector<std::string> texte{""};
    for (int laenge = 1; laenge <= 4; ++laenge) {
        std::vector<std::string> neu;
        for (const auto& s : texte)
            if (s.size() == std::size_t(laenge - 1))
                for (char c : zeichen) neu.push_back(s + c);
        texte.insert(texte.end(), neu.begin(), neu.end());
    }
    std::mt19937 zufall(7);
    for (int i = 0; i < 20; ++i) {
        std::string s(std::size_t(zufall() % 3000), ' ');
        for (auto& c : s) c = static_cast<char>(zufall() % 256);
        texte.push_back(s);
    }
    for (const auto& s : texte) {
        const TRect r = MeasureFormattedText(d, 0, 0, 0, st, s);
        EXPECT_LE(r.Left, r.Right);
        EXPECT_GE(r.Top, r.Bottom);
        DrawFormattedText(d, 0, 0, st, 0, 0, s, true);
        DrawSimpleFormattedText(d, 0, 0, 0, 20, "Arial", s);
        d.ClearCalls();
    }
}
