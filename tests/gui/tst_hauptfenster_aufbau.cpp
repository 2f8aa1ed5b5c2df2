// The formula collection window as the user sees it: caption, controls and their
// places, speed buttons with hints and icons, the context menu. Also writes a picture
// of the window (hauptfenster.png beside the test program) to look at.
#include <QAccessible>
#include <QAction>
#include <QScrollBar>
#include <QSet>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include "gui/app/DlgFormelSamml.h"
#include "gui/app/FormelSeite.h"
#include "gui/dialogs/DlgFormel.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::TDlgFormelSamml;
using kdtest::Bibliothek;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

namespace {

struct Befehl {
    const char* name;
    QRect platz;
    const char* hinweis;
};

const Befehl kBefehle[] = {
    {"SpeedButton2", {436, 320, 27, 16}, "Formel oberhalb"},
    {"SpeedButton3", {436, 338, 27, 16}, "Formel unterhalb"},
    {"SpeedKopieren", {470, 324, 30, 30}, "Formel in Zwischenablage kopieren"},
    {"SpeedEinfuegen", {504, 324, 30, 30}, "Formel aus Zwischenablage einfügen"},
    {"SpeedDrucken", {538, 324, 30, 30}, "Formelsammlung drucken"},
    {"SpeedButton1", {572, 324, 30, 30}, "Suchen nach Formel"},
    {"SpeedFormEdit", {436, 364, 30, 30}, "Formel editieren"},
    {"SpeedFxNeu", {470, 364, 30, 30}, "Neue Formel definieren"},
    {"GrafikOpen", {504, 364, 30, 30}, "Grafik einfügen"},
    {"SpeedLoeschenFormel", {538, 364, 30, 30}, "Formel löschen"},
    {"SpeedBildLoeschen", {572, 364, 30, 30}, "Grafik löschen"},
    {"SpeedBerechnen", {436, 404, 30, 30}, "Formel berechnen"},
    {"SpeedTaschenrechner", {470, 404, 30, 30}, "Taschenrechner"},
    {"SpeedButton4", {504, 404, 30, 30}, "Popup-Menü (rechte Maustaste)"},
    {"SpeedInformation", {538, 404, 30, 30}, "Einheiten Unrechnung"},
    {"SpeedButton6", {572, 404, 30, 30}, "Neue Formelbibliothek"},
    {"SpeedButton7", {574, 512, 29, 29}, "Programm beenden"},
    {"SpeedButton5", {592, 6, 25, 25}, ""},
};

} // namespace

class TestHauptfensterAufbau : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void titelUndControls() {
        TestOrdner ordner;
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        QCOMPARE(w->windowTitle(), QStringLiteral("KALDORA Formelsammlung 1.0"));
        QCOMPARE(w->size(), QSize(623, 555));

        auto platz = [&](const char* name) {
            auto* c = w->findChild<QWidget*>(QString::fromLatin1(name));
            return c ? c->geometry() : QRect();
        };
        QCOMPARE(platz("RichEdit1"), QRect(10, 6, 583, 25));
        QCOMPARE(platz("CScrollBox1"), QRect(10, 46, 403, 497));
        QCOMPARE(platz("ListBox1"), QRect(422, 46, 191, 183));
        QCOMPARE(platz("Edit1"), QRect(436, 449, 167, 21));
        QCOMPARE(platz("Image1").topLeft(), QPoint(434, 236));

        QVERIFY(w->findChild<QTextEdit*>("RichEdit1"));
        QVERIFY(w->findChild<QTextEdit*>("RichEdit2")->isHidden());
        QVERIFY(w->findChild<QLineEdit*>("Edit1")->isHidden());
        QCOMPARE(w->findChild<QLabel*>("Image1")->toolTip(), QStringLiteral("Info über KDFormel"));
        QCOMPARE(w->findChild<QLabel*>("Image1")->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!w->findChild<QLabel*>("Image1")->pixmap().isNull());
        QCOMPARE(w->RichEdit1->lineWrapMode(), QTextEdit::NoWrap);
        QVERIFY(!w->RichEdit1->tabChangesFocus());
        QCOMPARE(w->RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(w->CScrollBox1->widget(), static_cast<QWidget*>(w->PaintBox1));
        QCOMPARE(w->PaintBox1->objectName(), QStringLiteral("PaintBox1"));
        QCOMPARE(w->ListBox1->font().pixelSize(), 11);
    }

