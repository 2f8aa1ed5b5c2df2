#pragma once
// The numeric functions behind the operators and function keywords of a formula.
//
// Every function takes and returns 80-bit extended values. On an error it sets
// Rechenfehler (core/eval/Rechenfehler.h) to the code of Rechenfehlertexte and
// returns the substitute value named below; otherwise it leaves Rechenfehler alone,
// except Potenz, which always sets it (0 on success) first. No function raises, and
// none loops or recurses without bound, for any argument (NaN and infinities included).
#include "core/Types.h"
#include "core/eval/Rechenfehler.h"

namespace kd {

// x^y. x = 0 gives 0 for y > 0, 1 for y = 0, and error 1 (Ueberlaufwert) for y < 0,
// as x^0 is 1 and 0^-y a division by 0. Otherwise t := y * ln|x|: t > 230.258 is error 1
// with +Ueberlaufwert for x > 0 and -Ueberlaufwert for x < 0; t < -225.654 gives 0;
// x > 0 gives e^t; x < 0 with y not whole (Nachkomma) is error 4, else +-e^t by the
// parity of round(y). A whole exponent up to 64 in magnitude is raised by repeated
// multiplication (PotenzGanzzahlig: a more exact value, far faster than e^t); near the
// bounds of t and beyond them the decision is taken on t as above.
Extended Potenz(Extended x, Extended y);

// The whole-exponent path of Potenz for a finite x != 0 and |k| <= 64: x^k by
// repeated squaring. True when the power lies clear of e^230.258 and e^-225.654 by
// more than a relative 6E-12 (far more than the rounding of either way of computing
// it), so that t lies clear of its bounds and Potenz(x, k) is exactly this value
// without an error; false when Potenz has to decide on t.
inline constexpr double PotenzObergrenze = 9.9949083026e99;   // e^230.258 = 9.99490830266E99
inline constexpr double PotenzUntergrenze = 9.9933933176e-99; // e^-225.654 = 9.99339331754E-99
inline bool PotenzGanzzahlig(Extended x, int k, Extended& wert) {
    unsigned n = static_cast<unsigned>(k < 0 ? -k : k);
    Extended p = 1, q = x < 0 ? -x : x;
    for (;;) {
        if (n & 1u) p *= q;
        n >>= 1;
        if (n == 0) break;
        q *= q;
    }
    const Extended v = k >= 0 ? p : 1 / p;
    if (!(v < PotenzObergrenze && v > PotenzUntergrenze)) return false;
    wert = (x < 0 && (k & 1)) ? -v : v;
    return true;
}

// The gamma function to full precision (std::tgamma): error 1 (Ueberlaufwert) from 35
// up and for a value beyond 1E100 near a pole; 1E37 for 0 and negative whole x.
Extended Gamma(Extended x);

// x! for whole x from 0 to 69 (0! = 1). Above 69 error 1 (Ueberlaufwert);
// negative or not whole: error 10 (value 0).
Extended Fakultaet(Extended x);

// The next pseudo-random number of the one process-wide sequence times b:
// s := fractional part of e^(5 * ln(s + pi)), result s * b. The state starts at 4.
Extended Zufall(Extended b);
// Sets the state of the sequence back (4 is the state at program start).
void ZufallZuruecksetzen(Extended zustand = 4.0L);

// Hyperbolic functions, defined for -227.9 <= b <= 227.9.
// SinHyp: above error 1 (+Ueberlaufwert), below error 2 (-Ueberlaufwert).
// CosHyp: outside error 1 (+Ueberlaufwert). TanHyp: 1 above, -1 below.
Extended SinHyp(Extended b);
Extended CosHyp(Extended b);
Extended TanHyp(Extended b);

// Sine and cosine in radians; 0 for |b| >= 2^63.
Extended Sinus(Extended b);
Extended Kosinus(Extended b);
// sin b / cos b; cos b = 0 is error 1 (+-Ueberlaufwert by the sign of sin b).
Extended Tangens(Extended b);

// Arc sine to full precision: |b| > 1 is error 5 (value 0); |b| = 1 gives +-pi/2.
Extended ArcSin(Extended b);
// Arc cosine to full precision; error 5 as ArcSin, with the value 0.
Extended ArcCos(Extended b);
Extended ArcTan(Extended b);

// Natural and decimal logarithm; b <= 0 is error 6
// (+Ueberlaufwert).
Extended Ln(Extended b);
Extended Log(Extended b);

// INT: trunc(b + 1E-10) for b >= 0, trunc(b - 1E-10) below.
Extended Abrunden(Extended b);
// RUNDEN: halves away from zero (trunc(b +- 0.50000000001)).
Extended Runden(Extended b);
// VORZEICHEN: -1 for b < 0, else 1 (also for 0).
Extended Vorzeichen(Extended b);

// Square root; b < 0 is error 3 (value 0).
Extended Wurzel(Extended b);
// Potenz(b, 1/3) and Potenz(b, 0.25): a negative b is error 4.
Extended Wurzel3(Extended b);
Extended Wurzel4(Extended b);

} // namespace kd
