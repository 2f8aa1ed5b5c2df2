// Shapes: records, geometry, marks, point editing, drawing calls, lists by class name.
#include <gtest/gtest.h>

#include <limits>

#include <cmath>
#include <vector>

#include "core/Stream.h"
#include "core/device/FixedMetricsDevice.h"
#include "core/device/Rounding.h"
#include "core/device/VirtPntBox.h"
#include "core/typeset/Formen.h"

using namespace kd;
using Kind = FixedMetricsDevice::Kind;

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

std::shared_ptr<TStyleHandle> Pen(TColor c = RGB(10, 20, 30), std::int32_t w = 2) {
    return std::make_shared<TPenTyp>(PS_SOLID, c, w);
}
std::shared_ptr<TStyleHandle> PenBrush(TColor pc = RGB(1, 2, 3), TColor bc = RGB(4, 5, 6)) {
    return std::make_shared<TPenBrushTyp>(PS_SOLID, pc, 1, BS_SOLID, bc, 0);
}

// Sets the zoom the marks use, restoring it afterwards.
struct ZoomScope {
    Extended old;
    explicit ZoomScope(Extended z) : old(DrawingState().CurrentZoomX) {
        DrawingState().CurrentZoomX = z;
    }
    ~ZoomScope() { DrawingState().CurrentZoomX = old; }
};

std::vector<TPoint> Five() { return {{0, 0}, {10, 20}, {30, 5}, {40, 40}, {50, 10}}; }

} // namespace

TEST(Formen, RecordSizesAndRoundTrips) {
    TDLine line({1, 2}, {3, 4}, 7, Pen(), true);
    line.LayerNo = 3;
    line.LayerVisible = 0;
    TDRectangle rect({10, 50}, {60, 5}, 8, PenBrush(), true);
    auto pts = Five();
    TPolyLine poly(pts.data(), 5, 9, Pen(), true, true);
    TPolygon gon(pts.data(), 5, 10, PenBrush(), true, true);
    TnEck eck(pts.data(), 5, 11, PenBrush(), true, true, 100, 200, 1.5L, true);

    struct Case {
        const char* name;
        TDLine* obj;
        std::unique_ptr<TDLine> fresh;
        std::size_t size;
    } cases[] = {
        {"TDLine", &line, std::make_unique<TDLine>(), 44},
        {"TDRectangle", &rect, std::make_unique<TDRectangle>(), 56},
        {"TPolyLine", &poly, std::make_unique<TPolyLine>(), 4 + 5 * 8 + 12 + 16},
        {"TPolygon", &gon, std::make_unique<TPolygon>(), 4 + 5 * 8 + 12 + 28},
        {"TnEck", &eck, std::make_unique<TnEck>(), 4 + 5 * 8 + 12 + 28 + 8 + 10 + 1},
    };
    for (Case& c : cases) {
        const auto b = Bytes(*c.obj);
        EXPECT_EQ(b.size(), c.size) << c.name;
        ASSERT_TRUE(LoadFrom(*c.fresh, b)) << c.name;
        EXPECT_EQ(Bytes(*c.fresh), b) << c.name;
        EXPECT_EQ(c.fresh->Rect, c.obj->Rect) << c.name;
        EXPECT_EQ(c.fresh->Tag, c.obj->Tag) << c.name;
        EXPECT_EQ(c.fresh->OwnsStyle, 1) << c.name;
        // Every truncation fails cleanly.
        for (std::size_t n = 0; n < b.size(); ++n) {
            std::vector<std::uint8_t> part(b.begin(), b.begin() + long(n));
            auto t = CreateDrawingObject(c.obj->ClassName());
            ASSERT_TRUE(t) << c.name;
            EXPECT_FALSE(LoadFrom(*t, part)) << c.name << " " << n;
        }
    }
    EXPECT_EQ(cases[0].fresh->LayerNo, 3);
    EXPECT_EQ(cases[0].fresh->LayerVisible, 0u);
    auto* e = static_cast<TnEck*>(cases[4].fresh.get());
    EXPECT_EQ(e->OriginX, 100);
    EXPECT_EQ(e->OriginY, 200);
    EXPECT_EQ(e->Scale, 1.5L);
    EXPECT_EQ(e->Relief, 1);
    EXPECT_EQ(e->PointCount(), 5);
}

