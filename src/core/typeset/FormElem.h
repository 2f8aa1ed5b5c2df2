#pragma once
// TFormElem: the operator node of a formula's element tree. FormelAufbau
// makes one node per step of the parsed formula from the elements of its two operands;
// the node lays its children out relative to each other at once, so the tree is laid
// out bottom-up while it is built. Leaves are the text objects (TDText numbers,
// TFormelText names, legends and comments) and the sum, product and integral signs of
// the parser; nodes add operator texts, the fraction bar, absolute-value bars, the
// factorial sign and the parentheses, root and gamma signs.
//
// Geometry is in page units (0.1 mm, y up). Every element is built at the origin
// (Left = 0, Bottom = 0); a parent moves its children only with MovePosRel, and the
// caller places the finished root with MovePos or MovePosRel.
//
// Ownership: a node owns Erstes, Zweites and its brackets (unique_ptr). The style object
// (Style) and the formula styles (Stile) are shared down the tree (shared_ptr); the
// owner flags OwnsStyle and EigeneStile are stored in the record but memory never
// depends on them.
//
// Stream record, in order: Rect (4 x i32), Tag u32, OwnsStyle u8 and, when set, the
// pen-and-brush record of Style (28 bytes); EigeneStile u8 and, when set, the
// TFormStyles record (290 bytes); HatKlammern u8 and, when set, the TnEck records of
// KlammerLinks and KlammerRechts; Verkleinert u8; Art i32; OpX i32; OpY i32; OpText as
// a short string of 31 characters (length byte + 31 bytes); then the records of Erstes
// and Zweites when present. The record carries no class names: children are read into
// the objects that already exist (a tree of the same shape), so a node read on its own
// (from a list) reads its own fields and its brackets only.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/device/Device.h"
#include "core/device/Stile.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/GBasis.h"

namespace kd {

// Tag of an operator node.
inline constexpr std::uint32_t TagFormElem = 20;
// Longest operator text of a node.
inline constexpr std::size_t MaxOpText = 31;
// Gap between two stacked sub-formulas, and between side-by-side ones.
inline constexpr std::int32_t AbstandUntereinander = 15;
inline constexpr std::int32_t AbstandNebeneinander = 50;
// Gap between a formula and its legend below it.
inline constexpr std::int32_t AbstandLegende = 10;

class TFormElem : public TDLine {
public:
    TFormElem();  // empty, for Load
    // Stores the fields and lays the node out by `art`. `bedingungsmodus` is the
    // parse mode of the equation, `mehrereFormeln` whether the text has more than one
    // sub-formula. Erstes is the left (upper, base, numerator, sign) operand, Zweites
    // the right (lower, exponent, denominator, argument, body) one; either may be none.
    // `dc` measures texts while laying out and must stay valid while the tree is built.
    TFormElem(Device& dc, std::uint32_t tag, bool bedingungsmodus, bool mehrereFormeln,
              std::unique_ptr<TDLine> zweites, std::unique_ptr<TDLine> erstes, std::int32_t art,
              bool ownsStyle, bool eigeneStile, std::shared_ptr<TStyleHandle> style,
              std::shared_ptr<TFormStyles> stile);
    ~TFormElem() override;

    std::string_view ClassName() const override { return "TFormElem"; }
    bool Load(BufferedReader& r) override;
    void Store(BufferedWriter& w) const override;
    // Draws the whole subtree.
    void Draw(Device& dc) override;
    // Puts the Left/Top corner at (x, y); everything else moves by the same offset.
    void MovePos(std::int32_t x, std::int32_t y) override;
    // Moves the node, its children, its brackets, OpX, OpY and Achse.
    void MovePosRel(std::int32_t dx, std::int32_t dy) override;
    // Rescales the fonts of Stile to the width ratio; the geometry stays.
    void Stretch(int handle, const TRect& r) override;

    // Reduces the laid-out node to index size once: geometry scaled by IndexRatio about
    // (Left, Bottom), text leaves in the index fonts, signs zoomed, child nodes reduced
    // in turn, OpFont the index font. The layout does not call it.
    virtual void Verkleinern();
    // Wraps the node in parentheses as tall as the node. A node that already has a pair
    // of its own (a sum, product or integral, a function) keeps it as the second pair.
    virtual void KlammernSetzen();

    // The y of the math axis of a child as the layout sees it: a node's Achse; for a
    // formula text leaf half the main font height over its base line (MittelY: for a
    // text at the origin Bottom + half, half when an index reaches below 0); for any
    // other element the middle of its box.
    std::int32_t Achsenhoehe(const TDLine* e) const;

    Device* DC = nullptr;
    std::shared_ptr<TFormStyles> Stile;
    std::uint8_t EigeneStile = 0;
    std::uint8_t Verkleinert = 0;
    std::int32_t Art = 0;
    std::unique_ptr<TDLine> Erstes, Zweites;
    std::unique_ptr<TKlammer> KlammerLinks, KlammerRechts;
    std::unique_ptr<TKlammer> SymbolKlammerLinks, SymbolKlammerRechts;
    std::uint8_t HatKlammern = 0, HatSymbolKlammern = 0;
    std::int32_t Achse = 0;
    std::int32_t OpX = 0, OpY = 0;
    std::string OpText;  // at most 31 characters
    TCFont OpFont;
    TColor Farbe = 0;
    // The flags the node was laid out with (not stored).
    bool Bedingungsmodus = false;
    bool MehrereFormeln = false;

private:
    void Aufbauen();
    void Rechenzeichen();       // = + - * and the comparisons
    void Bruch();               // /
    void Potenz();              // ^ and QUADRAT
    void Betrag();              // ABS
    void Funktion();            // named functions and table keywords
    void Wurzel();              // roots
    void Fakultaet();           // FAKULTÄT
    void Gamma();               // GAMMA
    void Summe();               // SUMME, PRODUKT, INTEGRAL
    void Untereinander();       // ; and the condition connectives
    void Nebeneinander();       // :
    void Legende();             // {...}
    void Kommentar();           // "..."
    void Bezeichner();          // identifier loads

    // Parentheses for a child node of kind -8..107 (text leaves and identifier loads
    // stay as they are).
    static void Einklammern(TDLine* kind);
    // Text width and height in the font on the layout device.
    std::int32_t Breite(const LogFont& f, std::string_view text) const;
    std::int32_t Hoehe(const LogFont& f, std::string_view text) const;
    // Moves everything inside the node (children, brackets, OpX) right by dx.
    void InhaltVerschieben(std::int32_t dx);
    // Recursive part of Verkleinern: scales about (ox, oy).
    void Skalieren(Extended f, std::int32_t ox, std::int32_t oy);
    // After Load: children and brackets without styles get this node's.
    void StileVerteilen();
    bool LadenFelder(BufferedReader& r);
    // Grows Rect over everything drawn and, with aufNull, puts the node back on the
    // origin.
    void Umfassen(bool aufNull);
    // Whether the node draws OpText, and the font it is drawn in.
    bool ZeichnetOpText() const;
    // The weight of the lines a node draws (the bars of ABS), in page units.
    std::int32_t Strichstaerke() const;
    LogFont OpSchrift() const;
};

// Formula styles in which a text is drawn at index size: the main fonts become the
// index fonts of `st`, the index fonts shrink by IndexRatio once more.
std::shared_ptr<TFormStyles> IndexStile(const TFormStyles& st);

// Makes TFormElem, the text objects and the signs known to lists of drawing objects
// by class name.
void RegisterFormElemClasses();

} // namespace kd
