#pragma once
// The program's shared set of mouse cursors, loaded once by the main window and kept
// for the program's lifetime. Each is drawn from ":/cursors/<name>.svg" with its hot
// spot; the names are those of the cursor resources ("CURSWAIT", "CursPfeil", ...).
#include <QCursor>
#include <QString>
#include <QStringList>

namespace kd {

// Loads the set (again: the new cursors replace the old ones).
void LoadCursors();
bool CursorsLoaded();
// The cursor of that name; the arrow before LoadCursors or for an unknown name.
QCursor KDCursor(const QString& name);
// The names of the set, in the order they are loaded.
QStringList CursorNames();
// The hot spot of a cursor image of 32 x 32 pixels.
QPoint CursorHotSpot(const QString& name);

} // namespace kd
