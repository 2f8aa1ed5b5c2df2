#include "gui/dialogs/Hilfe.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

// The pages live in a static library: their resource initialiser has to be called.
static void InitHilfeRessourcen() { Q_INIT_RESOURCE(hilfe); }

namespace kd {

namespace {

QPointer<THilfe> g_hilfe;

const char kStil[] =
    "body { font-family: 'DejaVu Sans', 'Liberation Sans', sans-serif; font-size: 10pt; }"
    "h1 { font-size: 15pt; color: #1a3d6e; }"
    "h2 { font-size: 12pt; color: #1a3d6e; margin-top: 14px; }"
    "h3 { font-size: 10pt; color: #1a3d6e; }"
    "code, .f { font-family: 'DejaVu Sans Mono', monospace; color: #7a2e00; }"
    "table { border-collapse: collapse; }"
    "th { background: #e3ecf6; text-align: left; }"
    "td, th { padding: 3px 6px; border: 1px solid #b9c7d6; }"
    ".navi { color: #455a64; }";

void Ressourcen() {
    static const bool einmal = (InitHilfeRessourcen(), true);
    (void)einmal;
}

QToolButton* Knopf(QWidget* eltern, const char* name, const QString& text, const QString& tipp) {
    auto* k = new QToolButton(eltern);
    k->setObjectName(QString::fromLatin1(name));
    k->setText(text);
    k->setToolTip(tipp);
    k->setAccessibleName(tipp.isEmpty() ? text : tipp);
    k->setToolButtonStyle(Qt::ToolButtonTextOnly);
    k->setAutoRaise(true);
    return k;
}

} // namespace

THilfe::THilfe(QWidget* eltern) : QWidget(eltern, Qt::Window) {
    Ressourcen();
    setObjectName(QStringLiteral("Hilfe"));
    setAttribute(Qt::WA_DeleteOnClose);
    // An open help window does not keep the program running after the main window closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 600);

    Inhalt = Knopf(this, "Inhalt", QStringLiteral("Inhalt"), QStringLiteral("Inhaltsverzeichnis der Hilfe"));
    Zurueck = Knopf(this, "Zurueck", QStringLiteral("\u25C0 Zur\u00FCck"), QStringLiteral("Vorige Seite (Alt+Links)"));
    Vor = Knopf(this, "Vor", QStringLiteral("Vor \u25B6"), QStringLiteral("N\u00E4chste Seite (Alt+Rechts)"));
    Zurueck->setEnabled(false);
    Vor->setEnabled(false);

    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenExternalLinks(true);
    Browser->document()->setDefaultStyleSheet(QString::fromLatin1(kStil));
    Browser->setSearchPaths({QStringLiteral(":/hilfe")});
    Browser->document()->setDocumentMargin(12);

    auto* leiste = new QHBoxLayout;
    leiste->setContentsMargins(4, 2, 4, 2);
    leiste->addWidget(Inhalt);
    leiste->addWidget(Zurueck);
    leiste->addWidget(Vor);
    leiste->addStretch(1);
    auto* spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->setSpacing(0);
    spalte->addLayout(leiste);
    spalte->addWidget(Browser, 1);

    connect(Inhalt, &QToolButton::clicked, this, [this] { ZeigeThema(ThemaInhalt); });
    connect(Zurueck, &QToolButton::clicked, Browser, &QTextBrowser::backward);
    connect(Vor, &QToolButton::clicked, Browser, &QTextBrowser::forward);
    connect(Browser, &QTextBrowser::backwardAvailable, Zurueck, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, Vor, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::sourceChanged, this, &THilfe::TitelSetzen);
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

QUrl THilfe::ThemaUrl(int thema) {
    switch (thema) {
    case ThemaKonstanten: return QUrl(QStringLiteral("qrc:/hilfe/konstanten.html"));
    case ThemaFormeleingabe: return QUrl(QStringLiteral("qrc:/hilfe/formeleingabe.html"));
    default: return QUrl(QStringLiteral("qrc:/hilfe/index.html"));
    }
}

QStringList THilfe::Seiten() {
    Ressourcen();
    QStringList seiten;
    const QStringList namen =
        QDir(QStringLiteral(":/hilfe")).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    for (const QString& n : namen) seiten << QStringLiteral("qrc:/hilfe/") + n;
    return seiten;
}

void THilfe::ZeigeThema(int thema) { ZeigeSeite(ThemaUrl(thema)); }

void THilfe::ZeigeSeite(const QUrl& url) {
    Browser->setSource(url);
    TitelSetzen();
}

void THilfe::TitelSetzen() {
    const QString seite = Browser->documentTitle();
    setWindowTitle(seite.isEmpty() ? QStringLiteral("Hilfe \u2013 KALDORA Formelsammlung")
                                   : seite + QStringLiteral(" \u2013 Hilfe zur KALDORA Formelsammlung"));
}

THilfe* OffeneHilfe() { return g_hilfe.data(); }

THilfe* HilfeZeigen(int thema) {
    QWidget* modal = QApplication::activeModalWidget();
    if (g_hilfe && g_hilfe->parentWidget() != modal) {
        const QRect platz = g_hilfe->geometry();
        g_hilfe->setParent(modal, Qt::Window);
        g_hilfe->setGeometry(platz);
    }
    if (!g_hilfe) g_hilfe = new THilfe(modal);
    g_hilfe->ZeigeThema(thema);
    g_hilfe->show();
    g_hilfe->raise();
    g_hilfe->activateWindow();
    return g_hilfe.data();
}

} // namespace kd
