#include "core/export/Dokumentexport.h"

#include <span>

#include "core/export/Formelexport.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "core/pictures/Bilder.h"
#include "core/pictures/Jpeg.h"

namespace kd {

namespace {

// The picture of a record as JPEG bytes: a JPEG as it is stored, a bitmap encoded;
// empty for a metafile or a picture that does not decode.
std::vector<std::uint8_t> AlsJpeg(const TFormelBiblio& f) {
    if (f.BildTyp == BildJpeg) {
        if (!DekodiereBild(f.BildTyp, std::span<const std::uint8_t>(f.Bild))) return {};
        return f.Bild;
    }
    if (f.BildTyp == BildBitmap) {
        const auto b = DekodiereBild(f.BildTyp, std::span<const std::uint8_t>(f.Bild));
        if (b && !b->Raster.Empty()) return KodiereJpeg(b->Raster, 95);
    }
    return {};
}

std::string Nummer(std::size_t i) { return std::to_string(i + 1); }

std::string Bildhinweis(std::size_t i, const TFormelBiblio& f) {
    return "Formel " + Nummer(i) +
           (f.BildTyp == BildMetadatei
                ? ": das Bild ist eine Windows-Metadatei und wird nicht \xC3\xBC" "bernommen"
                : ": das Bild l\xC3\xA4sst sich nicht lesen und wird nicht \xC3\xBC" "bernommen");
}

std::string Fehlerhinweis(std::size_t i, int code) {
    return "Formel " + Nummer(i) + ": " + Cp1252ToUtf8(Fehlertexte[code]) +
           " (als Text \xC3\xBC" "bernommen)";
}

} // namespace

std::string Base64(const std::vector<std::uint8_t>& d) {
    static const char z[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string s;
    s.reserve((d.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < d.size(); i += 3) {
        const std::uint32_t v = (std::uint32_t(d[i]) << 16) | (std::uint32_t(d[i + 1]) << 8) | d[i + 2];
        s += z[(v >> 18) & 63];
        s += z[(v >> 12) & 63];
        s += z[(v >> 6) & 63];
        s += z[v & 63];
    }
    if (i + 1 == d.size()) {
        const std::uint32_t v = std::uint32_t(d[i]) << 16;
        s += z[(v >> 18) & 63];
        s += z[(v >> 12) & 63];
        s += "==";
    } else if (i + 2 == d.size()) {
        const std::uint32_t v = (std::uint32_t(d[i]) << 16) | (std::uint32_t(d[i + 1]) << 8);
        s += z[(v >> 18) & 63];
        s += z[(v >> 12) & 63];
        s += z[(v >> 6) & 63];
        s += '=';
    }
    return s;
}

Exportdokument HtmlSeite(const std::string& titel, const FormelListeTyp& liste) {
    Exportdokument d;
    const std::string t = XmlText(titel);
    std::string& s = d.Text;
    s = "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + t +
        "</title>\n<style>\n"
        "body { font-family: \"Liberation Sans\", Arial, sans-serif; max-width: 50em; "
        "margin: 2em auto; padding: 0 1em; color: #000; background: #fff; }\n"
        "section { border-top: 1px solid #bbb; padding: 0.5em 0 1em; }\n"
        "h2 { font-size: 1.1em; font-weight: normal; color: #555; }\n"
        "math { font-size: 1.3em; font-family: math; }\n"
        "img { display: block; margin: 0.5em auto; max-width: 100%; }\n"
        "pre { color: #a00; white-space: pre-wrap; }\n"
        "</style>\n</head>\n<body>\n<h1>" + t + "</h1>\n";
    for (int i = 0; i < liste.Count(); ++i) {
        const TFormelBiblio& f = *liste[i];
        ExportOptionen o;
        o.LegendeAlsTitel = true;
        o.Alttext = f.FormelText;
        const Formelexport e = FormelExportieren(f.FormelText, o);
        s += "<section id=\"formel-" + Nummer(std::size_t(i)) + "\">\n<h2>" +
             (e.LegendeHtml.empty() ? "Formel " + Nummer(std::size_t(i)) : e.LegendeHtml) + "</h2>\n";
        if (e.Ok()) {
            s += e.MathML + "\n";
        } else {
            s += "<pre>" + XmlText(f.FormelText) + "</pre>\n";
            d.Hinweise.push_back(Fehlerhinweis(std::size_t(i), e.Code));
        }
        if (f.BildTyp > 0 && !f.Bild.empty()) {
            const std::vector<std::uint8_t> jpeg = AlsJpeg(f);
            if (!jpeg.empty())
                s += "<img src=\"data:image/jpeg;base64," + Base64(jpeg) + "\" alt=\"Bild zu Formel " +
                     Nummer(std::size_t(i)) + "\">\n";
            else
                d.Hinweise.push_back(Bildhinweis(std::size_t(i), f));
        }
        s += "</section>\n";
    }
    s += "</body>\n</html>\n";
    return d;
}

Exportdokument LatexDokument(const std::string& titel, const FormelListeTyp& liste,
                             const std::string& bildstamm) {
    Exportdokument d;
    std::string& s = d.Text;
    s = "\\documentclass{article}\n"
        "\\usepackage[utf8]{inputenc}\n"
        "\\usepackage[T1]{fontenc}\n"
        "\\usepackage{amsmath}\n"
        "\\usepackage{graphicx}\n"
        "\\title{" + LatexTextmodus(titel) + "}\n"
        "\\date{}\n"
        "\\begin{document}\n"
        "\\maketitle\n";
    for (int i = 0; i < liste.Count(); ++i) {
        const TFormelBiblio& f = *liste[i];
        ExportOptionen o;
        o.LegendeAlsTitel = true;
        const Formelexport e = FormelExportieren(f.FormelText, o);
        s += "\n\\section*{" +
             (e.LegendeLatex.empty() ? "Formel " + Nummer(std::size_t(i)) : e.LegendeLatex) + "}\n";
        if (e.Ok()) {
            s += "\\begin{equation*}\n" + e.Latex + "\n\\end{equation*}\n";
        } else {
            s += "\\noindent\\texttt{" + LatexTextmodus(f.FormelText) + "}\n";
            d.Hinweise.push_back(Fehlerhinweis(std::size_t(i), e.Code));
        }
        if (f.BildTyp > 0 && !f.Bild.empty()) {
            std::vector<std::uint8_t> jpeg = AlsJpeg(f);
            if (!jpeg.empty()) {
                const std::string name = bildstamm + "-bild-" + Nummer(std::size_t(i)) + ".jpg";
                s += "\\begin{center}\n\\includegraphics[width=0.6\\linewidth,keepaspectratio]{" +
                     name + "}\n\\end{center}\n";
                d.Dateien.push_back({name, std::move(jpeg)});
            } else {
                d.Hinweise.push_back(Bildhinweis(std::size_t(i), f));
            }
        }
    }
    s += "\n\\end{document}\n";
    return d;
}

} // namespace kd
