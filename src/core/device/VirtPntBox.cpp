#include "core/device/VirtPntBox.h"

#include "core/device/Rounding.h"

namespace kd {

TDrawingState& DrawingState() {
    static TDrawingState state;
    return state;
}

TVirtPntBox::~TVirtPntBox() {
    if (DrawingState().CurrentPaintBox == this) DrawingState().CurrentPaintBox = nullptr;
}

void TVirtPntBox::SetParameter(bool portrait, std::int32_t m0, std::int32_t m1,
                               std::int32_t m2, std::int32_t m3, Extended baseZoom,
                               TScrollBoxPort* scrollBox) {
    if (AnzSeiten == 0) AnzSeiten = 1;
    ScrollBox = scrollBox;
    Margins[0] = m0;
    Margins[1] = m1;
    Margins[2] = m2;
    Margins[3] = m3;
    Portrait = portrait;
    BaseZoom = baseZoom;
    SetFormat();
    Raster = true;
    SetFormat();
    ZoomFactor = static_cast<double>(BaseZoom * FitScaleX);
    DrawingState().CurrentZoomX = ZoomFactor;
}

void TVirtPntBox::SetFormat() {
    PageWidth = (Portrait ? 2100 : 2970) - Margins[1] - Margins[3];
    PageHeight = (Portrait ? 2970 : 2100) - Margins[0] - Margins[2];
    AspectRatio = PageWidth != 0 ? double(PageHeight) / PageWidth : 0.0;
    SetScaleXY();
    if (ScrollBox) {
        ScrollBox->SetHorzRange(PageWidth, 50);
        ScrollBox->SetVertRange(2 * PageHeight, 50);
    }
}

void TVirtPntBox::SetScaleXY() {
    if (ScrollBox) {
        ViewWidth = ScrollBox->Width() - ScrollBox->VertScrollBarWidth();
        ViewHeight = ScrollBox->Height() - ScrollBox->HorzScrollBarHeight();
    } else {
        ViewWidth = BoxWidth();
        ViewHeight = BoxHeight();
    }
    const int d = Margins[1] != 0 ? 200 : 0;
    FitScaleX = double(ViewWidth) / (2970 - d);
    FitScaleY = double(ViewHeight) / (2970 - d);
    FitScale = Portrait ? FitScaleY : FitScaleX;
}

void TVirtPntBox::SetScale() {
    if (ZoomFactor <= 0) ZoomFactor = 1.0;  // a zoom of 0 would divide by zero below
    if (ScrollBox) {
        WindowOrgX = RoundEven(HorzScroll() / ZoomFactor);
        WindowOrgY = RoundEven(PageHeight - VertScroll() / ZoomFactor);
    } else {
        WindowOrgX = 0;
        WindowOrgY = PageHeight;
    }
    if (Device* dc = Canvas()) {
        const std::int32_t r = RoundEven(ZoomFactor * 1000.0);
        DeviceMapping m;
        m.WindowExt = {1000, -1000};
        m.ViewportExt = {r, r};
        m.WindowOrg = {WindowOrgX, WindowOrgY};
        m.ViewportOrg = {0, 0};
        dc->SetMapping(m);
    }
    TDrawingState& st = DrawingState();
    st.CurrentZoomX = st.CurrentZoomY = ZoomFactor;
    st.CurrentOriginX = WindowOrgX;
    st.CurrentOriginY = WindowOrgY;
}

std::int32_t TVirtPntBox::GetVirtX(int px) const {
    const double z = ZoomFactor > 0 ? ZoomFactor : 1.0;
    return RoundEven((px - HorzScroll()) / z) + WindowOrgX;
}

std::int32_t TVirtPntBox::GetVirtY(int py) const {
    const double z = ZoomFactor > 0 ? ZoomFactor : 1.0;
    return WindowOrgY - RoundEven((py - VertScroll()) / z);
}

bool TVirtPntBox::RectVollSichtbar(const TRect& r) {
    const double z = ZoomFactor > 0 ? ZoomFactor : 1.0;
    const std::int32_t x0 = WindowOrgX;
    const std::int32_t x1 = WindowOrgX + RoundEven(ViewWidth / z);
    const std::int32_t y0 = WindowOrgY - RoundEven(ViewHeight / z);
    const std::int32_t y1 = WindowOrgY;
    SetScale();
    auto inside = [&](std::int32_t x, std::int32_t y) {
        return x >= x0 && x < x1 && y >= y0 && y < y1;
    };
    return inside(r.Left, r.Top) && inside(r.Right, r.Bottom);
}

void TVirtPntBox::ScrollObjctSichtbar(const TRect& r) {
    if (!ScrollBox || RectVollSichtbar(r)) return;
    const double z = ZoomFactor > 0 ? ZoomFactor : 1.0;
    const std::int32_t h = RoundEven(ViewHeight / z) / 2;
    const std::int32_t w = RoundEven(ViewWidth / z) / 2;
    std::int32_t x = r.Left - w;
    if (x < 0) x = 0;
    const std::int32_t y = r.Top + h;
    ScrollBox->SetHorzPosition(RoundEven(x * z));
    ScrollBox->SetVertPosition(RoundEven((PageHeight - y) * z));
}

} // namespace kd
