// The main window's keys and mouse: the context menu, the keys of the text line and the
// library list, the Tab marking of sub-formulas, clicks on the page, and the event
// filter that routes the controls' key and mouse events to these handlers.
#include "gui/app/DlgFormelSamml.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>
#include <string>

#include "core/notation/Gleichung.h"
#include "gui/app/FormelSeite.h"
#include "gui/platform/Cursors.h"
#include "gui/platform/RichText.h"

namespace kd {

void TDlgFormelSamml::PopupZeigen(QPoint globalPos) {
    Verlauf().Pruefen();  // the undo items name what can be undone now
    PopupMenu1->popup(globalPos);
}

void TDlgFormelSamml::SpeedButton4Click() {
    if (!BenennungAbschliessen()) return;
    PopupZeigen(mapToGlobal(QPoint(300, 350)));
}

// ---------------------------------------------------------------------------
// Keys and mouse

bool TDlgFormelSamml::RichEdit1KeyDown(QKeyEvent* e) {
    const int anzahl = sammlung_.FormelListe.Count();
    QScrollBar* senkrecht = CScrollBox1->verticalScrollBar();
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        TabMarkieren();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SpeedFormEditClick();
        return true;
    case Qt::Key_PageUp:
        // By the height of what is visible (without the horizontal scroll bar), so no
        // strip of the page is skipped.
        senkrecht->setValue(std::max(0, senkrecht->value() - CScrollBox1->viewport()->height()));
        return true;
    case Qt::Key_PageDown:
        senkrecht->setValue(senkrecht->value() + CScrollBox1->viewport()->height());
        return true;
    case Qt::Key_End:
        if (anzahl > 0) SetFormel(anzahl - 1);
        return true;
    case Qt::Key_Home:
        SetFormel(0);
        return true;
    case Qt::Key_Up:
        if (anzahl > 0) SetFormel(sammlung_.AktFormel - 1);
        return true;
    case Qt::Key_Down:
        if (anzahl > 0) SetFormel(sammlung_.AktFormel + 1);
        return true;
    default:
        return false;
    }
}

void TDlgFormelSamml::Markiere(int start, int laenge) {
    QTextCursor c(RichEdit1->document());
    const int ende = c.document()->characterCount() - 1;
    c.setPosition(std::clamp(start, 0, ende));
    c.setPosition(std::clamp(start + laenge, 0, ende), QTextCursor::KeepAnchor);
    RichEdit1->setTextCursor(c);
}

void TDlgFormelSamml::TabMarkieren() {
    const std::string text = RichTextZuFormeltext(RichEdit1);
    const auto map = [&text](int pos) { return SichtbarePosition(text, pos); };
    MarkNr = 0;
    TeilformelSuchen(text, MarkStart, MarkEnde, MarkNr, MarkAnzahl);
    const int anzahl = MarkAnzahl;  // the search of one sub-formula counts only up to it
    if (anzahl < 1) return;
    // Locates sub-formula MarkNr; past the last one the marking starts again at 1.
    const auto suche = [&] {
        if (MarkNr > anzahl) MarkNr = 1;
        TeilformelSuchen(text, MarkStart, MarkEnde, MarkNr, MarkAnzahl);
    };
    // The visible position where sub-formula MarkNr begins: the characters before its
    // first one (which may be a "~" or "|" mark that is not shown).
    const auto anfang = [&] { return map(MarkStart - 1); };
    const auto teilformel = [&] { Markiere(anfang(), map(MarkEnde) - anfang()); };

    const QTextCursor c = RichEdit1->textCursor();
    const int start = c.selectionStart();
    const int laenge = c.selectionEnd() - start;
    if (!c.hasSelection()) {
        if (anzahl != 1) {
            MarkNr = 1;
            suche();
            Markiere(0, map(MarkEnde));
        } else {
            Markiere(0, map(int(text.size())));
        }
    } else if (start == 0) {
        MarkNr = 2;
        suche();
        teilformel();
    } else if (start + laenge == map(int(text.size()))) {
        MarkNr = 1;
        suche();
        Markiere(0, map(MarkEnde));
    } else {
        MarkNr = 2;
        suche();
        if (anfang() > start) {
            MarkNr = 1;
            suche();
        } else {
            while (anfang() <= start && MarkNr < anzahl) {
                ++MarkNr;
                suche();
            }
            if (anfang() <= start) {  // behind the last one: the first again
                MarkNr = 1;
                suche();
            }
        }
        teilformel();
    }
}

