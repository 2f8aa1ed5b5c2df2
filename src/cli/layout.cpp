// layout and render: the typeset formula from the command line. Measuring like the
// screen and drawing into files needs Qt, which lives in the module kdformel-cli-qt
// beside the tool; it is loaded here only, so every other command starts without Qt.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Befehle.h"
#include "Satz.h"
#include "core/Types.h"
#include "core/numeric/Encoding.h"
#include "core/page/FixedMetricsDevice.h"

namespace kdcli {

namespace {

bool AlsFormel(const std::string& utf8, std::string& cp1252) {
    if (!kd::Utf8ToCp1252(utf8, cp1252)) {
        Fehler(Abgelehnt, "der Text \"" + utf8 + "\" enth\xC3\xA4lt Zeichen, die in Formeln nicht "
                          "vorkommen k\xC3\xB6nnen (griechische Buchstaben werden als ~a, ~b, ... "
                          "geschrieben)");
        return false;
    }
    if (cp1252.size() > kd::KurzerStringMax) {
        Fehler(Abgelehnt, "eine Formel hat h\xC3\xB6" "chstens 255 Zeichen");
        return false;
    }
    return true;
}

const char LayoutHilfe[] =
    "Aufruf: kdformel-cli layout [--fixed-metrics] [--condition] TEXT\n"
    "Setzt TEXT wie die Formelseite (Sammelmodus, Formelstile der Seite) und zeigt den\n"
    "Elementbaum: ein Element je Zeile, je Ebene zwei Leerzeichen einger\xC3\xBC" "ckt, Rect als\n"
    "Left,Top,Right,Bottom in 0,1 mm (y nach oben). Ein Knoten zeigt danach seine beiden\n"
    "Kinder und seine Klammern. --fixed-metrics misst mit festen Zeichenbreiten (jedes\n"
    "Zeichen halb so breit wie hoch), sonst wie der Bildschirm (ohne Qt gebaut: immer fest).\n"
    "--condition liest TEXT als Bedingung (a==b;und;c>0). Nach \"--\" ist das n\xC3\xA4" "chste\n"
    "Argument TEXT, auch wenn es mit \"-\" beginnt.\n"
    "Ein Lesefehler zeigt \"Fehler N: Meldung\" (Exit-Status 1).\n";

const char RenderHilfe[] =
    "Aufruf: kdformel-cli render (--formula TEXT | DATEI.pqb) -o AUSGABE [--zoom Z]\n"
    "                            [--polygon-brackets]\n"
    "Zeichnet eine Formel oder eine ganze Formelsammlung so, wie die Formelseite sie zeigt\n"
    "(Trennlinien, \xC3\x9C" "berschriften, Bilder), als AUSGABE.svg, AUSGABE.pdf (Vektoren) oder\n"
    "AUSGABE.png. Z: Bildpunkte je 0,1 mm f\xC3\xBCr PNG und SVG (Vorgabe 0,5); PDF hat die\n"
    "Originalgr\xC3\xB6\xC3\x9F" "e. --polygon-brackets zeichnet Klammern und Integralzeichen als\n"
    "Polygone statt aus Zeichen des Symbol-Fonts (wie die Formelseite, wenn ihr Test des\n"
    "Symbol-Fonts fehlschl\xC3\xA4gt). Exit-Status: 0 Erfolg, 1 abgelehnte Eingabe, 2 Dateifehler.\n";

} // namespace

// The Qt module, loaded on first use from the tool's folder (or the installed library
// folder); null when this build has none or it cannot be loaded (then `warum` says why).
void* QtModul(std::string& warum) {
#ifdef KD_CLI_QT_MODUL
    static std::string fehler;
    static void* modul = [] {
        std::vector<std::string> orte;
        char pfad[4096];
        const ssize_t n = readlink("/proc/self/exe", pfad, sizeof pfad - 1);
        if (n > 0) {
            std::string ordner(pfad, std::size_t(n));
            ordner.resize(ordner.rfind('/') + 1);
            orte.push_back(ordner + KD_CLI_QT_MODUL);
        }
        orte.push_back(std::string(KD_CLI_QT_MODULORDNER) + "/" + KD_CLI_QT_MODUL);
        for (const std::string& o : orte) {
            if (void* h = dlopen(o.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
            if (const char* e = dlerror()) fehler = e;
        }
        return static_cast<void*>(nullptr);
    }();
    warum = fehler;
    return modul;
#else
    warum = "ohne Qt gebaut";
    return nullptr;
#endif
}

int LayoutBefehl(const Argumente& args) {
    bool fest = false, bedingung = false, textDa = false;
    std::string text;
    bool optionen = true;  // after "--" every argument is the text
    for (const std::string& a : args) {
        if (optionen && a == "--") {
            optionen = false;
            continue;
        }
        if (optionen && (a == "--help" || a == "-h")) {
            std::fputs(LayoutHilfe, stdout);
            return Erfolg;
        }
        if (optionen && a == "--fixed-metrics") fest = true;
        else if (optionen && a == "--condition") bedingung = true;
        else if (!textDa) {
            if (!AlsFormel(a, text)) return Abgelehnt;
            textDa = true;
        } else {
            return Fehler(Abgelehnt, "zu viele Argumente (kdformel-cli layout --help)");
        }
    }
    if (!textDa) return Fehler(Abgelehnt, "TEXT fehlt (kdformel-cli layout --help)");
    if (!fest) {
        std::string warum;
        if (auto f = QtFunktion<QtLayoutFunktion>(QtLayoutName, warum))
            return f(text.c_str(), bedingung ? 1 : 0);
#ifdef KD_CLI_QT_MODUL
        Fehler(Erfolg, "Qt-Modul nicht geladen (" + warum + "): feste Zeichenbreiten");
#endif
    }
    kd::FixedMetricsDevice dc;
    dc.RecordMeasurements = false;
    int code = 0;
    auto baum = FormelSetzen(dc, text, bedingung, code);
    if (code != 0) return Abgelehnt;
    if (baum) BaumZeigen(*baum);
    return Erfolg;
}

int RenderBefehl(const Argumente& args) {
    std::string formel, bibliothek, ausgabe;
    bool formelDa = false, symbolKlammern = true;
    double zoom = 0.5;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(RenderHilfe, stdout);
            return Erfolg;
        }
        const bool mitWert = a == "--formula" || a == "-o" || a == "--zoom";
        if (mitWert && i + 1 >= args.size())
            return Fehler(Abgelehnt, a + " braucht einen Wert (kdformel-cli render --help)");
        if (a == "--formula") {
            if (!AlsFormel(args[++i], formel)) return Abgelehnt;
            formelDa = true;
        } else if (a == "-o") {
            ausgabe = args[++i];
        } else if (a == "--zoom") {
            std::string z = args[++i];
            std::replace(z.begin(), z.end(), ',', '.');
            char* ende = nullptr;
            zoom = std::strtod(z.c_str(), &ende);
            if (!ende || *ende != '\0' || !(zoom >= 0.01) || zoom > 20)
                return Fehler(Abgelehnt, "--zoom braucht eine Zahl zwischen 0,01 und 20");
        } else if (a == "--polygon-brackets") {
            symbolKlammern = false;
        } else if (!a.empty() && a[0] == '-') {
            return Fehler(Abgelehnt, "unbekannte Option " + a + " (kdformel-cli render --help)");
        } else if (bibliothek.empty()) {
            bibliothek = a;
        } else {
            return Fehler(Abgelehnt, "zu viele Argumente (kdformel-cli render --help)");
        }
    }
    if (formelDa == !bibliothek.empty())
        return Fehler(Abgelehnt, "entweder --formula TEXT oder eine DATEI.pqb angeben");
    if (ausgabe.empty()) return Fehler(Abgelehnt, "-o AUSGABE fehlt (kdformel-cli render --help)");
    const std::string endung = ausgabe.size() >= 4 ? ausgabe.substr(ausgabe.size() - 4) : "";
    if (endung != ".svg" && endung != ".png" && endung != ".pdf")
        return Fehler(Abgelehnt, "AUSGABE muss auf .svg, .png oder .pdf enden");
    std::string warum;
    auto f = QtFunktion<QtRenderFunktion>(QtRenderName, warum);
    if (!f)
        return Fehler(Abgelehnt, "render braucht Qt (" + warum +
                                     "); layout --fixed-metrics geht ohne");
    return f(formelDa ? formel.c_str() : bibliothek.c_str(), formelDa ? 1 : 0, ausgabe.c_str(),
             zoom, symbolKlammern ? 1 : 0);
}

} // namespace kdcli
