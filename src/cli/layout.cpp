// layout and render: the typeset formula from the command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "Befehle.h"
#include "core/Errors.h"
#include "core/library/Bibliothek.h"
#include "core/numeric/Encoding.h"
#include "core/page/FixedMetricsDevice.h"
#include "core/page/Formelseite.h"
#include "core/typeset/Elementfabrik.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/Gleichung.h"
#include "core/typeset/TextObjekte.h"

#ifndef KD_CLI_QT
#define KD_CLI_QT 0
#endif
#if KD_CLI_QT
#include "QtAusgabe.h"
#endif

namespace kdcli {

namespace {

constexpr bool MitQt = KD_CLI_QT != 0;

bool AlsFormel(const std::string& utf8, std::string& cp1252) {
    if (!kd::Utf8ToCp1252(utf8, cp1252)) {
        Fehler(Abgelehnt, "der Text \"" + utf8 + "\" enth\xC3\xA4lt Zeichen, die in Formeln nicht "
                          "vorkommen k\xC3\xB6nnen (griechische Buchstaben werden als ~a, ~b, ... "
                          "geschrieben)");
        return false;
    }
    if (cp1252.size() > kd::KurzerStringMax) {
        Fehler(Abgelehnt, "eine Formel hat h\xC3\xB6" "chstens 255 Zeichen");
        return false;
    }
    return true;
}

std::string Rechteck(const kd::TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
           "," + std::to_string(r.Bottom);
}

void Zeile(int tiefe, const std::string& text) {
    const std::string z = std::string(std::size_t(2 * tiefe), ' ') + text + "\n";
    std::fwrite(z.data(), 1, z.size(), stdout);
}

// The tree depth first: a node, its first and second child, then its brackets.
void Baumzeigen(const kd::TDLine& e, int tiefe) {
    const std::string kopf = std::string(e.ClassName()) + " Tag=" + std::to_string(e.Tag) +
                             " ";
    if (const auto* k = dynamic_cast<const kd::TFormElem*>(&e)) {
        Zeile(tiefe, kopf + "Art=" + std::to_string(k->Art) + " Rect=" + Rechteck(e.Rect) +
                         " Achse=" + std::to_string(k->Achse) + " OpText=\"" +
                         kd::Cp1252ToUtf8(k->OpText) + "\"");
        const kd::TDLine* kinder[] = {k->Erstes.get(), k->Zweites.get(),
                                      k->HatKlammern ? k->KlammerLinks.get() : nullptr,
                                      k->HatKlammern ? k->KlammerRechts.get() : nullptr,
                                      k->HatSymbolKlammern ? k->SymbolKlammerLinks.get() : nullptr,
                                      k->HatSymbolKlammern ? k->SymbolKlammerRechts.get() : nullptr};
        for (const kd::TDLine* c : kinder)
            if (c) Baumzeigen(*c, tiefe + 1);
        return;
    }
    if (const auto* t = dynamic_cast<const kd::TDText*>(&e)) {
        Zeile(tiefe, kopf + "Rect=" + Rechteck(e.Rect) + " Text=\"" + kd::Cp1252ToUtf8(t->Text) +
                         "\"");
        return;
    }
    Zeile(tiefe, kopf + "Rect=" + Rechteck(e.Rect));
}

// Parses as the page does (collect mode, elements, the page's styles) and builds the
// tree on dc. On a parse error the message is printed and null returned.
std::unique_ptr<kd::TDLine> Aufbau(kd::Device& dc, const std::string& text, bool bedingung,
                                   int& code) {
    auto stile = std::make_shared<kd::TFormStyles>();
    kd::Elementfabrik fabrik(dc, stile);
    kd::TGleichung::Optionen o;
    o.Sammelmodus = true;
    o.Bedingungsmodus = bedingung;
    o.ElementeErzeugen = true;
    o.Stile = stile.get();
    o.Fabrik = &fabrik;
    kd::TGleichung g(o);
    int pos = 0, ende = 0;
    code = g.FormelLesen(text, "", "", 0, pos, ende);
    if (code != 0) {
        const std::string m = "Fehler " + std::to_string(code) + ": " +
                              kd::Cp1252ToUtf8(kd::Fehlertexte[code]) + "\n";
        std::fwrite(m.data(), 1, m.size(), stdout);
        return nullptr;
    }
    return g.FormelAufbau(dc, stile,
                          std::make_shared<kd::TPenBrushTyp>(kd::PS_SOLID, 0, 0, kd::BS_SOLID, 0, 0),
                          true, kd::TagFormElem);
}

const char LayoutHilfe[] =
    "Aufruf: kdformel-cli layout [--fixed-metrics] [--condition] TEXT\n"
    "Setzt TEXT wie die Formelseite (Sammelmodus, Formelstile der Seite) und zeigt den\n"
    "Elementbaum: ein Element je Zeile, je Ebene zwei Leerzeichen eingerueckt, Rect als\n"
    "Left,Top,Right,Bottom in 0,1 mm (y nach oben). Ein Knoten zeigt danach seine beiden\n"
    "Kinder und seine Klammern. --fixed-metrics misst mit festen Zeichenbreiten (jedes\n"
    "Zeichen halb so breit wie hoch), sonst wie der Bildschirm. --condition liest TEXT als\n"
    "Bedingung (a==b;und;c>0). Ein Lesefehler zeigt \"Fehler N: Meldung\" (Exit-Status 1).\n";

const char RenderHilfe[] =
    "Aufruf: kdformel-cli render (--formula TEXT | DATEI.pqb) -o AUSGABE [--zoom Z]\n"
    "Zeichnet eine Formel oder eine ganze Formelsammlung so, wie die Formelseite sie zeigt\n"
    "(Trennlinien, Ueberschriften, Bilder), als AUSGABE.svg, AUSGABE.pdf (Vektoren) oder\n"
    "AUSGABE.png. Z: Bildpunkte je 0,1 mm fuer PNG und SVG (Vorgabe 0,5); PDF hat die\n"
    "Originalgroesse. Exit-Status: 0 Erfolg, 1 abgelehnte Eingabe, 2 Dateifehler.\n";

} // namespace

int LayoutBefehl(const Argumente& args) {
    bool fest = !MitQt, bedingung = false, textDa = false;
    std::string text;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(LayoutHilfe, stdout);
            return Erfolg;
        }
        if (a == "--fixed-metrics") fest = true;
        else if (a == "--condition") bedingung = true;
        else if (!textDa) {
            if (!AlsFormel(a, text)) return Abgelehnt;
            textDa = true;
        } else {
            return Fehler(Abgelehnt, "zu viele Argumente (kdformel-cli layout --help)");
        }
    }
    if (!textDa) return Fehler(Abgelehnt, "TEXT fehlt (kdformel-cli layout --help)");
    auto arbeit = [&](kd::Device& dc) {
        int code = 0;
        auto baum = Aufbau(dc, text, bedingung, code);
        if (code != 0) return Abgelehnt;
        if (baum) Baumzeigen(*baum, 0);
        return Erfolg;
    };
    if (fest) {
        kd::FixedMetricsDevice dc;
        dc.RecordMeasurements = false;
        return arbeit(dc);
    }
