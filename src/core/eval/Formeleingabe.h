#pragma once
// The rules of the formula entry dialog that need no widget: the function list and
// what its entries insert, the further sub-formula, the lines the dialog hands back,
// the check of the formulas and of the curve settings with the tabulation, the value
// line "... für Startwerte" of the preview and the calculator's history.
//
// Texts are Windows-1252 formula text. Positions in the edit line count visible
// characters: "~c", "|c" and "~|c" are one character each, as the rich-text line
// shows them.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/notation/Bezeichner.h"
#include "core/Types.h"

namespace kd {

class TKDGData;
class TMatrixObj;

// Messages of the check (Windows-1252).
extern const char* const MeldungGleichFehlt;        // In einer oder mehreren Formeln fehlt "="
extern const char* const MeldungFehlerhafteEingabe; // "Fehlerhafte Eingabe"
extern const char* const MeldungLogStart;   // "Logarithmische Achse. Der Startwert darf ..."
extern const char* const MeldungLogEng;     // "Start- und Endwert für logarithmische Achsen zu eng"
extern const char* const MeldungStartwertY; // "Startwert Y ist größer gleich Endwert Y"

// ---- visible characters --------------------------------------------------------

// The byte offset where each visible character of `text` begins.
std::vector<std::size_t> Zeichenanfaenge(std::string_view text);
// The number of visible characters that begin before byte offset `bytes`.
int SichtbareZeichen(std::string_view text, std::size_t bytes);

// ---- function list ---------------------------------------------------------------

// Entries of the function list: the long names of the functions Abs to Gamma, and
// with `mitSummen` also Summe, Integral and Produkt, each followed by "(  )".
inline constexpr int Grundfunktionen = 22;
std::vector<std::string> Funktionsliste(bool mitSummen);

// What an entry inserts at the caret: the text, where the caret goes afterwards and
// how many characters from there are selected (all in visible characters from the
// start of the inserted text).
struct Einfuegung {
    std::string Text;
    int Caret = 0;
    int Auswahl = 0;
};
// Entry i < 22: the keyword of the function and "()", caret between the brackets.
// Entries 22..24: "Summe", "Integral" or "Produkt" with "(x=start;ende;formel)" and the
// 19 characters of "x=start;ende;formel" selected. Other entries insert nothing.
Einfuegung FunktionEinfuegung(int eintrag);

// ---- further sub-formula -----------------------------------------------------------

// ";y=x" goes before the legend "{", else before the comment (a double quote), else at
// the end. The result selects "y=x". `Passt` is false (and the text unchanged) when
// the line would grow beyond 255 characters.
struct Teilformelzusatz {
    std::string Text;
    int AuswahlStart = 0;  // visible characters before "y=x"
    int AuswahlLaenge = 3;
    bool Passt = true;
};
Teilformelzusatz WeitereTeilformel(const std::string& text);

// ---- the lines handed back -------------------------------------------------------

// The formula lines of the dialog: entry `gewaehlt` of the line list replaced by the
// edit line, then every entry that is not blank, in order.
std::vector<std::string> Formelzeilen(std::vector<std::string> eintraege, int gewaehlt,
                                      const std::string& zeile);

// The check of formulas-only mode: every line holds "="; the message otherwise.
std::string FormelnPruefen(const std::vector<std::string>& zeilen);

// ---- curve mode ------------------------------------------------------------------

// The texts of the curve controls as typed, and the settings that go with them.
struct Kurveneingabe {
    std::string XStart, XEnde, XPunkte;
    std::string ZStart, ZEnde, ZPunkte;
    std::string YStart, YEnde;  // a number or "auto"
    std::string XVariable, ZVariable;
    bool Dreidimensional = false;
    bool XLog = false, YLog = false;
    std::vector<std::string> Zeilen;  // the formula lines
};

// The control a failed check points at.
enum class Kurvenfeld { Keins, XStart, XEnde, XPunkte, ZStart, ZEnde, ZPunkte, YStart, YEnde, Formel };

struct Kurvenpruefung {
    std::string Fehler;               // empty when the check passed
    Kurvenfeld Feld = Kurvenfeld::Keins;
    int FehlerZeile = -1;             // 0-based formula line of a formula error
    int FehlerPosition = 0;           // 1-based text position in that line

    Extended XStart = 0, XEnde = 0, ZStart = 0, ZEnde = 0, YMin = 0, YMax = 0;
    int XPunkte = 0, ZPunkte = 0;
    bool YMinAuto = false, YMaxAuto = false;
    std::unique_ptr<TMatrixObj> Werte;  // the new value table

    bool Bestanden() const { return Fehler.empty(); }
};

// Reads the numbers, checks them in order and tabulates the lines (2-D: every line
// over X; 3-D: the first line over X and Z). The record is not touched; see
// KurvenUebernehmen. The Z fields are read in 3-D mode only.
Kurvenpruefung KurvenPruefen(const Kurveneingabe& e, Matrixliste* matrizen = nullptr);

// Writes a passed check into the record: ranges, points, automatic flags, the plot
// variables, the mode and the value table, which replaces the old one.
void KurvenUebernehmen(TKDGData& d, const Kurveneingabe& e, Kurvenpruefung& p);

// ---- preview value ---------------------------------------------------------------

// The value line of the preview: the left side of the last sub-formula, " = ", the
// value with 10 digits and "  für Startwerte", computed at x and z; an evaluation
// error gives its message. Empty when the formula cannot be computed by itself (it
// does not parse in evaluating mode, e.g. because of a variable without a value).
std::string StartwertZeile(const std::string& text, const std::string& xVariable,
                           const std::string& zVariable, Extended x, Extended z);

// ---- calculator ------------------------------------------------------------------

inline constexpr std::size_t RechnerVerlaufMax = 32;
// After the calculator: while the list holds fewer than 32 lines, line 0 is put at the
// top once more, so the list keeps the entered formulas.
void RechnerVerlauf(std::vector<std::string>& zeilen);

} // namespace kd
