// Curve tables: gaps where the formula fails, sub-formulas and conditions as curves,
// refusals, nice ticks, German tick texts, names as on the page, and the CSV table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/eval/Rechenabbruch.h"
#include "core/eval/Rechenfehler.h"
#include "core/notation/Gleichung.h"
#include "core/plot/Kurve.h"

using namespace kd;

namespace {

Kurvenergebnis Tab(const std::string& text, const std::string& x, Extended von, Extended bis, int n,
                   std::map<std::string, Extended> werte = {}, bool logX = false) {
    Kurvenbereich b;
    b.XName = x;
    b.Von = von;
    b.Bis = bis;
    b.Punkte = n;
    b.LogX = logX;
    return KurvenTabellieren(text, b, werte);
}

} // namespace

TEST(Kurve, LueckenDortWoDieFormelVersagt) {
    struct Fall {
        const char* text;
        Extended von, bis;
        int n;
        std::vector<int> luecken;  // indices of the gaps
        const char* meldung;       // the message of the first gap ("" = not checked)
    };
    const Fall faelle[] = {
        {"y=1/x", -2, 2, 5, {2}, "Division durch 0, oder \xDC" "berlauf"},
        {"y=WURZEL(x)", -2, 2, 5, {0, 1}, "Negative Wurzel"},
        {"y=LN(x)", 0, 2, 3, {0}, "Argument<=0 f\xFCr logarithmische Fkt."},
        {"y=1/(x-1)+1/(x+1)", -2, 2, 5, {1, 3}, "Division durch 0, oder \xDC" "berlauf"},
        // An overflow is a gap too, not a line to a marker value.
        {"y=10^x", 0, 4000, 3, {1, 2}, ""},
        {"y=x^2", -2, 2, 5, {}, ""},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.text);
        const Kurvenergebnis e = Tab(f.text, "x", f.von, f.bis, f.n);
        ASSERT_TRUE(e.Ok) << e.Meldung;
        ASSERT_EQ(e.Tabelle.Kurven.size(), 1u);
        const Kurve& k = e.Tabelle.Kurven[0];
        std::vector<int> luecken;
        for (int i = 0; i < f.n; ++i) {
            if (std::isnan(k.Y[std::size_t(i)])) {
                luecken.push_back(i);
                EXPECT_FALSE(k.Fehler[std::size_t(i)].empty());
            } else {
                EXPECT_TRUE(std::isfinite(k.Y[std::size_t(i)]));
                EXPECT_LT(std::fabs(k.Y[std::size_t(i)]), 1e50);
            }
        }
        EXPECT_EQ(luecken, f.luecken);
        EXPECT_EQ(k.Luecken, int(f.luecken.size()));
        if (*f.meldung && !luecken.empty()) {
            EXPECT_EQ(k.Fehler[std::size_t(luecken[0])], f.meldung);
        }
    }
}

TEST(Kurve, TeilformelnUndBedingungenSindKurven) {
    // Two sub-formulas: two curves with the same values.
    Kurvenergebnis e = Tab("y=(a+b)^2:y=a^2+2*a*b+b^2", "a", 0, 2, 3, {{"b", 1}});
    ASSERT_TRUE(e.Ok) << e.Meldung;
    ASSERT_EQ(e.Tabelle.Kurven.size(), 2u);
    EXPECT_EQ(e.Tabelle.Kurven[0].YName, "y");
    EXPECT_EQ(e.Tabelle.Kurven[0].Formel, "y=(a+b)^2");
    EXPECT_EQ(e.Tabelle.Kurven[1].Formel, "y=a^2+2*a*b+b^2");
    EXPECT_EQ(e.Tabelle.Kurven[0].Y, (std::vector<double>{1, 4, 9}));
    EXPECT_EQ(e.Tabelle.Kurven[1].Y, (std::vector<double>{1, 4, 9}));

    // A formula defined piecewise: each piece where its condition holds.
    e = Tab("y=0-x;x<0:y=x^2;x>=0", "x", -2, 2, 5);
    ASSERT_TRUE(e.Ok) << e.Meldung;
    ASSERT_EQ(e.Tabelle.Kurven.size(), 2u);
    EXPECT_EQ(e.Tabelle.Kurven[0].Formel, "y=0-x;x<0");
    const Kurve& links = e.Tabelle.Kurven[0];
    const Kurve& rechts = e.Tabelle.Kurven[1];
    EXPECT_EQ(links.Y[0], 2);
    EXPECT_EQ(links.Y[1], 1);
    for (int i = 2; i < 5; ++i) {
        EXPECT_TRUE(std::isnan(links.Y[std::size_t(i)]));
        EXPECT_EQ(links.Fehler[std::size_t(i)], MeldungBedingung);
    }
    EXPECT_TRUE(std::isnan(rechts.Y[0]) && std::isnan(rechts.Y[1]));
    EXPECT_EQ(rechts.Y[2], 0);
    EXPECT_EQ(rechts.Y[4], 4);

    // Sums and integrals over the plot variable.
    e = Tab("s=SUMME(k=1;n;k)", "n", 1, 5, 5);
    ASSERT_TRUE(e.Ok) << e.Meldung;
    EXPECT_EQ(e.Tabelle.Kurven[0].Y, (std::vector<double>{1, 3, 6, 10, 15}));
    e = Tab("W=INTEGRAL(x=0;s;D*x*dx)", "s", 0, 2, 3, {{"D", 3}});
    ASSERT_TRUE(e.Ok) << e.Meldung;
    EXPECT_NEAR(e.Tabelle.Kurven[0].Y[2], 6, 1e-9);
    // The integral's step width follows the bound at every point (erf(x)*sqrt(pi)/2
    // from mpmath: 0.746824132812427 at 1, 0.882081390762422 at 2; the evaluator gives an
    // integral to three significant digits).
    e = Tab("I=INTEGRAL(t=0;x;e^(-t^2)*dt)", "x", 0, 2, 3);
    ASSERT_TRUE(e.Ok) << e.Meldung;
    EXPECT_NEAR(e.Tabelle.Kurven[0].Y[1], 0.746824132812427, 6e-4);
    EXPECT_NEAR(e.Tabelle.Kurven[0].Y[2], 0.882081390762422, 6e-4);
}

