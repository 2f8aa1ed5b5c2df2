#pragma once
// Formatted text output: measuring and drawing short texts with the formula markup
//   "~c"  c in the symbol font ("~|c" in the symbol index font),
//   "^c"  a one-character superscript,
//   "|c"  after a character other than a blank: a one-character subscript, or, when c
//         is one of - . : = ^ _ ~, an accent over the preceding character
//         ("-" is the vector arrow),
//   "[...]" an index group drawn lowered in the index font.
// Widths are always measured on the reference canvas (the screen paint box's canvas
// while one is current), and fonts made for a printer or a metafile are reduced in
// height so that printed text is never wider than on screen.
//
// Texts are Windows-1252 bytes and end at the first zero byte, if any. Angles are in
// tenths of a degree, counter-clockwise.
#include <cstdint>
#include <string_view>

#include "core/device/Device.h"

namespace kd {

class TFormStyles;

// The logical font record of the system's fonts: height and weight as given, ANSI
// character set, output precision 1, clip precision 16, quality 2, variable pitch
// sans-serif family (0x22), the face name copied from `name`.
LogFont MakeLogFont(std::string_view name, std::int32_t height, std::int32_t weight);

// A font record for a face by name: character set 2 (symbol) for "Wingdings" and
// "Symbol" (any letter case), 0 otherwise; pitch and family 1; every other field 0.
LogFont CreateNamedFont(std::string_view name, std::int32_t height, std::int32_t weight);

// The device whose metrics all text widths are taken from: the canvas of the current
// paint box when one is set, else `dev` itself.
Device& ReferenceCanvas(Device& dev);

// Height and width of the whole text in the font, measured on the reference canvas.
// The device's and the reference canvas's fonts are left as they were.
std::int16_t TextHeight(Device& dev, const LogFont& font, std::string_view text);
std::int32_t TextWidth(Device& dev, const LogFont& font, std::string_view text);

// The font to select into `dev` for output: while printing, its height is scaled by
// the ratio of the width of "AAAA" on screen to that on the printer (9/10 when the
// printer's is not wider); while recording a metafile, by 9/10; otherwise unchanged.
LogFont ScaledFont(Device& dev, const LogFont& font);

// Replaces the rectangle by the bounding box of its four corners rotated about
// (cx, cy) by `angle` (y up; Left/Right smallest/largest x, Top/Bottom largest/smallest y).
void RotatedBounds(TRect& r, std::int32_t cx, std::int32_t cy, std::int32_t angle);

// The extent of formatted text starting at (x, y), in logical units with y up.
TRect MeasureFormattedText(Device& dev, std::int32_t x, std::int32_t y, std::int32_t angle,
                           const TFormStyles& styles, std::string_view text);

// Right − Left of MeasureFormattedText at (0, 0) without rotation.
std::int32_t FormattedTextWidth(Device& dev, std::string_view text, const TFormStyles& styles);

// Draws formatted text with its first cell's bottom-left corner at (x, y). `yUp` is
// true on the page and the printer, false on pixel canvases (y downward). The device
// gets its previous font, pen and brush back.
void DrawFormattedText(Device& dev, std::int32_t x, std::int32_t y, const TFormStyles& styles,
                       std::int32_t angle, TColor color, std::string_view text, bool yUp);

// The reduced markup of list items on pixel canvases (y downward, cell top at y):
// "~c" Symbol, "^c" raised and "|c" lowered at two thirds of the height, and a
// backslash toggling bold.
void DrawSimpleFormattedText(Device& canvas, std::int32_t x, std::int32_t y, TColor color,
                             std::int32_t height, std::string_view face, std::string_view text);

} // namespace kd
