#include "core/device/Bild.h"

namespace kd {

std::uint32_t Bild::At(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
    const std::size_t i = (std::size_t(y) * std::size_t(Width) + std::size_t(x)) * 4;
    if (i + 4 > Pixels.size()) return 0;
    return std::uint32_t(Pixels[i]) | std::uint32_t(Pixels[i + 1]) << 8 |
           std::uint32_t(Pixels[i + 2]) << 16 | std::uint32_t(Pixels[i + 3]) << 24;
}

void Bild::Set(std::int32_t x, std::int32_t y, std::uint8_t r, std::uint8_t g,
               std::uint8_t b, std::uint8_t a) {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return;
    const std::size_t i = (std::size_t(y) * std::size_t(Width) + std::size_t(x)) * 4;
    if (i + 4 > Pixels.size()) return;
    Pixels[i] = r;
    Pixels[i + 1] = g;
    Pixels[i + 2] = b;
    Pixels[i + 3] = a;
}

bool Bild::Create(std::int32_t w, std::int32_t h) {
    if (w <= 0 || h <= 0) {
        Width = Height = 0;
        Pixels.clear();
        return false;
    }
    Width = w;
    Height = h;
    Pixels.assign(std::size_t(w) * std::size_t(h) * 4, 0xFF);
    return true;
}

} // namespace kd
