#include "Verzeichnis.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "core/Stream.h"
#include "core/library/AtomarSchreiben.h"
#include "core/library/Bibliothek.h"
#include "core/numeric/Encoding.h"

namespace kd {

namespace fs = std::filesystem;

namespace {

const char kReihenfolgeDatei[] = "KDFormel.MFL";
const char kBibOrdner[] = "Formelsammlung";

std::string Umgebungsvariable(const char* name) {
    const char* w = std::getenv(name);
    return w ? std::string(w) : std::string();
}

// ".pqb" in any case: files copied from older systems often end in ".PQB".
bool HatBibEndung(const std::string& datei) {
    if (datei.size() <= 4) return false;
    static const char endung[] = ".pqb";
    for (std::size_t i = 0; i < 4; ++i) {
        char c = datei[datei.size() - 4 + i];
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
        if (c != endung[i]) return false;
    }
    return true;
}

// A library file: "<name>.pqb" (ending in any case), not hidden, not a folder.
bool IstBibDatei(const fs::directory_entry& e, std::string* nameUtf8) {
    const std::string datei = e.path().filename().string();
    if (datei.size() <= 4 || datei[0] == '.') return false;
    if (!HatBibEndung(datei)) return false;
    std::error_code ec;
    if (e.is_directory(ec)) return false;
    if (nameUtf8) *nameUtf8 = datei.substr(0, datei.size() - 4);
    return true;
}

bool HatBibDateien(const fs::path& ordner) {
    std::error_code ec;
    for (fs::directory_iterator it(ordner, ec), ende; !ec && it != ende; it.increment(ec))
        if (IstBibDatei(*it, nullptr)) return true;
    return false;
}

bool IstPortabel(const fs::path& exeVerz) {
    if (exeVerz.empty()) return false;
    std::error_code ec;
    return fs::exists(exeVerz / kReihenfolgeDatei, ec) ||
           fs::is_directory(exeVerz / kBibOrdner, ec) || HatBibDateien(exeVerz);
}

// First start: the folder is created and the example libraries are copied into its
// library folder. Failures are not reported here; they show when a library is saved.
void Anlegen(const fs::path& progVerz, const fs::path& beispielVerz) {
    std::error_code ec;
    const fs::path bib = progVerz / kBibOrdner;
    fs::create_directories(bib, ec);
    if (ec || beispielVerz.empty()) return;
    for (fs::directory_iterator it(beispielVerz, ec), ende; !ec && it != ende; it.increment(ec)) {
        if (!IstBibDatei(*it, nullptr)) continue;
        std::error_code ec2;
        fs::copy_file(it->path(), bib / it->path().filename(), fs::copy_options::skip_existing,
                      ec2);
    }
}

} // namespace

Umgebung AktuelleUmgebung(const fs::path& exeVerz, const fs::path& beispielVerz) {
    Umgebung u;
    u.ExeVerz = exeVerz;
    u.KdformelHome = Umgebungsvariable("KDFORMEL_HOME");
    u.XdgDataHome = Umgebungsvariable("XDG_DATA_HOME");
    u.Home = Umgebungsvariable("HOME");
    u.BeispielVerz = beispielVerz;
    return u;
}

Verzeichnisse ErmittleVerzeichnisse(const Umgebung& u) {
    Verzeichnisse v;
    if (!u.KdformelHome.empty()) {
        v.ProgVerz = u.KdformelHome;
    } else if (IstPortabel(u.ExeVerz)) {
        v.ProgVerz = u.ExeVerz;
    } else if (!u.XdgDataHome.empty() && fs::path(u.XdgDataHome).is_absolute()) {
        // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
        v.ProgVerz = fs::path(u.XdgDataHome) / "KDFormel";
    } else if (!u.Home.empty()) {
        v.ProgVerz = fs::path(u.Home) / ".local" / "share" / "KDFormel";
    } else {
        v.ProgVerz = u.ExeVerz.empty() ? fs::path(".") : u.ExeVerz;
    }

    std::error_code ec;
    if (!fs::exists(v.ProgVerz, ec)) {
        Anlegen(v.ProgVerz, u.BeispielVerz);
        v.NeuAngelegt = fs::is_directory(v.ProgVerz, ec);
    }
    v.BibVerz = fs::is_directory(v.ProgVerz / kBibOrdner, ec) ? v.ProgVerz / kBibOrdner
                                                                : v.ProgVerz;
    return v;
}

std::vector<std::string> GefundeneBibliotheken(const fs::path& bibVerz) {
    std::vector<std::string> namen;
    std::error_code ec;
    for (fs::directory_iterator it(bibVerz, ec), ende; !ec && it != ende; it.increment(ec)) {
        std::string utf8, name;
        if (!IstBibDatei(*it, &utf8)) continue;
        if (!Utf8ToCp1252(utf8, name)) continue;  // no Windows-1252 form: cannot be listed
        // A line end or another control character would break the order file.
        if (std::any_of(name.begin(), name.end(),
                        [](unsigned char c) { return c < 32 || c == 127; }))
            continue;
        namen.push_back(std::move(name));
    }
    std::sort(namen.begin(), namen.end());
    // "A.pqb" and "A.PQB" side by side are one entry (the exact ".pqb" is opened).
    namen.erase(std::unique(namen.begin(), namen.end()), namen.end());
    return namen;
}

std::vector<std::string> LiesReihenfolge(const fs::path& mflDatei) {
    std::vector<std::string> zeilen;
    FileSource src(mflDatei.string());
    if (!src.IsOpen()) return zeilen;
    std::string inhalt;
    char puffer[4096];
    for (std::size_t k; (k = src.ReadSome(puffer, sizeof puffer)) > 0;) inhalt.append(puffer, k);

    // Line ends: CR LF, LF or a lone CR. A last line without a line end counts; a line
    // end at the very end does not start another line.
    std::string zeile;
    bool offen = false;
    for (std::size_t i = 0; i < inhalt.size(); ++i) {
        const char c = inhalt[i];
        if (c == '\r' || c == '\n') {
            zeilen.push_back(std::move(zeile));
            zeile.clear();
            offen = false;
            if (c == '\r' && i + 1 < inhalt.size() && inhalt[i + 1] == '\n') ++i;
        } else {
            zeile += c;
            offen = true;
        }
    }
    if (offen) zeilen.push_back(std::move(zeile));
    return zeilen;
}

std::vector<std::string> BibliotheksListe(const std::vector<std::string>& reihenfolge,
                                          const std::vector<std::string>& gefunden) {
    std::vector<std::string> liste;
    liste.reserve(gefunden.size());
    auto gelistet = [&liste](const std::string& n) {
        return std::find(liste.begin(), liste.end(), n) != liste.end();
    };
    for (const auto& z : reihenfolge)
        if (std::find(gefunden.begin(), gefunden.end(), z) != gefunden.end() && !gelistet(z))
            liste.push_back(z);
    for (const auto& n : gefunden)
        if (!gelistet(n)) liste.push_back(n);
    return liste;
}

bool SchreibeReihenfolge(const fs::path& mflDatei, const std::vector<std::string>& namen) {
    const std::string grund = SchreibeAtomar(mflDatei, [&](BufferedWriter& w) {
        for (const auto& n : namen) {
            w.Write(n.data(), n.size());
            w.Write("\r\n", 2);
        }
    });
    return grund.empty();
}

fs::path BibPfad(const fs::path& bibVerz, const std::string& name) {
    // As "folder + entry": a name is always taken inside the folder, even one that
    // begins with '/'. A list name is a file name without its ending, so ".pqb" is
    // always appended, also to a name with a dot ("Version 1.5").
    std::string ordner = bibVerz.string();
    if (!ordner.empty() && ordner.back() != '/') ordner += '/';
    const std::string stamm = Cp1252ToUtf8(name);
    fs::path pfad(ordner + stamm + ".pqb");
    std::error_code ec;
    if (fs::exists(fs::symlink_status(pfad, ec)) || stamm.find('/') != std::string::npos)
        return pfad;
    // A file listed from another case of the ending ("ALT.PQB") is opened and saved
    // under its own name.
    for (fs::directory_iterator it(bibVerz, ec), ende; !ec && it != ende; it.increment(ec)) {
        const std::string datei = it->path().filename().string();
        if (datei.size() == stamm.size() + 4 && datei.compare(0, stamm.size(), stamm) == 0 &&
            HatBibEndung(datei))
            return it->path();
    }
    return pfad;
}

} // namespace kd