TEST(Formen, LineRecordLayout) {
    TDLine line({-1, 2}, {3, 4}, 0x01020304, std::make_shared<TPenTyp>(PS_NULL, 0xABCDEF, 3),
                false);
    const std::vector<std::uint8_t> want = {
        0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0,  // rect
        4,    3,    2,    1,                                          // tag
        0,    0,    0,    0,    1, 0, 0, 0,                           // layer, visible
        5,    0,    0,    0,    3, 0, 0, 0, 3, 0, 0, 0, 0xEF, 0xCD, 0xAB, 0};
    EXPECT_EQ(Bytes(line), want);
}

TEST(Formen, PolylineCountsAreChecked) {
    auto pts = Five();
    TPolyLine poly(pts.data(), 5, 1, Pen(), true, true);
    auto b = Bytes(poly);
    struct Case {
        std::int32_t count;
        const char* why;
    } cases[] = {{-1, "negative"}, {101, "more than a polyline holds"}, {1000000, "huge"},
                 {6, "more points than the record has"}};
    for (const Case& c : cases) {
        auto bad = b;
        for (int i = 0; i < 4; ++i) bad[std::size_t(i)] = std::uint8_t(std::uint32_t(c.count) >> (8 * i));
        TPolyLine t(pts.data(), 2, 77, Pen(), true, true);
        EXPECT_FALSE(LoadFrom(t, bad)) << c.why;
        EXPECT_EQ(t.PointCount(), 2) << "unchanged: " << c.why;
        EXPECT_EQ(t.Tag, 77u) << c.why;
    }
    // 100 points are fine.
    std::vector<TPoint> many(100);
    for (int i = 0; i < 100; ++i) many[std::size_t(i)] = {i, -i};
    TPolyLine big(many.data(), 100, 1, Pen(), true, true);
    TPolyLine back;
    ASSERT_TRUE(LoadFrom(back, Bytes(big)));
    EXPECT_EQ(back.PointCount(), 100);
    EXPECT_EQ(back.Rect, (TRect{0, 0, 99, -99}));
    // The constructor keeps at most 100.
    std::vector<TPoint> tooMany(150);
    TPolyLine capped(tooMany.data(), 150, 1, Pen(), true, true);
    EXPECT_EQ(capped.PointCount(), 100);
}

TEST(Formen, LineGeometry) {
    struct Case {
        const char* name;
        TRect start;
        void (*op)(TDLine&);
        TRect want;
    } cases[] = {
        {"MovePos keeps the second point's offset", {10, 50, 30, 20},
         [](TDLine& l) { l.MovePos(100, 200); }, {100, 200, 120, 170}},
        {"MovePosRel", {10, 50, 30, 20}, [](TDLine& l) { l.MovePosRel(-5, 7); },
         {5, 57, 25, 27}},
        {"Zoom 2", {10, 50, 30, 20}, [](TDLine& l) { l.Zoom(2); }, {10, 80, 50, 20}},
        {"Zoom 2 with Left > Right keeps Right", {30, 20, 10, 50},
         [](TDLine& l) { l.Zoom(2); }, {50, 20, 10, 80}},
        {"Zoom 0.5 rounds to even", {0, 0, 5, 3}, [](TDLine& l) { l.Zoom(0.5L); },
         {0, 0, 2, 2}},
        {"Stretch moves Left and Top", {10, 50, 30, 20},
         [](TDLine& l) { l.Stretch(1, {0, 60, 30, 20}); }, {0, 60, 30, 20}},
        {"Stretch moves Right when Left already matches", {10, 50, 30, 20},
         [](TDLine& l) { l.Stretch(3, {10, 50, 40, 10}); }, {10, 50, 40, 10}},
        {"Stretch normalises the rectangle", {10, 50, 30, 20},
         [](TDLine& l) { l.Stretch(1, {30, 20, 0, 60}); }, {0, 60, 30, 20}},
        {"Stretch of a reversed line", {30, 20, 10, 50},
         [](TDLine& l) { l.Stretch(1, {10, 50, 40, 20}); }, {40, 20, 10, 50}},
        {"Stretch of a reversed line whose Left is r.Right", {40, 20, 10, 50},
         [](TDLine& l) { l.Stretch(1, {5, 50, 40, 20}); }, {40, 20, 5, 50}},
    };
    for (const Case& c : cases) {
        TDLine l({c.start.Left, c.start.Top}, {c.start.Right, c.start.Bottom}, 0, Pen(), true);
        c.op(l);
        EXPECT_EQ(l.Rect, c.want) << c.name;
    }
}

