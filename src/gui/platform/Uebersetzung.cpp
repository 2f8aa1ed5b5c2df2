#include "gui/platform/Uebersetzung.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace kd {

bool QtUebersetzungLaden(QCoreApplication& app, const QString& ordner) {
    // One translator for the life of the application; loading again replaces nothing.
    static QTranslator* uebersetzer = nullptr;
    if (uebersetzer) return true;
    auto* t = new QTranslator(&app);
    if (!t->load(QStringLiteral("qtbase_de"), ordner)) {
        delete t;
        return false;
    }
    app.installTranslator(t);
    uebersetzer = t;
    return true;
}

bool QtUebersetzungLaden(QCoreApplication& app) {
    return QtUebersetzungLaden(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

} // namespace kd
