// The collection state behind the main window: start-up, switching, new libraries, closing.
#include <gtest/gtest.h>

#include <deque>

#include "core/library/Sammlung.h"
#include "core/library/Suche.h"
#include "library_testhilfe.h"

using namespace kd;
using namespace kdtest;

using Namen = std::vector<std::string>;

namespace {

class SammlungTest : public ::testing::Test {
protected:
    void SetUp() override {
        v.ProgVerz = t.Pfad();
        v.BibVerz = t / "Formelsammlung";
        fs::create_directory(v.BibVerz);
        s.Frage = [this](const std::string& frage) {
            fragen.push_back(frage);
            if (antworten.empty()) {
                ADD_FAILURE() << "unexpected question: " << frage;
                return Antwort::Abbrechen;
            }
            const Antwort a = antworten.front();
            antworten.pop_front();
            return a;
        };
        s.Meldung = [this](const std::string& m) { meldungen.push_back(m); };
        s.LayoutUngueltig = [this] { ++layout; };
    }

    fs::path Bib(const std::string& name) const { return v.BibVerz / (name + ".pqb"); }

    void Lege(const std::string& name, const Namen& texte) {
        FormelListeTyp liste;
        for (const auto& text : texte) {
            auto satz = std::make_unique<TFormelBiblio>();
            satz->FormelText = text;
            liste.Add(std::move(satz));
        }
        SchreibeBibliothek(Bib(name).string(), liste);
    }

    Namen TexteDatei(const std::string& name) const {
        FormelListeTyp liste;
        LiesBibliothek(Bib(name).string(), liste);
        return Texte(liste);
    }

    static Namen Texte(const FormelListeTyp& liste) {
        Namen n;
        for (const auto& satz : liste) n.push_back(satz->FormelText);
        return n;
    }

    Namen Aktuell() const { return Texte(s.FormelListe); }

    void Hinzu(const std::string& text) {
        auto satz = std::make_unique<TFormelBiblio>();
        satz->FormelText = text;
        s.FormelListe.Add(std::move(satz));
        s.Geaendert = true;
    }

    TempOrdner t;
    Verzeichnisse v;
    Formelsammlung s;
    Namen fragen, meldungen;
    std::deque<Antwort> antworten;
    int layout = 0;
};

} // namespace

TEST_F(SammlungTest, NewCollectionState) {
    for (Extended m : s.MerkList) EXPECT_EQ(m, Undefiniert);
    EXPECT_EQ(s.AktFormel, -1);
    EXPECT_FALSE(s.Geaendert);
    EXPECT_FALSE(s.NamensEingabe);
}

TEST_F(SammlungTest, StartWithoutLibraryCreatesBibliothek1) {
    Verzeichnisse ohneOrdner{t / "p", t / "p", false};
    fs::create_directory(t / "p");
    for (const Verzeichnisse& vz : {v, ohneOrdner}) {
        SCOPED_TRACE(vz.BibVerz.string());
        s.Start(vz);
        EXPECT_EQ(s.Bibliotheken, Namen{"Bibliothek1"});
        EXPECT_EQ(LiesDatei(vz.BibVerz / "Bibliothek1.pqb"), (Bytes{0, 0, 0, 0}));
        EXPECT_EQ(s.AktBibliothek, 0);
        EXPECT_EQ(s.AktFormel, -1);
        EXPECT_TRUE(s.FormelListe.Empty());
        EXPECT_FALSE(s.NamensEingabe);
        EXPECT_EQ(s.NamensText, "");
        EXPECT_TRUE(fragen.empty());
    }
}

