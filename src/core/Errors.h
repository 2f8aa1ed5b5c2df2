#pragma once
#include <stdexcept>
#include <string>

namespace kd {

// A file could not be read or written. The message is German, meant for the user,
// and names the file (Windows-1252 text like every core string).
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& meldung) : std::runtime_error(meldung) {}
};

} // namespace kd
