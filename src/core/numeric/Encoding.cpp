#include "Encoding.h"

namespace kd {

namespace {
// 0x80..0x9F of Windows-1252; undefined positions keep their C1 value.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

void AppendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

char32_t Cp1252ToUnicode(unsigned char c) {
    if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80];
    return c;
}

int UnicodeToCp1252(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return 0x80 + i;
    return -1;
}

std::string Cp1252ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (unsigned char c : s) AppendUtf8(out, Cp1252ToUnicode(c));
    return out;
}

bool Utf8ToCp1252(std::string_view s, std::string& out) {
    out.clear();
    bool ok = true;
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t u;
        std::size_t n;
        if (c < 0x80) { u = c; n = 1; }
        else if ((c & 0xE0) == 0xC0) { u = c & 0x1F; n = 2; }
        else if ((c & 0xF0) == 0xE0) { u = c & 0x0F; n = 3; }
        else if ((c & 0xF8) == 0xF0) { u = c & 0x07; n = 4; }
        else { out += '?'; ok = false; ++i; continue; }
        if (i + n > s.size()) { out += '?'; ok = false; break; }
        bool bad = false;
        for (std::size_t k = 1; k < n; ++k) {
            unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) { bad = true; break; }
            u = (u << 6) | (d & 0x3F);
        }
        if (bad) { out += '?'; ok = false; ++i; continue; }
        i += n;
        int b = UnicodeToCp1252(u);
        if (b < 0) { out += '?'; ok = false; }
        else out += static_cast<char>(b);
    }
    return ok;
}

} // namespace kd
