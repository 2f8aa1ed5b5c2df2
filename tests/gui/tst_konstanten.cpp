// The constants dialog driven through its widgets: the list of the table, new and
// deleted constants, the refusals and their messages, the take over character by
// character, writing the table back on closing, the editing aids, and a picture.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <string>
#include <vector>

#include "core/Types.h"
#include "core/constants/Konstanten.h"
#include "gui/dialogs/DlgKonstante.h"
#include "gui/dialogs/DlgSymbol.h"
#include "gui/platform/RichText.h"
#include "gui/platform/Symbole.h"
#include "helpers/FakeMeldungen.h"

using kd::TDlgKonstante;
using kdtest::FakeMeldungen;

namespace {

struct Empfang {
    std::vector<char> zeichen;
    std::vector<QObject*> sender;
    TDlgKonstante::Empfaenger Empfaenger() {
        return [this](QObject* s, char c) {
            sender.push_back(s);
            zeichen.push_back(c);
        };
    }
    std::string Text() const { return std::string(zeichen.begin(), zeichen.end()); }
};

// Types formula text into the line: plain characters by key, then the line is set
// from the text so "~" and "|" take their form.
void Eingabe(TDlgKonstante& d, const std::string& formeltext) {
    kd::FormeltextZuRichText(formeltext, d.RichEdit1, TDlgKonstante::Schriftgroesse);
}

// The row whose line starts with `anfang` (Windows-1252), -1 when none.
int Zeile(const TDlgKonstante& d, const std::string& anfang) {
    const auto& z = d.Liste().Zeilen();
    for (std::size_t i = 0; i < z.size(); ++i)
        if (z[i].rfind(anfang, 0) == 0) return static_cast<int>(i);
    return -1;
}

void Klicke(QListWidget* liste, int zeile) {
    const QRect r = liste->visualItemRect(liste->item(zeile));
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace

class TestKonstanten : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kd::InitRessourcen(); }
    void init() { kd::Konstanten().BasisSetzen(); }

