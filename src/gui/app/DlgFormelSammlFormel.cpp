// The main window's formula commands that go through the formula entry dialog:
// new formula, edit, search and the calculator.
#include "gui/app/DlgFormelSamml.h"

namespace kd {

void TDlgFormelSamml::SpeedFxNeuClick() {
    if (!BenennungAbschliessen()) return;
}

void TDlgFormelSamml::EditNeueFormel() {}

void TDlgFormelSamml::SpeedFormEditClick() {
    if (!BenennungAbschliessen()) return;
}

void TDlgFormelSamml::SpeedButton1Click() {
    // The search saves the current library itself; a pending naming stays open.
}

void TDlgFormelSamml::SpeedTaschenrechnerClick() {
    if (!BenennungAbschliessen()) return;
}

} // namespace kd
