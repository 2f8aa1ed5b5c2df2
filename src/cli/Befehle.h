#pragma once
// The subcommands of kdformel-cli. Each lives in its own file and is listed once in
// the command table of main.cpp.
#include <dlfcn.h>

#include <string>
#include <string_view>
#include <vector>

namespace kdcli {

// Exit codes of every subcommand.
inline constexpr int Erfolg = 0;
inline constexpr int Abgelehnt = 1;   // refused input: bad arguments, a text that does not fit
inline constexpr int Dateifehler = 2; // a file could not be read or written

using Argumente = std::vector<std::string>;  // the arguments after the command name (UTF-8)

struct Befehl {
    const char* name;
    const char* kurz;      // one line for the command list of --help
    int (*ausfuehren)(const Argumente& args);
};

// The command table (main.cpp).
const std::vector<Befehl>& AlleBefehle();

// Messages on stderr; `cp1252` texts come from the core and are converted to UTF-8.
int Fehler(int code, std::string_view utf8);
int FehlerCp1252(int code, std::string_view cp1252);

// A decimal integer (optionally signed) that fills the whole argument.
bool Zahl(std::string_view s, long long& wert);

// The Qt module kdformel-cli-qt, loaded on first use from the tool's folder (or the
// installed library folder); null when this build has none or it cannot be loaded
// (then `warum` says why).
void* QtModul(std::string& warum);

// An entry point of the Qt module, or null with the reason in `warum`.
template <class F>
F QtFunktion(const char* name, std::string& warum) {
    void* modul = QtModul(warum);
    if (!modul) return nullptr;
    void* f = dlsym(modul, name);
    if (!f) warum = std::string(name) + " fehlt im Qt-Modul";
    return reinterpret_cast<F>(f);
}

// --- commands ---
int LibBefehl(const Argumente& args);
int CalcBefehl(const Argumente& args);
int ParseBefehl(const Argumente& args);
int ExcelBefehl(const Argumente& args);
int UnitsBefehl(const Argumente& args);
int LayoutBefehl(const Argumente& args);
int RenderBefehl(const Argumente& args);
int PlotBefehl(const Argumente& args);
int ExportBefehl(const Argumente& args);

} // namespace kdcli
