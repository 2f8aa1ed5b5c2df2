#pragma once
// Identifiers of a formula (TBezeichner) and table references (TMatrBezeich).
#include <cstdint>
#include <string>
#include <vector>

#include "core/CList.h"
#include "core/Types.h"

namespace kd {

class TMatrixObj;

class TBezeichner {
public:
    // The name is kept whole (a table reference's name is cut to 20 characters).
    explicit TBezeichner(std::string name);
    // An identifier whose value lives in a place owned by someone else.
    TBezeichner(std::string name, Extended* wertZeiger);
    virtual ~TBezeichner() = default;

    std::string Name;
    Extended Wert = Undefiniert;
    Extended* WertZeiger;  // points at Wert unless handed in
    TMatrixObj* Zelle = nullptr;
    std::int32_t Zeile = 0, Spalte = 0;
    bool Laufvariable = false;

    virtual Extended GetWert() const;
    virtual void SetWert(Extended v);
    virtual void SetZelle(TMatrixObj* m, std::int32_t zeile, std::int32_t spalte);
    virtual void ClearZelle();
};

using Bezeichnerliste = TCList<TBezeichner>;

// Finds an identifier by its exact name; -1 when there is none.
int SucheBezeichner(const Bezeichnerliste& liste, const std::string& name);

// A reference to a value table: the table and the description of its indices.
class TMatrBezeich {
public:
    // How one index is given.
    enum class IndexArt : std::uint8_t {
        Zahl = 1,            // a whole number
        Bezeichner = 2,      // an identifier's value
        BezeichnerZahl = 3,  // an identifier's value plus a whole number
        ZweiBezeichner = 4,  // the sum of two identifiers' values
    };
    struct Index {
        IndexArt Art = IndexArt::Zahl;
        std::int32_t Zahl = 0;    // the number (modes 1 and 3; sign included)
        std::int32_t Bez1 = -1;   // identifier index (modes 2, 3, 4)
        std::int32_t Bez2 = -1;   // second identifier (mode 4)
        std::int32_t Vorz2 = 1;   // +1 or -1 for the second identifier (mode 4)
    };

    explicit TMatrBezeich(std::string name, TMatrixObj* tabelle = nullptr);
    virtual ~TMatrBezeich() = default;

    std::string Name;
    Extended Wert = Undefiniert;
    TMatrixObj* Tabelle;  // not owned
    std::vector<Index> Indizes;

    // Reads or writes the addressed cell; *fehler gets 7 (undefined index value),
    // 8 (index out of range) or 0. A failure returns Undefiniert.
    Extended GetWert(const Bezeichnerliste& bez, int* fehler);
    void SetWert(const Bezeichnerliste& bez, Extended v, int* fehler);

private:
    bool Zelle(const Bezeichnerliste& bez, int* fehler, std::int32_t& zeile, std::int32_t& spalte) const;
};

using Matrixliste = TCList<TMatrBezeich>;

} // namespace kd
