#pragma once
// Curves of a formula over one of its free variables: the value table behind "Kurve
// zeichnen" and the plot command of the command line, the "nice" tick values of an
// axis, the German number texts of the ticks and the table exports (CSV, TSV).
//
// Every sub-formula that computes (as "Formel berechnen" computes a marked sub-formula)
// is one curve. A sub-formula that is a condition ("y=0-x;x<0:y=x^2;x>=0") restricts
// the curve before it: where the condition does not hold, the curve has a gap, so a
// formula defined piecewise plots piece by piece. Each point is computed exactly as the compute flow computes the formula
// with the same values; a point where the computation fails (division by zero, a
// negative root, a logarithm of zero, an overflow) is a gap: NaN in the table, an empty
// cell in the exports, and a break in the drawn line.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/Types.h"

namespace kd {

// Messages (Windows-1252).
extern const char* const MeldungKeineKurve;      // "Die Formel hat keine Teilformel mit einem Ergebnis"
extern const char* const MeldungKurvenbereich;   // "Der Bereich braucht zwei verschiedene Grenzen"
extern const char* const MeldungKurvenpunkte;    // "Anzahl Punkte: 2 bis 1000000"
extern const char* const MeldungLogBereich;
extern const char* const MeldungBedingung;       // "Bedingung nicht erfüllt" (a gap outside a condition)      // "Eine logarithmische Achse braucht positive Grenzen"

inline constexpr int KurvenpunkteStandard = 200;
inline constexpr int KurvenpunkteMax = 1000000;

struct Kurvenbereich {
    std::string XName;    // the variable along the x-axis (Windows-1252, notation)
    Extended Von = 0;
    Extended Bis = 1;
    int Punkte = KurvenpunkteStandard;
    bool LogX = false;    // abscissas evenly spaced on a logarithmic scale
};

struct Kurve {
    std::string Formel;   // the sub-formula as it stands in the text, with its conditions
    std::string YName;    // the variable it is solved for (empty when none)
    std::vector<double> Y;  // one value per abscissa; NaN where the formula fails
    std::vector<std::string> Fehler;  // the evaluator message of each gap ("" elsewhere)
    int Luecken = 0;
};

struct Kurventabelle {
    std::string XName;
    std::vector<double> X;
    std::vector<Kurve> Kurven;
};

struct Kurvenergebnis {
    bool Ok = false;
    bool Abgebrochen = false;  // the progress callback asked to stop
    std::string Meldung;  // why there is no table (Windows-1252)
    Kurventabelle Tabelle;
};

// The free variables the user gives values for, in the order the input mask asks for
// them (the union over the sub-formulas, in order of first appearance; the variables
// solved for and running variables are left out). False with `meldung` when no
// sub-formula computes.
bool KurvenVariablen(const std::string& text, std::vector<std::string>& namen, std::string& meldung);

// Reports progress (points done, points in all) and returns false to stop.
using Kurvenfortschritt = std::function<bool(long long fertig, long long gesamt)>;

// Tabulates every computing sub-formula of `text` over `bereich`. `werte` gives the
// values of the other free variables; a missing one is a refusal with a message.
// `weiter`, when given, is called every few points; when it returns false the
// tabulation stops (Abgebrochen, no table).
Kurvenergebnis KurvenTabellieren(const std::string& text, const Kurvenbereich& bereich,
                                 const std::map<std::string, Extended>& werte,
                                 const Kurvenfortschritt& weiter = {});

// --- axes ---

// Tick values for an axis over [von, bis] (von < bis): multiples of a step 1, 2 or 5
// times a power of ten, about `ziel` of them, from the last multiple at or below `von`
// to the first at or above `bis` (so the ticks cover the range). Empty for a range that
// is not finite or empty.
std::vector<double> Teilstriche(double von, double bis, int ziel = 6);
// The step of these ticks.
double Teilschritt(double von, double bis, int ziel = 6);
// Ticks of a logarithmic axis over [von, bis] (0 < von < bis): the powers of ten that
// cover it, with 2 and 5 times them when it spans fewer than three decades.
std::vector<double> LogTeilstriche(double von, double bis);

// A tick value as German text (UTF-8): decimal comma, "." between thousands (from 1.000 on), as many
// decimals as the step needs; very large and very small values as "1,5·10⁻⁷".
// With `zehnerpotenz` every value is written with a power of ten (a log axis whose
// labels would otherwise mix both forms).
std::string TeilstrichText(double wert, double schritt, bool zehnerpotenz = false);

// --- names ---

// A name of the notation as shown on the page: "~a" is the Greek letter, "|x" sets the
// next character as an index. As HTML (indices in <sub>) for rich-text labels, or as
// plain UTF-8 with indices as Unicode subscripts where they exist ("_x" elsewhere).
std::string NameAlsHtml(const std::string& cp1252);
std::string NameAlsText(const std::string& cp1252);
// A formula text the same way as plain UTF-8 (for legends and table headings).
std::string FormelAlsText(const std::string& cp1252);

// --- exports ---

// A number as German spreadsheet programs read it: decimal comma, exponent "E", the
// shortest text that reads back as the same double; empty for NaN.
std::string ZahlDeutsch(double v);
// The table: a heading line (x name, then each curve's formula) and one line per
// abscissa, fields separated by `trenner`, gaps as empty fields, lines ended by CR LF.
// UTF-8; a field holding the separator, a quote or a line break is quoted.
std::string KurvenCsv(const Kurventabelle& t, char trenner = ';');

} // namespace kd
