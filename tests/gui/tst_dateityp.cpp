// The library file type on the desktop: the MIME description, the desktop entry and the
// icons in a data folder, written once, rewritten when they name another program, left
// alone otherwise; the Exec line for any program path.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/platform/Dateityp.h"

using kd::DateitypErgebnis;
using kd::DateitypPfade;

namespace {

struct Aufruf {
    QString werkzeug;
    QStringList argumente;
};

QByteArray Lies(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Schreibe(const QString& pfad, const QByteArray& b) {
    QDir().mkpath(QFileInfo(pfad).absolutePath());
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(b);
}

// Everything below the folder with its bytes, to see that nothing was touched.
QMap<QString, QByteArray> Stand(const QString& verz) {
    QMap<QString, QByteArray> m;
    QDirIterator it(verz, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        m.insert(QDir(verz).relativeFilePath(p), Lies(p));
    }
    return m;
}

} // namespace

class TestDateityp : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::vector<Aufruf> aufrufe_;
    kd::Starter Starter() {
        return [this](const QString& w, const QStringList& a) { aufrufe_.push_back({w, a}); };
    }
    DateitypErgebnis Schreibe(const QString& programm) {
        return kd::DateitypSchreiben(dir_.path(), programm, Starter());
    }

private slots:
    void init() {
        aufrufe_.clear();
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
    }

    void ersterStartSchreibtAlles() {
        const QString prog = QStringLiteral("/opt/kaldora/bin/kdformel");
        const DateitypErgebnis e = Schreibe(prog);
        QVERIFY(e.Mime && e.Desktop && e.Symbole && !e.Fehler);

        const DateitypPfade p = kd::DateitypPfadeIn(dir_.path());
        QCOMPARE(Lies(p.Mime), kd::MimeInhalt());
        const QByteArray desktop = Lies(p.Desktop);
        QCOMPARE(kd::DesktopProgramm(desktop), prog);
        QVERIFY(desktop.contains("\nMimeType=application/x-kdformel-library;\n"));
        QVERIFY(desktop.contains("\nExec=\"/opt/kaldora/bin/kdformel\" %f\n"));
        QVERIFY(desktop.startsWith("[Desktop Entry]\n"));
        QVERIFY(Lies(p.Symbol).contains("<svg"));
        QCOMPARE(Lies(p.MimeSymbol), Lies(p.Symbol));

        QCOMPARE(int(aufrufe_.size()), 2);
        QCOMPARE(aufrufe_[0].werkzeug, QStringLiteral("update-mime-database"));
        QCOMPARE(aufrufe_[0].argumente, QStringList{dir_.path() + QStringLiteral("/mime")});
        QCOMPARE(aufrufe_[1].werkzeug, QStringLiteral("update-desktop-database"));
        QCOMPARE(aufrufe_[1].argumente, QStringList{dir_.path() + QStringLiteral("/applications")});
    }

