#include "core/pictures/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared before it
#include <cstdlib>
#include <cstring>
#include <new>

#include <jpeglib.h>

namespace kd {

namespace {

// The library's error manager with the jump back to the call that failed.
struct Fehlerverwalter {
    jpeg_error_mgr pub;  // first, so that the library's err pointer is ours
    std::jmp_buf sprung;
};

void FehlerAusgang(j_common_ptr c) {
    std::longjmp(reinterpret_cast<Fehlerverwalter*>(c->err)->sprung, 1);
}
void StilleMeldung(j_common_ptr) {}

// A progressive file may hold any number of scans, each one more pass over the whole
// image. Encoders write about ten (libjpeg's script), custom scripts a few dozen; more
// than this are no picture but an attack on the time.
constexpr int MaxScans = 64;

void ScanGrenze(j_common_ptr c) {
    if (c->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(c)->input_scan_number > MaxScans)
        c->err->error_exit(c);
}

void Einrichten(jpeg_error_mgr& pub) {
    jpeg_std_error(&pub);
    pub.error_exit = FehlerAusgang;
    pub.output_message = StilleMeldung;
}

// Everything the decoding phases share. The phases below hold only trivial locals
// between their setjmp and the library calls, so a jump back skips no destructor;
// everything with a destructor lives here, in the caller's frame.
struct JpegLeser {
    jpeg_decompress_struct info{};
    Fehlerverwalter fehler{};
    jpeg_progress_mgr fortschritt{};
    bool erzeugt = false;

    JpegLeser() = default;
    JpegLeser(const JpegLeser&) = delete;
    JpegLeser& operator=(const JpegLeser&) = delete;
    ~JpegLeser() {
        if (erzeugt) jpeg_destroy_decompress(&info);
    }
};

// Phase 1: the decompressor over the memory and the header read.
bool KopfLesen(JpegLeser& z, const std::uint8_t* data, std::size_t size) {
    Einrichten(z.fehler.pub);
    z.info.err = &z.fehler.pub;
    z.fortschritt.progress_monitor = ScanGrenze;
    if (setjmp(z.fehler.sprung)) return false;
    z.erzeugt = true;  // destroying a half-created decompressor is safe
    jpeg_create_decompress(&z.info);
    z.info.progress = &z.fortschritt;
    jpeg_mem_src(&z.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&z.info, TRUE);
    return true;
}

bool Cmyk(const jpeg_decompress_struct& info) {
    return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

// Phase 2: the scanlines into `pixel` (4 × width × height bytes); a CMYK image goes
// through `zeile` (4 × width bytes) and is converted.
bool PixelLesen(JpegLeser& z, std::uint8_t* pixel, std::uint8_t* zeile, std::size_t w, std::size_t h) {
    if (setjmp(z.fehler.sprung)) return false;
    jpeg_start_decompress(&z.info);
    if (z.info.output_width != w || z.info.output_height != h || z.info.output_components != 4)
        return false;
    const bool cmyk = Cmyk(z.info);
    const bool invertiert = z.info.saw_Adobe_marker;  // Adobe writes CMYK inverted
    const std::size_t breite = z.info.output_width;
    while (z.info.output_scanline < z.info.output_height) {
        std::uint8_t* ziel = pixel + std::size_t(z.info.output_scanline) * breite * 4;
        JSAMPROW reihe = cmyk ? zeile : ziel;
        if (jpeg_read_scanlines(&z.info, &reihe, 1) != 1) return false;
        if (!cmyk) continue;
        for (std::size_t x = 0; x < breite; ++x) {
            const unsigned c = zeile[4 * x], m = zeile[4 * x + 1], y = zeile[4 * x + 2],
                           k = zeile[4 * x + 3];
            if (invertiert) {
                ziel[4 * x] = std::uint8_t(c * k / 255);
                ziel[4 * x + 1] = std::uint8_t(m * k / 255);
                ziel[4 * x + 2] = std::uint8_t(y * k / 255);
            } else {
                ziel[4 * x] = std::uint8_t((255 - c) * (255 - k) / 255);
                ziel[4 * x + 1] = std::uint8_t((255 - m) * (255 - k) / 255);
                ziel[4 * x + 2] = std::uint8_t((255 - y) * (255 - k) / 255);
            }
            ziel[4 * x + 3] = 255;
        }
    }
    jpeg_finish_decompress(&z.info);
    return true;
}

// Phase 1b: the output size at the scale chosen (the largest reduction in eighths
// whose image still covers the target).
bool Skalieren(JpegLeser& z, const BildGrenzen& g) {
    if (setjmp(z.fehler.sprung)) return false;
    z.info.scale_num = 1;
    z.info.scale_denom = 1;
    if (g.ZielBreite > 0 && g.ZielHoehe > 0) {
        for (unsigned nenner : {8u, 4u, 2u}) {
            const std::uint64_t w = (std::uint64_t(z.info.image_width) + nenner - 1) / nenner;
            const std::uint64_t h = (std::uint64_t(z.info.image_height) + nenner - 1) / nenner;
            if (w >= std::uint64_t(g.ZielBreite) && h >= std::uint64_t(g.ZielHoehe)) {
                z.info.scale_denom = nenner;
                break;
            }
        }
    }
    jpeg_calc_output_dimensions(&z.info);
    return true;
}

bool KopfInnerhalbGrenzen(const jpeg_decompress_struct& info, const BildGrenzen& g) {
    return InnerhalbGrenzen(info.image_width, info.image_height, g);
}

struct JpegSchreiber {
    jpeg_compress_struct info{};
    Fehlerverwalter fehler{};
    unsigned char* puffer = nullptr;  // the library's output, taken with malloc
    unsigned long laenge = 0;
    bool erzeugt = false;

    JpegSchreiber() = default;
    JpegSchreiber(const JpegSchreiber&) = delete;
    JpegSchreiber& operator=(const JpegSchreiber&) = delete;
    ~JpegSchreiber() {
        if (erzeugt) jpeg_destroy_compress(&info);
        std::free(puffer);
    }
};

// Composes one RGBA row over white into RGB.
void ZeileUeberWeiss(const std::uint8_t* rgba, std::size_t breite, std::uint8_t* rgb) {
    for (std::size_t x = 0; x < breite; ++x) {
        const unsigned a = rgba[4 * x + 3];
        for (int k = 0; k < 3; ++k)
            rgb[3 * x + k] = std::uint8_t((rgba[4 * x + k] * a + 255 * (255 - a) + 127) / 255);
    }
}

bool Kodieren(JpegSchreiber& z, const Bild& bild, int qualitaet, std::uint8_t* zeile) {
    Einrichten(z.fehler.pub);
    z.info.err = &z.fehler.pub;
    if (setjmp(z.fehler.sprung)) return false;
    z.erzeugt = true;
    jpeg_create_compress(&z.info);
    jpeg_mem_dest(&z.info, &z.puffer, &z.laenge);
    z.info.image_width = JDIMENSION(bild.Width);
    z.info.image_height = JDIMENSION(bild.Height);
    z.info.input_components = 3;
    z.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&z.info);
    jpeg_set_quality(&z.info, qualitaet, TRUE);
    for (int i = 0; i < z.info.num_components; ++i) {
        z.info.comp_info[i].h_samp_factor = 1;
        z.info.comp_info[i].v_samp_factor = 1;
    }
    z.info.write_JFIF_header = TRUE;
    z.info.density_unit = 1;
    z.info.X_density = 96;
    z.info.Y_density = 96;
    jpeg_start_compress(&z.info, TRUE);
    const std::size_t breite = std::size_t(bild.Width);
    while (z.info.next_scanline < z.info.image_height) {
        ZeileUeberWeiss(bild.Pixels.data() + std::size_t(z.info.next_scanline) * breite * 4,
                        breite, zeile);
        JSAMPROW reihe = zeile;
        if (jpeg_write_scanlines(&z.info, &reihe, 1) != 1) return false;
    }
    jpeg_finish_compress(&z.info);
    return true;
}

} // namespace

std::optional<Bild> DekodiereJpeg(const std::uint8_t* data, std::size_t size,
                                  const BildGrenzen& grenzen) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
    JpegLeser z;
    if (!KopfLesen(z, data, size) || !KopfInnerhalbGrenzen(z.info, grenzen))
        return std::nullopt;
    const std::size_t w = z.info.image_width, h = z.info.image_height;
    // Coefficient buffers of a progressive image: at most 2 bytes per pixel and
    // component (10 at most) — the library may not take more than that.
    z.info.mem->max_memory_to_use = long(std::min<std::size_t>(w * h * 24 + (16u << 20),
                                                              std::size_t(1) << 40));
    z.info.out_color_space = Cmyk(z.info) ? JCS_CMYK : JCS_EXT_RGBA;
    if (!Skalieren(z, grenzen)) return std::nullopt;
    const std::size_t aw = z.info.output_width, ah = z.info.output_height;
    Bild bild;
    std::vector<std::uint8_t> zeile;
    try {
        if (!bild.Create(std::int32_t(aw), std::int32_t(ah))) return std::nullopt;
        zeile.resize(aw * 4);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!PixelLesen(z, bild.Pixels.data(), zeile.data(), aw, ah)) return std::nullopt;
    return bild;
}

