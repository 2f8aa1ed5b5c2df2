#pragma once
// Basic types shared by every part of the core.
#include <cfloat>
#include <cstdint>
#include <string>

namespace kd {

// All numbers of the system are 80-bit x87 extended values.
using Extended = long double;
static_assert(sizeof(Extended) >= 10 && LDBL_MANT_DIG == 64,
              "Extended must be the 80-bit x87 format (64-bit mantissa)");

// Marker values.
inline constexpr Extended Undefiniert = 1E300L;   // "no value" for variables and remembered inputs
inline constexpr Extended Leerwert = 1E200L;      // empty table cell
inline constexpr Extended Ueberlaufwert = 1E100L; // overflow bound of the evaluator

// A short string holds at most 255 single-byte characters.
inline constexpr std::size_t KurzerStringMax = 255;

// Cuts a text to the length of a short string, as assigning it to one does.
inline std::string Kurz(std::string s) {
    if (s.size() > KurzerStringMax) s.resize(KurzerStringMax);
    return s;
}

} // namespace kd
