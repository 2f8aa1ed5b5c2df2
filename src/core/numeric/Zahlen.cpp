#include "Zahlen.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace kd {

namespace {

bool IstZiffer(char c) { return c >= '0' && c <= '9'; }

// snprintf into a string of the right size. The C library writes the decimal
// separator of the current locale; callers below only take digits and the exponent
// out of the result.
std::string Drucke(const char* format, int precision, long double v) {
    char klein[128];
    int n = std::snprintf(klein, sizeof klein, format, precision, v);
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < sizeof klein) return std::string(klein, static_cast<std::size_t>(n));
    std::string gross(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(gross.data(), gross.size(), format, precision, v);
    gross.resize(static_cast<std::size_t>(n));
    return gross;
}

// The significant digits and the decimal exponent of a >= 0 rounded to `digits`
// significant digits (correctly rounded on the binary value).
void Ziffern(long double a, int digits, std::string& ziffern, int& exponent) {
    const std::string s = Drucke("%.*Le", digits - 1, a);
    ziffern.clear();
    std::size_t i = 0;
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i)
        if (IstZiffer(s[i])) ziffern += s[i];
    exponent = 0;
    if (i < s.size()) exponent = std::atoi(s.c_str() + i + 1);
}

// The plain %.*Lf text of a >= 0 with "." as separator.
std::string FestOhneRunden(long double a, int decimals) {
    const std::string s = Drucke("%.*Lf", decimals, a);
    std::string ziffern;
    for (char c : s)
        if (IstZiffer(c)) ziffern += c;
    if (decimals <= 0) return ziffern;
    const std::size_t d = static_cast<std::size_t>(decimals);
    if (ziffern.size() <= d) ziffern.insert(0, d + 1 - ziffern.size(), '0');
    ziffern.insert(ziffern.size() - d, 1, '.');
    return ziffern;
}

// Adds one unit of the last digit to a decimal text of digits and at most one ".".
void ErhoeheLetzteStelle(std::string& s) {
    for (std::size_t i = s.size(); i-- > 0;) {
        if (s[i] == '.') continue;
        if (s[i] < '9') {
            ++s[i];
            return;
        }
        s[i] = '0';
    }
    s.insert(0, 1, '1');
}

std::string OhneEndnullen(std::string s) {
    if (s.find('.') == std::string::npos) return s;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

int AnzahlDezimalen(const std::string& s) {
    const std::size_t p = s.find('.');
    return p == std::string::npos ? 0 : static_cast<int>(s.size() - p - 1);
}

Extended WertVon(const std::string& s) {
    Extended v = 0;
    ParseDecimal(s, v);
    return v;
}

std::string Signum(bool neg) { return neg ? "-" : ""; }

// Greatest decimal count FormatFixed honours: enough for every fraction digit of the
// smallest subnormal extended value.
constexpr int MaxDezimalen = 20000;

} // namespace

// ---- Standard conversions -------------------------------------------------------

std::string FormatScientific18(Extended x) {
    if (std::isnan(x)) return " NAN";
    if (std::isinf(x)) return x > 0 ? " +INF" : "-INF";
    const bool neg = x < 0;
    std::string ziffern;
    int e = 0;
    Ziffern(std::fabs(x), 18, ziffern, e);
    ziffern.resize(18, '0');
    std::string s;
    s += neg ? '-' : ' ';
    s += ziffern[0];
    s += '.';
    s.append(ziffern, 1, 17);
    s += 'E';
    s += e < 0 ? '-' : '+';
    char exp[16];
    std::snprintf(exp, sizeof exp, "%04d", e < 0 ? -e : e);
    s += exp;
    return s;
}

