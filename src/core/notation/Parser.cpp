// FormelLesen and Reihenfolge: one left-to-right scan over the formula text with a fixed
// order of recognisers, a small "what may come next" state and integer priorities.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/constants/Konstanten.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Zahlen.h"
#include "core/numeric/Zeichen.h"

namespace kd {

namespace {

constexpr std::uint32_t GrauRGB = 0x00606060;  // RGB(96,96,96)
constexpr std::int32_t StartBasisprio = 300000;
// Identifiers are read and kept whole: two names that differ only after their
// twentieth character are two variables. (Table names keep MaxNamenslaenge.)
constexpr int NameGanz = 255;

// A bound rounded to a whole number that fits the 32-bit field (a constant such as
// "~\xA5" is 1E50).
std::int32_t GanzzahlBegrenzt(Extended v) {
    const Extended r = std::nearbyint(v);
    if (!(r > -2147483648.0L)) return INT32_MIN;
    if (!(r < 2147483647.0L)) return INT32_MAX;
    return static_cast<std::int32_t>(r);
}

// Which token classes may come next.
struct Erlaubt {
    bool Bez = false, Gleich = false, Op = false, Funk = false, Auf = false, Zu = false,
         Zahl = false, Konst = false, Plot = false;
};

// The kind of a function keyword (6..27) read from the upper-cased text, -1 for none.
int FunktionsArt(const std::string& name) {
    struct Wort {
        std::string_view text;
        int art;
    };
    static const auto tabelle = [] {
        std::array<Wort, ArtGamma - ArtAbs + 1> t{};
        for (int k = ArtAbs; k <= ArtGamma; ++k) t[std::size_t(k - ArtAbs)] = {Funktionstabelle[k], k};
        return t;
    }();
    if (name.size() < 2 || name.size() > 10) return -1;
    for (const Wort& w : tabelle)
        if (w.text.size() == name.size() && w.text == name) return w.art;
    return -1;
}

class Parser {
public:
    Parser(TGleichung& g, const std::string& text, const std::string& xVar,
           const std::string& zVar, std::uint32_t farbe)
        : g_(g), t_(Kurz(text)), x_(xVar), z_(zVar), farbe_(farbe) {
        len_ = static_cast<int>(t_.size());
        u_ = GrossSchreiben(t_);
        elemente_ = g.ElementeErzeugen && g.Fabrik != nullptr;
        sammeln_ = g.Sammelmodus;
        auswerten_ = !g.Sammelmodus && g.Sammelliste == nullptr;
    }

    int Lesen(int& fehlerPos, int& endePos);

private:
    // --- text access (1-based) ---
    char At(int p) const { return (p >= 1 && p <= len_) ? t_[std::size_t(p - 1)] : '\0'; }
    bool UAt(int p, std::string_view s) const {
        return p >= 1 && u_.compare(std::size_t(p - 1), s.size(), s) == 0 &&
               std::size_t(p - 1) + s.size() <= u_.size();
    }
    bool TAt(int p, std::string_view s) const {
        return p >= 1 && t_.compare(std::size_t(p - 1), s.size(), s) == 0 &&
               std::size_t(p - 1) + s.size() <= t_.size();
    }
    int NamenszeichenLauf(int p) const {
        int i = p;
        while (i <= len_ && IstNamenszeichen(static_cast<unsigned char>(At(i)))) ++i;
        return i - p;
    }
    std::string Teil(int p, int n) const { return t_.substr(std::size_t(p - 1), std::size_t(n)); }

    // --- states ---
    void OperandErwartet() { e_ = {}; e_.Bez = e_.Funk = e_.Auf = e_.Zahl = e_.Konst = e_.Plot = true; }
    void NachOperand() {
        e_ = {};
        e_.Op = e_.Zu = true;
        e_.Gleich = g_.Bedingungsmodus && kt_ == 0;
    }
    void NachLinksseite() { e_ = {}; e_.Gleich = true; }
    void NachFunktion() { e_ = {}; e_.Auf = true; }
    void NachTrenner() { e_ = {}; e_.Bez = true; }
    bool Operandstelle() const { return e_.Auf; }

    bool Fehler(int code) {
        if (fehler_ == 0) fehler_ = code;
        return true;
    }

    // --- terms ---
    Term* NeuerTerm() {
        if (n_ >= MaxTerme) {
            Fehler(6);
            return nullptr;
        }
        ++n_;
        Term& tm = g_.Terme[std::size_t(n_)];
        tm.Wert = 0;
        tm.Art = 0;
        tm.Prio = 0;
        tm.TextPos = tokenStart_;
        tm.SummenNr = tm.SummenStart = tm.SummenEnde = tm.SummenBezeichner = tm.StartWert = 0;
        tm.StartBenannt = tm.EndeBenannt = false;
        tm.Folge = n_ + 1;
        tm.Element.reset();
        tm.Rechenwert = 0;
        return &tm;
    }
    Term& Aktuell() { return g_.Terme[std::size_t(n_)]; }

