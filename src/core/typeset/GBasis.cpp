#include "core/typeset/GBasis.h"

#include <cstdlib>

#include "core/Stream.h"
#include "core/device/Rounding.h"
#include "core/device/VirtPntBox.h"
#include "core/device/Stile.h"

namespace kd {

std::int32_t MarkSize() {
    const Extended z = DrawingState().CurrentZoomX;
    if (!(z > 0)) return 6;
    return RoundEven(6.0L / z);
}

TDLine::TDLine(TPoint p1, TPoint p2, std::uint32_t tag, std::shared_ptr<TStyleHandle> style,
               bool ownsStyle)
    : Rect{p1.x, p1.y, p2.x, p2.y}, Style(std::move(style)), OwnsStyle(ownsStyle ? 1 : 0),
      Tag(tag) {}

TDLine::~TDLine() = default;

LogPen TDLine::StylePen() const {
    if (Style)
        if (const LogPen* p = Style->PenRecord()) return *p;
    return BlackPen();
}

const LogBrush* TDLine::StyleBrush() const { return Style ? Style->BrushRecord() : nullptr; }

bool TDLine::LoadBase(BufferedReader& r, TRect& rect, std::uint32_t& tag,
                      std::int32_t& layer, std::uint32_t& visible) {
    return r.ReadI32(rect.Left) && r.ReadI32(rect.Top) && r.ReadI32(rect.Right) &&
           r.ReadI32(rect.Bottom) && r.ReadU32(tag) && r.ReadI32(layer) && r.ReadU32(visible);
}

void TDLine::StoreBase(BufferedWriter& w) const {
    w.WriteI32(Rect.Left);
    w.WriteI32(Rect.Top);
    w.WriteI32(Rect.Right);
    w.WriteI32(Rect.Bottom);
    w.WriteU32(Tag);
    w.WriteI32(LayerNo);
    w.WriteU32(LayerVisible);
}

bool TDLine::Load(BufferedReader& r) {
    TRect rect;
    std::uint32_t tag, visible;
    std::int32_t layer;
    auto pen = std::make_shared<TPenTyp>();
    if (!LoadBase(r, rect, tag, layer, visible) || !pen->Load(r)) return false;
    Rect = rect;
    Tag = tag;
    LayerNo = layer;
    LayerVisible = visible;
    Style = std::move(pen);
    OwnsStyle = 1;
    return true;
}

void TDLine::Store(BufferedWriter& w) const {
    StoreBase(w);
    TPenTyp pen;
    pen.Pen = StylePen();
    pen.Store(w);
}

void TDLine::Draw(Device& dc) {
    if (!Visible()) return;
    const LogPen old = dc.SelectPen(StylePen());
    dc.MoveTo(Rect.Left, Rect.Top);
    dc.LineTo(Rect.Right, Rect.Bottom);
    dc.SelectPen(old);
}

void TDLine::MovePos(std::int32_t x, std::int32_t y) {
    const std::int32_t w = Rect.Right - Rect.Left;
    const std::int32_t h = Rect.Top - Rect.Bottom;
    Rect.Left = x;
    Rect.Top = y;
    Rect.Right = x + w;
    Rect.Bottom = y - h;
}

void TDLine::MovePosRel(std::int32_t dx, std::int32_t dy) {
    Rect.Left += dx;
    Rect.Right += dx;
    Rect.Top += dy;
    Rect.Bottom += dy;
}

void TDLine::StretchRect(const TRect& rIn) {
    const TRect r = NormalizeRect(rIn);
    if (Rect.Left >= Rect.Right) {
        if (Rect.Left != r.Right) Rect.Left = r.Right;
        else Rect.Right = r.Left;
    } else {
        if (Rect.Left != r.Left) Rect.Left = r.Left;
        else Rect.Right = r.Right;
    }
    if (Rect.Bottom >= Rect.Top) {
        if (Rect.Top != r.Bottom) Rect.Top = r.Bottom;
        else Rect.Bottom = r.Top;
    } else {
        if (Rect.Top != r.Top) Rect.Top = r.Top;
        else Rect.Bottom = r.Bottom;
    }
}

void TDLine::Stretch(int /*handle*/, const TRect& r) { StretchRect(r); }

void TDLine::ZoomRect(Extended f) {
    auto zoomAxis = [f](std::int32_t& a, std::int32_t& b) {
        std::int32_t& lo = a <= b ? a : b;
        std::int32_t& hi = a <= b ? b : a;
        const std::int64_t d = std::int64_t(hi) - lo;
        hi = lo + RoundEven(Extended(d) * f);
    };
    zoomAxis(Rect.Left, Rect.Right);
    zoomAxis(Rect.Bottom, Rect.Top);
}

void TDLine::Zoom(Extended f) { ZoomRect(f); }

void TDLine::RedrawRect(TInvalidateTarget& window) {
    window.InvalidateLogicalRect(NormalizeRect(Rect), true);
}

void TDLine::CornerMarks(TRect m[4]) const {
    const std::int32_t d = MarkSize();
    const TRect n = NormalizeRect(Rect);
    const std::int32_t L = n.Left, T = n.Top, R = n.Right, B = n.Bottom;
    // Each mark as (min x, max y, max x, min y).
    m[0] = {L - d, T + d, L, T};
    m[1] = {R, T + d, R + d, T};
    m[2] = {R, B, R + d, B - d};
    m[3] = {L - d, B, L, B - d};
}

void TDLine::DrawMarks(Device& dc, const TRect* marks, int n) {
    const LogPen oldPen = dc.SelectPen(BlackPen());
    const int oldRop = dc.SetROP2(R2_NOTXORPEN);
    for (int i = 0; i < n; ++i) {
        const TRect& q = marks[i];
        const TPoint pts[5] = {{q.Left, q.Top}, {q.Right, q.Top}, {q.Right, q.Bottom},
                               {q.Left, q.Bottom}, {q.Left, q.Top}};
        dc.Polyline(pts, 5);
    }
    dc.SetROP2(oldRop);
    dc.SelectPen(oldPen);
}

void TDLine::DrawModifyRect(Device& dc) {
    TRect m[4];
    CornerMarks(m);
    DrawMarks(dc, m, 4);
}

int TDLine::GetModifyClip(std::int32_t x, std::int32_t y) {
    TRect m[4];
    CornerMarks(m);
    for (int i = 0; i < 4; ++i)
        if (m[i].Left <= x && x < m[i].Right && m[i].Bottom <= y && y < m[i].Top) return i + 1;
    return 0;
}

void TDLine::CopyBaseTo(TDLine& c) const {
    c.Rect = Rect;
    c.Tag = Tag;
    c.LayerNo = LayerNo;
    c.LayerVisible = 1;
    if (Style) {
        c.Style = std::shared_ptr<TStyleHandle>(Style->CopyStyle());
        c.OwnsStyle = 1;
    }
}

std::unique_ptr<TDLine> TDLine::Copy() const {
    auto c = std::make_unique<TDLine>(Tag);
    CopyBaseTo(*c);
    return c;
}

void TDLine::ChangeColor(TColor c) {
    if (Style) Style->ChangeColor(c);
}

} // namespace kd
