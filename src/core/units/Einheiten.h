#pragma once
// The unit tables of the converter "Einheiten-Umrechnung" and the text rules of its
// fields: reading a typed number, the result text and the example line.
//
// Six pages in a fixed order; a unit is named by its position on its page (from 0),
// the same in the source and the target group. Texts are Windows-1252.
#include <string>
#include <string_view>

#include "core/Types.h"

namespace kd {

inline constexpr int EinheitenSeiten = 6;
inline constexpr int SeiteLaenge = 0;
inline constexpr int SeiteFlaeche = 1;
inline constexpr int SeiteVolumen = 2;
inline constexpr int SeiteMasse = 3;
inline constexpr int SeiteZeit = 4;
inline constexpr int SeiteTemperatur = 5;  // the only page without factors

// Entries per page of the factor table; positions past a page's last unit hold 1.
inline constexpr int FaktorenJeSeite = 21;

// Characters the input field takes.
inline constexpr int MaxEingabeLaenge = 12;

// Tab text of a page ("L\xE4nge", ...); empty for a page outside 0..5.
std::string_view Seitenname(int seite);

// Number of units of a page (16, 18, 21, 14, 7, 4); 0 outside 0..5.
int EinheitenAnzahl(int seite);

// The label of unit `einheit` on `seite`, exactly as the groups list it; empty when
// there is no such unit.
std::string_view Einheit(int seite, int einheit);

// Entry `einheit` of the factor table of pages 0..4: how many of that unit make one
// base unit of the page (1 / size in extended precision). 1 for positions past the
// page's units and for anything outside the table.
Extended Einheitenfaktor(int seite, int einheit);

// The conversion formula text of the temperature page for (source, target), e.g.
// "Formel: x \xB0" "C = (x+273,15) K"; empty for positions outside 0..3.
std::string_view Temperaturformel(int von, int nach);

// x in temperature unit `von` (0 "\xB0" "C", 1 "K", 2 "\xB0" "F", 3 "\xB0" "R") expressed in
// unit `nach`. The same unit (or a position outside 0..3) gives x.
Extended Temperaturwert(int von, int nach, Extended x);

// Reads the input of any page: leading blanks, an optional sign, digits with an
// optional ".", an optional exponent, nothing after it. Where that fails at a ","
// the one comma is taken as the point and the text read once more. Returns false
// (wert 0) when the text is no number; so "1,5" and "1.5" are 1.5, "12,5,0", "-" and
// "1 " are no numbers. A number beyond the range of an extended value is no number.
bool EingabeLesen(std::string_view text, Extended& wert);

// General number form with `stellen` significant digits: rounded, trailing zeros
// dropped, fixed notation for 0.0001 <= |x| < 10^stellen after rounding (and 0),
// else mantissa "E" exponent ("1.5E-7", "2.5E15"). `trenner` replaces the ".".
std::string Allgemein(Extended x, int stellen, std::string_view trenner = ".");

// The text of a result field: Allgemein with 12 digits; a text longer than 12
// characters with an exponent loses mantissa digits in front of the "E" until it
// is 12 long ("-1.23456789012E-7" -> "-1.234567E-7"); a longer fixed text stays.
std::string Ergebnistext(Extended x, std::string_view trenner = ".");

// The caption line of pages 0..4 once both units are chosen:
// "Beispiel: 1 in = 0.0254 m" (the factor with 8 digits).
std::string Beispielzeile(std::string_view von, Extended faktor, std::string_view nach,
                          std::string_view trenner = ".");

// The caption text of a page before any unit is chosen: "Beispiel:" or "Formel:".
std::string_view Anfangsbeschriftung(int seite);

} // namespace kd
