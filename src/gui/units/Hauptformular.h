#pragma once
// The unit converter "Einheiten-Umrechnung": six pages of units (length, area,
// volume, mass, time, temperature), each with a source and a target group, an
// input field and the converted number. The state and every rule live in
// kd::Umrechner; this window holds the widgets, feeds it and shows its texts.
#include <QDialog>

#include <array>
#include <memory>

#include "core/units/Umrechner.h"
#include "gui/platform/Meldungen.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kd {

class THauptformular : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientBreite = 549;
    static constexpr int ClientHoehe = 467;

    // The widgets of one page (object names as "VonLaenge", "LaengenEingabe", ...).
    struct Seitenfelder {
        QGroupBox* Von = nullptr;             // " von "
        QGroupBox* Nach = nullptr;            // " nach "
        QButtonGroup* VonKnoepfe = nullptr;   // ids = unit positions
        QButtonGroup* NachKnoepfe = nullptr;
        QLabel* Beschriftung = nullptr;       // "Beispiel:" / the formula
        QLineEdit* Eingabe = nullptr;
        QLabel* Eingabeeinheit = nullptr;
        QLineEdit* Ausgabe = nullptr;         // read-only: display and copy
        QLabel* Ausgabeeinheit = nullptr;
    };

    // `meldungen` sounds the beep (not owned; nullptr: the system beep).
    explicit THauptformular(Meldungen* meldungen = nullptr, QWidget* eltern = nullptr);
    ~THauptformular() override;

    QTabWidget* Register = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "OK"
    QPushButton* BitBtn2 = nullptr;  // "Schließen"

    const Seitenfelder& Felder(int seite) const { return felder_[static_cast<std::size_t>(seite)]; }
    const Umrechner& Zustand() const { return umrechner_; }

    // --- handlers ---
    // A unit chosen in a group of pages 0..4; `gruppe` tells the page and the side.
    void EinheitenClick(QGroupBox* gruppe);
    // The input of a page 0..4 changed (also run by EinheitenClick).
    void EingabeChange(int seite);
    void TemperaturEinheitenClick(QGroupBox* gruppe);
    void TemperaturEingabeChange();
    void BitBtn1Click();

private:
    void SeiteAnlegen(int seite);
    // Shows the texts of the state for `seite`; sounds the beep for `ton`.
    void Zeige(int seite, Ton ton);

    std::unique_ptr<QtMeldungen> eigeneMeldungen_;
    Meldungen* meldungen_;
    Umrechner umrechner_;
    std::array<Seitenfelder, EinheitenSeiten> felder_;
};

} // namespace kd
