#include "core/device/Stile.h"

#include <cmath>

#include "core/device/Rounding.h"

namespace kd {

// ---- device records ---------------------------------------------------------------

bool ReadLogPen(BufferedReader& r, LogPen& p) {
    LogPen t;
    if (!r.ReadU32(t.Style) || !r.ReadI32(t.WidthX) || !r.ReadI32(t.WidthY) ||
        !r.ReadU32(t.Color))
        return false;
    p = t;
    return true;
}

void WriteLogPen(BufferedWriter& w, const LogPen& p) {
    w.WriteU32(p.Style);
    w.WriteI32(p.WidthX);
    w.WriteI32(p.WidthY);
    w.WriteU32(p.Color);
}

bool ReadLogBrush(BufferedReader& r, LogBrush& b) {
    LogBrush t;
    if (!r.ReadU32(t.Style) || !r.ReadU32(t.Color) || !r.ReadI32(t.Hatch)) return false;
    b = t;
    return true;
}

void WriteLogBrush(BufferedWriter& w, const LogBrush& b) {
    w.WriteU32(b.Style);
    w.WriteU32(b.Color);
    w.WriteI32(b.Hatch);
}

bool ReadLogFont(BufferedReader& r, LogFont& f) {
    LogFont t;
    if (!r.ReadI32(t.Height) || !r.ReadI32(t.Width) || !r.ReadI32(t.Escapement) ||
        !r.ReadI32(t.Orientation) || !r.ReadI32(t.Weight) || !r.ReadU8(t.Italic) ||
        !r.ReadU8(t.Underline) || !r.ReadU8(t.StrikeOut) || !r.ReadU8(t.CharSet) ||
        !r.ReadU8(t.OutPrecision) || !r.ReadU8(t.ClipPrecision) || !r.ReadU8(t.Quality) ||
        !r.ReadU8(t.PitchAndFamily) || !r.Read(t.FaceName, sizeof t.FaceName))
        return false;
    t.FaceName[sizeof t.FaceName - 1] = 0;  // always zero-terminated in memory
    f = t;
    return true;
}

void WriteLogFont(BufferedWriter& w, const LogFont& f) {
    w.WriteI32(f.Height);
    w.WriteI32(f.Width);
    w.WriteI32(f.Escapement);
    w.WriteI32(f.Orientation);
    w.WriteI32(f.Weight);
    w.WriteU8(f.Italic);
    w.WriteU8(f.Underline);
    w.WriteU8(f.StrikeOut);
    w.WriteU8(f.CharSet);
    w.WriteU8(f.OutPrecision);
    w.WriteU8(f.ClipPrecision);
    w.WriteU8(f.Quality);
    w.WriteU8(f.PitchAndFamily);
    w.Write(f.FaceName, sizeof f.FaceName);
}

TColor ColorPercent(TColor c, int p) {
    if (c == 0 && p > 100) {
        const unsigned g = static_cast<unsigned>(MulDiv(255, p - 100, 100));
        return RGB(g, g, g);
    }
    int ch[3] = {int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))};
    for (int& v : ch) {
        v = MulDiv(v, p, 100);
        if (v > 255) v = 255;
        if (v < 0) v = 0;
    }
    if (p > 100) {
        const int lift = MulDiv(255, p - 100, 100);
        for (int i = 0; i < 3; ++i) {
            if (ch[i] != 255) continue;
            for (int j = 0; j < 3; ++j)
                if (j != i && ch[j] == 0) ch[j] = lift;
        }
    }
    return RGB(unsigned(ch[0]), unsigned(ch[1]), unsigned(ch[2]));
}

// ---- TPenTyp, TBrushTyp, TPenBrushTyp ------------------------------------------------

void TPenTyp::ChangeColor(TColor c) {
    Pen.Color = c;
    if (Pen.Style == PS_NULL) Pen.Style = PS_SOLID;
    Changed = 1;
}

bool TPenTyp::Load(BufferedReader& r) { return ReadLogPen(r, Pen); }

