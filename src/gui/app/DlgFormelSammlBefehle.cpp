// The main window's commands on the selected formula that need no dialog of their own
// besides the input mask: delete, move up and down, compute (the whole formula or its
// marked part, with a progress box that can stop it) and the unit converter.
#include "gui/app/DlgFormelSamml.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <chrono>
#include <memory>
#include <string>

#include "core/eval/Berechnung.h"
#include "core/eval/Rechenabbruch.h"
#include "core/notation/Gleichung.h"
#include "gui/platform/Texte.h"
#include "gui/dialogs/DlgEingabe.h"
#include "gui/platform/RichText.h"
#include "gui/units/Hauptformular.h"

namespace kd {

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

std::string TDlgFormelSamml::ArbeitsFormel(bool& markiert) {
    const QTextCursor auswahl = RichEdit1->textCursor();
    markiert = auswahl.hasSelection();
    if (!markiert) return sammlung_.FormelListe[sammlung_.AktFormel]->FormelText;
    RichEdit2->clear();
    QTextCursor ziel(RichEdit2->document());
    ziel.insertFragment(auswahl.selection());
    std::string s = RichTextZuFormeltext(RichEdit2);
    RichEdit2->clear();
    return s;
}

void TDlgFormelSamml::SpeedBerechnenClick() {
    if (rechnet_ || !BenennungAbschliessen()) return;
    const int akt = sammlung_.AktFormel;
    if (akt < 0 || akt >= sammlung_.FormelListe.Count()) return;

    bool markiert = false;
    const std::string s = ArbeitsFormel(markiert);

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
    QString meldung = AusCp1252(erg.Meldung);
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

} // namespace kd
