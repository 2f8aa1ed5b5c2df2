// Typing, inserting, the curve mode and accepting in the formula dialog.
#include "gui/dialogs/DlgFormel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

#include "core/device/Stile.h"
#include "core/device/VirtPntBox.h"
#include "core/eval/Formeleingabe.h"
#include "core/eval/KDGData.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/SymbolFont.h"
#include "core/numeric/Zahlen.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelsatz.h"
#include "gui/dialogs/DlgFormelText.h"
#include "gui/dialogs/DlgKonstante.h"
#include "gui/dialogs/DlgSymbol.h"
#include "gui/platform/RichText.h"
#include "gui/platform/Symbole.h"
#include "gui/platform/Texte.h"
#include "gui/platform/VirtPntBox.h"

namespace kd {

using namespace dlgformel;

// ---------------------------------------------------------------------------------
// Typing

void TDlgFormel::OnChange() {
    if (laden_ || RichTextUmwandlungLaeuft() || abweisen_) return;
    // Characters a formula cannot hold (a paste of "∑", "√") are refused: the change is
    // taken back and the user told which, instead of becoming "?".
    QString fremd;
    RichTextZuFormeltext(RichEdit1, &fremd);
    if (!fremd.isEmpty()) {
        abweisen_ = true;
        RichEdit1->undo();
        abweisen_ = false;
        meldungen_->Fehler(FremdeZeichenText(fremd));
        return;
    }
    // A line break or more than 255 characters (a paste, a drop) are taken back at once;
    // pasted sub- and superscripts are shown in the notation they are read as.
    if (RichEdit1->document()->blockCount() > 1 || Zeichenzahl(RichEdit1) > int(KurzerStringMax) ||
        HatHochOderTiefgestellte(RichEdit1))
        ZeileNormalisieren();
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::ZeileNormalisieren() {
    std::string t = RichTextZuFormeltext(RichEdit1);
    std::replace(t.begin(), t.end(), '\n', ' ');
    std::replace(t.begin(), t.end(), '\r', ' ');
    const int caret = RichEdit1->textCursor().position();
    FormeltextZuRichText(Kurz(t), RichEdit1, Schriftgroesse);
    QTextCursor c = RichEdit1->textCursor();
    c.setPosition(std::min(caret, Zeichenzahl(RichEdit1)));
    RichEdit1->setTextCursor(c);
    RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    hatLetzten_ = false;
}

bool TDlgFormel::RichEdit1KeyPress(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OKBtnClick();  // one line: Enter is the default button
        return true;
    }
    if ((e->key() == Qt::Key_Insert && (e->modifiers() & Qt::ShiftModifier)) || e->matches(QKeySequence::Paste)) {
        einfuegen_ = true;
        return false;
    }
    const QString t = e->text();
    if (t.isEmpty() || !t.at(0).isPrint()) return false;
    // Typed characters are plain text, whatever stands before the caret.
    RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    if (Zeichenzahl(RichEdit1) >= int(KurzerStringMax) && !RichEdit1->textCursor().hasSelection()) {
        meldungen_->Signalton();
        return true;
    }
    return false;
}

void TDlgFormel::RichEdit1KeyUp(QKeyEvent*) {
    if (einfuegen_) {
        // The pasted formatting becomes the notation's.
        einfuegen_ = false;
        ZeileNormalisieren();
    }
    UpdateFormel();
}

bool TDlgFormel::eventFilter(QObject* obj, QEvent* e) {
    if (obj == RichEdit1) {
        if (e->type() == QEvent::KeyPress) return RichEdit1KeyPress(static_cast<QKeyEvent*>(e));
        if (e->type() == QEvent::KeyRelease) RichEdit1KeyUp(static_cast<QKeyEvent*>(e));
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::MouseButtonPress) zielEdit_ = RichEdit1;
    } else if (obj == EXVar || obj == EZVar) {
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::MouseButtonPress)
            zielEdit_ = static_cast<QTextEdit*>(obj);
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) return true;
            auto* edit = static_cast<QTextEdit*>(obj);
            edit->setCurrentCharFormat(NormalFormat(Schriftgroesse));
            if (!k->text().isEmpty() && k->text().at(0).isPrint() &&
                Zeichenzahl(edit) >= int(TKDGData::VariablenMax) && !edit->textCursor().hasSelection()) {
                meldungen_->Signalton();
                return true;
            }
        }
    } else if (obj == ListBox1) {
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                ListBox1DblClick();
                return true;
            }
            if (k->key() == Qt::Key_Escape) {
                ListBox1Exit();
                return true;
            }
        }
        if (e->type() == QEvent::FocusOut) {
            // The list closes when it loses the focus, unless to its own popup parts.
            auto* f = static_cast<QFocusEvent*>(e);
            if (f->reason() != Qt::PopupFocusReason) ListBox1Exit();
        }
    }
    return QDialog::eventFilter(obj, e);
}

