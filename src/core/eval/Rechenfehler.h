#pragma once
// The error state shared by the evaluator and the numeric functions it calls, and the
// messages of its codes (core/notation/Fehlercodes.h).
#include "core/notation/Fehlercodes.h"

namespace kd {

// The code of the last error (0 = none).
extern int Rechenfehler;

// Evaluator messages, index = code (1..12; entry 0 is empty). Windows-1252.
inline constexpr int RechenfehlerAnzahl = 12;
extern const char* const Rechenfehlertexte[RechenfehlerAnzahl + 1];
// The message of `code`; "" for 0 and for a code that has none.
const char* Rechenfehlertext(int code);

} // namespace kd
