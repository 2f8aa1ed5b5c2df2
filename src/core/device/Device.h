#pragma once
// kd::Device — the drawing device every drawing object draws on and measures with.
//
// It offers what the typesetting needs of a GDI device context and no more:
//  - an anisotropic mapping from logical units (on the page: 0.1 mm, y up) to device
//    pixels, given by window/viewport origin and extent; the conversion is done here,
//    once, and implementations only learn that it changed (MappingChanged);
//  - a selected logical font, pen and brush (value records; Select returns the
//    previous record, so "select, draw, select back" is a pair of calls);
//  - text extent and text out with alignment, text colour and background mode;
//  - move-to/line-to, polyline, polygon, rectangle, fill rectangle, ellipse;
//  - drawing a raster image stretched into a rectangle (pictures and the bitmaps
//    inside a metafile);
//  - the raster mode (copy pen, not-xor pen);
//  - device capabilities and reading a pixel.
//
// Texts are Windows-1252 bytes; a text drawn in a font named "Symbol" holds bytes of
// the Symbol encoding (the device maps them). Colours are 0x00BBGGRR. All coordinates
// handed to a device are logical; widths of pens are logical too (0 = one pixel).
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace kd {

struct Bild;  // core/device/Bild.h

struct TPoint {
    std::int32_t x = 0, y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    std::int32_t cx = 0, cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// A rectangle in logical units; on the page (y up) a normalised one has
// Left <= Right and Top >= Bottom.
struct TRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Left <= Right and Top >= Bottom (y up).
inline TRect NormalizeRect(TRect r) {
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top < r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

using TColor = std::uint32_t;  // 0x00BBGGRR
constexpr TColor RGB(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned GetRValue(TColor c) { return c & 0xFFu; }
constexpr unsigned GetGValue(TColor c) { return (c >> 8) & 0xFFu; }
constexpr unsigned GetBValue(TColor c) { return (c >> 16) & 0xFFu; }
inline constexpr TColor ClrInvalid = 0xFFFFFFFFu;  // GetPixel where nothing can be read

// The 60-byte logical font record (LOGFONTA layout).
struct LogFont {
    std::int32_t Height = 0;       // > 0 cell height (ascent + descent), < 0 character height
    std::int32_t Width = 0;        // 0: natural width
    std::int32_t Escapement = 0;   // tenths of a degree, counter-clockwise
    std::int32_t Orientation = 0;
    std::int32_t Weight = 0;       // 400 normal, 700 bold (0: normal)
    std::uint8_t Italic = 0;
    std::uint8_t Underline = 0;
    std::uint8_t StrikeOut = 0;
    std::uint8_t CharSet = 0;      // 0 ANSI, 2 symbol
    std::uint8_t OutPrecision = 0;
    std::uint8_t ClipPrecision = 0;
    std::uint8_t Quality = 0;
    std::uint8_t PitchAndFamily = 0;
    char FaceName[32] = {};        // zero-terminated

    std::string Face() const { return std::string(FaceName, strnlen(FaceName, sizeof FaceName)); }
    // Copies at most 31 characters and zero-fills the rest.
    void SetFace(std::string_view name) {
        std::memset(FaceName, 0, sizeof FaceName);
        std::memcpy(FaceName, name.data(), name.size() < 31 ? name.size() : 31);
    }
    friend bool operator==(const LogFont& a, const LogFont& b) {
        return std::memcmp(&a, &b, sizeof(LogFont)) == 0;
    }
};
static_assert(sizeof(LogFont) == 60, "LogFont must have the LOGFONTA layout");

// Pen styles.
inline constexpr std::uint32_t PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3,
                               PS_DASHDOTDOT = 4, PS_NULL = 5;
// Brush styles.
inline constexpr std::uint32_t BS_SOLID = 0, BS_HOLLOW = 1, BS_NULL = 1, BS_HATCHED = 2;

// The logical pen record (LOGPEN with the width as a point: x and y).
struct LogPen {
    std::uint32_t Style = PS_SOLID;
    std::int32_t WidthX = 0;  // logical units; 0 = one pixel
    std::int32_t WidthY = 0;  // written equal to WidthX
    TColor Color = 0;
    friend bool operator==(const LogPen&, const LogPen&) = default;
};
static_assert(sizeof(LogPen) == 16);

// The logical brush record (LOGBRUSH).
struct LogBrush {
    std::uint32_t Style = BS_SOLID;
    TColor Color = 0xFFFFFF;
    std::int32_t Hatch = 0;
    friend bool operator==(const LogBrush&, const LogBrush&) = default;
};
static_assert(sizeof(LogBrush) == 12);

// Stock objects.
constexpr LogPen BlackPen() { return {PS_SOLID, 0, 0, 0x000000}; }
constexpr LogPen WhitePen() { return {PS_SOLID, 0, 0, 0xFFFFFF}; }
constexpr LogPen NullPen() { return {PS_NULL, 0, 0, 0x000000}; }
constexpr LogBrush WhiteBrush() { return {BS_SOLID, 0xFFFFFF, 0}; }
constexpr LogBrush BlackBrush() { return {BS_SOLID, 0x000000, 0}; }
constexpr LogBrush NullBrush() { return {BS_HOLLOW, 0x000000, 0}; }

// Text alignment flags (the GDI values); a horizontal and a vertical value are added.
inline constexpr std::uint32_t TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6;
inline constexpr std::uint32_t TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;

// Background modes.
inline constexpr int TRANSPARENT = 1, OPAQUE = 2;

// Raster modes.
inline constexpr int R2_NOTXORPEN = 10, R2_COPYPEN = 13;

// Device capabilities (the GDI indices).
enum class DeviceCap : int {
    HorzSize = 4,     // width in millimetres
    VertSize = 6,     // height in millimetres
    HorzRes = 8,      // width in pixels
    VertRes = 10,     // height in pixels
    LogPixelsX = 88,  // pixels per inch
    LogPixelsY = 90,
};

// Device coordinates as fractional pixels.
struct DevicePoint {
    double x = 0, y = 0;
};

// The anisotropic mapping: device = (logical − windowOrg) × viewportExt / windowExt
// + viewportOrg, per axis. The identity (both extents 1, both origins 0) is the start.
struct DeviceMapping {
    TPoint WindowOrg{0, 0};
    TSize WindowExt{1, 1};
    TPoint ViewportOrg{0, 0};
    TSize ViewportExt{1, 1};
    friend bool operator==(const DeviceMapping&, const DeviceMapping&) = default;
};

class Device {
public:
    Device() = default;
    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // ---- mapping (each returns the previous value) ----
    TPoint SetWindowOrg(std::int32_t x, std::int32_t y) {
        TPoint old = map_.WindowOrg;
        map_.WindowOrg = {x, y};
        MappingChanged();
        return old;
    }
    TSize SetWindowExt(std::int32_t cx, std::int32_t cy) {
        TSize old = map_.WindowExt;
        map_.WindowExt = {cx == 0 ? 1 : cx, cy == 0 ? 1 : cy};
        MappingChanged();
        return old;
    }
    TPoint SetViewportOrg(std::int32_t x, std::int32_t y) {
        TPoint old = map_.ViewportOrg;
        map_.ViewportOrg = {x, y};
        MappingChanged();
        return old;
    }
    TSize SetViewportExt(std::int32_t cx, std::int32_t cy) {
        TSize old = map_.ViewportExt;
        map_.ViewportExt = {cx == 0 ? 1 : cx, cy == 0 ? 1 : cy};
        MappingChanged();
        return old;
    }
    DeviceMapping SetMapping(const DeviceMapping& m) {
        DeviceMapping old = map_;
        map_ = m;
        if (map_.WindowExt.cx == 0) map_.WindowExt.cx = 1;
        if (map_.WindowExt.cy == 0) map_.WindowExt.cy = 1;
        if (map_.ViewportExt.cx == 0) map_.ViewportExt.cx = 1;
        if (map_.ViewportExt.cy == 0) map_.ViewportExt.cy = 1;
        MappingChanged();
        return old;
    }
    const DeviceMapping& Mapping() const { return map_; }

    // Device pixels per logical unit, signed (negative when the axis is flipped).
    double ScaleX() const { return double(map_.ViewportExt.cx) / map_.WindowExt.cx; }
    double ScaleY() const { return double(map_.ViewportExt.cy) / map_.WindowExt.cy; }

    DevicePoint LogicalToDevice(double x, double y) const {
        return {(x - map_.WindowOrg.x) * ScaleX() + map_.ViewportOrg.x,
                (y - map_.WindowOrg.y) * ScaleY() + map_.ViewportOrg.y};
    }
    DevicePoint DeviceToLogical(double dx, double dy) const {
        return {(dx - map_.ViewportOrg.x) / ScaleX() + map_.WindowOrg.x,
                (dy - map_.ViewportOrg.y) / ScaleY() + map_.WindowOrg.y};
    }
    // Rounded to whole units (GDI's LPtoDP / DPtoLP).
    TPoint LPtoDP(TPoint p) const {
        DevicePoint d = LogicalToDevice(p.x, p.y);
        return {RoundI(d.x), RoundI(d.y)};
    }
    TPoint DPtoLP(TPoint p) const {
        DevicePoint d = DeviceToLogical(p.x, p.y);
        return {RoundI(d.x), RoundI(d.y)};
    }

    // ---- objects (each returns the previously selected record) ----
    LogFont SelectFont(const LogFont& f) {
        LogFont old = font_;
        font_ = f;
        FontSelected();
        return old;
    }
    LogPen SelectPen(const LogPen& p) {
        LogPen old = pen_;
        pen_ = p;
        PenSelected();
        return old;
    }
    LogBrush SelectBrush(const LogBrush& b) {
        LogBrush old = brush_;
        brush_ = b;
        BrushSelected();
        return old;
    }
    const LogFont& CurrentFont() const { return font_; }
    const LogPen& CurrentPen() const { return pen_; }
    const LogBrush& CurrentBrush() const { return brush_; }

    // ---- text state (each returns the previous value) ----
    std::uint32_t SetTextAlign(std::uint32_t flags) {
        std::uint32_t old = Swap(align_, flags);
        TextStateChanged();
        return old;
    }
    TColor SetTextColor(TColor c) {
        TColor old = Swap(textColor_, c);
        TextStateChanged();
        return old;
    }
    int SetBkMode(int mode) {
        int old = Swap(bkMode_, mode);
        TextStateChanged();
        return old;
    }
    TColor SetBkColor(TColor c) {
        TColor old = Swap(bkColor_, c);
        TextStateChanged();
        return old;
    }
    std::uint32_t TextAlign() const { return align_; }
    TColor TextColor() const { return textColor_; }
    int BkMode() const { return bkMode_; }
    TColor BkColor() const { return bkColor_; }

    // ---- raster mode ----
    int SetROP2(int mode) {
        int old = rop_;
        rop_ = mode;
        RopChanged();
        return old;
    }
    int ROP2() const { return rop_; }

    // ---- text ----
    // Width and height of the text in the selected font, in logical units, as if
    // drawn unrotated. The height is the font's cell height.
    virtual TSize TextExtent(std::string_view text) = 0;
    // Draws the text at the reference point (x, y) with the current alignment,
    // colour, background mode and the font's escapement.
    virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;

    // ---- lines and shapes (pen outlines, brush fills) ----
    void MoveTo(std::int32_t x, std::int32_t y) {
        pos_ = {x, y};
        DoMoveTo(pos_);
    }
    void LineTo(std::int32_t x, std::int32_t y) {
        TPoint from = pos_;
        pos_ = {x, y};
        DoLineTo(from, pos_);
    }
    TPoint CurrentPosition() const { return pos_; }
    virtual void Polyline(const TPoint* pts, int count) = 0;
    virtual void Polygon(const TPoint* pts, int count) = 0;
    virtual void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) = 0;
    virtual void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom) = 0;
    // Fills the rectangle with the brush, without outline and without selecting it.
    virtual void FillRect(const TRect& r, const LogBrush& brush) = 0;

    // ---- images ----
    // Draws the image stretched into the rectangle: its first row along Top, its
    // first column along Left (Left > Right or Top < Bottom mirrors it). A device
    // that cannot draw images draws nothing.
    virtual void DrawImage(const TRect& target, const Bild& image) {
        (void)target;
        (void)image;
    }

    // ---- device ----
    virtual int GetDeviceCaps(DeviceCap cap) const = 0;
    // Colour of the pixel at the logical point, ClrInvalid where it cannot be read.
    virtual TColor GetPixel(std::int32_t x, std::int32_t y) = 0;

protected:
    // Hooks for implementations: called after the state changed.
    virtual void MappingChanged() {}
    virtual void FontSelected() {}
    virtual void PenSelected() {}
    virtual void BrushSelected() {}
    virtual void RopChanged() {}
    virtual void TextStateChanged() {}  // alignment, text colour, background mode or colour
    virtual void DoMoveTo(TPoint) {}
    // Draws the segment with the pen (the current position has moved already).
    virtual void DoLineTo(TPoint from, TPoint to) = 0;

    static std::int32_t RoundI(double v) {
        return static_cast<std::int32_t>(v < 0 ? v - 0.5 : v + 0.5);
    }

private:
    template <class T>
    static T Swap(T& field, T v) {
        T old = field;
        field = v;
        return old;
    }

    DeviceMapping map_;
    LogFont font_;
    LogPen pen_ = BlackPen();
    LogBrush brush_ = WhiteBrush();
    std::uint32_t align_ = TA_LEFT | TA_TOP;
    TColor textColor_ = 0x000000;
    TColor bkColor_ = 0xFFFFFF;
    int bkMode_ = OPAQUE;
    int rop_ = R2_COPYPEN;
    TPoint pos_;
};

} // namespace kd
