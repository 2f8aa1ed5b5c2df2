#pragma once
// Style objects of the drawing base: pen, brush, pen with brush, a 32-colour gradient,
// a font, and the formula font set TFormStyles. A style holds only the logical record
// (LogPen, LogBrush, LogFont); every Draw selects it into the device and back.
//
// Stream records are raw little-endian fields:
//   TPenTyp      style u32, width x i32, width y i32, colour u32          (16 bytes)
//   TBrushTyp    style u32, colour u32, hatch i32                         (12 bytes)
//   TPenBrushTyp brush record, then pen record                            (28 bytes)
//   TFarbVerlauf StartColor, MidColor, EndColor, Kind (u32 each)          (16 bytes)
//   TCFont       the LOGFONTA record                                      (60 bytes)
//   TFormStyles  Version u32, StyleRatioA/B, IndexRatio (3 x 10-byte extended),
//                SpacingA, SpacingB, SpacingC i32, LimitWidth i32 (version >= 401),
//                MainFont, IndexFont, SymbolFont, SymbolIndexFont      (290 bytes)
// Load returns false on a truncated or impossible record and then leaves the object
// as it was.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/Stream.h"
#include "core/Types.h"
#include "core/device/Device.h"

namespace kd {

// Reads and writes of the device records, shared by the styles and the shapes.
bool ReadLogPen(BufferedReader& r, LogPen& p);
void WriteLogPen(BufferedWriter& w, const LogPen& p);
bool ReadLogBrush(BufferedReader& r, LogBrush& b);
void WriteLogBrush(BufferedWriter& w, const LogBrush& b);
bool ReadLogFont(BufferedReader& r, LogFont& f);
void WriteLogFont(BufferedWriter& w, const LogFont& f);

// ColorPercent (colour, p): brightens (p > 100) or darkens a colour by p percent.
TColor ColorPercent(TColor c, int percent);

class TStyleHandle {
public:
    TStyleHandle() = default;
    virtual ~TStyleHandle() = default;
    TStyleHandle(const TStyleHandle&) = delete;
    TStyleHandle& operator=(const TStyleHandle&) = delete;

    virtual void ChangeColor(TColor) {}
    // An independent copy of the same kind (Changed set).
    virtual std::unique_ptr<TStyleHandle> CopyStyle() const = 0;

    // The pen and the brush this style draws with, if it has them.
    virtual const LogPen* PenRecord() const { return nullptr; }
    virtual const LogBrush* BrushRecord() const { return nullptr; }

    std::uint8_t Changed = 0;  // not stored
};

class TPenTyp : public TStyleHandle {
public:
    TPenTyp() : Pen{0, 0, 0, 0} {}  // all zero
    TPenTyp(std::uint32_t style, TColor color, std::int32_t width)
        : Pen{style, width, width, color} {}

    void ChangeColor(TColor c) override;  // a null pen becomes solid; sets Changed
    bool Load(BufferedReader& r);
    void Store(BufferedWriter& w) const;
    void ChangeStyle(std::uint16_t style, std::int16_t width);
    std::unique_ptr<TPenTyp> Copy() const;
    std::unique_ptr<TStyleHandle> CopyStyle() const override { return Copy(); }
    const LogPen* PenRecord() const override { return &Pen; }

    LogPen Pen;
};

class TBrushTyp : public TStyleHandle {
public:
    TBrushTyp() : Brush{0, 0, 0} {}  // all zero
    TBrushTyp(std::uint32_t style, TColor color, std::int32_t hatch)
        : Brush{style, color, hatch} {}

    void ChangeColor(TColor c) override;  // a hollow brush becomes solid
    virtual bool Load(BufferedReader& r);
    virtual void Store(BufferedWriter& w) const;
    void ChangeStyle(std::uint32_t style, std::int32_t hatch);
    std::unique_ptr<TBrushTyp> Copy() const;
    std::unique_ptr<TStyleHandle> CopyStyle() const override { return Copy(); }
    const LogBrush* BrushRecord() const override { return &Brush; }

    LogBrush Brush;
};

// A brush with its own pen (rectangles, polygons, formula elements).
class TPenBrushTyp : public TBrushTyp {
public:
    // Empty: brush and pen all zero.
    TPenBrushTyp();
    TPenBrushTyp(std::uint32_t penStyle, TColor penColor, std::int32_t penWidth,
                 std::uint32_t brushStyle, TColor brushColor, std::int32_t hatch);
    explicit TPenBrushTyp(const TPenBrushTyp& other);  // a copy (Changed set)

    void ChangeStylePen(std::uint16_t style, std::int16_t width) { Pen->ChangeStyle(style, width); }
    void ChangeColorPen(TColor c) { Pen->ChangeColor(c); }
    void ChangeStyleBrush(std::uint32_t style, std::int32_t hatch) { ChangeStyle(style, hatch); }
    void ChangeColorBrush(TColor c) { TBrushTyp::ChangeColor(c); }
    void ChangeColor(TColor c) override;  // pen first, then brush

    bool Load(BufferedReader& r) override;  // brush record, then pen record
    void Store(BufferedWriter& w) const override;
    std::unique_ptr<TPenBrushTyp> Copy() const;
    std::unique_ptr<TStyleHandle> CopyStyle() const override { return Copy(); }
    const LogPen* PenRecord() const override { return &Pen->Pen; }

