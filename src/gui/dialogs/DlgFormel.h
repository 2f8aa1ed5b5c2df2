#pragma once
// The formula entry dialog "Formelinterpreter": one line of formula text in a
// rich-text edit (Greek letters as Symbol characters, indices in small type), the
// formula typeset above it as it is typed, a grey message line below it with the
// parser's message and an arrow under the failing place, and the aids that insert
// functions, constants, Greek letters, index formatting and further sub-formulas.
// OK checks the text and hands it back through the option record.
//
// The dialog works on a TKDGData: ShowModal fills the controls from it, and only a
// passing OK writes it back (the formula lines, and in curve mode the curve settings
// with the new value table). The rules behind the controls (insertions, the checks,
// the tabulation) are those of core/eval/Formeleingabe.h.
//
// Curve mode: the controls of Panel1 (ranges, points and plot variables of Panel2, the
// 2-D/3-D choice) and the three display choices. The main window hides them and opens
// the dialog on the formula exchange line (line 0 of FormelZeilen).
#include <QDialog>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

#include "gui/platform/Meldungen.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QToolButton;
class QKeyEvent;

namespace kd {

class TDLine;
class TFormStyles;
class TKDGData;

namespace gui {
class TVirtPntBox;
}

class TDlgFormel : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientBreite = 560;
    static constexpr double Vergroesserung = 2.75;  // the preview's magnification
    static constexpr double Schriftgroesse = 10;    // points of the formula line
    static constexpr int Hilfethema = 200;          // help topic of the dialog

    // Modal results.
    enum Ergebnis { Geschlossen = 0, Angenommen = 1, Abgebrochen = 2 };

    // `meldungen` answers the message boxes (not owned; nullptr: real boxes).
    explicit TDlgFormel(Meldungen* meldungen = nullptr, QWidget* eltern = nullptr);
    ~TDlgFormel() override;

    // Fills the controls from the record and runs one preview, without showing the
    // dialog. The record must outlive the dialog.
    void Vorbereiten(TKDGData& daten);
    // Vorbereiten, then shows the dialog modally. Returns the modal result.
    int ShowModal(TKDGData& daten);

    // The styles of the preview (default styles until set).
    void SetFormelStyles(std::shared_ptr<TFormStyles> stile);

    // --- state, as the handlers leave it ---
    // The error text of the last check (Windows-1252), empty when it passed.
    const std::string& Fehlertext() const { return fehlertext_; }
    bool CheckBestanden() const { return checkBestanden_; }
    // What the message line shows (UTF-8), empty when nothing.
    QString Meldungstext() const { return meldung_; }
    // The preview tree of the last text that parsed; null after a parse error.
    const TDLine* Vorschau() const { return vorschau_.get(); }
    // The edit line as formula text.
    std::string Formeltext() const;
    // Whether the dialog shows formulas only (no curve settings).
    bool NurFormelnModus() const;
    // The symbol picker and the constants dialog while they are open.
    QPointer<QDialog> Symbolwahl;
    QPointer<QDialog> Konstantenwahl;

