#pragma once
// A formula as LaTeX and as MathML presentation markup, for pasting into documents as
// an editable equation. The formula is parsed and set exactly as the page sets it (the
// real leaves, FormelAufbau on a fixed-metrics device), and the finished element tree
// is walked: every fraction, root, power, sum sign and pair of brackets the page shows
// is exported, and nothing the page leaves out is added. Output texts are UTF-8.
#include <string>

namespace kd {

struct ExportOptionen {
    // Parses the text as a condition (comparisons joined by und/oder) as the
    // condition line does.
    bool Bedingung = false;
    // A legend ("{...}") that closes the whole formula is handed back in Legende
    // instead of being set under the formula (documents show it as a heading).
    bool LegendeAlsTitel = false;
    // Written as the alttext attribute of the <math> element (Windows-1252; empty:
    // none).
    std::string Alttext;
};

struct Formelexport {
    int Code = 0;        // the parser's error code; 0 = exported
    int FehlerPos = 0;   // where the parser stopped (1-based)
    std::string Latex;   // math-mode LaTeX without delimiters (KaTeX and amsmath)
    std::string MathML;  // one <math display="block"> element
    // With LegendeAlsTitel: the legend as plain text, as HTML (<sub>, <sup>) and as
    // LaTeX running text; else empty.
    std::string Legende, LegendeHtml, LegendeLatex;
    bool Ok() const { return Code == 0; }
};

// `text` is a formula in the notation (Windows-1252).
Formelexport FormelExportieren(const std::string& text, const ExportOptionen& o = {});

// A Windows-1252 text as UTF-8 for LaTeX text mode: the characters LaTeX treats
// specially (\ { } $ & # % _ ^ ~) are escaped.
std::string LatexTextmodus(const std::string& cp1252);
// A Windows-1252 text as UTF-8 XML character data (also fit for attribute values).
std::string XmlText(const std::string& cp1252);
// A UTF-8 text escaped for XML.
std::string XmlEscape(const std::string& utf8);

} // namespace kd
