#pragma once
// The large signs of a typeset formula: parentheses, the root sign, the gamma sign and
// the sum, product and integral signs. Each is a TnEck whose points are scaled from a
// fixed table to the target height and offset by the sign's origin (OriginX, OriginY);
// the points are kept as drawn, Scale keeps the factor used. On screen, parentheses
// and the integral sign may instead be drawn from pieces of the Symbol font
// (SymbolKlammer).
//
// Tags: 21 left parenthesis, 22 right parenthesis, 23 root, 24 sum or integral,
// 25 product, 26 gamma. The stream record of every sign is that of TnEck.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/page/Device.h"
#include "core/typeset/Formen.h"
#include "core/typeset/Stile.h"

namespace kd {

// Whether the Symbol font can draw bracket pieces (the page's Symbol font test sets
// it; initially true). Read by TKlammer and TIntegral when drawing.
bool& SymbolKlammer();

// A point table in table units (y up) and the height the scale refers to.
struct Zeichentabelle {
    const TPoint* Punkte;
    int Anzahl;
    std::int32_t Hoehe;
};
extern const Zeichentabelle LinkeKlammerTabelle;   // 14 points, height 52
extern const Zeichentabelle RechteKlammerTabelle;  // 14 points, height 52
extern const Zeichentabelle WurzelTabelle;         // 10 points, height 50
extern const Zeichentabelle GammaTabelle;          // 14 points, height 120
extern const Zeichentabelle SummenTabelle;         // 12 points, height 40
extern const Zeichentabelle ProduktTabelle;        // 20 points, height 120
extern const Zeichentabelle IntegralTabelle;       // 46 points, height 180

inline constexpr std::uint32_t TagKlammerLinks = 21, TagKlammerRechts = 22, TagWurzel = 23,
                               TagSumme = 24, TagProdukt = 25, TagGamma = 26;

// Longest limit text of a sum, product or integral sign.
inline constexpr std::size_t MaxGrenztext = 10;

class TKlammer : public TnEck {
public:
    TKlammer() = default;  // empty, for Load
    // The table scaled by zielhoehe / table height, offset by (x0, y0).
    TKlammer(std::int32_t x0, std::uint32_t tag, bool ownsStyle,
             std::shared_ptr<TStyleHandle> style, const Zeichentabelle& tabelle,
             std::int32_t zielhoehe, std::int32_t y0);

    std::string_view ClassName() const override { return "TKlammer"; }
    // A parenthesis is drawn as a round bracket of one weight (Rundklammer) inside
    // its box; a root or gamma sign as its polygon.
    void Draw(Device& dc) override;

    // Left parenthesis: the second point lies left of the first (by the tag when both
    // lie on one x, as in a bracket a few units high).
    bool IstLinks() const;

    std::int32_t Zielhoehe = 0;

protected:
    // Points := table points × scale + (x0, y0); Scale, origin and Rect follow.
    void Skalieren(const Zeichentabelle& t, Extended scale, std::int32_t x0, std::int32_t y0);
};

class TWurzel : public TKlammer {
public:
    TWurzel() = default;
    // The top bar reaches over zielbreite beyond the radicand's start; Top makes room
    // for the degree digit in gradFont.
    TWurzel(Device& dc, std::uint32_t tag, bool ownsFont, std::shared_ptr<TCFont> gradFont,
            bool ownsStyle, std::shared_ptr<TStyleHandle> style, std::int32_t grad,
            std::int32_t zielbreite, std::int32_t zielhoehe, std::int32_t y0, std::int32_t x0);

    std::string_view ClassName() const override { return "TWurzel"; }
    // The strokes (Striche) and, for degree 3 or 4, the digit over the hook.
    void Draw(Device& dc) override;
    // The sign's strokes as filled outlines of a constant weight (a tenth of the
    // degree font's height), laid along the point table's lines.
    std::vector<std::vector<TPoint>> Striche() const;
    // Where the radicand starts, relative to the sign's origin: round(26 × Scale).
    std::int32_t RadikandX() const;
    // Where the degree digit is drawn: its right edge and its bottom.
    std::int32_t GradRechts() const;
    std::int32_t GradUnten() const;

    std::int32_t Zielbreite = 0;
    std::int32_t Grad = 2;
    std::shared_ptr<TCFont> GradFont;
    std::uint8_t OwnsFont = 0;
    // How far the sign was moved right to make room for the degree (not stored).
    std::int32_t GradVersatz = 0;
};

class TGamma : public TKlammer {
public:
    static constexpr std::int32_t MaxHoehe = 50;

