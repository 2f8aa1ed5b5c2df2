#include "core/units/Einheiten.h"

#include <array>
#include <cmath>
#include <span>

#include "core/numeric/Zahlen.h"

namespace kd {

namespace {

// The sizes are the legal definitions: the yard 0.9144 m, the pound 0.45359237 kg
// (ounce, dram, grain, hundredweights and tons are parts and multiples of it), the US
// gallon 231 in^3 (the liquid barrel 31.5 gallons, the petroleum barrel 42), the UK
// gallon 4.54609 l (fluid ounce 1/160, gill 1/32, pint 1/8, quart 1/4, barrel 36
// gallons), the Didot point 0.376065 mm and the sidereal year 365.256360417 days.
//
// One unit: its label and its table entry zaehler / groesse, where groesse is the
// size of the unit in the page's base unit (zaehler is 1 but for the grain, whose
// size is itself a quotient).
struct EinheitDef {
    const char* name;
    Extended groesse;
    Extended zaehler = 1;
};

constexpr EinheitDef kLaenge[] = {
    {"m", 1},          {"dm", 0.1L},        {"cm", 0.01L},      {"mm", 0.001L},
    {"\xB5m", 1e-6L},  {"nm", 1e-9L},       {"pm", 1e-12L},     {"km", 1000},
    {"\xC5", 1e-10L},  {"mil", 2.54e-5L},   {"in", 0.0254L},    {"ft", 0.3048L},
    {"yd", 0.9144L},   {"mile", 1609.344L}, {"n mile", 1852},   {"typ. Punkt", 0.000376065L},
};

constexpr EinheitDef kFlaeche[] = {
    {"m\xB2", 1},
    {"dm\xB2", 0.01L},
    {"cm\xB2", 1e-4L},
    {"mm\xB2", 1e-6L},
    {"\xB5m\xB2", 1e-12L},
    {"km\xB2", 1e6L},
    {"a", 100},
    {"ha", 10000},
    {"bad. Morgen", 3600},
    {"bay. Tagwerk", 3407},
    {"pr. Morgen", 2553},
    {"w\xFCrtt. Morgen", 3152},
    {"mil\xB2", 6.4516e-10L},
    {"in\xB2", 6.4516e-4L},
    {"ft\xB2", 0.09290304L},
    {"yd\xB2", 0.83612736L},
    {"mile\xB2", 2589988.110336L},
    {"acre", 4046.8564224L},
};

// The imperial and US measures carry two blanks before the parenthesis.
constexpr EinheitDef kVolumen[] = {
    {"m\xB3", 1},
    {"dm\xB3", 0.001L},
    {"cm\xB3", 1e-6L},
    {"mm\xB3", 1e-9L},
    {"km\xB3", 1e9L},
    {"in\xB3", 1.6387064e-5L},
    {"ft\xB3", 0.028316846592L},
    {"yd\xB3", 0.764554857984L},
    {"fl oz  (US)", 2.95735295625e-5L},
    {"gill  (US)", 1.1829411825e-4L},
    {"liq pt  (US)", 4.73176473e-4L},
    {"liq quart  (US)", 9.46352946e-4L},
    {"gal  (US)", 0.003785411784L},
    {"liq bbl  (US)", 0.119240471196L},
    {"barrel petr.", 0.158987294928L},
    {"fl oz  (UK)", 2.84130625e-5L},
    {"gill  (UK)", 1.420653125e-4L},
    {"pt  (UK)", 5.6826125e-4L},
    {"qt  (UK)", 0.0011365225L},
    {"gal  (UK)", 0.00454609L},
    {"bbl  (UK)", 0.16365924L},
};

constexpr EinheitDef kMasse[] = {
    {"kg", 1},
    {"g", 0.001L},
    {"mg", 1e-6L},
    {"\xB5g", 1e-9L},
    {"t", 1000},
    {"lb", 0.45359237L},
    {"oz", 0.028349523125L},
    {"dram", 0.0017718451953125L},
    {"gr", 0.028349523125L, 437.5L},  // 437.5 grains make an ounce
    {"cwt (US)", 45.359237L},
    {"ton (US)", 907.18474L},
    {"cwt (UK)", 50.80234544L},
    {"ton (UK)", 1016.0469088L},
    {"Kt", 0.0002L},
};

constexpr EinheitDef kZeit[] = {
    {"s", 1},          {"min", 60},       {"h", 3600},
    {"d", 86400},      {"a", 31536000},   {"Sonnenjahr", 31556926.08L},
    {"Sternjahr", 31558149.5400288L},
};

constexpr EinheitDef kTemperatur[] = {
    {"\xB0" "C", 1}, {"K", 1}, {"\xB0" "F", 1}, {"\xB0" "R", 1},
};

struct SeiteDef {
    const char* name;
    std::span<const EinheitDef> einheiten;
};

constexpr SeiteDef kSeiten[EinheitenSeiten] = {
    {"L\xE4nge", kLaenge},   {"Fl\xE4" "che", kFlaeche}, {"Volumen", kVolumen},
    {"Masse", kMasse},       {"Zeit", kZeit},            {"Temperatur", kTemperatur},
};

static_assert(std::size(kVolumen) == FaktorenJeSeite, "the volume page fills the factor table");

using Faktortabelle = std::array<std::array<Extended, FaktorenJeSeite>, SeiteTemperatur>;

const Faktortabelle& Faktoren() {
    static const Faktortabelle tabelle = [] {
        Faktortabelle t;
        for (int s = 0; s < SeiteTemperatur; ++s) {
            t[s].fill(1);
            const auto& e = kSeiten[s].einheiten;
            for (std::size_t i = 0; i < e.size(); ++i) t[s][i] = e[i].zaehler / e[i].groesse;
        }
        return t;
    }();
    return tabelle;
}

constexpr const char* kFormeln[4][4] = {
    {"Formel: x \xB0" "C = x \xB0" "C", "Formel: x \xB0" "C = (x+273,15) K",
     "Formel: x \xB0" "C = (1,8*x+32) \xB0" "F", "Formel: x \xB0" "C = ((x+273,15)*1,8) \xB0" "R"},
    {"Formel: x K = (x-273,15) \xB0" "C", "Formel: x K = x K",
     "Formel: x K = (1,8*(x-273,15)+32) \xB0" "F", "Formel: x K = (1,8*x) \xB0" "R"},
    {"Formel: x \xB0" "F = ((x-32)/1,8) \xB0" "C", "Formel: x \xB0" "F = ((x-32)/1,8+273,15) K",
     "Formel: x \xB0" "F = x \xB0" "F", "Formel: x \xB0" "F = (x+459,67) \xB0" "R"},
    {"Formel: x \xB0" "R = ((x/1,8)-273,15) \xB0" "C", "Formel: x \xB0" "R = (x/1,8) K",
     "Formel: x \xB0" "R = (x-459,67) \xB0" "F", "Formel: x \xB0" "R = x \xB0" "R"},
};

bool SeiteGueltig(int seite) { return seite >= 0 && seite < EinheitenSeiten; }

} // namespace

std::string_view Seitenname(int seite) { return SeiteGueltig(seite) ? kSeiten[seite].name : ""; }

int EinheitenAnzahl(int seite) {
    return SeiteGueltig(seite) ? static_cast<int>(kSeiten[seite].einheiten.size()) : 0;
}

std::string_view Einheit(int seite, int einheit) {
    if (einheit < 0 || einheit >= EinheitenAnzahl(seite)) return "";
    return kSeiten[seite].einheiten[static_cast<std::size_t>(einheit)].name;
}

Extended Einheitenfaktor(int seite, int einheit) {
    if (seite < 0 || seite >= SeiteTemperatur || einheit < 0 || einheit >= FaktorenJeSeite) return 1;
    return Faktoren()[static_cast<std::size_t>(seite)][static_cast<std::size_t>(einheit)];
}

std::string_view Temperaturformel(int von, int nach) {
    if (von < 0 || von > 3 || nach < 0 || nach > 3) return "";
    return kFormeln[von][nach];
}

Extended Temperaturwert(int von, int nach, Extended x) {
    constexpr Extended Null = 273.15L, Faktor = 1.8L, Versatz = 32, Rankine = 459.67L;
    enum { C, K, F, R };
    switch (von * 4 + nach) {
    case C * 4 + K: return x + Null;
    case C * 4 + F: return x * Faktor + Versatz;
    case C * 4 + R: return (x + Null) * Faktor;
    case K * 4 + C: return x - Null;
    case K * 4 + F: return (x - Null) * Faktor + Versatz;
    case K * 4 + R: return x * Faktor;
    case F * 4 + C: return (x - Versatz) / Faktor;
    case F * 4 + K: return (x - Versatz) / Faktor + Null;
    case F * 4 + R: return x + Rankine;
    case R * 4 + C: return x / Faktor - Null;
    case R * 4 + K: return x / Faktor;
    case R * 4 + F: return x - Rankine;
    default: return x;
    }
}

bool EingabeLesen(std::string_view text, Extended& wert) {
    wert = 0;
    Extended v = 0;
    const int pos = ParseDecimal(text, v);
    if (pos == 0) {
        wert = v;
        return true;
    }
    // Only a comma where the reading stopped gets a second chance, as the point.
    if (pos >= 1 && static_cast<std::size_t>(pos) <= text.size() && text[static_cast<std::size_t>(pos) - 1] == ',') {
        std::string t(text);
        t[static_cast<std::size_t>(pos) - 1] = '.';
        if (ParseDecimal(t, v) == 0) {
            wert = v;
            return true;
        }
    }
    return false;
}

std::string Allgemein(Extended x, int stellen, std::string_view trenner) {
    std::string s = FormatGeneral(x, stellen);
    // FormatGeneral still writes the decade of 1E-5 in fixed notation ("0.0000" and
    // the digits); below 0.0001 the converter shows the exponent form.
    const std::size_t vz = (!s.empty() && s[0] == '-') ? 1 : 0;
    if (s.compare(vz, 6, "0.0000") == 0 && s.size() > vz + 6) {
        const std::string ziffern = s.substr(vz + 6);
        std::string t = s.substr(0, vz) + ziffern.substr(0, 1);
        if (ziffern.size() > 1) t += "." + ziffern.substr(1);
        s = t + "E-5";
    }
    const std::size_t punkt = s.find('.');
    if (punkt != std::string::npos) s.replace(punkt, 1, trenner);
    return s;
}

std::string Ergebnistext(Extended x, std::string_view trenner) {
    std::string s = Allgemein(x, 12, trenner);
    const std::size_t e = s.find('E');
    if (s.size() > 12 && e != std::string::npos) {
        const std::size_t weg = s.size() - 12;
        if (weg <= e) s.erase(e - weg, weg);
    }
    return s;
}

std::string Beispielzeile(std::string_view von, Extended faktor, std::string_view nach,
                          std::string_view trenner) {
    std::string s = "Beispiel: 1 ";
    s += von;
    s += " = ";
    s += Allgemein(faktor, 8, trenner);
    s += ' ';
    s += nach;
    return s;
}

std::string_view Anfangsbeschriftung(int seite) {
    if (seite == SeiteTemperatur) return "Formel:";
    return SeiteGueltig(seite) ? "Beispiel:" : "";
}

} // namespace kd
