#include "gui/app/FormelSeite.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace kd {

FormelSeite::FormelSeite(QWidget* eltern) : QWidget(eltern) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFixedSize(PixelGroesse());
    setMouseTracking(true);
}

QSize FormelSeite::PixelGroesse() {
    return {static_cast<int>(std::lround(SeitenBreite * Zoom)),
            static_cast<int>(std::lround(SeitenHoehe * Zoom))};
}

void FormelSeite::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(e->rect(), Qt::white);
}

void FormelSeite::mousePressEvent(QMouseEvent* e) {
    emit MausGedrueckt(e->button(), e->position().toPoint(), e->globalPosition().toPoint());
    e->accept();
}

void FormelSeite::mouseReleaseEvent(QMouseEvent* e) {
    emit MausLosgelassen(e->button(), e->position().toPoint());
    e->accept();
}

void FormelSeite::mouseMoveEvent(QMouseEvent* e) {
    emit MausBewegt(e->position().toPoint());
    e->accept();
}

void FormelSeite::mouseDoubleClickEvent(QMouseEvent* e) {
    emit Doppelklick();
    e->accept();
}

} // namespace kd
