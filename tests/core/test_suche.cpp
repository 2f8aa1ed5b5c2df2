// The search over all libraries.
#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/library/Suche.h"
#include "library_testhilfe.h"

using namespace kd;
using namespace kdtest;

namespace {

class SucheTest : public ::testing::Test {
protected:
    void Lege(const std::string& name, const std::vector<std::string>& texte) {
        FormelListeTyp liste;
        for (const auto& t : texte) {
            auto r = std::make_unique<TFormelBiblio>();
            r->FormelText = t;
            liste.Add(std::move(r));
        }
        SchreibeBibliothek((ordner / (name + ".pqb")).string(), liste);
    }
    Suchtreffer Suche(const std::vector<std::string>& bibs, const std::string& titel,
                      const std::string& formel) {
        return SucheFormel(bibs, [this](const std::string& n) { return ordner / (n + ".pqb"); },
                           Suchbegriffe{titel, formel});
    }
    TempOrdner ordner;
};

} // namespace

TEST(Suche, FormelPasst) {
    struct Fall {
        const char* text;
        const char* titel;
        const char* formel;
        bool passt;
    };
    const Fall faelle[] = {
        {"F=m*a{Kraft}", "Kraft", "", true},      // a term only in the comment
        {"F=m*a{Kraft}", "", "m*a", true},
        {"F=m*a{Kraft}", "Kraft", "m*a", true},
        {"F=m*a{Kraft}", "Kraft", "m*b", false},  // both must occur
        {"F=m*a{Kraft}", "kraft", "", false},     // case-sensitive
        {"F=m*a{Kraft}", "  ", " ", true},        // blanks only: absent
        {"~a=~b", "~a", "", true},
        {"a=b", " a", "", false},                 // a term with blanks keeps them
    };
    for (const Fall& f : faelle)
        EXPECT_EQ(FormelPasst(f.text, {f.titel, f.formel}), f.passt) << f.text << " / " << f.titel;
    EXPECT_TRUE(BegriffLeer(""));
    EXPECT_TRUE(BegriffLeer("   "));
    EXPECT_FALSE(BegriffLeer(" x "));
}

TEST_F(SucheTest, ErsterTrefferInListenfolge) {
    Lege("Erste", {"y=a", "v=s/t{Geschwindigkeit}"});
    Lege("Zweite", {"F=m*a{Kraft}", "v=s/t"});
    Lege("Dritte", {"E=m*c^2"});
    const std::vector<std::string> bibs{"Erste", "Zweite", "Dritte"};

    struct Fall {
        const char* titel;
        const char* formel;
        bool gefunden;
        int bib, formelNr;
    };
    const Fall faelle[] = {
        {"Kraft", "", true, 1, 0},
        {"", "v=s/t", true, 0, 1},   // the first in list order
        {"", "c^2", true, 2, 0},
        {"Geschwindigkeit", "v=", true, 0, 1},
        {"", "gibt es nicht", false, -1, -1},
        {"  ", "", false, -1, -1},
    };
    for (const Fall& f : faelle) {
        const Suchtreffer t = Suche(bibs, f.titel, f.formel);
        EXPECT_EQ(t.Gefunden, f.gefunden) << f.titel << f.formel;
        EXPECT_EQ(t.Bibliothek, f.bib) << f.titel << f.formel;
        EXPECT_EQ(t.Formel, f.formelNr) << f.titel << f.formel;
    }
    // The same terms find the same formula again; another order, another library.
    EXPECT_EQ(Suche(bibs, "", "v=s/t").Bibliothek, 0);
    EXPECT_EQ(Suche({"Zweite", "Erste"}, "", "v=s/t").Bibliothek, 0);
    EXPECT_EQ(Suche({"Zweite", "Erste"}, "", "v=s/t").Formel, 1);
}

TEST_F(SucheTest, UnlesbareBibliothekBeendetDieSuche) {
    Lege("Gut", {"y=1"});
    std::ofstream((ordner / "Kaputt.pqb").string(), std::ios::binary) << "xx";
    EXPECT_THROW(Suche({"Kaputt", "Gut"}, "y", ""), FileError);
    EXPECT_THROW(Suche({"Fehlt", "Gut"}, "y", ""), FileError);
    // Blank terms read no file at all.
    EXPECT_FALSE(Suche({"Fehlt"}, " ", "").Gefunden);
    // A match before the broken file is found.
    EXPECT_TRUE(Suche({"Gut", "Kaputt"}, "y", "").Gefunden);
}

TEST(Suche, GemerkteBegriffe) {
    GemerkteSuchbegriffe() = {"T", "F"};
    EXPECT_EQ(GemerkteSuchbegriffe().Titel, "T");
    EXPECT_EQ(GemerkteSuchbegriffe().Formel, "F");
    GemerkteSuchbegriffe() = {};
}
