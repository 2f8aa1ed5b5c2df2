// The help window: contents and the constants topic, one window for all calls, its
// place above a modal dialog, the help button of the main window, and the pages
// themselves (every link resolves, every page is reachable from the contents).
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "gui/app/DlgFormelSamml.h"
#include "gui/dialogs/DlgKonstante.h"
#include "gui/dialogs/DlgSymbol.h"
#include "gui/dialogs/Hilfe.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::THilfe;

namespace {

QString Text(const QString& url) {
    QFile f(QUrl(url).path().prepend(u':'));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

QString Seite(const THilfe* h) { return h->Browser->source().fileName(); }

void SchliesseHilfe() {
    if (THilfe* h = kd::OffeneHilfe()) {
        h->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace

class TestHilfe : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }
    void cleanup() { SchliesseHilfe(); }

    void themenOeffnenIhreSeite_data() {
        QTest::addColumn<int>("thema");
        QTest::addColumn<QString>("seite");
        QTest::addColumn<QString>("ueberschrift");
        QTest::newRow("contents") << 0 << "index.html" << "Inhalt";
        QTest::newRow("constants") << 250 << "konstanten.html" << "Konstanten";
        QTest::newRow("formula dialog") << 200 << "formeleingabe.html" << "Formeln eingeben und bearbeiten";
        QTest::newRow("unknown") << 4711 << "index.html" << "Inhalt";
        QTest::newRow("negative") << -1 << "index.html" << "Inhalt";
    }
    void themenOeffnenIhreSeite() {
        QFETCH(int, thema);
        QFETCH(QString, seite);
        QFETCH(QString, ueberschrift);
        THilfe* h = kd::HilfeZeigen(thema);
        QVERIFY(h);
        QVERIFY(h->isVisible());
        QCOMPARE(Seite(h), seite);
        QCOMPARE(h->Browser->documentTitle(), ueberschrift);
        QVERIFY(h->windowTitle().startsWith(ueberschrift));
        QVERIFY(!h->Browser->toPlainText().trimmed().isEmpty());
    }

    void einFensterFuerAlleAufrufe() {
        THilfe* a = kd::HilfeZeigen(THilfe::ThemaInhalt);
        THilfe* b = kd::HilfeZeigen(THilfe::ThemaKonstanten);
        QCOMPARE(a, b);
        QCOMPARE(Seite(b), QStringLiteral("konstanten.html"));
        // Back and forward walk the pages read.
        QVERIFY(b->Zurueck->isEnabled());
        b->Zurueck->click();
        QCOMPARE(Seite(b), QStringLiteral("index.html"));
        QVERIFY(b->Vor->isEnabled());
        b->Vor->click();
        QCOMPARE(Seite(b), QStringLiteral("konstanten.html"));
        b->Inhalt->click();
        QCOMPARE(Seite(b), QStringLiteral("index.html"));

        // Closed, it is freed; the next call makes a new one.
        QPointer<THilfe> alt = b;
        SchliesseHilfe();
        QVERIFY(alt.isNull());
        QVERIFY(!kd::OffeneHilfe());
        QVERIFY(kd::HilfeZeigen(0));
        // An open help window does not keep the program running.
        QVERIFY(!kd::OffeneHilfe()->testAttribute(Qt::WA_QuitOnClose));
    }

    void ueberEinemModalenDialog() {
        THilfe* vorher = kd::HilfeZeigen(0);  // open before the dialog
        QDialog d;
        QWidget* eltern = reinterpret_cast<QWidget*>(1);
        QTimer::singleShot(0, &d, [&] {
            THilfe* h = kd::HilfeZeigen(THilfe::ThemaKonstanten);
            eltern = h->parentWidget();
            d.reject();
        });
        d.exec();
        QCOMPARE(eltern, &d);  // owned by the modal dialog, so it takes input
        QCOMPARE(kd::OffeneHilfe(), vorher);
        // Without a modal dialog the window is on its own again.
        THilfe* h = kd::HilfeZeigen(0);
        QCOMPARE(h->parentWidget(), nullptr);
    }

    void derHilfeknopfDesHauptfensters() {
        kdtest::TestOrdner ordner;
        kdtest::FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::mouseClick(w->SpeedButton5, Qt::LeftButton);
        THilfe* h = kd::OffeneHilfe();
        QVERIFY(h);
        QCOMPARE(Seite(h), QStringLiteral("index.html"));
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
    }

    void derHilfeknopfDesKonstantendialogs() {
        kdtest::FakeMeldungen boxen;
        kd::TDlgKonstante d(&boxen);
        connect(&d, &kd::TDlgKonstante::Hilfe, &d, [](int t) { kd::HilfeZeigen(t); });
        d.HelpBtn->click();
        QVERIFY(kd::OffeneHilfe());
        QCOMPARE(Seite(kd::OffeneHilfe()), QStringLiteral("konstanten.html"));
    }

    void jederVerweisFuehrtZuEinerSeite() {
        const QStringList seiten = THilfe::Seiten();
        QVERIFY(seiten.size() >= 10);
        QSet<QString> namen;
        for (const QString& s : seiten) namen.insert(QUrl(s).fileName());
        QVERIFY(namen.contains(QStringLiteral("index.html")));
        QVERIFY(namen.contains(QStringLiteral("konstanten.html")));

        const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
        const QRegularExpression anker(QStringLiteral("id=\"([^\"]+)\""));
        QSet<QString> erreicht{QStringLiteral("index.html")};
        QStringList offen{QStringLiteral("index.html")};
        int verweise = 0;
        while (!offen.isEmpty()) {
            const QString seite = offen.takeFirst();
            const QString text = Text(QStringLiteral("qrc:/hilfe/") + seite);
            QVERIFY2(!text.isEmpty(), qPrintable(seite));
            QVERIFY2(text.contains(QStringLiteral("<title>")), qPrintable(seite));
            for (auto it = href.globalMatch(text); it.hasNext();) {
                const QString ziel = it.next().captured(1);
                ++verweise;
                QVERIFY2(!ziel.isEmpty(), qPrintable(seite));
                if (ziel.startsWith(QStringLiteral("http"))) continue;
                const QString datei = ziel.section(u'#', 0, 0);
                const QString marke = ziel.section(u'#', 1);
                const QString zielSeite = datei.isEmpty() ? seite : datei;
                QVERIFY2(namen.contains(zielSeite), qPrintable(seite + " -> " + ziel));
                if (!marke.isEmpty()) {
                    QSet<QString> marken;
                    const QString zielText = Text(QStringLiteral("qrc:/hilfe/") + zielSeite);
                    for (auto m = anker.globalMatch(zielText); m.hasNext();) marken.insert(m.next().captured(1));
                    QVERIFY2(marken.contains(marke), qPrintable(seite + " -> " + ziel));
                }
                if (!erreicht.contains(zielSeite)) {
                    erreicht.insert(zielSeite);
                    offen << zielSeite;
                }
            }
        }
        QVERIFY(verweise > 50);
        QCOMPARE(erreicht, namen);  // no page is an orphan

        // The browser follows a link inside the help.
        THilfe* h = kd::HilfeZeigen(0);
        h->ZeigeSeite(QUrl(QStringLiteral("qrc:/hilfe/notation.html#summe")));
        QCOMPARE(Seite(h), QStringLiteral("notation.html"));
        QCOMPARE(h->Browser->documentTitle(), QStringLiteral("Die Formelschreibweise"));
    }

    void dieHilfeNenntJedenBefehlDesHauptfensters() {
        kdtest::TestOrdner ordner;
        kdtest::FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        QString alles;
        for (const QString& s : THilfe::Seiten()) alles += Text(s);
        alles.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        QStringList fehlt;
        for (QToolButton* k : w->findChildren<QToolButton*>()) {
            const QString hinweis = k->toolTip();
            if (!hinweis.isEmpty() && !alles.contains(hinweis)) fehlt << hinweis;
        }
        for (QAction* a : w->PopupMenu1->actions()) {
            QString text = a->text().remove(u'&');
            if (!a->isSeparator() && !alles.contains(text)) fehlt << text;
        }
        QVERIFY2(fehlt.isEmpty(), qPrintable(fehlt.join(QStringLiteral(", "))));
    }

    void bildschirmfoto() {
        THilfe* h = kd::HilfeZeigen(0);
        h->resize(760, 600);
        QVERIFY(QTest::qWaitForWindowExposed(h));
        QVERIFY(h->grab().save(QDir::temp().filePath(QStringLiteral("kdformel-hilfe.png"))));
        h->ZeigeSeite(QUrl(QStringLiteral("qrc:/hilfe/notation.html")));
        QVERIFY(h->grab().save(QDir::temp().filePath(QStringLiteral("kdformel-hilfe-notation.png"))));
        kd::HilfeZeigen(THilfe::ThemaKonstanten);
        QVERIFY(h->grab().save(QDir::temp().filePath(QStringLiteral("kdformel-hilfe-konstanten.png"))));
    }
};

QTEST_MAIN(TestHilfe)
#include "tst_hilfe.moc"
