// TDText and TFormelText on the fixed-metrics device (a character of height h is h/2
// wide): boxes, drawing, stretching, copies and stream records.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Stream.h"
#include "core/device/TextSys.h"
#include "core/typeset/TextObjekte.h"
#include "zeichnen_testhilfe.h"

using namespace kd;
using namespace kd::testhilfe;
using Kind = FixedMetricsDevice::Kind;

namespace {

std::shared_ptr<TCFont> Arial(std::int32_t h) { return std::make_shared<TCFont>("Arial", h); }

std::vector<std::uint8_t> Record(const TDLine& o) {
    MemorySink sink;
    {
        BufferedWriter w(sink);
        o.Store(w);
    }
    return sink.Bytes();
}

template <class T>
std::unique_ptr<T> Geladen(const std::vector<std::uint8_t>& bytes) {
    MemorySource src(bytes.data(), bytes.size());
    BufferedReader r(src);
    auto o = std::make_unique<T>();
    return o->Load(r) ? std::move(o) : nullptr;
}

std::int32_t I32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::int32_t(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                        std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24);
}

} // namespace

TEST(TDText, BoxByAlignmentAndAngle) {
    FixedMetricsDevice d;
    const struct {
        std::uint32_t align;
        std::int32_t winkel;
        TRect erwartet;  // "abc" in height 40 (60 wide) at (100, 200)
    } faelle[] = {
        {0, 0, {100, 200, 160, 160}},     // left, top: below the anchor
        {2, 0, {40, 200, 100, 160}},      // right of the box at the anchor
        {6, 0, {70, 200, 130, 160}},      // centred
        {8, 0, {100, 240, 160, 200}},     // bottom: above the anchor
        {10, 0, {40, 240, 100, 200}},
        {14, 0, {70, 240, 130, 200}},
        {8, 900, {60, 260, 100, 200}},    // rotated a quarter turn about the anchor
        {8, -900, {100, 200, 140, 140}},
    };
    for (const auto& f : faelle) {
        TDText t(d, 12, true, true, f.align, 0, f.winkel, Arial(40), "abc", 200, 100);
        EXPECT_EQ(t.Rect, f.erwartet) << f.align << " " << f.winkel;
    }
    TDText mitte(d, 12, true, true, 6, 0, 0, Arial(202), "a", 0, 500);  // 101 wide
    EXPECT_EQ(mitte.Rect.Left, 450);
    EXPECT_EQ(mitte.Rect.Right, 550);
}

TEST(TDText, EmptyTextIsOneBlank) {
    FixedMetricsDevice d;
    for (std::string_view leer : {std::string_view(""), std::string_view("\0x", 2)}) {
        TDText t(d, 12, true, false, 8, 0, 0, Arial(40), leer, 0, 0);
        EXPECT_EQ(t.Text, " ");
        EXPECT_EQ(t.OwnsText, 1);
        EXPECT_EQ(t.Rect, (TRect{0, 40, 20, 0}));
        const auto rec = Record(t);
        EXPECT_EQ(I32(rec, 40), 1);  // L = 1
        EXPECT_EQ(rec.size(), 105u + 1u);
        t.Draw(d);
        ASSERT_EQ(Ausgaben(d).size(), 1u);
        EXPECT_EQ(Ausgaben(d)[0].text, " ");
        d.ClearCalls();
    }
}

TEST(TDText, DrawsCharacterByCharacterOrRotatedInOnePiece) {
    FixedMetricsDevice d;
    const LogFont vorher = MakeLogFont("Courier", 10, 400);
    d.SelectFont(vorher);
    TDText t(d, 12, true, true, 6, 0x0000FF, 0, Arial(40), "ab", 200, 100);
    t.Draw(d);
    auto a = Ausgaben(d);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].points[0], (TPoint{80, 200}));  // from the box's left edge
    EXPECT_EQ(a[1].points[0], (TPoint{100, 200}));
    EXPECT_EQ(a[0].align, TA_LEFT | TA_TOP);
    EXPECT_EQ(a[0].color, 0x0000FFu);
    EXPECT_EQ(a[0].bkMode, TRANSPARENT);
    EXPECT_EQ(a[0].font.Escapement, 0);
    EXPECT_TRUE(d.CurrentFont() == vorher);

    d.ClearCalls();
    t.ChangeWinkel(d, 450);
    t.Draw(d);
    a = Ausgaben(d);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].text, "ab");
    EXPECT_EQ(a[0].points[0], (TPoint{100, 200}));
    EXPECT_EQ(a[0].align, 6u);
    EXPECT_EQ(a[0].font.Escapement, 450);
    EXPECT_EQ(t.Font->Font.Escapement, 0);  // the font object keeps no angle
}

