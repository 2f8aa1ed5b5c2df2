#include "Oeffnen.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "core/Errors.h"
#include "core/Stream.h"
#include "core/library/AtomarSchreiben.h"
#include "core/library/Bibliothek.h"
#include "core/library/Verzeichnis.h"
#include "core/numeric/Encoding.h"

namespace kd {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNamensLaenge = 100;  // characters of a name made from a file name
constexpr int kVersuche = 1000;             // "Name (2)" ... before giving up

std::string Zitat(const fs::path& p) { return "\"" + PfadText(p) + "\""; }

bool EndetMitPqb(const std::string& datei, bool grossKlein) {
    if (datei.size() <= 4) return false;
    std::string ende = datei.substr(datei.size() - 4);
    if (!grossKlein)
        std::transform(ende.begin(), ende.end(), ende.begin(),
                       [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return ende == ".pqb";
}

bool HatSteuerzeichen(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](unsigned char c) { return c < 32 || c == 127; });
}

// The list name of a file the folder listing shows, or empty when it shows none
// (hidden, another ending, no Windows-1252 form, a character that breaks the order file).
std::string ListenName(const fs::path& datei) {
    const std::string n = datei.filename().string();
    if (n.empty() || n[0] == '.' || !EndetMitPqb(n, true)) return {};
    std::string name;
    if (!Utf8ToCp1252(n.substr(0, n.size() - 4), name) || HatSteuerzeichen(name)) return {};
    return name;
}

// A list name made from any file name: the ending ".pqb" (any case) or the last
// extension dropped, leading dots removed, characters without a Windows-1252 form and
// control characters replaced, cut to a sensible length.
std::string NameAusDatei(const fs::path& datei) {
    std::string n = datei.filename().string();
    if (EndetMitPqb(n, false)) n.erase(n.size() - 4);
    else if (datei.has_extension() && datei.stem() != "." && !datei.stem().empty())
        n = datei.stem().string();
    n.erase(0, n.find_first_not_of('.') == std::string::npos ? n.size() : n.find_first_not_of('.'));
    std::string name;
    Utf8ToCp1252(n, name);  // '?' for what has no Windows-1252 form
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127 || c == '?') c = '_';
    }
    if (name.size() > kNamensLaenge) name.resize(kNamensLaenge);
    if (name.empty()) name = "Bibliothek";
    return name;
}

// Checks that the file reads as a library; throws FileError when not.
void Pruefe(const fs::path& p) {
    FileSource src(p.string());
    if (!src.IsOpen())
        throw FileError("Die Datei " + Zitat(p) + " kann nicht gelesen werden.");
    BufferedReader r(src);
    FormelListeTyp probe;
    LiesBibliothek(r, PfadText(p), probe);
}

bool GleicherInhalt(const fs::path& a, const fs::path& b) {
    std::error_code ec1, ec2;
    const auto ga = fs::file_size(a, ec1), gb = fs::file_size(b, ec2);
    if (ec1 || ec2 || ga != gb) return false;
    FileSource sa(a.string()), sb(b.string());
    if (!sa.IsOpen() || !sb.IsOpen()) return false;
    char pa[4096], pb[4096];
    for (;;) {
        const std::size_t na = sa.ReadSome(pa, sizeof pa);
        const std::size_t nb = sb.ReadSome(pb, sizeof pb);
        if (na != nb || std::memcmp(pa, pb, na) != 0) return false;
        if (na == 0) return true;
    }
}

bool Gelistet(const Formelsammlung& s, const std::string& name) {
    return std::find(s.Bibliotheken.begin(), s.Bibliotheken.end(), name) != s.Bibliotheken.end();
}

bool IstAktuell(const Formelsammlung& s, const std::string& name) {
    return !s.NamensEingabe && s.AktBibliothek >= 0 &&
           s.AktBibliothek < int(s.Bibliotheken.size()) &&
           s.Bibliotheken[std::size_t(s.AktBibliothek)] == name;
}

