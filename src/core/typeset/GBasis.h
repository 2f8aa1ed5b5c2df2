#pragma once
// Drawing base: the shape every drawing object derives from. The element tree of a
// formula, its text leaves and its signs are all TDLine objects.
//
// A TDLine is a line from (Left, Top) to (Right, Bottom) of Rect, drawn with the pen of
// its Style. Derived shapes (rectangle, polyline, polygon, TnEck; Formen.h) use Rect as
// their bounding box. Every Draw goes through kd::Device: select, draw, select back.
//
// Stream record of a TDLine (44 bytes): Left, Top, Right, Bottom (i32), Tag u32,
// LayerNo i32, LayerVisible u32, pen record (16 bytes).
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/Types.h"
#include "core/device/Device.h"  // TRect, TPoint, Device

namespace kd {

class BufferedReader;
class BufferedWriter;
class TStyleHandle;

// Where RedrawRect invalidates: a window that shows logical coordinates.
class TInvalidateTarget {
public:
    virtual ~TInvalidateTarget() = default;
    virtual void InvalidateLogicalRect(const TRect& r, bool erase) = 0;
};

// The size of a modification mark: round(6 / Z) with Z the zoom factor of the device
// drawn on (the process-wide drawing state).
std::int32_t MarkSize();

class TDLine {
public:
    TDLine() = default;
    explicit TDLine(std::uint32_t tag) : Tag(tag) {}
    // A line from p1 to p2 with a style (a TPenTyp; a TPenBrushTyp also serves).
    TDLine(TPoint p1, TPoint p2, std::uint32_t tag, std::shared_ptr<TStyleHandle> style,
           bool ownsStyle);
    virtual ~TDLine();
    TDLine(const TDLine&) = delete;
    TDLine& operator=(const TDLine&) = delete;

    // The class name written into lists (TCList Load/Store).
    virtual std::string_view ClassName() const { return "TDLine"; }

    virtual bool Load(BufferedReader& r);
    virtual void Store(BufferedWriter& w) const;
    virtual void Draw(Device& dc);
    virtual void MovePos(std::int32_t x, std::int32_t y);
    virtual void MovePosRel(std::int32_t dx, std::int32_t dy);
    virtual void Stretch(int handle, const TRect& r);
    virtual void Zoom(Extended f);
    virtual void RedrawRect(TInvalidateTarget& window);
    virtual void DrawModifyRect(Device& dc);
    virtual int GetModifyClip(std::int32_t x, std::int32_t y);
    virtual std::unique_ptr<TDLine> Copy() const;
    virtual void ChangeColor(TColor c);

    // Drawn at all: not on a hidden layer.
    bool Visible() const { return !(LayerNo > 0 && LayerVisible == 0); }
    // The pen and brush of the style (a black pen / no brush when the style has none).
    LogPen StylePen() const;
    const LogBrush* StyleBrush() const;

    TRect Rect;
    // Shared down an element tree; memory never depends on OwnsStyle, which is data.
    std::shared_ptr<TStyleHandle> Style;
    std::uint8_t OwnsStyle = 0;
    std::uint32_t Tag = 0;
    std::int32_t LayerNo = 0;
    std::uint32_t LayerVisible = 1;

protected:
    // The four corner marks of the normalised Rect (1 top-left, 2 top-right,
    // 3 bottom-right, 4 bottom-left).
    void CornerMarks(TRect marks[4]) const;
    // Outlines the given squares with the black pen in not-xor mode.
    static void DrawMarks(Device& dc, const TRect* marks, int n);
    // Copies Tag and LayerNo and a copy of the style into c (LayerVisible 1).
    void CopyBaseTo(TDLine& c) const;
    // Reads/writes Left, Top, Right, Bottom, Tag, LayerNo, LayerVisible.
    bool LoadBase(BufferedReader& r, TRect& rect, std::uint32_t& tag, std::int32_t& layer,
                  std::uint32_t& visible);
    void StoreBase(BufferedWriter& w) const;
    // Rect stretched to r as a line (also the box of every other shape).
    void StretchRect(const TRect& r);
    // Rect zoomed as a line.
    void ZoomRect(Extended f);
};

} // namespace kd
