// The formula collection window at work: start-up, the library list, new libraries
// and closing, driven through the real widgets.
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include "gui/app/DlgFormelSamml.h"
#include "gui/app/FormelSeite.h"
#include "gui/dialogs/DlgFormel.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::Meldungen;
using kd::TDlgFormelSamml;
using kdtest::Bibliothek;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

namespace {

QStringList Liste(const TDlgFormelSamml& w) {
    QStringList l;
    for (int i = 0; i < w.ListBox1->count(); ++i) l << w.ListBox1->item(i)->text();
    return l;
}

void KlickeListe(TDlgFormelSamml& w, int zeile) {
    QListWidget* l = w.ListBox1;
    const QRect r = l->visualItemRect(l->item(zeile));
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
}

// Types text with any characters (QTest::keyClicks knows only ASCII).
void Tippe(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent druck(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent los(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &druck);
        QApplication::sendEvent(w, &los);
    }
}

void Zeige(TDlgFormelSamml& w) {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

const QByteArray kA = Bibliothek({"a=b+c", "\xC4=1"});  // "Ä=1" in Windows-1252
const QByteArray kB = Bibliothek({"x=y^2;z=SUMME(i=1;n;i)"});

} // namespace

class TestHauptfenster : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void startOhneBibliothekLegtBibliothek1An() {
        TestOrdner ordner;
        QVERIFY(ordner.Gueltig());
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        QVERIFY(w->Gestartet());

        QVERIFY(ordner.Existiert("Bibliothek1.pqb"));
        QCOMPARE(ordner.Lies("Bibliothek1.pqb"), QByteArray(4, '\0'));
        QCOMPARE(Liste(*w), QStringList{"Bibliothek1"});
        QCOMPARE(w->ListBox1->currentRow(), 0);
        QCOMPARE(w->Sammlung().AktFormel, -1);
        QVERIFY(w->RichEdit1->toPlainText().isEmpty());
        QVERIFY(w->Edit1->isHidden());
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
    }

    void startZeigtBibliothekenUndErsteFormel() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        ordner.Schreibe("Beta.pqb", kB);
        ordner.Schreibe(".Versteckt.pqb", kB);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();

