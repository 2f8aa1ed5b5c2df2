#pragma once
// The codes of a computation's errors (0 = no error), the index into Rechenfehlertexte
// (core/eval/Rechenfehler.h). They live with the notation because identifiers and table
// references, which read and write values, report them as the evaluator does.

namespace kd {

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
