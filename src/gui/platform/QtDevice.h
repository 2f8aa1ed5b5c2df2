#pragma once
// QtDevice: kd::Device over a QPainter — on a widget, a QImage, a QPrinter, a
// QPdfWriter or a QSvgGenerator — or without a painter for measuring only.
//
// Layout is resolution-independent: text is measured in logical units with unhinted,
// fractional metrics of a font at its logical size (the painter's device plays no
// part), rounded to whole units, so the screen, the printout, the PDF and the SVG get
// the same layout. A LogFont height h > 0 is the cell height (ascent + descent = h),
// h < 0 the character height (em size), 0 a default cell height of 40 units. A width
// w > 0 narrows or widens the characters so that their average width is w units.
//
// Drawing maps logical to device coordinates through the painter's transform (the
// mapping of kd::Device on top of the painter's transform at Begin), y flipped as the
// mapping says; text is drawn upright in the font at its logical size under that
// transform, rotated by the escapement. On the raster engine (images, widgets) a text
// is drawn as the cached glyph run of its characters, so a repaint neither shapes nor
// measures again; PDF, SVG and printers get the text itself (searchable, with Qt's
// font fallback), as does a character the font has no glyph for.
//
// Fonts: "Arial" is asked of fontconfig by name (Liberation Sans with
// fonts-liberation2). A text in a font named "Symbol" holds bytes of the Symbol
// encoding; each is mapped to Unicode (SymbolZuUnicode) and drawn in "DejaVu Sans".
//
// Raster mode not-xor (R2_NOTXORPEN): shapes are drawn with
// RasterOp_NotSourceXorDestination where the paint engine supports raster
// operations (QImage, widgets, which paint into a raster backing store), without
// antialiasing so that drawing twice restores every pixel. Engines without raster
// operations (PDF, SVG, printers) draw nothing in that mode: an inverting highlight
// belongs to the screen only. Text is not affected by the raster mode.
//
// GetPixel reads from a QImage the painter paints on (ClrInvalid otherwise).
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QTransform>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/device/Device.h"

class QPainter;
class QImage;
class QPaintDevice;

namespace kd {

class QtDevice : public Device {
public:
    // Measuring only until Begin.
    QtDevice() = default;
    explicit QtDevice(QPainter* painter) { Begin(painter); }
    ~QtDevice() override;

    // Draws on the active painter from now on. The painter's current transform becomes
    // the base under the logical mapping; `offset` adds a translation in the painter's
    // coordinates (a scrolled widget passes its scroll offset).
    void Begin(QPainter* painter, QPointF offset = {});
    // Stops drawing (the device measures only again) and restores the painter.
    void End();
    QPainter* Painter() const { return painter_; }
    bool Drawing() const { return painter_ != nullptr; }

    // Whether the paint engine can do the not-xor raster mode.
    bool SupportsRasterOps() const;

    TSize TextExtent(std::string_view text) override;
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
    void Polyline(const TPoint* pts, int count) override;
    void Polygon(const TPoint* pts, int count) override;
    void Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    void Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    void FillRect(const TRect& r, const LogBrush& brush) override;
    void DrawImage(const TRect& target, const Bild& image) override;
    int GetDeviceCaps(DeviceCap cap) const override;
    TColor GetPixel(std::int32_t x, std::int32_t y) override;

    // ---- font helpers, shared with the rest of the GUI ----
    // Everything the device knows of a logical font: the Qt font (at FontScale times
    // its logical size), its metrics, whether its bytes are Symbol bytes, and what it
    // learnt of its characters. Characters are measured one by one and added up,
    // without kerning, as GDI sets a text; so a text is measured and drawn from the
    // same per-character advances, each character measured once per font.
    struct FontInfo {
        QFont font;
        QFontMetricsF metrics{QFont()};
        bool symbol = false;
        double ascent = 0, descent = 0;  // font pixels

        // One byte of the font's encoding.
        struct Zeichen {
            enum Art : std::uint8_t { Unbekannt, Glyphe, Ersatz, Keins };
            Art art = Unbekannt;  // Ersatz: drawn by Qt's text layout (a fallback font)
            quint32 glyph = 0;    // in `raw`, for Glyphe
            double advance = 0;   // font pixels
            QString text;         // the character as Unicode
        };
        // A text as drawn: its characters, their glyphs placed at the summed advances,
        // and whether every character has a glyph of the font itself.
        struct Lauf {
            QString text;
            QGlyphRun run;
            double advance = 0;  // font pixels
            bool glyphen = true;
        };
        const Zeichen& ZeichenVon(unsigned char byte) const;
        // Width of the text in font pixels.
        double Advance(std::string_view text) const;
        // The text's glyph run, cached by the text.
        const Lauf& LaufFuer(std::string_view text) const;

        LogFont logFont;
        QRawFont raw;
        // For engines that do not know a font's stretch (SVG): the font at its natural
        // width and the horizontal factor that narrows or widens it.
        QFont natuerlich;
        double streckung = 1;
        mutable std::array<Zeichen, 256> zeichen_{};
        mutable std::unordered_map<std::string, Lauf> laeufe_;
    };
    // Fonts are made at this many pixels per logical unit (Qt's pixel sizes are
    // integers; this keeps a fraction of a unit) and scaled back when drawn.
    static constexpr double FontScale = 16.0;
    // Cached by the LogFont value; valid for the life of the program. The font asked
    // for last is answered without a lookup.
    static const FontInfo& Font(const LogFont& lf);
    // Drops the cached glyph runs of every font (the fonts and their character
    // advances stay), as before the first paint of texts not drawn yet.
    static void ForgetGlyphRuns();
    // The text as Qt draws it in that font (Windows-1252, or Symbol bytes).
    static QString TextFor(const FontInfo& f, std::string_view text);
    // The family a face name is drawn with.
    static QString FamilyFor(const std::string& face, bool* symbol = nullptr);
    // Width of the text in logical units, unrounded.
    static double AdvanceF(const LogFont& lf, std::string_view text);

    static QColor ToQColor(TColor c);
    static TColor FromQColor(const QColor& c);

protected:
    void MappingChanged() override;
    void FontSelected() override;
    void RopChanged() override;
    void DoLineTo(TPoint from, TPoint to) override;

private:
    const QTransform& LogicalTransform() const { return logical_; }
    void UpdateLogical();
    // The selected font's record, looked up once per selection.
    const FontInfo& Current();
    // Puts the logical transform back on the painter if text was drawn under its own.
    void EnsureLogical() {
        if (modus_ != Modus::Logisch) ApplyTransform();
    }
    // A logical rectangle in device pixels, its corners rounded to whole pixels.
    QRectF PixelRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) const;
    void ApplyTransform();
    // Prepares pen, brush and composition for a shape; false when nothing is drawn.
    bool BeginShape(bool fill);
    void EndShape();

    QPainter* painter_ = nullptr;
    QImage* image_ = nullptr;  // when the painter paints on an image
    QTransform base_;
    QTransform logical_;
    bool savedAntialias_ = false;
    bool raster_ = false;  // the painter's engine is the raster engine
    const FontInfo* current_ = nullptr;
    // What the painter's world transform is: the logical mapping, the upright text
    // transform scaled by (textSx_, textSy_), or a rotated text's own.
    enum class Modus { Logisch, Text, Anders };
    Modus modus_ = Modus::Logisch;
    double textSx_ = 0, textSy_ = 0;
};

} // namespace kd