TEST(Formen, CornerMarks) {
    ZoomScope z(0.35L);  // d = round(6 / 0.35) = round(17.14) = 17
    EXPECT_EQ(MarkSize(), 17);
    TDLine l({100, 200}, {300, 50}, 0, Pen(), true);
    struct Case {
        std::int32_t x, y;
        int mark;
    } cases[] = {
        {83, 200, 1},  {99, 216, 1},  {100, 200, 0},  // the right edge of mark 1 is excluded
        {300, 200, 2}, {316, 216, 2}, {317, 200, 0}, {300, 49, 3},  {316, 33, 3},
        {300, 50, 0},  {83, 33, 4},   {99, 49, 4},   {82, 40, 0},   {200, 120, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(l.GetModifyClip(c.x, c.y), c.mark) << c.x << "," << c.y;

    // A reversed line has the same marks (the rectangle is normalised).
    TDLine r({300, 50}, {100, 200}, 0, Pen(), true);
    EXPECT_EQ(r.GetModifyClip(90, 210), 1);

    FixedMetricsDevice dc;
    dc.SelectPen({PS_DOT, 3, 3, RGB(1, 1, 1)});
    dc.ClearCalls();
    l.DrawModifyRect(dc);
    auto lines = dc.CallsOf(Kind::Polyline);
    ASSERT_EQ(lines.size(), 4u);
    for (const auto& c : lines) {
        EXPECT_EQ(c.rop, R2_NOTXORPEN);
        EXPECT_EQ(c.pen, BlackPen());
        EXPECT_EQ(c.points.size(), 5u);
        EXPECT_EQ(c.points.front(), c.points.back());
    }
    EXPECT_EQ(lines[0].points[0], (TPoint{83, 217}));
    EXPECT_EQ(lines[0].points[2], (TPoint{100, 200}));
    EXPECT_EQ(dc.ROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.CurrentPen(), (LogPen{PS_DOT, 3, 3, RGB(1, 1, 1)}));
}

TEST(Formen, DrawCallsAndLayers) {
    FixedMetricsDevice dc;
    const LogPen before = dc.CurrentPen();
    const LogBrush beforeB = dc.CurrentBrush();
    TDLine l({1, 2}, {3, 4}, 0, Pen(RGB(9, 9, 9), 4), true);
    l.Draw(dc);
    auto lt = dc.CallsOf(Kind::LineTo);
    ASSERT_EQ(lt.size(), 1u);
    EXPECT_EQ(lt[0].points, (std::vector<TPoint>{{1, 2}, {3, 4}}));
    EXPECT_EQ(lt[0].pen, (LogPen{PS_SOLID, 4, 4, RGB(9, 9, 9)}));
    EXPECT_EQ(dc.CurrentPen(), before);

    TDRectangle r({10, 50}, {60, 5}, 0, PenBrush(RGB(1, 1, 1), RGB(2, 2, 2)), true);
    r.Draw(dc);
    auto rc = dc.CallsOf(Kind::Rectangle);
    ASSERT_EQ(rc.size(), 1u);
    EXPECT_EQ(rc[0].points, (std::vector<TPoint>{{10, 50}, {60, 5}}));
    EXPECT_EQ(rc[0].brush.Color, RGB(2, 2, 2));
    EXPECT_EQ(rc[0].pen.Color, RGB(1, 1, 1));
    EXPECT_EQ(dc.CurrentBrush(), beforeB);

    auto pts = Five();
    TPolyLine p(pts.data(), 5, 0, Pen(), true, true);
    TPolygon g(pts.data(), 5, 0, PenBrush(), true, true);
    p.Draw(dc);
    g.Draw(dc);
    ASSERT_EQ(dc.CallsOf(Kind::Polyline).size(), 1u);
    ASSERT_EQ(dc.CallsOf(Kind::Polygon).size(), 1u);
    EXPECT_EQ(dc.CallsOf(Kind::Polygon)[0].points, pts);

    // Hidden layer: nothing drawn; TnEck ignores layers.
    dc.ClearCalls();
    for (TDLine* s : std::initializer_list<TDLine*>{&l, &r, &p, &g}) {
        s->LayerNo = 2;
        s->LayerVisible = 0;
        s->Draw(dc);
        s->LayerNo = 0;  // layer 0: no layer, always drawn
        s->Draw(dc);
    }
    EXPECT_EQ(dc.CallsOf(Kind::LineTo).size(), 1u);
    EXPECT_EQ(dc.CallsOf(Kind::Rectangle).size(), 1u);
    EXPECT_EQ(dc.CallsOf(Kind::Polyline).size(), 1u);
    EXPECT_EQ(dc.CallsOf(Kind::Polygon).size(), 1u);
    TnEck e(pts.data(), 5, 0, PenBrush(), true, true, 0, 0, 1, false);
    e.LayerNo = 2;
    e.LayerVisible = 0;
    e.Draw(dc);
    EXPECT_EQ(dc.CallsOf(Kind::Polygon).size(), 2u);
}

TEST(Formen, NEckDrawing) {
    const std::vector<TPoint> local = {{0, 0}, {3, 0}, {3, 5}};
    TnEck e(local.data(), 3, 24, PenBrush(RGB(200, 0, 0), RGB(0, 0, 255)), true, false, 100, 50,
            2.5L, false);
    EXPECT_EQ(e.DrawnPoints(), (std::vector<TPoint>{{100, 50}, {108, 50}, {108, 62}}));
    FixedMetricsDevice dc;
    e.Draw(dc);
    auto g = dc.CallsOf(Kind::Polygon);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].points, e.DrawnPoints());
    EXPECT_EQ(g[0].brush.Color, RGB(0, 0, 255));

    dc.ClearCalls();
    e.Relief = 1;
    e.Draw(dc);
    g = dc.CallsOf(Kind::Polygon);
    ASSERT_EQ(g.size(), 3u);
    struct Want {
        std::int32_t dx, dy, width;
        TColor color;
    } want[3] = {{-2, 2, 5, RGB(255, 128, 128)}, {2, -2, 5, RGB(100, 0, 0)}, {0, 0, 4, RGB(200, 0, 0)}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g[std::size_t(i)].points[0], (TPoint{100 + want[i].dx, 50 + want[i].dy})) << i;
        EXPECT_EQ(g[std::size_t(i)].pen, (LogPen{PS_SOLID, want[i].width, want[i].width, want[i].color})) << i;
        EXPECT_EQ(g[std::size_t(i)].brush, (LogBrush{BS_SOLID, RGB(200, 0, 0), 0})) << i;
    }
    EXPECT_EQ(dc.CurrentBrush(), WhiteBrush());
    EXPECT_EQ(dc.CurrentPen(), BlackPen());
}

