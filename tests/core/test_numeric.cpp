#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "core/numeric/Zahlen.h"

using namespace kd;

namespace {

// Compact output of an extended value in failure messages.
std::string Zeig(Extended v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.21Lg", v);
    return b;
}

} // namespace

TEST(Standardformen, Scientific18DigitsWithFourDigitExponent) {
    const struct {
        Extended x;
        const char* text;
    } faelle[] = {
        {12345, " 1.23450000000000000E+0004"},
        {-0.05L, "-5.00000000000000000E-0002"},
        {0, " 0.00000000000000000E+0000"},
        {-0.0L, " 0.00000000000000000E+0000"},
        {1E200L, " 1.00000000000000000E+0200"},
        {1E-4000L, " 1.00000000000000000E-4000"},
        {9.80665L, " 9.80665000000000000E+0000"},
        {9.9999999999999999999L, " 1.00000000000000000E+0001"},  // carry into the exponent
        {1.0L / 3, " 3.33333333333333333E-0001"},
    };
    for (const auto& f : faelle) EXPECT_EQ(FormatScientific18(f.x), f.text) << Zeig(f.x);
}

TEST(Standardformen, FixedRoundsHalfAwayFromZero) {
    const struct {
        Extended x;
        int dez;
        const char* text;
    } faelle[] = {
        {2.5L, 0, "3"},     {-2.5L, 0, "-3"},   {0.5L, 0, "1"},        {1.5L, 0, "2"},
        {0.125L, 2, "0.13"}, {-0.125L, 2, "-0.13"}, {0.375L, 2, "0.38"}, {3.14159L, 3, "3.142"},
        {1234.5678L, 1, "1234.6"}, {0, 3, "0.000"}, {9.9999L, 3, "10.000"}, {7, -1, "7"},
        {1E20L, 0, "100000000000000000000"}, {0.0001L, 2, "0.00"},
        {1.0L / 3, 6, "0.333333"}, {2.0L / 3, 6, "0.666667"},
    };
    for (const auto& f : faelle) EXPECT_EQ(FormatFixed(f.x, f.dez), f.text) << Zeig(f.x) << " : " << f.dez;
}

TEST(Standardformen, GeneralFifteenDigits) {
    const struct {
        Extended x;
        const char* text;
    } faelle[] = {
        {3.33333L, "3.33333"}, {1, "1"}, {10, "10"}, {-2.5L, "-2.5"}, {0, "0"},
        {1.5E20L, "1.5E20"}, {1E-7L, "1E-7"}, {0.00001L, "0.00001"},
        {1.0L / 3, "0.333333333333333"}, {123456789012345678.0L, "1.23456789012346E17"},
        {123456789012345.0L, "123456789012345"},
    };
    for (const auto& f : faelle) EXPECT_EQ(FormatGeneral(f.x), f.text) << Zeig(f.x);
}

TEST(Standardformen, ParseDecimalReportsFirstUnusableCharacter) {
    const struct {
        const char* text;
        int fehler;
        Extended wert;
    } faelle[] = {
        {"12", 0, 12},       {"-1.5e3", 0, -1500}, {"+.5", 0, 0.5L}, {"5.", 0, 5},
        {"  7", 0, 7},       {"1E-2", 0, 0.01L},   {"0.1", 0, 0.1L}, {"2.718281828", 0, 2.718281828L},
        {"9.80665", 0, 9.80665L}, {"000123.4500", 0, 123.45L}, {"1E-99999", 0, 0},
        {"", 1, 0},   {"-", 2, 0},   {".", 1, 0},  {"E5", 1, 0},  {"1.2.3", 4, 0},
        {"1E", 2, 0}, {"1E+", 2, 0}, {"1Ex", 2, 0}, {"12a", 3, 0}, {"1 ", 2, 0},
        {"1,5", 2, 0}, {"--1", 2, 0}, {"  ", 3, 0},
    };
    for (const auto& f : faelle) {
        Extended v = -99;
        EXPECT_EQ(ParseDecimal(f.text, v), f.fehler) << '"' << f.text << '"';
        EXPECT_EQ(v, f.wert) << '"' << f.text << '"';
    }
}