void TPenTyp::Store(BufferedWriter& w) const {
    LogPen p = Pen;
    p.WidthY = p.WidthX;  // the y width is always written equal to the x width
    WriteLogPen(w, p);
}

void TPenTyp::ChangeStyle(std::uint16_t style, std::int16_t width) {
    Pen.Style = style;
    Pen.WidthX = Pen.WidthY = width;
}

std::unique_ptr<TPenTyp> TPenTyp::Copy() const {
    auto p = std::make_unique<TPenTyp>();
    p->Pen = Pen;
    p->Changed = 1;
    return p;
}

void TBrushTyp::ChangeColor(TColor c) {
    Brush.Color = c;
    if (Brush.Style == BS_HOLLOW) Brush.Style = BS_SOLID;
}

bool TBrushTyp::Load(BufferedReader& r) { return ReadLogBrush(r, Brush); }

void TBrushTyp::Store(BufferedWriter& w) const { WriteLogBrush(w, Brush); }

void TBrushTyp::ChangeStyle(std::uint32_t style, std::int32_t hatch) {
    Brush.Style = style;
    Brush.Hatch = hatch;
}

std::unique_ptr<TBrushTyp> TBrushTyp::Copy() const {
    auto b = std::make_unique<TBrushTyp>(Brush.Style, Brush.Color, Brush.Hatch);
    b->Changed = 1;
    return b;
}

TPenBrushTyp::TPenBrushTyp() : TBrushTyp(), Pen(std::make_unique<TPenTyp>()) {}

TPenBrushTyp::TPenBrushTyp(std::uint32_t penStyle, TColor penColor, std::int32_t penWidth,
                           std::uint32_t brushStyle, TColor brushColor, std::int32_t hatch)
    : TBrushTyp(brushStyle, brushColor, hatch),
      Pen(std::make_unique<TPenTyp>(penStyle, penColor, penWidth)) {}

TPenBrushTyp::TPenBrushTyp(const TPenBrushTyp& other)
    : TBrushTyp(other.Brush.Style, other.Brush.Color, other.Brush.Hatch),
      Pen(other.Pen->Copy()) {
    Changed = 1;
}

void TPenBrushTyp::ChangeColor(TColor c) {
    Pen->ChangeColor(c);
    TBrushTyp::ChangeColor(c);
}

bool TPenBrushTyp::Load(BufferedReader& r) {
    LogBrush b;
    LogPen p;
    if (!ReadLogBrush(r, b) || !ReadLogPen(r, p)) return false;
    Brush = b;
    Pen->Pen = p;
    return true;
}

void TPenBrushTyp::Store(BufferedWriter& w) const {
    TBrushTyp::Store(w);
    Pen->Store(w);
}

std::unique_ptr<TPenBrushTyp> TPenBrushTyp::Copy() const {
    return std::make_unique<TPenBrushTyp>(*this);
}

// ---- TFarbVerlauf -------------------------------------------------------------------

TFarbVerlauf::TFarbVerlauf(TColor start, TColor mid, TColor end, std::uint32_t kind)
    : StartColor(start), MidColor(mid), EndColor(end),
      Kind(kind >= 1 && kind <= 4 ? kind : 1) {
    Build();
}

void TFarbVerlauf::Build() {
    switch (Kind) {
    case RGBSpektrum: CreateRGBSpektrum(); break;
    case BGRSpektrum: CreateBGRSpektrum(); break;
    case Mitte: CreateMittePalette(); break;
    default: CreatePalette(); break;
    }
}

bool TFarbVerlauf::Load(BufferedReader& r) {
    std::uint32_t s, m, e, k;
    if (!r.ReadU32(s) || !r.ReadU32(m) || !r.ReadU32(e) || !r.ReadU32(k)) return false;
    if (k < 1 || k > 4) return false;  // no such gradient
    StartColor = s;
    MidColor = m;
    EndColor = e;
    Kind = k;
    FreePalette();
    Build();
    return true;
}

