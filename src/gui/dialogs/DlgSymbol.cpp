#include "gui/dialogs/DlgSymbol.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QVBoxLayout>
#include <qdrawutil.h>

#include <string>

#include "core/device/TextSys.h"
#include "gui/platform/QtDevice.h"

namespace kd {

namespace {

int letzteSeite = 0;  // the notebook page shown last, for the program run

// The characters of the index row, columns 0 to 12.
constexpr char kIndexzeichen[TDlgSymbol::Spalten] = {'.', ':', '^', '_', '=', '~', '\'',
                                                    '"', '-', '"', '"', '"',
                                                    static_cast<char>(TDlgSymbol::Unendlich)};

// Symbol size 10 and Arial size 10 at 96 pixels per inch (character height 13 px).
constexpr std::int32_t kSchrifthoehe = -13;
constexpr TColor kGrau = RGB(128, 128, 128);

// The place of the picture with the index marks, in the grid's coordinates.
constexpr int kBildX = 2;
constexpr int kBildY = 82;

class Zeichenfeld final : public QWidget {
public:
    explicit Zeichenfeld(TDlgSymbol* d, QWidget* eltern) : QWidget(eltern), d_(d) {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    }

protected:
    void paintEvent(QPaintEvent*) override { d_->PaintBox1Paint(); }
    void mouseMoveEvent(QMouseEvent* e) override { d_->PaintBox1MouseMove(e->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            d_->PaintBox1Click(e->position().toPoint());
    }

private:
    TDlgSymbol* d_;
};

// The picture of the index row: a grey "x" in each of the columns 0 to 8 with the mark
// the column stands for — dot, two dots, hat, bar, double bar, tilde above the letter,
// one and two primes behind it, the vector arrow above it.
QPixmap Indexbild(qreal faktor) {
    const int breite = 9 * TDlgSymbol::Zelle - kBildX;
    const int hoehe = TDlgSymbol::Zelle - 2;
    QPixmap bild(QSize(breite, hoehe) * faktor);
    bild.setDevicePixelRatio(faktor);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor grau(GetRValue(kGrau), GetGValue(kGrau), GetBValue(kGrau));
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPixelSize(-kSchrifthoehe);
    p.setFont(schrift);
    const QFontMetricsF fm(schrift);
    const qreal grundlinie = hoehe - 3;
    const qreal oben = grundlinie - fm.xHeight();  // top of the "x"
    const qreal xb = fm.horizontalAdvance(QLatin1Char('x'));
    QPen stift(grau, 1.1);
    stift.setCapStyle(Qt::FlatCap);
    for (int s = 0; s < 9; ++s) {
        // The "x" stands where the letters of the other rows stand: column x 20 + 4.
        const qreal x = s * TDlgSymbol::Zelle + 4 - kBildX;
        const qreal mitte = x + xb / 2;
        const qreal y = oben - 2.5;  // the height of the marks above the letter
        p.setPen(grau);
        p.drawText(QPointF(x, grundlinie), s == 6 ? QStringLiteral("x'") : s == 7 ? QStringLiteral("x\"") : QStringLiteral("x"));
        p.setPen(stift);
        p.setBrush(grau);
        switch (s) {
        case 0: p.drawEllipse(QPointF(mitte, y), 0.9, 0.9); break;
        case 1:
            p.drawEllipse(QPointF(mitte - 2, y), 0.9, 0.9);
            p.drawEllipse(QPointF(mitte + 2, y), 0.9, 0.9);
            break;
        case 2:
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF{{mitte - 2.5, y + 1}, {mitte, y - 1.5}, {mitte + 2.5, y + 1}});
            break;
        case 3: p.drawLine(QPointF(x, y), QPointF(x + xb, y)); break;
        case 4:
            p.drawLine(QPointF(x, y - 1.5), QPointF(x + xb, y - 1.5));
            p.drawLine(QPointF(x, y + 0.5), QPointF(x + xb, y + 0.5));
            break;
        case 5: {
            p.setBrush(Qt::NoBrush);
            QPainterPath welle(QPointF(x, y + 0.5));
            welle.cubicTo(QPointF(x + xb * 0.35, y - 2.5), QPointF(x + xb * 0.65, y + 2.5), QPointF(x + xb, y - 0.5));
            p.drawPath(welle);
            break;
        }
        case 8: {
            const qreal ende = x + xb + 1;
            p.drawLine(QPointF(x - 0.5, y), QPointF(ende - 2, y));
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF{{ende, y}, {ende - 3, y - 1.6}, {ende - 3, y + 1.6}});
            break;
        }
        default: break;  // the primes are characters
        }
    }
    return bild;
}

} // namespace

