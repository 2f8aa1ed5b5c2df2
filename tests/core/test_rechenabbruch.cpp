// Stopping a computation from outside: by a flag from another thread, by a time limit,
// from the computation's own Zwischendurch; and no effect without a Rechenabbruch.
#include <gtest/gtest.h>

#include <thread>

#include "core/eval/Berechnung.h"
#include "core/eval/Rechenabbruch.h"

using namespace kd;

namespace {

// 65534 * 65534 passes: about ten minutes when nothing stops it.
constexpr char kLang[] = "y=SUMME(i=1;n;SUMME(j=1;n;17*ATN(SIN(j))+1))";

Berechnungsergebnis Rechne(const char* text, Extended n) {
    MerkListe merk;
    merk.fill(Undefiniert);
    return FormelBerechnen(text, false, merk, [n](Bezeichnerliste& v) {
        for (int i = 0; i < v.Count(); ++i) v[i]->SetWert(n);
        return true;
    });
}

} // namespace

TEST(Rechenabbruch, StopsALongComputationAsALoopOutOfPasses) {
    // The message of a loop that ran out of passes, taken from one that really does.
    const Berechnungsergebnis erschoepft = Rechne("y=SUMME(i=1;n;i)", 1E15L);
    ASSERT_EQ(erschoepft.art, Berechnungsergebnis::Art::Rechenfehler);

    enum class Weg { Frist, AndererThread, Zwischendurch };
    for (Weg weg : {Weg::Frist, Weg::AndererThread, Weg::Zwischendurch}) {
        SCOPED_TRACE(int(weg));
        Rechenabbruch abbruch(weg == Weg::Frist ? std::chrono::milliseconds(50)
                                                : Rechenabbruch::Uhr::duration::max());
        int aufrufe = 0;
        std::thread anderer;
        if (weg == Weg::AndererThread) anderer = std::thread([&abbruch] { abbruch.Abbrechen(); });
        if (weg == Weg::Zwischendurch)
            abbruch.Zwischendurch = [&] {
                if (++aufrufe == 3) abbruch.Abbrechen();
            };
        const Berechnungsergebnis e = Rechne(kLang, 65534);
        if (anderer.joinable()) anderer.join();
        EXPECT_TRUE(abbruch.Abgebrochen());
        EXPECT_EQ(e.art, Berechnungsergebnis::Art::Rechenfehler);
        EXPECT_EQ(e.Meldung, erschoepft.Meldung);
        EXPECT_EQ(aufrufe, weg == Weg::Zwischendurch ? 3 : 0);
    }
}

TEST(Rechenabbruch, WithoutStopTheValuesAreUnchanged) {
    struct Fall {
        const char* text;
        Extended n;
        const char* meldung;
    };
    // Sums past the compiled program's stretch of passes (65536) come out as before.
    const Fall faelle[] = {
        {"y=SUMME(i=1;n;i)", 200000, "Ergebnis: f( 200000 )=2,00001E10"},
        {"y=SUMME(i=1;n;SUMME(j=1;n;j))", 300, "Ergebnis: f( 300 )=13545000"},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Rechne(f.text, f.n).Meldung, f.meldung);
        Rechenabbruch aussen;
        {
            Rechenabbruch innen;  // nested: the inner one ends, the outer one is asked again
            EXPECT_EQ(Rechne(f.text, f.n).Meldung, f.meldung);
        }
        aussen.Abbrechen();
        EXPECT_NE(Rechne(f.text, f.n).Meldung, f.meldung);
    }
}
