#include "Konstanten.h"

namespace kd {

const std::array<BasisKonstantenEintrag, BasisKonstantenAnzahl> BasisKonstanten = {{
    // Every value to the full precision of an extended value; the physical ones are
    // the exact SI values.
    {"e", 2.71828182845904523536028747135266250L},
    {"~p", 3.14159265358979323846264338327950288L},
    {"~\xA5", 1E50L},  // infinity sign of the Symbol font
    {"WAHR", 1},
    {"FALSCH", 0},
    {"LEER", Leerwert},
    {"H\xC4UFAUTO", 0},
    {"H\xC4UFSUMMPROZ", 1},
    {"H\xC4UFEINZPROZ", 2},
    {"H\xC4UFVORGEBEN", 3},
    {"g|n", 9.80665L},              // standard gravity, m/s^2 (exact)
    {"c|o", 299792458.0L},          // speed of light, m/s (exact)
    {"R|g", 8314.46261815324L},     // gas constant, J/(kmol K): N_A * k (exact)
    {"V|m", 22.4139695450141377350111L},     // molar volume at 0 degC and 101325 Pa, m^3/kmol: R * 273.15 / 101325
    {"Euro", 1.95583L},             // DM per euro (fixed by law)
}};

Konstantentabelle::Konstantentabelle() { BasisSetzen(); }

const std::string& Konstantentabelle::Name(int nr) const {
    static const std::string leer;
    if (nr < 1 || nr > anzahl_) return leer;
    return namen_[static_cast<std::size_t>(nr - 1)];
}

Extended Konstantentabelle::Wert(int nr) const {
    if (nr < 1 || nr > anzahl_) return 0;
    return werte_[static_cast<std::size_t>(nr - 1)];
}

void Konstantentabelle::BasisSetzen() {
    Leeren();
    for (const auto& b : BasisKonstanten) Anhaengen(b.Name, b.Wert);
}

void Konstantentabelle::Leeren() {
    for (int i = 0; i < anzahl_; ++i) {
        namen_[static_cast<std::size_t>(i)].clear();
        werte_[static_cast<std::size_t>(i)] = 0;
    }
    anzahl_ = 0;
}

bool Konstantentabelle::Anhaengen(std::string_view name, Extended wert) {
    if (anzahl_ >= KonstantenMax) return false;
    const std::size_t i = static_cast<std::size_t>(anzahl_);
    namen_[i] = std::string(name.substr(0, KonstantenNameMax));
    werte_[i] = wert;
    ++anzahl_;
    return true;
}

int Konstantentabelle::BasisKonstante(std::string_view name) const {
    const int bis = anzahl_ < BasisKonstantenAnzahl ? anzahl_ : BasisKonstantenAnzahl;
    for (int i = 0; i < bis; ++i)
        if (namen_[static_cast<std::size_t>(i)] == name) return i + 1;
    return 0;
}

Konstantentabelle& Konstanten() {
    static Konstantentabelle tabelle;
    return tabelle;
}

int BasisKonstante(std::string_view name) { return Konstanten().BasisKonstante(name); }

} // namespace kd
