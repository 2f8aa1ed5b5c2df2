#pragma once
// The help: German HTML pages compiled into the program (qrc:/hilfe/), shown in one
// help window with "Inhalt", "Zurück" and "Vor". Other windows ask for a topic by number,
// as the old help file was asked: 0 the contents, 200 the formula entry, 250 the
// constants.
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace kd {

class THilfe : public QWidget {
    Q_OBJECT
public:
    static constexpr int ThemaInhalt = 0;
    static constexpr int ThemaFormeleingabe = 200;
    static constexpr int ThemaKonstanten = 250;

    explicit THilfe(QWidget* eltern = nullptr);

    // The page of a topic; an unknown topic gives the contents.
    static QUrl ThemaUrl(int thema);
    // Every page of the help, as qrc URLs.
    static QStringList Seiten();

    void ZeigeThema(int thema);
    void ZeigeSeite(const QUrl& url);

    QTextBrowser* Browser = nullptr;
    QToolButton* Inhalt = nullptr;
    QToolButton* Zurueck = nullptr;
    QToolButton* Vor = nullptr;

private:
    void TitelSetzen();
};

// Shows the help window at `thema`, creating it on the first call. While a modal dialog
// is open the window belongs to that dialog, so it takes input above it.
THilfe* HilfeZeigen(int thema);
// The open help window, null when none.
THilfe* OffeneHilfe();

} // namespace kd
