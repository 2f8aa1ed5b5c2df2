#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/notation/Gleichung.h"
#include "core/typeset/FormelAufbau.h"

using namespace kd;

namespace {

enum class Modus { Sammeln, Auswerten, Bedingung };

struct Parse {
    Bezeichnerliste liste;
    std::unique_ptr<TGleichung> g;
    int code = 0, pos = 0, ende = 0;

    Parse(Modus m, const std::string& text, std::vector<std::string> bekannt = {}) {
        TGleichung::Optionen o;
        o.Sammelmodus = m != Modus::Auswerten;
        o.Bedingungsmodus = m == Modus::Bedingung;
        for (auto& n : bekannt) {
            liste.Add(std::make_unique<TBezeichner>(n));
            liste[liste.Count() - 1]->SetWert(1);
        }
        if (m == Modus::Auswerten) o.Bezeichner = &liste;
        g = std::make_unique<TGleichung>(o);
        code = g->FormelLesen(text, "", "", 0, pos, ende);
    }
};

// "Art/Prio" of every term, for compact comparisons.
std::vector<std::pair<int, int>> ArtPrio(const TGleichung& g) {
    std::vector<std::pair<int, int>> v;
    for (int i = 1; i <= g.TermAnzahl; ++i) v.emplace_back(g.Terme[i].Art, g.Terme[i].Prio);
    return v;
}

std::vector<std::vector<int>> Schritte(const TGleichung& g) {
    std::vector<std::vector<int>> v;
    for (int k = 1; k < g.TermAnzahl; ++k)
        v.push_back({g.Schritte[k].Links, g.Schritte[k].Rechts, g.Schritte[k].Art});
    return v;
}

} // namespace

TEST(Parser, TermsPrioritiesAndStepsOfASimpleEquation) {
    Parse p(Modus::Auswerten, "y=a+b*c", {"a", "b", "c"});
    ASSERT_EQ(p.code, 0);
    ASSERT_EQ(p.g->TermAnzahl, 7);
    const std::vector<std::pair<int, int>> terme = {
        {0, 300000}, {108, 300008}, {1, 300002}, {109, 300008}, {3, 300004}, {110, 300008}, {0, 0}};
    EXPECT_EQ(ArtPrio(*p.g), terme);
    EXPECT_EQ(p.g->Terme[1].Wert, 3);  // y is appended after a, b, c
    const std::vector<std::vector<int>> schritte = {
        {2, 3, 108}, {4, 5, 109}, {6, 7, 110}, {4, 6, 3}, {2, 4, 1}, {1, 2, 0}};
    EXPECT_EQ(Schritte(*p.g), schritte);
    EXPECT_EQ(p.liste.Count(), 4);
    EXPECT_EQ(p.liste[3]->Name, "y");
}

TEST(Parser, GroupingOfEqualPrioritiesAndUnaryMinus) {
    {
        // (a-b)-c: the leftmost of equal priorities goes first.
        Parse p(Modus::Auswerten, "y=a-b-c", {"a", "b", "c"});
        ASSERT_EQ(p.code, 0);
        const std::vector<std::vector<int>> s = {
            {2, 3, 108}, {4, 5, 109}, {6, 7, 110}, {2, 4, 2}, {2, 6, 2}, {1, 2, 0}};
        EXPECT_EQ(Schritte(*p.g), s);
    }
    {
        // 0 - x^2, not (-x)^2.
        Parse p(Modus::Auswerten, "y=-x^2", {"x"});
        ASSERT_EQ(p.code, 0);
        const std::vector<std::pair<int, int>> t = {
            {0, 300000}, {2, 300003}, {108, 300008}, {5, 300006}, {0, 0}};
        EXPECT_EQ(ArtPrio(*p.g), t);
        EXPECT_EQ(p.g->Terme[2].Wert, 0);
        const std::vector<std::vector<int>> s = {{3, 4, 108}, {3, 5, 5}, {2, 3, 2}, {1, 2, 0}};
        EXPECT_EQ(Schritte(*p.g), s);
    }
    {
        // "+-" is one minus.
        Parse p(Modus::Auswerten, "y=a+-b", {"a", "b"});
        ASSERT_EQ(p.code, 0);
        EXPECT_EQ(p.g->TermAnzahl, 5);
        EXPECT_EQ(p.g->Terme[3].Art, ArtMinus);
    }
    {
        // A signed number after an operand: the sign is the operator.
        Parse p(Modus::Auswerten, "y=x-5", {"x"});
        ASSERT_EQ(p.code, 0);
        EXPECT_EQ(p.g->TermAnzahl, 4);
        EXPECT_EQ(p.g->Terme[3].Art, ArtMinus);
        EXPECT_EQ(p.g->Terme[3].Prio, 300003);
        EXPECT_EQ(p.g->Terme[4].Wert, 5);
    }
}

