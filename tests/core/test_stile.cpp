// Style objects: records, recolouring, palettes, the formula font set.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/Stream.h"
#include "core/device/Stile.h"

using namespace kd;

namespace {

template <class Obj>
std::vector<std::uint8_t> Bytes(const Obj& o) {
    MemorySink sink;
    {
        BufferedWriter w(sink);
        o.Store(w);
    }
    return sink.Bytes();
}

template <class Obj>
bool LoadFrom(Obj& o, const std::vector<std::uint8_t>& b) {
    MemorySource src(b.data(), b.size());
    BufferedReader r(src);
    return o.Load(r);
}

struct Rgb {
    unsigned r, g, b;
};

Rgb Of(TColor c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

} // namespace

TEST(Stile, RecordSizesAndRoundTrips) {
    TPenTyp pen(PS_DASH, RGB(1, 2, 3), 7);
    TBrushTyp brush(BS_HATCHED, RGB(9, 8, 7), 3);
    TPenBrushTyp pb(PS_SOLID, RGB(10, 20, 30), 2, BS_SOLID, RGB(40, 50, 60), 0);
    TFarbVerlauf fv(RGB(0, 0, 0), RGB(100, 100, 100), RGB(255, 255, 255), 4);
    TCFont font("Arial", 40, 900, 700, true, false);
    TFormStyles styles;

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::size_t size;
    } cases[] = {
        {"pen", Bytes(pen), 16},         {"brush", Bytes(brush), 12},
        {"pen+brush", Bytes(pb), 28},    {"gradient", Bytes(fv), 16},
        {"font", Bytes(font), 60},       {"formula styles", Bytes(styles), 290},
    };
    for (const Case& c : cases) EXPECT_EQ(c.bytes.size(), c.size) << c.name;

    TPenTyp pen2;
    ASSERT_TRUE(LoadFrom(pen2, cases[0].bytes));
    EXPECT_EQ(pen2.Pen, pen.Pen);
    TBrushTyp brush2;
    ASSERT_TRUE(LoadFrom(brush2, cases[1].bytes));
    EXPECT_EQ(brush2.Brush, brush.Brush);
    TPenBrushTyp pb2;
    ASSERT_TRUE(LoadFrom(pb2, cases[2].bytes));
    EXPECT_EQ(Bytes(pb2), cases[2].bytes);
    TFarbVerlauf fv2(0, 0, 0, 1);
    ASSERT_TRUE(LoadFrom(fv2, cases[3].bytes));
    EXPECT_EQ(fv2.Kind, 4u);
    EXPECT_EQ(fv2.Entry(1)->Brush.Color, fv.Entry(1)->Brush.Color);
    EXPECT_EQ(fv2.Entry(32)->Brush.Color, fv.Entry(32)->Brush.Color);
    TCFont font2;
    ASSERT_TRUE(LoadFrom(font2, cases[4].bytes));
    EXPECT_EQ(font2.Font, font.Font);
    EXPECT_EQ(font2.Changed, 1);
    TFormStyles styles2(TFormStyles::Empty);
    ASSERT_TRUE(LoadFrom(styles2, cases[5].bytes));
    EXPECT_EQ(Bytes(styles2), cases[5].bytes);
}

TEST(Stile, PenRecordLayout) {
    TPenTyp pen(PS_NULL, 0x00CCBBAA, 5);
    const std::vector<std::uint8_t> want = {5, 0, 0, 0, 5, 0, 0, 0, 5, 0, 0, 0,
                                            0xAA, 0xBB, 0xCC, 0};
    EXPECT_EQ(Bytes(pen), want);
    TBrushTyp brush(BS_HOLLOW, 0x00112233, -1);
    const std::vector<std::uint8_t> wantB = {1, 0, 0, 0, 0x33, 0x22, 0x11, 0,
                                             0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Bytes(brush), wantB);
}

