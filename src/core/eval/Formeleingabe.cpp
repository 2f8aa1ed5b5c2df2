#include "core/eval/Formeleingabe.h"

#include <cmath>

#include "core/eval/Auswertung.h"
#include "core/eval/KDGData.h"
#include "core/eval/Tabellierung.h"
#include "core/matrix/MatrixObj.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Zahlen.h"

namespace kd {

const char* const MeldungGleichFehlt = "In einer oder mehreren Formeln fehlt \"=\"";
const char* const MeldungFehlerhafteEingabe = "Fehlerhafte Eingabe";
const char* const MeldungLogStart =
    "Logarithmische Achse. Der Startwert darf nicht kleiner gleich 0 sein";
const char* const MeldungLogEng = "Start- und Endwert f\xFCr logarithmische Achsen zu eng";
const char* const MeldungStartwertY = "Startwert Y ist gr\xF6\xDF" "er gleich Endwert Y";

namespace {

constexpr const char* Summenworte[3] = {"Summe", "Integral", "Produkt"};
constexpr const char* Summenrumpf = "(x=start;ende;formel)";
constexpr int Summenauswahl = 19;  // x=start;ende;formel

// Decades between the bounds of a logarithmic axis below which it is too narrow.
constexpr Extended LogMindestweite = 1E-3L;
constexpr int XPunkteGrenze = 2001;  // X points stay below this
constexpr int ZPunkteGrenze = 256;   // Z points stay below this

bool Leer(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

bool ZahlLesen(const std::string& text, Extended& wert) {
    int fehler = 0;
    wert = TextZuZahl(text, fehler);
    return fehler == 0 && std::isfinite(wert);
}

bool PunkteLesen(const std::string& text, int& punkte, int grenze, bool& zuGross) {
    Extended w = 0;
    zuGross = false;
    if (!ZahlLesen(text, w) || w != std::floor(w)) return false;
    if (w >= grenze) {
        zuGross = true;
        return false;
    }
    punkte = w < -1000000 ? -1000000 : int(w);
    return true;
}

bool LogZuEng(Extended start, Extended ende) {
    return std::fabs(std::log10(ende) - std::log10(start)) <= LogMindestweite;
}

std::string Ohne(std::string s) {
    while (!s.empty() && s.front() == ' ') s.erase(0, 1);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

} // namespace

// ---------------------------------------------------------------------------------

std::vector<std::size_t> Zeichenanfaenge(std::string_view t) {
    std::vector<std::size_t> z;
    const std::size_t n = t.size();
    std::size_t i = 0;
    while (i < n) {
        z.push_back(i);
        if (t[i] == '~' && i + 1 < n) i += (t[i + 1] == '|' && i + 2 < n) ? 3 : 2;
        else if (t[i] == '|' && i + 1 < n) i += 2;
        else ++i;
    }
    return z;
}

int SichtbareZeichen(std::string_view text, std::size_t bytes) {
    int n = 0;
    for (std::size_t s : Zeichenanfaenge(text))
        if (s < bytes) ++n;
    return n;
}

// ---------------------------------------------------------------------------------

std::vector<std::string> Funktionsliste(bool mitSummen) {
    std::vector<std::string> l;
    for (int art = ArtAbs; art <= ArtGamma; ++art) l.push_back(std::string(Funktionsnamen[art]) + "(  )");
    if (mitSummen)
        for (const char* w : Summenworte) l.push_back(std::string(w) + "(  )");
    return l;
}

Einfuegung FunktionEinfuegung(int eintrag) {
    Einfuegung e;
    if (eintrag >= 0 && eintrag < Grundfunktionen) {
        const std::string wort = Funktionstabelle[eintrag + ArtAbs];
        e.Text = wort + "()";
        e.Caret = int(wort.size()) + 1;
    } else if (eintrag >= Grundfunktionen && eintrag < Grundfunktionen + 3) {
        const std::string wort = Summenworte[eintrag - Grundfunktionen];
        e.Text = wort + Summenrumpf;
        e.Caret = int(wort.size()) + 1;
        e.Auswahl = Summenauswahl;
    }
    return e;
}

// ---------------------------------------------------------------------------------

Teilformelzusatz WeitereTeilformel(const std::string& text) {
    Teilformelzusatz z;
    z.Text = text;
    // The insertion point is the first "{" that is a character of its own (not the
    // Symbol letter of "~{" or an index), else the first such double quote.
    std::size_t legende = std::string::npos, kommentar = std::string::npos;
    for (std::size_t s : Zeichenanfaenge(text)) {
        if (text[s] == '{' && legende == std::string::npos) legende = s;
        if (text[s] == '"' && kommentar == std::string::npos) kommentar = s;
    }
    const std::size_t p = legende != std::string::npos ? legende
                          : kommentar != std::string::npos ? kommentar : text.size();
    if (text.size() + 4 > KurzerStringMax) {
        z.Passt = false;
        z.AuswahlStart = SichtbareZeichen(text, p);
        z.AuswahlLaenge = 0;
        return z;
    }
    z.Text.insert(p, ";y=x");
    z.AuswahlStart = SichtbareZeichen(text, p) + 1;
    return z;
}

// ---------------------------------------------------------------------------------

std::vector<std::string> Formelzeilen(std::vector<std::string> eintraege, int gewaehlt,
                                      const std::string& zeile) {
    if (gewaehlt >= 0 && gewaehlt < int(eintraege.size())) eintraege[std::size_t(gewaehlt)] = zeile;
    else if (eintraege.empty()) eintraege.push_back(zeile);
    std::vector<std::string> z;
    for (std::string& e : eintraege)
        if (!Leer(e)) z.push_back(Kurz(std::move(e)));
    return z;
}

std::string FormelnPruefen(const std::vector<std::string>& zeilen) {
    for (const std::string& z : zeilen)
        if (z.find('=') == std::string::npos) return MeldungGleichFehlt;
    return {};
}

// ---------------------------------------------------------------------------------

Kurvenpruefung KurvenPruefen(const Kurveneingabe& e, Matrixliste* matrizen) {
    Kurvenpruefung p;
    auto fehler = [&p](const char* meldung, Kurvenfeld feld) {
        p.Fehler = meldung;
        p.Feld = feld;
        return std::move(p);
    };
    auto zahl = [](const std::string& text, Extended& wert) { return ZahlLesen(text, wert); };
    bool zuGross = false;

    // X range and points.
    if (!zahl(e.XStart, p.XStart)) return fehler(MeldungFehlerhafteEingabe, Kurvenfeld::XStart);
    if (!zahl(e.XEnde, p.XEnde)) return fehler(MeldungFehlerhafteEingabe, Kurvenfeld::XEnde);
    if (p.XEnde <= p.XStart) return fehler(MeldungStartwertX, Kurvenfeld::XStart);
    if (!PunkteLesen(e.XPunkte, p.XPunkte, XPunkteGrenze, zuGross))
        return fehler(zuGross ? MeldungPunkteZuGross : MeldungFehlerhafteEingabe, Kurvenfeld::XPunkte);
    if (e.XLog) {
        if (p.XStart <= 0) return fehler(MeldungLogStart, Kurvenfeld::XStart);
        if (LogZuEng(p.XStart, p.XEnde)) return fehler(MeldungLogEng, Kurvenfeld::XEnde);
    }

    // Z range and points (only a 3-D curve has a Z axis; its controls are hidden in 2-D).
    p.ZPunkte = 1;
    if (e.Dreidimensional) {
        if (!zahl(e.ZStart, p.ZStart)) return fehler(MeldungFehlerhafteEingabe, Kurvenfeld::ZStart);
        if (!zahl(e.ZEnde, p.ZEnde)) return fehler(MeldungFehlerhafteEingabe, Kurvenfeld::ZEnde);
        if (!PunkteLesen(e.ZPunkte, p.ZPunkte, ZPunkteGrenze, zuGross))
            return fehler(zuGross ? MeldungPunkteZuGross : MeldungFehlerhafteEingabe, Kurvenfeld::ZPunkte);
        if (p.ZPunkte < 2) return fehler(MeldungPunkteZ, Kurvenfeld::ZPunkte);
        if (p.ZStart >= p.ZEnde) return fehler(MeldungStartwertZ, Kurvenfeld::ZStart);
    }

    // Y bounds: a number or "auto".
    auto yLesen = [&](const std::string& text, Extended& wert, bool& automatisch) {
        automatisch = GrossSchreiben(Ohne(text)) == "AUTO";
        return automatisch || zahl(text, wert);
    };
    if (!yLesen(e.YStart, p.YMin, p.YMinAuto)) return fehler(MeldungFehlerhafteEingabe, Kurvenfeld::YStart);
    if (!yLesen(e.YEnde, p.YMax, p.YMaxAuto)) return fehler(MeldungFehlerhafteEingabe, Kurvenfeld::YEnde);

    if (p.XPunkte < 2) return fehler(MeldungPunkteX, Kurvenfeld::XPunkte);

    // The value table, made anew.
    Tabellierungsfehler t;
    if (e.Dreidimensional) {
        const std::string formel = e.Zeilen.empty() ? std::string() : e.Zeilen.front();
        p.Werte = std::make_unique<TMatrixObj>(p.ZPunkte + 1, p.XPunkte + 1);
        t = Tabelle3D(*p.Werte, formel, e.XVariable, e.ZVariable, p.XStart, p.XEnde, p.XPunkte,
                      p.ZStart, p.ZEnde, p.ZPunkte, matrizen);
    } else {
        p.Werte = std::make_unique<TMatrixObj>(int(e.Zeilen.size()) + 1, p.XPunkte + 1);
        t = Tabelle2D(*p.Werte, e.Zeilen, e.XVariable, p.XStart, p.XEnde, p.XPunkte, e.XLog, matrizen);
    }
    if (t.Fehler()) {
        p.Werte.reset();
        p.Fehler = t.Meldung;
        p.Feld = Kurvenfeld::XStart;
        if (t.art != Tabellierungsfehler::Art::Bereich) {
            p.Feld = Kurvenfeld::Formel;
            p.FehlerZeile = t.Zeile;
            p.FehlerPosition = t.Position;
            p.Fehler += " (Formel " + std::to_string(t.Zeile + 1) + ", Position " +
                        std::to_string(t.Position) + ")";
        }
        return p;
    }

    // Automatic Y bounds from the table.
    if (p.YMinAuto) p.YMin = p.Werte->MinValue;
    if (p.YMaxAuto) p.YMax = p.Werte->MaxValue;
    auto ohneTabelle = [&p](const char* meldung, Kurvenfeld feld) {
        p.Werte.reset();
        p.Fehler = meldung;
        p.Feld = feld;
        return std::move(p);
    };
    if (p.YMax <= p.YMin) return ohneTabelle(MeldungStartwertY, Kurvenfeld::YStart);
    if (e.YLog) {
        if (p.YMin <= 0) return ohneTabelle(MeldungLogStart, Kurvenfeld::YStart);
        if (LogZuEng(p.YMin, p.YMax)) return ohneTabelle(MeldungLogEng, Kurvenfeld::YEnde);
    }
    return p;
}

void KurvenUebernehmen(TKDGData& d, const Kurveneingabe& e, Kurvenpruefung& p) {
    if (!p.Bestanden()) return;
    d.XStart = p.XStart;
    d.XEnde = p.XEnde;
    d.XPunkte = p.XPunkte;
    if (e.Dreidimensional) {
        d.ZStart = p.ZStart;
        d.ZEnde = p.ZEnde;
        d.ZPunkte = p.ZPunkte;
    }
    d.YMin = p.YMin;
    d.YMax = p.YMax;
    d.YMinAuto = p.YMinAuto;
    d.YMaxAuto = p.YMaxAuto;
    d.XVariable = e.XVariable;
    d.ZVariable = e.ZVariable;
    d.Dreidimensional = e.Dreidimensional;
    d.Werte = std::move(p.Werte);
}

// ---------------------------------------------------------------------------------

std::string StartwertZeile(const std::string& textIn, const std::string& xVariable,
                           const std::string& zVariable, Extended x, Extended z) {
    const std::string text = Kurz(textIn);
    if (text.find('[') != std::string::npos) return {};
    TGleichung g;
    int fehlerPos = 0, endePos = 0;
    if (g.FormelLesen(text, xVariable, zVariable, 0, fehlerPos, endePos) != 0) return {};
    std::string meldung;
    const Extended v = BerechneXZ(g, x, z, meldung);
    if (!meldung.empty()) return meldung;

    int start = 0, ende = 0, anzahl = 0;
    TeilformelSuchen(text, start, ende, 0, anzahl);
    TeilformelSuchen(text, start, ende, anzahl, anzahl);
    std::string teil = ende >= start && start >= 1 ? text.substr(std::size_t(start - 1), std::size_t(ende - start + 1))
                                                   : text;
    const std::size_t gleich = teil.find('=');
    if (gleich != std::string::npos) teil.resize(gleich);
    return Kurz(Ohne(teil) + " = " + ZahlText(10, v) + "  f\xFCr Startwerte");
}

// ---------------------------------------------------------------------------------

void RechnerVerlauf(std::vector<std::string>& zeilen) {
    if (zeilen.empty() || zeilen.size() >= RechnerVerlaufMax) return;
    const std::string erste = zeilen.front();
    zeilen.insert(zeilen.begin(), erste);
}

} // namespace kd
