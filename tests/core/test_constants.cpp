#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/constants/Konstanten.h"
#include "core/constants/KonstantenListe.h"
#include "core/numeric/Encoding.h"

using namespace kd;

namespace {

// Every test leaves the program-wide table as the program starts it.
class KonstantenTest : public ::testing::Test {
protected:
    void SetUp() override { Konstanten().BasisSetzen(); }
    void TearDown() override { Konstanten().BasisSetzen(); }
};

const std::vector<std::string> BasisZeilen = {
    "e=2,71828182845904524", "~p=3,14159265358979324", "~\xA5=1E50",     "WAHR=1",
    "FALSCH=0",            "LEER=[ ]",            "H\xC4UFAUTO=0",       "H\xC4UFSUMMPROZ=1",
    "H\xC4UFEINZPROZ=2",   "H\xC4UFVORGEBEN=3",   "g|n=9,80665",         "c|o=299792458",
    "R|g=8314,46261815324", "V|m=22,4139695450141377", "Euro=1,95583",
};

} // namespace

TEST_F(KonstantenTest, TableStartsWithTheFifteenBaseConstants) {
    const Konstantentabelle& t = Konstanten();
    ASSERT_EQ(t.Anzahl(), 15);
    const struct {
        const char* name;
        Extended wert;
    } erwartet[] = {
        // e and pi to full precision; c, R (N_A * k) and V_m (R * 273.15 K / 101325 Pa)
        // are the exact SI values.
        {"e", 2.71828182845904523536L}, {"~p", 3.14159265358979323846L}, {"~\xA5", 1E50L},
        {"WAHR", 1},                {"FALSCH", 0},              {"LEER", 1E200L},
        {"H\xC4UFAUTO", 0},         {"H\xC4UFSUMMPROZ", 1},     {"H\xC4UFEINZPROZ", 2},
        {"H\xC4UFVORGEBEN", 3},     {"g|n", 9.80665L},          {"c|o", 299792458},
        {"R|g", 8314.46261815324L}, {"V|m", 22.4139695450141377350L},           {"Euro", 1.95583L},
    };
    for (int nr = 1; nr <= 15; ++nr) {
        EXPECT_EQ(t.Name(nr), erwartet[nr - 1].name) << nr;
        EXPECT_EQ(t.Wert(nr), erwartet[nr - 1].wert) << nr;
        EXPECT_EQ(BasisKonstante(erwartet[nr - 1].name), nr);
    }
    // Outside 1..Anzahl there is nothing.
    EXPECT_EQ(t.Name(0), "");
    EXPECT_EQ(t.Name(16), "");
    EXPECT_EQ(t.Wert(-3), 0);
    // Names are matched exactly.
    for (const char* kein : {"E", "~P", "pi", "", "euro", "g", "g|n "}) EXPECT_EQ(BasisKonstante(kein), 0) << kein;
}

TEST_F(KonstantenTest, TableHoldsHundredEntriesWithTwelveCharacterNames) {
    Konstantentabelle& t = Konstanten();
    EXPECT_TRUE(t.Anhaengen("abcdefghijklmnop", 4));
    EXPECT_EQ(t.Name(16), "abcdefghijkl");
    while (t.Anzahl() < KonstantenMax) ASSERT_TRUE(t.Anhaengen("x", 1));
    EXPECT_FALSE(t.Anhaengen("y", 2));
    EXPECT_EQ(t.Anzahl(), 100);
    EXPECT_EQ(t.Name(100), "x");
    // Only entries 1..15 are base constants, whatever the later ones are called.
    EXPECT_EQ(t.BasisKonstante("x"), 0);
    t.Leeren();
    EXPECT_EQ(t.Anzahl(), 0);
    EXPECT_EQ(BasisKonstante("e"), 0);
}

TEST_F(KonstantenTest, ListShowsOneLinePerConstantWithLeerAsBrackets) {
    KonstantenListe l;
    l.SetParameter(Konstanten());
    EXPECT_EQ(l.Zeilen(), BasisZeilen);
    EXPECT_EQ(KonstantenZeile("k", -0.5L), "k=-0,5");
    EXPECT_EQ(KonstantenZeile("k", 1E-30L), "k=1E-30");
}

