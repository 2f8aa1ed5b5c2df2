#pragma once
// The program-wide table of named constants. Entries are numbered from 1; entries
// 1 to 15 are the base constants that the formula parser knows by name and that
// cannot be changed or deleted.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Types.h"

namespace kd {

inline constexpr int KonstantenMax = 100;            // entries of the table
inline constexpr std::size_t KonstantenNameMax = 12; // characters of a stored name
inline constexpr int BasisKonstantenAnzahl = 15;

struct BasisKonstantenEintrag {
    const char* Name;  // Windows-1252
    Extended Wert;
};

// The base constants in table order: e, pi ("~p"), infinity ("~" + byte 165), WAHR,
// FALSCH, LEER, the four HÄUF... codes, g|n, c|o, R|g, V|m and Euro.
extern const std::array<BasisKonstantenEintrag, BasisKonstantenAnzahl> BasisKonstanten;

class Konstantentabelle {
public:
    Konstantentabelle();  // holds the base constants

    // Number of entries in use, 0..KonstantenMax.
    int Anzahl() const { return anzahl_; }
    // Name and value of entry nr (1-based); "" and 0 outside 1..Anzahl().
    const std::string& Name(int nr) const;
    Extended Wert(int nr) const;

    // Sets the table to exactly the 15 base constants.
    void BasisSetzen();
    // Removes every entry (count 0).
    void Leeren();
    // Appends an entry; the name keeps its first KonstantenNameMax characters.
    // Returns false (and changes nothing) when the table is full.
    bool Anhaengen(std::string_view name, Extended wert);

    // The number (1..15) of the first of the entries 1 to 15 whose name equals
    // `name` exactly, or 0. Only these entries are constants of the formula notation.
    int BasisKonstante(std::string_view name) const;

private:
    std::int32_t anzahl_ = 0;
    std::array<std::string, KonstantenMax> namen_;
    std::array<Extended, KonstantenMax> werte_{};
};

// The one table of the program; it starts with the base constants.
Konstantentabelle& Konstanten();

// Konstanten().BasisKonstante(name): the entry number of a base constant or 0.
int BasisKonstante(std::string_view name);

} // namespace kd
