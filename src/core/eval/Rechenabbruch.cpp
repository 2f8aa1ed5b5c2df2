#include "Rechenabbruch.h"

namespace kd {

namespace {
thread_local Rechenabbruch* aktuell = nullptr;
// The clock is read at every eighth question: a loop pass whose body runs a whole inner
// loop takes a few milliseconds at most, so a stop is still seen within a fraction of the
// 0.2 s a user waits for it.
constexpr unsigned kFragenJeBlick = 8;
} // namespace

Rechenabbruch::Rechenabbruch(Uhr::duration frist) : frist_(frist), vorher_(aktuell) {
    Neustart();
    aktuell = this;
}

Rechenabbruch::~Rechenabbruch() { aktuell = vorher_; }

void Rechenabbruch::Neustart() {
    start_ = Uhr::now();
    naechstesMal_ = start_ + Takt;
}

bool Rechenabbruch::Nachsehen() {
    if (Abgebrochen()) return true;
    if (++fragen_ % kFragenJeBlick != 0) return false;
    const Uhr::time_point jetzt = Uhr::now();
    if (frist_ != Uhr::duration::max() && jetzt - start_ >= frist_) {
        Abbrechen();
        return true;
    }
    if (Zwischendurch && !inZwischendurch_ && jetzt >= naechstesMal_) {
        inZwischendurch_ = true;
        Zwischendurch();
        inZwischendurch_ = false;
        naechstesMal_ = Uhr::now() + Takt;
    }
    return Abgebrochen();
}

bool Rechenabbruch::Pruefen() { return aktuell && aktuell->Nachsehen(); }

} // namespace kd
