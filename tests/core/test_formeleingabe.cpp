// The rules of the formula entry dialog: function list and insertions, the further
// sub-formula, the lines handed back, the checks and the calculator history.
#include <gtest/gtest.h>

#include "core/eval/Formeleingabe.h"
#include "core/eval/KDGData.h"
#include "core/eval/Rechenfehler.h"
#include "core/eval/Tabellierung.h"
#include "core/matrix/MatrixObj.h"
#include "core/notation/Gleichung.h"

using namespace kd;

TEST(Formeleingabe, FunktionslisteHat22EintraegeUndDieSummen) {
    const auto ohne = Funktionsliste(false);
    const auto mit = Funktionsliste(true);
    ASSERT_EQ(ohne.size(), 22u);
    ASSERT_EQ(mit.size(), 25u);
    EXPECT_EQ(ohne.front(), "Abs(  )");
    EXPECT_EQ(ohne.back(), "Gamma(  )");
    EXPECT_EQ(ohne[std::size_t(ArtWurzel - ArtAbs)], "Wurzel(  )");
    EXPECT_EQ(ohne[std::size_t(ArtFakultaet - ArtAbs)], "Fakult\xE4t(  )");
    EXPECT_EQ(mit[22], "Summe(  )");
    EXPECT_EQ(mit[23], "Integral(  )");
    EXPECT_EQ(mit[24], "Produkt(  )");
    for (std::size_t i = 0; i < ohne.size(); ++i) EXPECT_EQ(ohne[i], mit[i]);
}

TEST(Formeleingabe, FunktionEinfuegung) {
    struct Fall {
        int eintrag;
        const char* text;
        int caret;
        int auswahl;
    };
    const Fall faelle[] = {
        {0, "ABS()", 4, 0},
        {ArtWurzel - ArtAbs, "WURZEL()", 7, 0},
        {ArtFakultaet - ArtAbs, "FAKULT\xC4T()", 9, 0},
        {21, "GAMMA()", 6, 0},
        {22, "Summe(x=start;ende;formel)", 6, 19},
        {23, "Integral(x=start;ende;formel)", 9, 19},
        {24, "Produkt(x=start;ende;formel)", 8, 19},
        {25, "", 0, 0},
        {-1, "", 0, 0},
    };
    for (const Fall& f : faelle) {
        const Einfuegung e = FunktionEinfuegung(f.eintrag);
        EXPECT_EQ(e.Text, f.text) << f.eintrag;
        EXPECT_EQ(e.Caret, f.caret) << f.eintrag;
        EXPECT_EQ(e.Auswahl, f.auswahl) << f.eintrag;
        if (f.auswahl > 0) {
            EXPECT_EQ(e.Text.substr(std::size_t(e.Caret), std::size_t(e.Auswahl)), "x=start;ende;formel");
        }
    }
    // Every function keyword parses once it has an argument.
    for (int i = 0; i < Grundfunktionen; ++i) {
        std::string t = FunktionEinfuegung(i).Text;
        t.insert(std::size_t(FunktionEinfuegung(i).Caret), "2");
        TGleichung g;
        EXPECT_EQ(g.FormelLesen("y=" + t), 0) << t;
    }
}

TEST(Formeleingabe, SichtbareZeichen) {
    struct Fall {
        const char* text;
        std::size_t bytes;
        int sichtbar;
    };
    const Fall faelle[] = {
        {"abc", 2, 2},        {"~abc", 2, 1},      {"~a|bc", 4, 2},
        {"~|ab", 3, 1},       {"~|ab", 4, 2},      {"x~", 2, 2},
        {"|", 1, 1},          {"", 0, 0},          {"a~|", 3, 2},
    };
    for (const Fall& f : faelle) EXPECT_EQ(SichtbareZeichen(f.text, f.bytes), f.sichtbar) << f.text;
}