TEST(Kurve, VariablenWieDieEingabemaske) {
    struct Fall {
        const char* text;
        std::vector<std::string> namen;
    };
    const Fall faelle[] = {
        {"s=v|0*t+a/2*t^2", {"v|0", "t", "a"}},
        {"y=(a+b)^2:y=a^2+2*a*b+b^2", {"a", "b"}},
        {"s=SUMME(k=1;n;k)", {"n"}},
        {"W=INTEGRAL(x=0;s;D*x*dx)", {"s", "D"}},
        {"y=0-x;x<0:y=x^2;x>=0", {"x"}},
        {"y=2", {}},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.text);
        std::vector<std::string> namen;
        std::string meldung;
        ASSERT_TRUE(KurvenVariablen(f.text, namen, meldung)) << meldung;
        std::vector<std::string> a = namen, b = f.namen;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b);
    }
}

TEST(Kurve, AbgelehnteEingaben) {
    struct Fall {
        const char* text;
        Extended von, bis;
        int n;
        bool logX;
        std::map<std::string, Extended> werte;
        std::string meldung;
    };
    const Fall faelle[] = {
        {"y=a*x", 0, 1, 5, false, {}, "Wert f\xFCr a fehlt"},
        {"y=x", 1, 1, 5, false, {}, MeldungKurvenbereich},
        {"y=x", 0, 1, 1, false, {}, MeldungKurvenpunkte},
        {"y=x", 0, 1, KurvenpunkteMax + 1, false, {}, MeldungKurvenpunkte},
        {"y=x", 0, 10, 5, true, {}, MeldungLogBereich},
        {"y=x+", 0, 1, 5, false, {}, "Fehler in Formel, oder Markierung falsch"},
        {"y=[1]", 0, 1, 5, false, {}, "Berechnung hier nicht m\xF6glich"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.text);
        const Kurvenergebnis e = Tab(f.text, "x", f.von, f.bis, f.n, f.werte, f.logX);
        EXPECT_FALSE(e.Ok);
        EXPECT_EQ(e.Meldung, f.meldung);
        EXPECT_TRUE(e.Tabelle.X.empty());
    }
}

TEST(Kurve, EineSchleifeOhneDurchlaeufeNenntSichInDerLuecke) {
    // A computation stopped from outside ends as a loop out of passes: each gap says so,
    // as the input mask does, and not "Division durch 0, oder \xDCberlauf".
    Rechenabbruch halt;
    halt.Abbrechen();
    const Kurvenergebnis e = Tab("y=SUMME(i=1;3;i*x)", "x", 0, 1, 3);
    ASSERT_TRUE(e.Ok);
    ASSERT_EQ(e.Tabelle.Kurven.size(), 1u);
    const Kurve& k = e.Tabelle.Kurven[0];
    EXPECT_EQ(k.Luecken, 3);
    for (const std::string& f : k.Fehler) EXPECT_EQ(f, "Zu viele Schleifendurchl\xE4ufe");
}