    void befehleMitHinweisUndSymbol() {
        TestOrdner ordner;
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        for (const Befehl& b : kBefehle) {
            auto* k = w->findChild<QToolButton*>(QString::fromLatin1(b.name));
            QVERIFY2(k, b.name);
            QCOMPARE(k->toolTip(), QString::fromUtf8(b.hinweis));
            QCOMPARE(k->geometry(), b.platz);
            QVERIFY2(k->autoRaise(), b.name);
            QVERIFY2(!k->icon().isNull(), b.name);
            QVERIFY2(!k->icon().pixmap(k->iconSize()).isNull(), b.name);
        }
        QCOMPARE(w->findChildren<QToolButton*>().size(), qsizetype(std::size(kBefehle)));
    }

    void rechteSeiteWandertMit() {
        TestOrdner ordner;
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->resize(823, 655);
        QTRY_COMPARE(w->CScrollBox1->geometry(), QRect(10, 46, 603, 597));
        QCOMPARE(w->ListBox1->geometry(), QRect(622, 46, 191, 183));
        QCOMPARE(w->RichEdit1->geometry(), QRect(10, 6, 783, 25));
        QCOMPARE(w->SpeedButton5->geometry(), QRect(792, 6, 25, 25));
        QCOMPARE(w->SpeedButton7->geometry(), QRect(774, 612, 29, 29));
        QCOMPARE(w->SpeedBerechnen->geometry(), QRect(636, 404, 30, 30));
    }

