#pragma once
// Message boxes. Every question, warning, error and result the program shows goes
// through this one interface, so tests can answer the boxes with a script.
#include <QString>

class QWidget;

namespace kd {

class FileError;

class Meldungen {
public:
    enum class Symbol { Keins, Ausrufezeichen, Stop, Information };
    // JaNeinAbbrechenVorgabeNein: the buttons of JaNeinAbbrechen with Nein as the
    // default, for questions whose Ja destroys something.
    enum class Tasten { Ok, OkAbbrechen, JaNein, JaNeinAbbrechen, JaNeinAbbrechenVorgabeNein };
    enum class Antwort { Ok, Ja, Nein, Abbrechen };

    virtual ~Meldungen() = default;

    // Shows one modal box and returns the button pressed (closing the box counts as
    // Abbrechen, or Nein when there is no Abbrechen button, or Ok for an Ok box).
    virtual Antwort Zeige(const QString& titel, const QString& text, Symbol symbol,
                          Tasten tasten) = 0;
    // The short warning tone for refused input.
    virtual void Signalton() = 0;

    // --- the boxes of the program ---
    // A Yes/No/Cancel question, caption "Achtung", exclamation icon.
    Antwort Frage(const QString& text);
    // The same for a question whose Ja destroys something: Nein is the default button,
    // so Enter keeps what is there.
    Antwort GefahrFrage(const QString& text);
    // A warning with OK, caption "Achtung", exclamation icon.
    void Warnung(const QString& text);
    // Refused input, caption "Fehler", stop icon, OK.
    void Fehler(const QString& text);
    // A result, caption "Berechnung", no icon, OK.
    void Berechnung(const QString& text);
    // The general error box (a file that cannot be read or written): caption the
    // application name, stop icon, OK. The text is UTF-8.
    void AllgemeinerFehler(const QString& text);
    // The same for a library file error (its message is Windows-1252).
    void DateiFehler(const FileError& e);
};

// The real boxes: QMessageBox with German button texts.
class QtMeldungen final : public Meldungen {
public:
    explicit QtMeldungen(QWidget* eltern = nullptr) : eltern_(eltern) {}
    void SetEltern(QWidget* eltern) { eltern_ = eltern; }
    Antwort Zeige(const QString& titel, const QString& text, Symbol symbol,
                  Tasten tasten) override;
    void Signalton() override;

private:
    QWidget* eltern_;
};

} // namespace kd
