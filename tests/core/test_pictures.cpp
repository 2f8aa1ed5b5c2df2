// Picture decoders: JPEG (libjpeg), Windows bitmaps, Windows metafiles played on the
// recording device, and the pictures of a library record by their kind. Every sample
// is made here, byte by byte or with the encoder.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "core/page/FixedMetricsDevice.h"
#include "core/pictures/Bild.h"
#include "core/pictures/Bilder.h"
#include "core/pictures/Bmp.h"
#include "core/pictures/Jpeg.h"
#include "core/pictures/Wmf.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using kd::FixedMetricsDevice;
using Kind = FixedMetricsDevice::Kind;

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// 0x00RRGGBB as Bild::At answers for an opaque pixel (0xAABBGGRR).
std::uint32_t Opak(std::uint32_t rgb) {
    return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

// ---------------------------------------------------------------- bitmaps

// The four colours of the test pattern: pixel (x, y) has colour (x + 2y) mod 4.
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

// Rows as stored: value(x, y) for the image's pixel, packed at the depth, each row
// padded to 4 bytes, from the bottom unless top-down.
Bytes Zeilen(int w, int h, int bpp, bool topDown, const std::function<std::uint32_t(int, int)>& wert) {
    Bytes out;
    const int stride = (w * bpp + 31) / 32 * 4;
    for (int r = 0; r < h; ++r) {
        const int y = topDown ? r : h - 1 - r;
        Bytes zeile(std::size_t(stride), 0);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = wert(x, y);
            if (bpp < 8) {
                const int bit = x * bpp;
                zeile[std::size_t(bit / 8)] |= std::uint8_t(v << (8 - bpp - bit % 8));
            } else {
                for (int k = 0; k < bpp / 8; ++k)
                    zeile[std::size_t(x * bpp / 8 + k)] = std::uint8_t(v >> (8 * k));
            }
        }
        out.insert(out.end(), zeile.begin(), zeile.end());
    }
    return out;
}

Bytes Dib(const DibAufbau& a) {
    Bytes d;
    if (a.kopf == 12) {
        Put32(d, 12);
        Put16(d, std::uint32_t(a.breite));
        Put16(d, std::uint32_t(a.hoehe));
        Put16(d, 1);
        Put16(d, a.bpp);
        for (std::uint32_t c : a.palette) {
            d.push_back(std::uint8_t(c));
            d.push_back(std::uint8_t(c >> 8));
            d.push_back(std::uint8_t(c >> 16));
        }
    } else {
        Put32(d, a.kopf);
        Put32(d, std::uint32_t(a.breite));
        Put32(d, std::uint32_t(a.hoehe));
        Put16(d, 1);
        Put16(d, a.bpp);
        Put32(d, a.kompression);
        Put32(d, std::uint32_t(a.bits.size()));
        Put32(d, std::uint32_t(a.proMeter));
        Put32(d, std::uint32_t(a.proMeter));
        Put32(d, std::uint32_t(a.palette.size()));
        Put32(d, 0);
        if (a.kopf == 40) {
            for (std::uint32_t m : a.masken) Put32(d, m);
        } else {
            for (std::uint32_t m : a.masken) Put32(d, m);
            d.resize(a.kopf, 0);
        }
        for (std::uint32_t c : a.palette) Put32(d, c & 0xFFFFFF);
    }
    d.insert(d.end(), a.bits.begin(), a.bits.end());
    return d;
}

