#pragma once
// JPEG pictures through libjpeg (libjpeg-turbo): decoding from memory into RGBA,
// reading only the header for the size, and encoding RGBA as a baseline JPEG.
//
// Errors of the library never leave it by exit() or a message on stderr: its error
// handler jumps back to a clean failure, its messages stay silent. Warnings (corrupt
// or truncated data) do not stop decoding: what the library could read is kept, the
// rest of the image is what the library fills in.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/device/Bild.h"

namespace kd {

// Decodes a JPEG file held in memory. Grayscale, YCbCr, RGB, CMYK and YCCK (Adobe)
// images become opaque RGBA. Empty when the data is no JPEG, the library fails, or
// the image exceeds the limits (checked before any pixel memory is taken).
std::optional<Bild> DekodiereJpeg(const std::uint8_t* data, std::size_t size,
                                  const BildGrenzen& grenzen = {});

// The size from the header alone (the physical size from the JFIF density in dots
// per inch or per centimetre, 0 without one). Empty as DekodiereJpeg would refuse the
// header.
std::optional<BildMasse> JpegMasse(const std::uint8_t* data, std::size_t size,
                                   const BildGrenzen& grenzen = {});

// Encodes the image as a JPEG file: 4:4:4 sampling (colours keep their full
// resolution), the given quality (1..100), a JFIF header at 96 dots per inch.
// Pixels that are not opaque are composed over white. Empty for an empty image or
// when the library fails.
std::vector<std::uint8_t> KodiereJpeg(const Bild& bild, int qualitaet = 90);

} // namespace kd
