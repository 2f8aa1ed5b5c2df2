#pragma once
// Number text in and out, rounding and the small numeric helpers that the parser,
// the evaluator, the dialogs and the value table share.
//
// Text is Windows-1252. Positions are 1-based like the positions of the formula
// parser. Displayed numbers use a decimal comma; number input accepts a comma or a
// point. No routine depends on the C locale.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Types.h"

namespace kd {

// ---- Standard conversions of extended values ------------------------------------

// Scientific form with 18 significant digits: sign (a blank for non-negative values,
// "-" otherwise), one digit, ".", 17 digits, "E", the exponent sign and four exponent
// digits, e.g. " 1.23450000000000000E+0004". Infinite and NaN values give " +INF",
// "-INF" and " NAN".
std::string FormatScientific18(Extended x);

// Fixed form with the given number of decimals (negative counts as 0), no padding,
// rounded half away from zero on the exact binary value: FormatFixed(2.5, 0) is "3",
// FormatFixed(-0.125, 2) is "-0.13".
std::string FormatFixed(Extended x, int decimals);

// General form with `digits` significant digits (1..18), trailing zeros and a
// trailing point removed: fixed notation while the decimal exponent lies in
// -5 .. digits-1, else d.dddE[-]x ("1.5E20", "1E-7").
std::string FormatGeneral(Extended x, int digits = 15);

// Reads a decimal number: leading blanks, an optional sign, digits, an optional "."
// and fraction (at least one digit in all), and an optional "E"/"e" exponent with an
// optional sign and at least one digit. Returns 0 when the whole text is such a
// number, else the 1-based position of the first character that cannot be used
// (length + 1 when the text ends too early, the position of the "E" when the
// exponent has no digits). On such an error `value` is 0. A number too large for an
// extended value returns length + 1 with `value` set to an infinity; too small ones
// become 0 without error.
int ParseDecimal(std::string_view text, Extended& value);

// ---- Number text ----------------------------------------------------------------

// Converts a typed number: trailing blanks are ignored, a trailing "%" divides by
// 100, the first "," counts as the decimal point, and a text starting with E/e is no
// number (position 1). Sets `fehlerPos` to 0 when valid, else to the position of
// the first bad character; the value is then what could be read (see ParseDecimal).
Extended TextZuZahl(std::string_view text, int& fehlerPos);

// Reads the number that starts at 1-based position `pos` of `text`: blanks, an
// optional sign, digits with one "." or ",", an optional exponent and an optional
// "%" (which divides by 100). Returns its length in characters (0 = no number
// there; blanks after it are not part of it) and sets `wert` (an infinity beyond the
// range). A "+" or "-" not followed by a digit is no number; a number ending in "E"
// gives up the "E", so "2Ex" reads as 2 of length 1.
int ZahlLesen(std::string_view text, int pos, Extended& wert);

// A spreadsheet cell reference such as "B3" or "AB12": letters (at most 10), then
// the row number.
struct Zellbezug {
    std::int32_t Spalte = -1;  // 0-based column: A = 0, Z = 25, AA = 26
    std::int32_t Zeile = -1;   // 0-based row: "A1" is row 0
    int Fehler = 0;            // 0, or ZellbezugFehler
    int Laenge = 0;            // characters consumed (letters and row number; 0 on an error)
};
inline constexpr int ZellbezugFehler = 29;  // the parser's "Tabellenfeldbezug ungültig"
Zellbezug ZellbezugLesen(std::string_view text);

// Upper-cases a-z and the Windows-1252 letters ä ö ü; all other bytes (ß, other
// accented letters) stay.
std::string GrossSchreiben(std::string_view text);

// The display form of a number with about n significant characters (n below 8
// counts as 8) and a decimal comma: 1/3 -> "0,333333", 123456789 -> "1,2346E8",
// 0.000012 -> "1,2E-5" (n = 8).
std::string ZahlText(int n, Extended x);

// The shortest ZahlText form (from 8 characters up) that TextZuZahl reads back as
// exactly x: 12345678 stays "12345678", 2.5 is "2,5".
std::string ZahlTextExakt(Extended x);

// ---- Rounding and powers --------------------------------------------------------

// Rounds to d significant digits from 10 upward and to d - 1 decimals below 10, half
// away from zero; a zero result is +0.
Extended RundeStellen(int d, Extended x);

// The decimal exponent of x as in its 18-digit scientific form (2 for 123.4, -2 for
// 0.05, 0 for 0).
int Zehnerexponent(Extended x);

// 10^k as read from the text "1.0E<k>" (so exactly the nearest extended value).
Extended Zehnerpotenz(int k);

// The fractional part x - trunc(x), with a fraction of 0.9999999999 or more taken
// as 0. A negative x keeps its negative fraction.
Extended Nachkomma(Extended x);

// ---- Interpolation --------------------------------------------------------------

// Linear interpolation through (x1, y1) and (x2, y2).
Extended Interpoliere(Extended x, Extended x1, Extended y1, Extended x2, Extended y2);

// Error codes of InterpoliereLog, as the evaluator numbers them.
inline constexpr int InterpolFehlerUeberlauf = 1;   // the power overflowed
inline constexpr int InterpolFehlerLogarithmus = 6; // "Argument<=0 für logarithmische Fkt."

// 10^(log b + (log a - log b) * t): b at t = 0, a at t = 1, evenly spaced on a
// logarithmic scale in between. A non-positive a or b sets *fehler (when given) to
// InterpolFehlerLogarithmus and returns Ueberlaufwert; an overflowing power sets
// InterpolFehlerUeberlauf and returns Ueberlaufwert. *fehler is left alone on
// success.
Extended InterpoliereLog(Extended a, Extended b, Extended t, int* fehler = nullptr);

} // namespace kd