std::string FormatFixed(Extended x, int decimals) {
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x > 0 ? "+INF" : "-INF";
    decimals = std::clamp(decimals, 0, MaxDezimalen);
    const bool neg = x < 0;
    const long double a = std::fabs(x);
    // a = N * 2^(ex - 64) with a 64-bit N; without N's trailing zero bits that leaves
    // b fraction bits, and a binary fraction of b bits has exactly b decimals. Only
    // when these fit into decimals + 1 digits can a tie occur; that text is then
    // exact and rounded here half away from zero. Otherwise the correctly rounded
    // text of the C library is the same as rounding half away from zero.
    int bruchstellen = 0;
    if (a != 0) {
        int ex = 0;
        const long double f = std::frexp(a, &ex);
        const auto N = static_cast<std::uint64_t>(std::ldexp(f, 64));
        bruchstellen = std::max(0, 64 - ex - std::countr_zero(N));
    }
    std::string s;
    if (bruchstellen <= decimals + 1) {
        s = FestOhneRunden(a, decimals + 1);
        const char letzte = s.back();
        s.pop_back();
        if (s.back() == '.') s.pop_back();
        if (letzte >= '5') ErhoeheLetzteStelle(s);
    } else {
        s = FestOhneRunden(a, decimals);
    }
    return Signum(neg) + s;
}

std::string FormatGeneral(Extended x, int digits) {
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
    if (x == 0) return "0";
    digits = std::clamp(digits, 1, 18);
    std::string z;
    int e = 0;
    Ziffern(std::fabs(x), digits, z, e);
    while (z.size() > 1 && z.back() == '0') z.pop_back();
    std::string s = Signum(x < 0);
    if (e >= -5 && e < digits) {
        if (e >= 0) {
            const std::size_t ganz = static_cast<std::size_t>(e) + 1;
            if (z.size() <= ganz) {
                s += z + std::string(ganz - z.size(), '0');
            } else {
                s += z.substr(0, ganz) + "." + z.substr(ganz);
            }
        } else {
            s += "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + z;
        }
    } else {
        s += z.substr(0, 1);
        if (z.size() > 1) s += "." + z.substr(1);
        s += "E" + std::to_string(e);
    }
    return s;
}

int ParseDecimal(std::string_view text, Extended& value) {
    value = 0;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && text[i] == ' ') ++i;
    bool neg = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        neg = text[i] == '-';
        ++i;
    }
    const std::size_t zahlAnfang = i;
    std::string mantisse;
    std::int64_t bruchstellen = 0;
    while (i < n && IstZiffer(text[i])) mantisse += text[i++];
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IstZiffer(text[i])) {
            mantisse += text[i++];
            ++bruchstellen;
        }
    }
    if (mantisse.empty()) return static_cast<int>(std::min<std::size_t>(zahlAnfang + 1, std::numeric_limits<int>::max()));

    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        const std::size_t ePos = i;
        std::size_t j = i + 1;
        bool expNeg = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            expNeg = text[j] == '-';
            ++j;
        }
        if (j >= n || !IstZiffer(text[j])) return static_cast<int>(std::min<std::size_t>(ePos + 1, std::numeric_limits<int>::max()));
        while (j < n && IstZiffer(text[j])) {
            if (exponent < 1000000000) exponent = exponent * 10 + (text[j] - '0');
            ++j;
        }
        if (expNeg) exponent = -exponent;
        i = j;
    }
    if (i < n) return static_cast<int>(std::min<std::size_t>(i + 1, std::numeric_limits<int>::max()));

    // Digits without a point and a plain exponent read the same in every locale.
    const std::size_t erste = mantisse.find_first_not_of('0');
    if (erste == std::string::npos) {
        value = neg ? -0.0L : 0.0L;
        return 0;
    }
    mantisse.erase(0, erste);
    std::int64_t gesamt = exponent - bruchstellen;
    gesamt = std::clamp<std::int64_t>(gesamt, -4000000000LL, 4000000000LL);
    const std::string kanonisch = mantisse + "e" + std::to_string(gesamt);
    errno = 0;
    long double v = std::strtold(kanonisch.c_str(), nullptr);
    if (neg) v = -v;
    value = v;
    if (std::isinf(v)) return static_cast<int>(std::min<std::size_t>(n + 1, std::numeric_limits<int>::max()));
    return 0;
}

