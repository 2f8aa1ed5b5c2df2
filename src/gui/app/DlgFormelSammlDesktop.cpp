// What a current desktop program offers beside the old commands: undo and redo, keys
// for the commands (shown in the context menu), searching again, the page zoom and the
// window's place remembered between runs.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTextEdit>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "core/library/SucheWeiter.h"
#include "core/device/Rounding.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/VirtPntBox.h"

namespace kd {

namespace {

// The zoom steps of Ctrl++ and Ctrl+-, as factors of the standard zoom.
constexpr std::array<double, 15> Zoomstufen = {0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25,
                                               1.5, 1.75, 2.0, 2.5, 3.0, 3.5, 4.0};

} // namespace

// Ctrl+wheel over the page zooms; drags and drops on the page and the window are
// handled by the window (DlgFormelSammlZiehen.cpp).
class SeitenFilter final : public QObject {
public:
    explicit SeitenFilter(TDlgFormelSamml& w) : QObject(&w), w_(w) {}
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() == QEvent::Wheel) {
            auto* r = static_cast<QWheelEvent*>(e);
            if (!(r->modifiers() & Qt::ControlModifier)) return false;
            // A notch is 120; touch pads send less at a time.
            rest_ += r->angleDelta().y();
            while (rest_ >= 120) {
                w_.ZoomGroesser();
                rest_ -= 120;
            }
            while (rest_ <= -120) {
                w_.ZoomKleiner();
                rest_ += 120;
            }
            r->accept();
            return true;
        }
        return w_.SeitenEreignis(obj, e);
    }

private:
    TDlgFormelSamml& w_;
    int rest_ = 0;
};

// The divider between the page and the library list, dragged with the mouse.
class Teiler final : public QWidget {
public:
    explicit Teiler(TDlgFormelSamml& w) : QWidget(&w), w_(w) {
        setObjectName(QStringLiteral("Teiler1"));
        setCursor(Qt::SplitHCursor);
        setToolTip(QStringLiteral("Breite der Formelseite und der Liste ziehen"));
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        start_ = e->globalPosition().toPoint().x();
        teilung_ = w_.Teilung();
        e->accept();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!(e->buttons() & Qt::LeftButton) || start_ < 0) return;
        // Left gives the list more room.
        w_.SetTeilung(teilung_ - (e->globalPosition().toPoint().x() - start_));
    }
    void mouseReleaseEvent(QMouseEvent*) override { start_ = -1; }

private:
    TDlgFormelSamml& w_;
    int start_ = -1;
    int teilung_ = 0;
};

