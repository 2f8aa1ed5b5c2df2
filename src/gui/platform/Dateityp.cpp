#include "gui/platform/Dateityp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include "gui/platform/Symbole.h"

// The file templates live in a static library: their resource initialiser has to be called.
static void InitDesktopRessourcenEinmal() { Q_INIT_RESOURCE(desktop); }

namespace kd {

namespace {

void InitDesktopRessourcen() {
    static const bool einmal = (InitDesktopRessourcenEinmal(), true);
    (void)einmal;
}

// Characters that force an Exec argument into double quotes.
const QString kReserviert = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

QByteArray Lies(const QString& pfad, bool* gelesen = nullptr) {
    QFile f(pfad);
    const bool ok = f.open(QIODevice::ReadOnly);
    if (gelesen) *gelesen = ok;
    return ok ? f.readAll() : QByteArray();
}

bool Schreibe(const QString& pfad, const QByteArray& inhalt) {
    if (!QDir().mkpath(QFileInfo(pfad).absolutePath())) return false;
    QSaveFile f(pfad);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(inhalt) != inhalt.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

// An Exec argument: in double quotes, with ", `, $ and \ escaped by a backslash, and
// every % doubled; then the backslashes escaped once more for the string value.
QString ExecArgument(const QString& arg) {
    QString q;
    for (const QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') q += u'\\';
        if (c == u'%') q += u'%';
        q += c;
    }
    q = u'"' + q + u'"';
    q.replace(u'\\', QStringLiteral("\\\\"));
    return q;
}

// The string value escapes of a desktop entry (\s \n \t \r \\).
QString Entschluesselt(const QString& wert) {
    QString s;
    for (int i = 0; i < wert.size(); ++i) {
        const QChar c = wert[i];
        if (c != u'\\' || i + 1 >= wert.size()) {
            s += c;
            continue;
        }
        const QChar n = wert[++i];
        if (n == u's') s += u' ';
        else if (n == u'n') s += u'\n';
        else if (n == u't') s += u'\t';
        else if (n == u'r') s += u'\r';
        else s += n;
    }
    return s;
}

void StandardStarter(const QString& werkzeug, const QStringList& argumente) {
    const QString exe = QStandardPaths::findExecutable(werkzeug);
    if (!exe.isEmpty()) QProcess::startDetached(exe, argumente);
}

// Writes `inhalt` to `pfad` when the file is missing or `veraltet` says so.
// Returns whether it wrote; sets `fehler` when writing failed.
template <class Pruefung>
bool Auffrischen(const QString& pfad, const QByteArray& inhalt, Pruefung veraltet, bool& fehler) {
    bool gelesen = false;
    const QByteArray alt = Lies(pfad, &gelesen);
    if (gelesen && !veraltet(alt)) return false;
    if (Schreibe(pfad, inhalt)) return true;
    fehler = true;
    return false;
}

} // namespace

DateitypPfade DateitypPfadeIn(const QString& datenVerz) {
    const QString d = QDir::cleanPath(datenVerz);
    return {d + QStringLiteral("/mime/packages/kdformel.xml"),
            d + QStringLiteral("/applications/kdformel.desktop"),
            d + QStringLiteral("/icons/hicolor/scalable/apps/kdformel.svg"),
            d + QStringLiteral("/icons/hicolor/scalable/mimetypes/application-x-kdformel-library.svg")};
}

QString BenutzerDatenVerzeichnis() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) return {};
    return home + QStringLiteral("/.local/share");
}

QByteArray MimeInhalt() {
    InitDesktopRessourcen();
    return Lies(QStringLiteral(":/desktop/kdformel.xml"));
}

QByteArray DesktopInhalt(const QString& programm) {
    if (programm.isEmpty() || programm.contains(u'\n') || programm.contains(u'\r')) return {};
    InitDesktopRessourcen();
    QByteArray d = Lies(QStringLiteral(":/desktop/kdformel.desktop.in"));
    d.replace("@KD_EXEC@", ExecArgument(programm).toUtf8());
    return d;
}

