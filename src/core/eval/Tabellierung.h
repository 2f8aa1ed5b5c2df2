#pragma once
// Value tables for curves: formulas over one plot variable (Tabelle2D) or over two
// (Tabelle3D), tabulated into a TMatrixObj in the layout the curve view reads.
//
// Tabelle2D, k formula lines, n points (table of k + 1 rows and n + 1 columns):
//   row 0, columns 1..n     the abscissas x1..xn
//   row f + 1, columns 1..n the values of line f (0-based) at these abscissas
//   column 0                stays as it was (empty in a new table)
// Tabelle3D, one formula, nx x-points and nz z-points (nz + 1 rows, nx + 1 columns):
//   row 0, columns 1..nx    the x values
//   column 0, rows 1..nz    the z values
//   cell (j, i)             the value at (x of column i, z of row j); (0, 0) stays empty
//
// Each formula is parsed by FormelLesen in evaluating mode with the plot variable names
// given (an own identifier list; table references through `matrizen`) and computed
// without Strikt, so an overflow gives +-Ueberlaufwert instead of stopping. A value of
// magnitude 1E50 or more is replaced by the neighbour already computed: the previous
// column of the same row, and for two variables, when that is too large as well, the
// previous row of the same column. At the end FindMinMax runs over the function values.
#include <string>
#include <vector>

#include "core/notation/Bezeichner.h"
#include "core/Types.h"

namespace kd {

class TMatrixObj;

// Messages of the tabulation (Windows-1252).
extern const char* const MeldungStartwertX;      // "Startwert X ist größer gleich Endwert X"
extern const char* const MeldungStartwertZ;      // "Startwert Z ist größer gleich Endwert Z"
extern const char* const MeldungPunkteX;         // "Anzahl Punkte für X-Achse kleiner 2"
extern const char* const MeldungPunkteZ;         // "Anzahl Punkte für Z-Achse kleiner 2"
extern const char* const MeldungPunkteZuGross;   // "Anzahl Punkte zu groß"

struct Tabellierungsfehler {
    enum class Art {
        Keiner,    // the table is filled, MinValue / MaxValue are set
        Bereich,   // start and end give no step, too few points, or the table is too
                   // small for the points: Code 1, Meldung says which
        Parser,    // a formula does not parse: Code and Position as FormelLesen gave them
        Rechnung,  // a computation failed: Code of Rechenfehlertexte, Position = TextPos
    };
    Art art = Art::Keiner;
    int Code = 0;
    int Position = 0;      // 1-based text position (0 when there is none)
    int Zeile = 0;         // 0-based formula line of a parse or computation error
    std::string Meldung;   // the message for Code (Fehlertexte, Rechenfehlertexte or the above)

    bool Fehler() const { return art != Art::Keiner; }
};

// Tabulates the k = formelZeilen.size() lines over `punkte` points from xStart to
// xEnde, evenly spaced, or on a logarithmic scale when `logarithmisch` is set (both
// bounds must then be positive). The X variable name is cut to 8 characters. The table
// must have at least k + 1 rows and punkte + 1 columns.
Tabellierungsfehler Tabelle2D(TMatrixObj& tabelle, const std::vector<std::string>& formelZeilen,
                              const std::string& xVariable, Extended xStart, Extended xEnde,
                              int punkte, bool logarithmisch, Matrixliste* matrizen = nullptr);

// Tabulates one formula over xPunkte x values and zPunkte z values, both evenly
// spaced. The table is cleared first; it must have at least zPunkte + 1 rows and
// xPunkte + 1 columns.
Tabellierungsfehler Tabelle3D(TMatrixObj& tabelle, const std::string& formel,
                              const std::string& xVariable, const std::string& zVariable,
                              Extended xStart, Extended xEnde, int xPunkte, Extended zStart,
                              Extended zEnde, int zPunkte, Matrixliste* matrizen = nullptr);

} // namespace kd
