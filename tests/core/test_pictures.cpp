// Picture decoders: JPEG (libjpeg), Windows bitmaps, Windows metafiles played on the
// recording device, and the pictures of a library record by their kind. Every sample
// is made here, byte by byte or with an encoder.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "core/device/FixedMetricsDevice.h"
#include "core/pictures/Bilder.h"
#include "core/pictures/Bmp.h"
#include "core/pictures/Jpeg.h"
#include "core/pictures/Wmf.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using kd::FixedMetricsDevice;
using kd::TPoint;
using Kind = FixedMetricsDevice::Kind;
using Punkte = std::vector<TPoint>;

void Put16(Bytes& b, std::uint32_t v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void Put32(Bytes& b, std::uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }
void Worte(Bytes& b, std::initializer_list<int> w) {
    for (int v : w) Put16(b, std::uint32_t(v) & 0xFFFF);
}

// 0x00RRGGBB as Bild::At answers for an opaque pixel (0xAABBGGRR).
std::uint32_t Opak(std::uint32_t rgb) {
    return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

// ---------------------------------------------------------------- bitmaps

// The test pattern: pixel (x, y) of a 3 × 2 image has colour (x + 2y) mod 4.
constexpr std::uint32_t Farben[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
int Muster(int x, int y) { return (x + 2 * y) % 4; }

struct DibAufbau {
    std::uint32_t kopf = 40;
    std::int32_t breite = 3, hoehe = 2;  // hoehe < 0: top-down
    std::uint16_t bpp = 24;
    std::uint32_t kompression = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::vector<std::uint32_t> masken;
    std::int32_t proMeter = 0;
    Bytes bits;
};

// Rows as stored (from the bottom unless top-down, padded to 4 bytes) of wert(x, y).
Bytes Zeilen(int w, int h, int bpp, bool topDown, const std::function<std::uint32_t(int, int)>& wert) {
    const int stride = (w * bpp + 31) / 32 * 4;
    Bytes out(std::size_t(stride * h), 0);
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = wert(x, topDown ? r : h - 1 - r);
            std::uint8_t* z = out.data() + r * stride;
            if (bpp < 8)
                z[x * bpp / 8] |= std::uint8_t(v << (8 - bpp - x * bpp % 8));
            else
                for (int k = 0; k < bpp / 8; ++k) z[x * bpp / 8 + k] = std::uint8_t(v >> (8 * k));
        }
    return out;
}

Bytes Dib(const DibAufbau& a) {
    Bytes d;
    Put32(d, a.kopf);
    if (a.kopf == 12) {
        Worte(d, {a.breite, a.hoehe, 1, a.bpp});
        for (std::uint32_t c : a.palette) d.insert(d.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
    } else {
        for (std::uint32_t v : {std::uint32_t(a.breite), std::uint32_t(a.hoehe)}) Put32(d, v);
        Worte(d, {1, a.bpp});
        for (std::uint32_t v : {a.kompression, std::uint32_t(a.bits.size()), std::uint32_t(a.proMeter),
                                std::uint32_t(a.proMeter), std::uint32_t(a.palette.size()), 0u})
            Put32(d, v);
        for (std::uint32_t m : a.masken) Put32(d, m);  // in a larger header, or after it
        if (a.kopf > 40) d.resize(a.kopf, 0);
        for (std::uint32_t c : a.palette) Put32(d, c & 0xFFFFFF);
    }
    d.insert(d.end(), a.bits.begin(), a.bits.end());
    return d;
}

Bytes Bmp(const DibAufbau& a) {
    const Bytes dib = Dib(a);
    Bytes b{'B', 'M'};
    for (std::size_t v : {14 + dib.size(), std::size_t(0), 14 + dib.size() - a.bits.size()})
        Put32(b, std::uint32_t(v));
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

// The pattern at the depth: palette indices, or the colour as the format stores it.
DibAufbau MusterBitmap(std::uint16_t bpp, std::uint32_t kopf = 40, bool topDown = false) {
    DibAufbau a;
    a.kopf = kopf;
    a.bpp = bpp;
    if (topDown) a.hoehe = -2;
    std::function<std::uint32_t(int, int)> wert = [](int x, int y) { return Farben[Muster(x, y)]; };
    if (bpp <= 8) {
        a.palette.assign(Farben, Farben + (bpp == 1 ? 2 : 4));
        if (kopf == 12) a.palette.resize(std::size_t(1) << bpp);  // always complete
        wert = [bpp](int x, int y) { return std::uint32_t(Muster(x, y) % (bpp == 1 ? 2 : 4)); };
    } else if (bpp == 16) {
        wert = [](int x, int y) {
            const std::uint32_t c = Farben[Muster(x, y)];
            return (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31);
        };
    }
    a.bits = Zeilen(a.breite, 2, bpp, topDown, wert);
    return a;
}

DibAufbau Mit(DibAufbau a, const std::function<void(DibAufbau&)>& f) {
    f(a);
    return a;
}

DibAufbau Rle8() {
    // The bottom row (2 3 0) in absolute mode, the top row (0 1 2) as runs.
    return Mit(MusterBitmap(8), [](DibAufbau& a) {
        a.kompression = 1;
        a.bits = {0, 3, 2, 3, 0, 0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 1};
    });
}

TEST(Bitmap, EveryDepthAndHeaderGivesThePattern) {
    const std::vector<std::pair<const char*, DibAufbau>> faelle = {
        {"1 bit", MusterBitmap(1)},
        {"2 bit", MusterBitmap(2)},
        {"4 bit", MusterBitmap(4)},
        {"8 bit", MusterBitmap(8)},
        {"16 bit 5-5-5", MusterBitmap(16)},
        {"24 bit", MusterBitmap(24)},
        {"32 bit", MusterBitmap(32)},
        {"24 bit top-down", MusterBitmap(24, 40, true)},
        {"8 bit top-down", MusterBitmap(8, 40, true)},
        {"core header 8 bit", MusterBitmap(8, 12)},
        {"core header 1 bit", MusterBitmap(1, 12)},
        {"core header 24 bit", MusterBitmap(24, 12)},
        {"V4 header 24 bit", MusterBitmap(24, 108)},
        {"V5 header 4 bit", MusterBitmap(4, 124)},
        {"16 bit 5-6-5 bitfields after the header", Mit(MusterBitmap(16), [](DibAufbau& a) {
             a.kompression = 3;
             a.masken = {0xF800, 0x07E0, 0x001F};
             a.bits = Zeilen(3, 2, 16, false, [](int x, int y) {
                 const std::uint32_t c = Farben[Muster(x, y)];
                 return (c >> 19 & 31) << 11 | (c >> 10 & 63) << 5 | (c >> 3 & 31);
             });
         })},
        {"32 bit R-G-B-X bitfields in a V5 header", Mit(MusterBitmap(32, 124), [](DibAufbau& a) {
             a.kompression = 3;
             a.masken = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};
             a.bits = Zeilen(3, 2, 32, false, [](int x, int y) {
                 const std::uint32_t c = Farben[Muster(x, y)];
                 return (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16;
             });
         })},
        {"RLE8", Rle8()},
        {"RLE4", Mit(MusterBitmap(4), [](DibAufbau& a) {
             a.kompression = 2;
             a.bits = {0, 3, 0x23, 0x00, 0, 0, 0, 3, 0x01, 0x20, 0, 1};
         })},
    };
    for (const auto& [name, a] : faelle) {
        SCOPED_TRACE(name);
        const Bytes datei = Bmp(a);
        const auto b = kd::DekodiereBmp(datei.data(), datei.size());
        ASSERT_TRUE(b);
        ASSERT_EQ(b->Width, 3);
        ASSERT_EQ(b->Height, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(b->At(x, y), Opak(Farben[Muster(x, y) % (a.bpp == 1 ? 2 : 4)])) << x << "," << y;
        const Bytes dib = Dib(a);  // the same bits as a packed DIB
        const auto d = kd::DekodiereDib(dib.data(), dib.size());
        ASSERT_TRUE(d);
        EXPECT_EQ(d->Pixels, b->Pixels);
        EXPECT_EQ(kd::BmpMasse(datei.data(), datei.size()), (kd::BildMasse{3, 2, 0, 0}));
    }
}

TEST(Bitmap, AlphaSkippedPixelsPaletteAndPhysicalSize) {
    // 32 bit with an alpha mask keeps alpha; one that is zero everywhere is opaque.
    for (std::uint8_t alpha : {0x80, 0x00}) {
        DibAufbau a{108, 1, 1, 32, 3, {}, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 0, {0x30, 0x20, 0x10, alpha}};
        const Bytes f = Bmp(a);
        const auto b = kd::DekodiereBmp(f.data(), f.size());
        ASSERT_TRUE(b);
        EXPECT_EQ(b->At(0, 0), (alpha ? 0x80000000u : 0xFF000000u) | 0x302010u) << int(alpha);
    }
    // RLE8 with a delta to (2, bottom row), one pixel, the end: the rest stays clear.
    const Bytes f = Bmp(Mit(Rle8(), [](DibAufbau& a) { a.bits = {0, 2, 2, 0, 1, 0, 0, 1}; }));
    const auto b = kd::DekodiereBmp(f.data(), f.size());
    ASSERT_TRUE(b);
    EXPECT_EQ(b->At(2, 1), Opak(Farben[0]));
    for (auto [x, y] : {std::pair{0, 1}, {1, 1}, {0, 0}, {1, 0}, {2, 0}}) EXPECT_EQ(b->At(x, y) >> 24, 0u);
    // A palette index beyond the palette is black.
    const Bytes kf = Bmp(Mit(MusterBitmap(8), [](DibAufbau& a) { a.palette.resize(2); }));
    const auto kb = kd::DekodiereBmp(kf.data(), kf.size());
    ASSERT_TRUE(kb);
    EXPECT_EQ(kb->At(2, 0), Opak(0));
    EXPECT_EQ(kb->At(1, 0), Opak(Farben[1]));
    // 3937 pixels per metre (100 per inch): 3 pixels are 0.762 mm.
    const Bytes pf = Bmp(Mit(MusterBitmap(24), [](DibAufbau& a) { a.proMeter = 3937; }));
    EXPECT_EQ(kd::BmpMasse(pf.data(), pf.size()), (kd::BildMasse{3, 2, 7, 5}));
}

TEST(Bitmap, ImpossibleHeadersAreRefused) {
    const std::vector<std::pair<const char*, std::function<void(DibAufbau&)>>> faelle = {
        {"width 0", [](DibAufbau& a) { a.breite = 0; }},
        {"height 0", [](DibAufbau& a) { a.hoehe = 0; }},
        {"negative width", [](DibAufbau& a) { a.breite = -3; }},
        {"side over 20000", [](DibAufbau& a) { a.breite = 20001, a.hoehe = 1; }},
        {"over 100 megapixels", [](DibAufbau& a) { a.breite = 15000, a.hoehe = 15000; }},
        {"height INT_MIN", [](DibAufbau& a) { a.hoehe = INT32_MIN; }},
        {"depth 7", [](DibAufbau& a) { a.bpp = 7; }},
        {"compression JPEG", [](DibAufbau& a) { a.kompression = 4; }},
        {"RLE8 at 24 bit", [](DibAufbau& a) { a.kompression = 1; }},
        {"bitfields at 24 bit", [](DibAufbau& a) { a.kompression = 3; }},
        {"header size 20", [](DibAufbau& a) { a.kopf = 20; }},
        {"bits missing", [](DibAufbau& a) { a.bits.resize(10); }},
    };
    for (const auto& [name, aendern] : faelle) {
        const Bytes datei = Bmp(Mit(MusterBitmap(24), aendern));
        EXPECT_FALSE(kd::DekodiereBmp(datei.data(), datei.size())) << name;
    }
    const Bytes datei = Bmp(MusterBitmap(24));
    EXPECT_FALSE(kd::DekodiereBmp(datei.data(), datei.size(), {2, 100}));
    EXPECT_FALSE(kd::DekodiereBmp(datei.data(), datei.size(), {100, 5}));
    EXPECT_TRUE(kd::DekodiereBmp(datei.data(), datei.size(), {3, 6}));
    EXPECT_FALSE(kd::DekodiereBmp(nullptr, 0));
    Bytes fremd = datei;
    fremd[0] = 'X';
    EXPECT_FALSE(kd::DekodiereBmp(fremd.data(), fremd.size()));
    // A wrong offset of the bits in the file header falls back to the packed place.
    Bytes versetzt = datei;
    versetzt[10] = versetzt[11] = 0xFF;
    EXPECT_TRUE(kd::DekodiereBmp(versetzt.data(), versetzt.size()));
}

// ---------------------------------------------------------------- JPEG

// 16 × 16 pixels in four 8 × 8 blocks of the four colours.
kd::Bild Bloecke() {
    kd::Bild b;
    b.Create(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t c = Farben[x / 8 + 2 * (y / 8)];
            b.Set(x, y, std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c));
        }
    return b;
}

bool Nahe(std::uint32_t a, std::uint32_t b, int toleranz) {
    for (int k = 0; k < 32; k += 8)
        if (std::abs(int(a >> k & 0xFF) - int(b >> k & 0xFF)) > toleranz) return false;
    return true;
}

// An 8 × 8 JPEG made directly with the library, for the kinds our encoder does not write.
Bytes LibjpegDatei(J_COLOR_SPACE raum, int komponenten, const Bytes& pixel, bool progressiv = false) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long len = 0;
    jpeg_mem_dest(&c, &buf, &len);
    c.image_width = c.image_height = 8;
    c.input_components = komponenten;
    c.in_color_space = raum;
    jpeg_set_defaults(&c);
    if (progressiv) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < 8) {
        JSAMPROW row = const_cast<std::uint8_t*>(pixel.data()) + c.next_scanline * 8 * komponenten;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes out(buf, buf + len);
    std::free(buf);
    return out;
}

Bytes Grau(bool progressiv) {
    Bytes g(64);
    for (int i = 0; i < 64; ++i) g[std::size_t(i)] = i < 32 ? 40 : 200;
    return LibjpegDatei(JCS_GRAYSCALE, 1, g, progressiv);
}

TEST(Jpeg, RoundTripGrayAndCmyk) {
    const kd::Bild bild = Bloecke();
    const Bytes datei = kd::KodiereJpeg(bild);
    const auto b = kd::DekodiereJpeg(datei.data(), datei.size());
    ASSERT_TRUE(b);
    ASSERT_EQ(b->Width, 16);
    ASSERT_EQ(b->Height, 16);
    // 4:4:4 at quality 90: every pixel keeps its colour closely.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_TRUE(Nahe(b->At(x, y), bild.At(x, y), 12)) << x << "," << y;
    // 96 dots per inch in the JFIF header: 16 pixels are 4.2 mm.
    EXPECT_EQ(kd::JpegMasse(datei.data(), datei.size()), (kd::BildMasse{16, 16, 42, 42}));

    // Transparent pixels are composed over white.
    kd::Bild klar;
    klar.Create(8, 8);
    std::fill(klar.Pixels.begin(), klar.Pixels.end(), std::uint8_t(0));
    const Bytes kd_ = kd::KodiereJpeg(klar);
    const auto kb = kd::DekodiereJpeg(kd_.data(), kd_.size());
    ASSERT_TRUE(kb);
    EXPECT_TRUE(Nahe(kb->At(3, 3), 0xFFFFFFFF, 3));

    for (bool progressiv : {false, true}) {
        const Bytes gd = Grau(progressiv);
        const auto gb = kd::DekodiereJpeg(gd.data(), gd.size());
        ASSERT_TRUE(gb) << progressiv;
        EXPECT_TRUE(Nahe(gb->At(2, 1), 0xFF282828, 8)) << std::hex << gb->At(2, 1);
        EXPECT_TRUE(Nahe(gb->At(2, 6), 0xFFC8C8C8, 8)) << std::hex << gb->At(2, 6);
    }
    // Adobe CMYK is stored inverted: red is C 0, M 255, Y 255, K 0 → 255 0 0 255.
    Bytes cmyk;
    for (int i = 0; i < 64; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    const Bytes cd = LibjpegDatei(JCS_CMYK, 4, cmyk);
    const auto cb = kd::DekodiereJpeg(cd.data(), cd.size());
    ASSERT_TRUE(cb);
    EXPECT_TRUE(Nahe(cb->At(4, 4), 0xFF0000FF, 8)) << std::hex << cb->At(4, 4);
}

TEST(Jpeg, ImpossibleSizesAndForeignDataAreRefused) {
    const Bytes gut = kd::KodiereJpeg(Bloecke());
    std::size_t sof = 0;  // the frame header: FF C0, length, precision, height, width
    while (sof + 9 < gut.size() && !(gut[sof] == 0xFF && gut[sof + 1] == 0xC0)) ++sof;
    ASSERT_LT(sof + 9, gut.size());
    struct Fall {
        std::uint16_t w, h;
        bool ok;
    };
    for (const Fall f : {Fall{20000, 16, true}, {20001, 16, false}, {16, 30000, false},
                         {12000, 9000, false}, {10000, 10000, true}}) {
        Bytes d = gut;
        d[sof + 5] = std::uint8_t(f.h >> 8), d[sof + 6] = std::uint8_t(f.h);
        d[sof + 7] = std::uint8_t(f.w >> 8), d[sof + 8] = std::uint8_t(f.w);
        EXPECT_EQ(kd::JpegMasse(d.data(), d.size()).has_value(), f.ok) << f.w << "x" << f.h;
        EXPECT_FALSE(kd::DekodiereJpeg(d.data(), d.size(), {20000, 256}));  // the header decides
    }
    EXPECT_FALSE(kd::DekodiereJpeg(gut.data(), gut.size(), {15, 1000}));
    EXPECT_FALSE(kd::DekodiereJpeg(gut.data(), gut.size(), {100, 255}));
    const Bytes bmp = Bmp(MusterBitmap(24)), nurMarken{0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_FALSE(kd::DekodiereJpeg(bmp.data(), bmp.size()));
    EXPECT_FALSE(kd::DekodiereJpeg(nurMarken.data(), nurMarken.size()));
    EXPECT_FALSE(kd::DekodiereJpeg(nullptr, 0));
    EXPECT_TRUE(kd::KodiereJpeg(kd::Bild{}).empty());
}

// ---------------------------------------------------------------- metafiles

constexpr std::uint16_t SETMAPMODE = 0x0103, SETWINDOWORG = 0x020B, SETWINDOWEXT = 0x020C,
    SELECTOBJECT = 0x012D, DELETEOBJECT = 0x01F0, MOVETO = 0x0214, LINETO = 0x0213,
    POLYGON = 0x0324, POLYLINE = 0x0325, RECTANGLE = 0x041B, ELLIPSE = 0x0418,
    SETTEXTCOLOR = 0x0209, SETBKMODE = 0x0102, SETTEXTALIGN = 0x012E, SAVEDC = 0x001E,
    RESTOREDC = 0x0127, EXTTEXTOUT = 0x0A32, STRETCHDIB = 0x0F43, POLYPOLYGON = 0x0538,
    SETBKCOLOR = 0x0201, PATBLT = 0x061D, ARC = 0x0817, TEXTOUT = 0x0521;

class WmfAufbau {
public:
    WmfAufbau& Satz(std::uint16_t fn, std::initializer_list<int> worte) {
        Bytes p;
        Worte(p, worte);
        return Roh(fn, p);
    }
    WmfAufbau& Roh(std::uint16_t fn, Bytes p) {
        if (p.size() % 2) p.push_back(0);
        Put32(recs_, std::uint32_t(3 + p.size() / 2));
        Put16(recs_, fn);
        recs_.insert(recs_.end(), p.begin(), p.end());
        return *this;
    }
    WmfAufbau& Stift(int breite, std::uint32_t farbe) {
        return Satz(0x02FA, {0, breite, 0, int(farbe & 0xFFFF), int(farbe >> 16)});
    }
    WmfAufbau& Pinsel(std::uint32_t farbe) { return Satz(0x02FC, {0, int(farbe & 0xFFFF), int(farbe >> 16), 0}); }
    WmfAufbau& Schrift(int hoehe) {
        Bytes p;
        Worte(p, {hoehe, 0, 0, 0, 400, 0, 0, 0, 0});
        p.insert(p.end(), {'A', 'r', 'i', 'a', 'l', 0});
        return Roh(0x02FB, p);
    }
    WmfAufbau& Text(int x, int y, const std::string& s) {
        Bytes p;
        Put16(p, std::uint32_t(s.size()));
        p.insert(p.end(), s.begin(), s.end());
        if (s.size() % 2) p.push_back(0);
        Worte(p, {y, x});
        return Roh(TEXTOUT, p);
    }
    WmfAufbau& Linien(std::uint16_t fn, std::initializer_list<std::pair<int, int>> pts) {
        Bytes p;
        Put16(p, std::uint32_t(pts.size()));
        for (auto [x, y] : pts) Worte(p, {x, y});
        return Roh(fn, p);
    }
    // Optionally the placeable header (the box and units per inch), the metafile
    // header, the records, the end record.
    Bytes Datei(bool placeable, int objekte = 8) const {
        Bytes d;
        if (placeable) {
            Put32(d, 0x9AC6CDD7);
            Worte(d, {0, 0, 0, 1000, 500, 1000, 0, 0});
            std::uint16_t summe = 0;
            for (int i = 0; i < 10; ++i) summe ^= std::uint16_t(d[2 * i] | d[2 * i + 1] << 8);
            Put16(d, summe);
        }
        Worte(d, {1, 9, 0x0300});
        Put32(d, std::uint32_t(9 + recs_.size() / 2 + 3));
        Worte(d, {objekte, 0, 0, 0});
        d.insert(d.end(), recs_.begin(), recs_.end());
        Worte(d, {3, 0, 0});
        return d;
    }

private:
    Bytes recs_;
};

// The drawing of the seed: a red line, a blue triangle and a green text.
WmfAufbau Zeichnung() {
    WmfAufbau w;
    w.Satz(SETMAPMODE, {8}).Satz(SETWINDOWORG, {0, 0}).Satz(SETWINDOWEXT, {500, 1000})
        .Stift(10, 0x0000FF).Satz(SELECTOBJECT, {0}).Pinsel(0xFF0000).Satz(SELECTOBJECT, {1})
        .Satz(MOVETO, {100, 100}).Satz(LINETO, {100, 900})
        .Linien(POLYGON, {{100, 400}, {500, 200}, {900, 400}})
        .Schrift(-100).Satz(SELECTOBJECT, {2}).Satz(SETTEXTCOLOR, {0xFF00, 0})
        .Satz(SETBKMODE, {1}).Satz(SETTEXTALIGN, {24}).Text(200, 300, "Ab");
    return w;
}

std::vector<FixedMetricsDevice::Call> Zeichenaufrufe(const FixedMetricsDevice& dc) {
    std::vector<FixedMetricsDevice::Call> v;
    for (const auto& c : dc.Calls())
        if (c.kind >= Kind::TextOut && c.kind != Kind::MoveTo && c.kind != Kind::GetPixel) v.push_back(c);
    return v;
}

TEST(Metafile, PlaceableDrawingMapsIntoTheTarget) {
    const Bytes datei = Zeichnung().Datei(true);
    const auto m = kd::Metadatei::Lesen(datei.data(), datei.size());
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->Placeable());
    EXPECT_EQ(m->Masse(), (kd::BildMasse{1000, 500, 254, 127}));  // 1000 per inch
    EXPECT_EQ(kd::WmfMasse(datei.data(), datei.size()), m->Masse());
    EXPECT_EQ(m->Datensaetze(), 16u);

    FixedMetricsDevice dc;
    const kd::LogPen stift = dc.CurrentPen();
    const kd::LogFont schrift = dc.CurrentFont();
    // Into 2000 × 600 the 2 : 1 picture goes as 1200 × 600, centred; the metafile's
    // y runs down, the page's up: X = 400 + 1.2 x, Y = 600 − 1.2 y.
    m->Abspielen(dc, {0, 600, 2000, 0});
    const auto v = Zeichenaufrufe(dc);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].kind, Kind::LineTo);
    EXPECT_EQ(v[0].points, (Punkte{{520, 480}, {1480, 480}}));
    EXPECT_EQ(v[0].pen, (kd::LogPen{kd::PS_SOLID, 12, 12, 0x0000FF}));
    EXPECT_EQ(v[1].kind, Kind::Polygon);
    EXPECT_EQ(v[1].points, (Punkte{{520, 120}, {1000, 360}, {1480, 120}}));
    EXPECT_EQ(v[1].brush, (kd::LogBrush{kd::BS_SOLID, 0xFF0000, 0}));
    EXPECT_EQ(v[2].kind, Kind::TextOut);
    EXPECT_EQ(v[2].points, (Punkte{{640, 240}}));
    EXPECT_EQ(v[2].text, "Ab");
    EXPECT_EQ(v[2].font.Height, -120);
    EXPECT_EQ(v[2].font.Face(), "Arial");
    EXPECT_EQ(v[2].color, 0x00FF00u);
    EXPECT_EQ(v[2].bkMode, kd::TRANSPARENT);
    EXPECT_EQ(v[2].align, kd::TA_BASELINE);
    // The device's state is as before.
    EXPECT_EQ(dc.CurrentPen(), stift);
    EXPECT_EQ(dc.CurrentFont(), schrift);
    EXPECT_EQ(dc.BkMode(), kd::OPAQUE);
    EXPECT_EQ(dc.TextAlign(), kd::TA_LEFT | kd::TA_TOP);

    // By its record kind into a tall target: 300 × 150, centred in the height.
    const auto b = kd::DekodiereBild(kd::BildMetadatei, datei);
    ASSERT_TRUE(b);
    EXPECT_EQ(kd::HoeheBeiBreite(b->Masse, 323), 162);
    FixedMetricsDevice dc2;
    kd::ZeichneBild(dc2, *b, {0, 1000, 300, 0});
    ASSERT_EQ(Zeichenaufrufe(dc2).size(), 3u);
    EXPECT_EQ(Zeichenaufrufe(dc2)[0].points, (Punkte{{30, 545}, {270, 545}}));
}

// One expected drawing call: its kind, its points (all, or with `enden` the first
// and the last; none: not checked) and the colour that matters for it (pen for
// lines, brush for fills, text colour for texts).
struct Aufruf {
    Aufruf(Kind k, Punkte p = {}, std::optional<kd::TColor> f = {}, bool e = false)
        : kind(k), points(std::move(p)), farbe(f), enden(e) {}
    Kind kind;
    Punkte points;
    std::optional<kd::TColor> farbe;
    bool enden;
};

kd::TColor Farbe(const FixedMetricsDevice::Call& c) {
    switch (c.kind) {
    case Kind::LineTo: case Kind::Polyline: return c.pen.Color;
    case Kind::TextOut: return c.color;
    default: return c.brush.Color;
    }
}

TEST(Metafile, RecordsPlayAsDeviceCalls) {
    // A plain metafile over 0..1000 × 0..1000 played into 0..1000 (y up): X = x, Y = 1000 − y.
    auto rahmen = [] { return WmfAufbau().Satz(SETWINDOWORG, {0, 0}).Satz(SETWINDOWEXT, {1000, 1000}); };
    Bytes text, polypolygon, stretch;
    Worte(text, {100, 50, 3, 2, 40, 80, 140, 120});  // y, x, length, opaque, rectangle
    text.insert(text.end(), {'x', 'y', 'z', 0});
    Worte(polypolygon, {2, 3, 3, 0, 0, 100, 0, 0, 100, 10, 10, 20, 10, 10, 20});
    Put32(stretch, 0x00CC0020);
    Worte(stretch, {0, 2, 3, 0, 0, 100, 200, 100, 100});  // source 3 × 2 at 0, 0 → 200 × 100
    const Bytes dib = Dib(MusterBitmap(24));
    stretch.insert(stretch.end(), dib.begin(), dib.end());

    const std::vector<std::tuple<const char*, WmfAufbau, std::vector<Aufruf>>> faelle = {
        {"rectangle and ellipse",
         rahmen().Satz(RECTANGLE, {300, 400, 100, 200}).Satz(ELLIPSE, {900, 900, 500, 500}),
         {{Kind::Rectangle, {{200, 900}, {400, 700}}, 0xFFFFFF}, {Kind::Ellipse, {{500, 500}, {900, 100}}}}},
        // The state saved holds pen and current position: after RestoreDC(-1) the
        // line is black and starts where the position was saved.
        {"save and restore",
         rahmen().Satz(SAVEDC, {}).Stift(0, 0x0000FF).Satz(SELECTOBJECT, {0}).Satz(MOVETO, {0, 0})
             .Satz(LINETO, {10, 10}).Satz(RESTOREDC, {-1}).Satz(LINETO, {20, 20}),
         {{Kind::LineTo, {{0, 1000}, {10, 990}}, 0x0000FF}, {Kind::LineTo, {{0, 1000}, {20, 980}}, 0}}},
        // Deleting object 0 frees the lowest slot for the next pen; an empty slot
        // selects nothing.
        {"object slots",
         rahmen().Stift(0, 0x11).Stift(0, 0x22).Satz(DELETEOBJECT, {0}).Stift(0, 0x33)
             .Satz(SELECTOBJECT, {0}).Linien(POLYLINE, {{0, 0}, {5, 5}})
             .Satz(SELECTOBJECT, {1}).Linien(POLYLINE, {{0, 0}, {5, 5}})
             .Satz(SELECTOBJECT, {7}).Linien(POLYLINE, {{0, 0}, {5, 5}}),
         {{Kind::Polyline, {{0, 1000}, {5, 995}}, 0x33}, {Kind::Polyline, {}, 0x22}, {Kind::Polyline, {}, 0x22}}},
        {"extended text out with an opaque rectangle",
         rahmen().Satz(SETBKCOLOR, {0xEE, 0}).Roh(EXTTEXTOUT, text),
         {{Kind::FillRect, {{40, 920}, {140, 880}}, 0xEE}, {Kind::TextOut, {{50, 900}}, 0}}},
        // Two rings: one bridged polygon filled without outline, then the outlines.
        {"poly-polygon", rahmen().Roh(POLYPOLYGON, polypolygon),
         {{Kind::Polygon, {{0, 1000}, {100, 1000}, {0, 900}, {0, 1000}, {0, 1000},
                           {10, 990}, {20, 990}, {10, 980}, {10, 990}, {0, 1000}}},
          {Kind::Polyline, {{0, 1000}, {0, 1000}}, 0, true}, {Kind::Polyline, {{10, 990}, {10, 990}}, 0, true}}},
        {"stretched bitmap", rahmen().Roh(STRETCHDIB, stretch),
         {{Kind::DrawImage, {{100, 900}, {300, 800}, {3, 2}}}}},
        // A pattern blit fills with the brush; an unknown record is skipped; a
        // half-circle arc from (1000, 500) counter-clockwise to (0, 500).
        {"pattern blit, unknown record, arc",
         rahmen().Pinsel(0x123456).Satz(SELECTOBJECT, {0}).Satz(0x0999, {1, 2, 3})
             .Satz(PATBLT, {0x0021, 0x00F0, 100, 200, 10, 20}).Satz(ARC, {500, 0, 500, 1000, 1000, 1000, 0, 0}),
         {{Kind::FillRect, {{20, 990}, {220, 890}}, 0x123456}, {Kind::Polyline, {{1000, 500}, {0, 500}}, 0, true}}},
        // Isotropic: a window of 2000 × 1000 keeps its shape in the 1000 × 1000 frame.
        {"isotropic",
         WmfAufbau().Satz(SETMAPMODE, {7}).Satz(SETWINDOWORG, {0, 0}).Satz(SETWINDOWEXT, {1000, 1000})
             .Satz(SETWINDOWEXT, {1000, 2000}).Satz(MOVETO, {0, 0}).Satz(LINETO, {1000, 2000}),
         {{Kind::LineTo, {{0, 1000}, {1000, 500}}}}},
        // Text at the current position moves it on by the text ("ab" at 100 units: 100).
        {"current position",
         rahmen().Schrift(100).Satz(SELECTOBJECT, {0}).Satz(SETTEXTALIGN, {1}).Satz(MOVETO, {500, 200})
             .Text(0, 0, "ab").Text(0, 0, "c"),
         {{Kind::TextOut, {{200, 500}}}, {Kind::TextOut, {{300, 500}}}}},
    };
    for (const auto& [name, aufbau, erwartet] : faelle) {
        SCOPED_TRACE(name);
        const Bytes datei = aufbau.Datei(false);
        const auto m = kd::Metadatei::Lesen(datei.data(), datei.size());
        ASSERT_TRUE(m);
        FixedMetricsDevice dc;
        m->Abspielen(dc, {0, 1000, 1000, 0});
        const auto v = Zeichenaufrufe(dc);
        ASSERT_EQ(v.size(), erwartet.size());
        for (std::size_t i = 0; i < v.size(); ++i) {
            const Aufruf& e = erwartet[i];
            EXPECT_EQ(v[i].kind, e.kind) << i;
            if (e.enden) {
                EXPECT_EQ((Punkte{v[i].points.front(), v[i].points.back()}), e.points) << i;
            } else if (!e.points.empty()) {
                EXPECT_EQ(v[i].points, e.points) << i;
            }
            if (e.farbe) {
                EXPECT_EQ(Farbe(v[i]), *e.farbe) << i;
            }
        }
    }
}

TEST(Metafile, SizesHeadersAndBrokenRecords) {
    // A plain metafile is as large as the window it sets, or as its coordinates.
    const Bytes a = WmfAufbau().Satz(SETWINDOWORG, {-10, -20}).Satz(SETWINDOWEXT, {-300, 400}).Datei(false);
    EXPECT_EQ(kd::WmfMasse(a.data(), a.size()), (kd::BildMasse{400, 300, 0, 0}));
    const Bytes b = WmfAufbau().Satz(MOVETO, {20, 10}).Satz(LINETO, {70, 110}).Datei(false);
    EXPECT_EQ(kd::WmfMasse(b.data(), b.size()), (kd::BildMasse{100, 50, 0, 0}));
    FixedMetricsDevice dc;
    kd::Metadatei::Lesen(b.data(), b.size())->Abspielen(dc, {0, 50, 100, 0});
    ASSERT_EQ(Zeichenaufrufe(dc).size(), 1u);
    EXPECT_EQ(Zeichenaufrufe(dc)[0].points, (Punkte{{0, 50}, {100, 0}}));

    // Wrong headers: checksum, the box without its checksum, type, header size, version.
    const Bytes gut = Zeichnung().Datei(true);
    for (auto [ort, wert] : {std::pair{20, gut[20] ^ 1}, {6, 1}, {22, 3}, {24, 8}, {27, 2}}) {
        Bytes d = gut;
        d[std::size_t(ort)] = std::uint8_t(wert);
        EXPECT_FALSE(kd::Metadatei::Lesen(d.data(), d.size())) << ort;
        EXPECT_FALSE(kd::WmfMasse(d.data(), d.size())) << ort;
    }
    EXPECT_FALSE(kd::Metadatei::Lesen(nullptr, 0));

    // A record whose size runs past the end stops playback there.
    Bytes d = WmfAufbau().Satz(MOVETO, {0, 0}).Satz(LINETO, {10, 10}).Datei(false);
    d[18 + 10] = 0xFF;  // the second record: 255 words
    const auto m = kd::Metadatei::Lesen(d.data(), d.size());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->Datensaetze(), 1u);
    FixedMetricsDevice dc2;
    m->Abspielen(dc2, {0, 1000, 1000, 0});
    EXPECT_TRUE(Zeichenaufrufe(dc2).empty());

    // Far more objects than the header allows: the table stays bounded (64 slots)
    // and the objects beyond it are not made.
    WmfAufbau viele;
    for (int i = 0; i < 200; ++i) viele.Stift(0, std::uint32_t(i));
    viele.Satz(SELECTOBJECT, {63}).Linien(POLYLINE, {{0, 0}, {1, 1}})
        .Satz(SELECTOBJECT, {150}).Linien(POLYLINE, {{0, 0}, {1, 1}});
    const Bytes vd = viele.Datei(false, 1);
    FixedMetricsDevice dc3;
    kd::Metadatei::Lesen(vd.data(), vd.size())->Abspielen(dc3, {0, 1000, 1000, 0});
    const auto vv = Zeichenaufrufe(dc3);
    ASSERT_EQ(vv.size(), 2u);
    EXPECT_EQ(vv[0].pen.Color, 63u);
    EXPECT_EQ(vv[1].pen.Color, 63u);

    // An empty target draws nothing.
    FixedMetricsDevice dc4;
    kd::Metadatei::Lesen(gut.data(), gut.size())->Abspielen(dc4, {0, 0, 1000, 0});
    EXPECT_TRUE(dc4.Calls().empty());
}

// ---------------------------------------------------------------- all kinds

struct Probe {
    const char* name;
    std::int32_t typ;
    Bytes daten;
};

std::vector<Probe> Proben() {
    const DibAufbau zwei = Mit(MusterBitmap(24), [](DibAufbau& a) {
        a.breite = 2;
        a.bits = Zeilen(2, 2, 24, false, [](int x, int y) { return Farben[Muster(x, y)]; });
    });
    Bytes p;
    Put32(p, 0x00CC0020);
    Worte(p, {0, 2, 2, 0, 0, 100, 200, 100, 100});
    const Bytes dib = Dib(zwei);
    p.insert(p.end(), dib.begin(), dib.end());
    return {
        {"bitmap_2x2_24bit.bmp", kd::BildBitmap, Bmp(zwei)},
        {"bitmap_1bit.bmp", kd::BildBitmap, Bmp(MusterBitmap(1))},
        {"bitmap_4bit_core.bmp", kd::BildBitmap, Bmp(MusterBitmap(4, 12))},
        {"bitmap_rle8.bmp", kd::BildBitmap, Bmp(Rle8())},
        {"bitmap_32bit_v5.bmp", kd::BildBitmap, Bmp(MusterBitmap(32, 124))},
        {"jpeg_16x16.jpg", kd::BildJpeg, kd::KodiereJpeg(Bloecke())},
        {"jpeg_gray_progressive.jpg", kd::BildJpeg, Grau(true)},
        {"metafile_placeable.wmf", kd::BildMetadatei, Zeichnung().Datei(true)},
        {"metafile_plain_bitmap.wmf", kd::BildMetadatei, Zeichnung().Roh(STRETCHDIB, p).Datei(false)},
    };
}

TEST(Bilder, ByKindAndEveryPrefixFailsCleanly) {
    for (const Probe& p : Proben()) {
        SCOPED_TRACE(p.name);
        const auto voll = kd::DekodiereBild(p.typ, p.daten);
        ASSERT_TRUE(voll);
        EXPECT_EQ(kd::BildGroesse(p.typ, p.daten), voll->Masse);
        for (std::int32_t t : {0, 1, 2, 3, 4})
            if (t != p.typ) {
                EXPECT_FALSE(kd::DekodiereBild(t, p.daten)) << t;
            }
        FixedMetricsDevice voller;
        kd::ZeichneBild(voller, *voll, {0, 1000, 1000, 0});
        const std::size_t aufrufe = Zeichenaufrufe(voller).size();
        EXPECT_GE(aufrufe, 1u);
        // Every prefix is refused, or decodes to the same size (the rest of a JPEG
        // grey, of an RLE bitmap clear), or is a metafile with fewer records.
        for (std::size_t n = 0; n < p.daten.size(); ++n) {
            const auto b = kd::DekodiereBild(p.typ, std::span(p.daten.data(), n));
            if (!b) continue;
            FixedMetricsDevice dc;
            kd::ZeichneBild(dc, *b, {0, 1000, 1000, 0});
            EXPECT_LE(Zeichenaufrufe(dc).size(), aufrufe) << n;
            if (b->Vektor) continue;
            EXPECT_EQ(b->Raster.Width, voll->Raster.Width) << n;
            EXPECT_EQ(b->Raster.Height, voll->Raster.Height) << n;
        }
    }
    // A raster picture keeps its aspect ratio in the target.
    FixedMetricsDevice dc;
    kd::ZeichneBild(dc, *kd::DekodiereBild(kd::BildJpeg, kd::KodiereJpeg(Bloecke())), {0, 1000, 400, 0});
    ASSERT_EQ(dc.Calls().size(), 1u);
    EXPECT_EQ(dc.Calls()[0].points, (Punkte{{0, 700}, {400, 300}, {16, 16}}));
    EXPECT_EQ(kd::Einpassen({0, 0, 0, 0}, {0, 10, 20, 0}), (kd::TRect{0, 10, 20, 0}));
    EXPECT_EQ(kd::HoeheBeiBreite({0, 5, 0, 0}, 100), 0);
}

} // namespace

#ifdef KD_BILDER_KORPUS
// The tool kd_bilder_korpus (this file built once more with its own main): writes the
// samples above as the seed corpus of the picture fuzzer into the folder given.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: kd_bilder_korpus ORDNER\n");
        return 1;
    }
    for (const Probe& p : Proben()) {
        const std::string datei = std::string(argv[1]) + "/" + p.name;
        std::ofstream f(datei, std::ios::binary);
        f.write(reinterpret_cast<const char*>(p.daten.data()), std::streamsize(p.daten.size()));
        if (!f.good()) {
            std::fprintf(stderr, "%s l\xC3\xA4sst sich nicht schreiben\n", datei.c_str());
            return 2;
        }
    }
    return 0;
}
#endif
