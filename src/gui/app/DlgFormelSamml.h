#pragma once
// The formula collection window: the library list, the formula page, the text line of
// the selected formula and every command as a speed button and in the context menu.
// The state behind it (libraries, records, selection, naming) is kd::Formelsammlung;
// this class holds the widgets and shows what that state says.
#include <QLockFile>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/eval/KDGData.h"
#include "core/library/Sammlung.h"
#include "core/library/Suche.h"
#include "core/notation/Bezeichner.h"
#include "core/page/Formelseite.h"
#include "core/pictures/Seitenbilder.h"
#include "gui/app/DlgFormelSammlUndo.h"
#include "gui/app/FormelSeite.h"
#include "gui/platform/Dateidialoge.h"
#include "gui/platform/Meldungen.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QScrollArea;
class QTextEdit;
class QToolButton;
class QKeyEvent;
class QDropEvent;
class QMimeData;

namespace kd {

class TFormStyles;

namespace gui {
class TCScrollBox;
class TVirtPntBox;
} // namespace gui

class TDlgFormelSamml : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientBreite = 623;
    static constexpr int ClientHoehe = 555;
    // The smallest window: the page keeps about half its width, the library list
    // about a third of its height.
    static constexpr int MinBreite = ClientBreite - 200;
    static constexpr int MinHoehe = ClientHoehe - 123;
    static constexpr int ListeUnten = 46 + 183;  // lower edge of the designed list
    static constexpr int StandardWartezeit = 200;  // ms after loading a library

    // `meldungen` answers every message box (not owned; nullptr: real QMessageBoxes).
    explicit TDlgFormelSamml(Meldungen* meldungen = nullptr, QWidget* eltern = nullptr);
    ~TDlgFormelSamml() override;

    // The folders to work in. Without a call the first activation finds them from the
    // environment (StandardVerzeichnisse).
    void SetVerzeichnisse(const Verzeichnisse& v);
    // Runs the start-up of the first activation now (lists and loads the libraries).
    // Later calls, and later activations, do nothing.
    void Start();
    bool Gestartet() const { return gestartet_; }
    // Opens a library file named on the command line (after Start): one in the library
    // folder is listed and loaded; one elsewhere is copied there after asking. Refusals
    // and errors are shown. True when the file is now the current library.
    bool BibliothekOeffnen(const QString& datei);

    // The wait after a library is loaded, processing events (tests set 0).
    void SetWartezeit(int ms) { wartezeit_ = ms < 0 ? 0 : ms; }
    int Wartezeit() const { return wartezeit_; }

    Formelsammlung& Sammlung() { return sammlung_; }
    const Formelsammlung& Sammlung() const { return sammlung_; }
    Meldungen& Boxen() { return *meldungen_; }

    // --- operations used by the commands ---
    // Selects formula `index` (clamped), moves the highlight, shows its text in
    // RichEdit1 and scrolls the page so that the formula is seen (FormelZeigen).
    void SetFormel(int index);
    // Scrolls the page so that the whole frame of the selected formula is in the view,
    // or its top when it is taller than the view.
    void FormelZeigen();
    // Repaints the page: the next paint of PaintBox1 draws it again (with the layouts
    // kept while LayoutGueltig is set).
    void ShowFormel();
    // Toggles the highlight frame of formula `index`: the dotted navy frame inverted on
    // the page's image, so drawing it twice restores the page.
    void InvertFormel(int index);
    // Makes FormelPos describe the records and the page image the view (draws the page
    // now when the layouts or the view changed). Commands that need FormelPos call it.
    void SeiteBereit();
    // The Symbol font test: whether the bracket pieces can be drawn (SymbolKlammer).
    // Runs once per window, after the first complete paint.
    void CheckSonderzeichen();
    void LoadBibliothek(const std::string& name);  // errors are shown, never thrown
    void SaveBibliothek(const std::string& name);  // errors are shown, never thrown
    void NeueBibliothek(bool ask);
    // Takes the name typed in Edit1 and creates the library. False when the naming
    // stays open (not confirmed, refused name, or the file could not be written).
    bool SetNeueBibliothek();
    void SetListBoxReihenfolge0();
    void ResetMerkList();
    void SetParameter();
    // Opens the formula entry dialog on the formula exchange line (line 0 of
    // KDGData->FormelZeilen) and, when it is accepted, inserts the text as a new
    // record after the selected formula.
    // Virtual so that a test can see the paste hand a text over for correcting.
    virtual void EditNeueFormel();

