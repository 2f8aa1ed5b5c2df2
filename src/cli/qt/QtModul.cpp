// The Qt module of kdformel-cli: layout measured like the screen, and render into
// SVG, PDF and PNG files. The tool loads it for these two commands only.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "../Befehle.h"
#include "../Satz.h"
#include "QtAusgabe.h"
#include "core/Errors.h"
#include "core/library/Bibliothek.h"
#include "core/numeric/Encoding.h"
#include "core/page/Formelseite.h"
#include "core/page/TextSys.h"
#include "core/pictures/Seitenbilder.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/Stile.h"

// print
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <filesystem>

#include "core/page/Druckseiten.h"
#include "core/page/KDGData.h"
#include "gui/platform/QtDevice.h"

namespace kdcli {

// The module's own messages, as the tool writes them.
int Fehler(int code, std::string_view utf8) {
    std::fprintf(stderr, "kdformel-cli: %.*s\n", int(utf8.size()), utf8.data());
    return code;
}

int FehlerCp1252(int code, std::string_view cp1252) {
    return Fehler(code, kd::Cp1252ToUtf8(cp1252));
}

namespace {

// One formula as the page shows it: a heading comment ("{...}" at the end) above the
// formula, 25 units over its top, as the page draws it.
int FormelRendern(const std::string& text, const std::string& ausgabe, double zoom) {
    std::unique_ptr<kd::TDLine> baum;
    std::string formel, kommentar;
    bool hatKommentar = false;
    kd::FormelUndKommentar(text, formel, kommentar, hatKommentar);
    auto stile = std::make_shared<kd::TFormStyles>();
    constexpr std::int32_t rand = 20, ueberFormel = 25;
    auto aufbauen = [&](kd::Device& dc, kd::TRect& bereich) {
        int code = 0;
        baum = FormelSetzen(dc, formel, false, code);
        if (code != 0 || !baum) return Abgelehnt;
        // The formula 25 right of the heading's start, as on the page.
        baum->MovePosRel(kd::TFormelseite::RandOhneBild + 25 - baum->Rect.Left,
                         rand - baum->Rect.Bottom);
        bereich = {kd::TFormelseite::RandOhneBild - rand, baum->Rect.Top + rand,
                   baum->Rect.Right + rand, 0};
        if (hatKommentar) {
            const kd::TRect k = kd::MeasureFormattedText(dc, kd::TFormelseite::RandOhneBild,
                                                         baum->Rect.Top + ueberFormel, 0, *stile,
                                                         kommentar);
            const kd::TRect n = kd::NormalizeRect(k);
            bereich.Top = std::max(bereich.Top, n.Top + rand);
            bereich.Right = std::max(bereich.Right, n.Right + rand);
        }
        return Erfolg;
    };
    return QtRendern(ausgabe, zoom, aufbauen, [&](kd::Device& dc) {
        if (hatKommentar)
            kd::FormelKommentarZeichnen(dc, *stile, kommentar, baum->Rect.Top + ueberFormel);
        baum->Draw(dc);
    });
}

int BibliothekRendern(const std::string& pfad, const std::string& ausgabe, double zoom) {
    kd::FormelListeTyp liste;
    try {
        kd::LiesBibliothek(pfad, liste);
    } catch (const kd::FileError& e) {
        return FehlerCp1252(Dateifehler, e.what());
    }
    std::vector<std::string> texte;
    for (const auto& f : liste) texte.push_back(f->FormelText);
    kd::TFormelseite seite;
    auto stile = std::make_shared<kd::TFormStyles>();
    // The pictures as the window and printing draw them (JPEG, bitmaps, metafiles).
    kd::ListenBilder bilder(liste);
    auto aufbauen = [&](kd::Device& dc, kd::TRect& bereich) {
        seite.Zeichnen(dc, texte, stile, &bilder);
        std::int32_t rechts = 2100;
        for (int i = 0; i < seite.Anzahl; ++i)
            rechts = std::max(rechts,
                              seite.BildBreite + 25 + seite.FormelPos[std::size_t(i)].Breite + 50);
        bereich = {0, kd::TFormelseite::Seitenoben, rechts, seite.Ende - 50};
        return Erfolg;
    };
    // The second paint draws the trees laid out by the first.
    return QtRendern(ausgabe, zoom, aufbauen,
                     [&](kd::Device& dc) { seite.Zeichnen(dc, texte, stile, &bilder); });
}

} // namespace

} // namespace kdcli

