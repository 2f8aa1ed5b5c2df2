// Opening a library named on the command line: files inside and outside the library
// folder, the copy question, free names, refused files.
#include <gtest/gtest.h>

#include <deque>

#include "core/library/AtomarSchreiben.h"
#include "core/library/Oeffnen.h"
#include "library_testhilfe.h"

using namespace kd;
using namespace kdtest;

using Namen = std::vector<std::string>;

namespace {

Bytes BibBytes(const Namen& texte) {
    std::vector<Bytes> saetze;
    for (const auto& t : texte) {
        SatzBytes s;
        s.text = t;
        saetze.push_back(Satz(s));
    }
    return Datei(saetze);
}

class OeffnenTest : public ::testing::Test {
protected:
    void SetUp() override {
        v.ProgVerz = t / "prog";
        v.BibVerz = v.ProgVerz / "Formelsammlung";
        fs::create_directories(v.BibVerz);
        fs::create_directories(aussen);
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
    }

    void Lege(const fs::path& p, const Namen& texte) { SchreibeDatei(p, BibBytes(texte)); }
    fs::path Bib(const std::string& name) const { return v.BibVerz / (name + ".pqb"); }

    // "A" and "B" in the folder; A is current after the start.
    void Starte() {
        Lege(Bib("A"), {"a=1"});
        Lege(Bib("B"), {"b=2", "c=3"});
        s.Start(v);
        ASSERT_EQ(s.Bibliotheken, (Namen{"A", "B"}));
    }

    Namen Texte() const {
        Namen n;
        for (const auto& satz : s.FormelListe) n.push_back(satz->FormelText);
        return n;
    }

    TempOrdner t;
    fs::path aussen = t / "anderswo";
    Verzeichnisse v;
    Formelsammlung s;
    Namen fragen;
    std::deque<Antwort> antworten;
};

} // namespace

TEST_F(OeffnenTest, FileInTheFolderIsLoadedWithoutAsking) {
    Starte();
    struct Fall {
        const char* wie;
        fs::path datei;
        fs::path arbeitsVerz;
    } faelle[] = {
        {"absolute", Bib("B"), "/"},
        {"relative to the working folder", "Formelsammlung/B.pqb", v.ProgVerz},
        {"with dots in the path", v.BibVerz / ".." / "Formelsammlung" / "B.pqb", "/"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.wie);
        s.Start(v);
        EXPECT_TRUE(OeffneBibliothek(s, f.datei, f.arbeitsVerz));
        EXPECT_EQ(s.Bibliotheken, (Namen{"B", "A"}));
        EXPECT_EQ(s.AktBibliothek, 0);
        EXPECT_EQ(Texte(), (Namen{"b=2", "c=3"}));
        EXPECT_EQ(s.AktFormel, 0);
    }
    EXPECT_TRUE(fragen.empty());
    EXPECT_EQ(Inhalt(v.BibVerz), (Namen{"A.pqb", "B.pqb"}));
}

TEST_F(OeffnenTest, TheCurrentLibraryIsNeitherSavedNorReloaded) {
    Starte();
    s.Geaendert = true;  // an unsaved change must stay in memory only
    auto satz = std::make_unique<TFormelBiblio>();
    satz->FormelText = "neu=1";
    s.FormelListe.Add(std::move(satz));
    const Bytes vorher = LiesDatei(Bib("A"));

    EXPECT_EQ(PlaneOeffnen(s, Bib("A"), "/").Art, OeffnenArt::Aktuell);
    EXPECT_TRUE(OeffneBibliothek(s, Bib("A"), "/"));
    EXPECT_EQ(Texte(), (Namen{"a=1", "neu=1"}));
    EXPECT_TRUE(s.Geaendert);
    EXPECT_EQ(LiesDatei(Bib("A")), vorher);
}

TEST_F(OeffnenTest, UnlistedFileInTheFolderIsListed) {
    Starte();
    s.Bibliotheken = {"A"};  // an order file that names other libraries
    EXPECT_EQ(PlaneOeffnen(s, Bib("B"), "/").Art, OeffnenArt::Auflisten);
    EXPECT_TRUE(OeffneBibliothek(s, Bib("B"), "/"));
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "A"}));
    EXPECT_EQ(Texte(), (Namen{"b=2", "c=3"}));
    EXPECT_TRUE(fragen.empty());
}

TEST_F(OeffnenTest, FileElsewhereIsCopiedAfterYes) {
    Starte();
    const fs::path datei = aussen / "Physik.pqb";
    Lege(datei, {"F=m*a"});
    const Bytes bytes = LiesDatei(datei);

    antworten = {Antwort::Ja};
    EXPECT_TRUE(OeffneBibliothek(s, datei, "/"));
    ASSERT_EQ(fragen.size(), 1u);
    EXPECT_NE(fragen[0].find("\"Physik\""), std::string::npos) << fragen[0];
    EXPECT_NE(fragen[0].find(PfadText(datei)), std::string::npos) << fragen[0];
    EXPECT_EQ(LiesDatei(Bib("Physik")), bytes);
    EXPECT_EQ(LiesDatei(datei), bytes);  // the original stays
    EXPECT_EQ(s.Bibliotheken, (Namen{"Physik", "A", "B"}));
    EXPECT_EQ(Texte(), (Namen{"F=m*a"}));
    EXPECT_EQ(Inhalt(v.BibVerz), (Namen{"A.pqb", "B.pqb", "Physik.pqb"}));
}

