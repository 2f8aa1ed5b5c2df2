#include "gui/app/DlgFormelSamml.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTextDocumentFragment>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <exception>

#include "core/device/Rounding.h"
#include "core/device/Stile.h"
#include "core/device/TextSys.h"
#include "core/Errors.h"
#include "core/eval/Berechnung.h"
#include "core/eval/Rechenabbruch.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "core/typeset/Formelzeichen.h"
#include "gui/app/FormelSeite.h"
#include "gui/dialogs/DlgEingabe.h"
#include "gui/platform/Cursors.h"
#include "gui/platform/Pfade.h"
#include "gui/platform/RichText.h"
#include "gui/platform/Symbole.h"
#include "gui/units/Hauptformular.h"

namespace kd {

namespace {

QString U(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

// The rows of the library list are 16 pixels high.
class ZeilenHoehe16 : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(16);
        return s;
    }
};

} // namespace

TDlgFormelSamml::TDlgFormelSamml(Meldungen* meldungen, QWidget* eltern)
    : QWidget(eltern), meldungen_(meldungen) {
    InitRessourcen();
    if (!meldungen_) {
        eigeneMeldungen_ = std::make_unique<QtMeldungen>(this);
        meldungen_ = eigeneMeldungen_.get();
    }
    Bilder = std::make_unique<ListenBilder>(sammlung_.FormelListe);
    setObjectName(QStringLiteral("DlgFormelSamml"));
    setWindowTitle(QStringLiteral("KALDORA Formelsammlung 1.0"));
    setWindowIcon(SvgSymbol(QStringLiteral("kdformel"), QSize(48, 48)));
    setFont(MitPixelGroesse(font(), 13));

    ControlsAnlegen();
    BefehleAnlegen();
    MenueAnlegen();
    VerbindeHaken();
    DesktopEinrichten();

    // The window opens at its designed size and may be made smaller (at 200 % scaling
    // the designed size does not fit a 1080p screen): the page and the library list
    // shrink and show scroll bars.
    setMinimumSize(MinBreite, MinHoehe);
    resize(ClientBreite, ClientHoehe);
    // On a screen too small for the designed size it opens as large as the screen allows.
    if (const QScreen* bildschirm = screen()) {
        const QSize frei = bildschirm->availableSize();
        resize(std::clamp(frei.width(), MinBreite, int(ClientBreite)),
               std::clamp(frei.height(), MinHoehe, int(ClientHoehe)));
    }
    FormCreate();
}

TDlgFormelSamml::~TDlgFormelSamml() {
    // The hooks point back at this window; the state outlives none of the widgets.
    sammlung_.Frage = nullptr;
    sammlung_.GefahrFrage = nullptr;
    sammlung_.Meldung = nullptr;
    sammlung_.LayoutUngueltig = nullptr;
}

// ---------------------------------------------------------------------------
// Controls

void TDlgFormelSamml::Platziere(QWidget* w, QRect basis, int anker) {
    w->setGeometry(basis);
    plaetze_.push_back({w, basis, anker});
}

void TDlgFormelSamml::ControlsAnlegen() {
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setFont(MitPixelGroesse(font(), 12));
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setTabChangesFocus(false);
    RichEdit1->setAcceptRichText(true);
    RichEdit1->setAcceptDrops(false);
    // The text cannot be edited in place; it can be selected to mark a sub-formula.
    RichEdit1->setReadOnly(true);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setFocusPolicy(Qt::StrongFocus);
    RichEdit1->setContextMenuPolicy(Qt::NoContextMenu);
    RichEdit1->document()->setDocumentMargin(3);
    RichEdit1->installEventFilter(this);
    RichEdit1->viewport()->installEventFilter(this);
    Platziere(RichEdit1, {10, 6, 583, 25}, Breiter);

    CScrollBox1 = new gui::TCScrollBox(this);
    CScrollBox1->setObjectName(QStringLiteral("CScrollBox1"));
    CScrollBox1->setBackgroundRole(QPalette::Base);
    {
        QPalette pal = CScrollBox1->palette();
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Window, Qt::white);
        CScrollBox1->setPalette(pal);
    }
    CScrollBox1->setWidgetResizable(false);
    CScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    CScrollBox1->setFocusPolicy(Qt::NoFocus);
    Platziere(CScrollBox1, {10, 46, 403, 497}, Breiter | Hoeher);

    PaintBox1 = new gui::TVirtPntBox;
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setContextMenuPolicy(Qt::NoContextMenu);
    PaintBox1->AnzSeiten = 10;
    CScrollBox1->setWidget(PaintBox1);
    connect(PaintBox1, &gui::TVirtPntBox::MausGedrueckt, this, &TDlgFormelSamml::PaintBox1MouseDown);
    connect(PaintBox1, &gui::TVirtPntBox::MausLosgelassen, this, &TDlgFormelSamml::PaintBox1MouseUp);
    connect(PaintBox1, &gui::TVirtPntBox::MausBewegt, this, &TDlgFormelSamml::PaintBox1MouseMove);
    connect(PaintBox1, &gui::TVirtPntBox::Doppelklick, this, &TDlgFormelSamml::PaintBox1DblClick);
    PaintBox1->OnPaint = [this](Device& dc, const TRect& dirty) { PaintBox1Paint(dc, dirty); };

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFont(MitPixelGroesse(font(), 11));
    ListBox1->setItemDelegate(new ZeilenHoehe16(ListBox1));
    ListBox1->setUniformItemSizes(true);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The mouse is handled by the window (eventFilter): an entry is taken on release,
    // and a press that is dragged away leaves the list as it was.
    ListBox1->installEventFilter(this);
    ListBox1->viewport()->installEventFilter(this);
    Platziere(ListBox1, {422, 46, 191, 183}, Rechts);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QPixmap logo = SvgBild(QStringLiteral("kaldora-logo"));
    Image1->setPixmap(logo);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QStringLiteral("Info über KDFormel"));
    Image1->installEventFilter(this);
    Platziere(Image1, {434, 236, logo.isNull() ? 170 : logo.width(), logo.isNull() ? 76 : logo.height()},
              Rechts);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(int(KurzerStringMax));
    Edit1->installEventFilter(this);
    Edit1->hide();
    Platziere(Edit1, {436, 449, 167, 21}, Rechts);

    // Kept off the window: reads marked text back as formula text.
    RichEdit2 = new QTextEdit(this);
    RichEdit2->setObjectName(QStringLiteral("RichEdit2"));
    RichEdit2->setGeometry(3000, 0, 185, 89);
    RichEdit2->hide();
}