TEST_F(SammlungTest, StartListsLibrariesByTheOrderFileRule) {
    Lege("Mechanik", {"F=m*a", "p=m*v"});
    Lege("Optik", {"n=c/v"});
    struct Fall {
        const char* name;
        const char* mfl;  // nullptr: no order file
        Namen liste;
    };
    const Fall faelle[] = {
        {"no order file: name order", nullptr, {"Mechanik", "Optik"}},
        {"matching order file", "Optik\r\nMechanik\r\n", {"Optik", "Mechanik"}},
        {"order file missing a library", "Optik\r\n", {"Optik", "Mechanik"}},
        {"order file naming a renamed library", "Physik\r\nOptik\r\n", {"Optik", "Mechanik"}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        fs::remove(t / "KDFormel.MFL");
        if (f.mfl) SchreibeDatei(t / "KDFormel.MFL", Als(f.mfl));
        layout = 0;
        s.Start(v);
        EXPECT_EQ(s.Bibliotheken, f.liste);
        EXPECT_EQ(s.AktBibliothek, 0);
        EXPECT_EQ(Aktuell(), TexteDatei(f.liste[0]));
        EXPECT_EQ(s.AktFormel, 0);
        EXPECT_GT(layout, 0);
    }
}

// Libraries whose file names hold a dot or end in ".PQB" are opened, saved and searched
// under their own files; none of them makes the start create an empty "Bibliothek1".
TEST_F(SammlungTest, EveryListedLibraryOpensSavesAndIsSearched) {
    {
        FormelListeTyp liste;
        auto satz = std::make_unique<TFormelBiblio>();
        satz->FormelText = "alt=1";
        liste.Add(std::move(satz));
        SchreibeBibliothek((v.BibVerz / "ALT.PQB").string(), liste);
    }
    Lege("Version 1.5", {"v=1.5"});
    Lege("Z", {"z=26"});
    s.Start(v);
    EXPECT_EQ(s.Bibliotheken, (Namen{"ALT", "Version 1.5", "Z"}));
    EXPECT_EQ(Aktuell(), Namen{"alt=1"});
    EXPECT_FALSE(fs::exists(Bib("Bibliothek1")));

    // The search walks past both to the last library.
    Suchbegriffe b;
    b.Formel = "z=26";
    const Suchtreffer treffer =
        SucheFormel(s.Bibliotheken, [this](const std::string& n) { return s.Pfad(n); }, b);
    EXPECT_TRUE(treffer.Gefunden);
    EXPECT_EQ(treffer.Bibliothek, 2);

    s.Uebernehmen(1);
    EXPECT_EQ(Aktuell(), Namen{"v=1.5"});
    Hinzu("w=2");
    s.Uebernehmen(1);  // saves "Version 1.5", opens ALT
    EXPECT_EQ(TexteDatei("Version 1.5"), (Namen{"v=1.5", "w=2"}));
    EXPECT_EQ(Aktuell(), Namen{"alt=1"});
    Hinzu("neu=2");
    s.Uebernehmen(2);  // ALT is saved into its own file, not into a new "ALT.pqb"
    FormelListeTyp alt;
    LiesBibliothek((v.BibVerz / "ALT.PQB").string(), alt);
    EXPECT_EQ(Texte(alt), (Namen{"alt=1", "neu=2"}));
    EXPECT_EQ(Inhalt(v.BibVerz), (Namen{"ALT.PQB", "Version 1.5.pqb", "Z.pqb"}));
}

TEST_F(SammlungTest, DamagedFirstLibraryKeepsItsWholeRecordsAndIsNotOverwrittenByASwitch) {
    Lege("A", {"erste", "zweite"});
    Lege("B", {"b"});
    Bytes a = LiesDatei(Bib("A"));
    a.resize(a.size() - 3);  // cut inside the second record
    SchreibeDatei(Bib("A"), a);

    EXPECT_THROW(s.Start(v), FileError);
    EXPECT_EQ(Aktuell(), Namen{"erste"});
    EXPECT_EQ(s.AktFormel, 0);
    EXPECT_TRUE(s.LadenFehlgeschlagen);

    s.Uebernehmen(1);  // unchanged: the damaged file stays as it is
    EXPECT_EQ(LiesDatei(Bib("A")), a);
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "A"}));

    EXPECT_THROW(s.Uebernehmen(1), FileError);  // back to A
    Hinzu("neu");
    s.Uebernehmen(1);  // changed by the user: now it is written
    EXPECT_EQ(TexteDatei("A"), (Namen{"erste", "neu"}));
}

