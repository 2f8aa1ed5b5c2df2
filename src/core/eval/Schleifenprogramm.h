#pragma once
// The fast way through the passes of a loop (SUMME, INTEGRAL, PRODUKT).
//
// The step walk keeps every value in the terms' Rechenwert, so each step loads and
// stores 80-bit values in memory, which costs more than the arithmetic. Once a loop
// has run its body from the steps and goes on, Auswerten compiles the body's steps
// into a small postfix program: the value being computed stays in a register, a
// right operand that is a number, an identifier or the loop variable is taken
// directly, and the loop variable, the step and the running sum stay in registers
// over the passes. Each operation is the one the step would perform, on the same
// operands, so every value comes out exactly as from the step walk.
//
// The program takes only the passes whose every step would succeed and whose arrival
// at the loop step goes on with the next pass. Anything else (an error or limit of
// any step, a value Potenz must decide on its exponent, the pass that ends the loop)
// is left to the step walk, which then runs that pass from its first step. The
// program never writes terms, so the body's terms keep the values they were reset to.
#include <cstdint>

#include "core/notation/Bezeichner.h"
#include "core/notation/Gleichung.h"
#include "core/Types.h"

namespace kd {

class Schleifenprogramm {
public:
    // Compiles the body (steps rumpf .. schritt - 1) of the loop step `schritt`.
    // False when a step is of a kind the program does not run (loops, table
    // references, ZUFALL, assignments and the like), when an identifier is not a
    // plain TBezeichner, or when the loop variable is linked to a table cell; the
    // step walk then runs every pass.
    bool Uebersetzen(const TGleichung& g, int rumpf, int schritt, TBezeichner* variable,
                     const TBezeichner* schrittweite);

    // The loop whose body was compiled last: its loop step and body start.
    bool Passt(int rumpf, int schritt) const { return gueltig_ && rumpf_ == rumpf && schritt_ == schritt; }
    bool Gueltig() const { return gueltig_; }

    // Runs passes. On entry the loop variable holds the value of the next pass and
    // `summe` the running sum or product. Runs while a pass succeeds and does not end
    // the loop (ende <= variable + toleranz at its arrival), at most `hoechstens` passes,
    // and leaves the variable at the value of the first pass not run and `summe`
    // updated. Returns the passes run.
    long long Laufen(Extended ende, Extended toleranz, bool produkt, Extended& summe, long long hoechstens);

    // One instruction of the program.
    struct Befehl {
        std::uint8_t Code;
        std::int8_t Ganz;   // whole exponent of a power by repeated multiplication
        std::int16_t K;     // index into the constants
    };

private:
    struct Nachladen {
        std::int16_t K;
        const TBezeichner* Bez;
    };

    bool gueltig_ = false;
    bool aufrufe_ = false;       // the program calls functions
    bool leerMoeglich_ = true;   // the body's value may be Leerwert
    int rumpf_ = 0, schritt_ = 0;
    TBezeichner* variable_ = nullptr;
    const TBezeichner* schrittweite_ = nullptr;
    int befehle_ = 0, konstanten_ = 0, nachladen_ = 0;
    Befehl befehl_[4 * MaxTerme];
    Extended konst_[2 * MaxTerme];
    double hoch_[2 * MaxTerme], tief_[2 * MaxTerme];  // konst_ as sums of two doubles
    Nachladen nachladen_liste_[MaxTerme];
};

} // namespace kd
