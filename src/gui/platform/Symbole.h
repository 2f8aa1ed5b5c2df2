#pragma once
// The program's drawn icons (SVG files in the resources, under ":/icons/").
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

class QToolButton;
class QWidget;

namespace kd {

// Registers the compiled-in resources. Call once before the first icon is used
// (main and every GUI test do; calling it again does no harm).
void InitRessourcen();

// An icon from ":/icons/<name>.svg", rendered at `groesse` (and twice that for
// high-resolution screens). A missing file gives an empty icon.
QIcon SvgSymbol(const QString& name, QSize groesse);

// The picture ":/icons/<name>.svg" at its own size (times `faktor`), transparent
// background. A missing file gives a null pixmap.
QPixmap SvgBild(const QString& name, qreal faktor = 1.0);

// `f` with its size set in pixels.
QFont MitPixelGroesse(QFont f, int px);

// The faces of the symbol and index speed buttons of the dialogs that take formula
// text: a Greek letter, or (index) an "x" with a lowered "n"; 16 x 16 times `faktor`.
QIcon ZeichenKnopfbild(bool index, qreal faktor);

// Such a speed button on `eltern` at `platz`, with its hint; it never takes the focus,
// so the text edit it works on keeps its selection.
QToolButton* ZeichenKnopf(QWidget* eltern, const char* name, QRect platz, bool index,
                          const char* hinweisUtf8);

} // namespace kd
