#pragma once
// The error code shared by the evaluator and the numeric functions it calls
// (0 = no error). Index into Rechenfehlertexte (core/typeset/Gleichung.h).

namespace kd {

extern int Rechenfehler;

// The codes of Rechenfehlertexte.
enum : int {
    RfUeberlauf = 1,        // "Division durch 0, oder Überlauf"
    RfUnterlauf = 2,        // "Unterlauf"
    RfNegativeWurzel = 3,   // "Negative Wurzel"
    RfNegativerWert = 4,    // "Negativer Wert"
    RfArgumentGroesser1 = 5,// "Argument > 1"
    RfLogarithmus = 6,      // "Argument<=0 für logarithmische Fkt."
    RfUndefiniert = 7,      // "Undefinierter Wert oder Bezeichner"
    RfIndex = 8,            // "Indize außerhalb zulässigen Bereiches"
    RfLeer = 9,             // "Array- oder Matrix-Wert leer"
    RfNichtGanzzahlig = 10, // "Argument nicht ganzzahlig oder negativ"
    RfStartwert = 11,       // "Startwert > Endwert"
    RfDurchlaeufe = 12,     // "Zu viele Schleifendurchläufe"
};

} // namespace kd
