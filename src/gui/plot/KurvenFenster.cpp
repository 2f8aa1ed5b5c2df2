#include "gui/plot/KurvenFenster.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>
#include <map>

#include "core/numeric/Encoding.h"
#include "core/numeric/Zahlen.h"
#include "gui/platform/Dateidialoge.h"
#include "gui/platform/Meldungen.h"
#include "gui/platform/Texte.h"
#include "gui/plot/KurvenDiagramm.h"

namespace kd {

namespace {

QString U8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The last range typed for each variable, for the next plot.
struct Merkbereich {
    QString von = QStringLiteral("0"), bis = QStringLiteral("10"), punkte = QStringLiteral("200");
    bool logX = false, logY = false;
};
std::map<std::string, Merkbereich>& Bereiche() {
    static std::map<std::string, Merkbereich> b;
    return b;
}

} // namespace

// ---------------------------------------------------------------------------

DlgKurve::DlgKurve(const std::vector<std::string>& variablen, Meldungen& meldungen, QWidget* eltern)
    : QDialog(eltern), variablen_(variablen), meldungen_(meldungen) {
    setWindowTitle(QStringLiteral("Kurve zeichnen"));
    setObjectName(QStringLiteral("DlgKurve"));
    auto* form = new QFormLayout;
    Variable = new QComboBox(this);
    Variable->setObjectName(QStringLiteral("Variable"));
    for (const std::string& v : variablen_) Variable->addItem(U8(NameAlsText(v)));
    Von = new QLineEdit(this);
    Von->setObjectName(QStringLiteral("Von"));
    Bis = new QLineEdit(this);
    Bis->setObjectName(QStringLiteral("Bis"));
    Punkte = new QLineEdit(this);
    Punkte->setObjectName(QStringLiteral("Punkte"));
    LogXBox = new QCheckBox(QStringLiteral("x-Achse logarithmisch"), this);
    LogXBox->setObjectName(QStringLiteral("LogX"));
    LogYBox = new QCheckBox(QStringLiteral("y-Achse logarithmisch"), this);
    LogYBox->setObjectName(QStringLiteral("LogY"));
    form->addRow(QStringLiteral("&x-Achse:"), Variable);
    form->addRow(QStringLiteral("&von:"), Von);
    form->addRow(QStringLiteral("&bis:"), Bis);
    form->addRow(QStringLiteral("&Punkte:"), Punkte);
    form->addRow(QString(), LogXBox);
    form->addRow(QString(), LogYBox);

    OkKnopf = new QPushButton(QStringLiteral("OK"), this);
    OkKnopf->setObjectName(QStringLiteral("OK"));
    OkKnopf->setDefault(true);
    auto* abbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    abbrechen->setObjectName(QStringLiteral("Abbrechen"));
    connect(OkKnopf, &QPushButton::clicked, this, &DlgKurve::OkClick);
    connect(abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(OkKnopf);
    knoepfe->addWidget(abbrechen);
    auto* haupt = new QVBoxLayout(this);
    haupt->addLayout(form);
    haupt->addLayout(knoepfe);

    auto zeigen = [this](int i) {
        if (i < 0 || std::size_t(i) >= variablen_.size()) return;
        const Merkbereich& m = Bereiche()[variablen_[std::size_t(i)]];
        Von->setText(m.von);
        Bis->setText(m.bis);
        Punkte->setText(m.punkte);
        LogXBox->setChecked(m.logX);
        LogYBox->setChecked(m.logY);
    };
    connect(Variable, &QComboBox::currentIndexChanged, this, zeigen);
    zeigen(0);
}

void DlgKurve::OkClick() {
    auto zahl = [this](QLineEdit* e, Extended& v) {
        std::string t;
        int fp = 1;
        if (Utf8ToCp1252(e->text().trimmed().toStdString(), t) && !t.empty()) v = TextZuZahl(t, fp);
        if (fp == 0 && std::isfinite(double(v))) return true;
        meldungen_.Signalton();
        e->setFocus();
        e->selectAll();
        return false;
    };
    const int i = Variable->currentIndex();
    if (i < 0 || std::size_t(i) >= variablen_.size()) return;
    Extended von = 0, bis = 0, punkte = 0;
    if (!zahl(Von, von) || !zahl(Bis, bis) || !zahl(Punkte, punkte)) return;
    if (von == bis) {
        meldungen_.Fehler(AusCp1252(MeldungKurvenbereich));
        Bis->setFocus();
        return;
    }
    if (punkte < 2 || punkte > KurvenpunkteMax || punkte != std::floor(punkte)) {
        meldungen_.Fehler(AusCp1252(MeldungKurvenpunkte));
        Punkte->setFocus();
        return;
    }
    if (LogXBox->isChecked() && (von <= 0 || bis <= 0)) {
        meldungen_.Fehler(AusCp1252(MeldungLogBereich));
        Von->setFocus();
        return;
    }
    bereich_.XName = variablen_[std::size_t(i)];
    bereich_.Von = von;
    bereich_.Bis = bis;
    bereich_.Punkte = int(punkte);
    bereich_.LogX = LogXBox->isChecked();
    logY_ = LogYBox->isChecked();
    Merkbereich& m = Bereiche()[bereich_.XName];
    m = {Von->text(), Bis->text(), Punkte->text(), bereich_.LogX, logY_};
    accept();
}

// ---------------------------------------------------------------------------

KurvenAnsicht::KurvenAnsicht(KurvenDiagramm* diagramm, QWidget* eltern)
    : QChartView(diagramm, eltern), diagramm_(diagramm) {
    setObjectName(QStringLiteral("Ansicht"));
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
}

void KurvenAnsicht::wheelEvent(QWheelEvent* e) {
    const int schritte = e->angleDelta().y() / 120;
    if (schritte == 0) {
        e->ignore();
        return;
    }
    // Zoom about the point under the mouse: it stays where it is.
    const QRectF flaeche = diagramm_->plotArea();
    const QPointF m = diagramm_->mapFromScene(mapToScene(e->position().toPoint()));
    if (!flaeche.contains(m)) return;
    const double f = std::pow(0.8, schritte);
    QRectF r(m.x() - (m.x() - flaeche.left()) * f, m.y() - (m.y() - flaeche.top()) * f,
             flaeche.width() * f, flaeche.height() * f);
    diagramm_->zoomIn(r);
    e->accept();
}

void KurvenAnsicht::mouseMoveEvent(QMouseEvent* e) {
    const QPointF p = diagramm_->mapFromScene(mapToScene(e->position().toPoint()));
    if (diagramm_->plotArea().contains(p)) emit MausWert(diagramm_->WertBei(p), e->position().toPoint());
    QChartView::mouseMoveEvent(e);
}

void KurvenAnsicht::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        // The right button shows the whole table again.
        diagramm_->Zuruecksetzen();
        e->accept();
        return;
    }
    QChartView::mouseReleaseEvent(e);
}

