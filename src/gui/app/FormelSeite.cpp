#include "gui/app/FormelSeite.h"

#include <algorithm>

namespace kd {

void FormelSeiteEinrichten(gui::TVirtPntBox& paintBox, gui::TCScrollBox& scrollBox) {
    paintBox.SetParameter(true, 0, 0, 0, 0, 1.0L, &scrollBox);
    paintBox.ZoomFactor = SeitenZoom;
    paintBox.PageHeight = SeitenHoehe;
    paintBox.update();
}

bool Seitenpuffer::Passt(QPoint scroll, QSize view, qreal dpr) const {
    return gueltig_ && pos_ == scroll && bild_.deviceIndependentSize().toSize() == view.expandedTo({1, 1}) &&
           bild_.devicePixelRatio() == dpr;
}

QImage& Seitenpuffer::Neu(QPoint scroll, QSize view, qreal dpr, const DeviceMapping& abbildung) {
    const QSize groesse = view.expandedTo({1, 1});
    const QSize pixel = (QSizeF(groesse) * dpr).toSize().expandedTo({1, 1});
    if (bild_.size() != pixel || bild_.devicePixelRatio() != dpr) {
        bild_ = QImage(pixel, QImage::Format_RGB32);
        bild_.setDevicePixelRatio(dpr);
    }
    bild_.fill(Qt::white);
    pos_ = scroll;
    abbildung_ = abbildung;
    gueltig_ = !bild_.isNull();
    return bild_;
}

QRegion Rahmenregion(const gui::TVirtPntBox& paintBox, const TRect& r) {
    const QRect aussen = paintBox.PixelRect(r).adjusted(-1, -1, 1, 1);
    QRegion region(aussen);
    const QRect innen = aussen.adjusted(4, 4, -4, -4);
    if (innen.isValid()) region -= QRegion(innen);
    return region;
}

} // namespace kd
