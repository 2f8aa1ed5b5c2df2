#pragma once
// File and print dialogs answered from a script: every dialog is recorded; open and
// save take their file from a queue (empty: cancelled); the print dialog writes a PDF
// file when one is given, with the copies asked for.
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "gui/platform/Dateidialoge.h"

namespace kdtest {

class FakeDateidialoge final : public kd::Dateidialoge {
public:
    struct Aufruf {
        QString art;  // "oeffnen", "speichern", "drucken"
        QString titel;
        QStringList filter;
        QString vorschlag;
        QString endung;
        QString dokument;  // the print job's name
    };

    std::deque<QString> dateien;  // answers of open and save
    QString pdf;                  // the print dialog's file; empty: cancelled
    int kopien = 1;
    std::vector<Aufruf> aufrufe;

    QString Oeffnen(QWidget* eltern, const QString& titel, const QStringList& filter) override;
    QString Speichern(QWidget* eltern, const QString& titel, const QString& vorschlag,
                      const QString& endung, const QStringList& filter) override;
    bool Drucken(QWidget* eltern, QPrinter& drucker) override;
};

} // namespace kdtest