TEST(TDText, PrintedTextKeepsTheScreenAdvances) {
    Zustandswache w;
    FixedMetricsDevice schirm;
    BreiterDevice drucker(5, 4);
    Leinwandbox box(schirm);
    DrawingState().CurrentPaintBox = &box;
    DrawingState().Printing = true;
    TDText t(drucker, 12, true, true, 8, 0, 0, Arial(40), "abc", 0, 0);
    EXPECT_EQ(t.Rect.Right, 60);  // measured on the screen
    t.Draw(drucker);
    const auto a = Ausgaben(drucker);
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[1].points[0].x, 20);
    EXPECT_EQ(a[2].points[0].x, 40);
    EXPECT_EQ(a[0].font.Height, 32);
    EXPECT_TRUE(schirm.CurrentFont() == LogFont{});
}

TEST(TDText, StretchScalesTheFontWithinLimits) {
    FixedMetricsDevice d;
    const struct {
        std::int32_t neueBreite, hoehe;
    } faelle[] = {{120, 80}, {30, 20}, {1, 19}, {-120, 80}, {100000, 159}};
    for (const auto& f : faelle) {
        TDText t(d, 12, true, true, 8, 0, 0, Arial(40), "abc", 0, 0);  // 60 wide
        t.Stretch(1, TRect{0, 500, f.neueBreite, 0});
        EXPECT_EQ(t.Font->Font.Height, f.hoehe) << f.neueBreite;
        EXPECT_EQ(t.Rect.Right - t.Rect.Left, 3 * (f.hoehe / 2));
    }
}

TEST(TDText, MovesCopiesAndFontChanges) {
    FixedMetricsDevice d;
    TDText t(d, 12, true, true, 8, 0x00FF00, 0, Arial(40), "abc", 200, 100);
    t.MovePosRel(10, -20);
    EXPECT_EQ(t.Rect, (TRect{110, 220, 170, 180}));
    EXPECT_EQ(t.AnchorX, 110);
    EXPECT_EQ(t.AnchorY, 180);
    t.MovePos(0, 40);  // (Left, Top) to (0, 40), the anchor keeps its offset
    EXPECT_EQ(t.Rect, (TRect{0, 40, 60, 0}));
    EXPECT_EQ(t.AnchorX, 0);
    EXPECT_EQ(t.AnchorY, 0);

    auto kopie = t.Copy();
    auto* k = dynamic_cast<TDText*>(kopie.get());
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->Text, "abc");
    EXPECT_EQ(k->Rect, t.Rect);
    EXPECT_EQ(k->Color, 0x00FF00u);
    EXPECT_EQ(k->Tag, 12u);
    EXPECT_NE(k->Font.get(), t.Font.get());
    EXPECT_TRUE(k->Font->Font == t.Font->Font);

    t.ChangeFont(d, MakeLogFont("Arial", 20, 400));
    EXPECT_EQ(t.Rect, (TRect{0, 20, 30, 0}));
    EXPECT_EQ(k->Font->Height(), 40);
    auto neu = Arial(60);
    t.TauscheFont(d, neu);
    EXPECT_EQ(t.Font, neu);
    EXPECT_EQ(t.Rect, (TRect{0, 60, 90, 0}));
    t.ChangeColor(0x111111);
    EXPECT_EQ(t.Color, 0x111111u);
}

TEST(TDText, RecordRoundTrip) {
    FixedMetricsDevice d;
    TDText t(d, 12, false, false, 14, 0x123456, 300, Arial(40), "Wert 1", 200, 100);
    const auto rec = Record(t);
    ASSERT_EQ(rec.size(), 105u + 6u);
    EXPECT_EQ(I32(rec, 0), 100);                  // AnchorX
    EXPECT_EQ(I32(rec, 4), 200);                  // AnchorY
    EXPECT_EQ(I32(rec, 8), t.Rect.Left);
    EXPECT_EQ(I32(rec, 24), 12);                  // Tag
    EXPECT_EQ(std::uint32_t(I32(rec, 28)), 0x123456u);
    EXPECT_EQ(I32(rec, 32), 14);                  // Align
    EXPECT_EQ(I32(rec, 36), 300);                 // Winkel
    EXPECT_EQ(I32(rec, 40), 6);                   // L
    EXPECT_EQ(rec[44 + 6], 0);                    // the terminating zero
    EXPECT_EQ(I32(rec, 51), 40);                  // the font's height

    auto l = Geladen<TDText>(rec);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Text, "Wert 1");
    EXPECT_EQ(l->OwnsText, 1);
    EXPECT_EQ(l->OwnsStyle, 1);
    EXPECT_EQ(l->Rect, t.Rect);
    EXPECT_EQ(l->Winkel, 300);
    EXPECT_EQ(Record(*l), rec);

    for (std::size_t n = 0; n < rec.size(); ++n) {  // every truncation fails cleanly
        std::vector<std::uint8_t> kurz(rec.begin(), rec.begin() + std::ptrdiff_t(n));
        EXPECT_EQ(Geladen<TDText>(kurz), nullptr) << n;
    }
    auto kaputt = rec;
    kaputt[40] = 0xFF, kaputt[41] = 0xFF, kaputt[42] = 0xFF, kaputt[43] = 0xFF;  // L = -1
    EXPECT_EQ(Geladen<TDText>(kaputt), nullptr);
}