        QCOMPARE(Liste(*w), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(w->ListBox1->currentRow(), 0);
        QCOMPARE(w->Sammlung().AktFormel, 0);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("a=b+c"));
        QVERIFY(!ordner.Existiert("Bibliothek1.pqb"));
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));

        // The keys of the text line move the selection; Windows-1252 text is shown
        // as Unicode.
        QTest::keyClick(w->RichEdit1, Qt::Key_Down);
        QCOMPARE(w->Sammlung().AktFormel, 1);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("Ä=1"));
        QTest::keyClick(w->RichEdit1, Qt::Key_Down);
        QCOMPARE(w->Sammlung().AktFormel, 1);
        QTest::keyClick(w->RichEdit1, Qt::Key_Home);
        QCOMPARE(w->Sammlung().AktFormel, 0);
        // Typed characters do not change the text.
        QTest::keyClicks(w->RichEdit1, "qq");
        QTest::keyClick(w->RichEdit1, Qt::Key_Backspace);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("a=b+c"));
    }

    void startBeiErsterAktivierung() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        // The first activation starts the window by itself.
        w->show();
        w->activateWindow();
        QTRY_VERIFY(w->Gestartet());
        QCOMPARE(Liste(*w), QStringList{"Alpha"});
        w->Start();  // does nothing the second time
        QCOMPARE(Liste(*w), QStringList{"Alpha"});
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("a=b+c"));
    }

    void klickSpeichertUndSchiebtNachOben() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        ordner.Schreibe("Beta.pqb", kB);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);
        w->CScrollBox1->verticalScrollBar()->setValue(50);

        // The library left is written even when unchanged: spoil its file first.
        ordner.Schreibe("Alpha.pqb", "kaputt");
        KlickeListe(*w, 1);

        QCOMPARE(ordner.Lies("Alpha.pqb"), kA);
        QCOMPARE(ordner.Lies("Beta.pqb"), kB);
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Alpha"}));
        QCOMPARE(w->ListBox1->currentRow(), 0);
        QCOMPARE(w->Sammlung().AktBibliothek, 0);
        QCOMPARE(w->Sammlung().AktFormel, 0);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("x=y^2;z=SUMME(i=1;n;i)"));
        QCOMPARE(w->CScrollBox1->verticalScrollBar()->value(), 0);

        // A press dragged to another entry takes nothing.
        QListWidget* l = w->ListBox1;
        QTest::mousePress(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(1)).center());
        QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(0)).center());
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Alpha"}));
        QCOMPARE(l->currentRow(), 0);

        // A double click takes the entry once.
        // (As a window system delivers it: press, release, press, double click, release.)
        const QPoint p = l->visualItemRect(l->item(1)).center();
        QTest::mousePress(l->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, p);
        QTest::mousePress(l->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, p);
        QCOMPARE(Liste(*w), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("a=b+c"));

        // And back again.
        KlickeListe(*w, 1);
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Alpha"}));
        KlickeListe(*w, 1);
        QCOMPARE(Liste(*w), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("a=b+c"));
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
    }

    void warteZeitVerarbeitetEreignisse() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        ordner.Schreibe("Beta.pqb", kB);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);
        QCOMPARE(TDlgFormelSamml::StandardWartezeit, 200);
        w->SetWartezeit(40);
        bool gelaufen = false;
        QTimer::singleShot(5, [&] { gelaufen = true; });
        KlickeListe(*w, 1);
        // The timer ran during the wait after loading.
        QVERIFY(gelaufen);
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Alpha"}));
    }

    void tastenBewegenDieListeNicht() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        ordner.Schreibe("Beta.pqb", kB);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);
        w->ListBox1->setFocus();
        QTest::keyClick(w->ListBox1, Qt::Key_Down);
        QCOMPARE(w->ListBox1->currentRow(), 0);
        QCOMPARE(Liste(*w), (QStringList{"Alpha", "Beta"}));
        // ...but act on the formulas.
        QCOMPARE(w->Sammlung().AktFormel, 1);
    }

    void schliessenSchreibtReihenfolge() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        ordner.Schreibe("Beta.pqb", kB);
        ordner.Schreibe("Gamma.pqb", Bibliothek({}));
        {
            FakeMeldungen boxen;
            auto w = kdtest::NeuesFenster(boxen);
            w->Start();
            Zeige(*w);
            KlickeListe(*w, 2);
            KlickeListe(*w, 2);
            QCOMPARE(Liste(*w), (QStringList{"Beta", "Gamma", "Alpha"}));
            QVERIFY(w->close());
            QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
        }
        QCOMPARE(ordner.Lies("KDFormel.MFL"), QByteArray("Beta\r\nGamma\r\nAlpha\r\n"));

        // The next start takes that order and loads its first entry.
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Gamma", "Alpha"}));
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("x=y^2;z=SUMME(i=1;n;i)"));
    }

    void schliessenFragtNachAenderungen() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);
        w->Sammlung().FormelListe.DeleteItem(1);
        w->Sammlung().Geaendert = true;

        // Cancel keeps the window open and writes nothing.
        boxen.Antworte({Meldungen::Antwort::Abbrechen});
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt[0].titel, QStringLiteral("Achtung"));
        QCOMPARE(boxen.gezeigt[0].text, QStringLiteral("Änderungen speichern?"));
        QVERIFY(boxen.gezeigt[0].symbol == Meldungen::Symbol::Ausrufezeichen);
        QVERIFY(boxen.gezeigt[0].tasten == Meldungen::Tasten::JaNeinAbbrechen);
        QVERIFY(!ordner.Existiert("KDFormel.MFL"));
        QCOMPARE(ordner.Lies("Alpha.pqb"), kA);

        // Yes saves, then the order file is written.
        boxen.Antworte({Meldungen::Antwort::Ja});
        QVERIFY(w->close());
        QCOMPARE(ordner.Lies("Alpha.pqb"), Bibliothek({"a=b+c"}));
        QCOMPARE(ordner.Lies("KDFormel.MFL"), QByteArray("Alpha\r\n"));
    }

    void schliessenOhneSpeichern() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);
        w->Sammlung().FormelListe.DeleteItem(0);
        w->Sammlung().Geaendert = true;
        boxen.Antworte({Meldungen::Antwort::Nein});
        w->SpeedButton7->click();
        QVERIFY(!w->isVisible());
        QCOMPARE(ordner.Lies("Alpha.pqb"), kA);
        QCOMPARE(ordner.Lies("KDFormel.MFL"), QByteArray("Alpha\r\n"));
    }

    void neueBibliothekMitEnter() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        ordner.Schreibe("Bibliothek1.pqb", Bibliothek({}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);

        w->SpeedButton6->click();
        QVERIFY(w->Edit1->isVisible());
        QVERIFY(w->Edit1->hasFocus());
        QCOMPARE(w->Edit1->text(), QStringLiteral("Bibliothek2"));
        QVERIFY(w->Sammlung().NamensEingabe);
        QVERIFY(w->RichEdit1->toPlainText().isEmpty());

        // The proposal is selected: typing replaces it. A dot cuts the name.
        Tippe(w->Edit1, QStringLiteral("Größen.alt"));
        QCOMPARE(w->Edit1->text(), QStringLiteral("Größen.alt"));
        // Enter names the library and opens the new-formula dialog (cancelled here).
        bool formeldialog = false;
        QTimer::singleShot(0, [&formeldialog] {
            if (auto* d = qobject_cast<kd::TDlgFormel*>(QApplication::activeModalWidget())) {
                formeldialog = true;
                d->CancelBtnClick();
            }
        });
        QTest::keyClick(w->Edit1, Qt::Key_Return);
        QVERIFY(formeldialog);

        QVERIFY(w->Edit1->isHidden());
        QVERIFY(!w->Sammlung().NamensEingabe);
        QVERIFY(ordner.Existiert(QStringLiteral("Größen.pqb")));
        QCOMPARE(ordner.Lies(QStringLiteral("Größen.pqb")), QByteArray(4, '\0'));
        QCOMPARE(Liste(*w), (QStringList{QStringLiteral("Größen"), "Alpha", "Bibliothek1"}));
        QCOMPARE(w->ListBox1->currentRow(), 0);
        QCOMPARE(ordner.Lies("Alpha.pqb"), kA);
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
    }

    void neueBibliothekUeberschreibenAbgelehnt() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);

        w->SpeedButton6->click();
        w->Edit1->setText(QStringLiteral("Alpha"));
        boxen.Antworte({Meldungen::Antwort::Nein});
        QTest::keyClick(w->Edit1, Qt::Key_Enter);

        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt[0].titel, QStringLiteral("Achtung"));
        QCOMPARE(boxen.gezeigt[0].text,
                 QStringLiteral("Formelsammlung \"Alpha\" besteht bereits. Überschreiben?"));
        QVERIFY(boxen.gezeigt[0].symbol == Meldungen::Symbol::Ausrufezeichen);
        // Ja destroys the library: Nein is the default.
        QVERIFY(boxen.gezeigt[0].tasten == Meldungen::Tasten::JaNeinAbbrechenVorgabeNein);
        // The naming stays open; nothing is written.
        QVERIFY(w->Edit1->isVisible());
        QCOMPARE(w->Edit1->text(), QStringLiteral("Alpha"));
        QVERIFY(w->Sammlung().NamensEingabe);
        QCOMPARE(ordner.Lies("Alpha.pqb"), kA);
        QCOMPARE(Liste(*w), QStringList{"Alpha"});

        // Esc ends it and gives the library back.
        QTest::keyClick(w->Edit1, Qt::Key_Escape);
        QVERIFY(w->Edit1->isHidden());
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("a=b+c"));
    }

    void escBehaeltVorherigeBibliothek() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        ordner.Schreibe("Beta.pqb", kB);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);

        w->SpeedButton6->click();
        QVERIFY(w->Edit1->isVisible());
        QTest::keyClicks(w->Edit1, "Neu");
        QTest::keyClick(w->Edit1, Qt::Key_Escape);
        QVERIFY(w->Edit1->isHidden());
        QVERIFY(w->Edit1->text().isEmpty());
        QVERIFY(!w->Sammlung().NamensEingabe);
        QVERIFY(!ordner.Existiert("Neu.pqb"));
        QCOMPARE(Liste(*w), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("a=b+c"));
        QCOMPARE(w->Sammlung().FormelListe.Count(), 2);

        // Switching now saves Alpha with its formulas, not an empty list.
        KlickeListe(*w, 1);
        QCOMPARE(ordner.Lies("Alpha.pqb"), kA);
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Alpha"}));
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
    }

    void befehlBeendetOffeneBenennung() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);

        // The search does not finish the naming...
        w->SpeedButton6->click();
        // (the search dialog is cancelled)
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
        });
        w->SpeedButton1->click();
        QVERIFY(w->Sammlung().NamensEingabe);
        QVERIFY(w->Edit1->isVisible());
        // ...computing does.
        w->SpeedBerechnen->click();
        QVERIFY(!w->Sammlung().NamensEingabe);
        QVERIFY(w->Edit1->isHidden());
        QVERIFY(ordner.Existiert("Bibliothek1.pqb"));
        QCOMPARE(Liste(*w), (QStringList{"Bibliothek1", "Alpha"}));
        QCOMPARE(ordner.Lies("Alpha.pqb"), kA);
    }

    void klickInListeBeendetOffeneBenennung() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        ordner.Schreibe("Beta.pqb", kB);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);

        w->SpeedButton6->click();
        KlickeListe(*w, 1);  // Beta
        QVERIFY(w->Edit1->isHidden());
        QVERIFY(ordner.Existiert("Bibliothek1.pqb"));
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Bibliothek1", "Alpha"}));
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("x=y^2;z=SUMME(i=1;n;i)"));
        QCOMPARE(ordner.Lies("Alpha.pqb"), kA);
    }

    void leererNameWirdAbgelehnt() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);
        w->SpeedButton6->click();
        w->Edit1->setText(QStringLiteral(".pqb"));
        QTest::keyClick(w->Edit1, Qt::Key_Return);
        QVERIFY(w->Sammlung().NamensEingabe);
        QVERIFY(w->Edit1->isVisible());
        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt[0].titel, QStringLiteral("Fehler"));
        QVERIFY(boxen.gezeigt[0].symbol == Meldungen::Symbol::Stop);
        QVERIFY(!ordner.Existiert(".pqb"));

        // A character outside Windows-1252 is refused too.
        w->Edit1->setText(QStringLiteral("Ω-Sammlung"));
        QTest::keyClick(w->Edit1, Qt::Key_Return);
        QVERIFY(w->Sammlung().NamensEingabe);
        QCOMPARE(boxen.gezeigt.size(), std::size_t(2));
        QCOMPARE(boxen.gezeigt[1].titel, QStringLiteral("Fehler"));
    }

    void defekteBibliothekWirdGemeldet() {
        TestOrdner ordner;
        // Claims three records but holds one.
        QByteArray kaputt = Bibliothek({"a=1"});
        kaputt[0] = 3;
        ordner.Schreibe("Alpha.pqb", kaputt);
        ordner.Schreibe("Beta.pqb", kB);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();

        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt[0].titel, QStringLiteral("KALDORA Formelsammlung"));
        QVERIFY(boxen.gezeigt[0].symbol == Meldungen::Symbol::Stop);
        QVERIFY(boxen.gezeigt[0].tasten == Meldungen::Tasten::Ok);
        QVERIFY2(boxen.gezeigt[0].text.contains(QStringLiteral("Alpha")),
                 qPrintable(boxen.Protokoll()));
        // The record read before the damage is shown.
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("a=1"));

        // Switching away does not overwrite the damaged file with the part read.
        Zeige(*w);
        KlickeListe(*w, 1);
        QCOMPARE(ordner.Lies("Alpha.pqb"), kaputt);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("x=y^2;z=SUMME(i=1;n;i)"));
    }

    void kontextmenueAmKnopfUndAufDerSeite() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", kA);
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Zeige(*w);

        w->SpeedButton4->click();
        QTRY_VERIFY(w->PopupMenu1->isVisible());
        w->PopupMenu1->hide();
        QTRY_VERIFY(!w->PopupMenu1->isVisible());

        QTest::mousePress(w->PaintBox1, Qt::RightButton, {}, QPoint(40, 40));
        QTRY_VERIFY(w->PopupMenu1->isVisible());
        w->PopupMenu1->hide();
        QTest::mouseRelease(w->PaintBox1, Qt::RightButton, {}, QPoint(40, 40));
        QTRY_VERIFY(!w->PopupMenu1->isVisible());

        QTest::mousePress(w->RichEdit1->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        QTRY_VERIFY(w->PopupMenu1->isVisible());
        w->PopupMenu1->hide();
    }
};

QTEST_MAIN(TestHauptfenster)
#include "tst_hauptfenster.moc"
