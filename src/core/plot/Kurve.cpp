#include "core/plot/Kurve.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

#include "core/eval/Auswertung.h"
#include "core/eval/Berechnung.h"
#include "core/eval/Rechenfehler.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "core/numeric/SymbolFont.h"
#include "core/numeric/Zahlen.h"

namespace kd {

const char* const MeldungKeineKurve = "Die Formel hat keine Teilformel mit einem Ergebnis";
const char* const MeldungKurvenbereich = "Der Bereich braucht zwei verschiedene Grenzen";
const char* const MeldungKurvenpunkte = "Anzahl Punkte: 2 bis 1000000";
const char* const MeldungBedingung = "Bedingung nicht erf\xFCllt";
const char* const MeldungLogBereich = "Eine logarithmische Achse braucht positive Grenzen";

namespace {

constexpr double Luecke = std::numeric_limits<double>::quiet_NaN();

// One sub-formula that computes, with the variables the compute flow asks for, and the
// conditions written after it ("y=x^2;x>=0"): a curve is drawn where they all hold.
struct Bedingung {
    std::string Text;
    std::vector<std::string> Variablen;
};
struct Teil {
    std::string Text;
    std::vector<std::string> Variablen;
    std::vector<Bedingung> Bedingungen;
};

// The variables of a condition, read in collect mode (running variables included: a
// condition has none).
bool BedingungLesen(const std::string& s, Bedingung& b) {
    Bezeichnerliste v;
    TGleichung::Optionen o;
    o.Sammelmodus = true;
    o.Bedingungsmodus = true;
    o.Sammelliste = &v;
    TGleichung g(o);
    if (g.FormelLesen(s) != 0) return false;
    b.Text = s;
    for (int k = 0; k < v.Count(); ++k) b.Variablen.push_back(v[k]->Name);
    return true;
}

// The sub-formulas of `text` that the compute flow accepts, each with the variables it
// asks for (the flow is asked and cancelled at its input mask, so the list is exactly
// the one "Formel berechnen" shows). A sub-formula the flow refuses that reads as a
// condition restricts the sub-formula before it. The first refusal is kept in `meldung`.
std::vector<Teil> Teilformeln(const std::string& text, std::string& meldung) {
    std::vector<Teil> teile;
    int start = 0, ende = 0, anzahl = 0;
    TeilformelSuchen(Kurz(text), start, ende, 0, anzahl);
    for (int i = 1; i <= std::max(anzahl, 1); ++i) {
        std::string s = anzahl > 1 ? Teilformel(Kurz(text), i) : Kurz(text);
        if (!s.empty() && s.back() == ';') s.pop_back();
        if (s.empty()) continue;
        Teil t;
        t.Text = s;
        MerkListe merk;
        merk.fill(Undefiniert);
        const Berechnungsergebnis e = FormelBerechnen(s, true, merk, [&](Bezeichnerliste& v) {
            for (int k = 0; k < v.Count(); ++k) t.Variablen.push_back(v[k]->Name);
            return false;
        });
        using A = Berechnungsergebnis::Art;
        if (e.art == A::Abgelehnt || e.art == A::Markieren) {
            Bedingung b;
            if (!teile.empty() && BedingungLesen(s, b)) {
                teile.back().Bedingungen.push_back(std::move(b));
                continue;
            }
            if (meldung.empty()) meldung = e.Meldung;
            continue;
        }
        teile.push_back(std::move(t));
    }
    return teile;
}

// Every variable of a sub-formula and its conditions, in order of first appearance.
std::vector<std::string> AlleVariablen(const Teil& t) {
    std::vector<std::string> n = t.Variablen;
    for (const Bedingung& b : t.Bedingungen)
        for (const std::string& v : b.Variablen)
            if (std::find(n.begin(), n.end(), v) == n.end()) n.push_back(v);
    return n;
}

// A sub-formula and its conditions read over their variables, as the compute flow
// reads a formula: the variables with their values (the x variable with `x0`), then
// the text. The x variable is one of them and gets each abscissa in turn.
struct Lesung {
    Bezeichnerliste liste;
    TBezeichner* x = nullptr;
    std::unique_ptr<TGleichung> g;
    std::vector<std::unique_ptr<TGleichung>> bedingungen;
    int code = 0;

