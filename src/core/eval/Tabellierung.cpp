#include "core/eval/Tabellierung.h"

#include <cmath>

#include "core/eval/Auswertung.h"
#include "core/eval/Rechenfehler.h"
#include "core/matrix/MatrixObj.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Zahlen.h"

namespace kd {

const char* const MeldungStartwertX = "Startwert X ist gr\xF6\xDF" "er gleich Endwert X";
const char* const MeldungStartwertZ = "Startwert Z ist gr\xF6\xDF" "er gleich Endwert Z";
const char* const MeldungPunkteX = "Anzahl Punkte f\xFCr X-Achse kleiner 2";
const char* const MeldungPunkteZ = "Anzahl Punkte f\xFCr Z-Achse kleiner 2";
const char* const MeldungPunkteZuGross = "Anzahl Punkte zu gro\xDF";

namespace {

constexpr Extended Zugross = 1E50L;  // values from here on are smoothed over

Tabellierungsfehler Bereichsfehler(const char* meldung) {
    Tabellierungsfehler e;
    e.art = Tabellierungsfehler::Art::Bereich;
    e.Code = 1;
    e.Meldung = meldung;
    return e;
}

Tabellierungsfehler Parserfehler(int code, int pos, int zeile) {
    Tabellierungsfehler e;
    e.art = Tabellierungsfehler::Art::Parser;
    e.Code = code;
    e.Position = pos;
    e.Zeile = zeile;
    e.Meldung = code >= 1 && code <= 34 ? Fehlertexte[code] : "";
    return e;
}

Tabellierungsfehler Rechnungsfehler(int code, int pos, int zeile) {
    Tabellierungsfehler e;
    e.art = Tabellierungsfehler::Art::Rechnung;
    e.Code = code;
    e.Position = pos;
    e.Zeile = zeile;
    e.Meldung = Rechenfehlertext(code);
    return e;
}

// Wert of every term where the plot variable occurs (positions 1..anzahl).
void Einsetzen(TGleichung& g, const std::array<std::int32_t, MaxTerme + 1>& stellen, int anzahl,
               Extended v) {
    for (int k = 1; k <= anzahl && k <= MaxTerme; ++k) {
        const std::int32_t t = stellen[std::size_t(k)];
        if (t >= 1 && t <= MaxTerme) g.Terme[std::size_t(t)].Wert = v;
    }
}

TGleichung::Optionen Auswertemodus(Matrixliste* matrizen) {
    TGleichung::Optionen o;
    o.Matrizen = matrizen;
    return o;
}

} // namespace

Tabellierungsfehler Tabelle2D(TMatrixObj& tabelle, const std::vector<std::string>& formelZeilen,
                              const std::string& xVariable, Extended xStart, Extended xEnde,
                              int punkte, bool logarithmisch, Matrixliste* matrizen) {
    const int n = punkte;
    const int k = static_cast<int>(formelZeilen.size());
    if (n < 2) return Bereichsfehler(MeldungPunkteX);
    const Extended w = (xEnde - xStart) / (n - 1);
    if (w == 0) return Bereichsfehler(MeldungStartwertX);
    if (tabelle.LastRow < k || tabelle.LastCol < n) return Bereichsfehler(MeldungPunkteZuGross);

    // The abscissas.
    if (logarithmisch) {
        const Extended dt = Extended(1) / (n - 1);
        Extended t = 0;
        for (int s = 1; s <= n; ++s) {
            int f = 0;
            const Extended x = InterpoliereLog(xEnde, xStart, t, &f);
            if (f != 0) return Rechnungsfehler(f, 0, 0);
            tabelle.SetValue(0, s, x);
            t += dt;
        }
    } else {
        for (int s = 1; s <= n; ++s) tabelle.SetValue(0, s, xStart + (s - 1) * w);
    }

    const std::string xName = xVariable.substr(0, 8);
    TGleichung g(Auswertemodus(matrizen));
    for (int f = 0; f < k; ++f) {
        int pos = 0, ende = 0;
        const int code = g.FormelLesen(formelZeilen[std::size_t(f)], xName, "", 0, pos, ende);
        if (code != 0) return Parserfehler(code, pos, f);
        for (int s = 1; s <= n; ++s) {
            Einsetzen(g, g.XStellen, g.XAnzahl, tabelle.GetValue(0, s));
            int fehler = 0, tp = 0;
            Extended y = Berechnen(g, false, fehler, tp);
            if (fehler != 0) return Rechnungsfehler(fehler, tp, f);
            if (s >= 2 && std::fabs(y) >= Zugross) y = tabelle.GetValue(f + 1, s - 1);
            tabelle.SetValue(f + 1, s, y);
        }
    }
    tabelle.FindMinMax(n, k);
    return {};
}

Tabellierungsfehler Tabelle3D(TMatrixObj& tabelle, const std::string& formel,
                              const std::string& xVariable, const std::string& zVariable,
                              Extended xStart, Extended xEnde, int xPunkte, Extended zStart,
                              Extended zEnde, int zPunkte, Matrixliste* matrizen) {
    TGleichung g(Auswertemodus(matrizen));
    int pos = 0, ende = 0;
    const int code = g.FormelLesen(formel, xVariable, zVariable, 0, pos, ende);
    if (code != 0) return Parserfehler(code, pos, 0);

    if (xPunkte < 2) return Bereichsfehler(MeldungPunkteX);
    if (zPunkte < 2) return Bereichsfehler(MeldungPunkteZ);
    if (tabelle.LastRow < zPunkte || tabelle.LastCol < xPunkte) return Bereichsfehler(MeldungPunkteZuGross);
    tabelle.Clear();
    const Extended wx = (xEnde - xStart) / (xPunkte - 1);
    if (wx == 0) return Bereichsfehler(MeldungStartwertX);
    for (int i = 1; i <= xPunkte; ++i) tabelle.SetValue(0, i, xStart + (i - 1) * wx);
    const Extended wz = (zEnde - zStart) / (zPunkte - 1);
    if (wz == 0) return Bereichsfehler(MeldungStartwertZ);
    for (int j = 1; j <= zPunkte; ++j) tabelle.SetValue(j, 0, zStart + (j - 1) * wz);

    for (int i = 1; i <= xPunkte; ++i) {
        Einsetzen(g, g.XStellen, g.XAnzahl, tabelle.GetValue(0, i));
        for (int j = 1; j <= zPunkte; ++j) {
            Einsetzen(g, g.ZStellen, g.ZAnzahl, tabelle.GetValue(j, 0));
            int fehler = 0, tp = 0;
            Extended y = Berechnen(g, false, fehler, tp);
            if (fehler != 0) return Rechnungsfehler(fehler, tp, 0);
            if (std::fabs(y) >= Zugross && i > 1) y = tabelle.GetValue(j, i - 1);
            if (std::fabs(y) >= Zugross && j > 1) y = tabelle.GetValue(j - 1, i);
            tabelle.SetValue(j, i, y);
        }
    }
    tabelle.FindMinMax(xPunkte, zPunkte);
    return {};
}

} // namespace kd
