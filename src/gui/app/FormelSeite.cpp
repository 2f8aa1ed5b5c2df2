#include "gui/app/FormelSeite.h"

namespace kd {

void FormelSeiteEinrichten(gui::TVirtPntBox& paintBox, gui::TCScrollBox& scrollBox) {
    paintBox.SetParameter(true, 0, 0, 0, 0, 1.0L, &scrollBox);
    paintBox.ZoomFactor = SeitenZoom;
    paintBox.PageHeight = SeitenHoehe;
    paintBox.update();
}

} // namespace kd
