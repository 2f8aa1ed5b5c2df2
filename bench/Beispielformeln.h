#pragma once
// The benches' library: the formulas of the example libraries (KD_SOURCE_DIR/resources/
// libraries/*.txt, comment lines left out), repeated up to the page's 251 formulas, as
// stored (Windows-1252). Empty when the sources are not found.
#include <fstream>
#include <string>
#include <vector>

#include "core/numeric/Encoding.h"
#include "core/page/Formelseite.h"

namespace kdbench {

inline std::vector<std::string> Beispielformeln(int anzahl = 251) {
    std::vector<std::string> quelle;
    for (const char* name : {"Mathematik", "Physik"}) {
        std::ifstream in(std::string(KD_SOURCE_DIR) + "/resources/libraries/" + name + ".txt");
        std::string zeile;
        while (std::getline(in, zeile)) {
            if (zeile.empty() || zeile[0] == '#') continue;
            std::string text;
            if (kd::Utf8ToCp1252(zeile, text)) quelle.push_back(text);
        }
    }
    std::vector<std::string> texte;
    for (int i = 0; !quelle.empty() && i < anzahl; ++i)
        texte.push_back(quelle[std::size_t(i) % quelle.size()]);
    return texte;
}

} // namespace kdbench
