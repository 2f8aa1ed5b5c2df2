#include "gui/dialogs/DlgFormelsammlInfo.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>

#include "gui/platform/Symbole.h"

namespace kd {

namespace {

QLabel* Beschriftung(QWidget* eltern, const char* name, const QString& text, QRect platz,
                     int pixel, bool fett = false) {
    auto* l = new QLabel(text, eltern);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(platz);
    QFont f = l->font();
    f.setPixelSize(pixel);
    f.setBold(fett);
    l->setFont(f);
    return l;
}

} // namespace

TDlgFormelsammlInfo::TDlgFormelsammlInfo(Meldungen* meldungen, QWidget* eltern)
    : QDialog(eltern), meldungen_(meldungen),
      oeffner_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    if (!meldungen_) {
        eigeneMeldungen_ = std::make_unique<QtMeldungen>(this);
        meldungen_ = eigeneMeldungen_.get();
    }
    setObjectName(QStringLiteral("DlgFormelsammlInfo"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(ClientBreite, ClientHoehe);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(SvgBild(QStringLiteral("kaldora-logo")));
    Image1->setGeometry(10, 10, 170, 76);

    Label4 = Beschriftung(this, "Label4", QStringLiteral("Version 1.0"), {196, 38, 110, 18}, 12);
    Label1 = Beschriftung(this, "Label1", QStringLiteral("Formelsammlung"), {12, 94, 294, 24}, 18,
                          true);
    Label2 = Beschriftung(this, "Label2", QStringLiteral("KALDORA-Projekt"), {12, 122, 294, 17}, 12,
                          true);
    Label3 = Beschriftung(this, "Label3", QStringLiteral("Arbeitsgruppe Formelsatz und Numerik"),
                          {12, 139, 294, 17}, 12);
    Label5 = Beschriftung(this, "Label5",
                          QStringLiteral("\u00A9 2026 KALDORA-Projekt \u2013 freie Formelsammlung"),
                          {12, 158, 294, 16}, 11);
    Label5->setStyleSheet(QStringLiteral("color: #455a64"));

    Button1 = new QPushButton(Adresse(), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(12, 180, 206, 25);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setToolTip(Heimatseite().toString());
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TDlgFormelsammlInfo::WWWClick);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(228, 180, 78, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

TDlgFormelsammlInfo::~TDlgFormelsammlInfo() = default;

QString TDlgFormelsammlInfo::Adresse() {
    return QStringLiteral("www.kaldora.example");
}

QUrl TDlgFormelsammlInfo::Heimatseite() {
    return QUrl(QStringLiteral("https://") + Adresse() + QStringLiteral("/"));
}

QString TDlgFormelsammlInfo::BrowserFehlt() {
    return QStringLiteral("Internet-Browser nicht gefunden! \u00D6ffnen Sie diesen und geben \"") +
           Adresse() + QStringLiteral("\" ein");
}

void TDlgFormelsammlInfo::WWWClick() {
    if (oeffner_ && oeffner_(Heimatseite())) return;
    QString titel = QCoreApplication::applicationName();
    if (titel.isEmpty()) titel = QStringLiteral("KALDORA Formelsammlung");
    meldungen_->Zeige(titel, BrowserFehlt(), Meldungen::Symbol::Keins, Meldungen::Tasten::Ok);
}

} // namespace kd