TEST(Standardformen, ParseDecimalIsCorrectlyRoundedAndSurvivesHugeInput) {
    Extended v = 0;
    // 1 followed by 299 zeros is exactly the nearest extended value of 1E299.
    EXPECT_EQ(ParseDecimal("1" + std::string(299, '0'), v), 0);
    EXPECT_EQ(v, 1E299L);
    EXPECT_EQ(ParseDecimal("0." + std::string(400, '0') + "1", v), 0);
    EXPECT_EQ(v, 1E-401L);

    // Too large for an extended value: an error past the end, the value infinite.
    EXPECT_EQ(ParseDecimal("1E99999", v), 8);
    EXPECT_TRUE(std::isinf(v) && v > 0);
    EXPECT_EQ(ParseDecimal("-1E5000", v), 8);
    EXPECT_TRUE(std::isinf(v) && v < 0);

    // A long text is an error at its first bad character, not a crash.
    std::string lang(100000, '7');
    lang += 'x';
    EXPECT_EQ(ParseDecimal(lang, v), 100001);
}

TEST(TextZuZahl, CommaPercentAndBareExponent) {
    const struct {
        const char* text;
        int fehler;
        Extended wert;
    } faelle[] = {
        {"12,5", 0, 12.5L},  {"50%", 0, 0.5L},    {"1,5E3", 0, 1500}, {"12   ", 0, 12},
        {"-3,25", 0, -3.25L}, {"12.5%", 0, 0.125L}, {"1e2", 0, 100},
        {"E5", 1, 0},  {"e5", 1, 0},  {"", 1, 0},  {"abc", 1, 0}, {"1,5,5", 4, 0},
        {"1 000", 2, 0}, {"50 %", 3, 0}, {"%", 1, 0},
    };
    for (const auto& f : faelle) {
        int fehler = -1;
        const Extended v = TextZuZahl(f.text, fehler);
        EXPECT_EQ(fehler, f.fehler) << '"' << f.text << '"';
        if (f.fehler == 0) {
            EXPECT_EQ(v, f.wert) << '"' << f.text << '"';
        }
    }
}

TEST(ZahlLesen, LengthOfTheNumberAtAPosition) {
    const struct {
        const char* text;
        int pos;
        int laenge;
        Extended wert;
    } faelle[] = {
        {"12*x", 1, 2, 12},      {"y=2Ex", 3, 1, 2},     {"2E5+a", 1, 3, 2E5L},
        {"+5", 1, 2, 5},         {"-5;y", 1, 2, -5},     {"x=12,5", 3, 4, 12.5L},
        {"50%", 1, 3, 0.5L},     {"3.5e", 1, 3, 3.5L},   {"7  ", 1, 1, 7},
        {"1,5;2,5", 1, 3, 1.5L}, {"2e", 1, 1, 2},
        {"-x", 1, 0, 0},         {"+", 1, 0, 0},         {"-.5", 1, 0, 0},
        {"E5", 1, 0, 0},         {"abc", 1, 0, 0},       {"12", 5, 0, 0},
        {"12", 0, 0, 0},         {"", 1, 0, 0},          {".x", 1, 0, 0},
    };
    for (const auto& f : faelle) {
        Extended v = -99;
        EXPECT_EQ(ZahlLesen(f.text, f.pos, v), f.laenge) << '"' << f.text << "\" @" << f.pos;
        if (f.laenge > 0) {
            EXPECT_EQ(v, f.wert) << '"' << f.text << "\" @" << f.pos;
        }
    }
    // A number too large for an extended value is still a number (the parser rejects
    // its size), so its length is the whole number.
    Extended v = 0;
    EXPECT_EQ(ZahlLesen("1E99999+x", 1, v), 7);
    EXPECT_TRUE(std::isinf(v));
}

