// The main window's formula commands that go through the formula entry dialog:
// new formula, edit, search and the calculator.
#include <QComboBox>
#include <QFrame>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <memory>

#include "core/eval/Formeleingabe.h"
#include "core/library/Suche.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/dialogs/DlgFormel.h"
#include "gui/dialogs/DlgFormelSuchen.h"
#include "gui/dialogs/Hilfe.h"
#include "gui/platform/Cursors.h"
#include "gui/platform/VirtPntBox.h"

namespace kd {

namespace {

// The formula entry dialog as the main window opens it: formulas only, without the
// curve area, the display choice and the library buttons. The calculator keeps the
// line list (its history) and has no symbol and index buttons; editing has no line
// list and takes the symbol and index buttons into the places of the library buttons.
void Einrichten(TDlgFormel& d, bool rechner) {
    for (QWidget* w : {static_cast<QWidget*>(d.Panel1), static_cast<QWidget*>(d.RadioButton1),
                       static_cast<QWidget*>(d.RadioButton2), static_cast<QWidget*>(d.RadioButton3),
                       static_cast<QWidget*>(d.Bibliothek), static_cast<QWidget*>(d.FormelNeu)})
        w->hide();
    if (rechner) {
        d.SpeedSymbole->hide();
        d.SpeedIndizes->hide();
    } else {
        d.ComboBox1->hide();
        d.SpeedSymbole->move(480, d.SpeedSymbole->y());
        d.SpeedIndizes->move(510, d.SpeedIndizes->y());
    }
    QObject::connect(&d, &TDlgFormel::Hilfe, &d, [](int thema) { HilfeZeigen(thema); });
}

std::string& Austauschzeile(TKDGData& d) {
    if (d.FormelZeilen.empty()) d.FormelZeilen.emplace_back();
    return d.FormelZeilen.front();
}

} // namespace

void TDlgFormelSamml::SpeedFxNeuClick() {
    if (!BenennungAbschliessen()) return;
    const Aenderung schritt(Verlauf(), QStringLiteral("Neue Formel"));
    Austauschzeile(*KDGData) = " ";
    EditNeueFormel();
}

void TDlgFormelSamml::EditNeueFormel() {
    if (!KDGData) SetParameter();
    TDlgFormel d(&Boxen(), this);
    Einrichten(d, false);
    if (d.ShowModal(*KDGData) != TDlgFormel::Angenommen) return;

    auto r = std::make_unique<TFormelBiblio>();
    r->FormelText = Kurz(Austauschzeile(*KDGData));
    Formelsammlung& s = sammlung_;
    // After the selected formula; without a selection at the end. Either way the new
    // record becomes the selected one.
    int neu = s.FormelListe.Count();
    if (s.AktFormel >= 0 && s.AktFormel < s.FormelListe.Count()) neu = s.AktFormel + 1;
    s.FormelListe.Insert(neu, std::move(r));
    LayoutGueltig = false;
    if (s.LayoutUngueltig) s.LayoutUngueltig();
    s.AktFormel = -1;  // the old selection's frame belongs to the old layout
    SetFormel(neu);
    ShowFormel();
    s.Geaendert = true;
}

void TDlgFormelSamml::SpeedFormEditClick() {
    if (!BenennungAbschliessen()) return;
    Formelsammlung& s = sammlung_;
    if (s.AktFormel < 0 || s.AktFormel >= s.FormelListe.Count()) {
        // Nothing selected: there is no record to write to, so the text becomes a new
        // formula.
        SpeedFxNeuClick();
        return;
    }
    const Aenderung schritt(Verlauf(), QStringLiteral("Formel editieren"));
    EditorOffen = true;
    PaintBox1->SetNewCursor(KDCursor(QStringLiteral("CURSWAIT")));
    Austauschzeile(*KDGData) = s.FormelListe[s.AktFormel]->FormelText;
    TDlgFormel d(&Boxen(), this);
    Einrichten(d, false);
    const int ergebnis = d.ShowModal(*KDGData);
    // The dialog may have been open for long; the selection is the same (it is modal).
    if (ergebnis == TDlgFormel::Angenommen && s.AktFormel >= 0 && s.AktFormel < s.FormelListe.Count()) {
        s.FormelListe[s.AktFormel]->FormelText = Kurz(Austauschzeile(*KDGData));
        LayoutGueltig = false;
        if (s.LayoutUngueltig) s.LayoutUngueltig();
        SetFormel(s.AktFormel);
        ShowFormel();
        s.Geaendert = true;
    }
    EditorOffen = false;
    PaintBox1->SetNewCursor(QCursor(Qt::ArrowCursor));
}

void TDlgFormelSamml::SpeedButton1Click() {
    // The search saves the current library itself; a pending naming stays open until
    // the search switches to another library.
    Suchbegriffe& b = GemerkteSuchbegriffe();
    {
        TDlgFormelSuchen d(this);
        d.SetParameter(b.Titel, b.Formel);
        if (d.exec() != 1) return;
    }
    Formelsammlung& s = sammlung_;
    // The library being named has no file yet, and the one it replaced was saved when
    // the naming began: only an ordinary library is saved. When that fails the search
    // stops, so that a found library never replaces unsaved formulas.
    bool weiter = true;
    if (!s.NamensEingabe && (!Sicher([&] { weiter = s.AktuelleSpeichern(); }) || !weiter)) return;
    if (BegriffLeer(b.Titel) && BegriffLeer(b.Formel)) return;
    if (s.Bibliotheken.empty()) {
        Boxen().Warnung(QStringLiteral("Keine Übereinstimmung gefunden"));
        return;
    }
    Suchtreffer t;
    if (!Sicher([&] { t = SucheFormel(s.Bibliotheken, [&](const std::string& n) { return s.Pfad(n); }, b); }))
        return;
    if (!t.Gefunden) {
        Boxen().Warnung(QStringLiteral("Keine Übereinstimmung gefunden"));
        return;
    }

    TrefferZeigen(t, true);
}

void TDlgFormelSamml::TrefferZeigen(Suchtreffer t, bool immerLaden) {
    Formelsammlung& s = sammlung_;
    // Switch to the library found and select the formula.
    if (s.NamensEingabe) {
        const std::string name = s.Bibliotheken[std::size_t(t.Bibliothek)];
        Sicher([&] { s.NamensEingabeAbbrechen(); });
        // Cancelling the naming can change the list; the match keeps its name.
        const auto it = std::find(s.Bibliotheken.begin(), s.Bibliotheken.end(), name);
        if (it == s.Bibliotheken.end()) return;
        t.Bibliothek = int(it - s.Bibliotheken.begin());
    }
    if (immerLaden || t.Bibliothek != s.AktBibliothek) {
        s.AktFormel = -1;
        s.AktBibliothek = t.Bibliothek;
        LoadBibliothek(s.Bibliotheken[std::size_t(t.Bibliothek)]);
        SetListBoxReihenfolge0();
        ZustandZeigen();
        WarteMitNachrichten(Wartezeit());
    }
    SetFormel(t.Formel);
    ShowFormel();

    // Its block's lower edge near the top of the view.
    if (s.AktFormel < 0) return;
    SeiteBereit();
    if (s.AktFormel < Seite.Anzahl) {
        const std::int32_t u = Seite.FormelPos[std::size_t(s.AktFormel)].Unterkante;
        PaintBox1->ScrollObjctSichtbar(TRect{10, u, 20, u - 50});
    }
}

void TDlgFormelSamml::SpeedTaschenrechnerClick() {
    if (!BenennungAbschliessen()) return;
    if (!KDGData) SetParameter();
    Austauschzeile(*KDGData) = "y=";
    TDlgFormel d(&Boxen(), this);
    Einrichten(d, true);
    d.ShowModal(*KDGData);
    // The lines keep the entered formulas as a history; nothing goes into the library.
    RechnerVerlauf(KDGData->FormelZeilen);
}

} // namespace kd
