#include "gui/platform/Meldungen.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

#include "core/Errors.h"
#include "gui/platform/Texte.h"

namespace kd {

Meldungen::Antwort Meldungen::Frage(const QString& text) {
    return Zeige(QStringLiteral("Achtung"), text, Symbol::Ausrufezeichen,
                 Tasten::JaNeinAbbrechen);
}

Meldungen::Antwort Meldungen::GefahrFrage(const QString& text) {
    return Zeige(QStringLiteral("Achtung"), text, Symbol::Ausrufezeichen,
                 Tasten::JaNeinAbbrechenVorgabeNein);
}

void Meldungen::Warnung(const QString& text) {
    Zeige(QStringLiteral("Achtung"), text, Symbol::Ausrufezeichen, Tasten::Ok);
}

void Meldungen::Fehler(const QString& text) {
    Zeige(QStringLiteral("Fehler"), text, Symbol::Stop, Tasten::Ok);
}

void Meldungen::Berechnung(const QString& text) {
    Zeige(QStringLiteral("Berechnung"), text, Symbol::Keins, Tasten::Ok);
}

void Meldungen::AllgemeinerFehler(const QString& text) {
    QString titel = QCoreApplication::applicationName();
    if (titel.isEmpty()) titel = QStringLiteral("Fehler");
    Zeige(titel, text, Symbol::Stop, Tasten::Ok);
}

void Meldungen::DateiFehler(const FileError& e) {
    AllgemeinerFehler(AusCp1252(e.what()));
}

Meldungen::Antwort QtMeldungen::Zeige(const QString& titel, const QString& text,
                                      Symbol symbol, Tasten tasten) {
    QMessageBox box(eltern_);
    box.setWindowTitle(titel);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (symbol) {
    case Symbol::Keins: box.setIcon(QMessageBox::NoIcon); break;
    case Symbol::Ausrufezeichen: box.setIcon(QMessageBox::Warning); break;
    case Symbol::Stop: box.setIcon(QMessageBox::Critical); break;
    case Symbol::Information: box.setIcon(QMessageBox::Information); break;
    }

    struct Knopf {
        QMessageBox::StandardButton art;
        const char* text;
        Antwort antwort;
    };
    static const Knopf ok{QMessageBox::Ok, "OK", Antwort::Ok};
    static const Knopf ja{QMessageBox::Yes, "Ja", Antwort::Ja};
    static const Knopf nein{QMessageBox::No, "Nein", Antwort::Nein};
    static const Knopf abbrechen{QMessageBox::Cancel, "Abbrechen", Antwort::Abbrechen};

    std::vector<const Knopf*> knoepfe;
    switch (tasten) {
    case Tasten::Ok: knoepfe = {&ok}; break;
    case Tasten::OkAbbrechen: knoepfe = {&ok, &abbrechen}; break;
    case Tasten::JaNein: knoepfe = {&ja, &nein}; break;
    case Tasten::JaNeinAbbrechen:
    case Tasten::JaNeinAbbrechenVorgabeNein: knoepfe = {&ja, &nein, &abbrechen}; break;
    }
    QMessageBox::StandardButtons alle;
    for (const Knopf* k : knoepfe) alle |= k->art;
    box.setStandardButtons(alle);
    for (const Knopf* k : knoepfe) box.button(k->art)->setText(QString::fromUtf8(k->text));
    // The first button is the default, as in every box of the program, but for a
    // question that destroys on Ja; Esc and the close box give the last one.
    const Knopf* erster = knoepfe.front();
    const Knopf* letzter = knoepfe.back();
    box.setDefaultButton(tasten == Tasten::JaNeinAbbrechenVorgabeNein ? nein.art : erster->art);
    box.setEscapeButton(letzter->art);

    box.exec();
    QAbstractButton* geklickt = box.clickedButton();
    for (const Knopf* k : knoepfe)
        if (geklickt == box.button(k->art)) return k->antwort;
    return letzter->antwort;
}

void QtMeldungen::Signalton() { QApplication::beep(); }

} // namespace kd
