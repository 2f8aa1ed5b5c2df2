#include "AtomarSchreiben.h"

#include <cerrno>
#include <cstdint>
#include <random>
#include <system_error>

#include "core/numeric/Encoding.h"

namespace kd {

namespace fs = std::filesystem;

namespace {

std::string Grund(std::error_code ec) {
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return "keine Schreibberechtigung";
    if (ec == std::errc::no_space_on_device) return "Datentr\xE4ger voll";
    if (ec == std::errc::read_only_file_system) return "Datentr\xE4ger ist schreibgesch\xFCtzt";
    if (ec == std::errc::no_such_file_or_directory) return "Ordner existiert nicht";
    if (ec == std::errc::not_a_directory) return "ein Teil des Pfades ist kein Ordner";
    if (ec == std::errc::is_a_directory || ec == std::errc::directory_not_empty)
        return "an dieser Stelle liegt ein Ordner";
    if (ec == std::errc::filename_too_long) return "Dateiname zu lang";
    return "Fehlercode " + std::to_string(ec.value());
}

std::string Zufallsteil() {
    static std::mt19937_64 gen{std::random_device{}()};
    static const char ziffern[] = "0123456789abcdef";
    std::uint64_t z = gen();
    std::string s;
    for (int i = 0; i < 8; ++i, z >>= 4) s += ziffern[z & 15];
    return s;
}

} // namespace

std::string PfadText(const fs::path& p) {
    std::string s;
    Utf8ToCp1252(p.string(), s);  // characters without a Windows-1252 form become '?'
    return s;
}

std::string SchreibeAtomar(const fs::path& zielPfad,
                           const std::function<void(BufferedWriter&)>& inhalt) {
    std::error_code ec;
    fs::path ziel = zielPfad;
    if (fs::is_symlink(ziel, ec)) {
        fs::path echt = fs::canonical(ziel, ec);
        if (!ec) ziel = echt;
    }
    const fs::path ordner = ziel.has_parent_path() ? ziel.parent_path() : fs::path(".");
    const std::string basis = "." + ziel.filename().string() + ".tmp-";

    fs::path temp;
    errno = 0;
    for (int versuch = 0; versuch < 100; ++versuch) {
        fs::path p = ordner / (basis + Zufallsteil());
        if (fs::exists(fs::symlink_status(p, ec))) continue;
        temp = p;
        break;
    }
    if (temp.empty()) return "keine tempor\xE4re Datei m\xF6glich";

    FileSink sink(temp.string());
    if (!sink.IsOpen()) {
        const int e = errno;
        return "Datei kann nicht angelegt werden (" +
               Grund(std::error_code(e, std::generic_category())) + ")";
    }
    bool ok = false;
    try {
        BufferedWriter w(sink);
        inhalt(w);
        ok = w.Flush();
    } catch (...) {
        sink.Close();
        fs::remove(temp, ec);
        throw;
    }
    errno = 0;
    const bool zu = sink.Close();
    const int e = errno;
    if (!ok || !zu) {
        fs::remove(temp, ec);
        return "Schreibfehler (" + Grund(std::error_code(e ? e : EIO, std::generic_category())) +
               ")";
    }
    // The new file keeps the permissions of the one it replaces.
    const fs::file_status alt = fs::status(ziel, ec);
    if (!ec && fs::is_regular_file(alt)) fs::permissions(temp, alt.permissions(), ec);
    fs::rename(temp, ziel, ec);
    if (ec) {
        std::error_code ec2;
        fs::remove(temp, ec2);
        return "Datei kann nicht ersetzt werden (" + Grund(ec) + ")";
    }
    return {};
}

} // namespace kd
