#include "core/device/TextSys.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/device/Rounding.h"
#include "core/device/VirtPntBox.h"
#include "core/device/Stile.h"

namespace kd {

namespace {

// A text ends at its first zero byte, as the strings of the record streams do.
std::string_view BisNull(std::string_view t) {
    const std::size_t n = t.find('\0');
    return n == std::string_view::npos ? t : t.substr(0, n);
}

bool GleichOhneFall(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

TVirtPntBox* Referenzbox() {
    TVirtPntBox* pb = DrawingState().CurrentPaintBox;
    return pb && pb->Canvas() ? pb : nullptr;
}

// Before output on another device than the paint box's canvas, the canvas gets its
// mapping back (measuring on it must see the page mapping).
void SkaleVorAusgabe(Device& dev) {
    if (TVirtPntBox* pb = Referenzbox(); pb && pb->Canvas() != &dev) pb->SetScale();
}

std::int32_t Breite(Device& d, std::string_view s) { return d.TextExtent(s).cx; }

// Rotates (px, py) about (x, y) by `angle` tenths of a degree counter-clockwise as
// seen on the output; `s` is +1 for y up and −1 for y down.
TPoint Gedreht(std::int32_t px, std::int32_t py, std::int32_t x, std::int32_t y,
               std::int32_t angle, int s) {
    if (angle == 0) return {px, py};
    const long double a = static_cast<long double>(angle) / 10.0L / 57.295779513082320877L;
    const long double dx = px - x;
    const long double dy = static_cast<long double>(s) * (py - y);
    const long double rx = dx * std::cos(a) - dy * std::sin(a);
    const long double ry = dx * std::sin(a) + dy * std::cos(a);
    return {x + RoundEven(rx), y + s * RoundEven(ry)};
}

// ---- the markup walk ---------------------------------------------------------------

enum Slot { Haupt = 0, Index = 1, Symbol = 2, SymbolIndex = 3 };

bool IstAkzent(char c) {
    switch (c) {
    case '-': case '.': case ':': case '=': case '^': case '_': case '~': return true;
    default: return false;
    }
}

// What the walk needs of measuring and drawing.
class Lauf {
public:
    virtual ~Lauf() = default;
    virtual void Waehle(Slot s) = 0;
    // Width of c in the current font on the reference canvas.
    virtual std::int32_t Zeichenbreite(char c) = 0;
    virtual void Zeichen(std::int32_t, std::int32_t, char) {}
    // Accent a over the preceding character p of width w; `rest` is the text from a on.
    virtual void Akzent(char, char, std::int32_t, std::int32_t, std::int32_t, std::string_view) {}
    virtual void Hochgestellt() {}
    virtual void Tiefgestellt() {}
};

// Walks the markup from (x, y); s = +1 when y grows upward. Returns the final x.
std::int32_t Durchlaufen(std::string_view t, std::int32_t x, std::int32_t y, int s,
                         std::int32_t gap, std::int32_t raise, Lauf& l) {
    std::int32_t cx = x, cy = y, w = 0;
    bool inIndex = false;
    const std::size_t n = t.size();
    auto zeichne = [&](char c) {
        l.Zeichen(cx, cy, c);
        w = l.Zeichenbreite(c);
    };
    for (std::size_t i = 0; i < n; ++i) {
        const char c = t[i];
        switch (c) {
        case '~': {
            std::size_t j = i + 1;
            bool klein = inIndex;
            if (j < n && t[j] == '|') {
                klein = true;
                ++j;
            }
            if (j >= n) return cx;  // nothing follows
            l.Waehle(klein ? SymbolIndex : Symbol);
            zeichne(t[j]);
            cx += w + gap;
            l.Waehle(inIndex ? Index : Haupt);
            i = j;
            break;
        }
        case '^': {
            if (i + 1 >= n) return cx;
            l.Hochgestellt();
            l.Waehle(Index);
            cy += s * (raise + 5);
            if (i >= 2 && t[i - 2] == '|') cx -= (2 * w) / 3;
            zeichne(t[i + 1]);
            cx += w;
            l.Waehle(Haupt);
            cy -= s * (raise + 5);
            ++i;
            break;
        }
        case '|': {
            if (i == 0 || t[i - 1] == ' ') {  // a bar of its own
                zeichne(c);
                cx += w;
                break;
            }
            if (i + 1 >= n) return cx;
            const char a = t[i + 1];
            if (IstAkzent(a)) {
                l.Akzent(a, t[i - 1], w, cx, cy, t.substr(i + 1));
            } else {
                l.Tiefgestellt();
                l.Waehle(Index);
                cy -= s * raise;
                if (a == 'i') cx += 2;
                zeichne(a);
                cx += w;
                l.Waehle(Haupt);
                cy += s * raise;
            }
            ++i;
            break;
        }
        case '[':
            inIndex = true;
            l.Tiefgestellt();
            l.Waehle(Index);
            cx += gap;
            cy -= s * raise;
            break;
        case ']':
            if (inIndex) {
                l.Waehle(Haupt);
                inIndex = false;
                cy += s * raise;
                break;
            }
            zeichne(c);
            cx += w;
            break;
        default:
            zeichne(c);
            cx += w;
            break;
        }
    }
    return cx;
}

// The four fonts of a style set with the angle as escapement, each as the record to
// select into the output device (ScaledFont) and the unadjusted copy for the
// reference canvas. Fonts are switched on both; the previous fonts come back at the end.
class Schriftwechsel : public Lauf {
public:
    Schriftwechsel(Device& dev, const TFormStyles& st, std::int32_t angle)
        : dev_(dev), ref_(ReferenceCanvas(dev)), getrennt_(&ref_ != &dev) {
        const TCFont* f[4] = {&st.MainFont, &st.IndexFont, &st.SymbolFont, &st.SymbolIndexFont};
        for (int i = 0; i < 4; ++i) {
            roh_[i] = f[i]->Font;
            roh_[i].Escapement = roh_[i].Orientation = angle;
            aus_[i] = ScaledFont(dev, roh_[i]);
        }
        altDev_ = dev_.CurrentFont();
        altRef_ = ref_.CurrentFont();
        Waehle(Haupt);
    }
    ~Schriftwechsel() override {
        dev_.SelectFont(altDev_);
        if (getrennt_) ref_.SelectFont(altRef_);
    }
    void Waehle(Slot s) override {
        dev_.SelectFont(aus_[s]);
        if (getrennt_) ref_.SelectFont(roh_[s]);
        slot_ = s;
    }
    std::int32_t Zeichenbreite(char c) override { return Breite(ref_, std::string_view(&c, 1)); }
    // Cell height of "A" in the main font on the reference canvas.
    std::int32_t Zellhoehe() {
        const Slot alt = slot_;
        Waehle(Haupt);
        const std::int32_t h = ref_.TextExtent("A").cy;
        Waehle(alt);
        return h;
    }
    // Width of a text in the main font on the reference canvas.
    std::int32_t Hauptbreite(std::string_view s) {
        const Slot alt = slot_;
        Waehle(Haupt);
        const std::int32_t b = Breite(ref_, s);
        Waehle(alt);
        return b;
    }
    const LogFont& Roh(Slot s) const { return roh_[s]; }

protected:
    Device& dev_;
    Device& ref_;
    bool getrennt_;
    Slot slot_ = Haupt;

private:
    LogFont roh_[4], aus_[4];
    LogFont altDev_, altRef_;
};

class Messlauf final : public Schriftwechsel {
public:
    using Schriftwechsel::Schriftwechsel;
    void Hochgestellt() override { hoch = true; }
    void Tiefgestellt() override { tief = true; }
    bool hoch = false, tief = false;
};

class Zeichenlauf final : public Schriftwechsel {
public:
    Zeichenlauf(Device& dev, const TFormStyles& st, std::int32_t angle, std::int32_t x,
                std::int32_t y, int s, TColor farbe)
        : Schriftwechsel(dev, st, angle), x_(x), y_(y), s_(s), angle_(angle), farbe_(farbe) {
        h_ = std::abs(Roh(Haupt).Height);
        H_ = Zellhoehe();
    }
    std::int32_t Hoehe() const { return h_; }

    void Zeichen(std::int32_t cx, std::int32_t cy, char c) override {
        SkaleVorAusgabe(dev_);
        const TPoint p = Gedreht(cx, cy, x_, y_, angle_, s_);
        dev_.TextOut(p.x, p.y, std::string_view(&c, 1));
    }

    void Akzent(char a, char vor, std::int32_t w, std::int32_t cx, std::int32_t cy,
                std::string_view rest) override {
        const std::int32_t aw = std::min(Hauptbreite(rest), w);
        long double ratio = 0;
        switch (a) {
        case '=': ratio = 0.2L; break;
        case '.': case ':': ratio = 0.3L; break;
        case '^': ratio = 0.6L; break;
        case '_': ratio = 0.1L; break;
        case '~': ratio = 0.5L; break;
        default: ratio = 0; break;  // "-"
        }
        const std::int32_t d = RoundEven(H_ * ratio);
        std::int32_t ax = cx - (w + aw) / 2;
        if (vor == 'i' || vor == 'j' || vor == 'l') ax -= w;
        else if (vor == 't') ax -= w / 2;
        const std::int32_t ay = cy + s_ * (H_ - d);
        if (a == ':') {
            Zeichen(ax - 4, ay, '.');
            Zeichen(ax + 4, ay, '.');
        } else if (a == '-') {
            Pfeil(ax, ay);
        } else {
            Zeichen(ax, ay, a);
        }
    }

private:
    // The vector arrow: a line of 0.8 × h/2 with a filled triangle at its right end.
    void Pfeil(std::int32_t ax, std::int32_t ay) {
        const std::int32_t halb = h_ / 2;
        const std::int32_t ex = ax + RoundEven(0.8L * halb);
        const std::int32_t laenge = halb / 2;
        const std::int32_t basis = halb / 4;
        SkaleVorAusgabe(dev_);
        const LogPen altPen = dev_.SelectPen(LogPen{PS_SOLID, 1, 1, farbe_});
        const LogBrush altBrush = dev_.SelectBrush(LogBrush{BS_SOLID, farbe_, 0});
        const TPoint p0 = Gedreht(ax, ay, x_, y_, angle_, s_);
        const TPoint p1 = Gedreht(ex, ay, x_, y_, angle_, s_);
        dev_.MoveTo(p0.x, p0.y);
        dev_.LineTo(p1.x, p1.y);
        const TPoint dreieck[3] = {
            p1,
            Gedreht(ex - laenge, ay + basis / 2, x_, y_, angle_, s_),
            Gedreht(ex - laenge, ay - (basis - basis / 2), x_, y_, angle_, s_),
        };
        dev_.Polygon(dreieck, 3);
        dev_.SelectBrush(altBrush);
        dev_.SelectPen(altPen);
    }

    std::int32_t x_, y_;
    int s_;
    std::int32_t angle_;
    TColor farbe_;
    std::int32_t h_ = 0, H_ = 0;
};

} // namespace

// ---- fonts and plain measuring -----------------------------------------------------

LogFont MakeLogFont(std::string_view name, std::int32_t height, std::int32_t weight) {
    LogFont f;
    f.Height = height;
    f.Weight = weight;
    f.CharSet = 0;
    f.OutPrecision = 1;
    f.ClipPrecision = 16;
    f.Quality = 2;
    f.PitchAndFamily = 0x22;
    f.SetFace(BisNull(name));
    return f;
}

LogFont CreateNamedFont(std::string_view name, std::int32_t height, std::int32_t weight) {
    name = BisNull(name);
    LogFont f;
    f.Height = height;
    f.Weight = weight;
    f.CharSet = (GleichOhneFall(name, "WINGDINGS") || GleichOhneFall(name, "SYMBOL")) ? 2 : 0;
    f.PitchAndFamily = 1;
    f.SetFace(name);
    return f;
}

Device& ReferenceCanvas(Device& dev) {
    TVirtPntBox* pb = Referenzbox();
    return pb ? *pb->Canvas() : dev;
}

std::int16_t TextHeight(Device& dev, const LogFont& font, std::string_view text) {
    Device& ref = ReferenceCanvas(dev);
    const LogFont alt = ref.SelectFont(font);
    const TSize sz = ref.TextExtent(BisNull(text));
    ref.SelectFont(alt);
    return static_cast<std::int16_t>(sz.cy);
}

std::int32_t TextWidth(Device& dev, const LogFont& font, std::string_view text) {
    Device& ref = ReferenceCanvas(dev);
    const LogFont alt = ref.SelectFont(font);
    const TSize sz = ref.TextExtent(BisNull(text));
    ref.SelectFont(alt);
    return sz.cx;
}

LogFont ScaledFont(Device& dev, const LogFont& font) {
    LogFont f = font;
    const TDrawingState& st = DrawingState();
    if (st.Printing) {
        Device& ref = ReferenceCanvas(dev);
        LogFont alt = ref.SelectFont(font);
        std::int32_t sw = Breite(ref, "AAAA");
        ref.SelectFont(alt);
        if (&ref != &dev) SkaleVorAusgabe(dev);
        alt = dev.SelectFont(font);
        std::int32_t pw = Breite(dev, "AAAA");
        dev.SelectFont(alt);
        if (sw > pw || pw == 0) {
            sw = 9;
            pw = 10;
        }
        f.Height = MulDiv(font.Height, sw, pw);
    } else if (st.MetafileOutput) {
        f.Height = MulDiv(font.Height, 9, 10);
    }
    return f;
}

void RotatedBounds(TRect& r, std::int32_t cx, std::int32_t cy, std::int32_t angle) {
    const TPoint ecken[4] = {
        Gedreht(r.Left, r.Top, cx, cy, angle, 1),
        Gedreht(r.Right, r.Top, cx, cy, angle, 1),
        Gedreht(r.Right, r.Bottom, cx, cy, angle, 1),
        Gedreht(r.Left, r.Bottom, cx, cy, angle, 1),
    };
    TRect b{ecken[0].x, ecken[0].y, ecken[0].x, ecken[0].y};
    for (const TPoint& p : ecken) {
        b.Left = std::min(b.Left, p.x);
        b.Right = std::max(b.Right, p.x);
        b.Top = std::max(b.Top, p.y);
        b.Bottom = std::min(b.Bottom, p.y);
    }
    r = b;
}

// ---- formatted text ----------------------------------------------------------------

TRect MeasureFormattedText(Device& dev, std::int32_t x, std::int32_t y, std::int32_t angle,
                           const TFormStyles& styles, std::string_view text) {
    text = BisNull(text);
    Messlauf lauf(dev, styles, angle);
    const std::int32_t H = lauf.Zellhoehe();
    const std::int32_t gap = H / 10;
    const std::int32_t raise = RoundEven(H * styles.IndexRatio) / 4;
    TRect r{x, y + H, x, y};
    r.Right = Durchlaufen(text, x, y, 1, gap, raise, lauf);
    if (lauf.hoch) r.Top += raise + 5;
    if (lauf.tief) r.Bottom = y - raise;
    r.Right += RoundEven((r.Right - r.Left) * 0.05L);
    if (angle != 0) RotatedBounds(r, x, y, angle);
    return r;
}

std::int32_t FormattedTextWidth(Device& dev, std::string_view text, const TFormStyles& styles) {
    const TRect r = MeasureFormattedText(dev, 0, 0, 0, styles, text);
    return r.Right - r.Left;
}

void DrawFormattedText(Device& dev, std::int32_t x, std::int32_t y, const TFormStyles& styles,
                       std::int32_t angle, TColor color, std::string_view text, bool yUp) {
    text = BisNull(text);
    const int s = yUp ? 1 : -1;
    Zeichenlauf lauf(dev, styles, angle, x, y, s, color);
    const std::int32_t h = lauf.Hoehe();
    const std::int32_t gap = h / 10;
    const std::int32_t raise = RoundEven(h * styles.IndexRatio) / 4;
    dev.SetTextAlign(TA_LEFT | TA_BOTTOM);
    dev.SetTextColor(color);
    dev.SetBkMode(TRANSPARENT);
    Durchlaufen(text, x, y, s, gap, raise, lauf);
}

void DrawSimpleFormattedText(Device& canvas, std::int32_t x, std::int32_t y, TColor color,
                             std::int32_t height, std::string_view face, std::string_view text) {
    text = BisNull(text);
    canvas.SetTextColor(color);
    canvas.SetBkMode(TRANSPARENT);
    const LogFont alt = canvas.CurrentFont();
    std::int32_t weight = 400;
    const std::int32_t klein = (2 * height) / 3;
    std::int32_t w = 0;
    auto aus = [&](const LogFont& f, std::int32_t px, std::int32_t py, char c) {
        canvas.SelectFont(f);
        canvas.TextOut(px, py, std::string_view(&c, 1));
        w = Breite(canvas, std::string_view(&c, 1));
        x += w;
    };
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        const LogFont basis = MakeLogFont(face, height, weight);
        if ((c == '~' || c == '^' || c == '|') && i + 1 >= n) break;
        switch (c) {
        case '~':
            aus(MakeLogFont("Symbol", height, weight), x, y, text[++i]);
            break;
        case '^':
            if (i >= 2 && text[i - 2] == '|') x -= (2 * w) / 3;
            aus(ScaledFont(canvas, MakeLogFont(face, klein, weight)), x, y - height / 6,
                text[++i]);
            break;
        case '|':
            aus(MakeLogFont(face, klein, weight), x, y + height / 3, text[++i]);
            break;
        case '\\':
            weight = weight == 700 ? 400 : 700;
            break;
        default:
            aus(basis, x, y, c);
            break;
        }
    }
    canvas.SelectFont(alt);
}

} // namespace kd