    Lesung(const Teil& t, const std::vector<std::string>& namen, const std::string& xName, Extended x0,
           const std::map<std::string, Extended>& werte) {
        for (const std::string& v : namen) {
            liste.Add(std::make_unique<TBezeichner>(v));
            TBezeichner* b = liste[liste.Count() - 1];
            if (v == xName) {
                x = b;
                b->SetWert(x0);
            } else if (auto it = werte.find(v); it != werte.end()) {
                b->SetWert(it->second);
            }
        }
        TGleichung::Optionen o;
        o.Bezeichner = &liste;
        g = std::make_unique<TGleichung>(o);
        code = g->FormelLesen(t.Text);
        for (const Bedingung& bd : t.Bedingungen) {
            TGleichung::Optionen ob;
            ob.Bezeichner = &liste;
            ob.Bedingungsmodus = true;
            auto gb = std::make_unique<TGleichung>(ob);
            if (gb->FormelLesen(bd.Text) == 0) bedingungen.push_back(std::move(gb));
        }
    }
};

// The name written before the first "=" (empty when the text has none there).
std::string Ergebnisname(const std::string& s) {
    std::string name;
    const int n = BezeichnerLesen(s, 1, 255, name);
    if (n > 0 && std::size_t(n) < s.size() && s[std::size_t(n)] == '=' &&
        (std::size_t(n) + 1 >= s.size() || s[std::size_t(n) + 1] != '='))
        return name;
    return {};
}

bool Ungueltig(Extended v) {
    return !std::isfinite(static_cast<double>(v)) || std::fabs(v) >= Ueberlaufwert;
}

// The message of a gap the evaluator left; a code without a message reads as the overflow.
std::string Rechenmeldung(int code) {
    const char* t = Rechenfehlertext(code);
    return *t ? t : Rechenfehlertexte[RfUeberlauf];
}

// The characters of a notation text: (Unicode character, set as index).
std::vector<std::pair<char32_t, bool>> Zeichen(const std::string& t) {
    std::vector<std::pair<char32_t, bool>> z;
    for (std::size_t i = 0; i < t.size(); ++i) {
        bool index = false;
        if (t[i] == '|' && i + 1 < t.size()) {
            index = true;
            ++i;
        }
        const unsigned char c = static_cast<unsigned char>(t[i]);
        char32_t u = Cp1252ToUnicode(c);
        if (c == '~' && i + 1 < t.size()) {
            const unsigned char g = static_cast<unsigned char>(t[++i]);
            u = SymbolZuUnicode(g);
            if (u == 0) u = Cp1252ToUnicode(g);
        }
        z.emplace_back(u, index);
    }
    return z;
}

char32_t Tiefgestellt(char32_t u) {
    if (u >= U'0' && u <= U'9') return U'\u2080' + (u - U'0');
    switch (u) {
    case U'+': return U'\u208A';
    case U'-': return U'\u208B';
    case U'a': return U'\u2090';
    case U'e': return U'\u2091';
    case U'o': return U'\u2092';
    case U'x': return U'\u2093';
    case U'h': return U'\u2095';
    case U'k': return U'\u2096';
    case U'l': return U'\u2097';
    case U'm': return U'\u2098';
    case U'n': return U'\u2099';
    case U'p': return U'\u209A';
    case U's': return U'\u209B';
    case U't': return U'\u209C';
    case U'i': return U'\u1D62';
    case U'j': return U'\u2C7C';
    case U'r': return U'\u1D63';
    case U'u': return U'\u1D64';
    case U'v': return U'\u1D65';
    default: return 0;
    }
}

std::string Hochgestellt(int e) {
    static const char32_t ziffern[] = {U'\u2070', U'\u00B9', U'\u00B2', U'\u00B3', U'\u2074',
                                       U'\u2075', U'\u2076', U'\u2077', U'\u2078', U'\u2079'};
    std::string s;
    if (e < 0) AppendUtf8(s, U'\u207B');
    const std::string d = std::to_string(e < 0 ? -e : e);
    for (char c : d) AppendUtf8(s, ziffern[c - '0']);
    return s;
}

// Fixed-point text with `nachkomma` decimals, decimal comma and "." between thousands.
std::string Festkomma(double v, int nachkomma) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", nachkomma, v);
    std::string s = buf;
    if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) s.erase(0, s[0] == '-' ? 1 : 0);
    const std::size_t punkt = s.find('.');
    std::string ganz = s.substr(0, punkt);
    std::string rest = punkt == std::string::npos ? "" : "," + s.substr(punkt + 1);
    const bool minus = !ganz.empty() && ganz[0] == '-';
    if (minus) ganz.erase(0, 1);
    if (ganz.size() > 3)
        for (int p = int(ganz.size()) - 3; p > 0; p -= 3) ganz.insert(std::size_t(p), ".");
    return (minus ? "-" : "") + ganz + rest;
}

} // namespace

bool KurvenVariablen(const std::string& text, std::vector<std::string>& namen, std::string& meldung) {
    namen.clear();
    meldung.clear();
    const std::vector<Teil> teile = Teilformeln(text, meldung);
    if (teile.empty()) {
        if (meldung.empty()) meldung = MeldungKeineKurve;
        return false;
    }
    for (const Teil& t : teile)
        for (const std::string& v : AlleVariablen(t))
            if (std::find(namen.begin(), namen.end(), v) == namen.end()) namen.push_back(v);
    meldung.clear();
    return true;
}

