#pragma once
// The typesetting part of layout and render that needs no Qt: a formula set as the
// page sets it, and the element tree as text. Compiled into the tool and into its Qt
// module (kdformel-cli-qt), which the tool loads only for layout and render.
#include <memory>
#include <string>

#include "core/device/Device.h"
#include "core/typeset/GBasis.h"

namespace kdcli {

// Parses `text` (Windows-1252) as the page does (collect mode, elements, the page's
// default styles) and builds the tree on dc. On a parse error prints
// "Fehler N: message" and returns null with the code in `code`.
std::unique_ptr<kd::TDLine> FormelSetzen(kd::Device& dc, const std::string& text, bool bedingung,
                                         int& code);

// The tree depth first, one element per line, two blanks per level.
void BaumZeigen(const kd::TDLine& e, int tiefe = 0);

// The entry points of the Qt module (C linkage, texts in Windows-1252).
using QtLayoutFunktion = int (*)(const char* text, int bedingung);
// symbolKlammern 0 draws brackets and integral signs as polygons, as the page does when
// its Symbol font test fails.
using QtRenderFunktion = int (*)(const char* quelle, int istFormel, const char* ausgabe,
                                 double zoom, int symbolKlammern);
inline constexpr const char* QtLayoutName = "kdcli_qt_layout";
inline constexpr const char* QtRenderName = "kdcli_qt_render";

} // namespace kdcli
