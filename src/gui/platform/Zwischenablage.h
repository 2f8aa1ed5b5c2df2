#pragma once
// The clipboard of the formula collection.
//
// Text: a formula goes on the clipboard as rich text (HTML, Greek letters and indices as
// the text line shows them), as plain text (Greek letters as Unicode) and in our own
// type application/x-kdformel-formeltext, which carries the formula text exactly (its
// Windows-1252 bytes with the "~" and "|" codes). Reading a formula back prefers our
// own type, then rich text, then plain text; Greek letters from other programs become
// "~" codes again.
//
// Picture: a formula as image/svg+xml (vectors, at true size in millimetres) and as
// image/png (300 pixels per inch, with that resolution stored in the file).
#include <QByteArray>
#include <QImage>
#include <QString>

#include <string>

class QMimeData;
class QTextDocumentFragment;
class QTextEdit;

namespace kd {

struct Formelbild;

inline constexpr const char* FormeltextMime = "application/x-kdformel-formeltext";
inline constexpr double FormelbildDpi = 300.0;

// Puts the fragment (as rich and plain text) and the exact formula text into `daten`
// (the clipboard's text formats; a dragged formula carries the same).
void TextDaten(QMimeData& daten, const QTextDocumentFragment& text, const std::string& formeltext);
// Puts the fragment (as rich and plain text) and the exact formula text on the
// clipboard. An empty `formeltext` leaves our own type out.
void TextInZwischenablage(const QTextDocumentFragment& text, const std::string& formeltext);

// The formula text the clipboard holds, read as described above; `hilfsEdit` is a
// rich-text edit the rich or plain text is put into to be read back (its content is
// replaced). Empty when the clipboard holds no text.
std::string FormeltextAusZwischenablage(QTextEdit* hilfsEdit, QString* nichtDarstellbar = nullptr);
// The same from given clipboard data.
// Characters of the text that have no place in a formula text are appended to
// `nichtDarstellbar` (they read as "?").
std::string FormeltextAus(const QMimeData& daten, QTextEdit* hilfsEdit,
                          QString* nichtDarstellbar = nullptr);

// The picture of a formula: an SVG document of Breite x Hoehe tenths of a millimetre,
// and a PNG image at `dpi` (white ground, the resolution stored).
QByteArray FormelbildSvg(const Formelbild& bild);
QImage FormelbildPng(const Formelbild& bild, double dpi = FormelbildDpi);
// Puts both into `daten` (the clipboard's picture formats); a MathML element (UTF-8)
// goes with them as application/mathml+xml and as text/html, so a target that
// understands MathML takes an editable equation.
void BildDaten(QMimeData& daten, const Formelbild& bild, const std::string& mathml = {});
// Puts the same on the clipboard (the clipboard is emptied first).
void BildInZwischenablage(const Formelbild& bild, const std::string& mathml = {});

inline constexpr const char* MathMLMime = "application/mathml+xml";
// Puts an exported formula (UTF-8) on the clipboard as plain text; MathML also as
// application/mathml+xml and text/html.
void ExportInZwischenablage(const std::string& utf8, bool mathml);

} // namespace kd