// ---------------------------------------------------------------------------

KurvenFenster::KurvenFenster(const Kurventabelle& tabelle, bool logX, bool logY, Dateidialoge& dialoge,
                             Meldungen& meldungen, QWidget* eltern)
    : QWidget(eltern, Qt::Window), dialoge_(dialoge), meldungen_(meldungen) {
    setObjectName(QStringLiteral("KurvenFenster"));
    setAttribute(Qt::WA_DeleteOnClose);
    QString titel;
    for (const Kurve& k : tabelle.Kurven)
        titel += (titel.isEmpty() ? QString() : QStringLiteral(" : ")) + U8(FormelAlsText(k.Formel));
    setWindowTitle(QStringLiteral("Kurve - ") + titel);

    diagramm_ = new KurvenDiagramm(tabelle, logX, logY);
    Ansicht = new KurvenAnsicht(diagramm_, this);
    Wertanzeige = new QLabel(this);
    Wertanzeige->setObjectName(QStringLiteral("Wertanzeige"));
    Wertanzeige->setTextFormat(Qt::PlainText);
    Wertanzeige->setMinimumWidth(200);

    auto knopf = [this](const char* name, const QString& text, void (KurvenFenster::*slot)()) {
        auto* k = new QPushButton(text, this);
        k->setObjectName(QString::fromLatin1(name));
        k->setAutoDefault(false);
        connect(k, &QPushButton::clicked, this, slot);
        return k;
    };
    Zuruecksetzen = knopf("Zuruecksetzen", QStringLiteral("&Zurücksetzen"), &KurvenFenster::ZuruecksetzenClick);
    BildSpeichern = knopf("BildSpeichern", QStringLiteral("&Bild speichern..."), &KurvenFenster::BildSpeichernClick);
    Drucken = knopf("Drucken", QStringLiteral("&Drucken..."), &KurvenFenster::DruckenClick);
    CsvSpeichern = knopf("CsvSpeichern", QStringLiteral("&Tabelle als CSV..."), &KurvenFenster::CsvSpeichernClick);
    Kopieren = knopf("Kopieren", QStringLiteral("Tabelle &kopieren"), &KurvenFenster::KopierenClick);

    auto* leiste = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Zuruecksetzen), static_cast<QWidget*>(BildSpeichern),
                       static_cast<QWidget*>(Drucken), static_cast<QWidget*>(CsvSpeichern),
                       static_cast<QWidget*>(Kopieren)})
        leiste->addWidget(w);
    leiste->addStretch();
    auto* haupt = new QVBoxLayout(this);
    haupt->addLayout(leiste);
    haupt->addWidget(Ansicht, 1);
    haupt->addWidget(Wertanzeige);
    connect(Ansicht, &KurvenAnsicht::MausWert, this,
            [this](QPointF w, QPoint) { Wertanzeige->setText(WertText(w)); });
    resize(760, 540);
}

