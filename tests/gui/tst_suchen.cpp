// The search: the dialog with its kept terms and editing aids, and the main window's
// search over all libraries.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <string>

#include "core/library/Suche.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/dialogs/DlgFormelSuchen.h"
#include "gui/dialogs/DlgSymbol.h"
#include "gui/platform/RichText.h"
#include "gui/platform/VirtPntBox.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::TDlgFormelSuchen;
using kd::TDlgFormelSamml;
using kdtest::Bibliothek;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

namespace {

// Answers the search dialog with the two terms (formula text), or cancels it.
void Suche(TDlgFormelSamml& w, const std::string& titel, const std::string& formel, bool abbrechen = false) {
    QTimer::singleShot(0, [=] {
        auto* d = qobject_cast<TDlgFormelSuchen*>(QApplication::activeModalWidget());
        QVERIFY(d);
        kd::FormeltextZuRichText(titel, d->RichEdit1, TDlgFormelSuchen::Schriftgroesse);
        kd::FormeltextZuRichText(formel, d->RichEdit2, TDlgFormelSuchen::Schriftgroesse);
        if (abbrechen) d->BitBtn2->click();
        else d->BitBtn1->click();
    });
    w.SpeedButton1Click();
}

QStringList Liste(const TDlgFormelSamml& w) {
    QStringList l;
    for (int i = 0; i < w.ListBox1->count(); ++i) l << w.ListBox1->item(i)->text();
    return l;
}

} // namespace

