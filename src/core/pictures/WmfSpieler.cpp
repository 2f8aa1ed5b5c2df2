// Playing a metafile onto a device.
#include "core/pictures/Wmf.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <string_view>

#include "core/pictures/Bmp.h"
#include "core/pictures/WmfSatz.h"

namespace kd {

using namespace wmf;

namespace {

// Whether a ternary raster operation reads the source.
bool MitQuelle(std::uint32_t rop) {
    const unsigned rop3 = (rop >> 16) & 0xFF;
    return (((rop3 >> 2) ^ rop3) & 0x33) != 0;
}

std::int32_t Runde(double v) {
    if (!(v == v)) return 0;
    v = std::clamp(v, -MaxKoordinate, MaxKoordinate);
    return std::int32_t(std::lround(v));
}

} // namespace

// Plays one metafile into one device.
class WmfSpieler {
public:
    WmfSpieler(const Metadatei& m, Device& dc, const TRect& ziel);
    void Spielen();

private:
    struct Objekt {
        enum class Art : std::uint8_t { Frei, Stift, Pinsel, Schrift, Anderes } art = Art::Frei;
        LogPen pen;
        LogBrush brush;
        LogFont font;
    };
    struct Zustand {
        double wox = 0, woy = 0, wex = 1, wey = 1;
        int mapMode = MM_ANISOTROPIC;
        LogPen pen = BlackPen();
        LogBrush brush = WhiteBrush();
        LogFont font;
        TColor text = 0x000000, bk = 0xFFFFFF;
        int bkMode = OPAQUE;
        std::uint32_t align = TA_LEFT | TA_TOP;
        int fuellModus = 1;
        double cx = 0, cy = 0;  // current position, metafile units
    };

    void Neuberechnen();
    TPoint P(double x, double y) const { return {Runde(ax_ + bx_ * x), Runde(ay_ + by_ * y)}; }
    TRect R(double l, double t, double r, double b) const {
        const TPoint a = P(l, t), c = P(r, b);
        return NormalizeRect({a.x, a.y, c.x, c.y});
    }
    std::int32_t Laenge(double v, double skala) const {
        const double l = std::clamp(v * skala, -MaxLaenge, MaxLaenge);
        return std::int32_t(std::lround(l));
    }

    void StiftSetzen();
    void PinselSetzen();
    void SchriftSetzen();
    void TextzustandSetzen();
    void Satz(const Datensatz& d);

    void Erzeugen(const Objekt& o);
    void Loeschen(std::size_t i);
    void Waehlen(std::size_t i);
    std::vector<TPoint> Punkte(const Datensatz& d, std::size_t ab, std::size_t anzahl) const;
    void Bogen(const Datensatz& d, int art);
    void RundesRechteck(const Datensatz& d);
    void PolyPolygon(const Datensatz& d);
    void Text(double x, double y, const std::uint8_t* s, std::size_t n, std::uint16_t optionen,
              const TRect* opak);
    void Blit(const Datensatz& d);
    void Musterfuellung(std::uint32_t rop, double x, double y, double w, double h);
    const Metadatei::Bitmap* BitmapZu(std::size_t ort) const;