// Coordinates at the edge of the 32-bit range (a scale that saturates the rounding, an
// origin at the limit) stay at the edge instead of wrapping to the other side.
TEST(Formen, NEckAtTheEdgeOfTheRangeClamps) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const std::vector<TPoint> local = {{0, 0}, {1, 0}, {-1, -1}};
    struct Fall {
        std::int32_t ox, oy;
        Extended scale;
        std::vector<TPoint> gezeichnet;
    };
    const Fall faelle[] = {
        {kMax, kMin, 1, {{kMax, kMin}, {kMax, kMin}, {kMax - 1, kMin}}},
        {10, -10, 1e30L, {{10, -10}, {kMax, -10}, {kMin + 10, kMin}}},
        {kMax - 1, kMin + 1, 1e30L, {{kMax - 1, kMin + 1}, {kMax, kMin + 1}, {-2, kMin}}},
    };
    for (const auto& f : faelle) {
        TnEck e(local.data(), 3, 0, PenBrush(), true, false, f.ox, f.oy, f.scale, true);
        EXPECT_EQ(e.DrawnPoints(), f.gezeichnet);
        FixedMetricsDevice dc;
        e.Draw(dc);
        const auto g = dc.CallsOf(Kind::Polygon);
        ASSERT_EQ(g.size(), 3u);
        // The first relief pass moves left and up: x - 2 and y + 2, at most to the edge.
        const auto rand = [](std::int64_t v) { return std::int32_t(std::clamp<std::int64_t>(v, kMin, kMax)); };
        for (std::size_t i = 0; i < 3; ++i) {
            const TPoint p = f.gezeichnet[i];
            EXPECT_EQ(g[0].points[i], (TPoint{rand(p.x - 2LL), rand(p.y + 2LL)}));
            EXPECT_EQ(g[1].points[i], (TPoint{rand(p.x + 2LL), rand(p.y - 2LL)}));
        }
    }
}