    void Basiskonstanten() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        QCOMPARE(d.ListBox1->count(), 15);
        QCOMPARE(d.Liste().Anzahl(), 15);
        QCOMPARE(d.Liste().Zeilen()[1].substr(0, 4), std::string("~p=3"));
        QCOMPARE(d.ListBox1->item(5)->text(), QStringLiteral("LEER=[ ]"));
        QCOMPARE(d.ListBox1->item(10)->text().left(4), QStringLiteral("g|n="));
        QVERIFY(!d.InsProgramm->isEnabled());
        QVERIFY(!d.Loeschen->isEnabled());
        QVERIFY(d.Aufnehmen->isEnabled());
    }

    void Steuerelemente() {
        TDlgKonstante d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Konstanten"));
        QCOMPARE(d.size(), QSize(349, 216));
        struct Soll {
            QWidget* w;
            const char* name;
            QRect platz;
        };
        const Soll soll[] = {
            {d.RichEdit1, "RichEdit1", {10, 14, 221, 23}},    {d.SymbolFont, "SymbolFont", {240, 14, 22, 22}},
            {d.SpeedIndize, "SpeedIndize", {268, 14, 22, 22}}, {d.ListBox1, "ListBox1", {11, 46, 219, 160}},
            {d.Aufnehmen, "Aufnehmen", {240, 43, 99, 27}},     {d.InsProgramm, "InsProgramm", {240, 76, 100, 27}},
            {d.Loeschen, "Loeschen", {240, 109, 100, 27}},     {d.CancelBtn, "CancelBtn", {240, 146, 100, 27}},
            {d.HelpBtn, "HelpBtn", {240, 180, 101, 27}},
        };
        for (const Soll& s : soll) {
            QCOMPARE(s.w->objectName(), QString::fromLatin1(s.name));
            QCOMPARE(s.w->geometry(), s.platz);
            QCOMPARE(d.findChild<QWidget*>(QString::fromLatin1(s.name)), s.w);
        }
        QCOMPARE(d.Aufnehmen->text(), QStringLiteral("Neu Konstante"));
        QCOMPARE(d.InsProgramm->text(), QStringLiteral("Übernehmen"));
        QCOMPARE(d.Loeschen->text(), QStringLiteral("Löschen"));
        QCOMPARE(d.CancelBtn->text(), QStringLiteral("Schließen"));
        QCOMPARE(d.SymbolFont->toolTip(), QStringLiteral("griechische Sonderzeichen"));
        QCOMPARE(d.SpeedIndize->toolTip(), QStringLiteral("tiefgestellt"));
        // Every button text fits its button.
        for (QPushButton* k : {d.Aufnehmen, d.InsProgramm, d.Loeschen, d.CancelBtn, d.HelpBtn}) {
            const int icon = k->icon().isNull() ? 0 : k->iconSize().width() + 4;
            QVERIFY2(k->fontMetrics().horizontalAdvance(k->text()) + icon + 8 <= k->width(),
                     qPrintable(k->objectName()));
        }
    }

    void LeerBleibtLeerwert() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        const kd::Konstantentabelle& t = kd::Konstanten();
        QCOMPARE(t.Anzahl(), 15);
        QCOMPARE(t.Name(6), std::string("LEER"));
        QVERIFY(t.Wert(6) == kd::Leerwert);
        QCOMPARE(t.Name(2), std::string("~p"));
        // Opened again, it still reads "LEER=[ ]".
        TDlgKonstante wieder(&boxen);
        wieder.SetParameter({});
        QCOMPARE(wieder.ListBox1->item(5)->text(), QStringLiteral("LEER=[ ]"));
        QVERIFY(boxen.gezeigt.empty());
    }

    void NeuUndLoeschen() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // Typed by key.
        d.RichEdit1->setFocus();
        QTest::keyClicks(d.RichEdit1, "A1=5");
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit1), std::string("A1=5"));
        QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
        Eingabe(d, "~w|0=2.5");
        QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
        QCOMPARE(d.ListBox1->count(), 17);
        QCOMPARE(d.Liste().Zeilen()[15], std::string("A1=5"));
        QCOMPARE(d.Liste().Zeilen()[16], std::string("~w|0=2.5"));
        // The same name again replaces its line.
        Eingabe(d, "A1=6");
        QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
        QCOMPARE(d.ListBox1->count(), 17);
        QCOMPARE(Zeile(d, "A1=6"), 16);

        // Delete both user constants again.
        for (const char* name : {"A1=", "~w|0="}) {
            const int z = Zeile(d, name);
            QVERIFY(z >= 15);
            Klicke(d.ListBox1, z);
            QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit1), d.Liste().Zeilen()[static_cast<std::size_t>(z)]);
            QVERIFY(d.Loeschen->isEnabled());
            QTest::mouseClick(d.Loeschen, Qt::LeftButton);
            QVERIFY(!d.Loeschen->isEnabled());
        }
        QCOMPARE(d.ListBox1->count(), 15);
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
        QCOMPARE(kd::Konstanten().Anzahl(), 15);
        for (int nr = 1; nr <= 15; ++nr)
            QCOMPARE(kd::Konstanten().Name(nr), std::string(kd::BasisKonstanten[nr - 1].Name));
        QVERIFY(boxen.gezeigt.empty());
    }

    void NeueKonstanteBleibt() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        Eingabe(d, "~a|1=0.25");
        QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
        QTest::keyClick(&d, Qt::Key_Escape);  // Esc closes like "Schließen"
        QVERIFY(!d.isVisible());
        QCOMPARE(kd::Konstanten().Anzahl(), 16);
        QCOMPARE(kd::Konstanten().Name(16), std::string("~a|1"));
        QVERIFY(kd::Konstanten().Wert(16) == 0.25L);
    }

    void LangerName() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        Eingabe(d, "ABCDEFGHIJKLM=3");
        QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
        QVERIFY(boxen.gezeigt.empty());
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
        QCOMPARE(kd::Konstanten().Anzahl(), 16);
        QCOMPARE(kd::Konstanten().Name(16), std::string("ABCDEFGHIJKL"));
        QVERIFY(kd::Konstanten().Wert(16) == 3.0L);
    }

    void Uebernahme() {
        FakeMeldungen boxen;
        Empfang e;
        TDlgKonstante d(&boxen);
        d.SetWartezeit(0);
        d.SetParameter(e.Empfaenger());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // Nothing selected: nothing happens.
        d.CM_InsProg();
        QVERIFY(!d.UebernahmeLaeuft());
        const int z = Zeile(d, "g|n=");
        QCOMPARE(z, 10);
        Klicke(d.ListBox1, z);
        QVERIFY(d.InsProgramm->isEnabled());
        QTest::mouseClick(d.InsProgramm, Qt::LeftButton);
        // The characters come through the event loop, one per wait.
        QVERIFY(d.UebernahmeLaeuft());
        QVERIFY(e.zeichen.empty());
        QTRY_COMPARE(e.Text(), std::string("g|n"));
        QTRY_VERIFY(!d.isVisible());
        QVERIFY(!d.UebernahmeLaeuft());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        for (QObject* s : e.sender) QCOMPARE(s, static_cast<QObject*>(&d));
        QCOMPARE(kd::Konstanten().Anzahl(), 15);
    }

    void UebernahmeDoppelklickUndWartezeit() {
        FakeMeldungen boxen;
        Empfang e;
        TDlgKonstante d(&boxen);
        QCOMPARE(d.Wartezeit(), 50);
        d.SetWartezeit(5);
        d.SetParameter(e.Empfaenger());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const int z = Zeile(d, "~p=");
        const QRect r = d.ListBox1->visualItemRect(d.ListBox1->item(z));
        QTest::mouseClick(d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
        QTRY_COMPARE(e.Text(), std::string("~p"));
        QTRY_VERIFY(!d.isVisible());
    }

    void Modal() {
        // Opened as the formula dialog opens it: the call returns after the take over.
        FakeMeldungen boxen;
        Empfang e;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<TDlgKonstante*>(QApplication::activeModalWidget());
            if (!d) return;
            d->SetWartezeit(0);
            d->ListBox1->setCurrentRow(0);
            d->CM_InsProg();
            QTimer::singleShot(2000, d, [d] { d->reject(); });  // never hang
        });
        TDlgKonstante::Modal(nullptr, &boxen, e.Empfaenger());
        QCOMPARE(e.Text(), std::string("e"));
    }

    void Basiskonstante() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        Eingabe(d, "e=3");
        QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt[0].titel, QStringLiteral("Fehler"));
        QCOMPARE(boxen.gezeigt[0].text, QStringLiteral("Basiskonstanten können nicht geändert werden"));
        QCOMPARE(boxen.gezeigt[0].symbol, kd::Meldungen::Symbol::Stop);
        QCOMPARE(d.ListBox1->count(), 15);
        // Deleting a base constant is refused the same way.
        Klicke(d.ListBox1, Zeile(d, "WAHR="));
        QTest::mouseClick(d.Loeschen, Qt::LeftButton);
        QCOMPARE(boxen.gezeigt.size(), std::size_t(2));
        QCOMPARE(boxen.gezeigt[1].text, QStringLiteral("Basiskonstanten können nicht geändert werden"));
        QCOMPARE(d.ListBox1->count(), 15);
        // A Greek base constant typed by its Unicode letter is one as well.
        d.RichEdit1->setPlainText(QStringLiteral("π=3"));
        QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
        QCOMPARE(boxen.gezeigt.size(), std::size_t(3));
        QCOMPARE(boxen.gezeigt[2].text, QStringLiteral("Basiskonstanten können nicht geändert werden"));
    }

    void FehlerhafterWert() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        for (const char* falsch : {"abc", "abc=", "x=1..2", "=5", ""}) {
            boxen.gezeigt.clear();
            Eingabe(d, falsch);
            d.Aufnehmen->setFocus();
            QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
            QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
            QCOMPARE(boxen.gezeigt[0].titel, QStringLiteral("Fehler"));
            QCOMPARE(boxen.gezeigt[0].text, QStringLiteral("Fehlerhafter Wert"));
            QCOMPARE(boxen.gezeigt[0].symbol, kd::Meldungen::Symbol::Stop);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.RichEdit1));
        }
        QCOMPARE(d.ListBox1->count(), 15);
    }

    void ZuViele() {
        for (int i = 16; i <= kd::KonstantenMax; ++i)
            QVERIFY(kd::Konstanten().Anhaengen("K" + std::to_string(i), i));
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        QCOMPARE(d.ListBox1->count(), 100);
        Eingabe(d, "NEU=1");
        QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt[0].titel, QStringLiteral("Fehler"));
        QCOMPARE(boxen.gezeigt[0].text, QStringLiteral("Zu viele Konstante"));
        QCOMPARE(boxen.gezeigt[0].symbol, kd::Meldungen::Symbol::Stop);
        QCOMPARE(d.ListBox1->count(), 100);
    }

    void Sonderzeichen() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        Eingabe(d, "x|1=2");
        QTextCursor c = d.RichEdit1->textCursor();
        c.setPosition(1);  // after "x"
        d.RichEdit1->setTextCursor(c);
        QTest::mouseClick(d.SymbolFont, Qt::LeftButton);
        kd::TDlgSymbol* s = d.Symbolwahl();
        QVERIFY(s);
        QVERIFY(s->isVisible());
        QVERIFY(!s->isModal());
        QVERIFY(!s->MitIndexzeile());
        QCOMPARE(s->PaintBox1->height(), 80);
        // A second click brings the same picker forward.
        QTest::mouseClick(d.SymbolFont, Qt::LeftButton);
        QCOMPARE(d.Symbolwahl(), s);
        // Row 3, column 2 is "p".
        QTest::mouseClick(s->PaintBox1, Qt::LeftButton, {}, QPoint(2 * 20 + 10, 3 * 20 + 10));
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit1), std::string("x~p|1=2"));
        QCOMPARE(d.RichEdit1->toPlainText(), QStringLiteral("xπ1=2"));
        QCOMPARE(d.RichEdit1->textCursor().position(), 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!d.Symbolwahl());
        // Typing after the Greek letter is plain text again.
        QTest::keyClicks(d.RichEdit1, "q");
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit1), std::string("x~pq|1=2"));
    }

    void Index() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        Eingabe(d, "Rx=1");
        QTest::mouseClick(d.SpeedIndize, Qt::LeftButton);  // no selection: nothing
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit1), std::string("Rx=1"));
        QTextCursor c = d.RichEdit1->textCursor();
        c.setPosition(1);
        c.setPosition(2, QTextCursor::KeepAnchor);
        d.RichEdit1->setTextCursor(c);
        QTest::mouseClick(d.SpeedIndize, Qt::LeftButton);
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit1), std::string("R|x=1"));
    }

    void Hilfe() {
        TDlgKonstante d;
        QSignalSpy hilfe(&d, &TDlgKonstante::Hilfe);
        QTest::mouseClick(d.HelpBtn, Qt::LeftButton);
        QCOMPARE(hilfe.count(), 1);
        QCOMPARE(hilfe.at(0).at(0).toInt(), 250);
    }

    void Bild() {
        FakeMeldungen boxen;
        TDlgKonstante d(&boxen);
        d.SetParameter({});
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        Klicke(d.ListBox1, 1);  // "~p=..." selected
        // The selected line is drawn white on navy, the others black on white.
        const QImage bild = d.ListBox1->viewport()->grab().toImage();
        const QRect gewaehlt = d.ListBox1->visualItemRect(d.ListBox1->item(1));
        const int rechts = std::min(gewaehlt.right(), bild.width() - 1) - 2;
        QCOMPARE(QColor(bild.pixel(rechts, gewaehlt.center().y())), QColor(0, 0, 128));
        const QRect andere = d.ListBox1->visualItemRect(d.ListBox1->item(3));
        QCOMPARE(QColor(bild.pixel(rechts, andere.center().y())), QColor(Qt::white));
        const QString ordner = qEnvironmentVariable("KD_BILDER");
        if (!ordner.isEmpty()) {
            QDir().mkpath(ordner);
            const QImage fenster = d.grab().toImage();
            QVERIFY(fenster.save(QDir(ordner).filePath(QStringLiteral("konstanten.png"))));
            QVERIFY(fenster.scaled(fenster.size() * 3).save(QDir(ordner).filePath(QStringLiteral("konstanten_x3.png"))));
            // The end of the list with the indices, and a constant of the user selected.
            Eingabe(d, "~w|0=2.5");
            QTest::mouseClick(d.Aufnehmen, Qt::LeftButton);
            d.ListBox1->scrollToBottom();
            Klicke(d.ListBox1, d.ListBox1->count() - 1);
            const QImage unten = d.grab().toImage();
            QVERIFY(unten.scaled(unten.size() * 3).save(QDir(ordner).filePath(QStringLiteral("konstanten_unten_x3.png"))));
        }
    }
};

QTEST_MAIN(TestKonstanten)
#include "tst_konstanten.moc"