    void derMimeTypErkenntPqbDateien() {
        const QString umd = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (umd.isEmpty()) QSKIP("update-mime-database is not installed");
        Schreibe(QStringLiteral("/usr/bin/kdformel"));
        QProcess p;
        p.start(umd, {dir_.path() + QStringLiteral("/mime")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QByteArray globs = Lies(dir_.path() + QStringLiteral("/mime/globs2"));
        QVERIFY2(globs.contains("application/x-kdformel-library:*.pqb"), globs.constData());
    }

    void zweiterStartLaesstAllesInRuhe() {
        const QString prog = QStringLiteral("/opt/kaldora/bin/kdformel");
        Schreibe(prog);
        // An entry edited by hand that still starts this program is kept.
        const DateitypPfade p = kd::DateitypPfadeIn(dir_.path());
        ::Schreibe(p.Desktop, Lies(p.Desktop) + "NoDisplay=true\n");
        const auto vorher = Stand(dir_.path());
        aufrufe_.clear();

        const DateitypErgebnis e = Schreibe(prog);
        QVERIFY(!e.Mime && !e.Desktop && !e.Symbole && !e.Fehler);
        QCOMPARE(Stand(dir_.path()), vorher);
        QVERIFY(aufrufe_.empty());
    }

    void eineAndereProgrammstelleWirdUeberschrieben() {
        Schreibe(QStringLiteral("/alt/kdformel"));
        const DateitypPfade p = kd::DateitypPfadeIn(dir_.path());
        const QByteArray mime = Lies(p.Mime);
        aufrufe_.clear();

        const QString neu = QStringLiteral("/neu/bin/kdformel");
        const DateitypErgebnis e = Schreibe(neu);
        QVERIFY(e.Desktop && !e.Mime && !e.Symbole);
        QCOMPARE(kd::DesktopProgramm(Lies(p.Desktop)), neu);
        QCOMPARE(Lies(p.Mime), mime);
        QCOMPARE(int(aufrufe_.size()), 1);
        QCOMPARE(aufrufe_[0].werkzeug, QStringLiteral("update-desktop-database"));
    }

    void eineAndereVorhandeneKopieBehaeltIhrenEintrag() {
        // Another copy of the program that is still there keeps the association.
        const QString andere = dir_.path() + QStringLiteral("/andere/bin/kdformel");
        ::Schreibe(andere, "#!/bin/sh\n");
        QFile::setPermissions(andere, QFile::permissions(andere) | QFile::ExeOwner);
        const QString daten = dir_.path() + QStringLiteral("/daten");
        QVERIFY(kd::DateitypSchreiben(daten, andere, Starter()).Desktop);
        const DateitypPfade p = kd::DateitypPfadeIn(daten);
        const QByteArray eintrag = Lies(p.Desktop);
        aufrufe_.clear();

        const DateitypErgebnis e = kd::DateitypSchreiben(daten, QStringLiteral("/neu/bin/kdformel"), Starter());
        QVERIFY(!e.Desktop);
        QCOMPARE(Lies(p.Desktop), eintrag);
        QVERIFY(aufrufe_.empty());
    }

    void nurDasInstallierteProgrammFrischtAuf() {
        struct Fall {
            const char* name;
            QString programm, install;
            bool home, erlaubt;
        };
        const QString bin = dir_.path() + QStringLiteral("/prefix/bin");
        QDir().mkpath(bin);
        QDir().mkpath(dir_.path() + QStringLiteral("/build"));
        QFile::link(bin, dir_.path() + QStringLiteral("/verweis"));
        const Fall faelle[] = {
            {"installed", bin + "/kdformel", bin, false, true},
            {"installed, KDFORMEL_HOME set", bin + "/kdformel", bin, true, false},
            {"a build folder", dir_.path() + "/build/kdformel", bin, false, false},
            {"installed, reached through a link", dir_.path() + "/verweis/kdformel", bin, false, true},
            {"no install folder known", bin + "/kdformel", QString(), false, false},
        };
        for (const Fall& f : faelle)
            QVERIFY2(kd::DateitypAuffrischenErlaubt(f.programm, f.install, f.home) == f.erlaubt, f.name);
    }

    void derStartEinesTestbausSchreibtNichts() {
        // The start of a program that is not installed (this test, a build in /tmp)
        // leaves the user's data folder alone, with and without KDFORMEL_HOME.
        const QByteArray altXdg = qgetenv("XDG_DATA_HOME"), altHome = qgetenv("KDFORMEL_HOME");
        const QString daten = dir_.path() + QStringLiteral("/xdg");
        qputenv("XDG_DATA_HOME", daten.toUtf8());
        for (const char* home : {"", "/tmp/kdformel-home"}) {
            qputenv("KDFORMEL_HOME", home);
            const DateitypErgebnis e = kd::DateitypRegistrieren();
            QVERIFY(!e.Mime && !e.Desktop && !e.Symbole);
            QVERIFY(Stand(dir_.path()).isEmpty());
        }
        qputenv("XDG_DATA_HOME", altXdg);
        if (altHome.isNull()) qunsetenv("KDFORMEL_HOME");
        else qputenv("KDFORMEL_HOME", altHome);
    }

    void fehlendeOderVeralteteTeileWerdenErgaenzt() {
        const QString prog = QStringLiteral("/usr/bin/kdformel");
        Schreibe(prog);
        const DateitypPfade p = kd::DateitypPfadeIn(dir_.path());
        QFile::remove(p.Symbol);
        ::Schreibe(p.Mime, "<mime-info/>\n");
        const QByteArray desktop = Lies(p.Desktop);

        const DateitypErgebnis e = Schreibe(prog);
        QVERIFY(e.Mime && e.Symbole && !e.Desktop);
        QCOMPARE(Lies(p.Mime), kd::MimeInhalt());
        QVERIFY(QFileInfo::exists(p.Symbol));
        QCOMPARE(Lies(p.Desktop), desktop);

        // An entry without an Exec line names no program: it is replaced.
        ::Schreibe(p.Desktop, "[Desktop Entry]\nName=x\n");
        QVERIFY(Schreibe(prog).Desktop);
        QCOMPARE(kd::DesktopProgramm(Lies(p.Desktop)), prog);
    }

    void execZeileFuerJedenPfad_data() {
        QTest::addColumn<QString>("programm");
        QTest::addColumn<QByteArray>("exec");
        QTest::newRow("plain") << "/usr/bin/kdformel" << QByteArray("\"/usr/bin/kdformel\" %f");
        QTest::newRow("blank") << "/home/a b/kdformel" << QByteArray("\"/home/a b/kdformel\" %f");
        QTest::newRow("quote") << "/x/\"q\"/kd" << QByteArray("\"/x/\\\\\"q\\\\\"/kd\" %f");
        QTest::newRow("dollar and backtick")
            << "/x/$HOME/`id`" << QByteArray("\"/x/\\\\$HOME/\\\\`id\\\\`\" %f");
        QTest::newRow("backslash") << "/x/a\\b" << QByteArray("\"/x/a\\\\\\\\b\" %f");
        QTest::newRow("percent") << "/x/100%/kd" << QByteArray("\"/x/100%%/kd\" %f");
        QTest::newRow("umlaut") << QString::fromUtf8("/home/jürgen/kdformel")
                                << QString::fromUtf8("\"/home/jürgen/kdformel\" %f").toUtf8();
    }
    void execZeileFuerJedenPfad() {
        QFETCH(QString, programm);
        QFETCH(QByteArray, exec);
        const QByteArray d = kd::DesktopInhalt(programm);
        QVERIFY2(d.contains("\nExec=" + exec + "\n"), d.constData());
        QCOMPARE(kd::DesktopProgramm(d), programm);
    }

    void programmEinesFremdenEintrags_data() {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("programm");
        QTest::newRow("unquoted") << QByteArray("[Desktop Entry]\nExec=/usr/bin/kdformel %f\n")
                                  << "/usr/bin/kdformel";
        QTest::newRow("blanks around =") << QByteArray("[Desktop Entry]\nExec = kdformel\n")
                                         << "kdformel";
        QTest::newRow("other group first")
            << QByteArray("[Desktop Action x]\nExec=/a\n[Desktop Entry]\nExec=/b %F\n") << "/b";
        QTest::newRow("TryExec is no Exec")
            << QByteArray("[Desktop Entry]\nTryExec=/a\nExec=/b\n") << "/b";
        QTest::newRow("none") << QByteArray("[Desktop Entry]\nName=x\n") << QString();
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void programmEinesFremdenEintrags() {
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, programm);
        QCOMPARE(kd::DesktopProgramm(inhalt), programm);
    }

    void einZeilenumbruchImPfadSchreibtKeinenEintrag() {
        QVERIFY(kd::DesktopInhalt(QStringLiteral("/a\nExec=/evil")).isEmpty());
        const DateitypErgebnis e = Schreibe(QStringLiteral("/a\nExec=/evil"));
        QVERIFY(e.Mime && !e.Desktop && !e.Fehler);
        QVERIFY(!QFileInfo::exists(kd::DateitypPfadeIn(dir_.path()).Desktop));
    }

    void einUnbeschreibbarerOrdnerIstKeinAbsturz() {
        const QString datei = dir_.filePath(QStringLiteral("keinOrdner"));
        ::Schreibe(datei, "x");
        const DateitypErgebnis e = kd::DateitypSchreiben(datei, QStringLiteral("/usr/bin/kdformel"), Starter());
        QVERIFY(e.Fehler);
        QVERIFY(!e.Mime && !e.Desktop && !e.Symbole);
        QVERIFY(aufrufe_.empty());
        QCOMPARE(Lies(datei), QByteArray("x"));
    }

    void dateiAusBefehlszeile_data() {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<QString>("datei");
        QTest::newRow("none") << QStringList{"kdformel"} << QString();
        QTest::newRow("plain") << QStringList{"kdformel", "/a/Physik.pqb"} << "/a/Physik.pqb";
        QTest::newRow("relative") << QStringList{"kdformel", "Physik.pqb"} << "Physik.pqb";
        QTest::newRow("options skipped") << QStringList{"kdformel", "-v", "--x=1", "b.pqb", "c.pqb"}
                                         << "b.pqb";
        QTest::newRow("after --") << QStringList{"kdformel", "--", "-seltsam.pqb"} << "-seltsam.pqb";
        QTest::newRow("url") << QStringList{"kdformel", "file:///home/j%C3%BCrgen/a%20b.pqb"}
                             << QString::fromUtf8("/home/jürgen/a b.pqb");
        QTest::newRow("only options") << QStringList{"kdformel", "-x"} << QString();
    }
    void dateiAusBefehlszeile() {
        QFETCH(QStringList, argumente);
        QFETCH(QString, datei);
        QCOMPARE(kd::DateiAusBefehlszeile(argumente), datei);
    }

    void benutzerDatenVerzeichnis() {
        const QByteArray altXdg = qgetenv("XDG_DATA_HOME"), altHome = qgetenv("HOME");
        qputenv("HOME", "/home/tester");
        qputenv("XDG_DATA_HOME", "/daten");
        QCOMPARE(kd::BenutzerDatenVerzeichnis(), QStringLiteral("/daten"));
        qputenv("XDG_DATA_HOME", "relativ/daten");  // invalid: ignored
        QCOMPARE(kd::BenutzerDatenVerzeichnis(), QStringLiteral("/home/tester/.local/share"));
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(kd::BenutzerDatenVerzeichnis(), QStringLiteral("/home/tester/.local/share"));
        qputenv("XDG_DATA_HOME", altXdg);
        qputenv("HOME", altHome);
    }
};

QTEST_MAIN(TestDateityp)
#include "tst_dateityp.moc"