    std::unique_ptr<TPenTyp> Pen;  // always present, always owned
};

// A 32-colour gradient: palette entries 1..32 are solid brushes.
class TFarbVerlauf : public TStyleHandle {
public:
    enum : std::uint32_t { Linear = 1, RGBSpektrum = 2, BGRSpektrum = 3, Mitte = 4 };

    // kind is 1..4 (another value is taken as 1).
    TFarbVerlauf(TColor start, TColor mid, TColor end, std::uint32_t kind);

    bool Load(BufferedReader& r);  // rebuilds the palette for the loaded kind
    void Store(BufferedWriter& w) const;
    std::unique_ptr<TStyleHandle> CopyStyle() const override;

    void ChangePalette(TColor start, TColor mid, TColor end);
    void CreatePalette();       // kind 1: StartColor to EndColor
    void CreateMittePalette();  // kind 4: through MidColor
    void CreateRGBSpektrum();   // kind 2: blue, green, red
    void CreateBGRSpektrum();   // kind 3: red, green, blue
    void FreePalette();

    // Entry i (1..32), or null when the palette is freed or i is out of range.
    const TBrushTyp* Entry(int i) const;
    // Paints rect in 32 bands. Direction 1 (and any other than 0 and 2): vertical bands
    // left to right, entries 1..32 for direction 1, 32..1 otherwise; 0 and 2:
    // horizontal bands from the top, entries 1..32 for 0, 32..1 for 2.
    void Draw(Device& dc, const TRect& rect, int direction) const;

    std::array<std::unique_ptr<TBrushTyp>, 32> Palette;  // Palette[0] is entry 1
    TColor StartColor = 0, MidColor = 0, EndColor = 0;
    std::uint32_t Kind = 1;

private:
    void Build();
    void SetEntry(int i, unsigned r, unsigned g, unsigned b);
};

class TCFont : public TStyleHandle {
public:
    TCFont() = default;  // all-zero record
    // From a face name: width 0, strike-out 0, charset 0, out precision 1, clip
    // precision 16, quality 2, pitch and family 0x22; Changed set.
    TCFont(std::string_view face, std::int32_t height, std::int32_t angle = 0,
           std::int32_t weight = 400, bool italic = false, bool underline = false);
    explicit TCFont(const LogFont& f) : Font(f) {}
    explicit TCFont(const TCFont& other);  // a copy (Changed set)
    TCFont& operator=(const TCFont& other) {
        Font = other.Font;
        Changed = other.Changed;
        return *this;
    }

    bool Load(BufferedReader& r);  // sets Changed
    void Store(BufferedWriter& w) const;
    void Change(const LogFont& f) { Font = f; }
    void ChangeWinkel(std::int32_t angle) { Font.Escapement = Font.Orientation = angle; }
    std::unique_ptr<TCFont> Copy() const { return std::make_unique<TCFont>(*this); }
    std::unique_ptr<TStyleHandle> CopyStyle() const override { return Copy(); }

    std::int32_t Height() const { return Font.Height; }

    LogFont Font;
};

// The formula font set handed to every equation object.
class TFormStyles {
public:
    struct EmptyTag {};
    static constexpr EmptyTag Empty{};

    // The default set: "Arial" 40 and 34, "Symbol" 40 and 34, weight 400.
    TFormStyles();
    // Four all-zero fonts (filled by Load), normal ratios and spacings.
    explicit TFormStyles(EmptyTag);
    // Given ratios, spacings and main height; fonts from "Arial" and "Symbol".
    TFormStyles(Extended styleRatioA, Extended styleRatioB, Extended indexRatio,
                std::int32_t spacingA, std::int32_t spacingB, std::int32_t spacingC,
                std::int32_t mainHeight);
    TFormStyles(const TFormStyles&) = delete;
    TFormStyles& operator=(const TFormStyles&) = delete;
    virtual ~TFormStyles() = default;

    virtual bool Load(BufferedReader& r);
    virtual void Store(BufferedWriter& w) const;  // always version 401 with LimitWidth

    void SetNormAbstand();
    void SetMainSize(std::int32_t h);
    void Skale(Extended f);
    void RestoreSkale();
    void Change(const LogFont& f);
    void ChangeWinkel(std::int32_t angle);
    void SetBold();
    void ResetBold();
    void SetKursiv();
    void ResetKursiv();
    void SetUnderline();
    void ResetUnderline();
    // New styles of the third form: same ratios and spacings, the current main height.
    std::unique_ptr<TFormStyles> Copy() const;

    std::uint32_t Version = 401;
    TCFont MainFont, IndexFont, SymbolFont, SymbolIndexFont;
    TCFont* ExtraFont = nullptr;  // owned elsewhere, or none
    std::int32_t SpacingB = 10;
    std::int32_t SpacingC = 25;
    Extended StyleRatioA = 0.2L;
    Extended StyleRatioB = 0.5L;
    Extended IndexRatio = 0.85L;
    std::int32_t SpacingA = 10;
    std::int32_t LimitWidth = 2000;
    std::int32_t SavedMainSize = 0;  // not stored

private:
    void BuildFonts(std::int32_t mainHeight);
    template <class F>
    void ForAllFonts(F f, bool withExtra);
};

} // namespace kd