TEST_F(KonstantenTest, ReadingALine) {
    const struct {
        const char* zeile;
        bool ok;
        const char* name;
        Extended wert;
    } faelle[] = {
        {"a=1,5", true, "a", 1.5L},
        {"a=50%", true, "a", 0.5L},
        {"x=1E5", true, "x", 1E5L},
        {"x=5  ", true, "x", 5},
        {"~a=2", true, "~a", 2},
        {"H\xC4UF=-1", true, "H\xC4UF", -1},
        {"abcdefghijklmnop=3", true, "abcdefghijkl", 3},       // stored with 12 characters
        {"abcdefghijklmnopqrst=3", true, "abcdefghijkl", 3},   // 20 characters are read
        {"abcdefghijklmnopqrstu=3", false, "abcdefghijkl", Leerwert},
        {"LEER=[ ]", false, "LEER", Leerwert},
        {"a", false, "a", Leerwert},
        {"a 5", false, "a", Leerwert},
        {"a = 5", false, "a", Leerwert},
        {"x==5", false, "x", Leerwert},
        {"x=", false, "x", Leerwert},
        {"=5", false, "", Leerwert},
        {"", false, "", Leerwert},
    };
    for (const auto& f : faelle) {
        std::string name = "?";
        Extended wert = -7;
        EXPECT_EQ(KonstantenZeileLesen(f.zeile, name, wert), f.ok) << f.zeile;
        EXPECT_EQ(name, f.name) << f.zeile;
        EXPECT_EQ(wert, f.wert) << f.zeile;
    }
}

TEST_F(KonstantenTest, BaseConstantTestUsesTheTextBeforeTheFirstEquals) {
    const struct {
        const char* text;
        bool basis;
    } faelle[] = {
        {"e=5", true}, {"e", true}, {"~p=3", true}, {"Euro=2=3", true}, {"LEER=[ ]", true},
        {"E=5", false}, {"ee=1", false}, {"e =5", false}, {"", false}, {"=e", false},
    };
    for (const auto& f : faelle) EXPECT_EQ(IstBasisKonstantenText(f.text), f.basis) << f.text;
}

TEST_F(KonstantenTest, NewConstantIsCheckedThenAppended) {
    KonstantenListe l;
    l.SetParameter(Konstanten());
    EXPECT_EQ(l.Aufnehmen("k|B=1,380649E-23"), KonstantenFehler::Keiner);
    EXPECT_EQ(l.Anzahl(), 16);
    EXPECT_EQ(l.Zeilen().back(), "k|B=1,380649E-23");  // as typed

    const struct {
        const char* text;
        KonstantenFehler fehler;
    } abgelehnt[] = {
        {"x5", KonstantenFehler::FehlerhafterWert},
        {"x=abc", KonstantenFehler::FehlerhafterWert},
        {"=5", KonstantenFehler::FehlerhafterWert},
        {"e=3", KonstantenFehler::Basiskonstante},
        {"LEER=0", KonstantenFehler::Basiskonstante},
        {"g|n=9,81", KonstantenFehler::Basiskonstante},
    };
    for (const auto& f : abgelehnt) {
        EXPECT_EQ(l.Aufnehmen(f.text), f.fehler) << f.text;
        EXPECT_EQ(l.Anzahl(), 16) << f.text;
    }

    // A name already listed is replaced, wherever it stands.
    EXPECT_EQ(l.Aufnehmen("a=1"), KonstantenFehler::Keiner);
    EXPECT_EQ(l.Aufnehmen("b=2"), KonstantenFehler::Keiner);
    EXPECT_EQ(l.Aufnehmen("a=3"), KonstantenFehler::Keiner);
    ASSERT_EQ(l.Anzahl(), 18);
    EXPECT_EQ(l.Zeilen()[16], "b=2");
    EXPECT_EQ(l.Zeilen()[17], "a=3");

    // At 100 lines nothing more is taken.
    while (l.Anzahl() < KonstantenMax)
        ASSERT_EQ(l.Aufnehmen("n" + std::to_string(l.Anzahl()) + "=1"), KonstantenFehler::Keiner);
    EXPECT_EQ(l.Aufnehmen("z=1"), KonstantenFehler::ZuViele);
    EXPECT_EQ(l.Anzahl(), 100);
}

