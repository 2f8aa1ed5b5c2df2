// TBezeichner and TMatrBezeich: how identifiers and table references read and
// write their values.
#include "core/notation/Bezeichner.h"

#include <cmath>

#include "core/matrix/MatrixObj.h"
#include "core/notation/Fehlercodes.h"
#include "core/notation/Gleichung.h"

namespace kd {

namespace {

std::string NameKuerzen(std::string name) {
    if (name.size() > std::size_t(MaxNamenslaenge)) name.resize(std::size_t(MaxNamenslaenge));
    return name;
}

bool ZelleGueltig(const TMatrixObj* m, std::int32_t zeile, std::int32_t spalte) {
    return zeile >= 0 && spalte >= 0 && zeile <= m->LastRow && spalte <= m->LastCol;
}

} // namespace

// ---- TBezeichner ------------------------------------------------------------------

TBezeichner::TBezeichner(std::string name) : Name(std::move(name)), WertZeiger(&Wert) {}

TBezeichner::TBezeichner(std::string name, Extended* wertZeiger)
    : Name(std::move(name)), WertZeiger(wertZeiger ? wertZeiger : &Wert) {}

// A link to a cell outside the table reads as no value and takes no value.
Extended TBezeichner::GetWert() const {
    if (Zelle) return ZelleGueltig(Zelle, Zeile, Spalte) ? Zelle->GetValue(Zeile, Spalte) : Undefiniert;
    return *WertZeiger;
}

void TBezeichner::SetWert(Extended v) {
    if (Zelle) {
        if (ZelleGueltig(Zelle, Zeile, Spalte)) Zelle->SetValue(Zeile, Spalte, v);
        return;
    }
    *WertZeiger = v;
}

void TBezeichner::SetZelle(TMatrixObj* m, std::int32_t zeile, std::int32_t spalte) {
    Zelle = m;
    Zeile = zeile;
    Spalte = spalte;
}

void TBezeichner::ClearZelle() {
    Zelle = nullptr;
    Zeile = 0;
    Spalte = 0;
}

int SucheBezeichner(const Bezeichnerliste& liste, const std::string& name) {
    for (int i = 0; i < liste.Count(); ++i)
        if (liste[i]->Name == name) return i;
    return -1;
}

// ---- TMatrBezeich -----------------------------------------------------------------

TMatrBezeich::TMatrBezeich(std::string name, TMatrixObj* tabelle)
    : Name(NameKuerzen(std::move(name))), Tabelle(tabelle) {}

bool TMatrBezeich::Zelle(const Bezeichnerliste& bez, int* fehler, std::int32_t& zeile,
                         std::int32_t& spalte) const {
    auto fehlschlag = [fehler](int code) {
        if (fehler) *fehler = code;
        return false;
    };
    if (!Tabelle) return fehlschlag(RfUndefiniert);
    const std::size_t anzahl = Indizes.size();
    if (anzahl != 1 && anzahl != 2) return fehlschlag(RfIndex);

    auto bezWert = [&bez](std::int32_t i, Extended& w) {
        if (i < 0 || i >= bez.Count()) return false;
        w = bez[i]->GetWert();
        return w != Undefiniert;
    };
    Extended wert[2] = {0, 0};
    for (std::size_t k = 0; k < anzahl; ++k) {
        const Index& ix = Indizes[k];
        Extended w1 = 0, w2 = 0;
        switch (ix.Art) {
        case IndexArt::Zahl:
            wert[k] = ix.Zahl;
            break;
        case IndexArt::Bezeichner:
            if (!bezWert(ix.Bez1, w1)) return fehlschlag(RfUndefiniert);
            wert[k] = w1;
            break;
        case IndexArt::BezeichnerZahl:
            if (!bezWert(ix.Bez1, w1)) return fehlschlag(RfUndefiniert);
            wert[k] = w1 + ix.Zahl;
            break;
        case IndexArt::ZweiBezeichner:
            if (!bezWert(ix.Bez1, w1) || !bezWert(ix.Bez2, w2)) return fehlschlag(RfUndefiniert);
            wert[k] = ix.Vorz2 < 0 ? w1 - w2 : w1 + w2;
            break;
        default:
            return fehlschlag(RfUndefiniert);
        }
        if (wert[k] == Undefiniert || std::isnan(wert[k])) return fehlschlag(RfUndefiniert);
    }
    // One index addresses row 0; of two, the first is the row. The last is the column.
    const Extended z = anzahl == 2 ? wert[0] : 0;
    const Extended s = wert[anzahl - 1];
    if (z < 0 || s < 0 || z > Tabelle->LastRow || s > Tabelle->LastCol) return fehlschlag(RfIndex);
    zeile = static_cast<std::int32_t>(std::nearbyint(z));
    spalte = static_cast<std::int32_t>(std::nearbyint(s));
    if (fehler) *fehler = 0;
    return true;
}

Extended TMatrBezeich::GetWert(const Bezeichnerliste& bez, int* fehler) {
    std::int32_t zeile = 0, spalte = 0;
    if (!Zelle(bez, fehler, zeile, spalte)) return Undefiniert;
    Wert = Tabelle->GetValue(zeile, spalte);
    return Wert;
}

void TMatrBezeich::SetWert(const Bezeichnerliste& bez, Extended v, int* fehler) {
    std::int32_t zeile = 0, spalte = 0;
    if (!Zelle(bez, fehler, zeile, spalte)) return;
    Tabelle->SetValue(zeile, spalte, v);
}

} // namespace kd
