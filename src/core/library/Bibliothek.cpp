#include "Bibliothek.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>

#include "core/library/AtomarSchreiben.h"

namespace kd {

namespace {

// The smallest record: Kennzahl, Hinweis, BildTyp, text kind 6 and an empty length.
constexpr std::uint64_t kKleinsterSatz = 4 + 41 + 4 + 1 + 1;

std::string LeseFehler(const std::string& name, const std::string& grund) {
    return "Fehler beim Lesen der Formelsammlung \"" + name + "\": " + grund;
}

} // namespace

std::string MitBibEndung(const std::string& pfad) {
    const auto schraeg = pfad.find_last_of('/');
    const std::size_t start = schraeg == std::string::npos ? 0 : schraeg + 1;
    if (pfad.find('.', start) == std::string::npos) return pfad + ".pqb";
    return pfad;
}

void LiesBibliothek(const std::string& pfad, FormelListeTyp& liste) {
    const std::string datei = MitBibEndung(pfad);
    const std::string name = PfadText(datei);
    // Only a regular file is a library: opening a pipe or a device would wait for a
    // writer that never comes (or read without end).
    std::error_code ec;
    const auto art = std::filesystem::status(datei, ec).type();
    if (!ec && art != std::filesystem::file_type::regular)
        throw FileError(LeseFehler(name, "keine gew\xF6hnliche Datei"));
    FileSource src(datei);
    if (!src.IsOpen())
        throw FileError(LeseFehler(name, "Datei kann nicht ge\xF6" "ffnet werden"));
    BufferedReader r(src);
    LiesBibliothek(r, name, liste);
}

void LiesBibliothek(BufferedReader& r, const std::string& anzeigeName, FormelListeTyp& liste) {
    std::int32_t n = 0;
    if (!r.ReadI32(n)) throw FileError(LeseFehler(anzeigeName, "Datei endet vorzeitig"));
    if (n == 0) return;
    if (n < 0)
        throw FileError(LeseFehler(anzeigeName,
                                   "ung\xFCltige Anzahl von Formeln (" + std::to_string(n) + ")"));
    // A count the rest of the file cannot hold is reported, but the records that are
    // there are still read, so as much as possible of a damaged file is kept.
    const std::uint64_t rest = r.Remaining();
    const bool unmoeglich = rest != std::numeric_limits<std::uint64_t>::max() &&
                            std::uint64_t(n) > rest / kKleinsterSatz;
    for (std::int32_t i = 0; i < n; ++i) {
        auto satz = std::make_unique<TFormelBiblio>();
        std::string grund;
        if (!satz->FormelBiblioLesen(r, &grund)) {
            std::string text = grund + " (Formel " + std::to_string(i + 1) + " von " +
                               std::to_string(n) + ")";
            if (unmoeglich)
                text += "; die Datei ist zu kurz f\xFCr die angegebene Anzahl von " +
                        std::to_string(n) + " Formeln";
            throw FileError(LeseFehler(anzeigeName, text));
        }
        liste.Add(std::move(satz));
    }
}

void SchreibeBibliothek(BufferedWriter& w, const FormelListeTyp& liste) {
    w.WriteI32(liste.Count());
    for (const auto& satz : liste) satz->FormelBiblioSchreiben(w);
}

void SchreibeBibliothek(const std::string& pfad, const FormelListeTyp& liste) {
    const std::string datei = MitBibEndung(pfad);
    const std::string grund =
        SchreibeAtomar(datei, [&](BufferedWriter& w) { SchreibeBibliothek(w, liste); });
    if (!grund.empty())
        throw FileError("Fehler beim Speichern der Formelsammlung \"" + PfadText(datei) +
                        "\": " + grund);
}

} // namespace kd
