#include "gui/platform/VirtPntBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace kd::gui {

// ---- TCScrollBox --------------------------------------------------------------------

TCScrollBox::TCScrollBox(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

int TCScrollBox::VertScrollBarWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

int TCScrollBox::HorzScrollBarHeight() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

int TCScrollBox::HorzPosition() const { return horizontalScrollBar()->value(); }
int TCScrollBox::VertPosition() const { return verticalScrollBar()->value(); }
void TCScrollBox::SetHorzPosition(int pos) { horizontalScrollBar()->setValue(pos); }
void TCScrollBox::SetVertPosition(int pos) { verticalScrollBar()->setValue(pos); }

void TCScrollBox::SetHorzRange(int range, int lineStep) {
    if (QWidget* w = widget()) w->resize(std::max(range, 1), w->height());
    horizontalScrollBar()->setSingleStep(lineStep);
}

void TCScrollBox::SetVertRange(int range, int lineStep) {
    if (QWidget* w = widget()) w->resize(w->width(), std::max(range, 1));
    verticalScrollBar()->setSingleStep(lineStep);
}

void TCScrollBox::resizeEvent(QResizeEvent* e) {
    QScrollArea::resizeEvent(e);
    // The view size follows the scroll box (the zoom factor stays).
    if (auto* box = qobject_cast<TVirtPntBox*>(widget()); box && box->ScrollBox == this)
        box->SetScaleXY();
}

// ---- TVirtPntBox --------------------------------------------------------------------

TVirtPntBox::TVirtPntBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(32000, 32000);
}

TVirtPntBox::~TVirtPntBox() = default;

void TVirtPntBox::SetParameter(bool portrait, std::int32_t m0, std::int32_t m1,
                               std::int32_t m2, std::int32_t m3, Extended baseZoom,
                               TCScrollBox* scrollBox) {
    if (scrollBox && scrollBox->widget() != this) scrollBox->setWidget(this);
    kd::TVirtPntBox::SetParameter(portrait, m0, m1, m2, m3, baseZoom, scrollBox);
}

void TVirtPntBox::SetNewCursor(const QCursor& cursor) { setCursor(cursor); }

QWidget* TVirtPntBox::HWindow() const {
    if (auto* sb = dynamic_cast<TCScrollBox*>(ScrollBox)) return sb;
    return parentWidget() ? parentWidget() : window();
}

QRect TVirtPntBox::PixelRect(const TRect& rIn) const {
    const TRect r = NormalizeRect(rIn);
    const double z = ZoomFactor > 0 ? ZoomFactor : 1.0;
    // The page point (x, y) is at view pixel (z (x - orgX), z (orgY - y)); the view
    // starts at the scroll position.
    const double sx = HorzScroll(), sy = VertScroll();
    const double l = sx + z * (r.Left - WindowOrgX), rr = sx + z * (r.Right - WindowOrgX);
    const double t = sy + z * (WindowOrgY - r.Top), b = sy + z * (WindowOrgY - r.Bottom);
    return QRect(QPoint(int(std::floor(l)) - 1, int(std::floor(t)) - 1),
                 QPoint(int(std::ceil(rr)) + 1, int(std::ceil(b)) + 1));
}

void TVirtPntBox::InvalidateLogicalRect(const TRect& r, bool /*erase*/) {
    update(PixelRect(r));
}

void TVirtPntBox::paintEvent(QPaintEvent* e) {
    if (painting_) return;  // no nested paint
    painting_ = true;
    QPainter p(this);
    p.fillRect(e->rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // The canvas starts at the view's top-left corner (the scroll position).
    canvas_.Begin(&p, QPointF(HorzScroll(), VertScroll()));
    SetScale();
    if (OnPaint) {
        const QRect d = e->rect();
        const QPoint tl = d.topLeft(), br = d.bottomRight() + QPoint(1, 1);
        const TRect dirty{GetVirtX(tl.x()), GetVirtY(tl.y()), GetVirtX(br.x()), GetVirtY(br.y())};
        OnPaint(canvas_, dirty);
    }
    canvas_.End();
    p.end();
    painting_ = false;
    emit Gemalt();
}

void TVirtPntBox::mousePressEvent(QMouseEvent* e) {
    emit MausGedrueckt(e->button(), e->position().toPoint(), e->globalPosition().toPoint());
    e->accept();
}

void TVirtPntBox::mouseReleaseEvent(QMouseEvent* e) {
    emit MausLosgelassen(e->button(), e->position().toPoint());
    e->accept();
}

void TVirtPntBox::mouseMoveEvent(QMouseEvent* e) {
    emit MausBewegt(e->position().toPoint());
    e->accept();
}

void TVirtPntBox::mouseDoubleClickEvent(QMouseEvent* e) {
    emit Doppelklick();
    e->accept();
}

} // namespace kd::gui