    // The open, save and print dialogs (not owned; nullptr: the real dialogs).
    void SetDateidialoge(Dateidialoge* d) { dateidialoge_ = d; }
    Dateidialoge& Dialoge();

    // Finishes a pending naming of a new library before a command. False when the
    // naming stays open; the command then does nothing.
    bool BenennungAbschliessen();
    // The formula text a command works on: the marked part of the text line, or the
    // whole selected formula. `markiert` tells which.
    std::string ArbeitsFormel(bool& markiert);
    // Waits `ms` milliseconds while processing events.
    static void WarteMitNachrichten(int ms);

    // Shows the library list, Edit1 and the text line as the state says.
    void ZustandZeigen();

    // --- undo, page zoom, shortcuts, drag and drop, remembered window
    //     (DlgFormelSammlDesktop.cpp, DlgFormelSammlZiehen.cpp) ---
    FormelVerlauf& Verlauf() { return *verlauf_; }
    // The page zoom as a factor of the standard zoom (the old zoom at the screen's
    // logical resolution): 0.5 to 4.
    double Zoomstufe() const { return zoomstufe_; }
    void SetZoomstufe(double stufe);
    static constexpr double ZoomMin = 0.5;
    static constexpr double ZoomMax = 4.0;
    // The divider between the page and the library list: the pixels the page gives to
    // the list (0: the designed layout). Dragging the divider (Teiler1) sets it.
    int Teilung() const { return teilung_; }
    void SetTeilung(int pixel);
    QWidget* Teiler1 = nullptr;
    // Reads the window's size, position, divider and zoom from the user's settings, and saves
    // them there when the window closes (the program does; windows of tests do not).
    void EinstellungenLaden();
    void EinstellungenSpeichern() const;
    // The drag data of formula i: the picture as the picture copy makes it, the text as
    // the text copy makes it, and the formula's place for a move on this page.
    QMimeData* FormelZiehdaten(int i);
    QAction* Rueckgaengig1 = nullptr;
    QAction* Wiederholen1 = nullptr;
    QAction* FormelNachOben1 = nullptr;
    QAction* FormelNachUnten1 = nullptr;
    QAction* Suchen1 = nullptr;
    QAction* Weitersuchen1 = nullptr;
    QAction* Drucken1 = nullptr;
    QMenu* Ansicht1 = nullptr;  // submenu of PopupMenu1 with the zoom
    QAction* Vergroessern1 = nullptr;
    QAction* Verkleinern1 = nullptr;
    QAction* Originalgroesse1 = nullptr;
    QAction* Hilfe1 = nullptr;
    QAction* Beenden1 = nullptr;

    // --- controls ---
    QTextEdit* RichEdit1 = nullptr;
    QTextEdit* RichEdit2 = nullptr;
    gui::TCScrollBox* CScrollBox1 = nullptr;
    gui::TVirtPntBox* PaintBox1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedKopieren = nullptr;
    QToolButton* SpeedEinfuegen = nullptr;
    QToolButton* SpeedDrucken = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedFormEdit = nullptr;
    QToolButton* SpeedFxNeu = nullptr;
    QToolButton* GrafikOpen = nullptr;
    QToolButton* SpeedLoeschenFormel = nullptr;
    QToolButton* SpeedBildLoeschen = nullptr;
    QToolButton* SpeedBerechnen = nullptr;
    QToolButton* SpeedTaschenrechner = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedInformation = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QToolButton* SpeedButton5 = nullptr;

    QAction* Lschen1 = nullptr;
    QAction* NeueFormeleinfgen1 = nullptr;
    QAction* Editieren1 = nullptr;
    QAction* Berechnen1 = nullptr;
    QAction* KurveZeichnen1 = nullptr;
    QAction* AlsTextinZwischenablage1 = nullptr;
    QAction* AlsFormelinZwischenablage1 = nullptr;
    QAction* AlsExcelFormelinZwischenablage1 = nullptr;
    QAction* AlsLatexKopieren1 = nullptr;
    QAction* AlsMathMLKopieren1 = nullptr;
    QAction* Einfgen1 = nullptr;
    QAction* Grafikhinzufgen1 = nullptr;
    QAction* Grafikspeichern1 = nullptr;