TEST(Parser, ErrorCodesAndPositions) {
    struct Fall {
        Modus m;
        const char* text;
        std::vector<std::string> bekannt;
        int code;
        int pos;  // 0: not checked
    };
    const Fall faelle[] = {
        {Modus::Auswerten, "y=a*-b", {"a", "b"}, 8, 5},
        {Modus::Auswerten, "y=a*(-b)", {"a", "b"}, 0, 0},
        {Modus::Auswerten, "y=2(3)", {}, 1, 4},
        {Modus::Sammeln, "(a+b)=y", {}, 1, 1},
        {Modus::Auswerten, "2*x", {"x"}, 0, 0},
        {Modus::Auswerten, "2*x", {}, 1, 3},
        {Modus::Sammeln, "y=x;", {}, 5, 0},
        {Modus::Sammeln, "y=x;z", {}, 5, 0},
        {Modus::Sammeln, "y=x;z+1", {}, 1, 0},
        {Modus::Sammeln, "y+1", {}, 10, 1},
        {Modus::Sammeln, "y=(a+b", {}, 3, 0},
        {Modus::Sammeln, "y=a+b)", {}, 2, 6},
        {Modus::Sammeln, "", {}, 5, 0},
        {Modus::Auswerten, "12345678901234567", {}, 28, 1},
        {Modus::Auswerten, "y=1234567890123456", {}, 0, 0},
        {Modus::Auswerten, "y=1E100", {}, 13, 3},
        {Modus::Auswerten, "y=1E-101", {}, 13, 3},
        {Modus::Auswerten, "y=0", {}, 0, 0},
        {Modus::Auswerten, "y=e", {}, 0, 0},
        {Modus::Auswerten, "y=E", {}, 1, 3},  // constants are case-sensitive
        {Modus::Sammeln, "e=2", {}, 33, 1},
        {Modus::Sammeln, "y=a=b", {}, 9, 4},
        {Modus::Sammeln, "y=*a", {}, 8, 3},
        {Modus::Sammeln, "y=a-", {}, 5, 0},
        {Modus::Sammeln, "y==a", {}, 15, 2},
        {Modus::Sammeln, "y=(a>b)", {}, 15, 5},
        {Modus::Sammeln, "y=SIN x", {}, 1, 7},
        {Modus::Sammeln, "y=x{Kurve", {}, 5, 9},
        {Modus::Sammeln, "y=x \"Kommentar", {}, 5, 5},
        {Modus::Sammeln, "y=x\"K\"", {}, 0, 0},  // a quote is a name character
        {Modus::Sammeln, "y={L}", {}, 1, 3},
        {Modus::Sammeln, "y=x^2 \"Fl\xE4" "che\"", {}, 0, 0},
        {Modus::Sammeln, "y = a * x", {}, 0, 0},
        {Modus::Bedingung, "a==b;und;c>0", {}, 0, 0},
        {Modus::Bedingung, "a==b;oder;c>0;xoder;d<1", {}, 0, 0},
        {Modus::Bedingung, "a=b", {}, 16, 2},
        {Modus::Bedingung, "a==b;c>0", {}, 34, 5},
        {Modus::Bedingung, "a==b;UND;c>0", {}, 34, 5},
    };
    for (const auto& f : faelle) {
        Parse p(f.m, f.text, f.bekannt);
        EXPECT_EQ(p.code, f.code) << f.text;
        if (f.pos) {
            EXPECT_EQ(p.pos, f.pos) << f.text;
        }
        if (f.code) {
            EXPECT_NE(std::string(Fehlertexte[f.code]), "") << f.text;
        }
    }
}

