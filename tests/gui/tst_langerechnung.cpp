// A long computation in the main window: after half a second a progress box with
// "Abbrechen" shows, the window goes on painting, and "Abbrechen" ends the computation
// (which would run for about ten minutes) without a result box. A second window on the
// same library folder is warned.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

#include "gui/app/DlgFormelSamml.h"
#include "gui/dialogs/DlgEingabe.h"
#include "helpers/BeiModal.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::TDlgEingabe;
using kd::TDlgFormelSamml;
using kdtest::Bibliothek;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

using kdtest::BeiModal;

class TestLangeRechnung : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void fortschrittMitAbbrechen() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", Bibliothek({"y=SUMME(i=1;n;SUMME(j=1;n;17*ATN(SIN(j))+1))"}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));

        BeiModal<TDlgEingabe> maske([](TDlgEingabe& d) {
            d.Edits[0]->setText("65534");
            d.BitBtn1->click();
        });
        // While the box is open the window still gets its paint events.
        int gemalt = 0;
        struct Maler : QObject {
            int* n;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) ++*n;
                return false;
            }
        } maler;
        maler.n = &gemalt;
        w->PaintBox1->installEventFilter(&maler);

        QString text, knopf, titel;
        int gemaltVorher = -1;
        QElapsedTimer seitAbbruch;
        BeiModal<QProgressDialog> fortschritt([&](QProgressDialog& d) {
            text = d.labelText();
            titel = d.windowTitle();
            auto* k = d.findChild<QPushButton*>();
            if (k) knopf = k->text();
            // The window is asked to paint and does so while the computation runs.
            gemaltVorher = gemalt;
            w->PaintBox1->update();
            QTimer::singleShot(0, &d, [&d, k, &seitAbbruch] {
                seitAbbruch.start();
                if (k) QTest::mouseClick(k, Qt::LeftButton);
                else d.cancel();
            });
        });
        QElapsedTimer rechnung;
        rechnung.start();
        QTest::mouseClick(w->SpeedBerechnen, Qt::LeftButton);
        const qint64 nachAbbruch = seitAbbruch.isValid() ? seitAbbruch.elapsed() : -1;
        QCOMPARE(maske.geoeffnet, 1);
        QCOMPARE(fortschritt.geoeffnet, 1);
        QCOMPARE(titel, QStringLiteral("Berechnung"));
        QCOMPARE(text, QStringLiteral("Die Formel wird berechnet …"));
        QCOMPARE(knopf, QStringLiteral("Abbrechen"));
        QVERIFY2(gemalt > gemaltVorher, qPrintable(QStringLiteral("%1 %2").arg(gemalt).arg(gemaltVorher)));
        // Cancelled: no result box, and the window is free again.
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
        QVERIFY(!QApplication::activeModalWidget());
        qInfo("computation stopped %lld ms after Abbrechen (%lld ms in all)", nachAbbruch,
              rechnung.elapsed());

        // A short computation shows no box and gives its result.
        ordner.Schreibe("Alpha.pqb", Bibliothek({"y=SUMME(i=1;n;SUMME(j=1;n;j))"}));
        w.reset();
        w = kdtest::NeuesFenster(boxen);
        w->Start();
        BeiModal<TDlgEingabe> maske2([](TDlgEingabe& d) {
            d.Edits[0]->setText("300");
            d.BitBtn1->click();
        });
        QTest::mouseClick(w->SpeedBerechnen, Qt::LeftButton);
        QCOMPARE(int(boxen.gezeigt.size()), 1);
        QCOMPARE(boxen.gezeigt[0].text, QStringLiteral("Ergebnis: f( 300 )=13545000"));
    }

    void zweitesFensterAufDemselbenOrdnerWirdGewarnt() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", Bibliothek({"y=1"}));
        FakeMeldungen boxen1, boxen2;
        auto w1 = kdtest::NeuesFenster(boxen1);
        w1->Start();
        QVERIFY2(boxen1.gezeigt.empty(), qPrintable(boxen1.Protokoll()));
        auto w2 = kdtest::NeuesFenster(boxen2);
        w2->Start();
        QCOMPARE(int(boxen2.gezeigt.size()), 1);
        QCOMPARE(boxen2.gezeigt[0].titel, QStringLiteral("Achtung"));
        QVERIFY(boxen2.gezeigt[0].text.contains(QStringLiteral("bereits in einem anderen Fenster")));
        // Once the first window is gone, a new one is not warned.
        w2.reset();
        w1.reset();
        FakeMeldungen boxen3;
        auto w3 = kdtest::NeuesFenster(boxen3);
        w3->Start();
        QVERIFY2(boxen3.gezeigt.empty(), qPrintable(boxen3.Protokoll()));
    }
};

QTEST_MAIN(TestLangeRechnung)
#include "tst_langerechnung.moc"
