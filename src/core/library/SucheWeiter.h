#pragma once
// Searching again: the next formula after a given one that holds the search terms, so
// that repeated searches walk through every match instead of finding the first again.
#include "core/library/Suche.h"

namespace kd {

// Starts behind formula `formel` of list entry `bibliothek`: the rest of that library,
// then the libraries after it in list order, then from the first entry round to the
// start again; the start formula itself comes last (it is found when it is the only
// match). Files are read as SucheFormel reads them (FileError ends the search). Both
// terms absent, or `bibliothek` not an entry: no match.
Suchtreffer SucheNaechste(const std::vector<std::string>& bibliotheken,
                          const std::function<std::filesystem::path(const std::string&)>& pfad,
                          const Suchbegriffe& b, int bibliothek, int formel);

} // namespace kd
