#pragma once
// The persistent shapes beside TDLine: rectangle, polyline, polygon, the polygon with
// its own origin and scale (TnEck, base of the formula signs), the oblique 3-D
// projection T3D, the class registry by name and Load/Store of lists of drawing
// objects.
//
// Stream records (raw little-endian fields):
//   TDRectangle  as TDLine with the pen-and-brush record instead of the pen (56 bytes)
//   TPolyLine    PointCount i32, PointCount x (x i32, y i32), Tag u32, LayerNo i32,
//                LayerVisible u32, pen record; the box is computed on load
//   TPolygon     as TPolyLine with the pen-and-brush record
//   TnEck        the TPolygon record, OriginX i32, OriginY i32, Scale (10 bytes),
//                Relief (1 byte)
//   list         count i32, then per item its class name as a filer string and its
//                record
// A polyline record with a negative count or more than MaxPoints points is refused.
#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/CList.h"
#include "core/device/Stile.h"
#include "core/Stream.h"
#include "core/Types.h"
#include "core/typeset/GBasis.h"

namespace kd {

class TDRectangle : public TDLine {
public:
    TDRectangle() = default;
    explicit TDRectangle(std::uint32_t tag) : TDLine(tag) {}
    // Style: a TPenBrushTyp.
    TDRectangle(TPoint p1, TPoint p2, std::uint32_t tag, std::shared_ptr<TStyleHandle> style,
                bool ownsStyle)
        : TDLine(p1, p2, tag, std::move(style), ownsStyle) {}

    std::string_view ClassName() const override { return "TDRectangle"; }
    bool Load(BufferedReader& r) override;
    void Store(BufferedWriter& w) const override;
    void Draw(Device& dc) override;
    std::unique_ptr<TDLine> Copy() const override;
};

class TPolyLine : public TDLine {
public:
    // The most points a polyline holds.
    static constexpr int MaxPoints = 100;

    TPolyLine() = default;
    // At most MaxPoints of the given points are taken; the box is computed.
    TPolyLine(const TPoint* pts, int count, std::uint32_t tag,
              std::shared_ptr<TStyleHandle> style, bool ownsStyle, bool ownsPoints);

    std::string_view ClassName() const override { return "TPolyLine"; }
    bool Load(BufferedReader& r) override;
    void Store(BufferedWriter& w) const override;
    void Draw(Device& dc) override;
    void MovePos(std::int32_t x, std::int32_t y) override;
    void MovePosRel(std::int32_t dx, std::int32_t dy) override;
    void Stretch(int handle, const TRect& r) override;
    void Zoom(Extended f) override;
    void DrawModifyRect(Device& dc) override;
    int GetModifyClip(std::int32_t x, std::int32_t y) override;
    std::unique_ptr<TDLine> Copy() const override;

    // The style record of the stream: the pen here, pen and brush for polygons.
    virtual bool LoadStyle(BufferedReader& r);
    virtual void StoreStyle(BufferedWriter& w) const;
    // Recomputes the bounding box from the points.
    void GetRect();
    // i < 1 means the last point. Refused below 3 points or past the end.
    bool DeletePoint(int i);
    // Inserts a copy of point i after it (i < 1: the last). Refused at MaxPoints
    // points or past the end.
    bool InsertPoint(int i);
    // Removes the first point that equals its successor (with at least 3 points).
    virtual void DeleteDoublePoint();

    int PointCount() const { return static_cast<int>(Points.size()); }

    std::vector<TPoint> Points;
    std::uint8_t OwnsPoints = 1;  // data only

protected:
    void CopyPolyTo(TPolyLine& c) const;
};

class TPolygon : public TPolyLine {
public:
    TPolygon() = default;
    // Style: a TPenBrushTyp.
    TPolygon(const TPoint* pts, int count, std::uint32_t tag,
             std::shared_ptr<TStyleHandle> style, bool ownsStyle, bool ownsPoints)
        : TPolyLine(pts, count, tag, std::move(style), ownsStyle, ownsPoints) {}

