// The drawing device base (mapping, selected objects) and the fixed-metrics device.
#include <gtest/gtest.h>

#include "core/device/FixedMetricsDevice.h"
#include "core/device/Rounding.h"

using namespace kd;
using Kind = FixedMetricsDevice::Kind;

TEST(Device, AnisotropicMapping) {
    FixedMetricsDevice dc;
    // Identity at the start.
    EXPECT_EQ(dc.LPtoDP({12, -7}), (TPoint{12, -7}));

    // The page mapping: window ext (1000, -1000), viewport ext (r, r), window org.
    DeviceMapping m;
    m.WindowExt = {1000, -1000};
    m.ViewportExt = {350, 350};
    m.WindowOrg = {0, 2970};
    dc.SetMapping(m);
    struct Case {
        TPoint logical, device;
    } cases[] = {
        {{0, 2970}, {0, 0}},      {{100, 2970}, {35, 0}},  {{0, 1970}, {0, 350}},
        {{2100, -30}, {735, 1050}}, {{-100, 3070}, {-35, -35}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dc.LPtoDP(c.logical), c.device) << c.logical.x << "," << c.logical.y;
        EXPECT_EQ(dc.DPtoLP(c.device), c.logical) << c.device.x << "," << c.device.y;
    }
    EXPECT_DOUBLE_EQ(dc.ScaleX(), 0.35);
    EXPECT_DOUBLE_EQ(dc.ScaleY(), -0.35);

    // The single setters return the old value; a zero extent is taken as 1.
    EXPECT_EQ(dc.SetWindowOrg(5, 6), (TPoint{0, 2970}));
    EXPECT_EQ(dc.SetViewportOrg(10, 20), (TPoint{0, 0}));
    EXPECT_EQ(dc.SetViewportExt(700, 0), (TSize{350, 350}));
    EXPECT_EQ(dc.Mapping().ViewportExt, (TSize{700, 1}));
    EXPECT_EQ(dc.SetWindowExt(1000, 1000), (TSize{1000, -1000}));
    const DevicePoint d = dc.LogicalToDevice(15, 1006);
    EXPECT_DOUBLE_EQ(d.x, 10 + 10 * 0.7);
    EXPECT_DOUBLE_EQ(d.y, 20 + 1000 * 0.001);
    // Every change of the mapping is recorded.
    EXPECT_EQ(dc.CallsOf(Kind::SetMapping).size(), 5u);
}

TEST(Device, SelectReturnsThePrevious) {
    FixedMetricsDevice dc;
    LogFont a;
    a.Height = 40;
    a.SetFace("Arial");
    LogFont b = a;
    b.Height = -20;
    EXPECT_EQ(dc.SelectFont(a), LogFont{});
    EXPECT_EQ(dc.SelectFont(b), a);
    EXPECT_EQ(dc.CurrentFont(), b);
    EXPECT_EQ(dc.SelectPen(NullPen()), BlackPen());
    EXPECT_EQ(dc.SelectPen(BlackPen()), NullPen());
    EXPECT_EQ(dc.SelectBrush(NullBrush()), WhiteBrush());
    EXPECT_EQ(dc.SetTextAlign(TA_BOTTOM | TA_CENTER), TA_LEFT | TA_TOP);
    EXPECT_EQ(dc.SetTextColor(RGB(1, 2, 3)), 0u);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SetROP2(R2_NOTXORPEN), R2_COPYPEN);
    EXPECT_EQ(dc.SetROP2(R2_COPYPEN), R2_NOTXORPEN);
    EXPECT_EQ(RGB(1, 2, 3), 0x00030201u);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3u);
}

TEST(Device, FixedMetrics) {
    struct Case {
        std::int32_t height;
        const char* text;
        TSize extent;
    } cases[] = {
        {40, "x", {20, 40}},       {40, "Hallo", {100, 40}}, {-40, "ab", {40, 40}},
        {35, "abc", {51, 35}},     // 35 / 2 = 17 per character
        {1, "abc", {0, 1}},        {0, "abc", {0, 0}},       {34, "", {0, 34}},
    };
    FixedMetricsDevice dc;
    for (const Case& c : cases) {
        LogFont f;
        f.Height = c.height;
        f.SetFace("Symbol");
        dc.SelectFont(f);
        EXPECT_EQ(dc.TextExtent(c.text), c.extent) << c.height << " " << c.text;
    }
    // The face, weight and escapement do not matter.
    LogFont g;
    g.Height = 40;
    g.Weight = 700;
    g.Escapement = 900;
    g.SetFace("Arial");
    EXPECT_EQ(FixedMetricsDevice::Measure(g, "abcd"), (TSize{80, 40}));
}