TEST(Parser, SumsTheirLimitsAndFields) {
    struct Fall {
        const char* text;
        int code;
    };
    const Fall faelle[] = {
        {"y=SUMME(i=1;10;i^2)", 0},
        {"y=summe(i=1;10;i^2)", 0},
        {"y=SUMME(i=1;2;SUMME(k=1;2;k))", 0},
        {"y=SUMME(i=1;2;i)+SUMME(j=1;2;j)", 0},
        {"y=SUMME(i=1;2;SUMME(k=1;2;SUMME(j=1;2;j)))", 26},
        {"y=SUMME(i=1;2;SUMME(k=1;2;k))+SUMME(j=1;2;j)", 26},
        {"y=SUMME(a=1;2;a)+SUMME(b=1;2;b)+SUMME(c=1;2;c)+SUMME(d=1;2;d)+SUMME(f=1;2;f)"
         "+SUMME(g=1;2;g)",
         0},
        {"y=SUMME(a=1;2;a)+SUMME(b=1;2;b)+SUMME(c=1;2;c)+SUMME(d=1;2;d)+SUMME(f=1;2;f)"
         "+SUMME(g=1;2;g)+SUMME(h=1;2;h)",
         26},
        {"y=SUMME(i=1;65535;i)", 13},
        {"y=INTEGRAL(t=0;65535;t*dt)", 0},
        {"y=SUMME(i=1;10 i)", 18},
        {"y=SUMME(i1;10;i)", 10},
        {"y=SUMME(i=1;", 5},
        {"y=SUMME(i=n;10;i)", 1},   // unknown bound outside collect mode
        {"y=SUMME(i=-n;10;i)", 4},  // a negated named start
        {"y=SUMME(x=1;3;x)", 22},   // loop variable already an identifier
        {"y=SUMME(i=1;3;i", 3},
        {"y=SUMME(i=1;3;i);i=2", 31},
        {"i=SUMME(i=1;3;i)", 22},
    };
    for (const auto& f : faelle) {
        std::vector<std::string> bekannt = {"x"};
        if (std::string(f.text).find("-n") != std::string::npos) bekannt.push_back("n");
        Parse p(Modus::Auswerten, f.text, bekannt);
        EXPECT_EQ(p.code, f.code) << f.text;
    }

    // Fields of an integral term in evaluation mode.
    Parse p(Modus::Auswerten, "y=INTEGRAL(x=0;2;x*dx)");
    ASSERT_EQ(p.code, 0);
    const Term& s = p.g->Terme[2];
    EXPECT_EQ(s.Art, ArtIntegral);
    EXPECT_EQ(s.SummenNr, 1);
    EXPECT_EQ(s.SummenStart, 0);
    EXPECT_EQ(s.Wert, 2);
    EXPECT_FALSE(s.StartBenannt);
    const int lauf = s.TextPos;
    ASSERT_GE(lauf, 0);
    EXPECT_EQ(p.liste[lauf]->Name, "x");
    EXPECT_TRUE(p.liste[lauf]->Laufvariable);
    EXPECT_EQ(p.liste[s.SummenBezeichner]->Name, "dx");
    EXPECT_EQ(p.liste[s.SummenBezeichner]->GetWert(), 2.0L / 10000);

    // A nested sum is marked negative; the body of a sum comes first in the steps.
    Parse n(Modus::Auswerten, "y=SUMME(i=1;2;SUMME(k=1;2;k))");
    ASSERT_EQ(n.code, 0);
    EXPECT_EQ(n.g->Terme[2].SummenNr, 1);
    EXPECT_EQ(n.g->Terme[3].SummenNr, -2);
    EXPECT_EQ(n.g->Schritte[1].Art, ArtBezeichner + 2);  // load k: y, i, k are 0, 1, 2

    // A named end bound is a reference to the identifier.
    Parse b(Modus::Auswerten, "y=SUMME(i=1;n;i)", {"n"});
    ASSERT_EQ(b.code, 0);
    EXPECT_TRUE(b.g->Terme[2].EndeBenannt);
    EXPECT_EQ(b.g->Terme[2].Wert, -1);  // identifier 0 is n
}