TEST(TFormelText, BoxIsTheFormattedTextExtent) {
    FixedMetricsDevice d;
    auto st = std::make_shared<TFormStyles>();
    const char* texte[] = {"x^2", "x|1", "~a", "x[12]", "a|^"};
    for (const char* text : texte) {
        TFormelText t(d, 13, false, true, 0, 0, st, text, 1000, 100);
        EXPECT_EQ(t.Rect, MeasureFormattedText(d, 100, 1000, 0, *st, text)) << text;
        EXPECT_EQ(t.MittelY, 1020);
    }
    TFormelText leer(d, 13, false, true, 0, 0, st, "", 0, 0);
    EXPECT_EQ(leer.Text, " ");
    EXPECT_EQ(leer.Rect, (TRect{0, 40, 21, 0}));
    TFormelText gedreht(d, 13, false, true, 0, 900, st, "ab", 1000, 100);
    EXPECT_EQ(gedreht.Rect, (TRect{60, 1042, 100, 1000}));
}

TEST(TFormelText, DrawsTheFormattedText) {
    FixedMetricsDevice a, b;
    auto st = std::make_shared<TFormStyles>();
    TFormelText t(a, 13, false, true, 0x606060, 0, st, "~a|1+x^2", 50, 10);
    a.ClearCalls();
    t.Draw(a);
    DrawFormattedText(b, 10, 50, *st, 0, 0x606060, "~a|1+x^2", true);
    const auto ta = Ausgaben(a), tb = Ausgaben(b);
    ASSERT_EQ(ta.size(), tb.size());
    for (std::size_t i = 0; i < ta.size(); ++i) {
        EXPECT_EQ(ta[i].text, tb[i].text);
        EXPECT_EQ(ta[i].points, tb[i].points);
        EXPECT_EQ(ta[i].color, 0x606060u);
    }
}

TEST(TFormelText, StretchChangesTheStyleHeights) {
    FixedMetricsDevice d;
    const struct {
        std::int32_t neueBreite, haupt, index;
    } faelle[] = {
        {210, 80, 68},  // twice as wide
        {50, 38, 32},   // narrower than 101: f = 100 / 105
        {-210, 80, 68},
    };
    for (const auto& f : faelle) {
        auto st = std::make_shared<TFormStyles>();
        TFormelText t(d, 13, true, true, 0, 0, st, "abcde", 0, 0);  // 100 + 5 wide
        t.Stretch(1, TRect{0, 0, f.neueBreite, 0});
        EXPECT_EQ(st->MainFont.Height(), f.haupt) << f.neueBreite;
        EXPECT_EQ(st->SymbolFont.Height(), f.haupt);
        EXPECT_EQ(st->IndexFont.Height(), f.index);
        EXPECT_EQ(st->SymbolIndexFont.Height(), f.index);
        EXPECT_EQ(t.Rect, MeasureFormattedText(d, 0, 0, 0, *st, "abcde"));
        EXPECT_EQ(t.MittelY, f.haupt / 2);
    }
}

