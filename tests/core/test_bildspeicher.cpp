// Pictures within bounded memory and work: decoded at the size they are drawn (JPEG in
// eighths, bitmaps and RLE bitmaps by every n-th pixel), a cache that keeps to its
// budget dropping the least recently drawn, and progressive JPEGs with a bounded number
// of scans.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "core/library/Bibliothek.h"
#include "core/device/FixedMetricsDevice.h"
#include "core/pictures/Bilder.h"
#include "core/pictures/Jpeg.h"
#include "core/pictures/Seitenbilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using kd::FixedMetricsDevice;
using Kind = FixedMetricsDevice::Kind;

void Put16(Bytes& b, std::uint32_t v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void Put32(Bytes& b, std::uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }

// A bitmap file: the 40-byte header, `palette` entries, then `bits`.
Bytes Bmp(std::int32_t w, std::int32_t h, int bpp, std::uint32_t kompression, const Bytes& palette,
          const Bytes& bits) {
    Bytes d{'B', 'M'};
    const std::uint32_t ort = 54 + std::uint32_t(palette.size());
    Put32(d, ort + std::uint32_t(bits.size()));
    Put32(d, 0);
    Put32(d, ort);
    Put32(d, 40);
    Put32(d, std::uint32_t(w));
    Put32(d, std::uint32_t(h));
    Put16(d, 1);
    Put16(d, std::uint32_t(bpp));
    Put32(d, kompression);
    Put32(d, std::uint32_t(bits.size()));
    Put32(d, 0);
    Put32(d, 0);
    Put32(d, std::uint32_t(palette.size() / 4));
    Put32(d, 0);
    d.insert(d.end(), palette.begin(), palette.end());
    d.insert(d.end(), bits.begin(), bits.end());
    return d;
}

// 24 bits, every pixel its own colour: (x, y) is red 5x, green 7y, blue x + y.
Bytes Muster24(std::int32_t w, std::int32_t h) {
    const std::int32_t stride = (w * 3 + 3) / 4 * 4;
    Bytes bits(std::size_t(stride * h), 0);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            std::uint8_t* p = bits.data() + std::size_t((h - 1 - y) * stride + 3 * x);  // bottom-up
            p[0] = std::uint8_t(x + y), p[1] = std::uint8_t(7 * y), p[2] = std::uint8_t(5 * x);
        }
    return Bmp(w, h, 24, 0, {}, bits);
}

// RLE8: each row (from the bottom) a run of its index per column pair.
Bytes MusterRle8(std::int32_t w, std::int32_t h) {
    Bytes palette;
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {std::uint8_t(i), std::uint8_t(255 - i), 0, 0});
    Bytes bits;
    for (std::int32_t zeile = 0; zeile < h; ++zeile) {
        for (std::int32_t x = 0; x < w; x += 2) bits.insert(bits.end(), {2, std::uint8_t(zeile * 16 + x)});
        bits.insert(bits.end(), {0, 0});
    }
    bits.insert(bits.end(), {0, 1});
    return Bmp(w, h, 8, 1, palette, bits);
}

std::optional<kd::Bildinhalt> Dekodiert(int typ, const Bytes& d, std::int32_t zw = 0, std::int32_t zh = 0) {
    kd::BildGrenzen g;
    g.ZielBreite = zw;
    g.ZielHoehe = zh;
    return kd::DekodiereBild(typ, d, g);
}

// A grey JPEG through libjpeg with the given scan script (nullptr: baseline).
Bytes GrauJpeg(int w, int h, const std::vector<jpeg_scan_info>* scans) {
    jpeg_compress_struct c{};
    jpeg_error_mgr e{};
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    jpeg_mem_dest(&c, &puffer, &laenge);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    if (scans) {
        c.scan_info = scans->data();
        c.num_scans = int(scans->size());
    }
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> zeile(static_cast<std::size_t>(w));
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < w; ++x) zeile[std::size_t(x)] = std::uint8_t((x * 3 + c.next_scanline * 5) & 255);
        JSAMPROW r = zeile.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes d(puffer, puffer + laenge);
    std::free(puffer);
    return d;
}

// A progressive script: DC first, then each AC coefficient alone, in two bits each
// (a first scan and a refinement): 2 + 2 * 63 = 128 scans.
std::vector<jpeg_scan_info> VieleScans() {
    std::vector<jpeg_scan_info> s;
    s.push_back({1, {0}, 0, 0, 0, 1});
    s.push_back({1, {0}, 0, 0, 1, 0});
    for (int k = 1; k <= 63; ++k) s.push_back({1, {0}, k, k, 0, 1});
    for (int k = 1; k <= 63; ++k) s.push_back({1, {0}, k, k, 1, 0});
    return s;
}

} // namespace

