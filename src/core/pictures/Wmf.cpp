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

struct Kopf {
    bool placeable = false;
    TRect box;  // placeable: left, top, right, bottom
    std::uint16_t inch = 0;
    std::size_t records = 0;
    std::uint16_t objekte = 0;
};

std::optional<Kopf> KopfLesen(const std::uint8_t* data, std::size_t size) {
    if (!data) return std::nullopt;
    Kopf k;
    std::size_t pos = 0;
    if (size >= 22 && U32(data) == PlaceableKey) {
        std::uint16_t summe = 0;
        for (int i = 0; i < 10; ++i) summe ^= U16(data + 2 * i);
        if (summe != U16(data + 20)) return std::nullopt;
        k.placeable = true;
        k.box = {S16(data + 6), S16(data + 8), S16(data + 10), S16(data + 12)};
        k.inch = U16(data + 14);
        pos = 22;
    }
    if (size - pos < 18) return std::nullopt;
    const std::uint16_t typ = U16(data + pos), groesse = U16(data + pos + 2),
                        version = U16(data + pos + 4);
    if ((typ != 1 && typ != 2) || groesse != 9 || (version != 0x0100 && version != 0x0300))
        return std::nullopt;
    k.objekte = U16(data + pos + 10);
    k.records = pos + 18;
    return k;
}

// The frame and size of a metafile, and the number of its records.
struct Rahmendaten {
    TRect rahmen;
    BildMasse masse;
    std::size_t datensaetze = 0;
};

Rahmendaten RahmenBestimmen(const std::uint8_t* data, std::size_t size, const Kopf& k) {
    Rahmendaten r;
    bool hatOrg = false, hatExt = false, hatPunkt = false;
    std::int32_t ox = 0, oy = 0, ex = 0, ey = 0;
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    auto punkt = [&](std::int32_t x, std::int32_t y) {
        if (!hatPunkt) {
            x0 = x1 = x;
            y0 = y1 = y;
            hatPunkt = true;
        }
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    };
    r.datensaetze = Durchlaufen(data, size, k.records, [&](const Datensatz& d) {
        if (k.placeable) return true;  // only counted
        switch (d.funktion) {
        case META_SETWINDOWORG:
            if (!hatOrg && d.Hat(4)) ox = d.S(1), oy = d.S(0), hatOrg = true;
            break;
        case META_SETWINDOWEXT:
            if (!hatExt && d.Hat(4) && d.S(0) != 0 && d.S(1) != 0)
                ex = d.S(1), ey = d.S(0), hatExt = true;
            break;
        case META_MOVETO:
        case META_LINETO:
            if (d.Hat(4)) punkt(d.S(1), d.S(0));
            break;
        case META_RECTANGLE:
        case META_ELLIPSE:
            if (d.Hat(8)) punkt(d.S(3), d.S(2)), punkt(d.S(1), d.S(0));
            break;
        case META_POLYGON:
        case META_POLYLINE:
            if (d.Hat(2)) {
                const std::int16_t n = d.S(0);
                for (std::int32_t i = 0; i < n && d.Hat(2 + 4 * std::size_t(i) + 4); ++i)
                    punkt(d.S(1 + 2 * i), d.S(2 + 2 * i));
            }
            break;
        case META_TEXTOUT:
            if (d.Hat(2) && d.S(0) >= 0) {
                const std::size_t s = (std::size_t(d.S(0)) + 1) / 2;
                if (d.Hat(2 + 2 * s + 4)) punkt(d.S(1 + s + 1), d.S(1 + s));
            }
            break;
        case META_EXTTEXTOUT:
            if (d.Hat(4)) punkt(d.S(1), d.S(0));
            break;
        default:
            break;
        }
        return true;
    });
    if (k.placeable) {
        r.rahmen = k.box;
        const std::int64_t w = std::abs(std::int64_t(k.box.Right) - k.box.Left);
        const std::int64_t h = std::abs(std::int64_t(k.box.Bottom) - k.box.Top);
        r.masse.Width = std::int32_t(w);
        r.masse.Height = std::int32_t(h);
        if (k.inch > 0 && w > 0 && h > 0) {
            r.masse.WidthMM10 = std::int32_t(w * 254 / k.inch);
            r.masse.HeightMM10 = std::int32_t(h * 254 / k.inch);
        }
    } else if (hatExt) {
        r.rahmen = {ox, oy, ox + ex, oy + ey};
        r.masse.Width = std::abs(ex);
        r.masse.Height = std::abs(ey);
    } else if (hatPunkt) {
        r.rahmen = {x0, y0, x1, y1};
        r.masse.Width = x1 - x0;
        r.masse.Height = y1 - y0;
    }
    return r;
}

} // namespace

std::optional<Metadatei> Metadatei::Lesen(const std::uint8_t* data, std::size_t size,
                                          const BildGrenzen& grenzen) {
    const std::optional<Kopf> k = KopfLesen(data, size);
    if (!k) return std::nullopt;
    Metadatei m;
    const Rahmendaten r = RahmenBestimmen(data, size, *k);
    m.bytes_.assign(data, data + size);
    m.records_ = k->records;
    m.objekte_ = k->objekte;
    m.placeable_ = k->placeable;
    m.rahmen_ = r.rahmen;
    m.masse_ = r.masse;
    m.datensaetze_ = r.datensaetze;
    // The bitmaps of all records share the pixel limit.
    std::int64_t rest = grenzen.MaxPixels;
    Durchlaufen(data, size, k->records, [&](const Datensatz& d) {
        const std::size_t ab = DibOrt(d);
        if (!ab || rest <= 0) return true;
        DibInfo info;
        std::optional<Bild> b =
            DekodiereDib(d.p + ab, d.n - ab, {grenzen.MaxSide, rest}, &info);
        if (b) {
            rest -= std::int64_t(b->Width) * b->Height;
            m.bitmaps_.push_back({d.ort, std::move(*b), info.BottomUp});
        }
        return true;
    });
    return m;
}

std::optional<BildMasse> WmfMasse(const std::uint8_t* data, std::size_t size) {
    const std::optional<Kopf> k = KopfLesen(data, size);
    if (!k) return std::nullopt;
    return RahmenBestimmen(data, size, *k).masse;
}

} // namespace kd
