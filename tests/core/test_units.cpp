#include <cmath>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/units/Einheiten.h"
#include "core/units/Umrechner.h"

using namespace kd;

namespace {

enum { C = 0, K = 1, F = 2, R = 3 };  // temperature positions

// Chooses both units of a page and types the input; the tone of the typing.
Ton Paar(Umrechner& u, int seite, int von, int nach, std::string_view eingabe) {
    (void)u.WaehleVon(seite, von);
    (void)u.WaehleNach(seite, nach);
    return u.SetzeEingabe(seite, eingabe);
}

} // namespace

TEST(Einheitentabellen, PagesLabelsAndFactors) {
    const std::vector<std::vector<std::string>> erwartet = {
        {"m", "dm", "cm", "mm", "\xB5m", "nm", "pm", "km", "\xC5", "mil", "in", "ft", "yd", "mile",
         "n mile", "typ. Punkt"},
        {"m\xB2", "dm\xB2", "cm\xB2", "mm\xB2", "\xB5m\xB2", "km\xB2", "a", "ha", "bad. Morgen",
         "bay. Tagwerk", "pr. Morgen", "w\xFCrtt. Morgen", "mil\xB2", "in\xB2", "ft\xB2", "yd\xB2",
         "mile\xB2", "acre"},
        {"m\xB3", "dm\xB3", "cm\xB3", "mm\xB3", "km\xB3", "in\xB3", "ft\xB3", "yd\xB3", "fl oz  (US)",
         "gill  (US)", "liq pt  (US)", "liq quart  (US)", "gal  (US)", "liq bbl  (US)",
         "barrel petr.", "fl oz  (UK)", "gill  (UK)", "pt  (UK)", "qt  (UK)", "gal  (UK)", "bbl  (UK)"},
        {"kg", "g", "mg", "\xB5g", "t", "lb", "oz", "dram", "gr", "cwt (US)", "ton (US)", "cwt (UK)",
         "ton (UK)", "Kt"},
        {"s", "min", "h", "d", "a", "Sonnenjahr", "Sternjahr"},
        {"\xB0" "C", "K", "\xB0" "F", "\xB0" "R"},
    };
    const char* namen[] = {"L\xE4nge", "Fl\xE4" "che", "Volumen", "Masse", "Zeit", "Temperatur", ""};
    for (int s = -1; s <= EinheitenSeiten; ++s) {
        const bool gibt = s >= 0 && s < EinheitenSeiten;
        EXPECT_EQ(Seitenname(s), gibt ? namen[s] : "");
        ASSERT_EQ(EinheitenAnzahl(s), gibt ? int(erwartet[s].size()) : 0) << s;
        for (int i = 0; i < EinheitenAnzahl(s); ++i) EXPECT_EQ(Einheit(s, i), erwartet[s][i]) << s << "/" << i;
        EXPECT_EQ(Einheit(s, EinheitenAnzahl(s)), "");
        EXPECT_EQ(Einheit(s, -1), "");
    }
    // 1 / size in extended precision; 1 past a page's units and outside the table.
    const struct {
        int seite, einheit;
        Extended wert;
    } faktoren[] = {
        {0, 0, 1}, {0, 9, 1 / 2.54e-5L}, {0, 15, 1 / 0.000376065L}, {1, 16, 1 / 2589988.110336L},
        {2, 8, 1 / 2.95735295625e-5L}, {3, 8, 437.5L / 0.028349523125L}, {4, 6, 1 / 31558149.5400288L},
        {0, 16, 1}, {4, 7, 1}, {0, 21, 1}, {0, -1, 1}, {5, 0, 1}, {-1, 0, 1},
    };
    for (const auto& f : faktoren) EXPECT_EQ(Einheitenfaktor(f.seite, f.einheit), f.wert) << f.seite << "/" << f.einheit;
    EXPECT_EQ(Temperaturformel(C, K), "Formel: x \xB0" "C = (x+273,15) K");
    EXPECT_EQ(Temperaturformel(K, F), "Formel: x K = (1,8*(x-273,15)+32) \xB0" "F");
    EXPECT_EQ(Temperaturformel(R, C), "Formel: x \xB0" "R = ((x/1,8)-273,15) \xB0" "C");
    EXPECT_EQ(Temperaturformel(F, F), "Formel: x \xB0" "F = x \xB0" "F");
    EXPECT_EQ(Temperaturformel(4, 0), "");
}

