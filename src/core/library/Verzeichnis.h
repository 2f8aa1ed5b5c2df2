#pragma once
// Where the program keeps its files on Linux, the list of libraries and the order file.
#include <filesystem>
#include <string>
#include <vector>

namespace kd {

struct Verzeichnisse {
    std::filesystem::path ProgVerz;  // the program folder (order file, Formel.tmp)
    std::filesystem::path BibVerz;   // the library folder: ProgVerz or ProgVerz/Formelsammlung
    bool NeuAngelegt = false;        // ProgVerz did not exist and was created (first start)
};

struct Umgebung {
    std::filesystem::path ExeVerz;      // folder of the executable
    std::string KdformelHome;           // $KDFORMEL_HOME, empty when unset
    std::string XdgDataHome;            // $XDG_DATA_HOME, empty when unset
    std::string Home;                   // $HOME
    std::filesystem::path BeispielVerz; // example .pqb files to copy on first start (may be empty)
};

// Reads the variables of the process environment into an Umgebung.
Umgebung AktuelleUmgebung(const std::filesystem::path& exeVerz,
                          const std::filesystem::path& beispielVerz);

// ProgVerz: KDFORMEL_HOME when set; else the executable's folder when it holds
// KDFormel.MFL, a Formelsammlung folder or .pqb files (portable use); else
// $XDG_DATA_HOME/KDFormel (default ~/.local/share/KDFormel). A ProgVerz that does not
// exist yet is created, with a Formelsammlung folder seeded from BeispielVerz.
// BibVerz is ProgVerz/Formelsammlung when that folder exists.
Verzeichnisse ErmittleVerzeichnisse(const Umgebung& u);

// Names (Windows-1252, without ".pqb") of the *.pqb files of the folder, in name order;
// names beginning with "." and names that have no Windows-1252 form are left out.
std::vector<std::string> GefundeneBibliotheken(const std::filesystem::path& bibVerz);

// Lines of the order file (Windows-1252, CR LF or LF); empty when it does not exist.
std::vector<std::string> LiesReihenfolge(const std::filesystem::path& mflDatei);

// The list as it is shown: the order file's lines when it has at least one line and the
// sum of its line lengths equals the sum of the found names' lengths (empty lines, which
// name no library, are then left out); else the found names.
std::vector<std::string> BibliotheksListe(const std::vector<std::string>& reihenfolge,
                                          const std::vector<std::string>& gefunden);

// Writes the names one per line with CR LF (atomically). Returns false on failure.
bool SchreibeReihenfolge(const std::filesystem::path& mflDatei,
                         const std::vector<std::string>& namen);

// The native path of library `name` (Windows-1252) in `bibVerz`, with ".pqb".
std::filesystem::path BibPfad(const std::filesystem::path& bibVerz, const std::string& name);

} // namespace kd