TEST_F(OeffnenTest, DecliningTheCopyChangesNothing) {
    for (Antwort a : {Antwort::Nein, Antwort::Abbrechen}) {
        Starte();
        const fs::path datei = aussen / "Physik.pqb";
        Lege(datei, {"F=m*a"});
        antworten = {a};
        EXPECT_FALSE(OeffneBibliothek(s, datei, "/"));
        EXPECT_EQ(s.Bibliotheken, (Namen{"A", "B"}));
        EXPECT_EQ(Texte(), (Namen{"a=1"}));
        EXPECT_EQ(Inhalt(v.BibVerz), (Namen{"A.pqb", "B.pqb"}));
    }
    EXPECT_EQ(fragen.size(), 2u);
}

TEST_F(OeffnenTest, CopyTakesAFreeNameAndNeverOverwrites) {
    Starte();
    const Bytes altB = LiesDatei(Bib("B"));
    Lege(Bib("B (2)"), {"belegt"});
    s.Start(v);
    s.Bibliotheken.push_back("B (3)");  // listed, though its file is gone
    const fs::path datei = aussen / "B.pqb";
    Lege(datei, {"fremd=1"});

    const OeffnenPlan p = PlaneOeffnen(s, datei, "/");
    EXPECT_EQ(p.Art, OeffnenArt::Kopieren);
    EXPECT_EQ(p.Name, "B (4)");
    EXPECT_EQ(p.Ziel, Bib("B (4)"));

    antworten = {Antwort::Ja};
    EXPECT_TRUE(OeffneBibliothek(s, datei, "/"));
    EXPECT_EQ(LiesDatei(Bib("B")), altB);
    EXPECT_EQ(Texte(), (Namen{"fremd=1"}));
    EXPECT_EQ(s.Bibliotheken.front(), "B (4)");
}

TEST_F(OeffnenTest, AnIdenticalCopyInTheFolderIsOpenedWithoutAsking) {
    Starte();
    const fs::path datei = aussen / "B.pqb";
    fs::copy_file(Bib("B"), datei);
    EXPECT_TRUE(OeffneBibliothek(s, datei, "/"));
    EXPECT_TRUE(fragen.empty());
    EXPECT_EQ(s.Bibliotheken, (Namen{"B", "A"}));
    EXPECT_EQ(Inhalt(v.BibVerz), (Namen{"A.pqb", "B.pqb"}));
}

TEST_F(OeffnenTest, NamesMadeFromFileNames) {
    Starte();
    struct Fall {
        std::string datei;
        std::string name;
    } faelle[] = {
        {"Mechanik.pqb", "Mechanik"},
        {"Mechanik.PQB", "Mechanik"},
        {"Mechanik", "Mechanik"},
        {"Mechanik.dat", "Mechanik"},
        {"Teil.1.pqb", "Teil.1"},
        {".versteckt.pqb", "versteckt"},
        {"..pqb", "Bibliothek"},
        {"Zeile\nzwei.pqb", "Zeile_zwei"},
        {"\xC3\x84nderung.pqb", "\xC4nderung"},  // UTF-8 file name, Windows-1252 list name
        {"\xE2\x88\x91-Summe.pqb", "_-Summe"},     // no Windows-1252 form
        {std::string(150, 'x') + ".pqb", std::string(100, 'x')},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.datei);
        const fs::path datei = aussen / f.datei;
        Lege(datei, {"x=1"});
        const OeffnenPlan p = PlaneOeffnen(s, datei, "/");
        EXPECT_EQ(p.Art, OeffnenArt::Kopieren);
        EXPECT_EQ(p.Name, f.name);
        fs::remove(datei);
    }
    // A hidden file or another ending inside the folder is copied under a listed name.
    Lege(v.BibVerz / ".C.pqb", {"x=1"});
    const OeffnenPlan p = PlaneOeffnen(s, v.BibVerz / ".C.pqb", "/");
    EXPECT_EQ(p.Art, OeffnenArt::Kopieren);
    EXPECT_EQ(p.Name, "C");
}

TEST_F(OeffnenTest, RefusedFilesChangeNothing) {
    Starte();
    SchreibeDatei(aussen / "kaputt.pqb", Als("\x05\x00\x00\x00garbage"));
    SchreibeDatei(aussen / "leer.pqb", {});
    fs::create_directories(aussen / "ordner.pqb");
    SchreibeDatei(v.BibVerz / "Kaputt.pqb", Als("\xFF\xFF\xFF\x7F"));
    const fs::path faelle[] = {aussen / "fehlt.pqb", aussen / "kaputt.pqb", aussen / "leer.pqb",
                               aussen / "ordner.pqb", v.BibVerz / "Kaputt.pqb"};
    for (const fs::path& f : faelle) {
        SCOPED_TRACE(f.string());
        EXPECT_THROW(OeffneBibliothek(s, f, "/"), FileError);
        EXPECT_EQ(s.Bibliotheken, (Namen{"A", "B"}));
        EXPECT_EQ(Texte(), (Namen{"a=1"}));
    }
    EXPECT_TRUE(fragen.empty());
    EXPECT_EQ(Inhalt(v.BibVerz), (Namen{"A.pqb", "B.pqb", "Kaputt.pqb"}));
}

TEST_F(OeffnenTest, ALinkUnderTheNameIsNeverWrittenThrough) {
    Starte();
    const fs::path fremd = aussen / "fremd.txt";
    fs::create_symlink(fremd, Bib("Physik"));  // dangling: the name is taken all the same
    const fs::path datei = aussen / "Physik.pqb";
    Lege(datei, {"F=m*a"});
    antworten = {Antwort::Ja};
    EXPECT_TRUE(OeffneBibliothek(s, datei, "/"));
    EXPECT_EQ(s.Bibliotheken.front(), "Physik (2)");
    EXPECT_FALSE(fs::exists(fremd));
    EXPECT_EQ(LiesDatei(Bib("Physik (2)")), LiesDatei(datei));
}
