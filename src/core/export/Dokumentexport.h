#pragma once
// A whole library as one web page (MathML) or one LaTeX document. Each formula is
// exported as the page sets it (Formelexport); the legend of a formula becomes its
// heading. Pictures go into the page as data URIs and beside the LaTeX document as
// files. All texts are UTF-8.
#include <cstdint>
#include <string>
#include <vector>

#include "core/library/Bibliothek.h"

namespace kd {

struct Exportdatei {
    std::string Name;                 // file name beside the document (UTF-8)
    std::vector<std::uint8_t> Daten;
};

struct Exportdokument {
    std::string Text;                   // the page or the document
    std::vector<Exportdatei> Dateien;   // the LaTeX document's pictures
    // One line per formula that could not be exported fully (UTF-8): a text that does
    // not parse (kept as plain text) or a picture that cannot be embedded.
    std::vector<std::string> Hinweise;
};

// `titel` is the library's name (Windows-1252).
Exportdokument HtmlSeite(const std::string& titel, const FormelListeTyp& liste);
// `bildstamm` starts the picture file names ("LIB" gives LIB-bild-3.jpg for formula 3).
Exportdokument LatexDokument(const std::string& titel, const FormelListeTyp& liste,
                             const std::string& bildstamm);

// Standard Base64 (RFC 4648) with padding.
std::string Base64(const std::vector<std::uint8_t>& daten);

} // namespace kd
