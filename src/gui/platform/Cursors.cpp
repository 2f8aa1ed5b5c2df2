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

// The set counts as loaded from LoadCursors on; each image is drawn the first time its
// cursor is asked for, so the start of the program does not draw eighteen pictures
// that a session mostly never shows.
struct Zustand {
    bool geladen = false;
    QHash<QString, QCursor> gezeichnet;
};

Zustand& Satzzustand() {
    static Zustand z;
    return z;
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

// The last entry of the name wins (CursBusy is in the set twice).
const Eintrag* Finde(const QString& name) {
    const Eintrag* gefunden = nullptr;
    for (const Eintrag& e : Satz)
        if (name == QLatin1String(e.name)) gefunden = &e;
    return gefunden;
}

} // namespace

void LoadCursors() {
    InitRessourcen();
    Zustand& z = Satzzustand();
    z.gezeichnet.clear();
    z.geladen = true;
}

bool CursorsLoaded() { return Satzzustand().geladen; }

QCursor KDCursor(const QString& name) {
    Zustand& z = Satzzustand();
    const Eintrag* e = z.geladen ? Finde(name) : nullptr;
    if (!e) return QCursor(Qt::ArrowCursor);
    auto it = z.gezeichnet.constFind(name);
    if (it == z.gezeichnet.constEnd()) it = z.gezeichnet.insert(name, Lade(*e));
    return *it;
}

QStringList CursorNames() {
    QStringList n;
    for (const Eintrag& e : Satz)
        if (!n.contains(QLatin1String(e.name))) n << QString::fromLatin1(e.name);
    return n;
}

QPoint CursorHotSpot(const QString& name) {
    const Eintrag* e = Finde(name);
    return e ? e->hotSpot : QPoint();
}

} // namespace kd
