#pragma once
// kd::Bild — a plain raster image: width, height and RGBA pixels (8 bits each,
// rows top to bottom, no padding). The decoders of the picture formats fill it;
// the drawing devices draw it.
//
// Every decoder works within BildGrenzen: an image larger than the limits is refused
// before any pixel memory is taken, so bad input never allocates more than the limits
// allow.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kd {

struct Bild {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint8_t> Pixels;  // 4 × Width × Height bytes: R, G, B, A

    bool Empty() const { return Width <= 0 || Height <= 0; }

    // The pixel at (x, y) as 0xAABBGGRR (R in the lowest byte, as a TColor with
    // alpha above it); 0 outside the image.
    std::uint32_t At(std::int32_t x, std::int32_t y) const;
    void Set(std::int32_t x, std::int32_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
             std::uint8_t a = 255);

    // Makes a w × h image of opaque white; false (and empty) when the size is not
    // positive.
    bool Create(std::int32_t w, std::int32_t h);
};

// How large a decoded image may be, and how large it is needed.
struct BildGrenzen {
    std::int32_t MaxSide = 20000;          // pixels per side
    std::int64_t MaxPixels = 100'000'000;  // width × height
    // The size the picture is drawn at, in device pixels (0 = full size). A decoder that
    // can deliver a smaller image (JPEG in eighths, bitmaps by taking every n-th pixel)
    // delivers the smallest one at least this large, so memory follows what is shown.
    std::int32_t ZielBreite = 0;
    std::int32_t ZielHoehe = 0;
};

// The step n (1, 2, 3 ...) so that every n-th pixel of a w × h image still covers the
// target of `g`; 1 without a target.
inline std::int32_t Unterabtastung(std::int64_t w, std::int64_t h, const BildGrenzen& g) {
    if (g.ZielBreite <= 0 || g.ZielHoehe <= 0) return 1;
    std::int64_t n = std::min(w / g.ZielBreite, h / g.ZielHoehe);
    return std::int32_t(std::clamp<std::int64_t>(n, 1, 1 << 14));
}

// Whether a w × h image fits the limits (both sides at least 1).
inline bool InnerhalbGrenzen(std::int64_t w, std::int64_t h, const BildGrenzen& g) {
    return w >= 1 && h >= 1 && w <= g.MaxSide && h <= g.MaxSide && w * h <= g.MaxPixels;
}

// The size of a picture: in pixels (for a metafile: in the units of its frame), and
// the physical size in 0.1 mm where the file says so (0 otherwise).
struct BildMasse {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t WidthMM10 = 0;
    std::int32_t HeightMM10 = 0;
    friend bool operator==(const BildMasse&, const BildMasse&) = default;
};

} // namespace kd
