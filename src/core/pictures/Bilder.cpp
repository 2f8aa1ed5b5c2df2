#include "core/pictures/Bilder.h"

#include <cmath>

#include "core/pictures/Bmp.h"
#include "core/pictures/Jpeg.h"

namespace kd {

std::optional<Bildinhalt> DekodiereBild(std::int32_t bildTyp, std::span<const std::uint8_t> daten,
                                        const BildGrenzen& grenzen) {
    Bildinhalt b;
    b.Typ = bildTyp;
    switch (bildTyp) {
    case BildJpeg:
    case BildBitmap: {
        std::optional<Bild> r = bildTyp == BildJpeg
                                    ? DekodiereJpeg(daten.data(), daten.size(), grenzen)
                                    : DekodiereBmp(daten.data(), daten.size(), grenzen);
        std::optional<BildMasse> m = BildGroesse(bildTyp, daten, grenzen);
        if (!r) return std::nullopt;
        b.Raster = std::move(*r);
        b.Masse = m ? *m : BildMasse{b.Raster.Width, b.Raster.Height, 0, 0};
        return b;
    }
    case BildMetadatei:
        b.Vektor = Metadatei::Lesen(daten.data(), daten.size(), grenzen);
        if (!b.Vektor) return std::nullopt;
        b.Masse = b.Vektor->Masse();
        return b;
    default:
        return std::nullopt;
    }
}

std::optional<BildMasse> BildGroesse(std::int32_t bildTyp, std::span<const std::uint8_t> daten,
                                     const BildGrenzen& grenzen) {
    switch (bildTyp) {
    case BildJpeg: return JpegMasse(daten.data(), daten.size(), grenzen);
    case BildBitmap: return BmpMasse(daten.data(), daten.size(), grenzen);
    case BildMetadatei: return WmfMasse(daten.data(), daten.size());
    default: return std::nullopt;
    }
}

std::int32_t HoeheBeiBreite(const BildMasse& masse, std::int32_t breite) {
    if (masse.Width <= 0 || masse.Height <= 0) return 0;
    return std::int32_t(std::llround(double(masse.Height) * breite / masse.Width));
}

TRect Einpassen(const BildMasse& masse, const TRect& zielRoh) {
    const TRect ziel = NormalizeRect(zielRoh);
    if (masse.Width <= 0 || masse.Height <= 0) return ziel;
    const double tw = double(ziel.Right) - ziel.Left, th = double(ziel.Top) - ziel.Bottom;
    const double s = std::min(tw / masse.Width, th / masse.Height);
    const double w = masse.Width * s, h = masse.Height * s;
    const double l = ziel.Left + (tw - w) / 2, t = ziel.Top - (th - h) / 2;
    return {std::int32_t(std::lround(l)), std::int32_t(std::lround(t)),
            std::int32_t(std::lround(l + w)), std::int32_t(std::lround(t - h))};
}

void ZeichneBild(Device& dc, const Bildinhalt& bild, const TRect& ziel) {
    if (bild.Vektor) {
        bild.Vektor->Abspielen(dc, ziel);
        return;
    }
    if (bild.Raster.Empty()) return;
    // The picture's own proportions: a raster decoded smaller has rounded sides.
    const BildMasse m = bild.Masse.Width > 0 && bild.Masse.Height > 0
                            ? BildMasse{bild.Masse.Width, bild.Masse.Height, 0, 0}
                            : BildMasse{bild.Raster.Width, bild.Raster.Height, 0, 0};
    dc.DrawImage(Einpassen(m, ziel), bild.Raster);
}

} // namespace kd