// The size of each unit in the page's base unit against the legal definitions, as
// GNU units gives them ("units -d 15 -t brgallon m^3" and so on).
TEST(Einheitentabellen, SizesAreTheLegalDefinitions) {
    const struct {
        int seite;
        const char* einheit;
        long double groesse;
        const char* quelle;
    } faelle[] = {
        {0, "typ. Punkt", 0.000376065L, "didotpoint (DIN 16507)"},
        {0, "in", 0.0254L, "inch"},
        {0, "mile", 1609.344L, "mile"},
        {1, "acre", 4046.8564224L, "acre"},
        {2, "gal  (US)", 0.003785411784L, "usgallon"},
        {2, "liq bbl  (US)", 0.119240471196L, "31.5 usgallon"},
        {2, "barrel petr.", 0.158987294928L, "petroleumbarrel"},
        {2, "fl oz  (UK)", 2.84130625e-5L, "brfloz"},
        {2, "gill  (UK)", 1.420653125e-4L, "brgill"},
        {2, "pt  (UK)", 5.6826125e-4L, "brpint"},
        {2, "qt  (UK)", 0.0011365225L, "brquart"},
        {2, "gal  (UK)", 0.00454609L, "brgallon"},
        {2, "bbl  (UK)", 0.16365924L, "brbarrel"},
        {3, "lb", 0.45359237L, "pound"},
        {3, "oz", 0.028349523125L, "ounce"},
        {3, "dram", 0.0017718451953125L, "dram"},
        {3, "gr", 6.479891e-05L, "grain"},
        {3, "cwt (US)", 45.359237L, "ushundredweight"},
        {3, "ton (US)", 907.18474L, "shortton"},
        {3, "cwt (UK)", 50.80234544L, "brhundredweight"},
        {3, "ton (UK)", 1016.0469088L, "brton"},
        {4, "Sternjahr", 31558149.5400288L, "siderealyear"},
    };
    for (const auto& f : faelle) {
        int nr = -1;
        for (int i = 0; i < EinheitenAnzahl(f.seite); ++i)
            if (Einheit(f.seite, i) == f.einheit) nr = i;
        ASSERT_GE(nr, 0) << f.einheit;
        const long double groesse = 1 / Einheitenfaktor(f.seite, nr);
        EXPECT_LE(std::fabs(groesse / f.groesse - 1), 1E-15L) << f.einheit << " (" << f.quelle << ")";
    }
}

TEST(Einheitentexte, InputReadingWithTheOneCommaRule) {
    const struct {
        const char* text;
        bool zahl;
        Extended wert;
    } faelle[] = {
        {"1,5", true, 1.5L}, {"1.5", true, 1.5L}, {"  -3", true, -3},  {"1,5e2", true, 150},
        {",5", true, 0.5L},  {"1,E2", true, 100},
        {"12,5,0", false, 0}, {"1,2.3", false, 0}, {"1.2,3", false, 0}, {"-", false, 0},
        {"", false, 0},       {"abc", false, 0},   {"1 ", false, 0},    {"1e", false, 0},
        {"--1", false, 0},    {"1e5,", false, 0},  {"1E5000", false, 0},
    };
    for (const auto& f : faelle) {
        Extended w = 99;
        EXPECT_EQ(EingabeLesen(f.text, w), f.zahl) << '"' << f.text << '"';
        EXPECT_EQ(w, f.wert) << '"' << f.text << '"';
    }
}