void TFarbVerlauf::Store(BufferedWriter& w) const {
    w.WriteU32(StartColor);
    w.WriteU32(MidColor);
    w.WriteU32(EndColor);
    w.WriteU32(Kind);
}

std::unique_ptr<TStyleHandle> TFarbVerlauf::CopyStyle() const {
    auto f = std::make_unique<TFarbVerlauf>(StartColor, MidColor, EndColor, Kind);
    f->Changed = 1;
    return f;
}

void TFarbVerlauf::ChangePalette(TColor start, TColor mid, TColor end) {
    StartColor = start;
    MidColor = mid;
    EndColor = end;
    FreePalette();
    if (Kind == Linear) CreatePalette();
    else CreateMittePalette();
}

void TFarbVerlauf::SetEntry(int i, unsigned r, unsigned g, unsigned b) {
    Palette[std::size_t(i - 1)] = std::make_unique<TBrushTyp>(BS_SOLID, RGB(r, g, b), 0);
}

void TFarbVerlauf::CreatePalette() {
    const int s[3] = {int(GetRValue(StartColor)), int(GetGValue(StartColor)),
                      int(GetBValue(StartColor))};
    const int e[3] = {int(GetRValue(EndColor)), int(GetGValue(EndColor)),
                      int(GetBValue(EndColor))};
    for (int k = 0; k < 32; ++k) {
        unsigned c[3];
        for (int i = 0; i < 3; ++i)
            c[i] = unsigned(s[i] + RoundEven(Extended(k) * (e[i] - s[i]) / 32)) & 0xFFu;
        SetEntry(k + 1, c[0], c[1], c[2]);
    }
}

void TFarbVerlauf::CreateMittePalette() {
    const int s[3] = {int(GetRValue(StartColor)), int(GetGValue(StartColor)),
                      int(GetBValue(StartColor))};
    const int m[3] = {int(GetRValue(MidColor)), int(GetGValue(MidColor)),
                      int(GetBValue(MidColor))};
    const int e[3] = {int(GetRValue(EndColor)), int(GetGValue(EndColor)),
                      int(GetBValue(EndColor))};
    for (int k = 0; k < 16; ++k) {
        unsigned c[3];
        for (int i = 0; i < 3; ++i) {
            const int num = k * (m[i] - s[i]);
            // floor division (the first half rounds down)
            int q = num / 16;
            if (num % 16 != 0 && num < 0) --q;
            c[i] = unsigned(s[i] + q) & 0xFFu;
        }
        SetEntry(k + 1, c[0], c[1], c[2]);
    }
    for (int k = 0; k < 16; ++k) {
        unsigned c[3];
        for (int i = 0; i < 3; ++i)
            c[i] = unsigned(m[i] + RoundEven(Extended(k) * (e[i] - m[i]) / 16)) & 0xFFu;
        SetEntry(k + 17, c[0], c[1], c[2]);
    }
}

void TFarbVerlauf::CreateRGBSpektrum() {
    for (int j = 0; j < 16; ++j) SetEntry(j + 1, 0, 17u * j, 255u - 17u * j);
    for (int j = 0; j < 16; ++j) SetEntry(j + 17, 17u * j, 255u - 17u * j, 0);
}

void TFarbVerlauf::CreateBGRSpektrum() {
    for (int j = 0; j < 16; ++j) SetEntry(16 - j, 17u * j, 255u - 17u * j, 0);
    for (int j = 0; j < 16; ++j) SetEntry(32 - j, 0, 17u * j, 255u - 17u * j);
}

void TFarbVerlauf::FreePalette() {
    for (auto& e : Palette) e.reset();
}

const TBrushTyp* TFarbVerlauf::Entry(int i) const {
    if (i < 1 || i > 32) return nullptr;
    return Palette[std::size_t(i - 1)].get();
}

