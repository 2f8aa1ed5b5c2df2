#pragma once
// The about box "Info": the logo, the program's name, who makes it, the notice line,
// OK, and a button with the home page address that opens it in the browser.
#include <QDialog>
#include <QUrl>

#include <functional>
#include <memory>

#include "gui/platform/Meldungen.h"

class QLabel;
class QPushButton;

namespace kd {

class TDlgFormelsammlInfo : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientBreite = 316;
    static constexpr int ClientHoehe = 215;

    // Opens a URL in the user's browser; true when a browser took it.
    using UrlOeffner = std::function<bool(const QUrl&)>;

    // `meldungen` answers the message boxes (not owned; nullptr: real boxes).
    explicit TDlgFormelsammlInfo(Meldungen* meldungen = nullptr, QWidget* eltern = nullptr);
    ~TDlgFormelsammlInfo() override;

    // The home page as shown on Button1 and as opened.
    static QString Adresse();
    static QUrl Heimatseite();
    // The message when no browser takes the address.
    static QString BrowserFehlt();

    // Replaces QDesktopServices::openUrl (tests).
    void SetUrlOeffner(UrlOeffner oeffner) { oeffner_ = std::move(oeffner); }

    // --- controls ---
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;  // "Formelsammlung"
    QLabel* Label2 = nullptr;  // maker, first line
    QLabel* Label3 = nullptr;  // maker, second line
    QLabel* Label4 = nullptr;  // version
    QLabel* Label5 = nullptr;  // notice and year
    QPushButton* BitBtn1 = nullptr;  // OK
    QPushButton* Button1 = nullptr;  // the home page address

public slots:
    void WWWClick();

private:
    std::unique_ptr<QtMeldungen> eigeneMeldungen_;
    Meldungen* meldungen_;
    UrlOeffner oeffner_;
};

} // namespace kd
