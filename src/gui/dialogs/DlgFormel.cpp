#include "gui/dialogs/DlgFormel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

#include "core/device/Stile.h"
#include "core/device/VirtPntBox.h"
#include "core/eval/Formeleingabe.h"
#include "core/eval/KDGData.h"
#include "core/eval/Rechenabbruch.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "core/numeric/SymbolFont.h"
#include "core/numeric/Zahlen.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelsatz.h"
#include "gui/dialogs/DlgFormelText.h"
#include "gui/dialogs/DlgKonstante.h"
#include "gui/dialogs/DlgSymbol.h"
#include "gui/platform/RichText.h"
#include "gui/platform/Symbole.h"
#include "gui/platform/Texte.h"
#include "gui/platform/VirtPntBox.h"

namespace kd {

namespace dlgformel {

// The formula text as a reader sees it: "~c" as its Greek letter, "|" marks dropped.
QString Anzeige(std::string_view t) {
    QString s;
    const std::vector<std::size_t> anf = Zeichenanfaenge(t);
    for (std::size_t k = 0; k < anf.size(); ++k) {
        std::size_t i = anf[k];
        const std::size_t ende = k + 1 < anf.size() ? anf[k + 1] : t.size();
        bool symbol = false;
        if (t[i] == '~' && ende - i > 1) {
            symbol = true;
            ++i;
        }
        if (t[i] == '|' && ende - i > 1) ++i;
        const auto c = static_cast<unsigned char>(t[i]);
        const char32_t u = symbol ? SymbolZuUnicode(c) : 0;
        if (u != 0) s += QString::fromUcs4(&u, 1);
        else s += AusCp1252(std::string_view(&t[i], 1));
    }
    return s;
}

int Zeichenzahl(const QTextEdit* e) { return std::max(0, e->document()->characterCount() - 1); }

} // namespace dlgformel

using namespace dlgformel;

namespace {

// The faces of the speed buttons, drawn.
enum class Gesicht { Funktion, Konstante, Symbol, Index, Unterein, Nebenein };

QIcon Knopfbild(Gesicht b, qreal faktor) {
    QPixmap bild(QSize(18, 18) * faktor);
    bild.setDevicePixelRatio(faktor);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    const QString arial = QString::fromLatin1(NormalFamilie);
    switch (b) {
    case Gesicht::Funktion: {
        QFont f = MitPixelGroesse(QFont(arial), 12);
        f.setItalic(true);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 18, 18), Qt::AlignCenter, QStringLiteral("fx"));
        break;
    }
    case Gesicht::Konstante:
        p.setFont(MitPixelGroesse(QFont(QString::fromLatin1(SymbolFamilie)), 14));
        p.drawText(QRectF(0, 0, 18, 18), Qt::AlignCenter, QString(QChar(0x03C0)));  // π
        break;
    case Gesicht::Symbol:
        p.setFont(MitPixelGroesse(QFont(QString::fromLatin1(SymbolFamilie)), 14));
        p.drawText(QRectF(0, 0, 18, 18), Qt::AlignCenter, QString(QChar(0x03B1)));  // α
        break;
    case Gesicht::Index:
        p.setFont(MitPixelGroesse(QFont(arial), 13));
        p.drawText(QPointF(2, 12), QStringLiteral("x"));
        p.setFont(MitPixelGroesse(QFont(arial), 9));
        p.drawText(QPointF(10, 16), QStringLiteral("n"));
        break;
    case Gesicht::Unterein:
        p.setFont(MitPixelGroesse(QFont(arial), 8));
        p.drawText(QPointF(2, 8), QStringLiteral("y="));
        p.drawText(QPointF(2, 16), QStringLiteral("y="));
        p.setPen(QPen(QColor(0, 0, 160), 1.5));
        p.drawLine(QPointF(13, 10), QPointF(16, 10));
        p.drawLine(QPointF(14.5, 8.5), QPointF(14.5, 11.5));
        break;
    case Gesicht::Nebenein:
        p.setFont(MitPixelGroesse(QFont(arial), 8));
        p.drawText(QPointF(0, 12), QStringLiteral("y="));
        p.drawText(QPointF(9, 12), QStringLiteral("y="));
        p.setPen(QPen(QColor(0, 0, 160), 1.5));
        p.drawLine(QPointF(6, 16), QPointF(12, 16));
        break;
    }
    p.end();
    return QIcon(bild);
}

