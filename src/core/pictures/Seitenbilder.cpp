#include "core/pictures/Seitenbilder.h"

#include <algorithm>
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

ListenBilder::ListenBilder(const FormelListeTyp& liste, const BildGrenzen& grenzen)
    : liste_(liste), grenzen_(grenzen) {}

void ListenBilder::Ungueltig() { cache_.clear(); }

void ListenBilder::Aufraeumen() {
    std::unordered_set<const TFormelBiblio*> da;
    for (const auto& f : liste_) da.insert(f.get());
    std::erase_if(cache_, [&](const auto& e) { return !da.contains(e.first); });
}

const ListenBilder::Eintrag* ListenBilder::Holen(int i) {
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
        e.Typ = f->BildTyp;
        e.Daten = f->Bild.data();
        e.Groesse = f->Bild.size();
        e.Probe = probe;
        e.Inhalt = DekodiereBild(f->BildTyp, f->Bild, grenzen_);
        ++dekodierungen_;
    }
    return &e;
}

const Bildinhalt* ListenBilder::Inhalt(int i) {
    const Eintrag* e = Holen(i);
    return e && e->Inhalt ? &*e->Inhalt : nullptr;
}

TSize ListenBilder::Groesse(int i) {
    const Bildinhalt* b = Inhalt(i);
    if (!b || b->Masse.Width <= 0 || b->Masse.Height <= 0) return {};
    return {b->Masse.Width, b->Masse.Height};
}

void ListenBilder::Zeichnen(Device& dc, int i, const TRect& r) {
    if (const Bildinhalt* b = Inhalt(i)) ZeichneBild(dc, *b, r);
}

} // namespace kd
