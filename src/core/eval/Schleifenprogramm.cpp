#include "core/eval/Schleifenprogramm.h"

#include <cmath>
#include <limits>
#include <typeinfo>

#include "core/eval/Funktionen.h"
#include "core/eval/Rechenfehler.h"

namespace kd {

namespace {

// Operation codes. A binary operation comes in three forms by where its right
// operand is: a constant (K), the loop variable (X), or computed (S: the right
// operand is the register, the left one comes from the stack).
enum : std::uint8_t {
    LadeK,    // register := konst[K]
    LadeX,    // register := loop variable
    Ablegen,  // push the register
    Funktion, // register := f(register); f by K (the step kind)
    Betrag,
    Quadrat,
    PotenzK,  // register := register ^ konst[K], a whole exponent Ganz
    PotenzXK, // register := loop variable ^ konst[K], a whole exponent Ganz
    Quadrat2, // register := register ^ konst[K] where that is 2: register * register
    Quadrat2X,// register := loop variable ^ 2
    Fertig,   // end of the program: the register holds the body's value
    Binaer,   // Binaer + Formen * operation + form
};

// Where the operands of a binary operation come from. R: the register; S: the stack
// (then the right operand is the register); K: a constant; X: the loop variable.
// XK, KX and XX stand for a load followed by the operation.
enum : std::uint8_t { FormRK, FormRX, FormSR, FormXK, FormKX, FormXX, Formen };

constexpr std::uint8_t BinaerCode(int operation, int form) {
    return static_cast<std::uint8_t>(Binaer + Formen * operation + form);
}

// Binary step kinds in the order of their codes.
constexpr std::int32_t BinaereArten[] = {ArtPlus, ArtMinus, ArtMal, ArtGeteilt, ArtHoch, 28, 29, 30, 31, 32, 33};
constexpr int BinaerAnzahl = sizeof BinaereArten / sizeof BinaereArten[0];

int BinaerIndex(std::int32_t art) {
    for (int i = 0; i < BinaerAnzahl; ++i)
        if (BinaereArten[i] == art) return i;
    return -1;
}

using Einstellig = Extended (*)(Extended);

// The functions of the step kinds 7..27 the program runs (not ZUFALL: it changes the
// random state, so it must run as often and in the order the steps say).
Einstellig FunktionZu(std::int32_t art) {
    switch (art) {
    case 7: return SinHyp;
    case 8: return CosHyp;
    case 9: return TanHyp;
    case 10: return Sinus;
    case 11: return Kosinus;
    case 12: return Tangens;
    case 13: return ArcSin;
    case 14: return ArcCos;
    case 15: return ArcTan;
    case 16: return Ln;
    case 17: return Log;
    case 18: return Abrunden;
    case 19: return Runden;
    case 20: return Vorzeichen;
    case ArtWurzel: return Wurzel;
    case 22: return Wurzel3;
    case 23: return Wurzel4;
    case ArtFakultaet: return Fakultaet;
    case ArtGamma: return Gamma;
    default: return nullptr;
    }
}

bool Einfach(const TBezeichner* b) { return b && typeid(*b) == typeid(TBezeichner); }

} // namespace

bool Schleifenprogramm::Uebersetzen(const TGleichung& g, int rumpf, int schritt, TBezeichner* variable,
                                    const TBezeichner* schrittweite) {
    gueltig_ = false;
    rumpf_ = rumpf;
    schritt_ = schritt;
    befehle_ = konstanten_ = nachladen_ = 0;
    variable_ = variable;
    schrittweite_ = schrittweite;
    if (rumpf < 1 || rumpf >= schritt) return false;  // no body steps
    if (!Einfach(variable) || variable->Zelle) return false;
    if (schrittweite && (!Einfach(schrittweite) ||
                         (!schrittweite->Zelle && schrittweite->WertZeiger == variable->WertZeiger)))
        return false;

    // The body as a tree: the value of every term as the steps leave it.
    enum : std::uint8_t { BlattK, BlattX, Knoten };
    struct Eintrag {
        std::uint8_t Form;
        std::int16_t K;     // BlattK: constant; Knoten: operation (binary index or kind)
        std::int16_t Links;  // Knoten: left operand (binary) or argument (function)
        std::int16_t Rechts; // Knoten: right operand (binary), -1 for a function
        bool Binaer;
    };
    Eintrag baum[3 * MaxTerme];
    int eintraege = 0;
    std::int16_t wert[MaxTerme + 1];
    for (auto& w : wert) w = -1;

    const Bezeichnerliste& bez = g.Bezeichner();
    auto konstante = [&](Extended v) -> std::int16_t {
        if (konstanten_ >= 2 * MaxTerme) return -1;
        konst_[konstanten_] = v;
        return static_cast<std::int16_t>(konstanten_++);
    };
    // The value of term t at the start of a pass: Wert, as the reset left it.
    auto termwert = [&](std::int32_t t) -> std::int16_t {
        if (wert[t] >= 0) return wert[t];
        const std::int16_t k = konstante(g.Terme[std::size_t(t)].Wert);
        if (k < 0) return -1;
        baum[eintraege] = Eintrag{BlattK, k, -1, -1, false};
        return wert[t] = static_cast<std::int16_t>(eintraege++);
    };

    for (int s = rumpf; s < schritt; ++s) {
        const Schritt& st = g.Schritte[std::size_t(s)];
        if (st.Links < 1 || st.Links > MaxTerme || st.Rechts < 1 || st.Rechts > MaxTerme) return false;
        if (eintraege + 3 > 3 * MaxTerme) return false;
        const std::int32_t art = st.Art;
        if (art >= ArtBezeichner) {
            const int n = art - ArtBezeichner;
            if (n >= bez.Count()) return false;
            const TBezeichner* b = bez[n];
            if (!Einfach(b)) return false;
            if (!b->Zelle && b->WertZeiger == variable->WertZeiger) {
                baum[eintraege] = Eintrag{BlattX, -1, -1, -1, false};
            } else {
                // Constant over the passes (nothing in the body assigns); read anew at
                // every start of the program.
                const std::int16_t k = konstante(0);
                if (k < 0) return false;
                nachladen_liste_[nachladen_++] = Nachladen{k, b};
                baum[eintraege] = Eintrag{BlattK, k, -1, -1, false};
            }
            wert[st.Links] = static_cast<std::int16_t>(eintraege++);
        } else if (const int bi = BinaerIndex(art); bi >= 0) {
            const std::int16_t a = termwert(st.Links);
            const std::int16_t b = termwert(st.Rechts);
            if (a < 0 || b < 0) return false;
            baum[eintraege] = Eintrag{Knoten, static_cast<std::int16_t>(bi), a, b, true};
            wert[st.Links] = static_cast<std::int16_t>(eintraege++);
        } else if (art == ArtAbs || art == ArtQuadrat || FunktionZu(art)) {
            const std::int16_t b = termwert(st.Rechts);
            if (b < 0) return false;
            baum[eintraege] = Eintrag{Knoten, static_cast<std::int16_t>(art), b, -1, false};
            wert[st.Links] = static_cast<std::int16_t>(eintraege++);
        } else {
            return false;
        }
    }
    const std::int32_t r = g.Schritte[std::size_t(schritt)].Rechts;
    if (r < 1 || r > MaxTerme || wert[r] < 0) return false;

    // Postfix order, without recursion: (entry, phase) on a stack of our own.
    struct Rahmen {
        std::int16_t E;
        std::uint8_t Phase;
    };
    Rahmen stapel[3 * MaxTerme];
    int sp = 0;
    stapel[sp++] = Rahmen{wert[r], 0};
    auto befehl = [&](std::uint8_t code, std::int16_t k, std::int8_t ganz = 0) {
        if (befehle_ >= 4 * MaxTerme - 1) return false;  // room for Fertig
        befehl_[befehle_++] = Befehl{code, ganz, k};
        return true;
    };
    auto istBlatt = [&](std::int16_t e) { return baum[e].Form != Knoten; };
    auto nachladenIst = [&](std::int16_t k) {
        for (int i = 0; i < nachladen_; ++i)
            if (nachladen_liste_[i].K == k) return true;
        return false;
    };
    while (sp > 0) {
        Rahmen& f = stapel[sp - 1];
        const Eintrag& e = baum[f.E];
        if (e.Form == BlattK) {
            if (!befehl(LadeK, e.K)) return false;
            --sp;
            continue;
        }
        if (e.Form == BlattX) {
            if (!befehl(LadeX, 0)) return false;
            --sp;
            continue;
        }
        if (f.Phase == 0) {  // first the left operand (or the argument)
            f.Phase = 1;
            if (sp >= 3 * MaxTerme) return false;
            stapel[sp++] = Rahmen{e.Links, 0};
            continue;
        }
        if (!e.Binaer) {
            const bool ok = e.K == ArtAbs ? befehl(Betrag, 0)
                            : e.K == ArtQuadrat ? befehl(Quadrat, 0)
                                                : befehl(Funktion, e.K);
            if (!ok) return false;
            --sp;
            continue;
        }
        const Eintrag& rechts = baum[e.Rechts];
        if (f.Phase == 1 && istBlatt(e.Rechts)) {
            bool ok;
            if (rechts.Form == BlattX) {
                ok = befehl(BinaerCode(e.K, FormRX), 0);
            } else {
                const Extended y = konst_[rechts.K];
                const bool ganz = BinaereArten[e.K] == ArtHoch && y >= -64 && y <= 64 &&
                                  y == static_cast<int>(y) && !nachladenIst(rechts.K);
                ok = !ganz ? befehl(BinaerCode(e.K, FormRK), rechts.K)
                     : y == 2 ? befehl(Quadrat2, rechts.K, 2)
                              : befehl(PotenzK, rechts.K, static_cast<std::int8_t>(static_cast<int>(y)));
            }
            if (!ok) return false;
            --sp;
            continue;
        }
        if (f.Phase == 1) {  // a computed right operand: keep the left one on the stack
            f.Phase = 2;
            if (!befehl(Ablegen, 0) || sp >= 3 * MaxTerme) return false;
            stapel[sp++] = Rahmen{e.Rechts, 0};
            continue;
        }
        if (!befehl(BinaerCode(e.K, FormSR), 0)) return false;
        --sp;
    }

    // A load followed by an operation on the register becomes one instruction.
    int z = 0;
    for (int q = 0; q < befehle_; ++q) {
        const Befehl c = befehl_[q];
        if (q + 1 < befehle_ && (c.Code == LadeX || c.Code == LadeK)) {
            const Befehl d = befehl_[q + 1];
            const int op = d.Code >= Binaer ? (d.Code - Binaer) / Formen : -1;
            const int form = d.Code >= Binaer ? (d.Code - Binaer) % Formen : -1;
            Befehl f = d;
            bool vereint = true;
            if (c.Code == LadeX && d.Code == PotenzK) f.Code = PotenzXK;
            else if (c.Code == LadeX && d.Code == Quadrat2) f.Code = Quadrat2X;
            else if (c.Code == LadeX && form == FormRK) f.Code = BinaerCode(op, FormXK);
            else if (c.Code == LadeX && form == FormRX) f.Code = BinaerCode(op, FormXX);
            else if (c.Code == LadeK && form == FormRX) f = Befehl{BinaerCode(op, FormKX), 0, c.K};
            else vereint = false;
            if (vereint) {
                befehl_[z++] = f;
                ++q;
                continue;
            }
        }
        befehl_[z++] = c;
    }
    // Can the body's value be Leerwert? Not after a product or a power (both stay
    // below 1E100 or leave the program) nor after a comparison.
    const std::uint8_t letzter = befehl_[z - 1].Code;
    const int letzteOp = letzter >= Binaer ? (letzter - Binaer) / Formen : -1;
    leerMoeglich_ = !(letzter == PotenzK || letzter == PotenzXK || letzter == Quadrat2 ||
                      letzter == Quadrat2X || letzteOp == 2 || letzteOp == 4 || letzteOp >= 5);
    befehl_[z++] = Befehl{Fertig, 0, 0};
    befehle_ = z;
    aufrufe_ = false;
    for (int q = 0; q < befehle_; ++q) {
        const std::uint8_t code = befehl_[q].Code;
        if (code == Funktion || (code >= BinaerCode(4, 0) && code < BinaerCode(5, 0))) aufrufe_ = true;
    }
    gueltig_ = true;
    return true;
}

namespace {

// Bounds the program tests in double precision (an 80-bit constant costs a slow
// memory load at every use; a double one is cheap). Each lies strictly inside the
// range where the exact test would pass, so a value beyond it is left to the steps.
constexpr double ProduktGrenze = 9.99e99;  // |a * b| below: no overflow (1E100)
constexpr double LeerGrenze = 1E199;       // |r| below: not Leerwert (1E200)

// The loop ends at the arrival with ende <= x + eps. As x + eps (rounded) grows
// with x, that holds exactly for the x from some value on: the smallest x with it,
// found from ende - eps by stepping over neighbouring values. (ende is finite.)
Extended Endschwelle(Extended ende, Extended eps) {
    const Extended unendlich = std::numeric_limits<Extended>::infinity();
    Extended g = ende - eps;
    while (!(ende <= g + eps)) g = std::nextafter(g, unendlich);
    for (;;) {
        const Extended kleiner = std::nextafter(g, -unendlich);
        if (!(ende <= kleiner + eps)) break;
        g = kleiner;
    }
    return g;
}

} // namespace

namespace {

using Befehl = Schleifenprogramm::Befehl;

// The passes. With Aufrufe the program calls functions (Potenz on a computed exponent,
// SIN and the like); without, it calls none, so that the loop's values can stay in
// registers (every x87 register is lost in a call), and a power that Potenz has to
// decide ends the program instead.
template <bool Aufrufe, bool Produkt>
long long Laeufe(const Befehl* const befehle, const bool leerMoeglich, const Extended* const konst,
                 const double* const hoch, const double* const tief,
                 const Extended h, const Extended schwelle, const long long hoechstens, Extended& xEin,
                 Extended& sEin) {
    Extended stapel[MaxTerme];
    Extended x = xEin, s = sEin;
    long long n = 0;
    if (hoechstens <= 0) return 0;
    for (;;) {
        // The arrival after this pass must go on: neither the end (ende <= x + 1E-10,
        // that is x >= schwelle) nor a step that leaves the variable where it is.
        if (x >= schwelle) break;
        const Extended neu = x + h;
        if (!(neu > x)) break;

        // The pass. A step that would fail or need Potenz's decision ends the program
        // before anything of this pass is kept.
        int sp = 0;
        Extended reg = 0;
// A constant operand, from its two double halves (two cheap loads and an exact sum).
#define KD_K (Extended(hoch[c.K]) + Extended(tief[c.K]))
        for (const Befehl* ip = befehle;; ++ip) {
            const Befehl c = *ip;
            switch (c.Code) {
            case Fertig: goto durchlaufen;
            case LadeK: reg = KD_K; break;
            case LadeX: reg = x; break;
            case Ablegen: stapel[sp++] = reg; break;
            case Betrag: reg = std::fabs(reg); break;
            case Quadrat: reg = reg * reg; break;
            case Funktion:
                if constexpr (Aufrufe) {
                    Rechenfehler = 0;
                    reg = FunktionZu(c.K)(reg);
                    if (Rechenfehler != 0) goto abbruch;
                    break;
                } else {
                    goto abbruch;
                }

// A whole exponent: the repeated squaring of Potenz (for 2 that is g * g), which
// fails for 0, infinities, NaN and powers near or beyond the bounds; 0 gives +0 as
// in Potenz; the rest goes to Potenz itself or, without calls, to the steps.
#define KD_POTENZ(code, basis, quadrat)                                                   \
    case code: {                                                                          \
        const Extended g = basis;                                                         \
        Extended v;                                                                       \
        if (quadrat) {                                                                    \
            v = g * g;                                                                    \
            if (v < PotenzObergrenze && v > PotenzUntergrenze) {                          \
                reg = v;                                                                  \
                break;                                                                    \
            }                                                                             \
        } else if (PotenzGanzzahlig(g, c.Ganz, v)) {                                      \
            reg = v;                                                                      \
            break;                                                                        \
        }                                                                                 \
        if (g == 0 && c.Ganz > 0) {                                                       \
            reg = 0;                                                                      \
            break;                                                                        \
        }                                                                                 \
        if (g == 0 && c.Ganz == 0) {                                                      \
            reg = 1;                                                                      \
            break;                                                                        \
        }                                                                                 \
        if constexpr (!Aufrufe) goto abbruch;                                             \
        reg = Potenz(g, konst[c.K]);                                                      \
        if (Rechenfehler != 0) goto abbruch;                                              \
        break;                                                                            \
    }
            KD_POTENZ(PotenzK, reg, false)
            KD_POTENZ(PotenzXK, x, false)
            KD_POTENZ(Quadrat2, reg, true)
            KD_POTENZ(Quadrat2X, x, true)
#undef KD_POTENZ

#define KD_FORM(n, form, links, rechts, ausdruck) \
    case BinaerCode(n, form): {                   \
        const Extended a = links, b = rechts;     \
        ausdruck;                                 \
        break;                                    \
    }
#define KD_BINAER(n, ausdruck)                               \
    KD_FORM(n, FormRK, reg, KD_K, ausdruck)                  \
    KD_FORM(n, FormRX, reg, x, ausdruck)                     \
    KD_FORM(n, FormSR, stapel[--sp], reg, ausdruck)          \
    KD_FORM(n, FormXK, x, KD_K, ausdruck)                    \
    KD_FORM(n, FormKX, KD_K, x, ausdruck)                    \
    KD_FORM(n, FormXX, x, x, ausdruck)
            KD_BINAER(0, reg = a + b)
            KD_BINAER(1, reg = a - b)
            KD_BINAER(2, {
                reg = a * b;
                if (!(std::fabs(reg) < ProduktGrenze)) goto abbruch;
            })
            KD_BINAER(3, {
                if (b == 0) goto abbruch;
                reg = a / b;
            })
            KD_BINAER(4, {
                if constexpr (!Aufrufe) goto abbruch;
                reg = Potenz(a, b);
                if (Rechenfehler != 0) goto abbruch;
            })
            KD_BINAER(5, reg = a >= b ? 1 : 0)
            KD_BINAER(6, reg = a <= b ? 1 : 0)
            KD_BINAER(7, reg = std::fabs(a - b) > 1E-8L ? 1 : 0)
            KD_BINAER(8, reg = a > b ? 1 : 0)
            KD_BINAER(9, reg = a < b ? 1 : 0)
            KD_BINAER(10, reg = std::fabs(a - b) < 1E-8L ? 1 : 0)
#undef KD_BINAER
#undef KD_FORM
#undef KD_K
            default: goto abbruch;
            }
        }
    durchlaufen:

        // The arrival: accumulate unless the body gave Leerwert, step on.
        if (!leerMoeglich || std::fabs(reg) < LeerGrenze || reg != Leerwert) {
            if constexpr (Produkt) {
                // A product that leaves the range is the step walk's to report.
                const Extended p = s * reg;
                if (!(std::fabs(p) < ProduktGrenze)) goto abbruch;
                s = p;
            } else {
                s = s + reg;
            }
        }
        x = neu;
        if (++n == hoechstens) break;
    }
abbruch:
    xEin = x;
    sEin = s;
    return n;
}

} // namespace

long long Schleifenprogramm::Laufen(Extended ende, Extended toleranz, bool produkt, Extended& summe,
                                    long long hoechstens) {
    if (!gueltig_) return 0;
    for (int i = 0; i < nachladen_; ++i) {
        const Extended w = nachladen_liste_[i].Bez->GetWert();
        if (w == Undefiniert) return 0;  // the load fails: the step walk reports it
        konst_[nachladen_liste_[i].K] = w;
    }
    // Plain identifiers: GetWert and SetWert are the value at WertZeiger.
    Extended* const platz = variable_->WertZeiger;
    const Extended h = schrittweite_ ? schrittweite_->GetWert() : Extended(1);
    // Each constant as the sum of two doubles: an 80-bit value has 64 mantissa bits,
    // the first double takes 53 of them and the second the rest, so the sum is exact
    // (loading an 80-bit value from memory is slow). A constant that does not split so
    // (out of the range of a double, NaN) leaves the passes to the steps.
    for (int i = 0; i < konstanten_; ++i) {
        const Extended v = konst_[i];
        const double hoch = static_cast<double>(v);
        const double tief = v == 0 ? hoch : static_cast<double>(v - hoch);  // -0 + -0 is -0
        const Extended summe2 = Extended(hoch) + Extended(tief);
        if (!(summe2 == v) || std::signbit(summe2) != std::signbit(v)) return 0;
        hoch_[i] = hoch;
        tief_[i] = tief;
    }
    Extended x = *platz;
    Extended s = summe;
    const Extended schwelle = Endschwelle(ende, toleranz);
    const long long n =
        aufrufe_ ? (produkt ? Laeufe<true, true>(befehl_, leerMoeglich_, konst_, hoch_, tief_, h, schwelle, hoechstens, x, s)
                            : Laeufe<true, false>(befehl_, leerMoeglich_, konst_, hoch_, tief_, h, schwelle, hoechstens, x, s))
                 : (produkt ? Laeufe<false, true>(befehl_, leerMoeglich_, konst_, hoch_, tief_, h, schwelle, hoechstens, x, s)
                            : Laeufe<false, false>(befehl_, leerMoeglich_, konst_, hoch_, tief_, h, schwelle, hoechstens, x, s));
    Rechenfehler = 0;
    if (n > 0) {
        *platz = x;
        summe = s;
    }
    return n;
}

} // namespace kd
