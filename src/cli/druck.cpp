// print: a library printed as the program prints it, into a PDF file. The drawing
// needs Qt, which lives in the module kdformel-cli-qt beside the tool; it is loaded
// for this command only.
#include <string>
#include <vector>

#include "Befehle.h"

namespace kdcli {

namespace {

using QtDruckFunktion = int (*)(const char* bibliothek, const char* ausgabe, int kopien);
constexpr const char* QtDruckName = "kdcli_qt_print";

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
    QtDruckFunktion f = QtFunktion<QtDruckFunktion>(QtDruckName, warum);
    if (!f) return Fehler(Abgelehnt, "print braucht Qt (" + warum + ")");
    return f(bibliothek.c_str(), ausgabe.c_str(), int(kopien));
}

} // namespace kdcli
