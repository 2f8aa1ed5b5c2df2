#include "gui/dialogs/DlgKonstante.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "core/device/TextSys.h"
#include "core/device/VirtPntBox.h"
#include "core/device/Stile.h"
#include "gui/dialogs/DlgSymbol.h"
#include "gui/platform/QtDevice.h"
#include "gui/platform/RichText.h"
#include "gui/platform/Symbole.h"
#include "gui/platform/Texte.h"

namespace kd {

namespace {

constexpr int FormeltextRolle = Qt::UserRole + 1;  // the line as Windows-1252 bytes

// Draws a list line as formula text: "~" and "|" codes show as Greek letters and
// indices. Unselected black on white, selected white on navy.
class Zeilenzeichner final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool gewaehlt = option.state.testFlag(QStyle::State_Selected);
        const QByteArray zeile = index.data(FormeltextRolle).toByteArray();
        p->save();
        p->setClipRect(option.rect);
        p->fillRect(option.rect, gewaehlt ? QColor(0, 0, 128) : QColor(Qt::white));
        p->setRenderHint(QPainter::TextAntialiasing);
        p->setRenderHint(QPainter::Antialiasing);
        {
            QtDevice dev(p);
            // The list is its own reference canvas, whatever the page did last.
            TDrawingState& st = DrawingState();
            TVirtPntBox* alt = st.CurrentPaintBox;
            st.CurrentPaintBox = nullptr;
            TFormStyles stile;
            stile.SetMainSize(TDlgKonstante::Listenschrift);
            // The text cell's top one pixel below the line's top (the output is
            // placed by the bottom of its first cell).
            const std::int32_t unten = option.rect.top() + 1 + TDlgKonstante::Listenschrift;
            const std::int32_t links = option.rect.left() + 3;
            const TColor farbe = gewaehlt ? RGB(255, 255, 255) : RGB(0, 0, 0);
            std::string_view text(zeile.constData(), static_cast<std::size_t>(zeile.size()));
            // The value "[ ]" of LEER is shown as it stands (as markup it would be an
            // empty index group); its name has no markup, so plain widths place it.
            std::string_view rest;
            if (const std::size_t k = text.find('['); k != std::string_view::npos &&
                                                      text.substr(0, k).find_first_of("~|^[") == std::string_view::npos) {
                rest = text.substr(k);
                text = text.substr(0, k);
            }
            DrawFormattedText(dev, links, unten, stile, 0, farbe, text, false);
            if (!rest.empty()) {
                const LogFont alt = dev.SelectFont(stile.MainFont.Font);
                const std::int32_t x = links + dev.TextExtent(text).cx;
                dev.SetTextAlign(TA_LEFT | TA_BOTTOM);
                dev.SetTextColor(farbe);
                dev.SetBkMode(TRANSPARENT);
                dev.TextOut(x, unten, rest);
                dev.SelectFont(alt);
            }
            st.CurrentPaintBox = alt;
            dev.End();
        }
        if (option.state.testFlag(QStyle::State_HasFocus)) {
            QPen stift(gewaehlt ? QColor(Qt::white) : QColor(Qt::black));
            stift.setStyle(Qt::DotLine);
            p->setPen(stift);
            p->setBrush(Qt::NoBrush);
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), TDlgKonstante::Zeilenhoehe};
    }
};

} // namespace

