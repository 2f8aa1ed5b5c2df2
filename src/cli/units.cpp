// units: the unit converter "Einheiten-Umrechnung" from the command line.
#include <clocale>
#include <cstdio>
#include <string>

#include "Befehle.h"
#include "core/numeric/Encoding.h"
#include "core/units/Einheiten.h"
#include "core/units/Umrechner.h"

namespace kdcli {

namespace {

const char* const UnitsHilfe =
    "Aufruf: kdformel-cli units SEITE VON NACH WERT\n"
    "        kdformel-cli units SEITE VON NACH --example [WERT]\n"
    "        kdformel-cli units --list [SEITE]\n"
    "Rechnet WERT von der Einheit VON in die Einheit NACH um und zeigt, was das\n"
    "Ergebnisfeld der Einheiten-Umrechnung zeigt. SEITE ist L\xC3\xA4nge, Fl\xC3\xA4" "che, Volumen,\n"
    "Masse, Zeit, Temperatur oder 0-5; VON und NACH sind Einheiten wie im Fenster\n"
    "(\"km\", \"\xC2\xB0" "C\", \"gal  (US)\") oder ihre Position ab 0. --example zeigt zuerst die\n"
    "Zeile \"Beispiel:\" bzw. \"Formel:\". --list zeigt die Seiten oder die Einheiten einer Seite.\n"
    "Zahlen erscheinen mit dem Dezimaltrenner des Gebietsschemas (LC_NUMERIC).\n"
    "Exit-Status: 0 Ergebnis, 1 keine Zahl (das Fenster piept) oder falsche Angaben.\n";

void Zeile(const std::string& cp1252) {
    const std::string t = kd::Cp1252ToUtf8(cp1252);
    std::fwrite(t.data(), 1, t.size(), stdout);
    std::fputc('\n', stdout);
}

// The decimal separator of the user's locale, as the window writes it.
std::string Dezimaltrenner() {
    const char* jetzt = std::setlocale(LC_NUMERIC, nullptr);
    const std::string vorher = jetzt ? jetzt : "C";
    std::string trenner = ".";
    if (std::setlocale(LC_NUMERIC, "")) {
        const char* p = std::localeconv()->decimal_point;
        std::string t;
        if (p && *p && kd::Utf8ToCp1252(p, t)) trenner = t;
    }
    std::setlocale(LC_NUMERIC, vorher.c_str());
    return trenner;
}

// A page by its name (also with "ae" for "\xE4") or its number.
int Seite(const std::string& utf8) {
    long long n = 0;
    if (Zahl(utf8, n)) return n >= 0 && n < kd::EinheitenSeiten ? int(n) : -1;
    std::string cp;
    if (!kd::Utf8ToCp1252(utf8, cp)) return -1;
    for (int s = 0; s < kd::EinheitenSeiten; ++s) {
        std::string name(kd::Seitenname(s)), umschrieben;
        for (char c : name) umschrieben += c == '\xE4' ? std::string("ae") : std::string(1, c);
        if (cp == name || cp == umschrieben) return s;
    }
    return -1;
}

// A unit of `seite` by its label or its position.
int Einheit(int seite, const std::string& utf8) {
    long long n = 0;
    if (Zahl(utf8, n)) return n >= 0 && n < kd::EinheitenAnzahl(seite) ? int(n) : -1;
    std::string cp;
    if (!kd::Utf8ToCp1252(utf8, cp)) return -1;
    for (int i = 0; i < kd::EinheitenAnzahl(seite); ++i)
        if (cp == kd::Einheit(seite, i)) return i;
    return -1;
}

int Liste(const Argumente& rest) {
    if (rest.empty()) {
        for (int s = 0; s < kd::EinheitenSeiten; ++s)
            Zeile(std::to_string(s) + " " + std::string(kd::Seitenname(s)));
        return Erfolg;
    }
    const int s = Seite(rest[0]);
    if (s < 0 || rest.size() > 1) return Fehler(Abgelehnt, "unbekannte Seite \"" + rest[0] + "\"");
    for (int i = 0; i < kd::EinheitenAnzahl(s); ++i)
        Zeile(std::to_string(i) + " " + std::string(kd::Einheit(s, i)));
    return Erfolg;
}

} // namespace

int UnitsBefehl(const Argumente& args) {
    bool beispiel = false, liste = false, nurWerte = false;
    Argumente werte;
    for (const std::string& a : args) {
        if (!nurWerte && (a == "--help" || a == "-h")) {
            std::fputs(UnitsHilfe, stdout);
            return Erfolg;
        }
        if (!nurWerte && a == "--example") beispiel = true;
        else if (!nurWerte && a == "--list") liste = true;
        else if (!nurWerte && a == "--") nurWerte = true;  // a value such as "--1" follows
        else werte.push_back(a);
    }
    if (liste) return Liste(werte);
    if (werte.size() < 3 || werte.size() > 4 || (werte.size() == 3 && !beispiel)) {
        std::fputs(UnitsHilfe, stderr);
        return Abgelehnt;
    }
    const int seite = Seite(werte[0]);
    if (seite < 0) return Fehler(Abgelehnt, "unbekannte Seite \"" + werte[0] + "\" (kdformel-cli units --list)");
    const int von = Einheit(seite, werte[1]);
    const int nach = Einheit(seite, werte[2]);
    for (int i : {1, 2})
        if ((i == 1 ? von : nach) < 0)
            return Fehler(Abgelehnt, "unbekannte Einheit \"" + werte[static_cast<std::size_t>(i)] +
                                         "\" (kdformel-cli units --list " + werte[0] + ")");

    kd::Umrechner u(Dezimaltrenner());
    (void)u.WaehleVon(seite, von);
    (void)u.WaehleNach(seite, nach);
    const bool mitWert = werte.size() == 4;
    bool lesbar = true;
    if (mitWert) {
        std::string text;
        lesbar = kd::Utf8ToCp1252(werte[3], text);  // otherwise "?" stands in: no number
        if (text.size() > std::size_t(kd::MaxEingabeLaenge))
            return Fehler(Abgelehnt, "das Eingabefeld nimmt h\xC3\xB6" "chstens 12 Zeichen");
        if (u.SetzeEingabe(seite, text) == kd::Ton::Piep) return Abgelehnt;
    }
    if (beispiel) Zeile(u.Seite(seite).Beschriftung);
    if (mitWert) {
        if (u.KopiertEingabe(seite) && !lesbar) {
            // The copy keeps characters that have no Windows-1252 form.
            std::fputs((werte[3] + "\n").c_str(), stdout);
        } else {
            Zeile(u.Seite(seite).Ausgabe);
        }
    }
    return Erfolg;
}

} // namespace kdcli
