// Evaluation: operators and functions with their limits, loops, table references,
// the entry points Berechnen / BerechneXZ, and the curve tabulation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/eval/Auswertung.h"
#include "core/eval/Funktionen.h"
#include "core/eval/Rechenfehler.h"
#include "core/eval/Tabellierung.h"
#include "core/matrix/MatrixObj.h"
#include "core/notation/Gleichung.h"

using namespace kd;

namespace {

constexpr Extended PiHalbe = 1.57079632679489661923132169163975144L;

// The same 80-bit value, sign of zero included.
bool GleicheBits(Extended a, Extended b) { return std::memcmp(&a, &b, 10) == 0; }

std::string Zeig(Extended v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.21Lg", v);
    return b;
}

struct Wertvorgabe {
    const char* Name;
    Extended Wert;
};

// A formula parsed in evaluating mode over a variable list and computed.
struct Rechnung {
    Bezeichnerliste liste;
    Matrixliste* matrizen = nullptr;
    std::unique_ptr<TGleichung> g;
    int parse = 0, fehler = 0, pos = 0;
    Extended wert = 0;

    explicit Rechnung(const std::string& text, std::vector<Wertvorgabe> werte = {}, bool strikt = true,
                      Matrixliste* m = nullptr, bool bedingung = false) {
        for (const auto& w : werte) {
            liste.Add(std::make_unique<TBezeichner>(w.Name));
            liste[liste.Count() - 1]->SetWert(w.Wert);
        }
        TGleichung::Optionen o;
        o.Bezeichner = &liste;
        o.Matrizen = m;
        o.Bedingungsmodus = bedingung;
        g = std::make_unique<TGleichung>(o);
        parse = g->FormelLesen(text);
        if (parse == 0) wert = Berechnen(*g, strikt, fehler, pos);
    }

    Extended Variable(const char* name) const {
        const int i = SucheBezeichner(liste, name);
        return i < 0 ? Undefiniert : liste[i]->GetWert();
    }
};

struct Wertfall {
    const char* text;
    Extended erwartet;
    Extended toleranz;  // relative; 0 = exact
    std::vector<Wertvorgabe> werte = {};
};

void PruefeWerte(const std::vector<Wertfall>& faelle) {
    for (const auto& f : faelle) {
        Rechnung r(f.text, f.werte);
        ASSERT_EQ(r.parse, 0) << f.text;
        EXPECT_EQ(r.fehler, 0) << f.text << " at " << r.pos;
        if (f.toleranz == 0) {
            EXPECT_EQ(r.wert, f.erwartet) << f.text << " = " << Zeig(r.wert);
        } else {
            EXPECT_LE(std::fabs(r.wert - f.erwartet), f.toleranz * std::fabs(f.erwartet))
                << f.text << " = " << Zeig(r.wert);
        }
    }
}

struct Fehlerfall {
    const char* text;
    int code;
    std::vector<Wertvorgabe> werte = {};
};

const std::string Ueberlauftext = "Division durch 0, oder \xDC" "berlauf";

} // namespace

// ---- Messages ---------------------------------------------------------------------

TEST(Auswertung, MessagesOfTheErrorCodes) {
    const char* erwartet[12] = {"",
                                "Division durch 0, oder \xDC" "berlauf",
                                "Unterlauf",
                                "Negative Wurzel",
                                "Negativer Wert",
                                "Argument > 1",
                                "Argument<=0 f\xFC" "r logarithmische Fkt.",
                                "Undefinierter Wert oder Bezeichner",
                                "Indize au\xDF" "erhalb zul\xE4ssigen Bereiches",
                                "Array- oder Matrix-Wert leer",
                                "Argument nicht ganzzahlig oder negativ",
                                "Startwert > Endwert"};
    for (int i = 0; i < 12; ++i) EXPECT_STREQ(Rechenfehlertexte[i], erwartet[i]) << i;
}

// ---- Operators and functions through the parser ---------------------------------------

TEST(Auswertung, ArithmeticComparisonsAndFunctions) {
    PruefeWerte({
        {"y=2+3*4", 14, 0},
        {"y=a-b-c", 5, 0, {{"a", 10}, {"b", 3}, {"c", 2}}},
        {"y=-x^2", -9, 0, {{"x", 3}}},
        {"y=2^10", 1024, 0},
        {"y=(-2)^3", -8, 0},
        {"y=(-2)^2", 4, 0},
        {"y=0^0", 1, 0},
        {"y=2^(-2)", 0.25L, 0},
        {"y=2^0.5", 1.41421356237309504880L, 1E-17L},
        {"y=ABS(-3)", 3, 0},
        {"y=WURZEL(16)", 4, 0},
        {"y=WURZEL3(27)", 3, 1E-17L},
        {"y=WURZEL4(16)", 2, 1E-17L},
        {"y=QUADRAT(3)", 9, 0},
        {"y=FAKULT\xC4T(5)", 120, 0},
        {"y=FAKULT\xC4T(1)", 1, 0},
        {"y=GAMMA(5)", 24, 1E-3L},
        {"y=GAMMA(0.5)", 1.77245385090551602730L, 1.5E-3L},
        {"y=LN(e)", 1, 1E-9L},
        {"y=LOG(1000)", 3, 1E-9L},
        {"y=SIN(0)", 0, 0},
        {"y=COS(0)", 1, 0},
        {"y=TAN(1)", std::tan(1.0L), 1E-18L},
        {"y=ATN(1)", PiHalbe / 2, 1E-18L},
        {"y=ASN(1)", PiHalbe, 0},
        {"y=ASN(-1)", -PiHalbe, 0},
        {"y=ASN(0.5)", PiHalbe / 3, 1E-18L},
        {"y=ACS(0)", 1.57079632679489661923L, 0},
        {"y=SINH(1)", 1.17520119364380145688L, 1E-18L},
        {"y=COSH(0)", 1, 0},
        {"y=TANH(300)", 1, 0},
        {"y=TANH(-300)", -1, 0},
        {"y=VORZEICHEN(0)", 1, 0},
        {"y=VORZEICHEN(-0.1)", -1, 0},
        {"y=RUNDEN(2.5)", 3, 0},
        {"y=RUNDEN(-2.5)", -3, 0},
        {"y=RUNDEN(2.4)", 2, 0},
        {"y=INT(-2.7)", -2, 0},
        {"y=INT(2.7)", 2, 0},
        {"y=3==3.000000001", 1, 0},
        {"y=3<>3.000000001", 0, 0},
        {"y=3<>3.0001", 1, 0},
        {"y=3>=3", 1, 0},
        {"y=2<=1", 0, 0},
        {"y=2>1", 1, 0},
        {"y=2<1", 0, 0},
        {"a=2;y=a*3", 6, 0},
    });
}

