#pragma once
// A formula as a picture for the clipboard: its element tree laid out with the default
// formula styles and drawn into a picture of the tree's size and a margin, as a metafile
// was recorded: page units (0.1 mm, y up) with the tree's top-left corner at the
// picture's origin, and the fonts made at 9/10 of their height while drawing
// (MetafileOutput), as the text output does for recorded pictures.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/page/Device.h"
#include "core/typeset/GBasis.h"

namespace kd {

class TFormStyles;

struct Formelbild {
    // The margin around the tree, page units (1 mm).
    static constexpr std::int32_t Rand = 10;

    std::unique_ptr<TDLine> Baum;
    std::shared_ptr<TFormStyles> Stile;
    TRect Rect;                  // the tree's rectangle with the margin, normalised
    std::int32_t Breite = 0;     // Right - Left + 1, page units
    std::int32_t Hoehe = 0;      // Top - Bottom + 1

    // The mapping of the picture: window origin (Left, Hoehe + Bottom), window extent
    // (Breite, -Hoehe), viewport extent (Breite x proEinheit, Hoehe x proEinheit) from
    // (0, 0), so that the page's upward y runs down the picture.
    DeviceMapping Abbildung(double proEinheit) const;
    // Draws the tree on dc (with the picture's mapping applied) with MetafileOutput set.
    void Zeichnen(Device& dc) const;
};

// Parses the text (collecting mode, elements, new default styles) and lays it out on
// dc. None when the text does not parse.
std::optional<Formelbild> FormelbildSetzen(Device& dc, const std::string& text);

} // namespace kd