TEST(Formeleingabe, WeitereTeilformel) {
    struct Fall {
        const char* vorher;
        const char* nachher;
        int start;
    };
    const Fall faelle[] = {
        {"y=a{Kurve}", "y=a;y=x{Kurve}", 4},
        {"y=a\"Kommentar\"", "y=a;y=x\"Kommentar\"", 4},
        {"y=a\"x\"{Kurve}", "y=a\"x\";y=x{Kurve}", 7},
        {"y=a", "y=a;y=x", 4},
        {"~a=|b{L}", "~a=|b;y=x{L}", 4},
        {"~{=1", "~{=1;y=x", 4},  // a Symbol letter "{" is no legend
        {"", ";y=x", 1},
    };
    for (const Fall& f : faelle) {
        const Teilformelzusatz z = WeitereTeilformel(f.vorher);
        EXPECT_TRUE(z.Passt);
        EXPECT_EQ(z.Text, f.nachher) << f.vorher;
        EXPECT_EQ(z.AuswahlStart, f.start) << f.vorher;
        EXPECT_EQ(z.AuswahlLaenge, 3);
    }
    const std::string voll = "y=" + std::string(252, 'a');
    const Teilformelzusatz z = WeitereTeilformel(voll);
    EXPECT_FALSE(z.Passt);
    EXPECT_EQ(z.Text, voll);
    EXPECT_TRUE(WeitereTeilformel(std::string(251, 'a')).Passt);
}

TEST(Formeleingabe, FormelzeilenUndPruefung) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Formelzeilen(V{"y=x", "z=1"}, 0, "y=a"), (V{"y=a", "z=1"}));
    EXPECT_EQ(Formelzeilen(V{"y=x", " ", "z=1"}, 2, "q=2"), (V{"y=x", "q=2"}));
    EXPECT_EQ(Formelzeilen(V{"y=x"}, 0, "   "), V{});
    EXPECT_EQ(Formelzeilen(V{}, -1, "y=1"), V{"y=1"});
    EXPECT_EQ(Formelzeilen(V{"a=1"}, -1, "y=1"), V{"a=1"});
    EXPECT_EQ(Formelzeilen(V{"y=1"}, 0, std::string(300, '=')).front().size(), 255u);

    EXPECT_EQ(FormelnPruefen(V{"y=a", "b=1"}), "");
    EXPECT_EQ(FormelnPruefen(V{}), "");
    EXPECT_EQ(FormelnPruefen(V{"y=a", "a+b"}), "In einer oder mehreren Formeln fehlt \"=\"");
    EXPECT_EQ(FormelnPruefen(V{"a+b"}), MeldungGleichFehlt);
}

namespace {

Kurveneingabe Kurve2D() {
    Kurveneingabe e;
    e.XStart = "0";
    e.XEnde = "10";
    e.XPunkte = "11";
    e.ZStart = "0";
    e.ZEnde = "1";
    e.ZPunkte = "3";
    e.YStart = "auto";
    e.YEnde = "AUTO";
    e.XVariable = "x";
    e.ZVariable = "z";
    e.Zeilen = {"y=x*2", "y=x-1"};
    return e;
}

// The position the parser reports for a text, as text.
std::string ParserPosition(const std::string& text) {
    TGleichung g;
    int pos = 0, ende = 0;
    g.FormelLesen(text, "x", "", 0, pos, ende);
    return std::to_string(pos);
}

} // namespace

