#include "gui/dialogs/DlgFormelSuchen.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

#include "core/Types.h"
#include "core/library/Suche.h"
#include "core/numeric/Zeichen.h"
#include "gui/dialogs/DlgSymbol.h"
#include "gui/platform/RichText.h"
#include "gui/platform/Symbole.h"

namespace kd {

namespace {

int Zeichenzahl(const QTextEdit* e) { return std::max(0, e->document()->characterCount() - 1); }

} // namespace

TDlgFormelSuchen::TDlgFormelSuchen(QWidget* eltern) : QDialog(eltern) {
    InitRessourcen();
    setObjectName(QStringLiteral("DlgFormelSuchen"));
    setWindowTitle(QStringLiteral("Formel suchen"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(MitPixelGroesse(font(), 11));
    setFixedSize(ClientBreite, ClientHoehe);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(10, 6, 263, 109);

    Label1 = new QLabel(QStringLiteral("Suche nach Begriff im Titel :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(22, 8, 248, 17);
    Label2 = new QLabel(QStringLiteral("Suche nach Formel oder Teil einer Formel"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(22, 58, 248, 17);

    auto edit = [&](const char* name, int y) {
        auto* e = new QTextEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(20, y, 241, 23);
        e->setLineWrapMode(QTextEdit::NoWrap);
        e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        e->setTabChangesFocus(true);
        e->document()->setDocumentMargin(2);
        QFont f(QString::fromLatin1(NormalFamilie));
        f.setPointSizeF(Schriftgroesse);
        e->document()->setDefaultFont(f);
        e->setCurrentCharFormat(NormalFormat(Schriftgroesse));
        e->installEventFilter(this);
        return e;
    };
    RichEdit1 = edit("RichEdit1", 26);
    RichEdit2 = edit("RichEdit2", 76);
    ziel_ = RichEdit1;

    BitBtn1 = new QPushButton(QStringLiteral("Suchen"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(22, 127, 87, 25);
    BitBtn1->setIcon(SvgSymbol(QStringLiteral("suchen"), QSize(16, 16)));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Abbruch"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(116, 127, 89, 25);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &TDlgFormelSuchen::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(2); });

    SpeedSymbole = ZeichenKnopf(this, "SpeedSymbole", {216, 127, 24, 24}, false,
                                "griechische Sonderzeichen");
    SpeedIndizes = ZeichenKnopf(this, "SpeedIndizes", {248, 127, 24, 24}, true,
                                "Markierter Text als Index");
    connect(SpeedSymbole, &QToolButton::clicked, this, &TDlgFormelSuchen::SpeedSymboleClick);
    connect(SpeedIndizes, &QToolButton::clicked, this, &TDlgFormelSuchen::SpeedIndizesClick);

    RichEdit1->setFocus();
}

TDlgFormelSuchen::~TDlgFormelSuchen() = default;

void TDlgFormelSuchen::SetParameter(const std::string& titel, const std::string& formel) {
    FormeltextZuRichText(titel, RichEdit1, Schriftgroesse);
    FormeltextZuRichText(formel, RichEdit2, Schriftgroesse);
    for (QTextEdit* e : {RichEdit1, RichEdit2}) {
        QTextCursor c = e->textCursor();
        c.movePosition(QTextCursor::End);
        e->setTextCursor(c);
        e->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    }
    ziel_ = RichEdit1;
    RichEdit1->setFocus();
}

void TDlgFormelSuchen::BitBtn1Click() {
    Suchbegriffe& b = GemerkteSuchbegriffe();
    b.Titel = RichTextZuFormeltext(RichEdit1);
    b.Formel = RichTextZuFormeltext(RichEdit2);
    done(1);
}

void TDlgFormelSuchen::done(int r) {
    if (symbolwahl_) symbolwahl_->close();
    QDialog::done(r);
}

void TDlgFormelSuchen::SpeedSymboleClick() {
    if (symbolwahl_) {
        symbolwahl_->raise();
        symbolwahl_->activateWindow();
        return;
    }
    symbolwahl_ = TDlgSymbol::Nichtmodal(this, [this](QObject*, char c) { SymbolEmpfangen(c); }, true);
}

void TDlgFormelSuchen::SymbolEmpfangen(char zeichen) {
    QTextEdit* e = ziel_ ? ziel_ : RichEdit1;
    if (Zeichenzahl(e) >= int(KurzerStringMax)) return;
    QTextCursor c = e->textCursor();
    const auto byte = static_cast<unsigned char>(zeichen);
    if (IstTrennzeichen(byte)) c.insertText(QString(QChar(char16_t(byte))), IndexFormat());
    else if (zeichen == '\'' || zeichen == '"') c.insertText(QString(QChar(char16_t(byte))), NormalFormat(Schriftgroesse));
    else SymbolEinfuegen(c, byte, Schriftgroesse);
    e->setTextCursor(c);
    e->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    e->setFocus();
}

void TDlgFormelSuchen::SpeedIndizesClick() {
    QTextEdit* e = ziel_ ? ziel_ : RichEdit1;
    QTextCursor c = e->textCursor();
    if (!c.hasSelection()) return;
    const int anfang = c.selectionStart(), ende = c.selectionEnd();
    QTextCharFormat f;
    Tiefstellen(f);
    c.mergeCharFormat(f);
    // Read back and shown again, so the marked part carries the index marks.
    FormeltextZuRichText(RichTextZuFormeltext(e), e, Schriftgroesse);
    QTextCursor neu = e->textCursor();
    neu.setPosition(std::min(anfang, Zeichenzahl(e)));
    neu.setPosition(std::min(ende, Zeichenzahl(e)), QTextCursor::KeepAnchor);
    e->setTextCursor(neu);
}

bool TDlgFormelSuchen::eventFilter(QObject* obj, QEvent* ev) {
    if ((obj == RichEdit1 || obj == RichEdit2) && ev->type() == QEvent::KeyPress) {
        auto* e = static_cast<QTextEdit*>(obj);
        auto* k = static_cast<QKeyEvent*>(ev);
        ziel_ = e;
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            BitBtn1Click();  // one line each: Enter searches
            return true;
        }
        const QString t = k->text();
        if (!t.isEmpty() && t.at(0).isPrint()) {
            e->setCurrentCharFormat(NormalFormat(Schriftgroesse));
            if (Zeichenzahl(e) >= int(KurzerStringMax) && !e->textCursor().hasSelection()) return true;
        }
    }
    return QDialog::eventFilter(obj, ev);
}

} // namespace kd
