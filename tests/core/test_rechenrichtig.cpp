// Right results or a clear refusal: cases that once gave a wrong value without a
// warning, refused an ordinary formula, or accepted a malformed one. Each table row
// failed before its mend. The expected values are worked out by hand (or by mpmath)
// from the mathematics, not taken from the program.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "core/constants/Konstanten.h"
#include "core/constants/KonstantenListe.h"
#include "core/eval/Auswertung.h"
#include "core/eval/Berechnung.h"
#include "core/eval/Funktionen.h"
#include "core/eval/Rechenfehler.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Zahlen.h"

using namespace kd;

namespace {

struct Maske {
    std::map<std::string, Extended> werte;
    std::vector<std::string> gefragt;
    bool operator()(Bezeichnerliste& l) {
        for (int i = 0; i < l.Count(); ++i) {
            gefragt.push_back(l[i]->Name);
            auto it = werte.find(l[i]->Name);
            if (it != werte.end()) l[i]->SetWert(it->second);
        }
        return true;
    }
};

struct Rechenfall {
    const char* text;
    std::map<std::string, Extended> werte;
    const char* meldung;  // the text of the result box
};

Berechnungsergebnis Rechne(const std::string& text, const std::map<std::string, Extended>& werte,
                           std::vector<std::string>* gefragt = nullptr, bool markiert = false) {
    MerkListe merk;
    merk.fill(Undefiniert);
    Maske m{werte, {}};
    Berechnungsergebnis e = FormelBerechnen(text, markiert, merk, std::ref(m));
    if (gefragt) *gefragt = m.gefragt;
    return e;
}

void PruefeMeldungen(const std::vector<Rechenfall>& faelle) {
    for (const auto& f : faelle) {
        const Berechnungsergebnis e = Rechne(f.text, f.werte);
        EXPECT_EQ(e.Meldung, f.meldung) << f.text;
    }
}

const char* const Ueberlauf = "Division durch 0, oder \xDC" "berlauf";

} // namespace

// ---- Neighbours of the mended cases that were right and must stay so ----------------------

TEST(RechenRichtig, DocumentedAndNeighbouringCasesStayRight) {
    PruefeMeldungen({
        {"y=SUMME(i=1;2;i)+SUMME(j=1;2;j)+SUMME(k=1;2;k)", {}, "Ergebnis: f(  )=9"},
        {"y=2*SUMME(i=1;3;i^2)+PRODUKT(j=1;4;j)", {}, "Ergebnis: f(  )=52"},
        {"y=SUMME(i=1;3;INTEGRAL(x=0;i;x*dx))", {}, "Ergebnis: f(  )=7"},
        // x^2/2 + x^3/3 + x^4/4 from 1 to 2.
        {"y=INTEGRAL(x=1;2;SUMME(k=1;3;x^k)*dx)", {}, "Ergebnis: f(  )=7,583"},
        {"y=INTEGRAL(x=0;1;x^2*dx)", {}, "Ergebnis: f(  )=0,333"},
        {"y=INTEGRAL(x=0;100;x*dx)", {}, "Ergebnis: f(  )=5000"},
        {"y=a*a*a*a*a", {{"a", 1E30L}}, Ueberlauf},
        {"y=COS(~p)", {}, "Ergebnis=-1"},
        {"y=x>=3", {{"x", 2}}, "Ergebnis: f( 2 )=0"},
        {"y=Summe+1", {{"Summe", 2}}, "Ergebnis: f( 2 )=3"},
    });
}

// ---- Silently wrong values ------------------------------------------------------------