Bytes Bmp(const DibAufbau& a) {
    const Bytes dib = Dib(a);
    Bytes b{'B', 'M'};
    Put32(b, std::uint32_t(14 + dib.size()));
    Put32(b, 0);
    Put32(b, std::uint32_t(14 + dib.size() - a.bits.size()));
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

std::vector<std::uint32_t> Palette() { return {Farben, Farben + 4}; }

// The pattern at the depth: palette indices, or the colour as the format stores it.
DibAufbau MusterBitmap(std::uint16_t bpp, std::uint32_t kopf = 40, bool topDown = false) {
    DibAufbau a;
    a.kopf = kopf;
    a.bpp = bpp;
    if (topDown) a.hoehe = -2;
    std::function<std::uint32_t(int, int)> wert;
    if (bpp <= 8) {
        a.palette = Palette();
        if (bpp == 1) a.palette.resize(2);
        if (kopf == 12) a.palette.resize(std::size_t(1) << bpp);  // always complete
        wert = [bpp](int x, int y) { return std::uint32_t(bpp == 1 ? Muster(x, y) % 2 : Muster(x, y)); };
    } else if (bpp == 16) {
        wert = [](int x, int y) {
            const std::uint32_t c = Farben[Muster(x, y)];
            return (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31);
        };
    } else {
        wert = [](int x, int y) { return Farben[Muster(x, y)]; };  // B, G, R (, X)
    }
    a.bits = Zeilen(a.breite, 2, bpp, topDown, wert);
    return a;
}

TEST(Bitmap, EveryDepthAndHeaderGivesThePattern) {
    struct Fall {
        const char* name;
        DibAufbau a;
        bool zweifarbig = false;
    };
    std::vector<Fall> faelle = {
        {"1 bit", MusterBitmap(1), true},
        {"2 bit", MusterBitmap(2)},
        {"4 bit", MusterBitmap(4)},
        {"8 bit", MusterBitmap(8)},
        {"16 bit 5-5-5", MusterBitmap(16)},
        {"24 bit", MusterBitmap(24)},
        {"32 bit", MusterBitmap(32)},
        {"24 bit top-down", MusterBitmap(24, 40, true)},
        {"8 bit top-down", MusterBitmap(8, 40, true)},
        {"core header 8 bit", MusterBitmap(8, 12)},
        {"core header 1 bit", MusterBitmap(1, 12), true},
        {"core header 24 bit", MusterBitmap(24, 12)},
        {"V4 header 24 bit", MusterBitmap(24, 108)},
        {"V5 header 4 bit", MusterBitmap(4, 124)},
    };
    // 16 bit 5-6-5 with BI_BITFIELDS, masks after the 40-byte header.
    DibAufbau f565;
    f565.bpp = 16;
    f565.kompression = 3;
    f565.masken = {0xF800, 0x07E0, 0x001F};
    f565.bits = Zeilen(3, 2, 16, false, [](int x, int y) {
        const std::uint32_t c = Farben[Muster(x, y)];
        return (c >> 19 & 31) << 11 | (c >> 10 & 63) << 5 | (c >> 3 & 31);
    });
    faelle.push_back({"16 bit 5-6-5 bitfields", f565});
    // 32 bit R-G-B-X in a V5 header's masks.
    DibAufbau f32;
    f32.kopf = 124;
    f32.bpp = 32;
    f32.kompression = 3;
    f32.masken = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};
    f32.bits = Zeilen(3, 2, 32, false, [](int x, int y) {
        const std::uint32_t c = Farben[Muster(x, y)];
        return (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16;
    });
    faelle.push_back({"32 bit bitfields in V5", f32});
    // RLE8: the bottom row (2 3 0) in absolute mode, the top row (0 1 2) as runs.
    DibAufbau r8;
    r8.bpp = 8;
    r8.kompression = 1;
    r8.palette = Palette();
    r8.bits = {0, 3, 2, 3, 0, 0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 1};
    faelle.push_back({"RLE8", r8});
    // RLE4: both rows in absolute mode.
    DibAufbau r4;
    r4.bpp = 4;
    r4.kompression = 2;
    r4.palette = Palette();
    r4.bits = {0, 3, 0x23, 0x00, 0, 0, 0, 3, 0x01, 0x20, 0, 1};
    faelle.push_back({"RLE4", r4});

    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const Bytes datei = Bmp(f.a);
        const auto b = kd::DekodiereBmp(datei.data(), datei.size());
        ASSERT_TRUE(b);
        ASSERT_EQ(b->Width, 3);
        ASSERT_EQ(b->Height, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const int i = f.zweifarbig ? Muster(x, y) % 2 : Muster(x, y);
                EXPECT_EQ(b->At(x, y), Opak(Farben[i])) << x << "," << y;
            }
        // The same bits as a packed DIB.
        const Bytes dib = Dib(f.a);
        const auto d = kd::DekodiereDib(dib.data(), dib.size());
        ASSERT_TRUE(d);
        EXPECT_EQ(d->Pixels, b->Pixels);
        const auto m = kd::BmpMasse(datei.data(), datei.size());
        ASSERT_TRUE(m);
        EXPECT_EQ(*m, (kd::BildMasse{3, 2, 0, 0}));
    }
}

TEST(Bitmap, AlphaSkippedPixelsAndPhysicalSize) {
    // 32 bit with an alpha mask keeps alpha; one that is zero everywhere is opaque.
    for (std::uint32_t alpha : {0x80u, 0x00u}) {
        DibAufbau a;
        a.kopf = 108;
        a.bpp = 32;
        a.kompression = 3;
        a.breite = 1;
        a.hoehe = 1;
        a.masken = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
        a.bits = {0x30, 0x20, 0x10, std::uint8_t(alpha)};
        const Bytes f = Bmp(a);
        const auto b = kd::DekodiereBmp(f.data(), f.size());
        ASSERT_TRUE(b);
        EXPECT_EQ(b->At(0, 0), (alpha ? 0x80000000u : 0xFF000000u) | 0x302010u) << alpha;
    }
    // RLE8 with a delta: the pixels it skips and the rows after the end stay clear.
    DibAufbau r;
    r.bpp = 8;
    r.kompression = 1;
    r.palette = Palette();
    r.bits = {0, 2, 2, 0, 1, 0, 0, 1};
    const Bytes f = Bmp(r);
    const auto b = kd::DekodiereBmp(f.data(), f.size());
    ASSERT_TRUE(b);
    EXPECT_EQ(b->At(2, 1), Opak(Farben[0]));
    for (auto [x, y] : {std::pair{0, 1}, {1, 1}, {0, 0}, {1, 0}, {2, 0}})
        EXPECT_EQ(b->At(x, y) >> 24, 0u) << x << "," << y;
    // 3937 pixels per metre (100 per inch): 3 pixels are 0.762 mm.
    DibAufbau p = MusterBitmap(24);
    p.proMeter = 3937;
    const Bytes pf = Bmp(p);
    EXPECT_EQ(kd::BmpMasse(pf.data(), pf.size()), (kd::BildMasse{3, 2, 7, 5}));
    // A palette index beyond the palette is black.
    DibAufbau k = MusterBitmap(8);
    k.palette.resize(2);
    const Bytes kf = Bmp(k);
    const auto kb = kd::DekodiereBmp(kf.data(), kf.size());
    ASSERT_TRUE(kb);
    EXPECT_EQ(kb->At(2, 0), Opak(0));  // index 2
    EXPECT_EQ(kb->At(1, 0), Opak(Farben[1]));
}

