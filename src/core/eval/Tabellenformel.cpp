#include "core/eval/Tabellenformel.h"

#include <cstring>

#include "core/notation/Gleichung.h"
#include "core/numeric/Zahlen.h"
#include "core/numeric/Zeichen.h"
#include "core/Types.h"

namespace kd {

namespace {

// The ")" that closes the "(" at `auf`, npos when the text ends first.
std::size_t PassendeKlammer(const std::string& s, std::size_t auf) {
    int tiefe = 0;
    for (std::size_t j = auf; j < s.size(); ++j) {
        if (s[j] == '(') ++tiefe;
        else if (s[j] == ')' && --tiefe == 0) return j;
    }
    return std::string::npos;
}

// A name the spreadsheet reads as a cell reference: one to three letters, then digits
// ("x|1" is typed as x1).
bool WieZellbezug(const std::string& name) {
    std::string n;
    for (char c : name)
        if (c != '|') n += c;
    std::size_t i = 0;
    while (i < n.size() && ((n[i] >= 'a' && n[i] <= 'z') || (n[i] >= 'A' && n[i] <= 'Z'))) ++i;
    if (i == 0 || i > 3 || i == n.size()) return false;
    for (std::size_t j = i; j < n.size(); ++j)
        if (n[j] < '0' || n[j] > '9') return false;
    return true;
}

bool IstZiffer(char c) { return c >= '0' && c <= '9'; }

// Numbers with the decimal comma, the constants as the spreadsheet's functions, and a
// warning for every name that would silently read a cell.
void ZahlenUndNamen(std::string& s, std::vector<std::string>& warnungen) {
    std::size_t i = 1;  // s[0] is the "="
    while (i < s.size()) {
        const char c = s[i];
        // After a name, and after the "." or "!" of a cell link ("x.B3").
        const bool nachName =
            IstNamenszeichen(static_cast<unsigned char>(s[i - 1])) ||
            ((s[i - 1] == '.' || s[i - 1] == '!') && i >= 2 &&
             IstNamenszeichen(static_cast<unsigned char>(s[i - 2])));
        if (!nachName && (IstZiffer(c) || ((c == '.' || c == ',') && i + 1 < s.size() && IstZiffer(s[i + 1])))) {
            while (i < s.size() && (IstZiffer(s[i]) || s[i] == '.' || s[i] == ',')) {
                if (s[i] == '.') s[i] = ',';
                ++i;
            }
            // The exponent: "E", an optional sign, digits.
            if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
                std::size_t j = i + 1;
                if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
                if (j < s.size() && IstZiffer(s[j])) {
                    i = j;
                    while (i < s.size() && IstZiffer(s[i])) ++i;
                }
            }
            continue;
        }
        if (!nachName && IstNamenszeichen(static_cast<unsigned char>(c))) {
            std::string name;
            const int l = BezeichnerLesen(s, int(i) + 1, 255, name);
            if (l <= 0) {
                ++i;
                continue;
            }
            const bool funktion = i + std::size_t(l) < s.size() && s[i + std::size_t(l)] == '(';
            const char* ersatz = nullptr;
            if (!funktion && name == "~p") ersatz = "PI()";
            else if (!funktion && name == "e") ersatz = "EXP(1)";
            if (ersatz) {
                s.replace(i, std::size_t(l), ersatz);
                i += std::strlen(ersatz);
                continue;
            }
            if (!funktion && WieZellbezug(name)) {
                std::string sichtbar;
                for (char z : name)
                    if (z != '|') sichtbar += z;
                std::string w = "Der Name " + sichtbar +
                                 " wird von der Tabellenkalkulation als Zellbezug gelesen";
                bool schon = false;
                for (const auto& v : warnungen) schon = schon || v == w;
                if (!schon) warnungen.push_back(std::move(w));
            }
            i += std::size_t(l);
            continue;
        }
        ++i;
    }
}

} // namespace

