#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/eval/Berechnung.h"
#include "core/eval/Tabellenformel.h"

using namespace kd;

namespace {

MerkListe LeereMerkliste() {
    MerkListe m;
    m.fill(Undefiniert);
    return m;
}

// Answers the input mask from a table of values and remembers what it was asked.
struct Maske {
    std::map<std::string, Extended> werte;
    std::vector<std::string> gefragt;
    std::vector<Extended> vorbelegt;
    bool abbrechen = false;
    bool operator()(Bezeichnerliste& l) {
        for (int i = 0; i < l.Count(); ++i) {
            gefragt.push_back(l[i]->Name);
            vorbelegt.push_back(l[i]->GetWert());
            auto it = werte.find(l[i]->Name);
            if (it != werte.end()) l[i]->SetWert(it->second);
        }
        return !abbrechen;
    }
};

} // namespace

TEST(Berechnung, ResultTextsOfTheComputeFlow) {
    struct Fall {
        const char* text;
        bool markiert;
        std::map<std::string, Extended> werte;
        std::vector<std::string> gefragt;
        Berechnungsergebnis::Art art;
        const char* meldung;
    };
    using A = Berechnungsergebnis::Art;
    const Fall faelle[] = {
        {"y=2+3", false, {}, {}, A::Ergebnis, "Ergebnis=5"},
        {"y=a*b", false, {{"a", 2}, {"b", 3}}, {"a", "b"}, A::Ergebnis, "Ergebnis: f( 2; 3 )=6"},
        {"y=a/2", false, {{"a", 5}}, {"a"}, A::Ergebnis, "Ergebnis: f( 5 )=2,5"},
        {"A=INTEGRAL(x=0;b;x*dx)", false, {{"b", 2}}, {"b"}, A::Ergebnis, "Ergebnis: f( 2 )=2"},
        // A named start: the first pass of the body already sees its value.
        {"A=INTEGRAL(x=a;b;x^2*dx)", false, {{"a", 1}, {"b", 2}}, {"a", "b"}, A::Ergebnis,
         "Ergebnis: f( 1; 2 )=2,333"},
        {"s=SUMME(k=m;n;k)", false, {{"m", 3}, {"n", 5}}, {"m", "n"}, A::Ergebnis,
         "Ergebnis: f( 3; 5 )=12"},
        {"y=a*b;", true, {{"a", 4}, {"b", 5}}, {"a", "b"}, A::Ergebnis, "Ergebnis: f( 4; 5 )=20"},
        {"y=1/a", false, {{"a", 0}}, {"a"}, A::Rechenfehler, "Division durch 0, oder \xDC" "berlauf"},
        {"y=x[m]", false, {}, {}, A::Abgelehnt, "Berechnung hier nicht m\xF6" "glich"},
        {"y=(a", false, {}, {}, A::Abgelehnt, "Fehler in Formel, oder Markierung falsch"},
        {"y=a;z=b", false, {}, {}, A::Markieren, nullptr},
    };
    for (const auto& f : faelle) {
        MerkListe merk = LeereMerkliste();
        Maske maske;
        maske.werte = f.werte;
        const Berechnungsergebnis e =
            FormelBerechnen(f.text, f.markiert, merk, std::ref(maske));
        EXPECT_EQ(e.art, f.art) << f.text;
        if (f.meldung) {
            EXPECT_EQ(e.Meldung, f.meldung) << f.text;
        }
        EXPECT_EQ(maske.gefragt, f.gefragt) << f.text;
    }
}

TEST(Berechnung, SeveralSubFormulasAskForAMarking) {
    MerkListe merk = LeereMerkliste();
    const auto e = FormelBerechnen("y=SUMME(i=1;3;i):z=2", false, merk, nullptr);
    ASSERT_EQ(e.art, Berechnungsergebnis::Art::Markieren);
    EXPECT_EQ(e.MarkStart, 1);
    EXPECT_EQ(e.MarkEnde, 16);
    EXPECT_NE(e.Meldung.find("mehreren Teilformeln.\n\rBitte markieren"), std::string::npos);
    EXPECT_EQ(Teilformel("y=SUMME(i=1;3;i):z=2", 2), "z=2");
    EXPECT_EQ(Teilformel("y=SUMME(i=1;3;i):z=2", 3), "");
}

TEST(Berechnung, RememberedValuesArePresetAndStored) {
    MerkListe merk = LeereMerkliste();
    merk[0] = 7;
    Maske maske;
    maske.werte = {{"b", 3}};
    auto e = FormelBerechnen("y=a*b", false, merk, std::ref(maske));
    ASSERT_EQ(e.art, Berechnungsergebnis::Art::Ergebnis);
    EXPECT_EQ(e.Meldung, "Ergebnis: f( 7; 3 )=21");
    ASSERT_EQ(maske.vorbelegt.size(), 2u);
    EXPECT_EQ(maske.vorbelegt[0], 7);
    EXPECT_EQ(maske.vorbelegt[1], Undefiniert);  // shown empty
    EXPECT_EQ(merk[0], 7);
    EXPECT_EQ(merk[1], 3);

    // Cancelling the mask shows nothing and stores nothing.
    Maske ab;
    ab.abbrechen = true;
    e = FormelBerechnen("y=c+d", false, merk, std::ref(ab));
    EXPECT_EQ(e.art, Berechnungsergebnis::Art::Abgebrochen);
    EXPECT_EQ(merk[1], 3);

    // A value never typed stops with the evaluator's message.
    merk = LeereMerkliste();
    Maske leer;
    e = FormelBerechnen("y=q*2", false, merk, std::ref(leer));
    EXPECT_EQ(e.art, Berechnungsergebnis::Art::Rechenfehler);
    EXPECT_EQ(e.Meldung, "Undefinierter Wert oder Bezeichner");

    // More variables than remembered slots are asked for, and nothing is stored past them.
    std::string t = "y=v1";
    Maske viele;
    for (int i = 1; i <= 13; ++i) {
        if (i > 1) t += "+v" + std::to_string(i);
        viele.werte["v" + std::to_string(i)] = 1;
    }
    merk = LeereMerkliste();
    e = FormelBerechnen(t, false, merk, std::ref(viele));
    EXPECT_EQ(viele.gefragt.size(), 13u);
    EXPECT_NE(e.Meldung.find(")=13"), std::string::npos) << e.Meldung;
}

