#include "gui/dialogs/DlgEingabe.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <string>

#include "core/numeric/Encoding.h"
#include "core/numeric/Zahlen.h"
#include "core/device/TextSys.h"
#include "core/device/VirtPntBox.h"
#include "gui/platform/Meldungen.h"
#include "gui/platform/Symbole.h"
#include "gui/platform/QtDevice.h"
#include "gui/platform/Texte.h"

namespace kd {

namespace {

constexpr int EditTops[TDlgEingabe::Zeilen] = {26, 62, 98, 133, 169, 205, 241, 276, 312, 348};

} // namespace

TDlgEingabe::TDlgEingabe(Meldungen* meldungen, QWidget* eltern)
    : QDialog(eltern), meldungen_(meldungen) {
    if (!meldungen_) {
        eigeneMeldungen_ = std::make_unique<QtMeldungen>(this);
        meldungen_ = eigeneMeldungen_.get();
    }
    setObjectName(QStringLiteral("DlgEingabe"));
    setWindowTitle(QStringLiteral("Eingabe"));
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(ClientBreite, ClientHoehe);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(16, 12, 179, 373);

    PaintBox1 = new QWidget(Panel1);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(14, 14, 67, 345);
    PaintBox1->installEventFilter(this);

    for (int k = 0; k < Zeilen; ++k) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("Edit%1").arg(k + 1));
        e->setGeometry(102, EditTops[k], 80, 21);
        e->setMaxLength(int(KurzerStringMax));
        e->raise();
        Edits[std::size_t(k)] = e;
    }

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(206, 14, 91, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TDlgEingabe::BitBtn1Click);

    BitBtn2 = new QPushButton(QStringLiteral("Abbrechen"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(206, 48, 91, 25);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TDlgEingabe::~TDlgEingabe() = default;

int TDlgEingabe::Anzahl() const { return liste_ ? std::min(liste_->Count(), int(Zeilen)) : 0; }

void TDlgEingabe::SetVariablen(Bezeichnerliste* liste) {
    liste_ = liste;
    Zeilenabstand = Edits[1]->y() - Edits[0]->y();
    const int n = Anzahl();
    for (int k = 1; k < Zeilen; ++k) Edits[std::size_t(k)]->setVisible(k < n);
    const int weniger = (Zeilen - std::max(n, 1)) * Zeilenabstand;
    // The name column is as wide as the longest name, so names that begin alike
    // ("Beschleunigung", "Beschleunigungsweg") can be told apart.
    const QFontMetrics fm(MitPixelGroesse(QFont(QStringLiteral("Arial")), Namenhoehe));
    int namen = 0;
    for (int k = 0; k < n; ++k)
        namen = std::max(namen, fm.horizontalAdvance(AusCp1252((*liste_)[k]->Name + " :")) + 4);
    const int mehr = std::clamp(namen - 67, 0, MaxNamenZusatz);
    PaintBox1->resize(67 + mehr, PaintBox1->height());
    for (QLineEdit* e : Edits) e->move(102 + mehr, e->y());
    BitBtn1->move(206 + mehr, BitBtn1->y());
    BitBtn2->move(206 + mehr, BitBtn2->y());
    Panel1->resize(179 + mehr, 373 - weniger);
    setFixedSize(ClientBreite + mehr, ClientHoehe - weniger);
    ErsteAnzeige = true;
}

void TDlgEingabe::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // The values are shown once the dialog is on screen, as its activation does.
    FormActivate();
}

void TDlgEingabe::FormActivate() {
    if (ErsteAnzeige) SetWerte();
    ErsteAnzeige = false;
}

void TDlgEingabe::SetWerte() {
    const int n = Anzahl();
    for (int k = 0; k < n; ++k) {
        const Extended w = (*liste_)[k]->GetWert();
        // Exactly the remembered value, so OK on an unchanged edit computes with it.
        Edits[std::size_t(k)]->setText(w == Undefiniert ? QString() : AusCp1252(ZahlTextExakt(w)));
    }
    if (ErsteAnzeige) {
        QLineEdit* erstes = Edits[0];
        // Focus after the show has settled, so the window system does not take it away.
        QTimer::singleShot(0, erstes, [erstes] {
            erstes->setFocus(Qt::OtherFocusReason);
            erstes->selectAll();
        });
        erstes->setFocus(Qt::OtherFocusReason);
        erstes->selectAll();
        ErsteAnzeige = false;
    }
}

void TDlgEingabe::BitBtn1Click() {
    const int n = Anzahl();
    for (int k = 0; k < n; ++k) {
        QLineEdit* e = Edits[std::size_t(k)];
        if (k > 0 && e->isHidden()) break;
        std::string text;
        int fehler = 1;
        Extended wert = 0;
        // A character outside Windows-1252 is no digit: the text is refused as a whole.
        if (Utf8ToCp1252(e->text().toStdString(), text)) wert = TextZuZahl(Kurz(text), fehler);
        if (fehler != 0) {
            meldungen_->Signalton();
            e->setFocus(Qt::OtherFocusReason);
            return;  // the dialog stays open; the remaining edits are not read
        }
        (*liste_)[k]->SetWert(wert);
    }
    accept();
}

bool TDlgEingabe::eventFilter(QObject* obj, QEvent* e) {
    if (obj == PaintBox1 && e->type() == QEvent::Paint) {
        PaintBox1Paint();
        return true;
    }
    return QDialog::eventFilter(obj, e);
}

void TDlgEingabe::PaintBox1Paint() {
    QPainter p(PaintBox1);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::Antialiasing);
    QtDevice dev(&p);
    // The names are measured on this canvas, whatever the page drew last.
    TDrawingState& st = DrawingState();
    TVirtPntBox* alt = st.CurrentPaintBox;
    st.CurrentPaintBox = nullptr;
    const int n = Anzahl();
    for (int k = 0; k < n; ++k) {
        // Names are whole: a long one runs out of the box, its edit's tooltip shows it.
        std::string zeile = (*liste_)[k]->Name + " :";
        Edits[std::size_t(k)]->setToolTip(AusCp1252((*liste_)[k]->Name));
        DrawSimpleFormattedText(dev, 0, k * Zeilenabstand + 2, RGB(0, 0, 0), Namenhoehe, "Arial",
                                zeile);
    }
    st.CurrentPaintBox = alt;
    dev.End();
}

} // namespace kd
