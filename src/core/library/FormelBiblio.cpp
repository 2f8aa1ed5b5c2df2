#include "FormelBiblio.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/Types.h"

namespace kd {

namespace {

// The notice written into the Hinweis field of every record this program creates.
constexpr char kHinweis[] = "KALDORA Formelsammlung";
static_assert(sizeof(kHinweis) - 1 <= 40, "the notice must fit the 40 characters of Hinweis");

// Pictures are read in pieces, so memory only grows with bytes actually present.
constexpr std::size_t kBildStueck = 64 * 1024;

bool Fehler(std::string* fehler, const std::string& text) {
    if (fehler) *fehler = text;
    return false;
}

} // namespace

TFormelBiblio::TFormelBiblio() {
    constexpr std::size_t n = sizeof(kHinweis) - 1;
    Hinweis[0] = static_cast<std::uint8_t>(n);
    std::memcpy(Hinweis.data() + 1, kHinweis, n);
}

std::string TFormelBiblio::HinweisText() const {
    std::size_t n = std::min<std::size_t>(Hinweis[0], Hinweis.size() - 1);
    return std::string(reinterpret_cast<const char*>(Hinweis.data() + 1), n);
}

bool TFormelBiblio::FormelBiblioLesen(BufferedReader& r, std::string* fehler) {
    const std::string frueh = "Datei endet vorzeitig";
    if (!r.ReadI32(Kennzahl) || !r.Read(Hinweis.data(), Hinweis.size()) || !r.ReadI32(BildTyp))
        return Fehler(fehler, frueh);

    Bild.clear();
    if (BildTyp > 0) {
        std::int32_t s = 0;
        if (!r.ReadI32(s)) return Fehler(fehler, frueh);
        if (s < 0)
            return Fehler(fehler, "ung\xFCltige Bildgr\xF6\xDF" "e " + std::to_string(s));
        const std::uint64_t rest = r.Remaining();
        if (rest != std::numeric_limits<std::uint64_t>::max() && std::uint64_t(s) > rest)
            return Fehler(fehler, frueh + ": Bild von " + std::to_string(s) +
                                      " Bytes, aber nur noch " + std::to_string(rest) +
                                      " Bytes in der Datei");
        std::size_t gelesen = 0;
        const auto groesse = static_cast<std::size_t>(s);
        while (gelesen < groesse) {
            const std::size_t k = std::min(kBildStueck, groesse - gelesen);
            Bild.resize(gelesen + k);
            if (!r.Read(Bild.data() + gelesen, k)) {
                Bild.clear();
                return Fehler(fehler, frueh);
            }
            gelesen += k;
        }
    }

    // The text: value kind 6 (length byte) or 12 (32-bit length).
    std::uint8_t art = 0;
    if (!r.ReadU8(art)) return Fehler(fehler, frueh);
    std::uint64_t laenge = 0;
    if (art == 6) {
        std::uint8_t l = 0;
        if (!r.ReadU8(l)) return Fehler(fehler, frueh);
        laenge = l;
    } else if (art == 12) {
        std::int32_t l = 0;
        if (!r.ReadI32(l)) return Fehler(fehler, frueh);
        if (l < 0) return Fehler(fehler, "ung\xFCltige Textl\xE4nge " + std::to_string(l));
        laenge = static_cast<std::uint64_t>(l);
    } else {
        return Fehler(fehler, "unbekannte Textart " + std::to_string(art) +
                                  " (erwartet 6 oder 12)");
    }
    const std::uint64_t rest = r.Remaining();
    if (rest != std::numeric_limits<std::uint64_t>::max() && laenge > rest)
        return Fehler(fehler, frueh);
    const auto behalten =
        static_cast<std::size_t>(std::min<std::uint64_t>(laenge, KurzerStringMax));
    std::string text(behalten, '\0');
    if (!r.Read(text.data(), behalten)) return Fehler(fehler, frueh);
    // Characters beyond the 255 of a short string are read and dropped.
    char weg[256];
    for (std::uint64_t uebrig = laenge - behalten; uebrig > 0;) {
        const auto k = static_cast<std::size_t>(std::min<std::uint64_t>(uebrig, sizeof weg));
        if (!r.Read(weg, k)) return Fehler(fehler, frueh);
        uebrig -= k;
    }
    FormelText = std::move(text);
    return true;
}

void TFormelBiblio::FormelBiblioSchreiben(BufferedWriter& w) const {
    w.WriteI32(Kennzahl);
    w.Write(Hinweis.data(), Hinweis.size());
    w.WriteI32(BildTyp);
    if (BildTyp > 0) {
        // A picture cannot be larger than the 32-bit size field; such a record is never
        // produced by reading, and writing it cut keeps the file readable.
        const std::size_t n =
            std::min<std::size_t>(Bild.size(), std::numeric_limits<std::int32_t>::max());
        w.WriteI32(static_cast<std::int32_t>(n));
        w.Write(Bild.data(), n);
    }
    // Always kind 6: the text is a short string of at most 255 characters.
    const std::size_t l = std::min(FormelText.size(), KurzerStringMax);
    w.WriteU8(6);
    w.WriteU8(static_cast<std::uint8_t>(l));
    w.Write(FormelText.data(), l);
}

} // namespace kd
