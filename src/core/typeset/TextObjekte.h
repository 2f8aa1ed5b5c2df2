#pragma once
// The two text objects of a drawing: TDText, a plain string in one font at an anchor
// point with alignment, colour and rotation, and TFormelText, a string in the formula
// markup ("~" Symbol letters, "|" indices, ...) drawn with the four fonts of a
// TFormStyles. Both keep their bounding box in Rect (y up) and are the leaves of a
// formula's element tree (tag 12 numbers and plain words, tag 13 names and comments).
//
// Stream records (raw little-endian fields):
//   TDText       AnchorX i32, AnchorY i32, Rect (4 x i32), Tag u32, Color u32, Align u32,
//                Winkel i32, text length L i32, L + 1 text bytes with the zero, LOGFONTA
//   TFormelText  AnchorX i32, AnchorY i32, Winkel i32, L i32, L + 1 text bytes, Rect,
//                Color u32, OwnsStyle u8, the TFormStyles record when OwnsStyle is 1,
//                Tag u32
// The layer fields of TDLine are not stored. A loaded object owns its text (and a
// TDText its font); a TFormelText loaded without its own styles has none until its
// owner assigns them to Stile.
//
// The rotation is Winkel: the drawn fonts get it as escapement, and the bounding box
// of a rotated text is the box of the rotated corners.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/device/Device.h"
#include "core/typeset/Formen.h"
#include "core/device/Stile.h"

namespace kd {

class TDText : public TDRectangle {
public:
    // Font heights a stretched text keeps to: round(7 × 2.6458) and round(60 × 2.6458).
    static constexpr std::int32_t MinStretchHeight = 19;
    static constexpr std::int32_t MaxStretchHeight = 159;

    TDText() = default;  // empty, for Load
    // A missing or empty text becomes an owned " ". The box is computed at once.
    TDText(Device& dc, std::uint32_t tag, bool ownsFont, bool ownsText, std::uint32_t align,
           TColor color, std::int32_t winkel, std::shared_ptr<TCFont> font,
           std::string_view text, std::int32_t y, std::int32_t x);

    std::string_view ClassName() const override { return "TDText"; }
    bool Load(BufferedReader& r) override;
    void Store(BufferedWriter& w) const override;
    void Draw(Device& dc) override;
    void MovePos(std::int32_t x, std::int32_t y) override;
    void MovePosRel(std::int32_t dx, std::int32_t dy) override;
    // Scales the font height by the width ratio (kept between 19 and 159), then
    // recomputes the box on the device the object was last measured on.
    void Stretch(int handle, const TRect& r) override;
    std::unique_ptr<TDLine> Copy() const override;
    void ChangeColor(TColor c) override { Color = c; }

    // Recomputes the bounding box on dc.
    virtual void GetRect(Device& dc);
    // Sets Winkel and recomputes the box.
    virtual void ChangeWinkel(Device& dc, std::int32_t winkel);

    // Replaces the font's record; TauscheFont replaces the font object.
    void ChangeFont(Device& dc, const LogFont& f);
    void TauscheFont(Device& dc, std::shared_ptr<TCFont> font);

    std::int32_t AnchorX = 0, AnchorY = 0;
    std::string Text = " ";
    std::shared_ptr<TCFont> Font;
    TColor Color = 0;
    std::uint32_t Align = TA_LEFT | TA_BOTTOM;
    std::int32_t Winkel = 0;
    std::uint8_t OwnsText = 1;
    // The device the box was last computed on (Stretch has none of its own); none
    // after Load until GetRect is called.
    Device* DC = nullptr;

protected:
    void CopyTextTo(TDText& c) const;
};

class TFormelText : public TDText {
public:
    TFormelText() = default;  // empty, for Load
    // A missing or empty text becomes an owned " ". The box is computed at once.
    TFormelText(Device& dc, std::uint32_t tag, bool ownsStyles, bool ownsText, TColor color,
                std::int32_t winkel, std::shared_ptr<TFormStyles> styles, std::string_view text,
                std::int32_t y, std::int32_t x);

    std::string_view ClassName() const override { return "TFormelText"; }
    bool Load(BufferedReader& r) override;
    void Store(BufferedWriter& w) const override;
    void Draw(Device& dc) override;
    void MovePosRel(std::int32_t dx, std::int32_t dy) override;  // also MittelY
    // Scales the styles' heights by the width ratio (by 100 / width when the new box is
    // narrower than 101), then recomputes the box.
    void Stretch(int handle, const TRect& r) override;
    std::unique_ptr<TDLine> Copy() const override;

    void GetRect(Device& dc) override;

    void ChangeText(Device& dc, std::string_view text);
    // Change of the styles: the main font takes the record, the others its height.
    void ChangeFont(Device& dc, const LogFont& f);

    // The y of the formula's middle line: AnchorY + main height / 2.
    std::int32_t MittelY = 0;
    // Owned when OwnsStyle is set, else shared with the equation or the page.
    std::shared_ptr<TFormStyles> Stile;
};

// Makes TDText and TFormelText known to lists of drawing objects by class name.
void RegisterTextObjectClasses();

} // namespace kd