TEST(Bitmap, ImpossibleHeadersAreRefused) {
    struct Fall {
        const char* name;
        std::function<void(DibAufbau&)> aendern;
    };
    const std::vector<Fall> faelle = {
        {"width 0", [](DibAufbau& a) { a.breite = 0; }},
        {"height 0", [](DibAufbau& a) { a.hoehe = 0; }},
        {"negative width", [](DibAufbau& a) { a.breite = -3; }},
        {"side over 20000", [](DibAufbau& a) { a.breite = 20001; a.hoehe = 1; }},
        {"over 100 megapixels", [](DibAufbau& a) { a.breite = 15000; a.hoehe = 15000; }},
        {"height INT_MIN", [](DibAufbau& a) { a.hoehe = INT32_MIN; }},
        {"depth 7", [](DibAufbau& a) { a.bpp = 7; }},
        {"compression JPEG", [](DibAufbau& a) { a.kompression = 4; }},
        {"RLE8 at 24 bit", [](DibAufbau& a) { a.kompression = 1; }},
        {"bitfields at 24 bit", [](DibAufbau& a) { a.kompression = 3; }},
        {"header size 20", [](DibAufbau& a) { a.kopf = 20; }},
        {"bits missing", [](DibAufbau& a) { a.bits.resize(10); }},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        DibAufbau a = MusterBitmap(24);
        f.aendern(a);
        const Bytes datei = Bmp(a);
        EXPECT_FALSE(kd::DekodiereBmp(datei.data(), datei.size()));
    }
    // Limits of the caller.
    const Bytes datei = Bmp(MusterBitmap(24));
    EXPECT_FALSE(kd::DekodiereBmp(datei.data(), datei.size(), {2, 100}));
    EXPECT_FALSE(kd::DekodiereBmp(datei.data(), datei.size(), {100, 5}));
    EXPECT_TRUE(kd::DekodiereBmp(datei.data(), datei.size(), {3, 6}));
    // Not a bitmap at all.
    Bytes fremd = datei;
    fremd[0] = 'X';
    EXPECT_FALSE(kd::DekodiereBmp(fremd.data(), fremd.size()));
    EXPECT_FALSE(kd::DekodiereBmp(nullptr, 0));
    // A file header whose offset of the bits is wrong falls back to the packed place.
    Bytes versetzt = datei;
    versetzt[10] = 0xFF;
    versetzt[11] = 0xFF;
    EXPECT_TRUE(kd::DekodiereBmp(versetzt.data(), versetzt.size()));
}

// ---------------------------------------------------------------- JPEG

// A 16 × 16 image of four 8 × 8 blocks in the four colours.
kd::Bild Bloecke() {
    kd::Bild b;
    b.Create(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t c = Farben[(x / 8) + 2 * (y / 8)];
            b.Set(x, y, std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c));
        }
    return b;
}

bool Nahe(std::uint32_t a, std::uint32_t b, int toleranz) {
    for (int k = 0; k < 32; k += 8)
        if (std::abs(int(a >> k & 0xFF) - int(b >> k & 0xFF)) > toleranz) return false;
    return true;
}

// A JPEG made directly with the library: grayscale or (Adobe, inverted) CMYK.
Bytes LibjpegDatei(J_COLOR_SPACE raum, int komponenten, const std::vector<std::uint8_t>& pixel,
                   int w, int h) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long len = 0;
    jpeg_mem_dest(&c, &buf, &len);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = komponenten;
    c.in_color_space = raum;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(pixel.data()) +
                       std::size_t(c.next_scanline) * std::size_t(w * komponenten);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes out(buf, buf + len);
    std::free(buf);
    return out;
}

