#include "core/device/FixedMetricsDevice.h"

#include "core/device/Bild.h"

#include <cstdlib>

namespace kd {

TSize FixedMetricsDevice::Measure(const LogFont& f, std::string_view text) {
    const std::int32_t h = f.Height < 0 ? -f.Height : f.Height;
    return {static_cast<std::int32_t>(text.size()) * (h / 2), h};
}

FixedMetricsDevice::Call& FixedMetricsDevice::Record(Kind k) {
    Call c{k, {}, {}, CurrentFont(), CurrentPen(), CurrentBrush(), TextColor(),
           TextAlign(), BkMode(), ROP2()};
    calls_.push_back(std::move(c));
    return calls_.back();
}

std::vector<FixedMetricsDevice::Call> FixedMetricsDevice::CallsOf(Kind k) const {
    std::vector<Call> out;
    for (const Call& c : calls_)
        if (c.kind == k) out.push_back(c);
    return out;
}

TSize FixedMetricsDevice::TextExtent(std::string_view text) {
    if (RecordMeasurements) Record(Kind::TextExtent).text = std::string(text);
    return Measure(CurrentFont(), text);
}

void FixedMetricsDevice::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    Call& c = Record(Kind::TextOut);
    c.points = {{x, y}};
    c.text = std::string(text);
}

void FixedMetricsDevice::Polyline(const TPoint* pts, int count) {
    Call& c = Record(Kind::Polyline);
    if (pts && count > 0) c.points.assign(pts, pts + count);
}

void FixedMetricsDevice::Polygon(const TPoint* pts, int count) {
    Call& c = Record(Kind::Polygon);
    if (pts && count > 0) c.points.assign(pts, pts + count);
}

void FixedMetricsDevice::Rectangle(std::int32_t l, std::int32_t t, std::int32_t r,
                                   std::int32_t b) {
    Record(Kind::Rectangle).points = {{l, t}, {r, b}};
}

void FixedMetricsDevice::Ellipse(std::int32_t l, std::int32_t t, std::int32_t r,
                                 std::int32_t b) {
    Record(Kind::Ellipse).points = {{l, t}, {r, b}};
}

void FixedMetricsDevice::FillRect(const TRect& r, const LogBrush& brush) {
    Call& c = Record(Kind::FillRect);
    c.points = {{r.Left, r.Top}, {r.Right, r.Bottom}};
    c.brush = brush;
}

void FixedMetricsDevice::DrawImage(const TRect& r, const Bild& image) {
    Record(Kind::DrawImage).points = {{r.Left, r.Top}, {r.Right, r.Bottom},
                                      {image.Width, image.Height}};
}

int FixedMetricsDevice::GetDeviceCaps(DeviceCap cap) const {
    switch (cap) {
    case DeviceCap::HorzSize: return HorzSizeMM;
    case DeviceCap::VertSize: return VertSizeMM;
    case DeviceCap::HorzRes: return static_cast<int>(HorzSizeMM * 10LL * PixelsPerInch / 254);
    case DeviceCap::VertRes: return static_cast<int>(VertSizeMM * 10LL * PixelsPerInch / 254);
    case DeviceCap::LogPixelsX:
    case DeviceCap::LogPixelsY: return PixelsPerInch;
    }
    return 0;
}

TColor FixedMetricsDevice::GetPixel(std::int32_t x, std::int32_t y) {
    Record(Kind::GetPixel).points = {{x, y}};
    return PixelAnswer;
}

void FixedMetricsDevice::MappingChanged() {
    const DeviceMapping& m = Mapping();
    Record(Kind::SetMapping).points = {m.WindowOrg, {m.WindowExt.cx, m.WindowExt.cy},
                                       m.ViewportOrg, {m.ViewportExt.cx, m.ViewportExt.cy}};
}
void FixedMetricsDevice::FontSelected() { Record(Kind::SelectFont); }
void FixedMetricsDevice::PenSelected() { Record(Kind::SelectPen); }
void FixedMetricsDevice::BrushSelected() { Record(Kind::SelectBrush); }
void FixedMetricsDevice::RopChanged() { Record(Kind::SetROP2); }
void FixedMetricsDevice::TextStateChanged() { Record(Kind::SetTextState); }
void FixedMetricsDevice::DoMoveTo(TPoint p) { Record(Kind::MoveTo).points = {p}; }
void FixedMetricsDevice::DoLineTo(TPoint from, TPoint to) {
    Record(Kind::LineTo).points = {from, to};
}

} // namespace kd
