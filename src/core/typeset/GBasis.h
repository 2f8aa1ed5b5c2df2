#pragma once
// Drawing base: the shape every drawing object derives from. The element tree of a
// formula, its text leaves and its signs are all TDLine objects.
#include <cstdint>

#include "core/page/Device.h"  // TRect, TPoint

namespace kd {

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
