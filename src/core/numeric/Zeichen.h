#pragma once
// Character classes of the formula notation. Text is Windows-1252, so the tests
// take single bytes.

namespace kd {

// Characters that may form identifiers and constant names: the double quote, "%",
// the apostrophe, digits, letters, "_", "|", "~" and the Windows-1252 characters
// ¥ ² ³ Ä Ö Ü ä ö ü.
constexpr bool IstNamenszeichen(unsigned char c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    switch (c) {
    case '"': case '%': case '\'': case '_': case '|': case '~':
    case 0xA5: case 0xB2: case 0xB3:              // ¥ ² ³
    case 0xC4: case 0xD6: case 0xDC:              // Ä Ö Ü
    case 0xE4: case 0xF6: case 0xFC:              // ä ö ü
        return true;
    default:
        return false;
    }
}

// Characters with a special rule inside identifiers: they end a name unless they
// stand first or directly after "|" ("_" and "~" never end one).
constexpr bool IstTrennzeichen(unsigned char c) {
    switch (c) {
    case '-': case '.': case ':': case '=': case '^': case '_': case '~':
        return true;
    default:
        return false;
    }
}

} // namespace kd
