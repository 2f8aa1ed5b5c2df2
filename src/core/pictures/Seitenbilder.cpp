#include "core/pictures/Seitenbilder.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <unordered_set>

namespace kd {

namespace {

// A cheap fingerprint of a picture's bytes: its size, its first and last 64 bytes and
// 256 bytes spread over the rest (FNV-1a). Enough to notice a picture replaced by
// another of the same size without reading every byte on each paint.
std::uint64_t Probe(const std::vector<std::uint8_t>& d) {
    std::uint64_t h = 1469598103934665603ull;
    const auto mische = [&h](std::uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    mische(d.size());
    const std::size_t n = d.size();
    const std::size_t rand = std::min<std::size_t>(n, 64);
    for (std::size_t k = 0; k < rand; ++k) mische(d[k]);
    for (std::size_t k = n - rand; k < n; ++k) mische(d[k]);
    if (n > 128) {
        const std::size_t schritt = std::max<std::size_t>(1, (n - 128) / 256);
        for (std::size_t k = 64; k < n - 64; k += schritt) mische(d[k]);
    }
    return h;
}

bool HatBild(const TFormelBiblio& f) {
    return (f.BildTyp == BildJpeg || f.BildTyp == BildBitmap || f.BildTyp == BildMetadatei) &&
           !f.Bild.empty();
}

} // namespace

// What a decoded picture takes in memory (its pixels; a metafile its records, roughly).
static std::size_t BytesVon(const std::optional<Bildinhalt>& b) {
    if (!b) return 0;
    return b->Raster.Pixels.capacity() + (b->Vektor ? sizeof(Metadatei) + 64 : 0) + sizeof(Bildinhalt);
}

ListenBilder::ListenBilder(const FormelListeTyp& liste, const BildGrenzen& grenzen, std::size_t speicher)
    : liste_(liste), grenzen_(grenzen), speicher_(speicher) {}

void ListenBilder::Ungueltig() {
    cache_.clear();
    belegt_ = 0;
}

void ListenBilder::Freigeben(Eintrag& e) {
    belegt_ -= e.Bytes;
    e.Bytes = 0;
    e.Inhalt.reset();
    e.Dekodiert = false;
}

void ListenBilder::Aufraeumen() {
    std::unordered_set<const TFormelBiblio*> da;
    for (const auto& f : liste_) da.insert(f.get());
    for (auto it = cache_.begin(); it != cache_.end();) {
        if (da.contains(it->first)) {
            ++it;
        } else {
            belegt_ -= it->second.Bytes;
            it = cache_.erase(it);
        }
    }
}

// Drops the least recently drawn pictures until the rest fits the budget (the one just
// drawn stays, even alone over it).
void ListenBilder::Begrenzen(const Eintrag* behalten) {
    while (belegt_ > speicher_) {
        Eintrag* aeltester = nullptr;
        for (auto& [f, e] : cache_)
            if (&e != behalten && e.Bytes && (!aeltester || e.Benutzt < aeltester->Benutzt)) aeltester = &e;
        if (!aeltester) break;
        Freigeben(*aeltester);
    }
}

ListenBilder::Eintrag* ListenBilder::Holen(int i) {
    if (i < 0 || i >= liste_.Count()) return nullptr;
    const TFormelBiblio* f = liste_[i];
    if (!f || !HatBild(*f)) return nullptr;
    // Entries of records that were deleted are dropped before the table grows past
    // the list, so a long session never keeps more pictures than the library has.
    if (cache_.size() >= std::size_t(liste_.Count()) && !cache_.contains(f)) Aufraeumen();
    Eintrag& e = cache_[f];
    const std::uint64_t probe = Probe(f->Bild);
    const bool gleich = e.Daten == f->Bild.data() && e.Groesse == f->Bild.size() &&
                        e.Typ == f->BildTyp && e.Probe == probe && e.Daten;
    if (!gleich) {
        Freigeben(e);
        e.Typ = f->BildTyp;
        e.Daten = f->Bild.data();
        e.Groesse = f->Bild.size();
        e.Probe = probe;
        e.Masse = BildGroesse(f->BildTyp, f->Bild, grenzen_);
        e.ZielBreite = e.ZielHoehe = 0;
    }
    return &e;
}

std::optional<Bildinhalt> ListenBilder::Inhalt(int i) const {
    if (i < 0 || i >= liste_.Count()) return std::nullopt;
    const TFormelBiblio* f = liste_[i];
    if (!f || !HatBild(*f)) return std::nullopt;
    return DekodiereBild(f->BildTyp, f->Bild, grenzen_);
}

TSize ListenBilder::Groesse(int i) {
    const Eintrag* e = Holen(i);
    if (!e || !e->Masse || e->Masse->Width <= 0 || e->Masse->Height <= 0) return {};
    if (e->Dekodiert && !e->Inhalt) return {};  // the headers read, the picture did not
    return {e->Masse->Width, e->Masse->Height};
}

void ListenBilder::Zeichnen(Device& dc, int i, const TRect& r) {
    Eintrag* e = Holen(i);
    if (!e || !e->Masse) return;
    // The device pixels the picture covers, its aspect kept.
    const TRect ziel = Einpassen(*e->Masse, r);
    const TPoint a = dc.LPtoDP({ziel.Left, ziel.Top}), b = dc.LPtoDP({ziel.Right, ziel.Bottom});
    const std::int64_t bw = std::llabs(std::int64_t(b.x) - a.x), bh = std::llabs(std::int64_t(b.y) - a.y);
    const std::int32_t zw = std::int32_t(std::clamp<std::int64_t>(bw, 1, 1 << 20));
    const std::int32_t zh = std::int32_t(std::clamp<std::int64_t>(bh, 1, 1 << 20));
    // Decoded again only when drawn larger than the last decoding covers (a picture that
    // did not decode is not tried again).
    const bool reicht = e->Dekodiert && (!e->Inhalt || (e->ZielBreite >= zw && e->ZielHoehe >= zh));
    if (!reicht) {
        Freigeben(*e);
        BildGrenzen g = grenzen_;
        g.ZielBreite = zw;
        g.ZielHoehe = zh;
        e->Inhalt = DekodiereBild(e->Typ, std::span(e->Daten, e->Groesse), g);
        e->Dekodiert = true;
        e->ZielBreite = zw;
        e->ZielHoehe = zh;
        e->Bytes = BytesVon(e->Inhalt);
        belegt_ += e->Bytes;
        ++dekodierungen_;
    }
    e->Benutzt = ++uhr_;
    if (e->Inhalt) ZeichneBild(dc, *e->Inhalt, r);
    Begrenzen(e);
}

} // namespace kd
