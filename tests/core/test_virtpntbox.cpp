// The virtual page arithmetic: set-up, scales, mapping, conversions, visibility, scrolling.
#include <gtest/gtest.h>

#include "core/device/FixedMetricsDevice.h"
#include "core/device/VirtPntBox.h"

using namespace kd;

namespace {

struct FakeScrollBox : TScrollBoxPort {
    int w = 403, h = 497, sbw = 17, sbh = 17;
    int hpos = 0, vpos = 0;
    int hrange = -1, vrange = -1, hstep = -1, vstep = -1;
    int Width() const override { return w; }
    int Height() const override { return h; }
    int VertScrollBarWidth() const override { return sbw; }
    int HorzScrollBarHeight() const override { return sbh; }
    int HorzPosition() const override { return hpos; }
    int VertPosition() const override { return vpos; }
    void SetHorzPosition(int p) override { hpos = p; }
    void SetVertPosition(int p) override { vpos = p; }
    void SetHorzRange(int r, int s) override {
        hrange = r;
        hstep = s;
    }
    void SetVertRange(int r, int s) override {
        vrange = r;
        vstep = s;
    }
};

struct Box : TVirtPntBox {
    FixedMetricsDevice dc;
    int ownW = 300, ownH = 200;
    Device* Canvas() override { return &dc; }
    int BoxWidth() const override { return ownW; }
    int BoxHeight() const override { return ownH; }
};

// The main window's page: a 403 x 497 scroll box, zoom 0.35, page height 2970.
struct MainPage {
    FakeScrollBox sb;
    Box box;
    MainPage() {
        box.AnzSeiten = 10;
        box.SetParameter(true, 0, 0, 0, 0, 1.0L, &sb);
        box.ZoomFactor = 0.35;
        box.PageHeight = 2970;
        box.SetScale();
    }
};

} // namespace

TEST(VirtPntBox, SetParameter) {
    FakeScrollBox sb;
    Box box;
    ASSERT_EQ(box.AnzSeiten, 0);
    box.SetParameter(true, 0, 0, 0, 0, 1.0L, &sb);
    EXPECT_EQ(box.AnzSeiten, 1);  // 0 pages in the window description still give one
    EXPECT_EQ(box.PageWidth, 2100);
    EXPECT_EQ(box.PageHeight, 2970);
    EXPECT_DOUBLE_EQ(box.AspectRatio, 2970.0 / 2100.0);
    EXPECT_EQ(box.ViewWidth, 386);
    EXPECT_EQ(box.ViewHeight, 480);
    EXPECT_DOUBLE_EQ(box.FitScaleX, 386.0 / 2970);
    EXPECT_DOUBLE_EQ(box.FitScaleY, 480.0 / 2970);
    EXPECT_DOUBLE_EQ(box.FitScale, box.FitScaleY);  // portrait
    EXPECT_DOUBLE_EQ(box.ZoomFactor, 386.0 / 2970);
    EXPECT_DOUBLE_EQ(double(DrawingState().CurrentZoomX), 386.0 / 2970);
    EXPECT_TRUE(box.Raster);
    EXPECT_EQ(sb.hrange, 2100);
    EXPECT_EQ(sb.hstep, 50);
    EXPECT_EQ(sb.vrange, 5940);
    EXPECT_EQ(sb.vstep, 50);

    Box ten;
    ten.AnzSeiten = 10;
    ten.SetParameter(true, 0, 0, 0, 0, 2.0L, nullptr);
    EXPECT_EQ(ten.AnzSeiten, 10);
    // Without a scroll box the paint box's own size is the view.
    EXPECT_EQ(ten.ViewWidth, 300);
    EXPECT_EQ(ten.ViewHeight, 200);
    EXPECT_DOUBLE_EQ(ten.ZoomFactor, 2.0 * 300 / 2970);
}

TEST(VirtPntBox, FormatsAndMargins) {
    struct Case {
        bool portrait;
        std::int32_t m[4];
        std::int32_t pageW, pageH;
        double fitX, fit;
    } cases[] = {
        {true, {0, 0, 0, 0}, 2100, 2970, 386.0 / 2970, 480.0 / 2970},
        {false, {0, 0, 0, 0}, 2970, 2100, 386.0 / 2970, 386.0 / 2970},
        {true, {100, 200, 300, 400}, 1500, 2570, 386.0 / 2770, 480.0 / 2770},
        {true, {100, 0, 300, 400}, 1700, 2570, 386.0 / 2970, 480.0 / 2970},
    };
    for (const Case& c : cases) {
        FakeScrollBox sb;
        Box box;
        box.SetParameter(c.portrait, c.m[0], c.m[1], c.m[2], c.m[3], 1.0L, &sb);
        EXPECT_EQ(box.PageWidth, c.pageW);
        EXPECT_EQ(box.PageHeight, c.pageH);
        EXPECT_DOUBLE_EQ(box.FitScaleX, c.fitX);
        EXPECT_DOUBLE_EQ(box.FitScale, c.fit);
        EXPECT_EQ(sb.vrange, 2 * c.pageH);
    }
}