#if KD_CLI_QT
    return MitQtMessung(arbeit);
#else
    return Erfolg;
#endif
}

int RenderBefehl(const Argumente& args) {
    std::string formel, bibliothek, ausgabe;
    bool formelDa = false;
    double zoom = 0.5;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(RenderHilfe, stdout);
            return Erfolg;
        }
        const bool mitWert = a == "--formula" || a == "-o" || a == "--zoom";
        if (mitWert && i + 1 >= args.size())
            return Fehler(Abgelehnt, a + " braucht einen Wert (kdformel-cli render --help)");
        if (a == "--formula") {
            if (!AlsFormel(args[++i], formel)) return Abgelehnt;
            formelDa = true;
        } else if (a == "-o") {
            ausgabe = args[++i];
        } else if (a == "--zoom") {
            std::string z = args[++i];
            std::replace(z.begin(), z.end(), ',', '.');
            char* ende = nullptr;
            zoom = std::strtod(z.c_str(), &ende);
            if (!ende || *ende != '\0' || !(zoom > 0.01) || zoom > 20)
                return Fehler(Abgelehnt, "--zoom braucht eine Zahl zwischen 0,01 und 20");
        } else if (!a.empty() && a[0] == '-') {
            return Fehler(Abgelehnt, "unbekannte Option " + a + " (kdformel-cli render --help)");
        } else if (bibliothek.empty()) {
            bibliothek = a;
        } else {
            return Fehler(Abgelehnt, "zu viele Argumente (kdformel-cli render --help)");
        }
    }
    if (formelDa == !bibliothek.empty())
        return Fehler(Abgelehnt, "entweder --formula TEXT oder eine DATEI.pqb angeben");
    if (ausgabe.empty()) return Fehler(Abgelehnt, "-o AUSGABE fehlt (kdformel-cli render --help)");
    const std::string endung = ausgabe.size() >= 4 ? ausgabe.substr(ausgabe.size() - 4) : "";
    if (endung != ".svg" && endung != ".png" && endung != ".pdf")
        return Fehler(Abgelehnt, "AUSGABE muss auf .svg, .png oder .pdf enden");
