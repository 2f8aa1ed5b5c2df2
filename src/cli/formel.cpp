// calc, parse and excel: the formula notation from the command line.
#include <cstdio>
#include <map>
#include <string>

#include "Befehle.h"
#include "core/eval/Berechnung.h"
#include "core/eval/Rechenabbruch.h"
#include "core/eval/Tabellenformel.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "core/numeric/Zahlen.h"

namespace kdcli {

namespace {

// A UTF-8 argument as formula text; false (with a message) when it has no Windows-1252 form.
bool AlsFormeltext(const std::string& utf8, std::string& cp1252) {
    if (!kd::Utf8ToCp1252(utf8, cp1252)) {
        Fehler(Dateifehler, "der Text \"" + utf8 + "\" enth\xC3\xA4lt Zeichen, die in Formeln nicht vorkommen "
                            "k\xC3\xB6nnen (griechische Buchstaben werden als ~a, ~b, ... geschrieben)");
        return false;
    }
    if (cp1252.size() > kd::KurzerStringMax) {
        Fehler(Dateifehler, "eine Formel hat h\xC3\xB6" "chstens 255 Zeichen");
        return false;
    }
    return true;
}

void Ausgabe(const std::string& cp1252) {
    const std::string t = kd::Cp1252ToUtf8(cp1252);
    std::fwrite(t.data(), 1, t.size(), stdout);
    std::fputc('\n', stdout);
}

std::string Zahl20(kd::Extended v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.18Lg", v);
    return buf;
}

const char* const CalcHilfe =
    "Aufruf: kdformel-cli calc TEXT [NAME=WERT ...] [--part N] [--time-limit S]\n"
    "Berechnet TEXT wie \"Formel berechnen\" die gew\xC3\xA4hlte Formel. Die freien Variablen\n"
    "bekommen ihre Werte aus NAME=WERT (2,5 und 50% gehen); eine fehlende Angabe ist ein\n"
    "Fehler. --part N berechnet Teilformel N, wie die Tab-Markierung sie w\xC3\xA4hlt.\n"
    "--time-limit S beendet eine Berechnung nach S Sekunden (Vorgabe 10, 0 = ohne Grenze)\n"
    "wie eine Schleife, die ihre Durchl\xC3\xA4ufe ersch\xC3\xB6pft.\n"
    "Exit-Status: 0 Ergebnis, 1 Rechen- oder Formelfehler im Ergebnis, 2 Berechnung\n"
    "abgelehnt oder ein Wert fehlt / ist ung\xC3\xBCltig.\n";

} // namespace

int CalcBefehl(const Argumente& args) {
    std::string text;
    bool textDa = false;
    long long teil = 0;
    long long sekunden = 10;
    std::map<std::string, std::string> werte;  // Windows-1252 name -> typed value
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(CalcHilfe, stdout);
            return Erfolg;
        }
        if (a == "--time-limit") {
            if (i + 1 >= args.size() || !Zahl(args[i + 1], sekunden) || sekunden < 0 || sekunden > 86400)
                return Fehler(Dateifehler, "--time-limit braucht Sekunden von 0 bis 86400");
            ++i;
            continue;
        }
        if (a == "--part") {
            if (i + 1 >= args.size() || !Zahl(args[i + 1], teil) || teil < 1)
                return Fehler(Dateifehler, "--part braucht eine Nummer ab 1");
            ++i;
            continue;
        }
        if (!textDa) {
            if (!AlsFormeltext(a, text)) return Dateifehler;
            textDa = true;
            continue;
        }
        const std::size_t gleich = a.find('=');
        if (gleich == std::string::npos || gleich == 0)
            return Fehler(Dateifehler, "erwartet NAME=WERT, nicht \"" + a + "\"");
        std::string name, wert;
        if (!AlsFormeltext(a.substr(0, gleich), name) || !AlsFormeltext(a.substr(gleich + 1), wert))
            return Dateifehler;
        werte[name] = wert;
    }
    if (!textDa) {
        std::fputs(CalcHilfe, stderr);
        return Dateifehler;
    }

    bool markiert = false;
    if (teil > 0) {
        text = kd::Teilformel(text, int(teil));
        if (text.empty()) return Fehler(Dateifehler, "die Formel hat keine Teilformel " + std::to_string(teil));
        markiert = true;
    }

    std::string eingabefehler;
    kd::MerkListe merk;
    merk.fill(kd::Undefiniert);
    const auto eingabe = [&](kd::Bezeichnerliste& vars) {
        for (int i = 0; i < vars.Count(); ++i) {
            const std::string& name = vars[i]->Name;
            auto it = werte.find(name);
            if (it == werte.end()) {
                eingabefehler = "Wert f\xFCr " + name + " fehlt (" + name + "=WERT angeben)";
                return false;
            }
            int fp = 0;
            const kd::Extended v = kd::TextZuZahl(it->second, fp);
            if (fp != 0) {
                eingabefehler = "ung\xFCltiger Wert f\xFCr " + name + ": \"" + it->second + "\"";
                return false;
            }
            vars[i]->SetWert(v);
        }
        return true;
    };
    // Scripts never hang: a computation past the limit stops like a loop out of passes.
    kd::Rechenabbruch abbruch(sekunden > 0 ? std::chrono::seconds(sekunden)
                                           : kd::Rechenabbruch::Uhr::duration::max());
    const kd::Berechnungsergebnis e = kd::FormelBerechnen(text, markiert, merk, eingabe);
    using A = kd::Berechnungsergebnis::Art;
    switch (e.art) {
    case A::Ergebnis:
        Ausgabe(e.Meldung);
        return Erfolg;
    case A::Rechenfehler:
        Ausgabe(e.Meldung);
        return Abgelehnt;
    case A::Markieren: {
        std::string m = e.Meldung;
        for (char& c : m)
            if (c == '\r') c = ' ';
        return FehlerCp1252(Dateifehler, m + "\n(--part N w\xE4hlt eine Teilformel)");
    }
    case A::Abgelehnt:
        return FehlerCp1252(Dateifehler, e.Meldung);
    case A::Abgebrochen:
        break;
    }
    return FehlerCp1252(Dateifehler, eingabefehler.empty() ? "Eingabe abgebrochen" : eingabefehler);
}