void TDlgFormelSamml::DesktopEinrichten() {
    verlauf_ = std::make_unique<FormelVerlauf>(sammlung_);
    verlauf_->Angewendet = [this] {
        // The records were put back: the page is laid out again, the selection shown.
        LayoutGueltig = false;
        const int akt = sammlung_.AktFormel;
        sammlung_.AktFormel = -1;  // the old frame belongs to the old layout
        if (akt >= 0) {
            SetFormel(akt);
        } else {
            RichEdit1->clear();
        }
        ShowFormel();
    };

    using T = TDlgFormelSamml;
    auto neu = [this](const char* name, const QString& text, void (T::*handler)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    auto trenner = [this](const char* name) {
        QAction* a = PopupMenu1->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
    };
    auto tasten = [this](QAction* a, std::initializer_list<QKeySequence> k) {
        a->setShortcuts(QList<QKeySequence>(k));
        a->setShortcutContext(Qt::WindowShortcut);
        a->setShortcutVisibleInContextMenu(true);
        addAction(a);  // the keys work wherever the focus is in the window
    };

    // The old items get their keys.
    tasten(Lschen1, {QKeySequence(Qt::Key_Delete)});
    tasten(NeueFormeleinfgen1, {QKeySequence(Qt::CTRL | Qt::Key_N)});
    tasten(Editieren1, {QKeySequence(Qt::Key_F2)});
    tasten(Berechnen1, {QKeySequence(Qt::Key_F9)});
    tasten(AlsTextinZwischenablage1, {QKeySequence(Qt::CTRL | Qt::Key_C)});
    tasten(AlsFormelinZwischenablage1, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)});
    tasten(Einfgen1, {QKeySequence(Qt::CTRL | Qt::Key_V)});

    // New items, after the old ones.
    trenner("N4");
    Rueckgaengig1 = neu("Rueckgaengig1", QStringLiteral("Rückgängig"), &T::RueckgaengigClick);
    Wiederholen1 = neu("Wiederholen1", QStringLiteral("Wiederholen"), &T::WiederholenClick);
    tasten(Rueckgaengig1, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    tasten(Wiederholen1, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    PopupMenu1->addAction(Rueckgaengig1);
    PopupMenu1->addAction(Wiederholen1);
    Rueckgaengig1->setEnabled(false);
    Wiederholen1->setEnabled(false);
    QUndoStack& stapel = verlauf_->Stapel();
    connect(&stapel, &QUndoStack::canUndoChanged, Rueckgaengig1, &QAction::setEnabled);
    connect(&stapel, &QUndoStack::canRedoChanged, Wiederholen1, &QAction::setEnabled);
    connect(&stapel, &QUndoStack::undoTextChanged, Rueckgaengig1, [this](const QString& t) {
        Rueckgaengig1->setText(t.isEmpty() ? QStringLiteral("Rückgängig") : QStringLiteral("Rückgängig: ") + t);
    });
    connect(&stapel, &QUndoStack::redoTextChanged, Wiederholen1, [this](const QString& t) {
        Wiederholen1->setText(t.isEmpty() ? QStringLiteral("Wiederholen") : QStringLiteral("Wiederholen: ") + t);
    });

    trenner("N5");
    FormelNachOben1 = neu("FormelNachOben1", QStringLiteral("Formel nach oben"), &T::SpeedButton2Click);
    FormelNachUnten1 = neu("FormelNachUnten1", QStringLiteral("Formel nach unten"), &T::SpeedButton3Click);
    Suchen1 = neu("Suchen1", QStringLiteral("Suchen..."), &T::SpeedButton1Click);
    Weitersuchen1 = neu("Weitersuchen1", QStringLiteral("Weitersuchen"), &T::WeitersuchenClick);
    Drucken1 = neu("Drucken1", QStringLiteral("Drucken..."), &T::SpeedDruckenClick);
    tasten(FormelNachOben1, {QKeySequence(Qt::CTRL | Qt::Key_Up)});
    tasten(FormelNachUnten1, {QKeySequence(Qt::CTRL | Qt::Key_Down)});
    tasten(Suchen1, {QKeySequence(Qt::CTRL | Qt::Key_F)});
    tasten(Weitersuchen1, {QKeySequence(Qt::Key_F3)});
    tasten(Drucken1, {QKeySequence(Qt::CTRL | Qt::Key_P)});
    for (QAction* a : {FormelNachOben1, FormelNachUnten1, Suchen1, Weitersuchen1, Drucken1})
        PopupMenu1->addAction(a);

    Vergroessern1 = neu("Vergroessern1", QStringLiteral("Vergrößern"), &T::ZoomGroesser);
    Verkleinern1 = neu("Verkleinern1", QStringLiteral("Verkleinern"), &T::ZoomKleiner);
    Originalgroesse1 = neu("Originalgroesse1", QStringLiteral("Normale Größe"), &T::ZoomNormal);
    tasten(Vergroessern1, {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    tasten(Verkleinern1, {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    tasten(Originalgroesse1, {QKeySequence(Qt::CTRL | Qt::Key_0)});
    // The zoom in a submenu, so the menu stays short enough for small screens.
    trenner("N6");
    Ansicht1 = PopupMenu1->addMenu(QStringLiteral("Ansicht"));
    Ansicht1->setObjectName(QStringLiteral("Ansicht1"));
    Ansicht1->menuAction()->setObjectName(QStringLiteral("Ansicht1"));
    for (QAction* a : {Vergroessern1, Verkleinern1, Originalgroesse1}) Ansicht1->addAction(a);

    Hilfe1 = neu("Hilfe1", QStringLiteral("Hilfe"), &T::BitBtn2Click);
    Beenden1 = neu("Beenden1", QStringLiteral("Beenden"), &T::BitBtn1Click);
    tasten(Hilfe1, {QKeySequence(Qt::Key_F1)});
    tasten(Beenden1, {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    PopupMenu1->addAction(Hilfe1);
    PopupMenu1->addAction(Beenden1);

    Teiler1 = new Teiler(*this);
    TeilungAnwenden();

    auto* filter = new SeitenFilter(*this);
    PaintBox1->installEventFilter(filter);
    CScrollBox1->viewport()->installEventFilter(filter);
    installEventFilter(filter);
    PaintBox1->setAcceptDrops(true);
    setAcceptDrops(true);
}

// ---------------------------------------------------------------------------
// Undo and search again

void TDlgFormelSamml::RueckgaengigClick() { Verlauf().Rueckgaengig(); }

void TDlgFormelSamml::WiederholenClick() { Verlauf().Wiederholen(); }

void TDlgFormelSamml::WeitersuchenClick() {
    Suchbegriffe& b = GemerkteSuchbegriffe();
    // Nothing searched yet: the search dialog asks for the terms.
    if (BegriffLeer(b.Titel) && BegriffLeer(b.Formel)) {
        SpeedButton1Click();
        return;
    }
    if (!BenennungAbschliessen()) return;
    Formelsammlung& s = sammlung_;
    // As the search does: the current library is saved first, and a failed or cancelled
    // save stops.
    bool weiter = true;
    if (!Sicher([&] { weiter = s.AktuelleSpeichern(); }) || !weiter) return;
    Suchtreffer t;
    if (!Sicher([&] {
            t = SucheNaechste(s.Bibliotheken, [&](const std::string& n) { return s.Pfad(n); }, b,
                              s.AktBibliothek, s.AktFormel);
        }))
        return;
    if (!t.Gefunden) {
        Boxen().Warnung(QStringLiteral("Keine Übereinstimmung gefunden"));
        return;
    }
    TrefferZeigen(t, false);
}

// ---------------------------------------------------------------------------
// Page zoom

void TDlgFormelSamml::SeitenzoomAnwenden() {
    if (!PaintBox1->ScrollBox) return;  // the page is set up at the first activation
    // The standard zoom shows the formulas at the old size on a screen of 96 dots per
    // inch, and at the same size in millimetres on any other.
    const int dpi = PaintBox1->logicalDpiY();
    const double z = SeitenZoom * (dpi > 0 ? dpi / 96.0 : 1.0) * zoomstufe_;
    PaintBox1->ZoomFactor = z;
    const int breite = std::max(int(PaintBox1->PageWidth), int(std::ceil(PaintBox1->PageWidth * z)) + 1);
    if (PaintBox1->width() != breite) PaintBox1->resize(breite, PaintBox1->height());
}

void TDlgFormelSamml::SetZoomstufe(double stufe) {
    if (!std::isfinite(stufe)) stufe = 1.0;
    stufe = std::clamp(stufe, ZoomMin, ZoomMax);
    if (!PaintBox1->ScrollBox) {
        zoomstufe_ = stufe;
        return;
    }
    if (stufe == zoomstufe_) return;

    // The anchor: the selected formula's frame keeps its place in the view where it can
    // and is moved into the view where it cannot; without one, the middle of the view.
    SeiteBereit();
    QScrollBar* senkrecht = CScrollBox1->verticalScrollBar();
    QScrollBar* waagerecht = CScrollBox1->horizontalScrollBar();
    const double zAlt = PaintBox1->ZoomFactor;
    const int hoehe = CScrollBox1->viewport()->height();
    const int breite = CScrollBox1->viewport()->width();
    const int akt = sammlung_.AktFormel;
    const bool mitRahmen = akt >= 0 && akt < Seite.Anzahl;
    TRect rahmen{};
    double ankerY = 0, versatz = 0;
    if (mitRahmen) {
        rahmen = Seite.Markierungsrahmen(akt);
        ankerY = rahmen.Top;
        versatz = (SeitenHoehe - rahmen.Top) * zAlt - senkrecht->value();
    } else {
        versatz = hoehe / 2.0;
        ankerY = SeitenHoehe - (senkrecht->value() + versatz) / zAlt;
    }
    const double linksX = waagerecht->value() / zAlt;

    zoomstufe_ = stufe;
    SeitenzoomAnwenden();
    const double z = PaintBox1->ZoomFactor;
    SeitenhoeheAnpassen();

    int y = int(std::lround((SeitenHoehe - ankerY) * z - versatz));
    int x = int(std::lround(linksX * z));
    if (mitRahmen) {
        const int oben = int(std::floor((SeitenHoehe - rahmen.Top) * z)) - 2;
        const int unten = int(std::ceil((SeitenHoehe - rahmen.Bottom) * z)) + 2;
        const int links = int(std::floor(rahmen.Left * z)) - 2;
        if (unten - y > hoehe) y = unten - hoehe;
        if (oben < y) y = oben;  // a frame taller than the view shows its top
        if (links < x || links > x + breite) x = std::max(0, links);
    }
    senkrecht->setValue(std::max(0, y));
    waagerecht->setValue(std::max(0, x));
    ShowFormel();
}

void TDlgFormelSamml::ZoomGroesser() {
    for (double s : Zoomstufen)
        if (s > zoomstufe_ + 1e-9) {
            SetZoomstufe(s);
            return;
        }
}

void TDlgFormelSamml::ZoomKleiner() {
    for (auto it = Zoomstufen.rbegin(); it != Zoomstufen.rend(); ++it)
        if (*it < zoomstufe_ - 1e-9) {
            SetZoomstufe(*it);
            return;
        }
}

void TDlgFormelSamml::ZoomNormal() { SetZoomstufe(1.0); }

// ---------------------------------------------------------------------------
// The divider

void TDlgFormelSamml::SetTeilung(int pixel) {
    teilung_ = std::max(0, pixel);
    QResizeEvent e(size(), size());
    resizeEvent(&e);  // every control in its place again, with the new Teilung
}

void TDlgFormelSamml::TeilungAnwenden() {
    if (!Teiler1 || !CScrollBox1 || !ListBox1) return;
    // The page keeps at least this width.
    constexpr int MinSeite = 150;
    QRect seite = CScrollBox1->geometry();
    const int t = std::clamp(teilung_, 0, std::max(0, seite.width() - MinSeite));
    if (t > 0) {
        seite.setWidth(seite.width() - t);
        CScrollBox1->setGeometry(seite);
        // The list and the name field grow to the left; the logo and the buttons below
        // them stay in the middle of the wider column.
        for (QWidget* b : {static_cast<QWidget*>(ListBox1), static_cast<QWidget*>(Edit1)}) {
            QRect r = b->geometry();
            r.setLeft(r.left() - t);
            b->setGeometry(r);
        }
        const QRect liste = ListBox1->geometry();
        for (QWidget* b : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (b == ListBox1 || b == Edit1 || b == Teiler1 || b == RichEdit2 || b == SpeedButton5 ||
                b == SpeedButton7 || b->x() < liste.left() + t)
                continue;
            if (b->isWindow()) continue;
            b->move(b->x() - t / 2, b->y());
        }
    }
    const QRect liste = ListBox1->geometry();
    Teiler1->setGeometry(seite.right() + 1, seite.top(), std::max(2, liste.left() - seite.right() - 1),
                         seite.height());
    Teiler1->raise();
}

// ---------------------------------------------------------------------------
// Settings: in the user's configuration folder, never beside the libraries.

namespace {

std::unique_ptr<QSettings> Einstellungen() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("KALDORA"), QStringLiteral("Formelsammlung"));
}

} // namespace

void TDlgFormelSamml::EinstellungenLaden() {
    einstellungen_ = true;
    const auto einst = Einstellungen();
    QSettings& e = *einst;
    e.beginGroup(QStringLiteral("Hauptfenster"));
    const QByteArray geometrie = e.value(QStringLiteral("Geometrie")).toByteArray();
    if (!geometrie.isEmpty()) restoreGeometry(geometrie);
    bool ok = false;
    const double stufe = e.value(QStringLiteral("Zoom"), 1.0).toDouble(&ok);
    SetZoomstufe(ok ? stufe : 1.0);
    const int teilung = e.value(QStringLiteral("Teilung"), 0).toInt(&ok);
    SetTeilung(ok ? teilung : 0);
}

void TDlgFormelSamml::EinstellungenSpeichern() const {
    const auto einst = Einstellungen();
    QSettings& e = *einst;
    e.beginGroup(QStringLiteral("Hauptfenster"));
    e.setValue(QStringLiteral("Geometrie"), saveGeometry());
    e.setValue(QStringLiteral("Zoom"), zoomstufe_);
    e.setValue(QStringLiteral("Teilung"), teilung_);
    e.endGroup();
    e.sync();
}

} // namespace kd
