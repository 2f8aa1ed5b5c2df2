// plot: a formula as a curve, drawn into SVG, PNG or PDF, or its value table as CSV.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "Befehle.h"
#include "Kurvenplot.h"
#include "core/numeric/Encoding.h"
#include "core/numeric/Zahlen.h"
#include "core/plot/Kurve.h"

namespace kdcli {

namespace {

const char* const PlotHilfe =
    "Aufruf: kdformel-cli plot TEXT --x NAME=VON:BIS[:N] [NAME=WERT ...] [--log-x] [--log-y]\n"
    "                          -o AUSGABE.svg|.png|.pdf|.csv\n"
    "Zeichnet jede Teilformel von TEXT mit einem Ergebnis als Kurve \xC3\xBC" "ber der Variablen NAME\n"
    "von VON bis BIS in N Punkten (Vorgabe 200), wie \"Kurve zeichnen\" im Programm. Die\n"
    "anderen freien Variablen bekommen ihre Werte aus NAME=WERT (2,5 geht). Wo die Formel\n"
    "nicht rechenbar ist, hat die Kurve eine L\xC3\xBC" "cke. .csv schreibt die Wertetabelle (UTF-8,\n"
    "\";\" getrennt, Dezimalkomma; L\xC3\xBC" "cken als leere Felder).\n"
    "Exit-Status: 0 Erfolg, 1 abgelehnte Eingabe, 2 Wert fehlt / ung\xC3\xBCltig oder Dateifehler.\n";

bool Text1252(const std::string& utf8, std::string& cp1252) {
    if (kd::Utf8ToCp1252(utf8, cp1252) && cp1252.size() <= kd::KurzerStringMax) return true;
    Fehler(Abgelehnt, "\"" + utf8 + "\" ist kein Formeltext (griechische Buchstaben als ~a, ~b, ...)");
    return false;
}

bool Wert(const std::string& text, kd::Extended& v) {
    std::string t;
    if (!kd::Utf8ToCp1252(text, t) || t.empty()) return false;
    int fp = 0;
    v = kd::TextZuZahl(t, fp);
    return fp == 0;
}

} // namespace

int PlotBefehl(const Argumente& args) {
    std::string text, ausgabe, xArg;
    bool textDa = false, logX = false, logY = false;
    std::map<std::string, kd::Extended> werte;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(PlotHilfe, stdout);
            return Erfolg;
        }
        if (a == "--x" || a == "-o") {
            if (i + 1 >= args.size()) return Fehler(Abgelehnt, a + " braucht einen Wert");
            (a == "-o" ? ausgabe : xArg) = args[++i];
            continue;
        }
        if (a == "--log-x") {
            logX = true;
            continue;
        }
        if (a == "--log-y") {
            logY = true;
            continue;
        }
        if (!textDa) {
            if (!Text1252(a, text)) return Abgelehnt;
            textDa = true;
            continue;
        }
        const std::size_t g = a.find('=');
        std::string name;
        kd::Extended v = 0;
        if (g == std::string::npos || g == 0 || !Text1252(a.substr(0, g), name))
            return Fehler(Abgelehnt, "erwartet NAME=WERT, nicht \"" + a + "\"");
        if (!Wert(a.substr(g + 1), v)) return Fehler(Dateifehler, "ung\xC3\xBCltiger Wert in \"" + a + "\"");
        werte[name] = v;
    }
    if (!textDa || xArg.empty() || ausgabe.empty()) {
        std::fputs(PlotHilfe, stderr);
        return Abgelehnt;
    }

    // --x NAME=VON:BIS[:N]
    kd::Kurvenbereich b;
    {
        const std::size_t g = xArg.find('=');
        if (g == std::string::npos || g == 0 || !Text1252(xArg.substr(0, g), b.XName))
            return Fehler(Abgelehnt, "--x erwartet NAME=VON:BIS[:N]");
        const std::string r = xArg.substr(g + 1);
        const std::size_t d1 = r.find(':');
        const std::size_t d2 = d1 == std::string::npos ? d1 : r.find(':', d1 + 1);
        if (d1 == std::string::npos) return Fehler(Abgelehnt, "--x erwartet NAME=VON:BIS[:N]");
        if (!Wert(r.substr(0, d1), b.Von) ||
            !Wert(r.substr(d1 + 1, d2 == std::string::npos ? std::string::npos : d2 - d1 - 1), b.Bis))
            return Fehler(Abgelehnt, "ung\xC3\xBCltiger Bereich in --x " + xArg);
        if (d2 != std::string::npos) {
            long long n = 0;
            if (!Zahl(r.substr(d2 + 1), n) || n < 2 || n > kd::KurvenpunkteMax)
                return FehlerCp1252(Abgelehnt, kd::MeldungKurvenpunkte);
            b.Punkte = int(n);
        }
        b.LogX = logX;
    }

    std::vector<std::string> namen;
    std::string meldung;
    if (!kd::KurvenVariablen(text, namen, meldung)) return FehlerCp1252(Abgelehnt, meldung);
    if (std::find(namen.begin(), namen.end(), b.XName) == namen.end())
        return FehlerCp1252(Abgelehnt, b.XName + " ist keine freie Variable der Formel");
    for (const std::string& n : namen)
        if (n != b.XName && !werte.count(n))
            return FehlerCp1252(Dateifehler, "Wert f\xFCr " + n + " fehlt (" + n + "=WERT angeben)");

    const kd::Kurvenergebnis erg = kd::KurvenTabellieren(text, b, werte);
    if (!erg.Ok) return FehlerCp1252(Abgelehnt, erg.Meldung);

    if (ausgabe.ends_with(".csv")) {
        std::ofstream f(ausgabe, std::ios::binary | std::ios::trunc);
        const std::string csv = "\xEF\xBB\xBF" + kd::KurvenCsv(erg.Tabelle, ';');
        f.write(csv.data(), std::streamsize(csv.size()));
        f.close();
        if (!f) return Fehler(Dateifehler, "\"" + ausgabe + "\" kann nicht geschrieben werden");
        return Erfolg;
    }
    if (!ausgabe.ends_with(".svg") && !ausgabe.ends_with(".png") && !ausgabe.ends_with(".pdf"))
        return Fehler(Abgelehnt, "AUSGABE endet auf .svg, .png, .pdf oder .csv");
    std::string warum;
    auto f = QtFunktion<QtPlotFunktion>(QtPlotName, warum);
    if (!f) return Fehler(Dateifehler, "Zeichnen nicht m\xC3\xB6glich: " + warum);
    return f(&erg.Tabelle, logX ? 1 : 0, logY ? 1 : 0, ausgabe.c_str());
}

} // namespace kdcli