// ---- Number text ----------------------------------------------------------------

Extended TextZuZahl(std::string_view text, int& fehlerPos) {
    std::string s(text);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    bool prozent = false;
    if (!s.empty() && s.back() == '%') {
        s.pop_back();
        prozent = true;
    }
    const std::size_t komma = s.find(',');
    if (komma != std::string::npos) s[komma] = '.';
    Extended v = 0;
    if (!s.empty() && (s[0] == 'E' || s[0] == 'e')) {
        fehlerPos = 1;
    } else {
        fehlerPos = ParseDecimal(s, v);
    }
    if (prozent) v /= 100;
    return v;
}

int ZahlLesen(std::string_view text, int pos, Extended& wert) {
    wert = 0;
    if (pos < 1 || static_cast<std::size_t>(pos) > text.size()) return 0;
    const std::string_view rest = text.substr(static_cast<std::size_t>(pos) - 1);
    const std::size_t n = rest.size();
    // The number is exactly its own characters: blanks before it, a sign, digits with
    // one decimal point or comma, an exponent with digits, and a "%". What follows
    // (blanks, an operator, ";") is not part of it.
    std::size_t i = 0;
    while (i < n && rest[i] == ' ') ++i;
    if (i < n && (rest[i] == '+' || rest[i] == '-')) {
        if (i + 1 >= n || !IstZiffer(rest[i + 1])) return 0;
        ++i;
    }
    std::size_t ziffern = 0;
    while (i < n && IstZiffer(rest[i])) ++i, ++ziffern;
    if (i < n && (rest[i] == '.' || rest[i] == ',')) {
        std::size_t j = i + 1;
        std::size_t bruch = 0;
        while (j < n && IstZiffer(rest[j])) ++j, ++bruch;
        if (ziffern + bruch > 0) {
            i = j;
            ziffern += bruch;
        }
    }
    if (ziffern == 0) return 0;
    if (i < n && (rest[i] == 'E' || rest[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < n && (rest[j] == '+' || rest[j] == '-')) ++j;
        if (j < n && IstZiffer(rest[j])) {
            while (j < n && IstZiffer(rest[j])) ++j;
            i = j;
        }
    }
    if (i < n && rest[i] == '%') ++i;
    int fehler = 0;
    wert = TextZuZahl(rest.substr(0, i), fehler);  // beyond the range: an infinity
    return static_cast<int>(i);
}

Zellbezug ZellbezugLesen(std::string_view text) {
    Zellbezug z;
    auto gross = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    auto buchstabe = [&](char c) { return gross(c) >= 'A' && gross(c) <= 'Z'; };
    auto fehler = [&z]() {
        z.Fehler = ZellbezugFehler;
        z.Laenge = 0;
        return z;
    };
    if (text.empty() || !buchstabe(text[0])) return fehler();
    std::size_t i = 0;
    std::int64_t s = 0;
    while (i < text.size() && i < 10 && buchstabe(text[i])) {
        s = s * 26 + (gross(text[i]) - 'A' + 1);
        ++i;
    }
    if (s - 1 > std::numeric_limits<std::int32_t>::max()) return fehler();
    z.Spalte = static_cast<std::int32_t>(s - 1);
    if (i >= text.size() || !IstZiffer(text[i])) return fehler();

    const std::string_view zahl = text.substr(i);
    int f = 0;
    Extended wert = TextZuZahl(zahl, f);
    std::size_t zahlLaenge = zahl.size();
    if (f == 0) {
        while (zahlLaenge > 0 && zahl[zahlLaenge - 1] == ' ') --zahlLaenge;
    } else {
        // Only the part before the first bad character belongs to the reference.
        zahlLaenge = std::min<std::size_t>(static_cast<std::size_t>(f - 1), zahl.size());
        wert = TextZuZahl(zahl.substr(0, zahlLaenge), f);
        if (f != 0 || zahlLaenge == 0) return fehler();
    }
    const Extended zeile = std::nearbyint(wert);
    if (!(zeile >= 0 && zeile <= static_cast<Extended>(std::numeric_limits<std::int32_t>::max())))
        return fehler();
    z.Zeile = static_cast<std::int32_t>(zeile) - 1;
    z.Laenge = static_cast<int>(i + zahlLaenge);
    return z;
}

std::string GrossSchreiben(std::string_view text) {
    std::string s(text);
    for (char& c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 'a' && u <= 'z') c = static_cast<char>(u - 'a' + 'A');
        else if (u == 0xE4) c = static_cast<char>(0xC4);  // ä -> Ä
        else if (u == 0xF6) c = static_cast<char>(0xD6);  // ö -> Ö
        else if (u == 0xFC) c = static_cast<char>(0xDC);  // ü -> Ü
    }
    return s;
}

