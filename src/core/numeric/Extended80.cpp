#include "Extended80.h"

#include <cstring>

namespace kd {

// On x86-64 a long double is the x87 format in its first ten bytes (the rest is
// padding), so the codec is a copy; Types.h asserts the format.
void ExtendedToBytes(Extended v, std::uint8_t out[10]) {
    unsigned char raw[sizeof(Extended)] = {};
    std::memcpy(raw, &v, sizeof v);
    std::memcpy(out, raw, 10);
}

Extended BytesToExtended(const std::uint8_t in[10]) {
    unsigned char raw[sizeof(Extended)] = {};
    std::memcpy(raw, in, 10);
    Extended v;
    std::memcpy(&v, raw, sizeof v);
    return v;
}

} // namespace kd