    TGamma() = default;
    // At most 50 units high, centred in the target height.
    TGamma(Device& dc, std::uint32_t tag, bool ownsStyle, std::shared_ptr<TStyleHandle> style,
           std::int32_t zielhoehe, std::int32_t y0, std::int32_t x0);

    std::string_view ClassName() const override { return "TGamma"; }
    void Draw(Device& dc) override;  // always the polygon
};

// The sum sign with its limit texts (the product sign derives from it).
class TSigma : public TnEck {
public:
    TSigma();  // empty, for Load
    TSigma(Device& dc, std::uint32_t tag, bool eigeneStile, std::shared_ptr<TFormStyles> stile,
           bool ownsStyle, std::shared_ptr<TStyleHandle> style, std::string_view oben,
           std::string_view unten, std::int32_t hoehe, std::int32_t y0, std::int32_t x0);

    std::string_view ClassName() const override { return "TSigma"; }
    void Draw(Device& dc) override;

    // Resets the points from the table (table units).
    virtual void PunkteSetzen();
    // Sizes the sign to min(h, 2 × main height) and makes room for the limit texts.
    virtual void HoeheSetzen(Device& dc, std::int32_t h);

    std::int32_t Zielhoehe = 0;
    std::string Unten, Oben;  // at most 10 characters each
    std::shared_ptr<TFormStyles> Stile;
    std::uint8_t EigeneStile = 0;
    std::int32_t ObenBreite = 0, UntenBreite = 0;

protected:
    TSigma(const Zeichentabelle& t, Device& dc, std::uint32_t tag, bool eigeneStile,
           std::shared_ptr<TFormStyles> stile, bool ownsStyle,
           std::shared_ptr<TStyleHandle> style, std::string_view oben, std::string_view unten,
           std::int32_t hoehe, std::int32_t y0, std::int32_t x0);
    explicit TSigma(const Zeichentabelle& t);

    // Where the limit texts are drawn: the centre x, the upper text's reference y and
    // the gap below the lower one.
    virtual std::int32_t GrenzMitte() const;
    virtual std::int32_t ObenY() const;
    virtual std::int32_t UntenAbstand() const { return 2; }

    const Zeichentabelle* tabelle_;
};

class TProdukt : public TSigma {
public:
    TProdukt();
    TProdukt(Device& dc, std::uint32_t tag, bool eigeneStile, std::shared_ptr<TFormStyles> stile,
             bool ownsStyle, std::shared_ptr<TStyleHandle> style, std::string_view oben,
             std::string_view unten, std::int32_t hoehe, std::int32_t y0, std::int32_t x0);

    std::string_view ClassName() const override { return "TProdukt"; }

protected:
    std::int32_t GrenzMitte() const override;
    std::int32_t ObenY() const override;
    std::int32_t UntenAbstand() const override { return 4; }
};

class TIntegral : public TnEck {
public:
    TIntegral() = default;
    // An integral from "-~¥" to "~¥" (minus to plus infinity) keeps no limit texts.
    TIntegral(Device& dc, std::uint32_t tag, bool eigeneStile, std::shared_ptr<TFormStyles> stile,
              bool ownsStyle, std::shared_ptr<TStyleHandle> style, std::string_view oben,
              std::string_view unten, std::int32_t hoehe, std::int32_t y0, std::int32_t x0);

    std::string_view ClassName() const override { return "TIntegral"; }
    // The Symbol integral character while SymbolKlammer is set, else the polygon;
    // then the limit texts.
    void Draw(Device& dc) override;

    virtual void PunkteSetzen();
    virtual void HoeheSetzen(Device& dc, std::int32_t h);

    std::int32_t Zielhoehe = 0;
    std::string Unten, Oben;
    std::shared_ptr<TFormStyles> Stile;
    std::uint8_t EigeneStile = 0;
    std::int32_t ObenBreite = 0, UntenBreite = 0;
};

// The outline of a round bracket filling the box r: a crescent of a text's stroke weight
// at every height, bulging outwards (to the left for a left bracket); n segments (an
// even number, 2..64) along each edge, 2 (n + 1) points, in units of 1 / fein.
std::vector<TPoint> Rundklammer(const TRect& r, bool links, int n = 16, int fein = 1);

// Makes the signs known to lists of drawing objects by class name.
void RegisterSignClasses();

} // namespace kd
