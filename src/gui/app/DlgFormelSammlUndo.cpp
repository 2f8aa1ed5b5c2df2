#include "gui/app/DlgFormelSammlUndo.h"

#include <QUndoCommand>

#include <algorithm>
#include <unordered_map>

namespace kd {

namespace {

std::unique_ptr<TFormelBiblio> Kopie(const TFormelBiblio& r) {
    auto k = std::make_unique<TFormelBiblio>();
    k->Kennzahl = r.Kennzahl;
    k->Hinweis = r.Hinweis;
    k->BildTyp = r.BildTyp;
    k->Bild = r.Bild;
    k->FormelText = r.FormelText;
    return k;
}

// One step: the states before and after a command. The command has already run when
// the step is pushed, so its first redo does nothing.
class Schritt final : public QUndoCommand {
public:
    Schritt(FormelVerlauf& v, const QString& name, Bibliotheksstand vorher, Bibliotheksstand nachher)
        : QUndoCommand(name), v_(v), vorher_(std::move(vorher)), nachher_(std::move(nachher)) {}

    void undo() override { v_.Anwenden(vorher_); }
    void redo() override {
        if (erstes_) {
            erstes_ = false;
            return;
        }
        v_.Anwenden(nachher_);
    }

private:
    FormelVerlauf& v_;
    Bibliotheksstand vorher_, nachher_;
    bool erstes_ = true;
};

} // namespace

bool GleicherDatensatz(const TFormelBiblio& a, const TFormelBiblio& b) {
    return a.Kennzahl == b.Kennzahl && a.Hinweis == b.Hinweis && a.BildTyp == b.BildTyp &&
           a.FormelText == b.FormelText && a.Bild == b.Bild;
}

FormelVerlauf::FormelVerlauf(Formelsammlung& sammlung) : s_(sammlung) {
    // Each step keeps only the records it changed, and a pointer per record: the limit
    // bounds that (2000 formulas: about 13 MB for a full history).
    stapel_.setUndoLimit(200);
}

FormelVerlauf::~FormelVerlauf() = default;

bool FormelVerlauf::Passt() const {
    if (!bekannt_ || listenNummer_ != s_.ListenNummer) return false;
    if (int(lebend_.size()) != s_.FormelListe.Count()) return false;
    for (int i = 0; i < s_.FormelListe.Count(); ++i) {
        const TFormelBiblio* r = s_.FormelListe[i];
        if (r != lebend_[std::size_t(i)] || !GleicherDatensatz(*r, *stand_.Formeln[std::size_t(i)]))
            return false;
    }
    return true;
}

void FormelVerlauf::Neu() {
    stapel_.clear();
    stand_ = Bibliotheksstand();
    lebend_.clear();
    for (const auto& r : s_.FormelListe) {
        stand_.Formeln.push_back(std::shared_ptr<const TFormelBiblio>(Kopie(*r)));
        lebend_.push_back(r.get());
    }
    stand_.AktFormel = s_.AktFormel;
    listenNummer_ = s_.ListenNummer;
    bekannt_ = true;
}

void FormelVerlauf::Pruefen() {
    if (!Passt()) Neu();
}

Bibliotheksstand FormelVerlauf::Jetzt() const {
    std::unordered_map<const TFormelBiblio*, std::size_t> alt;
    for (std::size_t i = 0; i < lebend_.size(); ++i) alt.emplace(lebend_[i], i);
    Bibliotheksstand jetzt;
    jetzt.AktFormel = s_.AktFormel;
    jetzt.Formeln.reserve(std::size_t(s_.FormelListe.Count()));
    for (const auto& r : s_.FormelListe) {
        const auto it = alt.find(r.get());
        if (it != alt.end() && GleicherDatensatz(*r, *stand_.Formeln[it->second]))
            jetzt.Formeln.push_back(stand_.Formeln[it->second]);
        else
            jetzt.Formeln.push_back(std::shared_ptr<const TFormelBiblio>(Kopie(*r)));
    }
    return jetzt;
}

void FormelVerlauf::Beginn() {
    if (tiefe_++ > 0) return;
    Pruefen();
    stand_.AktFormel = s_.AktFormel;  // an undo selects what was selected before the step
}

void FormelVerlauf::Ende(const QString& name) {
    if (tiefe_ > 0) --tiefe_;
    if (tiefe_ > 0) return;
    try {
        // A command that replaced the library (a new library named on the way) leaves
        // nothing to undo.
        if (!bekannt_ || listenNummer_ != s_.ListenNummer) {
            Neu();
            return;
        }
        Bibliotheksstand jetzt = Jetzt();
        if (jetzt.Formeln == stand_.Formeln) {
            stand_.AktFormel = jetzt.AktFormel;
            return;
        }
        Bibliotheksstand vorher = stand_;
        stand_ = jetzt;
        lebend_.clear();
        for (const auto& r : s_.FormelListe) lebend_.push_back(r.get());
        stapel_.push(new Schritt(*this, name, std::move(vorher), std::move(jetzt)));
    } catch (...) {
        // Without memory for the step the history cannot describe the records.
        bekannt_ = false;
        stapel_.clear();
    }
}

void FormelVerlauf::Rueckgaengig() {
    Pruefen();
    if (stapel_.canUndo()) stapel_.undo();
}

void FormelVerlauf::Wiederholen() {
    Pruefen();
    if (stapel_.canRedo()) stapel_.redo();
}

void FormelVerlauf::Anwenden(const Bibliotheksstand& stand) {
    // The records now, by the copy they match; those found again are kept, so their
    // decoded pictures stay.
    std::unordered_map<const TFormelBiblio*, std::unique_ptr<TFormelBiblio>> frei;
    for (int i = s_.FormelListe.Count() - 1; i >= 0; --i) {
        std::unique_ptr<TFormelBiblio> r = s_.FormelListe.Extract(i);
        frei.emplace(stand_.Formeln[std::size_t(i)].get(), std::move(r));
    }
    FormelListeTyp liste;
    for (const auto& f : stand.Formeln) {
        const auto it = frei.find(f.get());
        if (it != frei.end() && it->second) {
            liste.Add(std::move(it->second));
        } else {
            liste.Add(Kopie(*f));
        }
    }
    s_.FormelListe = std::move(liste);
    stand_ = stand;
    lebend_.clear();
    for (const auto& r : s_.FormelListe) lebend_.push_back(r.get());
    // No selection stays none (the first formula deleted leaves none selected).
    s_.AktFormel = s_.FormelListe.Empty() || stand.AktFormel < 0
                       ? -1
                       : std::min(stand.AktFormel, s_.FormelListe.Count() - 1);
    // What is in memory differs from the file again (or still): closing asks.
    s_.Geaendert = true;
    if (s_.LayoutUngueltig) s_.LayoutUngueltig();
    if (Angewendet) Angewendet();
}

} // namespace kd