TEST(Formeleingabe, KurvenPruefenMeldungen) {
    struct Fall {
        const char* name;
        void (*aendern)(Kurveneingabe&);
        std::string meldung;
        Kurvenfeld feld;
    };
    const Fall faelle[] = {
        {"XStart keine Zahl", [](Kurveneingabe& e) { e.XStart = "abc"; }, "Fehlerhafte Eingabe", Kurvenfeld::XStart},
        {"XEnde keine Zahl", [](Kurveneingabe& e) { e.XEnde = ""; }, "Fehlerhafte Eingabe", Kurvenfeld::XEnde},
        {"XEnde = XStart", [](Kurveneingabe& e) { e.XEnde = "0"; }, MeldungStartwertX, Kurvenfeld::XStart},
        {"XEnde < XStart", [](Kurveneingabe& e) { e.XEnde = "-1"; }, MeldungStartwertX, Kurvenfeld::XStart},
        {"2001 Punkte", [](Kurveneingabe& e) { e.XPunkte = "2001"; }, MeldungPunkteZuGross, Kurvenfeld::XPunkte},
        {"Punkte gebrochen", [](Kurveneingabe& e) { e.XPunkte = "2,5"; }, "Fehlerhafte Eingabe", Kurvenfeld::XPunkte},
        {"1 Punkt", [](Kurveneingabe& e) { e.XPunkte = "1"; }, MeldungPunkteX, Kurvenfeld::XPunkte},
        {"log Start 0", [](Kurveneingabe& e) { e.XLog = true; }, MeldungLogStart, Kurvenfeld::XStart},
        {"log eng", [](Kurveneingabe& e) { e.XLog = true; e.XStart = "1"; e.XEnde = "1,0000001"; },
         MeldungLogEng, Kurvenfeld::XEnde},
        {"Z keine Zahl 3D", [](Kurveneingabe& e) { e.Dreidimensional = true; e.ZEnde = "x"; },
         "Fehlerhafte Eingabe", Kurvenfeld::ZEnde},
        {"Z 256 Punkte", [](Kurveneingabe& e) { e.Dreidimensional = true; e.ZPunkte = "256"; },
         MeldungPunkteZuGross, Kurvenfeld::ZPunkte},
        {"Z 1 Punkt", [](Kurveneingabe& e) { e.Dreidimensional = true; e.ZPunkte = "1"; },
         MeldungPunkteZ, Kurvenfeld::ZPunkte},
        {"Z Start = Ende", [](Kurveneingabe& e) { e.Dreidimensional = true; e.ZEnde = "0"; },
         MeldungStartwertZ, Kurvenfeld::ZStart},
        {"Y keine Zahl", [](Kurveneingabe& e) { e.YStart = "autom"; }, "Fehlerhafte Eingabe", Kurvenfeld::YStart},
        {"Y Ende <= Start", [](Kurveneingabe& e) { e.YStart = "5"; e.YEnde = "5"; }, MeldungStartwertY, Kurvenfeld::YStart},
        {"Y auto konstant", [](Kurveneingabe& e) { e.Zeilen = {"y=3"}; }, MeldungStartwertY, Kurvenfeld::YStart},
        {"Y log negativ", [](Kurveneingabe& e) { e.YLog = true; }, MeldungLogStart, Kurvenfeld::YStart},
        {"Formel Syntax", [](Kurveneingabe& e) { e.Zeilen = {"y=x", "y=(x"}; },
         std::string(Fehlertexte[3]) + " (Formel 2, Position " + ParserPosition("y=(x") + ")",
         Kurvenfeld::Formel},
        {"Rechenfehler", [](Kurveneingabe& e) { e.Zeilen = {"y=WURZEL(x-20)"}; },
         std::string(Rechenfehlertexte[3]) + " (Formel 1, Position ", Kurvenfeld::Formel},
    };
    for (const Fall& f : faelle) {
        Kurveneingabe e = Kurve2D();
        f.aendern(e);
        const Kurvenpruefung p = KurvenPruefen(e);
        // An evaluation error names its place; only its start is compared.
        EXPECT_EQ(p.Fehler.substr(0, f.meldung.size()), f.meldung) << f.name;
        EXPECT_EQ(p.Fehler.empty(), f.meldung.empty()) << f.name;
        EXPECT_EQ(p.Feld, f.feld) << f.name;
        EXPECT_FALSE(p.Werte) << f.name;
    }
    // Hidden Z fields of a 2-D curve are not read.
    Kurveneingabe e = Kurve2D();
    e.ZStart = "kaputt";
    EXPECT_TRUE(KurvenPruefen(e).Bestanden());
}

