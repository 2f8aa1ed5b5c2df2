#pragma once
// The constants dialog "Konstanten": the program-wide table of named constants as a
// list of "name=value" lines, a formula line to type a new constant in, and the take
// over of a constant's name into the opener's formula text.
//
// The list state and its rules are kd::KonstantenListe; this window holds the widgets.
// The table (Konstanten()) is written back whenever the window closes — by
// "Schließen", Esc, the close box, or after a take over — so a constant added and
// then taken over is kept.
//
// Receiver: the take over calls it once per character of the constant's name, in
// formula notation ("g|n" arrives as 'g', '|', 'n'; "~p" as '~', 'p'), with the
// dialog as sender; between the characters the dialog waits Wartezeit() ms through
// the event loop, and it closes after the last one.
//
// Opening: Modal() for the formula dialog (it returns after the window has closed and
// freed itself); or construct, SetParameter and show/exec yourself.
#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

#include "core/constants/KonstantenListe.h"
#include "gui/platform/Meldungen.h"

class QListWidget;
class QPushButton;
class QTextEdit;
class QToolButton;

namespace kd {

class TDlgSymbol;

class TDlgKonstante : public QDialog {
    Q_OBJECT
public:
    using Empfaenger = std::function<void(QObject* sender, char zeichen)>;

    static constexpr int ClientBreite = 349;
    static constexpr int ClientHoehe = 216;
    static constexpr int StandardWartezeit = 50;  // ms before each character of a take over
    static constexpr int Hilfethema = 250;
    static constexpr double Schriftgroesse = 8;   // points of the formula line
    static constexpr int Listenschrift = 14;      // main size of the list's formula styles
    static constexpr int Zeilenhoehe = 20;        // pixels of a list line

    // `meldungen` answers the message boxes (not owned; nullptr: real boxes).
    explicit TDlgKonstante(Meldungen* meldungen = nullptr, QWidget* eltern = nullptr);
    ~TDlgKonstante() override;

    // Fills the list from the table and stores the receiver (may be empty).
    void SetParameter(Empfaenger empfaenger);

    // Opens a new dialog on `eltern` and returns when it has closed.
    static void Modal(QWidget* eltern, Meldungen* meldungen, Empfaenger empfaenger);

    // The wait before each character of a take over, through the event loop (tests 0).
    void SetWartezeit(int ms) { wartezeit_ = ms < 0 ? 0 : ms; }
    int Wartezeit() const { return wartezeit_; }

    const KonstantenListe& Liste() const { return liste_; }
    // Whether a take over is sending characters.
    bool UebernahmeLaeuft() const { return uebernahmeLaeuft_; }
    // The open symbol picker, null when none.
    TDlgSymbol* Symbolwahl() const { return symbolwahl_.data(); }

    // --- controls ---
    QTextEdit* RichEdit1 = nullptr;
    QToolButton* SymbolFont = nullptr;
    QToolButton* SpeedIndize = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* Aufnehmen = nullptr;    // "Neu Konstante"
    QPushButton* InsProgramm = nullptr;  // "Übernehmen"
    QPushButton* Loeschen = nullptr;     // "Löschen"
    QPushButton* CancelBtn = nullptr;    // "Schließen"
    QPushButton* HelpBtn = nullptr;

    // --- handlers ---
    void CM_Click(int zeile);
    void CM_DlbClick(int zeile);
    void CM_Aufnehmen();
    void CM_InsProg();
    void CM_Loeschen();
    void CM_Abbruch();
    void SymbolFontClick();
    void SpeedIndizeClick();
    void HelpBtnClick();
    // The receiver of the symbol picker: "~" and the character at the caret.
    void SymbolEmpfangen(char zeichen);
    // True when the key is consumed.
    bool RichEdit1KeyPress(class QKeyEvent* e);

    void done(int r) override;

signals:
    // Help topic `thema` is asked for (HelpBtn).
    void Hilfe(int thema);

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void ListeZeigen(int auswahl);
    int Auswahl() const;
    void Knoepfe(bool an);
    void Fehler(KonstantenFehler f);
    void NaechstesZeichen();

    std::unique_ptr<QtMeldungen> eigeneMeldungen_;
    Meldungen* meldungen_;
    KonstantenListe liste_;
    Empfaenger empfaenger_;
    bool fehler_ = false;       // the last line read was no constant
    int zeilenAnzahl_ = 0;
    int wartezeit_ = StandardWartezeit;
    bool uebernahmeLaeuft_ = false;
    std::string uebernahme_;    // the characters still to send
    bool geschlossen_ = false;
    QPointer<TDlgSymbol> symbolwahl_;
};

} // namespace kd
