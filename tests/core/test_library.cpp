// Library files: the record layout, damaged files and saving through a temporary file.
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/Errors.h"
#include "core/Stream.h"
#include "core/library/AtomarSchreiben.h"
#include "core/library/Bibliothek.h"
#include "core/library/FormelBiblio.h"
#include "library_testhilfe.h"

using namespace kd;
using namespace kdtest;

namespace {

Bytes Schreiben(const FormelListeTyp& liste) {
    MemorySink sink;
    {
        BufferedWriter w(sink);
        SchreibeBibliothek(w, liste);
    }
    return sink.Bytes();
}

// Reads bytes; returns the error message, empty when the whole library was read.
std::string Lesen(const Bytes& b, FormelListeTyp& liste) {
    MemorySource src(b.data(), b.size());
    BufferedReader r(src);
    try {
        LiesBibliothek(r, "test.pqb", liste);
    } catch (const FileError& e) {
        return e.what();
    }
    return {};
}

std::unique_ptr<TFormelBiblio> Neu(const std::string& text, std::int32_t bildTyp = 0,
                                   Bytes bild = {}) {
    auto s = std::make_unique<TFormelBiblio>();
    s->FormelText = text;
    s->BildTyp = bildTyp;
    s->Bild = std::move(bild);
    return s;
}

} // namespace

TEST(FormelBiblio, NewRecordDefaults) {
    const TFormelBiblio s;
    EXPECT_EQ(s.Kennzahl, 600);
    EXPECT_EQ(s.BildTyp, 0);
    EXPECT_TRUE(s.Bild.empty());
    EXPECT_EQ(s.FormelText, "");
    EXPECT_EQ(s.HinweisText(), "KALDORA Formelsammlung");
    EXPECT_LE(s.Hinweis[0], 40);
    for (std::size_t i = 1 + s.Hinweis[0]; i < s.Hinweis.size(); ++i)
        EXPECT_EQ(s.Hinweis[i], 0) << "byte " << i << " after the notice";
}

TEST(BibliothekFormat, WrittenBytes) {
    // An empty library is four zero bytes, and reads back empty.
    EXPECT_EQ(Schreiben(FormelListeTyp()), (Bytes{0, 0, 0, 0}));
    FormelListeTyp leer;
    EXPECT_EQ(Lesen({0, 0, 0, 0}, leer), "");
    EXPECT_TRUE(leer.Empty());

    struct Fall {
        const char* name;
        std::string text;
        std::int32_t bildTyp;
        Bytes bild;
        std::size_t satzLaenge;
    };
    const Fall faelle[] = {
        {"empty text", "", 0, {}, 4 + 41 + 4 + 2},
        {"text", "y=a*x^2", 0, {}, 4 + 41 + 4 + 2 + 7},
        {"text of 255", std::string(255, 'x'), 0, {}, 4 + 41 + 4 + 2 + 255},
        {"negative BildTyp has no size field", "a", -3, {}, 4 + 41 + 4 + 2 + 1},
        {"picture", "b", 1, {0xFF, 0xD8, 0xFF, 0xD9}, 4 + 41 + 4 + 4 + 4 + 2 + 1},
        {"BildTyp 7 keeps its bytes", "c", 7, {1, 2, 3}, 4 + 41 + 4 + 4 + 3 + 2 + 1},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        FormelListeTyp liste;
        liste.Add(Neu(f.text, f.bildTyp, f.bild));
        const Bytes b = Schreiben(liste);
        ASSERT_EQ(b.size(), 4 + f.satzLaenge);

        SatzBytes erwartet;
        erwartet.text = f.text;
        erwartet.bildTyp = f.bildTyp;
        erwartet.bild = f.bild;
        EXPECT_EQ(b, Datei({Satz(erwartet)}));
    }

    // A text longer than a short string is written cut, always as kind 6.
    FormelListeTyp liste;
    liste.Add(Neu(std::string(300, 'z')));
    const Bytes b = Schreiben(liste);
    ASSERT_EQ(b.size(), 4 + 4 + 41 + 4 + 2 + 255u);
    EXPECT_EQ(b[4 + 49], 6);
    EXPECT_EQ(b[4 + 50], 255);
}