TEST(ZellbezugLesen, ColumnsRowsAndInvalidReferences) {
    const struct {
        const char* text;
        int spalte, zeile, fehler, laenge;
    } faelle[] = {
        {"B3", 1, 2, 0, 2},     {"AB12", 27, 11, 0, 4}, {"A1", 0, 0, 0, 2},
        {"Z1", 25, 0, 0, 2},    {"AA1", 26, 0, 0, 3},   {"b3", 1, 2, 0, 2},
        {"B3]", 1, 2, 0, 2},    {"B3 ", 1, 2, 0, 2},    {"C10+x", 2, 9, 0, 3},
        {"3B", -1, -1, 29, 0},  {"", -1, -1, 29, 0},    {"B", 1, -1, 29, 0},
        {"B-1", 1, -1, 29, 0},  {"\xC4" "1", -1, -1, 29, 0},
        {"ABCDEFGHIJK1", -1, -1, 29, 0},  // more than 10 letters
    };
    for (const auto& f : faelle) {
        const Zellbezug z = ZellbezugLesen(f.text);
        EXPECT_EQ(z.Fehler, f.fehler) << f.text;
        EXPECT_EQ(z.Laenge, f.laenge) << f.text;
        if (f.fehler == 0) {
            EXPECT_EQ(z.Spalte, f.spalte) << f.text;
            EXPECT_EQ(z.Zeile, f.zeile) << f.text;
        }
    }
    // Columns beyond the 32-bit range are refused (ten A's are about 5.7E12).
    const Zellbezug z = ZellbezugLesen("ZZZZZZ1");
    EXPECT_EQ(z.Fehler, 0);
    EXPECT_EQ(z.Spalte, 321272405);
    EXPECT_EQ(z.Laenge, 7);
    EXPECT_EQ(ZellbezugLesen("AAAAAAAAAA1").Fehler, ZellbezugFehler);
}

TEST(GrossSchreiben, AsciiAndGermanUmlauts) {
    EXPECT_EQ(GrossSchreiben("summe(i=1;n;x)"), "SUMME(I=1;N;X)");
    EXPECT_EQ(GrossSchreiben("fakult\xE4t \xF6l \xFC\x62"), "FAKULT\xC4T \xD6L \xDC\x42");
    // ß, é and bytes above 127 other than ä ö ü stay as they are.
    EXPECT_EQ(GrossSchreiben("\xDF\xE9\xA5~|"), "\xDF\xE9\xA5~|");
    EXPECT_EQ(GrossSchreiben(""), "");
}

TEST(ZahlText, EightDigits) {
    const struct {
        Extended x;
        const char* text;
    } faelle[] = {
        {0, "0"},
        {3.5L, "3,5"},
        {-3.5L, "-3,5"},
        {100, "100"},
        {1.0L / 3, "0,333333"},
        {123456789, "1,2346E8"},
        {0.0001L, "0,0001"},
        {12000, "12000"},
        {1234.5L, "1234,5"},
        {1.5E20L, "1,5E20"},
        {0.00123L, "0,00123"},
        {0.00001L, "0,00001"},
        {0.000012L, "1,2E-5"},
        {1.2345678E-12L, "1,23E-12"},
        {2.0L / 3, "0,666667"},
        {-1.0L / 3, "-0,33333"},
        {-0.000012L, "-1,2E-5"},
        {-123456789, "-1,2346E8"},
        {12345678, "12345680"},  // seven significant digits
        {1, "1"},
        {-0.0L, "0"},
        {1E-4000L, "1E-4000"},
        {1E200L, "1E200"},
        // Rounding that carries to the next power of ten.
        {9.9999999L, "10"},
        {99999999, "1E8"},
        {999999999, "1E9"},
        {0.99999999L, "1"},
        {0.999999949L, "1"},
        {0.0099999999L, "0,01"},
        {9.99999999E20L, "1E21"},
        {9.9999999E-6L, "0,00001"},
    };
    for (const auto& f : faelle) EXPECT_EQ(ZahlText(8, f.x), f.text) << Zeig(f.x);
    // Fewer than 8 digits count as 8.
    EXPECT_EQ(ZahlText(3, 1.0L / 3), "0,333333");
    EXPECT_EQ(ZahlText(-5, 123456789), "1,2346E8");
}