TEST(Formen, PolylineGeometry) {
    auto pts = Five();
    TPolyLine p(pts.data(), 5, 0, Pen(), true, true);
    EXPECT_EQ(p.Rect, (TRect{0, 40, 50, 0}));

    p.MovePos(100, 100);  // shift by (100, 60)
    EXPECT_EQ(p.Rect, (TRect{100, 100, 150, 60}));
    EXPECT_EQ(p.Points[0], (TPoint{100, 60}));
    EXPECT_EQ(p.Points[3], (TPoint{140, 100}));
    p.MovePosRel(-100, -60);
    EXPECT_EQ(p.Rect, (TRect{0, 40, 50, 0}));
    EXPECT_EQ(p.Points, pts);

    p.Zoom(2);
    EXPECT_EQ(p.Rect, (TRect{0, 80, 100, 0}));
    EXPECT_EQ(p.Points[1], (TPoint{20, 40}));
    EXPECT_EQ(p.Points[4], (TPoint{100, 20}));

    // Stretch anchored at Left/Top: points scale away from (Left, Top).
    TPolyLine s(pts.data(), 5, 0, Pen(), true, true);
    s.Stretch(3, {0, 40, 100, -40});
    EXPECT_EQ(s.Rect, (TRect{0, 40, 100, -40}));
    EXPECT_EQ(s.Points[0], (TPoint{0, -40}));
    EXPECT_EQ(s.Points[3], (TPoint{80, 40}));
    EXPECT_EQ(s.Points[4], (TPoint{100, -20}));
    // Anchored at Right/Bottom.
    TPolyLine t(pts.data(), 5, 0, Pen(), true, true);
    t.Stretch(1, {-50, 80, 50, 0});
    EXPECT_EQ(t.Rect, (TRect{-50, 80, 50, 0}));
    EXPECT_EQ(t.Points[0], (TPoint{-50, 0}));
    EXPECT_EQ(t.Points[3], (TPoint{30, 80}));

    // A flat box does not stretch.
    const std::vector<TPoint> flat = {{0, 5}, {10, 5}, {20, 5}};
    TPolyLine f(flat.data(), 3, 0, Pen(), true, true);
    f.Stretch(1, {0, 50, 40, 0});
    EXPECT_EQ(f.Rect, (TRect{0, 5, 20, 5}));
    EXPECT_EQ(f.Points, flat);
}

TEST(Formen, PointMarks) {
    ZoomScope z(0.35L);  // h = 17 div 2 = 8
    auto pts = Five();
    TPolyLine p(pts.data(), 5, 0, Pen(), true, true);
    struct Case {
        std::int32_t x, y;
        int mark;
    } cases[] = {{0, 0, 1},   {-8, -8, 1}, {7, 7, 1},  {8, 0, 0},   {10, 20, 2},
                 {37, 44, 4}, {50, 10, 5}, {58, 10, 0}, {25, 25, 0}};
    for (const Case& c : cases) EXPECT_EQ(p.GetModifyClip(c.x, c.y), c.mark) << c.x << "," << c.y;
    FixedMetricsDevice dc;
    p.DrawModifyRect(dc);
    auto m = dc.CallsOf(Kind::Polyline);
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[1].points[0], (TPoint{2, 28}));
    EXPECT_EQ(m[1].points[2], (TPoint{18, 12}));
    EXPECT_EQ(m[1].rop, R2_NOTXORPEN);

    // TnEck: the corner marks for drawing, the point squares for hit testing.
    TnEck e(pts.data(), 5, 0, PenBrush(), true, true, 0, 0, 1, false);
    dc.ClearCalls();
    e.DrawModifyRect(dc);
    EXPECT_EQ(dc.CallsOf(Kind::Polyline).size(), 4u);
    EXPECT_EQ(e.GetModifyClip(10, 20), 2);
}

