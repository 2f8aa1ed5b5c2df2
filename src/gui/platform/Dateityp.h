#pragma once
// The library file type on the Linux desktop: a shared-mime-info type
// application/x-kdformel-library for *.pqb, a .desktop entry that opens such a file
// with this program, and the icons they name. Written into the user's data folder
// ($XDG_DATA_HOME, default ~/.local/share) at start when they are missing or when the
// entry names a program that is no longer there; an entry naming another copy of the
// program that exists is left alone, and so is everything else. `cmake --install` installs the
// same files system-wide.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace kd {

inline constexpr char kMimeTyp[] = "application/x-kdformel-library";

// The files below one data folder.
struct DateitypPfade {
    QString Mime;        // mime/packages/kdformel.xml
    QString Desktop;     // applications/kdformel.desktop
    QString Symbol;      // icons/hicolor/scalable/apps/kdformel.svg
    QString MimeSymbol;  // icons/hicolor/scalable/mimetypes/application-x-kdformel-library.svg
};
DateitypPfade DateitypPfadeIn(const QString& datenVerz);

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share. Empty when neither is known.
QString BenutzerDatenVerzeichnis();

// The texts written (UTF-8).
QByteArray MimeInhalt();
// Empty when the program path cannot be written into an Exec line (a line break).
QByteArray DesktopInhalt(const QString& programm);
// The program that the Exec line of a desktop entry starts (quotes and escapes
// removed); empty when there is no Exec line.
QString DesktopProgramm(const QByteArray& inhalt);

struct DateitypErgebnis {
    bool Mime = false;     // the MIME description was written
    bool Desktop = false;  // the desktop entry was written
    bool Symbole = false;  // an icon was written
    bool Fehler = false;   // a file could not be written
};

// Starts a helper program (update-mime-database, update-desktop-database) without
// waiting for it. The default looks the tool up on PATH and starts it detached when found.
using Starter = std::function<void(const QString& werkzeug, const QStringList& argumente)>;

// Writes what is missing or outdated below `datenVerz` for the program at `programm`,
// then refreshes the desktop's caches through `starter` for what was written.
DateitypErgebnis DateitypSchreiben(const QString& datenVerz, const QString& programm,
                                   const Starter& starter = {});

// The library file the desktop's open command passes (Exec ... %f): the first argument
// after the program name that is no option ("--" ends the options); a file:// URL
// gives its local path. Empty when there is none.
QString DateiAusBefehlszeile(const QStringList& argumente);

// Whether the start may refresh the user's file association for `programm`: only for
// an installed program (its folder is `installBinVerz`, the folder `cmake --install`
// puts it in) and never while KDFORMEL_HOME is set, so a test build or a copy in
// another folder does not take the association over.
bool DateitypAuffrischenErlaubt(const QString& programm, const QString& installBinVerz,
                                bool kdformelHomeGesetzt);

// The start-up call: the running program in the user's data folder, when
// DateitypAuffrischenErlaubt. Never throws and never waits for the cache tools.
DateitypErgebnis DateitypRegistrieren();

} // namespace kd
