#include "core/typeset/TextObjekte.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/Stream.h"
#include "core/device/Rounding.h"
#include "core/device/TextSys.h"

namespace kd {

namespace {

// Longest text a record may announce; anything longer is taken as a damaged record.
constexpr std::int32_t MaxRecordText = 1 << 20;

// A text ends at its first zero byte.
std::string_view BisNull(std::string_view t) { return t.substr(0, t.find('\0')); }
bool Leer(std::string_view t) { return BisNull(t).empty(); }
std::string TextOderBlank(std::string_view t) {
    return Leer(t) ? std::string(" ") : std::string(BisNull(t));
}

void WriteText(BufferedWriter& w, const std::string& t) {
    w.WriteI32(static_cast<std::int32_t>(t.size()));
    w.Write(t.data(), t.size());
    w.WriteU8(0);
}

// L, then L + 1 bytes including the terminating zero; the text ends at its first zero.
bool ReadText(BufferedReader& r, std::string& t) {
    std::int32_t n;
    if (!r.ReadI32(n) || n < 0 || n > MaxRecordText) return false;
    std::vector<char> buf(std::size_t(n) + 1);
    if (!r.Read(buf.data(), buf.size())) return false;
    t.assign(buf.data(), strnlen(buf.data(), buf.size()));
    return true;
}

bool ReadRect(BufferedReader& r, TRect& rc) {
    return r.ReadI32(rc.Left) && r.ReadI32(rc.Top) && r.ReadI32(rc.Right) && r.ReadI32(rc.Bottom);
}

void WriteRect(BufferedWriter& w, const TRect& rc) {
    w.WriteI32(rc.Left);
    w.WriteI32(rc.Top);
    w.WriteI32(rc.Right);
    w.WriteI32(rc.Bottom);
}

} // namespace

// ---- TDText -------------------------------------------------------------------------

TDText::TDText(Device& dc, std::uint32_t tag, bool ownsFont, bool ownsText, std::uint32_t align,
               TColor color, std::int32_t winkel, std::shared_ptr<TCFont> font,
               std::string_view text, std::int32_t y, std::int32_t x)
    : TDRectangle(tag), AnchorX(x), AnchorY(y), Text(TextOderBlank(text)), Font(std::move(font)),
      Color(color), Align(align), Winkel(winkel), OwnsText(ownsText ? 1 : 0) {
    OwnsStyle = ownsFont ? 1 : 0;
    if (Leer(text)) OwnsText = 1;
    if (!Font) Font = std::make_shared<TCFont>();
    GetRect(dc);
}

void TDText::GetRect(Device& dc) {
    DC = &dc;
    LogFont f = Font ? Font->Font : LogFont{};
    f.Escapement = f.Orientation = 0;
    const std::int32_t w = TextWidth(dc, f, Text);
    const std::int32_t h = TextHeight(dc, f, Text);
    TRect r;
    if ((Align & TA_CENTER) == TA_CENTER) {
        r.Left = AnchorX - w / 2;
        r.Right = AnchorX + w / 2;
    } else if (Align & TA_RIGHT) {
        r.Left = AnchorX - w;
        r.Right = AnchorX;
    } else {
        r.Left = AnchorX;
        r.Right = AnchorX + w;
    }
    if (Align & TA_BOTTOM) {
        r.Top = AnchorY + h;
        r.Bottom = AnchorY;
    } else {
        r.Top = AnchorY;
        r.Bottom = AnchorY - h;
    }
    if (Winkel != 0) RotatedBounds(r, AnchorX, AnchorY, Winkel);
    Rect = NormalizeRect(r);
}

void TDText::ChangeWinkel(Device& dc, std::int32_t winkel) {
    Winkel = winkel;
    GetRect(dc);
}

void TDText::ChangeFont(Device& dc, const LogFont& f) {
    if (!Font) Font = std::make_shared<TCFont>();
    Font->Change(f);
    GetRect(dc);
}

void TDText::TauscheFont(Device& dc, std::shared_ptr<TCFont> font) {
    Font = font ? std::move(font) : std::make_shared<TCFont>();
    GetRect(dc);
}

void TDText::Draw(Device& dc) {
    LogFont f = Font ? Font->Font : LogFont{};
    f.Escapement = f.Orientation = Winkel;
    const LogFont alt = dc.SelectFont(ScaledFont(dc, f));
    dc.SetTextColor(Color);
    dc.SetBkMode(TRANSPARENT);
    if (Winkel != 0) {
        dc.SetTextAlign(Align);
        dc.TextOut(AnchorX, AnchorY, Text);
    } else {
        // Character by character with the reference canvas's advances, so a printed
        // text keeps the screen's character positions.
        dc.SetTextAlign(TA_LEFT | (Align & TA_BOTTOM));
        Device& ref = ReferenceCanvas(dc);
        const bool getrennt = &ref != &dc;
        LogFont altRef;
        if (getrennt) altRef = ref.SelectFont(f);
        std::int32_t x = Rect.Left;
        for (const char& c : Text) {
            const std::string_view z(&c, 1);
            dc.TextOut(x, AnchorY, z);
            x += ref.TextExtent(z).cx;
        }
        if (getrennt) ref.SelectFont(altRef);
    }
    dc.SelectFont(alt);
}

void TDText::MovePos(std::int32_t x, std::int32_t y) {
    MovePosRel(x - Rect.Left, y - Rect.Top);
}

void TDText::MovePosRel(std::int32_t dx, std::int32_t dy) {
    TDLine::MovePosRel(dx, dy);
    AnchorX += dx;
    AnchorY += dy;
}

void TDText::Stretch(int /*handle*/, const TRect& r) {
    const std::int32_t alt = Rect.Right - Rect.Left;
    if (alt == 0 || !Font) return;
    const Extended f = std::abs((Extended(r.Right) - r.Left) / alt);
    std::int32_t h = RoundEven(std::abs(Extended(Font->Font.Height)) * f);
    if (h < MinStretchHeight) h = MinStretchHeight;
    if (h > MaxStretchHeight) h = MaxStretchHeight;
    Font->Font.Height = h;
    if (DC) GetRect(*DC);
}

void TDText::CopyTextTo(TDText& c) const {
    CopyBaseTo(c);
    c.AnchorX = AnchorX;
    c.AnchorY = AnchorY;
    c.Text = Text;
    c.OwnsText = 1;
    c.Color = Color;
    c.Align = Align;
    c.Winkel = Winkel;
    c.DC = DC;
}

std::unique_ptr<TDLine> TDText::Copy() const {
    auto c = std::make_unique<TDText>();
    CopyTextTo(*c);
    c->Font = Font ? std::make_shared<TCFont>(*Font) : std::make_shared<TCFont>();
    c->OwnsStyle = 1;
    return c;
}

bool TDText::Load(BufferedReader& r) {
    std::int32_t ax, ay, winkel;
    TRect rc;
    std::uint32_t tag, color, align;
    std::string text;
    LogFont f;
    if (!r.ReadI32(ax) || !r.ReadI32(ay) || !ReadRect(r, rc) || !r.ReadU32(tag) ||
        !r.ReadU32(color) || !r.ReadU32(align) || !r.ReadI32(winkel) || !ReadText(r, text) ||
        !ReadLogFont(r, f))
        return false;
    AnchorX = ax;
    AnchorY = ay;
    Rect = rc;
    Tag = tag;
    Color = color;
    Align = align;
    Winkel = winkel;
    Text = std::move(text);
    OwnsText = 1;
    Font = std::make_shared<TCFont>(f);
    Font->Changed = 1;
    OwnsStyle = 1;
    DC = nullptr;
    return true;
}

void TDText::Store(BufferedWriter& w) const {
    w.WriteI32(AnchorX);
    w.WriteI32(AnchorY);
    WriteRect(w, Rect);
    w.WriteU32(Tag);
    w.WriteU32(Color);
    w.WriteU32(Align);
    w.WriteI32(Winkel);
    WriteText(w, Text);
    WriteLogFont(w, Font ? Font->Font : LogFont{});
}

// ---- TFormelText --------------------------------------------------------------------

TFormelText::TFormelText(Device& dc, std::uint32_t tag, bool ownsStyles, bool ownsText,
                         TColor color, std::int32_t winkel, std::shared_ptr<TFormStyles> styles,
                         std::string_view text, std::int32_t y, std::int32_t x)
    : Stile(std::move(styles)) {
    Tag = tag;
    OwnsStyle = ownsStyles ? 1 : 0;
    Text = TextOderBlank(text);
    OwnsText = (ownsText || Leer(text)) ? 1 : 0;
    Color = color;
    Winkel = winkel;
    AnchorX = x;
    AnchorY = y;
    GetRect(dc);
}

void TFormelText::GetRect(Device& dc) {
    DC = &dc;
    if (!Stile) {
        Rect = {AnchorX, AnchorY, AnchorX, AnchorY};
        MittelY = AnchorY;
        return;
    }
    Rect = MeasureFormattedText(dc, AnchorX, AnchorY, Winkel, *Stile, Text);
    MittelY = AnchorY + Stile->MainFont.Height() / 2;
}

void TFormelText::Draw(Device& dc) {
    if (Stile) DrawFormattedText(dc, AnchorX, AnchorY, *Stile, Winkel, Color, Text, true);
}

void TFormelText::MovePosRel(std::int32_t dx, std::int32_t dy) {
    TDText::MovePosRel(dx, dy);
    MittelY += dy;
}

void TFormelText::Stretch(int /*handle*/, const TRect& r) {
    const std::int32_t alt = Rect.Right - Rect.Left;
    if (alt == 0 || !Stile) return;
    const std::int32_t neu = r.Right - r.Left;
    const Extended f = std::abs(neu) < 101 ? Extended(100) / alt : Extended(neu) / alt;
    const std::int32_t haupt =
        RoundEven(std::abs(Extended(Stile->MainFont.Font.Height)) * std::abs(f));
    const std::int32_t index = RoundEven(haupt * Stile->IndexRatio);
    Stile->MainFont.Font.Height = haupt;
    Stile->SymbolFont.Font.Height = haupt;
    Stile->IndexFont.Font.Height = index;
    Stile->SymbolIndexFont.Font.Height = index;
    if (DC) GetRect(*DC);
}

std::unique_ptr<TDLine> TFormelText::Copy() const {
    auto c = std::make_unique<TFormelText>();
    CopyTextTo(*c);
    c->MittelY = MittelY;
    c->OwnsStyle = OwnsStyle;
    c->Stile = OwnsStyle ? std::make_shared<TFormStyles>() : Stile;
    return c;
}

void TFormelText::ChangeText(Device& dc, std::string_view text) {
    Text = TextOderBlank(text);
    OwnsText = 1;
    GetRect(dc);
}

void TFormelText::ChangeFont(Device& dc, const LogFont& f) {
    if (Stile) Stile->Change(f);
    GetRect(dc);
}

bool TFormelText::Load(BufferedReader& r) {
    std::int32_t ax, ay, winkel;
    std::string text;
    TRect rc;
    std::uint32_t color, tag;
    std::uint8_t owns;
    if (!r.ReadI32(ax) || !r.ReadI32(ay) || !r.ReadI32(winkel) || !ReadText(r, text) ||
        !ReadRect(r, rc) || !r.ReadU32(color) || !r.ReadU8(owns))
        return false;
    std::shared_ptr<TFormStyles> st;
    if (owns == 1) {
        st = std::make_shared<TFormStyles>(TFormStyles::Empty);
        if (!st->Load(r)) return false;
    }
    if (!r.ReadU32(tag)) return false;
    AnchorX = ax;
    AnchorY = ay;
    Winkel = winkel;
    Text = std::move(text);
    OwnsText = 1;
    Rect = rc;
    Color = color;
    OwnsStyle = owns == 1 ? 1 : 0;
    Stile = std::move(st);
    Tag = tag;
    MittelY = AnchorY + (Stile ? Stile->MainFont.Height() / 2 : 0);
    DC = nullptr;
    return true;
}

void TFormelText::Store(BufferedWriter& w) const {
    w.WriteI32(AnchorX);
    w.WriteI32(AnchorY);
    w.WriteI32(Winkel);
    WriteText(w, Text);
    WriteRect(w, Rect);
    w.WriteU32(Color);
    const bool mitStilen = OwnsStyle == 1 && Stile;
    w.WriteU8(mitStilen ? 1 : 0);
    if (mitStilen) Stile->Store(w);
    w.WriteU32(Tag);
}

void RegisterTextObjectClasses() {
    RegisterDrawingClass("TDText", [] { return std::make_unique<TDText>(); });
    RegisterDrawingClass("TFormelText", [] { return std::make_unique<TFormelText>(); });
}

} // namespace kd
