#pragma once
// The picture of a library record by its kind (BildTyp): 1 JPEG, 2 Windows bitmap,
// 3 Windows metafile; the bytes are those of the picture file.
//
// A decoded picture (Bildinhalt) is either a raster image or a metafile; drawing it
// into a rectangle of the page keeps its aspect ratio — a raster image through
// Device::DrawImage, a metafile as vectors through its records.
#include <cstdint>
#include <optional>
#include <span>

#include "core/device/Device.h"
#include "core/device/Bild.h"
#include "core/pictures/Wmf.h"

namespace kd {

inline constexpr std::int32_t BildJpeg = 1, BildBitmap = 2, BildMetadatei = 3;

struct Bildinhalt {
    std::int32_t Typ = 0;
    Bild Raster;                       // JPEG and bitmap
    std::optional<Metadatei> Vektor;   // metafile
    BildMasse Masse;
};

// Decodes the picture of the kind. Empty for another kind and for data the decoder
// of the kind refuses.
std::optional<Bildinhalt> DekodiereBild(std::int32_t bildTyp, std::span<const std::uint8_t> daten,
                                        const BildGrenzen& grenzen = {});

// The size of the picture from its headers (a metafile's records are walked, its
// bitmaps not decoded). Empty where DekodiereBild would refuse the headers.
std::optional<BildMasse> BildGroesse(std::int32_t bildTyp, std::span<const std::uint8_t> daten,
                                     const BildGrenzen& grenzen = {});

// The height a picture of this size gets at the given width, its aspect ratio kept:
// round(height × breite / width); 0 for a picture without width.
std::int32_t HoeheBeiBreite(const BildMasse& masse, std::int32_t breite);

// The largest rectangle of the picture's aspect ratio centred in the target (y up).
// The target itself for a picture without size.
TRect Einpassen(const BildMasse& masse, const TRect& ziel);

// Draws the picture into the target rectangle (logical units, y up), aspect kept.
void ZeichneBild(Device& dc, const Bildinhalt& bild, const TRect& ziel);

} // namespace kd