TEST(Stile, TruncatedRecordsFailCleanly) {
    TFormStyles styles;
    const auto full = Bytes(styles);
    for (std::size_t n : {std::size_t(0), std::size_t(3), std::size_t(40), std::size_t(49),
                          std::size_t(289)}) {
        std::vector<std::uint8_t> part(full.begin(), full.begin() + long(n));
        TFormStyles s(TFormStyles::Empty);
        EXPECT_FALSE(LoadFrom(s, part)) << n;
        EXPECT_EQ(s.MainFont.Font.Height, 0) << "unchanged after failure, " << n;
    }
    TCFont f("Arial", 40);
    std::vector<std::uint8_t> fb = Bytes(f);
    fb.resize(59);
    TCFont g("Symbol", 12);
    EXPECT_FALSE(LoadFrom(g, fb));
    EXPECT_EQ(g.Font.Face(), "Symbol");

    // A gradient kind outside 1..4 is refused.
    std::vector<std::uint8_t> bad = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0};
    TFarbVerlauf fv(0, 0, 0xFFFFFF, 1);
    EXPECT_FALSE(LoadFrom(fv, bad));
    EXPECT_EQ(fv.Kind, 1u);
}

TEST(Stile, Version400LoadsWithLimitWidth2000) {
    TFormStyles styles;
    styles.LimitWidth = 1234;
    auto b401 = Bytes(styles);
    // Version 400: the same record without the LimitWidth field (bytes 4+30+12 .. +4).
    std::vector<std::uint8_t> b400(b401.begin(), b401.begin() + 46);
    b400.insert(b400.end(), b401.begin() + 50, b401.end());
    b400[0] = 0x90;  // 400 = 0x190
    b400[1] = 0x01;
    ASSERT_EQ(b400.size(), 286u);
    TFormStyles s(TFormStyles::Empty);
    ASSERT_TRUE(LoadFrom(s, b400));
    EXPECT_EQ(s.Version, 400u);
    EXPECT_EQ(s.LimitWidth, 2000);
    EXPECT_EQ(s.MainFont.Font, styles.MainFont.Font);
    EXPECT_EQ(s.SymbolIndexFont.Font, styles.SymbolIndexFont.Font);
    auto again = Bytes(s);
    ASSERT_EQ(again.size(), 290u);
    EXPECT_EQ(again[0], 0x91);  // 401
    EXPECT_EQ(again[1], 0x01);

    TFormStyles t(TFormStyles::Empty);
    ASSERT_TRUE(LoadFrom(t, b401));
    EXPECT_EQ(t.LimitWidth, 1234);
}

TEST(Stile, Recolouring) {
    TPenTyp nullPen(PS_NULL, 0, 1);
    nullPen.ChangeColor(RGB(255, 0, 0));
    EXPECT_EQ(nullPen.Pen.Style, PS_SOLID);
    EXPECT_EQ(nullPen.Pen.Color, RGB(255, 0, 0));
    EXPECT_EQ(nullPen.Changed, 1);

    TPenTyp dash(PS_DASH, 0, 1);
    dash.ChangeColor(RGB(0, 255, 0));
    EXPECT_EQ(dash.Pen.Style, PS_DASH);

    TBrushTyp hollow(BS_HOLLOW, 0, 0);
    hollow.ChangeColor(RGB(0, 0, 255));
    EXPECT_EQ(hollow.Brush.Style, BS_SOLID);
    EXPECT_EQ(hollow.Brush.Color, RGB(0, 0, 255));

    TPenBrushTyp pb(PS_NULL, 0, 1, BS_HOLLOW, 0, 0);
    pb.ChangeColor(RGB(1, 2, 3));
    EXPECT_EQ(pb.Pen->Pen.Style, PS_SOLID);
    EXPECT_EQ(pb.Brush.Style, BS_SOLID);
    EXPECT_EQ(pb.Pen->Pen.Color, RGB(1, 2, 3));
    EXPECT_EQ(pb.Brush.Color, RGB(1, 2, 3));

    pb.ChangeStylePen(PS_DOT, 3);
    EXPECT_EQ(pb.Pen->Pen.WidthX, 3);
    EXPECT_EQ(pb.Pen->Pen.WidthY, 3);
    pb.ChangeColorBrush(RGB(9, 9, 9));
    EXPECT_EQ(pb.Pen->Pen.Color, RGB(1, 2, 3));
    auto copy = pb.Copy();
    EXPECT_EQ(copy->Changed, 1);
    EXPECT_NE(copy->Pen.get(), pb.Pen.get());
    EXPECT_EQ(copy->Pen->Pen, pb.Pen->Pen);

    TPenBrushTyp empty;
    EXPECT_EQ(empty.Brush, (LogBrush{0, 0, 0}));
    EXPECT_EQ(empty.Pen->Pen, (LogPen{0, 0, 0, 0}));
}