TEST(Parser, TermLimitAndTextLength) {
    // y and 79 numbers are 80 terms; one more is too many.
    std::string t = "y=1";
    for (int i = 0; i < 78; ++i) t += "+1";
    Parse ok(Modus::Sammeln, t);
    EXPECT_EQ(ok.code, 0);
    EXPECT_EQ(ok.g->TermAnzahl, 80);
    Parse zuviel(Modus::Sammeln, t + "+1");
    EXPECT_EQ(zuviel.code, 6);

    // A right-side identifier takes two terms: y=a+b is five.
    Parse ab(Modus::Sammeln, "y=a+b");
    EXPECT_EQ(ab.g->TermAnzahl, 5);

    // Texts are cut to 255 characters; long runs of anything end in a code, never a crash.
    std::string lang = "y=" + std::string(400, 'a');
    Parse l(Modus::Sammeln, lang);
    EXPECT_EQ(l.code, 0);
    EXPECT_LE(l.ende, 255);
    // The 253-character name is one identifier, kept whole; so in evaluating mode.
    Parse lw(Modus::Auswerten, "y" + std::string(252, 'a') + "=2");
    ASSERT_EQ(lw.code, 0);
    ASSERT_EQ(lw.liste.Count(), 1);
    EXPECT_EQ(lw.liste[0]->Name.size(), std::size_t(253));
    for (const char* muster : {"(", ")", "-", "[", "\"", "{", ";", "SUMME(", "1E"}) {
        std::string s;
        while (s.size() < 300) s += muster;
        for (Modus m : {Modus::Sammeln, Modus::Auswerten, Modus::Bedingung}) {
            Parse p(m, "y=" + s);
            EXPECT_NE(p.code, 0) << muster;
        }
    }
}

TEST(Parser, CaseOfKeywordsAndNames) {
    Parse a(Modus::Auswerten, "y=sin(x)", {"x"});
    Parse b(Modus::Auswerten, "y=SIN(x)", {"x"});
    ASSERT_EQ(a.code, 0);
    ASSERT_EQ(b.code, 0);
    EXPECT_EQ(ArtPrio(*a.g), ArtPrio(*b.g));
    EXPECT_EQ(b.g->Terme[2].Art, 10);
    Parse f(Modus::Auswerten, "y=fakult\xE4t(3)");
    EXPECT_EQ(f.code, 0);
    EXPECT_EQ(f.g->Terme[2].Art, ArtFakultaet);
    // Identifiers are case-sensitive: X is not x.
    Parse c(Modus::Auswerten, "y=X", {"x"});
    EXPECT_EQ(c.code, 1);
}

TEST(Parser, CollectModeGathersFreeNamesOnce) {
    Bezeichnerliste gesammelt;
    TGleichung::Optionen o;
    o.Sammelmodus = true;
    o.Sammelliste = &gesammelt;
    TGleichung g(o);
    ASSERT_EQ(g.FormelLesen("y=a*b+a+g|n*~a"), 0);
    ASSERT_EQ(gesammelt.Count(), 3);
    EXPECT_EQ(gesammelt[0]->Name, "a");
    EXPECT_EQ(gesammelt[1]->Name, "b");
    EXPECT_EQ(gesammelt[2]->Name, "~a");  // g|n is a base constant

    // The same object parses again from a clean state, also after an error.
    EXPECT_EQ(g.FormelLesen("y=(a"), 3);
    EXPECT_EQ(g.FormelLesen("z=1"), 0);
    EXPECT_EQ(g.TermAnzahl, 2);
    EXPECT_EQ(g.Bezeichner().Count(), 1);  // the own list starts empty for every parse
}

TEST(Parser, HandedInListKeepsDefinedNames) {
    Bezeichnerliste liste;
    {
        TGleichung::Optionen o;
        o.Bezeichner = &liste;
        TGleichung g(o);
        ASSERT_EQ(g.FormelLesen("y=SUMME(i=1;3;i)"), 0);
    }
    ASSERT_EQ(liste.Count(), 2);
    EXPECT_EQ(liste[0]->Name, "y");
    EXPECT_EQ(liste[1]->Name, "i");
}

TEST(Parser, SubFormulasAndSeparators) {
    Parse p(Modus::Sammeln, "y=x;z=2");
    ASSERT_EQ(p.code, 0);
    EXPECT_EQ(p.g->FormelAnzahl, 2);
    EXPECT_EQ(p.g->Terme[3].Art, ArtUntereinander);
    EXPECT_EQ(p.g->Terme[3].Prio, 289999);
    EXPECT_EQ(p.g->Terme[4].Prio, 290000);
    EXPECT_EQ(p.g->LetzterTerm, 2);
    Parse q(Modus::Sammeln, "y=x:z=2");
    ASSERT_EQ(q.code, 0);
    EXPECT_EQ(q.g->Terme[3].Art, ArtNebeneinander);
    // The separator step comes after all steps of the following sub-formula.
    EXPECT_EQ(q.g->Schritte[q.g->TermAnzahl - 1].Art, ArtNebeneinander);
}

