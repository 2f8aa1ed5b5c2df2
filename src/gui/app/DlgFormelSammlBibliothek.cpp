// The main window's library list: showing the list and the naming field as the state
// says, switching, loading and saving libraries, and naming a new library in Edit1.
#include "gui/app/DlgFormelSamml.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QTimer>

#include "core/numeric/Encoding.h"
#include "gui/platform/Texte.h"
#include "gui/platform/VirtPntBox.h"

namespace kd {

void TDlgFormelSamml::ListeZeigen() {
    const QSignalBlocker sperre(ListBox1);
    const auto& namen = sammlung_.Bibliotheken;
    if (ListBox1->count() != int(namen.size())) {
        ListBox1->clear();
        for (const std::string& n : namen) ListBox1->addItem(AusCp1252(n));
    } else {
        for (int i = 0; i < int(namen.size()); ++i) {
            const QString text = AusCp1252(namen[std::size_t(i)]);
            if (ListBox1->item(i)->text() != text) ListBox1->item(i)->setText(text);
        }
    }
    const int akt = sammlung_.AktBibliothek;
    if (akt >= 0 && akt < ListBox1->count()) {
        ListBox1->setCurrentRow(akt);
    } else {
        ListBox1->clearSelection();
        ListBox1->setCurrentRow(-1);
    }
}

void TDlgFormelSamml::ZustandZeigen() {
    ListeZeigen();
    if (sammlung_.NamensEingabe) {
        if (Edit1->isHidden()) {
            Edit1->setText(AusCp1252(sammlung_.NamensText));
            Edit1->show();
        }
    } else if (!Edit1->isHidden() || !Edit1->text().isEmpty()) {
        Edit1->clear();
        Edit1->hide();
    }
}

void TDlgFormelSamml::LoadBibliothek(const std::string& name) {
    Sicher([&] { sammlung_.LoadBibliothek(name); });
    ShowFormel();
}

void TDlgFormelSamml::SaveBibliothek(const std::string& name) {
    Sicher([&] { sammlung_.SaveBibliothek(name); });
}

void TDlgFormelSamml::SetListBoxReihenfolge0() {
    sammlung_.SetListBoxReihenfolge0();
    ListeZeigen();
}

void TDlgFormelSamml::WarteMitNachrichten(int ms) {
    if (ms <= 0) return;
    QEventLoop schleife;
    QTimer::singleShot(ms, &schleife, &QEventLoop::quit);
    schleife.exec();
}

// ---------------------------------------------------------------------------
// New libraries

void TDlgFormelSamml::UebernehmenClick() {
    if (wechselLaeuft_ || !bereit_) return;
    wechselLaeuft_ = true;
    const int zeile = ListBox1->currentRow();
    CScrollBox1->horizontalScrollBar()->setValue(0);
    CScrollBox1->verticalScrollBar()->setValue(0);

    bool gewechselt = false;
    if (!sammlung_.NamensEingabe || NamenUebernehmen()) {
        // A pending naming is finished first; when it stays open nothing is switched.
        Sicher([&] { sammlung_.Uebernehmen(zeile); });
        gewechselt = zeile >= 0 && !sammlung_.NamensEingabe;
    }
    if (gewechselt) WarteMitNachrichten(wartezeit_);
    ZustandZeigen();
    SetFormel(0);
    if (sammlung_.NamensEingabe) Edit1->setFocus();
    wechselLaeuft_ = false;
}

bool TDlgFormelSamml::NamenUebernehmen() {
    std::string name;
    if (!Utf8ToCp1252(Edit1->text().toStdString(), name)) {
        meldungen_->Fehler(QStringLiteral(
            "Der Name einer Formelsammlung darf nur Buchstaben, Ziffern und Zeichen der "
            "westeuropäischen Schrift enthalten."));
        Edit1->setFocus();
        return false;
    }
    sammlung_.NamensText = Kurz(name);
    return true;
}

void TDlgFormelSamml::SpeedBibNeuClick() { NeueBibliothek(true); }

void TDlgFormelSamml::NeueBibliothek(bool ask) {
    if (!bereit_) return;
    Sicher([&] { sammlung_.NeueBibliothek(ask); });
    ZustandZeigen();
    SetFormel(sammlung_.AktFormel);
    ShowFormel();
    if (sammlung_.NamensEingabe) {
        Edit1->setText(AusCp1252(sammlung_.NamensText));
        Edit1->show();
        Edit1->setFocus();
        Edit1->selectAll();
    }
}

bool TDlgFormelSamml::SetNeueBibliothek() {
    if (!sammlung_.NamensEingabe) return true;
    if (!NamenUebernehmen()) return false;
    bool ok = false;
    Sicher([&] { ok = sammlung_.SetNeueBibliothek(); });
    ZustandZeigen();
    if (ok && !sammlung_.NamensEingabe) {
        SetFormel(0);
        ShowFormel();
        RichEdit1->setFocus();
        return true;
    }
    Edit1->setFocus();
    return false;
}

bool TDlgFormelSamml::BenennungAbschliessen() {
    if (!sammlung_.NamensEingabe) return true;
    return SetNeueBibliothek();
}

void TDlgFormelSamml::NamensEingabeAbbrechen() {
    Sicher([this] { sammlung_.NamensEingabeAbbrechen(); });
    Edit1->clear();
    Edit1->hide();
    ZustandZeigen();
    SetFormel(sammlung_.AktFormel);
    ShowFormel();
    RichEdit1->setFocus();
}

bool TDlgFormelSamml::Edit1KeyDown(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (SetNeueBibliothek()) SpeedFxNeuClick();
        break;
    case Qt::Key_Escape:
        NamensEingabeAbbrechen();
        break;
    default:
        break;
    }
    return false;
}

bool TDlgFormelSamml::Edit1KeyPress(QKeyEvent* e) {
    // The characters of Enter and Esc are not typed into the name.
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape;
}

} // namespace kd