    const Metadatei& m_;
    Device& dc_;
    double zl_ = 0, zt_ = 0, zw_ = 0, zh_ = 0;  // the fitted target, page units
    double ax_ = 0, bx_ = 1, ay_ = 0, by_ = -1;  // page = a + b × metafile
    Zustand z_;
    std::vector<Zustand> gespeichert_;
    std::vector<Objekt> objekte_;
    std::set<std::size_t> frei_;  // freed slots below objekte_.size()
    std::size_t kapazitaet_ = MinObjekte;
    bool leer_ = false;
};

WmfSpieler::WmfSpieler(const Metadatei& m, Device& dc, const TRect& zielRoh) : m_(m), dc_(dc) {
    const TRect ziel = NormalizeRect(zielRoh);
    const double tw = double(ziel.Right) - ziel.Left, th = double(ziel.Top) - ziel.Bottom;
    const double fw = m.masse_.Width, fh = m.masse_.Height;
    if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0) {
        leer_ = true;
        return;
    }
    const double s = std::min(tw / fw, th / fh);
    zw_ = fw * s;
    zh_ = fh * s;
    zl_ = ziel.Left + (tw - zw_) / 2;
    zt_ = ziel.Top - (th - zh_) / 2;
    const TRect& r = m.rahmen_;
    z_.wox = r.Left;
    z_.woy = r.Top;
    z_.wex = double(r.Right) - r.Left;
    z_.wey = double(r.Bottom) - r.Top;
    if (z_.wex == 0) z_.wex = 1;
    if (z_.wey == 0) z_.wey = 1;
    kapazitaet_ = std::max<std::size_t>(m.objekte_, MinObjekte);
    z_.font.SetFace("Arial");
    Neuberechnen();
}

void WmfSpieler::Neuberechnen() {
    double ox = z_.wox, oy = z_.woy, ex = z_.wex, ey = z_.wey;
    if (z_.mapMode != MM_ISOTROPIC && z_.mapMode != MM_ANISOTROPIC) {
        // Fixed map modes: the frame fills the picture, y downward in the text mode,
        // upward in the metric and English modes.
        const TRect f = NormalizeRect({m_.rahmen_.Left, m_.rahmen_.Bottom, m_.rahmen_.Right,
                                       m_.rahmen_.Top});  // Top: the larger y
        ex = double(f.Right) - f.Left;
        ox = f.Left;
        if (z_.mapMode == MM_TEXT) {
            oy = f.Bottom;
            ey = double(f.Top) - f.Bottom;
        } else {
            oy = f.Top;
            ey = double(f.Bottom) - f.Top;
        }
        if (ex == 0) ex = 1;
        if (ey == 0) ey = -1;
    }
    double sx = zw_ / ex, sy = zh_ / ey;
    if (z_.mapMode == MM_ISOTROPIC) {
        const double s = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(s, sx);
        sy = std::copysign(s, sy);
    }
    bx_ = sx;
    ax_ = zl_ - ox * sx;
    by_ = -sy;
    ay_ = zt_ + oy * sy;
}

void WmfSpieler::StiftSetzen() {
    LogPen p = z_.pen;
    if (p.Style != PS_NULL) p.WidthX = p.WidthY = std::abs(Laenge(p.WidthX, bx_));
    if (!(dc_.CurrentPen() == p)) dc_.SelectPen(p);
}

void WmfSpieler::PinselSetzen() {
    if (!(dc_.CurrentBrush() == z_.brush)) dc_.SelectBrush(z_.brush);
}

void WmfSpieler::SchriftSetzen() {
    LogFont f = z_.font;
    if (f.Height != 0) {
        const std::int32_t h = std::abs(Laenge(f.Height, by_));
        f.Height = f.Height < 0 ? -std::max(h, 1) : std::max(h, 1);
    }
    f.Width = std::abs(Laenge(f.Width, bx_));
    if (f.Face().empty()) f.SetFace("Arial");
    if (!(dc_.CurrentFont() == f)) dc_.SelectFont(f);
}

void WmfSpieler::TextzustandSetzen() {
    const std::uint32_t align = z_.align & (TA_CENTER | TA_BASELINE);
    if (dc_.TextAlign() != align) dc_.SetTextAlign(align);
    if (dc_.TextColor() != z_.text) dc_.SetTextColor(z_.text);
    if (dc_.BkMode() != z_.bkMode) dc_.SetBkMode(z_.bkMode);
    if (dc_.BkColor() != z_.bk) dc_.SetBkColor(z_.bk);
}

void WmfSpieler::Erzeugen(const Objekt& o) {
    if (!frei_.empty()) {
        const std::size_t i = *frei_.begin();
        frei_.erase(frei_.begin());
        objekte_[i] = o;
    } else if (objekte_.size() < kapazitaet_) {
        objekte_.push_back(o);
    }  // a full table creates nothing, as the platform does
}