TDlgKonstante::TDlgKonstante(Meldungen* meldungen, QWidget* eltern)
    : QDialog(eltern), meldungen_(meldungen) {
    InitRessourcen();
    if (!meldungen_) {
        eigeneMeldungen_ = std::make_unique<QtMeldungen>(this);
        meldungen_ = eigeneMeldungen_.get();
    }
    setObjectName(QStringLiteral("DlgKonstante"));
    setWindowTitle(QStringLiteral("Konstanten"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(MitPixelGroesse(font(), 12));
    setFixedSize(ClientBreite, ClientHoehe);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(10, 14, 221, 23);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setTabChangesFocus(true);
    RichEdit1->setAcceptRichText(true);
    RichEdit1->document()->setDocumentMargin(2);
    {
        QFont f(QString::fromLatin1(NormalFamilie));
        f.setPointSizeF(Schriftgroesse);
        RichEdit1->document()->setDefaultFont(f);
    }
    RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    RichEdit1->installEventFilter(this);

    SymbolFont = ZeichenKnopf(this, "SymbolFont", {240, 14, 22, 22}, false,
                              "griechische Sonderzeichen");
    SpeedIndize = ZeichenKnopf(this, "SpeedIndize", {268, 14, 22, 22}, true,
                               "tiefgestellt");
    connect(SymbolFont, &QToolButton::clicked, this, &TDlgKonstante::SymbolFontClick);
    connect(SpeedIndize, &QToolButton::clicked, this, &TDlgKonstante::SpeedIndizeClick);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(11, 46, 219, 160);
    ListBox1->setItemDelegate(new Zeilenzeichner(ListBox1));
    ListBox1->setUniformItemSizes(true);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    {
        QPalette pal = ListBox1->palette();
        pal.setColor(QPalette::Base, Qt::white);
        ListBox1->setPalette(pal);
    }
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int zeile) {
        if (zeile >= 0) CM_Click(zeile);
    });
    connect(ListBox1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { CM_Click(ListBox1->row(item)); });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { CM_DlbClick(ListBox1->row(item)); });

    auto knopf = [&](const char* name, QRect platz, const QString& text) {
        auto* k = new QPushButton(text, this);
        k->setObjectName(QString::fromLatin1(name));
        k->setGeometry(platz);
        k->setAutoDefault(false);
        return k;
    };
    Aufnehmen = knopf("Aufnehmen", {240, 43, 99, 27}, QStringLiteral("Neu Konstante"));
    InsProgramm = knopf("InsProgramm", {240, 76, 100, 27}, QStringLiteral("Übernehmen"));
    Loeschen = knopf("Loeschen", {240, 109, 100, 27}, QStringLiteral("Löschen"));
    CancelBtn = knopf("CancelBtn", {240, 146, 100, 27}, QStringLiteral("Schließen"));
    CancelBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    HelpBtn = knopf("HelpBtn", {240, 180, 101, 27}, QStringLiteral("Hilfe"));
    HelpBtn->setIcon(SvgSymbol(QStringLiteral("hilfe"), QSize(16, 16)));
    connect(Aufnehmen, &QPushButton::clicked, this, &TDlgKonstante::CM_Aufnehmen);
    connect(InsProgramm, &QPushButton::clicked, this, &TDlgKonstante::CM_InsProg);
    connect(Loeschen, &QPushButton::clicked, this, &TDlgKonstante::CM_Loeschen);
    connect(CancelBtn, &QPushButton::clicked, this, &TDlgKonstante::CM_Abbruch);
    connect(HelpBtn, &QPushButton::clicked, this, &TDlgKonstante::HelpBtnClick);

    Knoepfe(false);
}

TDlgKonstante::~TDlgKonstante() = default;

void TDlgKonstante::SetParameter(Empfaenger empfaenger) {
    empfaenger_ = std::move(empfaenger);
    geschlossen_ = false;
    liste_.SetParameter(Konstanten());
    ListeZeigen(-1);
    Knoepfe(false);
    zeilenAnzahl_ = liste_.Anzahl();
}

void TDlgKonstante::Modal(QWidget* eltern, Meldungen* meldungen, Empfaenger empfaenger) {
    auto* d = new TDlgKonstante(meldungen, eltern);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->SetParameter(std::move(empfaenger));
    d->exec();  // frees the dialog when it closes
}

void TDlgKonstante::ListeZeigen(int auswahl) {
    const QSignalBlocker sperre(ListBox1);
    ListBox1->clear();
    for (const std::string& z : liste_.Zeilen()) {
        auto* item = new QListWidgetItem(AusCp1252(z));
        item->setData(FormeltextRolle, QByteArray(z.data(), static_cast<qsizetype>(z.size())));
        ListBox1->addItem(item);
    }
    if (auswahl >= 0 && auswahl < ListBox1->count()) {
        ListBox1->setCurrentRow(auswahl);
        ListBox1->scrollToItem(ListBox1->item(auswahl));
    } else {
        ListBox1->setCurrentRow(-1);
        ListBox1->clearSelection();
    }
    zeilenAnzahl_ = liste_.Anzahl();
    ListBox1->viewport()->update();
}

int TDlgKonstante::Auswahl() const {
    const int z = ListBox1->currentRow();
    if (z < 0 || z >= liste_.Anzahl()) return -1;
    if (!ListBox1->item(z)->isSelected()) return -1;
    return z;
}

void TDlgKonstante::Knoepfe(bool an) {
    InsProgramm->setEnabled(an);
    Loeschen->setEnabled(an);
}

void TDlgKonstante::Fehler(KonstantenFehler f) {
    meldungen_->Fehler(AusCp1252(KonstantenMeldung(f)));
}

// ---------------------------------------------------------------------------
// List

void TDlgKonstante::CM_Click(int zeile) {
    if (zeile < 0 || zeile >= liste_.Anzahl() || uebernahmeLaeuft_) return;
    FormeltextZuRichText(liste_.Zeilen()[static_cast<std::size_t>(zeile)], RichEdit1, Schriftgroesse);
    ListBox1->viewport()->update();
    Knoepfe(true);
}

void TDlgKonstante::CM_DlbClick(int zeile) {
    if (zeile < 0 || zeile >= liste_.Anzahl()) return;
    CM_InsProg();
}

