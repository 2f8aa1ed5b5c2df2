#pragma once
// The record layer of a Windows metafile, shared by its reader (Wmf.cpp) and its
// player (WmfSpieler.cpp): record functions and modes, the limits the player keeps,
// little-endian access and the walk over the records.
#include <cstddef>
#include <cstdint>

namespace kd::wmf {

// Record functions.
constexpr std::uint16_t META_EOF = 0x0000, META_SAVEDC = 0x001E, META_RESTOREDC = 0x0127,
    META_SETBKCOLOR = 0x0201, META_SETBKMODE = 0x0102, META_SETMAPMODE = 0x0103,
    META_SETPOLYFILLMODE = 0x0106, META_SETTEXTALIGN = 0x012E, META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C, META_OFFSETWINDOWORG = 0x020F,
    META_SCALEWINDOWEXT = 0x0410, META_MOVETO = 0x0214, META_LINETO = 0x0213,
    META_RECTANGLE = 0x041B, META_ROUNDRECT = 0x061C, META_ELLIPSE = 0x0418, META_ARC = 0x0817,
    META_PIE = 0x081A, META_CHORD = 0x0830, META_POLYGON = 0x0324, META_POLYLINE = 0x0325,
    META_POLYPOLYGON = 0x0538, META_TEXTOUT = 0x0521, META_EXTTEXTOUT = 0x0A32,
    META_CREATEPENINDIRECT = 0x02FA, META_CREATEBRUSHINDIRECT = 0x02FC,
    META_CREATEFONTINDIRECT = 0x02FB, META_SELECTOBJECT = 0x012D, META_DELETEOBJECT = 0x01F0,
    META_CREATEPALETTE = 0x00F7, META_CREATEPATTERNBRUSH = 0x01F9, META_CREATEREGION = 0x06FF,
    META_DIBCREATEPATTERNBRUSH = 0x0142, META_PATBLT = 0x061D, META_STRETCHDIB = 0x0F43,
    META_DIBSTRETCHBLT = 0x0B41, META_DIBBITBLT = 0x0940, META_SETDIBTODEV = 0x0D33;

constexpr int MM_TEXT = 1, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
constexpr std::uint32_t TA_UPDATECP = 1;
constexpr std::uint16_t ETO_OPAQUE = 2, ETO_CLIPPED = 4;
constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;

constexpr std::size_t MaxGespeicherteZustaende = 256;
constexpr std::size_t MinObjekte = 64;       // a table for files that state too few
constexpr double MaxKoordinate = 1e8;       // page units, far beyond any page
constexpr double MaxLaenge = 10000;         // pen widths and font heights, page units

inline std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::int16_t S16(const std::uint8_t* p) { return std::int16_t(U16(p)); }
inline std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// The parameters of one record (after its size and function).
struct Datensatz {
    std::size_t ort = 0;  // offset of the record
    std::uint16_t funktion = 0;
    std::uint32_t worte = 0;  // record size in 16-bit words
    const std::uint8_t* p = nullptr;
    std::size_t n = 0;

    bool Hat(std::size_t bytes) const { return n >= bytes; }
    std::int16_t S(std::size_t wort) const { return S16(p + 2 * wort); }
    std::uint16_t W(std::size_t wort) const { return U16(p + 2 * wort); }
    std::uint32_t D(std::size_t wort) const { return U32(p + 2 * wort); }
};

// Calls f for each record until the end record, the end of the data, a record size
// that cannot be, or f returning false. Returns the number of records seen.
template <class F>
std::size_t Durchlaufen(const std::uint8_t* data, std::size_t size, std::size_t start, F&& f) {
    std::size_t pos = start, anzahl = 0;
    while (pos <= size && size - pos >= 6) {
        const std::uint32_t worte = U32(data + pos);
        if (worte < 3 || worte > (size - pos) / 2) break;
        const std::uint16_t fn = U16(data + pos + 4);
        if (fn == META_EOF) break;
        ++anzahl;
        if (!f(Datensatz{pos, fn, worte, data + pos + 6, std::size_t(worte) * 2 - 6})) break;
        pos += std::size_t(worte) * 2;
    }
    return anzahl;
}

// Where the bitmap of a blit record starts in its parameters (0: none).
inline std::size_t DibOrt(const Datensatz& d) {
    switch (d.funktion) {
    case META_STRETCHDIB:
        return d.Hat(22) && d.W(2) == 0 ? 22 : 0;  // only RGB colour tables
    case META_DIBSTRETCHBLT:
        return d.worte != 14 && d.Hat(20) ? 20 : 0;
    case META_DIBBITBLT:
        return d.worte != 12 && d.Hat(16) ? 16 : 0;
    case META_SETDIBTODEV:
        return d.Hat(18) && d.W(0) == 0 ? 18 : 0;
    case META_DIBCREATEPATTERNBRUSH:
        return d.Hat(4) && d.W(0) != 3 && d.W(1) == 0 ? 4 : 0;  // 3: a device bitmap
    default:
        return 0;
    }
}

} // namespace kd::wmf