void WmfSpieler::Loeschen(std::size_t i) {
    if (i >= objekte_.size() || objekte_[i].art == Objekt::Art::Frei) return;
    objekte_[i].art = Objekt::Art::Frei;
    frei_.insert(i);
}

void WmfSpieler::Waehlen(std::size_t i) {
    if (i >= objekte_.size()) return;
    const Objekt& o = objekte_[i];
    switch (o.art) {
    case Objekt::Art::Stift: z_.pen = o.pen; break;
    case Objekt::Art::Pinsel: z_.brush = o.brush; break;
    case Objekt::Art::Schrift: z_.font = o.font; break;
    default: break;
    }
}

std::vector<TPoint> WmfSpieler::Punkte(const Datensatz& d, std::size_t ab,
                                       std::size_t anzahl) const {
    std::vector<TPoint> v;
    v.reserve(anzahl);
    for (std::size_t i = 0; i < anzahl; ++i)
        v.push_back(P(d.S(ab + 2 * i), d.S(ab + 2 * i + 1)));
    return v;
}

// Arc (0), chord (1), pie (2): counter-clockwise on the picture from the start to
// the end radial, the whole ellipse when they are the same direction.
void WmfSpieler::Bogen(const Datensatz& d, int art) {
    if (!d.Hat(16)) return;
    const double ye = d.S(0), xe = d.S(1), ys = d.S(2), xs = d.S(3);
    const double b = d.S(4), r = d.S(5), t = d.S(6), l = d.S(7);
    const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::abs(r - l) / 2,
                 ry = std::abs(b - t) / 2;
    if (rx == 0 || ry == 0) return;
    // Angles on the picture: the metafile's y grows downward where the frame does.
    const double yVorzeichen = by_ < 0 ? -1 : 1;
    auto winkel = [&](double x, double y) {
        return std::atan2(yVorzeichen * (y - cy) / ry, (x - cx) / rx);
    };
    const double a0 = winkel(xs, ys);
    double a1 = winkel(xe, ye);
    if (a1 <= a0) a1 += 2 * std::numbers::pi;
    const int schritte = std::max(2, int(std::ceil(64 * (a1 - a0) / (2 * std::numbers::pi))));
    std::vector<TPoint> v;
    v.reserve(std::size_t(schritte) + 2);
    if (art == 2) v.push_back(P(cx, cy));
    for (int i = 0; i <= schritte; ++i) {
        const double a = a0 + (a1 - a0) * i / schritte;
        v.push_back(P(cx + rx * std::cos(a), cy + yVorzeichen * ry * std::sin(a)));
    }
    StiftSetzen();
    if (art == 0) {
        dc_.Polyline(v.data(), int(v.size()));
    } else {
        PinselSetzen();
        dc_.Polygon(v.data(), int(v.size()));
    }
}

void WmfSpieler::RundesRechteck(const Datensatz& d) {
    if (!d.Hat(12)) return;
    const double eh = d.S(0), ew = d.S(1);
    const double b0 = d.S(2), r0 = d.S(3), t0 = d.S(4), l0 = d.S(5);
    const double l = std::min(l0, r0), r = std::max(l0, r0), t = std::min(t0, b0),
                 b = std::max(t0, b0);
    const double rx = std::min(std::abs(ew) / 2, (r - l) / 2),
                 ry = std::min(std::abs(eh) / 2, (b - t) / 2);
    std::vector<TPoint> v;
    const double pi = std::numbers::pi;
    // Corners in the order top right, top left, bottom left, bottom right (y down).
    const double mx[4] = {r - rx, l + rx, l + rx, r - rx};
    const double my[4] = {t + ry, t + ry, b - ry, b - ry};
    for (int e = 0; e < 4; ++e)
        for (int i = 0; i <= 8; ++i) {
            const double a = pi / 2 * (e + i / 8.0);
            v.push_back(P(mx[e] + rx * std::cos(a), my[e] - ry * std::sin(a)));
        }
    StiftSetzen();
    PinselSetzen();
    dc_.Polygon(v.data(), int(v.size()));
}

