#pragma once
// The Symbol font encoding (Adobe Symbol) <-> Unicode. A byte written in the Symbol
// font ("~" + character in formula text) is drawn as the Unicode character of this
// table, and Unicode text pasted into a formula line is read back through it.
namespace kd {

// The Unicode character drawn for a byte of the Symbol font, 0 where the font has no
// glyph (control bytes, 127-159, 240 and 255). Digits and the ASCII punctuation that
// Symbol draws unchanged map to themselves; letters map to Greek (a -> α, p -> π),
// 165 to ∞, 242 to ∫ and 230-254 to the pieces of tall brackets (⎛ ... ⎭).
char32_t SymbolZuUnicode(unsigned char c);

// The Symbol byte of a Unicode character, -1 when the font has none. Besides the
// characters SymbolZuUnicode gives, common look-alikes are accepted (µ U+00B5 -> m,
// Ω U+2126 -> W, ∆ U+2206 -> D, the angle brackets U+2329/U+232A/U+3008/U+3009, the
// ASCII "-" and "*" -> the minus and asterisk operators). Plain ASCII characters
// that Symbol draws unchanged also map to themselves, so callers that turn text into
// the formula notation should only look up non-ASCII characters.
int UnicodeZuSymbol(char32_t u);

} // namespace kd