QToolButton* TDlgFormelSamml::Knopf(const char* name, QRect platz, const char* symbol,
                                    const QString& hinweis, void (TDlgFormelSamml::*handler)()) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (!hinweis.isEmpty()) b->setToolTip(hinweis);
    // Screen readers read the hint; the help button, which shows none, is "Hilfe".
    b->setAccessibleName(hinweis.isEmpty() ? QStringLiteral("Hilfe") : hinweis);
    // The icon fills the button but for a small margin.
    QSize icon(platz.width() - 6, platz.height() - 6);
    if (platz.height() < 20) icon = QSize(platz.width() - 5, platz.height() - 4);
    b->setIcon(SvgSymbol(QString::fromLatin1(symbol), icon));
    b->setIconSize(icon);
    connect(b, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
    int anker = Rechts;
    if (platz.top() > 500) anker |= Unten;
    Platziere(b, platz, anker);
    return b;
}

void TDlgFormelSamml::BefehleAnlegen() {
    using T = TDlgFormelSamml;
    auto platz30 = [](int x, int y) { return QRect(x, y, 30, 30); };

    SpeedButton2 = Knopf("SpeedButton2", {436, 320, 27, 16}, "pfeil-hoch",
                         QStringLiteral("Formel oberhalb"), &T::SpeedButton2Click);
    SpeedButton3 = Knopf("SpeedButton3", {436, 338, 27, 16}, "pfeil-runter",
                         QStringLiteral("Formel unterhalb"), &T::SpeedButton3Click);
    SpeedKopieren = Knopf("SpeedKopieren", platz30(470, 324), "kopieren",
                          QStringLiteral("Formel in Zwischenablage kopieren"), &T::SpeedKopierenClick);
    SpeedEinfuegen = Knopf("SpeedEinfuegen", platz30(504, 324), "einfuegen",
                           QStringLiteral("Formel aus Zwischenablage einfügen"),
                           &T::SpeedEinfuegenClick);
    SpeedDrucken = Knopf("SpeedDrucken", platz30(538, 324), "drucken",
                         QStringLiteral("Formelsammlung drucken"), &T::SpeedDruckenClick);
    SpeedButton1 = Knopf("SpeedButton1", platz30(572, 324), "suchen",
                         QStringLiteral("Suchen nach Formel"), &T::SpeedButton1Click);
    SpeedFormEdit = Knopf("SpeedFormEdit", platz30(436, 364), "editieren",
                          QStringLiteral("Formel editieren"), &T::SpeedFormEditClick);
    SpeedFxNeu = Knopf("SpeedFxNeu", platz30(470, 364), "formel-neu",
                       QStringLiteral("Neue Formel definieren"), &T::SpeedFxNeuClick);
    GrafikOpen = Knopf("GrafikOpen", platz30(504, 364), "grafik", QStringLiteral("Grafik einfügen"),
                       &T::GrafikOpenClick);
    SpeedLoeschenFormel = Knopf("SpeedLoeschenFormel", platz30(538, 364), "formel-loeschen",
                                QStringLiteral("Formel löschen"), &T::LoeschenClick);
    SpeedBildLoeschen = Knopf("SpeedBildLoeschen", platz30(572, 364), "grafik-loeschen",
                              QStringLiteral("Grafik löschen"), &T::SpeedBildLoeschenClick);
    SpeedBerechnen = Knopf("SpeedBerechnen", platz30(436, 404), "berechnen",
                           QStringLiteral("Formel berechnen"), &T::SpeedBerechnenClick);
    SpeedTaschenrechner = Knopf("SpeedTaschenrechner", platz30(470, 404), "taschenrechner",
                                QStringLiteral("Taschenrechner"), &T::SpeedTaschenrechnerClick);
    SpeedButton4 = Knopf("SpeedButton4", platz30(504, 404), "menue",
                         QStringLiteral("Popup-Menü (rechte Maustaste)"), &T::SpeedButton4Click);
    SpeedInformation = Knopf("SpeedInformation", platz30(538, 404), "einheiten",
                             QStringLiteral("Einheiten Unrechnung"), &T::SpeedInformationClick);
    SpeedButton6 = Knopf("SpeedButton6", platz30(572, 404), "bibliothek-neu",
                         QStringLiteral("Neue Formelbibliothek"), &T::SpeedBibNeuClick);
    SpeedButton7 = Knopf("SpeedButton7", {574, 512, 29, 29}, "beenden",
                         QStringLiteral("Programm beenden"), &T::BitBtn1Click);
    SpeedButton5 = Knopf("SpeedButton5", {592, 6, 25, 25}, "hilfe", QString(), &T::BitBtn2Click);
}

