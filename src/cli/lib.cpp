// kdformel-cli lib: create, list and edit formula libraries (.pqb).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "Befehle.h"
#include "core/Errors.h"
#include "core/library/Bibliothek.h"
#include "core/library/Verzeichnis.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "core/Types.h"

namespace kdcli {

namespace {

const char kHilfe[] =
    "Aufruf:\n"
    "  kdformel-cli lib new ORDNER NAME [--force]\n"
    "      legt ORDNER/NAME.pqb als leere Formelsammlung an. Ab dem ersten Punkt wird\n"
    "      NAME abgeschnitten. Eine vorhandene Datei wird nur mit --force ersetzt.\n"
    "  kdformel-cli lib show DATEI\n"
    "      eine Zeile je Formel, Felder durch Tabulatoren getrennt:\n"
    "      INDEX<TAB>BILDTYP<TAB>BILDGROESSE<TAB>FORMELTEXT\n"
    "      INDEX zählt ab 0, BILDGROESSE in Bytes (0 ohne Bild), FORMELTEXT in UTF-8.\n"
    "  kdformel-cli lib add DATEI TEXT [--at N]\n"
    "      fügt eine Formel am Ende ein, mit --at N vor der Formel N (0 = vorn).\n"
    "  kdformel-cli lib delete DATEI N\n"
    "      löscht die Formel mit dem Index N.\n"
    "  kdformel-cli lib build QUELLE.txt DATEI\n"
    "      schreibt DATEI aus einer Textdatei (UTF-8) mit einer Formel je Zeile; leere\n"
    "      Zeilen und Zeilen, die mit # beginnen, werden übergangen. Eine Zeile, deren\n"
    "      Formel sich nicht lesen lässt, wird mit Zeilennummer und Meldung abgelehnt.\n"
    "\n"
    "DATEI ohne Punkt im Dateinamen erhält die Endung \".pqb\". Ein TEXT muss sich in\n"
    "Windows-1252 schreiben lassen, höchstens 255 Zeichen lang sein und darf keine\n"
    "Steuerzeichen (Zeilenumbrüche, Tabulatoren) enthalten. Nach \"--\" werden keine\n"
    "Optionen mehr erkannt (für Texte, die mit \"-\" beginnen).\n"
    "Exit-Status: 0 Erfolg, 1 abgelehnte Eingabe, 2 Dateifehler.\n";

struct Aufruf {
    Argumente positionen;
    bool force = false;
    bool hilfe = false;
    bool hatAt = false;
    std::string at;
    std::string unbekannt;  // the first unknown option
};

Aufruf Zerlegen(const Argumente& args) {
    Aufruf a;
    bool optionen = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (optionen && s == "--") {
            optionen = false;
        } else if (optionen && (s == "--help" || s == "-h")) {
            a.hilfe = true;
        } else if (optionen && s == "--force") {
            a.force = true;
        } else if (optionen && s == "--at") {
            a.hatAt = true;
            if (i + 1 < args.size()) a.at = args[++i];
            else if (a.unbekannt.empty()) a.unbekannt = "--at ohne Zahl";
        } else if (optionen && s.rfind("--at=", 0) == 0) {
            a.hatAt = true;
            a.at = s.substr(5);
        } else if (optionen && s.size() > 1 && s[0] == '-') {
            if (a.unbekannt.empty()) a.unbekannt = "unbekannte Option " + s;
        } else {
            a.positionen.push_back(s);
        }
    }
    return a;
}

int Benutzung(const std::string& grund) {
    Fehler(Abgelehnt, grund);
    std::fputs("(kdformel-cli lib --help zeigt die Aufrufe)\n", stderr);
    return Abgelehnt;
}

// A formula text from the terminal: UTF-8 in, Windows-1252 out.
bool FormelTextPruefen(const std::string& utf8, std::string& cp1252, int& code) {
    if (!kd::Utf8ToCp1252(utf8, cp1252)) {
        code = Fehler(Abgelehnt, "Der Text enth\u00e4lt Zeichen, die sich nicht in Windows-1252 "
                                 "schreiben lassen: \"" + utf8 + "\"");
        return false;
    }
    for (unsigned char c : cp1252) {
        if (c < 0x20 || c == 0x7F) {
            code = Fehler(Abgelehnt, "Der Text enth\u00e4lt Steuerzeichen (Zeilenumbruch, "
                                     "Tabulator o. \u00e4.); eine Formel ist eine Zeile.");
            return false;
        }
    }
    if (cp1252.size() > kd::KurzerStringMax) {
        code = Fehler(Abgelehnt, "Der Text ist " + std::to_string(cp1252.size()) +
                                     " Zeichen lang; eine Formel hat h\u00f6chstens 255 Zeichen.");
        return false;
    }
    return true;
}

// Reads a whole library; a damaged file is reported and not changed.
bool Laden(const std::string& datei, kd::FormelListeTyp& liste, int& code) {
    try {
        kd::LiesBibliothek(datei, liste);
        return true;
    } catch (const kd::FileError& e) {
        code = FehlerCp1252(Dateifehler, e.what());
        return false;
    }
}

int Speichern(const std::string& datei, const kd::FormelListeTyp& liste) {
    try {
        kd::SchreibeBibliothek(datei, liste);
        return Erfolg;
    } catch (const kd::FileError& e) {
        return FehlerCp1252(Dateifehler, e.what());
    }
}

int New(const Aufruf& a) {
    if (a.positionen.size() != 3) return Benutzung("lib new braucht ORDNER und NAME");
    if (a.hatAt) return Benutzung("--at gilt nur f\u00fcr lib add");
    const std::string& ordner = a.positionen[1];
    std::string name;
    if (!kd::Utf8ToCp1252(a.positionen[2], name))
        return Fehler(Abgelehnt, "Der Name \"" + a.positionen[2] +
                                     "\" l\u00e4sst sich nicht in Windows-1252 schreiben.");
    if (auto punkt = name.find('.'); punkt != std::string::npos) name.erase(punkt);
    if (name.empty()) return Fehler(Abgelehnt, "Der Name ist leer (vor dem ersten Punkt).");
    if (name.find('/') != std::string::npos)
        return Fehler(Abgelehnt, "Der Name darf kein \"/\" enthalten.");
    if (name.size() > kd::KurzerStringMax - 4)
        return Fehler(Abgelehnt, "Der Name ist l\u00e4nger als 251 Zeichen.");

    const std::filesystem::path pfad = kd::BibPfad(ordner, name);
    std::error_code ec;
    if (!a.force && std::filesystem::exists(std::filesystem::symlink_status(pfad, ec)))
        return Fehler(Abgelehnt, "\"" + pfad.string() +
                                     "\" existiert bereits (--force \u00fcberschreibt).");
    const kd::FormelListeTyp leer;
    const int code = Speichern(pfad.string(), leer);
    if (code == Erfolg) std::printf("%s\n", pfad.string().c_str());
    return code;
}

int Show(const Aufruf& a) {
    if (a.positionen.size() != 2) return Benutzung("lib show braucht genau eine DATEI");
    if (a.force || a.hatAt) return Benutzung("lib show kennt keine Optionen");
    kd::FormelListeTyp liste;
    int code = Erfolg;
    const bool ok = Laden(a.positionen[1], liste, code);
    // The records before a damage are shown too; the exit status tells the error.
    for (int i = 0; i < liste.Count(); ++i) {
        const auto& s = *liste[i];
        std::printf("%d\t%d\t%zu\t%s\n", i, int(s.BildTyp), s.Bild.size(),
                    kd::Cp1252ToUtf8(s.FormelText).c_str());
    }
    return ok ? Erfolg : code;
}

int Add(const Aufruf& a) {
    if (a.positionen.size() != 3) return Benutzung("lib add braucht DATEI und TEXT");
    if (a.force) return Benutzung("--force gilt nur f\u00fcr lib new");
    long long at = -1;
    if (a.hatAt && (!Zahl(a.at, at) || at < 0))
        return Benutzung("--at braucht eine Zahl ab 0, nicht \"" + a.at + "\"");
    std::string text;
    int code = Erfolg;
    if (!FormelTextPruefen(a.positionen[2], text, code)) return code;

    const std::string& datei = a.positionen[1];
    kd::FormelListeTyp liste;
    if (!Laden(datei, liste, code)) return code;
    if (!a.hatAt) at = liste.Count();
    if (at > liste.Count())
        return Fehler(Abgelehnt, "--at " + std::to_string(at) + " liegt hinter dem Ende (" +
                                     std::to_string(liste.Count()) + " Formeln)");
    auto satz = std::make_unique<kd::TFormelBiblio>();
    satz->FormelText = text;
    liste.Insert(int(at), std::move(satz));
    return Speichern(datei, liste);
}

int Delete(const Aufruf& a) {
    if (a.positionen.size() != 3) return Benutzung("lib delete braucht DATEI und N");
    if (a.force || a.hatAt) return Benutzung("lib delete kennt keine Optionen");
    long long n = -1;
    if (!Zahl(a.positionen[2], n) || n < 0)
        return Benutzung("N muss eine Zahl ab 0 sein, nicht \"" + a.positionen[2] + "\"");
    const std::string& datei = a.positionen[1];
    kd::FormelListeTyp liste;
    int code = Erfolg;
    if (!Laden(datei, liste, code)) return code;
    if (n >= liste.Count())
        return Fehler(Abgelehnt, "Es gibt keine Formel " + std::to_string(n) + " (" +
                                     std::to_string(liste.Count()) + " Formeln)");
    liste.DeleteItem(int(n));
    return Speichern(datei, liste);
}

} // namespace

