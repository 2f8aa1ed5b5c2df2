#pragma once
// The symbol picker "Sonderzeichen": a small always-on-top window with a grid of the
// letters of the Symbol font, shown as the Greek letters they stand for, and on request
// a fifth row of index marks and the infinity sign. A click sends one character to the
// opener's receiver and closes the window; Esc closes it without sending.
//
// The receiver gets the character as it stands in the Symbol font: "A".."Z", "a".."z"
// for the Greek letters (the opener writes "~" before it in formula text), the mark
// characters . : ^ _ = ~ ' " - of the index row, and byte 165 for the infinity sign.
//
// Opening: Modal() for the formula dialog (returns after the choice), Nichtmodal()
// for the search and constants dialogs (returns at once). A window opened by either
// frees itself when it closes. The page shown last is remembered for the program run.
//
// The notebook has the one page "Symbol": no caller of this program asks for a
// "Wingdings" page or a row of mathematical symbols, so neither is built.
#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QTabWidget;

namespace kd {

class TDlgSymbol : public QDialog {
    Q_OBJECT
public:
    // Called once per opening with the window and the chosen character.
    using Empfaenger = std::function<void(QObject* sender, char zeichen)>;

    static constexpr int Zelle = 20;    // pixels of a grid cell
    static constexpr int Spalten = 13;
    static constexpr int Zeilen = 4;    // rows of letters
    static constexpr int Indexzeile = 4;  // the row of index marks
    static constexpr unsigned char Unendlich = 165;  // Symbol byte of the infinity sign

    explicit TDlgSymbol(QWidget* eltern = nullptr);
    ~TDlgSymbol() override;

    // Stores the receiver; `mitIndexzeile` shows the fifth row. Shows the page used last.
    void SetParameter(Empfaenger empfaenger, bool mitIndexzeile);

    // Opens a new picker on `eltern` and waits for the choice.
    static void Modal(QWidget* eltern, Empfaenger empfaenger, bool mitIndexzeile);
    // Opens a new picker on `eltern` and returns it at once (null once it has closed).
    static QPointer<TDlgSymbol> Nichtmodal(QWidget* eltern, Empfaenger empfaenger,
                                           bool mitIndexzeile);

    // The character a cell sends, -1 for a cell without one.
    int ZeichenBei(int zeile, int spalte) const;
    // The code chosen last, -1 when none (after Esc or before a click).
    int GewaehlterCode() const { return gewaehlt_; }
    bool MitIndexzeile() const { return mitIndexzeile_; }
    int RahmenZeile() const { return rahmenZeile_; }
    int RahmenSpalte() const { return rahmenSpalte_; }

    // The notebook page shown at the next opening (program-wide).
    static int LetzteSeite();

    QTabWidget* TabNot = nullptr;
    QWidget* PaintBox1 = nullptr;  // the grid of the page "Symbol"
    QLabel* Image1 = nullptr;      // the index marks of the fifth row

    // --- handlers ---
    void PaintBox1Paint();
    void PaintBox1MouseMove(QPoint pos);
    void PaintBox1Click(QPoint pos);
    void TabNotChange();
    void reject() override;  // Esc and the close box: nothing is sent

protected:
    void changeEvent(QEvent* e) override;

private:
    void Groesse();
    void SetRahmen(int zeile, int spalte);

    Empfaenger empfaenger_;
    bool mitIndexzeile_ = false;
    bool gesendet_ = false;
    int rahmenZeile_ = -1;
    int rahmenSpalte_ = -1;
    int gewaehlt_ = -1;
};

} // namespace kd