Kurvenergebnis KurvenTabellieren(const std::string& text, const Kurvenbereich& b,
                                 const std::map<std::string, Extended>& werte, const Kurvenfortschritt& weiter) {
    Kurvenergebnis erg;
    if (b.Punkte < 2 || b.Punkte > KurvenpunkteMax) {
        erg.Meldung = MeldungKurvenpunkte;
        return erg;
    }
    if (!std::isfinite(double(b.Von)) || !std::isfinite(double(b.Bis)) || b.Von == b.Bis) {
        erg.Meldung = MeldungKurvenbereich;
        return erg;
    }
    if (b.LogX && (b.Von <= 0 || b.Bis <= 0)) {
        erg.Meldung = MeldungLogBereich;
        return erg;
    }
    std::string meldung;
    const std::vector<Teil> teile = Teilformeln(text, meldung);
    if (teile.empty()) {
        erg.Meldung = meldung.empty() ? MeldungKeineKurve : meldung;
        return erg;
    }

    // The abscissas, each computed from its index (no accumulated step error).
    const int n = b.Punkte;
    std::vector<Extended> xs(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const Extended t = Extended(i) / (n - 1);
        xs[std::size_t(i)] = b.LogX ? b.Von * std::pow(b.Bis / b.Von, t) : b.Von + (b.Bis - b.Von) * t;
    }
    xs.back() = b.Bis;

    Kurventabelle& tab = erg.Tabelle;
    tab.XName = b.XName;
    tab.X.reserve(std::size_t(n));
    for (Extended x : xs) tab.X.push_back(static_cast<double>(x));

    for (const Teil& t : teile) {
        const std::vector<std::string> namen = AlleVariablen(t);
        for (const std::string& v : namen)
            if (v != b.XName && werte.find(v) == werte.end()) {
                erg.Meldung = "Wert f\xFCr " + v + " fehlt";
                erg.Tabelle = {};
                return erg;
            }
        Kurve k;
        k.Formel = t.Text;
        for (const Bedingung& bd : t.Bedingungen) k.Formel += ";" + bd.Text;
        k.YName = Ergebnisname(t.Text);
        k.Y.assign(std::size_t(n), Luecke);
        k.Fehler.assign(std::size_t(n), std::string());

        // An integral takes its step width from its bounds when the formula is read, so
        // a formula with one is read again for every point, with that point's value,
        // as the compute flow reads it after the values are typed.
        const bool neuLesen = GrossSchreiben(t.Text).find("INTEGRAL") != std::string::npos;
        std::unique_ptr<Lesung> l;
        for (int i = 0; i < n; ++i) {
            if (weiter && i % 32 == 0 &&
                !weiter(static_cast<long long>(tab.Kurven.size()) * n + i,
                        static_cast<long long>(teile.size()) * n)) {
                erg.Abgebrochen = true;
                erg.Tabelle = {};
                return erg;
            }
            const Extended xw = xs[std::size_t(i)];
            if (!l || neuLesen) l = std::make_unique<Lesung>(t, namen, b.XName, xw, werte);
            std::string fehler;
            Extended y = Undefiniert;
            if (l->code != 0) {
                fehler = l->code >= 1 && l->code <= 34 ? Fehlertexte[l->code] : Fehlertexte[1];
            } else {
                if (l->x) l->x->SetWert(xw);
                int f = 0, pos = 0;
                y = Berechnen(*l->g, true, f, pos);
                if (f != 0) fehler = Rechenmeldung(f);
            }
            if (fehler.empty() && Ungueltig(y)) fehler = Rechenfehlertexte[1];
            for (auto& gb : l->bedingungen) {
                if (!fehler.empty()) break;
                int f = 0, pos = 0;
                const Extended w = Berechnen(*gb, true, f, pos);
                if (f != 0) fehler = Rechenmeldung(f);
                else if (w != 1) fehler = MeldungBedingung;
            }
            if (!fehler.empty()) {
                k.Fehler[std::size_t(i)] = fehler;
                ++k.Luecken;
                continue;
            }
            k.Y[std::size_t(i)] = static_cast<double>(y);
        }
        tab.Kurven.push_back(std::move(k));
    }
    erg.Ok = true;
    return erg;
}

double Teilschritt(double von, double bis, int ziel) {
    if (!std::isfinite(von) || !std::isfinite(bis) || !(von < bis)) return 0;
    const double roh = (bis - von) / std::max(ziel, 1);
    if (!(roh > 0) || !std::isfinite(roh)) return 0;
    const double mag = std::pow(10.0, std::floor(std::log10(roh)));
    const double r = roh / mag;
    const double f = r < 1.5 ? 1 : r < 3 ? 2 : r < 7 ? 5 : 10;
    return f * mag;
}