TEST(ZahlText, TenAndTwentyDigits) {
    const struct {
        int n;
        Extended x;
        const char* text;
    } faelle[] = {
        {10, 1.0L / 3, "0,33333333"},
        {10, 3.14159265358979323846L, "3,14159265"},
        {10, -3.14159265358979323846L, "-3,1415927"},
        {10, 123456789, "123456789"},
        {10, 12345678901.0L, "1,23457E10"},
        {10, -2.5L, "-2,5"},
        {10, 1E100L, "1E100"},
        {10, 0.5L, "0,5"},
        {10, 42, "42"},
        {10, 1E-10L, "1E-10"},
        {20, 9.80665L, "9,80665"},
        {20, 299790000, "299790000"},
        {20, 1E50L, "1E50"},
        {20, 1E200L, "1E200"},
        {20, 2.718281828L, "2,718281828"},
        {20, 3.141592654L, "3,141592654"},
        {20, 8314.41L, "8314,41"},
        {20, 22.414L, "22,414"},
        {20, 1.95583L, "1,95583"},
        {20, 0, "0"},
        {20, 3, "3"},
        {20, -9.80665L, "-9,80665"},
        {20, 0.001L, "0,001"},
        {20, 1E-10L, "0,0000000001"},  // fits into 20 characters
        {20, 1E-30L, "1E-30"},
        {20, 1.0L / 3, "0,333333333333333"},
        {20, 12345678901234567890.0L, "12345678901234567900"},
    };
    for (const auto& f : faelle) EXPECT_EQ(ZahlText(f.n, f.x), f.text) << f.n << " : " << Zeig(f.x);
}

TEST(ZahlText, TwentyDigitTextReadsBackToTheSameValue) {
    // The constants list is written back from its text, so its values must survive.
    const Extended werte[] = {2.718281828L, 3.141592654L, 1E50L, 1, 0, 1E200L, 9.80665L,
                              299790000, 8314.41L, 22.414L, 1.95583L, -0.5L, 6.02214076E23L,
                              1.602176634E-19L, 1234567.125L};
    for (Extended v : werte) {
        int fehler = -1;
        EXPECT_EQ(TextZuZahl(ZahlText(20, v), fehler), v) << ZahlText(20, v);
        EXPECT_EQ(fehler, 0);
    }
}

TEST(ZahlText, NonFiniteValuesAndHugeDigitCounts) {
    EXPECT_EQ(ZahlText(8, INFINITY), "INF");
    EXPECT_EQ(ZahlText(8, -INFINITY), "-INF");
    EXPECT_EQ(ZahlText(8, NAN), "NAN");
    EXPECT_EQ(ZahlText(1000000, 1.5L), "1,5");
    EXPECT_EQ(ZahlText(2147483647, 1E10L), "10000000000");
}

TEST(ZahlText, IndependentOfTheNumericLocale) {
    const char* alt = std::setlocale(LC_NUMERIC, nullptr);
    const std::string vorher = alt ? alt : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    int fehler = -1;
    const std::string t = ZahlText(8, 1234.5L);
    const Extended v = TextZuZahl("12,5", fehler);
    const std::string s = FormatScientific18(1.5L);
    std::setlocale(LC_NUMERIC, vorher.c_str());
    EXPECT_EQ(t, "1234,5");
    EXPECT_EQ(v, 12.5L);
    EXPECT_EQ(s, " 1.50000000000000000E+0000");
}

TEST(Runden, RundeStellenKeepsDigitsOrDecimals) {
    const struct {
        int d;
        Extended x;
        Extended r;
    } faelle[] = {
        {4, 12345.6L, 12350},   {4, 123.456L, 123.5L},  {4, 3.14159L, 3.142L},
        {4, 0.333333L, 0.333L}, {4, -0.333333L, -0.333L}, {4, -12345.6L, -12350},
        {1, 2.5L, 3},           {1, -2.5L, -3},         {4, 0.00123456L, 0.001L},
        {4, 1E-300L, 0},        {4, 9.9996L, 10},       {3, 1E20L, 1E20L},
    };
    for (const auto& f : faelle) EXPECT_EQ(RundeStellen(f.d, f.x), f.r) << f.d << " : " << Zeig(f.x);
    // Zero results are +0, never -0.
    EXPECT_FALSE(std::signbit(RundeStellen(4, 0)));
    EXPECT_FALSE(std::signbit(RundeStellen(4, -0.0001L)));
    EXPECT_FALSE(std::signbit(RundeStellen(4, -0.0L)));
    // Absurd digit counts give a number, not a NaN.
    EXPECT_EQ(RundeStellen(100000, 1.25L), 1.25L);
    EXPECT_EQ(RundeStellen(-100000, 1.25L), 0);
}

