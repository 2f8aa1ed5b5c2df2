#include "gui/platform/Symbole.h"

#include "gui/platform/RichText.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolButton>

// The resource file lives in the static gui library; its initialiser is only pulled
// in by an explicit reference.
static void InitKdformelRessourcen() { Q_INIT_RESOURCE(kdformel); }

namespace kd {

void InitRessourcen() {
    static const bool einmal = (InitKdformelRessourcen(), true);
    (void)einmal;
}

namespace {

QString Pfad(const QString& name) { return QStringLiteral(":/icons/%1.svg").arg(name); }

QPixmap Zeichne(QSvgRenderer& r, QSize groesse) {
    QPixmap bild(groesse);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    r.render(&p, QRectF(QPointF(0, 0), QSizeF(groesse)));
    return bild;
}

} // namespace

QIcon SvgSymbol(const QString& name, QSize groesse) {
    InitRessourcen();
    QSvgRenderer r(Pfad(name));
    if (!r.isValid() || groesse.isEmpty()) return {};
    QIcon icon;
    icon.addPixmap(Zeichne(r, groesse));
    // The sharp double-size picture only where a screen shows it: drawing it costs
    // four times the pixels at every start.
    if (qApp && qApp->devicePixelRatio() > 1.0) {
        QPixmap doppelt = Zeichne(r, groesse * 2);
        doppelt.setDevicePixelRatio(2.0);
        icon.addPixmap(doppelt);
    }
    return icon;
}

QPixmap SvgBild(const QString& name, qreal faktor) {
    InitRessourcen();
    QSvgRenderer r(Pfad(name));
    if (!r.isValid()) return {};
    QSize groesse = (QSizeF(r.defaultSize()) * faktor).toSize();
    if (groesse.isEmpty()) return {};
    return Zeichne(r, groesse);
}

QFont MitPixelGroesse(QFont f, int px) {
    f.setPixelSize(px);
    return f;
}

QIcon ZeichenKnopfbild(bool index, qreal faktor) {
    QPixmap bild(QSize(16, 16) * faktor);
    bild.setDevicePixelRatio(faktor);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::black);
    if (index) {
        p.setFont(MitPixelGroesse(QFont(QString::fromLatin1(NormalFamilie)), 13));
        p.drawText(QPointF(1, 11), QStringLiteral("x"));
        p.setFont(MitPixelGroesse(QFont(QString::fromLatin1(NormalFamilie)), 9));
        p.drawText(QPointF(9, 15), QStringLiteral("n"));
    } else {
        p.setFont(MitPixelGroesse(QFont(QString::fromLatin1(SymbolFamilie)), 14));
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QString(QChar(0x03B1)));
    }
    p.end();
    return QIcon(bild);
}

QToolButton* ZeichenKnopf(QWidget* eltern, const char* name, QRect platz, bool index,
                          const char* hinweisUtf8) {
    auto* k = new QToolButton(eltern);
    k->setObjectName(QString::fromLatin1(name));
    k->setGeometry(platz);
    k->setIcon(ZeichenKnopfbild(index, eltern->devicePixelRatioF()));
    k->setIconSize(QSize(16, 16));
    k->setToolTip(QString::fromUtf8(hinweisUtf8));
    k->setAccessibleName(k->toolTip());  // read by screen readers
    k->setFocusPolicy(Qt::NoFocus);
    return k;
}

} // namespace kd