TEST(Formen, PointEditing) {
    auto pts = Five();
    TPolyLine p(pts.data(), 5, 0, Pen(), true, true);
    ASSERT_TRUE(p.InsertPoint(0));
    ASSERT_EQ(p.PointCount(), 6);
    EXPECT_EQ(p.Points[4], p.Points[5]);
    p.DeleteDoublePoint();
    EXPECT_EQ(p.PointCount(), 5);
    EXPECT_EQ(p.Points, pts);

    ASSERT_TRUE(p.InsertPoint(2));
    EXPECT_EQ(p.Points[2], (TPoint{10, 20}));
    EXPECT_FALSE(p.InsertPoint(7));  // past the end
    p.Points[2] = {60, 70};
    p.GetRect();
    EXPECT_EQ(p.Rect, (TRect{0, 70, 60, 0}));
    ASSERT_TRUE(p.DeletePoint(3));
    EXPECT_EQ(p.Rect, (TRect{0, 40, 50, 0}));
    ASSERT_TRUE(p.DeletePoint(0));  // the last point
    EXPECT_EQ(p.PointCount(), 4);
    EXPECT_EQ(p.Points.back(), (TPoint{40, 40}));
    EXPECT_FALSE(p.DeletePoint(5));
    ASSERT_TRUE(p.DeletePoint(1));
    ASSERT_TRUE(p.DeletePoint(1));
    EXPECT_EQ(p.PointCount(), 2);
    EXPECT_FALSE(p.DeletePoint(1));  // fewer than 3 points
    EXPECT_EQ(p.PointCount(), 2);

    std::vector<TPoint> hundred(100, TPoint{1, 1});
    TPolyLine full(hundred.data(), 100, 0, Pen(), true, true);
    EXPECT_FALSE(full.InsertPoint(1));
    EXPECT_EQ(full.PointCount(), 100);

    // A polygon whose last point equals its first loses the last point.
    std::vector<TPoint> ring = {{0, 0}, {10, 0}, {10, 10}, {0, 0}};
    TPolygon g(ring.data(), 4, 0, PenBrush(), true, true);
    g.DeleteDoublePoint();
    EXPECT_EQ(g.PointCount(), 3);
    EXPECT_EQ(g.Points.back(), (TPoint{10, 10}));
    // A polyline keeps it.
    TPolyLine q(ring.data(), 4, 0, Pen(), true, true);
    q.DeleteDoublePoint();
    EXPECT_EQ(q.PointCount(), 4);
    // Two points: nothing is removed.
    std::vector<TPoint> two = {{1, 1}, {1, 1}};
    TPolygon t(two.data(), 2, 0, PenBrush(), true, true);
    t.DeleteDoublePoint();
    EXPECT_EQ(t.PointCount(), 2);
}

TEST(Formen, NEckGeometry) {
    auto pts = Five();
    TnEck e(pts.data(), 5, 0, PenBrush(), true, true, 30, 10, 1, false);
    e.MovePos(100, 100);  // box (0,40)-(50,0) -> Left 100, Top 100
    EXPECT_EQ(e.OriginX, 130);
    EXPECT_EQ(e.OriginY, 70);
    EXPECT_EQ(e.Rect, (TRect{100, 100, 150, 60}));
    e.MovePosRel(-100, -60);
    EXPECT_EQ(e.OriginX, 30);
    EXPECT_EQ(e.OriginY, 10);
    EXPECT_EQ(e.Points, pts);

    e.Stretch(3, {0, 40, 100, -40});
    EXPECT_EQ(e.OriginX, 60);   // 0 + round(2 * 30)
    EXPECT_EQ(e.OriginY, -20);  // -40 + round(2 * (10 - 0))
    EXPECT_EQ(e.Rect, (TRect{0, 40, 100, -40}));
    EXPECT_EQ(e.Scale, 1.0L);

    const std::vector<TPoint> flat = {{0, 5}, {10, 5}};
    TnEck f(flat.data(), 2, 0, PenBrush(), true, true, 7, 8, 1, false);
    f.Stretch(1, {0, 50, 40, 0});
    EXPECT_EQ(f.OriginX, 7);
    EXPECT_EQ(f.OriginY, 8);

    // A copy of a TnEck is a plain polygon with the local points.
    e.LayerNo = 4;
    e.LayerVisible = 0;
    auto c = e.Copy();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ClassName(), "TPolygon");
    EXPECT_EQ(static_cast<TPolygon&>(*c).Points, e.Points);
    EXPECT_EQ(c->LayerNo, 4);
    EXPECT_EQ(c->LayerVisible, 1u);
}