Tabellenformel InTabellenformel(const std::string& formeltext) {
    Tabellenformel erg;
    std::string s = Kurz(formeltext);

    // The legend in braces.
    if (std::size_t a = s.find('{'); a != std::string::npos) {
        if (std::size_t b = s.find('}', a + 1); b != std::string::npos) s.erase(a, b - a + 1);
    }
    // Quoted comments.
    for (;;) {
        const std::size_t a = s.find('"');
        if (a == std::string::npos) break;
        const std::size_t b = s.find('"', a + 1);
        if (b == std::string::npos) break;
        s.erase(a, b - a + 1);
    }
    // Only the right side stays.
    if (std::size_t g = s.find('='); g != std::string::npos) s = s.substr(g);
    else s = "=" + s;

    const std::string u0 = GrossSchreiben(s);
    static const struct {
        const char* Wort;
        const char* Text;
    } warnungen[] = {
        {"SUMME(", "Summenfunktion l\xE4\xDFt sich nicht entsprechend umsetzten"},
        {"PRODUKT(", "Produktfunktion l\xE4\xDFt sich nicht entsprechend umsetzten"},
        {"INTEGRAL(", "Integralfunktion l\xE4\xDFt sich nicht entsprechend umsetzten"},
        {"GAMMA(", "Gammafunktion l\xE4\xDFt sich nicht entsprechend umsetzten"},
    };
    for (const auto& w : warnungen)
        if (u0.find(w.Wort) != std::string::npos) erg.Warnungen.emplace_back(w.Text);

    // Function names, left to right. A keyword that ends a longer name ("XSIN(") is not a
    // function; a translated name is skipped, so nothing is translated twice.
    std::size_t i = 0;
    while (i < s.size()) {
        const std::string u = GrossSchreiben(s);
        int art = -1;
        if (i == 0 || !IstNamenszeichen(static_cast<unsigned char>(u[i - 1]))) {
            for (int k = ArtAbs; k <= ArtGleichGleich; ++k) {
                const std::size_t l = std::strlen(Funktionstabelle[k]);
                if (u.compare(i, l, Funktionstabelle[k]) == 0 && i + l < u.size() && u[i + l] == '(') {
                    art = k;
                    break;
                }
            }
        }
        if (art < 0) {
            ++i;
            continue;
        }
        // The spreadsheet has no cube or fourth root and no square function: they are
        // written as powers; its random number takes no argument and is scaled.
        if (art == ArtWurzel + 1 || art == ArtWurzel + 2 || art == ArtQuadrat || art == 26) {
            const std::size_t auf = i + std::strlen(Funktionstabelle[art]);
            const std::size_t zu = PassendeKlammer(s, auf);
            if (zu != std::string::npos) {
                const std::string arg = s.substr(auf + 1, zu - auf - 1);
                const std::string vorn = art == 26 ? "Zufallszahl()*(" : "(";
                const std::string hinten = art == ArtQuadrat ? ")^2"
                                         : art == ArtWurzel + 1 ? ")^(1/3)"
                                         : art == ArtWurzel + 2 ? ")^(1/4)" : ")";
                s.replace(i, zu - i + 1, vorn + arg + hinten);
                i += vorn.size();
                continue;
            }
        }
        const std::string name = Funktionsnamen[art];
        s.replace(i, std::strlen(Funktionstabelle[art]), name);
        const std::string nameGross = GrossSchreiben(name);
        if (nameGross == "RUNDEN" || nameGross == "ABRUNDEN") {
            // ";0" goes before the bracket that closes the argument.
            int auf = 0, zu = 0;
            for (std::size_t j = i + name.size(); j < s.size(); ++j) {
                if (s[j] == '(') ++auf;
                else if (s[j] == ')') ++zu;
                if (auf == zu && auf != 0) {
                    s.insert(j, ";0");
                    break;
                }
            }
        }
        i += name.size();
    }
    ZahlenUndNamen(s, erg.Warnungen);
    erg.Formel = s;
    return erg;
}

} // namespace kd