bool TDlgFormelSamml::RichEdit1KeyPress(QKeyEvent* e) {
    // Typed characters are dropped: the text line is not edited in place. Shortcuts
    // (copy, select all) still reach the control.
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString t = e->text();
    return !t.isEmpty() && t.at(0).isPrint();
}

bool TDlgFormelSamml::ListBox1KeyDown(QKeyEvent* e) {
    // The keys act on the formulas; the library list does not move with them.
    RichEdit1KeyDown(e);
    return true;
}

void TDlgFormelSamml::RichEdit1MouseDown(Qt::MouseButton taste, QPoint globalPos) {
    if (!BenennungAbschliessen()) return;
    if (taste == Qt::RightButton) PopupZeigen(globalPos - QPoint(5, 5));
}

void TDlgFormelSamml::PaintBox1MouseDown(Qt::MouseButton taste, QPoint pos, QPoint globalPos) {
    if (!BenennungAbschliessen()) return;
    if (taste == Qt::RightButton) {
        // The menu acts on the formula under the mouse: it is selected first.
        if (!sammlung_.FormelListe.Empty()) {
            SeiteBereit();
            PaintBox1->SetScale();
            const int i = Seite.FormelBei(PaintBox1->GetVirtY(pos.y()));
            if (i >= 0 && i != sammlung_.AktFormel) {
                SetFormel(i);
                ResetMerkList();
            }
        }
        PopupZeigen(globalPos - QPoint(5, 5));
        return;
    }
    if (taste != Qt::LeftButton) return;
    PaintBox1->SetScale();  // the origin of the view as it is now
    KlickY = PaintBox1->GetVirtY(pos.y());
    klickGedrueckt_ = true;
}

void TDlgFormelSamml::PaintBox1MouseUp(Qt::MouseButton taste, QPoint pos) {
    (void)pos;
    if (MausUpSperre || taste != Qt::LeftButton || !klickGedrueckt_) return;
    MausUpSperre = true;
    klickGedrueckt_ = false;
    if (!sammlung_.FormelListe.Empty()) {
        SeiteBereit();
        const int i = Seite.FormelBei(KlickY);
        if (i >= 0) SetFormel(i);
        ResetMerkList();
    }
    MausUpSperre = false;
}

void TDlgFormelSamml::PaintBox1MouseMove(QPoint pos) {
    (void)pos;
    if (EditorOffen) PaintBox1->SetNewCursor(KDCursor(QStringLiteral("CURSWAIT")));
}

void TDlgFormelSamml::PaintBox1DblClick() { SpeedFormEditClick(); }

bool TDlgFormelSamml::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (obj == Edit1) return Edit1KeyDown(k) || Edit1KeyPress(k);
        if (obj == RichEdit1) return RichEdit1KeyDown(k) || RichEdit1KeyPress(k);
        if (obj == ListBox1) return ListBox1KeyDown(k);
    } else if (e->type() == QEvent::MouseButtonPress) {
        if (RichEdit1 && obj == RichEdit1->viewport()) {
            auto* m = static_cast<QMouseEvent*>(e);
            RichEdit1MouseDown(m->button(), m->globalPosition().toPoint());
            return m->button() == Qt::RightButton;
        }
    }
    if (ListBox1 && obj == ListBox1->viewport()) {
        switch (e->type()) {
        case QEvent::MouseButtonPress: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->button() == Qt::LeftButton)
                listeGedrueckt_ = ListBox1->indexAt(m->position().toPoint()).row();
            return true;
        }
        case QEvent::MouseButtonDblClick:
            // The first click has taken the entry and moved it to the top; the second
            // half of a double click would take whatever lies under the mouse now.
            listeGedrueckt_ = -1;
            return true;
        case QEvent::MouseMove:
            return true;
        case QEvent::MouseButtonRelease: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->button() != Qt::LeftButton) return true;
            const int zeile = ListBox1->indexAt(m->position().toPoint()).row();
            const bool klick = zeile >= 0 && zeile == listeGedrueckt_;
            listeGedrueckt_ = -1;
            if (klick) {
                const QSignalBlocker sperre(ListBox1);
                ListBox1->setCurrentRow(zeile);
                UebernehmenClick();
            }
            return true;
        }
        default:
            break;
        }
    }
    if (e->type() == QEvent::MouseButtonRelease && obj == Image1 &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        Image1Click();
        return true;
    }
    return QWidget::eventFilter(obj, e);
}

} // namespace kd
