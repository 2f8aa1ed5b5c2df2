#pragma once
// Windows bitmaps: a BMP file (BITMAPFILEHEADER and a DIB) or a packed DIB as it
// lies inside a metafile (the header, the colour masks, the palette, the bits).
//
// Headers: BITMAPCOREHEADER (12 bytes, 3-byte palette entries), the OS/2 2.x header
// of 16 or 64 bytes, BITMAPINFOHEADER (40), its V2/V3 forms (52, 56), V4 (108) and
// V5 (124). Bit depths 1, 2, 4, 8 (palette), 16, 24, 32; BI_RGB, BI_BITFIELDS and
// BI_ALPHABITFIELDS for 16 and 32 bits, RLE8 and RLE4. Rows bottom-up or top-down
// (a negative height). Every length and offset is checked against the data; an image
// beyond the limits is refused before pixel memory is taken, and uncompressed bits
// must all be there (so their memory is bounded by the input too).
//
// Pixels an RLE bitmap leaves out (skipped by a delta, an early end of line or of
// the bitmap) are transparent; a 32-bit bitmap is opaque unless it has an alpha mask
// and some pixel's alpha is not zero.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/device/Bild.h"

namespace kd {

// What a DIB's header tells beyond the pixels.
struct DibInfo {
    bool BottomUp = true;           // rows stored from the bottom
    std::int32_t PelsPerMeterX = 0;  // 0 when the header does not say
    std::int32_t PelsPerMeterY = 0;
};

// A BMP file ("BM", the file header, a DIB).
std::optional<Bild> DekodiereBmp(const std::uint8_t* data, std::size_t size,
                                 const BildGrenzen& grenzen = {}, DibInfo* info = nullptr);

// A packed DIB: the bits follow the header, the masks and the palette directly.
std::optional<Bild> DekodiereDib(const std::uint8_t* data, std::size_t size,
                                 const BildGrenzen& grenzen = {}, DibInfo* info = nullptr);

// The size from the headers alone; the physical size from the pixels per metre.
std::optional<BildMasse> BmpMasse(const std::uint8_t* data, std::size_t size,
                                  const BildGrenzen& grenzen = {});

} // namespace kd
