#pragma once
// Stopping a computation from outside. The loops of the evaluator ask Rechenabbruch::
// Pruefen() at every pass they take; while a Rechenabbruch object lives on the thread,
// that answers true once the object has been told to stop (Abbrechen, from any thread
// or from its own Zwischendurch), or once its time is up. A stopped computation ends
// as a loop that runs out of passes. Every question after that answers true as well,
// so the loops around it end at once too.
#include <atomic>
#include <chrono>
#include <functional>

namespace kd {

class Rechenabbruch {
public:
    using Uhr = std::chrono::steady_clock;

    // Installs itself for the current thread; the one installed before comes back when
    // this one ends. `frist`: the computation stops after running this long.
    explicit Rechenabbruch(Uhr::duration frist = Uhr::duration::max());
    ~Rechenabbruch();
    Rechenabbruch(const Rechenabbruch&) = delete;
    Rechenabbruch& operator=(const Rechenabbruch&) = delete;

    // Called about every Takt while the computation runs, on its thread: the window
    // repaints and offers to stop there. Not called again while it runs.
    std::function<void()> Zwischendurch;
    Uhr::duration Takt = std::chrono::milliseconds(25);

    void Abbrechen() { abbrechen_.store(true, std::memory_order_relaxed); }
    bool Abgebrochen() const { return abbrechen_.load(std::memory_order_relaxed); }
    // The time runs from now (after an input mask, say).
    void Neustart();
    // Time since the start (or the last Neustart).
    Uhr::duration Laufzeit() const { return Uhr::now() - start_; }

    // True when the computation on this thread is to stop. Cheap: the clock is read
    // every few questions only.
    static bool Pruefen();

private:
    bool Nachsehen();

    std::atomic<bool> abbrechen_{false};
    Uhr::duration frist_;
    Uhr::time_point start_, naechstesMal_;
    unsigned fragen_ = 0;
    bool inZwischendurch_ = false;
    Rechenabbruch* vorher_;
};

} // namespace kd
