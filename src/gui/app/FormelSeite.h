#pragma once
// The formula page of the main window: PaintBox1, a virtual page paint box
// (gui::TVirtPntBox) inside the scroll box CScrollBox1, one A4 page in portrait in
// tenths of a millimetre with y up and the top edge at y = 2970, shown at zoom 0.35.
// The page drawing hangs itself into PaintBox1->OnPaint.
#include <cstdint>

#include "gui/platform/VirtPntBox.h"

namespace kd {

inline constexpr double SeitenZoom = 0.35;
inline constexpr std::int32_t SeitenHoehe = 2970;

// Sets PaintBox1 up as a one-page virtual page inside the scroll box (portrait, no
// margins, base zoom 1.0), with zoom factor 0.35 and page height 2970.
void FormelSeiteEinrichten(gui::TVirtPntBox& paintBox, gui::TCScrollBox& scrollBox);

} // namespace kd
