#pragma once
// The few file-system calls of the operating system that safe saving needs beyond the
// C++ library: creating a file exclusively with given permissions, syncing a file and
// a folder, and what identifies a file's content. The interface is free of platform
// headers, so the platform-free core can use it; Dateisystem.cpp implements it for
// POSIX. Failures give the errno value in `fehler` (compare with std::errc).
#include <cstddef>
#include <cstdint>

namespace kd::sys {

struct DateiInfo {
    bool Vorhanden = false;
    bool Regulaer = false;
    bool Ordner = false;
    std::uint64_t Geraet = 0, Knoten = 0, Groesse = 0;
    std::int64_t ZeitNs = 0;  // last change of the content
    unsigned Modus = 0;       // permission bits (07777)
    unsigned Besitzer = 0, Gruppe = 0;
};

// The file `pfad` names (symbolic links followed).
DateiInfo Info(const char* pfad);
// Whether this process may write the file.
bool Schreibbar(const char* pfad);
// Creates `pfad`, which must not exist yet, for writing with permissions `modus`
// (less the umask). Returns the handle, or -1.
int NeuAnlegen(const char* pfad, unsigned modus, int& fehler);
// Opens an existing file for writing without truncating it; a pipe without a reader
// is refused at once instead of waiting. Returns the handle, or -1.
int Oeffnen(const char* pfad, int& fehler);
// Gives the file the owner (where allowed) and the permissions of `alt`.
void Angleichen(int handle, const DateiInfo& alt);
// Writes all n bytes.
bool Schreiben(int handle, const void* daten, std::size_t n, int& fehler);
// The content is on the disk.
bool Sync(int handle, int& fehler);
bool Schliessen(int handle, int& fehler);
// Replaces `nach` by `von` in one step.
bool Umbenennen(const char* von, const char* nach, int& fehler);
// Makes the folder's entries (a rename) lasting; failures are ignored.
void OrdnerSync(const char* ordner);

} // namespace kd::sys