TEST(Parser, SubFormulaLocationAndVisiblePositions) {
    const std::string t = "y=SUMME(i=1;3;i):z=PRODUKT(k=1;2;k)";
    int start = 0, ende = 0, anzahl = 0;
    TeilformelSuchen(t, start, ende, 0, anzahl);
    EXPECT_EQ(anzahl, 2);
    TeilformelSuchen(t, start, ende, 1, anzahl);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(ende, 16);
    TeilformelSuchen(t, start, ende, 2, anzahl);
    EXPECT_EQ(start, 18);
    EXPECT_EQ(ende, int(t.size()));

    // Separators and keywords inside a heading or legend do not divide the formula.
    struct Zaehlung {
        const char* text;
        int anzahl;
    };
    const Zaehlung zaehlungen[] = {
        {"T=2*~p*WURZEL(l/g|n) {Fadenpendel: Schwingungsdauer}", 1},
        {"y=a;z=b {Zwei Teile; verbunden}", 2},
        {"y=x {Summe: Integral;}", 1},
        {"y=a{Kurve}:z=b{Punkt; Linie}", 2},
        {"y=x {offen: ohne Ende", 1},
    };
    for (const auto& z : zaehlungen) {
        TeilformelSuchen(z.text, start, ende, 0, anzahl);
        EXPECT_EQ(anzahl, z.anzahl) << z.text;
    }
    TeilformelSuchen("y=a{K:1}:z=b", start, ende, 2, anzahl);
    EXPECT_EQ(start, 10);
    EXPECT_EQ(ende, 12);

    struct Fall {
        const char* text;
        int pos;
        int sichtbar;
    };
    const Fall faelle[] = {{"x|2", 3, 2}, {"~p=3", 2, 1}, {"~|a", 3, 1}, {"abc", 10, 3}, {"", 1, 0}};
    for (const auto& f : faelle) EXPECT_EQ(SichtbarePosition(f.text, f.pos), f.sichtbar) << f.text;
}

TEST(Parser, IdentifierReader) {
    struct Fall {
        const char* text;
        int pos;
        bool zahlartig;
        const char* name;
        int laenge;
    };
    const Fall faelle[] = {
        {"x|-=1", 1, false, "x|-", 3},      // a minus right after an index mark
        {"ab-c", 1, false, "ab", 2},        // a minus ends a name
        {"y=a_b~c", 3, false, "a_b~c", 5},  // "_" and "~" never end one
        {"1,5;", 1, true, "1,5", 3},
        {"abcdefghijklmnopqrstuvwxyz=", 1, false, "abcdefghijklmnopqrst", 26},
    };
    for (const auto& f : faelle) {
        std::string name;
        EXPECT_EQ(BezeichnerLesen(f.text, f.pos, 20, name, f.zahlartig), f.laenge) << f.text;
        EXPECT_EQ(name, f.name) << f.text;
    }
}

namespace {

// Records which leaves the parser asks for.
class Protokollfabrik : public ElementFabrik {
public:
    struct Blatt : TDLine {
        Blatt(std::uint32_t tag, std::string t) : TDLine(tag), text(std::move(t)) {}
        std::string text;
    };
    Termelement TextLeaf(std::uint32_t tag, const std::string& text) override {
        return AlsTermelement(std::make_unique<Blatt>(tag, "T:" + text));
    }
    Termelement FormelTextLeaf(std::uint32_t tag, const std::string& text,
                               std::uint32_t farbe) override {
        farben.push_back(farbe);
        return AlsTermelement(std::make_unique<Blatt>(tag, text));
    }
    std::string LeafText(const TDLine& l) const override { return static_cast<const Blatt&>(l).text; }
    Termelement SummenZeichen(std::int32_t art, std::uint32_t tag, const std::string& oben,
                              const std::string& unten) override {
        return AlsTermelement(
            std::make_unique<Blatt>(tag, std::to_string(art) + ":" + oben + "|" + unten));
    }
    std::vector<std::uint32_t> farben;
};

std::string Text(const Term& t) {
    return t.Element ? static_cast<const Protokollfabrik::Blatt&>(*t.Element).text : "-";
}

} // namespace

