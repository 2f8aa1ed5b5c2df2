#pragma once
// Opening a library file named on the command line (the desktop's "open with").
//
// A file in the library folder is listed (when it is not yet) and made current. A file
// elsewhere is copied into the library folder after the user agreed, under a name that
// no library there has yet, and then made current; an identical copy already in the
// folder is opened without copying again. A file that is missing or is no readable
// library is refused before anything changes.
#include <filesystem>
#include <string>

#include "core/library/Sammlung.h"

namespace kd {

enum class OeffnenArt {
    Aktuell,   // the file is the current library: nothing to load
    Auflisten, // in the library folder: listed (when not yet) and loaded
    Kopieren,  // elsewhere: to be copied into the folder as Ziel, after asking
};

struct OeffnenPlan {
    OeffnenArt Art = OeffnenArt::Auflisten;
    std::string Name;             // list name (Windows-1252) it will carry
    std::filesystem::path Quelle; // the file named, absolute
    std::filesystem::path Ziel;   // the library file in the folder
};

// Decides how `datei` (relative paths from `arbeitsVerz`) comes into the collection `s`.
// Reads the file to check it is a library. Throws FileError (German, Windows-1252) when
// it does not exist, is a folder, or cannot be read as a library.
OeffnenPlan PlaneOeffnen(const Formelsammlung& s, const std::filesystem::path& datei,
                         const std::filesystem::path& arbeitsVerz);

// Carries the plan out: asks through s.Frage before copying (only Ja copies), saves the
// current library as a switch does, loads the file and puts it at the top of the list.
// Returns false when the user declined (nothing changed). Throws FileError when the
// copy, the save of the current library or the load fails.
bool OeffneBibliothek(Formelsammlung& s, const std::filesystem::path& datei,
                      const std::filesystem::path& arbeitsVerz);

// The question asked before a file is copied into the library folder.
std::string KopierFrage(const OeffnenPlan& p);

} // namespace kd
