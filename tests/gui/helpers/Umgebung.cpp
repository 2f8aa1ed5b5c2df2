#include "helpers/Umgebung.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdint>

#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/Symbole.h"

namespace kdtest {

TestOrdner::TestOrdner() { qputenv("KDFORMEL_HOME", QFile::encodeName(dir_.path())); }

TestOrdner::~TestOrdner() { qunsetenv("KDFORMEL_HOME"); }

void TestOrdner::Schreibe(const QString& name, const QByteArray& bytes) const {
    QFile f(Datei(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

QByteArray TestOrdner::Lies(const QString& name) const {
    QFile f(Datei(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool TestOrdner::Existiert(const QString& name) const { return QFileInfo::exists(Datei(name)); }

namespace {
void Int32(QByteArray& b, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) b.append(char((u >> (8 * i)) & 0xFF));
}
} // namespace

QByteArray Bibliothek(const std::vector<std::string>& texte) {
    QByteArray b;
    Int32(b, std::int32_t(texte.size()));
    for (const std::string& t : texte) {
        Int32(b, 600);
        b.append(QByteArray(41, '\0'));
        Int32(b, 0);
        b.append(char(6));
        b.append(char(static_cast<unsigned char>(t.size())));
        b.append(t.data(), qsizetype(t.size()));
    }
    return b;
}

std::unique_ptr<kd::TDlgFormelSamml> NeuesFenster(FakeMeldungen& boxen) {
    auto w = std::make_unique<kd::TDlgFormelSamml>(&boxen);
    w->SetWartezeit(0);
    return w;
}

void AnwendungEinrichten() {
    QCoreApplication::setApplicationName(QStringLiteral("KALDORA Formelsammlung"));
    kd::InitRessourcen();
}

} // namespace kdtest
