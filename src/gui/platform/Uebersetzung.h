#pragma once
// Qt's own texts (the context menu of every edit field, the buttons of standard
// dialogs) in German, from the translations installed with Qt.
class QCoreApplication;
class QString;

namespace kd {

// Installs Qt's German translation (qtbase_de) from Qt's translations folder on the
// application. False when it is not installed; the texts then stay English.
bool QtUebersetzungLaden(QCoreApplication& app);

// The same from another folder (for tests).
bool QtUebersetzungLaden(QCoreApplication& app, const QString& ordner);

} // namespace kd
