#include "core/notation/Gleichung.h"

#include <cstring>

#include "core/numeric/Zahlen.h"
#include "core/numeric/Zeichen.h"

namespace kd {

// Keywords as matched on the upper-cased text; the index is the operator kind.
const char* const Funktionstabelle[34] = {
    "=", "+", "-", "*", "/", "^", "ABS", "SINH", "COSH", "TANH", "SIN", "COS",
    "TAN", "ASN", "ACS", "ATN", "LN", "LOG", "INT", "RUNDEN", "VORZEICHEN", "WURZEL",
    "WURZEL3", "WURZEL4", "QUADRAT", "FAKULT\xC4T", "ZUFALL", "GAMMA", ">=", "<=", "<>", ">",
    "<", "=="};

const char* const Funktionsnamen[34] = {
    "=", "+", "-", "*", "/", "^", "Abs", "SinHyp", "CosHyp", "TanHyp", "Sin", "Cos",
    "Tan", "ArcSin", "ArcCos", "ArcTan", "Ln", "Log", "Abrunden", "Runden", "Vorzeichen",
    "Wurzel", "Wurzel3", "Wurzel4", "Quadrat", "Fakult\xE4t", "Zufallszahl", "Gamma", ">=",
    "<=", "<>", ">", "<", "=="};

const char* const Fehlertexte[35] = {
    "",
    "Syntaxfehler oder unbekannter Bezeichner",
    "Klammer ) zuviel",
    "Klammer ) fehlt",
    "Klammer ( erwartet",
    "unerwartetes Ende",
    "zu viele Elemente",
    "Operand oder Klammer fehlt",
    "Operator hier nicht erlaubt",
    "\"=\" hier nicht m\xF6" "glich",
    "\"=\" erwartet",
    "Bezeichner hier nicht zul\xE4" "ssig",
    "Bezeichner zu lang, max. 20 Zeichen",
    "Zahlenbereich \xFC" "berschritten",
    "Legende mu\xDF" " am Ende stehen",
    "==,<,> sind hier nicht m\xF6" "glich",
    "== erwartet",
    "Unbekannter Indize",
    "\";\" erwartet",
    "Zahlenwert hier nicht m\xF6" "glich",
    "Index-Klammer [ erwartet",
    "Index-Klammer ] erwartet",
    "Laufvariable ist schon Bezeichner",
    "Zahlenwert erwartet",
    "Maximale Klammerebenen \xFC" "berschritten",
    "Startwert gr\xF6\xDF" "er als Endwert",
    "Anzahl Summenfunktion \xFC" "berschritten",
    "Funktion hier nicht m\xF6" "glich",
    "Zahlenwert zu lang",
    "Tabellenfeldbezug ung\xFC" "ltig",
    "Bezeichner hat keinen Zellenbezug",
    "Bezeichner ist schon Summenlaufvariable",
    "\",\" erwartet",
    "Konstante kann nicht redefiniert werden",
    "Logisches ;und; ;oder; ;xoder; erwartet",
};

TGleichung::TGleichung() : TGleichung(Optionen{}) {}

TGleichung::TGleichung(const Optionen& o)
    : Stile(o.Stile),
      EigeneStile(o.EigeneStile),
      Sammelmodus(o.Sammelmodus),
      Bedingungsmodus(o.Bedingungsmodus),
      ElementeErzeugen(o.ElementeErzeugen),
      BezListe(o.Bezeichner),
      Matrizen(o.Matrizen),
      Sammelliste(o.Sammelliste),
      Fabrik(o.Fabrik) {
    if (!BezListe) {
        eigeneListe_ = std::make_unique<Bezeichnerliste>();
        BezListe = eigeneListe_.get();
        EigeneBezeichnerliste = true;
    }
}

TGleichung::~TGleichung() = default;

int SichtbarePosition(const std::string& text, int position) {
    int n = 0;
    int bis = std::min<int>(position, static_cast<int>(text.size()));
    for (int i = 0; i < bis; ++i)
        if (text[static_cast<std::size_t>(i)] != '|' && text[static_cast<std::size_t>(i)] != '~') ++n;
    return n;
}

void TeilformelSuchen(const std::string& text, int& start, int& ende, int nummer, int& anzahl) {
    const std::string u = GrossSchreiben(text);
    const int len = static_cast<int>(u.size());
    anzahl = 0;
    start = 1;
    ende = 0;
    int offen = 0;      // separators still owed to the headers of sums, products and integrals
    int klammerung = 0; // depth of "{...}": a heading or legend text never divides the formula
    char textEnde = 0;  // inside a comment "..." or an annotation [...]: its closing character
    for (int i = 1; i <= len; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        const char c = u[k];
        const bool zeichen = k > 0 && (u[k - 1] == '~' || u[k - 1] == '|');  // a Symbol letter or index
        if (zeichen) {
        } else if (textEnde == 0 && klammerung == 0 && (c == '"' || c == '[')) {
            textEnde = c == '"' ? '"' : ']';
        } else if (textEnde != 0 && c == textEnde) {
            textEnde = 0;
        } else if (textEnde == 0 && c == '{') {
            ++klammerung;
        }
        const bool imText = klammerung > 0 || textEnde != 0;
        if (c == '}' && klammerung > 0) --klammerung;
        // Only the keyword itself followed by "(" opens a loop, not a name that holds it.
        auto schluesselwort = [&](const char* w, std::size_t n) {
            if (u.compare(k, n, w) != 0 || k + n >= u.size() || u[k + n] != '(') return false;
            return k == 0 || !IstNamenszeichen(static_cast<unsigned char>(u[k - 1]));
        };
        if (!imText && (schluesselwort("SUMME", 5) || schluesselwort("PRODUKT", 7) ||
                        schluesselwort("INTEGRAL", 8)))
            offen += 2;
        if (((c == ';' || c == ':') && !imText) || i == len) {
            if (offen > 0 && c == ';') {
                --offen;
                continue;
            }
            ++anzahl;
            if (anzahl == nummer) {
                ende = (i == len) ? i : i - 1;
                return;
            }
            if (i != len) start = i + 1;
        }
    }
}

int BezeichnerLesen(const std::string& text, int pos, int maxLaenge, std::string& name,
                    bool zahlartig) {
    name.clear();
    const int len = static_cast<int>(text.size());
    int i = pos;
    while (i >= 1 && i <= len) {
        const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)]);
        const bool extra = zahlartig && (c == ',' || c == '.');
        const bool trenn = IstTrennzeichen(c);
        if (!(IstNamenszeichen(c) || trenn || extra)) break;
        // A separator character ends the name, except "_" and "~", at the very start of
        // the text, and right after an index mark ("x|-" is a name).
        if (trenn && !extra && c != '_' && c != '~') {
            const bool nachIndex = i > 1 && text[static_cast<std::size_t>(i - 2)] == '|';
            if (!nachIndex) break;
        }
        if (static_cast<int>(name.size()) < maxLaenge) name += static_cast<char>(c);
        ++i;
    }
    return i - pos;
}

} // namespace kd
