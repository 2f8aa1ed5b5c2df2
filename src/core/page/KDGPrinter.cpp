#include "core/page/KDGPrinter.h"

#include <algorithm>

#include "core/device/Rounding.h"
#include "core/device/VirtPntBox.h"
#include "core/typeset/GBasis.h"

namespace kd {

TKDGPrinter::TKDGPrinter(Device* referenceCanvas, Device& printerDC, bool clipToPage,
                         std::int32_t pageCount, std::int32_t topMargin,
                         std::int32_t leftMargin, std::int32_t pageWidth,
                         std::int32_t pageHeight, const TCList<TDLine>* list1,
                         const TCList<TDLine>* list2)
    : ReferenceCanvas(referenceCanvas), PrinterDC(printerDC), ObjectLists{list1, list2},
      PageHeight(pageHeight), PageWidth(pageWidth), LeftMargin(leftMargin),
      TopMargin(topMargin), PageCount(pageCount), ClipToPage(clipToPage) {}

bool TKDGPrinter::PageSetup() {
    const int wmm = PrinterDC.GetDeviceCaps(DeviceCap::HorzSize);
    const int hmm = PrinterDC.GetDeviceCaps(DeviceCap::VertSize);
    PrintableHeight = hmm * 10;
    PrintableWidth = wmm * 10;
    // Along the short and the long side, whichever way the paper lies.
    const std::int32_t a = PrintableHeight, b = PrintableWidth;
    OffsetShort = (2100 - std::min(a, b)) / 2;
    OffsetLong = (2970 - std::max(a, b)) / 2;

    PageOriginX = 0;
    PageOriginY = PageHeight;
    PrintShiftX = OffsetLong - LeftMargin;
    PrintShiftY = TopMargin - OffsetShort;

    const int xres = PrinterDC.GetDeviceCaps(DeviceCap::HorzRes);
    const int yres = PrinterDC.GetDeviceCaps(DeviceCap::VertRes);
    if (wmm <= 0 || hmm <= 0 || xres <= 0 || yres <= 0) {
        ScaleX = ScaleY = 0;
        return false;
    }
    ScaleX = Extended(xres) / wmm / 10;
    ScaleY = Extended(yres) / hmm / 10;

    TDrawingState& st = DrawingState();
    st.CurrentOriginX = 0;
    st.CurrentOriginY = PageHeight;
    st.CurrentZoomX = ScaleX;
    st.CurrentZoomY = ScaleY;
    return true;
}

void TKDGPrinter::SetPageOrigin(int n) {
    PageOriginY = (2 - n) * PageHeight;
    DrawingState().CurrentOriginY = PageOriginY;
}

TPoint TKDGPrinter::WindowOrigin() const {
    return {PageOriginX - LeftMargin + OffsetLong, PageOriginY + TopMargin - OffsetShort};
}

void TKDGPrinter::SetMapping() {
    if (!(ScaleX > 0) || !(ScaleY > 0)) return;
    DeviceMapping m;
    m.WindowExt = {1000, -1000};
    m.ViewportExt = {RoundEven(ScaleX * 1000), RoundEven(ScaleY * 1000)};
    m.WindowOrg = WindowOrigin();
    m.ViewportOrg = {0, 0};
    PrinterDC.SetMapping(m);
}

void TKDGPrinter::PrintPage(int n) {
    SetPageOrigin(n);
    SetMapping();
    const std::int32_t lo = (1 - n) * PageHeight, hi = (2 - n) * PageHeight;
    for (const TCList<TDLine>* list : ObjectLists) {
        if (!list) continue;
        for (int i = 0; i < list->Count(); ++i) {
            TDLine* obj = (*list)[i];
            const TRect r = NormalizeRect(obj->Rect);
            if (ClipToPage && !(r.Top >= lo && r.Top <= hi && r.Bottom >= lo && r.Bottom <= hi))
                continue;
            obj->Draw(PrinterDC);
        }
    }
}

} // namespace kd