void TDlgFormelSamml::MenueAnlegen() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto eintrag = [this](const char* name, const QString& text, void (TDlgFormelSamml::*handler)()) {
        QAction* a = PopupMenu1->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    auto trenner = [this](const char* name) {
        QAction* a = PopupMenu1->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
    };
    using T = TDlgFormelSamml;
    Lschen1 = eintrag("Lschen1", QStringLiteral("&Löschen"), &T::LoeschenClick);
    NeueFormeleinfgen1 = eintrag("NeueFormeleinfgen1", QStringLiteral("Neue Formel einfügen..."),
                                 &T::SpeedFxNeuClick);
    trenner("N3");
    Editieren1 = eintrag("Editieren1", QStringLiteral("&Editieren..."), &T::SpeedFormEditClick);
    Berechnen1 = eintrag("Berechnen1", QStringLiteral("Berechnen..."), &T::SpeedBerechnenClick);
    KurveZeichnen1 = eintrag("KurveZeichnen1", QStringLiteral("Kurve zeichnen..."), &T::KurveZeichnenClick);
    KurveZeichnen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    KurveZeichnen1->setShortcutContext(Qt::WindowShortcut);
    addAction(KurveZeichnen1);
    trenner("N1");
    AlsTextinZwischenablage1 = eintrag("AlsTextinZwischenablage1",
                                       QStringLiteral("Als Text in Zwischenablage"),
                                       &T::SpeedKopierenClick);
    AlsFormelinZwischenablage1 = eintrag("AlsFormelinZwischenablage1",
                                         QStringLiteral("Als grafische Formel in Zwischenablage"),
                                         &T::AlsFormelinZwischenablage1Click);
    AlsExcelFormelinZwischenablage1 = eintrag("AlsExcelFormelinZwischenablage1",
                                              QStringLiteral("Als Excel-Formel in Zwischenablage"),
                                              &T::SpeedCopyExcel);
    AlsLatexKopieren1 = eintrag("AlsLatexKopieren1", QStringLiteral("Als LaTeX kopieren"),
                                &T::AlsLatexKopieren1Click);
    AlsMathMLKopieren1 = eintrag("AlsMathMLKopieren1", QStringLiteral("Als MathML kopieren"),
                                 &T::AlsMathMLKopieren1Click);
    Einfgen1 = eintrag("Einfgen1", QStringLiteral("Einfügen"), &T::SpeedEinfuegenClick);
    trenner("N2");
    Grafikhinzufgen1 = eintrag("Grafikhinzufgen1", QStringLiteral("&Grafik hinzufügen..."),
                               &T::GrafikOpenClick);
    Grafikspeichern1 = eintrag("Grafikspeichern1", QStringLiteral("Grafik speichern unter..."),
                               &T::Grafikspeichern1Click);
}

void TDlgFormelSamml::VerbindeHaken() {
    sammlung_.Frage = [this](const std::string& text) {
        switch (meldungen_->Frage(U(text))) {
        case Meldungen::Antwort::Ja: return Antwort::Ja;
        case Meldungen::Antwort::Nein: return Antwort::Nein;
        default: return Antwort::Abbrechen;
        }
    };
    sammlung_.GefahrFrage = [this](const std::string& text) {
        switch (meldungen_->GefahrFrage(U(text))) {
        case Meldungen::Antwort::Ja: return Antwort::Ja;
        case Meldungen::Antwort::Nein: return Antwort::Nein;
        default: return Antwort::Abbrechen;
        }
    };
    sammlung_.Meldung = [this](const std::string& text) { meldungen_->Fehler(U(text)); };
    sammlung_.LayoutUngueltig = [this] {
        LayoutGueltig = false;
        ShowFormel();
    };
}

