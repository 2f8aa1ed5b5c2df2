// The about box: its texts, the home page button with a browser and without one, OK,
// and its opening from the logo of the main window.
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "gui/app/DlgFormelSamml.h"
#include "gui/dialogs/DlgFormelsammlInfo.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::Meldungen;
using kd::TDlgFormelsammlInfo;
using kdtest::FakeMeldungen;

class TestInfo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void texteUndGroesse() {
        FakeMeldungen boxen;
        TDlgFormelsammlInfo d(&boxen);
        QCOMPARE(d.windowTitle(), QStringLiteral("Info"));
        QCOMPARE(d.size(), QSize(TDlgFormelsammlInfo::ClientBreite, TDlgFormelsammlInfo::ClientHoehe));
        QCOMPARE(d.Label1->text(), QStringLiteral("Formelsammlung"));
        QCOMPARE(d.Button1->text(), TDlgFormelsammlInfo::Adresse());
        QCOMPARE(d.BitBtn1->text(), QStringLiteral("OK"));
        QVERIFY(!d.Image1->pixmap().isNull());
        QCOMPARE(TDlgFormelsammlInfo::Heimatseite().host(), TDlgFormelsammlInfo::Adresse());
        QCOMPARE(TDlgFormelsammlInfo::Heimatseite().scheme(), QStringLiteral("https"));
        // Our own maker, and the notice line carries a year.
        QVERIFY(!d.Label2->text().isEmpty() && !d.Label3->text().isEmpty());
        QVERIFY(QRegularExpression(QStringLiteral("20\\d\\d")).match(d.Label5->text()).hasMatch());

        // Every control lies inside the client area and no two overlap.
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QList<QWidget*> teile = {d.Image1, d.Label1, d.Label2, d.Label3, d.Label4,
                                      d.Label5, d.Button1, d.BitBtn1};
        for (QWidget* a : teile) {
            QVERIFY2(d.rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget* b : teile)
                if (a != b)
                    QVERIFY2(!a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + " " + b->objectName()));
        }
        // The address is readable on its button.
        QVERIFY(d.Button1->fontMetrics().horizontalAdvance(d.Button1->text()) + 12 <= d.Button1->width());
        const QString png = QDir::temp().filePath(QStringLiteral("kdformel-info.png"));
        QVERIFY(d.grab().save(png));
    }

    void wwwOeffnetDieHeimatseite() {
        FakeMeldungen boxen;
        TDlgFormelsammlInfo d(&boxen);
        QList<QUrl> geoeffnet;
        d.SetUrlOeffner([&](const QUrl& u) {
            geoeffnet << u;
            return true;
        });
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        QCOMPARE(geoeffnet, QList<QUrl>{TDlgFormelsammlInfo::Heimatseite()});
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
    }

    void ohneBrowserKommtDieMeldung() {
        FakeMeldungen boxen;
        TDlgFormelsammlInfo d(&boxen);
        int versuche = 0;
        d.SetUrlOeffner([&](const QUrl&) {
            ++versuche;
            return false;
        });
        d.WWWClick();
        QCOMPARE(versuche, 1);
        QCOMPARE(int(boxen.gezeigt.size()), 1);
        const auto& box = boxen.gezeigt[0];
        QCOMPARE(box.text, QStringLiteral("Internet-Browser nicht gefunden! \u00D6ffnen Sie diesen und geben "
                                          "\"www.kaldora.example\" ein"));
        QCOMPARE(box.tasten, Meldungen::Tasten::Ok);
        QCOMPARE(box.symbol, Meldungen::Symbol::Keins);
        QCOMPARE(box.titel, QStringLiteral("KALDORA Formelsammlung"));
        QVERIFY(!d.isHidden() || !d.result());  // the box does not close the dialog
    }

    void okSchliesst() {
        FakeMeldungen boxen;
        TDlgFormelsammlInfo d(&boxen);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        QVERIFY(d.isHidden());
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void dasLogoDesHauptfenstersOeffnetInfo() {
        kdtest::TestOrdner ordner;
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QString titel;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            QWidget* m = QApplication::activeModalWidget();
            if (auto* d = qobject_cast<TDlgFormelsammlInfo*>(m)) {
                titel = d->windowTitle();
                modal = d->isModal();
                d->BitBtn1->click();
            } else if (m) {
                m->close();
            }
        });
        QTest::mouseClick(w->Image1, Qt::LeftButton);
        QCOMPARE(titel, QStringLiteral("Info"));
        QVERIFY(modal);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestInfo)
#include "tst_info.moc"
