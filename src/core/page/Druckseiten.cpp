#include "core/page/Druckseiten.h"

#include <algorithm>
#include <memory>

#include "core/device/Rounding.h"
#include "core/device/Stile.h"
#include "core/device/VirtPntBox.h"
#include "core/notation/Gleichung.h"
#include "core/page/Formelseite.h"
#include "core/page/KDGPrinter.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelsatz.h"

namespace kd {

namespace {

constexpr TColor Druckfarbe = RGB(128, 128, 128);
constexpr std::int32_t Oben = TFormelseite::Seitenoben;

// Printing is set for the job and given back as it was, also when drawing throws.
class Druckzustand {
public:
    Druckzustand() : alt_(DrawingState().Printing), altMeta_(DrawingState().MetafileOutput) {
        DrawingState().Printing = true;
        DrawingState().MetafileOutput = false;
    }
    ~Druckzustand() {
        DrawingState().Printing = alt_;
        DrawingState().MetafileOutput = altMeta_;
    }
    Druckzustand(const Druckzustand&) = delete;
    Druckzustand& operator=(const Druckzustand&) = delete;

private:
    bool alt_, altMeta_;
};

void Trennlinie(Device& dc, std::int32_t y, std::int32_t breite) {
    dc.SelectPen(LogPen{PS_SOLID, 0, 0, Druckfarbe});
    dc.MoveTo(0, y);
    dc.LineTo(breite, y);
}

Device* Referenz() {
    TVirtPntBox* pb = DrawingState().CurrentPaintBox;
    return pb ? pb->Canvas() : nullptr;
}

} // namespace

Druckergebnis FormelsammlungDrucken(Device& drucker, const Druckauftrag& auftrag) {
    Druckergebnis ergebnis;
    static const std::vector<std::string> keine;
    const std::vector<std::string>& texte = auftrag.Texte ? *auftrag.Texte : keine;
    const int n = static_cast<int>(texte.size());
    const std::int32_t breite = auftrag.Seitenstil.DruckBreite();

    // The picture column as on the screen page.
    std::int32_t bildBreite = TFormelseite::RandOhneBild;
    if (auftrag.Bilder)
        for (int i = 0; i < n; ++i) {
            const TSize g = auftrag.Bilder->Groesse(i);
            if (g.cx > 0 && g.cy > 0) bildBreite = TFormelseite::RandMitBild;
        }

    const Druckzustand zustand;
    TKDGPrinter drucker1(Referenz(), drucker, true, 1, auftrag.Seitenstil.RandOben,
                         auftrag.Seitenstil.RandLinks, auftrag.SeitenBreite, auftrag.SeitenHoehe);
    const LogPen altPen = drucker.SelectPen(LogPen{PS_SOLID, 0, 0, Druckfarbe});

    const int kopien = std::max(1, auftrag.Kopien);
    for (int kopie = 0; kopie < kopien; ++kopie) {
        if (kopie > 0 && auftrag.NeueSeite) auftrag.NeueSeite();
        if (!drucker1.PageSetup()) {
            drucker.SelectPen(altPen);
            return ergebnis;
        }
        drucker1.SetPageOrigin(1);
        drucker1.SetMapping();
        // The lowest y of the printable area on every sheet.
        const std::int32_t unten = drucker1.WindowOrigin().y - drucker1.PrintableHeight;

        Formelsatz satz(drucker, std::make_shared<TFormStyles>());

        int seite = 1;
        std::int32_t acc = 0;
        auto neueSeite = [&] {
            if (auftrag.NeueSeite) auftrag.NeueSeite();
            drucker1.SetMapping();
            ++seite;
            acc = 0;
        };

        for (int i = 0; i < n; ++i) {
            std::string formel, kommentar;
            bool hatKommentar = false;
            FormelUndKommentar(texte[std::size_t(i)], formel, kommentar, hatKommentar);
            std::unique_ptr<TDLine> element = satz.Setzen(formel).Baum;
            if (!element) {
                if (kopie == 0) ergebnis.Ausgelassen.push_back(i);
                continue;
            }
            const std::int32_t h = element->Rect.Top - element->Rect.Bottom;
            std::int32_t bh = 0;
            if (auftrag.Bilder) {
                const TSize g = auftrag.Bilder->Groesse(i);
                if (g.cx > 0 && g.cy > 0)
                    bh = RoundEven(Extended(g.cy) * (bildBreite - 20) / g.cx);
            }
            auto bildOben = [&] { return i == 0 ? 2915 : Oben - (acc + h) + h - 15; };
            auto tiefste = [&] { return std::min(2950 - (acc + h), bh > 0 ? bildOben() - bh : Oben); };

            if (Oben - acc < DruckMindestRest) neueSeite();
            else if (acc > 0 && tiefste() < unten) neueSeite();

            DruckPosten posten;
            posten.Formel = i;
            posten.Seite = seite;
            posten.Trennlinie = 2995 - acc;
            Trennlinie(drucker, posten.Trennlinie, breite);
            if (hatKommentar)
                FormelKommentarZeichnen(drucker, *satz.Stile(), kommentar, 2975 - acc);

            const std::int32_t top = bildOben();
            acc += h;
            element->MovePosRel(bildBreite + 25 - element->Rect.Left, 2950 - acc - element->Rect.Bottom);
            element->Draw(drucker);
            posten.Element = element->Rect;
            if (bh > 0) {
                posten.Bild = {0, top, bildBreite - 20, top - bh};
                auftrag.Bilder->Zeichnen(drucker, i, posten.Bild);
                if (bh > h) acc = acc - h + bh;
            }
            acc += 100;
            if (kopie == 0) ergebnis.Posten.push_back(posten);
        }
        Trennlinie(drucker, 2995 - acc, breite);
        ergebnis.Seiten = seite;
    }
    drucker.SelectPen(altPen);
    ergebnis.Gedruckt = true;
    return ergebnis;
}

} // namespace kd