std::string ZahlText(int n, Extended x) {
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
    n = std::clamp(n, 8, 100000);
    const bool neg = x < 0;
    const int ng = neg ? 1 : 0;

    std::string S = FormatScientific18(x);
    if (S[0] == ' ') S.erase(0, 1);
    const std::size_t ePos = S.find('E');
    std::string M = S.substr(0, ePos);
    int e = std::atoi(S.c_str() + ePos + 1);
    Extended m = WertVon(M);

    if (static_cast<int>(M.size()) > n) M = FormatFixed(m, n - 2 - ng);
    M = OhneEndnullen(M);
    // Rounding may have carried the mantissa up to 10: show it as 1 of the next
    // decade, so 999999999 reads 1E9 and not 10E8.
    if (std::fabs(WertVon(M)) >= 10) {
        M = Signum(neg) + "1";
        m = neg ? -1 : 1;
        ++e;
    }
    const int lm = static_cast<int>(M.size());

    // Mantissa in scientific display, its digits cut so that the text stays near n
    // characters.
    auto wissenschaftlich = [&](int dezimalen) {
        std::string t = OhneEndnullen(FormatFixed(m, std::max(0, dezimalen)));
        int exp = e;
        if (std::fabs(WertVon(t)) >= 10) {
            t = Signum(neg) + "1";
            ++exp;
        }
        return t + "E" + std::to_string(exp);
    };

    std::string T;
    const std::string E = std::to_string(e);
    const int le = static_cast<int>(E.size());
    if (e == 0) {
        const int L = lm - ng;
        T = FormatFixed(m, L >= 2 ? L - 2 : 0);
    } else if (e >= 1 && e < n) {
        const int L = lm - ng;
        T = FormatFixed(m, L >= 2 ? L - 2 : 0);
        const int k = std::max(0, std::min(lm - 2 - ng, e));
        if (k >= 1) {
            const std::size_t punkt = static_cast<std::size_t>(1 + ng);
            if (punkt < T.size() && T[punkt] == '.') {
                T.erase(punkt, 1);
                const std::size_t neu = std::min(T.size(), punkt + static_cast<std::size_t>(k));
                if (neu < T.size()) T.insert(neu, 1, '.');
            }
        }
        T.append(static_cast<std::size_t>(e - k), '0');
    } else if (e >= n) {
        const int L = (lm + le + 1 <= n) ? lm - ng : n - le - 1;
        T = wissenschaftlich(L - 2);
    } else {  // e < 0
        const int q = lm - e - n;
        if (-e <= le + 2 || q < 0) {
            Extended v = std::fabs(WertVon(M));
            if (q >= 1) v = std::fabs(WertVon(FormatFixed(m, std::max(0, AnzahlDezimalen(M) - q))));
            int exp = e;
            if (v >= 10) ++exp;
            if (exp >= 0) {
                T = Signum(neg) + "1";
            } else {
                std::string ziffern = FormatGeneral(v, 15);
                if (ziffern.size() >= 2) ziffern.erase(1, 1);
                T = Signum(neg) + "0." + std::string(static_cast<std::size_t>(-exp - 1), '0') + ziffern;
            }
        } else {
            const int L = (lm + le + 1 <= n) ? lm : n - le - 1;
            T = wissenschaftlich(L < ng + 2 ? 0 : L - 2 - ng);
        }
    }

    if (!T.empty() && T[0] == ' ') T.erase(0, 1);
    if (WertVon(T) == 0) T = "0";
    const std::size_t punkt = T.find('.');
    if (punkt != std::string::npos) T[punkt] = ',';
    return T;
}