TEST(VirtPntBox, SetScaleMapsTheCanvas) {
    MainPage p;
    EXPECT_EQ(p.box.WindowOrgX, 0);
    EXPECT_EQ(p.box.WindowOrgY, 2970);
    const DeviceMapping& m = p.box.dc.Mapping();
    EXPECT_EQ(m.WindowExt, (TSize{1000, -1000}));
    EXPECT_EQ(m.ViewportExt, (TSize{350, 350}));
    EXPECT_EQ(m.WindowOrg, (TPoint{0, 2970}));
    EXPECT_EQ(m.ViewportOrg, (TPoint{0, 0}));
    // A logical point lies at pixel (r/1000 (x - orgX), r/1000 (orgY - y)).
    EXPECT_EQ(p.box.dc.LPtoDP({100, 1970}), (TPoint{35, 350}));
    const TDrawingState& st = DrawingState();
    EXPECT_DOUBLE_EQ(double(st.CurrentZoomX), 0.35);
    EXPECT_DOUBLE_EQ(double(st.CurrentZoomY), 0.35);
    EXPECT_EQ(st.CurrentOriginX, 0);
    EXPECT_EQ(st.CurrentOriginY, 2970);

    // Scrolled: the origin follows the scroll position.
    p.sb.hpos = 35;
    p.sb.vpos = 351;
    p.box.SetScale();
    EXPECT_EQ(p.box.WindowOrgX, 100);
    EXPECT_EQ(p.box.WindowOrgY, 1967);  // round(2970 - 1002.86)
    EXPECT_EQ(p.box.dc.Mapping().WindowOrg, (TPoint{100, 1967}));
    EXPECT_EQ(st.CurrentOriginY, 1967);
}

TEST(VirtPntBox, Conversions) {
    // Zoom 0.35 without scrolling.
    Box box;
    box.SetParameter(true, 0, 0, 0, 0, 1.0L, nullptr);
    box.ZoomFactor = 0.35;
    box.PageHeight = 2970;
    box.SetScale();
    EXPECT_EQ(box.GetVirtY(350), 1970);
    EXPECT_EQ(box.GetVirtX(35), 100);
    EXPECT_EQ(box.GetVirtX(0), 0);
    EXPECT_EQ(box.GetVirtY(0), 2970);

    // With a scroll box the scroll position is subtracted first.
    MainPage p;
    p.sb.hpos = 35;
    p.sb.vpos = 350;
    p.box.SetScale();
    struct Case {
        int px, py;
        std::int32_t x, y;
    } cases[] = {{35, 350, 100, 1970}, {70, 700, 200, 970}, {36, 351, 103, 1967}};
    for (const Case& c : cases) {
        EXPECT_EQ(p.box.GetVirtX(c.px), c.x) << c.px;
        EXPECT_EQ(p.box.GetVirtY(c.py), c.y) << c.py;
    }
}

TEST(VirtPntBox, RectVollSichtbar) {
    MainPage p;
    // View: x 0 .. round(386 / 0.35) = 1103, y 2970 - round(480 / 0.35) = 1599 .. 2970.
    struct Case {
        TRect r;
        bool visible;
        const char* why;
    } cases[] = {
        {{100, 2900, 500, 2000}, true, "inside"},
        {{0, 2969, 1102, 1599}, true, "lower bounds included"},
        {{100, 2900, 1103, 2000}, false, "right edge on the far edge"},
        {{100, 2970, 500, 2000}, false, "top on the upper bound"},
        {{100, 2900, 500, 1598}, false, "bottom below the view"},
        {{-1, 2900, 500, 2000}, false, "left of the view"},
    };
    for (const Case& c : cases) EXPECT_EQ(p.box.RectVollSichtbar(c.r), c.visible) << c.why;
}

TEST(VirtPntBox, ScrollObjctSichtbar) {
    // h = round(480 / 0.35) div 2 = 685, w = round(386 / 0.35) div 2 = 551.
    struct Case {
        TRect r;
        int hpos, vpos;
        const char* why;
    } cases[] = {
        {{100, 1500, 500, 1400}, 0, 275, "below the view, near the left edge: x stays 0"},
        {{1000, 2900, 1103, 2800}, 157, -215, "right edge on the far edge scrolls"},
        {{2000, 800, 2050, 700}, 507, 520, "far right and down"},
    };
    for (const Case& c : cases) {
        MainPage p;  // unscrolled
        p.box.ScrollObjctSichtbar(c.r);
        EXPECT_EQ(p.sb.hpos, c.hpos) << c.why;
        EXPECT_EQ(p.sb.vpos, c.vpos) << c.why;
    }
    // A visible rectangle does not scroll.
    MainPage p;
    p.sb.hpos = 0;
    p.sb.vpos = 0;
    p.box.ScrollObjctSichtbar({100, 2900, 500, 2000});
    EXPECT_EQ(p.sb.hpos, 0);
    EXPECT_EQ(p.sb.vpos, 0);
    // Without a scroll box nothing happens.
    Box alone;
    alone.SetParameter(true, 0, 0, 0, 0, 1.0L, nullptr);
    alone.ScrollObjctSichtbar({100, 100, 200, 0});
}

TEST(VirtPntBox, DrawingStatePaintBoxReference) {
    auto box = std::make_unique<Box>();
    DrawingState().CurrentPaintBox = box.get();
    EXPECT_EQ(DrawingState().CurrentPaintBox->Canvas(), &box->dc);
    box.reset();  // a destroyed paint box is no longer the reference
    EXPECT_EQ(DrawingState().CurrentPaintBox, nullptr);
}