class TestSuchen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }
    void init() { kd::GemerkteSuchbegriffe() = {}; }

    void Dialog() {
        TDlgFormelSuchen d;
        d.SetParameter("~a", "x|1");
        QCOMPARE(d.windowTitle(), QStringLiteral("Formel suchen"));
        QCOMPARE(d.size(), QSize(279, 165));
        QCOMPARE(d.RichEdit1->toPlainText(), QStringLiteral("α"));
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit2), std::string("x|1"));
        QCOMPARE(d.Ziel(), d.RichEdit1);
        // A key makes its edit the target of the aids.
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.RichEdit2->setFocus();
        QTest::keyClicks(d.RichEdit2, "gn");
        QCOMPARE(d.Ziel(), d.RichEdit2);
        QTextCursor c = d.RichEdit2->textCursor();
        c.setPosition(3);  // the "n" of "x1gn"
        c.setPosition(4, QTextCursor::KeepAnchor);
        d.RichEdit2->setTextCursor(c);
        d.SpeedIndizesClick();
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit2), std::string("x|1g|n"));
        QCOMPARE(d.RichEdit2->textCursor().selectionStart(), 3);
        QCOMPARE(d.RichEdit2->textCursor().selectionEnd(), 4);
        // The symbol picker opens without blocking; its character goes to the target.
        c.movePosition(QTextCursor::End);
        d.RichEdit2->setTextCursor(c);
        d.SpeedSymboleClick();
        QVERIFY(d.Symbolwahl());
        QVERIFY(!d.Symbolwahl()->isModal());
        const QPoint p(0 * kd::TDlgSymbol::Zelle + 10, 2 * kd::TDlgSymbol::Zelle + 10);  // "a"
        d.Symbolwahl()->PaintBox1MouseMove(p);
        d.Symbolwahl()->PaintBox1Click(p);
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit2), std::string("x|1g|n~a"));
        d.SymbolEmpfangen('.');
        QCOMPARE(kd::RichTextZuFormeltext(d.RichEdit2), std::string("x|1g|n~a|."));
        // "Suchen" keeps both terms.
        d.BitBtn1Click();
        QCOMPARE(d.result(), 1);
        QCOMPARE(kd::GemerkteSuchbegriffe().Titel, std::string("~a"));
        QCOMPARE(kd::GemerkteSuchbegriffe().Formel, std::string("x|1g|n~a|."));
        const QString ordner = qEnvironmentVariable("KD_BILDER");
        if (!ordner.isEmpty()) {
            QDir().mkpath(ordner);
            TDlgFormelSuchen b;
            b.SetParameter("Kraft", "~a=~b|0");
            b.show();
            QVERIFY(QTest::qWaitForWindowExposed(&b));
            QVERIFY(b.grab().save(QDir(ordner).filePath(QStringLiteral("suchen.png"))));
        }
        // The labels show their whole text.
        for (QLabel* l : {d.Label1, d.Label2}) {
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->text()));
            QVERIFY(d.rect().contains(l->geometry()));
        }
    }

    void TreffferImKommentarUndInZweiterBibliothek() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", Bibliothek({"a=b+c", "v=s/t"}));
        std::vector<std::string> viele;
        for (int i = 0; i < 40; ++i) viele.push_back("x" + std::to_string(i) + "=" + std::to_string(i));
        viele.push_back("F=m*a{Kraft}");
        ordner.Schreibe("Beta.pqb", Bibliothek(viele));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->resize(TDlgFormelSamml::ClientBreite, TDlgFormelSamml::ClientHoehe);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->Start();
        QCOMPARE(Liste(*w), (QStringList{"Alpha", "Beta"}));

        // A term only in the comment of a formula of the second library.
        Suche(*w, "Kraft", "");
        QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Alpha"}));  // moved to the top
        QCOMPARE(w->Sammlung().AktBibliothek, 0);
        QCOMPARE(w->Sammlung().AktFormel, 40);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("F=m*a{Kraft}"));
        // Scrolled down to it.
        QVERIFY(w->CScrollBox1->verticalScrollBar()->value() > 0);
        // The terms are kept and shown at the next opening.
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<TDlgFormelSuchen*>(QApplication::activeModalWidget());
            QVERIFY(d);
            QCOMPARE(d->RichEdit1->toPlainText(), QStringLiteral("Kraft"));
            d->BitBtn2->click();
        });
        w->SpeedButton1Click();

        // The first match in list order, now Beta first.
        Suche(*w, "", "=");
        QCOMPARE(w->Sammlung().AktFormel, 0);
        QCOMPARE(Liste(*w), (QStringList{"Beta", "Alpha"}));
        Suche(*w, "", "v=s");
        QCOMPARE(Liste(*w), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(w->Sammlung().AktFormel, 1);

        // No match.
        Suche(*w, "Kraft", "v=s");
        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt.back().titel, QStringLiteral("Achtung"));
        QCOMPARE(boxen.gezeigt.back().text, QStringLiteral("Keine Übereinstimmung gefunden"));
        QCOMPARE(w->Sammlung().AktFormel, 1);  // nothing changed
    }

    void NurLeerzeichenSpeichertNur() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", Bibliothek({"a=1"}));
        ordner.Schreibe("Beta.pqb", Bibliothek({"b=2"}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        // A change in memory: the search saves it first.
        w->Sammlung().FormelListe[0]->FormelText = "a=3";
        w->Sammlung().Geaendert = true;
        Suche(*w, "   ", " ");
        QVERIFY(boxen.gezeigt.empty());
        QCOMPARE(ordner.Lies("Alpha.pqb"), Bibliothek({"a=3"}));
        QVERIFY(!w->Sammlung().Geaendert);
        QCOMPARE(Liste(*w), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(w->Sammlung().AktFormel, 0);
        // Cancelled: not even saved.
        w->Sammlung().FormelListe[0]->FormelText = "a=4";
        w->Sammlung().Geaendert = true;
        Suche(*w, "a", "", true);
        QCOMPARE(ordner.Lies("Alpha.pqb"), Bibliothek({"a=3"}));
    }

    void UnlesbareBibliothek() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", Bibliothek({"a=1"}));
        ordner.Schreibe("Beta.pqb", QByteArray("\x05\x00", 2));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        Suche(*w, "", "gibt es nicht");
        // The file error is shown and the search ends; the current library stays.
        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt.back().symbol, kd::Meldungen::Symbol::Stop);
        QCOMPARE(w->Sammlung().FormelListe.Count(), 1);
        QCOMPARE(w->Sammlung().FormelListe[0]->FormelText, std::string("a=1"));
    }
};

QTEST_MAIN(TestSuchen)
#include "tst_suchen.moc"