// Several polygons filled as one (their holes stay open with the even-odd rule):
// the rings are joined by bridges to the first point, each drawn there and back, and
// filled without outline; the outlines follow ring by ring.
void WmfSpieler::PolyPolygon(const Datensatz& d) {
    if (!d.Hat(2)) return;
    const std::size_t ringe = d.W(0);
    if (ringe == 0 || !d.Hat(2 + 2 * ringe)) return;
    std::size_t gesamt = 0;
    for (std::size_t i = 0; i < ringe; ++i) gesamt += d.W(1 + i);
    if (!d.Hat(2 + 2 * ringe + 4 * gesamt)) return;
    std::vector<std::vector<TPoint>> v;
    std::size_t ab = 1 + ringe;
    for (std::size_t i = 0; i < ringe; ++i) {
        const std::size_t n = d.W(1 + i);
        if (n > 0) v.push_back(Punkte(d, ab, n));
        ab += 2 * n;
    }
    if (v.empty()) return;
    if (v.size() == 1) {
        StiftSetzen();
        PinselSetzen();
        dc_.Polygon(v[0].data(), int(v[0].size()));
        return;
    }
    if (z_.brush.Style != BS_HOLLOW) {
        std::vector<TPoint> alle;
        alle.reserve(gesamt + 2 * v.size());
        const TPoint anker = v[0][0];
        for (const auto& ring : v) {
            alle.insert(alle.end(), ring.begin(), ring.end());
            alle.push_back(ring[0]);
            alle.push_back(anker);
        }
        const LogPen stift = z_.pen;
        z_.pen = NullPen();
        StiftSetzen();
        z_.pen = stift;
        PinselSetzen();
        dc_.Polygon(alle.data(), int(alle.size()));
    }
    if (z_.pen.Style != PS_NULL) {
        StiftSetzen();
        for (auto& ring : v) {
            ring.push_back(ring[0]);
            dc_.Polyline(ring.data(), int(ring.size()));
        }
    }
}

void WmfSpieler::Text(double x, double y, const std::uint8_t* s, std::size_t n,
                      std::uint16_t optionen, const TRect* opak) {
    if (opak && (optionen & ETO_OPAQUE)) dc_.FillRect(*opak, {BS_SOLID, z_.bk, 0});
    std::size_t laenge = 0;
    while (laenge < n && s[laenge] != 0) ++laenge;
    if (laenge == 0) return;
    const std::string_view text(reinterpret_cast<const char*>(s), laenge);
    SchriftSetzen();
    TextzustandSetzen();
    const bool cp = (z_.align & TA_UPDATECP) != 0;
    if (cp) {
        x = z_.cx;
        y = z_.cy;
    }
    const TPoint p = P(x, y);
    dc_.TextOut(p.x, p.y, text);
    if (cp && std::abs(bx_) > 1e-9) {
        // The current position moves past the text (left-aligned) or before it.
        // The text runs rightward on the page, whichever way the metafile's x goes.
        const double weite = std::copysign(dc_.TextExtent(text).cx / std::abs(bx_), bx_);
        const std::uint32_t h = z_.align & TA_CENTER;
        if (h == TA_LEFT) z_.cx += weite;
        if (h == TA_RIGHT) z_.cx -= weite;
    }
}

const Metadatei::Bitmap* WmfSpieler::BitmapZu(std::size_t ort) const {
    auto it = std::lower_bound(m_.bitmaps_.begin(), m_.bitmaps_.end(), ort,
                               [](const Metadatei::Bitmap& b, std::size_t o) { return b.record < o; });
    return it != m_.bitmaps_.end() && it->record == ort ? &*it : nullptr;
}