TEST(TFormelText, MovesCopiesAndChanges) {
    FixedMetricsDevice d;
    auto geteilt = std::make_shared<TFormStyles>();
    TFormelText t(d, 13, false, true, 0, 0, geteilt, "x|1", 0, 0);
    t.MovePosRel(5, 7);
    EXPECT_EQ(t.MittelY, 27);
    EXPECT_EQ(t.AnchorY, 7);
    t.MovePos(0, 40);  // Top of x|1 is 40 + 7: back by 7
    EXPECT_EQ(t.MittelY, 20);
    EXPECT_EQ(t.Rect.Left, 0);

    auto k = t.Copy();
    auto* kt = dynamic_cast<TFormelText*>(k.get());
    ASSERT_NE(kt, nullptr);
    EXPECT_EQ(kt->Stile, geteilt);  // shared styles stay shared
    EXPECT_EQ(kt->Text, "x|1");
    EXPECT_EQ(kt->MittelY, 20);

    auto eigen = std::make_shared<TFormStyles>();
    eigen->SetMainSize(80);
    TFormelText e(d, 13, true, true, 0, 0, eigen, "a", 0, 0);
    auto k2 = e.Copy();
    auto* ke = dynamic_cast<TFormelText*>(k2.get());
    ASSERT_NE(ke, nullptr);
    EXPECT_NE(ke->Stile, eigen);  // own styles: new default ones
    EXPECT_EQ(ke->Stile->MainFont.Height(), 40);

    t.ChangeText(d, "abc");
    EXPECT_EQ(t.Rect.Right - t.Rect.Left, 63);
    t.ChangeText(d, "");
    EXPECT_EQ(t.Text, " ");
    t.ChangeFont(d, MakeLogFont("Arial", 60, 400));
    EXPECT_EQ(geteilt->MainFont.Height(), 60);
    EXPECT_EQ(geteilt->IndexFont.Height(), 51);
    EXPECT_EQ(t.Rect.Top - t.Rect.Bottom, 60);
}

TEST(TFormelText, Records) {
    FixedMetricsDevice d;
    auto st = std::make_shared<TFormStyles>();
    for (bool eigene : {false, true}) {
        TFormelText t(d, 13, eigene, true, 0x606060, 0, st, "~p|1", 200, 100);
        const auto rec = Record(t);
        EXPECT_EQ(rec.size(), 41u + 5u + (eigene ? 290u : 0u));
        EXPECT_EQ(I32(rec, 0), 100);
        EXPECT_EQ(I32(rec, 4), 200);
        EXPECT_EQ(I32(rec, 8), 0);   // Winkel
        EXPECT_EQ(I32(rec, 12), 4);  // L
        EXPECT_EQ(rec[16 + 4], 0);
        EXPECT_EQ(I32(rec, 21), t.Rect.Left);
        EXPECT_EQ(rec[41], eigene ? 1 : 0);
        EXPECT_EQ(I32(rec, rec.size() - 4), 13);  // Tag last

        auto l = Geladen<TFormelText>(rec);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->Text, "~p|1");
        EXPECT_EQ(l->Rect, t.Rect);
        EXPECT_EQ(l->Color, 0x606060u);
        EXPECT_EQ(l->OwnsStyle, eigene ? 1 : 0);
        EXPECT_EQ(l->Stile != nullptr, eigene);
        EXPECT_EQ(Record(*l), rec);
        if (!eigene) {
            FixedMetricsDevice leer;
            l->Draw(leer);  // no styles yet: nothing to draw with
            EXPECT_TRUE(Ausgaben(leer).empty());
            l->Stile = st;
            l->GetRect(leer);
            EXPECT_EQ(l->Rect, t.Rect);
            EXPECT_EQ(l->MittelY, 220);
        }
        for (std::size_t n = 0; n < rec.size(); ++n) {
            std::vector<std::uint8_t> kurz(rec.begin(), rec.begin() + std::ptrdiff_t(n));
            EXPECT_EQ(Geladen<TFormelText>(kurz), nullptr) << n;
        }
    }
}

TEST(TextObjekte, ListsFindTheClassesByName) {
    FixedMetricsDevice d;
    RegisterTextObjectClasses();
    auto st = std::make_shared<TFormStyles>();
    TCList<TDLine> liste;
    liste.Add(std::make_unique<TDText>(d, 12, true, true, 8, 0, 0, Arial(40), "12", 0, 0));
    liste.Add(std::make_unique<TFormelText>(d, 13, true, true, 0, 0, st, "~a", 0, 0));
    MemorySink sink;
    {
        BufferedWriter w(sink);
        StoreList(w, liste);
    }
    MemorySource src(sink.Bytes().data(), sink.Bytes().size());
    BufferedReader r(src);
    TCList<TDLine> geladen;
    ASSERT_TRUE(LoadList(r, geladen));
    ASSERT_EQ(geladen.Count(), 2);
    EXPECT_EQ(geladen[0]->ClassName(), "TDText");
    EXPECT_EQ(geladen[1]->ClassName(), "TFormelText");
    EXPECT_EQ(dynamic_cast<TFormelText&>(*geladen[1]).Text, "~a");
}
