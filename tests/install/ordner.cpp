// Run from the bin folder of a staged installation: prints the folder of example
// libraries and the library folder the program finds from there, the latter created and
// seeded as on a user's first start (one path per line).
#include <QCoreApplication>

#include <cstdio>
#include <exception>

#include "gui/platform/Pfade.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        const std::filesystem::path beispiele = kd::BeispielVerzeichnis(kd::ProgrammVerzeichnis());
        const kd::Verzeichnisse v = kd::StandardVerzeichnisse();
        std::printf("%s\n%s\n", beispiele.c_str(), v.BibVerz.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
