// libFuzzer target: the picture decoders — JPEG, Windows bitmap (file and packed
// DIB) and Windows metafile — on every input. Each decoder refuses foreign data by
// its first bytes, so the seeds of one kind steer a run to its decoder.
// Checked beyond "no crash": a decoded image has the size its header tells; a
// decoded JPEG encodes and decodes again to the same size; a metafile plays on the
// recording device and its size from the headers is the size it was read with.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/device/FixedMetricsDevice.h"
#include "core/pictures/Bilder.h"
#include "core/pictures/Bmp.h"
#include "core/pictures/Jpeg.h"

namespace {

// Smaller than the program's limits: the run is about the code, not about memory.
constexpr kd::BildGrenzen Grenzen{4096, 1 << 20};

void Pruefen(bool ok) {
    if (!ok) std::abort();
}

bool Vollstaendig(const kd::Bild& b) {
    return b.Width > 0 && b.Height > 0 &&
           b.Pixels.size() == std::size_t(b.Width) * std::size_t(b.Height) * 4;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> daten(data, size);

    if (auto b = kd::DekodiereJpeg(data, size, Grenzen)) {
        Pruefen(Vollstaendig(*b));
        const auto m = kd::JpegMasse(data, size, Grenzen);
        Pruefen(m && m->Width == b->Width && m->Height == b->Height);
        if (std::int64_t(b->Width) * b->Height <= 64 * 64) {
            const auto neu = kd::KodiereJpeg(*b);
            const auto wieder = kd::DekodiereJpeg(neu.data(), neu.size(), Grenzen);
            Pruefen(wieder && wieder->Width == b->Width && wieder->Height == b->Height);
        }
    }

    kd::DibInfo info;
    if (auto b = kd::DekodiereBmp(data, size, Grenzen, &info)) {
        Pruefen(Vollstaendig(*b));
        const auto m = kd::BmpMasse(data, size, Grenzen);
        Pruefen(m && m->Width == b->Width && m->Height == b->Height);
    }
    if (auto b = kd::DekodiereDib(data, size, Grenzen)) Pruefen(Vollstaendig(*b));

    if (auto m = kd::Metadatei::Lesen(data, size, Grenzen)) {
        const auto masse = kd::WmfMasse(data, size);
        Pruefen(masse && *masse == m->Masse());
        kd::FixedMetricsDevice dc;
        dc.RecordMeasurements = false;
        const kd::LogPen stift = dc.CurrentPen();
        m->Abspielen(dc, {100, 1500, 2100, 100});
        Pruefen(dc.CurrentPen() == stift);
    }

    // By the kind of a library record, as the page draws it.
    for (std::int32_t typ = kd::BildJpeg; typ <= kd::BildMetadatei; ++typ) {
        if (auto b = kd::DekodiereBild(typ, daten, Grenzen)) {
            kd::FixedMetricsDevice dc;
            dc.RecordMeasurements = false;
            kd::ZeichneBild(dc, *b, {0, 1000, 323, 0});
            (void)kd::HoeheBeiBreite(b->Masse, 323);
        }
    }

    // Decoded for a smaller place (the size taken from the last bytes): a raster covers
    // the place or is the whole picture, never larger than the whole picture, and keeps
    // the headers' size.
    if (size >= 2) {
        kd::BildGrenzen klein = Grenzen;
        klein.ZielBreite = 1 + data[size - 1] % 64;
        klein.ZielHoehe = 1 + data[size - 2] % 64;
        for (std::int32_t typ : {kd::BildJpeg, kd::BildBitmap}) {
            const auto voll = kd::DekodiereBild(typ, daten, Grenzen);
            const auto b = kd::DekodiereBild(typ, daten, klein);
            Pruefen(voll.has_value() == b.has_value());
            if (!b) continue;
            Pruefen(Vollstaendig(b->Raster) && b->Masse == voll->Masse);
            Pruefen(b->Raster.Width <= voll->Raster.Width && b->Raster.Height <= voll->Raster.Height);
            Pruefen(b->Raster.Width == voll->Raster.Width || b->Raster.Width >= klein.ZielBreite);
            Pruefen(b->Raster.Height == voll->Raster.Height || b->Raster.Height >= klein.ZielHoehe);
        }
    }
    return 0;
}
