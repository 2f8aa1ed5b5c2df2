// The main window's extras: the about box, help, the desktop file type and a library
// named on the command line.
#include "gui/app/DlgFormelSamml.h"

#include <QDir>
#include <QFile>

#include <filesystem>

#include "core/library/Oeffnen.h"
#include "gui/dialogs/DlgFormelsammlInfo.h"
#include "gui/dialogs/Hilfe.h"
#include "gui/platform/Dateityp.h"

namespace kd {

void TDlgFormelSamml::Image1Click() {
    TDlgFormelsammlInfo info(meldungen_, this);
    info.exec();
}

void TDlgFormelSamml::BitBtn2Click() { HilfeZeigen(THilfe::ThemaInhalt); }

void TDlgFormelSamml::DateitypRegistrieren() {
    // Small files only; the cache tools run detached, so the start does not wait.
    kd::DateitypRegistrieren();
}

bool TDlgFormelSamml::BibliothekOeffnen(const QString& datei) {
    if (!bereit_ || datei.isEmpty()) return false;
    const std::filesystem::path pfad(QFile::encodeName(datei).toStdString());
    const std::filesystem::path hier(QFile::encodeName(QDir::currentPath()).toStdString());
    bool offen = false;
    Sicher([&] { offen = OeffneBibliothek(sammlung_, pfad, hier); });
    ZustandZeigen();
    SetFormel(sammlung_.AktFormel);
    ShowFormel();
    return offen;
}

} // namespace kd
