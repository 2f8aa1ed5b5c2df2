#pragma once
// Formula text in rich-text edits.
//
// A formula line shown in a QTextEdit has one document character per visible
// character of the formula text:
//   - "~c" (c in the Symbol font) is the Unicode character of c (SymbolZuUnicode: a -> α,
//     p -> π, byte 165 -> ∞), drawn in "DejaVu Sans"; its character format carries the
//     Symbol byte in the property SymbolByteProperty, so it reads back exactly;
//   - "|c" (an index) is c at IndexPunkte (7 pt); "~|c" is both;
//   - every other character is "Arial" at the size the caller gives.
// Reading back also understands text that came from elsewhere: a non-ASCII letter the
// Symbol table knows (a pasted "α", "∞") becomes "~" + its byte, a character in a font
// named "Symbol" (text copied from a Windows program) becomes "~" + that character,
// and any character below 8 pt becomes an index.
//
// While a conversion works on an edit, the edit's signals are blocked and
// RichTextUmwandlungLaeuft() is true, so change handlers (textChanged, event filters)
// can ignore what the conversion does.
#include <QTextCharFormat>
#include <QString>
#include <QTextFormat>

#include <string>

#include "core/Types.h"
#include <string_view>

class QTextCursor;
class QTextEdit;

namespace kd {

// The character-format property holding the Symbol byte of a Greek letter (an int).
inline constexpr int SymbolByteProperty = QTextFormat::UserProperty + 1;

// The size of index characters, and the size below which a character is an index.
inline constexpr double IndexPunkte = 7.0;
inline constexpr double IndexGrenzePunkte = 8.0;
// Index characters are also lowered by this part of their height (in percent), so
// they look like indices; only the size counts when the text is read back.
inline constexpr double IndexAbsenkung = -25.0;

// The family Symbol bytes are drawn with (the only Debian family with all of them).
inline constexpr const char* SymbolFamilie = "DejaVu Sans";
inline constexpr const char* NormalFamilie = "Arial";

// True while RichTextZuFormeltext or FormeltextZuRichText works on an edit.
bool RichTextUmwandlungLaeuft();

// The formula text (Windows-1252, at most 255 bytes) of the edit's content: at most
// the first 255 characters are read, characters below code 32 at either end are
// dropped, paragraph and line breaks count as code 10, and each character becomes
// "~" + Symbol byte, "|" + character, "~|" + Symbol byte or itself (see above). A
// character without a Windows-1252 form that is no Symbol character becomes "?".
// The edit's content, selection and undo history are left untouched.
// `grenze` is the most bytes read (a check of the stored length reads beyond 255).
// Unicode sub- and superscripts (pasted "s₁", "x⁻¹") become the notation: each
// subscript "|" + its character, a run of superscripts "^c" or "^(...)".
std::string RichTextZuFormeltext(QTextEdit* edit, std::size_t grenze = KurzerStringMax);
// The same; the characters that became "?" are appended to `nichtDarstellbar`.
std::string RichTextZuFormeltext(QTextEdit* edit, QString* nichtDarstellbar,
                                 std::size_t grenze = KurzerStringMax);
// The refusal of characters that have no place in a formula text.
QString FremdeZeichenText(const QString& zeichen);
// Whether the edit holds Unicode sub- or superscripts that read back as notation.
bool HatHochOderTiefgestellte(QTextEdit* edit);

// Replaces the content of the edit by the formula text: "~c" a Symbol character at
// `punkte`, "~|c" a Symbol character at 7 pt, "|c" an "Arial" character at 7 pt, any
// other character "Arial" at `punkte`. A "~" or "|" at the very end stays as it is. A
// text that is empty or only blanks leaves the edit empty. Afterwards new typing is
// "Arial" at `punkte`, and the caret is where it was (at most at the end). The whole
// replacement is one undo step.
void FormeltextZuRichText(std::string_view formeltext, QTextEdit* edit, double punkte);

// The character formats of the notation.
QTextCharFormat NormalFormat(double punkte);                       // "Arial"
QTextCharFormat SymbolFormat(unsigned char byte, double punkte);  // the byte's letter
QTextCharFormat IndexFormat();                                     // "Arial" 7 pt, lowered
// Makes a format an index: 7 pt, lowered (family and Symbol byte stay).
void Tiefstellen(QTextCharFormat& f);

// The character an edit shows for a Symbol byte (the Windows-1252 character when
// the Symbol font has no glyph for it).
QChar SymbolZeichen(unsigned char byte);

// Inserts a Symbol character at the cursor (replacing its selection) in SymbolFormat;
// `index` gives it the index size instead of `punkte`. The cursor's insertion format
// is "Arial" at `punkte` afterwards.
void SymbolEinfuegen(QTextCursor& cursor, unsigned char byte, double punkte, bool index = false);

// The byte offset in `formeltext` where visible character `sichtbar` (0-based, as the
// edit counts them after FormeltextZuRichText) begins, including its "~" / "|"
// prefixes; the text length when there are fewer characters.
std::size_t FormeltextPosition(std::string_view formeltext, int sichtbar);

} // namespace kd