void TDlgFormelSamml::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const int dx = width() - ClientBreite;
    const int dy = height() - ClientHoehe;
    // Smaller than designed: the library list gives up height and the controls below
    // it move up with it.
    const int kleiner = std::min(0, dy);
    for (const Platz& p : plaetze_) {
        if (!p.widget) continue;
        QRect r = p.basis;
        if (p.anker & Rechts) r.translate(dx, 0);
        if (p.anker & Unten) r.translate(0, dy);
        else if ((p.anker & Rechts) && r.top() > ListeUnten) r.translate(0, kleiner);
        if (p.anker & Breiter) r.setWidth(r.width() + dx);
        if (p.anker & Hoeher) r.setHeight(r.height() + dy);
        if (p.widget == ListBox1) r.setHeight(r.height() + kleiner);
        p.widget->setGeometry(r);
    }
    TeilungAnwenden();
}

// ---------------------------------------------------------------------------
// Start-up and state

void TDlgFormelSamml::FormCreate() { SetParameter(); }

void TDlgFormelSamml::SetParameter() {
    if (!KDGData) {
        KDGData = std::make_unique<TKDGData>();
        KDGData->Seitenstil.RandLinks = 200;
        KDGData->NurFormeln = true;
        KDGData->XVariable = "~";
        KDGData->ZVariable = "~";
    }
    Edit1->hide();
    Edit1->clear();
    SymbolTestGemacht = false;
    MarkStart = MarkEnde = MarkNr = MarkAnzahl = 0;
    MalSperre = false;
    MausUpSperre = false;
    EditorOffen = false;
    ersteAktivierung_ = true;
    ResetMerkList();
}

void TDlgFormelSamml::SetVerzeichnisse(const Verzeichnisse& v) {
    verz_ = v;
    verzGesetzt_ = true;
}

void TDlgFormelSamml::Start() { FormActivate(); }

void TDlgFormelSamml::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && ersteAktivierung_)
        QTimer::singleShot(0, this, &TDlgFormelSamml::FormActivate);
}

void TDlgFormelSamml::FormActivate() {
    if (!ersteAktivierung_) return;
    // Cleared first: a message box during the start-up activates the window again.
    ersteAktivierung_ = false;

    if (!verzGesetzt_) {
        verzGesetzt_ = Sicher([this] { verz_ = StandardVerzeichnisse(); });
    }
    FormelSeiteEinrichten(*PaintBox1, *CScrollBox1);
    SeitenzoomAnwenden();
    bereit_ = verzGesetzt_ && !verz_.BibVerz.empty();
    if (!bereit_) {
        if (verzGesetzt_)
            meldungen_->AllgemeinerFehler(
                QStringLiteral("Der Ordner der Formelsammlungen ist nicht bekannt."));
        ListBox1->setEnabled(false);
        SpeedButton6->setEnabled(false);
        gestartet_ = true;
        return;
    }

    DateitypRegistrieren();
    OrdnerSperren();
    Sicher([this] { sammlung_.Start(verz_); });
    gestartet_ = true;
    ZustandZeigen();
    SetFormel(sammlung_.AktFormel);
    CScrollBox1->verticalScrollBar()->setValue(0);
    RichEdit1->setFocus();
    LoadCursors();
}

void TDlgFormelSamml::OrdnerSperren() {
    // A lock file per library folder in the user's runtime folder (the library folder
    // itself stays as the user keeps it); a lock of a program that has crashed is stale
    // (its process is gone) and taken over.
    std::error_code ec;
    const std::filesystem::path echt = std::filesystem::weakly_canonical(verz_.BibVerz, ec);
    const QByteArray schluessel = QCryptographicHash::hash(
        QByteArray::fromStdString((ec ? verz_.BibVerz : echt).string()), QCryptographicHash::Sha1);
    const QString ort = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QDir().mkpath(ort);
    ordnerSperre_ = std::make_unique<QLockFile>(
        QDir(ort).filePath(QStringLiteral("kdformel-") + QString::fromLatin1(schluessel.toHex().left(16)) +
                           QStringLiteral(".lock")));
    ordnerSperre_->setStaleLockTime(0);
    if (ordnerSperre_->tryLock(0)) return;
    if (ordnerSperre_->error() == QLockFile::LockFailedError)
        meldungen_->Warnung(QStringLiteral(
            "Die Formelsammlungen in \"%1\" sind bereits in einem anderen Fenster geöffnet. "
            "Änderungen, die beide Fenster an derselben Formelsammlung machen, können "
            "einander überschreiben; vor dem Speichern wird gefragt, wenn die Datei "
            "außerhalb geändert wurde.")
                                .arg(QString::fromStdString(verz_.BibVerz.string())));
    ordnerSperre_.reset();
}

void TDlgFormelSamml::ResetMerkList() { sammlung_.ResetMerkList(); }

