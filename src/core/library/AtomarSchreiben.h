#pragma once
// Replacing a file safely: the new content goes to a temporary file in the same folder
// (a name beginning with "." so that no listing shows it), is flushed and closed, and
// only then renamed over the old file. A failure leaves the old file as it was.
#include <filesystem>
#include <functional>
#include <string>

#include "core/Stream.h"

namespace kd {

// Writes `inhalt` to `ziel`. Returns an empty string on success, else a German reason
// (Windows-1252). A symbolic link at `ziel` is followed, so the file it names is replaced.
// The temporary file is removed on every failure, also when `inhalt` throws.
std::string SchreibeAtomar(const std::filesystem::path& ziel,
                           const std::function<void(BufferedWriter&)>& inhalt);

// The native path as Windows-1252 text for a message.
std::string PfadText(const std::filesystem::path& p);

} // namespace kd
