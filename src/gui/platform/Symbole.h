#pragma once
// The program's drawn icons (SVG files in the resources, under ":/icons/").
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

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

} // namespace kd
