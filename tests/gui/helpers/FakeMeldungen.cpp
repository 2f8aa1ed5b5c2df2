#include "helpers/FakeMeldungen.h"

namespace kdtest {

FakeMeldungen::Antwort FakeMeldungen::Zeige(const QString& titel, const QString& text,
                                            Symbol symbol, Tasten tasten) {
    Antwort a = Antwort::Ok;
    if (tasten != Tasten::Ok) {
        if (!antworten.empty()) {
            a = antworten.front();
            antworten.pop_front();
        } else {
            ++ohneAntwort;
            a = tasten == Tasten::JaNein ? Antwort::Nein : Antwort::Abbrechen;
        }
    }
    gezeigt.push_back({titel, text, symbol, tasten, a});
    return a;
}

QString FakeMeldungen::Protokoll() const {
    QString s;
    for (const Box& b : gezeigt) s += b.titel + QStringLiteral(": ") + b.text + QLatin1Char('\n');
    return s;
}

} // namespace kdtest