TEST(BibliothekFormat, ReadingHandMadeFiles) {
    SatzBytes lang12;
    lang12.art = 12;
    lang12.text = std::string(255, 'a') + std::string(45, 'b');
    SatzBytes kurz12;
    kurz12.art = 12;
    kurz12.text = "E=m*c^2";
    SatzBytes hinweis;
    hinweis.hinweis = HinweisFeld("abc", 0xA7);  // bytes after the length are not zero
    hinweis.kennzahl = -77;
    hinweis.text = "q";
    SatzBytes typ7;
    typ7.bildTyp = 7;
    typ7.bild = {9, 8, 7, 6};
    typ7.text = "r";
    SatzBytes leeresBild;
    leeresBild.bildTyp = 2;
    leeresBild.text = "s";

    struct Fall {
        const char* name;
        SatzBytes satz;
        std::string text;
        std::size_t bild;
    };
    const Fall faelle[] = {
        {"kind 12 longer than 255 is cut", lang12, std::string(255, 'a'), 0},
        {"kind 12 short", kurz12, "E=m*c^2", 0},
        {"Hinweis and Kennzahl", hinweis, "q", 0},
        {"BildTyp 7", typ7, "r", 4},
        {"picture of 0 bytes", leeresBild, "s", 0},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        FormelListeTyp liste;
        ASSERT_EQ(Lesen(Datei({Satz(f.satz)}), liste), "");
        ASSERT_EQ(liste.Count(), 1);
        const TFormelBiblio& s = *liste[0];
        EXPECT_EQ(s.FormelText, f.text);
        EXPECT_EQ(s.Kennzahl, f.satz.kennzahl);
        EXPECT_EQ(s.BildTyp, f.satz.bildTyp);
        EXPECT_EQ(s.Bild.size(), f.bild);
        EXPECT_EQ(Bytes(s.Hinweis.begin(), s.Hinweis.end()), f.satz.hinweis);

        // Written back: the same record, the text now as kind 6.
        SatzBytes zurueck = f.satz;
        zurueck.art = 6;
        zurueck.text = f.text;
        EXPECT_EQ(Schreiben(liste), Datei({Satz(zurueck)}));
    }
}

// Cutting a sample library at every byte: each cut is reported, and exactly the records
// that lie wholly before the cut are kept.
TEST(BibliothekFormat, TruncatedAtEveryOffset) {
    std::vector<SatzBytes> saetze(5);
    saetze[0].text = "y=a*x^2+b*x+c {Parabel}";
    saetze[1].bildTyp = 1;
    saetze[1].bild = Bytes(3000, 0x5A);  // longer than the 2048-byte buffer
    saetze[1].text = "A=~p*r^2";
    saetze[2].art = 12;
    saetze[2].text = "F=m*a";
    saetze[3].hinweis = HinweisFeld("xyz", 0x11);
    saetze[3].text = "";
    saetze[4].bildTyp = 9;
    saetze[4].bild = {1, 2, 3};
    saetze[4].text = "U=R*I";

    std::vector<Bytes> teile;
    for (const auto& s : saetze) teile.push_back(Satz(s));
    const Bytes datei = Datei(teile);
    std::vector<std::size_t> enden;  // offset just after each record
    std::size_t pos = 4;
    for (const auto& t : teile) enden.push_back(pos += t.size());
    ASSERT_EQ(enden.back(), datei.size());

    FormelListeTyp ganz;
    ASSERT_EQ(Lesen(datei, ganz), "");
    ASSERT_EQ(ganz.Count(), 5);

    for (std::size_t schnitt = 0; schnitt < datei.size(); ++schnitt) {
        SCOPED_TRACE("cut at " + std::to_string(schnitt));
        const Bytes teil(datei.begin(), datei.begin() + std::ptrdiff_t(schnitt));
        FormelListeTyp liste;
        const std::string m = Lesen(teil, liste);
        ASSERT_NE(m.find("Fehler beim Lesen der Formelsammlung \"test.pqb\""), std::string::npos)
            << m;
        EXPECT_NE(m.find("Datei endet vorzeitig"), std::string::npos) << m;
        int ganzeSaetze = 0;
        while (ganzeSaetze < 5 && enden[std::size_t(ganzeSaetze)] <= schnitt) ++ganzeSaetze;
        ASSERT_EQ(liste.Count(), ganzeSaetze);
        for (int i = 0; i < ganzeSaetze; ++i) {
            EXPECT_EQ(liste[i]->FormelText, ganz[i]->FormelText);
            EXPECT_EQ(liste[i]->Bild, ganz[i]->Bild);
            EXPECT_EQ(liste[i]->Hinweis, ganz[i]->Hinweis);
        }
    }
}

