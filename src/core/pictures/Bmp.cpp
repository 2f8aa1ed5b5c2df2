#include "core/pictures/Bmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <new>

namespace kd {

namespace {

constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3,
                        BI_ALPHABITFIELDS = 6;

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::int32_t I32(const std::uint8_t* p) { return std::int32_t(U32(p)); }

// One colour channel given by a mask: the value is cut out and stretched to 0..255.
struct Kanal {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Kanal(std::uint32_t m = 0) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    std::uint8_t operator()(std::uint32_t v) const {
        if (!max) return 0;
        return std::uint8_t((std::uint64_t((v & mask) >> shift) * 255 + max / 2) / max);
    }
};

struct DibKopf {
    std::uint32_t kopfGroesse = 0;
    std::int64_t breite = 0, hoehe = 0;  // hoehe > 0
    bool bottomUp = true;
    unsigned bpp = 0;
    std::uint32_t kompression = BI_RGB;
    std::uint32_t bildGroesse = 0;  // biSizeImage, 0 when not given
    std::int32_t ppmX = 0, ppmY = 0;
    std::array<std::uint32_t, 4> masken{};  // R, G, B, A
    bool alphaMaske = false;
    std::array<std::uint32_t, 256> palette{};  // 0x00RRGGBB as stored (B, G, R)
    unsigned palettenGroesse = 0;
    std::size_t bits = 0;  // offset of the bits from the start of the DIB
};

// Reads the DIB header at p (n bytes). `bitsOffset` is where the file header says
// the bits start (relative to p), or empty for a packed DIB.
bool KopfLesen(const std::uint8_t* p, std::size_t n, std::optional<std::int64_t> bitsOffset,
               const BildGrenzen& g, DibKopf& k) {
    if (n < 12) return false;
    k.kopfGroesse = U32(p);
    const std::uint32_t hs = k.kopfGroesse;
    if (hs > n) return false;
    std::size_t eintrag = 4;  // bytes per palette entry
    std::uint64_t farbenBenutzt = 0;
    if (hs == 12) {
        k.breite = U16(p + 4);
        k.hoehe = U16(p + 6);
        k.bpp = U16(p + 10);
        eintrag = 3;
    } else if (hs == 16 || (hs >= 40 && hs <= 4096)) {
        k.breite = I32(p + 4);
        const std::int64_t h = I32(p + 8);
        k.bottomUp = h > 0;
        k.hoehe = h < 0 ? -h : h;
        k.bpp = U16(p + 14);
        if (hs >= 40) {
            k.kompression = U32(p + 16);
            k.bildGroesse = U32(p + 20);
            k.ppmX = I32(p + 24);
            k.ppmY = I32(p + 28);
            farbenBenutzt = U32(p + 32);
        }
    } else {
        return false;
    }
    if (!InnerhalbGrenzen(k.breite, k.hoehe, g)) return false;
    switch (k.bpp) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }

    // The OS/2 64-byte header uses the same numbers for other compressions.
    const bool os2 = hs == 16 || hs == 64;
    std::size_t maskenNachKopf = 0;
    switch (k.kompression) {
    case BI_RGB:
        if (k.bpp == 16) k.masken = {0x7C00, 0x03E0, 0x001F, 0};
        if (k.bpp == 32) k.masken = {0xFF0000, 0xFF00, 0xFF, 0};
        break;
    case BI_RLE8:
        if (k.bpp != 8 || !k.bottomUp) return false;
        break;
    case BI_RLE4:
        if (k.bpp != 4 || !k.bottomUp) return false;
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS: {
        if (os2 || (k.bpp != 16 && k.bpp != 32)) return false;
        const bool mitAlpha = k.kompression == BI_ALPHABITFIELDS || hs >= 56;
        const std::size_t anzahl = mitAlpha ? 4 : 3;
        std::size_t ort = 40;
        if (hs < 40 + 4 * anzahl) {  // the masks follow the header
            ort = hs;
            maskenNachKopf = 4 * anzahl;
            if (ort + maskenNachKopf > n) return false;
        }
        for (std::size_t i = 0; i < anzahl; ++i) k.masken[i] = U32(p + ort + 4 * i);
        k.alphaMaske = mitAlpha && k.masken[3] != 0;
        break;
    }
    default:
        return false;
    }

