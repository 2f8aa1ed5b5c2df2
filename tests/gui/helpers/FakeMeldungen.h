#pragma once
// Message boxes answered from a script: every box is recorded, questions take their
// answer from a queue.
#include <deque>
#include <vector>

#include "gui/platform/Meldungen.h"

namespace kdtest {

class FakeMeldungen final : public kd::Meldungen {
public:
    struct Box {
        QString titel;
        QString text;
        Symbol symbol;
        Tasten tasten;
        Antwort antwort;
    };

    // Answers for the boxes with more than an OK button, in order. A question asked
    // with the queue empty is answered Abbrechen (Nein without a cancel button) and
    // counted in ohneAntwort.
    std::deque<Antwort> antworten;
    std::vector<Box> gezeigt;
    int ohneAntwort = 0;
    int signaltoene = 0;

    Antwort Zeige(const QString& titel, const QString& text, Symbol symbol,
                  Tasten tasten) override;
    void Signalton() override { ++signaltoene; }

    void Antworte(std::initializer_list<Antwort> a) { antworten.insert(antworten.end(), a); }
    // All texts shown, one per line (for failure messages).
    QString Protokoll() const;
};

} // namespace kdtest