    std::string_view ClassName() const override { return "TPolygon"; }
    void Draw(Device& dc) override;
    std::unique_ptr<TDLine> Copy() const override;
    bool LoadStyle(BufferedReader& r) override;
    void StoreStyle(BufferedWriter& w) const override;
    // Also drops a last point equal to the first (more than 2 points left).
    void DeleteDoublePoint() override;
};

// A polygon in local units: point (x, y) is drawn at
// (round(x × Scale) + OriginX, round(y × Scale) + OriginY).
class TnEck : public TPolygon {
public:
    TnEck() = default;
    TnEck(const TPoint* pts, int count, std::uint32_t tag, std::shared_ptr<TStyleHandle> style,
          bool ownsStyle, bool ownsPoints, std::int32_t originX, std::int32_t originY,
          Extended scale, bool relief)
        : TPolygon(pts, count, tag, std::move(style), ownsStyle, ownsPoints),
          OriginX(originX), OriginY(originY), Scale(scale), Relief(relief ? 1 : 0) {}

    std::string_view ClassName() const override { return "TnEck"; }
    bool Load(BufferedReader& r) override;
    void Store(BufferedWriter& w) const override;
    // Always draws (layers do not apply).
    void Draw(Device& dc) override;
    void MovePos(std::int32_t x, std::int32_t y) override;
    void MovePosRel(std::int32_t dx, std::int32_t dy) override;
    void Stretch(int handle, const TRect& r) override;
    // The four corner marks of TDLine (hit testing stays the point squares).
    void DrawModifyRect(Device& dc) override;

    // The points as drawn.
    std::vector<TPoint> DrawnPoints() const;

    std::int32_t OriginX = 0, OriginY = 0;
    Extended Scale = 1.0L;
    std::uint8_t Relief = 0;
};

// An oblique view of x, y, z onto the plane; results are rounded integers.
class T3D {
public:
    T3D() { SetAngle(0, 0); }
    void SetOrigin(std::int32_t x, std::int32_t y) {
        OriginX = x;
        OriginY = y;
    }
    void SetAngle(Extended alpha, Extended beta);
    std::int32_t GetX(Extended x, Extended z) const;
    std::int32_t GetY(Extended x, Extended y, Extended z) const;
    std::int32_t Get3DXYo0(Extended sx, Extended z) const;
    std::int32_t Get3DZYo0(Extended sx, Extended x) const;
    std::int32_t Get3DXL(Extended l) const;
    std::int32_t Get3DZL(Extended l) const;
    std::int32_t Get3DXvonY(Extended sy) const;

    Extended Alpha = 0, Beta = 0;
    std::int32_t OriginX = 0, OriginY = 0;
    Extended CosAlpha = 1, SinAlpha = 0, CosBeta = 1, SinBeta = 0, TanAlpha = 0, TanBeta = 0;
};

// ---- class registry ------------------------------------------------------------------
// Drawing classes by name (case-insensitive) for reading lists. TDLine, TDRectangle,
// TPolyLine, TPolygon and TnEck are always known; other drawing classes register with
// RegisterDrawingClass before a list holding them is read.
using DrawingFactory = std::function<std::unique_ptr<TDLine>()>;
void RegisterDrawingClass(std::string_view name, DrawingFactory make);
// A new object of the named class, or null when no class answers to the name.
std::unique_ptr<TDLine> CreateDrawingObject(std::string_view name);

// ---- lists of drawing objects ----------------------------------------------------------
// Reads one item (class name, then its record); null on an unknown class or a bad record.
std::unique_ptr<TDLine> LoadDrawingObject(BufferedReader& r, std::string* classNameOut = nullptr);
void StoreDrawingObject(BufferedWriter& w, const TDLine& item);

// Empties the list and reads it. False when the record is truncated or impossible or
// names a class no drawing class answers to (or not of the list's type); the items
// read so far stay in the list.
template <class T>
    requires std::derived_from<T, TDLine>
bool LoadList(BufferedReader& r, TCList<T>& list) {
    list.ClearItems();
    std::int32_t count;
    if (!r.ReadI32(count) || count < 0) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::unique_ptr<TDLine> item = LoadDrawingObject(r);
        if (!item) return false;
        T* typed = dynamic_cast<T*>(item.get());
        if (!typed) return false;
        item.release();
        list.Add(std::unique_ptr<T>(typed));
    }
    return true;
}

template <class T>
    requires std::derived_from<T, TDLine>
void StoreList(BufferedWriter& w, const TCList<T>& list) {
    w.WriteI32(list.Count());
    for (int i = 0; i < list.Count(); ++i) StoreDrawingObject(w, *list[i]);
}

} // namespace kd