TEST(Formen, CopyAndChangeColor) {
    auto style = PenBrush(RGB(1, 1, 1), RGB(2, 2, 2));
    TDRectangle r({0, 10}, {10, 0}, 42, style, false);
    r.LayerNo = 5;
    r.LayerVisible = 0;
    auto c = r.Copy();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ClassName(), "TDRectangle");
    EXPECT_EQ(c->Tag, 42u);
    EXPECT_EQ(c->LayerNo, 5);
    EXPECT_EQ(c->LayerVisible, 1u);
    EXPECT_EQ(c->OwnsStyle, 1);
    EXPECT_NE(c->Style.get(), r.Style.get());
    c->ChangeColor(RGB(7, 7, 7));
    EXPECT_EQ(c->StylePen().Color, RGB(7, 7, 7));
    EXPECT_EQ(c->StyleBrush()->Color, RGB(7, 7, 7));
    EXPECT_EQ(r.StylePen().Color, RGB(1, 1, 1));  // the original keeps its colour

    // A shared style recolours every shape that uses it.
    TDLine a({0, 0}, {1, 1}, 0, style, false);
    r.ChangeColor(RGB(3, 3, 3));
    EXPECT_EQ(a.StylePen().Color, RGB(3, 3, 3));

    auto pts = Five();
    TPolyLine p(pts.data(), 5, 9, Pen(), true, false);
    auto pc = p.Copy();
    ASSERT_TRUE(pc);
    auto& pp = static_cast<TPolyLine&>(*pc);
    EXPECT_EQ(pp.Points, pts);
    EXPECT_EQ(pp.OwnsPoints, 1);
    pp.Points[0] = {99, 99};
    EXPECT_EQ(p.Points[0], (TPoint{0, 0}));
}

namespace {
struct Invalidations : TInvalidateTarget {
    std::vector<TRect> rects;
    void InvalidateLogicalRect(const TRect& r, bool erase) override {
        EXPECT_TRUE(erase);
        rects.push_back(r);
    }
};
} // namespace

TEST(Formen, RedrawRect) {
    TDLine l({30, 10}, {10, 50}, 0, Pen(), true);
    Invalidations inv;
    l.RedrawRect(inv);
    ASSERT_EQ(inv.rects.size(), 1u);
    EXPECT_EQ(inv.rects[0], (TRect{10, 50, 30, 10}));
}

TEST(Formen, T3D) {
    T3D t;
    t.SetOrigin(100, 200);
    t.SetAngle(0.5L, 0.3L);
    const Extended ca = std::cos(0.5L), sa = std::sin(0.5L), cb = std::cos(0.3L),
                   sb = std::sin(0.3L), ta = std::tan(0.5L), tb = std::tan(0.3L);
    EXPECT_EQ(t.GetX(100, 50), RoundEven(100 * ca + 50 * cb) + 100);
    EXPECT_EQ(t.GetY(100, 20, 50), 200 + 20 - RoundEven(100 * sa - 50 * sb));
    EXPECT_EQ(t.Get3DXYo0(300, 50), RoundEven((300 - 50 * cb - 100) / ca));
    EXPECT_EQ(t.Get3DZYo0(300, 50), RoundEven((300 - 50 * ca - 100) / cb));
    EXPECT_EQ(t.Get3DXL(100), RoundEven(100 * tb / (tb + ta) / ca));
    EXPECT_EQ(t.Get3DZL(100), RoundEven(100 * ta / (tb + ta) / cb));
    EXPECT_EQ(t.Get3DXvonY(150), RoundEven((200 - 150) / sa));
    // With alpha 0 and beta 0 a point stays put horizontally.
    T3D flat;
    EXPECT_EQ(flat.GetX(10, 5), 15);
    EXPECT_EQ(flat.GetY(10, 7, 5), 7);
}