TEST(Bildspeicher, DecodedAtTheSizeDrawn) {
    struct Fall {
        const char* was;
        int typ;
        Bytes daten;
        std::int32_t zw, zh;    // the size drawn
        std::int32_t rw, rh;    // the raster decoded
    };
    const Bytes jpeg = kd::KodiereJpeg([] {
        kd::Bild b;
        b.Create(64, 48);
        return b;
    }());
    const std::vector<Fall> faelle = {
        {"jpeg full", 1, jpeg, 0, 0, 64, 48},
        {"jpeg an eighth", 1, jpeg, 8, 6, 8, 6},
        {"jpeg a quarter", 1, jpeg, 9, 6, 16, 12},
        {"jpeg a half", 1, jpeg, 20, 10, 32, 24},
        {"jpeg larger than it is", 1, jpeg, 200, 150, 64, 48},
        {"bitmap every 4th", 2, Muster24(40, 20), 10, 5, 10, 5},
        {"bitmap every 3rd", 2, Muster24(40, 20), 12, 6, 14, 7},
        {"rle8 every 2nd", 2, MusterRle8(16, 8), 8, 4, 8, 4},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        const auto b = Dekodiert(f.typ, f.daten, f.zw, f.zh);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->Raster.Width, f.rw);
        EXPECT_EQ(b->Raster.Height, f.rh);
        // The proportions and the headers' size stay those of the whole picture.
        const auto voll = Dekodiert(f.typ, f.daten);
        EXPECT_EQ(b->Masse, voll->Masse);
        if (f.typ != 2) continue;
        // A bitmap keeps exactly the pixels of every n-th column and row.
        const std::int32_t n = (voll->Raster.Width + f.rw - 1) / f.rw;
        for (std::int32_t y = 0; y < f.rh; ++y)
            for (std::int32_t x = 0; x < f.rw; ++x)
                ASSERT_EQ(b->Raster.At(x, y), voll->Raster.At(x * n, y * n)) << x << "," << y;
    }
}

// 64 bytes of RLE that say 20000 x 5000: the memory follows the size drawn.
TEST(Bildspeicher, HugeRleBitmapInASmallPlace) {
    Bytes palette(8, 0);
    palette[4] = 255;
    const Bytes bits = {0, 2, 200, 100, 255, 1, 0, 0, 255, 1, 0, 1};
    const Bytes d = Bmp(20000, 5000, 8, 1, palette, bits);
    const auto b = Dekodiert(2, d, 200, 50);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Raster.Width, 200);
    EXPECT_EQ(b->Raster.Height, 50);
    EXPECT_EQ(b->Masse.Width, 20000);
    EXPECT_LE(b->Raster.Pixels.size(), std::size_t(200 * 50 * 4));
}

TEST(Bildspeicher, CacheKeepsToItsBudgetDroppingTheLeastRecentlyDrawn) {
    kd::FormelListeTyp liste;
    for (int i = 0; i < 4; ++i) {
        auto f = std::make_unique<kd::TFormelBiblio>();
        f->BildTyp = 2;
        f->Bild = Muster24(100, 100);  // 40000 bytes decoded at full size
        liste.Add(std::move(f));
    }
    kd::ListenBilder bilder(liste, {}, 100000);  // room for two
    FixedMetricsDevice dc;
    const kd::TRect gross{0, 100, 100, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bilder.Groesse(i), (kd::TSize{100, 100}));
        bilder.Zeichnen(dc, i, gross);
        EXPECT_LE(bilder.Speicher(), 100000u) << i;
    }
    EXPECT_EQ(bilder.Dekodierungen(), 4);
    bilder.Zeichnen(dc, 3, gross);  // the most recent one is kept
    EXPECT_EQ(bilder.Dekodierungen(), 4);
    bilder.Zeichnen(dc, 0, gross);  // the oldest one was dropped
    EXPECT_EQ(bilder.Dekodierungen(), 5);
    // Drawn smaller, the picture decoded larger serves; drawn larger, it is decoded again.
    bilder.Zeichnen(dc, 0, {0, 10, 10, 0});
    EXPECT_EQ(bilder.Dekodierungen(), 5);
    kd::ListenBilder klein(liste);
    klein.Zeichnen(dc, 1, {0, 10, 10, 0});
    EXPECT_LE(klein.Speicher(), 10u * 10u * 4u + 1024u);
    klein.Zeichnen(dc, 1, gross);
    EXPECT_EQ(klein.Dekodierungen(), 2);
    ASSERT_FALSE(dc.CallsOf(Kind::DrawImage).empty());
    EXPECT_EQ(dc.CallsOf(Kind::DrawImage).back().points[2], (kd::TPoint{100, 100}));
}

TEST(Bildspeicher, ProgressiveJpegWithoutEndOfScansIsRefused) {
    const std::vector<jpeg_scan_info> viele = VieleScans();
    struct Fall {
        const char* was;
        Bytes daten;
        bool gelesen;
    };
    const Bytes progressiv = [] {
        // libjpeg's own progressive script: 6 scans for one component.
        jpeg_compress_struct c{};
        jpeg_error_mgr e{};
        c.err = jpeg_std_error(&e);
        jpeg_create_compress(&c);
        c.input_components = 1;
        c.in_color_space = JCS_GRAYSCALE;
        jpeg_set_defaults(&c);
        jpeg_simple_progression(&c);
        std::vector<jpeg_scan_info> s(c.scan_info, c.scan_info + c.num_scans);
        jpeg_destroy_compress(&c);
        return GrauJpeg(32, 32, &s);
    }();
    const Fall faelle[] = {
        {"baseline", GrauJpeg(32, 32, nullptr), true},
        {"progressive, libjpeg's script", progressiv, true},
        {"128 scans", GrauJpeg(32, 32, &viele), false},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Dekodiert(1, f.daten).has_value(), f.gelesen) << f.was;
        EXPECT_EQ(Dekodiert(1, f.daten, 4, 4).has_value(), f.gelesen) << f.was;
    }
}
