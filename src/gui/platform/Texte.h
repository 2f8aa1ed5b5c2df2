#pragma once
// The core keeps its texts as Windows-1252 bytes; this is how the window shows them.
#include <QString>

#include <string_view>

#include "core/numeric/Encoding.h"

namespace kd {

// A Windows-1252 text as a QString.
inline QString AusCp1252(std::string_view cp1252) {
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

} // namespace kd
