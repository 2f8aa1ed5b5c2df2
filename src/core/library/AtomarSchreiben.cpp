#include "AtomarSchreiben.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <random>
#include <system_error>

#include "core/numeric/Encoding.h"
#include "dateisystem/Dateisystem.h"

namespace kd {

namespace fs = std::filesystem;

namespace {

// ".kdformel-" + 8 hex digits + ".tmp": 22 bytes whatever the file is called, so a
// name that fits the file system always has a temporary name that fits as well.
constexpr char kTempVor[] = ".kdformel-";
constexpr char kTempNach[] = ".tmp";

std::string Zufallsteil() {
    static std::mt19937_64 gen{std::random_device{}()};
    static const char ziffern[] = "0123456789abcdef";
    std::uint64_t z = gen();
    std::string s;
    for (int i = 0; i < 8; ++i, z >>= 4) s += ziffern[z & 15];
    return s;
}

bool Hex8(const std::string& s, std::size_t ab) {
    if (s.size() < ab + 8) return false;
    for (std::size_t i = ab; i < ab + 8; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

// A class of sink over the AtomareDatei, for the buffered record writer.
class DateiSenke final : public ByteSink {
public:
    explicit DateiSenke(AtomareDatei& d) : d_(d) {}
    bool WriteAll(const void* src, std::size_t n) override { return d_.Schreibe(src, n); }
private:
    AtomareDatei& d_;
};

} // namespace

std::string FehlerGrund(int e) {
    const std::error_code ec(e, std::generic_category());
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return "keine Schreibberechtigung";
    if (ec == std::errc::no_space_on_device) return "Datentr\xE4ger voll";
#ifdef EDQUOT
    if (e == EDQUOT) return "Datentr\xE4ger voll (Speicherkontingent ersch\xF6pft)";
#endif
    if (ec == std::errc::file_too_large)
        return "Datei zu gro\xDF (Grenze der Dateigr\xF6\xDF" "e erreicht)";
    if (ec == std::errc::read_only_file_system) return "Datentr\xE4ger ist schreibgesch\xFCtzt";
    if (ec == std::errc::no_such_file_or_directory) return "Ordner existiert nicht";
    if (ec == std::errc::not_a_directory) return "ein Teil des Pfades ist kein Ordner";
    if (ec == std::errc::is_a_directory || ec == std::errc::directory_not_empty)
        return "an dieser Stelle liegt ein Ordner";
    if (ec == std::errc::filename_too_long) return "Dateiname zu lang";
    if (ec == std::errc::io_error) return "Ein-/Ausgabefehler des Datentr\xE4gers";
    return "Fehlercode " + std::to_string(e);
}

bool IstTemporaerName(const std::string& n) {
    const std::size_t vor = sizeof kTempVor - 1, nach = sizeof kTempNach - 1;
    if (n.size() == vor + 8 + nach && n.compare(0, vor, kTempVor) == 0 && Hex8(n, vor) &&
        n.compare(vor + 8, nach, kTempNach) == 0)
        return true;
    // The older form ".NAME.tmp-XXXXXXXX".
    const std::size_t t = n.size() >= 13 ? n.size() - 13 : std::string::npos;
    return n.size() > 14 && n[0] == '.' && t != std::string::npos &&
           n.compare(t, 5, ".tmp-") == 0 && Hex8(n, t + 5);
}

int EntferneVerwaisteTemporaere(const fs::path& ordner, std::chrono::seconds alter) {
    int n = 0;
    std::error_code ec;
    const auto grenze = fs::file_time_type::clock::now() - alter;
    for (fs::directory_iterator it(ordner, ec), ende; !ec && it != ende; it.increment(ec)) {
        std::error_code ec2;
        if (!IstTemporaerName(it->path().filename().string())) continue;
        if (!it->is_regular_file(ec2) || it->is_symlink(ec2)) continue;
        const auto zeit = fs::last_write_time(it->path(), ec2);
        if (ec2 || zeit > grenze) continue;
        if (fs::remove(it->path(), ec2)) ++n;
    }
    return n;
}

std::string PfadText(const fs::path& p) {
    std::string s;
    Utf8ToCp1252(p.string(), s);  // characters without a Windows-1252 form become '?'
    return s;
}

AtomareDatei::AtomareDatei(const fs::path& zielPfad) {
    std::error_code ec;
    ziel_ = zielPfad;
    if (fs::is_symlink(ziel_, ec)) {
        fs::path echt = fs::canonical(ziel_, ec);
        if (!ec) ziel_ = echt;
    }
    const sys::DateiInfo alt = sys::Info(ziel_.c_str());
    int e = 0;
    if (alt.Ordner) {
        Scheitern("Datei kann nicht angelegt werden", int(std::errc::is_a_directory));
        return;
    }
    if (alt.Vorhanden && !alt.Regulaer) {
        // A pipe or a device: nothing to replace, the bytes go straight to it.
        direkt_ = true;
        fd_ = sys::Oeffnen(ziel_.c_str(), e);
        if (fd_ < 0) Scheitern("Datei kann nicht ge\xF6" "ffnet werden", e);
        return;
    }
    // A write-protected file is not replaced behind the user's back (the folder may well
    // allow it). The mode bits are checked as well: they bind even the super-user's intent.
    if (alt.Vorhanden && (!sys::Schreibbar(ziel_.c_str()) || (alt.Modus & 0222) == 0)) {
        fehler_ = "Datei ist schreibgesch\xFCtzt";
        return;
    }
    const fs::path ordner = ziel_.has_parent_path() ? ziel_.parent_path() : fs::path(".");
    // The new file has the old file's permissions from the start (a private library is
    // never readable by others, not even for a moment); a new file gets the usual ones.
    const unsigned modus = alt.Vorhanden ? alt.Modus : 0666;
    for (int versuch = 0; versuch < 100 && fd_ < 0; ++versuch) {
        const fs::path p = ordner / (kTempVor + Zufallsteil() + kTempNach);
        fd_ = sys::NeuAnlegen(p.c_str(), modus, e);
        if (fd_ >= 0) {
            temp_ = p;
        } else if (std::error_code(e, std::generic_category()) != std::errc::file_exists) {
            Scheitern("Datei kann nicht angelegt werden", e);
            return;
        }
    }
    if (fd_ < 0) {
        fehler_ = "keine tempor\xE4re Datei m\xF6glich";
        return;
    }
    // The umask may have taken bits away; the owner stays where the system allows it.
    if (alt.Vorhanden) sys::Angleichen(fd_, alt);
}

AtomareDatei::~AtomareDatei() {
    int e = 0;
    if (fd_ >= 0) sys::Schliessen(fd_, e);
    if (!temp_.empty()) {
        std::error_code ec;
        fs::remove(temp_, ec);
    }
}

bool AtomareDatei::Scheitern(const std::string& was, int fehlerNummer) {
    if (fehler_.empty())
        fehler_ = was + " (" + FehlerGrund(fehlerNummer ? fehlerNummer : int(std::errc::io_error)) + ")";
    return false;
}

bool AtomareDatei::Schreibe(const void* daten, std::size_t n) {
    if (!fehler_.empty() || fd_ < 0) return false;
    int e = 0;
    if (!sys::Schreiben(fd_, daten, n, e)) return Scheitern("Schreibfehler", e);
    return true;
}

std::string AtomareDatei::Abschliessen() {
    if (!fehler_.empty() || fd_ < 0) return fehler_.empty() ? "Schreibfehler" : fehler_;
    int e = 0;
    // The content is on the disk before the name points at it: a crash right after the
    // rename leaves the new file whole, not empty.
    if (!direkt_ && !sys::Sync(fd_, e)) Scheitern("Schreibfehler", e);
    const bool zu = sys::Schliessen(fd_, e);
    fd_ = -1;
    if (!zu) Scheitern("Schreibfehler", e);
    if (!fehler_.empty() || direkt_) return fehler_;

    if (!sys::Umbenennen(temp_.c_str(), ziel_.c_str(), e)) {
        Scheitern("Datei kann nicht ersetzt werden", e);
        return fehler_;
    }
    temp_.clear();
    // The rename itself is made lasting by syncing the folder.
    const fs::path ordner = ziel_.has_parent_path() ? ziel_.parent_path() : fs::path(".");
    sys::OrdnerSync(ordner.c_str());
    return {};
}

std::string SchreibeAtomar(const fs::path& zielPfad,
                           const std::function<void(BufferedWriter&)>& inhalt) {
    AtomareDatei datei(zielPfad);
    if (!datei.Fehler().empty()) return datei.Fehler();
    DateiSenke senke(datei);
    {
        BufferedWriter w(senke);
        inhalt(w);  // an exception leaves by the destructor, which removes the temporary file
        w.Flush();
    }
    return datei.Abschliessen();
}

} // namespace kd