OeffnenPlan Vorhanden(const Formelsammlung& s, const fs::path& quelle, const std::string& name,
                      const fs::path& ziel) {
    OeffnenPlan p;
    p.Art = IstAktuell(s, name) ? OeffnenArt::Aktuell : OeffnenArt::Auflisten;
    p.Name = name;
    p.Quelle = quelle;
    p.Ziel = ziel;
    return p;
}

} // namespace

OeffnenPlan PlaneOeffnen(const Formelsammlung& s, const fs::path& datei,
                         const fs::path& arbeitsVerz) {
    const fs::path quelle = (datei.is_absolute() ? datei : arbeitsVerz / datei).lexically_normal();
    std::error_code ec;
    const fs::file_status st = fs::status(quelle, ec);
    if (ec || !fs::exists(st))
        throw FileError("Die Datei " + Zitat(quelle) + " wurde nicht gefunden.");
    if (fs::is_directory(st))
        throw FileError(Zitat(quelle) + " ist ein Ordner und keine Formelsammlung.");
    Pruefe(quelle);

    const fs::path& bib = s.Verz.BibVerz;
    const bool imOrdner = !bib.empty() && fs::equivalent(quelle.parent_path(), bib, ec) && !ec;
    if (imOrdner) {
        const std::string name = ListenName(quelle);
        if (!name.empty()) return Vorhanden(s, quelle, name, quelle);
    }

    // Elsewhere (or a name the folder listing would not show): a copy under a free name;
    // a file of the same name and the same bytes is that copy already.
    const std::string basis = NameAusDatei(quelle);
    for (int i = 1; i <= kVersuche; ++i) {
        const std::string name = i == 1 ? basis : basis + " (" + std::to_string(i) + ")";
        const fs::path ziel = BibPfad(bib, name);
        const bool belegt = fs::exists(fs::symlink_status(ziel, ec));
        if (belegt && GleicherInhalt(quelle, ziel)) return Vorhanden(s, quelle, name, ziel);
        if (belegt || Gelistet(s, name)) continue;
        OeffnenPlan p;
        p.Art = OeffnenArt::Kopieren;
        p.Name = name;
        p.Quelle = quelle;
        p.Ziel = ziel;
        return p;
    }
    throw FileError("F\xFCr " + Zitat(quelle) +
                    " ist im Ordner der Formelsammlungen kein freier Name zu finden.");
}

std::string KopierFrage(const OeffnenPlan& p) {
    return "Die Datei " + Zitat(p.Quelle) +
           " liegt nicht im Ordner der Formelsammlungen.\nAls Formelsammlung \"" + p.Name +
           "\" dorthin kopieren und \xF6" "ffnen?";
}

bool OeffneBibliothek(Formelsammlung& s, const fs::path& datei, const fs::path& arbeitsVerz) {
    const OeffnenPlan p = PlaneOeffnen(s, datei, arbeitsVerz);
    if (p.Art == OeffnenArt::Aktuell) return true;

    if (p.Art == OeffnenArt::Kopieren) {
        const Antwort a = s.Frage ? s.Frage(KopierFrage(p)) : Antwort::Abbrechen;
        if (a != Antwort::Ja) return false;
        const std::string grund = SchreibeAtomar(p.Ziel, [&p](BufferedWriter& w) {
            FileSource src(p.Quelle.string());
            if (!src.IsOpen()) throw FileError("Die Datei kann nicht gelesen werden.");
            char puffer[4096];
            for (std::size_t n; (n = src.ReadSome(puffer, sizeof puffer)) > 0;) w.Write(puffer, n);
        });
        if (!grund.empty())
            throw FileError("Die Formelsammlung konnte nicht nach " + Zitat(p.Ziel) +
                            " kopiert werden: " + grund);
    }

    auto it = std::find(s.Bibliotheken.begin(), s.Bibliotheken.end(), p.Name);
    int i = int(it - s.Bibliotheken.begin());
    if (it == s.Bibliotheken.end()) {
        // Listed at the end first: a pending naming puts its entry in front and
        // Uebernehmen counts that in.
        s.Bibliotheken.push_back(p.Name);
        i = int(s.Bibliotheken.size()) - 1;
    }
    s.Uebernehmen(i);
    return IstAktuell(s, p.Name);
}

} // namespace kd
