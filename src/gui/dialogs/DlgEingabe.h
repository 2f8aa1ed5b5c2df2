#pragma once
// The input mask "Eingabe": one row per free variable of the formula being computed,
// its name drawn as formatted text ("~" before a letter: Greek) and its value in an
// edit. Up to ten rows; the dialog shrinks by the rows it does not need. OK reads every
// visible edit with TextZuZahl: the first value it refuses beeps, gets the focus and
// keeps the dialog open.
#include <QDialog>

#include <array>
#include <memory>

#include "core/notation/Bezeichner.h"

class QFrame;
class QLineEdit;
class QPushButton;

namespace kd {

class Meldungen;

class TDlgEingabe : public QDialog {
    Q_OBJECT
public:
    static constexpr int Zeilen = 10;
    static constexpr int ClientBreite = 312;
    static constexpr int ClientHoehe = 402;
    static constexpr int Namenhoehe = 14;  // "Arial" height of the names
    // At most this much wider than designed for long names (the dialog grows with it).
    static constexpr int MaxNamenZusatz = 300;

    // `meldungen` gives the beep (not owned; nullptr: the real one).
    explicit TDlgEingabe(Meldungen* meldungen = nullptr, QWidget* eltern = nullptr);
    ~TDlgEingabe() override;

    // Sets the dialog up for the list (not owned; it must outlive the dialog): hides the
    // rows beyond its count and shrinks the panel and the dialog. Items beyond the tenth
    // have no row and are neither shown nor written.
    void SetVariablen(Bezeichnerliste* liste);

    // Shows the values (ZahlText with 8 digits, nothing for 1E300); on the first showing
    // Edit1 gets the focus with its text selected.
    void SetWerte();

    // Rows in use: min(count, 10).
    int Anzahl() const;

    std::array<QLineEdit*, Zeilen> Edits{};
    QFrame* Panel1 = nullptr;
    QWidget* PaintBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    int Zeilenabstand = 36;
    bool ErsteAnzeige = false;

public slots:
    // OK: reads the values into the list; closes with OK only when every one is a number.
    void BitBtn1Click();
    void FormActivate();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void PaintBox1Paint();

    Meldungen* meldungen_;
    std::unique_ptr<Meldungen> eigeneMeldungen_;
    Bezeichnerliste* liste_ = nullptr;
};

} // namespace kd
