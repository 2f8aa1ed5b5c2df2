#include "KonstantenListe.h"

#include "core/numeric/Zahlen.h"
#include "core/typeset/Zeichen.h"

namespace kd {

namespace {

std::string_view VorGleich(std::string_view text) {
    const std::size_t p = text.find('=');
    return p == std::string_view::npos ? text : text.substr(0, p);
}

// The name as it would be stored from a line.
std::string GespeicherterName(std::string_view zeile) {
    std::string name;
    Extended wert = 0;
    KonstantenZeileLesen(zeile, name, wert);
    return name;
}

} // namespace

std::string KonstantenZeile(std::string_view name, Extended wert) {
    if (name == "LEER") return LeerKonstantenZeile;
    return Kurz(std::string(name) + "=" + ZahlText(20, wert));
}

bool KonstantenZeileLesen(std::string_view zeile, std::string& name, Extended& wert) {
    std::size_t i = 0;
    while (i < zeile.size() && i < KonstantenNameLesenMax &&
           IstNamenszeichen(static_cast<unsigned char>(zeile[i])))
        ++i;
    name = std::string(zeile.substr(0, i < KonstantenNameMax ? i : KonstantenNameMax));
    wert = Leerwert;
    if (i == 0 || i >= zeile.size() || zeile[i] != '=') return false;
    int fehler = 0;
    const Extended v = TextZuZahl(zeile.substr(i + 1), fehler);
    if (fehler != 0) return false;
    wert = v;
    return true;
}

bool IstBasisKonstantenText(std::string_view text) {
    const std::string_view name = VorGleich(text);
    for (const auto& b : BasisKonstanten)
        if (name == b.Name) return true;
    return false;
}

const char* KonstantenMeldung(KonstantenFehler f) {
    switch (f) {
    case KonstantenFehler::ZuViele: return MeldungZuVieleKonstante;
    case KonstantenFehler::FehlerhafterWert: return MeldungFehlerhafterWert;
    case KonstantenFehler::Basiskonstante: return MeldungBasiskonstanten;
    case KonstantenFehler::Keiner: break;
    }
    return "";
}

void KonstantenListe::SetParameter(const Konstantentabelle& tabelle) {
    zeilen_.clear();
    for (int nr = 1; nr <= tabelle.Anzahl(); ++nr)
        zeilen_.push_back(KonstantenZeile(tabelle.Name(nr), tabelle.Wert(nr)));
}

KonstantenFehler KonstantenListe::Aufnehmen(std::string_view formeltext) {
    if (Anzahl() >= KonstantenMax) return KonstantenFehler::ZuViele;
    const std::string text = Kurz(std::string(formeltext));
    std::string name;
    Extended wert = 0;
    if (!KonstantenZeileLesen(text, name, wert)) return KonstantenFehler::FehlerhafterWert;
    // The name as it is stored (cut to KonstantenNameMax) decides: a longer name whose
    // first characters are a base constant's would replace that base constant.
    if (IstBasisKonstantenText(text) || IstBasisKonstantenText(name)) return KonstantenFehler::Basiskonstante;
    std::erase_if(zeilen_, [&](const std::string& z) { return GespeicherterName(z) == name; });
    zeilen_.push_back(text);
    return KonstantenFehler::Keiner;
}

KonstantenFehler KonstantenListe::Loeschen(int zeile, std::string_view formeltext) {
    if (zeile < 0 || zeile >= Anzahl()) return KonstantenFehler::Keiner;
    const std::string& z = zeilen_[static_cast<std::size_t>(zeile)];
    if (IstBasisKonstantenText(formeltext) || IstBasisKonstantenText(z) ||
        IstBasisKonstantenText(GespeicherterName(formeltext)) || IstBasisKonstantenText(GespeicherterName(z)))
        return KonstantenFehler::Basiskonstante;
    zeilen_.erase(zeilen_.begin() + zeile);
    return KonstantenFehler::Keiner;
}

std::string KonstantenListe::Uebernehmen(int zeile) const {
    if (zeile < 0 || zeile >= Anzahl()) return std::string();
    return std::string(VorGleich(zeilen_[static_cast<std::size_t>(zeile)]));
}

void KonstantenListe::Zurueckschreiben(Konstantentabelle& tabelle) const {
    tabelle.Leeren();
    for (const std::string& z : zeilen_) {
        std::string name;
        Extended wert = 0;
        KonstantenZeileLesen(z, name, wert);
        // A base constant keeps its exact value (the line shows it rounded).
        for (const auto& b : BasisKonstanten)
            if (name == b.Name) wert = b.Wert;
        if (!tabelle.Anhaengen(name, wert)) break;
    }
}

} // namespace kd
