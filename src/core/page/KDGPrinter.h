#pragma once
// TKDGPrinter: maps the virtual page (0.1 mm, y up) onto a printer device so that the
// drawing code that paints the page on screen prints it at true size, centred on the
// printable area of an A4 sheet and shifted by the page margins.
//
// A printer that reports a printable size of 0 (or no pixels) cannot be mapped:
// PageSetup then returns false, leaves the scales at 0 and SetMapping does nothing;
// the print command stops the job.
#include <cstdint>

#include "core/CList.h"
#include "core/device/Device.h"
#include "core/Types.h"

namespace kd {

class TDLine;

class TKDGPrinter {
public:
    TKDGPrinter(Device* referenceCanvas, Device& printerDC, bool clipToPage,
                std::int32_t pageCount, std::int32_t topMargin, std::int32_t leftMargin,
                std::int32_t pageWidth, std::int32_t pageHeight,
                const TCList<TDLine>* list1 = nullptr, const TCList<TDLine>* list2 = nullptr);
    virtual ~TKDGPrinter() = default;
    TKDGPrinter(const TKDGPrinter&) = delete;
    TKDGPrinter& operator=(const TKDGPrinter&) = delete;

    // Measures the printer and publishes it as the device drawn on.
    virtual bool PageSetup();
    // Sets PageOriginY (and the drawing state's origin) for page n (1-based).
    void SetPageOrigin(int n);
    // Applies the printer mapping for the current page origin.
    void SetMapping();
    // Origin, mapping and the objects of the two lists that lie in the page band.
    virtual void PrintPage(int n);

    // The window origin SetMapping sets.
    TPoint WindowOrigin() const;

    Device* ReferenceCanvas;
    Device& PrinterDC;
    const TCList<TDLine>* ObjectLists[2];
    std::int32_t PageOriginX = 0, PageOriginY = 0;
    std::int32_t PrintShiftX = 0, PrintShiftY = 0;
    Extended ScaleX = 0, ScaleY = 0;
    std::int32_t PrintableHeight = 0, PrintableWidth = 0;
    std::int32_t OffsetShort = 0, OffsetLong = 0;
    std::int32_t PageHeight, PageWidth;
    std::int32_t LeftMargin, TopMargin;
    std::int32_t PageCount;
    bool ClipToPage;
};

} // namespace kd
