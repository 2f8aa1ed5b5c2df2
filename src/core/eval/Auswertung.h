#pragma once
// The evaluator: computes a formula from the terms and steps that FormelLesen and
// Reihenfolge left in the equation object. Parsing happens once; the walk may be repeated
// with new values as often as needed.
#include <string>

#include "core/notation/Gleichung.h"
#include "core/Types.h"

namespace kd {

// Walks the steps; does not reset Rechenwert nor set plot variables. `fehler` gets the
// code of Rechenfehlertexte (core/eval/Rechenfehler.h), 0 on success, and `textPos` the
// text position of the failing step.
Extended Auswerten(TGleichung& g, bool strikt, int& fehler, int& textPos);
// Rechenwert := Wert for every term, then Auswerten.
Extended Berechnen(TGleichung& g, bool strikt, int& fehler, int& textPos);
// Stores x and z into the plot variable terms, computes strictly; on an error the
// message (Windows-1252) is returned in `meldung` and the result is Leerwert.
Extended BerechneXZ(TGleichung& g, Extended x, Extended z, std::string& meldung);

} // namespace kd