TEST_F(KonstantenTest, DeletingAndTakingOver) {
    KonstantenListe l;
    l.SetParameter(Konstanten());
    ASSERT_EQ(l.Aufnehmen("q=7"), KonstantenFehler::Keiner);

    // Base constants stay, whether the edit text or the line itself names one.
    EXPECT_EQ(l.Loeschen(0, "e=2,718281828"), KonstantenFehler::Basiskonstante);
    EXPECT_EQ(l.Loeschen(0, "q=7"), KonstantenFehler::Basiskonstante);
    EXPECT_EQ(l.Loeschen(15, "e=1"), KonstantenFehler::Basiskonstante);
    EXPECT_EQ(l.Anzahl(), 16);
    // No selected line: nothing happens.
    EXPECT_EQ(l.Loeschen(-1, "q=7"), KonstantenFehler::Keiner);
    EXPECT_EQ(l.Loeschen(16, "q=7"), KonstantenFehler::Keiner);
    EXPECT_EQ(l.Anzahl(), 16);

    EXPECT_EQ(l.Uebernehmen(10), "g|n");  // handed over as g, | and n
    EXPECT_EQ(l.Uebernehmen(15), "q");
    EXPECT_EQ(l.Uebernehmen(16), "");
    EXPECT_EQ(l.Uebernehmen(-1), "");

    EXPECT_EQ(l.Loeschen(15, "q=7"), KonstantenFehler::Keiner);
    EXPECT_EQ(l.Zeilen(), BasisZeilen);
}

TEST_F(KonstantenTest, ClosingWritesEveryLineBack) {
    KonstantenListe l;
    l.SetParameter(Konstanten());
    ASSERT_EQ(l.Aufnehmen("sehrlangername=1,5"), KonstantenFehler::Keiner);
    ASSERT_EQ(l.Aufnehmen("h=6,62607015E-34"), KonstantenFehler::Keiner);
    Konstantentabelle& t = Konstanten();
    l.Zurueckschreiben(t);
    ASSERT_EQ(t.Anzahl(), 17);
    // The base constants come back unchanged, LEER through its unreadable value.
    for (int nr = 1; nr <= 15; ++nr) {
        EXPECT_EQ(t.Name(nr), BasisKonstanten[static_cast<std::size_t>(nr - 1)].Name) << nr;
        EXPECT_EQ(t.Wert(nr), BasisKonstanten[static_cast<std::size_t>(nr - 1)].Wert) << nr;
    }
    EXPECT_EQ(t.Wert(6), 1E200L);
    EXPECT_EQ(t.Name(16), "sehrlangerna");
    EXPECT_EQ(t.Wert(16), 1.5L);
    EXPECT_EQ(t.Wert(17), 6.62607015E-34L);

    // Reopened, the list shows the stored form.
    KonstantenListe wieder;
    wieder.SetParameter(t);
    EXPECT_EQ(wieder.Zeilen()[15], "sehrlangerna=1,5");
    EXPECT_EQ(wieder.Zeilen()[16], "h=6,62607015E-34");

    // After deleting the user constants exactly the base lines remain.
    ASSERT_EQ(wieder.Loeschen(16, "h=6,62607015E-34"), KonstantenFehler::Keiner);
    ASSERT_EQ(wieder.Loeschen(15, "sehrlangerna=1,5"), KonstantenFehler::Keiner);
    wieder.Zurueckschreiben(t);
    EXPECT_EQ(t.Anzahl(), 15);
    KonstantenListe basis;
    basis.SetParameter(t);
    EXPECT_EQ(basis.Zeilen(), BasisZeilen);

    // An empty list leaves no constants at all.
    KonstantenListe leer;
    leer.Zurueckschreiben(t);
    EXPECT_EQ(t.Anzahl(), 0);
    EXPECT_EQ(BasisKonstante("~p"), 0);
}

TEST_F(KonstantenTest, MessagesAreWindows1252) {
    EXPECT_STREQ(KonstantenMeldung(KonstantenFehler::ZuViele), "Zu viele Konstante");
    EXPECT_STREQ(KonstantenMeldung(KonstantenFehler::FehlerhafterWert), "Fehlerhafter Wert");
    EXPECT_EQ(Cp1252ToUtf8(KonstantenMeldung(KonstantenFehler::Basiskonstante)),
              "Basiskonstanten k\xC3\xB6nnen nicht ge\xC3\xA4ndert werden");
    EXPECT_STREQ(KonstantenMeldung(KonstantenFehler::Keiner), "");
}