TEST(Jpeg, RoundTripGrayAndCmyk) {
    const kd::Bild bild = Bloecke();
    const Bytes datei = kd::KodiereJpeg(bild);
    ASSERT_GT(datei.size(), 100u);
    EXPECT_EQ(datei[0], 0xFF);
    EXPECT_EQ(datei[1], 0xD8);
    const auto b = kd::DekodiereJpeg(datei.data(), datei.size());
    ASSERT_TRUE(b);
    ASSERT_EQ(b->Width, 16);
    ASSERT_EQ(b->Height, 16);
    // 4:4:4 at quality 90: every pixel of every block keeps its colour closely.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_TRUE(Nahe(b->At(x, y), bild.At(x, y), 12)) << x << "," << y;
    // 96 dots per inch in the JFIF header: 16 pixels are 4.2 mm.
    EXPECT_EQ(kd::JpegMasse(datei.data(), datei.size()), (kd::BildMasse{16, 16, 42, 42}));

    // Semi-transparent pixels are composed over white.
    kd::Bild halb;
    halb.Create(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) halb.Set(x, y, 0, 0, 0, 0);
    const Bytes hd = kd::KodiereJpeg(halb);
    const auto hb = kd::DekodiereJpeg(hd.data(), hd.size());
    ASSERT_TRUE(hb);
    EXPECT_TRUE(Nahe(hb->At(3, 3), 0xFFFFFFFF, 3));

    std::vector<std::uint8_t> grau(8 * 8);
    for (int i = 0; i < 64; ++i) grau[std::size_t(i)] = i < 32 ? 40 : 200;
    const Bytes gd = LibjpegDatei(JCS_GRAYSCALE, 1, grau, 8, 8);
    const auto gb = kd::DekodiereJpeg(gd.data(), gd.size());
    ASSERT_TRUE(gb);
    EXPECT_TRUE(Nahe(gb->At(2, 1), 0xFF282828, 6));
    EXPECT_TRUE(Nahe(gb->At(2, 6), 0xFFC8C8C8, 6));
    EXPECT_FALSE(kd::JpegMasse(gd.data(), gd.size())->WidthMM10 == 42);

    // Adobe CMYK, stored inverted: red is C 0, M 255, Y 255, K 0.
    std::vector<std::uint8_t> cmyk;
    for (int i = 0; i < 64; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    const Bytes cd = LibjpegDatei(JCS_CMYK, 4, cmyk, 8, 8);
    const auto cb = kd::DekodiereJpeg(cd.data(), cd.size());
    ASSERT_TRUE(cb);
    EXPECT_TRUE(Nahe(cb->At(4, 4), 0xFF0000FF, 8)) << std::hex << cb->At(4, 4);
}

// The offset of the frame header (SOF0) of a JPEG made by the encoder.
std::size_t FrameKopf(const Bytes& d) {
    for (std::size_t i = 2; i + 9 < d.size(); ++i)
        if (d[i] == 0xFF && d[i + 1] == 0xC0) return i;
    return 0;
}

TEST(Jpeg, ImpossibleSizesAndForeignDataAreRefused) {
    const Bytes gut = kd::KodiereJpeg(Bloecke());
    const std::size_t sof = FrameKopf(gut);
    ASSERT_GT(sof, 0u);
    struct Fall {
        std::uint16_t w, h;
        bool ok;
    };
    for (const Fall f : {Fall{20000, 16, true}, Fall{20001, 16, false}, Fall{16, 30000, false},
                         Fall{12000, 9000, false}, Fall{10000, 10000, true}}) {
        SCOPED_TRACE(std::to_string(f.w) + "x" + std::to_string(f.h));
        Bytes d = gut;
        d[sof + 5] = std::uint8_t(f.h >> 8);
        d[sof + 6] = std::uint8_t(f.h);
        d[sof + 7] = std::uint8_t(f.w >> 8);
        d[sof + 8] = std::uint8_t(f.w);
        EXPECT_EQ(kd::JpegMasse(d.data(), d.size()).has_value(), f.ok);
        // Decoding stays within small limits: the header alone decides.
        EXPECT_FALSE(kd::DekodiereJpeg(d.data(), d.size(), {20000, 256}));
    }
    EXPECT_FALSE(kd::DekodiereJpeg(gut.data(), gut.size(), {15, 1000}));
    EXPECT_FALSE(kd::DekodiereJpeg(gut.data(), gut.size(), {100, 255}));
    const Bytes bmp = Bmp(MusterBitmap(24));
    EXPECT_FALSE(kd::DekodiereJpeg(bmp.data(), bmp.size()));
    EXPECT_FALSE(kd::DekodiereJpeg(nullptr, 0));
    const Bytes nurMarke{0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_FALSE(kd::DekodiereJpeg(nurMarke.data(), nurMarke.size()));
    EXPECT_TRUE(kd::KodiereJpeg(kd::Bild{}).empty());
}

// ---------------------------------------------------------------- metafiles

class WmfAufbau {
public:
    WmfAufbau& Satz(std::uint16_t fn, std::initializer_list<int> worte) {
        Put32(recs_, std::uint32_t(3 + worte.size()));
        Put16(recs_, fn);
        for (int w : worte) Put16(recs_, std::uint32_t(w) & 0xFFFF);
        return *this;
    }
    WmfAufbau& SatzRoh(std::uint16_t fn, Bytes params) {
        if (params.size() % 2) params.push_back(0);
        Put32(recs_, std::uint32_t(3 + params.size() / 2));
        Put16(recs_, fn);
        recs_.insert(recs_.end(), params.begin(), params.end());
        return *this;
    }
    WmfAufbau& Stift(int stil, int breite, std::uint32_t farbe) {
        return Satz(0x02FA, {stil, breite, 0, int(farbe & 0xFFFF), int(farbe >> 16)});
    }
    WmfAufbau& Pinsel(int stil, std::uint32_t farbe) {
        return Satz(0x02FC, {stil, int(farbe & 0xFFFF), int(farbe >> 16), 0});
    }
    WmfAufbau& Schrift(int hoehe, const std::string& name, int escapement = 0) {
        Bytes p;
        for (int w : {hoehe, 0, escapement, escapement, 400}) Put16(p, std::uint32_t(w) & 0xFFFF);
        for (int i = 0; i < 8; ++i) p.push_back(0);
        p.insert(p.end(), name.begin(), name.end());
        p.push_back(0);
        return SatzRoh(0x02FB, p);
    }
    WmfAufbau& Text(int x, int y, const std::string& s) {
        Bytes p;
        Put16(p, std::uint32_t(s.size()));
        p.insert(p.end(), s.begin(), s.end());
        if (s.size() % 2) p.push_back(0);
        Put16(p, std::uint32_t(y) & 0xFFFF);
        Put16(p, std::uint32_t(x) & 0xFFFF);
        return SatzRoh(0x0521, p);
    }
    WmfAufbau& Polygon(std::uint16_t fn, std::initializer_list<std::pair<int, int>> pts) {
        Bytes p;
        Put16(p, std::uint32_t(pts.size()));
        for (auto [x, y] : pts) {
            Put16(p, std::uint32_t(x) & 0xFFFF);
            Put16(p, std::uint32_t(y) & 0xFFFF);
        }
        return SatzRoh(fn, p);
    }
    Bytes Records() const { return recs_; }

    // The file: optionally the placeable header (box left, top, right, bottom and
    // units per inch), the metafile header, the records, the end record.
    Bytes Datei(bool placeable, std::array<int, 4> box = {0, 0, 1000, 500}, int inch = 1000,
                int objekte = 8) const {
        Bytes d;
        if (placeable) {
            Put32(d, 0x9AC6CDD7);
            Put16(d, 0);
            for (int v : box) Put16(d, std::uint32_t(v) & 0xFFFF);
            Put16(d, std::uint32_t(inch));
            Put32(d, 0);
            std::uint16_t summe = 0;
            for (int i = 0; i < 10; ++i) summe ^= std::uint16_t(d[2 * i] | d[2 * i + 1] << 8);
            Put16(d, summe);
        }
        Put16(d, 1);
        Put16(d, 9);
        Put16(d, 0x0300);
        Put32(d, std::uint32_t(9 + recs_.size() / 2 + 3));
        Put16(d, std::uint32_t(objekte));
        Put32(d, 0);
        Put16(d, 0);
        d.insert(d.end(), recs_.begin(), recs_.end());
        Put32(d, 3);
        Put16(d, 0);
        return d;
    }

private:
    Bytes recs_;
};

constexpr std::uint16_t SETMAPMODE = 0x0103, SETWINDOWORG = 0x020B, SETWINDOWEXT = 0x020C,
                        SELECTOBJECT = 0x012D, DELETEOBJECT = 0x01F0, MOVETO = 0x0214,
                        LINETO = 0x0213, POLYGON = 0x0324, POLYLINE = 0x0325,
                        RECTANGLE = 0x041B, ELLIPSE = 0x0418, SETTEXTCOLOR = 0x0209,
                        SETBKMODE = 0x0102, SETTEXTALIGN = 0x012E, SAVEDC = 0x001E,
                        RESTOREDC = 0x0127, EXTTEXTOUT = 0x0A32, STRETCHDIB = 0x0F43,
                        POLYPOLYGON = 0x0538, SETBKCOLOR = 0x0201, PATBLT = 0x061D,
                        ARC = 0x0817;

// The drawing of the seed: a red line, a blue triangle and a green text.
WmfAufbau Zeichnung() {
    WmfAufbau w;
    w.Satz(SETMAPMODE, {8})
        .Satz(SETWINDOWORG, {0, 0})
        .Satz(SETWINDOWEXT, {500, 1000})
        .Stift(0, 10, 0x0000FF)
        .Satz(SELECTOBJECT, {0})
        .Pinsel(0, 0xFF0000)
        .Satz(SELECTOBJECT, {1})
        .Satz(MOVETO, {100, 100})
        .Satz(LINETO, {100, 900})
        .Polygon(POLYGON, {{100, 400}, {500, 200}, {900, 400}})
        .Schrift(-100, "Arial")
        .Satz(SELECTOBJECT, {2})
        .Satz(SETTEXTCOLOR, {0xFF00, 0})
        .Satz(SETBKMODE, {1})
        .Satz(SETTEXTALIGN, {24})
        .Text(200, 300, "Ab");
    return w;
}

std::vector<FixedMetricsDevice::Call> Zeichenaufrufe(const FixedMetricsDevice& dc) {
    std::vector<FixedMetricsDevice::Call> v;
    for (const auto& c : dc.Calls())
        switch (c.kind) {
        case Kind::LineTo: case Kind::Polyline: case Kind::Polygon: case Kind::Rectangle:
        case Kind::Ellipse: case Kind::FillRect: case Kind::TextOut: case Kind::DrawImage:
            v.push_back(c);
            break;
        default:
            break;
        }
    return v;
}

TEST(Metafile, PlaceableDrawingMapsIntoTheTarget) {
    const Bytes datei = Zeichnung().Datei(true);
    const auto m = kd::Metadatei::Lesen(datei.data(), datei.size());
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->Placeable());
    // 1000 × 500 units at 1000 per inch: 25.4 × 12.7 mm.
    EXPECT_EQ(m->Masse(), (kd::BildMasse{1000, 500, 254, 127}));
    EXPECT_EQ(kd::WmfMasse(datei.data(), datei.size()), m->Masse());
    EXPECT_EQ(m->Datensaetze(), 16u);

    FixedMetricsDevice dc;
    const kd::LogPen stift = dc.CurrentPen();
    const kd::LogFont schrift = dc.CurrentFont();
    // 2000 × 600 target: the 2 : 1 picture becomes 1200 × 600, centred; the
    // metafile's y runs down, the page's up: X = 400 + 1.2 x, Y = 600 − 1.2 y.
    m->Abspielen(dc, {0, 600, 2000, 0});
    const auto v = Zeichenaufrufe(dc);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].kind, Kind::LineTo);
    EXPECT_EQ(v[0].points, (std::vector<kd::TPoint>{{520, 480}, {1480, 480}}));
    EXPECT_EQ(v[0].pen, (kd::LogPen{kd::PS_SOLID, 12, 12, 0x0000FF}));
    EXPECT_EQ(v[1].kind, Kind::Polygon);
    EXPECT_EQ(v[1].points, (std::vector<kd::TPoint>{{520, 120}, {1000, 360}, {1480, 120}}));
    EXPECT_EQ(v[1].brush, (kd::LogBrush{kd::BS_SOLID, 0xFF0000, 0}));
    EXPECT_EQ(v[2].kind, Kind::TextOut);
    EXPECT_EQ(v[2].points, (std::vector<kd::TPoint>{{640, 240}}));
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

    // The same drawing by its record kind, drawn into a tall target: 300 wide, at
    // the top of the rectangle's free height centred.
    const auto b = kd::DekodiereBild(kd::BildMetadatei, datei);
    ASSERT_TRUE(b);
    EXPECT_EQ(kd::HoeheBeiBreite(b->Masse, 323), 162);
    FixedMetricsDevice dc2;
    kd::ZeichneBild(dc2, *b, {0, 1000, 300, 0});
    const auto v2 = Zeichenaufrufe(dc2);
    ASSERT_EQ(v2.size(), 3u);
    EXPECT_EQ(v2[0].points, (std::vector<kd::TPoint>{{30, 545}, {270, 545}}));
}