QString DesktopProgramm(const QByteArray& inhalt) {
    bool inEintrag = false;
    for (const QByteArray& roh : inhalt.split('\n')) {
        const QString zeile = QString::fromUtf8(roh).trimmed();
        if (zeile.startsWith(u'[')) {
            inEintrag = zeile == QStringLiteral("[Desktop Entry]");
            continue;
        }
        if (!inEintrag || !zeile.startsWith(QStringLiteral("Exec"))) continue;
        const int gleich = zeile.indexOf(u'=');
        if (gleich < 0 || zeile.left(gleich).trimmed() != QStringLiteral("Exec")) continue;
        const QString wert = Entschluesselt(zeile.mid(gleich + 1).trimmed());

        // The first argument: quoted (with \-escapes) or up to the first blank.
        QString prog;
        if (wert.startsWith(u'"')) {
            for (int i = 1; i < wert.size(); ++i) {
                QChar c = wert[i];
                if (c == u'\\' && i + 1 < wert.size()) c = wert[++i];
                else if (c == u'"') break;
                prog += c;
            }
        } else {
            prog = wert.section(u' ', 0, 0);
        }
        prog.replace(QStringLiteral("%%"), QStringLiteral("%"));
        return prog;
    }
    return {};
}

DateitypErgebnis DateitypSchreiben(const QString& datenVerz, const QString& programm,
                                   const Starter& starter) {
    DateitypErgebnis e;
    if (datenVerz.isEmpty()) return e;
    const DateitypPfade p = DateitypPfadeIn(datenVerz);
    const auto anders = [](const QByteArray& soll) {
        return [soll](const QByteArray& ist) { return ist != soll; };
    };

    e.Mime = Auffrischen(p.Mime, MimeInhalt(), anders(MimeInhalt()), e.Fehler);

    const QByteArray desktop = DesktopInhalt(programm);
    if (!desktop.isEmpty()) {
        // An entry that starts this program is kept as it is, also when edited by hand,
        // and so is one that starts another copy that is still there: only an entry
        // naming no program, or one that is gone, is replaced.
        const auto veraltet = [&programm](const QByteArray& ist) {
            const QString genannt = DesktopProgramm(ist);
            if (genannt == programm) return false;
            if (genannt.isEmpty()) return true;
            const QFileInfo info(genannt);
            return !(info.isFile() && info.isExecutable());
        };
        e.Desktop = Auffrischen(p.Desktop, desktop, veraltet, e.Fehler);
    }

    InitRessourcen();
    const QByteArray svg = Lies(QStringLiteral(":/icons/kdformel.svg"));
    if (!svg.isEmpty()) {
        const auto fehlt = [](const QByteArray&) { return false; };
        const bool a = Auffrischen(p.Symbol, svg, fehlt, e.Fehler);
        const bool b = Auffrischen(p.MimeSymbol, svg, fehlt, e.Fehler);
        e.Symbole = a || b;
    }

    const Starter& starte = starter ? starter : Starter(StandardStarter);
    if (e.Mime)
        starte(QStringLiteral("update-mime-database"), {QDir::cleanPath(datenVerz) + QStringLiteral("/mime")});
    if (e.Desktop)
        starte(QStringLiteral("update-desktop-database"),
               {QDir::cleanPath(datenVerz) + QStringLiteral("/applications")});
    return e;
}

QString DateiAusBefehlszeile(const QStringList& argumente) {
    bool optionen = true;
    for (qsizetype i = 1; i < argumente.size(); ++i) {
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

bool DateitypAuffrischenErlaubt(const QString& programm, const QString& installBinVerz,
                                bool kdformelHomeGesetzt) {
    if (kdformelHomeGesetzt || programm.isEmpty() || installBinVerz.isEmpty()) return false;
    const QString ordner = QFileInfo(programm).absolutePath();
    const QString install = QDir::cleanPath(installBinVerz);
    if (QDir::cleanPath(ordner) == install) return true;
    const QString echt = QFileInfo(ordner).canonicalFilePath();
    return !echt.isEmpty() && echt == QFileInfo(install).canonicalFilePath();
}

DateitypErgebnis DateitypRegistrieren() {
#ifdef KD_INSTALL_BINDIR
    const QString installBinVerz = QStringLiteral(KD_INSTALL_BINDIR);
#else
    const QString installBinVerz;
#endif
    const QString programm = QCoreApplication::applicationFilePath();
    if (!DateitypAuffrischenErlaubt(programm, installBinVerz,
                                    !qEnvironmentVariable("KDFORMEL_HOME").isEmpty()))
        return {};
    return DateitypSchreiben(BenutzerDatenVerzeichnis(), programm);
}

} // namespace kd
