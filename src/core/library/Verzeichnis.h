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

// Names (Windows-1252, without ".pqb") of the *.pqb files of the folder (the ending in
// any case), in name order, each once; names beginning with ".", names that have no
// Windows-1252 form and names with control characters are left out.
std::vector<std::string> GefundeneBibliotheken(const std::filesystem::path& bibVerz);

// Lines of the order file (Windows-1252, CR LF or LF); empty when it does not exist.
std::vector<std::string> LiesReihenfolge(const std::filesystem::path& mflDatei);

// The list as it is shown: the order file's lines that name a found library, in the
// order file's order and each once, followed by the found libraries it does not name
// (in name order). Lines naming no found library (renamed or removed files, empty
// lines) are left out, so every library in the folder can be reached.
std::vector<std::string> BibliotheksListe(const std::vector<std::string>& reihenfolge,
                                          const std::vector<std::string>& gefunden);

// Writes the names one per line with CR LF (atomically). Returns false on failure.
bool SchreibeReihenfolge(const std::filesystem::path& mflDatei,
                         const std::vector<std::string>& namen);

// The native path of library `name` (Windows-1252) in `bibVerz`: the name with ".pqb"
// appended, or the existing file of that name whose ending differs only in case.
std::filesystem::path BibPfad(const std::filesystem::path& bibVerz, const std::string& name);

} // namespace kd