struct WmfFall {
    const char* name;
    WmfAufbau aufbau;
    bool placeable = false;
    std::vector<Kind> arten;  // the drawing calls in order
    std::function<void(const std::vector<FixedMetricsDevice::Call>&)> pruefen;
};

TEST(Metafile, RecordsPlayAsDeviceCalls) {
    // A plain metafile over 0..1000 × 0..1000 played into 0..1000 (y up):
    // X = x, Y = 1000 − y.
    auto rahmen = [] {
        WmfAufbau w;
        w.Satz(SETWINDOWORG, {0, 0}).Satz(SETWINDOWEXT, {1000, 1000});
        return w;
    };
    std::vector<WmfFall> faelle;
    {
        WmfAufbau w = rahmen();
        w.Satz(RECTANGLE, {300, 400, 100, 200}).Satz(ELLIPSE, {900, 900, 500, 500});
        faelle.push_back({"rectangle and ellipse", w, false, {Kind::Rectangle, Kind::Ellipse},
                          [](const auto& v) {
                              EXPECT_EQ(v[0].points, (std::vector<kd::TPoint>{{200, 900}, {400, 700}}));
                              EXPECT_EQ(v[1].points, (std::vector<kd::TPoint>{{500, 500}, {900, 100}}));
                              EXPECT_EQ(v[0].pen, kd::BlackPen());
                              EXPECT_EQ(v[0].brush, kd::WhiteBrush());
                          }});
    }
    {
        // SaveDC, a red pen, RestoreDC(-1): the line after it is black again.
        WmfAufbau w = rahmen();
        w.Satz(SAVEDC, {}).Stift(0, 0, 0x0000FF).Satz(SELECTOBJECT, {0})
            .Satz(MOVETO, {0, 0}).Satz(LINETO, {10, 10})
            .Satz(RESTOREDC, {0xFFFF}).Satz(LINETO, {20, 20});
        faelle.push_back({"save and restore", w, false, {Kind::LineTo, Kind::LineTo},
                          [](const auto& v) {
                              EXPECT_EQ(v[0].pen.Color, 0x0000FFu);
                              // The state saved holds the current position too.
                              EXPECT_EQ(v[1].pen.Color, 0x000000u);
                              EXPECT_EQ(v[1].points, (std::vector<kd::TPoint>{{0, 1000}, {20, 980}}));
                          }});
    }
    {
        // Deleting object 0 frees the lowest slot: the next pen is object 0.
        WmfAufbau w = rahmen();
        w.Stift(0, 0, 0x000011).Stift(0, 0, 0x000022).Satz(DELETEOBJECT, {0})
            .Stift(0, 0, 0x000033).Satz(SELECTOBJECT, {0}).Polygon(POLYLINE, {{0, 0}, {5, 5}})
            .Satz(SELECTOBJECT, {1}).Polygon(POLYLINE, {{0, 0}, {5, 5}})
            .Satz(SELECTOBJECT, {7}).Polygon(POLYLINE, {{0, 0}, {5, 5}});
        faelle.push_back({"object slots", w, false, {Kind::Polyline, Kind::Polyline, Kind::Polyline},
                          [](const auto& v) {
                              EXPECT_EQ(v[0].pen.Color, 0x000033u);
                              EXPECT_EQ(v[1].pen.Color, 0x000022u);
                              EXPECT_EQ(v[2].pen.Color, 0x000022u);  // empty slot: unchanged
                          }});
    }
    {
        // ExtTextOut with an opaque rectangle: the rectangle in the background colour.
        WmfAufbau w = rahmen();
        Bytes p;
        for (int v : {100, 50, 3, 2, 40, 80, 140, 120}) Put16(p, std::uint32_t(v));
        p.insert(p.end(), {'x', 'y', 'z', 0});
        w.Satz(SETBKCOLOR, {0x00EE, 0}).SatzRoh(EXTTEXTOUT, p);
        faelle.push_back({"extended text out", w, false, {Kind::FillRect, Kind::TextOut},
                          [](const auto& v) {
                              EXPECT_EQ(v[0].points, (std::vector<kd::TPoint>{{40, 920}, {140, 880}}));
                              EXPECT_EQ(v[0].brush.Color, 0x0000EEu);
                              EXPECT_EQ(v[1].points, (std::vector<kd::TPoint>{{50, 900}}));
                              EXPECT_EQ(v[1].text, "xyz");
                          }});
    }
    {
        // Two rings: filled as one bridged polygon without outline, then two outlines.
        WmfAufbau w = rahmen();
        Bytes p;
        for (int v : {2, 3, 3, 0, 0, 100, 0, 0, 100, 10, 10, 20, 10, 10, 20})
            Put16(p, std::uint32_t(v));
        w.SatzRoh(POLYPOLYGON, p);
        faelle.push_back({"poly-polygon", w, false, {Kind::Polygon, Kind::Polyline, Kind::Polyline},
                          [](const auto& v) {
                              EXPECT_EQ(v[0].pen.Style, kd::PS_NULL);
                              EXPECT_EQ(v[0].points.size(), 3u + 2 + 3 + 2);
                              EXPECT_EQ(v[1].points.size(), 4u);
                              EXPECT_EQ(v[2].points.front(), (kd::TPoint{10, 990}));
                          }});
    }
    {
        // A bitmap stretched into (100, 100)–(300, 200) of the metafile.
        WmfAufbau w = rahmen();
        Bytes p;
        Put32(p, 0x00CC0020);
        for (int v : {0, 2, 3, 0, 0, 100, 200, 100, 100}) Put16(p, std::uint32_t(v));
        const Bytes dib = Dib(MusterBitmap(24));
        p.insert(p.end(), dib.begin(), dib.end());
        w.SatzRoh(STRETCHDIB, p);
        faelle.push_back({"stretched bitmap", w, false, {Kind::DrawImage}, [](const auto& v) {
                              EXPECT_EQ(v[0].points,
                                        (std::vector<kd::TPoint>{{100, 900}, {300, 800}, {3, 2}}));
                          }});
    }
    {
        // A pattern blit fills with the brush; an unknown record is skipped; a
        // half-circle arc from (1000, 500) to (0, 500) over the top.
        WmfAufbau w = rahmen();
        w.Pinsel(0, 0x123456).Satz(SELECTOBJECT, {0})
            .Satz(0x0999, {1, 2, 3})
            .Satz(PATBLT, {0x0021, 0x00F0, 100, 200, 10, 20})
            .Satz(ARC, {500, 0, 500, 1000, 1000, 1000, 0, 0});
        faelle.push_back({"pattern blit and arc", w, false, {Kind::FillRect, Kind::Polyline},
                          [](const auto& v) {
                              EXPECT_EQ(v[0].points, (std::vector<kd::TPoint>{{20, 990}, {220, 890}}));
                              EXPECT_EQ(v[0].brush.Color, 0x123456u);
                              EXPECT_EQ(v[1].points.front(), (kd::TPoint{1000, 500}));
                              EXPECT_EQ(v[1].points.back(), (kd::TPoint{0, 500}));
                              EXPECT_EQ(v[1].points[v[1].points.size() / 2], (kd::TPoint{500, 1000}));
                          }});
    }
    {
        // Isotropic: a window of 1000 × 2000 keeps its shape in the 1000 × 1000 frame.
        WmfAufbau w;
        w.Satz(SETMAPMODE, {7}).Satz(SETWINDOWORG, {0, 0}).Satz(SETWINDOWEXT, {1000, 1000})
            .Satz(SETWINDOWEXT, {2000, 1000}).Satz(MOVETO, {0, 0}).Satz(LINETO, {2000, 1000});
        faelle.push_back({"isotropic", w, false, {Kind::LineTo}, [](const auto& v) {
                              EXPECT_EQ(v[0].points, (std::vector<kd::TPoint>{{0, 1000}, {500, 0}}));
                          }});
    }
    {
        // Text at the current position moves it past the text (width of "ab" in a
        // font of 100 units is 100).
        WmfAufbau w = rahmen();
        w.Schrift(100, "Arial").Satz(SELECTOBJECT, {0}).Satz(SETTEXTALIGN, {1})
            .Satz(MOVETO, {500, 200}).Text(0, 0, "ab").Text(0, 0, "c");
        faelle.push_back({"current position", w, false, {Kind::TextOut, Kind::TextOut},
                          [](const auto& v) {
                              EXPECT_EQ(v[0].points, (std::vector<kd::TPoint>{{200, 500}}));
                              EXPECT_EQ(v[1].points, (std::vector<kd::TPoint>{{300, 500}}));
                              EXPECT_EQ(v[0].align, kd::TA_LEFT | kd::TA_TOP);
                          }});
    }
    for (const WmfFall& f : faelle) {
        SCOPED_TRACE(f.name);
        const Bytes datei = f.aufbau.Datei(f.placeable);
        const auto m = kd::Metadatei::Lesen(datei.data(), datei.size());
        ASSERT_TRUE(m);
        FixedMetricsDevice dc;
        m->Abspielen(dc, {0, 1000, 1000, 0});
        const auto v = Zeichenaufrufe(dc);
        std::vector<Kind> arten;
        for (const auto& c : v) arten.push_back(c.kind);
        ASSERT_EQ(arten, f.arten);
        f.pruefen(v);
    }
}

