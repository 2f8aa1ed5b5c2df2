#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/units/Einheiten.h"
#include "core/units/Umrechner.h"

using namespace kd;

namespace {

std::string Zeig(Extended v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.21Lg", v);
    return b;
}

// Positions used below.
enum { m = 0, dm = 1, cm = 2, mm = 3, pm = 6, km = 7, mil = 9, in = 10, mile = 13 };
enum { qm = 0, qum = 4, qkm = 5 };
enum { C = 0, K = 1, F = 2, R = 3 };

// Chooses both units of a page and types the input.
Ton Paar(Umrechner& u, int seite, int von, int nach, std::string_view eingabe) {
    (void)u.WaehleVon(seite, von);
    (void)u.WaehleNach(seite, nach);
    return u.SetzeEingabe(seite, eingabe);
}

} // namespace

TEST(Einheitentabellen, PagesAndLabelsInTheirOrder) {
    const std::vector<std::vector<std::string>> erwartet = {
        {"m", "dm", "cm", "mm", "\xB5m", "nm", "pm", "km", "\xC5", "mil", "in", "ft", "yd", "mile",
         "n mile", "typ. Punkt"},
        {"m\xB2", "dm\xB2", "cm\xB2", "mm\xB2", "\xB5m\xB2", "km\xB2", "a", "ha", "bad. Morgen",
         "bay. Tagwerk", "pr. Morgen", "w\xFCrtt. Morgen", "mil\xB2", "in\xB2", "ft\xB2", "yd\xB2",
         "mile\xB2", "acre"},
        {"m\xB3", "dm\xB3", "cm\xB3", "mm\xB3", "km\xB3", "in\xB3", "ft\xB3", "yd\xB3", "fl oz  (US)",
         "gill  (US)", "liq pt  (US)", "liq quart  (US)", "gal  (US)", "liq bbl  (US)",
         "barrel petr.", "fl oz  (UK)", "gill  (UK)", "pt  (UK)", "qt  (UK)", "gal  (UK)",
         "bbl  (UK)"},
        {"kg", "g", "mg", "\xB5g", "t", "lb", "oz", "dram", "gr", "cwt (US)", "ton (US)", "cwt (UK)",
         "ton (UK)", "Kt"},
        {"s", "min", "h", "d", "a", "Sonnenjahr", "Sternjahr"},
        {"\xB0" "C", "K", "\xB0" "F", "\xB0" "R"},
    };
    const char* namen[] = {"L\xE4nge", "Fl\xE4" "che", "Volumen", "Masse", "Zeit", "Temperatur"};
    for (int s = 0; s < EinheitenSeiten; ++s) {
        EXPECT_EQ(Seitenname(s), namen[s]);
        ASSERT_EQ(EinheitenAnzahl(s), int(erwartet[s].size())) << s;
        for (int i = 0; i < EinheitenAnzahl(s); ++i) EXPECT_EQ(Einheit(s, i), erwartet[s][i]) << s << "/" << i;
        EXPECT_EQ(Einheit(s, EinheitenAnzahl(s)), "");
        EXPECT_EQ(Einheit(s, -1), "");
    }
    EXPECT_EQ(Seitenname(6), "");
    EXPECT_EQ(Seitenname(-1), "");
    EXPECT_EQ(EinheitenAnzahl(6), 0);
    EXPECT_EQ(Einheit(9, 0), "");
}

