// The formula collection window built: its controls, the speed buttons, the context
// menu, the hooks through which the state asks and reports, and the layout that
// follows the window's size. The commands and handlers live in the other
// DlgFormelSamml*.cpp files, one concern each.
#include "gui/app/DlgFormelSamml.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

#include "gui/platform/Texte.h"
#include "gui/app/FormelSeite.h"
#include "gui/platform/RichText.h"
#include "gui/platform/Symbole.h"

namespace kd {

namespace {

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
        switch (meldungen_->Frage(AusCp1252(text))) {
        case Meldungen::Antwort::Ja: return Antwort::Ja;
        case Meldungen::Antwort::Nein: return Antwort::Nein;
        default: return Antwort::Abbrechen;
        }
    };
    sammlung_.GefahrFrage = [this](const std::string& text) {
        switch (meldungen_->GefahrFrage(AusCp1252(text))) {
        case Meldungen::Antwort::Ja: return Antwort::Ja;
        case Meldungen::Antwort::Nein: return Antwort::Nein;
        default: return Antwort::Abbrechen;
        }
    };
    sammlung_.Meldung = [this](const std::string& text) { meldungen_->Fehler(AusCp1252(text)); };
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

} // namespace kd
