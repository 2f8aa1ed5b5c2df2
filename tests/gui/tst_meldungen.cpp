// The message boxes: the real QMessageBox implementation with German buttons, the
// standard boxes of the program, and the scripted boxes the other tests use.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "core/Errors.h"
#include "gui/platform/Meldungen.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::Meldungen;
using kdtest::FakeMeldungen;

namespace {

struct Gesehen {
    QString titel;
    QString text;
    QMessageBox::Icon symbol = QMessageBox::NoIcon;
    QStringList knoepfe;
    bool gefunden = false;
};

// Once the box is open: records what it shows and presses the button `druecke`.
void BeantworteBox(Gesehen& g, const QString& druecke) {
    QTimer::singleShot(0, [&g, druecke] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        g.gefunden = true;
        g.titel = box->windowTitle();
        g.text = box->text();
        g.symbol = box->icon();
        QAbstractButton* ziel = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            g.knoepfe << b->text();
            if (b->text() == druecke) ziel = b;
        }
        if (ziel) ziel->click();
        else box->reject();
    });
}

} // namespace

class TestMeldungen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void frageMitJaNeinAbbrechen() {
        kd::QtMeldungen m;
        struct Fall {
            const char* knopf;
            Meldungen::Antwort antwort;
        };
        for (const Fall& f : {Fall{"Ja", Meldungen::Antwort::Ja}, Fall{"Nein", Meldungen::Antwort::Nein},
                              Fall{"Abbrechen", Meldungen::Antwort::Abbrechen},
                              Fall{"", Meldungen::Antwort::Abbrechen}}) {
            Gesehen g;
            BeantworteBox(g, QString::fromLatin1(f.knopf));
            const Meldungen::Antwort a = m.Frage(QStringLiteral("Änderungen speichern?"));
            QVERIFY(g.gefunden);
            QCOMPARE(g.titel, QStringLiteral("Achtung"));
            QCOMPARE(g.text, QStringLiteral("Änderungen speichern?"));
            QCOMPARE(g.symbol, QMessageBox::Warning);
            QCOMPARE(g.knoepfe.size(), 3);
            QVERIFY(g.knoepfe.contains("Ja"));
            QVERIFY(g.knoepfe.contains("Nein"));
            QVERIFY(g.knoepfe.contains("Abbrechen"));
            QVERIFY2(a == f.antwort, f.knopf);
        }
    }

    void gefahrFrageHatNeinAlsVorgabe() {
        // A question whose Ja destroys: Enter answers Nein; the ordinary question keeps Ja
        // as its default.
        kd::QtMeldungen m;
        struct Fall {
            bool gefahr;
            const char* vorgabe;
            Meldungen::Antwort antwort;
        };
        for (const Fall& f : {Fall{true, "Nein", Meldungen::Antwort::Nein},
                              Fall{false, "Ja", Meldungen::Antwort::Ja}}) {
            QString vorgabe;
            QTimer::singleShot(0, [&vorgabe] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                if (box->defaultButton()) vorgabe = box->defaultButton()->text();
                QTest::keyClick(box, Qt::Key_Return);
            });
            const Meldungen::Antwort a = f.gefahr ? m.GefahrFrage(QStringLiteral("Formel wirklich löschen?"))
                                                  : m.Frage(QStringLiteral("Änderungen speichern?"));
            QCOMPARE(vorgabe, QString::fromLatin1(f.vorgabe));
            QVERIFY2(a == f.antwort, f.vorgabe);
        }
    }

    void fehlerBerechnungUndDateifehler() {
        kd::QtMeldungen m;
        Gesehen g;
        BeantworteBox(g, "OK");
        m.Fehler(QStringLiteral("Ungültige Zahl"));
        QCOMPARE(g.titel, QStringLiteral("Fehler"));
        QCOMPARE(g.symbol, QMessageBox::Critical);
        QCOMPARE(g.knoepfe, QStringList{"OK"});

        Gesehen b;
        BeantworteBox(b, "OK");
        m.Berechnung(QStringLiteral("y = 4"));
        QCOMPARE(b.titel, QStringLiteral("Berechnung"));
        QCOMPARE(b.symbol, QMessageBox::NoIcon);
        QCOMPARE(b.text, QStringLiteral("y = 4"));

        // A library error carries Windows-1252 text.
        Gesehen d;
        BeantworteBox(d, "OK");
        m.DateiFehler(kd::FileError("Die Datei \"Gr\xF6\xDF" "en.pqb\" ist besch\xE4" "digt."));
        QCOMPARE(d.titel, QStringLiteral("KALDORA Formelsammlung"));
        QCOMPARE(d.symbol, QMessageBox::Critical);
        QCOMPARE(d.text, QStringLiteral("Die Datei \"Größen.pqb\" ist beschädigt."));
        QCOMPARE(d.knoepfe, QStringList{"OK"});
    }

    void geschriebeneAntworten() {
        FakeMeldungen f;
        f.Antworte({Meldungen::Antwort::Nein, Meldungen::Antwort::Ja});
        f.Warnung(QStringLiteral("Keine Übereinstimmung gefunden"));  // takes no answer
        QVERIFY(f.Frage("eins") == Meldungen::Antwort::Nein);
        QVERIFY(f.Frage("zwei") == Meldungen::Antwort::Ja);
        QVERIFY(f.Frage("drei") == Meldungen::Antwort::Abbrechen);
        QCOMPARE(f.ohneAntwort, 1);
        QCOMPARE(f.gezeigt.size(), std::size_t(4));
        QCOMPARE(f.gezeigt[0].titel, QStringLiteral("Achtung"));
        QVERIFY(f.gezeigt[0].tasten == Meldungen::Tasten::Ok);
        QVERIFY(f.gezeigt[0].antwort == Meldungen::Antwort::Ok);
        QCOMPARE(f.gezeigt[2].text, QStringLiteral("zwei"));
    }
};

QTEST_MAIN(TestMeldungen)
#include "tst_meldungen.moc"
