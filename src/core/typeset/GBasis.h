#pragma once
// Drawing base: the shape every drawing object derives from. The element tree of a
// formula, its text leaves and its signs are all TDLine objects.
#include <cstdint>

namespace kd {

struct TRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TDLine {
public:
    TDLine() = default;
    explicit TDLine(std::uint32_t tag) : Tag(tag) {}
    virtual ~TDLine() = default;
    TDLine(const TDLine&) = delete;
    TDLine& operator=(const TDLine&) = delete;

    TRect Rect;
    std::uint32_t Tag = 0;
    std::int32_t LayerNo = 0;
    std::uint32_t LayerVisible = 1;
};

} // namespace kd