// The arrow under the failing place.
QPixmap Pfeilbild(qreal faktor) {
    QPixmap bild(QSize(11, 10) * faktor);
    bild.setDevicePixelRatio(faktor);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath pfad;
    pfad.moveTo(5.5, 0);
    pfad.lineTo(11, 6);
    pfad.lineTo(7.5, 6);
    pfad.lineTo(7.5, 10);
    pfad.lineTo(3.5, 10);
    pfad.lineTo(3.5, 6);
    pfad.lineTo(0, 6);
    pfad.closeSubpath();
    p.fillPath(pfad, QColor(200, 0, 0));
    p.end();
    return bild;
}

// A one-line rich-text edit.
void Zeilenedit(QTextEdit* e, double punkte) {
    e->setLineWrapMode(QTextEdit::NoWrap);
    e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    e->setTabChangesFocus(true);
    e->setAcceptRichText(true);
    e->document()->setDocumentMargin(2);
    QFont f(QString::fromLatin1(NormalFamilie));
    f.setPointSizeF(punkte);
    e->document()->setDefaultFont(f);
    e->setCurrentCharFormat(NormalFormat(punkte));
}

// The message line: light grey, the text drawn by the dialog.
class Meldungszeile final : public QWidget {
public:
    Meldungszeile(QWidget* eltern, std::function<void()> malen) : QWidget(eltern), malen_(std::move(malen)) {}

protected:
    void paintEvent(QPaintEvent*) override { malen_(); }

private:
    std::function<void()> malen_;
};

constexpr int Rand = 8;
constexpr int Knopf = 24;
constexpr int Zeilenoben = Rand + 150 + 8;  // top of the formula line

} // namespace

// ---------------------------------------------------------------------------------