TEST(Metafile, SizesHeadersAndBrokenRecords) {
    // A plain metafile is as large as the window it sets, or as its coordinates.
    WmfAufbau mitFenster;
    mitFenster.Satz(SETWINDOWORG, {-10, -20}).Satz(SETWINDOWEXT, {-300, 400});
    const Bytes a = mitFenster.Datei(false);
    EXPECT_EQ(kd::WmfMasse(a.data(), a.size()), (kd::BildMasse{400, 300, 0, 0}));
    WmfAufbau ohne;
    ohne.Satz(MOVETO, {20, 10}).Satz(LINETO, {70, 110});
    const Bytes b = ohne.Datei(false);
    EXPECT_EQ(kd::WmfMasse(b.data(), b.size()), (kd::BildMasse{100, 50, 0, 0}));
    const auto bm = kd::Metadatei::Lesen(b.data(), b.size());
    ASSERT_TRUE(bm);
    FixedMetricsDevice dc;
    bm->Abspielen(dc, {0, 50, 100, 0});
    ASSERT_EQ(Zeichenaufrufe(dc).size(), 1u);
    EXPECT_EQ(Zeichenaufrufe(dc)[0].points, (std::vector<kd::TPoint>{{0, 50}, {100, 0}}));

    // Headers that are wrong.
    Bytes gut = Zeichnung().Datei(true);
    auto kaputt = [&](std::size_t ort, std::uint8_t wert) {
        Bytes d = gut;
        d[ort] = wert;
        return !kd::Metadatei::Lesen(d.data(), d.size()) && !kd::WmfMasse(d.data(), d.size());
    };
    EXPECT_TRUE(kaputt(20, gut[20] ^ 1));   // checksum
    EXPECT_TRUE(kaputt(22, 3));             // metafile type
    EXPECT_TRUE(kaputt(24, 8));             // header size
    EXPECT_TRUE(kaputt(27, 0x02));          // version
    EXPECT_TRUE(kaputt(6, 1));              // the box without its checksum
    EXPECT_FALSE(kd::Metadatei::Lesen(nullptr, 0));

    // A record whose size runs past the end stops playback there.
    WmfAufbau w;
    w.Satz(MOVETO, {0, 0}).Satz(LINETO, {10, 10});
    Bytes d = w.Datei(false);
    const std::size_t zweiter = 18 + 10;
    d[zweiter] = 0xFF;  // 255 words
    const auto m = kd::Metadatei::Lesen(d.data(), d.size());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->Datensaetze(), 1u);
    FixedMetricsDevice dc2;
    m->Abspielen(dc2, {0, 1000, 1000, 0});
    EXPECT_TRUE(Zeichenaufrufe(dc2).empty());

    // Far more objects than the header allows: the table stays bounded and the
    // objects beyond it do not exist.
    WmfAufbau viele;
    for (int i = 0; i < 200; ++i) viele.Stift(0, 0, std::uint32_t(i));
    viele.Satz(SELECTOBJECT, {63}).Polygon(POLYLINE, {{0, 0}, {1, 1}})
        .Satz(SELECTOBJECT, {150}).Polygon(POLYLINE, {{0, 0}, {1, 1}});
    const Bytes vd = viele.Datei(false, {}, 0, 1);
    const auto vm = kd::Metadatei::Lesen(vd.data(), vd.size());
    ASSERT_TRUE(vm);
    FixedMetricsDevice dc3;
    vm->Abspielen(dc3, {0, 1000, 1000, 0});
    const auto vv = Zeichenaufrufe(dc3);
    ASSERT_EQ(vv.size(), 2u);
    EXPECT_EQ(vv[0].pen.Color, 63u);
    EXPECT_EQ(vv[1].pen.Color, 63u);

    // An empty target or a picture without size draws nothing.
    FixedMetricsDevice dc4;
    const auto z = kd::Metadatei::Lesen(gut.data(), gut.size());
    z->Abspielen(dc4, {0, 0, 1000, 0});
    EXPECT_TRUE(dc4.Calls().empty());
}

