#include "gui/platform/Pfade.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <system_error>

namespace kd {

namespace fs = std::filesystem;

fs::path BeispielVerzeichnis(const fs::path& exeVerz) {
    const fs::path kandidaten[] = {
        exeVerz / ".." / ".." / "resources" / "libraries-built",
        exeVerz / ".." / "share" / "kdformel" / "libraries",
    };
    for (const fs::path& k : kandidaten) {
        std::error_code ec;
        if (fs::is_directory(k, ec)) {
            fs::path normal = fs::weakly_canonical(k, ec);
            return ec ? k : normal;
        }
    }
    return {};
}

fs::path ProgrammVerzeichnis() {
    const QString verz = QCoreApplication::applicationDirPath();
    return fs::path(QFile::encodeName(verz).toStdString());
}

Verzeichnisse StandardVerzeichnisse() {
    const fs::path exe = ProgrammVerzeichnis();
    return ErmittleVerzeichnisse(AktuelleUmgebung(exe, BeispielVerzeichnis(exe)));
}

} // namespace kd