void TDlgFormelSamml::ListeZeigen() {
    const QSignalBlocker sperre(ListBox1);
    const auto& namen = sammlung_.Bibliotheken;
    if (ListBox1->count() != int(namen.size())) {
        ListBox1->clear();
        for (const std::string& n : namen) ListBox1->addItem(U(n));
    } else {
        for (int i = 0; i < int(namen.size()); ++i) {
            const QString text = U(namen[std::size_t(i)]);
            if (ListBox1->item(i)->text() != text) ListBox1->item(i)->setText(text);
        }
    }
    const int akt = sammlung_.AktBibliothek;
    if (akt >= 0 && akt < ListBox1->count()) {
        ListBox1->setCurrentRow(akt);
    } else {
        ListBox1->clearSelection();
        ListBox1->setCurrentRow(-1);
    }
}

void TDlgFormelSamml::ZustandZeigen() {
    ListeZeigen();
    if (sammlung_.NamensEingabe) {
        if (Edit1->isHidden()) {
            Edit1->setText(U(sammlung_.NamensText));
            Edit1->show();
        }
    } else if (!Edit1->isHidden() || !Edit1->text().isEmpty()) {
        Edit1->clear();
        Edit1->hide();
    }
}

void TDlgFormelSamml::SetFormel(int index) {
    RichEdit1->clear();
    if (sammlung_.FormelListe.Empty()) {
        sammlung_.SetFormel(index);
        return;
    }
    SeiteBereit();
    if (sammlung_.AktFormel > -1) InvertFormel(sammlung_.AktFormel);
    sammlung_.SetFormel(index);
    const int akt = sammlung_.AktFormel;
    if (akt < 0) return;
    InvertFormel(akt);
    FormeltextZuRichText(sammlung_.FormelListe[akt]->FormelText, RichEdit1, 9);

    FormelZeigen();
}

void TDlgFormelSamml::FormelZeigen() {
    // The whole frame of the selected formula is scrolled into the view (its top when it
    // is taller than the view); the first formula shows the top of the page.
    const int akt = sammlung_.AktFormel;
    if (akt < 0 || akt >= Seite.Anzahl) return;
    QScrollBar* senkrecht = CScrollBox1->verticalScrollBar();
    if (akt == 0) {
        senkrecht->setValue(0);
        return;
    }
    SeitenhoeheAnpassen();
    PaintBox1->SetScale();
    // The frame and a little of the page below it (the separator under the last one).
    TRect rahmen = Seite.Markierungsrahmen(akt);
    rahmen.Bottom = std::min(rahmen.Bottom, Seite.FormelPos[std::size_t(akt)].Unterkante - 50);
    const QRect r = PaintBox1->PixelRect(rahmen).normalized();
    const int oben = r.top() - 2, unten = r.bottom() + 3;
    const int sicht = CScrollBox1->viewport()->height();
    int p = senkrecht->value();
    if (unten > p + sicht) p = unten - sicht;
    if (oben < p || unten - oben > sicht) p = oben;
    senkrecht->setValue(std::clamp(p, 0, senkrecht->maximum()));
}

void TDlgFormelSamml::ShowFormel() {
    puffer_.Verwerfen();
    if (PaintBox1) PaintBox1->update();
}

void TDlgFormelSamml::SeiteBereit() {
    if (!LayoutGueltig || !puffer_.Gueltig()) SeiteZeichnen();
}

namespace {

QPoint Scrollposition(const gui::TCScrollBox* box) {
    return {box->horizontalScrollBar()->value(), box->verticalScrollBar()->value()};
}

} // namespace

void TDlgFormelSamml::SeiteZeichnen() {
    if (MalSperre) return;  // a paint while painting is dropped
    MalSperre = true;
    if (!AnzeigeStyles) AnzeigeStyles = std::make_shared<TFormStyles>();
    PaintBox1->SetScale();
    const QSize view = CScrollBox1->viewport()->size();
    QImage& bild = puffer_.Neu(Scrollposition(CScrollBox1), view, PaintBox1->devicePixelRatioF(),
                               PaintBox1->Leinwand().Mapping());
    {
        QPainter p(&bild);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        QtDevice dc(&p);
        dc.SetMapping(puffer_.Abbildung());
        // Text is measured on the page's canvas, as everything drawn for the page.
        DrawingState().CurrentPaintBox = PaintBox1;
        if (!LayoutGueltig) Seite.Ungueltig();
        const double z = PaintBox1->ZoomFactor;
        const std::int32_t links = PaintBox1->WindowOrgX, oben = PaintBox1->WindowOrgY;
        Seite.Ausschnitt = TRect{links - 1, oben + 1,
                                 links + std::int32_t(std::ceil(std::max(view.width(), 1) / z)) + 1,
                                 oben - std::int32_t(std::ceil(std::max(view.height(), 1) / z)) - 1};
        std::vector<std::string> texte;
        texte.reserve(std::size_t(sammlung_.FormelListe.Count()));
        for (const auto& f : sammlung_.FormelListe) texte.push_back(f->FormelText);
        Seite.Zeichnen(dc, texte, AnzeigeStyles, Bilder.get());
        LayoutGueltig = true;
        ++SeitenZeichnungen;
        const int akt = sammlung_.AktFormel;
        if (akt > -1 && akt < Seite.Anzahl) Rahmen(dc, akt);
        dc.End();
    }
    MalSperre = false;
    SeitenhoeheAnpassen();
    CheckSonderzeichen();
}

