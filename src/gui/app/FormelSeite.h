#pragma once
// The formula page of the main window: PaintBox1, a virtual page paint box
// (gui::TVirtPntBox) inside the scroll box CScrollBox1, one A4 page in portrait in
// tenths of a millimetre with y up and the top edge at y = 2970, shown at zoom 0.35.
// The page drawing hangs itself into PaintBox1->OnPaint.
//
// What the view shows is kept in a Seitenpuffer: an image of the visible part of the
// page, drawn by the window when the formulas, the scroll position or the view size
// changed, and copied to the screen by every paint event. The highlight frame is
// inverted on that image (not-xor), so moving the selection changes only the pixels
// of the two frames and never draws the page again.
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>

#include <cstdint>

#include "core/device/Device.h"
#include "gui/platform/VirtPntBox.h"

namespace kd {

inline constexpr double SeitenZoom = 0.35;
inline constexpr std::int32_t SeitenHoehe = 2970;

// Sets PaintBox1 up as a one-page virtual page inside the scroll box (portrait, no
// margins, base zoom 1.0), with zoom factor 0.35 and page height 2970.
void FormelSeiteEinrichten(gui::TVirtPntBox& paintBox, gui::TCScrollBox& scrollBox);

// The image of the visible part of the page.
class Seitenpuffer {
public:
    // Whether the image shows the page as it is now at this scroll position (pixels of
    // the paint box at the view's top-left corner) and view size.
    bool Passt(QPoint scroll, QSize view, qreal dpr) const;
    bool Gueltig() const { return gueltig_; }
    // A white image for the view, valid from now on; `abbildung` is the page mapping it
    // is drawn with (device pixels of the image = pixels of the view).
    QImage& Neu(QPoint scroll, QSize view, qreal dpr, const DeviceMapping& abbildung);
    // The page changed: the next paint draws it again.
    void Verwerfen() { gueltig_ = false; }

    QImage& Bild() { return bild_; }
    const QImage& Bild() const { return bild_; }
    QPoint Position() const { return pos_; }
    const DeviceMapping& Abbildung() const { return abbildung_; }

private:
    QImage bild_;
    QPoint pos_;
    DeviceMapping abbildung_;
    bool gueltig_ = false;
};

// The pixels of the paint box that a frame through the corners of `r` (page units)
// touches: its four sides, each a few pixels wide.
QRegion Rahmenregion(const gui::TVirtPntBox& paintBox, const TRect& r);

} // namespace kd
