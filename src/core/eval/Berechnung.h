#pragma once
// The work behind "Formel berechnen": which variables to ask for, computing the formula
// with the typed values, and the text of the result box. The window only shows it.
#include <array>
#include <functional>
#include <string>

#include "core/notation/Bezeichner.h"
#include "core/Types.h"

namespace kd {

using MerkListe = std::array<Extended, 11>;

// Message texts (Windows-1252).
extern const char* const MeldungMehrereTeilformeln;  // two lines, LF CR between them
extern const char* const MeldungNichtMoeglich;       // "Berechnung hier nicht möglich"
extern const char* const MeldungFehlerInFormel;      // "Fehler in Formel, oder Markierung falsch"

struct Berechnungsergebnis {
    enum class Art {
        Ergebnis,      // a value was computed; Meldung is the "Berechnung" box text
        Rechenfehler,  // the "Berechnung" box shows a parser or evaluator message
        Abgelehnt,     // refused before the mask; Meldung goes into an "Achtung" box
        Markieren,     // several sub-formulas: Meldung in an "Achtung" box, then mark
        Abgebrochen,   // the input mask was cancelled
    };
    Art art = Art::Abgebrochen;
    std::string Meldung;
    // For Markieren: the first sub-formula, as 1-based text positions.
    int MarkStart = 0, MarkEnde = 0;
    Extended Wert = Undefiniert;
};

// Asks the user for the values of the listed variables (their values are preset from the
// remembered inputs, 1E300 = empty). Returns false when the user cancels.
using Werteingabe = std::function<bool(Bezeichnerliste& variablen)>;

// Computes `text`: the selected formula's text when `markiert` is false (several
// sub-formulas are then refused with Markieren), or the marked part read back from the
// text line when `markiert` is true (a final ";" is dropped). `merk` supplies the preset
// values and receives the typed ones.
Berechnungsergebnis FormelBerechnen(const std::string& text, bool markiert, MerkListe& merk,
                                    const Werteingabe& eingabe);

// The text the Tab marking selects for sub-formula `nummer` (1-based) of `text`, as the
// text line shows it after the marking; empty when there is no such sub-formula.
std::string Teilformel(const std::string& text, int nummer);

} // namespace kd