TEST(Device, FixedMetricsRecordsCalls) {
    FixedMetricsDevice dc;
    LogFont f;
    f.Height = 40;
    dc.SelectFont(f);
    dc.SetTextColor(RGB(0, 0, 128));
    dc.SetTextAlign(TA_BOTTOM);
    dc.SetBkMode(TRANSPARENT);
    dc.ClearCalls();

    dc.TextOut(10, 20, "a+b");
    dc.MoveTo(1, 2);
    dc.LineTo(3, 4);
    const TPoint pts[3] = {{0, 0}, {5, 5}, {10, 0}};
    dc.Polyline(pts, 3);
    dc.Polygon(pts, 3);
    dc.Rectangle(0, 10, 20, 0);
    dc.Ellipse(1, 11, 21, 1);
    dc.FillRect({2, 12, 22, 2}, BlackBrush());
    dc.PixelAnswer = RGB(0, 0, 0);
    EXPECT_EQ(dc.GetPixel(4, 5), RGB(0, 0, 0));

    const auto& c = dc.Calls();
    const Kind kinds[] = {Kind::TextOut, Kind::MoveTo, Kind::LineTo, Kind::Polyline, Kind::Polygon,
                          Kind::Rectangle, Kind::Ellipse, Kind::FillRect, Kind::GetPixel};
    ASSERT_EQ(c.size(), std::size(kinds));
    for (std::size_t i = 0; i < c.size(); ++i) EXPECT_EQ(c[i].kind, kinds[i]) << i;
    EXPECT_EQ(c[0].text, "a+b");
    EXPECT_EQ(c[0].points[0], (TPoint{10, 20}));
    EXPECT_EQ(c[0].font.Height, 40);
    EXPECT_EQ(c[0].color, RGB(0, 0, 128));
    EXPECT_EQ(c[0].align, TA_BOTTOM);
    EXPECT_EQ(c[0].bkMode, TRANSPARENT);
    EXPECT_EQ(c[2].points, (std::vector<TPoint>{{1, 2}, {3, 4}}));
    EXPECT_EQ(dc.CurrentPosition(), (TPoint{3, 4}));
    EXPECT_EQ(c[3].points.size(), 3u);
    EXPECT_EQ(c[5].points, (std::vector<TPoint>{{0, 10}, {20, 0}}));
    EXPECT_EQ(c[7].brush, BlackBrush());
    EXPECT_EQ(c[8].points[0], (TPoint{4, 5}));

    // Measurements can be left out of the record.
    dc.ClearCalls();
    dc.RecordMeasurements = false;
    dc.TextExtent("abc");
    EXPECT_TRUE(dc.Calls().empty());
    dc.RecordMeasurements = true;
    dc.TextExtent("abc");
    EXPECT_EQ(dc.CallsOf(Kind::TextExtent).size(), 1u);
}

TEST(Device, Capabilities) {
    FixedMetricsDevice dc;
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::HorzSize), 210);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::VertSize), 297);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::HorzRes), 2100);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::VertRes), 2970);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::LogPixelsX), 254);
    EXPECT_EQ(dc.GetPixel(0, 0), ClrInvalid);
}

TEST(Device, Rounding) {
    struct Case {
        Extended v;
        std::int32_t want;
    } cases[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {-2.5L, -2},
                 {2.4999L, 2}, {-2.5001L, -3}, {17.142857L, 17}, {1e30L, INT32_MAX}};
    for (const Case& c : cases) EXPECT_EQ(RoundEven(c.v), c.want) << double(c.v);
    struct M {
        std::int32_t a, b, c, want;
    } muldiv[] = {{255, 50, 100, 128}, {3, 50, 100, 2}, {-3, 50, 100, -2}, {40, 9, 10, 36},
                  {10, 1, 4, 3},       {-10, 1, 4, -3}, {7, 7, 0, -1}};
    for (const M& m : muldiv) EXPECT_EQ(MulDiv(m.a, m.b, m.c), m.want) << m.a << "*" << m.b << "/" << m.c;
}