    void kleinstesFensterPasstUndUeberdecktNichts() {
        // The window may be made smaller than designed, so it fits a 1080p screen at
        // 200 % scaling: the page and the list shrink, nothing overlaps, all stays
        // inside the window.
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", Bibliothek({"y=1", "y=2"}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->size(), QSize(623, 555));
        QVERIFY(w->minimumSize().width() * 2 <= 1920 - 40);
        QVERIFY(w->minimumSize().height() * 2 <= 1080 - 120);
        QList<QWidget*> sichtbar;
        for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisible() && !qobject_cast<QMenu*>(c)) sichtbar << c;
        // Pairs that touch in the design already (the text line and the help button
        // share a pixel column) are not counted.
        QSet<QString> entworfen;
        for (int i = 0; i < sichtbar.size(); ++i)
            for (int j = i + 1; j < sichtbar.size(); ++j)
                if (sichtbar[i]->geometry().intersects(sichtbar[j]->geometry()))
                    entworfen << sichtbar[i]->objectName() + " / " + sichtbar[j]->objectName();
        w->resize(w->minimumSize());
        QTRY_COMPARE(w->size(), w->minimumSize());
        if (qEnvironmentVariableIsSet("KD_BILDER"))
            w->grab().save(qEnvironmentVariable("KD_BILDER") + "/kleinstesfenster.png");
        const QRect fenster = w->rect();
        for (QWidget* c : sichtbar) {
            QVERIFY2(fenster.contains(c->geometry()), qPrintable(c->objectName()));
            QVERIFY2(c->width() > 0 && c->height() > 0, qPrintable(c->objectName()));
        }
        for (int i = 0; i < sichtbar.size(); ++i)
            for (int j = i + 1; j < sichtbar.size(); ++j)
                QVERIFY2(!sichtbar[i]->geometry().intersects(sichtbar[j]->geometry()) ||
                             entworfen.contains(sichtbar[i]->objectName() + " / " + sichtbar[j]->objectName()),
                         qPrintable(sichtbar[i]->objectName() + " / " + sichtbar[j]->objectName()));
        QVERIFY(w->ListBox1->height() >= 48);
        QVERIFY(w->CScrollBox1->width() >= 190);
        QVERIFY(w->CScrollBox1->horizontalScrollBar()->isVisible());
        // Back at the designed size every control is where it was designed.
        w->resize(623, 555);
        QTRY_COMPARE(w->ListBox1->geometry(), QRect(422, 46, 191, 183));
        QCOMPARE(w->SpeedBerechnen->geometry(), QRect(436, 404, 30, 30));
        QCOMPARE(w->Edit1->geometry(), QRect(436, 449, 167, 21));
    }

    void knoepfeHabenZugaenglicheNamen() {
        // Screen readers read each tool button's hint (the help button: "Hilfe"), in
        // the window and in the formula dialog.
        TestOrdner ordner;
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        for (const Befehl& b : kBefehle) {
            auto* k = w->findChild<QToolButton*>(QString::fromLatin1(b.name));
            QVERIFY2(k, b.name);
            const QString erwartet = *b.hinweis ? QString::fromUtf8(b.hinweis) : QStringLiteral("Hilfe");
            QCOMPARE(k->accessibleName(), erwartet);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(k);
            QVERIFY2(a, b.name);
            QCOMPARE(a->text(QAccessible::Name), erwartet);
        }
        kd::TDlgFormel d(&boxen);
        for (QToolButton* k : d.findChildren<QToolButton*>()) {
            QVERIFY2(!k->accessibleName().isEmpty(), qPrintable(k->objectName()));
            if (!k->toolTip().isEmpty()) QCOMPARE(k->accessibleName(), k->toolTip());
        }
    }

    void kontextmenue() {
        TestOrdner ordner;
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        QMenu* m = w->findChild<QMenu*>("PopupMenu1");
        QVERIFY(m);
        QStringList namen, texte;
        for (QAction* a : m->actions()) {
            namen << a->objectName();
            texte << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(namen, (QStringList{"Lschen1", "NeueFormeleinfgen1", "N3", "Editieren1",
                                     "Berechnen1", "KurveZeichnen1", "N1", "AlsTextinZwischenablage1",
                                     "AlsFormelinZwischenablage1",
                                     "AlsExcelFormelinZwischenablage1", "AlsLatexKopieren1",
                                     "AlsMathMLKopieren1", "Einfgen1", "N2",
                                     "Grafikhinzufgen1", "Grafikspeichern1", "N4",
                                     "Rueckgaengig1", "Wiederholen1", "N5", "FormelNachOben1",
                                     "FormelNachUnten1", "Suchen1", "Weitersuchen1", "Drucken1",
                                     "N6", "Ansicht1", "Hilfe1", "Beenden1"}));
        QCOMPARE(texte, (QStringList{QStringLiteral("&Löschen"),
                                     QStringLiteral("Neue Formel einfügen..."), "-",
                                     "&Editieren...", "Berechnen...", "Kurve zeichnen...", "-",
                                     "Als Text in Zwischenablage",
                                     "Als grafische Formel in Zwischenablage",
                                     "Als Excel-Formel in Zwischenablage",
                                     "Als LaTeX kopieren", "Als MathML kopieren",
                                     QStringLiteral("Einfügen"), "-",
                                     QStringLiteral("&Grafik hinzufügen..."),
                                     "Grafik speichern unter...", "-",
                                     QStringLiteral("Rückgängig"), "Wiederholen", "-",
                                     "Formel nach oben", "Formel nach unten", "Suchen...",
                                     "Weitersuchen", "Drucken...", "-", "Ansicht", "Hilfe",
                                     "Beenden"}));
    }

    void fensterBild() {
        TestOrdner ordner;
        ordner.Schreibe("Mechanik.pqb", Bibliothek({"F=m*a", "E=m*c^2"}));
        ordner.Schreibe("Elektrotechnik.pqb", Bibliothek({"U=R*I"}));
        ordner.Schreibe("Geometrie.pqb", Bibliothek({"A=~p*r^2"}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QImage bild = w->grab().toImage();
        QCOMPARE(bild.size() / bild.devicePixelRatio(), QSize(623, 555));
        const QString datei =
            QCoreApplication::applicationDirPath() + QStringLiteral("/hauptfenster.png");
        QVERIFY(bild.save(datei));

        // The page is white.
        const QPoint mitte = w->CScrollBox1->geometry().center();
        QCOMPARE(bild.pixelColor(mitte * bild.devicePixelRatio()), QColor(Qt::white));

        // The naming field, for a second look.
        w->SpeedButton6->click();
        QVERIFY(w->grab().save(QCoreApplication::applicationDirPath() +
                               QStringLiteral("/hauptfenster-benennung.png")));
        QTest::keyClick(w->Edit1, Qt::Key_Escape);
    }
};

QTEST_MAIN(TestHauptfensterAufbau)
#include "tst_hauptfenster_aufbau.moc"
