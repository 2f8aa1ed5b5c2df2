// kdformel-cli: scripting and inspection of KALDORA Formelsammlung files.
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <charconv>

#include "Befehle.h"
#include "core/numeric/Encoding.h"

namespace kdcli {

int DruckBefehl(const Argumente& args);  // druck.cpp

const std::vector<Befehl>& AlleBefehle() {
    // New subcommands (calc, parse, excel, layout, render, units, print) are added here,
    // each implemented in its own file.
    static const std::vector<Befehl> befehle = {
        {"lib", "Formelsammlungen (.pqb) anlegen, zeigen und bearbeiten", LibBefehl},
        {"calc", "eine Formel berechnen (wie \"Formel berechnen\")", CalcBefehl},
        {"parse", "Terme und Schritte einer Formel zeigen", ParseBefehl},
        {"excel", "eine Formel als Tabellenkalkulations-Formel zeigen", ExcelBefehl},
        {"units", "L\xC3\xA4ngen, Fl\xC3\xA4" "chen, ... und Temperaturen umrechnen", UnitsBefehl},
        {"layout", "den Elementbaum einer gesetzten Formel zeigen", LayoutBefehl},
        {"render", "Formel oder Formelsammlung als SVG, PDF oder PNG zeichnen", RenderBefehl},
        {"plot", "eine Formel als Kurve zeichnen (SVG, PNG, PDF) oder tabellieren (CSV)", PlotBefehl},
        {"print", "Formelsammlung wie beim Drucken in eine PDF-Datei drucken", DruckBefehl},
        {"export", "Formeln als LaTeX oder MathML, Formelsammlung als Webseite oder LaTeX-Dokument", ExportBefehl},
    };
    return befehle;
}

int Fehler(int code, std::string_view utf8) {
    std::fprintf(stderr, "kdformel-cli: %.*s\n", int(utf8.size()), utf8.data());
    return code;
}

int FehlerCp1252(int code, std::string_view cp1252) {
    return Fehler(code, kd::Cp1252ToUtf8(cp1252));
}

bool Zahl(std::string_view s, long long& wert) {
    if (s.empty()) return false;
    const char* anfang = s.data();
    if (*anfang == '+') ++anfang;
    auto [ende, ec] = std::from_chars(anfang, s.data() + s.size(), wert);
    return ec == std::errc() && ende == s.data() + s.size();
}

namespace {

void Hilfe(std::FILE* aus) {
    std::fputs(
        "Aufruf: kdformel-cli BEFEHL [ARGUMENTE]\n"
        "        kdformel-cli BEFEHL --help\n"
        "\n"
        "Befehle:\n",
        aus);
    for (const auto& b : AlleBefehle()) std::fprintf(aus, "  %-8s %s\n", b.name, b.kurz);
    std::fputs(
        "\n"
        "Exit-Status: 0 Erfolg, 1 abgelehnte Eingabe, 2 Dateifehler.\n"
        "Texte auf dem Terminal sind UTF-8; in den Dateien stehen sie in Windows-1252.\n",
        aus);
}

} // namespace
} // namespace kdcli

int main(int argc, char** argv) {
    using namespace kdcli;
    if (argc < 2) {
        Hilfe(stderr);
        return Abgelehnt;
    }
    const std::string befehl = argv[1];
    if (befehl == "--help" || befehl == "-h" || befehl == "help") {
        Hilfe(stdout);
        return Erfolg;
    }
    for (const auto& b : AlleBefehle()) {
        if (befehl == b.name) return b.ausfuehren(Argumente(argv + 2, argv + argc));
    }
    Fehler(Abgelehnt, "unbekannter Befehl \"" + befehl + "\" (kdformel-cli --help zeigt alle)");
    return Abgelehnt;
}