void TFarbVerlauf::Draw(Device& dc, const TRect& rect, int direction) const {
    const LogPen oldPen = dc.SelectPen(NullPen());
    const LogBrush oldBrush = dc.CurrentBrush();
    if (direction == 0 || direction == 2) {
        const Extended v = Extended(rect.Top - rect.Bottom) / 32;
        for (int i = 1; i <= 32; ++i) {
            const TBrushTyp* b = Entry(direction == 0 ? i : 33 - i);
            if (!b) continue;
            dc.SelectBrush(b->Brush);
            dc.Rectangle(rect.Left, RoundEven(rect.Top - (i - 1) * v), rect.Right,
                         RoundEven(rect.Top - i * v));
        }
    } else {
        const Extended w = Extended(rect.Right - rect.Left) / 32;
        for (int i = 1; i <= 32; ++i) {
            const TBrushTyp* b = Entry(direction == 1 ? i : 33 - i);
            if (!b) continue;
            dc.SelectBrush(b->Brush);
            dc.Rectangle(RoundEven((i - 1) * w + rect.Left), rect.Top,
                         RoundEven(i * w + rect.Left), rect.Bottom);
        }
    }
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

// ---- TCFont -------------------------------------------------------------------------

TCFont::TCFont(std::string_view face, std::int32_t height, std::int32_t angle,
               std::int32_t weight, bool italic, bool underline) {
    Font.Height = height;
    Font.Width = 0;
    Font.Escapement = Font.Orientation = angle;
    Font.Weight = weight;
    Font.Italic = italic ? 1 : 0;
    Font.Underline = underline ? 1 : 0;
    Font.StrikeOut = 0;
    Font.CharSet = 0;
    Font.OutPrecision = 1;
    Font.ClipPrecision = 16;
    Font.Quality = 2;
    Font.PitchAndFamily = 0x22;
    Font.SetFace(face);
    Changed = 1;
}

TCFont::TCFont(const TCFont& other) : TStyleHandle(), Font(other.Font) { Changed = 1; }

bool TCFont::Load(BufferedReader& r) {
    if (!ReadLogFont(r, Font)) return false;
    Changed = 1;
    return true;
}

void TCFont::Store(BufferedWriter& w) const { WriteLogFont(w, Font); }

// ---- TFormStyles --------------------------------------------------------------------

TFormStyles::TFormStyles() {
    SetNormAbstand();
    BuildFonts(40);
}

TFormStyles::TFormStyles(EmptyTag) { SetNormAbstand(); }

TFormStyles::TFormStyles(Extended styleRatioA, Extended styleRatioB, Extended indexRatio,
                         std::int32_t spacingA, std::int32_t spacingB,
                         std::int32_t spacingC, std::int32_t mainHeight)
    : SpacingB(spacingB), SpacingC(spacingC), StyleRatioA(styleRatioA),
      StyleRatioB(styleRatioB), IndexRatio(indexRatio), SpacingA(spacingA) {
    BuildFonts(mainHeight);
}

void TFormStyles::BuildFonts(std::int32_t h) {
    const std::int32_t ih = RoundEven(h * IndexRatio);
    MainFont = TCFont("Arial", h, 0, 400);
    IndexFont = TCFont("Arial", ih, 0, 400);
    SymbolFont = TCFont("Symbol", h, 0, 400);
    SymbolIndexFont = TCFont("Symbol", ih, 0, 400);
    Version = 401;
    ExtraFont = nullptr;
    LimitWidth = 2000;
}

template <class F>
void TFormStyles::ForAllFonts(F f, bool withExtra) {
    f(MainFont.Font);
    f(IndexFont.Font);
    f(SymbolFont.Font);
    f(SymbolIndexFont.Font);
    if (withExtra && ExtraFont) f(ExtraFont->Font);
}

bool TFormStyles::Load(BufferedReader& r) {
    std::uint32_t version;
    Extended ra, rb, ir;
    std::int32_t sa, sb, sc, lw = 2000;
    LogFont f[4];
    if (!r.ReadU32(version) || !r.ReadExtended(ra) || !r.ReadExtended(rb) ||
        !r.ReadExtended(ir) || !r.ReadI32(sa) || !r.ReadI32(sb) || !r.ReadI32(sc))
        return false;
    if (version >= 401 && !r.ReadI32(lw)) return false;
    for (LogFont& x : f)
        if (!ReadLogFont(r, x)) return false;
    Version = version;
    StyleRatioA = ra;
    StyleRatioB = rb;
    IndexRatio = ir;
    SpacingA = sa;
    SpacingB = sb;
    SpacingC = sc;
    LimitWidth = lw;
    MainFont.Font = f[0];
    IndexFont.Font = f[1];
    SymbolFont.Font = f[2];
    SymbolIndexFont.Font = f[3];
    MainFont.Changed = IndexFont.Changed = SymbolFont.Changed = SymbolIndexFont.Changed = 1;
    ExtraFont = nullptr;
    return true;
}

void TFormStyles::Store(BufferedWriter& w) const {
    w.WriteU32(401);
    w.WriteExtended(StyleRatioA);
    w.WriteExtended(StyleRatioB);
    w.WriteExtended(IndexRatio);
    w.WriteI32(SpacingA);
    w.WriteI32(SpacingB);
    w.WriteI32(SpacingC);
    w.WriteI32(LimitWidth);
    MainFont.Store(w);
    IndexFont.Store(w);
    SymbolFont.Store(w);
    SymbolIndexFont.Store(w);
}

void TFormStyles::SetNormAbstand() {
    StyleRatioA = 0.2L;
    StyleRatioB = 0.5L;
    IndexRatio = 0.85L;
    SpacingA = 10;
    SpacingB = 10;
    SpacingC = 25;
}

void TFormStyles::SetMainSize(std::int32_t h) {
    MainFont.Font.Height = h;
    SymbolFont.Font.Height = h;
    const std::int32_t ih = RoundEven(h * IndexRatio);
    IndexFont.Font.Height = ih;
    SymbolIndexFont.Font.Height = ih;
    if (ExtraFont) ExtraFont->Font.Height = h;
}

void TFormStyles::Skale(Extended f) {
    SavedMainSize = MainFont.Font.Height;
    ForAllFonts([f](LogFont& x) { x.Height = RoundEven(x.Height * f); }, false);
}

void TFormStyles::RestoreSkale() {
    const std::int32_t h = SavedMainSize;
    MainFont.Font.Height = h;
    SymbolFont.Font.Height = h;
    const std::int32_t ih = RoundEven(h * IndexRatio);
    IndexFont.Font.Height = ih;
    SymbolIndexFont.Font.Height = ih;
}

void TFormStyles::Change(const LogFont& f) {
    MainFont.Font = f;
    SymbolFont.Font.Height = f.Height;
    const std::int32_t ih = RoundEven(f.Height * IndexRatio);
    IndexFont.Font.Height = ih;
    SymbolIndexFont.Font.Height = ih;
    if (ExtraFont) ExtraFont->Font = f;
}

void TFormStyles::ChangeWinkel(std::int32_t angle) {
    ForAllFonts([angle](LogFont& x) { x.Escapement = x.Orientation = angle; }, false);
}

void TFormStyles::SetBold() { ForAllFonts([](LogFont& x) { x.Weight = 700; }, true); }
void TFormStyles::ResetBold() { ForAllFonts([](LogFont& x) { x.Weight = 400; }, true); }
void TFormStyles::SetKursiv() { ForAllFonts([](LogFont& x) { x.Italic = 1; }, true); }
void TFormStyles::ResetKursiv() { ForAllFonts([](LogFont& x) { x.Italic = 0; }, true); }
void TFormStyles::SetUnderline() { ForAllFonts([](LogFont& x) { x.Underline = 1; }, true); }
void TFormStyles::ResetUnderline() { ForAllFonts([](LogFont& x) { x.Underline = 0; }, true); }

std::unique_ptr<TFormStyles> TFormStyles::Copy() const {
    return std::make_unique<TFormStyles>(StyleRatioA, StyleRatioB, IndexRatio, SpacingA,
                                         SpacingB, SpacingC, MainFont.Font.Height);
}

} // namespace kd