TDlgSymbol::TDlgSymbol(QWidget* eltern) : QDialog(eltern) {
    setObjectName(QStringLiteral("DlgSymbol"));
    setWindowTitle(QStringLiteral("Sonderzeichen"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint);

    auto* rahmen = new QVBoxLayout(this);
    rahmen->setContentsMargins(0, 0, 0, 0);
    TabNot = new QTabWidget(this);
    TabNot->setObjectName(QStringLiteral("TabNot"));
    TabNot->setDocumentMode(false);
    rahmen->addWidget(TabNot);

    auto* seite = new QWidget;
    seite->setObjectName(QStringLiteral("Symbol"));
    auto* seitenRahmen = new QVBoxLayout(seite);
    seitenRahmen->setContentsMargins(0, 0, 0, 0);
    PaintBox1 = new Zeichenfeld(this, seite);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    seitenRahmen->addWidget(PaintBox1);
    TabNot->addTab(seite, QStringLiteral("Symbol"));

    Image1 = new QLabel(PaintBox1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1->setPixmap(Indexbild(devicePixelRatioF()));
    Image1->setGeometry(kBildX, kBildY, 9 * Zelle - kBildX, Zelle - 2);

    connect(TabNot, &QTabWidget::currentChanged, this, &TDlgSymbol::TabNotChange);
    Groesse();
}

TDlgSymbol::~TDlgSymbol() = default;

void TDlgSymbol::SetParameter(Empfaenger empfaenger, bool mitIndexzeile) {
    empfaenger_ = std::move(empfaenger);
    mitIndexzeile_ = mitIndexzeile;
    Image1->setVisible(mitIndexzeile_);
    if (letzteSeite >= 0 && letzteSeite < TabNot->count()) TabNot->setCurrentIndex(letzteSeite);
    Groesse();
}

void TDlgSymbol::Modal(QWidget* eltern, Empfaenger empfaenger, bool mitIndexzeile) {
    auto* d = new TDlgSymbol(eltern);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->SetParameter(std::move(empfaenger), mitIndexzeile);
    d->setModal(true);
    d->exec();  // frees the window when it closes
}

QPointer<TDlgSymbol> TDlgSymbol::Nichtmodal(QWidget* eltern, Empfaenger empfaenger,
                                           bool mitIndexzeile) {
    auto* d = new TDlgSymbol(eltern);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->SetParameter(std::move(empfaenger), mitIndexzeile);
    d->setModal(false);
    d->show();
    d->activateWindow();
    return d;
}

int TDlgSymbol::LetzteSeite() { return letzteSeite; }

void TDlgSymbol::Groesse() {
    const int zeilen = Zeilen + (mitIndexzeile_ ? 1 : 0);
    PaintBox1->setFixedSize(Spalten * Zelle, zeilen * Zelle);
    // The notebook's tab row and frame come on top of the grid.
    layout()->activate();
    setFixedSize(sizeHint());
}

int TDlgSymbol::ZeichenBei(int zeile, int spalte) const {
    if (spalte < 0 || spalte >= Spalten || zeile < 0) return -1;
    if (zeile < Zeilen) {
        int code = zeile * Spalten + spalte + 64;
        if (code > 89) code += 6;
        return code + 1;
    }
    if (zeile == Indexzeile && mitIndexzeile_)
        return static_cast<unsigned char>(kIndexzeichen[spalte]);
    return -1;
}

void TDlgSymbol::PaintBox1Paint() {
    QPainter p(PaintBox1);
    p.fillRect(PaintBox1->rect(), PaintBox1->palette().window());
    p.setRenderHint(QPainter::TextAntialiasing);
    {
        QtDevice dev(&p);
        const LogFont symbol = CreateNamedFont("Symbol", kSchrifthoehe, 400);
        const LogFont alt = dev.SelectFont(symbol);
        dev.SetTextColor(RGB(0, 0, 0));
        dev.SetBkMode(TRANSPARENT);
        dev.SetTextAlign(TA_LEFT | TA_TOP);
        for (int r = 0; r < Zeilen; ++r)
            for (int c = 0; c < Spalten; ++c) {
                const char z = static_cast<char>(ZeichenBei(r, c));
                dev.TextOut(c * Zelle + 4, r * Zelle + 2, std::string_view(&z, 1));
            }
        if (mitIndexzeile_) {
            const char z = static_cast<char>(Unendlich);
            dev.TextOut((Spalten - 1) * Zelle + 4, Indexzeile * Zelle + 2, std::string_view(&z, 1));
        }
        dev.SelectFont(alt);
        dev.End();
    }
    if (rahmenZeile_ >= 0 && rahmenSpalte_ >= 0) {
        const QRect zelle(rahmenSpalte_ * Zelle, rahmenZeile_ * Zelle, Zelle, Zelle);
        qDrawShadeRect(&p, zelle, PaintBox1->palette(), false, 1);
    }
}

void TDlgSymbol::SetRahmen(int zeile, int spalte) {
    if (zeile == rahmenZeile_ && spalte == rahmenSpalte_) return;
    rahmenZeile_ = zeile;
    rahmenSpalte_ = spalte;
    PaintBox1->update();
}

void TDlgSymbol::PaintBox1MouseMove(QPoint pos) {
    const int zeilen = Zeilen + (mitIndexzeile_ ? 1 : 0);
    const int c = pos.x() / Zelle;
    const int r = pos.y() / Zelle;
    if (pos.x() < 0 || pos.y() < 0 || c >= Spalten || r >= zeilen) SetRahmen(-1, -1);
    else SetRahmen(r, c);
}

void TDlgSymbol::PaintBox1Click(QPoint pos) {
    PaintBox1MouseMove(pos);
    if (gesendet_) return;
    const int code = ZeichenBei(rahmenZeile_, rahmenSpalte_);
    if (code < 0) return;
    gewaehlt_ = code;
    gesendet_ = true;
    letzteSeite = TabNot->currentIndex();
    if (empfaenger_) empfaenger_(this, static_cast<char>(code));
    accept();  // closes; the window frees itself
}

void TDlgSymbol::TabNotChange() { SetRahmen(-1, -1); }

void TDlgSymbol::reject() {
    if (!gesendet_) gewaehlt_ = -1;
    QDialog::reject();
}

void TDlgSymbol::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) {
        SetRahmen(-1, -1);
        if (!gesendet_) gewaehlt_ = -1;
    }
    QDialog::changeEvent(e);
}

} // namespace kd