    // The palette: as many entries as used (all for a depth up to 8 when 0).
    std::uint64_t eintraege = farbenBenutzt;
    if (k.bpp <= 8 && (eintraege == 0 || eintraege > (1u << k.bpp))) eintraege = 1u << k.bpp;
    if (k.bpp > 8 && hs == 12) eintraege = 0;
    const std::uint64_t palettenOrt = std::uint64_t(hs) + maskenNachKopf;
    // A packed DIB's bits follow the palette; a file says where they are (a wrong
    // offset in the file falls back to the packed position).
    const std::uint64_t gepackt = palettenOrt + eintraege * eintrag;
    std::uint64_t bits = gepackt;
    if (bitsOffset && *bitsOffset >= std::int64_t(palettenOrt) &&
        *bitsOffset <= std::int64_t(n))
        bits = std::uint64_t(*bitsOffset);
    if (bits > n) return false;
    k.bits = std::size_t(bits);
    if (k.bpp <= 8) {
        const std::uint64_t platz = (bits - palettenOrt) / eintrag;
        const std::uint64_t lesbar = eintraege < platz ? eintraege : platz;
        k.palettenGroesse = unsigned(lesbar);
        for (unsigned i = 0; i < k.palettenGroesse; ++i) {
            const std::uint8_t* e = p + palettenOrt + std::size_t(i) * eintrag;
            k.palette[i] = std::uint32_t(e[2]) << 16 | std::uint32_t(e[1]) << 8 | e[0];
        }
    }
    return true;
}

void Palettenfarbe(const DibKopf& k, unsigned index, std::uint8_t* px) {
    const std::uint32_t c = index < k.palettenGroesse ? k.palette[index] : 0;
    px[0] = std::uint8_t(c >> 16);
    px[1] = std::uint8_t(c >> 8);
    px[2] = std::uint8_t(c);
    px[3] = 255;
}

// Every n-th pixel of every n-th row (n = `schritt`): the image in 1/n of each side.
bool Unkomprimiert(const std::uint8_t* p, std::size_t n, const DibKopf& k, Bild& bild,
                   std::uint64_t schritt) {
    const std::uint64_t w = std::uint64_t(k.breite), h = std::uint64_t(k.hoehe);
    const std::uint64_t zeilenBits = w * k.bpp;
    const std::uint64_t stride = (zeilenBits + 31) / 32 * 4;
    // The last row may come without its padding.
    const std::uint64_t noetig = (h - 1) * stride + (zeilenBits + 7) / 8;
    if (noetig > n - k.bits) return false;
    const std::uint64_t aw = (w + schritt - 1) / schritt, ah = (h + schritt - 1) / schritt;
    if (!bild.Create(std::int32_t(aw), std::int32_t(ah))) return false;
    const Kanal r(k.masken[0]), gr(k.masken[1]), b(k.masken[2]), a(k.masken[3]);
    bool irgendeinAlpha = false;
    for (std::uint64_t oy = 0; oy < ah; ++oy) {
        const std::uint64_t y = oy * schritt;
        const std::uint8_t* zeile = p + k.bits + (k.bottomUp ? h - 1 - y : y) * stride;
        std::uint8_t* px = bild.Pixels.data() + oy * aw * 4;
        for (std::uint64_t ox = 0; ox < aw; ++ox, px += 4) {
            const std::uint64_t x = ox * schritt;
            switch (k.bpp) {
            case 1: case 2: case 4: case 8: {
                const std::uint64_t bit = x * k.bpp;
                const unsigned byte = zeile[bit / 8];
                const unsigned index =
                    (byte >> (8 - k.bpp - bit % 8)) & ((1u << k.bpp) - 1);
                Palettenfarbe(k, index, px);
                break;
            }
            case 24:
                px[0] = zeile[3 * x + 2];
                px[1] = zeile[3 * x + 1];
                px[2] = zeile[3 * x];
                px[3] = 255;
                break;
            default: {
                const std::uint32_t v = k.bpp == 16 ? U16(zeile + 2 * x) : U32(zeile + 4 * x);
                px[0] = r(v);
                px[1] = gr(v);
                px[2] = b(v);
                px[3] = k.alphaMaske ? a(v) : 255;
                if (px[3]) irgendeinAlpha = true;
            }
            }
        }
    }
    // An alpha channel that is zero everywhere was never meant as one.
    if (k.alphaMaske && !irgendeinAlpha)
        for (std::size_t i = 3; i < bild.Pixels.size(); i += 4) bild.Pixels[i] = 255;
    return true;
}

// RLE8 and RLE4: runs and absolute groups, end of line (0 0), end of bitmap (0 1),
// delta (0 2 dx dy). Data that ends early leaves the rest transparent.
// The image in 1/n of each side keeps the pixels whose column and row (from the top)
// are multiples of n = `schritt`.
bool Lauflaenge(const std::uint8_t* p, std::size_t n, const DibKopf& k, Bild& bild,
                std::int64_t schritt) {
    const std::int64_t w = k.breite, h = k.hoehe;
    const std::int64_t aw = (w + schritt - 1) / schritt, ah = (h + schritt - 1) / schritt;
    if (!bild.Create(std::int32_t(aw), std::int32_t(ah))) return false;
    std::fill(bild.Pixels.begin(), bild.Pixels.end(), std::uint8_t(0));
    std::size_t pos = k.bits, ende = n;
    if (k.bildGroesse && k.bildGroesse <= n - k.bits) ende = k.bits + k.bildGroesse;
    const bool vier = k.kompression == BI_RLE4;
    std::int64_t x = 0, zeile = 0;  // zeile counts from the bottom
    auto setze = [&](unsigned index) {
        if (x < w && zeile < h && x % schritt == 0 && (h - 1 - zeile) % schritt == 0)
            Palettenfarbe(k, index,
                          bild.Pixels.data() + ((h - 1 - zeile) / schritt * aw + x / schritt) * 4);
        ++x;
    };
    while (pos + 2 <= ende && zeile < h) {
        const unsigned a = p[pos], b = p[pos + 1];
        pos += 2;
        if (a > 0) {
            const std::int64_t anzahl = std::min<std::int64_t>(a, std::max<std::int64_t>(w - x, 0));
            for (std::int64_t i = 0; i < anzahl; ++i)
                setze(vier ? (i % 2 ? b & 15 : b >> 4) : b);
            x += a - anzahl;
            continue;
        }
        if (b == 0) {
            x = 0;
            ++zeile;
        } else if (b == 1) {
            break;
        } else if (b == 2) {
            if (pos + 2 > ende) break;
            x += p[pos];
            zeile += p[pos + 1];
            pos += 2;
        } else {
            const std::size_t bytes = vier ? (b + 1) / 2 : b;
            const std::size_t mitFuell = (bytes + 1) & ~std::size_t(1);
            const std::size_t da = std::min(bytes, ende - pos);
            for (unsigned i = 0; i < b; ++i) {
                const std::size_t j = vier ? i / 2 : i;
                if (j >= da) break;
                setze(vier ? (i % 2 ? p[pos + j] & 15 : p[pos + j] >> 4) : p[pos + j]);
            }
            if (mitFuell > ende - pos) break;
            pos += mitFuell;
        }
    }
    return true;
}

std::optional<Bild> Dib(const std::uint8_t* p, std::size_t n,
                        std::optional<std::int64_t> bitsOffset, const BildGrenzen& g,
                        DibInfo* info) {
    if (!p) return std::nullopt;
    DibKopf k;
    if (!KopfLesen(p, n, bitsOffset, g, k)) return std::nullopt;
    Bild bild;
    try {
        const std::int32_t schritt = Unterabtastung(k.breite, k.hoehe, g);
        const bool ok = k.kompression == BI_RLE8 || k.kompression == BI_RLE4
                            ? Lauflaenge(p, n, k, bild, schritt)
                            : Unkomprimiert(p, n, k, bild, std::uint64_t(schritt));
        if (!ok) return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (info) *info = {k.bottomUp, k.ppmX, k.ppmY};
    return bild;
}

bool Dateikopf(const std::uint8_t* data, std::size_t size) {
    return data && size >= 14 + 12 && data[0] == 'B' && data[1] == 'M';
}

} // namespace

std::optional<Bild> DekodiereBmp(const std::uint8_t* data, std::size_t size,
                                 const BildGrenzen& grenzen, DibInfo* info) {
    if (!Dateikopf(data, size)) return std::nullopt;
    return Dib(data + 14, size - 14, std::int64_t(U32(data + 10)) - 14, grenzen, info);
}

std::optional<Bild> DekodiereDib(const std::uint8_t* data, std::size_t size,
                                 const BildGrenzen& grenzen, DibInfo* info) {
    return Dib(data, size, std::nullopt, grenzen, info);
}

std::optional<BildMasse> BmpMasse(const std::uint8_t* data, std::size_t size,
                                  const BildGrenzen& grenzen) {
    if (!Dateikopf(data, size)) return std::nullopt;
    DibKopf k;
    if (!KopfLesen(data + 14, size - 14, std::int64_t(U32(data + 10)) - 14, grenzen, k))
        return std::nullopt;
    BildMasse m;
    m.Width = std::int32_t(k.breite);
    m.Height = std::int32_t(k.hoehe);
    // 10000 tenths of a millimetre per metre.
    auto physisch = [](std::int64_t pixel, std::int32_t proMeter) -> std::int32_t {
        if (proMeter <= 0) return 0;
        const std::int64_t v = pixel * 10000 / proMeter;
        return v <= std::numeric_limits<std::int32_t>::max() ? std::int32_t(v) : 0;
    };
    m.WidthMM10 = physisch(k.breite, k.ppmX);
    m.HeightMM10 = physisch(k.hoehe, k.ppmY);
    if (!m.WidthMM10 || !m.HeightMM10) m.WidthMM10 = m.HeightMM10 = 0;
    return m;
}

} // namespace kd
