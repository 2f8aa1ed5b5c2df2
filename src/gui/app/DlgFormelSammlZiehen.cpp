// Drag and drop on the formula collection window: a formula dragged on the page to
// another place moves there (one undo step); dragged out it carries the picture and
// the text that the copy commands put on the clipboard; a library file dropped on the
// window is opened as one named on the command line; a picture file dropped on a
// formula is attached to it as "Grafik einfügen" does.
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include <optional>

#include "core/export/Formelexport.h"
#include "core/page/Formelbild.h"
#include "core/device/VirtPntBox.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/RichText.h"
#include "gui/platform/VirtPntBox.h"
#include "gui/platform/Zwischenablage.h"

namespace kd {

namespace {

// The place of a dragged formula: which window of which process, and which record.
constexpr const char* FormelplatzMime = "application/x-kdformel-formelplatz";

QByteArray Formelplatz(const TDlgFormelSamml* w, int i) {
    return QByteArray::number(QApplication::applicationPid()) + ' ' +
           QByteArray::number(quintptr(w)) + ' ' + QByteArray::number(i);
}

// The record a drag from this window carries, or -1.
int EigeneFormel(const TDlgFormelSamml* w, const QMimeData* d) {
    if (!d || !d->hasFormat(QString::fromLatin1(FormelplatzMime))) return -1;
    const QList<QByteArray> teile = d->data(QString::fromLatin1(FormelplatzMime)).split(' ');
    if (teile.size() != 3) return -1;
    bool ok1 = false, ok2 = false, ok3 = false;
    const qint64 pid = teile[0].toLongLong(&ok1);
    const quintptr fenster = teile[1].toULongLong(&ok2);
    const int i = teile[2].toInt(&ok3);
    if (!ok1 || !ok2 || !ok3 || pid != QApplication::applicationPid() || fenster != quintptr(w)) return -1;
    return i;
}

// The first local file of the drop, or empty.
QString Datei(const QMimeData* d) {
    if (!d || !d->hasUrls()) return {};
    for (const QUrl& u : d->urls())
        if (u.isLocalFile()) return u.toLocalFile();
    return {};
}

bool IstBibliothek(const QString& datei) {
    return QFileInfo(datei).suffix().compare(QLatin1String("pqb"), Qt::CaseInsensitive) == 0;
}

bool IstBild(const QString& datei) {
    // The kinds a formula's picture can be (icons and enhanced metafiles cannot).
    static const QStringList endungen = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("bmp"),
                                         QStringLiteral("wmf")};
    return endungen.contains(QFileInfo(datei).suffix().toLower());
}

} // namespace

QMimeData* TDlgFormelSamml::FormelZiehdaten(int i) {
    if (i < 0 || i >= sammlung_.FormelListe.Count()) return nullptr;
    const std::string text = sammlung_.FormelListe[i]->FormelText;
    auto* daten = new QMimeData;
    {
        QTextEdit hilfe;
        FormeltextZuRichText(text, &hilfe, 9);
        QTextCursor c(hilfe.document());
        c.select(QTextCursor::Document);
        TextDaten(*daten, c.selection(), text);
    }
    {
        // Measured on the page's canvas, as the picture copy measures.
        const TDrawingState alt = DrawingState();
        DrawingState().CurrentPaintBox = PaintBox1;
        PaintBox1->SetScale();
        const std::optional<Formelbild> bild = FormelbildSetzen(PaintBox1->Leinwand(), text);
        DrawingState() = alt;
        if (bild) {
            const Formelexport e = FormelExportieren(text);
            BildDaten(*daten, *bild, e.Ok() ? e.MathML : std::string());
        }
    }
    daten->setData(QString::fromLatin1(FormelplatzMime), Formelplatz(this, i));
    return daten;
}

void TDlgFormelSamml::FormelVerschieben(int von, int nach) {
    const int n = sammlung_.FormelListe.Count();
    if (von < 0 || von >= n) return;
    nach = std::clamp(nach, 0, n - 1);
    if (von == nach) return;
    const Aenderung schritt(Verlauf(), QStringLiteral("Formel verschieben"));
    sammlung_.FormelListe.Insert(nach, sammlung_.FormelListe.Extract(von));
    sammlung_.Geaendert = true;
    LayoutGueltig = false;
    if (sammlung_.LayoutUngueltig) sammlung_.LayoutUngueltig();
    sammlung_.AktFormel = -1;  // the old frame belongs to the old layout
    SetFormel(nach);
    ShowFormel();
}