#if !KD_CLI_QT
    (void)zoom;
    return Fehler(Abgelehnt, "render ist in dieser Ausgabe ohne Qt gebaut und nicht verf\xC3\xBCgbar "
                             "(layout --fixed-metrics geht)");
#else
    if (formelDa) {
        std::unique_ptr<kd::TDLine> baum;
        auto aufbauen = [&](kd::Device& dc, kd::TRect& bereich) {
            int code = 0;
            baum = Aufbau(dc, formel, false, code);
            if (code != 0) return Abgelehnt;
            if (!baum) return Abgelehnt;
            constexpr std::int32_t rand = 20;
            baum->MovePosRel(rand - baum->Rect.Left, rand - baum->Rect.Bottom);
            bereich = {0, baum->Rect.Top + rand, baum->Rect.Right + rand, 0};
            return Erfolg;
        };
        return QtRendern(ausgabe, zoom, aufbauen, [&](kd::Device& dc) {
            dc.FillRect(kd::TRect{-100000, 100000, 100000, -100000}, kd::WhiteBrush());
            baum->Draw(dc);
        });
    }
    kd::FormelListeTyp liste;
    try {
        kd::LiesBibliothek(bibliothek, liste);
    } catch (const kd::FileError& e) {
        return FehlerCp1252(Dateifehler, e.what());
    }
    std::vector<std::string> texte;
    for (const auto& f : liste) texte.push_back(f->FormelText);
    kd::TFormelseite seite;
    auto stile = std::make_shared<kd::TFormStyles>();
    std::unique_ptr<kd::Seitenbilder> bilder;
    auto aufbauen = [&](kd::Device& dc, kd::TRect& bereich) {
        bilder = QtBilder(liste);
        seite.Zeichnen(dc, texte, stile, bilder.get());
        std::int32_t rechts = 2100;
        for (int i = 0; i < seite.Anzahl; ++i)
            rechts = std::max(rechts, seite.BildBreite + 25 + seite.FormelPos[std::size_t(i)].Breite + 50);
        bereich = {0, kd::TFormelseite::Seitenoben, rechts, seite.Ende - 50};
        return Erfolg;
    };
    return QtRendern(ausgabe, zoom, aufbauen,
                     [&](kd::Device& dc) { seite.Zeichnen(dc, texte, stile, bilder.get()); });
#endif
}

} // namespace kdcli