void TDlgFormelSamml::SeitenhoeheAnpassen() {
    // The scroll range reaches below the last formula, however long the library is.
    const double z = PaintBox1->ZoomFactor > 0 ? PaintBox1->ZoomFactor : SeitenZoom;
    const int noetig = int(std::ceil((SeitenHoehe - double(Seite.Ende) + 100) * z));
    const int soll = std::max(2 * PaintBox1->PageHeight, noetig);
    if (PaintBox1->height() == soll) return;
    if (imPaint_) {
        // Not while the paint box paints itself.
        QTimer::singleShot(0, PaintBox1, [pb = PaintBox1, soll] { pb->resize(pb->width(), soll); });
    } else {
        PaintBox1->resize(PaintBox1->width(), soll);
    }
}

void TDlgFormelSamml::PaintBox1Paint(Device& dc, const TRect& dirty) {
    (void)dirty;
    imPaint_ = true;
    if (!puffer_.Passt(Scrollposition(CScrollBox1), CScrollBox1->viewport()->size(),
                       PaintBox1->devicePixelRatioF()))
        SeiteZeichnen();
    imPaint_ = false;
    QPainter* p = static_cast<QtDevice&>(dc).Painter();
    if (!p || puffer_.Bild().isNull()) return;
    p->save();
    p->resetTransform();
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->drawImage(puffer_.Position(), puffer_.Bild());
    p->restore();
}

void TDlgFormelSamml::Rahmen(Device& dc, int i) const {
    const TRect r = Seite.Markierungsrahmen(i);
    const LogPen alt = dc.SelectPen(LogPen{PS_DOT, 0, 0, RGB(0, 0, 128)});
    const int rop = dc.SetROP2(R2_NOTXORPEN);
    const TPoint punkte[5] = {{r.Left, r.Bottom}, {r.Right, r.Bottom}, {r.Right, r.Top},
                              {r.Left, r.Top}, {r.Left, r.Bottom}};
    dc.Polyline(punkte, 5);
    dc.SetROP2(rop);
    dc.SelectPen(alt);
}

void TDlgFormelSamml::InvertFormel(int index) {
    if (index < 0 || index >= Seite.Anzahl) return;
    if (!puffer_.Passt(Scrollposition(CScrollBox1), CScrollBox1->viewport()->size(),
                       PaintBox1->devicePixelRatioF())) {
        // The image shows another part of the page: it is drawn again, frame included.
        ShowFormel();
        return;
    }
    {
        QPainter p(&puffer_.Bild());
        QtDevice dc(&p);
        dc.SetMapping(puffer_.Abbildung());
        Rahmen(dc, index);
        dc.End();
    }
    PaintBox1->SetScale();
    PaintBox1->update(Rahmenregion(*PaintBox1, Seite.Markierungsrahmen(index)));
}

int TDlgFormelSamml::SymbolPixelZaehlen() {
    // The test row crosses the stem of the upper bracket piece once; a font without
    // the piece draws nothing there or a box with two sides.
    QImage bild(24, 24, QImage::Format_RGB32);
    bild.fill(Qt::white);
    {
        QPainter p(&bild);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        QtDevice dc(&p);
        TDrawingState& st = DrawingState();
        TVirtPntBox* alt = st.CurrentPaintBox;
        st.CurrentPaintBox = nullptr;
        dc.SelectFont(CreateNamedFont("Symbol", -13, 400));  // 10 points on a 96 dpi screen
        dc.SetTextColor(RGB(0, 0, 0));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        dc.TextOut(2, 0, "\xEC");
        st.CurrentPaintBox = alt;
        dc.End();
    }
    int schwarz = 0;
    for (int x = 0; x <= 14; ++x)
        if (qGray(bild.pixel(x, 8)) < 128) ++schwarz;
    return schwarz;
}

void TDlgFormelSamml::CheckSonderzeichen() {
    if (SymbolTestGemacht) return;
    SymbolTestGemacht = true;
    ++SymbolTests;
    SymbolKlammer() = SymbolPixelZaehlen() == 1;
    // Without the pieces the brackets are drawn as polygons: the page once more.
    if (!SymbolKlammer()) ShowFormel();
}

void TDlgFormelSamml::LoadBibliothek(const std::string& name) {
    Sicher([&] { sammlung_.LoadBibliothek(name); });
    ShowFormel();
}

void TDlgFormelSamml::SaveBibliothek(const std::string& name) {
    Sicher([&] { sammlung_.SaveBibliothek(name); });
}

void TDlgFormelSamml::SetListBoxReihenfolge0() {
    sammlung_.SetListBoxReihenfolge0();
    ListeZeigen();
}