// ---------------------------------------------------------------- all kinds

struct Probe {
    const char* name;
    std::int32_t typ;
    Bytes daten;
};

std::vector<Probe> Proben() {
    DibAufbau zwei = MusterBitmap(24);
    zwei.breite = 2;
    zwei.bits = Zeilen(2, 2, 24, false, [](int x, int y) { return Farben[Muster(x, y)]; });
    DibAufbau rle;
    rle.bpp = 8;
    rle.kompression = 1;
    rle.palette = Palette();
    rle.bits = {0, 3, 2, 3, 0, 0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 1};
    WmfAufbau mitBild = Zeichnung();
    Bytes p;
    Put32(p, 0x00CC0020);
    for (int v : {0, 2, 2, 0, 0, 100, 200, 100, 100}) Put16(p, std::uint32_t(v));
    const Bytes dib = Dib(zwei);
    p.insert(p.end(), dib.begin(), dib.end());
    mitBild.SatzRoh(STRETCHDIB, p);
    return {
        {"bitmap_2x2_24bit.bmp", kd::BildBitmap, Bmp(zwei)},
        {"bitmap_1bit.bmp", kd::BildBitmap, Bmp(MusterBitmap(1))},
        {"bitmap_4bit_core.bmp", kd::BildBitmap, Bmp(MusterBitmap(4, 12))},
        {"bitmap_rle8.bmp", kd::BildBitmap, Bmp(rle)},
        {"bitmap_32bit_v5.bmp", kd::BildBitmap, Bmp(MusterBitmap(32, 124))},
        {"jpeg_16x16.jpg", kd::BildJpeg, kd::KodiereJpeg(Bloecke())},
        {"metafile_placeable.wmf", kd::BildMetadatei, Zeichnung().Datei(true)},
        {"metafile_plain_bitmap.wmf", kd::BildMetadatei, mitBild.Datei(false)},
    };
}

