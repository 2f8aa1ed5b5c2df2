#pragma once
// The state of one converter window "Einheiten-Umrechnung" and what its clicks and
// keystrokes do to it. The window owns one Umrechner, feeds it the choices and the
// input texts, shows its texts and sounds the beep it asks for.
#include <array>
#include <string>
#include <string_view>

#include "core/Types.h"
#include "core/units/Einheiten.h"

namespace kd {

// What an action asks of the window besides showing the new texts.
enum class Ton { Still, Piep };

// The fields of one page.
struct Einheitenseite {
    int Von = -1;   // chosen source position, -1 until one is chosen
    int Nach = -1;  // chosen target position
    Extended Faktor = 1;       // pages 0..4: target units per source unit, once both are chosen
    std::string Eingabe;       // the input field
    std::string Ausgabe;       // the result field
    std::string Beschriftung;  // the caption label: "Beispiel:", the example line, the formula
    std::string VonText;       // the source unit label
    std::string NachText;      // the target unit label

    bool VonGewaehlt() const { return Von >= 0; }
    bool NachGewaehlt() const { return Nach >= 0; }
    bool Bereit() const { return Von >= 0 && Nach >= 0; }
};

class Umrechner {
public:
    // `dezimaltrenner` (Windows-1252) is written for the decimal point of every number
    // shown: the user's locale separator in the window.
    explicit Umrechner(std::string dezimaltrenner = ".");

    // A unit chosen in the source or the target group of `seite`. Once both groups of
    // the page have a unit, the factor and the caption are set and the input is
    // converted again, which may ask for the beep. An unknown page or position
    // changes nothing.
    Ton WaehleVon(int seite, int einheit);
    Ton WaehleNach(int seite, int einheit);

    // The input field of `seite` now holds `text` (cut to 12 characters as the field
    // does). With both units chosen the result is computed: an empty input empties
    // it; a text that is no number empties it and beeps, except the lone "-" that
    // starts a negative number; a product beyond the range of an extended value
    // empties it and beeps as well. On the temperature page the same unit on both
    // sides copies the text unchanged.
    Ton SetzeEingabe(int seite, std::string_view text);

    // The fields of a page; an unknown page gives an empty page.
    const Einheitenseite& Seite(int seite) const;

    // True when the last input read was no number.
    bool KeineZahl() const { return keineZahl_; }

    // True when the result field of `seite` holds a copy of the input (temperature,
    // the same unit on both sides).
    bool KopiertEingabe(int seite) const;

    const std::string& Dezimaltrenner() const { return trenner_; }

private:
    Ton Waehle(int seite, int einheit, bool quelle);
    Ton Umrechnen(int seite);

    std::string trenner_;
    std::array<Einheitenseite, EinheitenSeiten> seiten_;
    bool keineZahl_ = false;
};

} // namespace kd
