#include "core/typeset/Formen.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <new>

#include "core/device/Rounding.h"

namespace kd {

namespace {

// Selects the style's brush when it has one; returns whether it did.
bool SelectStyleBrush(Device& dc, const TDLine& s, LogBrush& old) {
    if (const LogBrush* b = s.StyleBrush()) {
        old = dc.SelectBrush(*b);
        return true;
    }
    return false;
}

Extended AbsE(Extended v) { return v < 0 ? -v : v; }

} // namespace

// ---- TDRectangle --------------------------------------------------------------------

bool TDRectangle::Load(BufferedReader& r) {
    TRect rect;
    std::uint32_t tag, visible;
    std::int32_t layer;
    auto style = std::make_shared<TPenBrushTyp>();
    if (!LoadBase(r, rect, tag, layer, visible) || !style->Load(r)) return false;
    Rect = rect;
    Tag = tag;
    LayerNo = layer;
    LayerVisible = visible;
    Style = std::move(style);
    OwnsStyle = 1;
    return true;
}

namespace {
// The pen-and-brush record of a style (a pen-only style is written with a zero brush).
void StorePenBrush(BufferedWriter& w, const TDLine& s) {
    TPenBrushTyp pb;
    if (const LogBrush* b = s.StyleBrush()) pb.Brush = *b;
    pb.Pen->Pen = s.StylePen();
    pb.Store(w);
}
} // namespace

void TDRectangle::Store(BufferedWriter& w) const {
    StoreBase(w);
    StorePenBrush(w, *this);
}

void TDRectangle::Draw(Device& dc) {
    if (!Visible()) return;
    const LogPen oldPen = dc.SelectPen(StylePen());
    LogBrush oldBrush;
    const bool brush = SelectStyleBrush(dc, *this, oldBrush);
    dc.Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    if (brush) dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

std::unique_ptr<TDLine> TDRectangle::Copy() const {
    auto c = std::make_unique<TDRectangle>(Tag);
    CopyBaseTo(*c);
    return c;
}

// ---- TPolyLine ----------------------------------------------------------------------

TPolyLine::TPolyLine(const TPoint* pts, int count, std::uint32_t tag,
                     std::shared_ptr<TStyleHandle> style, bool ownsStyle, bool ownsPoints)
    : TDLine(tag) {
    Style = std::move(style);
    OwnsStyle = ownsStyle ? 1 : 0;
    OwnsPoints = ownsPoints ? 1 : 0;
    if (pts && count > 0) Points.assign(pts, pts + std::min(count, MaxPoints));
    GetRect();
}

void TPolyLine::GetRect() {
    if (Points.empty()) {
        Rect = {};
        return;
    }
    TRect r{Points[0].x, Points[0].y, Points[0].x, Points[0].y};
    for (const TPoint& p : Points) {
        r.Left = std::min(r.Left, p.x);
        r.Right = std::max(r.Right, p.x);
        r.Top = std::max(r.Top, p.y);
        r.Bottom = std::min(r.Bottom, p.y);
    }
    Rect = r;
}

bool TPolyLine::LoadStyle(BufferedReader& r) {
    auto pen = std::make_shared<TPenTyp>();
    if (!pen->Load(r)) return false;
    Style = std::move(pen);
    OwnsStyle = 1;
    return true;
}

void TPolyLine::StoreStyle(BufferedWriter& w) const {
    TPenTyp pen;
    pen.Pen = StylePen();
    pen.Store(w);
}

bool TPolyLine::Load(BufferedReader& r) {
    std::int32_t count;
    if (!r.ReadI32(count)) return false;
    if (count < 0 || count > MaxPoints) return false;  // more than a polyline can hold
    std::vector<TPoint> pts(static_cast<std::size_t>(count));
    for (TPoint& p : pts)
        if (!r.ReadI32(p.x) || !r.ReadI32(p.y)) return false;
    std::uint32_t tag, visible;
    std::int32_t layer;
    if (!r.ReadU32(tag) || !r.ReadI32(layer) || !r.ReadU32(visible)) return false;
    if (!LoadStyle(r)) return false;
    Points = std::move(pts);
    Tag = tag;
    LayerNo = layer;
    LayerVisible = visible;
    OwnsPoints = 1;
    GetRect();
    return true;
}

void TPolyLine::Store(BufferedWriter& w) const {
    w.WriteI32(PointCount());
    for (const TPoint& p : Points) {
        w.WriteI32(p.x);
        w.WriteI32(p.y);
    }
    w.WriteU32(Tag);
    w.WriteI32(LayerNo);
    w.WriteU32(LayerVisible);
    StoreStyle(w);
}

void TPolyLine::Draw(Device& dc) {
    if (!Visible()) return;
    const LogPen old = dc.SelectPen(StylePen());
    dc.Polyline(Points.data(), PointCount());
    dc.SelectPen(old);
}

void TPolyLine::MovePos(std::int32_t x, std::int32_t y) {
    const std::int32_t dx = x - Rect.Left, dy = y - Rect.Top;
    for (TPoint& p : Points) {
        p.x += dx;
        p.y += dy;
    }
    const std::int32_t w = std::abs(Rect.Right - Rect.Left);
    const std::int32_t h = std::abs(Rect.Top - Rect.Bottom);
    Rect.Left = x;
    Rect.Top = y;
    Rect.Right = x + w;
    Rect.Bottom = y - h;
}

void TPolyLine::MovePosRel(std::int32_t dx, std::int32_t dy) {
    for (TPoint& p : Points) {
        p.x += dx;
        p.y += dy;
    }
    TDLine::MovePosRel(dx, dy);
}

void TPolyLine::Stretch(int /*handle*/, const TRect& rIn) {
    const std::int32_t w = std::abs(Rect.Right - Rect.Left);
    const std::int32_t h = std::abs(Rect.Top - Rect.Bottom);
    if (w < 1 || h < 1) return;
    const TRect r = NormalizeRect(rIn);
    const Extended sx = AbsE(Extended(r.Right) - r.Left) / w;
    const Extended sy = AbsE(Extended(r.Top) - r.Bottom) / h;
    for (TPoint& p : Points) {
        if (r.Left == Rect.Left) p.x = Rect.Left + RoundEven((p.x - Rect.Left) * sx);
        else p.x = Rect.Right + RoundEven((p.x - Rect.Right) * sx);
        if (r.Top == Rect.Top) p.y = Rect.Top + RoundEven((p.y - Rect.Top) * sy);
        else p.y = Rect.Bottom + RoundEven((p.y - Rect.Bottom) * sy);
    }
    StretchRect(r);
}

void TPolyLine::Zoom(Extended f) {
    for (TPoint& p : Points) {
        p.x = Rect.Left + RoundEven((p.x - Rect.Left) * f);
        p.y = Rect.Bottom + RoundEven((p.y - Rect.Bottom) * f);
    }
    ZoomRect(f);
}

void TPolyLine::DrawModifyRect(Device& dc) {
    const std::int32_t h = MarkSize() / 2;
    std::vector<TRect> marks;
    marks.reserve(Points.size());
    for (const TPoint& p : Points) marks.push_back({p.x - h, p.y + h, p.x + h, p.y - h});
    DrawMarks(dc, marks.data(), static_cast<int>(marks.size()));
}

int TPolyLine::GetModifyClip(std::int32_t x, std::int32_t y) {
    const std::int32_t h = MarkSize() / 2;
    for (std::size_t i = 0; i < Points.size(); ++i) {
        const TPoint& p = Points[i];
        if (p.x - h <= x && x < p.x + h && p.y - h <= y && y < p.y + h)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

void TPolyLine::CopyPolyTo(TPolyLine& c) const {
    CopyBaseTo(c);
    c.Points = Points;
    c.OwnsPoints = 1;
    c.GetRect();
}

std::unique_ptr<TDLine> TPolyLine::Copy() const {
    try {
        auto c = std::make_unique<TPolyLine>();
        CopyPolyTo(*c);
        return c;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool TPolyLine::DeletePoint(int i) {
    const int n = PointCount();
    if (i < 1) i = n;
    if (n < 3 || i > n) return false;
    Points.erase(Points.begin() + (i - 1));
    GetRect();
    return true;
}

bool TPolyLine::InsertPoint(int i) {
    const int n = PointCount();
    if (n >= MaxPoints || n == 0) return false;
    if (i < 1) i = n;
    if (i > n) return false;
    const TPoint p = Points[std::size_t(i - 1)];
    Points.insert(Points.begin() + i, p);
    GetRect();
    return true;
}

void TPolyLine::DeleteDoublePoint() {
    if (PointCount() < 3) return;
    for (std::size_t i = 0; i + 1 < Points.size(); ++i) {
        if (Points[i] == Points[i + 1]) {
            DeletePoint(static_cast<int>(i) + 1);
            return;
        }
    }
}

// ---- TPolygon -----------------------------------------------------------------------

bool TPolygon::LoadStyle(BufferedReader& r) {
    auto style = std::make_shared<TPenBrushTyp>();
    if (!style->Load(r)) return false;
    Style = std::move(style);
    OwnsStyle = 1;
    return true;
}

void TPolygon::StoreStyle(BufferedWriter& w) const { StorePenBrush(w, *this); }

void TPolygon::Draw(Device& dc) {
    if (!Visible()) return;
    const LogPen oldPen = dc.SelectPen(StylePen());
    LogBrush oldBrush;
    const bool brush = SelectStyleBrush(dc, *this, oldBrush);
    dc.Polygon(Points.data(), PointCount());
    if (brush) dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

std::unique_ptr<TDLine> TPolygon::Copy() const {
    try {
        auto c = std::make_unique<TPolygon>();
        CopyPolyTo(*c);
        return c;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void TPolygon::DeleteDoublePoint() {
    TPolyLine::DeleteDoublePoint();
    if (PointCount() > 2 && Points.back() == Points.front()) DeletePoint(PointCount());
}

// ---- TnEck --------------------------------------------------------------------------

bool TnEck::Load(BufferedReader& r) {
    // Read into a scratch polygon first so that a failure leaves this object unchanged.
    TPolygon poly;
    if (!poly.Load(r)) return false;
    std::int32_t ox, oy;
    Extended scale;
    std::uint8_t relief;
    if (!r.ReadI32(ox) || !r.ReadI32(oy) || !r.ReadExtended(scale) || !r.ReadU8(relief))
        return false;
    Points = std::move(poly.Points);
    Rect = poly.Rect;
    Tag = poly.Tag;
    LayerNo = poly.LayerNo;
    LayerVisible = poly.LayerVisible;
    Style = std::move(poly.Style);
    OwnsStyle = 1;
    OwnsPoints = 1;
    OriginX = ox;
    OriginY = oy;
    Scale = scale;
    Relief = relief;
    return true;
}

void TnEck::Store(BufferedWriter& w) const {
    TPolygon::Store(w);
    w.WriteI32(OriginX);
    w.WriteI32(OriginY);
    w.WriteExtended(Scale);
    w.WriteU8(Relief);
}

namespace {
// A sum of page coordinates, clamped to the 32-bit range instead of wrapping: a scaled
// point is already saturated by the rounding, and an offset must not carry it over.
std::int32_t Summe32(std::int64_t a, std::int64_t b) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        a + b, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}
} // namespace

std::vector<TPoint> TnEck::DrawnPoints() const {
    std::vector<TPoint> out;
    out.reserve(Points.size());
    for (const TPoint& p : Points)
        out.push_back({Summe32(RoundEven(p.x * Scale), OriginX), Summe32(RoundEven(p.y * Scale), OriginY)});
    return out;
}

void TnEck::Draw(Device& dc) {
    const std::vector<TPoint> pts = DrawnPoints();
    const int n = static_cast<int>(pts.size());
    const LogPen pen = StylePen();
    if (!Relief) {
        const LogPen oldPen = dc.SelectPen(pen);
        LogBrush oldBrush;
        const bool brush = SelectStyleBrush(dc, *this, oldBrush);
        dc.Polygon(pts.data(), n);
        if (brush) dc.SelectBrush(oldBrush);
        dc.SelectPen(oldPen);
        return;
    }
    const LogBrush oldBrush = dc.SelectBrush({BS_SOLID, pen.Color, 0});
    const LogPen oldPen = dc.CurrentPen();
    struct Pass {
        std::int32_t dx, dy, width;
        TColor color;
    } passes[3] = {
        {-2, +2, 5, ColorPercent(pen.Color, 150)},
        {+2, -2, 5, ColorPercent(pen.Color, 50)},
        {0, 0, 4, pen.Color},
    };
    std::vector<TPoint> shifted(pts.size());
    for (const Pass& p : passes) {
        for (std::size_t i = 0; i < pts.size(); ++i) shifted[i] = {Summe32(pts[i].x, p.dx), Summe32(pts[i].y, p.dy)};
        dc.SelectPen({PS_SOLID, p.width, p.width, p.color});
        dc.Polygon(shifted.data(), n);
    }
    dc.SelectPen(oldPen);
    dc.SelectBrush(oldBrush);
}

void TnEck::MovePos(std::int32_t x, std::int32_t y) {
    OriginX += x - Rect.Left;
    OriginY += y - Rect.Top;
    TPolyLine::MovePos(x, y);
}

void TnEck::MovePosRel(std::int32_t dx, std::int32_t dy) {
    OriginX += dx;
    OriginY += dy;
    TPolyLine::MovePosRel(dx, dy);
}

void TnEck::Stretch(int handle, const TRect& rIn) {
    const std::int32_t w = Rect.Right - Rect.Left;
    const std::int32_t h = Rect.Top - Rect.Bottom;
    if (std::abs(w) < 1 || std::abs(h) < 1) return;
    const TRect r = NormalizeRect(rIn);
    OriginX = r.Left + RoundEven(AbsE((Extended(r.Right) - r.Left) / w) * (OriginX - Rect.Left));
    OriginY = r.Bottom +
              RoundEven(AbsE((Extended(r.Top) - r.Bottom) / h) * (OriginY - Rect.Bottom));
    TPolyLine::Stretch(handle, r);
}

void TnEck::DrawModifyRect(Device& dc) { TDLine::DrawModifyRect(dc); }

// ---- T3D ----------------------------------------------------------------------------

void T3D::SetAngle(Extended alpha, Extended beta) {
    Alpha = alpha;
    Beta = beta;
    CosAlpha = std::cos(alpha);
    SinAlpha = std::sin(alpha);
    CosBeta = std::cos(beta);
    SinBeta = std::sin(beta);
    TanAlpha = std::tan(alpha);
    TanBeta = std::tan(beta);
}

std::int32_t T3D::GetX(Extended x, Extended z) const {
    return RoundEven(x * CosAlpha + z * CosBeta) + OriginX;
}

std::int32_t T3D::GetY(Extended x, Extended y, Extended z) const {
    return static_cast<std::int32_t>(OriginY + RoundEven(y) - RoundEven(x * SinAlpha - z * SinBeta));
}

std::int32_t T3D::Get3DXYo0(Extended sx, Extended z) const {
    return RoundEven((sx - z * CosBeta - OriginX) / CosAlpha);
}

std::int32_t T3D::Get3DZYo0(Extended sx, Extended x) const {
    return RoundEven((sx - x * CosAlpha - OriginX) / CosBeta);
}

std::int32_t T3D::Get3DXL(Extended l) const {
    return RoundEven(l * TanBeta / (TanBeta + TanAlpha) / CosAlpha);
}

std::int32_t T3D::Get3DZL(Extended l) const {
    return RoundEven(l * TanAlpha / (TanBeta + TanAlpha) / CosBeta);
}

std::int32_t T3D::Get3DXvonY(Extended sy) const {
    return RoundEven((OriginY - sy) / SinAlpha);
}

// ---- registry and lists ---------------------------------------------------------------

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::map<std::string, DrawingFactory>& Registry() {
    static std::map<std::string, DrawingFactory> reg = [] {
        std::map<std::string, DrawingFactory> m;
        m["tdline"] = [] { return std::make_unique<TDLine>(); };
        m["tdrectangle"] = [] { return std::make_unique<TDRectangle>(); };
        m["tpolyline"] = [] { return std::make_unique<TPolyLine>(); };
        m["tpolygon"] = [] { return std::make_unique<TPolygon>(); };
        m["tneck"] = [] { return std::make_unique<TnEck>(); };
        return m;
    }();
    return reg;
}

} // namespace

void RegisterDrawingClass(std::string_view name, DrawingFactory make) {
    Registry()[Lower(name)] = std::move(make);
}

std::unique_ptr<TDLine> CreateDrawingObject(std::string_view name) {
    auto& reg = Registry();
    auto it = reg.find(Lower(name));
    if (it == reg.end() || !it->second) return nullptr;
    return it->second();
}

std::unique_ptr<TDLine> LoadDrawingObject(BufferedReader& r, std::string* classNameOut) {
    std::string name;
    if (!r.ReadFilerString(name)) return nullptr;
    if (classNameOut) *classNameOut = name;
    std::unique_ptr<TDLine> item = CreateDrawingObject(name);
    if (!item || !item->Load(r)) return nullptr;
    return item;
}

void StoreDrawingObject(BufferedWriter& w, const TDLine& item) {
    w.WriteFilerString(std::string(item.ClassName()));
    item.Store(w);
}

} // namespace kd