std::optional<BildMasse> JpegMasse(const std::uint8_t* data, std::size_t size,
                                   const BildGrenzen& grenzen) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
    JpegLeser z;
    if (!KopfLesen(z, data, size) || !KopfInnerhalbGrenzen(z.info, grenzen))
        return std::nullopt;
    BildMasse m;
    m.Width = std::int32_t(z.info.image_width);
    m.Height = std::int32_t(z.info.image_height);
    // Density in dots per inch (1) or per centimetre (2); 0.1 mm per inch: 254.
    const int proEinheit = z.info.density_unit == 1 ? 254 : z.info.density_unit == 2 ? 100 : 0;
    if (z.info.saw_JFIF_marker && proEinheit && z.info.X_density > 0 && z.info.Y_density > 0) {
        m.WidthMM10 = std::int32_t(std::int64_t(m.Width) * proEinheit / z.info.X_density);
        m.HeightMM10 = std::int32_t(std::int64_t(m.Height) * proEinheit / z.info.Y_density);
    }
    return m;
}

std::vector<std::uint8_t> KodiereJpeg(const Bild& bild, int qualitaet) {
    if (bild.Empty() || bild.Width > 65500 || bild.Height > 65500 ||
        bild.Pixels.size() < std::size_t(bild.Width) * std::size_t(bild.Height) * 4)
        return {};
    if (qualitaet < 1) qualitaet = 1;
    if (qualitaet > 100) qualitaet = 100;
    JpegSchreiber z;
    std::vector<std::uint8_t> zeile(std::size_t(bild.Width) * 3);
    if (!Kodieren(z, bild, qualitaet, zeile.data()) || !z.puffer) return {};
    return std::vector<std::uint8_t>(z.puffer, z.puffer + z.laenge);
}

} // namespace kd