TEST(RechenRichtig, ValuesThatWereSilentlyWrong) {
    PruefeMeldungen({
        // A named start: the loop variable has a value of its own.
        {"K=SUMME(j=m;n;R*q^(j-m))", {{"R", 100}, {"q", 1.05L}, {"m", 1}, {"n", 3}},
         "Ergebnis: f( 1; 3; 100; 1,05 )=315,25"},
        {"W=INTEGRAL(t=t0;t1;(t-t0)*dt)", {{"t0", 1}, {"t1", 3}}, "Ergebnis: f( 1; 3 )=2"},
        {"y=SUMME(i=a;5;i*a)", {{"a", 1}}, "Ergebnis: f( 1 )=15"},
        // ... and a named start that is the outer loop's variable: 11/6 + 3/2 + 1.
        {"y=SUMME(i=1;3;SUMME(k=i;3;1/(k-i+1)))", {}, "Ergebnis: f(  )=4,33333333"},
        // Loops in sequence, nested, and both.
        {"y=SUMME(i=1;4;i)+SUMME(j=1;4;SUMME(k=1;j;1))", {}, "Ergebnis: f(  )=20"},
        {"y=SUMME(a=1;2;a)*SUMME(b=1;2;SUMME(c=1;2;c))", {}, "Ergebnis: f(  )=18"},
        {"y=PRODUKT(a=1;3;a)+SUMME(b=1;2;PRODUKT(c=1;2;c))", {}, "Ergebnis: f(  )=10"},
        // Names longer than 20 characters stay two names.
        {"y=abcdefghijklmnopqrstX*abcdefghijklmnopqrstY",
         {{"abcdefghijklmnopqrstX", 2}, {"abcdefghijklmnopqrstY", 3}}, "Ergebnis: f( 2; 3 )=6"},
        // The echo shows the value computed with.
        {"y=a-12345678", {{"a", 12345678}}, "Ergebnis: f( 12345678 )=0"},
        // Small integrals and short ranges.
        {"y=INTEGRAL(x=0;0.01;x*dx)", {}, "Ergebnis: f(  )=0,00005"},
        {"y=INTEGRAL(x=0;b;1E8*dx)", {{"b", 1E-8L}}, "Ergebnis: f( 1E-8 )=1"},
        // 0! = 1, so the binomial coefficient with k = 0 is 1.
        {"y=FAKULT\xC4T(0)", {}, "Ergebnis=1"},
        {"y=FAKULT\xC4T(n)/(FAKULT\xC4T(k)*FAKULT\xC4T(n-k))", {{"n", 5}, {"k", 0}}, "Ergebnis: f( 5; 0 )=1"},
        // Gamma(4.5) = 3.5 * 2.5 * 1.5 * 0.5 * sqrt(pi) = 11.6317283966...
        {"y=GAMMA(4,5)", {}, "Ergebnis=11,6317284"},
        // No infinity as a result.
        {"y=PRODUKT(i=1;2000;i)", {}, Ueberlauf},
        // 0^-1 divides by 0; 0^0 is 1.
        {"y=0^(-1)", {}, Ueberlauf},
        {"y=0^0", {}, "Ergebnis=1"},
        {"y=SUMME(i=0;3;x^i)", {{"x", 0}}, "Ergebnis: f( 0 )=1"},
        // The arc functions at +-1 and pi at full precision.
        {"y=ACS(1)", {}, "Ergebnis=0"},
        {"y=2*ASN(x)", {{"x", 0.99999999995L}}, "Ergebnis: f( 0,99999999995 )=3,14157265"},
    });
    // Gamma rises through 20 and is exact to the digits shown.
    Rechenfehler = 0;
    EXPECT_LT(Gamma(19.999L), Gamma(20));
    EXPECT_LE(std::fabs(Gamma(4.5L) / 11.6317283965674489291L - 1), 1E-17L);
    EXPECT_LE(std::fabs(Gamma(0.5L) / 1.77245385090551602730L - 1), 1E-17L);
    EXPECT_EQ(Rechenfehler, 0);
}

