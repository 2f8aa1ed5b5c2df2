#pragma once
// The plot entry point of the Qt module: draws a curve table as the plot window draws
// it into an SVG, PNG or PDF file.
#include "core/plot/Kurve.h"

namespace kdcli {

using QtPlotFunktion = int (*)(const kd::Kurventabelle* tabelle, int logX, int logY, const char* ausgabe);
inline constexpr const char* QtPlotName = "kdcli_qt_plot";

} // namespace kdcli
