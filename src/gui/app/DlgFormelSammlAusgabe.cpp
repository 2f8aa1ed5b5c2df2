// The main window's output commands: clipboard (text, picture, worksheet formula),
// paste, printing and the picture commands.
#include "gui/app/DlgFormelSamml.h"

namespace kd {

void TDlgFormelSamml::SpeedKopierenClick() {
    if (!BenennungAbschliessen()) return;
}

void TDlgFormelSamml::AlsFormelinZwischenablage1Click() {
    if (!BenennungAbschliessen()) return;
}

void TDlgFormelSamml::SpeedCopyExcel() {}

void TDlgFormelSamml::SpeedEinfuegenClick() {
    if (!BenennungAbschliessen()) return;
}

void TDlgFormelSamml::SpeedDruckenClick() {
    if (!BenennungAbschliessen()) return;
}

void TDlgFormelSamml::GrafikOpenClick() {
    if (!BenennungAbschliessen()) return;
}

void TDlgFormelSamml::Grafikspeichern1Click() {}

void TDlgFormelSamml::SpeedBildLoeschenClick() {
    if (!BenennungAbschliessen()) return;
}

} // namespace kd
