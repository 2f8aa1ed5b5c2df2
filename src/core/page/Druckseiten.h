#pragma once
// Printing a library: the formulas one below the other on as many A4 sheets as they
// need, each under a grey separator line, with its heading comment and its picture,
// placed as on the screen page but starting at the top of every sheet.
//
// The page is mapped by TKDGPrinter (top and left margins of the option record's page
// style) and drawn with the ordinary drawing code while Printing is set, so the fonts
// are corrected for the printer. A new sheet is started before a formula when less
// than 500 units (50 mm) of the 2970 remain, and also when the formula's block would
// run off the printable area below (a tall formula near the bottom is not cut).
// A text that does not parse is left out completely: no separator, no comment, no
// space.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/device/Device.h"
#include "core/eval/KDGData.h"

namespace kd {

class Seitenbilder;

// Where one formula went.
struct DruckPosten {
    int Formel = 0;             // index in the texts
    int Seite = 1;              // sheet of its copy, 1-based
    std::int32_t Trennlinie = 0;  // y of the separator line above it
    TRect Element;              // the laid-out formula as drawn
    TRect Bild;                 // its picture; all 0 without one
};

struct Druckergebnis {
    bool Gedruckt = false;      // false: the printer reports no printable size
    int Seiten = 0;             // sheets per copy
    std::vector<DruckPosten> Posten;  // of the first copy
    std::vector<int> Ausgelassen;     // formulas whose text does not parse
};

struct Druckauftrag {
    const std::vector<std::string>* Texte = nullptr;  // formula texts (Windows-1252)
    Seitenbilder* Bilder = nullptr;                   // pictures, or none
    TKDGStyles Seitenstil;                            // margins
    int Kopien = 1;
    std::int32_t SeitenBreite = 2100;                 // the screen page's size
    std::int32_t SeitenHoehe = 2970;
    // Starts the next sheet on the printer (between sheets and between copies).
    std::function<void()> NeueSeite;
};

// A new sheet is started when less than this remains of the 2970 units.
inline constexpr std::int32_t DruckMindestRest = 500;

// Prints the job on `drucker` (the printer's device, drawing). The reference canvas for
// text widths is the current paint box's canvas, as everywhere; the caller sets
// CurrentPaintBox (or leaves none: the printer measures itself). Printing is set while
// the job runs and restored afterwards.
Druckergebnis FormelsammlungDrucken(Device& drucker, const Druckauftrag& auftrag);

} // namespace kd