void TDlgKonstante::CM_Aufnehmen() {
    if (uebernahmeLaeuft_) return;
    const std::string text = RichTextZuFormeltext(RichEdit1);
    std::string name;
    Extended wert = 0;
    fehler_ = !KonstantenZeileLesen(text, name, wert);
    const KonstantenFehler f = liste_.Aufnehmen(text);
    if (f != KonstantenFehler::Keiner) {
        Fehler(f);
        if (f == KonstantenFehler::FehlerhafterWert) RichEdit1->setFocus();
        return;
    }
    ListeZeigen(liste_.Anzahl() - 1);
    Knoepfe(true);
}

void TDlgKonstante::CM_Loeschen() {
    if (uebernahmeLaeuft_) return;
    const int z = Auswahl();
    if (z < 0) return;
    const KonstantenFehler f = liste_.Loeschen(z, RichTextZuFormeltext(RichEdit1));
    if (f != KonstantenFehler::Keiner) {
        Fehler(f);
        return;
    }
    ListeZeigen(-1);
    Knoepfe(false);
}

// ---------------------------------------------------------------------------
// Take over: one character at a time, each after the wait.

void TDlgKonstante::CM_InsProg() {
    if (uebernahmeLaeuft_) return;
    const int z = Auswahl();
    if (z < 0) return;
    uebernahme_ = liste_.Uebernehmen(z);
    uebernahmeLaeuft_ = true;
    setEnabled(false);  // no second command while the characters go out
    QTimer::singleShot(wartezeit_, this, &TDlgKonstante::NaechstesZeichen);
}

void TDlgKonstante::NaechstesZeichen() {
    if (!uebernahmeLaeuft_) return;
    if (!uebernahme_.empty()) {
        const char c = uebernahme_.front();
        uebernahme_.erase(0, 1);
        QPointer<TDlgKonstante> selbst(this);
        if (empfaenger_) empfaenger_(this, c);
        if (!selbst || !uebernahmeLaeuft_) return;  // the receiver closed the dialog
        if (!uebernahme_.empty()) {
            QTimer::singleShot(wartezeit_, this, &TDlgKonstante::NaechstesZeichen);
            return;
        }
    }
    uebernahmeLaeuft_ = false;
    setEnabled(true);
    accept();
}

// ---------------------------------------------------------------------------
// Closing

void TDlgKonstante::CM_Abbruch() { reject(); }

void TDlgKonstante::done(int r) {
    if (!geschlossen_) {
        geschlossen_ = true;
        uebernahmeLaeuft_ = false;
        uebernahme_.clear();
        setEnabled(true);
        liste_.Zurueckschreiben(Konstanten());
        if (symbolwahl_) symbolwahl_->close();
    }
    QDialog::done(r);
}

// ---------------------------------------------------------------------------
// Editing aids

void TDlgKonstante::SymbolFontClick() {
    if (symbolwahl_) {
        symbolwahl_->raise();
        symbolwahl_->activateWindow();
        return;
    }
    symbolwahl_ = TDlgSymbol::Nichtmodal(this, [this](QObject*, char c) { SymbolEmpfangen(c); }, false);
}

void TDlgKonstante::SymbolEmpfangen(char zeichen) {
    if (geschlossen_) return;
    std::string text = RichTextZuFormeltext(RichEdit1);
    const int caret = RichEdit1->textCursor().position();
    const std::size_t pos = FormeltextPosition(text, caret);
    text.insert(pos, std::string{'~', zeichen});
    FormeltextZuRichText(Kurz(text), RichEdit1, Schriftgroesse);
    QTextCursor c = RichEdit1->textCursor();
    c.setPosition(std::min(caret + 1, RichEdit1->document()->characterCount() - 1));
    RichEdit1->setTextCursor(c);
    RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    RichEdit1->setFocus();
}

void TDlgKonstante::SpeedIndizeClick() {
    QTextCursor c = RichEdit1->textCursor();
    if (!c.hasSelection()) return;
    QTextCharFormat f;
    Tiefstellen(f);
    c.mergeCharFormat(f);
}

void TDlgKonstante::HelpBtnClick() { emit Hilfe(Hilfethema); }

bool TDlgKonstante::RichEdit1KeyPress(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return true;  // one line
    const QString t = e->text();
    if (t.isEmpty() || !t.at(0).isPrint()) return false;
    // Typed characters are plain text, whatever stands before the caret.
    RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    if (RichEdit1->document()->characterCount() - 1 >= static_cast<int>(KurzerStringMax) &&
        !RichEdit1->textCursor().hasSelection()) {
        meldungen_->Signalton();
        return true;
    }
    return false;
}

bool TDlgKonstante::eventFilter(QObject* obj, QEvent* e) {
    if (obj == RichEdit1 && e->type() == QEvent::KeyPress)
        return RichEdit1KeyPress(static_cast<QKeyEvent*>(e));
    return QDialog::eventFilter(obj, e);
}

} // namespace kd