extern "C" {

__attribute__((visibility("default"))) int kdcli_qt_layout(const char* text, int bedingung) {
    return kdcli::MitQtMessung([&](kd::Device& dc) {
        int code = 0;
        auto baum = kdcli::FormelSetzen(dc, text, bedingung != 0, code);
        if (code != 0) return kdcli::Abgelehnt;
        if (baum) kdcli::BaumZeigen(*baum);
        return kdcli::Erfolg;
    });
}

__attribute__((visibility("default"))) int kdcli_qt_render(const char* quelle, int istFormel,
                                                           const char* ausgabe, double zoom,
                                                           int symbolKlammern) {
    kd::SymbolKlammer() = symbolKlammern != 0;
    if (istFormel) return kdcli::FormelRendern(quelle, ausgabe, zoom);
    return kdcli::BibliothekRendern(quelle, ausgabe, zoom);
}

} // extern "C"

// Both entry points have the types the tool looks them up with.
static_assert(std::is_same_v<decltype(&kdcli_qt_layout), kdcli::QtLayoutFunktion>);
static_assert(std::is_same_v<decltype(&kdcli_qt_render), kdcli::QtRenderFunktion>);

// ---------------------------------------------------------------------------
// print: the library printed as the program prints it, onto A4 sheets of a PDF file
// without unprintable border.

namespace kdcli {

namespace {

int BibliothekDrucken(const std::string& pfad, const std::string& ausgabe, int kopien) {
    kd::FormelListeTyp liste;
    try {
        kd::LiesBibliothek(pfad, liste);
    } catch (const kd::FileError& e) {
        return FehlerCp1252(Dateifehler, e.what());
    }
    std::vector<std::string> texte;
    for (const auto& f : liste) texte.push_back(f->FormelText);
    kd::ListenBilder bilder(liste);
    // The application object the fonts need comes with the measuring device.
    return MitQtMessung([&](kd::Device&) {
        QPdfWriter pdf(QString::fromLocal8Bit(ausgabe.c_str()));
        const std::string name = std::filesystem::path(pfad).stem().string();
        pdf.setTitle(QStringLiteral("Pexaplan 5.0 - [") + QString::fromLocal8Bit(name.c_str()) +
                     QStringLiteral("]"));
        pdf.setCreator(QStringLiteral("KALDORA Formelsammlung"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
        pdf.setResolution(600);
        QPainter maler;
        if (!maler.begin(&pdf))
            return Fehler(Dateifehler, "kann " + ausgabe + " nicht schreiben");
        maler.setRenderHint(QPainter::Antialiasing);
        maler.setRenderHint(QPainter::TextAntialiasing);
        kd::QtDevice dc(&maler);
        kd::Druckauftrag a;
        a.Texte = &texte;
        a.Bilder = &bilder;
        a.Seitenstil.RandLinks = 200;  // as the main window sets its option record
        a.Kopien = kopien;
        a.NeueSeite = [&pdf] { pdf.newPage(); };
        const kd::Druckergebnis e = kd::FormelsammlungDrucken(dc, a);
        dc.End();
        if (!maler.end()) return Fehler(Dateifehler, "kann " + ausgabe + " nicht schreiben");
        if (!e.Gedruckt) return Fehler(Dateifehler, "keine bedruckbare Fl\xC3\xA4" "che");
        std::printf("%d\n", e.Seiten);
        return Erfolg;
    });
}

} // namespace

} // namespace kdcli

extern "C" __attribute__((visibility("default"))) int kdcli_qt_print(const char* bibliothek,
                                                                   const char* ausgabe,
                                                                   int kopien) {
    return kdcli::BibliothekDrucken(bibliothek, ausgabe, kopien);
}
