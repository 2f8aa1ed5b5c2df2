#pragma once
// Windows-1252 <-> UTF-8. Core text is Windows-1252; these two functions are the one
// place where it meets Unicode (widgets, terminal, file names, SVG/PDF).
#include <string>
#include <string_view>

namespace kd {

// Every byte maps to a code point; the five bytes that Windows-1252 leaves undefined
// (81 8D 8F 90 9D) map to the C1 control of the same number, so the round trip is exact.
std::string Cp1252ToUtf8(std::string_view cp1252);

// Converts UTF-8 to Windows-1252. Returns false (out holds what was converted, with '?'
// for the failing characters) when a character has no Windows-1252 form or the UTF-8
// is malformed.
bool Utf8ToCp1252(std::string_view utf8, std::string& out);

// Unicode code point of a Windows-1252 byte, and back (-1 when none).
// Appends the UTF-8 form of one Unicode character.
void AppendUtf8(std::string& out, char32_t u);

char32_t Cp1252ToUnicode(unsigned char c);
int UnicodeToCp1252(char32_t u);

} // namespace kd
