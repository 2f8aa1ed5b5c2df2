#include "gui/platform/Cursors.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "gui/platform/Symbole.h"

namespace kd {

namespace {

struct Eintrag {
    const char* name;
    QPoint hotSpot;  // in the 32 x 32 image
};

// In load order; "CursBusy" is loaded twice, the second handle replacing the first.
const Eintrag Satz[] = {
    {"CURSWAIT", {16, 16}},    {"CURSSIZE", {16, 16}},  {"CURSNORDOST", {16, 16}},
    {"CURSNORDWEST", {16, 16}}, {"CURSNORDSUD", {16, 16}}, {"CURSWESTOST", {16, 16}},
    {"CursLine", {16, 16}},    {"CursPfeil", {3, 2}},   {"CursRect", {16, 16}},
    {"CursKreis", {16, 16}},   {"CursBogen", {16, 16}}, {"CursPoly", {16, 16}},
    {"CursZoom", {12, 12}},    {"CursCross", {16, 16}}, {"CursBusy", {3, 2}},
    {"CursBusy", {3, 2}},      {"CursDrehen", {16, 16}}, {"CursBeam", {16, 16}},
};

QHash<QString, QCursor>& Geladen() {
    static QHash<QString, QCursor> h;
    return h;
}

QCursor Lade(const Eintrag& e) {
    QSvgRenderer r(QStringLiteral(":/cursors/%1.svg").arg(QLatin1String(e.name)));
    if (!r.isValid()) return QCursor(Qt::ArrowCursor);
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap bild(QSize(32, 32) * dpr);
    bild.setDevicePixelRatio(dpr);
    bild.fill(Qt::transparent);
    {
        QPainter p(&bild);
        p.setRenderHint(QPainter::Antialiasing);
        r.render(&p, QRectF(0, 0, 32, 32));
    }
    return QCursor(bild, e.hotSpot.x(), e.hotSpot.y());
}

} // namespace

void LoadCursors() {
    InitRessourcen();
    for (const Eintrag& e : Satz) Geladen().insert(QString::fromLatin1(e.name), Lade(e));
}

bool CursorsLoaded() { return !Geladen().isEmpty(); }

QCursor KDCursor(const QString& name) {
    auto it = Geladen().constFind(name);
    return it == Geladen().constEnd() ? QCursor(Qt::ArrowCursor) : *it;
}

QStringList CursorNames() {
    QStringList n;
    for (const Eintrag& e : Satz)
        if (!n.contains(QLatin1String(e.name))) n << QString::fromLatin1(e.name);
    return n;
}

QPoint CursorHotSpot(const QString& name) {
    for (const Eintrag& e : Satz)
        if (name == QLatin1String(e.name)) return e.hotSpot;
    return {};
}

} // namespace kd
