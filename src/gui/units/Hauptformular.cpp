#include "gui/units/Hauptformular.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

#include "core/numeric/Encoding.h"
#include "gui/platform/Symbole.h"
#include "gui/platform/Texte.h"

namespace kd {

namespace {

std::string Cp1252(const QString& s) {
    std::string t;
    Utf8ToCp1252(s.toStdString(), t);  // characters without a Windows-1252 form become "?"
    return t;
}

// The decimal separator of the user's locale, as the numbers are written.
std::string Dezimaltrenner() {
    std::string t;
    const QString p = QLocale().decimalPoint();
    if (p.isEmpty() || !Utf8ToCp1252(p.toStdString(), t)) return ".";
    return t;
}

// Name parts of the widgets of each page.
struct Namen {
    const char* gruppe;   // "Von" / "Nach" + this
    const char* stamm;    // + "Eingabe", "Ausgabe", ...
    const char* beispiel; // the caption label
};
constexpr Namen kNamen[EinheitenSeiten] = {
    {"Laenge", "Laengen", "LaengenBeispiel"},   {"Flaeche", "Flaechen", "FlaechenBeispiel"},
    {"Volumen", "Volumen", "VolumenBeispiel"},  {"Masse", "Massen", "MassenBeispiel"},
    {"Zeit", "Zeit", "ZeitBeispiel"},           {"Temperatur", "Temperatur", "Temperaturformel"},
};

} // namespace

THauptformular::THauptformular(Meldungen* meldungen, QWidget* eltern)
    : QDialog(eltern), meldungen_(meldungen), umrechner_(Dezimaltrenner()) {
    InitRessourcen();
    if (!meldungen_) {
        eigeneMeldungen_ = std::make_unique<QtMeldungen>(this);
        meldungen_ = eigeneMeldungen_.get();
    }
    setObjectName(QStringLiteral("Hauptformular"));
    setWindowTitle(QStringLiteral("Einheiten-Umrechnung"));
    setWindowIcon(SvgSymbol(QStringLiteral("einheiten"), QSize(32, 32)));
    setFont(MitPixelGroesse(font(), 13));
    setFixedSize(ClientBreite, ClientHoehe);

    Register = new QTabWidget(this);
    Register->setObjectName(QStringLiteral("Register"));
    Register->setGeometry(8, 8, ClientBreite - 16, 410);
    for (int s = 0; s < EinheitenSeiten; ++s) SeiteAnlegen(s);
    Register->setCurrentIndex(SeiteTemperatur);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(ClientBreite - 200, ClientHoehe - 40, 92, 30);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &THauptformular::BitBtn1Click);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("Schließen"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(ClientBreite - 100, ClientHoehe - 40, 92, 30);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

THauptformular::~THauptformular() = default;

void THauptformular::SeiteAnlegen(int seite) {
    const Namen& n = kNamen[seite];
    const auto name = [](const char* a, const char* b) { return QString::fromLatin1(a) + QString::fromLatin1(b); };
    Seitenfelder& f = felder_[static_cast<std::size_t>(seite)];
    const bool temperatur = seite == SeiteTemperatur;

    auto* blatt = new QWidget;
    Register->addTab(blatt, AusCp1252(Seitenname(seite)));
    auto* spalte = new QVBoxLayout(blatt);
    spalte->setContentsMargins(8, 8, 8, 8);
    spalte->setSpacing(8);

    // The two groups list the same units; two columns on the long pages, filled
    // column by column.
    const int spalten = seite <= SeiteMasse ? 2 : 1;
    const int anzahl = EinheitenAnzahl(seite);
    const int zeilen = (anzahl + spalten - 1) / spalten;
    auto gruppe = [&](const char* titel, const char* vorsatz, QButtonGroup*& knoepfe) {
        auto* g = new QGroupBox(QString::fromLatin1(titel), blatt);
        g->setObjectName(name(vorsatz, n.gruppe));
        auto* raster = new QGridLayout(g);
        raster->setContentsMargins(8, 4, 4, 4);
        raster->setHorizontalSpacing(6);
        raster->setVerticalSpacing(0);
        knoepfe = new QButtonGroup(g);
        knoepfe->setExclusive(true);
        for (int i = 0; i < anzahl; ++i) {
            auto* k = new QRadioButton(AusCp1252(Einheit(seite, i)), g);
            k->setObjectName(g->objectName() + QString::number(i));
            knoepfe->addButton(k, i);
            raster->addWidget(k, i % zeilen, i / zeilen);
        }
        // The short lists stay at the top, as spaced as the long ones.
        if (spalten == 1) raster->setRowStretch(zeilen, 1);
        connect(knoepfe, &QButtonGroup::idToggled, this, [this, g, temperatur](int, bool an) {
            if (!an) return;
            if (temperatur) TemperaturEinheitenClick(g);
            else EinheitenClick(g);
        });
        return g;
    };
    auto* gruppen = new QHBoxLayout;
    gruppen->setSpacing(8);
    f.Von = gruppe(" von ", "Von", f.VonKnoepfe);
    f.Nach = gruppe(" nach ", "Nach", f.NachKnoepfe);
    gruppen->addWidget(f.Von);
    gruppen->addWidget(f.Nach);
    spalte->addLayout(gruppen, 1);

    auto* panel = new QFrame(blatt);
    panel->setObjectName(name(n.stamm, "Panel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* feld = new QVBoxLayout(panel);
    feld->setContentsMargins(10, 8, 10, 10);
    feld->setSpacing(8);

    f.Beschriftung = new QLabel(AusCp1252(umrechner_.Seite(seite).Beschriftung), panel);
    f.Beschriftung->setObjectName(QString::fromLatin1(n.beispiel));
    f.Beschriftung->setTextFormat(Qt::PlainText);
    feld->addWidget(f.Beschriftung);

    // Field widths from the font: the input takes its 12 characters, the result the
    // longest text it can get ("-0.000" and 12 digits), a unit label the longest unit.
    const QFontMetrics fm(font());
    const int rand = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 10;
    int einheitBreite = 0;
    for (int i = 0; i < EinheitenAnzahl(seite); ++i)
        einheitBreite = std::max(einheitBreite, fm.horizontalAdvance(AusCp1252(Einheit(seite, i))));
    auto einheitLabel = [&](const char* teil) {
        auto* l = new QLabel(panel);
        l->setObjectName(name(n.stamm, teil));
        l->setTextFormat(Qt::PlainText);
        l->setMinimumWidth(einheitBreite + 2);
        return l;
    };
    auto* zeile = new QHBoxLayout;
    zeile->setSpacing(6);
    f.Eingabe = new QLineEdit(panel);
    f.Eingabe->setObjectName(name(n.stamm, "Eingabe"));
    f.Eingabe->setMaxLength(MaxEingabeLaenge);
    f.Eingabe->setFixedWidth(fm.horizontalAdvance(QStringLiteral("888888888888")) + rand);
    f.Eingabeeinheit = einheitLabel("Eingabeeinheit");
    auto* gleich = new QLabel(QStringLiteral("="), panel);
    gleich->setAlignment(Qt::AlignCenter);
    f.Ausgabe = new QLineEdit(panel);
    f.Ausgabe->setObjectName(name(n.stamm, "Ausgabe"));
    // Read-only, not disabled: the result is in the normal text colour and can be
    // selected and copied.
    f.Ausgabe->setReadOnly(true);
    f.Ausgabe->setFixedWidth(fm.horizontalAdvance(QStringLiteral("-0.000888888888888")) + rand);
    f.Ausgabeeinheit = einheitLabel("Ausgabeeinheit");
    zeile->addWidget(f.Eingabe);
    zeile->addWidget(f.Eingabeeinheit, 1);
    zeile->addWidget(gleich);
    zeile->addWidget(f.Ausgabe);
    zeile->addWidget(f.Ausgabeeinheit, 1);
    feld->addLayout(zeile);
    spalte->addWidget(panel);

    if (temperatur) {
        connect(f.Eingabe, &QLineEdit::textChanged, this, &THauptformular::TemperaturEingabeChange);
    } else {
        connect(f.Eingabe, &QLineEdit::textChanged, this, [this, seite] { EingabeChange(seite); });
    }
}

void THauptformular::EinheitenClick(QGroupBox* gruppe) {
    for (int s = 0; s < SeiteTemperatur; ++s) {
        const Seitenfelder& f = Felder(s);
        if (gruppe == f.Von) Zeige(s, umrechner_.WaehleVon(s, f.VonKnoepfe->checkedId()));
        else if (gruppe == f.Nach) Zeige(s, umrechner_.WaehleNach(s, f.NachKnoepfe->checkedId()));
    }
}

void THauptformular::EingabeChange(int seite) {
    if (seite < 0 || seite >= SeiteTemperatur) return;
    Zeige(seite, umrechner_.SetzeEingabe(seite, Cp1252(Felder(seite).Eingabe->text())));
}

void THauptformular::TemperaturEinheitenClick(QGroupBox* gruppe) {
    const Seitenfelder& f = Felder(SeiteTemperatur);
    if (gruppe == f.Von) Zeige(SeiteTemperatur, umrechner_.WaehleVon(SeiteTemperatur, f.VonKnoepfe->checkedId()));
    else if (gruppe == f.Nach) Zeige(SeiteTemperatur, umrechner_.WaehleNach(SeiteTemperatur, f.NachKnoepfe->checkedId()));
}

void THauptformular::TemperaturEingabeChange() {
    const Seitenfelder& f = Felder(SeiteTemperatur);
    Zeige(SeiteTemperatur, umrechner_.SetzeEingabe(SeiteTemperatur, Cp1252(f.Eingabe->text())));
}

void THauptformular::BitBtn1Click() { accept(); }

void THauptformular::Zeige(int seite, Ton ton) {
    const Seitenfelder& f = Felder(seite);
    const Einheitenseite& p = umrechner_.Seite(seite);
    f.Beschriftung->setText(AusCp1252(p.Beschriftung));
    f.Eingabeeinheit->setText(AusCp1252(p.VonText));
    f.Ausgabeeinheit->setText(AusCp1252(p.NachText));
    // A copied temperature takes the typed characters themselves, also those that
    // have no Windows-1252 form.
    f.Ausgabe->setText(umrechner_.KopiertEingabe(seite) ? f.Eingabe->text() : AusCp1252(p.Ausgabe));
    if (ton == Ton::Piep) meldungen_->Signalton();
}

} // namespace kd