TEST(Auswertung, ErrorsWithCodeMessageAndPosition) {
    const std::vector<Fehlerfall> faelle = {
        {"y=1/0", 1},
        {"y=1E99*1E99", 1},
        {"y=10^200", 1},
        {"y=(-10)^201", 1},
        {"y=SINH(300)", 1},
        {"y=SINH(-300)", 2},
        {"y=COSH(-300)", 1},
        {"y=WURZEL(-1)", 3},
        {"y=(-8)^(1/3)", 4},
        {"y=WURZEL3(-8)", 4},
        {"y=WURZEL4(-16)", 4},
        {"y=ASN(1.5)", 5},
        {"y=ACS(-2)", 5},
        {"y=LN(0)", 6},
        {"y=LOG(-1)", 6},
        {"y=x+1", 7, {{"x", Undefiniert}}},
        {"y=FAKULT\xC4T(70)", 1},
        {"y=FAKULT\xC4T(2.5)", 10},
        {"y=FAKULT\xC4T(-1)", 10},
        {"y=GAMMA(40)", 1},
        // The poles of gamma are a division by zero, never a huge value.
        {"y=GAMMA(0)", 1},
        {"y=GAMMA(-3)", 1},
        {"y=GAMMA(x+1)", 1, {{"x", -1}}},
        {"y=SUMME(i=5;1;i)", 11},
    };
    for (const auto& f : faelle) {
        Rechnung r(f.text, f.werte);
        ASSERT_EQ(r.parse, 0) << f.text;
        EXPECT_EQ(r.fehler, f.code) << f.text;
        EXPECT_EQ(r.wert, Undefiniert) << f.text;
    }

    // The message and the position of the failing step: the division's step carries
    // the text position of its left operand.
    Rechnung r("y=1/0");
    ASSERT_EQ(r.fehler, 1);
    int teilung = 0;
    for (int k = 1; k < r.g->TermAnzahl; ++k)
        if (r.g->Schritte[k].Art == ArtGeteilt) teilung = k;
    ASSERT_GT(teilung, 0);
    EXPECT_EQ(r.pos, r.g->Schritte[teilung].TextPos);
    EXPECT_EQ(r.pos, 3);
    EXPECT_EQ(Rechenfehlertexte[r.fehler], Ueberlauftext);
    EXPECT_STREQ(Rechenfehlertexte[Rechnung("y=WURZEL3(-8)").fehler], "Negativer Wert");
    EXPECT_STREQ(Rechenfehlertexte[Rechnung("y=LN(0)").fehler], "Argument<=0 f\xFC" "r logarithmische Fkt.");
    EXPECT_STREQ(Rechenfehlertexte[Rechnung("y=ASN(1.5)").fehler], "Argument > 1");
    EXPECT_STREQ(Rechenfehlertexte[Rechnung("y=FAKULT\xC4T(2.5)").fehler],
                 "Argument nicht ganzzahlig oder negativ");
    EXPECT_STREQ(Rechenfehlertexte[Rechnung("y=a*2", {{"a", Undefiniert}}).fehler],
                 "Undefinierter Wert oder Bezeichner");
}

TEST(Auswertung, WithoutStriktAnOverflowGivesTheSubstituteValue) {
    const struct {
        const char* text;
        Extended wert;
    } faelle[] = {
        {"y=1/0", Ueberlaufwert},
        {"y=-1/0", -Ueberlaufwert},
        {"y=(0-1)/0", -Ueberlaufwert},
        {"y=1/0+1", Ueberlaufwert + 1},
        {"y=1E99*(-1E99)", -Ueberlaufwert},
        {"y=FAKULT\xC4T(70)", Ueberlaufwert},
        {"y=10^200", Ueberlaufwert},
        {"y=(-10)^200", -Ueberlaufwert},  // the sign of the base, not of the result
        {"y=GAMMA(35)", Ueberlaufwert},
        {"y=COSH(300)", Ueberlaufwert},
    };
    for (const auto& f : faelle) {
        Rechnung r(f.text, {}, false);
        ASSERT_EQ(r.parse, 0) << f.text;
        EXPECT_EQ(r.fehler, 0) << f.text;
        EXPECT_EQ(r.wert, f.wert) << f.text << " = " << Zeig(r.wert);
    }
    // Other codes stop the computation with or without Strikt.
    for (const char* t : {"y=LN(0)", "y=SINH(-300)", "y=WURZEL(-4)", "y=(-8)^0.5"}) {
        Rechnung r(t, {}, false);
        EXPECT_GT(r.fehler, 1) << t;
        EXPECT_EQ(r.wert, Undefiniert) << t;
    }
}

TEST(Auswertung, AssignmentsStoreIntoTheVariables) {
    Rechnung r("a=2;b=a+1;y=a*b");
    ASSERT_EQ(r.parse, 0);
    EXPECT_EQ(r.wert, 6);
    EXPECT_EQ(r.Variable("a"), 2);
    EXPECT_EQ(r.Variable("b"), 3);
    EXPECT_EQ(r.Variable("y"), 6);

    // Leerwert is stored as 0; the result itself keeps it.
    Rechnung l("y=LEER");
    ASSERT_EQ(l.parse, 0);
    EXPECT_EQ(l.wert, Leerwert);
    EXPECT_EQ(l.Variable("y"), 0);

    // Without a left side the whole expression is the result.
    Rechnung o("2*x+1", {{"x", 4}});
    ASSERT_EQ(o.parse, 0);
    EXPECT_EQ(o.wert, 9);
}

TEST(Auswertung, ConnectivesTakeOnlyOneAsTrue) {
    const struct {
        const char* text;
        Extended wert;
    } faelle[] = {
        {"a==1;und;b==1", 1}, {"a==1;und;b==2", 0}, {"a==2;oder;b==1", 1},
        {"a==2;oder;b==2", 0}, {"a==1;xoder;b==1", 0}, {"a==1;xoder;b==2", 1},
    };
    for (const auto& f : faelle) {
        Rechnung r(f.text, {{"a", 1}, {"b", 1}}, true, nullptr, true);
        ASSERT_EQ(r.parse, 0) << f.text;
        EXPECT_EQ(r.fehler, 0) << f.text;
        EXPECT_EQ(r.wert, f.wert) << f.text;
    }
}