// Loops in later sub-formulas, and starts that an earlier sub-formula assigns.
TEST(RechenRichtig, LoopsAcrossSubFormulas) {
    const struct {
        const char* text;
        Extended wert;
    } faelle[] = {
        {"a=1;y=SUMME(i=a;3;i*a)", 6},
        {"a=1;b=3;y=INTEGRAL(t=a;b;(t-a)*dt)", 2},
        {"z=1;y=SUMME(i=1;4;i)+SUMME(j=1;4;SUMME(k=1;j;1))", 20},
        {"y=SUMME(i=1;3;i);z=SUMME(a=1;2;a)*SUMME(b=1;2;SUMME(c=1;2;c))", 18},
        {"n=3;y=SUMME(i=1;n;SUMME(k=i;n;k-i))", 4},  // 3 + 1 + 0
        // A term ten brackets deeper than the loop falls among its body's steps.
        {"a=2;b=3;y=SUMME(i=1;2;i*i)+(((((((((((a*b)))))))))))", 11},
        {"a=2;b=3;y=SUMME(i=1;2;SUMME(j=1;i;i*j*j+j))+(((((((((((a*b+a)))))))))))", 23},
    };
    for (const auto& f : faelle) {
        TGleichung g;
        ASSERT_EQ(g.FormelLesen(f.text), 0) << f.text;
        int fehler = 0, pos = 0;
        const Extended v = Berechnen(g, true, fehler, pos);
        EXPECT_EQ(fehler, 0) << f.text;
        EXPECT_EQ(v, f.wert) << f.text;
    }
}

TEST(RechenRichtig, BaseConstantsCannotBeReplacedThroughALongName) {
    const struct {
        const char* neu;
        KonstantenFehler fehler;
    } faelle[] = {
        {"H\xC4UFSUMMPROZX=5", KonstantenFehler::Basiskonstante},  // cut to H\xC4UFSUMMPROZ
        {"H\xC4UFVORGEBEN12=5", KonstantenFehler::Basiskonstante},
        {"H\xC4UFSUMMPROZ=5", KonstantenFehler::Basiskonstante},
        {"H\xC4UFSUMMPRO=5", KonstantenFehler::Keiner},  // a name of its own
    };
    for (const auto& f : faelle) {
        KonstantenListe l;
        l.SetParameter(Konstanten());
        const std::vector<std::string> vorher = l.Zeilen();
        EXPECT_EQ(l.Aufnehmen(f.neu), f.fehler) << f.neu;
        // The base lines stay where they are, with their values.
        for (int i = 0; i < BasisKonstantenAnzahl; ++i) EXPECT_EQ(l.Zeilen()[std::size_t(i)], vorher[std::size_t(i)]) << f.neu;
        // Deleting with such a text in the edit line is refused as well.
        KonstantenListe m;
        m.SetParameter(Konstanten());
        ASSERT_EQ(m.Aufnehmen("abc=1"), KonstantenFehler::Keiner);
        EXPECT_EQ(m.Loeschen(BasisKonstantenAnzahl, f.neu), f.fehler) << f.neu;
    }
    // Closing the dialog keeps pi exact, though its line shows it rounded.
    KonstantenListe l;
    l.SetParameter(Konstanten());
    Konstantentabelle t;
    l.Zurueckschreiben(t);
    EXPECT_EQ(t.Wert(2), 3.14159265358979323846L);
}

// ---- Ordinary formulas that must compute ------------------------------------------------

