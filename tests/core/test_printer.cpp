// The printer mapping: printable area, offsets, page origins, the mapping, page bands.
#include <gtest/gtest.h>

#include "core/device/FixedMetricsDevice.h"
#include "core/page/KDGPrinter.h"
#include "core/device/VirtPntBox.h"
#include "core/typeset/Formen.h"

using namespace kd;
using Kind = FixedMetricsDevice::Kind;

namespace {

// A printer device with a given printable size (mm) and resolution (dpi).
struct PrinterDevice : FixedMetricsDevice {
    PrinterDevice(int wmm, int hmm, int dpi) {
        HorzSizeMM = wmm;
        VertSizeMM = hmm;
        PixelsPerInch = dpi;
    }
};

struct StateScope {
    TDrawingState saved = DrawingState();
    ~StateScope() { DrawingState() = saved; }
};

} // namespace

TEST(Printer, OffsetsAndWindowOrigin) {
    StateScope keep;
    struct Case {
        int wmm, hmm;
        std::int32_t offShort, offLong;
        const char* name;
    } cases[] = {
        {203, 287, 35, 50, "portrait 2030 x 2870"},
        {287, 203, 35, 50, "landscape 2870 x 2030: the same offsets"},
        {210, 297, 0, 0, "the whole sheet"},
        {201, 281, 45, 80, "another printable area"},
    };
    for (const Case& c : cases) {
        PrinterDevice dev(c.wmm, c.hmm, 600);
        TKDGPrinter pr(nullptr, dev, true, 1, 200, 200, 2100, 2970);
        ASSERT_TRUE(pr.PageSetup()) << c.name;
        EXPECT_EQ(pr.PrintableWidth, c.wmm * 10) << c.name;
        EXPECT_EQ(pr.PrintableHeight, c.hmm * 10) << c.name;
        EXPECT_EQ(pr.OffsetShort, c.offShort) << c.name;
        EXPECT_EQ(pr.OffsetLong, c.offLong) << c.name;
        EXPECT_EQ(pr.PrintShiftX, c.offLong - 200) << c.name;
        EXPECT_EQ(pr.PrintShiftY, 200 - c.offShort) << c.name;
        EXPECT_EQ(pr.PageOriginX, 0);
        EXPECT_EQ(pr.PageOriginY, 2970);
    }
    PrinterDevice dev(203, 287, 600);
    TKDGPrinter pr(nullptr, dev, true, 1, 200, 200, 2100, 2970);
    ASSERT_TRUE(pr.PageSetup());
    EXPECT_EQ(pr.WindowOrigin(), (TPoint{-150, 2970 + 165}));
}

TEST(Printer, ScalesAndMapping) {
    StateScope keep;
    PrinterDevice dev(203, 287, 600);  // 600 dpi: 4795 x 6780 pixels
    TKDGPrinter pr(nullptr, dev, true, 1, 200, 200, 2100, 2970);
    ASSERT_TRUE(pr.PageSetup());
    const int xres = dev.GetDeviceCaps(DeviceCap::HorzRes);
    const int yres = dev.GetDeviceCaps(DeviceCap::VertRes);
    EXPECT_EQ(xres, 4795);
    EXPECT_EQ(pr.ScaleX, Extended(xres) / 203 / 10);
    EXPECT_EQ(pr.ScaleY, Extended(yres) / 287 / 10);
    const TDrawingState& st = DrawingState();
    EXPECT_EQ(st.CurrentOriginX, 0);
    EXPECT_EQ(st.CurrentOriginY, 2970);
    EXPECT_EQ(st.CurrentZoomX, pr.ScaleX);
    EXPECT_EQ(st.CurrentZoomY, pr.ScaleY);

    pr.SetMapping();
    const DeviceMapping& m = dev.Mapping();
    EXPECT_EQ(m.WindowExt, (TSize{1000, -1000}));
    EXPECT_EQ(m.ViewportExt, (TSize{2362, 2362}));  // round(2.3621 * 1000)
    EXPECT_EQ(m.WindowOrg, (TPoint{-150, 3135}));
    EXPECT_EQ(m.ViewportOrg, (TPoint{0, 0}));
    // The page's top-left corner inside the margins lands 200 - offset units in.
    const TPoint corner = dev.LPtoDP({0, 2970});
    EXPECT_EQ(corner, (TPoint{354, 390}));  // 150 and 165 units at 2.362 px per unit
}

TEST(Printer, PageOrigins) {
    StateScope keep;
    PrinterDevice dev(203, 287, 300);
    TKDGPrinter pr(nullptr, dev, true, 1, 200, 200, 2100, 2970);
    ASSERT_TRUE(pr.PageSetup());
    struct Case {
        int page;
        std::int32_t originY;
    } cases[] = {{1, 2970}, {2, 0}, {3, -2970}};
    for (const Case& c : cases) {
        pr.SetPageOrigin(c.page);
        EXPECT_EQ(pr.PageOriginY, c.originY) << c.page;
        EXPECT_EQ(DrawingState().CurrentOriginY, c.originY) << c.page;
    }
}

TEST(Printer, ZeroSizedPrinterIsRefused) {
    StateScope keep;
    DrawingState().CurrentZoomX = 0.35L;
    PrinterDevice dev(0, 0, 300);
    TKDGPrinter pr(nullptr, dev, true, 1, 200, 200, 2100, 2970);
    EXPECT_FALSE(pr.PageSetup());
    EXPECT_EQ(pr.ScaleX, 0);
    EXPECT_EQ(DrawingState().CurrentZoomX, 0.35L);  // the drawing state is left alone
    dev.ClearCalls();
    pr.SetMapping();
    EXPECT_TRUE(dev.CallsOf(Kind::SetMapping).empty());
}

TEST(Printer, PrintPageDrawsTheObjectsOfThePageBand) {
    StateScope keep;
    PrinterDevice dev(203, 287, 300);
    TCList<TDLine> list;
    auto pen = std::make_shared<TPenTyp>(PS_SOLID, 0, 1);
    list.Add(std::make_unique<TDLine>(TPoint{0, 2900}, TPoint{100, 2000}, 1, pen, false));  // page 1
    list.Add(std::make_unique<TDLine>(TPoint{0, 100}, TPoint{100, -100}, 2, pen, false));   // across
    list.Add(std::make_unique<TDLine>(TPoint{0, -10}, TPoint{100, -2000}, 3, pen, false));  // page 2
    list.Add(std::make_unique<TDLine>(TPoint{0, 2970}, TPoint{100, 0}, 4, pen, false));     // page 1, edges
    TKDGPrinter pr(nullptr, dev, true, 2, 200, 200, 2100, 2970, &list, nullptr);
    ASSERT_TRUE(pr.PageSetup());
    struct Case {
        int page;
        std::size_t lines;
    } cases[] = {{1, 2}, {2, 1}, {3, 0}};
    for (const Case& c : cases) {
        dev.ClearCalls();
        pr.PrintPage(c.page);
        EXPECT_EQ(dev.CallsOf(Kind::LineTo).size(), c.lines) << c.page;
        EXPECT_EQ(dev.Mapping().WindowOrg.y, (2 - c.page) * 2970 + 165) << c.page;
    }
    pr.ClipToPage = false;
    dev.ClearCalls();
    pr.PrintPage(1);
    EXPECT_EQ(dev.CallsOf(Kind::LineTo).size(), 4u);
}