// ---- Steps filled by hand ----------------------------------------------------------

TEST(Auswertung, StepsFilledByHand) {
    TGleichung g;
    // 2 * 3 + 4 with the product first.
    g.Terme[1].Wert = 2;
    g.Terme[2].Wert = 3;
    g.Terme[3].Wert = 4;
    g.TermAnzahl = 3;
    g.Schritte[1] = Schritt{1, 2, ArtMal, 1};
    g.Schritte[2] = Schritt{1, 3, ArtPlus, 1};
    int fehler = -1, pos = -1;
    EXPECT_EQ(Berechnen(g, true, fehler, pos), 10);
    EXPECT_EQ(fehler, 0);

    // Auswerten alone works on the Rechenwert as it stands.
    g.Terme[1].Rechenwert = 5;
    g.Terme[2].Rechenwert = 3;
    g.Terme[3].Rechenwert = 4;
    EXPECT_EQ(Auswerten(g, true, fehler, pos), 19);

    // Connectives: 1 xoder 0, then und 1.
    g.Terme[1].Wert = 1;
    g.Terme[2].Wert = 0;
    g.Terme[3].Wert = 1;
    g.Schritte[1] = Schritt{1, 2, ArtXoder, 1};
    g.Schritte[2] = Schritt{1, 3, ArtUnd, 1};
    EXPECT_EQ(Berechnen(g, true, fehler, pos), 1);
    g.Terme[1].Wert = 0.5L;  // only exactly 1 is true
    EXPECT_EQ(Berechnen(g, true, fehler, pos), 0);

    // A failing step reports its own TextPos.
    g.Terme[1].Wert = 7;
    g.Terme[2].Wert = 0;
    g.Schritte[1] = Schritt{1, 2, ArtGeteilt, 42};
    g.Schritte[2] = Schritt{1, 3, ArtPlus, 44};
    EXPECT_EQ(Berechnen(g, true, fehler, pos), Undefiniert);
    EXPECT_EQ(fehler, 1);
    EXPECT_EQ(pos, 42);

    // One term: its value; no steps are walked.
    g.TermAnzahl = 1;
    g.Terme[1].Wert = 3.5L;
    EXPECT_EQ(Berechnen(g, true, fehler, pos), 3.5L);
    EXPECT_EQ(fehler, 0);

    // Steps naming terms outside 1..80 (never made by the parser) are refused.
    g.TermAnzahl = 2;
    g.Schritte[1] = Schritt{1, 81, ArtPlus, 1};
    EXPECT_EQ(Berechnen(g, true, fehler, pos), Undefiniert);
    EXPECT_EQ(fehler, 7);
}

// ---- Sums, products, integrals ---------------------------------------------------------

TEST(Schleifen, SumsProductsAndIntegrals) {
    PruefeWerte({
        {"y=SUMME(i=1;10;i)", 55, 0},
        {"y=PRODUKT(i=1;5;i)", 120, 0},
        {"y=SUMME(i=1;10;i^2)", 385, 0},
        {"y=SUMME(i=1;1;i)", 1, 0},
        {"y=SUMME(i=1;3;5)", 15, 0},
        {"y=SUMME(i=1;2.5;i)", 6, 0},  // runs up to the first i with i + 1E-10 >= end
        {"y=2*SUMME(i=1;4;i)+1", 21, 0},
        {"y=SUMME(i=1;n;i)", 10, 0, {{"n", 4}}},
        {"y=SUMME(i=a;n;i)", 9, 0, {{"a", 2}, {"n", 4}}},
        {"y=INTEGRAL(x=0;1;x^2*dx)", 0.333L, 0},
        {"y=INTEGRAL(x=0;2;x*dx)", 2, 0},
        {"y=INTEGRAL(x=0;100;x*dx)", 5000, 0},
        {"y=INTEGRAL(x=0;3;x^2*dx)", 9, 0},
        {"y=INTEGRAL(x=1;1;x*dx)", 0, 0},
        {"y=INTEGRAL(t=0;~p;SIN(t)*dt)", 2, 0},
        {"y=INTEGRAL(x=0;b;x*dx)", 8, 0, {{"b", 4}}},
        {"a=2;y=SUMME(i=1;3;i*a)", 12, 0},
        {"a=SUMME(i=1;3;i);y=a+SUMME(j=1;2;j)", 9, 0},
    });
}

TEST(Schleifen, SumsSideBySideAndNested) {
    PruefeWerte({
        {"y=SUMME(i=1;3;i)+SUMME(j=1;4;j)", 16, 0},
        {"y=SUMME(i=1;3;i)*PRODUKT(j=1;4;j)", 144, 0},
        {"y=SUMME(i=1;2;i)+SUMME(j=1;3;j)+SUMME(k=1;4;k)", 19, 0},
        {"y=INTEGRAL(x=0;1;x*dx)+SUMME(j=1;3;j)", 6.5L, 0},
        {"y=SUMME(i=1;3;SUMME(k=1;i;k))", 10, 0},
        {"y=SUMME(i=1;3;i*SUMME(k=1;2;k))", 18, 0},
        {"y=PRODUKT(i=1;3;SUMME(k=1;i;1))", 6, 0},
        {"y=SUMME(i=1;2;INTEGRAL(x=0;i;x*dx))", 2.5L, 0},
    });
}

TEST(Schleifen, LoopVariableIsSetBackToItsStart) {
    Rechnung r("y=SUMME(i=3;10;i)");
    ASSERT_EQ(r.parse, 0);
    EXPECT_EQ(r.wert, 52);
    EXPECT_EQ(r.Variable("i"), 3);
    Rechnung q("y=INTEGRAL(x=0;2;x*dx)");
    ASSERT_EQ(q.parse, 0);
    EXPECT_EQ(q.Variable("x"), 0);
    EXPECT_EQ(q.Variable("dx"), 2.0L / 10000);
    // Computing again gives the same.
    int f = 0, p = 0;
    EXPECT_EQ(Berechnen(*r.g, true, f, p), 52);
    EXPECT_EQ(Berechnen(*q.g, true, f, p), 2);
}