QString KurvenFenster::WertText(QPointF wert) const {
    const Kurventabelle& t = diagramm_->Tabelle();
    const QRectF sicht = diagramm_->Sichtbereich();
    const double sx = Teilschritt(sicht.left(), sicht.right(), 80);
    const double sy = Teilschritt(sicht.top(), sicht.bottom(), 80);
    QString s = U8(NameAlsText(t.XName)) + QStringLiteral(" = ") + U8(TeilstrichText(wert.x(), diagramm_->LogX() ? 0 : sx)) +
                QStringLiteral("   y = ") + U8(TeilstrichText(wert.y(), diagramm_->LogY() ? 0 : sy));
    if (t.X.empty()) return s;
    // The nearest abscissa of the table.
    std::size_t best = 0;
    for (std::size_t i = 1; i < t.X.size(); ++i)
        if (std::fabs(t.X[i] - wert.x()) < std::fabs(t.X[best] - wert.x())) best = i;
    s += QStringLiteral("   |   bei ") + U8(NameAlsText(t.XName)) + QStringLiteral(" = ") +
         U8(ZahlDeutsch(t.X[best])) + QStringLiteral(":");
    for (const Kurve& k : t.Kurven) {
        const QString name = k.YName.empty() ? U8(FormelAlsText(k.Formel)) : U8(NameAlsText(k.YName));
        s += QStringLiteral("  ") + name + QStringLiteral(" = ");
        if (best < k.Y.size() && std::isfinite(k.Y[best])) s += U8(ZahlDeutsch(k.Y[best]));
        else s += QStringLiteral("(") + AusCp1252(best < k.Fehler.size() ? k.Fehler[best] : "") + QStringLiteral(")");
    }
    return s;
}

void KurvenFenster::ZuruecksetzenClick() { diagramm_->Zuruecksetzen(); }

void KurvenFenster::BildSpeichernClick() {
    const QString datei = dialoge_.Speichern(
        this, QStringLiteral("Kurve speichern unter"), QStringLiteral("Kurve.png"), QStringLiteral("png"),
        {QStringLiteral("PNG-Bild (*.png)"), QStringLiteral("SVG-Grafik (*.svg)"),
         QStringLiteral("PDF-Dokument (*.pdf)")});
    if (datei.isEmpty()) return;
    if (QFileInfo::exists(datei) &&
        meldungen_.Zeige(QFileInfo(datei).fileName(), QStringLiteral("Die Datei existiert bereits! Überschreiben ?"),
                         Meldungen::Symbol::Ausrufezeichen, Meldungen::Tasten::OkAbbrechen) != Meldungen::Antwort::Ok)
        return;
    // A copy of the chart with the visible ranges is laid out at the export size, so the
    // window's view stays as it is.
    KurvenDiagramm kopie(diagramm_->Tabelle(), diagramm_->LogX(), diagramm_->LogY());
    kopie.SetSichtbereich(diagramm_->Sichtbereich());
    QString fehler;
    if (!DiagrammSpeichern(kopie, datei, fehler)) meldungen_.AllgemeinerFehler(fehler);
}

void KurvenFenster::DruckenClick() {
    QPrinter drucker(QPrinter::HighResolution);
    drucker.setDocName(windowTitle());
    drucker.setPageOrientation(QPageLayout::Landscape);
    if (!dialoge_.Drucken(this, drucker)) return;
    QPainter maler;
    if (!maler.begin(&drucker)) {
        meldungen_.AllgemeinerFehler(QStringLiteral("Der Druck konnte nicht begonnen werden."));
        return;
    }
    KurvenDiagramm kopie(diagramm_->Tabelle(), diagramm_->LogX(), diagramm_->LogY());
    kopie.SetSichtbereich(diagramm_->Sichtbereich());
    // Laid out at a sheet-like size in points, scaled onto the printable area.
    const QRectF seite = drucker.pageLayout().paintRectPixels(drucker.resolution());
    const double breite = 780;
    kopie.resize(QSizeF(breite, breite * seite.height() / std::max(1.0, seite.width())));
    DiagrammMalen(kopie, maler, QRectF(QPointF(0, 0), seite.size()));
    maler.end();
}

void KurvenFenster::CsvSpeichernClick() {
    const QString datei = dialoge_.Speichern(this, QStringLiteral("Wertetabelle speichern unter"),
                                             QStringLiteral("Kurve.csv"), QStringLiteral("csv"),
                                             {QStringLiteral("CSV-Tabelle (*.csv)")});
    if (datei.isEmpty()) return;
    if (QFileInfo::exists(datei) &&
        meldungen_.Zeige(QFileInfo(datei).fileName(), QStringLiteral("Die Datei existiert bereits! Überschreiben ?"),
                         Meldungen::Symbol::Ausrufezeichen, Meldungen::Tasten::OkAbbrechen) != Meldungen::Antwort::Ok)
        return;
    QString fehler;
    if (!DateiSchreiben(datei, TabelleAlsCsv(diagramm_->Tabelle()), fehler)) meldungen_.AllgemeinerFehler(fehler);
}

void KurvenFenster::KopierenClick() { QApplication::clipboard()->setText(TabelleAlsTsv(diagramm_->Tabelle())); }

} // namespace kd
