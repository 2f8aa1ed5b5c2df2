// The main window's start-up and closing: the options set on creation, the first
// activation that finds the folders, locks the library folder and loads the libraries,
// and the close, which asks to save a changed library and keeps the window open when
// that is cancelled or the save fails.
#include "gui/app/DlgFormelSamml.h"

#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <filesystem>

#include "gui/app/FormelSeite.h"
#include "gui/platform/Cursors.h"
#include "gui/platform/Pfade.h"

namespace kd {

// ---------------------------------------------------------------------------
// Start-up

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

} // namespace kd
