#pragma once
// The search over all libraries: the first formula, in list order, whose text holds
// both terms. A term that is empty or only blanks counts as absent; the tests are
// plain, case-sensitive substring tests on the whole text, comment included.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/library/Bibliothek.h"

namespace kd {

// The two search terms, kept for the program run (Windows-1252 formula text).
struct Suchbegriffe {
    std::string Titel;
    std::string Formel;
};
// The terms of this program run; empty at start.
Suchbegriffe& GemerkteSuchbegriffe();

// Whether the term counts as absent.
bool BegriffLeer(const std::string& begriff);
// Whether a formula text matches the terms.
bool FormelPasst(const std::string& formelText, const Suchbegriffe& b);

struct Suchtreffer {
    bool Gefunden = false;
    int Bibliothek = -1;  // entry of the library list
    int Formel = -1;      // record in that library
};

// Searches the libraries in list order; `pfad` gives the file of list entry i. Each
// file is read whole (LiesBibliothek); one that cannot be read throws FileError and
// ends the search. Both terms absent: nothing is read, no match.
Suchtreffer SucheFormel(const std::vector<std::string>& bibliotheken,
                        const std::function<std::filesystem::path(const std::string&)>& pfad,
                        const Suchbegriffe& b);

} // namespace kd