TEST(RechenRichtig, OrdinaryFormulasCompute) {
    PruefeMeldungen({
        // A name followed by "=" somewhere else is no reason to drop a variable.
        {"F|g=m*g", {{"m", 2}, {"g", 9.81L}}, "Ergebnis: f( 2; 9,81 )=19,62"},
        {"A|b=b*h/2", {{"b", 2}, {"h", 3}}, "Ergebnis: f( 2; 3 )=3"},
        {"y=x==3", {{"x", 3}}, "Ergebnis: f( 3 )=1"},
        // Blanks before "=": y is the result, not an input.
        {"y = a * 2", {{"a", 4}}, "Ergebnis: f( 4 )=8"},
        // Blanks after a final number.
        {"y=2                ", {}, "Ergebnis=2"},
        // Names that hold a loop keyword, and ";" inside a comment.
        {"y=Summex+x", {{"Summex", 2}, {"x", 1}}, "Ergebnis: f( 2; 1 )=3"},
        {"y=x \"Einheit: m; s\"", {{"x", 2}}, "Ergebnis: f( 2 )=2"},
        // "%" inside a formula.
        {"y=x*50%+1", {{"x", 2}}, "Ergebnis: f( 2 )=2"},
        {"y=200%*x", {{"x", 3}}, "Ergebnis: f( 3 )=6"},
    });
    // Exactly the inputs are asked for.
    std::vector<std::string> gefragt;
    Rechne("y = a * 2", {{"a", 1}}, &gefragt);
    EXPECT_EQ(gefragt, std::vector<std::string>{"a"});
    Rechne("s=SUMME(k=1;n;k*dk)", {{"n", 2}, {"dk", 1}}, &gefragt);
    EXPECT_EQ(gefragt, (std::vector<std::string>{"n", "dk"}));  // a sum has no step name

    // Sub-formulas: only the keyword with "(" opens a loop; comments do not divide.
    const struct {
        const char* text;
        int nummer;
        const char* teil;
    } teile[] = {
        {"Summe=a+b;y=c*2", 2, "y=c*2"},
        {"Gesamtprodukt=a*b;y=c", 2, "y=c"},
        {"y=x \"Einheit: m; s\";z=2", 2, "z=2"},
        {"y=x \"Einheit: m; s\";z=2", 1, "y=x \"Einheit: m; s\""},
        {"U=R*I;R=100   ", 2, "R=100   "},
        {"y=50%;z=2", 1, "y=50%"},
        {"y=SUMME(i=1;3;i);z=2", 2, "z=2"},
    };
    for (const auto& t : teile) EXPECT_EQ(Teilformel(t.text, t.nummer), t.teil) << t.text;
    for (const char* markiert : {"R=100   ", "y=50%"}) {
        const Berechnungsergebnis e = Rechne(markiert, {}, nullptr, true);
        EXPECT_EQ(e.art, Berechnungsergebnis::Art::Ergebnis) << markiert << ": " << e.Meldung;
    }
}

// ---- Clear refusals ---------------------------------------------------------------------

TEST(RechenRichtig, MalformedTextsAreRefusedWithCodeAndPosition) {
    const struct {
        const char* text;
        int code, pos;
    } faelle[] = {
        {"=y=3", 9, 1},  {"=a+b", 9, 1},     {"-x=5", 8, 1},       {"^a=1", 8, 1},
        {"y=1E-5000", 13, 3}, {"y=1E5000", 13, 3}, {"y=-1E-5000*2", 13, 3},
    };
    for (bool sammeln : {false, true}) {
        for (const auto& f : faelle) {
            TGleichung::Optionen o;
            o.Sammelmodus = sammeln;
            TGleichung g(o);
            int pos = 0, ende = 0;
            EXPECT_EQ(g.FormelLesen(f.text, "", "", 0, pos, ende), f.code) << f.text;
            EXPECT_EQ(pos, f.pos) << f.text;
        }
    }
    // Still accepted: a sign before an expression without a left side, a zero number.
    for (const char* ok : {"-2*3", "y=0E-5000", "y=0,000"}) {
        TGleichung g;
        EXPECT_EQ(g.FormelLesen(ok), 0) << ok;
    }
}

TEST(RechenRichtig, LoopsThatRunTooLongSaySo) {
    const std::string zuViele = "Zu viele Schleifendurchl\xE4ufe";
    PruefeMeldungen({
        {"y=SUMME(i=1;n;i)", {{"n", 1E12L}}, zuViele.c_str()},
        {"y=SUMME(i=a;n;1)", {{"a", 1E30L}, {"n", 2E30L}}, zuViele.c_str()},  // stuck
    });
    EXPECT_STREQ(Rechenfehlertexte[RfDurchlaeufe], zuViele.c_str());
}

TEST(RechenRichtig, NumbersReadBackExactly) {
    for (Extended x : {12345678.0L, 38785091.3L, 0.1L, 0.333333333333333333L, -2.5E-7L, 6.02214076E23L, 1E-99L}) {
        int f = 0;
        EXPECT_EQ(TextZuZahl(ZahlTextExakt(x), f), x) << ZahlTextExakt(x);
        EXPECT_EQ(f, 0);
    }
    EXPECT_EQ(ZahlTextExakt(12345678), "12345678");
    EXPECT_EQ(ZahlTextExakt(2.5L), "2,5");
}