    // --- the formula page ---
    // The laid-out formulas (ElementListe), FormelPos and BildBreite of the page.
    TFormelseite Seite;
    // The formula styles of the page, created on the first paint.
    std::shared_ptr<TFormStyles> AnzeigeStyles;
    // The records' pictures, decoded once.
    std::unique_ptr<ListenBilder> Bilder;
    // Page y of the last left press in the paint box.
    std::int32_t KlickY = 0;
    // How often the page was drawn whole, and how often the Symbol test ran.
    int SeitenZeichnungen = 0;
    int SymbolTests = 0;

    // --- window state besides the records (page, marking, guards) ---
    bool LayoutGueltig = false;
    bool SymbolTestGemacht = false;
    int MarkStart = 0;
    int MarkEnde = 0;
    int MarkNr = 0;
    int MarkAnzahl = 0;
    bool EditorOffen = false;    // the formula editing dialog is open
    bool MausUpSperre = false;   // guards the mouse-release handler
    bool MalSperre = false;      // guards the page paint

    // The option record shared with the formula entry dialog (created by SetParameter,
    // kept for the life of the window).
    std::unique_ptr<TKDGData> KDGData;

public slots:
    // window
    void FormCreate();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();

    // library list and naming
    void UebernehmenClick();
    void SpeedBibNeuClick();
    void NamensEingabeAbbrechen();

    // program
    void BitBtn1Click();  // exit
    void BitBtn2Click();  // help

    // formula list commands
    void LoeschenClick();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedFxNeuClick();
    void SpeedFormEditClick();
    void SpeedButton1Click();  // search

    // computing
    void SpeedBerechnenClick();
    // "Kurve zeichnen": the formula as a curve in a plot window.
    void KurveZeichnenClick();

    // clipboard, spreadsheet, printing, pictures
    void SpeedKopierenClick();
    void AlsFormelinZwischenablage1Click();
    void SpeedCopyExcel();
    void AlsLatexKopieren1Click();
    void AlsMathMLKopieren1Click();
    void SpeedEinfuegenClick();
    void SpeedDruckenClick();
    void GrafikOpenClick();
    void Grafikspeichern1Click();
    void SpeedBildLoeschenClick();
    void SpeedTaschenrechnerClick();
    void SpeedInformationClick();
    void Image1Click();

    // context menu
    void SpeedButton4Click();