    // 0 - x: a term with value 0 whose operator is a minus that binds like a binary one.
    bool UnaerMinus(int minusPos) {
        if (n_ > 0) {
            int i = minusPos - 1;
            while (i >= 1 && At(i) == ' ') --i;
            if (i >= 1 && std::strchr("*+-/^", At(i)) != nullptr) return Fehler(8), false;
        }
        Term* tm = NeuerTerm();
        if (!tm) return false;
        tm->Wert = 0;
        tm->Art = ArtMinus;
        tm->Prio = kt_ + 3 + bp_;
        tm->TextPos = minusPos;
        return true;
    }

    std::string MitRandBlanks(int p, int n, const std::string& name) const {
        std::string s;
        if (At(p - 1) == ' ') s += ' ';
        s += name;
        if (At(p + n) == ' ') s += ' ';
        return s;
    }

    void FormelLeaf(Term& tm, std::uint32_t tag, const std::string& text, std::uint32_t farbe) {
        if (elemente_) tm.Element = g_.Fabrik->FormelTextLeaf(tag, text, farbe);
    }

    int SammelnEinmal(const std::string& name) {
        if (!g_.Sammelliste) return -1;
        int i = SucheBezeichner(*g_.Sammelliste, name);
        if (i < 0) {
            g_.Sammelliste->Add(std::make_unique<TBezeichner>(name));
            i = g_.Sammelliste->Count() - 1;
        }
        return i;
    }

    // --- recognisers; each returns true when it handled the token (or set an error) ---
    bool Blanks();
    bool Klammertext();
    bool Zahl();
    bool Plotvariable();
    bool Funktion();
    bool Summe();
    bool Tabellenwort();
    bool Konstante();
    bool Matrix();
    bool Bezeichner();
    bool Operator();
    bool Klammer();
    bool Vergleich();
    bool Trenner();
    // The check at the end of the text and before a separator; false on an error.
    bool Endpruefung() {
        if (!e_.Op) return Fehler(5), false;
        if (kt_ >= 1) return Fehler(3), false;
        if (n_ == 0) return Fehler(5), false;
        return true;
    }

    struct Grenze {
        bool Minus = false, Benannt = false, Ok = false;
        Extended Wert = 0;   // signed value of a number or constant
        int Index = -1;      // identifier index of a named bound (evaluation mode)
        std::string Text;    // as shown in the limit text
    };
    Grenze GrenzeLesen(int& p, bool istStart, bool ganzzahlig);

    // A whole number of a table index, read from p on (kept below 10^9).
    int GanzeZahl(int& p) const {
        int z = 0;
        while (At(p) >= '0' && At(p) <= '9') {
            if (z < 100000000) z = z * 10 + (At(p) - '0');
            ++p;
        }
        return z;
    }
    // An identifier of a table index; outside collect mode it must exist (error 17).
    // False when an error was set.
    bool IndexName(int& p, int& index) {
        std::string name;
        const int l = BezeichnerLesen(t_, p, NameGanz, name);
        if (l == 0) return Fehler(p > len_ ? 21 : 17), false;
        index = SucheBezeichner(g_.Bezeichner(), name);
        if (index < 0 && !sammeln_) return Fehler(17), false;
        p += l;
        return true;
    }

