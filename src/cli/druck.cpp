// print: a library printed as the program prints it, into a PDF file. The drawing
// needs Qt, which lives in the module kdformel-cli-qt beside the tool; it is loaded
// for this command only.
#include <dlfcn.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Befehle.h"

namespace kdcli {

namespace {

using QtDruckFunktion = int (*)(const char* bibliothek, const char* ausgabe, int kopien);
constexpr const char* QtDruckName = "kdcli_qt_print";

// The entry point of the Qt module, or null with the reason in `warum`.
QtDruckFunktion DruckFunktion(std::string& warum) {
#ifdef KD_CLI_QT_MODUL
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
        if (void* h = dlopen(o.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            if (void* f = dlsym(h, QtDruckName)) return reinterpret_cast<QtDruckFunktion>(f);
            warum = std::string(QtDruckName) + " fehlt im Qt-Modul";
            return nullptr;
        }
        if (const char* e = dlerror()) warum = e;
    }
    return nullptr;
#else
    warum = "ohne Qt gebaut";
    return nullptr;
#endif
}

const char DruckHilfe[] =
    "Aufruf: kdformel-cli print DATEI.pqb -o AUSGABE.pdf [--copies N]\n"
    "Druckt die Formelsammlung wie \"Formelsammlung drucken\" in eine PDF-Datei (A4 hoch,\n"
    "R\xC3\xA4nder links 20 mm, oben 20 mm): die Formeln untereinander mit Trennlinien,\n"
    "\xC3\x9C" "berschriften und Bildern; eine neue Seite, wenn weniger als 50 mm bleiben oder\n"
    "eine Formel nicht mehr auf die Seite passt. Formeln, die sich nicht lesen lassen,\n"
    "werden ausgelassen. --copies N druckt die Sammlung N-mal (1 bis 99).\n"
    "Auf stdout: die Zahl der Seiten je Exemplar.\n";

} // namespace

int DruckBefehl(const Argumente& args) {
    std::string bibliothek, ausgabe;
    long long kopien = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(DruckHilfe, stdout);
            return Erfolg;
        }
        if (a == "-o") {
            if (++i >= args.size()) return Fehler(Abgelehnt, "-o braucht eine Datei");
            ausgabe = args[i];
        } else if (a == "--copies") {
            if (++i >= args.size() || !Zahl(args[i], kopien) || kopien < 1 || kopien > 99)
                return Fehler(Abgelehnt, "--copies braucht eine Zahl von 1 bis 99");
        } else if (!a.empty() && a[0] == '-') {
            return Fehler(Abgelehnt, "unbekannte Option " + a + " (kdformel-cli print --help)");
        } else if (bibliothek.empty()) {
            bibliothek = a;
        } else {
            return Fehler(Abgelehnt, "zu viele Argumente (kdformel-cli print --help)");
        }
    }
    if (bibliothek.empty()) return Fehler(Abgelehnt, "DATEI.pqb fehlt (kdformel-cli print --help)");
    if (ausgabe.size() < 5 || ausgabe.substr(ausgabe.size() - 4) != ".pdf")
        return Fehler(Abgelehnt, "-o AUSGABE.pdf fehlt (kdformel-cli print --help)");
    std::string warum;
    QtDruckFunktion f = DruckFunktion(warum);
    if (!f) return Fehler(Abgelehnt, "print braucht Qt (" + warum + ")");
    return f(bibliothek.c_str(), ausgabe.c_str(), int(kopien));
}

} // namespace kdcli