    // undo, search again, zoom
    void RueckgaengigClick();
    void WiederholenClick();
    void WeitersuchenClick();
    void ZoomGroesser();
    void ZoomKleiner();
    void ZoomNormal();

public:
    // --- key and mouse handlers (called by the event filter) ---
    // Return true when the key is consumed.
    bool Edit1KeyDown(QKeyEvent* e);
    bool Edit1KeyPress(QKeyEvent* e);
    bool RichEdit1KeyDown(QKeyEvent* e);
    bool RichEdit1KeyPress(QKeyEvent* e);
    bool ListBox1KeyDown(QKeyEvent* e);
    void RichEdit1MouseDown(Qt::MouseButton taste, QPoint globalPos);
    void PaintBox1MouseDown(Qt::MouseButton taste, QPoint pos, QPoint globalPos);
    void PaintBox1MouseUp(Qt::MouseButton taste, QPoint pos);
    void PaintBox1MouseMove(QPoint pos);
    void PaintBox1DblClick();

protected:
    // The black pixels the Symbol bracket piece (code 236) leaves on its test row: one
    // where the font has the piece.
    virtual int SymbolPixelZaehlen();
    bool eventFilter(QObject* obj, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // How a control follows the window when it is resized.
    enum Anker { Links = 0, Rechts = 1, Breiter = 2, Hoeher = 4, Unten = 8 };
    struct Platz {
        QPointer<QWidget> widget;
        QRect basis;  // geometry at the client size 623 x 555
        int anker;
    };

    // The page paint: draws the page into the image when it does not fit the view, then
    // copies the image to the screen.
    void PaintBox1Paint(Device& dc, const TRect& dirty);
    // Draws the page (the body of ShowFormel) into the image for the current view.
    void SeiteZeichnen();
    // The highlight frame of formula i on a device with the page mapping.
    void Rahmen(Device& dc, int i) const;
    // The Tab marking of the next sub-formula in RichEdit1.
    void TabMarkieren();
    // Selects `laenge` characters of RichEdit1 from `start`.
    void Markiere(int start, int laenge);
    // The paint box is high enough for every formula on the page.
    void SeitenhoeheAnpassen();
    // Computes the formula: asks for the values in the input mask (false: cancelled).
    bool WerteEingeben(Bezeichnerliste& variablen);

    void ControlsAnlegen();
    void BefehleAnlegen();
    void MenueAnlegen();
    QToolButton* Knopf(const char* name, QRect platz, const char* symbol, const QString& hinweis,
                       void (TDlgFormelSamml::*handler)());
    void Platziere(QWidget* w, QRect basis, int anker);
    void ListeZeigen();
    void PopupZeigen(QPoint globalPos);
    // Copies the text of Edit1 into the naming state; false (with a beep) when it has
    // characters that a library name cannot hold.
    bool NamenUebernehmen();
    // Runs a core operation; a FileError or any other failure is shown in the general
    // error box. False when it failed.
    template <class F>
    bool Sicher(F&& f);
    void DateitypRegistrieren();
    void VerbindeHaken();
    void OrdnerSperren();
    // Shows a search hit: switches to its library (always, or only when it is another)
    // and selects and scrolls to its formula.
    void TrefferZeigen(Suchtreffer t, bool immerLaden);
    // Undo history, the new menu items with their keys, zoom, drag and drop.
    void DesktopEinrichten();
    // Sets the page's zoom factor from the zoom step and the screen's resolution.
    void SeitenzoomAnwenden();
    // Places the divider and moves the page's and the list's edge by the Teilung.
    void TeilungAnwenden();
    bool SeitenEreignis(QObject* obj, QEvent* e);
    bool Ablegen(QObject* obj, QDropEvent* e, bool nurPruefen);
    // The formula under a point of widget `von` when the point is on the visible page.
    int FormelAmPunkt(QWidget* von, QPoint pos);
    void FormelVerschieben(int von, int nach);
    void BildAnhaengen(const QString& datei);

    Formelsammlung sammlung_;
    // Held while the window shows the libraries of verz_.BibVerz, so that a second window
    // on the same folder is told that both may save the same files.
    std::unique_ptr<QLockFile> ordnerSperre_;
    std::unique_ptr<QtMeldungen> eigeneMeldungen_;
    Meldungen* meldungen_;
    Verzeichnisse verz_;
    bool verzGesetzt_ = false;
    bool rechnet_ = false;  // a computation is running (its progress box may be open)
    bool ersteAktivierung_ = true;
    bool gestartet_ = false;
    bool bereit_ = false;         // the folders are known; the library commands work
    bool wechselLaeuft_ = false;  // a library switch is waiting
    bool geschlossen_ = false;
    int listeGedrueckt_ = -1;     // row of ListBox1 under the last left press
    bool klickGedrueckt_ = false; // a left press in the paint box waits for its release
    bool imPaint_ = false;        // PaintBox1 is painting itself
    Seitenpuffer puffer_;
    int wartezeit_ = StandardWartezeit;
    std::vector<Platz> plaetze_;
    Dateidialoge* dateidialoge_ = nullptr;
    std::unique_ptr<QtDateidialoge> eigeneDateidialoge_;
    std::unique_ptr<FormelVerlauf> verlauf_;
    double zoomstufe_ = 1.0;
    int teilung_ = 0;
    bool einstellungen_ = false;   // the settings are read and saved
    QPoint ziehStart_;             // press of a possible drag, in the paint box
    int ziehFormel_ = -1;          // formula under that press
    friend class SeitenFilter;
};

template <class F>
bool TDlgFormelSamml::Sicher(F&& f) {
    try {
        f();
        return true;
    } catch (const FileError& e) {
        meldungen_->DateiFehler(e);
    } catch (const std::exception& e) {
        meldungen_->AllgemeinerFehler(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace kd
