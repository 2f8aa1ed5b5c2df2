#pragma once
// The virtual page paint box as a widget, and the scroll box that holds it.
//
// gui::TVirtPntBox is the widget face of kd::TVirtPntBox (core/device/VirtPntBox.h, the
// arithmetic): it shows a paper page in logical units of 0.1 mm with y up. In its
// paint event it binds its canvas (a QtDevice) to the painter, applies the mapping
// (SetScale) and hands the canvas to OnPaint; outside a paint event the canvas only
// measures. Mouse positions are pixels of the widget, turned into page units with
// GetVirtX / GetVirtY.
//
// gui::TCScrollBox is a plain scroll area. Its scroll range in pixels is the size of
// the paint box inside it (SetHorzRange / SetVertRange resize the paint box), and the
// paint box's canvas is placed at the view's top-left corner, where the mapping puts
// the window origin.
#include <QCursor>
#include <QPoint>
#include <QScrollArea>
#include <QWidget>

#include <functional>

#include "core/device/VirtPntBox.h"
#include "core/typeset/GBasis.h"
#include "gui/platform/QtDevice.h"

namespace kd::gui {

class TCScrollBox : public QScrollArea, public TScrollBoxPort {
    Q_OBJECT
public:
    explicit TCScrollBox(QWidget* parent = nullptr);

    int Width() const override { return width(); }
    int Height() const override { return height(); }
    int VertScrollBarWidth() const override;
    int HorzScrollBarHeight() const override;
    int HorzPosition() const override;
    int VertPosition() const override;
    void SetHorzPosition(int pos) override;
    void SetVertPosition(int pos) override;
    void SetHorzRange(int range, int lineStep) override;
    void SetVertRange(int range, int lineStep) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
};

class TVirtPntBox : public QWidget, public kd::TVirtPntBox, public TInvalidateTarget {
    Q_OBJECT
public:
    // 32000 x 32000 pixels until SetParameter sets the page's scroll ranges.
    explicit TVirtPntBox(QWidget* parent = nullptr);
    ~TVirtPntBox() override;

    // Sets up the page inside `scrollBox` (which takes the paint box as its widget), or
    // alone when it is null.
    void SetParameter(bool portrait, std::int32_t m0, std::int32_t m1, std::int32_t m2,
                      std::int32_t m3, Extended baseZoom, TCScrollBox* scrollBox);

    // The canvas: drawing while OnPaint runs, measuring only otherwise.
    kd::Device* Canvas() override { return &canvas_; }
    QtDevice& Leinwand() { return canvas_; }
    int BoxWidth() const override { return width(); }
    int BoxHeight() const override { return height(); }

    // The paint handler: the canvas is mapped (SetScale) and white where it is dirty.
    // `dirty` is the part of the page to repaint, in page units.
    std::function<void(kd::Device& dc, const TRect& dirty)> OnPaint;

    // Makes the cursor the current mouse cursor at once.
    void SetNewCursor(const QCursor& cursor);
    // The window of the paint box's parent: the scroll box, or the dialog.
    QWidget* HWindow() const;

    // Repaints a page rectangle (logical units).
    void InvalidateLogicalRect(const TRect& r, bool erase) override;
    // The pixel rectangle of a page rectangle, in widget coordinates.
    QRect PixelRect(const TRect& r) const;

signals:
    void MausGedrueckt(Qt::MouseButton taste, QPoint pos, QPoint globalPos);
    void MausLosgelassen(Qt::MouseButton taste, QPoint pos);
    void MausBewegt(QPoint pos);
    void Doppelklick();
    // After OnPaint, for observers that only need to know a paint happened.
    void Gemalt();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QtDevice canvas_;
    bool painting_ = false;
};

} // namespace kd::gui