void WmfSpieler::Musterfuellung(std::uint32_t rop, double x, double y, double w, double h) {
    LogBrush b;
    switch ((rop >> 16) & 0xFF) {
    case 0xF0: b = z_.brush; break;  // PATCOPY
    case 0x00: b = BlackBrush(); break;
    case 0xFF: b = WhiteBrush(); break;
    default: return;  // inverting operations have no part in a picture
    }
    if (b.Style == BS_HOLLOW) return;
    dc_.FillRect(R(x, y, x + w, y + h), b);
}

void WmfSpieler::Blit(const Datensatz& d) {
    // Destination (x, y, w, h) and source (x, y, w, h) in the record's order.
    double dx = 0, dy = 0, dw = 0, dh = 0;
    std::int32_t sx = 0, sy = 0, sw = 0, sh = 0;
    bool vonUnten = false;  // the source y counts from the bottom of a bottom-up DIB
    std::uint32_t rop = 0x00CC0020;
    const std::size_t dib = DibOrt(d);
    switch (d.funktion) {
    case META_STRETCHDIB:
        if (!d.Hat(22)) return;
        rop = d.D(0);
        sh = d.S(3), sw = d.S(4), sy = d.S(5), sx = d.S(6);
        dh = d.S(7), dw = d.S(8), dy = d.S(9), dx = d.S(10);
        vonUnten = true;
        break;
    case META_DIBSTRETCHBLT:
    case META_DIBBITBLT: {
        const bool stretch = d.funktion == META_DIBSTRETCHBLT;
        if (!dib) {  // no bitmap: a pattern blit; the destination is in the last words
            if (!d.Hat(stretch ? 22 : 18)) return;
            const std::size_t e = stretch ? 7 : 5;
            Musterfuellung(d.D(0), d.S(e + 3), d.S(e + 2), d.S(e + 1), d.S(e));
            return;
        }
        rop = d.D(0);
        if (stretch) {
            sh = d.S(2), sw = d.S(3), sy = d.S(4), sx = d.S(5);
            dh = d.S(6), dw = d.S(7), dy = d.S(8), dx = d.S(9);
        } else {
            sy = d.S(2), sx = d.S(3);
            sh = d.S(4), sw = d.S(5);
            dh = sh, dw = sw, dy = d.S(6), dx = d.S(7);
        }
        break;
    }
    case META_SETDIBTODEV:
        if (!d.Hat(18)) return;
        sy = d.S(3), sx = d.S(4), sh = d.S(5), sw = d.S(6);
        dh = sh, dw = sw, dy = d.S(7), dx = d.S(8);
        vonUnten = true;
        break;
    default:
        return;
    }
    if (!MitQuelle(rop)) {
        Musterfuellung(rop, dx, dy, dw, dh);
        return;
    }
    const Metadatei::Bitmap* b = dib ? BitmapZu(d.ort) : nullptr;
    if (!b) return;
    const Bild& bild = b->bild;
    // The source rectangle, top-down, clipped to the bitmap.
    std::int64_t x0 = std::min<std::int64_t>(sx, std::int64_t(sx) + sw);
    std::int64_t w = std::abs(std::int64_t(sw));
    std::int64_t h = std::abs(std::int64_t(sh));
    std::int64_t y0 = std::min<std::int64_t>(sy, std::int64_t(sy) + sh);
    if (vonUnten && b->bottomUp) y0 = bild.Height - y0 - h;
    const std::int64_t x1 = std::clamp<std::int64_t>(x0 + w, 0, bild.Width);
    const std::int64_t y1 = std::clamp<std::int64_t>(y0 + h, 0, bild.Height);
    x0 = std::clamp<std::int64_t>(x0, 0, bild.Width);
    y0 = std::clamp<std::int64_t>(y0, 0, bild.Height);
    if (x1 <= x0 || y1 <= y0) return;
    const TPoint a = P(dx, dy), c = P(dx + dw, dy + dh);
    const TRect ziel{a.x, a.y, c.x, c.y};
    if (x0 == 0 && y0 == 0 && x1 == bild.Width && y1 == bild.Height) {
        dc_.DrawImage(ziel, bild);
        return;
    }
    Bild teil;
    teil.Create(std::int32_t(x1 - x0), std::int32_t(y1 - y0));
    for (std::int64_t y = y0; y < y1; ++y)
        std::copy_n(bild.Pixels.begin() + (y * bild.Width + x0) * 4, (x1 - x0) * 4,
                    teil.Pixels.begin() + (y - y0) * (x1 - x0) * 4);
    dc_.DrawImage(ziel, teil);
}