TEST(Schleifen, BoundsThatCannotBeRun) {
    const std::vector<Fehlerfall> faelle = {
        {"y=SUMME(i=5;1;i)", 11},
        {"y=SUMME(i=a;n;i)", 11, {{"a", 5}, {"n", 4}}},
        {"y=INTEGRAL(x=2;1;x*dx)", 11},
        {"y=SUMME(i=1;n;i)", 7, {{"n", Undefiniert}}},
    };
    for (const auto& f : faelle) {
        Rechnung r(f.text, f.werte);
        ASSERT_EQ(r.parse, 0) << f.text;
        EXPECT_EQ(r.fehler, f.code) << f.text;
        EXPECT_STREQ(Rechenfehlertexte[r.fehler], f.code == 11 ? "Startwert > Endwert"
                                                                : "Undefinierter Wert oder Bezeichner");
    }
    // A loop variable that no longer grows cannot reach its end: too many passes, in
    // a curve table as well.
    Rechnung r("y=SUMME(i=a;n;1)", {{"a", 1E30L}, {"n", 2E30L}});
    ASSERT_EQ(r.parse, 0);
    EXPECT_EQ(r.fehler, RfDurchlaeufe);
    Rechnung t("y=SUMME(i=a;n;1)", {{"a", 1E30L}, {"n", 2E30L}}, false);
    EXPECT_EQ(t.fehler, RfDurchlaeufe);
}

// ---- The numeric functions directly --------------------------------------------------

TEST(Rechenfunktionen, PotenzLimitsAndWholeExponents) {
    const struct {
        Extended x, y, wert;
        int fehler;
    } faelle[] = {
        {0, -1, Ueberlaufwert, 1},  // a division by 0
        {0, 0, 1, 0},
        {0, 2.5L, 0, 0},
        {2, 3, 8, 0},
        {-2, 3, -8, 0},
        {-2, 2, 4, 0},
        {-2, -1, -0.5L, 0},
        {-8, 1.0L / 3, 0, 4},
        {-1, 0.99999999995L, -1, 0},  // a fraction this close to 1 counts as whole
        {10, 100, Ueberlaufwert, 1},  // t = 230.2585... > 230.258
        {10, 99.5L, 3.16227766016837933200E99L, 0},
        {10, 100.5L, Ueberlaufwert, 1},
        {-10, 100.5L, -Ueberlaufwert, 1},  // the bound is tested before the fraction
        {10, -98, 1E-98L, 0},
        {10, -99, 0, 0},  // t < -225.654: 0 without an error
        {-10, -99.5L, 0, 0},
        {1E50L, 2, Ueberlaufwert, 1},
        {-1E50L, 2, -Ueberlaufwert, 1},
        {-1E50L, 3, -Ueberlaufwert, 1},
    };
    for (const auto& f : faelle) {
        Rechenfehler = 99;
        const Extended v = Potenz(f.x, f.y);
        EXPECT_EQ(Rechenfehler, f.fehler) << Zeig(f.x) << "^" << Zeig(f.y);
        if (f.fehler != 4) {
            EXPECT_LE(std::fabs(v - f.wert), 1E-17L * std::fabs(f.wert)) << Zeig(v);
        }
    }
}

TEST(Rechenfunktionen, WholeExponentsDecideLikeTheGeneralFormula) {
    // Near the bounds of t the whole-exponent path takes the same decision as
    // y * ln|x| compared with 230.258 and -225.654.
    for (int y : {2, 3, -2, 5, 64, -64}) {
        for (Extended grenze : {230.258L, -225.654L}) {
            const Extended x0 = std::exp(grenze / y);
            for (int d = -10; d <= 10; ++d) {
                const Extended x = x0 * (1 + d * 1E-16L);
                const Extended t = y * std::log(x);
                const Extended v = Potenz(x, y);
                if (t > 230.258L) {
                    EXPECT_EQ(Rechenfehler, 1) << y << " " << Zeig(x);
                } else if (t < -225.654L) {
                    EXPECT_EQ(v, 0) << y << " " << Zeig(x);
                } else {
                    EXPECT_EQ(Rechenfehler, 0) << y << " " << Zeig(x);
                    EXPECT_LE(std::fabs(v - std::exp(t)), 1E-16L * v) << y << " " << Zeig(x);
                }
            }
        }
    }
    // Away from the bounds both agree to the last digits.
    for (Extended x : {0.001L, 0.37L, 1.5L, 7.25L, 123.0L, 98765.4321L})
        for (int y = -12; y <= 12; ++y) {
            const Extended v = Potenz(x, y);
            EXPECT_LE(std::fabs(v - std::exp(y * std::log(x))), 1E-16L * v) << Zeig(x) << "^" << y;
        }
}

TEST(Rechenfunktionen, GammaAndFactorial) {
    const struct {
        Extended x, wert, toleranz;
    } gamma[] = {
        {1, 1, 1E-6L},
        {2, 1, 1E-6L},
        {5, 24, 1E-3L},
        // Euler's limit stops at n = 110 for these: about 1.1E-3 relative.
        {0.5L, 1.7724538509055160273L, 1.5E-3L},
        {4.5L, 11.631728396567448929L, 1.5E-3L},
        {20, 1.21645100408832E17L, 5E-3L},  // Stirling from 20 on
        {30.5L, 4.8226969334909086010E31L, 5E-3L},
        {-0.5L, -3.5449077018110320546L, 1.5E-3L},
        {-2.5L, -0.9453087204829418812L, 1.5E-3L},
        {1E-10L, 1E10L, 1E-6L},
    };
    for (const auto& f : gamma) {
        Rechenfehler = 0;
        const Extended v = Gamma(f.x);
        EXPECT_EQ(Rechenfehler, 0) << Zeig(f.x);
        EXPECT_LE(std::fabs(v - f.wert), f.toleranz * std::fabs(f.wert)) << Zeig(f.x) << " " << Zeig(v);
    }
    for (const Extended pol : {0.0L, -7.0L, -1E30L}) {
        Rechenfehler = 0;
        EXPECT_EQ(std::fabs(Gamma(pol)), Ueberlaufwert) << Zeig(pol);
        EXPECT_EQ(Rechenfehler, 1) << Zeig(pol);
    }
    Rechenfehler = 0;
    EXPECT_EQ(Gamma(35), Ueberlaufwert);
    EXPECT_EQ(Rechenfehler, 1);
    // Arguments far outside the usual range end as well.
    Rechenfehler = 0;
    EXPECT_EQ(Gamma(-5000.5L), 0);
    EXPECT_NEAR(static_cast<double>(Gamma(1 + 1E-12L)), 1.0, 1E-3);
    EXPECT_NEAR(static_cast<double>(Gamma(2 + 1E-12L)), 1.0, 1E-3);
    EXPECT_NEAR(static_cast<double>(Gamma(-1E-12L)), -1E12, 1E6);
    EXPECT_TRUE(std::isnan(Gamma(NAN)));
    EXPECT_EQ(Rechenfehler, 0);

    Rechenfehler = 0;
    EXPECT_EQ(Fakultaet(6), 720);
    EXPECT_EQ(Fakultaet(1), 1);
    EXPECT_EQ(Fakultaet(0), 1);
    EXPECT_EQ(Fakultaet(4.99999999999L), 120);
    EXPECT_LE(std::fabs(Fakultaet(69) / std::tgamma(70.0L) - 1), 1E-17L);
    EXPECT_EQ(Rechenfehler, 0);
    EXPECT_EQ(Fakultaet(70), Ueberlaufwert);
    EXPECT_EQ(Rechenfehler, 1);
    for (Extended x : {-1.0L, 2.5L, -0.5L, static_cast<Extended>(NAN)}) {
        Rechenfehler = 0;
        Fakultaet(x);
        EXPECT_EQ(Rechenfehler, 10) << Zeig(x);
    }
}

