#pragma once
// A formula text set as the page sets it: parsed in collect mode with the real leaves
// and built into its element tree with the page's black pen, on one device and one
// set of formula styles. One setter serves any number of formulas in turn, so a page
// or a printout parses all of its formulas with the same equation object.
#include <memory>
#include <string>

#include "core/device/Device.h"
#include "core/device/Stile.h"
#include "core/notation/Gleichung.h"
#include "core/typeset/Elementfabrik.h"
#include "core/typeset/GBasis.h"

namespace kd {

class Formelsatz {
public:
    // `bedingung` parses the texts as conditions (comparisons) instead of formulas.
    Formelsatz(Device& dc, std::shared_ptr<TFormStyles> stile, bool bedingung = false);

    struct Ergebnis {
        std::unique_ptr<TDLine> Baum;  // null when the text does not parse
        int Code = 0;                  // the parser's error code, 0 = none
        int FehlerPos = 0;             // where the parser stopped (1-based)
    };
    // Parses `text` (Windows-1252) with the plot variables and builds its tree.
    Ergebnis Setzen(const std::string& text, const std::string& xVariable = "",
                    const std::string& zVariable = "");

    const std::shared_ptr<TFormStyles>& Stile() const { return stile_; }

private:
    Device& dc_;
    std::shared_ptr<TFormStyles> stile_;
    Elementfabrik fabrik_;
    TGleichung gleichung_;
};

} // namespace kd
