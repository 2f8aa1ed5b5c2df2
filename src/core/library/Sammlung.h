#pragma once
// The state of the formula collection behind the main window: the library list, the
// current library's records, the selection and the naming of a new library. The window
// holds the widgets and shows what this class decides; everything here runs without Qt.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/Types.h"
#include "core/library/Bibliothek.h"
#include "core/library/Verzeichnis.h"

namespace kd {

enum class Antwort { Ja, Nein, Abbrechen };

// What identifies the content of a file without reading it: a save by another window or
// by the command-line tool replaces the file (new inode) or changes its size or time.
struct DateiStand {
    bool Vorhanden = false;
    bool Regulaer = false;
    std::uint64_t Geraet = 0, Knoten = 0, Groesse = 0;
    std::int64_t ZeitNs = 0;
    bool operator==(const DateiStand&) const = default;
};
DateiStand StandVon(const std::filesystem::path& p);

class Formelsammlung {
public:
    Formelsammlung();

    // --- state (read by the window) ---
    Verzeichnisse Verz;
    FormelListeTyp FormelListe;            // records of the current library
    std::vector<std::string> Bibliotheken; // entries of ListBox1 (Windows-1252 names)
    int AktBibliothek = 0;                 // entry of Bibliotheken held in FormelListe
    int AktFormel = -1;                    // selected formula, -1 = none
    bool Geaendert = false;                // changed since last saved
    bool NamensEingabe = false;            // a new library's name is being typed
    std::string NamensText;                // the text of Edit1 (Windows-1252)
    std::array<Extended, 11> MerkList{};   // remembered inputs, 1E300 = empty
    // The current library could not be read completely (FormelListe holds the records
    // before the damage). Such a library is not saved by a switch unless it was changed,
    // so the unread rest of its file is not thrown away by a mere click.
    bool LadenFehlgeschlagen = false;
    // Grows whenever the records are replaced by another library's (load, new library,
    // naming cancelled, start), so that whoever keeps state about the records (the
    // window's undo history) can tell that they belong to another library now.
    std::uint64_t ListenNummer = 0;

    // --- hooks set by the window ---
    // A Yes/No/Cancel question with caption "Achtung" and the exclamation icon.
    std::function<Antwort(const std::string& text)> Frage;
    // The same for a question whose Ja destroys something (deleting a formula,
    // overwriting a library): the window makes Nein its default answer. When empty,
    // Frage is asked.
    std::function<Antwort(const std::string& text)> GefahrFrage;
    // Called whenever the records are replaced or changed (the layouts are then invalid).
    std::function<void()> LayoutUngueltig;
    // An error box (caption "Fehler", stop icon) for refused input and for failures that
    // do not stop the operation (an order file that cannot be written). May be empty.
    std::function<void(const std::string& text)> Meldung;

    void ResetMerkList();

    // Start-up: lists the libraries (order file rule), loads the first one or creates
    // "Bibliothek1" when there is none, selects formula 0 when there is one.
    // Throws FileError when the first library cannot be read (the records read stay).
    void Start(const Verzeichnisse& v);

    // The native path of list entry i, and of a name.
    std::filesystem::path Pfad(const std::string& name) const;

    void LoadBibliothek(const std::string& name);  // throws FileError
    // Writes the records to library `name`. When that is the current library and its file
    // was changed outside this object since it was loaded or saved, asks first (Frage,
    // "… wurde außerhalb des Programms geändert"): Ja loads the file again (the changes
    // here are dropped), Nein overwrites it, Abbrechen writes nothing and returns false.
    // Throws FileError when the file cannot be written.
    bool SaveBibliothek(const std::string& name);
    // Saves the current library under its list entry, as a switch or a search does before
    // leaving it, but only when it was changed: an unchanged library is never rewritten,
    // so what other windows saved meanwhile stays. Returns false when the user cancelled
    // the question about a file changed outside. Throws FileError.
    bool AktuelleSpeichern();

    // A click on list entry i: saves the current library when it was changed, loads entry
    // i and moves it to the top. When the save fails the user is told why and asked
    // whether to drop the changes and switch (Ja) or to keep the library open (else);
    // without a Frage hook the error is thrown. Either way unsaved formulas are never
    // dropped without consent. A pending naming is finished
    // first (SetNeueBibliothek); its new entry goes to the top, so i still names the
    // entry that was clicked. When the naming is not confirmed nothing else happens.
    // A failed load throws FileError after the switch is complete (the records read stay).
    void Uebernehmen(int i);
    void SetListBoxReihenfolge0();

    // New library: with ask the name is proposed in NamensText ("Bibliothek" + i) and
    // NamensEingabe is set; without ask "Bibliothek1" is created at once.
    // The current library is saved first, as on a switch (when that fails or is cancelled
    // nothing has changed).
    void NeueBibliothek(bool ask);
    // Takes NamensText: cuts at the first dot, asks before overwriting an existing file
    // (naming it). A name listed already moves to the top instead of a second entry.
    // Returns false when the user did not confirm or the name is refused (empty, or
    // with '/'; reported through Meldung): the naming stays open. Throws FileError when
    // the new file cannot be written; the naming then stays open and the list unchanged.
    // Does nothing (returns true) when no naming is pending.
    bool SetNeueBibliothek();
    // Esc in the naming: the naming ends and the previous library is loaded again, so
    // that the next switch does not save an empty list under its name.
    void NamensEingabeAbbrechen();

    // Closing: asks "Änderungen speichern?" when changed. Returns false on Cancel.
    // On Yes saves the current library; then writes the order file. A pending naming is
    // cancelled first. When the save fails FileError is thrown and nothing else is done:
    // the window should stay open. Cancelling the question about a file changed outside
    // returns false as well. An order file that cannot be written is reported
    // through Meldung and does not stop the closing.
    bool Schliessen();

    // Selects formula `index`, clamped to the records; -1 when there are none.
    void SetFormel(int index);

    // Delete: the layouts are invalid (always); with a formula selected asks "Formel
    // wirklich löschen?", naming the formula's text, and on Yes removes it; the formula above becomes selected (-1
    // when the first was deleted) and the library is changed. True when deleted.
    bool FormelLoeschen();
    // Move the selected formula one place up / down: the layouts are invalid (always);
    // at the ends nothing moves. The library counts as changed after a move, so closing
    // asks to save the new order. True when a formula moved.
    bool FormelNachOben();
    bool FormelNachUnten();

    // The name of the library whose file state is known, and that state (set on load and
    // save). Read by the window to tell the user which file it watches.
    const std::string& StandName() const { return standName_; }

private:
    void LayoutAendern();
    Antwort Zerstoerend(const std::string& text) const;
    bool NeueAnlegen();
    // Saves before leaving the current library; false when it stays (cancelled, or the
    // user kept it after a failed save).
    bool VorWechselSpeichern();
    void StandMerken(const std::string& name);

    std::string standName_;
    DateiStand stand_;
    std::string vorherigerStandName_;
    DateiStand vorherigerStand_;

    // The library left by NeueBibliothek(true), given back by NamensEingabeAbbrechen.
    FormelListeTyp vorherigeListe_;
    int vorherigeFormel_ = -1;
    bool vorherigeGeaendert_ = false;
    bool vorherigeFehler_ = false;
};

} // namespace kd