TEST(Rechenfunktionen, CircularHyperbolicAndRounding) {
    Rechenfehler = 0;
    const Extended gross = 9223372036854775808.0L;  // 2^63
    EXPECT_EQ(Sinus(gross), 0);
    EXPECT_EQ(Kosinus(-gross), 0);
    EXPECT_EQ(Sinus(gross / 2), std::sin(gross / 2));
    EXPECT_EQ(Sinus(1), std::sin(1.0L));
    EXPECT_EQ(Kosinus(1), std::cos(1.0L));
    EXPECT_EQ(SinHyp(227.9L), (std::exp(227.9L) - std::exp(-227.9L)) / 2);
    EXPECT_EQ(CosHyp(-227.9L), (std::exp(-227.9L) + std::exp(227.9L)) / 2);
    EXPECT_EQ(TanHyp(227.9L), 1);
    EXPECT_EQ(Rechenfehler, 0);
    EXPECT_EQ(SinHyp(228), Ueberlaufwert);
    EXPECT_EQ(Rechenfehler, 1);
    EXPECT_EQ(SinHyp(-228), -Ueberlaufwert);
    EXPECT_EQ(Rechenfehler, 2);

    // The arc functions are exact up to +-1.
    Rechenfehler = 0;
    EXPECT_EQ(ArcSin(0.99999999995L), std::asin(0.99999999995L));
    EXPECT_EQ(ArcCos(1), 0);
    EXPECT_EQ(ArcCos(0.5L), std::acos(0.5L));
    EXPECT_EQ(Rechenfehler, 0);
    EXPECT_EQ(ArcCos(1.5L), 0);
    EXPECT_EQ(Rechenfehler, 5);

    Rechenfehler = 0;
    EXPECT_EQ(Log(100), 2);
    EXPECT_EQ(Log(1000), 3);
    EXPECT_EQ(Abrunden(2.99999999995L), 3);  // the 1E-10 allowance
    EXPECT_EQ(Abrunden(-2.99999999995L), -3);
    EXPECT_EQ(Abrunden(-2.7L), -2);
    EXPECT_EQ(Runden(0.5L), 1);
    EXPECT_EQ(Runden(-0.5L), -1);
    EXPECT_EQ(Runden(0.49999999998L), 0);
    EXPECT_EQ(Vorzeichen(-0.0L), 1);
    EXPECT_EQ(Tangens(0), 0);
    EXPECT_EQ(Rechenfehler, 0);
}

TEST(Rechenfunktionen, ZufallRepeatsItsSequenceAfterAReset) {
    ZufallZuruecksetzen();
    std::vector<Extended> erste;
    for (int i = 0; i < 20; ++i) erste.push_back(Zufall(1));
    // s := frac((s + pi)^5), computed as e^(5 ln(s + pi)), from s = 4.
    const Extended w = std::exp(5 * std::log(4.0L + 3.14159265358979323846264338327950288L));
    EXPECT_EQ(erste[0], w - std::trunc(w));
    for (Extended v : erste) {
        EXPECT_GE(v, 0);
        EXPECT_LT(v, 1);
    }
    EXPECT_NE(erste[0], erste[1]);

    ZufallZuruecksetzen();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Zufall(1), erste[std::size_t(i)]) << i;
    ZufallZuruecksetzen();
    EXPECT_EQ(Zufall(10), erste[0] * 10);

    // Through a formula: the same sequence times the argument.
    ZufallZuruecksetzen();
    Rechnung a("y=ZUFALL(6)");
    Rechnung b("y=ZUFALL(6)");
    EXPECT_EQ(a.wert, erste[0] * 6);
    EXPECT_EQ(b.wert, erste[1] * 6);
}

// ---- Identifiers and table references ---------------------------------------------------

TEST(Bezeichnerwerte, ValuePlacesAndCellLinks) {
    TBezeichner a("ein_sehr_langer_Name_mit_mehr_als_20");
    EXPECT_EQ(a.Name, "ein_sehr_langer_Name_mit_mehr_als_20");  // kept whole
    EXPECT_EQ(a.GetWert(), Undefiniert);
    EXPECT_FALSE(a.Laufvariable);
    a.SetWert(3);
    EXPECT_EQ(a.Wert, 3);

    Extended draussen = 7;
    TBezeichner b("b", &draussen);
    EXPECT_EQ(b.GetWert(), 7);
    b.SetWert(8);
    EXPECT_EQ(draussen, 8);
    EXPECT_EQ(b.Wert, Undefiniert);

    TMatrixObj m(2, 3);
    m.SetValue(1, 2, 4.5L);
    b.SetZelle(&m, 1, 2);
    EXPECT_EQ(b.GetWert(), 4.5L);
    b.SetWert(9);
    EXPECT_EQ(m.GetValue(1, 2), 9);
    EXPECT_EQ(draussen, 8);
    b.SetZelle(&m, 5, 0);  // outside the table: no value, nothing written
    EXPECT_EQ(b.GetWert(), Undefiniert);
    b.SetWert(1);
    b.ClearZelle();
    EXPECT_EQ(b.Zelle, nullptr);
    EXPECT_EQ(b.GetWert(), 8);

    Bezeichnerliste liste;
    liste.Add(std::make_unique<TBezeichner>("x"));
    liste.Add(std::make_unique<TBezeichner>("X"));
    EXPECT_EQ(SucheBezeichner(liste, "X"), 1);
    EXPECT_EQ(SucheBezeichner(liste, "x"), 0);
    EXPECT_EQ(SucheBezeichner(liste, "y"), -1);
}