TEST(BibliothekFormat, ImpossibleCountsSizesAndKinds) {
    SatzBytes gut;
    gut.text = "a";
    SatzBytes bildNegativ;
    bildNegativ.bildTyp = 1;
    SatzBytes art7;
    art7.art = 7;
    art7.text = "x";

    auto mitBildgroesse = [](std::int32_t s) {
        Bytes b;
        I32(b, 600);
        Bytes h = HinweisFeld("");
        b.insert(b.end(), h.begin(), h.end());
        I32(b, 1);
        I32(b, s);
        b.insert(b.end(), {6, 0});
        return b;
    };
    auto mitTextlaenge = [](std::int32_t l) {
        Bytes b;
        I32(b, 600);
        Bytes h = HinweisFeld("");
        b.insert(b.end(), h.begin(), h.end());
        I32(b, 0);
        b.push_back(12);
        I32(b, l);
        b.push_back('x');
        return b;
    };

    struct Fall {
        const char* name;
        Bytes datei;
        int behalten;  // records kept
        const char* grund;
    };
    const Fall faelle[] = {
        {"negative count", {0xFF, 0xFF, 0xFF, 0xFF}, 0, "ung\xFCltige Anzahl von Formeln (-1)"},
        {"no count", {0, 0, 0}, 0, "Datei endet vorzeitig"},
        {"count far beyond the file", Datei({Satz(gut)}, 0x7FFFFFFF), 1,
         "zu kurz f\xFCr die angegebene Anzahl von 2147483647 Formeln"},
        {"count one too many", Datei({Satz(gut), Satz(gut)}, 3), 2, "Datei endet vorzeitig"},
        {"negative picture size", Datei({Satz(gut), mitBildgroesse(-1)}), 1,
         "ung\xFCltige Bildgr\xF6\xDF" "e -1"},
        {"picture larger than the rest", Datei({mitBildgroesse(0x7FFFFFF0)}), 0,
         "Bild von 2147483632 Bytes, aber nur noch 2 Bytes in der Datei"},
        {"picture one byte too large", Datei({mitBildgroesse(3)}), 0,
         "Bild von 3 Bytes, aber nur noch 2 Bytes"},
        {"text kind 7", Datei({Satz(gut), Satz(art7)}), 1, "unbekannte Textart 7"},
        {"negative kind-12 length", Datei({mitTextlaenge(-5)}), 0, "ung\xFCltige Textl\xE4nge -5"},
        {"kind-12 length beyond the file", Datei({mitTextlaenge(0x7FFFFFFF)}), 0,
         "Datei endet vorzeitig"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        FormelListeTyp liste;
        const std::string m = Lesen(f.datei, liste);
        EXPECT_NE(m.find("\"test.pqb\""), std::string::npos) << m;
        EXPECT_NE(m.find(f.grund), std::string::npos) << m;
        EXPECT_EQ(liste.Count(), f.behalten);
    }
}

TEST(BibliothekDatei, MitBibEndung) {
    const std::pair<const char*, const char*> faelle[] = {
        {"Mechanik", "Mechanik.pqb"},
        {"Mechanik.pqb", "Mechanik.pqb"},
        {"Mechanik.alt", "Mechanik.alt"},
        {"/home/u/.local/share/KDFormel/Optik", "/home/u/.local/share/KDFormel/Optik.pqb"},
        {"/a.b/c", "/a.b/c.pqb"},
        {"/a.b/c.d", "/a.b/c.d"},
        {"dir/", "dir/.pqb"},
        {"", ".pqb"},
    };
    for (const auto& [ein, aus] : faelle) EXPECT_EQ(MitBibEndung(ein), aus) << ein;
}

TEST(BibliothekDatei, SaveAndLoadThroughFiles) {
    TempOrdner t;
    FormelListeTyp liste;
    liste.Add(Neu("a+b"));
    liste.Add(Neu("c", 1, Bytes(100000, 0x33)));
    SchreibeBibliothek((t / "Mathe").string(), liste);  // ".pqb" appended
    EXPECT_EQ(Inhalt(t.Pfad()), std::vector<std::string>{"Mathe.pqb"});
    EXPECT_EQ(LiesDatei(t / "Mathe.pqb"), Schreiben(liste));

    // Saving again replaces the file and leaves no temporary file behind.
    liste.DeleteItem(1);
    SchreibeBibliothek((t / "Mathe.pqb").string(), liste);
    EXPECT_EQ(Inhalt(t.Pfad()), std::vector<std::string>{"Mathe.pqb"});
    FormelListeTyp wieder;
    LiesBibliothek((t / "Mathe").string(), wieder);
    ASSERT_EQ(wieder.Count(), 1);
    EXPECT_EQ(wieder[0]->FormelText, "a+b");

    // A file that does not exist.
    try {
        LiesBibliothek((t / "Fehlt").string(), wieder);
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("Fehlt.pqb\": Datei kann nicht ge\xF6" "ffnet werden"), std::string::npos)
            << m;
    }
}

