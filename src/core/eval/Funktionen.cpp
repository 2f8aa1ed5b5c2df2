#include "core/eval/Funktionen.h"

#include <cmath>
#include <cstdlib>

#include "core/numeric/Zahlen.h"

namespace kd {

int Rechenfehler = 0;

namespace {

constexpr Extended Pi = 3.14159265358979323846264338327950288L;
constexpr Extended HalbPi = 1.57079632679489661923132169163975144L;
constexpr Extended EulerE = 2.71828182845904523536028747135266250L;
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
    if (x == 0) return 0;
    if (y >= -64 && y <= 64 && std::fabs(x) <= LDBL_MAX) {
        const int k = static_cast<int>(y);
        Extended v;
        if (k == y && PotenzGanzzahlig(x, k, v)) return v;
    }
    return PotenzAllgemein(x, y);
}

// ---- Gamma ------------------------------------------------------------------------

namespace {

// Euler's limit for 1E-9 < x <= 1 (and just above 1, see Gamma):
// g(n) = n^x / x * prod_{k=1}^{n-1} k / (k + x) for n = 100, 110, ... until two
// rounds differ by less than 0.001. The product grows by the new factors from round
// to round; it is multiplied in the same order as when written out in full.
Extended EulerGrenzwert(Extended x) {
    Extended vorher = 0, g = 0, produkt = 1;
    int k = 1;
    for (int n = 100; n <= 1000000; n += 10) {
        for (; k <= n - 1; ++k) produkt *= Extended(k) / (Extended(k) + x);
        g = Potenz(Extended(n), x) / x * produkt;
        if (std::fabs(g - vorher) < 0.001L) break;
        vorher = g;
    }
    return g;
}

} // namespace

Extended Gamma(Extended x) {
    if (std::isnan(x)) return x;
    if (x >= 35) {
        Rechenfehler = RfUeberlauf;
        return Ueberlaufwert;
    }
    if (x >= 20) return std::sqrt(2 * Pi / x) * Potenz(x / EulerE, x);
    if (x > 1) {
        // Gamma(x) = (x - 1) * Gamma(x - 1), unwound. Should x - 1 fall to 1E-9 or
        // below, the rule for small x would lead straight back to x (x - 1 + 1 is x
        // again); Euler's limit is then taken at x itself.
        Extended faktor[20];
        int n = 0;
        while (x > 1 && n < 20) {
            const Extended y = x - 1;
            if (y <= 1E-9L) break;
            faktor[n++] = y;
            x = y;
        }
        Extended r = EulerGrenzwert(x);
        while (n > 0) r = faktor[--n] * r;
        return r;
    }
    if (x > 1E-9L) return EulerGrenzwert(x);

    // x <= 1E-9: 1E37 for 0 and negative whole numbers, else Gamma(x + 1) / x.
    if (Nachkomma(x) == 0) return 1E37L;
    if (x < -2100) {
        // The quotient underflows long before: |Gamma(x)| < 1E-4951 here. Keep the
        // sign the divisions would give, (-1)^ceil(-x).
        const Extended m = std::ceil(-x);
        return std::fabs(std::fmod(m, 2.0L)) == 1 ? -0.0L : 0.0L;
    }
    Extended divisor[2102];
    int n = 0;
    Extended basis;
    for (;;) {
        divisor[n++] = x;
        x = x + 1;
        if (x > 1E-9L) {
            basis = EulerGrenzwert(x);  // x <= 1 + 1E-9 (see above for x > 1)
            break;
        }
        if (Nachkomma(x) == 0) {
            basis = 1E37L;
            break;
        }
    }
    while (n > 0) basis = basis / divisor[--n];
    return basis;
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
    if (n == 0) return 0;
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
    // The argument goes through Nachkomma first, as it always has: 0.9999999999 up to
    // (not including) 1 is taken as 0.
    b = Nachkomma(b);
    return std::atan(b / std::sqrt(1 - b * b));
}

Extended ArcCos(Extended b) {
    if (std::fabs(b) > 1) {
        Rechenfehler = RfArgumentGroesser1;
        return 0;
    }
    return 1.570796327L - ArcSin(b);
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
    return std::log(b) / 2.302585093L;
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
