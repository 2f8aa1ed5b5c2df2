#include "core/units/Umrechner.h"

#include <cmath>
#include <utility>

namespace kd {

Umrechner::Umrechner(std::string dezimaltrenner) : trenner_(std::move(dezimaltrenner)) {
    for (int s = 0; s < EinheitenSeiten; ++s)
        seiten_[static_cast<std::size_t>(s)].Beschriftung = Anfangsbeschriftung(s);
}

const Einheitenseite& Umrechner::Seite(int seite) const {
    static const Einheitenseite leer;
    if (seite < 0 || seite >= EinheitenSeiten) return leer;
    return seiten_[static_cast<std::size_t>(seite)];
}

bool Umrechner::KopiertEingabe(int seite) const {
    const Einheitenseite& p = Seite(seite);
    return seite == SeiteTemperatur && p.Bereit() && p.Von == p.Nach;
}

Ton Umrechner::WaehleVon(int seite, int einheit) { return Waehle(seite, einheit, true); }
Ton Umrechner::WaehleNach(int seite, int einheit) { return Waehle(seite, einheit, false); }

Ton Umrechner::Waehle(int seite, int einheit, bool quelle) {
    if (einheit < 0 || einheit >= EinheitenAnzahl(seite)) return Ton::Still;
    Einheitenseite& p = seiten_[static_cast<std::size_t>(seite)];
    (quelle ? p.Von : p.Nach) = einheit;
    (quelle ? p.VonText : p.NachText) = Einheit(seite, einheit);
    if (!p.Bereit()) {
        // The temperature formula needs both units; the examples fall back to their caption.
        p.Beschriftung = seite == SeiteTemperatur ? "" : std::string(Anfangsbeschriftung(seite));
        return Ton::Still;
    }
    if (seite == SeiteTemperatur) {
        p.Beschriftung = Temperaturformel(p.Von, p.Nach);
    } else {
        p.Faktor = Einheitenfaktor(seite, p.Nach) / Einheitenfaktor(seite, p.Von);
        p.Beschriftung = Beispielzeile(p.VonText, p.Faktor, p.NachText, trenner_);
    }
    return Umrechnen(seite);
}

Ton Umrechner::SetzeEingabe(int seite, std::string_view text) {
    if (seite < 0 || seite >= EinheitenSeiten) return Ton::Still;
    Einheitenseite& p = seiten_[static_cast<std::size_t>(seite)];
    p.Eingabe = text.substr(0, MaxEingabeLaenge);
    return Umrechnen(seite);
}

Ton Umrechner::Umrechnen(int seite) {
    Einheitenseite& p = seiten_[static_cast<std::size_t>(seite)];
    if (!p.Bereit()) return Ton::Still;
    if (p.Eingabe.empty()) {
        p.Ausgabe.clear();
        return Ton::Still;
    }
    if (KopiertEingabe(seite)) {
        p.Ausgabe = p.Eingabe;
        return Ton::Still;
    }
    Extended x = 0;
    keineZahl_ = !EingabeLesen(p.Eingabe, x);
    if (keineZahl_) {
        p.Ausgabe.clear();
        // The lone minus is a negative number being typed.
        return p.Eingabe == "-" ? Ton::Still : Ton::Piep;
    }
    const Extended y = seite == SeiteTemperatur ? Temperaturwert(p.Von, p.Nach, x) : x * p.Faktor;
    if (!std::isfinite(y)) {
        // Beyond the range of an extended value: nothing to show, like a wrong entry.
        p.Ausgabe.clear();
        return Ton::Piep;
    }
    p.Ausgabe = Ergebnistext(y, trenner_);
    return Ton::Still;
}

} // namespace kd
