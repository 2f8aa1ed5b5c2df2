#include "core/eval/Berechnung.h"

#include "core/eval/Auswertung.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Zahlen.h"

namespace kd {

const char* const MeldungMehrereTeilformeln =
    "Die Formel besteht aus mehreren Teilformeln.\n\r"
    "Bitte markieren Sie eine mit der Maus oder der Tab-Taste";
const char* const MeldungNichtMoeglich = "Berechnung hier nicht m\xF6" "glich";
const char* const MeldungFehlerInFormel = "Fehler in Formel, oder Markierung falsch";

namespace {

bool Enthaelt(const std::string& s, const std::string& teil) {
    return s.find(teil) != std::string::npos;
}

void Entferne(Bezeichnerliste& liste, const std::string& name) {
    for (int i = liste.Count() - 1; i >= 0; --i)
        if (liste[i]->Name == name) liste.DeleteItem(i);
}

} // namespace

std::string Teilformel(const std::string& text, int nummer) {
    int start = 0, ende = 0, anzahl = 0;
    TeilformelSuchen(text, start, ende, nummer, anzahl);
    if (nummer < 1 || nummer > anzahl || ende < start) return {};
    return text.substr(std::size_t(start - 1), std::size_t(ende - start + 1));
}

Berechnungsergebnis FormelBerechnen(const std::string& text, bool markiert, MerkListe& merk,
                                    const Werteingabe& eingabe) {
    Berechnungsergebnis erg;
    std::string s = Kurz(text);
    if (!markiert) {
        int start = 0, ende = 0, anzahl = 0;
        TeilformelSuchen(s, start, ende, 0, anzahl);
        if (anzahl > 1) {
            TeilformelSuchen(s, start, ende, 1, anzahl);
            erg.art = Berechnungsergebnis::Art::Markieren;
            erg.Meldung = MeldungMehrereTeilformeln;
            erg.MarkStart = start;
            erg.MarkEnde = ende;
            return erg;
        }
    } else if (!s.empty() && s.back() == ';') {
        s.pop_back();
    }
    if (Enthaelt(s, "[")) {
        erg.art = Berechnungsergebnis::Art::Abgelehnt;
        erg.Meldung = MeldungNichtMoeglich;
        return erg;
    }

    // Collect the free variables.
    Bezeichnerliste variablen;
    {
        TGleichung::Optionen o;
        o.Sammelmodus = true;
        o.Sammelliste = &variablen;
        TGleichung g(o);
        if (g.FormelLesen(s) > 0) {
            erg.art = Berechnungsergebnis::Art::Abgelehnt;
            erg.Meldung = MeldungFehlerInFormel;
            return erg;
        }
        // The variables solved for (the names the formula defines on a left side, which
        // the parse kept in its own list) are not asked for, nor are the running
        // variables of loops and the step names of integrals: whole names only.
        const Bezeichnerliste& links = g.Bezeichner();
        for (int i = 0; i < links.Count(); ++i) Entferne(variablen, links[i]->Name);
        for (const std::string& name : g.Laufvariablen) Entferne(variablen, name);
    }
    const int eingaben = variablen.Count();

    if (!variablen.Empty()) {
        for (int i = 0; i < variablen.Count(); ++i)
            variablen[i]->SetWert(i < int(merk.size()) ? merk[std::size_t(i)] : Undefiniert);
        if (!eingabe || !eingabe(variablen)) {
            erg.art = Berechnungsergebnis::Art::Abgebrochen;
            return erg;
        }
    }

    // Compute with the typed values.
    std::string fehlertext;
    Extended v = Undefiniert;
    {
        TGleichung::Optionen o;
        o.Bezeichner = &variablen;
        TGleichung g(o);
        const int code = g.FormelLesen(s);
        if (code > 0) fehlertext = Fehlertexte[code];
        else v = BerechneXZ(g, 0, 0, fehlertext);
    }
    erg.Wert = v;

    if (fehlertext.empty() && variablen.Count() <= 1) {
        erg.art = Berechnungsergebnis::Art::Ergebnis;
        erg.Meldung = "Ergebnis=" + ZahlText(10, v);
        return erg;
    }
    // The echo shows the inputs (the names the evaluating parse appended are the
    // solved-for, running and step variables), each exactly as computed with.
    std::string f = "Ergebnis: f( ";
    for (int i = 0; i < eingaben && i < variablen.Count(); ++i) {
        const Extended w = variablen[i]->GetWert();
        if (i < int(merk.size())) merk[std::size_t(i)] = w;
        if (i > 0) f += "; ";
        f += ZahlTextExakt(w);
    }
    f += " )=";
    if (fehlertext.empty()) {
        erg.art = Berechnungsergebnis::Art::Ergebnis;
        erg.Meldung = f + ZahlText(10, v);
    } else {
        erg.art = Berechnungsergebnis::Art::Rechenfehler;
        erg.Meldung = fehlertext;
    }
    return erg;
}

} // namespace kd
