#pragma once
// One formula of a library: its text and an optional picture, and its file record.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Stream.h"

namespace kd {

class TFormelBiblio {
public:
    static constexpr std::int32_t StandardKennzahl = 600;

    std::int32_t Kennzahl = StandardKennzahl;
    // The whole 41-byte short-string field: length byte (0..40), then 40 bytes.
    std::array<std::uint8_t, 41> Hinweis{};
    // 0 none, 1 JPEG, 2 bitmap, 3 metafile; other values keep their bytes unchanged.
    std::int32_t BildTyp = 0;
    // The picture exactly as the bytes of its picture file (empty when BildTyp <= 0).
    std::vector<std::uint8_t> Bild;
    // Formula text (Windows-1252, at most 255 characters).
    std::string FormelText;

    TFormelBiblio();  // Kennzahl 600, the maker's notice, no picture, empty text
    virtual ~TFormelBiblio() = default;

    // The text part of Hinweis (its first length bytes).
    std::string HinweisText() const;

    // Reads one record. On an early end, an impossible picture size or a text kind
    // other than 6 and 12 it returns false and sets *fehler to a German reason.
    bool FormelBiblioLesen(BufferedReader& r, std::string* fehler);
    void FormelBiblioSchreiben(BufferedWriter& w) const;
};

} // namespace kd
