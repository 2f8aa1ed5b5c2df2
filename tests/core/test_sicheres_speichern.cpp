// Saving without losing anything: other writers on the same folder, folders and files
// that cannot be written, full disks and size limits, names near the limit, permissions,
// leftovers of a crash and files that are no regular files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <deque>
#include <functional>

#include "core/library/AtomarSchreiben.h"
#include "core/library/Bibliothek.h"
#include "core/library/Sammlung.h"
#include "library_testhilfe.h"

using namespace kd;
using namespace kdtest;

using Namen = std::vector<std::string>;

namespace {

FormelListeTyp Liste(const Namen& texte) {
    FormelListeTyp liste;
    for (const auto& text : texte) {
        auto satz = std::make_unique<TFormelBiblio>();
        satz->FormelText = text;
        liste.Add(std::move(satz));
    }
    return liste;
}

Namen Texte(const FormelListeTyp& liste) {
    Namen n;
    for (const auto& satz : liste) n.push_back(satz->FormelText);
    return n;
}

Namen TexteVon(const fs::path& p) {
    FormelListeTyp liste;
    LiesBibliothek(p.string(), liste);
    return Texte(liste);
}

void Hinzu(Formelsammlung& s, const std::string& text) {
    auto satz = std::make_unique<TFormelBiblio>();
    satz->FormelText = text;
    s.FormelListe.Add(std::move(satz));
    s.Geaendert = true;
}

// Runs `arbeit` in a child process (for limits, other users and mounts that must not
// touch the test process) and returns the text it produced.
std::string ImKind(const std::function<std::string()>& arbeit) {
    int rohr[2];
    if (::pipe(rohr) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(rohr[0]);
        std::string r;
        try {
            r = arbeit();
        } catch (const std::exception& e) {
            r = std::string("exception: ") + e.what();
        }
        [[maybe_unused]] auto n = ::write(rohr[1], r.data(), r.size());
        ::_exit(0);
    }
    ::close(rohr[1]);
    std::string r;
    char puffer[512];
    for (ssize_t k; (k = ::read(rohr[0], puffer, sizeof puffer)) > 0;) r.append(puffer, std::size_t(k));
    ::close(rohr[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) r += " [child ended by signal " + std::to_string(WTERMSIG(status)) + "]";
    return r;
}

// In the child: gives up the super-user's rights, which ignore permission bits.
bool AlsNormalerBenutzer() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

class ZweiFenster : public ::testing::Test {
protected:
    void SetUp() override {
        v.ProgVerz = t.Pfad();
        v.BibVerz = t / "Formelsammlung";
        fs::create_directory(v.BibVerz);
        for (Formelsammlung* s : {&s1, &s2}) {
            s->Frage = [this](const std::string& frage) {
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
    }
    fs::path Bib(const std::string& name) const { return v.BibVerz / (name + ".pqb"); }

    TempOrdner t;
    Verzeichnisse v;
    Formelsammlung s1, s2;
    Namen fragen;
    std::deque<Antwort> antworten;
};

} // namespace

TEST_F(ZweiFenster, AnUnchangedLibraryIsNotWrittenOverWhatTheOtherSaved) {
    SchreibeBibliothek(Bib("A").string(), Liste({"a1", "a2"}));
    SchreibeBibliothek(Bib("B").string(), Liste({"b1"}));
    s1.Start(v);
    s2.Start(v);
    // Window 2 moves a formula and switches: A is saved with the new order.
    s2.SetFormel(1);
    ASSERT_TRUE(s2.FormelNachOben());
    s2.Uebernehmen(1);
    ASSERT_EQ(TexteVon(Bib("A")), (Namen{"a2", "a1"}));
    // Window 1 switches without a change: A stays as window 2 saved it.
    s1.Uebernehmen(1);
    EXPECT_EQ(TexteVon(Bib("A")), (Namen{"a2", "a1"}));
    EXPECT_EQ(Texte(s1.FormelListe), Namen{"b1"});
    EXPECT_TRUE(fragen.empty());
}

TEST_F(ZweiFenster, AChangedLibrarySavedMeanwhileElsewhereAsksFirst) {
    struct Fall {
        const char* name;
        Antwort antwort;
        Namen dateiA;       // A's file afterwards
        Namen aktuell1;     // window 1's records afterwards
        bool gewechselt;
    };
    const Fall faelle[] = {
        {"reload: the other's save stays", Antwort::Ja, {"a1", "a3"}, {"b1"}, true},
        {"overwrite", Antwort::Nein, {"a1", "x"}, {"b1"}, true},
        {"cancel: nothing written, nothing switched", Antwort::Abbrechen, {"a1", "a3"}, {"a1", "x"}, false},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        SchreibeBibliothek(Bib("A").string(), Liste({"a1"}));
        SchreibeBibliothek(Bib("B").string(), Liste({"b1"}));
        fs::remove(t / "KDFormel.MFL");
        s1.Start(v);
        s2.Start(v);
        Hinzu(s2, "a3");
        s2.Uebernehmen(1);  // the other window saves A
        Hinzu(s1, "x");
        fragen.clear();
        antworten = {f.antwort};
        s1.Uebernehmen(1);
        ASSERT_EQ(fragen.size(), 1u);
        EXPECT_NE(fragen[0].find("\"A\" wurde au\xDF" "erhalb des Programms ge\xE4ndert"), std::string::npos)
            << fragen[0];
        EXPECT_EQ(TexteVon(Bib("A")), f.dateiA);
        EXPECT_EQ(Texte(s1.FormelListe), f.aktuell1);
        EXPECT_EQ(s1.Bibliotheken.front(), f.gewechselt ? "B" : "A");
    }
}

TEST_F(ZweiFenster, ClosingAfterAnOutsideChangeAsksAndCancelKeepsTheWindowOpen) {
    SchreibeBibliothek(Bib("A").string(), Liste({"a1"}));
    s1.Start(v);
    SchreibeBibliothek(Bib("A").string(), Liste({"von lib add"}));
    Hinzu(s1, "x");
    antworten = {Antwort::Ja, Antwort::Abbrechen};  // save? yes; changed outside: cancel
    EXPECT_FALSE(s1.Schliessen());
    EXPECT_EQ(TexteVon(Bib("A")), Namen{"von lib add"});
    EXPECT_TRUE(s1.Geaendert);
}

// A folder the user may not write: the libraries can still be browsed; a change that
// cannot be saved is reported and the user chooses.
TEST(SicheresSpeichern, ReadOnlyFolderDoesNotTrapTheUser) {
    TempOrdner t;
    Verzeichnisse v{t.Pfad(), t / "Formelsammlung", false};
    fs::create_directory(v.BibVerz);
    SchreibeBibliothek((v.BibVerz / "A.pqb").string(), Liste({"a1"}));
    SchreibeBibliothek((v.BibVerz / "B.pqb").string(), Liste({"b1"}));
    if (::geteuid() == 0) {  // the user's own files, in a folder made read-only
        for (const char* n : {"A.pqb", "B.pqb"})
            EXPECT_EQ(::chown((v.BibVerz / n).c_str(), 65534, 65534), 0);
    }
    fs::permissions(v.BibVerz, fs::perms(0555));
    fs::permissions(t.Pfad(), fs::perms(0555));
    const std::string r = ImKind([&]() -> std::string {
        if (!AlsNormalerBenutzer()) return "cannot drop rights";
        Formelsammlung s;
        std::string frage;
        s.Frage = [&](const std::string& f) {
            frage = f;
            return Antwort::Nein;  // keep the library open
        };
        s.Start(v);
        s.Uebernehmen(1);  // unchanged: switches without writing
        std::string out = s.Bibliotheken.front() + Texte(s.FormelListe).front();
        Hinzu(s, "b2");
        s.Uebernehmen(1);  // changed: cannot be saved, stays
        out += "|" + s.Bibliotheken.front() + std::to_string(s.FormelListe.Count());
        out += frage.find("keine Schreibberechtigung") != std::string::npos ? "|gesagt" : "|" + frage;
        s.Frage = [](const std::string&) { return Antwort::Ja; };  // drop the changes
        s.Uebernehmen(1);
        out += "|" + s.Bibliotheken.front() + Texte(s.FormelListe).front();
        return out;
    });
    fs::permissions(t.Pfad(), fs::perms(0755));
    fs::permissions(v.BibVerz, fs::perms(0755));
    EXPECT_EQ(r, "Bb1|B2|gesagt|Aa1");
    EXPECT_EQ(TexteVon(v.BibVerz / "B.pqb"), Namen{"b1"});
}

TEST(SicheresSpeichern, NamesNearTheLimitAreSaved) {
    TempOrdner t;
    for (std::size_t laenge : {241u, 250u, 251u}) {  // 251 + ".pqb" = 255 bytes
        SCOPED_TRACE(laenge);
        const fs::path p = t / (std::string(laenge, 'n') + ".pqb");
        SchreibeBibliothek(p.string(), Liste({"eins"}));
        SchreibeBibliothek(p.string(), Liste({"zwei"}));
        EXPECT_EQ(TexteVon(p), Namen{"zwei"});
    }
    EXPECT_EQ(Inhalt(t.Pfad()).size(), 3u);  // no temporary file left
}

TEST(SicheresSpeichern, PermissionsAndWriteProtection) {
    TempOrdner t;
    const fs::path p = t / "A.pqb";
    struct Fall {
        unsigned modus;
        bool ersetzt;
    };
    for (const Fall f : {Fall{0600, true}, Fall{0640, true}, Fall{0444, false}, Fall{0400, false}}) {
        SCOPED_TRACE(f.modus);
        fs::remove(p);
        SchreibeBibliothek(p.string(), Liste({"alt"}));
        fs::permissions(p, fs::perms(f.modus));
        unsigned tempModus = 0;
        const std::string grund = SchreibeAtomar(p, [&](BufferedWriter& w) {
            SchreibeBibliothek(w, Liste({"neu"}));
            // While it is written the temporary file is no more open than the library.
            for (const auto& e : fs::directory_iterator(t.Pfad()))
                if (IstTemporaerName(e.path().filename().string()))
                    tempModus = unsigned(e.status().permissions()) & 07777;
        });
        if (f.ersetzt) {
            EXPECT_EQ(grund, "");
            EXPECT_EQ(tempModus, f.modus);
            EXPECT_EQ(TexteVon(p), Namen{"neu"});
        } else {
            EXPECT_EQ(grund, "Datei ist schreibgesch\xFCtzt");
            EXPECT_EQ(TexteVon(p), Namen{"alt"});
        }
        EXPECT_EQ(unsigned(fs::status(p).permissions()) & 07777, f.modus);
        EXPECT_EQ(Inhalt(t.Pfad()).size(), 1u);
    }
}

TEST(SicheresSpeichern, StaleTemporaryFilesAreRemovedAtStart) {
    TempOrdner t;
    Verzeichnisse v{t.Pfad(), t / "Formelsammlung", false};
    fs::create_directory(v.BibVerz);
    SchreibeBibliothek((v.BibVerz / "A.pqb").string(), Liste({"a1"}));
    struct Fall {
        fs::path pfad;
        bool alt;
        bool bleibt;
    };
    const Fall faelle[] = {
        {v.BibVerz / ".kdformel-0123abcd.tmp", true, false},
        {v.BibVerz / ".A.pqb.tmp-89abcdef", true, false},        // the older name form
        {t / ".KDFormel.MFL.tmp-00000000", true, false},         // beside the order file
        {v.BibVerz / ".kdformel-deadbeef.tmp", false, true},     // a save in progress elsewhere
        {v.BibVerz / ".kdformel-xyz.tmp", true, true},           // not a name of the writer
        {v.BibVerz / "kdformel-0123abcd.tmp", true, true},
    };
    for (const auto& f : faelle) {
        SchreibeDatei(f.pfad, Als("rest"));
        if (f.alt) fs::last_write_time(f.pfad, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    Formelsammlung s;
    s.Start(v);
    for (const auto& f : faelle) EXPECT_EQ(fs::exists(f.pfad), f.bleibt) << f.pfad;
    EXPECT_EQ(Texte(s.FormelListe), Namen{"a1"});
}

// The size limit of the process (RLIMIT_FSIZE) and a full disk (a tiny tmpfs) are named as
// such, and the old file stays whole.
TEST(SicheresSpeichern, FullDiskAndSizeLimitAreNamedAndTheOldFileStays) {
    const std::string groesse = ImKind([]() -> std::string {
        TempOrdner t;
        const fs::path p = t / "A.pqb";
        SchreibeBibliothek(p.string(), Liste({"alt"}));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit r{8192, 8192};
        if (::setrlimit(RLIMIT_FSIZE, &r) != 0) return "setrlimit";
        const std::string grund = SchreibeAtomar(p, [](BufferedWriter& w) {
            SchreibeBibliothek(w, Liste(Namen(200, std::string(200, 'x'))));
        });
        return grund + "|" + TexteVon(p).front() + "|" + std::to_string(Inhalt(t.Pfad()).size());
    });
    EXPECT_EQ(groesse, "Schreibfehler (Datei zu gro\xDF (Grenze der Dateigr\xF6\xDF" "e erreicht))|alt|1");

    const std::string voll = ImKind([]() -> std::string {
        TempOrdner t;
        if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", t.Pfad().c_str(), "tmpfs", 0, "size=64k") != 0)
            return "no mount";
        const fs::path p = t / "A.pqb";
        SchreibeBibliothek(p.string(), Liste({"alt"}));
        const std::string grund = SchreibeAtomar(p, [](BufferedWriter& w) {
            SchreibeBibliothek(w, Liste(Namen(2000, std::string(200, 'x'))));
        });
        const std::string r = grund + "|" + TexteVon(p).front() + "|" + std::to_string(Inhalt(t.Pfad()).size());
        ::umount(t.Pfad().c_str());
        return r;
    });
    if (voll == "no mount") GTEST_SKIP() << "a tmpfs needs the right to mount";
    EXPECT_EQ(voll, "Schreibfehler (Datentr\xE4ger voll)|alt|1");
}

TEST(SicheresSpeichern, OnlyRegularFilesAreLibraries) {
    TempOrdner t;
    SchreibeBibliothek((t / "A.pqb").string(), Liste({"a1"}));
    ASSERT_EQ(::mkfifo((t / "Rohr.pqb").c_str(), 0644), 0);
    EXPECT_EQ(GefundeneBibliotheken(t.Pfad()), Namen{"A"});
    FormelListeTyp liste;
    try {
        LiesBibliothek((t / "Rohr.pqb").string(), liste);  // would wait in open() for ever
        ADD_FAILURE() << "a pipe was read as a library";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("keine gew\xF6hnliche Datei"), std::string::npos) << e.what();
    }
}
