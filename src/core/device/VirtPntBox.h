#pragma once
// The virtual page paint box: a paper page in logical units of 0.1 mm with y up and
// the top edge at y = PageHeight, mapped to pixels with a zoom factor and the scroll
// position of the scroll box holding it. This is the arithmetic; the widget in the
// GUI derives from it and supplies the scroll box and the canvas.
//
// Also here: the process-wide drawing state. It always describes the device drawn on
// last — the paint box publishes it in SetScale, the printer in PageSetup — and the
// shapes (mark sizes) and the formatted text output (reference canvas, printer and
// metafile font correction) read it.
#include <cstdint>

#include "core/Types.h"
#include "core/device/Device.h"

namespace kd {

class TVirtPntBox;

struct TDrawingState {
    Extended CurrentZoomX = 1.0L;   // pixels per logical unit of the device drawn on
    Extended CurrentZoomY = 1.0L;
    Extended CurrentOriginX = 0.0L; // window origin of that device, logical units
    Extended CurrentOriginY = 0.0L;
    // The paint box whose canvas is the reference for text measurement; none: the
    // device drawn on is its own reference.
    TVirtPntBox* CurrentPaintBox = nullptr;
    bool Printing = false;        // a print job is running
    bool MetafileOutput = false;  // a picture is being recorded for the clipboard
};

// The one instance of the program (GUI thread only).
TDrawingState& DrawingState();

// What the arithmetic needs of the scroll box holding the paint box.
class TScrollBoxPort {
public:
    virtual ~TScrollBoxPort() = default;
    virtual int Width() const = 0;   // outer size in pixels
    virtual int Height() const = 0;
    virtual int VertScrollBarWidth() const = 0;   // the system's scroll bar sizes
    virtual int HorzScrollBarHeight() const = 0;
    virtual int HorzPosition() const = 0;
    virtual int VertPosition() const = 0;
    virtual void SetHorzPosition(int pos) = 0;
    virtual void SetVertPosition(int pos) = 0;
    virtual void SetHorzRange(int range, int lineStep) = 0;
    virtual void SetVertRange(int range, int lineStep) = 0;
};

class TVirtPntBox {
public:
    TVirtPntBox() = default;
    virtual ~TVirtPntBox();
    TVirtPntBox(const TVirtPntBox&) = delete;
    TVirtPntBox& operator=(const TVirtPntBox&) = delete;

    // One-time set-up: orientation, margins (0 and 2 taken from the height, 1 and 3
    // from the width), base zoom and the scroll box (or none).
    void SetParameter(bool portrait, std::int32_t m0, std::int32_t m1, std::int32_t m2,
                      std::int32_t m3, Extended baseZoom, TScrollBoxPort* scrollBox);

    // Page size and scroll ranges.
    virtual void SetFormat();
    // View size and the fitted scales.
    virtual void SetScaleXY();
    // Applies the mapping to the canvas (when there is one) and publishes it in the
    // drawing state. Every owner calls it before drawing or measuring on the canvas.
    virtual void SetScale();
    // Scrolls a logical rectangle into view (only with a scroll box).
    virtual void ScrollObjctSichtbar(const TRect& r);

    // Pixel of the paint box -> logical coordinate (using the origin of the last SetScale).
    std::int32_t GetVirtX(int px) const;
    std::int32_t GetVirtY(int py) const;
    // Whether both corners (Left, Top) and (Right, Bottom) lie in the view: lower
    // bounds included, upper bounds excluded.
    bool RectVollSichtbar(const TRect& r);

    // The canvas SetScale maps, or none; the GUI returns its device.
    virtual Device* Canvas() { return nullptr; }
    // Own size in pixels, used when there is no scroll box.
    virtual int BoxWidth() const { return 0; }
    virtual int BoxHeight() const { return 0; }

    // Fields, as the owners read and write them.
    Extended BaseZoom = 1.0L;
    TScrollBoxPort* ScrollBox = nullptr;
    std::int32_t ViewWidth = 0, ViewHeight = 0;
    std::int32_t PageWidth = 2100, PageHeight = 2970;
    double ZoomFactor = 1.0;
    double FitScaleX = 0, FitScale = 0, FitScaleY = 0;
    std::int32_t WindowOrgX = 0, WindowOrgY = 0;
    std::int32_t Margins[4] = {0, 0, 0, 0};
    bool Portrait = true;
    double AspectRatio = 2970.0 / 2100.0;
    bool Raster = false;
    std::uint8_t AnzSeiten = 0;

protected:
    int HorzScroll() const { return ScrollBox ? ScrollBox->HorzPosition() : 0; }
    int VertScroll() const { return ScrollBox ? ScrollBox->VertPosition() : 0; }
};

} // namespace kd
