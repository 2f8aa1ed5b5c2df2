#include "core/eval/Tabellenformel.h"

#include <cstring>

#include "core/Types.h"
#include "core/numeric/Zahlen.h"
#include "core/typeset/Gleichung.h"
#include "core/typeset/Zeichen.h"

namespace kd {

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
    erg.Formel = s;
    return erg;
}

} // namespace kd