TEST(Einheitentexte, TwelveDigitResultsAndEightDigitExamples) {
    const struct {
        Extended x;
        const char* zwoelf;  // result field
        const char* acht;    // example line
    } faelle[] = {
        {39370.0787401574803L, "39370.0787402", "39370.079"},  // 13 characters, fixed: not cut
        {1e-18L, "1E-18", "1E-18"},
        {-1.23456789012E-7L, "-1.234567E-7", "-1.2345679E-7"},
        {123456789012345.0L, "1.2345678E14", "1.2345679E14"},
        {-1.18973149535723176502e+4932L, "-1.1897E4932", "-1.1897315E4932"},
        {0, "0", "0"},
        {0.0001L, "0.0001", "0.0001"},
        {0.0000999999999999999L, "0.0001", "0.0001"},  // rounded into fixed notation
        {0.00005L, "5E-5", "5E-5"},
        {-0.000123456789012345L, "-0.000123456789012", "-0.00012345679"},  // long but fixed
        {999999999999.5L, "1E12", "1E12"},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Ergebnistext(f.x), f.zwoelf) << f.zwoelf;
        EXPECT_EQ(Allgemein(f.x, 8), f.acht) << f.acht;
    }
    EXPECT_EQ(Ergebnistext(-1.23456789012E-7L, ","), "-1,234567E-7");
    EXPECT_EQ(Beispielzeile("in", 0.0254L, "m"), "Beispiel: 1 in = 0.0254 m");
}

TEST(Umrechner, ConversionsOnEveryPage) {
    const struct {
        int seite, von, nach;
        const char* eingabe;
        const char* ausgabe;
        const char* beschriftung;  // nullptr: the temperature formula
    } faelle[] = {
        {0, 0, 9, "1", "39370.0787402", "Beispiel: 1 m = 39370.079 mil"},
        {0, 0, 0, "1,50", "1.5", "Beispiel: 1 m = 1 m"},
        {0, 6, 0, "-123456,789", "-1.234567E-7", "Beispiel: 1 pm = 1E-12 m"},
        {0, 0, 7, "0.05", "5E-5", "Beispiel: 1 m = 0.001 km"},
        {1, 4, 5, "1", "1E-18", "Beispiel: 1 \xB5m\xB2 = 1E-18 km\xB2"},
        {2, 12, 10, "1", "8", "Beispiel: 1 gal  (US) = 8 liq pt  (US)"},
        {3, 6, 8, "2", "875", "Beispiel: 1 oz = 437.5 gr"},
        {4, 2, 0, "1,5", "5400", "Beispiel: 1 h = 3600 s"},
        {5, C, K, "12,5", "285.65", nullptr}, {5, C, R, "0", "491.67", nullptr},
        {5, K, F, "0", "-459.67", nullptr},   {5, F, C, "212", "100", nullptr},
        {5, R, K, "180", "100", nullptr},     {5, C, F, "-40", "-40", nullptr},
        // the same temperature unit copies the text as it stands
        {5, C, C, "abc", "abc", nullptr},     {5, K, K, "12,5,0", "12,5,0", nullptr},
    };
    for (const auto& f : faelle) {
        Umrechner u;
        EXPECT_EQ(Paar(u, f.seite, f.von, f.nach, f.eingabe), Ton::Still) << f.eingabe;
        const Einheitenseite& p = u.Seite(f.seite);
        EXPECT_EQ(p.Ausgabe, f.ausgabe) << f.seite << " " << f.eingabe;
        EXPECT_EQ(p.Beschriftung, f.beschriftung ? f.beschriftung : Temperaturformel(f.von, f.nach));
        EXPECT_EQ(p.NachText, Einheit(f.seite, f.nach));
        EXPECT_EQ(u.KopiertEingabe(f.seite), f.seite == 5 && f.von == f.nach);
    }
}

TEST(Umrechner, KeystrokesBeepsAndTheLoneMinus) {
    const struct {
        int seite, von, nach;
        const char* eingabe;
        Ton ton;
        const char* ausgabe;
    } schritte[] = {
        {0, 0, 2, "a", Ton::Piep, ""},       {0, 0, 2, "ab", Ton::Piep, ""},  // every keystroke
        {0, 0, 2, "", Ton::Still, ""},       {0, 0, 2, "-", Ton::Still, ""},
        {0, 0, 2, "-1", Ton::Still, "-100"}, {0, 0, 2, "-1,5,", Ton::Piep, ""},
        {0, 0, 2, "1E4932", Ton::Piep, ""},  // the product leaves the extended range
        {0, 0, 6, "-9E4925", Ton::Piep, ""}, {5, C, K, "12,5,0", Ton::Piep, ""},
        {5, C, K, "-", Ton::Still, ""},      {5, K, R, "1E4932", Ton::Piep, ""},
        {5, C, C, "-", Ton::Still, "-"},
    };
    Umrechner u;
    for (const auto& s : schritte) {
        (void)Paar(u, s.seite, s.von, s.nach, "7");  // a filled result first
        EXPECT_EQ(u.SetzeEingabe(s.seite, s.eingabe), s.ton) << s.eingabe;
        EXPECT_EQ(u.Seite(s.seite).Ausgabe, s.ausgabe) << s.eingabe;
    }
    EXPECT_EQ(u.SetzeEingabe(0, "x"), Ton::Piep);
    EXPECT_TRUE(u.KeineZahl());
    (void)u.SetzeEingabe(5, "abc");  // copied, not read: the flag stays
    EXPECT_TRUE(u.KeineZahl());
}