TEST_F(SammlungTest, SwitchSavesTheLibraryLeftAndMovesTheClickedOneToTheTop) {
    Lege("A", {"a1", "a2"});
    Lege("B", {"b1"});
    Lege("C", {"c1", "c2", "c3"});
    s.Start(v);
    ASSERT_EQ(s.Bibliotheken, (Namen{"A", "B", "C"}));

    // Unchanged, and still saved: the removed file comes back.
    fs::remove(Bib("A"));
    const int vorher = layout;
    s.Uebernehmen(2);
    EXPECT_EQ(TexteDatei("A"), (Namen{"a1", "a2"}));
    EXPECT_EQ(s.Bibliotheken, (Namen{"C", "A", "B"}));
    EXPECT_EQ(s.AktBibliothek, 0);
    EXPECT_EQ(Aktuell(), (Namen{"c1", "c2", "c3"}));
    EXPECT_EQ(s.AktFormel, 0);
    EXPECT_GT(layout, vorher);

    // A change reaches the file on the next switch.
    Hinzu("c4");
    s.Uebernehmen(2);
    EXPECT_FALSE(s.Geaendert);
    EXPECT_EQ(TexteDatei("C"), (Namen{"c1", "c2", "c3", "c4"}));
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "C", "A"}));
    EXPECT_EQ(Aktuell(), Namen{"b1"});

    // Clicking the current entry saves and reloads it.
    s.Uebernehmen(0);
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "C", "A"}));
    EXPECT_EQ(Aktuell(), Namen{"b1"});

    // No entry selected: nothing is switched.
    s.Uebernehmen(-1);
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "C", "A"}));
    EXPECT_TRUE(fragen.empty());
}

TEST_F(SammlungTest, FailedSaveDoesNotSwitch) {
    Lege("A", {"a1"});
    Lege("B", {"b1"});
    s.Start(v);
    Hinzu("a2");
    // A's file cannot be replaced: a folder with content stands in its place.
    fs::remove(Bib("A"));
    fs::create_directory(Bib("A"));
    SchreibeDatei(Bib("A") / "x", Als("x"));

    EXPECT_THROW(s.Uebernehmen(1), FileError);
    EXPECT_EQ(s.Bibliotheken, (Namen{"A", "B"}));
    EXPECT_EQ(s.AktBibliothek, 0);
    EXPECT_EQ(Aktuell(), (Namen{"a1", "a2"}));
    EXPECT_TRUE(s.Geaendert);
    EXPECT_EQ(Inhalt(v.BibVerz), (Namen{"A.pqb", "B.pqb"}));  // no temporary file left
}

TEST_F(SammlungTest, ClosingAsksWhenChangedAndWritesTheOrderFile) {
    struct Fall {
        const char* name;
        bool aendern;
        Antwort antwort;
        bool schliesst;
        Namen dateiA;
        bool mfl;
    };
    const Fall faelle[] = {
        {"unchanged: no question", false, Antwort::Ja, true, {"a1"}, true},
        {"Cancel keeps the window open", true, Antwort::Abbrechen, false, {"a1"}, false},
        {"No saves nothing", true, Antwort::Nein, true, {"a1"}, true},
        {"Yes saves", true, Antwort::Ja, true, {"a1", "a2"}, true},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        fs::remove(t / "KDFormel.MFL");
        Lege("A", {"a1"});
        Lege("B", {"b1"});
        s.Start(v);
        s.Uebernehmen(1);
        s.Uebernehmen(1);  // A again, B second
        fragen.clear();
        if (f.aendern) {
            Hinzu("a2");
            antworten.push_back(f.antwort);
        }
        EXPECT_EQ(s.Schliessen(), f.schliesst);
        EXPECT_EQ(fragen, f.aendern ? Namen{"\xC4nderungen speichern?"} : Namen{});
        EXPECT_EQ(TexteDatei("A"), f.dateiA);
        if (f.mfl) {
            EXPECT_EQ(LiesDatei(t / "KDFormel.MFL"), Als("A\r\nB\r\n"));
        } else {
            EXPECT_FALSE(fs::exists(t / "KDFormel.MFL"));
        }
    }
    EXPECT_TRUE(meldungen.empty());
}

TEST_F(SammlungTest, UnwritableOrderFileIsReportedAndDoesNotStopClosing) {
    Lege("A", {"a1"});
    s.Start(v);
    fs::create_directory(t / "KDFormel.MFL");
    SchreibeDatei(t / "KDFormel.MFL" / "x", Als("x"));
    EXPECT_TRUE(s.Schliessen());
    ASSERT_EQ(meldungen.size(), 1u);
    EXPECT_NE(meldungen[0].find("KDFormel.MFL"), std::string::npos);
}

