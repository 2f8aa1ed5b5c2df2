#pragma once
// Translation of a formula text into a worksheet formula for a spreadsheet program.
#include <string>
#include <vector>

namespace kd {

struct Tabellenformel {
    std::string Formel;                 // begins with "=" (Windows-1252)
    std::vector<std::string> Warnungen; // shown one after the other in "Achtung" boxes
};

// Drops the legend and quoted comments and the left side, and writes the function names
// as the spreadsheet knows them (INT(x) becomes Abrunden(x;0)), in the German
// spreadsheet's notation: numbers with the decimal comma, ~p as PI() and e as EXP(1),
// WURZEL3, WURZEL4 and QUADRAT as powers, ZUFALL(b) as Zufallszahl()*(b). A name that
// the spreadsheet would read as a cell (x|1 is typed x1) gives a warning.
Tabellenformel InTabellenformel(const std::string& formeltext);

} // namespace kd
