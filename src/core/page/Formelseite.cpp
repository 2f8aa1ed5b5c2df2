#include "core/page/Formelseite.h"

#include <algorithm>
#include <optional>

#include "core/page/Rounding.h"
#include "core/page/TextSys.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelsatz.h"
#include "core/typeset/Stile.h"
#include "core/typeset/TextObjekte.h"

namespace kd {

namespace {

constexpr TColor Trennfarbe = RGB(128, 128, 128);
constexpr TColor Kommentarfarbe = RGB(0, 0, 80);
constexpr TColor Fehlerfarbe = RGB(255, 0, 0);

void Trennlinie(Device& dc, std::int32_t y) {
    dc.MoveTo(0, y);
    dc.LineTo(5000, y);
}

// The heading comment at (50, y) on a white ground that interrupts the separator.
void KommentarZeichnen(Device& dc, TFormStyles& st, const std::string& kommentar,
                       std::int32_t y) {
    const LogFont alt = st.MainFont.Font;
    st.MainFont.Font.SetFace("Arial");
    TRect r = MeasureFormattedText(dc, 50, y, 0, st, kommentar);
    r.Left -= 4;
    r.Right = 50 + RoundEven((r.Right - 50) * 1.03L);
    dc.FillRect(r, WhiteBrush());
    DrawFormattedText(dc, 50, y, st, 0, Kommentarfarbe, kommentar, true);
    st.MainFont.Font = alt;
}

} // namespace

void FormelUndKommentar(const std::string& text, std::string& formel, std::string& kommentar,
                        bool& hatKommentar) {
    formel = text;
    while (!formel.empty() && formel.back() == ' ') formel.pop_back();
    kommentar.clear();
    hatKommentar = false;
    if (formel.empty() || formel.back() != '}') return;
    const std::size_t auf = formel.find('{');
    if (auf == std::string::npos) return;
    kommentar = formel.substr(auf + 1, formel.size() - auf - 2);
    formel.resize(auf);
    hatKommentar = true;
}

void TFormelseite::Ungueltig() {
    ElementListe.ClearItems();
    LayoutGueltig = false;
}

const FormelPosTabelle& TFormelseite::Zeichnen(Device& dc, const std::vector<std::string>& texte,
                                              const std::shared_ptr<TFormStyles>& stileIn,
                                              Seitenbilder* bilder) {
    const std::shared_ptr<TFormStyles> stile =
        stileIn ? stileIn : std::make_shared<TFormStyles>();
    const int n = static_cast<int>(texte.size());
    if (LayoutGueltig && ElementListe.Count() != n) Ungueltig();
    const bool neu = !LayoutGueltig;
    if (neu) ElementListe.ClearItems();
    FormelPos.assign(std::size_t(n), FormelPosEintrag{});

    BildBreite = RandOhneBild;
    if (bilder)
        for (int i = 0; i < n; ++i) {
            const TSize g = bilder->Groesse(i);
            if (g.cx > 0 && g.cy > 0) BildBreite = RandMitBild;
        }

    const LogPen altPen = dc.SelectPen(LogPen{PS_SOLID, 0, 0, Trennfarbe});
    Anzahl = n;
    std::int32_t acc = 50;
    if (n == 0) {
        dc.FillRect(TRect{0, Seitenoben, 32000, -32000}, WhiteBrush());
        Ende = Seitenoben + 25 - acc;
        dc.SelectPen(altPen);
        LayoutGueltig = true;
        return FormelPos;
    }

    std::optional<Formelsatz> satz;
    if (neu) satz.emplace(dc, stile);

    // First every block is placed, so the white ground can reach below the last one
    // however long the library is; then the blocks are drawn.
    struct Block {
        std::int32_t accVorher = 0;
        std::string kommentar;
        bool hatKommentar = false;
        bool mitBild = false;
        TRect bildRect;
    };
    std::vector<Block> bloecke(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        Block& b = bloecke[std::size_t(i)];
        b.accVorher = acc;
        std::string formel;
        FormelUndKommentar(texte[std::size_t(i)], formel, b.kommentar, b.hatKommentar);

        if (neu) {
            std::unique_ptr<TDLine> element = satz->Setzen(formel).Baum;
            if (!element)
                element = std::make_unique<TFormelText>(dc, 13, false, true, Fehlerfarbe, 0, stile,
                                                        "Fehler in Formel", 0, 0);
            ElementListe.Add(std::move(element));
        }
        TDLine& e = *ElementListe[i];
        const std::int32_t w = e.Rect.Right - e.Rect.Left;
        const std::int32_t h = e.Rect.Top - e.Rect.Bottom;
        acc += h;
        const std::int32_t oben = i == 0 ? Seitenoben : FormelPos[std::size_t(i - 1)].Unterkante;
        FormelPos[std::size_t(i)] = {w, oben - (h + 100)};
        // The block's lower edge lies at 2950 - acc.
        if (neu) e.MovePosRel(BildBreite + 25 - e.Rect.Left, 2950 - acc - e.Rect.Bottom);

        const TSize g = bilder ? bilder->Groesse(i) : TSize{};
        b.mitBild = g.cx > 0 && g.cy > 0;
        if (b.mitBild) {
            b.bildRect.Left = 0;
            b.bildRect.Right = BildBreite - 20;
            b.bildRect.Top = i == 0 ? 2915 : Seitenoben - acc + h - 15;
            b.bildRect.Bottom = b.bildRect.Top - RoundEven(Extended(g.cy) *
                                                           (b.bildRect.Right - b.bildRect.Left) /
                                                           g.cx);
            const std::int32_t bh = b.bildRect.Top - b.bildRect.Bottom;
            if (bh > h) {
                FormelPos[std::size_t(i)].Unterkante -= bh - h;
                acc = acc - h + bh;
            }
        }
        acc += 100;
    }
    Ende = 2995 - acc;
    dc.FillRect(TRect{0, Seitenoben, 32000, std::min<std::int32_t>(-32000, Ende - 1000)},
                WhiteBrush());

    for (int i = 0; i < n; ++i) {
        const Block& b = bloecke[std::size_t(i)];
        // Separator, heading comment, formula and picture, unless the whole block lies
        // outside the part of the page to draw (a comment may reach above its separator).
        const bool zeichnen = !Ausschnitt ||
                              (FormelPos[std::size_t(i)].Unterkante - 10 <= Ausschnitt->Top &&
                               2995 - b.accVorher + 80 >= Ausschnitt->Bottom);
        if (!zeichnen) continue;
        dc.SelectPen(LogPen{PS_SOLID, 0, 0, Trennfarbe});
        Trennlinie(dc, 2995 - b.accVorher);
        if (b.hatKommentar) KommentarZeichnen(dc, *stile, b.kommentar, 2975 - b.accVorher);
        ElementListe[i]->Draw(dc);
        if (b.mitBild) bilder->Zeichnen(dc, i, b.bildRect);
    }
    dc.SelectPen(LogPen{PS_SOLID, 0, 0, Trennfarbe});
    Trennlinie(dc, Ende);
    dc.SelectPen(altPen);
    LayoutGueltig = true;
    return FormelPos;
}

TRect TFormelseite::Markierungsrahmen(int i) const {
    if (i < 0 || i >= static_cast<int>(FormelPos.size())) return {};
    const std::int32_t x1 = BildBreite + 25 - 5;
    const std::int32_t x2 = BildBreite + 25 + FormelPos[std::size_t(i)].Breite + 5;
    const std::int32_t y1 = FormelPos[std::size_t(i)].Unterkante - 5;
    const std::int32_t oben = i == 0 ? Seitenoben : FormelPos[std::size_t(i - 1)].Unterkante;
    return {x1, oben - 50 - 5, x2, y1};
}

void FormelKommentarZeichnen(Device& dc, TFormStyles& stile, const std::string& kommentar,
                             std::int32_t y) {
    KommentarZeichnen(dc, stile, kommentar, y);
}

int TFormelseite::FormelBei(std::int32_t y) const {
    for (int i = 0; i < std::min<int>(Anzahl, static_cast<int>(FormelPos.size())); ++i)
        if (FormelPos[std::size_t(i)].Unterkante < y) return i;
    return -1;
}

} // namespace kd