TEST_F(SammlungTest, NewLibraryProposesTheSmallestFreeNumber) {
    Lege("A", {"a1"});
    Lege("Bibliothek1", {});
    Lege("Bibliothek3", {});
    s.Start(v);
    s.NeueBibliothek(true);
    EXPECT_TRUE(s.NamensEingabe);
    EXPECT_EQ(s.NamensText, "Bibliothek2");
    EXPECT_TRUE(s.FormelListe.Empty());
    EXPECT_EQ(s.AktFormel, -1);

    ASSERT_TRUE(s.SetNeueBibliothek());
    EXPECT_FALSE(s.NamensEingabe);
    EXPECT_EQ(s.NamensText, "");
    EXPECT_EQ(s.Bibliotheken, (Namen{"Bibliothek2", "A", "Bibliothek1", "Bibliothek3"}));
    EXPECT_EQ(s.AktBibliothek, 0);
    EXPECT_EQ(LiesDatei(Bib("Bibliothek2")), (Bytes{0, 0, 0, 0}));
    EXPECT_TRUE(s.SetNeueBibliothek());  // nothing pending: nothing happens
    EXPECT_EQ(s.Bibliotheken.size(), 4u);
}

TEST_F(SammlungTest, EscAfterANewNameKeepsThePreviousLibrary) {
    Lege("A", {"a1", "a2"});
    Lege("B", {"b1"});
    s.Start(v);
    s.SetFormel(1);
    Hinzu("a3");

    s.NeueBibliothek(true);
    EXPECT_EQ(TexteDatei("A"), (Namen{"a1", "a2", "a3"}));  // saved before it was left
    EXPECT_TRUE(s.FormelListe.Empty());

    const int vorher = layout;
    s.NamensEingabeAbbrechen();
    EXPECT_FALSE(s.NamensEingabe);
    EXPECT_EQ(s.NamensText, "");
    EXPECT_EQ(Aktuell(), (Namen{"a1", "a2", "a3"}));
    EXPECT_EQ(s.AktFormel, 1);
    EXPECT_GT(layout, vorher);

    // The next switch saves A's records, not an empty list.
    s.Uebernehmen(1);
    EXPECT_EQ(TexteDatei("A"), (Namen{"a1", "a2", "a3"}));
    EXPECT_FALSE(fs::exists(Bib("Bibliothek1")));
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "A"}));
}

TEST_F(SammlungTest, OverwriteQuestion) {
    struct Fall {
        Antwort antwort;
        bool angelegt;
    };
    const Fall faelle[] = {{Antwort::Nein, false}, {Antwort::Abbrechen, false}, {Antwort::Ja, true}};
    for (const auto& f : faelle) {
        SCOPED_TRACE(int(f.antwort));
        Lege("A", {"a1"});
        Lege("B", {"b1"});
        fs::remove(t / "KDFormel.MFL");
        s.Start(v);
        fragen.clear();
        s.NeueBibliothek(true);
        s.NamensText = "B";
        antworten.push_back(f.antwort);
        EXPECT_EQ(s.SetNeueBibliothek(), f.angelegt);
        EXPECT_EQ(fragen, Namen{"Formelsammlung \"B\" besteht bereits. \xDC" "berschreiben?"});
        if (f.angelegt) {
            EXPECT_FALSE(s.NamensEingabe);
            EXPECT_EQ(LiesDatei(Bib("B")), (Bytes{0, 0, 0, 0}));
            EXPECT_EQ(s.Bibliotheken, (Namen{"B", "A"}));  // moved to the top, listed once
            EXPECT_EQ(s.AktBibliothek, 0);
            EXPECT_TRUE(s.FormelListe.Empty());
            s.Uebernehmen(1);
            EXPECT_EQ(s.Bibliotheken, (Namen{"A", "B"}));
            EXPECT_TRUE(s.Schliessen());
            EXPECT_EQ(LiesDatei(t / "KDFormel.MFL"), Als("A\r\nB\r\n"));
        } else {
            EXPECT_TRUE(s.NamensEingabe);
            EXPECT_EQ(s.NamensText, "B");
            EXPECT_EQ(TexteDatei("B"), Namen{"b1"});
            EXPECT_EQ(s.Bibliotheken, (Namen{"A", "B"}));
            s.NamensEingabeAbbrechen();
            EXPECT_EQ(Aktuell(), Namen{"a1"});
        }
    }
}

