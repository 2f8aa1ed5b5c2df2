#pragma once
// Pasting a formula from the clipboard: the text as it is taken into the library.
//
// Characters below code 32 (line breaks, tabs) are removed; a text without "=" gets
// "Y=" in front and a text that begins with "=" gets "Y", so that a pasted right side
// becomes a formula ("a+b" and "=a+b" both give "Y=a+b"). The result is cut to the 255
// characters of a formula text. Whether the text can be inserted is decided by the
// parser in collecting mode, as the paste checks it; a text that does not parse goes to
// the formula dialog for correcting instead.
#include <string>

#include "core/library/Sammlung.h"

namespace kd {

// Removes every character with a code below 32.
std::string OhneSteuerzeichen(const std::string& text);

// The "Y=" rules.
std::string MitLinkerSeite(const std::string& text);

// Both, then cut to 255 characters.
std::string EinfuegeText(const std::string& text);

// Whether the text parses in collecting mode (no elements, no collecting list).
bool EinfuegenMoeglich(const std::string& text);

// Inserts a new record with the text after the selected formula (appended when none
// is selected), selects it and marks the library changed. The layouts become invalid.
// Returns the index of the new record.
int FormelEinfuegen(Formelsammlung& s, const std::string& text);

} // namespace kd
