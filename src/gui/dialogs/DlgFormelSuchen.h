#pragma once
// The search dialog "Formel suchen": a term to look for in the title (the comment) and
// a term to look for in the formula, both rich-text lines in formula notation, with
// the symbol picker and the index aid. "Suchen" stores both terms as formula text in
// the terms kept for the program run (core/library/Suche.h); the caller then searches.
#include <QDialog>
#include <QPointer>

#include <string>

#include "gui/dialogs/DlgSymbol.h"

class QLabel;
class QFrame;
class QPushButton;
class QTextEdit;
class QToolButton;

namespace kd {

class TDlgFormelSuchen : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientBreite = 279;
    static constexpr int ClientHoehe = 165;
    static constexpr double Schriftgroesse = 8;

    explicit TDlgFormelSuchen(QWidget* eltern = nullptr);
    ~TDlgFormelSuchen() override;

    // Shows the two terms (formula text) in the edits.
    void SetParameter(const std::string& titel, const std::string& formel);

    // The edit that received a key last (RichEdit1 at first): the target of the aids.
    QTextEdit* Ziel() const { return ziel_; }
    TDlgSymbol* Symbolwahl() const { return symbolwahl_.data(); }

    QLabel* Label1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;  // title term
    QLabel* Label2 = nullptr;
    QTextEdit* RichEdit2 = nullptr;  // formula term
    QFrame* Bevel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "Suchen"
    QPushButton* BitBtn2 = nullptr;  // "Abbruch"
    QToolButton* SpeedSymbole = nullptr;
    QToolButton* SpeedIndizes = nullptr;

    // --- handlers ---
    void BitBtn1Click();
    void SpeedSymboleClick();
    void SpeedIndizesClick();
    // The receiver of the symbol picker.
    void SymbolEmpfangen(char zeichen);

    void done(int r) override;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    QTextEdit* ziel_ = nullptr;
    QPointer<TDlgSymbol> symbolwahl_;
};

} // namespace kd