TEST(Tabellenbezug, IndexModesAndTheirErrors) {
    TMatrixObj m(3, 4);  // rows 0..2, columns 0..3
    for (int z = 0; z < 3; ++z)
        for (int s = 0; s < 4; ++s) m.SetValue(z, s, 10 * z + s);
    Bezeichnerliste bez;
    bez.Add(std::make_unique<TBezeichner>("i"));
    bez.Add(std::make_unique<TBezeichner>("j"));
    bez.Add(std::make_unique<TBezeichner>("u"));
    bez[0]->SetWert(1);
    bez[1]->SetWert(2);

    using IA = TMatrBezeich::IndexArt;
    auto index = [](IA art, int zahl, int b1 = -1, int b2 = -1, int vorz = 1) {
        TMatrBezeich::Index ix;
        ix.Art = art;
        ix.Zahl = zahl;
        ix.Bez1 = b1;
        ix.Bez2 = b2;
        ix.Vorz2 = vorz;
        return ix;
    };
    const struct {
        std::vector<TMatrBezeich::Index> indizes;
        Extended wert;
        int fehler;
    } faelle[] = {
        {{index(IA::Zahl, 3)}, 3, 0},                        // one index: row 0
        {{index(IA::Zahl, 2), index(IA::Zahl, 1)}, 21, 0},  // row, column
        {{index(IA::Bezeichner, 0, 0), index(IA::Bezeichner, 0, 1)}, 12, 0},
        {{index(IA::BezeichnerZahl, 1, 0), index(IA::BezeichnerZahl, -1, 1)}, 21, 0},
        {{index(IA::Zahl, 1), index(IA::ZweiBezeichner, 0, 0, 1)}, 13, 0},
        {{index(IA::Zahl, 1), index(IA::ZweiBezeichner, 0, 1, 0, -1)}, 11, 0},
        {{index(IA::Zahl, 4)}, Undefiniert, 8},                      // past LastCol
        {{index(IA::Zahl, 3), index(IA::Zahl, 0)}, Undefiniert, 8},  // past LastRow
        {{index(IA::Zahl, -1)}, Undefiniert, 8},
        {{index(IA::Bezeichner, 0, 2)}, Undefiniert, 7},  // u has no value
        {{index(IA::BezeichnerZahl, 1, 2)}, Undefiniert, 7},
        {{index(IA::Bezeichner, 0, 9)}, Undefiniert, 7},  // no such identifier
        {{}, Undefiniert, 8},
    };
    for (const auto& f : faelle) {
        TMatrBezeich t("T", &m);
        t.Indizes = f.indizes;
        int fehler = -1;
        EXPECT_EQ(t.GetWert(bez, &fehler), f.wert);
        EXPECT_EQ(fehler, f.fehler);
        if (f.fehler == 0) {
            EXPECT_EQ(t.Wert, f.wert);
            t.SetWert(bez, -5, &fehler);
            EXPECT_EQ(fehler, 0);
            EXPECT_EQ(t.GetWert(bez, nullptr), -5);
            t.SetWert(bez, f.wert, nullptr);
        }
    }
    TMatrBezeich ohne("O");
    ohne.Indizes = {index(IA::Zahl, 0)};
    int fehler = 0;
    EXPECT_EQ(ohne.GetWert(bez, &fehler), Undefiniert);
    EXPECT_EQ(fehler, 7);
    EXPECT_EQ(TMatrBezeich("abcdefghijklmnopqrstuvwxyz").Name, "abcdefghijklmnopqrst");
}

namespace {

// Table references for formulas: V[k] over a 1 x 5 table, M[i,j] over 3 x 4.
struct Tabellen {
    TMatrixObj v{1, 5};
    TMatrixObj m{3, 4};
    Matrixliste liste;
    Tabellen() {
        v.SetValue(0, 0, 1);
        v.SetValue(0, 1, 2);
        v.SetValue(0, 3, 4);  // columns 2 and 4 stay empty
        for (int z = 0; z < 3; ++z)
            for (int s = 0; s < 4; ++s) m.SetValue(z, s, 10 * z + s);
        liste.Add(std::make_unique<TMatrBezeich>("V", &v));
        liste.Add(std::make_unique<TMatrBezeich>("M", &m));
    }
};

} // namespace

TEST(Tabellenbezug, ThroughFormulas) {
    const struct {
        const char* text;
        Extended wert;
        int fehler;
    } faelle[] = {
        {"y=V[1]", 2, 0},
        {"y=M[2,1]", 21, 0},
        {"y=M[i,i+1]", 12, 0},
        {"y=V[3]*2", 8, 0},
        {"y=V[7]", Undefiniert, 8},
        {"y=V[2]", Leerwert, 0},        // an empty cell in a pure assignment: no error
        {"y=V[2]+1", Undefiniert, 9},   // ... but in arithmetic
        {"y=SUMME(k=0;4;V[k])", 7, 0},  // empty cells do not count
        {"y=MAXZEILEN(V)", 4, 0},       // LastCol
        {"y=MAXSPALTEN(M)", 2, 0},      // LastRow
        {"y=LASTVERT(M)", 3, 0},
        {"y=LASTHORZ(V)", 0, 0},
        {"y=MAXZEILENWERTE(M)", 0, 0},
        {"y=MAXSPALTENWERTE(M)", 0, 0},
    };
    for (const auto& f : faelle) {
        Tabellen t;
        Rechnung r(f.text, {{"i", 1}}, true, &t.liste);
        ASSERT_EQ(r.parse, 0) << f.text;
        EXPECT_EQ(r.fehler, f.fehler) << f.text;
        EXPECT_EQ(r.wert, f.wert) << f.text << " = " << Zeig(r.wert);
    }
    // An assignment to a table reference writes the cell.
    Tabellen t;
    Rechnung r("V[2]=5*3", {}, true, &t.liste);
    ASSERT_EQ(r.parse, 0);
    EXPECT_EQ(r.fehler, 0);
    EXPECT_EQ(t.v.GetValue(0, 2), 15);
    Rechnung falsch("V[9]=1", {}, true, &t.liste);
    ASSERT_EQ(falsch.parse, 0);
    EXPECT_EQ(falsch.fehler, 8);
}

// ---- BerechneXZ ----------------------------------------------------------------------