TEST(Formen, ListsByClassName) {
    TCList<TDLine> list;
    auto pts = Five();
    list.Add(std::make_unique<TDLine>(TPoint{1, 2}, TPoint{3, 4}, 1, Pen(), true));
    list.Add(std::make_unique<TDRectangle>(TPoint{1, 20}, TPoint{30, 4}, 2, PenBrush(), true));
    list.Add(std::make_unique<TPolyLine>(pts.data(), 5, 3, Pen(), true, true));
    list.Add(std::make_unique<TPolygon>(pts.data(), 5, 4, PenBrush(), true, true));
    list.Add(std::make_unique<TnEck>(pts.data(), 5, 5, PenBrush(), true, true, 1, 2, 3, false));
    MemorySink sink;
    {
        BufferedWriter w(sink);
        StoreList(w, list);
    }
    const auto& b = sink.Bytes();
    // count, then "TDLine" as a filer string (kind 6, length 6).
    ASSERT_GE(b.size(), 12u);
    EXPECT_EQ(b[0], 5);
    EXPECT_EQ(b[4], 6);
    EXPECT_EQ(b[5], 6);
    EXPECT_EQ(std::string(b.begin() + 6, b.begin() + 12), "TDLine");

    TCList<TDLine> back;
    back.Add(std::make_unique<TDLine>(99));  // emptied by Load
    {
        MemorySource src(b.data(), b.size());
        BufferedReader r(src);
        ASSERT_TRUE(LoadList(r, back));
    }
    ASSERT_EQ(back.Count(), 5);
    const char* names[] = {"TDLine", "TDRectangle", "TPolyLine", "TPolygon", "TnEck"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(back[i]->ClassName(), names[i]);
        EXPECT_EQ(back[i]->Tag, std::uint32_t(i + 1));
    }
    MemorySink again;
    {
        BufferedWriter w(again);
        StoreList(w, back);
    }
    EXPECT_EQ(again.Bytes(), b);

    // Class lookup ignores letter case.
    EXPECT_TRUE(CreateDrawingObject("tdrectangle"));
    EXPECT_TRUE(CreateDrawingObject("TNECK"));
    EXPECT_FALSE(CreateDrawingObject("TGibtEsNicht"));

    // An unknown class: Load fails, the items read so far stay.
    auto bad = b;
    // The second item's name starts after the first item: 4 + 1 + 1 + 6 + 44.
    const std::size_t at = 4 + 8 + 44;
    ASSERT_EQ(bad[at], 6);
    ASSERT_EQ(bad[at + 1], 11);
    bad[at + 2] = 'X';
    {
        MemorySource src(bad.data(), bad.size());
        BufferedReader r(src);
        TCList<TDLine> part;
        EXPECT_FALSE(LoadList(r, part));
        EXPECT_EQ(part.Count(), 1);
    }
    // Truncated lists and impossible counts fail cleanly.
    for (std::size_t n : {std::size_t(0), std::size_t(3), std::size_t(20), b.size() - 1}) {
        MemorySource src(b.data(), n);
        BufferedReader r(src);
        TCList<TDLine> part;
        EXPECT_FALSE(LoadList(r, part)) << n;
    }
    const std::vector<std::uint8_t> negative = {0xFF, 0xFF, 0xFF, 0xFF};
    MemorySource src(negative.data(), negative.size());
    BufferedReader r(src);
    TCList<TDLine> none;
    EXPECT_FALSE(LoadList(r, none));

    // A typed list refuses items of another type.
    MemorySource src2(b.data(), b.size());
    BufferedReader r2(src2);
    TCList<TPolyLine> polys;
    EXPECT_FALSE(LoadList(r2, polys));
    EXPECT_EQ(polys.Count(), 0);
}

TEST(Formen, RegisteredClassesLoad) {
    struct TMyShape : TDRectangle {
        std::string_view ClassName() const override { return "TMyShape"; }
    };
    RegisterDrawingClass("TMyShape", [] { return std::make_unique<TMyShape>(); });
    TCList<TDLine> list;
    list.Add(std::make_unique<TMyShape>());
    MemorySink sink;
    {
        BufferedWriter w(sink);
        StoreList(w, list);
    }
    MemorySource src(sink.Bytes().data(), sink.Bytes().size());
    BufferedReader r(src);
    TCList<TDLine> back;
    ASSERT_TRUE(LoadList(r, back));
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back[0]->ClassName(), "TMyShape");
}
