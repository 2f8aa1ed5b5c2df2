#pragma once
// ListenBilder: the pictures of a library's records as the formula page draws them.
// The page asks for a picture's size on every layout and paint: that comes from the
// picture's headers alone (BildGroesse), so a library of large photos lays out without
// decoding any. A picture is decoded when it is drawn, at the size it is drawn in device
// pixels (a JPEG in eighths, a bitmap by taking every n-th pixel), and kept for the next
// paint; a larger drawing decodes it again, larger. The decoded pictures together keep
// below a memory budget: the least recently drawn are dropped first. The window,
// printing and the command line's render use the same pictures, so a JPEG, a bitmap
// and a metafile look alike everywhere.
//
// The cache follows the records: it is keyed by the record, and an entry is read again
// when the record's picture kind, bytes (address, size or a sample of them) change.
// Records that left the list are dropped from the cache. Whoever rewrites a picture's
// bytes in place without changing their size may call Ungueltig to be sure.
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
    // What all decoded pictures of one ListenBilder may take together (bytes).
    static constexpr std::size_t StandardSpeicher = std::size_t(256) << 20;

    // `liste` must outlive this object; its contents may change between calls.
    explicit ListenBilder(const FormelListeTyp& liste, const BildGrenzen& grenzen = {},
                          std::size_t speicher = StandardSpeicher);

    // Size of record i's picture from its headers (pixels; a metafile's frame units);
    // 0 x 0 for a record without a picture, with headers that do not read, with a
    // picture known not to decode, or out of range.
    TSize Groesse(int i) override;
    // Draws record i's picture into r, aspect kept, decoded for the size r has on `dc`;
    // nothing for a record without one.
    void Zeichnen(Device& dc, int i, const TRect& r) override;
    // Record i's picture decoded at full size (not kept), or nothing.
    std::optional<Bildinhalt> Inhalt(int i) const;
    // Forgets every picture.
    void Ungueltig();
    // How many pictures were decoded so far (each decoding attempt counts once).
    int Dekodierungen() const { return dekodierungen_; }
    // Records held in the cache.
    std::size_t Zwischengespeichert() const { return cache_.size(); }
    // Bytes the decoded pictures take now.
    std::size_t Speicher() const { return belegt_; }

private:
    struct Eintrag {
        std::int32_t Typ = 0;
        const std::uint8_t* Daten = nullptr;
        std::size_t Groesse = 0;
        std::uint64_t Probe = 0;
        std::optional<BildMasse> Masse;    // from the headers
        bool Dekodiert = false;            // Inhalt holds the last decoding's result
        std::optional<Bildinhalt> Inhalt;  // decoded for ZielBreite x ZielHoehe
        std::int32_t ZielBreite = 0, ZielHoehe = 0;
        std::size_t Bytes = 0;             // what Inhalt takes
        std::uint64_t Benutzt = 0;         // when last drawn
    };
    Eintrag* Holen(int i);
    void Aufraeumen();
    void Freigeben(Eintrag& e);
    void Begrenzen(const Eintrag* behalten);

    const FormelListeTyp& liste_;
    BildGrenzen grenzen_;
    std::size_t speicher_;
    std::size_t belegt_ = 0;
    std::uint64_t uhr_ = 0;
    std::unordered_map<const TFormelBiblio*, Eintrag> cache_;
    int dekodierungen_ = 0;
};

} // namespace kd
