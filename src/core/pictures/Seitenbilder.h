#pragma once
// ListenBilder: the pictures of a library's records as the formula page draws them.
// Each record's picture is decoded once (DekodiereBild) and kept; the page asks for its
// size on every paint and draws it into the rectangle of the picture column, aspect
// ratio kept (ZeichneBild). The window, printing and the command line's render use the
// same pictures, so a JPEG, a bitmap and a metafile look alike everywhere.
//
// The cache follows the records: it is keyed by the record, and an entry is decoded
// again when the record's picture kind, bytes (address, size or a sample of them)
// change. Records that left the list are dropped from the cache. Whoever rewrites a
// picture's bytes in place without changing their size may call Ungueltig to be sure.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "core/library/Bibliothek.h"
#include "core/page/Formelseite.h"
#include "core/pictures/Bilder.h"

namespace kd {

class ListenBilder final : public Seitenbilder {
public:
    // `liste` must outlive this object; its contents may change between calls.
    explicit ListenBilder(const FormelListeTyp& liste, const BildGrenzen& grenzen = {});

    // Size of record i's decoded picture (pixels; a metafile's frame units); 0 x 0 for
    // a record without a picture, with a picture that does not decode, or out of range.
    TSize Groesse(int i) override;
    // Draws record i's picture into r, aspect kept; nothing for a record without one.
    void Zeichnen(Device& dc, int i, const TRect& r) override;

    // The decoded picture of record i, or nullptr.
    const Bildinhalt* Inhalt(int i);

    // Forgets every decoded picture.
    void Ungueltig();

    // How many pictures were decoded so far (each decoding attempt counts once).
    int Dekodierungen() const { return dekodierungen_; }
    // Records held in the cache.
    std::size_t Zwischengespeichert() const { return cache_.size(); }

private:
    struct Eintrag {
        std::int32_t Typ = 0;
        const std::uint8_t* Daten = nullptr;
        std::size_t Groesse = 0;
        std::uint64_t Probe = 0;
        std::optional<Bildinhalt> Inhalt;
    };
    const Eintrag* Holen(int i);
    void Aufraeumen();

    const FormelListeTyp& liste_;
    BildGrenzen grenzen_;
    std::unordered_map<const TFormelBiblio*, Eintrag> cache_;
    int dekodierungen_ = 0;
};

} // namespace kd
