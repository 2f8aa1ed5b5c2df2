#pragma once
// The formula page inside the scroll box: for now a white A4 page (2100 x 2970 tenths
// of a millimetre at zoom 0.35) that reports mouse presses, releases and double clicks
// to the window. Painting the formulas is added with the page drawing.
#include <QPoint>
#include <QWidget>

namespace kd {

class FormelSeite : public QWidget {
    Q_OBJECT
public:
    static constexpr double Zoom = 0.35;
    static constexpr int SeitenBreite = 2100;  // tenths of a millimetre
    static constexpr int SeitenHoehe = 2970;

    explicit FormelSeite(QWidget* eltern = nullptr);

    // Page size in pixels at the zoom factor.
    static QSize PixelGroesse();

signals:
    void MausGedrueckt(Qt::MouseButton taste, QPoint pos, QPoint globalPos);
    void MausLosgelassen(Qt::MouseButton taste, QPoint pos);
    void MausBewegt(QPoint pos);
    void Doppelklick();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

} // namespace kd