    // --- controls ---
    gui::TVirtPntBox* PaintBox1 = nullptr;  // the typeset preview
    QFrame* Rahmen1 = nullptr;              // the sunken frame around it
    QTextEdit* RichEdit1 = nullptr;         // the formula line
    QWidget* PaintBox2 = nullptr;           // the message line
    QLabel* Image4 = nullptr;               // the arrow under the failing place
    QListWidget* ListBox1 = nullptr;        // the function list, normally hidden
    QComboBox* ComboBox1 = nullptr;         // the formula lines
    QToolButton* Grundfunktion = nullptr;
    QToolButton* SpeedKonstante = nullptr;
    QToolButton* SpeedSymbole = nullptr;
    QToolButton* SpeedIndizes = nullptr;
    QToolButton* SpeedFormelnUnterein = nullptr;
    QToolButton* SpeedFormelnNebenein = nullptr;
    QToolButton* Bibliothek = nullptr;
    QToolButton* FormelNeu = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QFrame* Panel1 = nullptr;   // the curve area
    QWidget* Panel2 = nullptr;  // its ranges, points and variables
    QLineEdit* EXStart = nullptr;
    QLineEdit* EXEnde = nullptr;
    QLineEdit* EZStart = nullptr;
    QLineEdit* EZEnde = nullptr;
    QLineEdit* EYStart = nullptr;
    QLineEdit* EYEnde = nullptr;
    QLineEdit* EXPnts = nullptr;
    QLineEdit* EZPnts = nullptr;
    QTextEdit* EXVar = nullptr;
    QTextEdit* EZVar = nullptr;
    QRadioButton* Radio2D = nullptr;
    QRadioButton* Radio3D = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "Kurven darstellen"
    QRadioButton* RadioButton2 = nullptr;  // "Formeln und Kurven darstellen"
    QRadioButton* RadioButton3 = nullptr;  // "Formeln alleine darstellen"

    // --- working operations ---
    // The preview; true when the text parsed.
    bool UpdateFormel();
    // The formula lines the dialog would hand back (the edit line in its entry).
    std::vector<std::string> AktualisiereFormel() const;
    // Validates (and in curve mode tabulates); true when it passed.
    bool Check();

    // --- handlers ---
    void OnChange();
    bool RichEdit1KeyPress(QKeyEvent* e);
    void RichEdit1KeyUp(QKeyEvent* e);
    void ComboBox1Click(int eintrag);
    void GrundfunktionenClick();
    void ListBox1DblClick();
    void ListBox1Exit();
    void SpeedKonstanteClick();
    void KonstantReceiver(QObject* sender, char zeichen);
    void SpeedSymboleClick();
    void SymbolReceiver(QObject* sender, char zeichen);
    void SpeedIndizesClick();
    void SpeedFormelnUntereinClick();
    void SpeedFormelnNebeneinClick();
    void BibliothekClick();
    void FormelNeuClick();
    void Radio2DClick();
    void Radio3DClick();
    void RadioButton2Click();
    void RadioButton3Click();
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

    void reject() override;  // Esc: with the function list open only the list closes

signals:
    // Help topic `thema` is asked for (HelpBtn).
    void Hilfe(int thema);

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void ControlsAnlegen();
    // Places the rows after the visible controls and sets the dialog's height.
    void Anordnen();
    void PaintFormel();
    void PaintBox2Paint();
    void Nachricht(const QString& text, int pfeilX);
    void Einfuegen(const std::string& text, int caret, int auswahl);
    void Teilformel();
    void ZeileNormalisieren();
    void ComboFuellen(const std::vector<std::string>& zeilen, int gewaehlt);
    void ComboEintragSetzen(int i, const std::string& text);

    std::unique_ptr<QtMeldungen> eigeneMeldungen_;
    Meldungen* meldungen_;
    TKDGData* daten_ = nullptr;
    std::shared_ptr<TFormStyles> stile_;

    bool angeordnet_ = false;
    bool abweisen_ = false;  // a refused change is being taken back
    bool laden_ = false;             // ShowModal is filling the controls
    bool vorschauLaeuft_ = false;
    std::string letzterText_;        // the text of the last preview
    bool hatLetzten_ = false;
    std::unique_ptr<TDLine> vorschau_;
    std::string fehlertext_;
    bool checkBestanden_ = false;
    int caret_ = 0;                  // saved before a picker opens
    bool naechstesSymbol_ = false;   // the constants receiver got "~"
    bool naechstesIndex_ = false;    // ... or "|"
    QTextEdit* zielEdit_ = nullptr;  // the rich edit clicked last
    bool einfuegen_ = false;         // a paste is pending
    int gewaehlt_ = 0;               // the ComboBox1 entry the edit line belongs to
    QString meldung_;
    int pfeilX_ = -1;                // x of the arrow in PaintBox2, -1 hidden
};

} // namespace kd
