#pragma once
// The open, save and print dialogs. The windows ask for files and printers through this
// one interface, so tests can answer the dialogs with a script.
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace kd {

class Dateidialoge {
public:
    virtual ~Dateidialoge() = default;

    // A file to open; empty when cancelled. `filter` are name filters as Qt writes
    // them ("JPEG Bilddatei (*.jpg)"), the first one selected.
    virtual QString Oeffnen(QWidget* eltern, const QString& titel, const QStringList& filter) = 0;
    // A file to write; empty when cancelled. `vorschlag` is the proposed file name,
    // `endung` the default extension added to a name without one. The dialog does not
    // ask before overwriting: the caller asks.
    virtual QString Speichern(QWidget* eltern, const QString& titel, const QString& vorschlag,
                              const QString& endung, const QStringList& filter) = 0;
    // The print dialog on `drucker` (printer, copies, or a PDF file); false when cancelled.
    virtual bool Drucken(QWidget* eltern, QPrinter& drucker) = 0;
};

// The real dialogs: QFileDialog and QPrintDialog.
class QtDateidialoge final : public Dateidialoge {
public:
    QString Oeffnen(QWidget* eltern, const QString& titel, const QStringList& filter) override;
    QString Speichern(QWidget* eltern, const QString& titel, const QString& vorschlag,
                      const QString& endung, const QStringList& filter) override;
    bool Drucken(QWidget* eltern, QPrinter& drucker) override;
};

} // namespace kd