namespace {

// The formula part of a text as the page shows it: a closing "{...}" is the heading.
std::string OhneUeberschrift(std::string t) {
    while (!t.empty() && t.back() == ' ') t.pop_back();
    if (!t.empty() && t.back() == '}') {
        const std::size_t auf = t.find('{');
        if (auf != std::string::npos) t.resize(auf);
    }
    return t;
}

int Build(const Aufruf& a) {
    if (a.positionen.size() != 3) return Benutzung("lib build braucht QUELLE und DATEI");
    std::FILE* f = std::fopen(a.positionen[1].c_str(), "rb");
    if (!f) return Fehler(Dateifehler, "Die Quelle \"" + a.positionen[1] + "\" l\u00e4sst sich nicht \u00f6ffnen.");
    std::string inhalt;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) inhalt.append(buf, n);
    std::fclose(f);

    kd::FormelListeTyp liste;
    kd::TGleichung::Optionen o;
    o.Sammelmodus = true;
    kd::TGleichung g(o);
    std::size_t anfang = 0;
    int zeile = 0;
    while (anfang < inhalt.size()) {
        std::size_t ende = inhalt.find('\n', anfang);
        if (ende == std::string::npos) ende = inhalt.size();
        std::string z = inhalt.substr(anfang, ende - anfang);
        anfang = ende + 1;
        ++zeile;
        if (!z.empty() && z.back() == '\r') z.pop_back();
        const std::size_t erstes = z.find_first_not_of(' ');
        if (erstes == std::string::npos || z[erstes] == '#') continue;
        std::string text;
        int code = 0;
        if (!FormelTextPruefen(z, text, code))
            return Fehler(Abgelehnt, a.positionen[1] + ":" + std::to_string(zeile) + ": Zeile abgelehnt");
        int pos = 0, endePos = 0;
        const int fehler = g.FormelLesen(OhneUeberschrift(text), "", "", 0, pos, endePos);
        if (fehler != 0)
            return Fehler(Abgelehnt, a.positionen[1] + ":" + std::to_string(zeile) + ": Fehler " +
                                         std::to_string(fehler) + ": " +
                                         kd::Cp1252ToUtf8(kd::Fehlertexte[fehler]) + " (Position " +
                                         std::to_string(pos) + ")");
        auto satz = std::make_unique<kd::TFormelBiblio>();
        satz->FormelText = text;
        liste.Add(std::move(satz));
    }
    return Speichern(a.positionen[2], liste);
}

} // namespace

int LibBefehl(const Argumente& args) {
    const Aufruf a = Zerlegen(args);
    if (a.hilfe) {
        std::fputs(kHilfe, stdout);
        return Erfolg;
    }
    if (!a.unbekannt.empty()) return Benutzung(a.unbekannt);
    if (a.positionen.empty()) return Benutzung("lib braucht einen Unterbefehl: new, show, add, delete");
    const std::string& unter = a.positionen[0];
    if (unter == "new") return New(a);
    if (unter == "show") return Show(a);
    if (unter == "add") return Add(a);
    if (unter == "delete") return Delete(a);
    if (unter == "build") return Build(a);
    return Benutzung("unbekannter Unterbefehl \"" + unter + "\"");
}

} // namespace kdcli
