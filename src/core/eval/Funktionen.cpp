#include "core/eval/Funktionen.h"

#include <cmath>
#include <cstdlib>

#include "core/numeric/Zahlen.h"

namespace kd {

int Rechenfehler = 0;

namespace {

constexpr Extended Pi = 3.14159265358979323846264338327950288L;
constexpr Extended HalbPi = 1.57079632679489661923132169163975144L;
constexpr Extended Zwei63 = 9223372036854775808.0L;  // 2^63

// Bounds of the exponent t = y * ln|x| in Potenz.
constexpr Extended TMax = 230.258L;
constexpr Extended TMin = -225.654L;

// The general path: t := y * ln|x| (x != 0).
Extended PotenzAllgemein(Extended x, Extended y) {
    const Extended t = y * std::log(std::fabs(x));
    if (t > TMax) {
        Rechenfehler = RfUeberlauf;
        return x > 0 ? Ueberlaufwert : -Ueberlaufwert;
    }
    if (t < TMin) return 0;
    if (x > 0) return std::exp(t);
    if (x < 0) {
        if (Nachkomma(y) != 0) {
            Rechenfehler = RfNegativerWert;
            return 0;
        }
        const Extended e = std::exp(t);
        // Parity of round(y); |y| >= 2^64 is always even.
        const Extended r = std::nearbyint(y);
        return std::fabs(std::fmod(r, 2.0L)) == 1 ? -e : e;
    }
    return x;  // NaN
}

} // namespace

Extended Potenz(Extended x, Extended y) {
    Rechenfehler = 0;
    if (x == 0) {
        // 0^y: 0 for y > 0, 1 for y = 0 (as x^0 is for every x), and for y < 0 a
        // division by 0.
        if (y > 0) return 0;
        if (y == 0) return 1;
        if (y < 0) {
            Rechenfehler = RfUeberlauf;
            return Ueberlaufwert;
        }
        return y;  // NaN
    }
    if (y >= -64 && y <= 64 && std::fabs(x) <= LDBL_MAX) {
        const int k = static_cast<int>(y);
        Extended v;
        if (k == y && PotenzGanzzahlig(x, k, v)) return v;
    }
    return PotenzAllgemein(x, y);
}

// ---- Gamma ------------------------------------------------------------------------

Extended Gamma(Extended x) {
    if (std::isnan(x)) return x;
    if (x >= 35) {
        Rechenfehler = RfUeberlauf;
        return Ueberlaufwert;
    }
    // 0 and the negative whole numbers are the poles.
    if (x <= 0 && std::nearbyint(x) == x) return 1E37L;
    // The library's gamma is exact to a few units of the last of 19 digits.
    const Extended g = std::tgamma(x);
    if (!(std::fabs(g) < Ueberlaufwert)) {
        Rechenfehler = RfUeberlauf;
        return g < 0 ? -Ueberlaufwert : Ueberlaufwert;
    }
    return g;
}

Extended Fakultaet(Extended x) {
    if (x > 69) {
        Rechenfehler = RfUeberlauf;
        return Ueberlaufwert;
    }
    if (std::isnan(x) || x < 0 || Nachkomma(x) != 0) {
        Rechenfehler = RfNichtGanzzahlig;
        return 0;
    }
    const int n = static_cast<int>(std::nearbyint(x));
    Extended p = 1;
    for (int k = 2; k <= n; ++k) p *= k;
    return p;
}

// ---- Random numbers ---------------------------------------------------------------

namespace {
Extended zufallszustand = 4.0L;
}

Extended Zufall(Extended b) {
    const Extended w = std::exp(5 * std::log(zufallszustand + Pi));
    zufallszustand = w - std::trunc(w);
    return zufallszustand * b;
}

void ZufallZuruecksetzen(Extended zustand) { zufallszustand = zustand; }

// ---- Hyperbolic and circular functions ----------------------------------------------

Extended SinHyp(Extended b) {
    if (b > 227.9L) {
        Rechenfehler = RfUeberlauf;
        return Ueberlaufwert;
    }
    if (b < -227.9L) {
        Rechenfehler = RfUnterlauf;
        return -Ueberlaufwert;
    }
    return (std::exp(b) - std::exp(-b)) / 2;
}

Extended CosHyp(Extended b) {
    if (b > 227.9L || b < -227.9L) {
        Rechenfehler = RfUeberlauf;
        return Ueberlaufwert;
    }
    return (std::exp(b) + std::exp(-b)) / 2;
}

Extended TanHyp(Extended b) {
    if (b > 227.9L) return 1;
    if (b < -227.9L) return -1;
    const Extended ep = std::exp(b), em = std::exp(-b);
    return (ep - em) / (ep + em);
}

Extended Sinus(Extended b) { return std::fabs(b) >= Zwei63 ? 0 : std::sin(b); }

Extended Kosinus(Extended b) { return std::fabs(b) >= Zwei63 ? 0 : std::cos(b); }

Extended Tangens(Extended b) {
    const Extended s = std::sin(b), c = std::cos(b);
    if (c == 0) {
        Rechenfehler = RfUeberlauf;
        return s > 0 ? Ueberlaufwert : -Ueberlaufwert;
    }
    return s / c;
}

Extended ArcSin(Extended b) {
    const Extended ab = std::fabs(b);
    if (ab > 1) {
        Rechenfehler = RfArgumentGroesser1;
        return 0;
    }
    if (ab == 1) return b > 0 ? HalbPi : -HalbPi;
    return std::asin(b);
}

Extended ArcCos(Extended b) {
    if (std::fabs(b) > 1) {
        Rechenfehler = RfArgumentGroesser1;
        return 0;
    }
    return std::acos(b);
}

Extended ArcTan(Extended b) { return std::atan(b); }

// ---- Logarithms, rounding, roots ------------------------------------------------------

Extended Ln(Extended b) {
    if (b <= 0) {
        Rechenfehler = RfLogarithmus;
        return Ueberlaufwert;
    }
    return std::log(b);
}

Extended Log(Extended b) {
    if (b <= 0) {
        Rechenfehler = RfLogarithmus;
        return Ueberlaufwert;
    }
    return std::log10(b);
}

Extended Abrunden(Extended b) { return b >= 0 ? std::trunc(b + 1E-10L) : std::trunc(b - 1E-10L); }

Extended Runden(Extended b) {
    return b > 0 ? std::trunc(b + 0.50000000001L) : std::trunc(b - 0.50000000001L);
}

Extended Vorzeichen(Extended b) { return b < 0 ? -1 : 1; }

Extended Wurzel(Extended b) {
    if (b < 0) {
        Rechenfehler = RfNegativeWurzel;
        return 0;
    }
    return std::sqrt(b);
}

Extended Wurzel3(Extended b) { return Potenz(b, 1.0L / 3.0L); }

Extended Wurzel4(Extended b) { return Potenz(b, 0.25L); }

} // namespace kd