TEST(Auswertung, BerechneXZSetsThePlotVariables) {
    TGleichung g;
    int pos = 0, ende = 0;
    ASSERT_EQ(g.FormelLesen("y=x*z+x", "x", "z", 0, pos, ende), 0);
    std::string meldung = "alt";
    EXPECT_EQ(BerechneXZ(g, 2, 3, meldung), 8);
    EXPECT_EQ(meldung, "");
    EXPECT_EQ(BerechneXZ(g, -1, 4, meldung), -5);

    ASSERT_EQ(g.FormelLesen("y=1/x", "x", "", 0, pos, ende), 0);
    EXPECT_EQ(BerechneXZ(g, 4, 0, meldung), 0.25L);
    EXPECT_EQ(BerechneXZ(g, 0, 0, meldung), Leerwert);
    EXPECT_EQ(meldung, Ueberlauftext);
    EXPECT_EQ(BerechneXZ(g, 2, 0, meldung), 0.5L);
    EXPECT_EQ(meldung, "");

    ASSERT_EQ(g.FormelLesen("y=LN(x)", "x", "", 0, pos, ende), 0);
    EXPECT_EQ(BerechneXZ(g, -1, 0, meldung), Leerwert);
    EXPECT_EQ(meldung, "Argument<=0 f\xFC" "r logarithmische Fkt.");
}

// ---- Curve tables ----------------------------------------------------------------------

TEST(Kurventabelle, Tabelle2DLayoutSmoothingAndRange) {
    TMatrixObj t(3, 6);  // 2 lines, 5 points
    const auto e = Tabelle2D(t, {"y=1/x", "y=x^2"}, "x", -1, 1, 5, false);
    ASSERT_FALSE(e.Fehler()) << e.Meldung;
    const Extended xs[] = {-1, -0.5L, 0, 0.5L, 1};
    for (int s = 1; s <= 5; ++s) EXPECT_EQ(t.GetValue(0, s), xs[s - 1]) << s;
    // 1/0 gives +1E100 without Strikt and is replaced by the previous point.
    const Extended y1[] = {-1, -2, -2, 2, 1};
    const Extended y2[] = {1, 0.25L, 0, 0.25L, 1};
    for (int s = 1; s <= 5; ++s) {
        EXPECT_EQ(t.GetValue(1, s), y1[s - 1]) << s;
        EXPECT_EQ(t.GetValue(2, s), y2[s - 1]) << s;
    }
    EXPECT_EQ(t.GetValue(0, 0), Leerwert);  // column 0 stays empty
    EXPECT_EQ(t.GetValue(1, 0), Leerwert);
    EXPECT_EQ(t.MaxValue, 2);
    EXPECT_EQ(t.MinValue, -2);

    // At the first point there is nothing to take over.
    TMatrixObj u(2, 4);
    ASSERT_FALSE(Tabelle2D(u, {"y=1/x"}, "x", 0, 2, 3, false).Fehler());
    EXPECT_EQ(u.GetValue(1, 1), Ueberlaufwert);
    EXPECT_EQ(u.GetValue(1, 2), 1);
    EXPECT_EQ(u.MaxValue, Ueberlaufwert);
}

TEST(Kurventabelle, Tabelle2DLogarithmicAndFailures) {
    TMatrixObj t(3, 4);
    ASSERT_FALSE(Tabelle2D(t, {"y=2*x"}, "x", 1, 100, 3, true).Fehler());
    EXPECT_NEAR(static_cast<double>(t.GetValue(0, 1)), 1, 1E-12);
    EXPECT_NEAR(static_cast<double>(t.GetValue(0, 2)), 10, 1E-10);
    EXPECT_NEAR(static_cast<double>(t.GetValue(0, 3)), 100, 1E-9);
    EXPECT_NEAR(static_cast<double>(t.GetValue(1, 2)), 20, 1E-10);

    const auto gleich = Tabelle2D(t, {"y=x"}, "x", 5, 5, 3, false);
    EXPECT_EQ(gleich.art, Tabellierungsfehler::Art::Bereich);
    EXPECT_EQ(gleich.Code, 1);
    EXPECT_EQ(gleich.Meldung, "Startwert X ist gr\xF6\xDF" "er gleich Endwert X");

    const auto parse = Tabelle2D(t, {"y=x", "y=x+"}, "x", 0, 1, 3, false);
    EXPECT_EQ(parse.art, Tabellierungsfehler::Art::Parser);
    EXPECT_EQ(parse.Code, 5);
    EXPECT_EQ(parse.Zeile, 1);
    EXPECT_EQ(parse.Meldung, Fehlertexte[5]);

    const auto rechnung = Tabelle2D(t, {"y=LN(x)"}, "x", -1, 1, 3, false);
    EXPECT_EQ(rechnung.art, Tabellierungsfehler::Art::Rechnung);
    EXPECT_EQ(rechnung.Code, 6);
    EXPECT_EQ(rechnung.Position, 3);
    EXPECT_EQ(rechnung.Zeile, 0);
    EXPECT_EQ(rechnung.Meldung, "Argument<=0 f\xFC" "r logarithmische Fkt.");

    EXPECT_EQ(Tabelle2D(t, {"y=x"}, "x", 0, 1, 9, false).Meldung, "Anzahl Punkte zu gro\xDF");
    EXPECT_EQ(Tabelle2D(t, {"y=x"}, "x", 0, 1, 1, false).Meldung, "Anzahl Punkte f\xFCr X-Achse kleiner 2");
}