TDlgFormel::TDlgFormel(Meldungen* meldungen, QWidget* eltern)
    : QDialog(eltern), meldungen_(meldungen), stile_(std::make_shared<TFormStyles>()) {
    InitRessourcen();
    if (!meldungen_) {
        eigeneMeldungen_ = std::make_unique<QtMeldungen>(this);
        meldungen_ = eigeneMeldungen_.get();
    }
    setObjectName(QStringLiteral("DlgFormel"));
    setWindowTitle(QStringLiteral("Formelinterpreter"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(MitPixelGroesse(font(), 12));
    ControlsAnlegen();
    zielEdit_ = RichEdit1;
    Anordnen();
}

TDlgFormel::~TDlgFormel() = default;

void TDlgFormel::ControlsAnlegen() {
    const qreal dpr = devicePixelRatioF();

    Rahmen1 = new QFrame(this);
    Rahmen1->setObjectName(QStringLiteral("Rahmen1"));
    Rahmen1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Rahmen1->setGeometry(Rand, Rand, ClientBreite - 2 * Rand, 150);
    PaintBox1 = new gui::TVirtPntBox(Rahmen1);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(2, 2, Rahmen1->width() - 4, Rahmen1->height() - 4);
    PaintBox1->OnPaint = [this](Device&, const TRect&) { PaintFormel(); };

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    Zeilenedit(RichEdit1, Schriftgroesse);
    RichEdit1->installEventFilter(this);
    connect(RichEdit1, &QTextEdit::textChanged, this, &TDlgFormel::OnChange);

    auto speed = [&](const char* name, Gesicht b, const char* hinweis) {
        auto* k = new QToolButton(this);
        k->setObjectName(QString::fromLatin1(name));
        k->setIcon(Knopfbild(b, dpr));
        k->setIconSize(QSize(18, 18));
        k->setToolTip(QString::fromUtf8(hinweis));
        k->setAccessibleName(k->toolTip());  // read by screen readers
        k->setFocusPolicy(Qt::NoFocus);
        k->setAutoRaise(false);
        return k;
    };
    Grundfunktion = speed("Grundfunktion", Gesicht::Funktion, "Funktionen");
    SpeedKonstante = speed("SpeedKonstante", Gesicht::Konstante, "Konstanten");
    SpeedFormelnUnterein = speed("SpeedFormelnUnterein", Gesicht::Unterein, "weitere Formel untereinander");
    SpeedFormelnNebenein = speed("SpeedFormelnNebenein", Gesicht::Nebenein, "weitere Formel nebeneinander");
    SpeedSymbole = speed("SpeedSymbole", Gesicht::Symbol, "griechische Sonderzeichen");
    SpeedIndizes = speed("SpeedIndizes", Gesicht::Index, "Markierter Text als Index");
    Bibliothek = new QToolButton(this);
    Bibliothek->setObjectName(QStringLiteral("Bibliothek"));
    Bibliothek->setIcon(SvgSymbol(QStringLiteral("bibliothek-neu"), QSize(18, 18)));
    Bibliothek->setToolTip(QStringLiteral("Formel aus der Formelsammlung"));
    Bibliothek->setAccessibleName(Bibliothek->toolTip());
    Bibliothek->setFocusPolicy(Qt::NoFocus);
    FormelNeu = new QToolButton(this);
    FormelNeu->setObjectName(QStringLiteral("FormelNeu"));
    FormelNeu->setIcon(SvgSymbol(QStringLiteral("formel-neu"), QSize(18, 18)));
    FormelNeu->setToolTip(QStringLiteral("Neue Formelzeile"));
    FormelNeu->setAccessibleName(FormelNeu->toolTip());
    FormelNeu->setFocusPolicy(Qt::NoFocus);
    connect(Grundfunktion, &QToolButton::clicked, this, &TDlgFormel::GrundfunktionenClick);
    connect(SpeedKonstante, &QToolButton::clicked, this, &TDlgFormel::SpeedKonstanteClick);
    connect(SpeedSymbole, &QToolButton::clicked, this, &TDlgFormel::SpeedSymboleClick);
    connect(SpeedIndizes, &QToolButton::clicked, this, &TDlgFormel::SpeedIndizesClick);
    connect(SpeedFormelnUnterein, &QToolButton::clicked, this, &TDlgFormel::SpeedFormelnUntereinClick);
    connect(SpeedFormelnNebenein, &QToolButton::clicked, this, &TDlgFormel::SpeedFormelnNebeneinClick);
    connect(Bibliothek, &QToolButton::clicked, this, &TDlgFormel::BibliothekClick);
    connect(FormelNeu, &QToolButton::clicked, this, &TDlgFormel::FormelNeuClick);

    PaintBox2 = new Meldungszeile(this, [this] { PaintBox2Paint(); });
    PaintBox2->setObjectName(QStringLiteral("PaintBox2"));
    Image4 = new QLabel(this);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setPixmap(Pfeilbild(dpr));
    Image4->setFixedSize(11, 10);
    Image4->hide();

    // The curve area.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(4, 4, 360, 92);
    auto label = [&](const QString& text, int x, int y) {
        auto* l = new QLabel(text, Panel2);
        l->setGeometry(x, y, 60, 20);
        return l;
    };
    auto zahl = [&](const char* name, int x, int y) {
        auto* e = new QLineEdit(Panel2);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(x, y, 64, 22);
        return e;
    };
    auto variable = [&](const char* name, int x, int y) {
        auto* e = new QTextEdit(Panel2);
        e->setObjectName(QString::fromLatin1(name));
        Zeilenedit(e, Schriftgroesse);
        e->setGeometry(x, y, 44, 24);
        e->installEventFilter(this);
        return e;
    };
    label(QStringLiteral("X von"), 0, 2);
    EXStart = zahl("EXStart", 48, 1);
    label(QStringLiteral("bis"), 118, 2);
    EXEnde = zahl("EXEnde", 140, 1);
    label(QStringLiteral("Punkte"), 210, 2);
    EXPnts = zahl("EXPnts", 254, 1);
    EXVar = variable("EXVar", 316, 0);
    label(QStringLiteral("Z von"), 0, 32);
    EZStart = zahl("EZStart", 48, 31);
    label(QStringLiteral("bis"), 118, 32);
    EZEnde = zahl("EZEnde", 140, 31);
    label(QStringLiteral("Punkte"), 210, 32);
    EZPnts = zahl("EZPnts", 254, 31);
    EZVar = variable("EZVar", 316, 30);
    label(QStringLiteral("Y von"), 0, 62);
    EYStart = zahl("EYStart", 48, 61);
    label(QStringLiteral("bis"), 118, 62);
    EYEnde = zahl("EYEnde", 140, 61);
    Radio2D = new QRadioButton(QStringLiteral("2D-Darstellung"), Panel1);
    Radio2D->setObjectName(QStringLiteral("Radio2D"));
    Radio3D = new QRadioButton(QStringLiteral("3D-Darstellung"), Panel1);
    Radio3D->setObjectName(QStringLiteral("Radio3D"));
    Radio2D->setGeometry(370, 8, 160, 22);
    Radio3D->setGeometry(370, 36, 160, 22);
    connect(Radio2D, &QRadioButton::clicked, this, &TDlgFormel::Radio2DClick);
    connect(Radio3D, &QRadioButton::clicked, this, &TDlgFormel::Radio3DClick);
    for (QLineEdit* e : {EXStart, EXEnde, EZStart, EZEnde, EXPnts, EZPnts})
        connect(e, &QLineEdit::textEdited, this, [this] {
            hatLetzten_ = false;
            UpdateFormel();
        });
    connect(EXVar, &QTextEdit::textChanged, this, &TDlgFormel::OnChange);
    connect(EZVar, &QTextEdit::textChanged, this, &TDlgFormel::OnChange);

    // The display choice (the radio buttons of the dialog form one group, those of
    // Panel1 another).
    RadioButton1 = new QRadioButton(QStringLiteral("Kurven darstellen"), this);
    RadioButton2 = new QRadioButton(QStringLiteral("Formeln und Kurven darstellen"), this);
    RadioButton3 = new QRadioButton(QStringLiteral("Formeln alleine darstellen"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    connect(RadioButton1, &QRadioButton::clicked, this, &TDlgFormel::RadioButton2Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &TDlgFormel::RadioButton2Click);
    connect(RadioButton3, &QRadioButton::clicked, this, &TDlgFormel::RadioButton3Click);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setToolTip(QStringLiteral("Formelzeilen"));
    ComboBox1->setFocusPolicy(Qt::ClickFocus);
    connect(ComboBox1, &QComboBox::activated, this, &TDlgFormel::ComboBox1Click);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    OKBtn->setAutoDefault(false);
    CancelBtn = new QPushButton(QStringLiteral("Abbruch"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    CancelBtn->setAutoDefault(false);
    HelpBtn = new QPushButton(QStringLiteral("Hilfe"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setIcon(SvgSymbol(QStringLiteral("hilfe"), QSize(16, 16)));
    HelpBtn->setAutoDefault(false);
    connect(OKBtn, &QPushButton::clicked, this, &TDlgFormel::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDlgFormel::CancelBtnClick);
    connect(HelpBtn, &QPushButton::clicked, this, &TDlgFormel::HelpBtnClick);

    // The function list opens over the controls below the formula line.
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->installEventFilter(this);
    ListBox1->hide();
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
}

void TDlgFormel::Anordnen() {
    const int b = ClientBreite - 2 * Rand;
    Rahmen1->setGeometry(Rand, Rand, b, 150);
    PaintBox1->setGeometry(2, 2, Rahmen1->width() - 4, Rahmen1->height() - 4);

    // The formula line with its buttons (their left edges are set once: an opener may
    // move them).
    const int zeile = Zeilenoben;
    RichEdit1->setGeometry(Rand, zeile, 330, 26);
    if (!angeordnet_) {
        const std::pair<QToolButton*, int> knoepfe[] = {
            {Grundfunktion, 346}, {SpeedKonstante, 372}, {SpeedFormelnUnterein, 398},
            {SpeedFormelnNebenein, 424}, {SpeedSymbole, 450}, {SpeedIndizes, 476},
            {Bibliothek, 506}, {FormelNeu, 532}};
        for (const auto& [k, x] : knoepfe) k->setGeometry(x, zeile + 1, Knopf, Knopf);
        angeordnet_ = true;
    }

    // The message line.
    const int meldung = zeile + 26 + 4;
    PaintBox2->setGeometry(Rand, meldung, b, 22);
    Image4->move(Image4->x(), meldung + 1);

    int y = meldung + 22 + 8;
    if (!Panel1->isHidden()) {
        Panel1->setGeometry(Rand, y, b, 100);
        y += 100 + 6;
    }
    const bool anzeige = !RadioButton1->isHidden() || !RadioButton2->isHidden() || !RadioButton3->isHidden();
    if (anzeige) {
        RadioButton1->setGeometry(Rand, y, 160, 22);
        RadioButton2->setGeometry(Rand + 150, y, 220, 22);
        RadioButton3->setGeometry(Rand + 360, y, 180, 22);
        y += 22 + 6;
    }
    ComboBox1->setGeometry(Rand, y, 300, 27);
    OKBtn->setGeometry(ClientBreite - Rand - 3 * 80 - 2 * 6, y, 80, 27);
    CancelBtn->setGeometry(ClientBreite - Rand - 2 * 80 - 6, y, 80, 27);
    HelpBtn->setGeometry(ClientBreite - Rand - 80, y, 80, 27);
    y += 27 + Rand;
    setFixedSize(ClientBreite, y);

    // The function list opens above or below its button, where there is more room; the
    // button stays free, so a second click on it closes the list.
    const QRect knopf = Grundfunktion->geometry();
    const int darunter = std::min(330, y - Rand - (knopf.bottom() + 3));
    const int darueber = std::min(330, knopf.top() - 3 - Rand);
    if (darunter >= darueber)
        ListBox1->setGeometry(knopf.x(), knopf.bottom() + 3, 180, darunter);
    else
        ListBox1->setGeometry(knopf.x(), knopf.top() - 3 - darueber, 180, darueber);
}

void TDlgFormel::showEvent(QShowEvent* e) {
    // The opener may have hidden controls since the set-up.
    Anordnen();
    QDialog::showEvent(e);
    RichEdit1->setFocus();
}

void TDlgFormel::SetFormelStyles(std::shared_ptr<TFormStyles> stile) {
    if (stile) stile_ = std::move(stile);
    hatLetzten_ = false;
}

// ---------------------------------------------------------------------------------
// Opening

void TDlgFormel::Vorbereiten(TKDGData& d) {
    laden_ = true;
    daten_ = &d;
    EXStart->setText(AusCp1252(ZahlText(10, d.XStart)));
    EXEnde->setText(AusCp1252(ZahlText(10, d.XEnde)));
    EZStart->setText(AusCp1252(ZahlText(10, d.ZStart)));
    EZEnde->setText(AusCp1252(ZahlText(10, d.ZEnde)));
    EYStart->setText(d.YMinAuto ? QStringLiteral("auto") : AusCp1252(ZahlText(10, d.YMin)));
    EYEnde->setText(d.YMaxAuto ? QStringLiteral("auto") : AusCp1252(ZahlText(10, d.YMax)));
    EXPnts->setText(QString::number(d.XPunkte));
    EZPnts->setText(QString::number(d.ZPunkte));
    FormeltextZuRichText(d.XVariable.str(), EXVar, Schriftgroesse);
    FormeltextZuRichText(d.ZVariable.str(), EZVar, Schriftgroesse);

    if (d.FormelZeilen.empty()) d.FormelZeilen.push_back("");
    ComboFuellen(d.FormelZeilen, 0);
    FormeltextZuRichText(d.FormelZeilen.front(), RichEdit1, Schriftgroesse);
    {
        QTextCursor c = RichEdit1->textCursor();
        c.movePosition(QTextCursor::End);
        RichEdit1->setTextCursor(c);
        RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    }

    // The preview: scale 1, magnified.
    PaintBox1->SetParameter(true, 0, 0, 0, 0, 1.0L, nullptr);
    PaintBox1->ZoomFactor = PaintBox1->ZoomFactor * Vergroesserung;

    (d.FormelnMitKurven ? RadioButton2 : RadioButton1)->setChecked(true);
    if (d.NurFormeln) RadioButton3->setChecked(true);
    (d.Dreidimensional ? Radio3D : Radio2D)->setChecked(true);
    if (d.Dreidimensional) Radio3DClick();
    else Radio2DClick();
    RadioButton3->isChecked() ? RadioButton3Click() : RadioButton2Click();

    laden_ = false;
    hatLetzten_ = false;
    UpdateFormel();
}

int TDlgFormel::ShowModal(TKDGData& d) {
    Vorbereiten(d);
    return exec();
}

void TDlgFormel::ComboFuellen(const std::vector<std::string>& zeilen, int gewaehlt) {
    const QSignalBlocker sperre(ComboBox1);
    ComboBox1->clear();
    for (const std::string& z : zeilen)
        ComboBox1->addItem(Anzeige(z), QByteArray(z.data(), qsizetype(z.size())));
    gewaehlt_ = std::clamp(gewaehlt, 0, std::max(0, ComboBox1->count() - 1));
    ComboBox1->setCurrentIndex(ComboBox1->count() ? gewaehlt_ : -1);
}

void TDlgFormel::ComboEintragSetzen(int i, const std::string& text) {
    if (i < 0 || i >= ComboBox1->count()) return;
    const QSignalBlocker sperre(ComboBox1);
    ComboBox1->setItemText(i, Anzeige(text));
    ComboBox1->setItemData(i, QByteArray(text.data(), qsizetype(text.size())));
}

bool TDlgFormel::NurFormelnModus() const {
    if (RadioButton3->isHidden()) return daten_ ? daten_->NurFormeln : true;
    return RadioButton3->isChecked();
}

std::string TDlgFormel::Formeltext() const { return RichTextZuFormeltext(RichEdit1); }

// ---------------------------------------------------------------------------------
// Preview

bool TDlgFormel::UpdateFormel() {
    if (laden_ || vorschauLaeuft_) return false;
    const std::string text = RichTextZuFormeltext(RichEdit1);
    if (text.find_first_not_of(' ') == std::string::npos) {
        // A blank line: nothing to show.
        vorschau_.reset();
        Nachricht(QString(), -1);
        PaintBox1->update();
        hatLetzten_ = false;
        return false;
    }
    if (hatLetzten_ && text == letzterText_) return vorschau_ != nullptr;
    vorschauLaeuft_ = true;

    std::string xVar, zVar;
    if (!NurFormelnModus()) {
        xVar = RichTextZuFormeltext(EXVar);
        zVar = RichTextZuFormeltext(EZVar);
    }
    vorschau_.reset();
    Nachricht(QString(), -1);

    TDrawingState& st = DrawingState();
    kd::TVirtPntBox* alt = st.CurrentPaintBox;
    st.CurrentPaintBox = PaintBox1;
    PaintBox1->SetScale();
    Device& dc = *PaintBox1->Canvas();

    bool gelesen = false;
    {
        Formelsatz::Ergebnis satz = Formelsatz(dc, stile_).Setzen(text, xVar, zVar);
        const int code = satz.Code, fehlerPos = satz.FehlerPos;
        gelesen = code == 0;
        if (gelesen) {
            // The value at the start values.
            const bool mitWert = RadioButton3->isHidden() || !RadioButton3->isChecked();
            int f1 = 0, f2 = 0;
            const Extended x = TextZuZahl(EXStart->text().toStdString(), f1);
            const Extended z = TextZuZahl(EZStart->text().toStdString(), f2);
            if (mitWert && f1 == 0 && f2 == 0) {
                // Computed on every key: a value that takes longer than a tenth of a second
                // is left out rather than holding up the typing.
                Rechenabbruch abbruch(std::chrono::milliseconds(100));
                const std::string wert = StartwertZeile(text, xVar, zVar, x, z);
                if (!wert.empty() && !abbruch.Abgebrochen()) Nachricht(Anzeige(wert), -1);
            }
            vorschau_ = std::move(satz.Baum);
            if (vorschau_) {
                // Centred in the view where it fits, else from its top-left corner.
                const double zoom = PaintBox1->ZoomFactor > 0 ? PaintBox1->ZoomFactor : 1.0;
                const std::int32_t w = std::int32_t(PaintBox1->width() / zoom);
                const std::int32_t h = std::int32_t(PaintBox1->height() / zoom);
                const TRect& r = vorschau_->Rect;
                const std::int32_t bw = r.Right - r.Left, bh = r.Top - r.Bottom;
                const std::int32_t links = bw < w ? (w - bw) / 2 : 20;
                const std::int32_t oben = PaintBox1->PageHeight - (bh < h ? (h - bh) / 2 : 20);
                vorschau_->MovePosRel(links - r.Left, oben - r.Top);
            }
        } else {
            // The arrow under the failing place, the message beside it.
            const int sichtbar = SichtbareZeichen(text, std::size_t(std::max(0, fehlerPos - 1)));
            QTextCursor c(RichEdit1->document());
            c.setPosition(std::min(sichtbar, Zeichenzahl(RichEdit1)));
            int x = RichEdit1->cursorRect(c).left() + RichEdit1->viewport()->x();
            x = std::clamp(x, 0, RichEdit1->width() - 1);
            const QString m = code >= 1 && code <= 34 ? AusCp1252(Fehlertexte[code]) : QString();
            Nachricht(m, RichEdit1->x() + x - PaintBox2->x());
        }
    }
    st.CurrentPaintBox = alt;
    PaintBox1->update();
    letzterText_ = text;
    hatLetzten_ = true;
    vorschauLaeuft_ = false;
    return gelesen;
}

void TDlgFormel::PaintFormel() {
    if (!vorschau_) return;
    TDrawingState& st = DrawingState();
    kd::TVirtPntBox* alt = st.CurrentPaintBox;
    st.CurrentPaintBox = PaintBox1;
    vorschau_->Draw(PaintBox1->Leinwand());
    st.CurrentPaintBox = alt;
}

void TDlgFormel::Nachricht(const QString& text, int pfeilX) {
    meldung_ = text;
    pfeilX_ = pfeilX;
    if (pfeilX >= 0) {
        Image4->move(PaintBox2->x() + std::clamp(pfeilX, 0, PaintBox2->width() - 1) - Image4->width() / 2,
                     PaintBox2->y() + 1);
        Image4->show();
        Image4->raise();
    } else {
        Image4->hide();
    }
    PaintBox2->update();
}

void TDlgFormel::PaintBox2Paint() {
    QPainter p(PaintBox2);
    p.fillRect(PaintBox2->rect(), QColor(192, 192, 192));
    if (meldung_.isEmpty()) return;
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f(QString::fromLatin1(NormalFamilie));
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(pfeilX_ >= 0 ? QColor(128, 0, 0) : QColor(Qt::black));
    const int textBreite = p.fontMetrics().horizontalAdvance(meldung_);
    int x = 6;
    if (pfeilX_ >= 0) {
        x = pfeilX_ + Image4->width() / 2 + 4;
        // Left of the arrow when there is no room beside it.
        if (x + textBreite > PaintBox2->width() - 4) x = std::max(4, pfeilX_ - Image4->width() / 2 - 4 - textBreite);
    }
    p.drawText(QRect(x, 0, PaintBox2->width() - x - 2, PaintBox2->height()), Qt::AlignVCenter | Qt::AlignLeft,
               meldung_);
}

} // namespace kd
