// The program and library folders, the list of libraries and the order file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/library/Verzeichnis.h"
#include "library_testhilfe.h"

using namespace kd;
using namespace kdtest;

using Namen = std::vector<std::string>;

TEST(Reihenfolge, OrderFileRule) {
    struct Fall {
        const char* name;
        Namen reihenfolge, gefunden, erwartet;
    };
    const Fall faelle[] = {
        {"same names in another order", {"Optik", "Mechanik"}, {"Mechanik", "Optik"},
         {"Optik", "Mechanik"}},
        {"names the folder does not hold are left out, even with the same total length",
         {"abc", "de"}, {"Optik"}, {"Optik"}},
        {"a library renamed in a file manager is still listed", {"Physik", "B"},
         {"B", "Chemie"}, {"B", "Chemie"}},
        {"libraries the order file does not name follow in name order", {"Optik"},
         {"Mechanik", "Optik", "Akustik"}, {"Optik", "Mechanik", "Akustik"}},
        {"a removed library", {"Mechanik", "Optik"}, {"Optik"}, {"Optik"}},
        {"a name listed twice is taken once", {"B", "A", "B"}, {"A", "B"}, {"B", "A"}},
        {"no order file", {}, {"B", "A"}, {"B", "A"}},
        {"order file without lines and no libraries", {}, {}, {}},
        {"one empty line matches no libraries, and is left out", {""}, {}, {}},
        {"empty lines are left out", {"A", "", "B"}, {"B", "A"}, {"A", "B"}},
        {"names compare by their Windows-1252 bytes", {"\xDC" "ber"}, {"Ober", "\xDC" "ber"},
         {"\xDC" "ber", "Ober"}},
        {"names compare with their case", {"optik"}, {"Optik"}, {"Optik"}},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(BibliotheksListe(f.reihenfolge, f.gefunden), f.erwartet) << f.name;
}

TEST(Reihenfolge, ReadingLineEnds) {
    TempOrdner t;
    struct Fall {
        const char* name;
        std::string inhalt;
        Namen zeilen;
    };
    const Fall faelle[] = {
        {"CR LF", "Mechanik\r\nOptik\r\n", {"Mechanik", "Optik"}},
        {"LF", "Mechanik\nOptik\n", {"Mechanik", "Optik"}},
        {"no line end at the end", "Mechanik\r\nOptik", {"Mechanik", "Optik"}},
        {"lone CR", "A\rB", {"A", "B"}},
        {"empty line in between", "A\r\n\r\nB\r\n", {"A", "", "B"}},
        {"Windows-1252 bytes stay", "\xDC" "bungen\r\n", {"\xDC" "bungen"}},
        {"empty file", "", {}},
    };
    for (const auto& f : faelle) {
        SchreibeDatei(t / "KDFormel.MFL", Als(f.inhalt));
        EXPECT_EQ(LiesReihenfolge(t / "KDFormel.MFL"), f.zeilen) << f.name;
    }
    EXPECT_EQ(LiesReihenfolge(t / "fehlt.MFL"), Namen{});
}

TEST(Reihenfolge, WrittenWithCrLfAndNoTemporaryFileLeft) {
    TempOrdner t;
    ASSERT_TRUE(SchreibeReihenfolge(t / "KDFormel.MFL", {"Optik", "\xDC" "bung", "A"}));
    EXPECT_EQ(LiesDatei(t / "KDFormel.MFL"), Als("Optik\r\n\xDC" "bung\r\nA\r\n"));
    ASSERT_TRUE(SchreibeReihenfolge(t / "KDFormel.MFL", {}));
    EXPECT_EQ(LiesDatei(t / "KDFormel.MFL"), Bytes{});
    EXPECT_EQ(Inhalt(t.Pfad()), Namen{"KDFormel.MFL"});
    EXPECT_FALSE(SchreibeReihenfolge(t / "fehlt" / "KDFormel.MFL", {"A"}));
}

TEST(Bibliotheksordner, ListingPqbFiles) {
    TempOrdner t;
    for (const char* n : {"Optik.pqb", "Mechanik.pqb", "B.pqb", ".versteckt.pqb", "Gross.PQB",
                          "Mixed.Pqb", "B.PQB", "Version 1.5.pqb", "notiz.txt", "a.pqb.bak",
                          "\xC3\x9C" "bung.pqb",  // "Übung" in UTF-8
                          "\xCE\xA9.pqb",           // Greek omega
                          "Zeile\nzwei.pqb"})      // would break the order file
        SchreibeDatei(t / n, {0, 0, 0, 0});
    fs::create_directory(t / "Ordner.pqb");
    // Sorted by the bytes of the Windows-1252 names; the omega has no such form; the
    // ending counts in any case, and "B.pqb" beside "B.PQB" is one entry.
    EXPECT_EQ(GefundeneBibliotheken(t.Pfad()),
              (Namen{"B", "Gross", "Mechanik", "Mixed", "Optik", "Version 1.5", "\xDC" "bung"}));
    EXPECT_EQ(GefundeneBibliotheken(t / "fehlt"), Namen{});
}

TEST(Bibliotheksordner, BibPfad) {
    EXPECT_EQ(BibPfad("/home/u/.local/share/KDFormel", "Optik"),
              fs::path("/home/u/.local/share/KDFormel/Optik.pqb"));
    EXPECT_EQ(BibPfad("/x/", "Optik"), fs::path("/x/Optik.pqb"));
    EXPECT_EQ(BibPfad("/x", "\xDC" "bung"), fs::path("/x/\xC3\x9C" "bung.pqb"));
    // A list name with a dot is still a name without its ending.
    EXPECT_EQ(BibPfad("/x", "Version 1.5"), fs::path("/x/Version 1.5.pqb"));
    EXPECT_EQ(BibPfad("/x", "/etc/y"), fs::path("/x//etc/y.pqb"));  // stays inside the folder

    // Every listed name leads to its own file, whatever the case of its ending.
    TempOrdner t;
    for (const char* n : {"ALT.PQB", "Mixed.Pqb", "B.pqb", "B.PQB", "Version 1.5.pqb"})
        SchreibeDatei(t / n, {0, 0, 0, 0});
    for (const auto& name : GefundeneBibliotheken(t.Pfad())) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::is_regular_file(BibPfad(t.Pfad(), name)));
    }
    EXPECT_EQ(BibPfad(t.Pfad(), "ALT"), t / "ALT.PQB");
    EXPECT_EQ(BibPfad(t.Pfad(), "B"), t / "B.pqb");
    EXPECT_EQ(BibPfad(t.Pfad(), "alt"), t / "alt.pqb");  // the name itself keeps its case
    EXPECT_EQ(BibPfad(t.Pfad(), "Neu"), t / "Neu.pqb");
}

