// Searching again: every match in turn, round the list of libraries.
#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/library/SucheWeiter.h"
#include "library_testhilfe.h"

using namespace kd;
using namespace kdtest;

namespace {

void Lege(const TempOrdner& ordner, const std::string& name, const std::vector<std::string>& texte) {
    FormelListeTyp liste;
    for (const auto& t : texte) {
        auto r = std::make_unique<TFormelBiblio>();
        r->FormelText = t;
        liste.Add(std::move(r));
    }
    SchreibeBibliothek((ordner / (name + ".pqb")).string(), liste);
}

} // namespace

TEST(SucheWeiter, NaechsterTrefferRundUm) {
    TempOrdner ordner;
    Lege(ordner, "A", {"a=1", "b=2", "a=3"});
    Lege(ordner, "B", {"c=4"});
    Lege(ordner, "C", {"a=5", "c=6"});
    Lege(ordner, "Leer", {});
    const std::vector<std::string> bibs = {"A", "B", "Leer", "C"};
    const auto pfad = [&](const std::string& n) { return ordner / (n + ".pqb"); };
    struct Fall {
        const char* formel;
        int bib, von;         // start
        bool gefunden;
        int trefferBib, treffer;
    };
    const Fall faelle[] = {
        {"a=", 0, 0, true, 0, 2},    // the rest of the start library first
        {"a=", 0, 2, true, 3, 0},    // then the libraries after it
        {"a=", 3, 0, true, 0, 0},    // round to the first library
        {"c=", 1, 0, true, 3, 1},
        {"c=", 3, 1, true, 1, 0},
        {"b=", 0, 1, true, 0, 1},    // the only match is the start: found again
        {"a=", 0, -1, true, 0, 0},   // no selection: from the first formula
        {"a=", 2, 0, true, 3, 0},    // from an empty library
        {"z=", 0, 0, false, -1, -1},
        {"a=", 4, 0, false, -1, -1}, // no such entry
        {"a=", -1, 0, false, -1, -1},
        {"  ", 0, 0, false, -1, -1}, // no term
    };
    for (const Fall& f : faelle) {
        const Suchtreffer t = SucheNaechste(bibs, pfad, Suchbegriffe{"", f.formel}, f.bib, f.von);
        SCOPED_TRACE(std::string(f.formel) + " ab " + std::to_string(f.bib) + "/" + std::to_string(f.von));
        EXPECT_EQ(t.Gefunden, f.gefunden);
        EXPECT_EQ(t.Bibliothek, f.trefferBib);
        EXPECT_EQ(t.Formel, f.treffer);
    }
    // A library that cannot be read ends the search with its error.
    const std::vector<std::string> mitFehlender = {"A", "Fehlt", "C"};
    EXPECT_THROW(SucheNaechste(mitFehlender, pfad, Suchbegriffe{"", "c="}, 0, 0), FileError);
}
