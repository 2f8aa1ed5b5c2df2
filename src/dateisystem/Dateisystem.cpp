// POSIX implementation of the file-system calls of Dateisystem.h.
#include "dateisystem/Dateisystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace kd::sys {

DateiInfo Info(const char* pfad) {
    DateiInfo d;
    struct stat st {};
    if (::stat(pfad, &st) != 0) return d;
    d.Vorhanden = true;
    d.Regulaer = S_ISREG(st.st_mode);
    d.Ordner = S_ISDIR(st.st_mode);
    d.Geraet = std::uint64_t(st.st_dev);
    d.Knoten = std::uint64_t(st.st_ino);
    d.Groesse = std::uint64_t(st.st_size);
    d.ZeitNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    d.Modus = unsigned(st.st_mode & 07777);
    d.Besitzer = unsigned(st.st_uid);
    d.Gruppe = unsigned(st.st_gid);
    return d;
}

bool Schreibbar(const char* pfad) { return ::access(pfad, W_OK) == 0; }

int NeuAnlegen(const char* pfad, unsigned modus, int& fehler) {
    const int fd = ::open(pfad, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode_t(modus));
    fehler = fd < 0 ? errno : 0;
    return fd;
}

int Oeffnen(const char* pfad, int& fehler) {
    const int fd = ::open(pfad, O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    fehler = fd < 0 ? errno : 0;
    if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

void Angleichen(int handle, const DateiInfo& alt) {
    [[maybe_unused]] const int r = ::fchown(handle, uid_t(alt.Besitzer), gid_t(alt.Gruppe));
    ::fchmod(handle, mode_t(alt.Modus));
}

bool Schreiben(int handle, const void* daten, std::size_t n, int& fehler) {
    const auto* p = static_cast<const char*>(daten);
    while (n > 0) {
        const ssize_t k = ::write(handle, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            fehler = errno;
            return false;
        }
        if (k == 0) {
            fehler = ENOSPC;
            return false;
        }
        p += k;
        n -= std::size_t(k);
    }
    return true;
}

bool Sync(int handle, int& fehler) {
    // A device or pipe cannot be synced; that is no failure of the write.
    if (::fsync(handle) == 0 || errno == EINVAL || errno == EROFS) return true;
    fehler = errno;
    return false;
}

bool Schliessen(int handle, int& fehler) {
    if (::close(handle) == 0 || errno == EINTR) return true;
    fehler = errno;
    return false;
}

bool Umbenennen(const char* von, const char* nach, int& fehler) {
    if (::rename(von, nach) == 0) return true;
    fehler = errno;
    return false;
}

void OrdnerSync(const char* ordner) {
    const int d = ::open(ordner, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d < 0) return;
    ::fsync(d);
    ::close(d);
}

} // namespace kd::sys
