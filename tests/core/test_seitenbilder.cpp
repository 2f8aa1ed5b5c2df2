// The pictures of a library's records as the page draws them: sizes and drawing by
// kind, one decoding per picture, and a cache that follows the records.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/library/Bibliothek.h"
#include "core/device/FixedMetricsDevice.h"
#include "core/page/Formelseite.h"
#include "core/pictures/Jpeg.h"
#include "core/pictures/Seitenbilder.h"
#include "core/device/Stile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using kd::FixedMetricsDevice;
using Kind = FixedMetricsDevice::Kind;

void Put16(Bytes& b, std::uint32_t v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void Put32(Bytes& b, std::uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }
void Worte(Bytes& b, std::initializer_list<int> w) {
    for (int v : w) Put16(b, std::uint32_t(v) & 0xFFFF);
}

Bytes Jpeg(int w, int h) {
    kd::Bild b;
    b.Create(w, h);
    return kd::KodiereJpeg(b);
}

// A w x h 24-bit Windows bitmap, all grey.
Bytes Bmp(int w, int h) {
    const int stride = (w * 3 + 3) / 4 * 4;
    Bytes bits(std::size_t(stride * h), 0x80);
    Bytes d{'B', 'M'};
    Put32(d, std::uint32_t(54 + bits.size()));
    Put32(d, 0);
    Put32(d, 54);
    Put32(d, 40);
    Put32(d, std::uint32_t(w));
    Put32(d, std::uint32_t(h));
    Worte(d, {1, 24});
    for (std::uint32_t v : {0u, std::uint32_t(bits.size()), 0u, 0u, 0u, 0u}) Put32(d, v);
    d.insert(d.end(), bits.begin(), bits.end());
    return d;
}

// A placeable metafile with a 1000 x 500 frame and one line.
Bytes Wmf() {
    Bytes d;
    Put32(d, 0x9AC6CDD7);
    Worte(d, {0, 0, 0, 1000, 500, 1000, 0, 0});
    std::uint16_t summe = 0;
    for (int i = 0; i < 10; ++i) summe ^= std::uint16_t(d[std::size_t(2 * i)] | d[std::size_t(2 * i + 1)] << 8);
    Put16(d, summe);
    Bytes recs;
    const auto satz = [&](std::uint16_t fn, std::initializer_list<int> w) {
        Put32(recs, std::uint32_t(3 + w.size()));
        Put16(recs, fn);
        Worte(recs, w);
    };
    satz(0x0214, {100, 100});  // MoveTo (y, x)
    satz(0x0213, {400, 900});  // LineTo
    Worte(d, {1, 9, 0x0300});
    Put32(d, std::uint32_t(9 + recs.size() / 2 + 3));
    Worte(d, {0, 0, 0, 0});
    d.insert(d.end(), recs.begin(), recs.end());
    Worte(d, {3, 0, 0});
    return d;
}

void Neu(kd::FormelListeTyp& l, const std::string& text, int typ = 0, Bytes bild = {}) {
    auto f = std::make_unique<kd::TFormelBiblio>();
    f->FormelText = text;
    f->BildTyp = typ;
    f->Bild = std::move(bild);
    l.Add(std::move(f));
}

TEST(ListenBilder, SizeAndDrawingByKind) {
    struct Fall {
        const char* was;
        int typ;
        Bytes daten;
        kd::TSize groesse;
        Kind zeichnet;  // GetPixel: draws nothing
    };
    Bytes kaputt = Jpeg(8, 8);
    kaputt.resize(40);
    const std::vector<Fall> faelle = {
        {"none", 0, {}, {0, 0}, Kind::GetPixel},
        {"jpeg", 1, Jpeg(40, 20), {40, 20}, Kind::DrawImage},
        {"bitmap", 2, Bmp(5, 10), {5, 10}, Kind::DrawImage},
        {"metafile", 3, Wmf(), {1000, 500}, Kind::LineTo},
        {"cut jpeg", 1, kaputt, {0, 0}, Kind::GetPixel},
        {"jpeg bytes as bitmap", 2, Jpeg(8, 8), {0, 0}, Kind::GetPixel},
        {"unknown kind", 7, Jpeg(8, 8), {0, 0}, Kind::GetPixel},
        {"kind without bytes", 1, {}, {0, 0}, Kind::GetPixel},
    };
    kd::FormelListeTyp liste;
    for (const auto& f : faelle) Neu(liste, "y=x", f.typ, f.daten);
    kd::ListenBilder bilder(liste);
    for (int i = 0; i < int(faelle.size()); ++i) {
        const Fall& f = faelle[std::size_t(i)];
        EXPECT_EQ(bilder.Groesse(i), f.groesse) << f.was;
        FixedMetricsDevice dc;
        bilder.Zeichnen(dc, i, {0, 1000, 300, 0});
        if (f.zeichnet == Kind::GetPixel) {
            EXPECT_TRUE(dc.Calls().empty()) << f.was;
        } else {
            EXPECT_FALSE(dc.CallsOf(f.zeichnet).empty()) << f.was;
        }
    }
    // The aspect ratio is kept: 40 x 20 into 300 x 1000 is 300 x 150, centred.
    FixedMetricsDevice dc;
    bilder.Zeichnen(dc, 1, {0, 1000, 300, 0});
    const auto bild = dc.CallsOf(Kind::DrawImage);
    ASSERT_EQ(bild.size(), 1u);
    EXPECT_EQ(bild[0].points[0], (kd::TPoint{0, 575}));
    EXPECT_EQ(bild[0].points[1], (kd::TPoint{300, 425}));
    // Out of range answers nothing.
    EXPECT_EQ(bilder.Groesse(-1), (kd::TSize{}));
    EXPECT_EQ(bilder.Groesse(int(faelle.size())), (kd::TSize{}));
}

TEST(ListenBilder, DecodesOncePerPictureAndFollowsTheRecords) {
    kd::FormelListeTyp liste;
    Neu(liste, "a=1", 1, Jpeg(16, 8));
    Neu(liste, "b=2");
    Neu(liste, "c=3", 2, Bmp(4, 4));
    kd::ListenBilder bilder(liste);
    // The sizes come from the headers; a picture is decoded when it is drawn.
    const auto alle = [&] {
        std::vector<kd::TSize> g;
        for (int i = 0; i < liste.Count(); ++i) g.push_back(bilder.Groesse(i));
        FixedMetricsDevice dc;
        for (int i = 0; i < liste.Count(); ++i) bilder.Zeichnen(dc, i, {0, 300, 300, 0});
        return g;
    };
    EXPECT_EQ(alle(), (std::vector<kd::TSize>{{16, 8}, {0, 0}, {4, 4}}));
    EXPECT_EQ(bilder.Dekodierungen(), 2);
    alle();
    alle();
    EXPECT_EQ(bilder.Dekodierungen(), 2) << "repaints reuse the decoded pictures";

    liste.Exchange(0, 2);  // moving records keeps their pictures
    EXPECT_EQ(alle(), (std::vector<kd::TSize>{{4, 4}, {0, 0}, {16, 8}}));
    EXPECT_EQ(bilder.Dekodierungen(), 2);

    liste[1]->BildTyp = 1;  // a picture added to a record
    liste[1]->Bild = Jpeg(30, 60);
    const Bytes gleiche = liste[0]->Bild;
    liste[0]->Bild = gleiche;  // the same bytes written again: nothing to decode
    EXPECT_EQ(alle(), (std::vector<kd::TSize>{{4, 4}, {30, 60}, {16, 8}}));
    EXPECT_EQ(bilder.Dekodierungen(), 3);

    liste[1]->Bild = Jpeg(60, 30);  // replaced in place by one of another size
    EXPECT_EQ(bilder.Groesse(1), (kd::TSize{60, 30}));
    EXPECT_EQ(bilder.Dekodierungen(), 3) << "the size needs no decoding";
    alle();
    EXPECT_EQ(bilder.Dekodierungen(), 4);

    liste[2]->BildTyp = 0;  // picture removed
    liste[2]->Bild.clear();
    EXPECT_EQ(bilder.Groesse(2), (kd::TSize{}));

    liste.DeleteItem(0);
    liste.DeleteItem(0);
    Neu(liste, "d=4", 1, Jpeg(2, 2));
    Neu(liste, "e=5", 1, Jpeg(3, 3));
    alle();
    EXPECT_LE(bilder.Zwischengespeichert(), std::size_t(liste.Count()))
        << "records that left the list leave the cache";

    bilder.Ungueltig();
    const int vorher = bilder.Dekodierungen();
    EXPECT_EQ(alle(), (std::vector<kd::TSize>{{0, 0}, {2, 2}, {3, 3}}));
    EXPECT_EQ(bilder.Dekodierungen(), vorher + 2);
}

TEST(ListenBilder, PageReservesTheColumnAndDrawsThePicture) {
    kd::FormelListeTyp liste;
    Neu(liste, "y=x");
    Neu(liste, "z=1", 1, Jpeg(10, 40));
    std::vector<std::string> texte{"y=x", "z=1"};
    kd::ListenBilder bilder(liste);
    kd::TFormelseite seite;
    FixedMetricsDevice dc;
    seite.Zeichnen(dc, texte, std::make_shared<kd::TFormStyles>(), &bilder);
    EXPECT_EQ(seite.BildBreite, kd::TFormelseite::RandMitBild);
    const auto bild = dc.CallsOf(Kind::DrawImage);
    ASSERT_EQ(bild.size(), 1u);
    // The column is 323 wide; the picture 4 times as tall as wide.
    EXPECT_EQ(bild[0].points[0].x, 0);
    EXPECT_EQ(bild[0].points[1].x, 323);
    EXPECT_EQ(bild[0].points[0].y - bild[0].points[1].y, 1292);
    // The block of the second formula grows to the picture's height.
    EXPECT_EQ(seite.FormelPos[0].Unterkante - seite.FormelPos[1].Unterkante, 1292 + 100);
}

} // namespace