int TDlgFormelSamml::FormelAmPunkt(QWidget* von, QPoint pos) {
    if (!bereit_ || sammlung_.FormelListe.Empty() || !von) return -1;
    const QPoint global = von->mapToGlobal(pos);
    if (!CScrollBox1->viewport()->rect().contains(CScrollBox1->viewport()->mapFromGlobal(global))) return -1;
    const QPoint p = PaintBox1->mapFromGlobal(global);
    SeiteBereit();
    PaintBox1->SetScale();
    return Seite.FormelBei(PaintBox1->GetVirtY(p.y()));
}

bool TDlgFormelSamml::Ablegen(QObject* obj, QDropEvent* e, bool nurPruefen) {
    const QMimeData* d = e->mimeData();
    auto* von = qobject_cast<QWidget*>(obj);
    const QPoint pos = e->position().toPoint();
    const auto annehmen = [e](Qt::DropAction art) {
        e->setDropAction(art);
        e->accept();
        return true;
    };

    // A formula of this page: moved to the place of the formula it is dropped on (to the
    // end below the last one).
    if (const int eigene = EigeneFormel(this, d); eigene >= 0) {
        if (!von || !CScrollBox1->viewport()->rect().contains(
                        CScrollBox1->viewport()->mapFromGlobal(von->mapToGlobal(pos)))) {
            e->ignore();
            return true;
        }
        if (nurPruefen) return annehmen(Qt::MoveAction);
        int dort = FormelAmPunkt(von, pos);
        if (dort < 0) dort = sammlung_.FormelListe.Count() - 1;
        FormelVerschieben(eigene, dort);
        return annehmen(Qt::MoveAction);
    }

    const QString datei = Datei(d);
    if (datei.isEmpty()) return false;
    if (IstBibliothek(datei)) {
        if (!bereit_) return false;
        if (nurPruefen) return annehmen(Qt::CopyAction);
        // After the drop has ended: opening may ask before copying the file.
        QTimer::singleShot(0, this, [this, datei] { BibliothekOeffnen(datei); });
        return annehmen(Qt::CopyAction);
    }
    if (IstBild(datei)) {
        const int dort = FormelAmPunkt(von, pos);
        if (dort < 0) {
            e->ignore();
            return true;
        }
        if (nurPruefen) return annehmen(Qt::CopyAction);
        QTimer::singleShot(0, this, [this, datei, dort] {
            if (dort >= sammlung_.FormelListe.Count()) return;
            if (!BenennungAbschliessen()) return;
            SetFormel(dort);
            BildAnhaengen(datei);
        });
        return annehmen(Qt::CopyAction);
    }
    return false;
}

bool TDlgFormelSamml::SeitenEreignis(QObject* obj, QEvent* e) {
    switch (e->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return Ablegen(obj, static_cast<QDropEvent*>(e), true);
    case QEvent::Drop:
        return Ablegen(obj, static_cast<QDropEvent*>(e), false);
    default:
        break;
    }
    if (obj != PaintBox1) return false;
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        auto* m = static_cast<QMouseEvent*>(e);
        ziehFormel_ = -1;
        if (m->button() == Qt::LeftButton && !sammlung_.NamensEingabe) {
            ziehStart_ = m->position().toPoint();
            ziehFormel_ = FormelAmPunkt(PaintBox1, ziehStart_);
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        ziehFormel_ = -1;
        return false;
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(e);
        if (ziehFormel_ < 0 || !(m->buttons() & Qt::LeftButton)) return false;
        if ((m->position().toPoint() - ziehStart_).manhattanLength() < QApplication::startDragDistance())
            return false;
        const int i = ziehFormel_;
        ziehFormel_ = -1;
        klickGedrueckt_ = false;  // the release ends the drag, not a click
        SetFormel(i);
        QMimeData* daten = FormelZiehdaten(i);
        if (!daten) return true;
        auto* zug = new QDrag(PaintBox1);
        const QImage bild = qvariant_cast<QImage>(daten->imageData());
        if (!bild.isNull())
            zug->setPixmap(QPixmap::fromImage(bild.scaledToWidth(
                std::max(1, std::min(400, bild.width() * 96 / 300)), Qt::SmoothTransformation)));
        zug->setMimeData(daten);
        zug->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        return true;
    }
    default:
        return false;
    }
}

} // namespace kd