TEST_F(SammlungTest, TypedNamesLoseEverythingFromTheFirstDot) {
    struct Fall {
        std::string getippt;
        std::string eintrag;  // empty: refused
        const char* datei;
    };
    const Fall faelle[] = {
        {"Optik.alt", "Optik", "Optik.pqb"},
        {"a.b.c", "a", "a.pqb"},
        {"Elektro", "Elektro", "Elektro.pqb"},
        {"\xDC" "bungen", "\xDC" "bungen", "\xC3\x9C" "bungen.pqb"},
        {std::string(300, 'n'), std::string(255, 'n'), nullptr},  // cut to a short string
        {"", "", nullptr},
        {".pqb", "", nullptr},
        {"x/y", "", nullptr},
    };
    Lege("A", {"a1"});
    s.Start(v);
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.getippt);
        meldungen.clear();
        s.NeueBibliothek(true);
        s.NamensText = f.getippt;
        if (f.eintrag.empty()) {
            EXPECT_FALSE(s.SetNeueBibliothek());
            EXPECT_TRUE(s.NamensEingabe);
            EXPECT_EQ(meldungen.size(), 1u);
            s.NamensEingabeAbbrechen();
            continue;
        }
        if (!f.datei) {
            // 255 characters and ".pqb" are too long for a file name: the save fails,
            // the naming stays open and the list is as it was.
            const Namen liste = s.Bibliotheken;
            EXPECT_THROW(s.SetNeueBibliothek(), FileError);
            EXPECT_TRUE(s.NamensEingabe);
            EXPECT_EQ(s.Bibliotheken, liste);
            s.NamensEingabeAbbrechen();
            continue;
        }
        ASSERT_TRUE(s.SetNeueBibliothek());
        EXPECT_EQ(s.Bibliotheken[0], f.eintrag);
        EXPECT_TRUE(fs::exists(v.BibVerz / f.datei));
        EXPECT_TRUE(meldungen.empty());
    }
}

TEST_F(SammlungTest, ClickDuringANamingFinishesItFirst) {
    Lege("A", {"a1"});
    Lege("B", {"b1"});
    s.Start(v);
    s.NeueBibliothek(true);
    ASSERT_EQ(s.NamensText, "Bibliothek1");
    s.Uebernehmen(1);  // B, as the list showed it while the name was typed
    EXPECT_FALSE(s.NamensEingabe);
    EXPECT_EQ(LiesDatei(Bib("Bibliothek1")), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "Bibliothek1", "A"}));
    EXPECT_EQ(Aktuell(), Namen{"b1"});
    EXPECT_EQ(TexteDatei("A"), Namen{"a1"});

    // A naming that is not confirmed stops the click.
    s.NeueBibliothek(true);
    s.NamensText = "A";
    antworten.push_back(Antwort::Nein);
    s.Uebernehmen(2);
    EXPECT_TRUE(s.NamensEingabe);
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "Bibliothek1", "A"}));
    EXPECT_EQ(TexteDatei("A"), Namen{"a1"});
}

TEST_F(SammlungTest, ClosingDuringANamingSavesThePreviousLibrary) {
    Lege("A", {"a1"});
    s.Start(v);
    s.NeueBibliothek(true);
    EXPECT_TRUE(s.Schliessen());
    EXPECT_FALSE(s.NamensEingabe);
    EXPECT_EQ(Aktuell(), Namen{"a1"});
    EXPECT_EQ(TexteDatei("A"), Namen{"a1"});
    EXPECT_EQ(LiesDatei(t / "KDFormel.MFL"), Als("A\r\n"));
    EXPECT_FALSE(fs::exists(Bib("Bibliothek1")));
}

TEST_F(SammlungTest, SetFormelClampsToTheRecords) {
    Lege("A", {"a1", "a2", "a3"});
    s.Start(v);
    const std::pair<int, int> faelle[] = {{-5, 0}, {-1, 0}, {0, 0}, {1, 1}, {2, 2}, {99, 2}};
    for (const auto& [index, gewaehlt] : faelle) {
        s.SetFormel(index);
        EXPECT_EQ(s.AktFormel, gewaehlt) << index;
    }
    s.FormelListe.ClearItems();
    s.SetFormel(1);
    EXPECT_EQ(s.AktFormel, -1);
}

