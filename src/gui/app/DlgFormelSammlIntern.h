#pragma once
// Helpers shared by the main window's source files (DlgFormelSamml*.cpp) and by no one
// else.
#include <QString>

#include <string>

#include "core/numeric/Encoding.h"

namespace kd {
namespace {

// A text of the state (Windows-1252) as the window shows it.
inline QString U(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

} // namespace
} // namespace kd