    TGleichung& g_;
    std::string t_, u_;
    std::string x_, z_;
    std::uint32_t farbe_;
    int len_ = 0;
    int pos_ = 1;
    int tokenStart_ = 1;
    int fehler_ = 0;
    int endePos_ = 0;
    std::int32_t bp_ = StartBasisprio;
    std::int32_t kt_ = 0;
    int n_ = 0;
    bool links_ = true;
    Erlaubt e_;
    bool elemente_ = false;
    bool sammeln_ = false;
    bool auswerten_ = false;
    std::int32_t summenZuschlag_[3] = {0, 0, 0};
    std::int32_t summenTerm_[3] = {0, 0, 0};  // the term of the open sum of each level
    std::string nameLeer_;  // scratch for reading only the length of a name  // what each open sum level added to the base
};

int Parser::Lesen(int& fehlerPos, int& endePos) {
    // Preparation: the state is cleared for every parse.
    g_.Farbe = farbe_;
    g_.XAnzahl = g_.ZAnzahl = 0;
    g_.Summentiefe = g_.Summenzahl = g_.Summenebene = 0;
    g_.SummenGeschlossen = 0;
    g_.Summenklammer = {};
    g_.FormelAnzahl = 1;
    g_.LetzterTerm = 0;
    g_.TermAnzahl = 0;
    g_.Laufvariablen.clear();
    if (g_.EigeneBezeichnerliste) g_.Bezeichner().ClearItems();
    for (auto& tm : g_.Terme) tm.Element.reset();
    links_ = !g_.Bedingungsmodus;
    e_ = {};
    e_.Bez = true;
    if (!g_.Sammelmodus) e_.Zahl = e_.Konst = e_.Funk = e_.Auf = e_.Plot = true;

    fehlerPos = 0;
    while (pos_ <= len_ && fehler_ == 0) {
        tokenStart_ = pos_;
        fehlerPos = pos_;
        const bool erkannt = Blanks() || Klammertext() || Zahl() || Plotvariable() ||
                             Funktion() || Summe() || Tabellenwort() || Konstante() ||
                             Matrix() || Bezeichner() || Operator() || Klammer() ||
                             Vergleich() || Trenner();
        if (!erkannt && fehler_ == 0) Fehler(1);
        if (fehler_ == 36) {  // the legend's missing "}" points at the end of the text
            fehler_ = 5;
            fehlerPos = len_;
        }
    }

    if (n_ >= 1) g_.Terme[std::size_t(n_)].Prio = 0;
    if (fehler_ == 0) Endpruefung();
    if (fehler_ != 0)
        for (auto& tm : g_.Terme) tm.Element.reset();
    g_.TermAnzahl = n_;
    endePos = endePos_;
    if (fehler_ == 0) g_.Reihenfolge();
    return fehler_;
}

bool Parser::Blanks() {
    endePos_ = pos_ + 1;
    if (At(pos_) != ' ') return false;
    while (At(pos_) == ' ') ++pos_;
    return true;
}

bool Parser::Klammertext() {
    const char c = At(pos_);
    if (c != '{' && c != '"' && c != '[') return false;
    if (!e_.Op) return Fehler(1);
    if (c == '{') {
        const std::size_t zu = t_.find('}', std::size_t(pos_));
        if (zu == std::string::npos) return Fehler(36);
        const int ende = int(zu) + 1;  // 1-based position of "}"
        if (g_.ElementeErzeugen) {
            if (n_ == 0) return Fehler(14);
            if (elemente_) {
                Term& vor = Aktuell();
                vor.Art = ArtLegende;
                vor.Prio = 0;
                Term* tm = NeuerTerm();
                if (!tm) return true;
                FormelLeaf(*tm, 13, Teil(pos_ + 1, ende - pos_ - 1), farbe_ ? farbe_ : GrauRGB);
            }
        }
        endePos_ = ende;
        pos_ = ende + 1;
        return true;
    }
    if (c == '"') {
        const std::size_t zu = t_.find('"', std::size_t(pos_));
        if (zu == std::string::npos) return Fehler(5);
        const int ende = int(zu) + 1;
        if (g_.ElementeErzeugen) {
            if (n_ == 0) return Fehler(14);
            if (elemente_) {
                Term& vor = Aktuell();
                vor.Art = ArtKommentar;
                vor.Prio = bp_;
                Term* tm = NeuerTerm();
                if (!tm) return true;
                FormelLeaf(*tm, 13, Teil(pos_ + 1, ende - pos_ - 1), farbe_ ? farbe_ : GrauRGB);
            }
        }
        endePos_ = ende;
        pos_ = ende + 1;
        return true;
    }
    // "[": an annotation; after a name it extends the name's leaf.
    const std::size_t zu = t_.find(']', std::size_t(pos_));
    if (zu == std::string::npos) return Fehler(5);
    const int ende = int(zu) + 1;
    if (elemente_ && n_ > 0 && IstNamenszeichen(static_cast<unsigned char>(At(pos_ - 1)))) {
        Term* mit = nullptr;
        if (Aktuell().Element) mit = &Aktuell();
        else if (n_ > 1 && g_.Terme[std::size_t(n_ - 1)].Element) mit = &g_.Terme[std::size_t(n_ - 1)];
        if (mit) {
            std::string alt = g_.Fabrik->LeafText(*mit->Element);
            mit->Element = g_.Fabrik->FormelTextLeaf(13, alt + Teil(pos_ + 1, ende - pos_ - 1), farbe_);
        }
    }
    endePos_ = ende;
    pos_ = ende + 1;
    return true;
}

bool Parser::Zahl() {
    Extended v = 0;
    const int l = ZahlLesen(t_, pos_, v);
    if (l <= 0) return false;
    if (l > 16) return Fehler(28);
    endePos_ = pos_ + l - 1;
    const Extended betrag = std::fabs(v);
    if (betrag >= 1E100L || (betrag != 0 && betrag <= 1E-100L)) return Fehler(13);
    if (betrag == 0) {
        // A mantissa that is not zero read as 0: the exponent was too small.
        const std::string z = Teil(pos_, l);
        const std::size_t e = z.find_first_of("Ee");
        if (z.substr(0, e).find_first_of("123456789") != std::string::npos) return Fehler(13);
    }
    const char vz = At(pos_);
    const bool mitVorzeichen = vz == '+' || vz == '-';
    if (!e_.Zahl && !(e_.Op && mitVorzeichen)) return Fehler(19);
    if (mitVorzeichen) {
        if (e_.Op) {
            Term& vor = Aktuell();
            vor.Art = vz == '+' ? ArtPlus : ArtMinus;
            vor.Prio = vor.Art + kt_ + 1 + bp_;
            links_ = false;
        } else if (vz == '-') {
            if (!UnaerMinus(pos_)) return true;
        }
    }
    Term* tm = NeuerTerm();
    if (!tm) return true;
    tm->Wert = betrag;
    if (elemente_) {
        const int ab = mitVorzeichen ? pos_ + 1 : pos_;
        const int n = pos_ + l - ab;
        tm->Element = g_.Fabrik->TextLeaf(12, MitRandBlanks(ab, n, Teil(ab, n)));
    }
    pos_ += l;
    NachOperand();
    return true;
}

bool Parser::Plotvariable() {
    if (x_.empty() && z_.empty()) return false;
    int p = pos_;
    const bool minus = At(p) == '-' && Operandstelle();
    if (minus) ++p;
    const int l = NamenszeichenLauf(p);
    if (l == 0) return false;
    const std::string name = Teil(p, l);
    const bool istZ = !z_.empty() && name == z_;
    const bool istX = !istZ && !x_.empty() && name == x_;
    if (!istZ && !istX) return false;
    if (!e_.Plot) return Fehler(7);
    if (minus && !UnaerMinus(pos_)) return true;
    Term* tm = NeuerTerm();
    if (!tm) return true;
    if (istZ) {
        if (g_.ZAnzahl < MaxTerme) g_.ZStellen[std::size_t(++g_.ZAnzahl)] = n_;
    } else if (g_.XAnzahl < MaxTerme) {
        g_.XStellen[std::size_t(++g_.XAnzahl)] = n_;
    }
    FormelLeaf(*tm, 12, name, farbe_);
    pos_ = p + l;
    endePos_ = pos_ - 1;
    NachOperand();
    return true;
}

bool Parser::Funktion() {
    int p = pos_;
    const bool minus = At(p) == '-' && Operandstelle();
    if (minus) ++p;
    // Every function keyword begins with a letter.
    const char k0 = At(p);
    if (!((k0 >= 'A' && k0 <= 'Z') || (k0 >= 'a' && k0 <= 'z'))) return false;
    std::string name;
    if (BezeichnerLesen(u_, p, 255, name) == 0) return false;
    const int art = FunktionsArt(name);
    if (art < 0) return false;
    if (!e_.Funk) return Fehler(27);
    if (minus && !UnaerMinus(pos_)) return true;
    Term* tm = NeuerTerm();
    if (!tm) return true;
    tm->Art = art;
    tm->Prio = kt_ + 7 + bp_;
    tm->TextPos = tokenStart_;
    pos_ = p + int(std::strlen(Funktionstabelle[art]));
    endePos_ = pos_ - 1;
    NachFunktion();
    return true;
}

Parser::Grenze Parser::GrenzeLesen(int& p, bool istStart, bool ganzzahlig) {
    Grenze gr;
    while (At(p) == ' ') ++p;
    if (At(p) == '-') {
        gr.Minus = true;
        ++p;
    }
    std::string s;
    const int l = BezeichnerLesen(t_, p, NameGanz, s, true);
    if (l == 0) {
        Fehler(p > len_ ? 5 : 1);
        return gr;
    }
    int fp = 0;
    const Extended v = TextZuZahl(s, fp);
    const int k = BasisKonstante(s);
    if (fp == 0) {
        if (ganzzahlig && v >= 65535) {
            Fehler(13);
            return gr;
        }
        gr.Wert = gr.Minus ? -v : v;
        gr.Text = (gr.Minus ? "-" : "") + ZahlText(8, v);
    } else if (k > 0) {
        const Extended kw = Konstanten().Wert(k);
        gr.Wert = gr.Minus ? -kw : kw;
        gr.Text = (gr.Minus ? "-" : "") + s;
    } else {
        gr.Benannt = true;
        if (sammeln_) {
            SammelnEinmal(s);
        } else {
            gr.Index = SucheBezeichner(g_.Bezeichner(), s);
            if (gr.Index < 0) {
                Fehler(1);
                return gr;
            }
            if (istStart && gr.Minus) {
                Fehler(4);
                return gr;
            }
        }
        gr.Text = (gr.Minus ? "-" : "") + s.substr(0, 10);
    }
    p += l;
    gr.Ok = true;
    return gr;
}

bool Parser::Summe() {
    int p = pos_;
    const bool minus = At(p) == '-' && Operandstelle();
    if (minus) ++p;
    const char k0 = p >= 1 && p <= len_ ? u_[std::size_t(p - 1)] : '\0';
    if (k0 != 'S' && k0 != 'I' && k0 != 'P') return false;
    std::int32_t art;
    int kwLaenge;
    if (UAt(p, "SUMME(")) art = ArtSumme, kwLaenge = 6;
    else if (UAt(p, "INTEGRAL(")) art = ArtIntegral, kwLaenge = 9;
    else if (UAt(p, "PRODUKT(")) art = ArtProdukt, kwLaenge = 8;
    else return false;
    if (!e_.Funk) return Fehler(27);
    if (minus && !UnaerMinus(pos_)) return true;
    if (g_.Summentiefe == 2 || g_.Summenzahl == 6 || (g_.Summenebene == 2 && g_.Summenzahl > 1))
        return Fehler(26);
    p += kwLaenge;
    while (At(p) == ' ') ++p;

    // The loop variable.
    std::string var;
    const int lv = BezeichnerLesen(t_, p, NameGanz, var);
    if (lv == 0) return Fehler(p > len_ ? 5 : 10);
    int varIndex = -1;
    if (auswerten_) {
        if (SucheBezeichner(g_.Bezeichner(), var) >= 0) return Fehler(22);
        auto b = std::make_unique<TBezeichner>(var);
        b->Laufvariable = true;
        g_.Bezeichner().Add(std::move(b));
        varIndex = g_.Bezeichner().Count() - 1;
    }
    p += lv;
    if (At(p) != '=') return Fehler(p > len_ ? 5 : 10);
    ++p;
    if (p > len_) return Fehler(5);

    const bool ganzzahlig = art != ArtIntegral;
    const Grenze start = GrenzeLesen(p, true, ganzzahlig);
    if (!start.Ok) return true;
    if (At(p) != ';') return Fehler(p > len_ ? 5 : 18);
    ++p;
    if (p > len_) return Fehler(5);
    const Grenze ende = GrenzeLesen(p, false, ganzzahlig);
    if (!ende.Ok) return true;
    if (At(p) != ';') return Fehler(p > len_ ? 5 : 18);
    ++p;

    g_.Laufvariablen.push_back(var);
    if (art == ArtIntegral) g_.Laufvariablen.push_back(Kurz("d" + var));
    if (auswerten_) {
        TBezeichner& lauf = *g_.Bezeichner()[varIndex];
        // The loop variable has a value of its own. A named start is copied into it
        // when the body begins (the evaluator does that before each first pass); here
        // it only gets the start's present value.
        lauf.SetWert(start.Benannt ? g_.Bezeichner()[start.Index]->GetWert() : start.Wert);
        if (art == ArtIntegral) {
            const std::string dName = Kurz("d" + var);
            int schrittweite = SucheBezeichner(g_.Bezeichner(), dName);
            if (schrittweite < 0) {
                g_.Bezeichner().Add(std::make_unique<TBezeichner>(dName));
                schrittweite = g_.Bezeichner().Count() - 1;
            }
            Extended a = start.Benannt ? g_.Bezeichner()[start.Index]->GetWert() : start.Wert;
            Extended b = ende.Benannt ? g_.Bezeichner()[ende.Index]->GetWert() : ende.Wert;
            g_.Bezeichner()[schrittweite]->Wert = (b - a) / 10000;
        }
    }

    g_.Summentiefe += 1;
    g_.Summenzahl += 1;
    g_.Summenebene = g_.Summentiefe;
    const std::int32_t zuschlag = 100 * g_.Summenzahl;
    bp_ += zuschlag;
    summenZuschlag_[g_.Summentiefe] = zuschlag;

    Term* tm = NeuerTerm();
    if (!tm) return true;
    tm->Art = art;
    tm->Prio = kt_ + 7 + bp_;
    tm->SummenNr = g_.Summentiefe == 2 ? -g_.Summenzahl : g_.Summenzahl;
    tm->SummenStart = g_.LetzterTerm;
    summenTerm_[g_.Summentiefe] = n_;
    if (auswerten_) {
        tm->TextPos = varIndex;
        tm->SummenBezeichner = g_.Bezeichner().Count() - 1;
        tm->StartBenannt = start.Benannt;
        tm->EndeBenannt = ende.Benannt;
        tm->StartWert = start.Benannt ? start.Index : GanzzahlBegrenzt(start.Wert);
        tm->Wert = ende.Benannt ? -Extended(ende.Index + 1) : ende.Wert;
    } else {
        tm->Wert = ende.Wert;
    }
    kt_ += 10;
    g_.Summenklammer[std::size_t(g_.Summentiefe)] = kt_;
    if (elemente_) {
        const std::uint32_t tag = art == ArtProdukt ? 25 : 24;
        tm->Element = g_.Fabrik->SummenZeichen(art, tag, ende.Text, var + " = " + start.Text);
    }
    endePos_ = p - 1;
    pos_ = p;
    OperandErwartet();
    return true;
}

bool Parser::Tabellenwort() {
    int p = pos_;
    const bool minus = At(p) == '-' && Operandstelle();
    if (minus) ++p;
    static const struct {
        const char* Wort;
        std::int32_t Art;
    } woerter[] = {{"MAXZEILENWERTE", ArtMaxZeilenWerte}, {"MAXSPALTENWERTE", ArtMaxSpaltenWerte},
                   {"MAXZEILEN", ArtMaxZeilen},           {"LASTVERT", ArtMaxZeilen},
                   {"MAXSPALTEN", ArtMaxSpalten},         {"LASTHORZ", ArtMaxSpalten}};
    const char k0 = p >= 1 && p <= len_ ? u_[std::size_t(p - 1)] : '\0';
    if (k0 != 'M' && k0 != 'L') return false;
    std::int32_t art = 0;
    for (const auto& w : woerter)
        if (UAt(p, w.Wort)) {
            art = w.Art;
            p += int(std::strlen(w.Wort));
            break;
        }
    if (art == 0) return false;
    if (!e_.Funk) return Fehler(27);
    if (minus && !UnaerMinus(pos_)) return true;
    if (At(p) != '(') return Fehler(4);
    ++p;
    while (At(p) == ' ') ++p;
    std::string name;
    const int l = BezeichnerLesen(t_, p, MaxNamenslaenge, name);
    int index = -1;
    if (!sammeln_) {
        if (l == 0 || !g_.Matrizen) return Fehler(1);
        for (int i = 0; i < g_.Matrizen->Count(); ++i)
            if ((*g_.Matrizen)[i]->Name == name) {
                index = i;
                break;
            }
        if (index < 0) return Fehler(1);
    }
    Term* tm = NeuerTerm();
    if (!tm) return true;
    tm->Wert = index < 0 ? 0 : index;
    tm->Art = art;
    tm->Prio = kt_ + 17 + bp_;
    p += l;
    while (At(p) == ' ') ++p;
    if (At(p) != ')') return Fehler(3);
    ++p;
    Term* wert = NeuerTerm();
    if (!wert) return true;
    FormelLeaf(*wert, 13, name, farbe_);
    endePos_ = p - 1;
    pos_ = p;
    NachOperand();
    return true;
}

bool Parser::Konstante() {
    int p = pos_;
    const bool minus = At(p) == '-';
    if (minus) ++p;
    const int l = NamenszeichenLauf(p);
    if (l == 0 || l > MaxNamenslaenge) return false;
    const std::string name = Teil(p, l);
    const int k = BasisKonstante(name);
    if (k <= 0) return false;
    if (links_) return Fehler(33);
    if (!e_.Konst && !(e_.Op && minus)) return Fehler(7);
    if (minus) {
        if (e_.Op) {
            Term& vor = Aktuell();
            vor.Art = ArtMinus;
            vor.Prio = kt_ + 3 + bp_;
        } else if (!UnaerMinus(pos_)) {
            return true;
        }
    }
    Term* tm = NeuerTerm();
    if (!tm) return true;
    tm->Wert = Konstanten().Wert(k);
    FormelLeaf(*tm, 13, MitRandBlanks(p, l, name), farbe_);
    pos_ = p + l;
    endePos_ = pos_ - 1;
    NachOperand();
    return true;
}

bool Parser::Matrix() {
    // Only a name followed by "[", "." or "!", or a name of the table list, can be a
    // reference; the common case is decided from the length of the name alone.
    const int l = BezeichnerLesen(t_, pos_, 0, nameLeer_);
    if (l == 0) return false;
    int p = pos_ + l;
    const char folgt = At(p);
    if (!g_.Matrizen && folgt != '[' && folgt != '.' && folgt != '!') return false;
    std::string name, ganz;
    BezeichnerLesen(t_, pos_, MaxNamenslaenge, name);
    BezeichnerLesen(t_, pos_, NameGanz, ganz);
    int tabelle = -1;
    if (g_.Matrizen)
        for (int i = 0; i < g_.Matrizen->Count(); ++i)
            if ((*g_.Matrizen)[i]->Name == name) {
                tabelle = i;
                break;
            }
    const bool zellzeichen = folgt == '.' || folgt == '!';
    TMatrixObj* zellTabelle = nullptr;
    if (tabelle < 0) {
        if (sammeln_) {
            if (folgt != '[' && !zellzeichen) return false;
        } else {
            // An identifier with a cell link: "x.B3".
            if (!zellzeichen) return false;
            const int b = SucheBezeichner(g_.Bezeichner(), ganz);
            if (b < 0) return false;
            zellTabelle = g_.Bezeichner()[b]->Zelle;
            if (!zellTabelle || !g_.Matrizen) return Fehler(30);
        }
    } else {
        zellTabelle = (*g_.Matrizen)[tabelle]->Tabelle;
    }
    if (!e_.Bez) return Fehler(1);

    std::vector<TMatrBezeich::Index> indizes;
    if (folgt == '[') {
        ++p;
        for (;;) {
            while (At(p) == ' ') ++p;
            TMatrBezeich::Index ix;
            const char c = At(p);
            if (c >= '0' && c <= '9') {
                ix.Art = TMatrBezeich::IndexArt::Zahl;
                ix.Zahl = GanzeZahl(p);
            } else {
                int bi = -1;
                if (!IndexName(p, bi)) return true;
                ix.Art = TMatrBezeich::IndexArt::Bezeichner;
                ix.Bez1 = bi;
                const char op = At(p);
                if (op == '+' || op == '-') {
                    ++p;
                    const int vz = op == '-' ? -1 : 1;
                    if (At(p) >= '0' && At(p) <= '9') {
                        ix.Art = TMatrBezeich::IndexArt::BezeichnerZahl;
                        ix.Zahl = vz * GanzeZahl(p);
                    } else {
                        int bz = -1;
                        if (!IndexName(p, bz)) return true;
                        ix.Art = TMatrBezeich::IndexArt::ZweiBezeichner;
                        ix.Bez2 = bz;
                        ix.Vorz2 = vz;
                    }
                }
            }
            indizes.push_back(ix);
            while (At(p) == ' ') ++p;
            if (At(p) == ']') {
                ++p;
                break;
            }
            if (p > len_ || indizes.size() >= 2) return Fehler(21);
            if (At(p) != ',') return Fehler(32);
            ++p;
        }
    } else if (zellzeichen) {
        ++p;
        const Zellbezug z = ZellbezugLesen(std::string_view(t_).substr(std::size_t(p - 1)));
        if (z.Fehler != 0) return Fehler(29);
        p += z.Laenge;
        TMatrBezeich::Index iz, is;
        iz.Zahl = z.Zeile;
        is.Zahl = z.Spalte;
        indizes = {iz, is};
    } else {
        return Fehler(20);
    }

    // The reference gets an entry of its own in the table list.
    int eintrag = -1;
    if (!sammeln_ && g_.Matrizen) {
        auto m = std::make_unique<TMatrBezeich>(name, zellTabelle);
        m->Indizes = indizes;
        g_.Matrizen->Add(std::move(m));
        eintrag = g_.Matrizen->Count() - 1;
    }
    const std::string anzeige = Teil(pos_, p - pos_);
    if (links_) {
        Term* tm = NeuerTerm();
        if (!tm) return true;
        int q = p;
        while (At(q) == ' ') ++q;
        if (q <= len_ && At(q) != '=') return Fehler(n_ > 1 ? 1 : 10);
        tm->Wert = -Extended(eintrag + 1);
        FormelLeaf(*tm, 13, anzeige, farbe_);
        pos_ = p;
        endePos_ = p - 1;
        NachLinksseite();
        return true;
    }
    Term* tm = NeuerTerm();
    if (!tm) return true;
    tm->Art = -9 - (eintrag < 0 ? 0 : eintrag);
    tm->Prio = kt_ + 8 + bp_;
    FormelLeaf(*tm, 13, anzeige, farbe_);
    if (!NeuerTerm()) return true;
    pos_ = p;
    endePos_ = p - 1;
    NachOperand();
    return true;
}

bool Parser::Bezeichner() {
    int p = pos_;
    const bool minus = At(p) == '-' && Operandstelle() && !links_;
    if (minus) ++p;
    std::string name;
    const int l = BezeichnerLesen(t_, p, NameGanz, name);
    if (l == 0) return false;
    if (!e_.Bez) return Fehler(1);
    int index = SucheBezeichner(g_.Bezeichner(), name);
    if (links_) {
        Term* tm = NeuerTerm();
        if (!tm) return true;
        // The name must be followed by "=" (blanks between are allowed); at the very end
        // of the text the end check reports the missing right side.
        int q = p + l;
        while (At(q) == ' ') ++q;
        if (q <= len_ && At(q) != '=') return Fehler(n_ > 1 ? 1 : 10);
        if (index >= 0 && g_.Bezeichner()[index]->Laufvariable) return Fehler(31);
        if (index < 0) {
            g_.Bezeichner().Add(std::make_unique<TBezeichner>(name));
            index = g_.Bezeichner().Count() - 1;
        }
        tm->Wert = index;
        FormelLeaf(*tm, 13, MitRandBlanks(p, l, name), farbe_);
        pos_ = p + l;
        endePos_ = pos_ - 1;
        NachLinksseite();
        return true;
    }
    if (index < 0 && !sammeln_) return false;
    if (minus && !UnaerMinus(pos_)) return true;
    if (sammeln_) SammelnEinmal(name);
    Term* tm = NeuerTerm();
    if (!tm) return true;
    tm->Art = ArtBezeichner + (index < 0 ? 0 : index);
    tm->Prio = kt_ + 8 + bp_;
    FormelLeaf(*tm, 13, MitRandBlanks(p, l, name), farbe_);
    if (!NeuerTerm()) return true;
    pos_ = p + l;
    endePos_ = pos_ - 1;
    NachOperand();
    return true;
}

bool Parser::Operator() {
    const char c = At(pos_);
    const char* ops = "+-*/^";
    const char* f = c ? std::strchr(ops, c) : nullptr;
    if (!f) return false;
    std::int32_t art = std::int32_t(f - ops) + 1;
    if (!e_.Op) {
        if (c != '-' || pos_ == len_) return Fehler(8);
        if (links_) {
            // A left side is a name or a table reference: no sign before it ("-x=5").
            int q = pos_ + 1;
            while (At(q) == ' ') ++q;
            std::string name;
            q += BezeichnerLesen(t_, q, NameGanz, name);
            while (At(q) == ' ') ++q;
            if (!name.empty() && At(q) == '=' && At(q + 1) != '=') return Fehler(8);
        }
        if (!UnaerMinus(pos_)) return true;
        endePos_ = pos_;
        ++pos_;
        OperandErwartet();
        return true;
    }
    if (c == '+' && At(pos_ + 1) == '-') {
        art = ArtMinus;
        pos_ += 2;
    } else {
        ++pos_;
    }
    Term& tm = Aktuell();
    tm.Art = art;
    tm.Prio = kt_ + art + 1 + bp_;
    links_ = false;
    endePos_ = pos_ - 1;
    OperandErwartet();
    return true;
}

bool Parser::Klammer() {
    const char c = At(pos_);
    if (c == '(') {
        kt_ += 10;
        if (!e_.Auf) return Fehler(1);
        endePos_ = pos_;
        ++pos_;
        OperandErwartet();
        return true;
    }
    if (c != ')') return false;
    const int tiefe = g_.Summentiefe;
    if (tiefe > 0 && g_.Summenklammer[std::size_t(tiefe)] == kt_) {
        // The sum closes when the depth returns to the level of its opening bracket.
        // Its body is the terms after the sum term up to here.
        kt_ -= 10;
        g_.Terme[std::size_t(summenTerm_[tiefe])].SummenEnde = n_;
        g_.SummenGeschlossen += 1;
        bp_ -= summenZuschlag_[tiefe];
        summenZuschlag_[tiefe] = 0;
        g_.Summenklammer[std::size_t(tiefe)] = 0;
        g_.Summentiefe -= 1;
    } else {
        kt_ -= 10;
    }
    if (!e_.Zu) return Fehler(1);
    if (kt_ < 0) return Fehler(2);
    endePos_ = pos_;
    ++pos_;
    NachOperand();
    return true;
}

bool Parser::Vergleich() {
    const char c = At(pos_);
    if (c != '=' && c != '<' && c != '>') return false;
    if (g_.Bedingungsmodus && c == '=' && At(pos_ + 1) != '=') return Fehler(16);
    for (std::int32_t art = ArtGroesserGleich; art <= ArtGleichGleich; ++art) {
        const char* w = Funktionstabelle[art];
        if (!UAt(pos_, w)) continue;
        if ((links_ && !g_.Bedingungsmodus) || n_ == 0 || kt_ >= 1 || !e_.Op) return Fehler(15);
        Term& tm = Aktuell();
        tm.Art = art;
        tm.Prio = bp_ + 1;
        pos_ += int(std::strlen(w));
        endePos_ = pos_ - 1;
        OperandErwartet();
        return true;
    }
    if (c != '=') return false;
    if (g_.Bedingungsmodus || !e_.Gleich) return Fehler(9);
    Term& tm = Aktuell();
    tm.Art = ArtGleich;
    tm.Prio = bp_;
    links_ = false;
    endePos_ = pos_;
    ++pos_;
    OperandErwartet();
    return true;
}

bool Parser::Trenner() {
    const char c = At(pos_);
    if (c != ';' && c != ':') return false;
    if (!Endpruefung()) return true;
    links_ = !g_.Bedingungsmodus;
    bp_ -= 10000;
    Term& tm = Aktuell();
    if (g_.Bedingungsmodus) {
        if (TAt(pos_, ";und;")) tm.Art = ArtUnd, tm.Prio = bp_ - 7, pos_ += 5;
        else if (TAt(pos_, ";oder;")) tm.Art = ArtOder, tm.Prio = bp_ - 6, pos_ += 6;
        else if (TAt(pos_, ";xoder;")) tm.Art = ArtXoder, tm.Prio = bp_ - 8, pos_ += 7;
        else return Fehler(34);
    } else {
        tm.Art = c == ';' ? ArtUntereinander : ArtNebeneinander;
        tm.Prio = bp_ - 1;
        ++pos_;
    }
    endePos_ = pos_ - 1;
    g_.Summentiefe = 0;
    g_.FormelAnzahl += 1;
    g_.LetzterTerm = n_ - 1;
    NachTrenner();
    return true;
}

} // namespace

int TGleichung::FormelLesen(const std::string& text, const std::string& xVariable,
                            const std::string& zVariable, std::uint32_t farbe, int& fehlerPos,
                            int& endePos) {
    Parser p(*this, text, xVariable, zVariable, farbe);
    return p.Lesen(fehlerPos, endePos);
}

} // namespace kd
