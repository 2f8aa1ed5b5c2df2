#pragma once
// The list of the constants dialog: one line "name=value" per constant. The dialog
// shows these lines and calls the operations below; the table is only written when
// the dialog closes (Zurueckschreiben).
#include <string>
#include <string_view>
#include <vector>

#include "core/Types.h"
#include "core/constants/Konstanten.h"

namespace kd {

// Messages and caption of the dialog (Windows-1252).
inline constexpr const char* MeldungZuVieleKonstante = "Zu viele Konstante";
inline constexpr const char* MeldungFehlerhafterWert = "Fehlerhafter Wert";
inline constexpr const char* MeldungBasiskonstanten = "Basiskonstanten k\xF6nnen nicht ge\xE4ndert werden";
inline constexpr const char* KonstantenFehlerTitel = "Fehler";

// The list line of the constant "LEER"; its value part is no number and reads back
// as the empty-cell value.
inline constexpr const char* LeerKonstantenZeile = "LEER=[ ]";

// Characters of a name read from a line (the stored name keeps KonstantenNameMax).
inline constexpr std::size_t KonstantenNameLesenMax = 20;

// The list line of a constant: name, "=", the value by ZahlText with 20 digits.
std::string KonstantenZeile(std::string_view name, Extended wert);

// Reads "name=value": the name is the leading run of name characters (at most 20
// read, KonstantenNameMax kept), then "=" must follow, and the rest is read by
// TextZuZahl. Returns false when the name is empty, "=" is missing or the value is
// no number; the value is then Leerwert.
bool KonstantenZeileLesen(std::string_view zeile, std::string& name, Extended& wert);

// True when the text before the first "=" (the whole text without one) is the name
// of a base constant.
bool IstBasisKonstantenText(std::string_view text);

enum class KonstantenFehler {
    Keiner,
    ZuViele,           // MeldungZuVieleKonstante
    FehlerhafterWert,  // MeldungFehlerhafterWert
    Basiskonstante,    // MeldungBasiskonstanten
};

// The message text of an error ("" for Keiner).
const char* KonstantenMeldung(KonstantenFehler f);

class KonstantenListe {
public:
    // Fills the list with one line per entry of the table.
    void SetParameter(const Konstantentabelle& tabelle);

    int Anzahl() const { return static_cast<int>(zeilen_.size()); }
    const std::vector<std::string>& Zeilen() const { return zeilen_; }

    // "Neu Konstante": appends `formeltext` ("name=value") as a new line. A line of
    // the same (stored) name anywhere in the list is replaced, so a name is never
    // listed twice. Refused when the list holds KonstantenMax lines, when the text
    // does not read as a constant, or when it names a base constant.
    KonstantenFehler Aufnehmen(std::string_view formeltext);

    // "Löschen": removes line `zeile` (0-based; nothing happens outside the list).
    // Refused when the edited text or the line itself names a base constant.
    KonstantenFehler Loeschen(int zeile, std::string_view formeltext);

    // "Übernehmen": the characters to hand to the formula, the part of line `zeile`
    // before its first "="; "" when there is no such line.
    std::string Uebernehmen(int zeile) const;

    // Closing: every line, read in order, becomes entry 1, 2, ... of the table; the
    // count is the number of lines (the first KonstantenMax of them).
    void Zurueckschreiben(Konstantentabelle& tabelle) const;

private:
    std::vector<std::string> zeilen_;
};

} // namespace kd