TEST_F(SammlungTest, DeleteAsksAndSelectsTheFormulaAbove) {
    struct Fall {
        int gewaehlt;
        Antwort antwort;
        bool frage;  // a question is asked
        Namen danach;
        int aktDanach;
        bool geaendert;
    };
    const Fall faelle[] = {
        {1, Antwort::Ja, true, {"a1", "a3"}, 0, true},
        {0, Antwort::Ja, true, {"a2", "a3"}, -1, true},   // the first: none selected
        {2, Antwort::Ja, true, {"a1", "a2"}, 1, true},
        {1, Antwort::Nein, true, {"a1", "a2", "a3"}, 1, false},
        {1, Antwort::Abbrechen, true, {"a1", "a2", "a3"}, 1, false},
        {-1, Antwort::Ja, false, {"a1", "a2", "a3"}, -1, false},  // nothing selected
    };
    for (const Fall& f : faelle) {
        Lege("A", {"a1", "a2", "a3"});
        s.Start(v);
        s.AktFormel = f.gewaehlt;
        fragen.clear();
        antworten.clear();
        if (f.frage) antworten.push_back(f.antwort);
        layout = 0;
        EXPECT_EQ(s.FormelLoeschen(), f.danach.size() == 2) << f.gewaehlt;
        EXPECT_EQ(Aktuell(), f.danach) << f.gewaehlt;
        EXPECT_EQ(s.AktFormel, f.aktDanach) << f.gewaehlt;
        EXPECT_EQ(s.Geaendert, f.geaendert) << f.gewaehlt;
        // The question names the formula it deletes.
        EXPECT_EQ(fragen, f.frage ? Namen{"Formel wirklich l\xF6schen?\n\na" +
                                          std::to_string(f.gewaehlt + 1)}
                                  : Namen{})
            << f.gewaehlt;
        EXPECT_GE(layout, 1) << "the layouts are invalid after a delete command";
    }
    // The only formula: the library is empty afterwards.
    Lege("A", {"a1"});
    s.Start(v);
    antworten = {Antwort::Ja};
    EXPECT_TRUE(s.FormelLoeschen());
    EXPECT_TRUE(s.FormelListe.Empty());
    EXPECT_EQ(s.AktFormel, -1);
    EXPECT_FALSE(s.FormelLoeschen()) << "nothing left to delete";
}

TEST_F(SammlungTest, MoveUpAndDownStopAtTheEnds) {
    struct Fall {
        bool hoch;
        int gewaehlt;
        Namen danach;
        int aktDanach;
    };
    const Fall faelle[] = {
        {true, 1, {"a2", "a1", "a3"}, 0},
        {true, 2, {"a1", "a3", "a2"}, 1},
        {true, 0, {"a1", "a2", "a3"}, 0},   // the first cannot go up
        {true, -1, {"a1", "a2", "a3"}, -1},
        {false, 0, {"a2", "a1", "a3"}, 1},
        {false, 1, {"a1", "a3", "a2"}, 2},
        {false, 2, {"a1", "a2", "a3"}, 2},  // the last cannot go down
        {false, -1, {"a1", "a2", "a3"}, -1},
    };
    for (const Fall& f : faelle) {
        Lege("A", {"a1", "a2", "a3"});
        s.Start(v);
        s.AktFormel = f.gewaehlt;
        layout = 0;
        const bool bewegt = f.hoch ? s.FormelNachOben() : s.FormelNachUnten();
        const bool erwartet = f.danach != Namen{"a1", "a2", "a3"};
        EXPECT_EQ(bewegt, erwartet) << f.hoch << f.gewaehlt;
        EXPECT_EQ(Aktuell(), f.danach) << f.hoch << f.gewaehlt;
        EXPECT_EQ(s.AktFormel, f.aktDanach) << f.hoch << f.gewaehlt;
        // A move is a change: closing asks, so the new order is not lost.
        EXPECT_EQ(s.Geaendert, erwartet) << f.hoch << f.gewaehlt;
        EXPECT_EQ(layout, 1) << "laid out again even when nothing moved";
    }
    EXPECT_TRUE(fragen.empty());
}

TEST_F(SammlungTest, MovedOrderIsSavedAtClosing) {
    Lege("A", {"a1", "a2"});
    s.Start(v);
    s.AktFormel = 1;
    ASSERT_TRUE(s.FormelNachOben());
    antworten = {Antwort::Ja};
    EXPECT_TRUE(s.Schliessen());
    EXPECT_EQ(fragen, Namen{"\xC4nderungen speichern?"});
    EXPECT_EQ(TexteDatei("A"), (Namen{"a2", "a1"}));
}
