#pragma once
// Text helpers shared by the files of the formula dialog.
#include <QString>

#include <string_view>

class QTextEdit;

namespace kd::dlgformel {

// The formula text as a reader sees it: "~c" as its Greek letter, "|" marks dropped.
QString Anzeige(std::string_view t);
// The number of characters in a one-line edit.
int Zeichenzahl(const QTextEdit* e);

} // namespace kd::dlgformel