void TDlgFormelSamml::WarteMitNachrichten(int ms) {
    if (ms <= 0) return;
    QEventLoop schleife;
    QTimer::singleShot(ms, &schleife, &QEventLoop::quit);
    schleife.exec();
}

// ---------------------------------------------------------------------------
// Library list and new libraries

void TDlgFormelSamml::UebernehmenClick() {
    if (wechselLaeuft_ || !bereit_) return;
    wechselLaeuft_ = true;
    const int zeile = ListBox1->currentRow();
    CScrollBox1->horizontalScrollBar()->setValue(0);
    CScrollBox1->verticalScrollBar()->setValue(0);

    bool gewechselt = false;
    if (!sammlung_.NamensEingabe || NamenUebernehmen()) {
        // A pending naming is finished first; when it stays open nothing is switched.
        Sicher([&] { sammlung_.Uebernehmen(zeile); });
        gewechselt = zeile >= 0 && !sammlung_.NamensEingabe;
    }
    if (gewechselt) WarteMitNachrichten(wartezeit_);
    ZustandZeigen();
    SetFormel(0);
    if (sammlung_.NamensEingabe) Edit1->setFocus();
    wechselLaeuft_ = false;
}

bool TDlgFormelSamml::NamenUebernehmen() {
    std::string name;
    if (!Utf8ToCp1252(Edit1->text().toStdString(), name)) {
        meldungen_->Fehler(QStringLiteral(
            "Der Name einer Formelsammlung darf nur Buchstaben, Ziffern und Zeichen der "
            "westeuropäischen Schrift enthalten."));
        Edit1->setFocus();
        return false;
    }
    sammlung_.NamensText = Kurz(name);
    return true;
}

void TDlgFormelSamml::SpeedBibNeuClick() { NeueBibliothek(true); }

void TDlgFormelSamml::NeueBibliothek(bool ask) {
    if (!bereit_) return;
    Sicher([&] { sammlung_.NeueBibliothek(ask); });
    ZustandZeigen();
    SetFormel(sammlung_.AktFormel);
    ShowFormel();
    if (sammlung_.NamensEingabe) {
        Edit1->setText(U(sammlung_.NamensText));
        Edit1->show();
        Edit1->setFocus();
        Edit1->selectAll();
    }
}

bool TDlgFormelSamml::SetNeueBibliothek() {
    if (!sammlung_.NamensEingabe) return true;
    if (!NamenUebernehmen()) return false;
    bool ok = false;
    Sicher([&] { ok = sammlung_.SetNeueBibliothek(); });
    ZustandZeigen();
    if (ok && !sammlung_.NamensEingabe) {
        SetFormel(0);
        ShowFormel();
        RichEdit1->setFocus();
        return true;
    }
    Edit1->setFocus();
    return false;
}

bool TDlgFormelSamml::BenennungAbschliessen() {
    if (!sammlung_.NamensEingabe) return true;
    return SetNeueBibliothek();
}

void TDlgFormelSamml::NamensEingabeAbbrechen() {
    Sicher([this] { sammlung_.NamensEingabeAbbrechen(); });
    Edit1->clear();
    Edit1->hide();
    ZustandZeigen();
    SetFormel(sammlung_.AktFormel);
    ShowFormel();
    RichEdit1->setFocus();
}

bool TDlgFormelSamml::Edit1KeyDown(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (SetNeueBibliothek()) SpeedFxNeuClick();
        break;
    case Qt::Key_Escape:
        NamensEingabeAbbrechen();
        break;
    default:
        break;
    }
    return false;
}

bool TDlgFormelSamml::Edit1KeyPress(QKeyEvent* e) {
    // The characters of Enter and Esc are not typed into the name.
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape;
}

// ---------------------------------------------------------------------------
// Closing

