#include "core/typeset/Formelzeichen.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include <typeinfo>

#include "core/page/Rounding.h"
#include "core/page/TextSys.h"
#include "core/page/VirtPntBox.h"

namespace kd {

bool& SymbolKlammer() {
    static bool gesetzt = true;
    return gesetzt;
}

// ---- point tables -------------------------------------------------------------------

namespace {

constexpr TPoint LinkeKlammerPunkte[] = {
    {8, 0}, {4, 2}, {2, 6}, {1, 10}, {0, 18}, {0, 34}, {1, 42},
    {2, 46}, {4, 50}, {8, 52}, {5, 48}, {3, 35}, {3, 17}, {5, 4}};
constexpr TPoint RechteKlammerPunkte[] = {
    {0, 0}, {4, 2}, {6, 6}, {7, 10}, {8, 18}, {8, 34}, {7, 42},
    {6, 46}, {4, 50}, {0, 52}, {3, 48}, {5, 35}, {5, 17}, {3, 4}};
constexpr TPoint WurzelPunkte[] = {
    {0, 34}, {10, 34}, {16, 14}, {21, 52}, {40, 52}, {40, 51}, {22, 51}, {16, 0}, {6, 33}, {0, 33}};
constexpr TPoint GammaPunkte[] = {
    {0, 0}, {0, 5}, {10, 5}, {10, 115}, {0, 115}, {0, 120}, {100, 120},
    {100, 95}, {95, 107}, {90, 110}, {20, 115}, {20, 5}, {30, 5}, {30, 0}};
constexpr TPoint SummenPunkte[] = {
    {0, 0}, {12, 20}, {0, 40}, {28, 40}, {28, 32}, {24, 38},
    {5, 38}, {15, 22}, {5, 4}, {24, 4}, {28, 6}, {27, 0}};
constexpr TPoint ProduktPunkte[] = {
    {0, 0}, {0, 5}, {10, 5}, {10, 115}, {0, 115}, {0, 120}, {100, 120},
    {100, 115}, {90, 115}, {90, 5}, {100, 5}, {100, 0}, {70, 0}, {70, 5},
    {80, 5}, {80, 115}, {20, 115}, {20, 5}, {30, 5}, {30, 0}};
constexpr TPoint IntegralPunkte[] = {
    {4, 10}, {5, 15}, {7, 17}, {10, 20}, {15, 20}, {18, 15}, {15, 10}, {20, 11},
    {25, 18}, {30, 30}, {35, 47}, {40, 65}, {45, 90}, {50, 115}, {55, 135}, {60, 150},
    {65, 160}, {70, 170}, {75, 175}, {80, 178}, {85, 180}, {90, 180}, {95, 175}, {96, 170},
    {95, 165}, {93, 162}, {90, 160}, {85, 160}, {82, 165}, {85, 170}, {80, 168}, {75, 160},
    {70, 150}, {65, 133}, {60, 115}, {55, 90}, {50, 65}, {45, 45}, {40, 30}, {36, 20},
    {30, 10}, {25, 4}, {20, 1}, {15, 0}, {10, 0}, {5, 5}};

template <std::size_t N>
constexpr Zeichentabelle Tabelle(const TPoint (&p)[N], std::int32_t hoehe) {
    return {p, static_cast<int>(N), hoehe};
}

} // namespace

const Zeichentabelle LinkeKlammerTabelle = Tabelle(LinkeKlammerPunkte, 52);
const Zeichentabelle RechteKlammerTabelle = Tabelle(RechteKlammerPunkte, 52);
// The height of the root sign: the 7th point's y minus the 8th's, minus 1.
const Zeichentabelle WurzelTabelle = Tabelle(WurzelPunkte, 50);
const Zeichentabelle GammaTabelle = Tabelle(GammaPunkte, 120);
const Zeichentabelle SummenTabelle = Tabelle(SummenPunkte, 40);
const Zeichentabelle ProduktTabelle = Tabelle(ProduktPunkte, 120);
const Zeichentabelle IntegralTabelle = Tabelle(IntegralPunkte, 180);

namespace {

std::string Kurzgrenze(std::string_view t) {
    t = t.substr(0, t.find('\0'));
    return std::string(t.substr(0, MaxGrenztext));
}

// Point i (0-based) or the origin when the sign has fewer points (a damaged record).
TPoint Punkt(const TnEck& e, std::size_t i) {
    return i < e.Points.size() ? e.Points[i] : TPoint{e.OriginX, e.OriginY};
}

void TabelleSetzen(TnEck& e, const Zeichentabelle& t) {
    e.Points.assign(t.Punkte, t.Punkte + t.Anzahl);
}

// Table points (as set by TabelleSetzen) × scale + origin, lifted by `heben`.
void PunkteSkalieren(TnEck& e, Extended scale, std::int32_t heben) {
    e.Scale = scale;
    for (TPoint& p : e.Points)
        p = {RoundEven(p.x * scale) + e.OriginX, RoundEven(p.y * scale) + e.OriginY + heben};
    e.GetRect();
}

// Moves the points and the box, not the origin: the origin stays where the table is
// laid from, so sizing the sign again gives the same result.
void PunkteVerschieben(TnEck& e, std::int32_t dx) {
    for (TPoint& p : e.Points) p.x += dx;
    e.Rect.Left += dx;
    e.Rect.Right += dx;
}

// Width of a limit text with the styles at index size.
std::int32_t Grenzbreite(Device& dc, TFormStyles& st, const std::string& text) {
    if (text.empty()) return 0;
    st.Skale(st.IndexRatio);
    const std::int32_t w = FormattedTextWidth(dc, text, st);
    st.RestoreSkale();
    return w;
}

// Draws a limit text centred on cx. The upper text has its reference point at y; the
// lower one lies below y by the scaled main height and `abstand`. Texts with "n", "h"
// or "s" are drawn at 0.85 on screen, all others (and all printed ones) at 0.8.
void Grenztext(Device& dc, TFormStyles& st, const std::string& text, std::int32_t cx,
               std::int32_t y, bool unten, std::int32_t abstand, TColor farbe) {
    if (text.empty()) return;
    const bool hoch = text.find_first_of("nhs") != std::string::npos;
    st.Skale(hoch && !DrawingState().Printing ? 0.85L : 0.8L);
    if (unten) y -= st.MainFont.Height() + abstand;
    const std::int32_t w = FormattedTextWidth(dc, text, st);
    DrawFormattedText(dc, cx - w / 2, y, st, 0, farbe, text, true);
    st.RestoreSkale();
}

// The size of one character in font as it is drawn (ScaledFont) on dc.
TSize Zeichengroesse(Device& dc, const LogFont& font, unsigned char code) {
    const LogFont alt = dc.SelectFont(ScaledFont(dc, font));
    const char c = static_cast<char>(code);
    const TSize s = dc.TextExtent(std::string_view(&c, 1));
    dc.SelectFont(alt);
    return s;
}

// One Symbol-font character at (x, y), bottom-left aligned, transparent.
void Symbolzeichen(Device& dc, const LogFont& font, std::int32_t x, std::int32_t y,
                   unsigned char code, TColor farbe) {
    const LogFont alt = dc.SelectFont(ScaledFont(dc, font));
    dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
    dc.SetTextColor(farbe);
    dc.SetBkMode(TRANSPARENT);
    const char c = static_cast<char>(code);
    dc.TextOut(x, y, std::string_view(&c, 1));
    dc.SelectFont(alt);
}

} // namespace

// ---- TKlammer -----------------------------------------------------------------------

TKlammer::TKlammer(std::int32_t x0, std::uint32_t tag, bool ownsStyle,
                   std::shared_ptr<TStyleHandle> style, const Zeichentabelle& tabelle,
                   std::int32_t zielhoehe, std::int32_t y0)
    : Zielhoehe(zielhoehe) {
    Tag = tag;
    Style = std::move(style);
    OwnsStyle = ownsStyle ? 1 : 0;
    OwnsPoints = 0;
    Skalieren(tabelle, Extended(zielhoehe) / tabelle.Hoehe, x0, y0);
}

void TKlammer::Skalieren(const Zeichentabelle& t, Extended scale, std::int32_t x0,
                         std::int32_t y0) {
    OriginX = x0;
    OriginY = y0;
    TabelleSetzen(*this, t);
    PunkteSkalieren(*this, scale, 0);
}

bool TKlammer::IstLinks() const {
    if (Points.size() < 2) return false;
    // A bracket only a few units high has its first two points on one x; its tag tells.
    if (Points[1].x == Points[0].x) return Tag == TagKlammerLinks;
    return Points[1].x < Points[0].x;
}

// A round bracket of one weight at every height: a crescent filled in the pen's colour,
// its outer edge touching the box's outer side in the middle, its inner edge the inner
// side at both ends, everything inside the box. The stroke is as thick as a text's
// (about six tenths of the box's width, at most 4 units) and thins towards the ends.
std::vector<TPoint> Rundklammer(const TRect& r, bool links, int n, int fein) {
    const double h = r.Top - r.Bottom, w = r.Right - r.Left;
    const double t = std::clamp(w * 0.6, 1.0, 4.0), te = t * 0.4;
    n = std::clamp(n, 2, 64);
    std::vector<TPoint> aus;
    aus.reserve(2 * (n + 1));
    auto punkt = [&](double abstand, double s) {
        // abstand: distance from the inner side
        const double x = links ? r.Right - abstand : r.Left + abstand;
        aus.push_back({static_cast<std::int32_t>(std::lround(x * fein)),
                       static_cast<std::int32_t>(std::lround((r.Bottom + s * h) * fein))});
    };
    auto bauch = [](double s) { return std::pow(std::sin(3.14159265358979 * s), 0.8); };
    for (int i = 0; i <= n; ++i) {  // outer edge, upwards
        const double s = double(i) / n;
        punkt(std::round((te + (w - te) * bauch(s)) * fein) / fein, s);
    }
    for (int i = n; i >= 0; --i) {  // inner edge, downwards
        // The stroke's width rounded on its own, so that it does not wobble by the
        // rounding of both edges.
        const double s = double(i) / n;
        const double aussen = te + (w - te) * bauch(s);
        const double dicke = aussen - std::max(0.0, w - t) * bauch(s);
        punkt((std::round(aussen * fein) - std::round(dicke * fein)) / fein, s);
    }
    return aus;
}

void TKlammer::Draw(Device& dc) {
    if (typeid(*this) != typeid(TKlammer) || Points.size() < 2) {
        TPolygon::Draw(dc);
        return;
    }
    // About one segment per eight device pixels of height: smooth when enlarged, few
    // points on the screen page.
    const double pixel = std::abs((Rect.Top - Rect.Bottom) * dc.ScaleY());
    const int n = std::clamp(static_cast<int>(pixel / 8) & ~1, 4, 32);
    // Enlarged, the outline is laid in tenths of a unit (the mapping for the moment
    // ten times finer), so that its edges do not step by whole units.
    const bool gross = std::abs(dc.ScaleY()) > 1.5;
    const int fein = gross ? 10 : 1;
    const std::vector<TPoint> umriss = Rundklammer(Rect, IstLinks(), n, fein);
    DeviceMapping alt;
    if (gross) {
        DeviceMapping m = dc.Mapping();
        alt = m;
        m.WindowOrg = {m.WindowOrg.x * fein, m.WindowOrg.y * fein};
        m.WindowExt = {m.WindowExt.cx * fein, m.WindowExt.cy * fein};
        dc.SetMapping(m);
    }
    const LogPen altPen = dc.SelectPen(NullPen());
    const LogBrush altBrush = dc.SelectBrush({BS_SOLID, StylePen().Color, 0});
    dc.Polygon(umriss.data(), static_cast<int>(umriss.size()));
    dc.SelectBrush(altBrush);
    dc.SelectPen(altPen);
    if (gross) dc.SetMapping(alt);
}

// ---- TWurzel ------------------------------------------------------------------------

TWurzel::TWurzel(Device& dc, std::uint32_t tag, bool ownsFont, std::shared_ptr<TCFont> gradFont,
                 bool ownsStyle, std::shared_ptr<TStyleHandle> style, std::int32_t grad,
                 std::int32_t zielbreite, std::int32_t zielhoehe, std::int32_t y0,
                 std::int32_t x0)
    : Zielbreite(zielbreite), Grad(grad), GradFont(std::move(gradFont)),
      OwnsFont(ownsFont ? 1 : 0) {
    Tag = tag;
    Style = std::move(style);
    OwnsStyle = ownsStyle ? 1 : 0;
    OwnsPoints = 0;
    Zielhoehe = zielhoehe;
    if (!GradFont) GradFont = std::make_shared<TCFont>();
    Skalieren(WurzelTabelle, Extended(zielhoehe) / WurzelTabelle.Hoehe, x0, y0);
    if (Grad == 3 || Grad == 4) {
        // The degree stands above the hook, left of the rising stroke: when the hook is
        // narrower than the digit, the sign moves right to make room.
        const char* ziffer = Grad == 3 ? "3" : "4";
        const std::int32_t gw = TextWidth(dc, GradFont->Font, ziffer);
        const std::int32_t links = GradRechts() - gw;
        if (links < x0) {
            GradVersatz = x0 - links;
            for (TPoint& p : Points) p.x += GradVersatz;
        }
    }
    const std::int32_t balken = RadikandX() + zielbreite + x0;
    Points[4].x = balken;
    Points[5].x = balken;
    GetRect();
    if (Grad == 3 || Grad == 4) {
        const char* ziffer = Grad == 3 ? "3" : "4";
        Rect.Left = std::min(Rect.Left, GradRechts() - TextWidth(dc, GradFont->Font, ziffer));
        Rect.Top = std::max(Rect.Top, GradUnten() + TextHeight(dc, GradFont->Font, ziffer));
    }
}

std::int32_t TWurzel::RadikandX() const { return RoundEven(26 * Scale) + GradVersatz; }

// The degree's right edge: the foot of the stroke that falls from the hook.
std::int32_t TWurzel::GradRechts() const { return Points.size() > 2 ? Points[2].x - 1 : OriginX; }
// The degree's bottom: just above the hook.
std::int32_t TWurzel::GradUnten() const { return Points.size() > 1 ? Points[1].y + 2 : OriginY; }

// The strokes of the sign at the text's weight, whatever the radicand's height: a short
// tick, the down stroke twice as thick, the thin up stroke and the bar, each a filled
// outline along the table's lines and inside the sign's box.
std::vector<std::vector<TPoint>> TWurzel::Striche() const {
    if (Points.size() < 10) return {};
    const std::int32_t w =
        std::max<std::int32_t>(1, RoundEven(std::abs(GradFont ? GradFont->Font.Height : 34) * 0.09L));
    const std::int32_t x0 = Points[0].x, yk = Points[0].y;   // the tick's left end
    const std::int32_t xk = Points[8].x;                     // where the down stroke starts
    const std::int32_t xf = Points[7].x, yf = Points[7].y;   // the foot
    const std::int32_t xt = Points[3].x, yt = Points[3].y;   // the top of the up stroke
    const std::int32_t xe = Points[4].x;                     // the bar's end
    const std::int32_t d = std::max<std::int32_t>(w, std::min<std::int32_t>(2 * w, xf + w - xk));
    return {
        {{x0, yk - w}, {xk + d / 2, yk - w}, {xk + d / 2, yk}, {x0, yk}},
        {{xk, yk}, {xk + d, yk}, {xf + w, yf}, {xf, yf}},
        {{xf, yf}, {xf + w, yf}, {xt + w, yt}, {xt, yt}},
        {{xt, yt - w}, {xe, yt - w}, {xe, yt}, {xt, yt}},
    };
}

void TWurzel::Draw(Device& dc) {
    const auto striche = Striche();
    if (striche.empty()) {
        TPolygon::Draw(dc);
    } else if (StylePen().Style != PS_NULL) {
        const LogPen altPen = dc.SelectPen(NullPen());
        const LogBrush altBrush = dc.SelectBrush({BS_SOLID, StylePen().Color, 0});
        for (const auto& s : striche) dc.Polygon(s.data(), static_cast<int>(s.size()));
        dc.SelectBrush(altBrush);
        dc.SelectPen(altPen);
    }
    if ((Grad != 3 && Grad != 4) || Points.size() < 2 || !GradFont) return;
    const LogFont alt = dc.SelectFont(ScaledFont(dc, GradFont->Font));
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    dc.SetTextColor(StylePen().Color);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(GradRechts(), GradUnten(), Grad == 3 ? "3" : "4");
    dc.SelectFont(alt);
}

// ---- TGamma -------------------------------------------------------------------------

TGamma::TGamma(Device& /*dc*/, std::uint32_t tag, bool ownsStyle,
               std::shared_ptr<TStyleHandle> style, std::int32_t zielhoehe, std::int32_t y0,
               std::int32_t x0) {
    Tag = tag;
    Style = std::move(style);
    OwnsStyle = ownsStyle ? 1 : 0;
    OwnsPoints = 0;
    const std::int32_t hoehe = std::min(zielhoehe, MaxHoehe);
    Zielhoehe = hoehe;
    OriginX = x0;
    OriginY = y0;
    TabelleSetzen(*this, GammaTabelle);
    PunkteSkalieren(*this, Extended(hoehe) / GammaTabelle.Hoehe, (zielhoehe - hoehe) / 2);
}

void TGamma::Draw(Device& dc) { TPolygon::Draw(dc); }

// ---- TSigma and TProdukt --------------------------------------------------------------

TSigma::TSigma() : TSigma(SummenTabelle) {}

TSigma::TSigma(const Zeichentabelle& t) : tabelle_(&t) {}

TSigma::TSigma(Device& dc, std::uint32_t tag, bool eigeneStile,
               std::shared_ptr<TFormStyles> stile, bool ownsStyle,
               std::shared_ptr<TStyleHandle> style, std::string_view oben,
               std::string_view unten, std::int32_t hoehe, std::int32_t y0, std::int32_t x0)
    : TSigma(SummenTabelle, dc, tag, eigeneStile, std::move(stile), ownsStyle, std::move(style),
             oben, unten, hoehe, y0, x0) {}

TSigma::TSigma(const Zeichentabelle& t, Device& dc, std::uint32_t tag, bool eigeneStile,
               std::shared_ptr<TFormStyles> stile, bool ownsStyle,
               std::shared_ptr<TStyleHandle> style, std::string_view oben,
               std::string_view unten, std::int32_t hoehe, std::int32_t y0, std::int32_t x0)
    : Unten(Kurzgrenze(unten)), Oben(Kurzgrenze(oben)), Stile(std::move(stile)),
      EigeneStile(eigeneStile ? 1 : 0), tabelle_(&t) {
    Tag = tag;
    Style = std::move(style);
    OwnsStyle = ownsStyle ? 1 : 0;
    OwnsPoints = 0;
    OriginX = x0;
    OriginY = y0;
    HoeheSetzen(dc, hoehe);
}

void TSigma::PunkteSetzen() { TabelleSetzen(*this, *tabelle_); }

void TSigma::HoeheSetzen(Device& dc, std::int32_t h) {
    Zielhoehe = Stile ? std::min(h, 2 * Stile->MainFont.Height()) : h;
    PunkteSetzen();
    const std::int32_t lh =
        Stile ? TextHeight(dc, Stile->IndexFont.Font, "0") + 5 : 0;
    PunkteSkalieren(*this, Extended(Zielhoehe) / tabelle_->Hoehe, Unten.empty() ? 0 : lh);
    if (!Unten.empty()) Rect.Bottom -= lh;
    if (!Oben.empty()) Rect.Top += lh;
    ObenBreite = UntenBreite = 0;
    if (!Stile) return;
    ObenBreite = Grenzbreite(dc, *Stile, Oben);
    UntenBreite = Grenzbreite(dc, *Stile, Unten);
    // The limit texts are drawn centred on GrenzMitte: a text wider than the sign
    // widens the sign's box to both sides.
    const std::int32_t mitte = GrenzMitte();
    for (const std::int32_t w : {ObenBreite, UntenBreite}) {
        if (w <= 0) continue;
        Rect.Left = std::min(Rect.Left, mitte - w / 2);
        Rect.Right = std::max(Rect.Right, mitte - w / 2 + w);
    }
    if (Rect.Left < 0) PunkteVerschieben(*this, -Rect.Left);
}

std::int32_t TSigma::GrenzMitte() const {
    return (Punkt(*this, 0).x + Punkt(*this, 11).x) / 2 + 3;
}

std::int32_t TSigma::ObenY() const { return Punkt(*this, 2).y; }

void TSigma::Draw(Device& dc) {
    TPolygon::Draw(dc);
    if (!Stile) return;
    const TColor farbe = StylePen().Color;
    dc.SetTextColor(farbe);
    dc.SetBkMode(TRANSPARENT);
    const std::int32_t cx = GrenzMitte();
    Grenztext(dc, *Stile, Oben, cx, ObenY(), false, 0, farbe);
    Grenztext(dc, *Stile, Unten, cx, Punkt(*this, 0).y, true, UntenAbstand(), farbe);
}

TProdukt::TProdukt() : TSigma(ProduktTabelle) {}

TProdukt::TProdukt(Device& dc, std::uint32_t tag, bool eigeneStile,
                   std::shared_ptr<TFormStyles> stile, bool ownsStyle,
                   std::shared_ptr<TStyleHandle> style, std::string_view oben,
                   std::string_view unten, std::int32_t hoehe, std::int32_t y0, std::int32_t x0)
    : TSigma(ProduktTabelle, dc, tag, eigeneStile, std::move(stile), ownsStyle, std::move(style),
             oben, unten, hoehe, y0, x0) {}

std::int32_t TProdukt::GrenzMitte() const {
    return (Punkt(*this, 0).x + Punkt(*this, 6).x) / 2 + 2;
}

std::int32_t TProdukt::ObenY() const { return Punkt(*this, 5).y; }

// ---- TIntegral ----------------------------------------------------------------------

TIntegral::TIntegral(Device& dc, std::uint32_t tag, bool eigeneStile,
                     std::shared_ptr<TFormStyles> stile, bool ownsStyle,
                     std::shared_ptr<TStyleHandle> style, std::string_view oben,
                     std::string_view unten, std::int32_t hoehe, std::int32_t y0,
                     std::int32_t x0)
    : Unten(Kurzgrenze(unten)), Oben(Kurzgrenze(oben)), Stile(std::move(stile)),
      EigeneStile(eigeneStile ? 1 : 0) {
    Tag = tag;
    Style = std::move(style);
    OwnsStyle = ownsStyle ? 1 : 0;
    OwnsPoints = 0;
    OriginX = x0;
    OriginY = y0;
    // From minus to plus infinity: drawn without limits.
    if (Unten.find("-~\xA5") != std::string::npos && Oben == "~\xA5") {
        Unten.clear();
        Oben.clear();
    }
    HoeheSetzen(dc, hoehe);
}

void TIntegral::PunkteSetzen() { TabelleSetzen(*this, IntegralTabelle); }

void TIntegral::HoeheSetzen(Device& dc, std::int32_t h) {
    const std::int32_t haupt = Stile ? Stile->MainFont.Height() : 0;
    Zielhoehe = Stile ? std::min(h, 2 * haupt) : h;
    PunkteSetzen();
    const std::int32_t lh = haupt + 5;
    PunkteSkalieren(*this, Extended(Zielhoehe) / IntegralTabelle.Hoehe,
                    Unten.empty() ? 0 : lh);
    ObenBreite = Stile ? Grenzbreite(dc, *Stile, Oben) : 0;
    UntenBreite = Stile ? Grenzbreite(dc, *Stile, Unten) : 0;
    if (!Unten.empty()) {
        const std::int32_t start = Punkt(*this, 44).x + 2 - UntenBreite / 2;
        if (start < Rect.Left) {
            const std::int32_t d = Rect.Left - start;
            for (TPoint& p : Points) p.x += d;
            Rect.Right += d;
        }
        Rect.Right = std::max(Rect.Right, Punkt(*this, 44).x + 2 - UntenBreite / 2 + UntenBreite);
    }
    if (!Oben.empty()) {
        // The upper limit is centred on the sign's head; a wide one widens the box.
        const std::int32_t kopf = Punkt(*this, 21).x;
        const std::int32_t start = kopf - ObenBreite / 2;
        if (start < Rect.Left) {
            const std::int32_t d = Rect.Left - start;
            for (TPoint& p : Points) p.x += d;
            Rect.Right += d;
        }
        Rect.Right = std::max(Rect.Right, Punkt(*this, 21).x - ObenBreite / 2 + ObenBreite);
    }
    if (!Oben.empty()) Rect.Top += lh;
    if (!Unten.empty()) Rect.Bottom -= lh;
}

// The Symbol integral character takes the polygon's place: its advance box centred on
// the polygon's width (the character's ink is about as wide as the polygon), its cell
// standing on the polygon's foot, so it keeps clear of the body's bracket and of the
// lower limit. The limits are placed by the polygon's points either way.
void TIntegral::Draw(Device& dc) {
    const TColor farbe = StylePen().Color;
    dc.SetTextColor(farbe);
    dc.SetBkMode(TRANSPARENT);
    const TPoint fuss = Punkt(*this, 44);
    if (SymbolKlammer() && !Points.empty()) {
        const LogFont symbol = CreateNamedFont("Symbol", RoundEven(Zielhoehe * 1.2L), 700);
        std::int32_t links = Points[0].x, rechts = Points[0].x, unten = Points[0].y;
        for (const TPoint& p : Points) {
            links = std::min(links, p.x);
            rechts = std::max(rechts, p.x);
            unten = std::min(unten, p.y);
        }
        const std::int32_t w = Zeichengroesse(dc, symbol, 242).cx;
        Symbolzeichen(dc, symbol, (links + rechts) / 2 - w / 2, unten, 242, farbe);
    } else {
        TPolygon::Draw(dc);
    }
    if (!Stile) return;
    const TPoint kopf = Punkt(*this, 21);
    Grenztext(dc, *Stile, Oben, kopf.x, kopf.y + 2, false, 0, farbe);
    Grenztext(dc, *Stile, Unten, fuss.x + 2, fuss.y, true, 0, farbe);
}

void RegisterSignClasses() {
    RegisterDrawingClass("TKlammer", [] { return std::make_unique<TKlammer>(); });
    RegisterDrawingClass("TWurzel", [] { return std::make_unique<TWurzel>(); });
    RegisterDrawingClass("TGamma", [] { return std::make_unique<TGamma>(); });
    RegisterDrawingClass("TSigma", [] { return std::make_unique<TSigma>(); });
    RegisterDrawingClass("TProdukt", [] { return std::make_unique<TProdukt>(); });
    RegisterDrawingClass("TIntegral", [] { return std::make_unique<TIntegral>(); });
}

} // namespace kd