TEST(Verzeichnisse, WhereTheProgramKeepsItsFiles) {
    TempOrdner t;
    // Example libraries to seed a first start with.
    fs::create_directory(t / "beispiele");
    SchreibeDatei(t / "beispiele" / "Mechanik.pqb", {0, 0, 0, 0});
    SchreibeDatei(t / "beispiele" / "Optik.pqb", {0, 0, 0, 0});
    SchreibeDatei(t / "beispiele" / ".x.pqb", {0, 0, 0, 0});
    SchreibeDatei(t / "beispiele" / "liesmich.txt", Als("x"));
    // Executable folders: plain, and three kinds of portable use.
    for (const char* n : {"exe", "exeMfl", "exeOrdner", "exePqb"}) fs::create_directory(t / n);
    SchreibeDatei(t / "exeMfl" / "KDFormel.MFL", Als("A\r\n"));
    fs::create_directory(t / "exeOrdner" / "Formelsammlung");
    SchreibeDatei(t / "exePqb" / "A.pqb", {0, 0, 0, 0});
    // A program folder that exists already, without library folder.
    fs::create_directory(t / "vorhanden");

    const fs::path beispiele = t / "beispiele";
    struct Fall {
        const char* name;
        Umgebung u;
        fs::path prog, bib;
        bool neu;
        Namen bibliotheken;  // found in bib afterwards
    };
    const Fall faelle[] = {
        {"KDFORMEL_HOME, first start",
         {t / "exeMfl", (t / "home1").string(), "", "", beispiele}, t / "home1",
         t / "home1" / "Formelsammlung", true, {"Mechanik", "Optik"}},
        {"KDFORMEL_HOME exists: never seeded",
         {t / "exe", (t / "vorhanden").string(), "", "", beispiele}, t / "vorhanden",
         t / "vorhanden", false, {}},
        {"portable: order file", {t / "exeMfl", "", (t / "xdg").string(), "", beispiele},
         t / "exeMfl", t / "exeMfl", false, {}},
        {"portable: library folder", {t / "exeOrdner", "", "", "", beispiele}, t / "exeOrdner",
         t / "exeOrdner" / "Formelsammlung", false, {}},
        {"portable: library files", {t / "exePqb", "", "", "", beispiele}, t / "exePqb",
         t / "exePqb", false, {"A"}},
        {"XDG_DATA_HOME", {t / "exe", "", (t / "xdg").string(), (t / "h").string(), beispiele},
         t / "xdg" / "KDFormel", t / "xdg" / "KDFormel" / "Formelsammlung", true,
         {"Mechanik", "Optik"}},
        {"relative XDG_DATA_HOME is ignored",
         {t / "exe", "", "relativ", (t / "h2").string(), {}},
         t / "h2" / ".local" / "share" / "KDFormel",
         t / "h2" / ".local" / "share" / "KDFormel" / "Formelsammlung", true, {}},
        {"HOME, example folder missing",
         {t / "exe", "", "", (t / "h3").string(), t / "gibtsnicht"},
         t / "h3" / ".local" / "share" / "KDFormel",
         t / "h3" / ".local" / "share" / "KDFormel" / "Formelsammlung", true, {}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const Verzeichnisse v = ErmittleVerzeichnisse(f.u);
        EXPECT_EQ(v.ProgVerz, f.prog);
        EXPECT_EQ(v.BibVerz, f.bib);
        EXPECT_EQ(v.NeuAngelegt, f.neu);
        EXPECT_TRUE(fs::is_directory(v.BibVerz));
        EXPECT_EQ(GefundeneBibliotheken(v.BibVerz), f.bibliotheken);
    }
    // A second start finds the folder and does not copy again.
    fs::remove(t / "home1" / "Formelsammlung" / "Optik.pqb");
    const Verzeichnisse v =
        ErmittleVerzeichnisse({t / "exe", (t / "home1").string(), "", "", beispiele});
    EXPECT_FALSE(v.NeuAngelegt);
    EXPECT_EQ(GefundeneBibliotheken(v.BibVerz), Namen{"Mechanik"});
}

TEST(Verzeichnisse, EnvironmentIsRead) {
    TempOrdner t;
    const char* alt = std::getenv("KDFORMEL_HOME");
    const std::string gemerkt = alt ? alt : "";
    ::setenv("KDFORMEL_HOME", (t / "k").c_str(), 1);
    const Umgebung u = AktuelleUmgebung(t / "exe", t / "bsp");
    if (alt) ::setenv("KDFORMEL_HOME", gemerkt.c_str(), 1);
    else ::unsetenv("KDFORMEL_HOME");
    EXPECT_EQ(u.KdformelHome, (t / "k").string());
    EXPECT_EQ(u.ExeVerz, t / "exe");
    EXPECT_EQ(u.BeispielVerz, t / "bsp");
}