TEST(Runden, ZehnerexponentAndZehnerpotenz) {
    const struct {
        Extended x;
        int e;
    } exponenten[] = {{123.4L, 2}, {0.05L, -2}, {0, 0}, {-5000, 3}, {1, 0},
                      {9.9999999999999999999L, 1}, {1E-4000L, -4000}, {1E4000L, 4000}};
    for (const auto& f : exponenten) EXPECT_EQ(Zehnerexponent(f.x), f.e) << Zeig(f.x);
    EXPECT_EQ(Zehnerexponent(INFINITY), 0);

    const struct {
        int k;
        Extended p;
    } potenzen[] = {{0, 1}, {3, 1000}, {-1, 0.1L}, {-3, 0.001L}, {200, 1E200L}, {-4000, 1E-4000L}};
    for (const auto& f : potenzen) EXPECT_EQ(Zehnerpotenz(f.k), f.p) << f.k;
    EXPECT_TRUE(std::isinf(Zehnerpotenz(5000)));
    EXPECT_EQ(Zehnerpotenz(-5000), 0);
}

TEST(Runden, NachkommaSnapsOnlyJustBelowAWholeNumber) {
    EXPECT_EQ(Nachkomma(2.99999999995L), 0);
    EXPECT_EQ(Nachkomma(-2.5L), -0.5L);
    EXPECT_NEAR(static_cast<double>(Nachkomma(3.0000000001L)), 1E-10, 1E-18);
    EXPECT_EQ(Nachkomma(3.25L), 0.25L);
    EXPECT_EQ(Nachkomma(7), 0);
    // 0.9999999998 is below the tolerance and stays.
    EXPECT_NEAR(static_cast<double>(Nachkomma(2.9999999998L)), 0.9999999998, 1E-15);
    // A negative fraction near -1 does not snap.
    EXPECT_NEAR(static_cast<double>(Nachkomma(-2.99999999995L)), -0.99999999995, 1E-15);
    EXPECT_EQ(Nachkomma(INFINITY), 0);
}

TEST(Interpolation, LinearAndLogarithmic) {
    EXPECT_EQ(Interpoliere(5, 0, 0, 10, 100), 50);
    EXPECT_EQ(Interpoliere(2, 2, 7, 4, 9), 7);
    EXPECT_EQ(Interpoliere(20, 0, 0, 10, 100), 200);  // extrapolates
    EXPECT_EQ(Interpoliere(3, 2, 10, 4, 0), 5);

    int fehler = 0;
    EXPECT_EQ(InterpoliereLog(1000, 10, 0, &fehler), 10);
    EXPECT_EQ(InterpoliereLog(1000, 10, 1, &fehler), 1000);
    EXPECT_NEAR(static_cast<double>(InterpoliereLog(1000, 10, 0.5L, &fehler)), 100, 1E-12);
    EXPECT_NEAR(static_cast<double>(InterpoliereLog(1000, 10, 0.25L, &fehler)), std::pow(10.0, 1.5), 1E-12);
    EXPECT_EQ(fehler, 0);
    EXPECT_EQ(InterpoliereLog(1E-99L, 1, 2, &fehler), 0);  // below the power's range
    EXPECT_EQ(fehler, 0);

    const struct {
        Extended a, b, t;
        int fehler;
    } fehlerfaelle[] = {
        {0, 10, 0.5L, InterpolFehlerLogarithmus},
        {10, -1, 0.5L, InterpolFehlerLogarithmus},
        {NAN, 10, 0.5L, InterpolFehlerLogarithmus},
        {1E99L, 1, 2, InterpolFehlerUeberlauf},
    };
    for (const auto& f : fehlerfaelle) {
        int code = 0;
        EXPECT_EQ(InterpoliereLog(f.a, f.b, f.t, &code), Ueberlaufwert);
        EXPECT_EQ(code, f.fehler);
    }
    EXPECT_EQ(InterpoliereLog(0, 10, 0.5L), Ueberlaufwert);  // no error slot: no crash
}
