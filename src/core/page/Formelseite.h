#pragma once
// The formula page as drawn on a device: every formula of a library one below the
// other on a white A4 page (0.1 mm, y up, top edge y = 2970), each under a grey
// separator line with its heading comment ("{...}" at the end of its text) drawn above
// it, "Fehler in Formel" in red for a text that does not parse, and the pictures in a
// column on the left. The window's paint handler, printing, the clipboard picture and
// the command line's render all draw the page with TFormelseite::Zeichnen; the window
// adds only the highlight and the Symbol font test.
//
// The element trees are built once (LayoutGueltig false) and kept in ElementListe,
// already placed on the page; later paints draw the cached trees and only recompute
// FormelPos. Whoever changes the formulas calls Ungueltig.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CList.h"
#include "core/device/Device.h"
#include "core/typeset/GBasis.h"

namespace kd {

class TFormStyles;

// Where a formula lies on the page: the width of its layout and the y of the lower
// boundary of its block.
struct FormelPosEintrag {
    std::int32_t Breite = 0;
    std::int32_t Unterkante = 0;
};
// One entry per formula of the page (it grows with the library).
using FormelPosTabelle = std::vector<FormelPosEintrag>;

// The pictures of the formulas, as the page needs them.
class Seitenbilder {
public:
    virtual ~Seitenbilder() = default;
    // Size in pixels of formula i's picture; 0 x 0 when it has none.
    virtual TSize Groesse(int i) = 0;
    // Draws formula i's picture stretched into r (page units, y up).
    virtual void Zeichnen(Device& dc, int i, const TRect& r) = 0;
};

class TFormelseite {
public:
    // Left margin of the formulas without and with a picture column
    // (343 = round(400 x 0.3 / 0.35)).
    static constexpr std::int32_t RandOhneBild = 50;
    static constexpr std::int32_t RandMitBild = 343;
    static constexpr std::int32_t Seitenoben = 2970;

    // The formulas changed: the next paint builds every tree again.
    void Ungueltig();

    // Paints the page for the formula texts (Windows-1252, as stored) on dc, which must
    // have the page mapping applied (and be the measuring reference, or the current
    // paint box's canvas be). `stile` are the page's formula styles (AnzeigeStyles).
    // Returns FormelPos.
    const FormelPosTabelle& Zeichnen(Device& dc, const std::vector<std::string>& texte,
                                     const std::shared_ptr<TFormStyles>& stile,
                                     Seitenbilder* bilder = nullptr);

    // The dotted frame of the highlight of formula i: (x1, y2) top-left, (x2, y1)
    // bottom-right as Left, Top, Right, Bottom.
    TRect Markierungsrahmen(int i) const;
    // The formula a click at page y selects: the first whose block ends below y; -1 for
    // none.
    int FormelBei(std::int32_t y) const;

    // When set, only the formula blocks that meet this page rectangle (normalised, y
    // up) are drawn; FormelPos is still computed for every formula. A window that
    // shows a part of the page sets it to what is visible.
    std::optional<TRect> Ausschnitt;

    TCList<TDLine> ElementListe;
    bool LayoutGueltig = false;
    FormelPosTabelle FormelPos{};
    std::int32_t BildBreite = RandOhneBild;
    int Anzahl = 0;              // formulas on the page after the last paint
    std::int32_t Ende = Seitenoben;  // y of the final separator line
};

// The heading comment of a formula text and the text the formula is parsed from:
// trailing blanks go; a text ending in "}" with a "{" has the comment between its
// first "{" and the final "}", and the formula is the part before that "{".
void FormelUndKommentar(const std::string& text, std::string& formel, std::string& kommentar,
                        bool& hatKommentar);

// Draws a heading comment as the page does: at (50, y) in RGB(0, 0, 80) with the main
// font's face "Arial", on a white ground 4 units wider on the left and 3 % wider to
// the right. The styles are left as found.
void FormelKommentarZeichnen(Device& dc, TFormStyles& stile, const std::string& kommentar,
                             std::int32_t y);

} // namespace kd
