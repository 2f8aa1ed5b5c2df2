#include "gui/platform/Dateidialoge.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace kd {

QString QtDateidialoge::Oeffnen(QWidget* eltern, const QString& titel, const QStringList& filter) {
    QFileDialog d(eltern, titel);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setNameFilters(filter);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().constFirst();
}

QString QtDateidialoge::Speichern(QWidget* eltern, const QString& titel, const QString& vorschlag,
                                  const QString& endung, const QStringList& filter) {
    QFileDialog d(eltern, titel);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setOption(QFileDialog::DontConfirmOverwrite, true);
    d.setNameFilters(filter);
    d.setDefaultSuffix(endung);
    d.selectFile(vorschlag);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().constFirst();
}

bool QtDateidialoge::Drucken(QWidget* eltern, QPrinter& drucker) {
    QPrintDialog d(&drucker, eltern);
    d.setOption(QAbstractPrintDialog::PrintToFile, true);
    d.setOption(QAbstractPrintDialog::PrintSelection, false);
    d.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return d.exec() == QDialog::Accepted;
}

} // namespace kd