// ---------------------------------------------------------------------------------
// Inserting

void TDlgFormel::Einfuegen(const std::string& text, int caret, int auswahl) {
    if (text.empty()) return;
    QTextCursor c = RichEdit1->textCursor();
    const int ersetzt = c.selectionEnd() - c.selectionStart();
    if (Zeichenzahl(RichEdit1) - ersetzt + SichtbareZeichen(text, text.size()) > int(KurzerStringMax)) {
        meldungen_->Signalton();
        return;
    }
    const int start = c.selectionStart();
    c.insertText(AusCp1252(text), NormalFormat(Schriftgroesse));
    c.setPosition(start + caret);
    if (auswahl > 0) c.setPosition(start + caret + auswahl, QTextCursor::KeepAnchor);
    RichEdit1->setTextCursor(c);
    RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    RichEdit1->setFocus();
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::GrundfunktionenClick() {
    if (!ListBox1->isHidden()) {
        ListBox1Exit();
        return;
    }
    ListBox1->clear();
    const bool mitSummen = NurFormelnModus() || RadioButton3->isHidden();
    for (const std::string& e : Funktionsliste(mitSummen)) ListBox1->addItem(AusCp1252(e));
    ListBox1->setCurrentRow(0);
    ListBox1->show();
    ListBox1->raise();
    ListBox1->setFocus();
}

void TDlgFormel::ListBox1DblClick() {
    const int i = ListBox1->currentRow();
    ListBox1->hide();
    const Einfuegung e = FunktionEinfuegung(i);
    Einfuegen(e.Text, e.Caret, e.Auswahl);
    RichEdit1->setFocus();
}

void TDlgFormel::ListBox1Exit() {
    if (ListBox1->isHidden()) return;
    ListBox1->hide();
    RichEdit1->setFocus();
}

void TDlgFormel::SpeedKonstanteClick() {
    caret_ = RichEdit1->textCursor().position();
    naechstesSymbol_ = naechstesIndex_ = false;
    {
        auto* d = new TDlgKonstante(meldungen_, this);
        d->setAttribute(Qt::WA_DeleteOnClose);
        d->SetParameter([this](QObject* s, char c) { KonstantReceiver(s, c); });
        connect(d, &TDlgKonstante::Hilfe, this, &TDlgFormel::Hilfe);
        Konstantenwahl = d;
        d->exec();  // frees the dialog when it closes
    }
    QTextCursor c = RichEdit1->textCursor();
    c.setPosition(std::min(caret_, Zeichenzahl(RichEdit1)));
    RichEdit1->setTextCursor(c);
    RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    RichEdit1->setFocus();
}

void TDlgFormel::KonstantReceiver(QObject*, char zeichen) {
    if (zeichen == '~') {
        naechstesSymbol_ = true;
        return;
    }
    if (zeichen == '|') {
        naechstesIndex_ = true;
        return;
    }
    if (Zeichenzahl(RichEdit1) >= int(KurzerStringMax)) {
        meldungen_->Signalton();
        naechstesSymbol_ = naechstesIndex_ = false;
        return;
    }
    QTextCursor c(RichEdit1->document());
    c.setPosition(std::min(caret_, Zeichenzahl(RichEdit1)));
    const auto byte = static_cast<unsigned char>(zeichen);
    if (naechstesSymbol_) SymbolEinfuegen(c, byte, Schriftgroesse, naechstesIndex_);
    else c.insertText(AusCp1252(std::string(1, zeichen)), naechstesIndex_ ? IndexFormat() : NormalFormat(Schriftgroesse));
    naechstesSymbol_ = naechstesIndex_ = false;
    caret_ = c.position();
    RichEdit1->setTextCursor(c);
    RichEdit1->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::SpeedSymboleClick() {
    QTextEdit* ziel = zielEdit_ ? zielEdit_ : RichEdit1;
    caret_ = ziel->textCursor().position();
    auto* d = new TDlgSymbol(this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->SetParameter([this](QObject* s, char c) { SymbolReceiver(s, c); }, true);
    Symbolwahl = d;
    d->exec();
}

void TDlgFormel::SymbolReceiver(QObject*, char zeichen) {
    QTextEdit* ziel = zielEdit_ ? zielEdit_ : RichEdit1;
    const int grenze = ziel == RichEdit1 ? int(KurzerStringMax) : int(TKDGData::VariablenMax);
    if (Zeichenzahl(ziel) >= grenze) {
        meldungen_->Signalton();
        return;
    }
    QTextCursor c(ziel->document());
    c.setPosition(std::min(caret_, Zeichenzahl(ziel)));
    const int start = c.position();
    const auto byte = static_cast<unsigned char>(zeichen);
    switch (zeichen) {
    case '-': case '.': case ':': case '=': case '^': case '_': case '~':
        c.insertText(QString(QChar(char16_t(byte))), IndexFormat());
        break;
    case '\'': case '"':
        c.insertText(QString(QChar(char16_t(byte))), NormalFormat(Schriftgroesse));
        break;
    default:
        SymbolEinfuegen(c, byte, Schriftgroesse);
        break;
    }
    // Selected, then the caret behind it with plain attributes.
    c.setPosition(start);
    c.setPosition(start + 1, QTextCursor::KeepAnchor);
    ziel->setTextCursor(c);
    c.clearSelection();
    c.setPosition(start + 1);
    ziel->setTextCursor(c);
    ziel->setCurrentCharFormat(NormalFormat(Schriftgroesse));
    caret_ = start + 1;
    ziel->setFocus();
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::SpeedIndizesClick() {
    QTextCursor c = RichEdit1->textCursor();
    if (c.hasSelection()) {
        QTextCharFormat f;
        Tiefstellen(f);
        c.mergeCharFormat(f);
    }
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::Teilformel() {
    const Teilformelzusatz z = WeitereTeilformel(RichTextZuFormeltext(RichEdit1));
    if (!z.Passt) {
        meldungen_->Signalton();
        return;
    }
    FormeltextZuRichText(z.Text, RichEdit1, Schriftgroesse);
    QTextCursor c = RichEdit1->textCursor();
    c.setPosition(std::min(z.AuswahlStart, Zeichenzahl(RichEdit1)));
    c.setPosition(std::min(z.AuswahlStart + z.AuswahlLaenge, Zeichenzahl(RichEdit1)), QTextCursor::KeepAnchor);
    RichEdit1->setTextCursor(c);
    RichEdit1->setFocus();
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::SpeedFormelnUntereinClick() { Teilformel(); }
void TDlgFormel::SpeedFormelnNebeneinClick() { Teilformel(); }

// ---------------------------------------------------------------------------------
// Curve mode

void TDlgFormel::ComboBox1Click(int eintrag) {
    if (eintrag < 0 || eintrag >= ComboBox1->count() || eintrag == gewaehlt_) return;
    // The edited line stays in its entry.
    ComboEintragSetzen(gewaehlt_, RichTextZuFormeltext(RichEdit1));
    gewaehlt_ = eintrag;
    {
        const QSignalBlocker sperre(ComboBox1);
        ComboBox1->setCurrentIndex(eintrag);
    }
    const QByteArray b = ComboBox1->itemData(eintrag).toByteArray();
    FormeltextZuRichText(std::string(b.constData(), std::size_t(b.size())), RichEdit1, Schriftgroesse);
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::BibliothekClick() {
    // The formula library is the main window's; the dialog offers the insertion aids.
    GrundfunktionenClick();
}

void TDlgFormel::FormelNeuClick() {
    ComboEintragSetzen(gewaehlt_, RichTextZuFormeltext(RichEdit1));
    const std::string neu = "y=x";
    ComboBox1->addItem(Anzeige(neu), QByteArray(neu.data(), qsizetype(neu.size())));
    gewaehlt_ = ComboBox1->count() - 1;
    {
        const QSignalBlocker sperre(ComboBox1);
        ComboBox1->setCurrentIndex(gewaehlt_);
    }
    FormeltextZuRichText(neu, RichEdit1, Schriftgroesse);
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::Radio2DClick() {
    for (QWidget* w : {static_cast<QWidget*>(EZStart), static_cast<QWidget*>(EZEnde),
                       static_cast<QWidget*>(EZPnts), static_cast<QWidget*>(EZVar)})
        w->setEnabled(false);
}

void TDlgFormel::Radio3DClick() {
    for (QWidget* w : {static_cast<QWidget*>(EZStart), static_cast<QWidget*>(EZEnde),
                       static_cast<QWidget*>(EZPnts), static_cast<QWidget*>(EZVar)})
        w->setEnabled(true);
}

void TDlgFormel::RadioButton2Click() {
    // Curves are shown: the curve settings apply.
    Panel2->setEnabled(true);
    Radio2D->setEnabled(true);
    Radio3D->setEnabled(true);
    hatLetzten_ = false;
    UpdateFormel();
}

void TDlgFormel::RadioButton3Click() {
    Panel2->setEnabled(false);
    Radio2D->setEnabled(false);
    Radio3D->setEnabled(false);
    hatLetzten_ = false;
    UpdateFormel();
}

// ---------------------------------------------------------------------------------
// Accepting

std::vector<std::string> TDlgFormel::AktualisiereFormel() const {
    std::vector<std::string> eintraege;
    for (int i = 0; i < ComboBox1->count(); ++i) {
        const QByteArray b = ComboBox1->itemData(i).toByteArray();
        eintraege.emplace_back(b.constData(), std::size_t(b.size()));
    }
    return Formelzeilen(std::move(eintraege), gewaehlt_, RichTextZuFormeltext(RichEdit1));
}

bool TDlgFormel::Check() {
    fehlertext_.clear();
    checkBestanden_ = false;
    const std::vector<std::string> zeilen = AktualisiereFormel();
    if (NurFormelnModus()) {
        fehlertext_ = FormelnPruefen(zeilen);
        // The edit line itself must be one of them: a blank line is dropped from the
        // lines, and the others would be handed back in its place.
        if (fehlertext_.empty() && RichTextZuFormeltext(RichEdit1).find('=') == std::string::npos)
            fehlertext_ = MeldungGleichFehlt;
        if (!fehlertext_.empty()) {
            RichEdit1->setFocus();
            return false;
        }
        if (daten_) daten_->FormelZeilen = zeilen;
        checkBestanden_ = true;
        return true;
    }

    Kurveneingabe e;
    e.XStart = EXStart->text().toStdString();
    e.XEnde = EXEnde->text().toStdString();
    e.XPunkte = EXPnts->text().toStdString();
    e.ZStart = EZStart->text().toStdString();
    e.ZEnde = EZEnde->text().toStdString();
    e.ZPunkte = EZPnts->text().toStdString();
    e.YStart = EYStart->text().toStdString();
    e.YEnde = EYEnde->text().toStdString();
    e.XVariable = RichTextZuFormeltext(EXVar);
    e.ZVariable = RichTextZuFormeltext(EZVar);
    e.Dreidimensional = Radio3D->isChecked();
    if (daten_) {
        e.XLog = daten_->XLog;
        e.YLog = daten_->YLog;
    }
    e.Zeilen = zeilen;
    Kurvenpruefung p = KurvenPruefen(e);
    if (!p.Bestanden()) {
        fehlertext_ = p.Fehler;
        QWidget* ziel = RichEdit1;
        switch (p.Feld) {
        case Kurvenfeld::XStart: ziel = EXStart; break;
        case Kurvenfeld::XEnde: ziel = EXEnde; break;
        case Kurvenfeld::XPunkte: ziel = EXPnts; break;
        case Kurvenfeld::ZStart: ziel = EZStart; break;
        case Kurvenfeld::ZEnde: ziel = EZEnde; break;
        case Kurvenfeld::ZPunkte: ziel = EZPnts; break;
        case Kurvenfeld::YStart: ziel = EYStart; break;
        case Kurvenfeld::YEnde: ziel = EYEnde; break;
        case Kurvenfeld::Formel:
        case Kurvenfeld::Keins: ziel = RichEdit1; break;
        }
        ziel->setFocus();
        return false;
    }
    if (daten_) {
        KurvenUebernehmen(*daten_, e, p);
        daten_->FormelZeilen = zeilen;
        daten_->NurFormeln = false;
        daten_->FormelnMitKurven = RadioButton2->isChecked();
    }
    checkBestanden_ = true;
    return true;
}

void TDlgFormel::OKBtnClick() {
    if (!ListBox1->isHidden()) ListBox1->hide();
    hatLetzten_ = false;
    const std::string text = RichTextZuFormeltext(RichEdit1);
    // The stored text holds at most 255 bytes ("~" and "|" codes take two): refused
    // here, before anything would be cut.
    if (const std::size_t bytes = RichTextZuFormeltext(RichEdit1, 4 * KurzerStringMax).size();
        bytes > KurzerStringMax) {
        meldungen_->Fehler(AusCp1252("Formel zu lang: " + std::to_string(bytes) +
                             " Zeichen, h\xF6" "chstens " + std::to_string(KurzerStringMax) +
                             " (griechische Buchstaben und Indizes z\xE4hlen doppelt)"));
        RichEdit1->setFocus();
        return;
    }
    if (!UpdateFormel() && text.find_first_not_of(' ') != std::string::npos) {
        RichEdit1->setFocus();
        return;  // the preview shows the message
    }
    if (!Check()) {
        if (!fehlertext_.empty()) meldungen_->Fehler(AusCp1252(fehlertext_));
        return;
    }
    if (daten_ && !RadioButton3->isHidden() && RadioButton3->isChecked()) daten_->NurFormeln = true;
    done(Angenommen);
}

void TDlgFormel::CancelBtnClick() {
    ListBox1->hide();
    done(Abgebrochen);
}

void TDlgFormel::HelpBtnClick() { emit Hilfe(Hilfethema); }

void TDlgFormel::reject() {
    if (!ListBox1->isHidden()) {
        ListBox1Exit();
        return;
    }
    done(Abgebrochen);
}

void TDlgFormel::closeEvent(QCloseEvent* e) {
    if (!ListBox1->isHidden()) {
        // Closing while the function list is open closes only the list.
        ListBox1Exit();
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

} // namespace kd
