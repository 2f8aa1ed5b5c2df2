#pragma once
// FixedMetricsDevice: a deterministic device for tests and for layout without a screen.
// Every character of a font of height h is |h| / 2 logical units wide (integer
// division, per character) and a text is |h| high, whatever the face. The device
// draws nothing; it records every call so tests can assert geometry to the unit.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/Device.h"

namespace kd {

class FixedMetricsDevice : public Device {
public:
    enum class Kind {
        SelectFont, SelectPen, SelectBrush,
        SetTextState, SetROP2, SetMapping,
        TextExtent, TextOut,
        MoveTo, LineTo, Polyline, Polygon, Rectangle, Ellipse, FillRect,
        GetPixel, DrawImage,
    };

    // One recorded call. Points hold the call's coordinates (for a line: from, to;
    // for a rectangle or ellipse: (left, top), (right, bottom)); the font, pen, brush,
    // colour, alignment, background mode and raster mode are those in force at the
    // time of the call (for a Select or Set call, the state after it; for FillRect,
    // the brush handed in). SetMapping records window org, window ext, viewport org,
    // viewport ext as four points. DrawImage records (Left, Top), (Right, Bottom) and
    // the image's (width, height) as a third point.
    struct Call {
        Kind kind;
        std::vector<TPoint> points;
        std::string text;
        LogFont font;
        LogPen pen;
        LogBrush brush;
        TColor color = 0;
        std::uint32_t align = 0;
        int bkMode = 0;
        int rop = 0;
    };

    // Page-like capabilities: an A4 sheet at 254 pixels per inch (10 pixels per mm).
    FixedMetricsDevice() = default;

    // The fixed metrics: n × (|h| / 2) wide, |h| high.
    static TSize Measure(const LogFont& f, std::string_view text);

    TSize TextExtent(std::string_view text) override;
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
    void Polyline(const TPoint* pts, int count) override;
    void Polygon(const TPoint* pts, int count) override;
    void Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    void Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    void FillRect(const TRect& r, const LogBrush& brush) override;
    void DrawImage(const TRect& target, const Bild& image) override;
    int GetDeviceCaps(DeviceCap cap) const override;
    TColor GetPixel(std::int32_t x, std::int32_t y) override;

    // Recording.
    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<Call> CallsOf(Kind k) const;
    void ClearCalls() { calls_.clear(); }
    // Whether TextExtent calls are recorded (on by default).
    bool RecordMeasurements = true;

    // What GetPixel answers (a test sets it); ClrInvalid by default.
    TColor PixelAnswer = ClrInvalid;
    // Capabilities answered by GetDeviceCaps.
    int HorzSizeMM = 210, VertSizeMM = 297, PixelsPerInch = 254;

protected:
    void MappingChanged() override;
    void FontSelected() override;
    void PenSelected() override;
    void BrushSelected() override;
    void RopChanged() override;
    void TextStateChanged() override;
    void DoMoveTo(TPoint p) override;
    void DoLineTo(TPoint from, TPoint to) override;

private:
    Call& Record(Kind k);
    std::vector<Call> calls_;
};

} // namespace kd
