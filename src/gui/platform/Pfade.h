#pragma once
// Where the running program finds its folders.
#include <filesystem>

#include "core/library/Verzeichnis.h"

namespace kd {

// The folder of example libraries that seeds a new user's library folder: in the
// build tree <exe>/../../resources/libraries-built, in an installation
// <exe>/../share/kdformel/libraries. Empty when neither exists.
std::filesystem::path BeispielVerzeichnis(const std::filesystem::path& exeVerz);

// The folder of the running executable (QCoreApplication must exist).
std::filesystem::path ProgrammVerzeichnis();

// ProgVerz and BibVerz for the running program, from its environment
// (KDFORMEL_HOME, XDG_DATA_HOME, HOME). Creates and seeds the folder on first start.
// Throws std::filesystem::filesystem_error when the folder cannot be created.
Verzeichnisse StandardVerzeichnisse();

} // namespace kd