TEST(Kurve, FortschrittUndAbbruch) {
    Kurvenbereich b;
    b.XName = "x";
    b.Von = 0;
    b.Bis = 1;
    b.Punkte = 1000;
    std::vector<std::pair<long long, long long>> gemeldet;
    Kurvenergebnis e = KurvenTabellieren("y=x:z=2*x", b, {}, [&](long long f, long long g) {
        gemeldet.emplace_back(f, g);
        return true;
    });
    ASSERT_TRUE(e.Ok);
    ASSERT_FALSE(gemeldet.empty());
    EXPECT_EQ(gemeldet.front(), std::make_pair(0LL, 2000LL));
    for (std::size_t i = 1; i < gemeldet.size(); ++i) EXPECT_GT(gemeldet[i].first, gemeldet[i - 1].first);
    EXPECT_GE(gemeldet.back().first, 1900);
    // Stopped half way: no table, marked as cancelled rather than refused.
    e = KurvenTabellieren("y=x:z=2*x", b, {}, [](long long f, long long) { return f < 1000; });
    EXPECT_FALSE(e.Ok);
    EXPECT_TRUE(e.Abgebrochen);
    EXPECT_TRUE(e.Meldung.empty());
    EXPECT_TRUE(e.Tabelle.Kurven.empty() && e.Tabelle.X.empty());
}

TEST(Kurve, AbszissenLinearUndLogarithmisch) {
    Kurvenergebnis e = Tab("y=x", "x", 1, 1000, 4, {}, true);
    ASSERT_TRUE(e.Ok);
    const double soll[] = {1, 10, 100, 1000};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(e.Tabelle.X[std::size_t(i)], soll[i], soll[i] * 1e-15);
    // Falling ranges and a last point exactly at the end.
    e = Tab("y=x", "x", 1, -1, 3);
    ASSERT_TRUE(e.Ok);
    EXPECT_EQ(e.Tabelle.X, (std::vector<double>{1, 0, -1}));
    e = Tab("y=x", "x", 0, 0.3L, 10001);
    ASSERT_TRUE(e.Ok);
    EXPECT_EQ(e.Tabelle.X.back(), 0.3);
    EXPECT_EQ(e.Tabelle.X[5000], 0.15);
}

TEST(Kurve, TeilstricheSindSchoenUndUmfassen) {
    std::mt19937 zufall(17);
    std::uniform_real_distribution<double> exponent(-8, 8), teil(-1, 1);
    for (int lauf = 0; lauf < 2000; ++lauf) {
        const double skala = std::pow(10.0, exponent(zufall));
        double a = teil(zufall) * skala, b = teil(zufall) * skala;
        if (lauf % 7 == 0) a = b + skala * 1e-3;  // narrow ranges far from zero
        if (a > b) std::swap(a, b);
        if (!(a < b)) continue;
        const int ziel = 2 + lauf % 9;
        const std::vector<double> t = Teilstriche(a, b, ziel);
        const double s = Teilschritt(a, b, ziel);
        SCOPED_TRACE(std::to_string(a) + " .. " + std::to_string(b));
        ASSERT_GE(t.size(), 2u);
        // The step is 1, 2 or 5 times a power of ten.
        const double m = s / std::pow(10.0, std::floor(std::log10(s) + 1e-12));
        EXPECT_TRUE(std::fabs(m - 1) < 1e-9 || std::fabs(m - 2) < 1e-9 || std::fabs(m - 5) < 1e-9) << m;
        // They cover the range, with no more than one step beyond each end.
        EXPECT_LE(t.front(), a);
        EXPECT_GE(t.back(), b);
        EXPECT_GT(t.front(), a - s * (1 + 1e-9));
        EXPECT_LT(t.back(), b + s * (1 + 1e-9));
        // Evenly spaced multiples of the step, roughly as many as asked for.
        for (std::size_t i = 0; i < t.size(); ++i) {
            const double k = t[i] / s;
            EXPECT_NEAR(k, std::round(k), 1e-6);
            if (i > 0) {
                EXPECT_NEAR(t[i] - t[i - 1], s, s * 1e-6);
            }
        }
        EXPECT_LE(int(t.size()), 3 * ziel + 3);
    }
    EXPECT_TRUE(Teilstriche(1, 1).empty());
    EXPECT_TRUE(Teilstriche(2, 1).empty());
    EXPECT_TRUE(Teilstriche(0, NAN).empty());

    const std::vector<double> log = LogTeilstriche(0.5, 2000);
    EXPECT_EQ(log.front(), 0.1);
    EXPECT_EQ(log.back(), 10000);
    for (double d : {1.0, 10.0, 100.0, 1000.0}) EXPECT_NE(std::find(log.begin(), log.end(), d), log.end());
    EXPECT_EQ(LogTeilstriche(2, 30), (std::vector<double>{1, 2, 5, 10, 20, 50, 100}));
    EXPECT_TRUE(LogTeilstriche(0, 1).empty());
}