TEST(Umrechner, UnitsChosenOneByOne) {
    Umrechner u;
    for (int s = 0; s < EinheitenSeiten; ++s) {
        EXPECT_EQ(u.Seite(s).Beschriftung, s == 5 ? "Formel:" : "Beispiel:");
        EXPECT_EQ(u.SetzeEingabe(s, "x"), Ton::Still);  // nothing chosen: nothing happens
        EXPECT_EQ(u.Seite(s).Ausgabe, "");
    }
    EXPECT_EQ(u.WaehleNach(0, 7), Ton::Still);
    EXPECT_EQ(u.Seite(0).Beschriftung, "Beispiel:");
    EXPECT_EQ(u.Seite(0).NachText, "km");
    EXPECT_EQ(u.WaehleVon(5, C), Ton::Still);
    EXPECT_EQ(u.Seite(5).Beschriftung, "");  // "Formel:" goes at the first click
    // The click completing a pair converts the waiting text, here no number.
    EXPECT_EQ(u.WaehleVon(0, 0), Ton::Piep);
    EXPECT_EQ(u.SetzeEingabe(0, "2"), Ton::Still);
    EXPECT_EQ(u.Seite(0).Ausgabe, "0.002");
    EXPECT_EQ(u.WaehleNach(0, 3), Ton::Still);  // another target: factor, caption, result
    EXPECT_EQ(u.Seite(0).Ausgabe, "2000");
    EXPECT_EQ(u.Seite(0).Beschriftung, "Beispiel: 1 m = 1000 mm");
    EXPECT_EQ(u.Seite(0).Faktor, Einheitenfaktor(0, 3));
    EXPECT_EQ(u.WaehleNach(5, C), Ton::Still);  // copied
    EXPECT_EQ(u.Seite(5).Ausgabe, "x");
    EXPECT_EQ(u.WaehleNach(5, K), Ton::Piep);
    // Each page keeps its own pair.
    (void)Paar(u, 1, 5, 0, "1");
    EXPECT_EQ(u.SetzeEingabe(0, "3"), Ton::Still);
    EXPECT_EQ(u.Seite(0).Ausgabe, "3000");
    EXPECT_EQ(u.Seite(1).Ausgabe, "1000000");
    // Unknown pages and positions change nothing; the input takes 12 characters.
    for (int s : {-1, 6})
        for (int e : {-1, 0}) EXPECT_EQ(u.WaehleVon(s, e), Ton::Still);
    EXPECT_EQ(u.WaehleVon(4, 7), Ton::Still);
    EXPECT_EQ(u.Seite(4).Von, -1);
    EXPECT_EQ(u.SetzeEingabe(7, "1"), Ton::Still);
    (void)Paar(u, 2, 0, 0, "1234567890123456");
    EXPECT_EQ(u.Seite(2).Eingabe, "123456789012");
    EXPECT_EQ(u.Seite(2).Ausgabe, "123456789012");
}

TEST(Umrechner, LocaleSeparator) {
    Umrechner u(",");
    (void)Paar(u, 0, 15, 3, "2.5");  // the point of a unit label stays
    EXPECT_EQ(u.Seite(0).Beschriftung, "Beispiel: 1 typ. Punkt = 0,376065 mm");
    EXPECT_EQ(u.Seite(0).Ausgabe, "0,9401625");
    EXPECT_EQ(Paar(u, 5, C, K, "12,5"), Ton::Still);
    EXPECT_EQ(u.Seite(5).Ausgabe, "285,65");
}
