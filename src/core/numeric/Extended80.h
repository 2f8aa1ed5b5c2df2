#pragma once
// The 10-byte x87 extended format of stream records: 64-bit mantissa with explicit
// integer bit, then 15-bit exponent and sign, little-endian.
#include <cstdint>

#include "core/Types.h"

namespace kd {

void ExtendedToBytes(Extended v, std::uint8_t out[10]);
Extended BytesToExtended(const std::uint8_t in[10]);

} // namespace kd
