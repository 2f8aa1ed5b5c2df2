#include <QApplication>

#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/Dateityp.h"
#include "gui/platform/Pfade.h"
#include "gui/platform/Symbole.h"
#include "gui/platform/Uebersetzung.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KALDORA Formelsammlung"));
    kd::QtUebersetzungLaden(app);
    kd::InitRessourcen();
    QApplication::setWindowIcon(kd::SvgSymbol(QStringLiteral("kdformel"), QSize(48, 48)));

    kd::TDlgFormelSamml fenster;
    try {
        fenster.SetVerzeichnisse(kd::StandardVerzeichnisse());
    } catch (const std::exception&) {
        // The window tries again at its start and reports why the folder is missing.
    }
    // Size, place and zoom of the last run (from the user's configuration folder).
    fenster.EinstellungenLaden();
    fenster.show();
    fenster.Start();
    const QString datei = kd::DateiAusBefehlszeile(QApplication::arguments());
    if (!datei.isEmpty()) fenster.BibliothekOeffnen(datei);
    return app.exec();
}