int ParseBefehl(const Argumente& args) {
    enum { Sammeln, Auswerten, Bedingung } modus = Auswerten;
    std::string text;
    bool textDa = false;
    kd::Bezeichnerliste bekannt;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs("Aufruf: kdformel-cli parse [--collect | --eval | --condition] TEXT [NAME[=WERT] ...]\n"
                       "Zeigt die Terme (Index, Wert, Art, Prio, TextPos, Folge) und die Schritte\n"
                       "(links, rechts, Art, TextPos) oder \"Fehler N: Meldung (Position P, Ende E)\".\n"
                       "--eval (Vorgabe) kennt nur die nach TEXT genannten Bezeichner; --condition\n"
                       "liest unbekannte Namen wie --collect.\n",
                       stdout);
            return Erfolg;
        }
        if (a == "--collect") modus = Sammeln;
        else if (a == "--eval") modus = Auswerten;
        else if (a == "--condition") modus = Bedingung;
        else if (!textDa) {
            if (!AlsFormeltext(a, text)) return Abgelehnt;
            textDa = true;
        } else {
            std::string name = a, wert;
            if (auto g = a.find('='); g != std::string::npos) name = a.substr(0, g), wert = a.substr(g + 1);
            std::string n1252, w1252;
            if (!AlsFormeltext(name, n1252) || !AlsFormeltext(wert, w1252)) return Abgelehnt;
            bekannt.Add(std::make_unique<kd::TBezeichner>(n1252));
            if (!w1252.empty()) {
                int fp = 0;
                bekannt[bekannt.Count() - 1]->SetWert(kd::TextZuZahl(w1252, fp));
            }
        }
    }
    if (!textDa) return Fehler(Abgelehnt, "TEXT fehlt (kdformel-cli parse --help)");

    kd::TGleichung::Optionen o;
    o.Sammelmodus = modus != Auswerten;
    o.Bedingungsmodus = modus == Bedingung;
    if (modus == Auswerten) o.Bezeichner = &bekannt;
    kd::TGleichung g(o);
    int pos = 0, ende = 0;
    const int code = g.FormelLesen(text, "", "", 0, pos, ende);
    if (code != 0) {
        Ausgabe("Fehler " + std::to_string(code) + ": " + kd::Fehlertexte[code] + " (Position " +
                std::to_string(pos) + ", Ende " + std::to_string(ende) + ")");
        return Abgelehnt;
    }
    std::printf("Terme: %d\n", g.TermAnzahl);
    for (int i = 1; i <= g.TermAnzahl; ++i) {
        const kd::Term& t = g.Terme[std::size_t(i)];
        std::printf("%d Wert=%s Art=%d Prio=%d TextPos=%d Folge=%d\n", i, Zahl20(t.Wert).c_str(), t.Art,
                    t.Prio, t.TextPos, t.Folge);
    }
    std::printf("Schritte: %d\n", g.TermAnzahl > 0 ? g.TermAnzahl - 1 : 0);
    for (int k = 1; k < g.TermAnzahl; ++k) {
        const kd::Schritt& s = g.Schritte[std::size_t(k)];
        std::printf("%d Links=%d Rechts=%d Art=%d TextPos=%d\n", k, s.Links, s.Rechts, s.Art, s.TextPos);
    }
    return Erfolg;
}

int ExcelBefehl(const Argumente& args) {
    if (args.size() != 1 || args[0] == "--help" || args[0] == "-h") {
        std::fputs("Aufruf: kdformel-cli excel TEXT\n"
                   "Zeigt TEXT als Formel f\xC3\xBCr eine Tabellenkalkulation; Warnungen gehen nach stderr.\n",
                   args.size() == 1 ? stdout : stderr);
        return args.size() == 1 ? Erfolg : Abgelehnt;
    }
    std::string text;
    if (!AlsFormeltext(args[0], text)) return Abgelehnt;
    const kd::Tabellenformel t = kd::InTabellenformel(text);
    for (const auto& w : t.Warnungen) FehlerCp1252(0, w);
    Ausgabe(t.Formel);
    return Erfolg;
}

} // namespace kdcli
