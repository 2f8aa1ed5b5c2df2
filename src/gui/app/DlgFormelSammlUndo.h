#pragma once
// Undo and redo of the changes to the current library.
//
// The history keeps the library as a list of unchangeable record copies; a record
// that a step did not touch is shared by every state that holds it, so a step costs
// one pointer per record plus the records it changed. A command of the window is
// bracketed by an Aenderung: before it the history checks that it still describes
// the records (else it starts afresh), after it it compares the records with what it
// kept and pushes one step with the states before and after when anything differs.
// Undoing a step puts the records of its earlier state back, byte for byte, reusing
// the records that are unchanged, and selects the formula selected then.
//
// The history belongs to one library: when the records are replaced by another
// library's (Formelsammlung::ListenNummer) it is cleared, so nothing is undone into a
// library that was saved and left. An undo or redo marks the library changed, so the
// question at closing still asks about it.
#include <QString>
#include <QUndoStack>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/library/FormelBiblio.h"
#include "core/library/Sammlung.h"

namespace kd {

// One state of the library: its records in order and the formula selected.
struct Bibliotheksstand {
    std::vector<std::shared_ptr<const TFormelBiblio>> Formeln;
    int AktFormel = -1;
};

// Whether two records would be written as the same bytes.
bool GleicherDatensatz(const TFormelBiblio& a, const TFormelBiblio& b);

class FormelVerlauf {
public:
    explicit FormelVerlauf(Formelsammlung& sammlung);
    ~FormelVerlauf();
    FormelVerlauf(const FormelVerlauf&) = delete;
    FormelVerlauf& operator=(const FormelVerlauf&) = delete;

    QUndoStack& Stapel() { return stapel_; }

    // Called after an undo or redo changed the records (the window shows them).
    std::function<void()> Angewendet;

    // Brackets a command; steps may nest, only the outermost one counts.
    void Beginn();
    void Ende(const QString& name);

    // Clears the history when the records are no longer those it describes (another
    // library, or a change made around it). Called before every undo and redo and
    // before the menu shows the two items.
    void Pruefen();
    void Rueckgaengig();
    void Wiederholen();

    // Puts a state's records into the library (used by the steps).
    void Anwenden(const Bibliotheksstand& stand);

private:
    // The state of the records now, sharing the kept copies of unchanged records.
    Bibliotheksstand Jetzt() const;
    bool Passt() const;
    void Neu();

    Formelsammlung& s_;
    QUndoStack stapel_;
    Bibliotheksstand stand_;                  // what the records are, as copies
    std::vector<const TFormelBiblio*> lebend_; // the records those copies belong to
    std::uint64_t listenNummer_ = 0;
    bool bekannt_ = false;
    int tiefe_ = 0;
};

// A command as one step: constructed before the command changes anything, the step is
// pushed when it is destroyed.
class Aenderung {
public:
    Aenderung(FormelVerlauf& v, QString name) : v_(v), name_(std::move(name)) { v_.Beginn(); }
    ~Aenderung() { v_.Ende(name_); }
    Aenderung(const Aenderung&) = delete;
    Aenderung& operator=(const Aenderung&) = delete;

private:
    FormelVerlauf& v_;
    QString name_;
};

} // namespace kd
