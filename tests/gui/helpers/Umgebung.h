#pragma once
// A fresh program folder for one test (KDFORMEL_HOME) and library files made byte
// by byte.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "helpers/FakeMeldungen.h"

namespace kd {
class TDlgFormelSamml;
}

namespace kdtest {

// Sets KDFORMEL_HOME to a new temporary folder for the life of the object.
class TestOrdner {
public:
    TestOrdner();
    ~TestOrdner();
    bool Gueltig() const { return dir_.isValid(); }
    QString Pfad() const { return dir_.path(); }
    QString Datei(const QString& name) const { return dir_.filePath(name); }

    void Schreibe(const QString& name, const QByteArray& bytes) const;
    QByteArray Lies(const QString& name) const;
    bool Existiert(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// The bytes of a library file whose records carry these formula texts (Windows-1252):
// count, then per record Kennzahl 600, 41 zero bytes, BildTyp 0, kind 6, length, text.
QByteArray Bibliothek(const std::vector<std::string>& texte);

// A window answering its boxes with `boxen`, without waits.
std::unique_ptr<kd::TDlgFormelSamml> NeuesFenster(FakeMeldungen& boxen);

// Sets the application name as the program does (the general error box shows it).
void AnwendungEinrichten();

} // namespace kdtest
