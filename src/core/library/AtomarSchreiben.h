#pragma once
// Replacing a file safely: the new content goes to a temporary file in the same folder
// (a short name beginning with "." so that no listing shows it), created exclusively
// with the permissions of the file it replaces, written with every write checked,
// synced to the disk and closed; only then it is renamed over the old file and the
// folder is synced. A failure leaves the old file as it was.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "core/Stream.h"

namespace kd {

// Writes `inhalt` to `ziel`. Returns an empty string on success, else a German reason
// (Windows-1252). A symbolic link at `ziel` is followed, so the file it names is replaced.
// The temporary file is removed on every failure, also when `inhalt` throws.
// A file without write permission is refused, not replaced.
std::string SchreibeAtomar(const std::filesystem::path& ziel,
                           const std::function<void(BufferedWriter&)>& inhalt);

// The same with a written-to file for writers that bring their own buffering (Qt's
// image and PDF writers). Construct, Schreibe() the bytes, then Abschliessen(); a file
// that was not finished is removed by the destructor. A target that exists and is not
// a regular file (a pipe, /dev/stdout) is written directly, without a temporary file.
class AtomareDatei {
public:
    explicit AtomareDatei(const std::filesystem::path& ziel);
    ~AtomareDatei();
    AtomareDatei(const AtomareDatei&) = delete;
    AtomareDatei& operator=(const AtomareDatei&) = delete;

    // Empty while all is well, else the reason of the first failure.
    const std::string& Fehler() const { return fehler_; }
    // Writes all n bytes; false (and Fehler() set) on any failure.
    bool Schreibe(const void* daten, std::size_t n);
    // Syncs, closes and renames. Returns the reason of the first failure, empty on success.
    std::string Abschliessen();

private:
    bool Scheitern(const std::string& was, int fehlerNummer);
    std::filesystem::path ziel_, temp_;
    int fd_ = -1;
    bool direkt_ = false;
    std::string fehler_;
};

// The German reason for an errno value ("Datenträger voll", ...), Windows-1252.
std::string FehlerGrund(int fehlerNummer);

// Removes temporary files of this writer (and of its older name form) that a crashed
// run left in `ordner`, when they are older than `alter` (a younger one may belong to
// a save of another window in progress). Returns how many were removed.
int EntferneVerwaisteTemporaere(const std::filesystem::path& ordner,
                                std::chrono::seconds alter = std::chrono::minutes(10));

// True when `name` is a temporary file name this writer makes (or made).
bool IstTemporaerName(const std::string& name);

// The native path as Windows-1252 text for a message.
std::string PfadText(const std::filesystem::path& p);

} // namespace kd