TEST(Kurventabelle, Tabelle3DLayoutAndSmoothing) {
    TMatrixObj t(3, 4);  // z: 2 points, x: 3 points
    // Poles at x = 1 (both z) and where x + z = 4.
    const auto e = Tabelle3D(t, "y=1/(x-1)+1/(x+z-4)", "x", "z", 1, 3, 3, 1, 2, 2);
    ASSERT_FALSE(e.Fehler()) << e.Meldung;
    EXPECT_EQ(t.GetValue(0, 0), Leerwert);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(t.GetValue(0, i), i);
    for (int j = 1; j <= 2; ++j) EXPECT_EQ(t.GetValue(j, 0), j);
    // Row z = 1: the pole at i = 1 stays (nothing computed before it); 1 + 1/(-1);
    // a pole at x = 3 takes the previous column.
    EXPECT_GE(t.GetValue(1, 1), 1E50L);
    EXPECT_EQ(t.GetValue(1, 2), 0);
    EXPECT_EQ(t.GetValue(1, 3), 0);
    // Row z = 2: the pole at i = 1 takes the row above, which is too large as well.
    EXPECT_GE(t.GetValue(2, 1), 1E50L);
    // (2, 2): a pole; the previous column is too large, so the previous row: 0.
    EXPECT_EQ(t.GetValue(2, 2), 0);
    EXPECT_EQ(t.GetValue(2, 3), 1.5L);
    EXPECT_EQ(t.MinValue, 0);
    EXPECT_GE(t.MaxValue, 1E50L);

    TMatrixObj u(3, 3);
    ASSERT_FALSE(Tabelle3D(u, "y=x*z", "x", "z", 1, 2, 2, 3, 4, 2).Fehler());
    EXPECT_EQ(u.GetValue(1, 1), 3);
    EXPECT_EQ(u.GetValue(1, 2), 6);
    EXPECT_EQ(u.GetValue(2, 1), 4);
    EXPECT_EQ(u.GetValue(2, 2), 8);
    EXPECT_EQ(u.MaxValue, 8);
    EXPECT_EQ(u.MinValue, 3);

    EXPECT_EQ(Tabelle3D(u, "y=x*z", "x", "z", 1, 1, 2, 3, 4, 2).Meldung,
              "Startwert X ist gr\xF6\xDF" "er gleich Endwert X");
    EXPECT_EQ(Tabelle3D(u, "y=x*z", "x", "z", 1, 2, 2, 3, 3, 2).Meldung,
              "Startwert Z ist gr\xF6\xDF" "er gleich Endwert Z");
    EXPECT_EQ(Tabelle3D(u, "y=x*", "x", "z", 1, 2, 2, 3, 4, 2).art, Tabellierungsfehler::Art::Parser);
    EXPECT_EQ(Tabelle3D(u, "y=WURZEL(x)", "x", "z", -1, 2, 2, 3, 4, 2).Code, 3);
}

// ---- Loops: the compiled passes against the step walk ----------------------------------

TEST(Schleifen, CompiledPassesGiveTheStepWalksValues) {
    // Auswerten runs the passes of a loop through a compiled program when it can. A body
    // with ZUFALL(0) added never is (ZUFALL has to run as a step), and adds exactly 0:
    // both must agree to the last bit, on the value, the error and its position.
    const struct {
        const char* schleife;  // loop text up to the body
        const char* rumpf;
        std::vector<Wertvorgabe> werte;
        bool strikt;
    } faelle[] = {
        {"SUMME(i=0;10000;", "(i/10000)^2", {}, true},
        {"SUMME(i=1;1000;", "i^2", {}, true},
        {"SUMME(i=1;500;", "i^3-2*i^2+i/7", {}, true},
        {"SUMME(i=1;300;", "1/i", {}, true},
        {"SUMME(i=1;200;", "1/(i*i)+(i+1)*(i-1)/(i+3)", {}, true},
        {"SUMME(i=1;200;", "i^(-2)+i^5/1E9", {}, true},
        {"SUMME(i=1;200;", "SIN(i)*COS(i/2)+WURZEL(i)", {}, true},
        {"SUMME(i=1;200;", "e^(i/100)+2^i/1E60", {}, true},
        {"SUMME(i=1;200;", "ABS(i-100)*QUADRAT(i)-i^1.5", {}, true},
        {"SUMME(i=1;100;", "a*i^2-b/i+a", {{"a", 1.25L}, {"b", 3}}, true},
        {"SUMME(i=a;b;", "i*a", {{"a", 3}, {"b", 40}}, true},
        {"PRODUKT(i=1;30;", "1+1/i", {}, true},
        {"PRODUKT(i=1;25;", "i", {}, true},
        {"SUMME(i=1;100;", "1/(i-50)", {}, true},     // fails at i = 50
        {"SUMME(i=1;100;", "1/(i-50)", {}, false},    // ... or takes 1E100 there
        {"SUMME(i=1;100;", "(i-60)^0.5", {}, true},   // fails at i = 1 (negative base)
        {"SUMME(i=1;80;", "1E60*i^2", {}, false},     // products overflow from i = 10**20 on
        {"SUMME(i=1;80;", "i^60", {}, false},         // powers beyond 1E100
        {"SUMME(i=1;100;", "LN(i-30)", {}, true},
        {"SUMME(i=1;3;", "SUMME(k=1;500;k*i)", {}, true},
        {"SUMME(i=1;4;", "i*SUMME(k=1;300;1/(k+i))", {}, true},
        {"SUMME(x=0;9999;", "(x/9999)^2*dx", {{"dx", 1E-4L}}, true},
        {"SUMME(i=1;50;", "a*i-i*a", {{"a", -0.0L}}, true},          // signed zeros
        {"SUMME(i=1;50;", "i*a/b", {{"a", 1E4100L}, {"b", 1E4000L}}, true},  // beyond double range
        {"SUMME(i=1;50;", "i+a", {{"a", 1E-4900L}}, true},
    };
    for (const auto& f : faelle) {
        const std::string schnell = std::string("y=") + f.schleife + f.rumpf + ")";
        const std::string schritte = std::string("y=") + f.schleife + f.rumpf + "+ZUFALL(0))";
        Rechnung a(schnell, f.werte, f.strikt);
        Rechnung b(schritte, f.werte, f.strikt);
        ASSERT_EQ(a.parse, 0) << schnell;
        ASSERT_EQ(b.parse, 0) << schritte;
        EXPECT_EQ(a.fehler, b.fehler) << schnell;
        EXPECT_EQ(a.pos, b.pos) << schnell;
        EXPECT_TRUE(GleicheBits(a.wert, b.wert)) << schnell << ": " << Zeig(a.wert) << " / " << Zeig(b.wert);
        EXPECT_TRUE(GleicheBits(a.Variable("i"), b.Variable("i"))) << schnell;
    }
    // Integrals: the same through RundeStellen, and the loop variable back at its start.
    for (const char* rumpf : {"x^2*dx", "x*dx", "SIN(x)*dx", "1/(1+x^2)*dx", "(x+1)*(x-2)*dx"}) {
        const std::string schnell = std::string("y=INTEGRAL(x=0;3;") + rumpf + ")";
        const std::string schritte = std::string("y=INTEGRAL(x=0;3;") + rumpf + "+ZUFALL(0))";
        Rechnung a(schnell), b(schritte);
        ASSERT_EQ(a.parse, 0) << schnell;
        EXPECT_EQ(a.wert, b.wert) << schnell;
        EXPECT_EQ(a.Variable("x"), 0) << schnell;
    }
}