TEST(Formeleingabe, KurvenPruefenTabelliert2DUnd3D) {
    Kurveneingabe e = Kurve2D();
    Kurvenpruefung p = KurvenPruefen(e);
    ASSERT_TRUE(p.Bestanden()) << p.Fehler;
    ASSERT_TRUE(p.Werte);
    EXPECT_EQ(p.Werte->LastRow, 2);
    EXPECT_EQ(p.Werte->LastCol, 11);
    EXPECT_EQ(p.Werte->GetValue(0, 11), 10);
    EXPECT_EQ(p.Werte->GetValue(1, 11), 20);
    EXPECT_EQ(p.Werte->GetValue(2, 1), -1);
    EXPECT_TRUE(p.YMinAuto && p.YMaxAuto);
    EXPECT_EQ(p.YMin, -1);
    EXPECT_EQ(p.YMax, 20);

    TKDGData d;
    d.Werte = std::make_unique<TMatrixObj>(1, 1);
    e.XVariable = "t";
    e.Zeilen = {"y=t*2", "y=t-1"};
    p = KurvenPruefen(e);
    ASSERT_TRUE(p.Bestanden()) << p.Fehler;
    const TMatrixObj* neu = p.Werte.get();
    KurvenUebernehmen(d, e, p);
    EXPECT_EQ(d.Werte.get(), neu);
    EXPECT_EQ(d.XEnde, 10);
    EXPECT_EQ(d.XPunkte, 11);
    EXPECT_EQ(d.XVariable, "t");
    EXPECT_EQ(d.YMax, 20);

    Kurveneingabe e3 = Kurve2D();
    e3.Dreidimensional = true;
    e3.YStart = "0";
    e3.YEnde = "100";
    e3.Zeilen = {"y=x+z*100"};
    Kurvenpruefung p3 = KurvenPruefen(e3);
    ASSERT_TRUE(p3.Bestanden()) << p3.Fehler;
    EXPECT_EQ(p3.Werte->LastRow, 3);
    EXPECT_EQ(p3.Werte->LastCol, 11);
    EXPECT_EQ(p3.Werte->GetValue(3, 11), 110);
    EXPECT_FALSE(p3.YMinAuto);
    EXPECT_EQ(p3.YMax, 100);
    KurvenUebernehmen(d, e3, p3);
    EXPECT_TRUE(d.Dreidimensional);
    EXPECT_EQ(d.ZPunkte, 3);
    EXPECT_EQ(d.ZEnde, 1);

    // A failed check leaves the record as it was.
    Kurveneingabe schlecht = Kurve2D();
    schlecht.XEnde = "-5";
    Kurvenpruefung ps = KurvenPruefen(schlecht);
    const TMatrixObj* alt = d.Werte.get();
    KurvenUebernehmen(d, schlecht, ps);
    EXPECT_EQ(d.Werte.get(), alt);
    EXPECT_EQ(d.XEnde, 10);
}

TEST(Formeleingabe, StartwertZeile) {
    struct Fall {
        const char* text;
        const char* x;
        Extended xWert;
        std::string zeile;
    };
    const Fall faelle[] = {
        {"y=2*3", "", 0, "y = 6  f\xFCr Startwerte"},
        {"a=1;b=a+1", "", 0, "b = 2  f\xFCr Startwerte"},
        {"y=x^2", "x", 3, "y = 9  f\xFCr Startwerte"},
        {"y=x^2", "", 3, ""},        // x has no value
        {"y=a*2", "", 0, ""},
        {"y=(2", "", 0, ""},
        {"y=B[1;1]", "", 0, ""},
        {"y=1/x", "x", 0, Rechenfehlertexte[1]},
        {"y=WURZEL(x)", "x", -4, Rechenfehlertexte[3]},
    };
    for (const Fall& f : faelle)
        EXPECT_EQ(StartwertZeile(f.text, f.x, "", f.xWert, 0), f.zeile) << f.text;
}

TEST(Formeleingabe, RechnerVerlauf) {
    std::vector<std::string> z{"y=2*3"};
    RechnerVerlauf(z);
    EXPECT_EQ(z, (std::vector<std::string>{"y=2*3", "y=2*3"}));
    z.front() = "y=";
    for (int i = 0; i < 40; ++i) RechnerVerlauf(z);
    EXPECT_EQ(z.size(), RechnerVerlaufMax);
    EXPECT_EQ(z.back(), "y=2*3");
    std::vector<std::string> leer;
    RechnerVerlauf(leer);
    EXPECT_TRUE(leer.empty());
}
