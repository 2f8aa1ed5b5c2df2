// kdformel-cli export: formulas as LaTeX or MathML, a library as a web page or a LaTeX
// document.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "Befehle.h"
#include "core/Errors.h"
#include "core/export/Dokumentexport.h"
#include "core/export/Formelexport.h"
#include "core/library/Bibliothek.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"

namespace kdcli {

namespace {

const char kHilfe[] =
    "Aufruf:\n"
    "  kdformel-cli export --latex|--mathml --formula TEXT [--condition]\n"
    "  kdformel-cli export --latex|--mathml DATEI.pqb\n"
    "      eine Zeile je Formel: LaTeX (Mathematikmodus, ohne $) oder ein <math>-Element.\n"
    "      Eine Formel, die sich nicht lesen l\xC3\xA4sst, gibt eine leere Zeile und eine\n"
    "      Meldung auf stderr (Exit-Status 1).\n"
    "  kdformel-cli export --html DATEI.pqb -o SEITE.html\n"
    "      die ganze Formelsammlung als eine Webseite (MathML, Bilder eingebettet).\n"
    "  kdformel-cli export --latex DATEI.pqb -o DOKUMENT.tex\n"
    "      die ganze Formelsammlung als LaTeX-Dokument; Bilder als DOKUMENT-bild-N.jpg daneben.\n"
    "Texte sind UTF-8. Exit-Status: 0 Erfolg, 1 abgelehnte Eingabe, 2 Dateifehler.\n";

bool Schreiben(const std::filesystem::path& pfad, const std::string& text) {
    std::ofstream aus(pfad, std::ios::binary | std::ios::trunc);
    aus.write(text.data(), std::streamsize(text.size()));
    aus.close();
    return bool(aus);
}

void Zeile(const std::string& s) {
    std::fwrite(s.data(), 1, s.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int ExportBefehl(const Argumente& args) {
    enum { Keins, Latex, MathML, Html } art = Keins;
    std::string formel, datei, ausgabe;
    bool hatFormel = false, bedingung = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kHilfe, stdout);
            return Erfolg;
        }
        if (a == "--latex" || a == "--mathml" || a == "--html") {
            if (art != Keins) return Fehler(Abgelehnt, "nur eine von --latex, --mathml, --html");
            art = a == "--latex" ? Latex : a == "--mathml" ? MathML : Html;
        } else if (a == "--formula" || a == "-o") {
            if (i + 1 >= args.size()) return Fehler(Abgelehnt, a + " ohne Wert");
            if (a == "-o") ausgabe = args[++i];
            else formel = args[++i], hatFormel = true;
        } else if (a == "--condition") {
            bedingung = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return Fehler(Abgelehnt, "unbekannte Option " + a + " (kdformel-cli export --help)");
        } else if (datei.empty()) {
            datei = a;
        } else {
            return Fehler(Abgelehnt, "mehr als eine Datei");
        }
    }
    if (art == Keins) return Fehler(Abgelehnt, "--latex, --mathml oder --html fehlt (kdformel-cli export --help)");
    if (hatFormel == !datei.empty())
        return Fehler(Abgelehnt, "entweder --formula TEXT oder eine DATEI.pqb");

    if (hatFormel) {
        if (art == Html || !ausgabe.empty())
            return Fehler(Abgelehnt, "--html und -o gelten nur f\xC3\xBCr eine ganze Formelsammlung");
        std::string text;
        if (!kd::Utf8ToCp1252(formel, text) || text.size() > kd::KurzerStringMax)
            return Fehler(Abgelehnt, "der Text l\xC3\xA4sst sich nicht als Formel schreiben "
                                     "(Windows-1252, h\xC3\xB6" "chstens 255 Zeichen)");
        kd::ExportOptionen o;
        o.Bedingung = bedingung;
        const kd::Formelexport e = kd::FormelExportieren(text, o);
        if (!e.Ok())
            return Fehler(Abgelehnt, "Fehler " + std::to_string(e.Code) + ": " +
                                         kd::Cp1252ToUtf8(kd::Fehlertexte[e.Code]) + " (Position " +
                                         std::to_string(e.FehlerPos) + ")");
        Zeile(art == Latex ? e.Latex : e.MathML);
        return Erfolg;
    }

    kd::FormelListeTyp liste;
    try {
        kd::LiesBibliothek(datei, liste);
    } catch (const kd::FileError& f) {
        return FehlerCp1252(Dateifehler, f.what());
    }
    if (art == Html || !ausgabe.empty()) {
        if (ausgabe.empty()) return Fehler(Abgelehnt, "-o DATEI fehlt");
        if (art == MathML) return Fehler(Abgelehnt, "-o gilt f\xC3\xBCr --html und --latex");
        const std::filesystem::path ziel(ausgabe);
        std::string titel;
        kd::Utf8ToCp1252(std::filesystem::path(kd::MitBibEndung(datei)).stem().string(), titel);
        const kd::Exportdokument d = art == Html
                                         ? kd::HtmlSeite(titel, liste)
                                         : kd::LatexDokument(titel, liste, ziel.stem().string());
        for (const auto& h : d.Hinweise) Fehler(0, h);
        if (!Schreiben(ziel, d.Text)) return Fehler(Dateifehler, ausgabe + " l\xC3\xA4sst sich nicht schreiben");
        for (const auto& b : d.Dateien) {
            const std::filesystem::path p = ziel.parent_path() / b.Name;
            if (!Schreiben(p, std::string(b.Daten.begin(), b.Daten.end())))
                return Fehler(Dateifehler, p.string() + " l\xC3\xA4sst sich nicht schreiben");
        }
        return Erfolg;
    }
    int code = Erfolg;
    for (int i = 0; i < liste.Count(); ++i) {
        const kd::Formelexport e = kd::FormelExportieren(liste[i]->FormelText);
        if (!e.Ok()) {
            Fehler(0, "Formel " + std::to_string(i) + ": Fehler " + std::to_string(e.Code) + ": " +
                          kd::Cp1252ToUtf8(kd::Fehlertexte[e.Code]));
            code = Abgelehnt;
        }
        Zeile(art == Latex ? e.Latex : e.MathML);
    }
    return code;
}

} // namespace kdcli