TEST(BibliothekDatei, FailedSavesLeaveEverythingAsItWas) {
    TempOrdner t;
    FormelListeTyp liste;
    liste.Add(Neu("x=1"));

    // The folder is a regular file: nothing can be created.
    SchreibeDatei(t / "keinOrdner", Als("data"));
    EXPECT_THROW(SchreibeBibliothek((t / "keinOrdner" / "A.pqb").string(), liste), FileError);
    EXPECT_EQ(LiesDatei(t / "keinOrdner"), Als("data"));

    // The target is a folder with content: the rename fails after the temporary file
    // was written, which must then be removed again.
    fs::create_directory(t / "B.pqb");
    SchreibeDatei(t / "B.pqb" / "inhalt", Als("bleibt"));
    try {
        SchreibeBibliothek((t / "B").string(), liste);
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("Fehler beim Speichern der Formelsammlung"), std::string::npos) << m;
        EXPECT_NE(m.find("B.pqb"), std::string::npos) << m;
    }
    EXPECT_EQ(Inhalt(t.Pfad()), (std::vector<std::string>{"B.pqb", "keinOrdner"}));
    EXPECT_EQ(LiesDatei(t / "B.pqb" / "inhalt"), Als("bleibt"));

    // Content that fails half-way: the old file is untouched, no temporary file stays.
    SchreibeDatei(t / "C.pqb", Als("alt"));
    EXPECT_THROW(SchreibeAtomar(t / "C.pqb",
                                [](BufferedWriter& w) {
                                    w.Write("neu", 3);
                                    throw std::runtime_error("abgebrochen");
                                }),
                 std::runtime_error);
    EXPECT_EQ(LiesDatei(t / "C.pqb"), Als("alt"));
    EXPECT_EQ(Inhalt(t.Pfad()), (std::vector<std::string>{"B.pqb", "C.pqb", "keinOrdner"}));
}

TEST(BibliothekDatei, SavingThroughASymbolicLinkReplacesItsTarget) {
    TempOrdner t;
    fs::create_directory(t / "echt");
    SchreibeDatei(t / "echt" / "L.pqb", {0, 0, 0, 0});
    fs::create_symlink(t / "echt" / "L.pqb", t / "L.pqb");
    FormelListeTyp liste;
    liste.Add(Neu("v=s/t"));
    SchreibeBibliothek((t / "L").string(), liste);
    EXPECT_TRUE(fs::is_symlink(t / "L.pqb"));
    EXPECT_EQ(LiesDatei(t / "echt" / "L.pqb"), Schreiben(liste));
    EXPECT_EQ(Inhalt(t / "echt"), std::vector<std::string>{"L.pqb"});
}
