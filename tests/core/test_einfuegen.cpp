// Pasting a formula: the text taken from the clipboard, the check by the parser and
// where the new record goes.
#include <gtest/gtest.h>

#include <string>

#include "core/library/Einfuegen.h"

using namespace kd;

TEST(Einfuegen, TextRules) {
    const struct {
        std::string ein, aus;
    } faelle[] = {
        {"a+b", "Y=a+b"},
        {"=a+b", "Y=a+b"},
        {"y=a+b", "y=a+b"},
        {"a+b=c", "a+b=c"},
        {"y=a\r\n+\tb\n", "y=a+b"},
        {"\n=a", "Y=a"},          // the first character counts after the removal
        {std::string("x\0y", 3), "Y=xy"},
        {"", "Y="},
        {"y=~a+\xE4", "y=~a+\xE4"},  // Symbol codes and Windows-1252 letters stay
        {std::string(255, 'a'), "Y=" + std::string(253, 'a')},
    };
    for (const auto& f : faelle) EXPECT_EQ(EinfuegeText(f.ein), f.aus) << f.ein;
}

TEST(Einfuegen, ParsedInCollectingMode) {
    const struct {
        const char* text;
        bool geht;
    } faelle[] = {
        {"Y=a+b", true},
        {"y=SUMME(i=1;n;i)", true},   // n has no value: collecting mode does not compute
        {"y=(a+b", false},
        {"y=a+", false},
        {"Y=", false},
    };
    for (const auto& f : faelle) EXPECT_EQ(EinfuegenMoeglich(f.text), f.geht) << f.text;
}

TEST(Einfuegen, NewRecordAfterTheSelection) {
    Formelsammlung s;
    int layout = 0;
    s.LayoutUngueltig = [&] { ++layout; };
    // Nothing selected in an empty library: appended, selected.
    EXPECT_EQ(FormelEinfuegen(s, "y=1"), 0);
    EXPECT_EQ(FormelEinfuegen(s, "y=2"), 1);
    s.AktFormel = 0;
    EXPECT_EQ(FormelEinfuegen(s, "y=3"), 1);
    ASSERT_EQ(s.FormelListe.Count(), 3);
    EXPECT_EQ(s.FormelListe[0]->FormelText, "y=1");
    EXPECT_EQ(s.FormelListe[1]->FormelText, "y=3");
    EXPECT_EQ(s.FormelListe[2]->FormelText, "y=2");
    EXPECT_EQ(s.AktFormel, 1);
    EXPECT_TRUE(s.Geaendert);
    EXPECT_EQ(layout, 3);
    // No selection in a library with formulas: appended at the end and selected there.
    s.AktFormel = -1;
    EXPECT_EQ(FormelEinfuegen(s, "y=4"), 3);
    EXPECT_EQ(s.AktFormel, 3);
    EXPECT_EQ(s.FormelListe[3]->BildTyp, 0);
}