TEST(Bilder, ByKindAndEveryPrefixFailsCleanly) {
    for (const Probe& p : Proben()) {
        SCOPED_TRACE(p.name);
        const auto voll = kd::DekodiereBild(p.typ, p.daten);
        ASSERT_TRUE(voll);
        const auto masse = kd::BildGroesse(p.typ, p.daten);
        ASSERT_TRUE(masse);
        EXPECT_EQ(*masse, voll->Masse);
        // The other kinds refuse these bytes.
        for (std::int32_t t : {0, 1, 2, 3, 4}) {
            if (t == p.typ) continue;
            EXPECT_FALSE(kd::DekodiereBild(t, p.daten)) << t;
        }
        FixedMetricsDevice voller;
        kd::ZeichneBild(voller, *voll, {0, 1000, 1000, 0});
        const std::size_t aufrufe = Zeichenaufrufe(voller).size();
        EXPECT_GE(aufrufe, 1u);
        // Every prefix: refused, or decoded to the same size (the rest of a JPEG is
        // grey, an RLE bitmap's rest clear), a metafile with fewer records.
        for (std::size_t n = 0; n < p.daten.size(); ++n) {
            const std::span<const std::uint8_t> teil(p.daten.data(), n);
            const auto b = kd::DekodiereBild(p.typ, teil);
            if (!b) continue;
            if (p.typ == kd::BildMetadatei) {
                FixedMetricsDevice dc;
                kd::ZeichneBild(dc, *b, {0, 1000, 1000, 0});
                EXPECT_LE(Zeichenaufrufe(dc).size(), aufrufe) << n;
                EXPECT_LE(b->Vektor->Datensaetze(), voll->Vektor->Datensaetze()) << n;
            } else {
                EXPECT_EQ(b->Raster.Width, voll->Raster.Width) << n;
                EXPECT_EQ(b->Raster.Height, voll->Raster.Height) << n;
            }
        }
    }
    // Raster pictures keep their aspect ratio in the target.
    const auto jpeg = kd::DekodiereBild(kd::BildJpeg, kd::KodiereJpeg(Bloecke()));
    ASSERT_TRUE(jpeg);
    FixedMetricsDevice dc;
    kd::ZeichneBild(dc, *jpeg, {0, 1000, 400, 0});
    ASSERT_EQ(dc.Calls().size(), 1u);
    EXPECT_EQ(dc.Calls()[0].points, (std::vector<kd::TPoint>{{0, 700}, {400, 300}, {16, 16}}));
    EXPECT_EQ(kd::Einpassen({0, 0, 0, 0}, {0, 10, 20, 0}), (kd::TRect{0, 10, 20, 0}));
    EXPECT_EQ(kd::HoeheBeiBreite({0, 5, 0, 0}, 100), 0);
}

// Writes the samples as the seed corpus of the picture fuzzer when
// KD_PICTURES_CORPUS names a folder.
TEST(Bilder, SeedCorpus) {
    const char* ordner = std::getenv("KD_PICTURES_CORPUS");
    if (!ordner) GTEST_SKIP() << "KD_PICTURES_CORPUS not set";
    for (const Probe& p : Proben()) {
        std::ofstream f(std::string(ordner) + "/" + p.name, std::ios::binary);
        f.write(reinterpret_cast<const char*>(p.daten.data()), std::streamsize(p.daten.size()));
        ASSERT_TRUE(f.good()) << p.name;
    }
}

} // namespace