TEST(Stile, ColorPercent) {
    struct Case {
        TColor in;
        int p;
        TColor out;
    } cases[] = {
        {RGB(0, 0, 0), 150, RGB(128, 128, 128)},      // black brightened: grey
        {RGB(0, 0, 0), 50, RGB(0, 0, 0)},
        {RGB(100, 50, 20), 50, RGB(50, 25, 10)},
        {RGB(255, 0, 0), 150, RGB(255, 128, 128)},     // saturated red gets the others lifted
        {RGB(200, 0, 0), 150, RGB(255, 128, 128)},
        {RGB(200, 100, 0), 150, RGB(255, 150, 128)},
        {RGB(3, 0, 0), 50, RGB(2, 0, 0)},              // MulDiv rounds 1.5 up
        {RGB(100, 100, 100), 100, RGB(100, 100, 100)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorPercent(c.in, c.p), c.out) << std::hex << c.in << " " << std::dec << c.p;
}

TEST(Stile, Palettes) {
    TFarbVerlauf bw(RGB(0, 0, 0), 0, RGB(255, 255, 255), 1);
    EXPECT_EQ(bw.Entry(1)->Brush.Color, RGB(0, 0, 0));
    EXPECT_EQ(bw.Entry(32)->Brush.Color, RGB(247, 247, 247));
    EXPECT_EQ(bw.Entry(17)->Brush.Color, RGB(128, 128, 128));  // 16 * 255 / 32 = 127.5 -> 128
    EXPECT_EQ(bw.Entry(1)->Brush.Style, BS_SOLID);
    EXPECT_EQ(bw.Entry(0), nullptr);
    EXPECT_EQ(bw.Entry(33), nullptr);

    TFarbVerlauf rgb(0, 0, 0, 2);
    TFarbVerlauf bgr(0, 0, 0, 3);
    struct Case {
        const TFarbVerlauf* f;
        int entry;
        TColor color;
    } cases[] = {
        {&rgb, 1, RGB(0, 0, 255)},   {&rgb, 16, RGB(0, 255, 0)}, {&rgb, 17, RGB(0, 255, 0)},
        {&rgb, 32, RGB(255, 0, 0)},  {&rgb, 2, RGB(0, 17, 238)}, {&bgr, 1, RGB(255, 0, 0)},
        {&bgr, 16, RGB(0, 255, 0)},  {&bgr, 17, RGB(0, 255, 0)}, {&bgr, 32, RGB(0, 0, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.f->Entry(c.entry)->Brush.Color, c.color) << c.entry;

    // Three colours: the first half rounds down, the second to nearest.
    TFarbVerlauf mid(RGB(255, 0, 0), RGB(0, 0, 0), RGB(0, 0, 255), 4);
    EXPECT_EQ(mid.Entry(1)->Brush.Color, RGB(255, 0, 0));
    EXPECT_EQ(Of(mid.Entry(2)->Brush.Color).r, 239u);  // 255 + floor(-255/16) = 255 - 16
    EXPECT_EQ(mid.Entry(17)->Brush.Color, RGB(0, 0, 0));
    EXPECT_EQ(Of(mid.Entry(18)->Brush.Color).b, 16u);  // round(15.9375)
    EXPECT_EQ(Of(mid.Entry(32)->Brush.Color).b, 239u); // round(239.06)

    // ChangePalette rebuilds linearly for kind 1, through the middle colour otherwise.
    bw.ChangePalette(RGB(255, 255, 255), 0, RGB(0, 0, 0));
    EXPECT_EQ(bw.Entry(1)->Brush.Color, RGB(255, 255, 255));
    EXPECT_EQ(bw.Entry(32)->Brush.Color, RGB(8, 8, 8));
    rgb.ChangePalette(RGB(0, 0, 0), RGB(160, 160, 160), RGB(0, 0, 0));
    EXPECT_EQ(rgb.Entry(17)->Brush.Color, RGB(160, 160, 160));
    rgb.FreePalette();
    EXPECT_EQ(rgb.Entry(1), nullptr);
}

TEST(Stile, FontFromFaceName) {
    TCFont f("Arial", 40, 450, 700, true, true);
    EXPECT_EQ(f.Font.Height, 40);
    EXPECT_EQ(f.Font.Width, 0);
    EXPECT_EQ(f.Font.Escapement, 450);
    EXPECT_EQ(f.Font.Orientation, 450);
    EXPECT_EQ(f.Font.Weight, 700);
    EXPECT_EQ(f.Font.Italic, 1);
    EXPECT_EQ(f.Font.Underline, 1);
    EXPECT_EQ(f.Font.StrikeOut, 0);
    EXPECT_EQ(f.Font.CharSet, 0);
    EXPECT_EQ(f.Font.OutPrecision, 1);
    EXPECT_EQ(f.Font.ClipPrecision, 16);
    EXPECT_EQ(f.Font.Quality, 2);
    EXPECT_EQ(f.Font.PitchAndFamily, 0x22);
    EXPECT_EQ(f.Font.Face(), "Arial");
    EXPECT_EQ(f.Changed, 1);
    f.ChangeWinkel(900);
    EXPECT_EQ(f.Font.Escapement, 900);
    EXPECT_EQ(f.Font.Orientation, 900);
    TCFont g(f);
    EXPECT_EQ(g.Font, f.Font);
    // A face name longer than 31 characters is cut and stays terminated.
    TCFont h(std::string(40, 'x'), 10);
    EXPECT_EQ(h.Font.Face().size(), 31u);
}

TEST(Stile, FormStylesForms) {
    TFormStyles d;
    EXPECT_EQ(d.Version, 401u);
    EXPECT_EQ(d.MainFont.Font.Face(), "Arial");
    EXPECT_EQ(d.IndexFont.Font.Face(), "Arial");
    EXPECT_EQ(d.SymbolFont.Font.Face(), "Symbol");
    EXPECT_EQ(d.SymbolIndexFont.Font.Face(), "Symbol");
    EXPECT_EQ(d.MainFont.Font.Height, 40);
    EXPECT_EQ(d.IndexFont.Font.Height, 34);
    EXPECT_EQ(d.SymbolFont.Font.Height, 40);
    EXPECT_EQ(d.SymbolIndexFont.Font.Height, 34);
    EXPECT_EQ(d.MainFont.Font.Weight, 400);
    EXPECT_EQ(d.ExtraFont, nullptr);
    EXPECT_EQ(d.LimitWidth, 2000);
    EXPECT_EQ(d.SpacingA, 10);
    EXPECT_EQ(d.SpacingB, 10);
    EXPECT_EQ(d.SpacingC, 25);
    EXPECT_EQ(d.StyleRatioA, 0.2L);
    EXPECT_EQ(d.StyleRatioB, 0.5L);
    EXPECT_EQ(d.IndexRatio, 0.85L);

    TFormStyles e(TFormStyles::Empty);
    EXPECT_EQ(e.MainFont.Font, LogFont{});
    EXPECT_EQ(e.IndexRatio, 0.85L);

    TFormStyles t(0.3L, 0.4L, 0.5L, 1, 2, 3, 61);
    EXPECT_EQ(t.MainFont.Font.Height, 61);
    EXPECT_EQ(t.IndexFont.Font.Height, 30);  // round(30.5) to even
    EXPECT_EQ(t.SymbolIndexFont.Font.Height, 30);
    EXPECT_EQ(t.SpacingA, 1);
    EXPECT_EQ(t.SpacingB, 2);
    EXPECT_EQ(t.SpacingC, 3);
    EXPECT_EQ(t.StyleRatioA, 0.3L);
    EXPECT_EQ(t.LimitWidth, 2000);
}

TEST(Stile, FormStylesOperations) {
    TFormStyles s;
    TCFont extra("Times", 20);
    s.ExtraFont = &extra;

    s.SetMainSize(50);
    EXPECT_EQ(s.MainFont.Font.Height, 50);
    EXPECT_EQ(s.SymbolFont.Font.Height, 50);
    EXPECT_EQ(s.IndexFont.Font.Height, 42);  // round(42.5) to even
    EXPECT_EQ(s.SymbolIndexFont.Font.Height, 42);
    EXPECT_EQ(extra.Font.Height, 50);

    s.Skale(0.5L);
    EXPECT_EQ(s.SavedMainSize, 50);
    EXPECT_EQ(s.MainFont.Font.Height, 25);
    EXPECT_EQ(s.IndexFont.Font.Height, 21);
    EXPECT_EQ(extra.Font.Height, 50);  // not scaled
    extra.Font.Height = 7;
    s.RestoreSkale();
    EXPECT_EQ(s.MainFont.Font.Height, 50);
    EXPECT_EQ(s.IndexFont.Font.Height, 42);
    EXPECT_EQ(extra.Font.Height, 7);  // untouched

    LogFont lf = TCFont("Courier", 60, 0, 700).Font;
    s.Change(lf);
    EXPECT_EQ(s.MainFont.Font, lf);
    EXPECT_EQ(s.SymbolFont.Font.Height, 60);
    EXPECT_EQ(s.SymbolFont.Font.Face(), "Symbol");
    EXPECT_EQ(s.IndexFont.Font.Height, 51);
    EXPECT_EQ(s.IndexFont.Font.Face(), "Arial");
    EXPECT_EQ(extra.Font, lf);

    s.ChangeWinkel(900);
    for (const TCFont* f : {&s.MainFont, &s.IndexFont, &s.SymbolFont, &s.SymbolIndexFont}) {
        EXPECT_EQ(f->Font.Escapement, 900);
        EXPECT_EQ(f->Font.Orientation, 900);
    }
    EXPECT_EQ(extra.Font.Escapement, 0);

    s.SetBold();
    s.SetKursiv();
    s.SetUnderline();
    for (TCFont* f : {&s.MainFont, &s.IndexFont, &s.SymbolFont, &s.SymbolIndexFont,
                            &extra}) {
        EXPECT_EQ(f->Font.Weight, 700);
        EXPECT_EQ(f->Font.Italic, 1);
        EXPECT_EQ(f->Font.Underline, 1);
    }
    s.ResetBold();
    s.ResetKursiv();
    s.ResetUnderline();
    for (TCFont* f : {&s.MainFont, &s.IndexFont, &s.SymbolFont, &s.SymbolIndexFont,
                            &extra}) {
        EXPECT_EQ(f->Font.Weight, 400);
        EXPECT_EQ(f->Font.Italic, 0);
        EXPECT_EQ(f->Font.Underline, 0);
    }

    s.SetBold();
    s.SpacingA = 77;
    s.LimitWidth = 5;
    auto c = s.Copy();
    EXPECT_EQ(c->SpacingA, 77);
    EXPECT_EQ(c->LimitWidth, 2000);
    EXPECT_EQ(c->MainFont.Font.Height, 60);
    EXPECT_EQ(c->MainFont.Font.Face(), "Arial");
    EXPECT_EQ(c->MainFont.Font.Weight, 400);  // weight is not carried over
    EXPECT_EQ(c->ExtraFont, nullptr);
}
