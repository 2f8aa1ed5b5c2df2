#include "Sammlung.h"

#include <algorithm>
#include <system_error>

#include "core/library/AtomarSchreiben.h"
#include "dateisystem/Dateisystem.h"

namespace kd {

namespace fs = std::filesystem;

namespace {
const char kReihenfolgeDatei[] = "KDFormel.MFL";
constexpr std::size_t kGezeigteZeichen = 120;  // of a formula named in a question
}

DateiStand StandVon(const fs::path& p) {
    const sys::DateiInfo i = sys::Info(p.c_str());
    DateiStand d;
    d.Vorhanden = i.Vorhanden;
    d.Regulaer = i.Regulaer;
    d.Geraet = i.Geraet;
    d.Knoten = i.Knoten;
    d.Groesse = i.Groesse;
    d.ZeitNs = i.ZeitNs;
    return d;
}

Formelsammlung::Formelsammlung() { ResetMerkList(); }

void Formelsammlung::StandMerken(const std::string& name) {
    standName_ = name;
    stand_ = StandVon(Pfad(name));
}

void Formelsammlung::ResetMerkList() { MerkList.fill(Undefiniert); }

Antwort Formelsammlung::Zerstoerend(const std::string& text) const {
    if (GefahrFrage) return GefahrFrage(text);
    return Frage ? Frage(text) : Antwort::Abbrechen;
}

void Formelsammlung::LayoutAendern() {
    if (LayoutUngueltig) LayoutUngueltig();
}

fs::path Formelsammlung::Pfad(const std::string& name) const { return BibPfad(Verz.BibVerz, name); }

void Formelsammlung::Start(const Verzeichnisse& v) {
    Verz = v;
    FormelListe.ClearItems();
    ++ListenNummer;
    vorherigeListe_.ClearItems();
    LayoutAendern();
    AktFormel = -1;
    Geaendert = false;
    NamensEingabe = false;
    NamensText.clear();
    LadenFehlgeschlagen = false;
    standName_.clear();
    stand_ = {};

    // What a crashed save left behind (never a save of another window in progress).
    EntferneVerwaisteTemporaere(Verz.BibVerz);
    if (Verz.ProgVerz != Verz.BibVerz) EntferneVerwaisteTemporaere(Verz.ProgVerz);

    Bibliotheken = BibliotheksListe(LiesReihenfolge(Verz.ProgVerz / kReihenfolgeDatei),
                                    GefundeneBibliotheken(Verz.BibVerz));
    AktBibliothek = 0;
    if (!Bibliotheken.empty()) {
        try {
            LoadBibliothek(Bibliotheken[0]);
        } catch (const FileError&) {
            SetFormel(AktFormel);
            throw;
        }
    } else {
        NeueBibliothek(false);
    }
    SetFormel(AktFormel);
}

void Formelsammlung::LoadBibliothek(const std::string& name) {
    LayoutAendern();
    FormelListe.ClearItems();
    ++ListenNummer;
    Geaendert = false;
    LadenFehlgeschlagen = false;
    // Taken before reading: a change made while reading shows as a change later.
    StandMerken(name);
    try {
        LiesBibliothek(Pfad(name).string(), FormelListe);
    } catch (const FileError&) {
        LadenFehlgeschlagen = true;
        AktFormel = FormelListe.Empty() ? -1 : 0;
        LayoutAendern();
        throw;
    }
    AktFormel = FormelListe.Empty() ? -1 : 0;
    LayoutAendern();
}

bool Formelsammlung::SaveBibliothek(const std::string& name) {
    if (name == standName_) {
        // A file that is still a regular file but not the one loaded has been saved by
        // someone else. A file that is gone or is no file at all holds nothing to lose.
        const DateiStand jetzt = StandVon(Pfad(name));
        if (jetzt.Regulaer && jetzt != stand_) {
            const std::string text =
                "Die Formelsammlung \"" + name + "\" wurde au\xDF" "erhalb des Programms ge\xE4ndert.";
            // Without anyone to ask, the other writer's file is kept.
            if (!Frage) throw FileError(text + " Sie wurde nicht gespeichert.");
            const Antwort a =
                Frage(text + "\n\n"
                      "Ja: neu laden (die \xC4nderungen in diesem Fenster gehen verloren)\n"
                      "Nein: \xFC" "berschreiben (die \xC4nderungen von au\xDF" "erhalb gehen verloren)\n"
                      "Abbrechen: nichts speichern");
            if (a == Antwort::Abbrechen) return false;
            if (a == Antwort::Ja) {
                const int formel = AktFormel;
                try {
                    LoadBibliothek(name);
                } catch (const FileError&) {
                    SetFormel(formel);
                    throw;
                }
                SetFormel(formel);
                return true;
            }
        }
    }
    SchreibeBibliothek(Pfad(name).string(), FormelListe);
    Geaendert = false;
    LadenFehlgeschlagen = false;
    StandMerken(name);
    return true;
}

// Saves the current library under its list name before it is left, when it was changed.
bool Formelsammlung::AktuelleSpeichern() {
    if (AktBibliothek < 0 || AktBibliothek >= int(Bibliotheken.size())) return true;
    if (!Geaendert) return true;
    return SaveBibliothek(Bibliotheken[std::size_t(AktBibliothek)]);
}

bool Formelsammlung::VorWechselSpeichern() {
    try {
        return AktuelleSpeichern();
    } catch (const FileError& e) {
        if (!Frage && !GefahrFrage) throw;
        // Ja drops the changes: the window offers Nein first.
        const Antwort a = Zerstoerend(std::string(e.what()) +
                                "\n\nDie \xC4nderungen verwerfen und die Formelsammlung wechseln?\n"
                                "Ja: verwerfen\nNein: die Formelsammlung bleibt ge\xF6" "ffnet");
        if (a != Antwort::Ja) return false;
        Geaendert = false;
        return true;
    }
}

void Formelsammlung::Uebernehmen(int i) {
    if (NamensEingabe) {
        if (!SetNeueBibliothek()) return;
        if (i >= 0) ++i;  // the new entry was put in front of the one clicked
    }
    if (i >= 0 && i < int(Bibliotheken.size())) {
        if (!VorWechselSpeichern()) return;  // nothing is switched
        AktBibliothek = i;
        try {
            LoadBibliothek(Bibliotheken[std::size_t(i)]);
        } catch (const FileError&) {
            SetListBoxReihenfolge0();
            SetFormel(0);
            throw;
        }
        SetListBoxReihenfolge0();
    }
    SetFormel(0);
}

void Formelsammlung::SetListBoxReihenfolge0() {
    if (AktBibliothek <= 0 || AktBibliothek >= int(Bibliotheken.size())) {
        if (AktBibliothek > 0) AktBibliothek = 0;
        return;
    }
    auto it = Bibliotheken.begin() + AktBibliothek;
    std::rotate(Bibliotheken.begin(), it, it + 1);
    AktBibliothek = 0;
}

void Formelsammlung::NeueBibliothek(bool ask) {
    if (NamensEingabe) NamensEingabeAbbrechen();
    if (!VorWechselSpeichern()) return;  // nothing has changed

    LayoutAendern();
    vorherigeListe_ = std::move(FormelListe);
    FormelListe = FormelListeTyp();
    ++ListenNummer;
    vorherigeFormel_ = AktFormel;
    vorherigeGeaendert_ = Geaendert;
    vorherigeFehler_ = LadenFehlgeschlagen;
    vorherigerStandName_ = standName_;
    vorherigerStand_ = stand_;
    Geaendert = false;
    LadenFehlgeschlagen = false;

    int i = 1;
    std::error_code ec;
    while (fs::exists(Pfad("Bibliothek" + std::to_string(i)), ec)) ++i;
    AktFormel = -1;
    if (ask) {
        NamensText = "Bibliothek" + std::to_string(i);
        NamensEingabe = true;
    } else {
        NamensText = "Bibliothek1";
        NamensEingabe = true;
        NeueAnlegen();
        AktFormel = -1;
    }
}

bool Formelsammlung::SetNeueBibliothek() {
    if (!NamensEingabe) return true;
    return NeueAnlegen();
}

bool Formelsammlung::NeueAnlegen() {
    LayoutAendern();
    std::string name = Kurz(NamensText);
    if (auto punkt = name.find('.'); punkt != std::string::npos) name.erase(punkt);
    if (name.empty() || name.find('/') != std::string::npos) {
        if (Meldung)
            Meldung(name.empty() ? "Bitte einen Namen f\xFCr die Formelsammlung eingeben."
                                 : "Der Name einer Formelsammlung darf kein \"/\" enthalten.");
        return false;
    }
    std::error_code ec;
    if (fs::exists(fs::symlink_status(Pfad(name), ec))) {
        const Antwort a =
            Zerstoerend("Formelsammlung \"" + name + "\" besteht bereits. \xDC" "berschreiben?");
        if (a != Antwort::Ja) return false;
    }

    // The file is written before the list changes: when that fails the naming stays
    // open and the list is as it was.
    FormelListe.ClearItems();
    ++ListenNummer;
    SchreibeBibliothek(Pfad(name).string(), FormelListe);

    // A name that is listed already (its file was just overwritten) moves to the top
    // instead of being listed, and written to the order file, a second time.
    Bibliotheken.erase(std::remove(Bibliotheken.begin(), Bibliotheken.end(), name),
                       Bibliotheken.end());
    Bibliotheken.insert(Bibliotheken.begin(), name);
    StandMerken(Bibliotheken.front());
    AktBibliothek = 0;
    Geaendert = false;
    LadenFehlgeschlagen = false;
    SetFormel(0);
    NamensText.clear();
    NamensEingabe = false;
    vorherigeListe_.ClearItems();
    return true;
}

void Formelsammlung::NamensEingabeAbbrechen() {
    if (!NamensEingabe) return;
    NamensEingabe = false;
    NamensText.clear();
    // The library that was current before is given back as it was (it has been saved
    // when the naming began), so the next switch saves its records, not an empty list.
    FormelListe = std::move(vorherigeListe_);
    vorherigeListe_ = FormelListeTyp();
    ++ListenNummer;
    AktFormel = FormelListe.Empty() ? -1 : std::clamp(vorherigeFormel_, 0, FormelListe.Count() - 1);
    Geaendert = vorherigeGeaendert_;
    LadenFehlgeschlagen = vorherigeFehler_;
    standName_ = vorherigerStandName_;
    stand_ = vorherigerStand_;
    LayoutAendern();
}

bool Formelsammlung::Schliessen() {
    if (NamensEingabe) NamensEingabeAbbrechen();
    if (Geaendert) {
        const Antwort a = Frage ? Frage("\xC4nderungen speichern?") : Antwort::Abbrechen;
        if (a == Antwort::Abbrechen) return false;
        if (a == Antwort::Ja && AktBibliothek >= 0 && AktBibliothek < int(Bibliotheken.size()) &&
            !SaveBibliothek(Bibliotheken[std::size_t(AktBibliothek)]))
            return false;
    }
    const fs::path mfl = Verz.ProgVerz / kReihenfolgeDatei;
    if (!SchreibeReihenfolge(mfl, Bibliotheken) && Meldung)
        Meldung("Die Reihenfolge der Formelsammlungen konnte nicht in \"" +
                PfadText(mfl) + "\" gespeichert werden.");
    return true;
}

void Formelsammlung::SetFormel(int index) {
    if (FormelListe.Empty()) {
        AktFormel = -1;
        return;
    }
    AktFormel = std::clamp(index, 0, FormelListe.Count() - 1);
}

bool Formelsammlung::FormelLoeschen() {
    LayoutAendern();
    if (AktFormel < 0 || AktFormel >= FormelListe.Count()) return false;
    // The question names the formula, so a wrong one is not deleted unseen.
    std::string formel = FormelListe[AktFormel]->FormelText;
    if (formel.size() > kGezeigteZeichen) formel = formel.substr(0, kGezeigteZeichen) + "...";
    const Antwort a = Zerstoerend("Formel wirklich l\xF6schen?\n\n" + formel);
    if (a != Antwort::Ja) return false;
    FormelListe.DeleteItem(AktFormel);
    AktFormel -= 1;
    Geaendert = true;
    LayoutAendern();
    return true;
}

bool Formelsammlung::FormelNachOben() {
    LayoutAendern();
    if (AktFormel < 1 || AktFormel >= FormelListe.Count()) return false;
    FormelListe.Exchange(AktFormel, AktFormel - 1);
    AktFormel -= 1;
    Geaendert = true;
    return true;
}

bool Formelsammlung::FormelNachUnten() {
    LayoutAendern();
    if (AktFormel < 0 || AktFormel >= FormelListe.Count() - 1) return false;
    FormelListe.Exchange(AktFormel, AktFormel + 1);
    AktFormel += 1;
    Geaendert = true;
    return true;
}

} // namespace kd
