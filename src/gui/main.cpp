#include <QApplication>
#include <QUrl>

#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/Pfade.h"
#include "gui/platform/Symbole.h"

namespace {

// The library named on the command line (the desktop passes the file it opens): the
// first argument that is no option; "--" ends the options; file:// URLs are taken too.
QString DateiAusBefehlszeile(const QStringList& argumente) {
    bool optionen = true;
    for (int i = 1; i < argumente.size(); ++i) {
        const QString& a = argumente[i];
        if (optionen && a == QStringLiteral("--")) {
            optionen = false;
            continue;
        }
        if (optionen && a.startsWith(u'-')) continue;
        if (a.startsWith(QStringLiteral("file:"))) return QUrl(a).toLocalFile();
        return a;
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KALDORA Formelsammlung"));
    kd::InitRessourcen();
    QApplication::setWindowIcon(kd::SvgSymbol(QStringLiteral("kdformel"), QSize(48, 48)));

    kd::TDlgFormelSamml fenster;
    try {
        fenster.SetVerzeichnisse(kd::StandardVerzeichnisse());
    } catch (const std::exception&) {
        // The window tries again at its start and reports why the folder is missing.
    }
    fenster.show();
    fenster.Start();
    const QString datei = DateiAusBefehlszeile(QApplication::arguments());
    if (!datei.isEmpty()) fenster.BibliothekOeffnen(datei);
    return app.exec();
}
