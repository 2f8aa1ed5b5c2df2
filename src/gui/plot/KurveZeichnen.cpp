// "Kurve zeichnen" of the formula collection window: the selected formula (or its marked
// part) over a variable the user chooses, the other free variables from the input mask.
#include <QProgressDialog>

#include <algorithm>
#include <map>

#include "core/plot/Kurve.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/Texte.h"
#include "gui/plot/KurvenFenster.h"

namespace kd {

void TDlgFormelSamml::KurveZeichnenClick() {
    if (!BenennungAbschliessen()) return;
    const int akt = sammlung_.AktFormel;
    if (akt < 0 || akt >= sammlung_.FormelListe.Count()) return;

    // The marked part of the text line, or the whole formula (as "Formel berechnen").
    bool markiert = false;
    const std::string s = ArbeitsFormel(markiert);

    std::vector<std::string> namen;
    std::string meldung;
    if (!KurvenVariablen(s, namen, meldung)) {
        QString m = AusCp1252(meldung);
        m.remove(QLatin1Char('\r'));
        meldungen_->Warnung(m);
        return;
    }
    if (namen.empty()) {
        meldungen_->Warnung(QStringLiteral("Die Formel hat keine freie Variable für die x-Achse."));
        return;
    }
    DlgKurve bereichsdialog(namen, *meldungen_, this);
    if (bereichsdialog.exec() != QDialog::Accepted) return;
    const Kurvenbereich bereich = bereichsdialog.Bereich();

    // The other variables in the input mask, preset with the values remembered at their
    // places in the list of all free variables.
    Bezeichnerliste andere;
    std::vector<std::size_t> platz;
    for (std::size_t i = 0; i < namen.size(); ++i) {
        if (namen[i] == bereich.XName) continue;
        andere.Add(std::make_unique<TBezeichner>(namen[i]));
        andere[andere.Count() - 1]->SetWert(i < sammlung_.MerkList.size() ? sammlung_.MerkList[i] : Undefiniert);
        platz.push_back(i);
    }
    if (!andere.Empty() && !WerteEingeben(andere)) return;
    std::map<std::string, Extended> werte;
    for (int k = 0; k < andere.Count(); ++k) {
        werte[andere[k]->Name] = andere[k]->GetWert();
        if (platz[std::size_t(k)] < sammlung_.MerkList.size())
            sammlung_.MerkList[platz[std::size_t(k)]] = andere[k]->GetWert();
    }

    // Long tables (integrals, many points) show their progress after half a second and
    // can be cancelled; the window stays responsive meanwhile.
    QProgressDialog fortschritt(QStringLiteral("Die Kurve wird berechnet..."), QStringLiteral("Abbrechen"), 0,
                                1000, this);
    fortschritt.setWindowTitle(QStringLiteral("Kurve zeichnen"));
    fortschritt.setWindowModality(Qt::WindowModal);
    fortschritt.setMinimumDuration(500);
    fortschritt.setAutoReset(false);
    const Kurvenergebnis erg = KurvenTabellieren(s, bereich, werte, [&](long long fertig, long long gesamt) {
        fortschritt.setValue(gesamt > 0 ? int(fertig * 1000 / gesamt) : 0);
        return !fortschritt.wasCanceled();
    });
    fortschritt.reset();
    if (erg.Abgebrochen) return;
    if (!erg.Ok) {
        meldungen_->Warnung(AusCp1252(erg.Meldung));
        return;
    }
    auto* fenster = new KurvenFenster(erg.Tabelle, bereich.LogX, bereichsdialog.LogY(), Dialoge(), *meldungen_, this);
    fenster->show();
}

} // namespace kd