TEST(Parser, LeavesMadeWhileParsing) {
    Protokollfabrik f;
    TGleichung::Optionen o;
    o.Sammelmodus = true;
    o.ElementeErzeugen = true;
    o.Fabrik = &f;
    TGleichung g(o);
    ASSERT_EQ(g.FormelLesen("y = a-3,5+SUMME(i=1;n;i){Legende}"), 0);
    // y, load a, a, 3,5, sum, load i, i, legend
    ASSERT_EQ(g.TermAnzahl, 8);
    EXPECT_EQ(Text(g.Terme[1]), "y ");
    EXPECT_EQ(Text(g.Terme[2]), " a");
    EXPECT_EQ(Text(g.Terme[4]), "T:3,5");
    EXPECT_EQ(g.Terme[4].Element->Tag, 12u);
    EXPECT_EQ(Text(g.Terme[5]), "34:n|i = 1");
    EXPECT_EQ(g.Terme[5].Element->Tag, 24u);
    EXPECT_EQ(Text(g.Terme[8]), "Legende");
    EXPECT_EQ(g.Terme[7].Art, ArtLegende);
    EXPECT_EQ(f.farben.back(), 0x00606060u);  // legend in grey when the colour is black

    // A parse error frees every leaf.
    EXPECT_EQ(g.FormelLesen("y=a+("), 5);
    for (int i = 1; i <= MaxTerme; ++i) EXPECT_FALSE(g.Terme[i].Element);

    // An annotation extends the leaf of the number before it.
    ASSERT_EQ(g.FormelLesen("v=5[m/s]"), 0);
    EXPECT_EQ(Text(g.Terme[2]), "T:5m/s");

    // Without a factory the terms are those of a parse without leaves.
    TGleichung::Optionen ohne = o;
    ohne.Fabrik = nullptr;
    TGleichung h(ohne);
    ASSERT_EQ(h.FormelLesen("y=a{Legende}"), 0);
    EXPECT_EQ(h.TermAnzahl, 3);
}

TEST(Parser, StepOrderMatchesTheDirectWalk) {
    // The step order against the direct walk: take the greatest priority (leftmost of
    // equal ones), merge with the successor, repeat; for random priorities and lengths.
    std::uint32_t zustand = 12345;
    auto zufall = [&zustand](int n) {
        zustand = zustand * 1664525u + 1013904223u;
        return int((zustand >> 8) % std::uint32_t(n));
    };
    for (int runde = 0; runde < 500; ++runde) {
        TGleichung g;
        const int n = 2 + zufall(MaxTerme - 1);
        g.TermAnzahl = n;
        for (int i = 1; i <= n; ++i) {
            g.Terme[i].Prio = i == n ? 0 : 300000 + zufall(5) * 3 - zufall(3) * 10000;
            g.Terme[i].Art = i;
            g.Terme[i].Folge = i + 1;
            g.Terme[i].TextPos = 100 + i;
        }
        std::vector<int> art(n + 2), prio(n + 2), folge(n + 2);
        std::vector<bool> weg(n + 2, false);
        for (int i = 1; i <= n; ++i) art[i] = g.Terme[i].Art, prio[i] = g.Terme[i].Prio, folge[i] = i + 1;
        std::vector<std::vector<int>> erwartet;
        for (int k = 1; k < n; ++k) {
            int best = 0;
            for (int i = 1; i <= n; ++i)
                if (!weg[i] && folge[i] <= n && (best == 0 || prio[i] > prio[best])) best = i;
            const int j = folge[best];
            erwartet.push_back({best, j, art[best], 100 + best});
            art[best] = art[j], prio[best] = prio[j], folge[best] = folge[j], weg[j] = true;
        }
        g.Reihenfolge();
        for (int k = 1; k < n; ++k) {
            const std::vector<int> ist = {g.Schritte[k].Links, g.Schritte[k].Rechts, g.Schritte[k].Art,
                                          g.Schritte[k].TextPos};
            ASSERT_EQ(ist, erwartet[std::size_t(k - 1)]) << "round " << runde << " step " << k;
        }
    }
}
