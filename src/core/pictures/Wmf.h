#pragma once
// Windows metafiles (WMF): the placeable form (a 22-byte header with the key
// 9AC6CDD7, the frame in metafile units, the units per inch and a checksum) and the
// plain form (the 18-byte metafile header first). The records are played through a
// kd::Device, so a metafile picture prints and exports as vectors.
//
// Played: window origin and extent (also offset and scaled), the map mode
// (anisotropic, isotropic; the fixed modes draw the frame as in the anisotropic mode,
// y upward for the metric and English ones), pens, brushes and fonts from their
// logical records, select and delete object, save and restore the state, move-to,
// line-to, polyline, polygon, poly-polygon, rectangle, rounded rectangle, ellipse,
// arc, chord, pie, text out and extended text out (opaque rectangle, alignment, the
// current position), text and background colour, background mode, pattern blits and
// the device-independent bitmaps of StretchDIB, DIBStretchBlt, DIBBitBlt and
// SetDIBitsToDevice (decoded by the bitmap decoder, drawn by Device::DrawImage).
// Other records are skipped. Clipping, raster operations other than those of blits,
// palettes and regions have no part in the picture.
//
// Every record length is checked: a record whose size runs past the end of the data
// ends playback cleanly there; fields a record lacks make it skipped. The object
// table and the stack of saved states are bounded; the bitmaps inside one metafile
// share the pixel limits of BildGrenzen.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/device/Device.h"
#include "core/device/Bild.h"

namespace kd {

class Metadatei {
public:
    // Reads the headers, walks the records once and decodes the bitmaps in them.
    // Empty when the data is no metafile (wrong key, checksum or header).
    static std::optional<Metadatei> Lesen(const std::uint8_t* data, std::size_t size,
                                          const BildGrenzen& grenzen = {});

    // The size of the frame in metafile units (placeable: its bounding box; plain:
    // the window extent it sets, else the extent of its coordinates) and, for a
    // placeable metafile with units per inch, the physical size.
    const BildMasse& Masse() const { return masse_; }
    bool Placeable() const { return placeable_; }
    // The frame in metafile coordinates: left, top, right, bottom as the file has them.
    const TRect& Rahmen() const { return rahmen_; }
    // Number of records up to the end record, the end of the data or the first
    // record whose size is impossible.
    std::size_t Datensaetze() const { return datensaetze_; }

    // Plays the records into the target rectangle (logical units of the device, y
    // upward), the frame's aspect ratio kept and centred in it. Font, pen, brush,
    // text state and current position of the device are as before afterwards.
    void Abspielen(Device& dc, const TRect& ziel) const;

private:
    struct Bitmap {
        std::size_t record = 0;  // offset of its record in bytes_
        Bild bild;
        bool bottomUp = true;
    };
    friend class WmfSpieler;

    std::vector<std::uint8_t> bytes_;
    std::size_t records_ = 0;  // offset of the first record
    std::uint16_t objekte_ = 0;
    bool placeable_ = false;
    TRect rahmen_;
    BildMasse masse_;
    std::size_t datensaetze_ = 0;
    std::vector<Bitmap> bitmaps_;
};

// The size from the headers and a walk over the records, without decoding bitmaps.
std::optional<BildMasse> WmfMasse(const std::uint8_t* data, std::size_t size);

} // namespace kd