std::vector<double> Teilstriche(double von, double bis, int ziel) {
    std::vector<double> t;
    const double schritt = Teilschritt(von, bis, ziel);
    if (!(schritt > 0)) return t;
    const double a = std::floor(von / schritt), e = std::ceil(bis / schritt);
    if (!std::isfinite(a) || !std::isfinite(e) || e - a > 10000) return t;
    for (double k = a; k <= e; k += 1) {
        double v = k * schritt;
        if (std::fabs(v) < schritt * 1e-9) v = 0;
        t.push_back(v);
    }
    return t;
}

std::vector<double> LogTeilstriche(double von, double bis) {
    std::vector<double> t;
    if (!(von > 0) || !(von < bis) || !std::isfinite(bis)) return t;
    const int a = int(std::floor(std::log10(von) + 1e-12));
    const int e = int(std::ceil(std::log10(bis) - 1e-12));
    if (e - a > 600) return t;
    const bool fein = e - a < 3;
    for (int k = a; k <= e; ++k) {
        const double p = std::pow(10.0, k);
        t.push_back(p);
        if (fein && k < e) {
            t.push_back(2 * p);
            t.push_back(5 * p);
        }
    }
    return t;
}

std::string TeilstrichText(double wert, double schritt, bool zehnerpotenz) {
    if (!std::isfinite(wert)) return {};
    if (wert == 0) return "0";
    const double betrag = std::fabs(wert);
    const bool wissenschaftlich =
        zehnerpotenz || betrag >= 1e9 || betrag < 1e-4 || (schritt > 0 && schritt < 1e-6);
    if (!wissenschaftlich) {
        int nachkomma = 0;
        if (schritt > 0) nachkomma = std::clamp(int(-std::floor(std::log10(schritt) + 1e-9)), 0, 12);
        else nachkomma = std::clamp(int(-std::floor(std::log10(betrag) + 1e-9)), 0, 12);
        return Festkomma(wert, nachkomma);
    }
    int e = int(std::floor(std::log10(betrag) + 1e-12));
    double m = wert / std::pow(10.0, e);
    int nachkomma = 0;
    if (schritt > 0) nachkomma = std::clamp(e - int(std::floor(std::log10(schritt) + 1e-9)), 0, 6);
    // Rounding may carry the mantissa to 10.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", nachkomma, std::fabs(m));
    if (std::atof(buf) >= 10) {
        ++e;
        m /= 10;
    }
    std::string s = Festkomma(m, nachkomma);
    if (s.find(',') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == ',') s.pop_back();
    }
    if (s == "1") return "10" + Hochgestellt(e);
    if (s == "-1") return "-10" + Hochgestellt(e);
    std::string r = s;
    AppendUtf8(r, U'\u00B7');
    return r + "10" + Hochgestellt(e);
}

std::string NameAlsHtml(const std::string& cp1252) {
    std::string s;
    bool offen = false;
    for (const auto& [u, index] : Zeichen(cp1252)) {
        if (index != offen) {
            s += index ? "<sub>" : "</sub>";
            offen = index;
        }
        if (u == U'<') s += "&lt;";
        else if (u == U'>') s += "&gt;";
        else if (u == U'&') s += "&amp;";
        else AppendUtf8(s, u);
    }
    if (offen) s += "</sub>";
    return s;
}

std::string NameAlsText(const std::string& cp1252) {
    std::string s;
    for (const auto& [u, index] : Zeichen(cp1252)) {
        if (index) {
            const char32_t t = Tiefgestellt(u);
            if (t != 0) {
                AppendUtf8(s, t);
                continue;
            }
            s += '_';
        }
        AppendUtf8(s, u);
    }
    return s;
}

std::string FormelAlsText(const std::string& cp1252) { return NameAlsText(cp1252); }

std::string ZahlDeutsch(double v) {
    if (std::isnan(v)) return {};
    if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    for (char& c : s) {
        if (c == '.') c = ',';
        else if (c == 'e') c = 'E';
    }
    return s;
}

namespace {

std::string Feld(const std::string& s, char trenner) {
    if (s.find_first_of(std::string(1, trenner) + "\"\r\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

} // namespace

std::string KurvenCsv(const Kurventabelle& t, char trenner) {
    std::string s = Feld(NameAlsText(t.XName), trenner);
    for (const Kurve& k : t.Kurven) s += trenner + Feld(FormelAlsText(k.Formel), trenner);
    s += "\r\n";
    for (std::size_t i = 0; i < t.X.size(); ++i) {
        s += ZahlDeutsch(t.X[i]);
        for (const Kurve& k : t.Kurven) {
            s += trenner;
            if (i < k.Y.size()) s += ZahlDeutsch(k.Y[i]);
        }
        s += "\r\n";
    }
    return s;
}

} // namespace kd