void WmfSpieler::Satz(const Datensatz& d) {
    switch (d.funktion) {
    case META_SAVEDC:
        if (gespeichert_.size() < MaxGespeicherteZustaende) gespeichert_.push_back(z_);
        break;
    case META_RESTOREDC: {
        if (!d.Hat(2)) break;
        const std::int16_t n = d.S(0);
        // Negative: that many states back; positive: the state saved as number n.
        std::int64_t ebene = n < 0 ? std::int64_t(gespeichert_.size()) + n : std::int64_t(n) - 1;
        if (ebene < 0 || ebene >= std::int64_t(gespeichert_.size())) break;
        z_ = gespeichert_[std::size_t(ebene)];
        gespeichert_.resize(std::size_t(ebene));
        Neuberechnen();
        break;
    }
    case META_SETBKCOLOR:
        if (d.Hat(4)) z_.bk = d.D(0) & 0xFFFFFF;
        break;
    case META_SETTEXTCOLOR:
        if (d.Hat(4)) z_.text = d.D(0) & 0xFFFFFF;
        break;
    case META_SETBKMODE:
        if (d.Hat(2) && (d.W(0) == TRANSPARENT || d.W(0) == OPAQUE)) z_.bkMode = d.W(0);
        break;
    case META_SETTEXTALIGN:
        if (d.Hat(2)) z_.align = d.W(0);
        break;
    case META_SETPOLYFILLMODE:
        // Kept with the state; the device fills with the even-odd rule.
        if (d.Hat(2)) z_.fuellModus = d.W(0);
        break;
    case META_SETMAPMODE:
        if (d.Hat(2) && d.W(0) >= 1 && d.W(0) <= 8) {
            z_.mapMode = d.W(0);
            Neuberechnen();
        }
        break;
    case META_SETWINDOWORG:
        if (d.Hat(4)) {
            z_.woy = d.S(0);
            z_.wox = d.S(1);
            Neuberechnen();
        }
        break;
    case META_SETWINDOWEXT:
        if (d.Hat(4) && d.S(0) != 0 && d.S(1) != 0) {
            z_.wey = d.S(0);
            z_.wex = d.S(1);
            Neuberechnen();
        }
        break;
    case META_OFFSETWINDOWORG:
        if (d.Hat(4)) {
            z_.woy += d.S(0);
            z_.wox += d.S(1);
            Neuberechnen();
        }
        break;
    case META_SCALEWINDOWEXT:
        if (d.Hat(8) && d.S(0) != 0 && d.S(2) != 0) {
            const double ey = z_.wey * d.S(1) / d.S(0), ex = z_.wex * d.S(3) / d.S(2);
            if (ex != 0 && ey != 0 && std::abs(ex) < 1e9 && std::abs(ey) < 1e9) {
                z_.wex = ex;
                z_.wey = ey;
                Neuberechnen();
            }
        }
        break;
    case META_CREATEPENINDIRECT:
        if (d.Hat(10)) {
            Objekt o;
            o.art = Objekt::Art::Stift;
            const std::uint32_t stil = d.W(0) & 0x0F;
            o.pen.Style = stil <= PS_NULL ? stil : PS_SOLID;
            o.pen.WidthX = o.pen.WidthY = std::abs(std::int32_t(d.S(1)));
            o.pen.Color = d.D(3) & 0xFFFFFF;
            Erzeugen(o);
        }
        break;
    case META_CREATEBRUSHINDIRECT:
        if (d.Hat(6)) {
            Objekt o;
            o.art = Objekt::Art::Pinsel;
            const std::uint32_t stil = d.W(0);
            o.brush.Style = stil <= BS_HATCHED ? stil : BS_SOLID;
            o.brush.Color = d.D(1) & 0xFFFFFF;
            o.brush.Hatch = d.Hat(8) ? d.W(3) : 0;
            Erzeugen(o);
        }
        break;
    case META_CREATEFONTINDIRECT:
        if (d.Hat(18)) {
            Objekt o;
            o.art = Objekt::Art::Schrift;
            LogFont& f = o.font;
            f.Height = d.S(0);
            f.Width = d.S(1);
            f.Escapement = d.S(2);
            f.Orientation = d.S(3);
            f.Weight = d.S(4);
            f.Italic = d.p[10];
            f.Underline = d.p[11];
            f.StrikeOut = d.p[12];
            f.CharSet = d.p[13];
            f.OutPrecision = d.p[14];
            f.ClipPrecision = d.p[15];
            f.Quality = d.p[16];
            f.PitchAndFamily = d.p[17];
            std::size_t n = 0;
            while (n < 31 && 18 + n < d.n && d.p[18 + n] != 0) ++n;
            f.SetFace(std::string_view(reinterpret_cast<const char*>(d.p + 18), n));
            Erzeugen(o);
        }
        break;
    case META_DIBCREATEPATTERNBRUSH: {
        // A pattern brush fills with the average colour of its pattern.
        Objekt o;
        o.art = Objekt::Art::Pinsel;
        o.brush = {BS_SOLID, 0x808080, 0};
        if (const Metadatei::Bitmap* b = DibOrt(d) ? BitmapZu(d.ort) : nullptr) {
            std::uint64_t s[3] = {0, 0, 0};
            const std::size_t px = b->bild.Pixels.size() / 4;
            for (std::size_t i = 0; i < px; ++i)
                for (int k = 0; k < 3; ++k) s[k] += b->bild.Pixels[4 * i + k];
            if (px) o.brush.Color = RGB(unsigned(s[0] / px), unsigned(s[1] / px), unsigned(s[2] / px));
        }
        Erzeugen(o);
        break;
    }
    case META_CREATEPATTERNBRUSH: {
        Objekt o;
        o.art = Objekt::Art::Pinsel;
        o.brush = {BS_SOLID, 0x808080, 0};
        Erzeugen(o);
        break;
    }
    case META_CREATEPALETTE:
    case META_CREATEREGION: {
        Objekt o;
        o.art = Objekt::Art::Anderes;
        Erzeugen(o);
        break;
    }
    case META_SELECTOBJECT:
        if (d.Hat(2)) Waehlen(d.W(0));
        break;
    case META_DELETEOBJECT:
        if (d.Hat(2)) Loeschen(d.W(0));
        break;
    case META_MOVETO:
        if (d.Hat(4)) {
            z_.cy = d.S(0);
            z_.cx = d.S(1);
            const TPoint p = P(z_.cx, z_.cy);
            dc_.MoveTo(p.x, p.y);
        }
        break;
    case META_LINETO:
        if (d.Hat(4)) {
            StiftSetzen();
            const TPoint von = P(z_.cx, z_.cy);
            if (!(dc_.CurrentPosition() == von)) dc_.MoveTo(von.x, von.y);
            z_.cy = d.S(0);
            z_.cx = d.S(1);
            const TPoint p = P(z_.cx, z_.cy);
            dc_.LineTo(p.x, p.y);
        }
        break;
    case META_POLYLINE:
    case META_POLYGON: {
        if (!d.Hat(2) || d.S(0) < 2) break;
        const std::size_t n = std::size_t(d.S(0));
        if (!d.Hat(2 + 4 * n)) break;
        const std::vector<TPoint> v = Punkte(d, 1, n);
        StiftSetzen();
        if (d.funktion == META_POLYLINE) {
            dc_.Polyline(v.data(), int(v.size()));
        } else {
            PinselSetzen();
            dc_.Polygon(v.data(), int(v.size()));
        }
        break;
    }
    case META_POLYPOLYGON:
        PolyPolygon(d);
        break;
    case META_RECTANGLE:
    case META_ELLIPSE:
        if (d.Hat(8)) {
            const TRect r = R(d.S(3), d.S(2), d.S(1), d.S(0));
            StiftSetzen();
            PinselSetzen();
            if (d.funktion == META_RECTANGLE)
                dc_.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
            else
                dc_.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
        }
        break;
    case META_ROUNDRECT:
        RundesRechteck(d);
        break;
    case META_ARC:
        Bogen(d, 0);
        break;
    case META_CHORD:
        Bogen(d, 1);
        break;
    case META_PIE:
        Bogen(d, 2);
        break;
    case META_TEXTOUT: {
        if (!d.Hat(2) || d.S(0) <= 0) break;
        const std::size_t n = std::size_t(d.S(0));
        const std::size_t worte = (n + 1) / 2;
        if (!d.Hat(2 + 2 * worte + 4)) break;
        Text(d.S(1 + worte + 1), d.S(1 + worte), d.p + 2, n, 0, nullptr);
        break;
    }
    case META_EXTTEXTOUT: {
        if (!d.Hat(8) || d.S(2) <= 0) break;
        const std::size_t n = std::size_t(d.S(2));
        const std::uint16_t optionen = d.W(3);
        const bool mitRechteck = (optionen & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
        const std::size_t ab = 8 + (mitRechteck ? 8 : 0);
        if (!d.Hat(ab + n)) break;
        TRect opak;
        if (mitRechteck) opak = R(d.S(4), d.S(5), d.S(6), d.S(7));
        Text(d.S(1), d.S(0), d.p + ab, n, optionen, mitRechteck ? &opak : nullptr);
        break;
    }
    case META_PATBLT:
        if (d.Hat(12)) Musterfuellung(d.D(0), d.S(5), d.S(4), d.S(3), d.S(2));
        break;
    case META_STRETCHDIB:
    case META_DIBSTRETCHBLT:
    case META_DIBBITBLT:
    case META_SETDIBTODEV:
        Blit(d);
        break;
    default:
        break;  // records without a part in the picture
    }
}

void WmfSpieler::Spielen() {
    if (leer_) return;
    const LogFont font = dc_.CurrentFont();
    const LogPen pen = dc_.CurrentPen();
    const LogBrush brush = dc_.CurrentBrush();
    const std::uint32_t align = dc_.TextAlign();
    const TColor text = dc_.TextColor(), bk = dc_.BkColor();
    const int bkMode = dc_.BkMode();
    const TPoint pos = dc_.CurrentPosition();

    const std::vector<std::uint8_t>& b = m_.bytes_;
    Durchlaufen(b.data(), b.size(), m_.records_, [&](const Datensatz& d) {
        Satz(d);
        return true;
    });

    if (!(dc_.CurrentFont() == font)) dc_.SelectFont(font);
    if (!(dc_.CurrentPen() == pen)) dc_.SelectPen(pen);
    if (!(dc_.CurrentBrush() == brush)) dc_.SelectBrush(brush);
    if (dc_.TextAlign() != align) dc_.SetTextAlign(align);
    if (dc_.TextColor() != text) dc_.SetTextColor(text);
    if (dc_.BkMode() != bkMode) dc_.SetBkMode(bkMode);
    if (dc_.BkColor() != bk) dc_.SetBkColor(bk);
    if (!(dc_.CurrentPosition() == pos)) dc_.MoveTo(pos.x, pos.y);
}

void Metadatei::Abspielen(Device& dc, const TRect& ziel) const {
    WmfSpieler(*this, dc, ziel).Spielen();
}

} // namespace kd