TEST(Kurve, TeilstrichtexteDeutsch) {
    struct Fall {
        double wert, schritt;
        const char* text;
    };
    const Fall faelle[] = {
        {0, 0.5, "0"},
        {0.5, 0.5, "0,5"},
        {-2, 0.5, "-2,0"},
        {1.25, 0.05, "1,25"},
        {1000, 500, "1.000"},
        {999, 1, "999"},
        {10000, 5000, "10.000"},
        {-1250000, 50000, "-1.250.000"},
        {0.0003, 0.0001, "0,0003"},
        {1.5e-7, 5e-8, "1,5\xC2\xB7" "10\xE2\x81\xBB\xE2\x81\xB7"},
        {2e12, 1e12, "2\xC2\xB7" "10\xC2\xB9\xC2\xB2"},
        {1e-9, 1e-9, "10\xE2\x81\xBB\xE2\x81\xB9"},
        {3.0000000000000004, 1, "3"},
    };
    for (const Fall& f : faelle) EXPECT_EQ(TeilstrichText(f.wert, f.schritt), f.text) << f.wert;
    // One form for a whole log axis: powers of ten throughout.
    EXPECT_EQ(TeilstrichText(0.001, 0.001, true), "10\xE2\x81\xBB\xC2\xB3");
    EXPECT_EQ(TeilstrichText(1, 1, true), "10\xE2\x81\xB0");
    EXPECT_EQ(TeilstrichText(20, 10, true), "2\xC2\xB7" "10\xC2\xB9");
}

TEST(Kurve, NamenWieAufDerSeite) {
    struct Fall {
        const char* name;
        const char* text;
        const char* html;
    };
    const Fall faelle[] = {
        {"x", "x", "x"},
        {"~a", "\xCE\xB1", "\xCE\xB1"},
        {"v|0", "v\xE2\x82\x80", "v<sub>0</sub>"},
        {"E|k|i|n", "E\xE2\x82\x96\xE1\xB5\xA2\xE2\x82\x99", "E<sub>kin</sub>"},
        {"R|g", "R_g", "R<sub>g</sub>"},
        {"~DT", "\xCE\x94T", "\xCE\x94T"},
        {"T|~a", "T_\xCE\xB1", "T<sub>\xCE\xB1</sub>"},
        {"a<b&c", "a<b&c", "a&lt;b&amp;c"},
        {"\xE4", "\xC3\xA4", "\xC3\xA4"},
    };
    for (const Fall& f : faelle) {
        EXPECT_EQ(NameAlsText(f.name), f.text) << f.name;
        EXPECT_EQ(NameAlsHtml(f.name), f.html) << f.name;
    }
}

TEST(Kurve, ZahlenUndCsv) {
    EXPECT_EQ(ZahlDeutsch(0.5), "0,5");
    EXPECT_EQ(ZahlDeutsch(-3), "-3");
    EXPECT_EQ(ZahlDeutsch(1e-20), "1E-20");
    EXPECT_EQ(ZahlDeutsch(NAN), "");
    // The shortest text that reads back as the same double.
    std::mt19937 zufall(3);
    std::uniform_real_distribution<double> v(-1e6, 1e6);
    for (int i = 0; i < 500; ++i) {
        const double d = v(zufall) * std::pow(10.0, i % 40 - 20);
        std::string s = ZahlDeutsch(d);
        for (char& c : s)
            if (c == ',') c = '.';
        EXPECT_EQ(std::strtod(s.c_str(), nullptr), d) << s;
    }

    Kurventabelle t;
    t.XName = "v|0";
    t.X = {0, 0.5};
    t.Kurven.resize(2);
    t.Kurven[0].Formel = "s=SUMME(k=1;n;k)";
    t.Kurven[0].Y = {1.5, NAN};
    t.Kurven[1].Formel = "y=\"x\"";
    t.Kurven[1].Y = {2, 3};
    EXPECT_EQ(KurvenCsv(t, ';'), "v\xE2\x82\x80;\"s=SUMME(k=1;n;k)\";\"y=\"\"x\"\"\"\r\n"
                                 "0;1,5;2\r\n"
                                 "0,5;;3\r\n");
    EXPECT_EQ(KurvenCsv(t, '\t'), "v\xE2\x82\x80\ts=SUMME(k=1;n;k)\t\"y=\"\"x\"\"\"\r\n"
                                  "0\t1,5\t2\r\n"
                                  "0,5\t\t3\r\n");
}