void TDlgFormelSamml::closeEvent(QCloseEvent* e) {
    if (geschlossen_ || !gestartet_ || !bereit_) {
        geschlossen_ = true;
        e->accept();
        return;
    }
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

bool TDlgFormelSamml::FormCloseQuery() {
    bool weiter = false;
    // A save that fails keeps the window open: the formulas are still here.
    const bool ok = Sicher([&] { weiter = sammlung_.Schliessen(); });
    ZustandZeigen();
    return ok && weiter;
}

void TDlgFormelSamml::FormClose() {
    // The records, the layouts and the option record are freed with the window.
    geschlossen_ = true;
    if (einstellungen_) EinstellungenSpeichern();
}

void TDlgFormelSamml::BitBtn1Click() { close(); }

// ---------------------------------------------------------------------------
// Commands: each finishes a pending naming first where the program does so.

void TDlgFormelSamml::LoeschenClick() {
    if (!BenennungAbschliessen()) return;
    const Aenderung schritt(Verlauf(), QStringLiteral("Formel löschen"));
    if (sammlung_.FormelLoeschen()) {
        ShowFormel();
        // The formula above is selected now: its text is shown, so Tab and computing
        // work on what is highlighted.
        const int akt = sammlung_.AktFormel;
        if (akt >= 0) {
            sammlung_.AktFormel = -1;  // the page drawn next has no frame to take away
            SetFormel(akt);
        } else {
            RichEdit1->clear();
        }
    }
}

void TDlgFormelSamml::SpeedButton2Click() {
    if (!BenennungAbschliessen()) return;
    const Aenderung schritt(Verlauf(), QStringLiteral("Formel nach oben"));
    sammlung_.FormelNachOben();
    ShowFormel();
}

void TDlgFormelSamml::SpeedButton3Click() {
    if (!BenennungAbschliessen()) return;
    const Aenderung schritt(Verlauf(), QStringLiteral("Formel nach unten"));
    sammlung_.FormelNachUnten();
    ShowFormel();
}

bool TDlgFormelSamml::WerteEingeben(Bezeichnerliste& variablen) {
    // The mask has ten rows and the store of typed values eleven places: a formula
    // with more free variables is not computed rather than computed with values no
    // one typed.
    if (variablen.Count() > TDlgEingabe::Zeilen) {
        meldungen_->Warnung(QStringLiteral("Die Formel hat mehr als %1 freie Variablen.\n"
                                           "Berechnung hier nicht möglich")
                                .arg(TDlgEingabe::Zeilen));
        return false;
    }
    TDlgEingabe maske(meldungen_, this);
    maske.SetVariablen(&variablen);
    return maske.exec() == QDialog::Accepted;
}

void TDlgFormelSamml::SpeedBerechnenClick() {
    if (rechnet_ || !BenennungAbschliessen()) return;
    const int akt = sammlung_.AktFormel;
    if (akt < 0 || akt >= sammlung_.FormelListe.Count()) return;

    // The marked part of the text line, or the whole formula.
    const QTextCursor auswahl = RichEdit1->textCursor();
    const bool markiert = auswahl.hasSelection();
    std::string s;
    if (markiert) {
        RichEdit2->clear();
        QTextCursor ziel(RichEdit2->document());
        ziel.insertFragment(auswahl.selection());
        s = RichTextZuFormeltext(RichEdit2);
        RichEdit2->clear();
    } else {
        s = sammlung_.FormelListe[akt]->FormelText;
    }

    // A long computation keeps the window painted; after half a second a progress box
    // offers "Abbrechen", which ends the computation within a few hundredths of a second.
    // Until the box shows, input waits; then the box is modal, so nothing else starts.
    Rechenabbruch abbruch;
    std::unique_ptr<QProgressDialog> fortschritt;
    abbruch.Zwischendurch = [&] {
        if (!fortschritt && abbruch.Laufzeit() >= std::chrono::milliseconds(500)) {
            fortschritt = std::make_unique<QProgressDialog>(
                QStringLiteral("Die Formel wird berechnet …"), QStringLiteral("Abbrechen"), 0, 0, this);
            fortschritt->setObjectName(QStringLiteral("Rechenfortschritt"));
            fortschritt->setWindowTitle(QStringLiteral("Berechnung"));
            fortschritt->setWindowModality(Qt::ApplicationModal);
            fortschritt->setMinimumDuration(0);
            fortschritt->setAutoClose(false);
            fortschritt->setAutoReset(false);
            fortschritt->show();
        }
        QCoreApplication::processEvents(fortschritt ? QEventLoop::AllEvents
                                                    : QEventLoop::ExcludeUserInputEvents);
        if (fortschritt && fortschritt->wasCanceled()) abbruch.Abbrechen();
    };
    rechnet_ = true;
    const Berechnungsergebnis erg =
        FormelBerechnen(s, markiert, sammlung_.MerkList, [&](Bezeichnerliste& variablen) {
            const bool ok = WerteEingeben(variablen);
            abbruch.Neustart();  // the time counts from the end of the input
            return ok;
        });
    rechnet_ = false;
    fortschritt.reset();
    if (abbruch.Abgebrochen()) return;  // stopped by the user: no result to show
    QString meldung = U(erg.Meldung);
    meldung.remove(QLatin1Char('\r'));
    switch (erg.art) {
    case Berechnungsergebnis::Art::Ergebnis:
    case Berechnungsergebnis::Art::Rechenfehler:
        meldungen_->Berechnung(meldung);
        break;
    case Berechnungsergebnis::Art::Abgelehnt:
        meldungen_->Warnung(meldung);
        break;
    case Berechnungsergebnis::Art::Markieren:
        meldungen_->Warnung(meldung);
        // The first sub-formula is marked, as Tab does; the user starts again.
        MarkNr = 1;
        MarkStart = erg.MarkStart;
        MarkEnde = erg.MarkEnde;
        Markiere(0, SichtbarePosition(s, erg.MarkEnde));
        RichEdit1->setFocus();
        break;
    case Berechnungsergebnis::Art::Abgebrochen:
        break;
    }
}

void TDlgFormelSamml::SpeedInformationClick() {
    // A new converter each time: nothing is kept from one opening to the next.
    THauptformular umrechnung(meldungen_, this);
    umrechnung.exec();
}

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