// ---- Rounding and powers --------------------------------------------------------

int Zehnerexponent(Extended x) {
    if (!std::isfinite(x)) return 0;
    // The exponent of the 18-digit scientific form, found without building the text on
    // the heap: the integral rounds every value through here ten thousand times.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", x);
    const char* e = std::strchr(buf, 'e');
    return e ? std::atoi(e + 1) : 0;
}

Extended Zehnerpotenz(int k) {
    Extended v = 0;
    ParseDecimal("1.0E" + std::to_string(k), v);
    return v;
}

Extended RundeStellen(int d, Extended x) {
    if (!std::isfinite(x)) return x;
    const int e = Zehnerexponent(x);
    const long long k = e >= 1 ? static_cast<long long>(d) - 1 - e : static_cast<long long>(d) - 1;
    const Extended p = Zehnerpotenz(static_cast<int>(std::clamp<long long>(k, -100000, 100000)));
    if (p == 0) return 0;  // the rounding unit lies far above the number
    Extended y = x * p;
    if (!std::isfinite(y)) return x;  // more digits than an extended value holds
    y = x > 0 ? std::trunc(y + 0.5L) : std::trunc(y - 0.5L);
    if (y == 0) y = 0;  // +0, never -0
    return y / p;
}

Extended Nachkomma(Extended x) {
    if (!std::isfinite(x)) return 0;
    const Extended f = x - std::trunc(x);
    return f >= 0.9999999999L ? 0 : f;
}

// ---- Interpolation --------------------------------------------------------------

Extended Interpoliere(Extended x, Extended x1, Extended y1, Extended x2, Extended y2) {
    return y1 + (y2 - y1) * (x - x1) / (x2 - x1);
}

Extended InterpoliereLog(Extended a, Extended b, Extended t, int* fehler) {
    if (!(a > 0) || !(b > 0)) {
        if (fehler) *fehler = InterpolFehlerLogarithmus;
        return Ueberlaufwert;
    }
    const Extended la = std::log10(a);
    const Extended lb = std::log10(b);
    const Extended y = lb + (la - lb) * t;
    // The bounds of the evaluator's power routine: results beyond 1E100 overflow,
    // results below about 1E-98 are 0.
    const Extended ln = y * 2.302585092994045684L;
    if (ln > 230.258L) {
        if (fehler) *fehler = InterpolFehlerUeberlauf;
        return Ueberlaufwert;
    }
    if (ln < -225.654L) return 0;
    // The ends are exact, so a logarithmic scale starts and ends on its bounds.
    if (t == 0) return b;
    if (t == 1) return a;
    return std::pow(10.0L, y);
}

std::string ZahlTextExakt(Extended x) {
    if (!std::isfinite(x)) return ZahlText(8, x);
    auto exakt = [x](const std::string& t) {
        int f = 0;
        return TextZuZahl(t, f) == x && f == 0;
    };
    for (int n = 8; n <= 28; ++n) {
        const std::string t = ZahlText(n, x);
        if (exakt(t)) return t;
    }
    // ZahlText keeps at most about 15 digits; up to 18 come from the general form.
    std::string t;
    for (int d = 15; d <= 18; ++d) {
        t = FormatGeneral(x, d);
        for (char& c : t)
            if (c == '.') c = ',';
        if (exakt(t)) break;
    }
    return t;
}

} // namespace kd
