#include "core/typeset/FormElem.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/device/Rounding.h"
#include "core/device/TextSys.h"
#include "core/notation/Gleichung.h"
#include "core/Stream.h"
#include "core/typeset/TextObjekte.h"

namespace kd {

namespace {

std::int32_t BreiteVon(const TDLine* e) { return e ? e->Rect.Right - e->Rect.Left : 0; }
std::int32_t HoeheVon(const TDLine* e) { return e ? e->Rect.Top - e->Rect.Bottom : 0; }

TFormElem* Knoten(TDLine* e) { return dynamic_cast<TFormElem*>(e); }
const TFormElem* Knoten(const TDLine* e) { return dynamic_cast<const TFormElem*>(e); }
bool IstTextblatt(const TDLine* e) { return dynamic_cast<const TDText*>(e) != nullptr; }

bool IstKnotenDerArt(const TDLine* e, std::int32_t art) {
    const TFormElem* k = Knoten(e);
    return k && k->Art == art;
}
bool IstPlusMinus(const TDLine* e) {
    return IstKnotenDerArt(e, ArtPlus) || IstKnotenDerArt(e, ArtMinus);
}
// Identifier loads: 108 + n, and whatever lies below the connectives.
bool IstLaden(std::int32_t art) { return art >= ArtBezeichner || art < ArtXoder; }

// An integral node whose sign shows limits.
bool IntegralMitGrenzen(const TDLine* e) {
    const TFormElem* k = Knoten(e);
    if (!k || k->Art != ArtIntegral) return false;
    const auto* z = dynamic_cast<const TIntegral*>(k->Erstes.get());
    return z && !z->Unten.empty();
}

const char* Anzeigename(std::int32_t art) {
    switch (art) {
    case 7: return "SinHyp";
    case 8: return "CosHyp";
    case 9: return "TanHyp";
    case 10: return "Sin";
    case 11: return "Cos";
    case 12: return "Tan";
    case 13: return "ArcSin";
    case 14: return "ArcCos";
    case 15: return "ArcTan";
    case 16: return "Ln";
    case 17: return "Log";
    case 18: return "Abrunden";
    case 19: return "Runden";
    case 20: return "Vorz";
    case 26: return "Zufall";
    case ArtMaxZeilen: return "MaxZeilen";
    case ArtMaxSpalten: return "MaxSpalten";
    case ArtMaxZeilenWerte: return "MaxZeilenWerte";
    case ArtMaxSpaltenWerte: return "MaxSpaltenWerte";
    default: return "";
    }
}

bool IstFunktion(std::int32_t art) {
    return (art >= 7 && art <= 20) || art == 26 || (art >= ArtMaxZeilen && art <= ArtMaxSpaltenWerte);
}

bool IstVergleich(std::int32_t art) { return art >= ArtGroesserGleich && art <= ArtGleichGleich; }

// The text a text leaf shows.
std::string Blatttext(const TDLine* e) {
    const auto* t = dynamic_cast<const TDText*>(e);
    return t ? t->Text : std::string();
}

// Whether a name ends in an index: "|" and one character that is not a separator.
bool EndetMitIndex(const std::string& s) {
    if (s.size() < 2 || s[s.size() - 2] != '|') return false;
    const char c = s.back();
    return c != '\0' && std::strchr("-.:=^_~", c) == nullptr;
}

// The font height of a leaf (its main font for a formula text).
std::int32_t Blattschrifthoehe(const TDLine* e, const TFormStyles& st) {
    if (const auto* f = dynamic_cast<const TFormelText*>(e))
        return std::abs(f->Stile ? f->Stile->MainFont.Height() : st.MainFont.Height());
    if (const auto* t = dynamic_cast<const TDText*>(e))
        return std::abs(t->Font ? t->Font->Height() : st.MainFont.Height());
    return std::abs(st.MainFont.Height());
}

// A text leaf in the index fonts.
void InIndexschrift(TDLine* e, const TFormStyles& st, Device& dc) {
    if (auto* f = dynamic_cast<TFormelText*>(e)) {
        f->Stile = IndexStile(st);
        f->OwnsStyle = 1;
        f->GetRect(dc);
    } else if (auto* t = dynamic_cast<TDText*>(e)) {
        t->TauscheFont(dc, std::make_shared<TCFont>(st.IndexFont));
        t->OwnsStyle = 1;
    }
}

// A text leaf one size smaller: a leaf in the main fonts goes to the index fonts, one
// already at index size to the index fonts' index size.
void Kleiner(TDLine* e, const TFormStyles& st, Device& dc) {
    const std::int32_t index = std::abs(st.IndexFont.Height());
    if (auto* f = dynamic_cast<TFormelText*>(e)) {
        if (f->Stile && std::abs(f->Stile->MainFont.Height()) <= index) {
            f->Stile = IndexStile(*f->Stile);
            f->OwnsStyle = 1;
            f->GetRect(dc);
            return;
        }
    } else if (auto* t = dynamic_cast<TDText*>(e)) {
        if (t->Font && std::abs(t->Font->Height()) <= index) {
            auto klein = std::make_shared<TCFont>(st.IndexFont);
            klein->Font.Height = RoundEven(index * st.IndexRatio);
            t->TauscheFont(dc, std::move(klein));
            t->OwnsStyle = 1;
            return;
        }
    }
    InIndexschrift(e, st, dc);
}

void StoreOpText(BufferedWriter& w, const std::string& t) {
    std::uint8_t buf[MaxOpText + 1] = {};
    const std::size_t n = std::min(t.size(), MaxOpText);
    buf[0] = static_cast<std::uint8_t>(n);
    std::memcpy(buf + 1, t.data(), n);
    w.Write(buf, sizeof buf);
}

bool LoadOpText(BufferedReader& r, std::string& t) {
    std::uint8_t buf[MaxOpText + 1];
    if (!r.Read(buf, sizeof buf)) return false;
    const std::size_t n = std::min<std::size_t>(buf[0], MaxOpText);
    t.assign(reinterpret_cast<const char*>(buf + 1), n);
    return true;
}

void StoreRect(BufferedWriter& w, const TRect& rc) {
    w.WriteI32(rc.Left);
    w.WriteI32(rc.Top);
    w.WriteI32(rc.Right);
    w.WriteI32(rc.Bottom);
}

bool LoadRect(BufferedReader& r, TRect& rc) {
    return r.ReadI32(rc.Left) && r.ReadI32(rc.Top) && r.ReadI32(rc.Right) && r.ReadI32(rc.Bottom);
}

std::unique_ptr<TKlammer> NeueKlammer(bool links, std::int32_t x, std::int32_t y,
                                      std::int32_t hoehe,
                                      const std::shared_ptr<TStyleHandle>& style) {
    return std::make_unique<TKlammer>(x, links ? TagKlammerLinks : TagKlammerRechts, false, style,
                                      links ? LinkeKlammerTabelle : RechteKlammerTabelle, hoehe,
                                      y);
}

void Verschieben(TDLine* e, std::int32_t dx, std::int32_t dy) {
    if (e && (dx != 0 || dy != 0)) e->MovePosRel(dx, dy);
}

// The middle height of a sign's points (its drawn body, without limit texts).
std::int32_t Zeichenmitte(const TDLine* e) {
    const auto* n = dynamic_cast<const TnEck*>(e);
    if (!n || n->Points.empty()) return e ? (e->Rect.Top + e->Rect.Bottom) / 2 : 0;
    std::int32_t lo = n->Points[0].y, hi = n->Points[0].y;
    for (const TPoint& p : n->Points) {
        lo = std::min(lo, p.y);
        hi = std::max(hi, p.y);
    }
    return (lo + hi) / 2;
}

// How far a sign's box reaches left of its drawn points (room a limit text made).
std::int32_t Linksraum(const TDLine* e) {
    const auto* n = dynamic_cast<const TnEck*>(e);
    if (!n || n->Points.empty()) return 0;
    std::int32_t lo = n->Points[0].x;
    for (const TPoint& p : n->Points) lo = std::min(lo, p.x);
    return std::max(0, lo - e->Rect.Left);
}

void Vereinigen(TRect& r, const TRect& e) {
    r.Left = std::min(r.Left, e.Left);
    r.Right = std::max(r.Right, e.Right);
    r.Top = std::max(r.Top, e.Top);
    r.Bottom = std::min(r.Bottom, e.Bottom);
}

std::int32_t Skaliert(std::int32_t v, std::int32_t o, Extended f) {
    return o + RoundEven((Extended(v) - o) * f);
}

} // namespace

std::shared_ptr<TFormStyles> IndexStile(const TFormStyles& st) {
    auto s = std::make_shared<TFormStyles>(TFormStyles::Empty);
    s->StyleRatioA = st.StyleRatioA;
    s->StyleRatioB = st.StyleRatioB;
    s->IndexRatio = st.IndexRatio;
    s->SpacingA = st.SpacingA;
    s->SpacingB = st.SpacingB;
    s->SpacingC = st.SpacingC;
    s->LimitWidth = st.LimitWidth;
    s->MainFont = st.IndexFont;
    s->SymbolFont = st.SymbolIndexFont;
    s->IndexFont = st.IndexFont;
    s->SymbolIndexFont = st.SymbolIndexFont;
    s->IndexFont.Font.Height = RoundEven(std::abs(st.IndexFont.Height()) * st.IndexRatio);
    s->SymbolIndexFont.Font.Height =
        RoundEven(std::abs(st.SymbolIndexFont.Height()) * st.IndexRatio);
    return s;
}

// ---- construction and layout ------------------------------------------------------------

TFormElem::TFormElem() : TDLine(TagFormElem) {}

TFormElem::TFormElem(Device& dc, std::uint32_t tag, bool bedingungsmodus, bool mehrereFormeln,
                     std::unique_ptr<TDLine> zweites, std::unique_ptr<TDLine> erstes,
                     std::int32_t art, bool ownsStyle, bool eigeneStile,
                     std::shared_ptr<TStyleHandle> style, std::shared_ptr<TFormStyles> stile)
    : TDLine(tag), DC(&dc), Stile(std::move(stile)), EigeneStile(eigeneStile ? 1 : 0), Art(art),
      Erstes(std::move(erstes)), Zweites(std::move(zweites)), Bedingungsmodus(bedingungsmodus),
      MehrereFormeln(mehrereFormeln) {
    Style = std::move(style);
    OwnsStyle = ownsStyle ? 1 : 0;
    if (!Stile) Stile = std::make_shared<TFormStyles>();
    Rect = {0, 0, 0, 0};
    OpFont = Stile->MainFont;
    Farbe = StylePen().Color;
    Aufbauen();
    Umfassen(true);
}

LogFont TFormElem::OpSchrift() const {
    LogFont f = OpFont.Font;
    // The minus sign is the Symbol font's minus, not the text's hyphen.
    if (Art == ArtMinus) f.SetFace("Symbol");
    return f;
}

// The node's rectangle holds everything the node and its children draw, and the node
// stands at the origin (Bottom 0, Left not below 0) as every element is built.
void TFormElem::Umfassen(bool aufNull) {
    for (const TDLine* e : {Erstes.get(), Zweites.get()})
        if (e) Vereinigen(Rect, e->Rect);
    if (HatKlammern) {
        if (KlammerLinks) Vereinigen(Rect, KlammerLinks->Rect);
        if (KlammerRechts) Vereinigen(Rect, KlammerRechts->Rect);
    }
    if (HatSymbolKlammern) {
        if (SymbolKlammerLinks) Vereinigen(Rect, SymbolKlammerLinks->Rect);
        if (SymbolKlammerRechts) Vereinigen(Rect, SymbolKlammerRechts->Rect);
    }
    if (ZeichnetOpText() && !OpText.empty()) {
        const LogFont f = OpSchrift();
        Vereinigen(Rect, {OpX, OpY + Hoehe(f, OpText), OpX + Breite(f, OpText), OpY});
    }
    if (Art == ArtFakultaet && Zweites && Stile) {
        const std::int32_t y = Achse - Stile->MainFont.Height() / 2;
        Vereinigen(Rect, {Zweites->Rect.Right + 5, y + Hoehe(OpFont.Font, "!"),
                        Zweites->Rect.Right + 5 + Breite(OpFont.Font, "!"), y});
    }
    if (!aufNull) return;
    const std::int32_t dx = Rect.Left < 0 ? -Rect.Left : 0;
    const std::int32_t dy = -Rect.Bottom;
    if (dx != 0 || dy != 0) MovePosRel(dx, dy);
}

// A stroke as heavy as the text's: about a twelfth of the operator font's height.
std::int32_t TFormElem::Strichstaerke() const {
    return std::max<std::int32_t>(1, RoundEven(std::abs(OpFont.Height()) * 0.08L));
}

bool TFormElem::ZeichnetOpText() const {
    return (Art >= ArtGleich && Art <= ArtMal) || IstFunktion(Art) || IstVergleich(Art);
}

TFormElem::~TFormElem() = default;

std::int32_t TFormElem::Breite(const LogFont& f, std::string_view text) const {
    return TextWidth(*DC, f, text);
}

std::int32_t TFormElem::Hoehe(const LogFont& f, std::string_view text) const {
    return TextHeight(*DC, f, text);
}

std::int32_t TFormElem::Achsenhoehe(const TDLine* e) const {
    if (!e) return 0;
    if (const TFormElem* k = Knoten(e)) return k->Achse;
    if (const auto* t = dynamic_cast<const TFormelText*>(e)) {
        // Half the main font height over the text's base line. For a text at the
        // origin that is Bottom + half (half when an index reaches below 0); a text
        // with an index that a parent has moved up has its base line above Bottom, so
        // the base line itself is taken (MittelY follows every move).
        if (t->Stile) return t->MittelY;
        const std::int32_t halb = (Stile ? Stile->MainFont.Height() : 40) / 2;
        return e->Rect.Bottom >= 0 ? e->Rect.Bottom + halb : halb;
    }
    return (e->Rect.Top + e->Rect.Bottom) / 2;
}

void TFormElem::Einklammern(TDLine* kind) {
    TFormElem* k = Knoten(kind);
    if (k && k->Art >= ArtXoder && k->Art < ArtBezeichner) k->KlammernSetzen();
}

void TFormElem::Aufbauen() {
    switch (Art) {
    case ArtGleich: case ArtPlus: case ArtMinus: case ArtMal:
        Rechenzeichen();
        return;
    case ArtGeteilt: Bruch(); return;
    case ArtHoch: case ArtQuadrat: Potenz(); return;
    case ArtAbs: Betrag(); return;
    case ArtWurzel: case ArtWurzel + 1: case ArtWurzel + 2: Wurzel(); return;
    case ArtFakultaet: Fakultaet(); return;
    case ArtGamma: Gamma(); return;
    case ArtSumme: case ArtIntegral: case ArtProdukt: Summe(); return;
    case ArtUntereinander: case ArtOder: case ArtUnd: case ArtXoder: Untereinander(); return;
    case ArtNebeneinander: Nebeneinander(); return;
    case ArtLegende: Legende(); return;
    case ArtKommentar: Kommentar(); return;
    default: break;
    }
    if (IstVergleich(Art)) Rechenzeichen();
    else if (IstFunktion(Art)) Funktion();
    else if (IstLaden(Art)) Bezeichner();
}

// = + - * and the comparisons: the operator text between the two operands, both on
// one axis.
void TFormElem::Rechenzeichen() {
    switch (Art) {
    case ArtGleich: OpText = "="; break;
    case ArtPlus: OpText = "+"; break;
    case ArtMinus: OpText = "-"; break;
    case ArtMal: OpText = "\xB7"; break;
    default: OpText = Funktionstabelle[Art]; break;
    }
    if (Art == ArtMal) {
        if (IstPlusMinus(Erstes.get())) Einklammern(Erstes.get());
        if (IstPlusMinus(Zweites.get())) Einklammern(Zweites.get());
    } else if (Art == ArtMinus && IstPlusMinus(Zweites.get())) {
        Einklammern(Zweites.get());
    }
    const std::int32_t th = Hoehe(OpSchrift(), OpText);
    const std::int32_t tw = Breite(OpSchrift(), OpText);
    const std::int32_t W1 = BreiteVon(Erstes.get());
    const std::int32_t H1 = HoeheVon(Erstes.get()), H2 = HoeheVon(Zweites.get());
    if (Erstes) {
        // The gap grows with the operands' height, but no further than one and a half
        // times the gap between two one-line operands.
        const std::int32_t grenze = RoundEven(
            Extended(std::abs(OpFont.Height())) * Stile->StyleRatioA * 3 / 2);
        std::int32_t gap = std::min(RoundEven(Extended(H1 + H2) / 2 * Stile->StyleRatioA), grenze);
        if (Art == ArtMal) gap /= 5;
        OpX = Erstes->Rect.Right + gap;
        OpY = Achsenhoehe(Erstes.get()) - th / 2;
        if (Zweites) {
            Zweites->MovePosRel(tw + W1 + 2 * gap, OpY + th / 2 - Achsenhoehe(Zweites.get()));
            // An integral whose lower limit widened its box to the left tucks that
            // limit under the operator, but no further than its sign stays clear of it.
            const TFormElem* k = Knoten(Zweites.get());
            if (IntegralMitGrenzen(Zweites.get()) && !k->HatSymbolKlammern)
                Zweites->MovePosRel(-std::min<std::int32_t>(40, Linksraum(k->Erstes.get())), 0);
        }
        Rect.Top = Zweites ? std::max(Erstes->Rect.Top, Zweites->Rect.Top) : Erstes->Rect.Top;
    } else {
        OpX = 0;
        OpY = Achsenhoehe(Zweites.get()) - th / 2;
        if (Zweites) {
            // A leading sign stands tight before its operand.
            // Before an integral whose lower limit widened its box to the left the
            // sign tucks over that limit, but its own ink stays clear of the sign.
            std::int32_t dx = tw + Stile->SpacingB / 4;
            if (IntegralMitGrenzen(Zweites.get()))
                dx = std::max(-3 * Stile->SpacingB,
                              dx - Linksraum(Knoten(Zweites.get())->Erstes.get()));
            Zweites->MovePosRel(dx, 0);
        }
        Rect.Top = Zweites ? Zweites->Rect.Top : th;
    }
    Rect.Right = Zweites ? Zweites->Rect.Right : OpX + tw;
    Achse = Zweites ? Achsenhoehe(Zweites.get()) : Achsenhoehe(Erstes.get());
}

// a/b: the numerator over the denominator, the narrower centred on the wider, the
// fraction bar on the axis. A numerator that is a fraction itself (a/b/c) is taken
// apart: a over b·c.
void TFormElem::Bruch() {
    if (TFormElem* innen = Knoten(Erstes.get()); innen && innen->Art == ArtGeteilt) {
        std::unique_ptr<TDLine> a = std::move(innen->Erstes);
        std::unique_ptr<TDLine> b = std::move(innen->Zweites);
        if (a) a->MovePosRel(-a->Rect.Left, -a->Rect.Bottom);
        if (b) b->MovePosRel(-b->Rect.Left, -b->Rect.Bottom);
        Erstes = std::move(a);  // frees the inner fraction
        Zweites = std::make_unique<TFormElem>(*DC, Tag, Bedingungsmodus, MehrereFormeln,
                                              std::move(Zweites), std::move(b), ArtMal,
                                              OwnsStyle != 0, EigeneStile != 0, Style, Stile);
    }
    // A text with an index reaches below its base line: numerator and denominator
    // stand on their lowest ink, so the gaps to the bar hold.
    for (TDLine* e : {Erstes.get(), Zweites.get()})
        if (e && e->Rect.Bottom < 0) e->MovePosRel(0, -e->Rect.Bottom);
    const std::int32_t W1 = BreiteVon(Erstes.get()), W2 = BreiteVon(Zweites.get());
    const std::int32_t H2 = HoeheVon(Zweites.get());
    const std::int32_t d = std::abs(W1 - W2) / 2;
    const std::int32_t hoch = 2 * Stile->SpacingA + H2;
    if (W1 > W2) {
        Verschieben(Erstes.get(), 0, hoch);
        Verschieben(Zweites.get(), d, 0);
        Rect.Right = Rect.Left + W1;
    } else {
        Verschieben(Erstes.get(), d, hoch);
        Rect.Right = Rect.Left + W2;
    }
    Rect.Top = Erstes ? Erstes->Rect.Top : hoch;
    OpY = (Zweites ? Zweites->Rect.Top : 0) + Stile->SpacingA;
    Achse = OpY;
}

// x^y and QUADRAT(x): the exponent in the index font, raised and right of the base.
void TFormElem::Potenz() {
    if (Art == ArtQuadrat) {
        if (!Erstes) Erstes = std::move(Zweites);
        Zweites = std::make_unique<TDText>(*DC, 12, true, true, TA_LEFT | TA_BOTTOM, Farbe, 0,
                                           std::make_shared<TCFont>(Stile->IndexFont), "2", 0, 0);
    }
    TFormElem* basis = Knoten(Erstes.get());
    if (basis && !(basis->Art >= ArtAbs && basis->Art <= 19)) Einklammern(basis);
    if (IstTextblatt(Zweites.get())) InIndexschrift(Zweites.get(), *Stile, *DC);
    // Every exponent is set at index size, an expression as well as a single letter.
    if (TFormElem* hoch = Knoten(Zweites.get()); hoch && !hoch->Verkleinert) hoch->Verkleinern();
    if (basis && Zweites && IstLaden(basis->Art) &&
        (basis->Art < ArtXoder || EndetMitIndex(Blatttext(basis->Erstes.get())))) {
        const TFormElem* hoch = Knoten(Zweites.get());
        const bool textExponent =
            IstTextblatt(Zweites.get()) ||
            (hoch && dynamic_cast<const TFormelText*>(hoch->Erstes.get()) != nullptr);
        if (textExponent)
            Zweites->MovePosRel(-Blattschrifthoehe(basis->Erstes.get(), *Stile) / 3, 0);
    }
    const std::int32_t W1 = BreiteVon(Erstes.get()), H1 = HoeheVon(Erstes.get());
    if (Zweites) {
        Zweites->MovePosRel(W1 + Stile->SpacingB / 4, RoundEven(H1 * Stile->StyleRatioB) - 2);
        if (Erstes && Erstes->Rect.Top > Zweites->Rect.Top)
            Zweites->MovePosRel(0, Erstes->Rect.Top - Zweites->Rect.Top);
    }
    Rect.Top = std::max(Erstes ? Erstes->Rect.Top : 0, Zweites ? Zweites->Rect.Top : 0);
    Rect.Right = Zweites ? Zweites->Rect.Right : W1;
    Rect.Bottom = Erstes ? Erstes->Rect.Bottom : 0;
    Achse = Achsenhoehe(Erstes.get());
}

// ABS(x): the argument between two bars at Left and Right.
void TFormElem::Betrag() {
    TDLine* arg = Zweites ? Zweites.get() : Erstes.get();
    Verschieben(arg, Stile->SpacingB, 0);
    Rect.Right = (arg ? arg->Rect.Right : 0) + Stile->SpacingB;
    Rect.Top = arg ? arg->Rect.Top : 0;
    Achse = Achsenhoehe(arg);
}

// Sin(x) and friends: the display name, then the argument in parentheses.
void TFormElem::Funktion() {
    OpText = Anzeigename(Art);
    const std::int32_t tw = Breite(OpFont.Font, OpText);
    const std::int32_t W1 = RoundEven(Extended(tw) * 11 / 10);
    const std::int32_t W2 = BreiteVon(Zweites.get()), H2 = HoeheVon(Zweites.get());
    const std::int32_t sb = Stile->SpacingB;
    HatKlammern = 1;
    // The brackets span the argument's full height, an index below its base line too.
    const std::int32_t unten = Zweites ? Zweites->Rect.Bottom : 0;
    KlammerLinks = NeueKlammer(true, W1 + 5, unten, H2, Style);
    const std::int32_t wl = BreiteVon(KlammerLinks.get());
    // The right bracket as far from the argument as the left one (sb - 5).
    KlammerRechts = NeueKlammer(false, 2 * sb - 5 + W1 + wl + W2, unten, H2, Style);
    Verschieben(Zweites.get(), sb + W1 + wl, 0);
    Achse = Achsenhoehe(Zweites.get());
    OpX = 0;
    OpY = Achse - Stile->MainFont.Height() / 2;
    Rect.Top = KlammerLinks->Rect.Top;
    Rect.Right = KlammerRechts->Rect.Right;
    Rect.Bottom = KlammerLinks->Rect.Bottom;
}

// WURZEL, WURZEL3, WURZEL4: the root sign over the radicand.
void TFormElem::Wurzel() {
    const std::int32_t W2 = BreiteVon(Zweites.get()), H2 = HoeheVon(Zweites.get());
    const std::int32_t sb = Stile->SpacingB;
    auto zeichen = std::make_unique<TWurzel>(
        *DC, TagWurzel, false, std::shared_ptr<TCFont>(Stile, &Stile->IndexFont), false, Style,
        Art - 19, 2 * sb + W2, sb + H2, Zweites ? Zweites->Rect.Bottom : 0, 0);
    Verschieben(Zweites.get(), zeichen->RadikandX() + sb, 0);
    Rect = zeichen->Rect;
    Erstes = std::move(zeichen);
    Achse = Achsenhoehe(Zweites.get());
}

// FAKULTÄT(x): the operand (in parentheses unless it is a text) and "!".
void TFormElem::Fakultaet() {
    TFormElem* k = Knoten(Zweites.get());
    if (k && !k->HatKlammern) Einklammern(k);
    Achse = Achsenhoehe(Zweites.get());
    Rect.Top = Zweites ? Zweites->Rect.Top : 0;
    Rect.Right = BreiteVon(Zweites.get()) + Stile->MainFont.Height() / 3;
}

// GAMMA(x): the gamma sign, then the argument, always in parentheses.
void TFormElem::Gamma() {
    if (Zweites) {
        if (TFormElem* k = Knoten(Zweites.get())) {
            if (!k->HatKlammern) k->KlammernSetzen();
        } else {
            // A bare leaf gets a node of its own to carry the parentheses.
            auto huelle = std::make_unique<TFormElem>(*DC, Tag, Bedingungsmodus, MehrereFormeln,
                                                      nullptr, std::move(Zweites), ArtBezeichner,
                                                      OwnsStyle != 0, EigeneStile != 0, Style,
                                                      Stile);
            huelle->KlammernSetzen();
            Zweites = std::move(huelle);
        }
    }
    // The sign is a capital letter: seven tenths of the main font high, centred on the
    // argument's axis, so it stands on the line however deep the argument nests.
    const std::int32_t sb = Stile->SpacingB;
    const std::int32_t hoehe = std::min<std::int32_t>(
        RoundEven(Extended(std::abs(Stile->MainFont.Height())) * 7 / 10), TGamma::MaxHoehe);
    const std::int32_t achse = Zweites ? Achsenhoehe(Zweites.get()) : hoehe / 2;
    auto zeichen = std::make_unique<TGamma>(*DC, TagGamma, false, Style, hoehe, achse - hoehe / 2, 0);
    Verschieben(Zweites.get(), zeichen->Rect.Right + sb / 2, 0);
    Rect = zeichen->Rect;
    Erstes = std::move(zeichen);
    Achse = achse;
}

// SUMME, PRODUKT and INTEGRAL: the sign sized to the body, the body in parentheses,
// centred on the sign.
void TFormElem::Summe() {
    const std::int32_t H2 = HoeheVon(Zweites.get());
    if (auto* s = dynamic_cast<TSigma*>(Erstes.get())) {
        s->HoeheSetzen(*DC, H2);
    } else if (auto* i = dynamic_cast<TIntegral*>(Erstes.get())) {
        i->HoeheSetzen(*DC, 2 * H2);
    }
    if (Erstes) {
        Erstes->Style = Style;
        Erstes->OwnsStyle = OwnsStyle;
    }
    const std::int32_t W1 = BreiteVon(Erstes.get()), W2 = BreiteVon(Zweites.get());
    const std::int32_t sb = Stile->SpacingB;
    // The sign's middle lies on the body's axis (a fraction's bar), and the brackets
    // span the body's full height; a body taller than the sign reaches above and below
    // it, and the node's rectangle grows over both.
    const std::int32_t mitte = Erstes ? Zeichenmitte(Erstes.get()) : H2 / 2;
    if (Zweites) Zweites->MovePosRel(0, mitte - Achsenhoehe(Zweites.get()));
    const std::int32_t unten = Zweites ? Zweites->Rect.Bottom : mitte;
    HatKlammern = 1;
    KlammerLinks = NeueKlammer(true, sb + W1, unten, H2, Style);
    const std::int32_t wl = BreiteVon(KlammerLinks.get());
    // The right bracket as close to the body as the left one.
    KlammerRechts = NeueKlammer(false, sb + W1 + wl + W2, unten, H2, Style);
    Verschieben(Zweites.get(), sb + W1 + wl, 0);
    OpX = 0;
    OpY = mitte;
    Rect = Erstes ? Erstes->Rect : TRect{0, 0, 0, 0};
    Rect.Left = 0;
    Achse = mitte;
}

// ; and the connectives: the first sub-formula 15 above the second; in condition mode
// the narrower centred on the wider.
void TFormElem::Untereinander() {
    const std::int32_t W1 = BreiteVon(Erstes.get()), W2 = BreiteVon(Zweites.get());
    if (Bedingungsmodus) {
        if (W1 < W2) Verschieben(Erstes.get(), (W2 - W1) / 2, 0);
        else Verschieben(Zweites.get(), (W1 - W2) / 2, 0);
    }
    if (Zweites) {
        Verschieben(Erstes.get(), 0, Zweites->Rect.Top + AbstandUntereinander);
        Achse = Achsenhoehe(Zweites.get());
    } else {
        Achse = Achsenhoehe(Erstes.get());
    }
    Rect.Right = std::max(W1, W2);
    Rect.Top = Erstes ? Erstes->Rect.Top : (Zweites ? Zweites->Rect.Top : 0);
}

// ":": the second sub-formula 50 to the right of the first, on the same axis.
void TFormElem::Nebeneinander() {
    if (!Erstes || !Zweites) {
        TDLine* e = Erstes ? Erstes.get() : Zweites.get();
        if (e) Rect = e->Rect;
        Achse = Achsenhoehe(e);
        return;
    }
    Zweites->MovePosRel(Erstes->Rect.Right + AbstandNebeneinander, 0);
    const std::int32_t a1 = Achsenhoehe(Erstes.get()), a2 = Achsenhoehe(Zweites.get());
    if (a1 < a2) Erstes->MovePosRel(0, a2 - a1);
    else if (a2 < a1) Zweites->MovePosRel(0, a1 - a2);
    TFormElem* stapel = Knoten(Erstes.get());
    if (stapel && stapel->Art == ArtUntereinander && stapel->Erstes) {
        // The formula above the row keeps its gap over the taller of the two formulas
        // of the row; the stacked node's second formula stays on the row's axis.
        TDLine* oben = stapel->Erstes.get();
        if (oben->Rect.Bottom - AbstandUntereinander < Zweites->Rect.Top) {
            const std::int32_t d = Zweites->Rect.Top - oben->Rect.Bottom + AbstandUntereinander;
            oben->MovePosRel(0, d);
            stapel->Rect.Top = std::max(stapel->Rect.Top, oben->Rect.Top);
        }
    }
    Rect.Top = std::max(Erstes->Rect.Top, Zweites->Rect.Top);
    const TFormElem* k = Knoten(Erstes.get());
    const TDLine* erstesKind = k && k->Erstes ? k->Erstes.get() : Erstes.get();
    Rect.Right = std::max(Zweites->Rect.Right, erstesKind->Rect.Right);
    Achse = Achsenhoehe(Erstes.get());
}

// {...}: the legend below the formula, centred unless the text has several formulas.
void TFormElem::Legende() {
    const std::int32_t W1 = BreiteVon(Erstes.get()), W2 = BreiteVon(Zweites.get());
    if (Zweites) Verschieben(Erstes.get(), 0, Zweites->Rect.Top + AbstandLegende);
    if (!MehrereFormeln) {
        if (W1 < W2) Verschieben(Erstes.get(), (W2 - W1) / 2, 0);
        else Verschieben(Zweites.get(), (W1 - W2) / 2, 0);
    }
    Rect.Right = std::max(W1, W2);
    Rect.Top = Erstes ? Erstes->Rect.Top : (Zweites ? Zweites->Rect.Top : 0);
    Achse = Achsenhoehe(Erstes.get());
}

// "...": the comment right of the formula, centred on its axis.
void TFormElem::Kommentar() {
    const std::int32_t W1 = BreiteVon(Erstes.get()), H2 = HoeheVon(Zweites.get());
    Verschieben(Zweites.get(), W1 + Stile->SpacingC, Achsenhoehe(Erstes.get()) - H2 / 2);
    Rect.Top = std::max(Erstes ? Erstes->Rect.Top : 0, Zweites ? Zweites->Rect.Top : 0);
    Rect.Right = Zweites ? Zweites->Rect.Right : W1;
    Achse = Achsenhoehe(Erstes.get());
}

// An identifier load: the node is the identifier's leaf.
void TFormElem::Bezeichner() {
    if (Erstes) Rect = Erstes->Rect;
    Achse = Achsenhoehe(Erstes.get());
}

void TFormElem::InhaltVerschieben(std::int32_t dx) {
    Verschieben(Erstes.get(), dx, 0);
    Verschieben(Zweites.get(), dx, 0);
    Verschieben(SymbolKlammerLinks.get(), dx, 0);
    Verschieben(SymbolKlammerRechts.get(), dx, 0);
    if (HatKlammern) {
        Verschieben(KlammerLinks.get(), dx, 0);
        Verschieben(KlammerRechts.get(), dx, 0);
    }
    OpX += dx;
}

void TFormElem::KlammernSetzen() {
    if (HatKlammern && !HatSymbolKlammern) {
        // A sum, product, integral or function keeps its own pair inside the new one.
        SymbolKlammerLinks = std::move(KlammerLinks);
        SymbolKlammerRechts = std::move(KlammerRechts);
        HatSymbolKlammern = 1;
        HatKlammern = 0;
    }
    const std::int32_t h = Rect.Top - Rect.Bottom;
    auto links = NeueKlammer(true, Rect.Left, Rect.Bottom, h, Style);
    const std::int32_t wl = BreiteVon(links.get());
    auto rechts = NeueKlammer(false, Rect.Right + wl, Rect.Bottom, h, Style);
    if (!HatKlammern) InhaltVerschieben(wl);
    KlammerLinks = std::move(links);
    KlammerRechts = std::move(rechts);
    HatKlammern = 1;
    Rect.Left = KlammerLinks->Rect.Left;
    Rect.Top = KlammerLinks->Rect.Top;
    Rect.Right = KlammerRechts->Rect.Right;
    Rect.Bottom = KlammerRechts->Rect.Bottom;
}

// ---- drawing and geometry ---------------------------------------------------------------

void TFormElem::Draw(Device& dc) {
    if (Erstes) Erstes->Draw(dc);
    if (Zweites) Zweites->Draw(dc);
    if (HatKlammern) {
        if (KlammerLinks) KlammerLinks->Draw(dc);
        if (KlammerRechts) KlammerRechts->Draw(dc);
    }
    if (HatSymbolKlammern) {
        if (SymbolKlammerLinks) SymbolKlammerLinks->Draw(dc);
        if (SymbolKlammerRechts) SymbolKlammerRechts->Draw(dc);
    }
    const LogPen pen = StylePen();
    const LogPen altPen = dc.SelectPen(pen);
    dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
    dc.SetTextColor(Farbe);
    dc.SetBkMode(TRANSPARENT);
    auto text = [&](const LogFont& f, std::int32_t x, std::int32_t y, std::string_view t) {
        const LogFont alt = dc.SelectFont(ScaledFont(dc, f));
        dc.TextOut(x, y, t);
        dc.SelectFont(alt);
    };
    switch (Art) {
    case ArtXoder: case ArtUnd: case ArtOder:
        if (Zweites && Stile) {
            const char* wort = Art == ArtXoder ? "xoder" : Art == ArtUnd ? "und" : "oder";
            const std::int32_t ww = TextWidth(dc, Stile->IndexFont.Font, wort);
            const std::int32_t l = Erstes ? Erstes->Rect.Left : 0;
            const std::int32_t r = Erstes ? Erstes->Rect.Right : 0;
            dc.SetTextColor(RGB(128, 128, 128));
            text(Stile->IndexFont.Font, (l + r - ww) / 2, Zweites->Rect.Top - 8, wort);
            dc.SetTextColor(Farbe);
        }
        break;
    case ArtGeteilt: {
        const TDLine* schmal = nullptr;  // the child with the smaller Left
        if (Erstes && Zweites)
            schmal = Erstes->Rect.Left <= Zweites->Rect.Left ? Erstes.get() : Zweites.get();
        else
            schmal = Erstes ? Erstes.get() : Zweites.get();
        if (!schmal) break;
        const std::int32_t l = schmal->Rect.Left, r = schmal->Rect.Right;
        // A bar of the text's stroke weight on the axis, filled in the pen's colour.
        const std::int32_t w = Strichstaerke();
        const std::int32_t oben = OpY + w / 2, unten = oben - w;
        const TPoint balken[4] = {{l, oben}, {r, oben}, {r, unten}, {l, unten}};
        const LogPen ohne = dc.SelectPen(NullPen());
        const LogBrush altBrush = dc.SelectBrush({BS_SOLID, pen.Color, 0});
        dc.Polygon(balken, 4);
        dc.SelectBrush(altBrush);
        dc.SelectPen(ohne);
        break;
    }
    case ArtAbs: {
        // Bars of the text's stroke weight, inside the box at its two sides.
        const std::int32_t w = Strichstaerke();
        const TPoint links[4] = {{Rect.Left, Rect.Top}, {Rect.Left + w, Rect.Top},
                                 {Rect.Left + w, Rect.Bottom}, {Rect.Left, Rect.Bottom}};
        const TPoint rechts[4] = {{Rect.Right - w, Rect.Top}, {Rect.Right, Rect.Top},
                                  {Rect.Right, Rect.Bottom}, {Rect.Right - w, Rect.Bottom}};
        const LogPen ohne = dc.SelectPen(NullPen());
        const LogBrush altBrush = dc.SelectBrush({BS_SOLID, pen.Color, 0});
        dc.Polygon(links, 4);
        dc.Polygon(rechts, 4);
        dc.SelectBrush(altBrush);
        dc.SelectPen(ohne);
        break;
    }
    case ArtFakultaet:
        if (Zweites && Stile)
            text(OpFont.Font, Zweites->Rect.Right + 5, Achse - Stile->MainFont.Height() / 2, "!");
        break;
    default:
        if (ZeichnetOpText()) text(OpSchrift(), OpX, OpY, OpText);
        break;
    }
    dc.SelectPen(altPen);
}

void TFormElem::MovePos(std::int32_t x, std::int32_t y) {
    MovePosRel(x - Rect.Left, y - Rect.Top);
}

void TFormElem::MovePosRel(std::int32_t dx, std::int32_t dy) {
    TDLine::MovePosRel(dx, dy);
    Verschieben(Erstes.get(), dx, dy);
    Verschieben(Zweites.get(), dx, dy);
    Verschieben(KlammerLinks.get(), dx, dy);
    Verschieben(KlammerRechts.get(), dx, dy);
    Verschieben(SymbolKlammerLinks.get(), dx, dy);
    Verschieben(SymbolKlammerRechts.get(), dx, dy);
    OpX += dx;
    OpY += dy;
    Achse += dy;
}

void TFormElem::Stretch(int /*handle*/, const TRect& rIn) {
    const std::int32_t alt = Rect.Right - Rect.Left;
    if (alt == 0 || !Stile) return;
    const TRect r = NormalizeRect(rIn);
    const std::int32_t neu = r.Right - r.Left;
    const Extended f = neu <= 100 ? Extended(100) / alt : Extended(neu) / alt;
    const std::int32_t haupt = RoundEven(std::abs(Extended(Stile->MainFont.Height()) * f));
    const std::int32_t index = RoundEven(haupt * Stile->IndexRatio);
    Stile->MainFont.Font.Height = haupt;
    Stile->SymbolFont.Font.Height = haupt;
    Stile->IndexFont.Font.Height = index;
    Stile->SymbolIndexFont.Font.Height = index;
}

void TFormElem::Verkleinern() {
    if (Verkleinert || !Stile) return;
    Skalieren(Stile->IndexRatio, Rect.Left, Rect.Bottom);
}

void TFormElem::Skalieren(Extended f, std::int32_t ox, std::int32_t oy) {
    Verkleinert = 1;
    auto kind = [&](TDLine* e) {
        if (!e) return;
        if (TFormElem* k = Knoten(e)) {
            k->Skalieren(f, ox, oy);
            return;
        }
        const std::int32_t l = Skaliert(e->Rect.Left, ox, f);
        const std::int32_t b = Skaliert(e->Rect.Bottom, oy, f);
        if (auto* t = dynamic_cast<TDText*>(e)) {
            Device* dc = t->DC ? t->DC : DC;
            if (dc) Kleiner(t, *Stile, *dc);
        } else {
            e->Zoom(f);  // signs: the points about their own Left and Bottom
            // Their texts (limits, the root's degree) shrink with them.
            if (auto* z = dynamic_cast<TSigma*>(e); z && z->Stile) {
                z->Stile = IndexStile(*z->Stile);
            } else if (auto* i = dynamic_cast<TIntegral*>(e); i && i->Stile) {
                i->Stile = IndexStile(*i->Stile);
            } else if (auto* w = dynamic_cast<TWurzel*>(e); w && w->GradFont) {
                auto g = std::make_shared<TCFont>(*w->GradFont);
                g->Font.Height = RoundEven(g->Font.Height * f);
                w->GradFont = std::move(g);
            }
        }
        e->MovePosRel(l - e->Rect.Left, b - e->Rect.Bottom);
    };
    kind(Erstes.get());
    kind(Zweites.get());
    kind(KlammerLinks.get());
    kind(KlammerRechts.get());
    kind(SymbolKlammerLinks.get());
    kind(SymbolKlammerRechts.get());
    Rect.Left = Skaliert(Rect.Left, ox, f);
    Rect.Right = Skaliert(Rect.Right, ox, f);
    Rect.Top = Skaliert(Rect.Top, oy, f);
    Rect.Bottom = Skaliert(Rect.Bottom, oy, f);
    OpX = Skaliert(OpX, ox, f);
    OpY = Skaliert(OpY, oy, f);
    Achse = Skaliert(Achse, oy, f);
    if (Stile) OpFont = Stile->IndexFont;
    // The texts now have the index fonts' own sizes, which scaling the positions does
    // not give exactly: the box grows over them.
    if (DC) Umfassen(false);
}

// ---- persistence ------------------------------------------------------------------------

void TFormElem::Store(BufferedWriter& w) const {
    StoreRect(w, Rect);
    w.WriteU32(Tag);
    w.WriteU8(OwnsStyle ? 1 : 0);
    if (OwnsStyle) {
        TPenBrushTyp s;
        if (const LogBrush* b = StyleBrush()) s.Brush = *b;
        s.Pen->Pen = StylePen();
        s.Store(w);
    }
    const bool mitStilen = EigeneStile && Stile;
    w.WriteU8(mitStilen ? 1 : 0);
    if (mitStilen) Stile->Store(w);
    const bool mitKlammern = HatKlammern && KlammerLinks && KlammerRechts;
    w.WriteU8(mitKlammern ? 1 : 0);
    if (mitKlammern) {
        KlammerLinks->Store(w);
        KlammerRechts->Store(w);
    }
    w.WriteU8(Verkleinert);
    w.WriteI32(Art);
    w.WriteI32(OpX);
    w.WriteI32(OpY);
    StoreOpText(w, OpText);
    if (Erstes) Erstes->Store(w);
    if (Zweites) Zweites->Store(w);
}

bool TFormElem::LadenFelder(BufferedReader& r) {
    TRect rc;
    std::uint32_t tag;
    std::uint8_t owns, eigene, klammern, verkleinert;
    if (!LoadRect(r, rc) || !r.ReadU32(tag) || !r.ReadU8(owns)) return false;
    std::shared_ptr<TPenBrushTyp> style;
    if (owns) {
        style = std::make_shared<TPenBrushTyp>();
        if (!style->Load(r)) return false;
    }
    if (!r.ReadU8(eigene)) return false;
    std::shared_ptr<TFormStyles> stile;
    if (eigene) {
        stile = std::make_shared<TFormStyles>(TFormStyles::Empty);
        if (!stile->Load(r)) return false;
    }
    if (!r.ReadU8(klammern)) return false;
    if (klammern) {
        if (!KlammerLinks) KlammerLinks = std::make_unique<TKlammer>();
        if (!KlammerRechts) KlammerRechts = std::make_unique<TKlammer>();
        if (!KlammerLinks->Load(r) || !KlammerRechts->Load(r)) return false;
    }
    std::int32_t art, opX, opY;
    std::string opText;
    if (!r.ReadU8(verkleinert) || !r.ReadI32(art) || !r.ReadI32(opX) || !r.ReadI32(opY) ||
        !LoadOpText(r, opText))
        return false;
    Rect = rc;
    Tag = tag;
    OwnsStyle = owns ? 1 : 0;
    if (style) Style = std::move(style);
    EigeneStile = eigene ? 1 : 0;
    if (stile) Stile = std::move(stile);
    HatKlammern = klammern ? 1 : 0;
    Verkleinert = verkleinert ? 1 : 0;
    Art = art;
    OpX = opX;
    OpY = opY;
    OpText = std::move(opText);
    return true;
}

bool TFormElem::Load(BufferedReader& r) {
    if (!LadenFelder(r)) return false;
    if (Erstes && !Erstes->Load(r)) return false;
    if (Zweites && !Zweites->Load(r)) return false;
    if (Stile) OpFont = Verkleinert ? Stile->IndexFont : Stile->MainFont;
    Farbe = StylePen().Color;
    StileVerteilen();
    return true;
}

void TFormElem::StileVerteilen() {
    auto kind = [&](TDLine* e) {
        if (!e) return;
        if (!e->Style) e->Style = Style;
        if (TFormElem* k = Knoten(e)) {
            if (!k->Stile) {
                k->Stile = Stile;
                if (Stile) k->OpFont = k->Verkleinert ? Stile->IndexFont : Stile->MainFont;
            }
            if (!k->Style) k->Farbe = StylePen().Color;
            k->StileVerteilen();
        } else if (auto* t = dynamic_cast<TFormelText*>(e)) {
            if (!t->Stile) t->Stile = Stile;
            if (!t->DC) t->DC = DC;
        } else if (auto* s = dynamic_cast<TSigma*>(e)) {
            if (!s->Stile) s->Stile = Stile;
        } else if (auto* i = dynamic_cast<TIntegral*>(e)) {
            if (!i->Stile) i->Stile = Stile;
        }
    };
    kind(Erstes.get());
    kind(Zweites.get());
    kind(KlammerLinks.get());
    kind(KlammerRechts.get());
    kind(SymbolKlammerLinks.get());
    kind(SymbolKlammerRechts.get());
}

void RegisterFormElemClasses() {
    RegisterTextObjectClasses();
    RegisterSignClasses();
    RegisterDrawingClass("TFormElem", [] { return std::make_unique<TFormElem>(); });
}

} // namespace kd