TEST(Tabellenformel, Translation) {
    struct Fall {
        const char* text;
        const char* formel;
        std::size_t warnungen;
    };
    const Fall faelle[] = {
        {"y=SIN(x)+ABS(a)", "=Sin(x)+Abs(a)", 0},
        {"y=XSIN(x)", "=XSIN(x)", 0},
        {"y=XSIN(x)+SIN(x)", "=XSIN(x)+Sin(x)", 0},
        {"y=INT(x)", "=Abrunden(x;0)", 0},
        {"y=RUNDEN((a+b)*2)+1", "=Runden((a+b)*2;0)+1", 0},
        {"y=SIN(a)+SIN(b)+sin(c)", "=Sin(a)+Sin(b)+Sin(c)", 0},
        {"y=a*x^2{Parabel}", "=a*x^2", 0},
        {"y=a \"Fl\xE4" "che\"+b", "=a +b", 0},
        {"a+b", "=a+b", 0},
        {"y=SUMME(i=1;3;GAMMA(i))", "=SUMME(i=1;3;Gamma(i))", 2},
        // No cube or fourth root and no square function in the spreadsheet: powers.
        {"y=WURZEL3(x)*FAKULT\xC4T(n)", "=(x)^(1/3)*Fakult\xE4t(n)", 0},
        {"y=WURZEL4(a+(b))+QUADRAT(SIN(x))", "=(a+(b))^(1/4)+(Sin(x))^2", 0},
        {"y=WURZEL3(x", "=Wurzel3(x", 0},
        // Its random number takes no argument: scaled.
        {"y=ZUFALL(b+1)", "=Zufallszahl()*(b+1)", 0},
        // Decimal comma; pi and e as the spreadsheet's functions, not inside names.
        {"y=0.5*x+.25-1.5E-3+2,5", "=0,5*x+,25-1,5E-3+2,5", 0},
        {"U=2*~p*h+e^x", "=2*PI()*h+EXP(1)^x", 0},
        {"y=~p|0*r.5+be", "=~p|0*r.5+be", 0},
        // A cell link keeps its cell.
        {"y=x.B3+z!C2*2.5", "=x.B3+z!C2*2,5", 0},
        // Names the spreadsheet reads as cells are warned about, once each.
        {"y=x|1+x|1*A|12+x|max+abcd1", "=x|1+x|1*A|12+x|max+abcd1", 2},
        {"y=ATN(ASN(x))", "=ArcTan(ArcSin(x))", 0},
    };
    for (const auto& f : faelle) {
        const Tabellenformel t = InTabellenformel(f.text);
        EXPECT_EQ(t.Formel, f.formel) << f.text;
        EXPECT_EQ(t.Warnungen.size(), f.warnungen) << f.text;
    }
    const auto w = InTabellenformel("y=PRODUKT(i=1;3;i)+INTEGRAL(x=0;1;x*dx)");
    ASSERT_EQ(w.Warnungen.size(), 2u);
    const auto zelle = InTabellenformel("y=x|1");
    ASSERT_EQ(zelle.Warnungen.size(), 1u);
    EXPECT_EQ(zelle.Warnungen[0], "Der Name x1 wird von der Tabellenkalkulation als Zellbezug gelesen");
    EXPECT_EQ(w.Warnungen[0], "Produktfunktion l\xE4\xDFt sich nicht entsprechend umsetzten");
    EXPECT_EQ(w.Warnungen[1], "Integralfunktion l\xE4\xDFt sich nicht entsprechend umsetzten");
}

TEST(Berechnung, NegativeNumericEndBounds) {
    // A negative end given as a number is the end itself, not a reference to a variable.
    struct Fall {
        const char* text;
        const char* meldung;
    };
    const Fall faelle[] = {
        {"y=SUMME(i=-5;-1;i)", "Ergebnis: f(  )=-15"},
        {"y=PRODUKT(i=-3;-1;i)", "Ergebnis: f(  )=-6"},
        {"y=INTEGRAL(x=-2;-1;x*dx)", "Ergebnis: f(  )=-1,5"},
    };
    for (const auto& f : faelle) {
        MerkListe merk = LeereMerkliste();
        const auto e = FormelBerechnen(f.text, false, merk, nullptr);
        EXPECT_EQ(e.Meldung, f.meldung) << f.text;
    }
}