TEST(Einheitentabellen, FactorIsOneOverTheSizeInExtendedPrecision) {
    const struct {
        int seite, einheit;
        Extended wert;
    } faelle[] = {
        {0, 0, 1},
        {0, 4, 1 / 1e-6L},
        {0, 9, 1 / 2.54e-5L},
        {0, 15, 1 / 0.000376L},
        {1, 16, 1 / 2589988.110336L},
        {1, 11, 1 / 3152.0L},
        {2, 8, 1 / 2.95735295625e-5L},
        {2, 20, 1 / 0.1636596L},
        {3, 8, 437.5L / 0.0283495L},  // the grain
        {3, 13, 1 / 0.0002L},
        {4, 6, 1 / 31558152.96L},
        // past the units of a page, and outside the table
        {0, 16, 1}, {0, 20, 1}, {3, 14, 1}, {4, 7, 1},
        {0, 21, 1}, {0, -1, 1}, {5, 0, 1}, {-1, 0, 1}, {6, 3, 1},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(Einheitenfaktor(f.seite, f.einheit), f.wert)
            << f.seite << "/" << f.einheit << ": " << Zeig(Einheitenfaktor(f.seite, f.einheit));
}

TEST(Einheitentabellen, TemperatureFormulaTexts) {
    const char* erwartet[4][4] = {
        {"Formel: x \xB0" "C = x \xB0" "C", "Formel: x \xB0" "C = (x+273,15) K",
         "Formel: x \xB0" "C = (1,8*x+32) \xB0" "F", "Formel: x \xB0" "C = ((x+273,15)*1,8) \xB0" "R"},
        {"Formel: x K = (x-273,15) \xB0" "C", "Formel: x K = x K",
         "Formel: x K = (1,8*(x-273,15)+32) \xB0" "F", "Formel: x K = (1,8*x) \xB0" "R"},
        {"Formel: x \xB0" "F = ((x-32)/1,8) \xB0" "C", "Formel: x \xB0" "F = ((x-32)/1,8+273,15) K",
         "Formel: x \xB0" "F = x \xB0" "F", "Formel: x \xB0" "F = (x+459,67) \xB0" "R"},
        {"Formel: x \xB0" "R = ((x/1,8)-273,15) \xB0" "C", "Formel: x \xB0" "R = (x/1,8) K",
         "Formel: x \xB0" "R = (x-459,67) \xB0" "F", "Formel: x \xB0" "R = x \xB0" "R"},
    };
    for (int v = 0; v < 4; ++v)
        for (int n = 0; n < 4; ++n) EXPECT_EQ(Temperaturformel(v, n), erwartet[v][n]) << v << "/" << n;
    EXPECT_EQ(Temperaturformel(4, 0), "");
    EXPECT_EQ(Temperaturformel(0, -1), "");
}

TEST(Einheitentexte, InputReadingWithTheOneCommaRule) {
    const struct {
        const char* text;
        bool zahl;
        Extended wert;
    } faelle[] = {
        {"1,5", true, 1.5L},   {"1.5", true, 1.5L},    {"  2", true, 2},        {"-3", true, -3},
        {"+4", true, 4},       {"1e3", true, 1000},    {"1E-2", true, 0.01L},   {"1,5e2", true, 150},
        {",5", true, 0.5L},    {"5,", true, 5},        {"-,25", true, -0.25L},  {"1,E2", true, 100},
        {"12,5,0", false, 0},  {"1,2.3", false, 0},    {"1.2,3", false, 0},     {"1,,5", false, 0},
        {"-", false, 0},       {"+", false, 0},        {"", false, 0},          {" ", false, 0},
        {"abc", false, 0},     {"1 ", false, 0},       {"1e", false, 0},        {"1E+", false, 0},
        {"--1", false, 0},     {"1e5,", false, 0},     {"1E5000", false, 0},    {"\xB0", false, 0},
    };
    for (const auto& f : faelle) {
        Extended w = 99;
        EXPECT_EQ(EingabeLesen(f.text, w), f.zahl) << '"' << f.text << '"';
        EXPECT_EQ(w, f.wert) << '"' << f.text << "\": " << Zeig(w);
    }
}

TEST(Einheitentexte, ResultWithTwelveDigitsAndTheMantissaCut) {
    const struct {
        Extended x;
        const char* text;
    } faelle[] = {
        {39370.0787401574803L, "39370.0787402"},  // 13 characters, no exponent: not cut
        {1e-18L, "1E-18"},
        {-1.23456789012E-7L, "-1.234567E-7"},
        {123456789012345.0L, "1.2345678E14"},
        {-1.18973149535723176502e+4932L, "-1.1897E4932"},
        {1.5e-7L, "1.5E-7"},
        {2.5e15L, "2.5E15"},
        {1e-4000L, "1E-4000"},
        {0, "0"},
        {-0.0L, "0"},
        {285.65L, "285.65"},
        {0.0001L, "0.0001"},
        {0.0000999999999999999L, "0.0001"},  // rounding lifts it into fixed notation
        {0.00005L, "5E-5"},
        {-0.0000123L, "-1.23E-5"},
        {0.000123456789012345L, "0.000123456789012"},  // 17 characters, fixed: shown as it is
        {999999999999.0L, "999999999999"},
        {999999999999.5L, "1E12"},
        {1e12L, "1E12"},
        {-2500, "-2500"},
        {1.0L / 3, "0.333333333333"},
    };
    for (const auto& f : faelle) EXPECT_EQ(Ergebnistext(f.x), f.text) << Zeig(f.x);
    EXPECT_EQ(Ergebnistext(285.65L, ","), "285,65");
    EXPECT_EQ(Ergebnistext(-1.23456789012E-7L, ","), "-1,234567E-7");
    EXPECT_EQ(Ergebnistext(1e-7L, ","), "1E-7");
}

TEST(Einheitentexte, ExampleLineWithEightDigits) {
    const struct {
        Extended x;
        const char* text;
    } faelle[] = {
        {0.0254L, "0.0254"},         {39370.0787401574803L, "39370.079"}, {1, "1"},
        {12345678, "12345678"},      {123456789, "1.2345679E8"},          {0.00001L, "1E-5"},
        {1e-18L, "1E-18"},           {0.62137119223733397L, "0.62137119"},
    };
    for (const auto& f : faelle) EXPECT_EQ(Allgemein(f.x, 8), f.text) << Zeig(f.x);
    EXPECT_EQ(Beispielzeile("in", 0.0254L, "m"), "Beispiel: 1 in = 0.0254 m");
    EXPECT_EQ(Beispielzeile("in", 0.0254L, "m", ","), "Beispiel: 1 in = 0,0254 m");
    EXPECT_EQ(Anfangsbeschriftung(0), "Beispiel:");
    EXPECT_EQ(Anfangsbeschriftung(4), "Beispiel:");
    EXPECT_EQ(Anfangsbeschriftung(5), "Formel:");
    EXPECT_EQ(Anfangsbeschriftung(6), "");
}

TEST(Umrechner, ProportionalPages) {
    const struct {
        int seite, von, nach;
        const char* eingabe;
        const char* ausgabe;
        const char* beschriftung;
    } faelle[] = {
        {SeiteLaenge, m, mil, "1", "39370.0787402", "Beispiel: 1 m = 39370.079 mil"},
        {SeiteLaenge, in, m, "1", "0.0254", "Beispiel: 1 in = 0.0254 m"},
        {SeiteLaenge, m, m, "1,50", "1.5", "Beispiel: 1 m = 1 m"},
        {SeiteLaenge, km, mile, "1", "0.621371192237", "Beispiel: 1 km = 0.62137119 mile"},
        {SeiteLaenge, pm, m, "-123456,789", "-1.234567E-7", "Beispiel: 1 pm = 1E-12 m"},
        {SeiteLaenge, m, km, "0.05", "5E-5", "Beispiel: 1 m = 0.001 km"},
        {SeiteLaenge, m, km, "0,1", "0.0001", "Beispiel: 1 m = 0.001 km"},
        {SeiteLaenge, mm, m, "1E15", "1E12", "Beispiel: 1 mm = 0.001 m"},
        {SeiteLaenge, m, m, "999999999999", "999999999999", "Beispiel: 1 m = 1 m"},
        {SeiteFlaeche, qum, qkm, "1", "1E-18", "Beispiel: 1 \xB5m\xB2 = 1E-18 km\xB2"},
        {SeiteFlaeche, 17, 7, "1", "0.40468564224", "Beispiel: 1 acre = 0.40468564 ha"},
        {SeiteVolumen, 12, 10, "1", "8", "Beispiel: 1 gal  (US) = 8 liq pt  (US)"},
        {SeiteVolumen, 0, 1, "-2,5", "-2500", "Beispiel: 1 m\xB3 = 1000 dm\xB3"},
        {SeiteMasse, 5, 1, "1", "453.592", "Beispiel: 1 lb = 453.592 g"},
        {SeiteMasse, 6, 8, "2", "875", "Beispiel: 1 oz = 437.5 gr"},
        {SeiteZeit, 2, 0, "1,5", "5400", "Beispiel: 1 h = 3600 s"},
        {SeiteZeit, 4, 3, "1", "365", "Beispiel: 1 a = 365 d"},
    };
    for (const auto& f : faelle) {
        Umrechner u;
        EXPECT_EQ(Paar(u, f.seite, f.von, f.nach, f.eingabe), Ton::Still) << f.eingabe;
        const Einheitenseite& p = u.Seite(f.seite);
        EXPECT_EQ(p.Ausgabe, f.ausgabe) << f.seite << " " << f.eingabe;
        EXPECT_EQ(p.Beschriftung, f.beschriftung);
        EXPECT_EQ(p.VonText, Einheit(f.seite, f.von));
        EXPECT_EQ(p.NachText, Einheit(f.seite, f.nach));
        EXPECT_EQ(p.Faktor, Einheitenfaktor(f.seite, f.nach) / Einheitenfaktor(f.seite, f.von));
    }
}

TEST(Umrechner, TemperaturePage) {
    const struct {
        int von, nach;
        const char* eingabe;
        const char* ausgabe;
    } faelle[] = {
        {C, K, "12,5", "285.65"},  {C, F, "100", "212"},       {C, R, "0", "491.67"},
        {K, C, "0", "-273.15"},    {K, F, "0", "-459.67"},     {K, R, "100", "180"},
        {F, C, "212", "100"},      {F, K, "32", "273.15"},     {F, R, "0", "459.67"},
        {R, C, "0", "-273.15"},    {R, K, "180", "100"},       {R, F, "0", "-459.67"},
        {C, F, "-40", "-40"},      {F, C, "-40", "-40"},
        // the same unit copies the text as it stands
        {C, C, "abc", "abc"},      {K, K, "1,50", "1,50"},     {F, F, "12,5,0", "12,5,0"},
    };
    for (const auto& f : faelle) {
        Umrechner u;
        EXPECT_EQ(Paar(u, SeiteTemperatur, f.von, f.nach, f.eingabe), Ton::Still) << f.eingabe;
        EXPECT_EQ(u.Seite(SeiteTemperatur).Ausgabe, f.ausgabe) << f.von << "->" << f.nach << " " << f.eingabe;
        EXPECT_EQ(u.Seite(SeiteTemperatur).Beschriftung, Temperaturformel(f.von, f.nach));
        EXPECT_EQ(u.KopiertEingabe(SeiteTemperatur), f.von == f.nach);
    }
}

TEST(Umrechner, BeepsAndEmptyResults) {
    const struct {
        int seite, von, nach;
        const char* eingabe;
        const char* ausgabe;
        Ton ton;
    } faelle[] = {
        {SeiteLaenge, m, cm, "", "", Ton::Still},
        {SeiteLaenge, m, cm, "-", "", Ton::Still},  // a negative number being typed
        {SeiteLaenge, m, cm, "abc", "", Ton::Piep},
        {SeiteLaenge, m, cm, "12,5,0", "", Ton::Piep},
        {SeiteLaenge, m, cm, "1e", "", Ton::Piep},
        {SeiteLaenge, m, cm, "--", "", Ton::Piep},
        {SeiteLaenge, m, cm, "-1", "-100", Ton::Still},
        {SeiteLaenge, m, cm, "1E5000", "", Ton::Piep},  // no extended value
        {SeiteLaenge, m, cm, "1E4932", "", Ton::Piep},  // the product overflows
        {SeiteLaenge, m, pm, "-9E4925", "", Ton::Piep},
        {SeiteTemperatur, C, K, "12,5,0", "", Ton::Piep},
        {SeiteTemperatur, C, K, "-", "", Ton::Still},
        {SeiteTemperatur, C, K, "", "", Ton::Still},
        {SeiteTemperatur, K, R, "1E4932", "", Ton::Piep},
        {SeiteTemperatur, C, C, "-", "-", Ton::Still},
        {SeiteTemperatur, C, C, "", "", Ton::Still},
    };
    for (const auto& f : faelle) {
        Umrechner u;
        // A valid number first, so a bad input must empty a filled result.
        (void)Paar(u, f.seite, f.von, f.nach, "7");
        EXPECT_EQ(u.SetzeEingabe(f.seite, f.eingabe), f.ton) << '"' << f.eingabe << '"';
        EXPECT_EQ(u.Seite(f.seite).Ausgabe, f.ausgabe) << '"' << f.eingabe << '"';
    }
}

TEST(Umrechner, EveryKeystrokeIsConvertedAgain) {
    Umrechner u;
    (void)u.WaehleVon(SeiteLaenge, m);
    (void)u.WaehleNach(SeiteLaenge, cm);
    const struct {
        const char* eingabe;
        Ton ton;
        const char* ausgabe;
        bool keineZahl;
    } schritte[] = {
        {"a", Ton::Piep, "", true},    {"ab", Ton::Piep, "", true}, {"", Ton::Still, "", true},
        {"-", Ton::Still, "", true},   {"-1", Ton::Still, "-100", false},
        {"-1,", Ton::Still, "-100", false}, {"-1,5", Ton::Still, "-150", false},
        {"-1,5,", Ton::Piep, "", true},
    };
    for (const auto& s : schritte) {
        EXPECT_EQ(u.SetzeEingabe(SeiteLaenge, s.eingabe), s.ton) << s.eingabe;
        EXPECT_EQ(u.Seite(SeiteLaenge).Ausgabe, s.ausgabe) << s.eingabe;
        EXPECT_EQ(u.KeineZahl(), s.keineZahl) << s.eingabe;
    }
    // A copied temperature is not read, so the flag stays.
    (void)Paar(u, SeiteTemperatur, C, C, "abc");
    EXPECT_TRUE(u.KeineZahl());
}

TEST(Umrechner, OneGroupChosenGivesNoResult) {
    Umrechner u;
    for (int s = 0; s < EinheitenSeiten; ++s) {
        const Einheitenseite& p = u.Seite(s);
        EXPECT_EQ(p.Von, -1);
        EXPECT_EQ(p.Nach, -1);
        EXPECT_EQ(p.Beschriftung, Anfangsbeschriftung(s));
        EXPECT_EQ(u.SetzeEingabe(s, "abc"), Ton::Still) << s;
        EXPECT_EQ(u.SetzeEingabe(s, "5"), Ton::Still);
        EXPECT_EQ(u.Seite(s).Ausgabe, "");
    }
    EXPECT_EQ(u.WaehleNach(SeiteLaenge, km), Ton::Still);
    EXPECT_EQ(u.Seite(SeiteLaenge).Beschriftung, "Beispiel:");
    EXPECT_EQ(u.Seite(SeiteLaenge).NachText, "km");
    EXPECT_EQ(u.Seite(SeiteLaenge).VonText, "");
    EXPECT_EQ(u.Seite(SeiteLaenge).Ausgabe, "");
    EXPECT_EQ(u.SetzeEingabe(SeiteLaenge, "x"), Ton::Still);

    // The first temperature click takes the "Formel:" caption away.
    EXPECT_EQ(u.WaehleVon(SeiteTemperatur, K), Ton::Still);
    EXPECT_EQ(u.Seite(SeiteTemperatur).Beschriftung, "");
    EXPECT_EQ(u.Seite(SeiteTemperatur).Ausgabe, "");
    EXPECT_EQ(u.Seite(SeiteTemperatur).VonText, "K");
}

TEST(Umrechner, ChoosingTheSecondUnitConvertsTheWaitingInput) {
    Umrechner u;
    EXPECT_EQ(u.SetzeEingabe(SeiteLaenge, "2"), Ton::Still);
    EXPECT_EQ(u.WaehleVon(SeiteLaenge, m), Ton::Still);
    EXPECT_EQ(u.WaehleNach(SeiteLaenge, cm), Ton::Still);
    EXPECT_EQ(u.Seite(SeiteLaenge).Ausgabe, "200");
    // Another target: new factor, caption and result.
    EXPECT_EQ(u.WaehleNach(SeiteLaenge, mm), Ton::Still);
    EXPECT_EQ(u.Seite(SeiteLaenge).Ausgabe, "2000");
    EXPECT_EQ(u.Seite(SeiteLaenge).Beschriftung, "Beispiel: 1 m = 1000 mm");
    EXPECT_EQ(u.Seite(SeiteLaenge).Faktor, Einheitenfaktor(0, mm));
    // A waiting text that is no number beeps at the click that completes the pair.
    EXPECT_EQ(u.SetzeEingabe(SeiteZeit, "x"), Ton::Still);
    EXPECT_EQ(u.WaehleVon(SeiteZeit, 0), Ton::Still);
    EXPECT_EQ(u.WaehleNach(SeiteZeit, 1), Ton::Piep);
    EXPECT_EQ(u.WaehleNach(SeiteZeit, 2), Ton::Piep);
    EXPECT_EQ(u.WaehleVon(SeiteTemperatur, C), Ton::Still);
    EXPECT_EQ(u.SetzeEingabe(SeiteTemperatur, "x"), Ton::Still);
    EXPECT_EQ(u.WaehleNach(SeiteTemperatur, C), Ton::Still);  // copied, not read
    EXPECT_EQ(u.Seite(SeiteTemperatur).Ausgabe, "x");
    EXPECT_EQ(u.WaehleNach(SeiteTemperatur, K), Ton::Piep);
    EXPECT_EQ(u.Seite(SeiteTemperatur).Ausgabe, "");
}

TEST(Umrechner, EachPageKeepsItsOwnPair) {
    Umrechner u;
    (void)Paar(u, SeiteLaenge, km, m, "1");
    (void)Paar(u, SeiteFlaeche, qkm, qm, "1");
    EXPECT_EQ(u.SetzeEingabe(SeiteLaenge, "3"), Ton::Still);
    EXPECT_EQ(u.Seite(SeiteLaenge).Ausgabe, "3000");
    EXPECT_EQ(u.Seite(SeiteFlaeche).Ausgabe, "1000000");
    EXPECT_EQ(u.Seite(SeiteFlaeche).Eingabe, "1");
    EXPECT_EQ(u.Seite(SeiteLaenge).Beschriftung, "Beispiel: 1 km = 1000 m");
    EXPECT_EQ(u.Seite(SeiteFlaeche).Beschriftung, "Beispiel: 1 km\xB2 = 1000000 m\xB2");
}

TEST(Umrechner, LocaleSeparatorInCaptionAndResult) {
    Umrechner u(",");
    (void)Paar(u, SeiteLaenge, in, m, "2");
    EXPECT_EQ(u.Seite(SeiteLaenge).Beschriftung, "Beispiel: 1 in = 0,0254 m");
    EXPECT_EQ(u.Seite(SeiteLaenge).Ausgabe, "0,0508");
    (void)Paar(u, SeiteTemperatur, C, K, "12,5");
    EXPECT_EQ(u.Seite(SeiteTemperatur).Ausgabe, "285,65");
    EXPECT_EQ(u.SetzeEingabe(SeiteTemperatur, "12.5"), Ton::Still);
    EXPECT_EQ(u.Seite(SeiteTemperatur).Ausgabe, "285,65");
    // The formula texts keep their commas, the unit labels their points.
    EXPECT_EQ(u.Seite(SeiteTemperatur).Beschriftung, "Formel: x \xB0" "C = (x+273,15) K");
    (void)Paar(u, SeiteLaenge, 15, mm, "1");
    EXPECT_EQ(u.Seite(SeiteLaenge).Beschriftung, "Beispiel: 1 typ. Punkt = 0,376 mm");
}

TEST(Umrechner, BadPositionsAndLongInputChangeNothingHarmful) {
    Umrechner u;
    const struct {
        int seite, einheit;
    } falsch[] = {{-1, 0}, {6, 0}, {0, -1}, {0, 16}, {4, 7}, {5, 4}, {3, 20}};
    for (const auto& f : falsch) {
        EXPECT_EQ(u.WaehleVon(f.seite, f.einheit), Ton::Still);
        EXPECT_EQ(u.WaehleNach(f.seite, f.einheit), Ton::Still);
        EXPECT_EQ(u.Seite(f.seite).Von, -1) << f.seite << "/" << f.einheit;
        EXPECT_EQ(u.Seite(f.seite).Nach, -1);
    }
    EXPECT_EQ(u.SetzeEingabe(7, "1"), Ton::Still);
    EXPECT_EQ(u.Seite(7).Ausgabe, "");
    (void)Paar(u, SeiteLaenge, m, m, "1234567890123456");
    EXPECT_EQ(u.Seite(SeiteLaenge).Eingabe, "123456789012");
    EXPECT_EQ(u.Seite(SeiteLaenge).Ausgabe, "123456789012");
}
