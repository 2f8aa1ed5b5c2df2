// What the window offers beside the old commands, driven through real keys, mouse and
// drop events: undo and redo of every change, the command keys, searching again, the
// page zoom, drag and drop, and the window's settings kept for the next run.
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

#include <functional>

#include "core/library/Bibliothek.h"
#include "core/library/Suche.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/app/FormelSeite.h"
#include "gui/dialogs/DlgFormel.h"
#include "gui/platform/VirtPntBox.h"
#include "gui/platform/Zwischenablage.h"
#include "helpers/FakeDateidialoge.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::TDlgFormelSamml;
using kdtest::Bibliothek;
using kdtest::FakeDateidialoge;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;
using A = kd::Meldungen::Antwort;

namespace {

QByteArray Bmp(int w, int h, QColor farbe) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(farbe);
    QByteArray b;
    QBuffer puffer(&b);
    puffer.open(QIODevice::WriteOnly);
    img.save(&puffer, "BMP");
    return b;
}

struct Aufbau {
    TestOrdner ordner;
    FakeMeldungen boxen;
    FakeDateidialoge dialoge;
    std::unique_ptr<TDlgFormelSamml> w;

    explicit Aufbau(const std::vector<std::string>& alpha, const std::vector<std::string>& beta = {}) {
        ordner.Schreibe(QStringLiteral("Alpha.pqb"), Bibliothek(alpha));
        if (!beta.empty()) ordner.Schreibe(QStringLiteral("Beta.pqb"), Bibliothek(beta));
        ordner.Schreibe(QStringLiteral("KDFormel.MFL"), beta.empty() ? "Alpha\r\n" : "Alpha\r\nBeta\r\n");
        w = kdtest::NeuesFenster(boxen);
        w->SetDateidialoge(&dialoge);
        w->Start();
        w->show();
        QApplication::setActiveWindow(w.get());
        w->activateWindow();
    }
    kd::Formelsammlung& S() { return w->Sammlung(); }
    // The bytes the library in memory would be saved as.
    QByteArray Bytes() {
        const QString datei = ordner.Datei(QStringLiteral("abbild.bin"));
        kd::SchreibeBibliothek(QFile::encodeName(datei).toStdString(), S().FormelListe);
        return ordner.Lies(QStringLiteral("abbild.bin"));
    }
    void Taste(int taste, Qt::KeyboardModifiers mod = Qt::NoModifier) {
        // The offscreen platform gives no window back the activation after a dialog.
        if (!w->isActiveWindow()) QApplication::setActiveWindow(w.get());
        QTest::keyClick(w->RichEdit1, Qt::Key(taste), mod);
    }
    void Waehle(int i) {
        Taste(Qt::Key_Home);
        for (int k = 0; k < i; ++k) Taste(Qt::Key_Down);
    }
    // The frame of formula i in pixels of the view.
    QRect RahmenImBild(int i) {
        w->SeiteBereit();
        w->PaintBox1->SetScale();
        const QRect r = w->PaintBox1->PixelRect(w->Seite.Markierungsrahmen(i));
        return QRect(w->PaintBox1->mapTo(w->CScrollBox1->viewport(), r.topLeft()), r.size());
    }
    QPoint MitteInBox(int i) {
        w->SeiteBereit();
        w->PaintBox1->SetScale();
        return w->PaintBox1->PixelRect(w->Seite.Markierungsrahmen(i)).center();
    }
};

// Answers the formula dialog that the next command opens with `text`.
void DialogAntwort(const QString& text) {
    QTimer::singleShot(0, [text] {
        if (auto* d = qobject_cast<kd::TDlgFormel*>(QApplication::activeModalWidget())) {
            d->RichEdit1->setPlainText(text);
            d->OKBtn->click();
        }
    });
}

void Ablegen(QWidget* ziel, QPoint pos, QMimeData* daten, bool& angenommen) {
    QDragEnterEvent hinein(pos, Qt::CopyAction | Qt::MoveAction, daten, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ziel, &hinein);
    angenommen = hinein.isAccepted();
    if (!angenommen) return;
    QDropEvent ab(QPointF(pos), Qt::CopyAction | Qt::MoveAction, daten, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ziel, &ab);
}

const std::vector<std::string> kDrei = {"a=b+c", "x=y^2 {Parabel}", "E=m*c^2"};

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        kdtest::AnwendungEinrichten();
        // Settings of these windows never reach the user's configuration.
        QVERIFY(konfig_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, konfig_.path());
    }

    void jederBefehlWirdRueckgaengigUndWiederholt() {
        struct Fall {
            const char* name;
            int formel;  // selected before the command
            std::function<void(Aufbau&)> befehl;
        };
        const QByteArray bmp = Bmp(8, 6, Qt::red);
        const std::vector<Fall> faelle = {
            {"Neue Formel", 1, [](Aufbau& a) { DialogAntwort("q=1"); a.Taste(Qt::Key_N, Qt::ControlModifier); }},
            {"Formel editieren", 1, [](Aufbau& a) { DialogAntwort("x=y^3"); a.Taste(Qt::Key_F2); }},
            {"Einfügen", 0, [](Aufbau& a) {
                 QGuiApplication::clipboard()->setText(QStringLiteral("z=5"));
                 a.Taste(Qt::Key_V, Qt::ControlModifier);
             }},
            {"Formel löschen", 1, [](Aufbau& a) { a.boxen.Antworte({A::Ja}); a.Taste(Qt::Key_Delete); }},
            {"Formel löschen", 0, [](Aufbau& a) { a.boxen.Antworte({A::Ja}); a.Taste(Qt::Key_Delete); }},
            {"Formel nach oben", 2, [](Aufbau& a) { a.Taste(Qt::Key_Up, Qt::ControlModifier); }},
            {"Formel nach unten", 0, [](Aufbau& a) { a.Taste(Qt::Key_Down, Qt::ControlModifier); }},
            {"Grafik einfügen", 1, [](Aufbau& a) {
                 a.dialoge.dateien = {a.ordner.Datei(QStringLiteral("rot.bmp"))};
                 QTest::mouseClick(a.w->GrafikOpen, Qt::LeftButton);
             }},
            {"Grafik löschen", 2, [](Aufbau& a) {
                 a.boxen.Antworte({A::Ja});
                 QTest::mouseClick(a.w->SpeedBildLoeschen, Qt::LeftButton);
             }},
            {"Formel verschieben", 0, [](Aufbau& a) {
                 bool ok = false;
                 Ablegen(a.w->PaintBox1, a.MitteInBox(2), a.w->FormelZiehdaten(0), ok);
                 QVERIFY(ok);
             }},
        };
        for (const Fall& f : faelle) {
            Aufbau a(kDrei);
            a.ordner.Schreibe(QStringLiteral("rot.bmp"), bmp);
            QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
            // Formula 2 carries a picture, for the command that deletes it.
            a.S().FormelListe[2]->BildTyp = 2;
            a.S().FormelListe[2]->Bild.assign(bmp.begin(), bmp.end());
            a.w->ShowFormel();
            a.Waehle(f.formel);
            const QByteArray vorher = a.Bytes();
            QVERIFY(!a.w->Rueckgaengig1->isEnabled());

            f.befehl(a);
            const QByteArray nachher = a.Bytes();
            const int auswahlNachher = a.S().AktFormel;
            QVERIFY2(nachher != vorher, f.name);
            QVERIFY2(a.w->Rueckgaengig1->isEnabled(), f.name);
            QCOMPARE(a.w->Rueckgaengig1->text(), QStringLiteral("Rückgängig: ") + QString::fromUtf8(f.name));
            QCOMPARE(a.w->Verlauf().Stapel().count(), 1);

            a.Taste(Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(a.Bytes() == vorher, f.name);
            QCOMPARE(a.S().AktFormel, f.formel);
            QCOMPARE(a.w->Wiederholen1->text(), QStringLiteral("Wiederholen: ") + QString::fromUtf8(f.name));
            QVERIFY(a.S().Geaendert);
            // The text line shows the formula selected again.
            QVERIFY(!a.w->RichEdit1->toPlainText().isEmpty());

            a.Taste(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY2(a.Bytes() == nachher, f.name);
            QCOMPARE(a.S().AktFormel, auswahlNachher);
            a.Taste(Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(a.Bytes() == vorher, f.name);
            a.Taste(Qt::Key_Y, Qt::ControlModifier);
            QVERIFY2(a.Bytes() == nachher, f.name);
            // Nothing more to redo, and the page was laid out for what it shows.
            a.Taste(Qt::Key_Y, Qt::ControlModifier);
            QVERIFY2(a.Bytes() == nachher, f.name);
            a.w->SeiteBereit();
            QCOMPARE(a.w->Seite.Anzahl, a.S().FormelListe.Count());
        }
    }

    void mehrereSchritteZurueckBisZumAnfang() {
        Aufbau a(kDrei);
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        const QByteArray anfang = a.Bytes();
        a.Waehle(0);
        a.Taste(Qt::Key_Down, Qt::ControlModifier);
        a.Taste(Qt::Key_Down, Qt::ControlModifier);
        a.boxen.Antworte({A::Ja});
        a.Taste(Qt::Key_Delete);
        QGuiApplication::clipboard()->setText(QStringLiteral("w=9"));
        a.Taste(Qt::Key_V, Qt::ControlModifier);
        // A refused question changes nothing and is no step.
        a.boxen.Antworte({A::Nein});
        a.Taste(Qt::Key_Delete);
        QCOMPARE(a.w->Verlauf().Stapel().count(), 4);
        const QByteArray ende = a.Bytes();
        for (int i = 0; i < 4; ++i) a.Taste(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(a.Bytes(), anfang);
        QVERIFY(!a.w->Rueckgaengig1->isEnabled());
        for (int i = 0; i < 4; ++i) a.Taste(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(a.Bytes(), ende);
        // A new command after an undo drops what could have been redone.
        a.Taste(Qt::Key_Z, Qt::ControlModifier);
        a.Taste(Qt::Key_Up, Qt::ControlModifier);
        QVERIFY(!a.w->Wiederholen1->isEnabled());
    }

    void verlaufGehoertEinerBibliothek() {
        Aufbau a(kDrei, {"u=v"});
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        a.Waehle(1);
        a.boxen.Antworte({A::Ja});
        a.Taste(Qt::Key_Delete);
        QVERIFY(a.w->Rueckgaengig1->isEnabled());
        // The switch saves Alpha without the formula; the history is left behind.
        const QRect r = a.w->ListBox1->visualItemRect(a.w->ListBox1->item(1));
        QTest::mouseClick(a.w->ListBox1->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(a.w->ListBox1->item(0)->text(), QStringLiteral("Beta"));
        const QByteArray beta = a.Bytes();
        const QByteArray alphaDatei = a.ordner.Lies(QStringLiteral("Alpha.pqb"));
        QCOMPARE(alphaDatei, Bibliothek({"a=b+c", "E=m*c^2"}));
        a.Taste(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(a.Bytes(), beta);
        QVERIFY(!a.w->Rueckgaengig1->isEnabled());
        // Back in Alpha: nothing to undo either, the file keeps what was saved.
        const QRect r2 = a.w->ListBox1->visualItemRect(a.w->ListBox1->item(1));
        QTest::mouseClick(a.w->ListBox1->viewport(), Qt::LeftButton, {}, r2.center());
        a.Taste(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(a.Bytes(), alphaDatei);
        QCOMPARE(a.ordner.Lies(QStringLiteral("Alpha.pqb")), alphaDatei);
    }

    void schliessenFragtNachRueckgaengigGemachtemSchritt() {
        Aufbau a(kDrei);
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        a.Waehle(0);
        a.Taste(Qt::Key_Down, Qt::ControlModifier);
        a.Taste(Qt::Key_Z, Qt::ControlModifier);
        a.boxen.Antworte({A::Nein});
        QVERIFY(a.w->close());
        QCOMPARE(a.boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(a.boxen.gezeigt[0].text, QStringLiteral("Änderungen speichern?"));
    }

    void tastenStehenImKontextmenue() {
        Aufbau a(kDrei);
        const std::vector<std::pair<const char*, QString>> tasten = {
            {"AlsTextinZwischenablage1", "Ctrl+C"}, {"AlsFormelinZwischenablage1", "Ctrl+Shift+C"},
            {"Einfgen1", "Ctrl+V"},                 {"NeueFormeleinfgen1", "Ctrl+N"},
            {"Editieren1", "F2"},                   {"Lschen1", "Del"},
            {"FormelNachOben1", "Ctrl+Up"},         {"FormelNachUnten1", "Ctrl+Down"},
            {"Suchen1", "Ctrl+F"},                  {"Weitersuchen1", "F3"},
            {"Drucken1", "Ctrl+P"},                 {"Berechnen1", "F9"},
            {"Hilfe1", "F1"},                       {"Beenden1", "Ctrl+Q"},
            {"Rueckgaengig1", "Ctrl+Z"},            {"Wiederholen1", "Ctrl+Shift+Z"},
            {"Vergroessern1", "Ctrl++"},            {"Verkleinern1", "Ctrl+-"},
            {"Originalgroesse1", "Ctrl+0"},
        };
        for (const auto& [name, taste] : tasten) {
            QAction* aktion = nullptr;
            for (QAction* x : a.w->PopupMenu1->actions() + a.w->Ansicht1->actions())
                if (x->objectName() == QLatin1String(name)) aktion = x;
            QVERIFY2(aktion, name);
            QCOMPARE(aktion->shortcut().toString(QKeySequence::PortableText), taste);
            QVERIFY2(aktion->isShortcutVisibleInContextMenu(), name);
            QVERIFY2(a.w->actions().contains(aktion), name);
        }
        // The old items keep their places at the top, the new ones follow them.
        QStringList namen;
        for (QAction* x : a.w->PopupMenu1->actions()) namen << x->objectName();
        QCOMPARE(namen.indexOf(QStringLiteral("Lschen1")), 0);
        QVERIFY(namen.indexOf(QStringLiteral("Grafikspeichern1")) < namen.indexOf(QStringLiteral("Rueckgaengig1")));
    }

    void tastenWirken() {
        Aufbau a({"y=6*7", "x=y^2 {Parabel}"});
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        a.Waehle(0);
        // F9 computes.
        a.Taste(Qt::Key_F9);
        QVERIFY2(a.boxen.Protokoll().contains(QStringLiteral("42")), qPrintable(a.boxen.Protokoll()));
        // Ctrl+C copies the text, Ctrl+Shift+C the picture.
        QGuiApplication::clipboard()->clear();
        a.Taste(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(kd::FormeltextMime)),
                 QByteArray("y=6*7"));
        a.Taste(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("image/svg+xml")));
        // Ctrl+P opens the print dialog (cancelled).
        a.Taste(Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t(1));
        QCOMPARE(a.dialoge.aufrufe[0].art, QStringLiteral("drucken"));
        // Ctrl+F opens the search dialog.
        bool suche = false;
        QTimer::singleShot(0, [&suche] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                suche = d->windowTitle() == QStringLiteral("Formel suchen");
                d->reject();
            }
        });
        a.Taste(Qt::Key_F, Qt::ControlModifier);
        QVERIFY(suche);
        // F1 shows the help.
        a.Taste(Qt::Key_F1);
        bool hilfe = false;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t != a.w.get() && t->isVisible() && t->inherits("kd::THilfe")) {
                hilfe = true;
                t->close();
            }
        QVERIFY(hilfe);
        // Ctrl+Q closes the window.
        a.Taste(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!a.w->isVisible());
    }

    void weitersuchenGehtVonTrefferZuTreffer() {
        Aufbau a({"a=1", "b=2", "a=3"}, {"c=4", "a=5"});
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        kd::GemerkteSuchbegriffe() = {"", "a="};
        struct Schritt {
            const char* bibliothek;
            const char* text;
        };
        const std::vector<Schritt> folge = {
            {"Alpha", "a=3"}, {"Beta", "a=5"}, {"Alpha", "a=1"}, {"Alpha", "a=3"}, {"Beta", "a=5"}};
        a.Waehle(0);
        for (const Schritt& s : folge) {
            a.Taste(Qt::Key_F3);
            QCOMPARE(a.w->ListBox1->item(a.S().AktBibliothek)->text(), QString::fromLatin1(s.bibliothek));
            QCOMPARE(a.w->RichEdit1->toPlainText(), QString::fromLatin1(s.text));
        }
        // The only match is found again; no match says so.
        kd::GemerkteSuchbegriffe() = {"", "c="};
        a.Taste(Qt::Key_F3);
        QCOMPARE(a.w->RichEdit1->toPlainText(), QStringLiteral("c=4"));
        a.Taste(Qt::Key_F3);
        QCOMPARE(a.w->RichEdit1->toPlainText(), QStringLiteral("c=4"));
        kd::GemerkteSuchbegriffe() = {"", "nirgends"};
        a.Taste(Qt::Key_F3);
        QVERIFY(a.boxen.Protokoll().contains(QStringLiteral("Keine Übereinstimmung gefunden")));
        kd::GemerkteSuchbegriffe() = {};
    }

    void weitersuchenHaeltBeiAbgebrochenemSpeichern() {
        // The library was changed here and by another program; "Abbrechen" on the
        // question keeps both: F3 neither saves nor loads another library over the
        // unsaved formulas.
        Aufbau a({"a=1", "b=2"}, {"a=5"});
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        a.Waehle(1);
        a.S().FormelListe.DeleteItem(0);
        a.S().Geaendert = true;
        const QByteArray fremd = Bibliothek({"c=3", "d=4", "e=5"});
        a.ordner.Schreibe(QStringLiteral("Alpha.pqb"), fremd);
        kd::GemerkteSuchbegriffe() = {"", "a=5"};
        a.boxen.Antworte({A::Abbrechen});
        a.Taste(Qt::Key_F3);
        kd::GemerkteSuchbegriffe() = {};
        QVERIFY2(a.boxen.Protokoll().contains(QStringLiteral("außerhalb des Programms geändert")),
                 qPrintable(a.boxen.Protokoll()));
        QCOMPARE(a.w->ListBox1->item(a.S().AktBibliothek)->text(), QStringLiteral("Alpha"));
        QVERIFY(a.S().Geaendert);
        QCOMPARE(a.S().FormelListe.Count(), 1);
        QCOMPARE(a.ordner.Lies(QStringLiteral("Alpha.pqb")), fremd);
    }

    void zoomHaeltAuswahlSichtbarUndTrifft() {
        std::vector<std::string> viele;
        for (int i = 0; i < 40; ++i) viele.push_back("f" + std::to_string(i) + "=x^2/(1+y)");
        Aufbau a(viele);
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        const double standard = kd::SeitenZoom * a.w->PaintBox1->logicalDpiY() / 96.0;
        QCOMPARE(a.w->PaintBox1->ZoomFactor, standard);
        a.Waehle(20);
        a.w->SeiteBereit();
        const auto positionen = a.w->Seite.FormelPos;

        struct Schritt {
            std::function<void()> taste;
            double stufe;
        };
        auto plus = [&] { a.Taste(Qt::Key_Plus, Qt::ControlModifier); };
        auto minus = [&] { a.Taste(Qt::Key_Minus, Qt::ControlModifier); };
        auto rad = [&](int delta) {
            const QPoint p = a.w->PaintBox1->mapFrom(a.w->CScrollBox1->viewport(), QPoint(50, 50));
            QWheelEvent e(QPointF(p), QPointF(a.w->PaintBox1->mapToGlobal(p)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(a.w->PaintBox1, &e);
        };
        const std::vector<Schritt> schritte = {
            {plus, 1.1},  {plus, 1.25}, {plus, 1.5}, {plus, 1.75}, {plus, 2.0}, {plus, 2.5},
            {plus, 3.0},  {plus, 3.5},  {plus, 4.0}, {plus, 4.0},  {[&] { a.Taste(Qt::Key_0, Qt::ControlModifier); }, 1.0},
            {minus, 0.9}, {minus, 0.8}, {minus, 0.75}, {minus, 0.67}, {minus, 0.5}, {minus, 0.5},
            {[&] { rad(120); }, 0.67}, {[&] { rad(240); }, 0.8}, {[&] { rad(60); }, 0.8},
            {[&] { rad(60); }, 0.9}, {[&] { rad(-120); }, 0.8},
        };
        for (const Schritt& s : schritte) {
            const double alt = a.w->Zoomstufe();
            s.taste();
            QCOMPARE(a.w->Zoomstufe(), s.stufe);
            if (alt == s.stufe) continue;  // at the end of the range nothing moves
            QCOMPARE(a.w->PaintBox1->ZoomFactor, standard * s.stufe);
            const int akt = a.S().AktFormel;
            QVERIFY2(akt == 20, qPrintable(QStringLiteral("Stufe %1: %2").arg(s.stufe).arg(akt)));
            // The whole frame is in the view.
            const QRect rahmen = a.RahmenImBild(akt);
            const QRect bild = a.w->CScrollBox1->viewport()->rect();
            QVERIFY2(bild.contains(rahmen), qPrintable(QStringLiteral("Stufe %1: %2,%3 %4x%5 in %6x%7")
                                                          .arg(s.stufe).arg(rahmen.x()).arg(rahmen.y())
                                                          .arg(rahmen.width()).arg(rahmen.height())
                                                          .arg(bild.width()).arg(bild.height())));
            // The layout does not depend on the zoom.
            a.w->SeiteBereit();
            for (int i = 0; i < 40; ++i)
                QCOMPARE(a.w->Seite.FormelPos[std::size_t(i)].Unterkante, positionen[std::size_t(i)].Unterkante);
            // A click on the formula above the selected one (or below) selects it.
            for (int ziel : {19, 21, 20}) {
                const QRect r = a.RahmenImBild(ziel);
                const QPoint mitte = r.center();
                if (!bild.contains(mitte)) continue;
                QTest::mouseClick(a.w->PaintBox1, Qt::LeftButton, {},
                                  a.w->PaintBox1->mapFrom(a.w->CScrollBox1->viewport(), mitte));
                QCOMPARE(a.S().AktFormel, ziel);
            }
            // Back to formula 20 with one key.
            if (a.S().AktFormel == 19) a.Taste(Qt::Key_Down);
            if (a.S().AktFormel == 21) a.Taste(Qt::Key_Up);
            QCOMPARE(a.S().AktFormel, 20);
        }
    }

    void zoomZeichnetScharf() {
        // The page is drawn at the zoom (vectors), not an enlarged image: at twice the
        // zoom a formula's ink covers about four times the pixels and stays black.
        Aufbau a({"y=x^2+WURZEL(a/b)"});
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        auto tinte = [&] {
            a.w->ShowFormel();
            const QImage bild = a.w->CScrollBox1->viewport()->grab().toImage();
            int schwarz = 0, grau = 0;
            for (int y = 0; y < bild.height(); ++y)
                for (int x = 0; x < bild.width(); ++x) {
                    const int g = qGray(bild.pixel(x, y));
                    if (g < 60) ++schwarz;
                    else if (g < 200) ++grau;
                }
            return std::pair{schwarz, grau};
        };
        // The picture copy (and a dragged formula) does not change with the zoom.
        std::unique_ptr<QMimeData> vorher(a.w->FormelZiehdaten(0));
        const auto [s1, g1] = tinte();
        a.Taste(Qt::Key_Plus, Qt::ControlModifier);
        for (int i = 0; i < 4; ++i) a.Taste(Qt::Key_Plus, Qt::ControlModifier);  // 2.0
        QCOMPARE(a.w->Zoomstufe(), 2.0);
        const auto [s2, g2] = tinte();
        QVERIFY2(s2 > 3 * s1, qPrintable(QStringLiteral("%1 -> %2").arg(s1).arg(s2)));
        // Edges stay as thin as before: an enlarged image would have twice as wide
        // grey edges.
        QVERIFY2(g2 < 3 * g1, qPrintable(QStringLiteral("%1 -> %2").arg(g1).arg(g2)));
        std::unique_ptr<QMimeData> nachher(a.w->FormelZiehdaten(0));
        QCOMPARE(nachher->data(QStringLiteral("image/svg+xml")), vorher->data(QStringLiteral("image/svg+xml")));
        QCOMPARE(qvariant_cast<QImage>(nachher->imageData()), qvariant_cast<QImage>(vorher->imageData()));
    }

    void ziehenUndAblegen() {
        Aufbau a(kDrei, {"u=v"});
        QVERIFY(QTest::qWaitForWindowActive(a.w.get()));
        // What a drag carries: the picture and the text of the copy commands.
        std::unique_ptr<QMimeData> daten(a.w->FormelZiehdaten(1));
        QVERIFY(daten);
        QCOMPARE(daten->data(QString::fromLatin1(kd::FormeltextMime)), QByteArray("x=y^2 {Parabel}"));
        QCOMPARE(daten->text(), QStringLiteral("x=y^2 {Parabel}"));
        // The picture copy's MathML goes along, as the editable equation's HTML.
        QVERIFY(daten->data(QString::fromLatin1(kd::MathMLMime)).startsWith("<math"));
        QVERIFY(daten->hasHtml());
        QVERIFY(daten->data(QStringLiteral("image/svg+xml")).startsWith("<?xml"));
        QVERIFY(!qvariant_cast<QImage>(daten->imageData()).isNull());
        QVERIFY(!a.w->FormelZiehdaten(3));

        // Moved on the page onto another formula: one step.
        bool ok = false;
        Ablegen(a.w->PaintBox1, a.MitteInBox(0), a.w->FormelZiehdaten(2), ok);
        QVERIFY(ok);
        QCOMPARE(a.S().FormelListe[0]->FormelText, std::string("E=m*c^2"));
        QCOMPARE(a.S().AktFormel, 0);
        QCOMPARE(a.w->Rueckgaengig1->text(), QStringLiteral("Rückgängig: Formel verschieben"));
        // Below the last formula: to the end.
        Ablegen(a.w->PaintBox1, QPoint(50, a.MitteInBox(2).y() + 300), a.w->FormelZiehdaten(0), ok);
        QVERIFY(ok);
        QCOMPARE(a.S().FormelListe[2]->FormelText, std::string("E=m*c^2"));
        QCOMPARE(a.w->Verlauf().Stapel().count(), 2);

        // A picture file dropped on a formula is attached to it; beside the formulas it
        // is refused.
        const QByteArray bmp = Bmp(6, 4, Qt::blue);
        a.ordner.Schreibe(QStringLiteral("blau.bmp"), bmp);
        auto dateiDaten = [&](const QString& name) {
            auto* m = new QMimeData;
            m->setUrls({QUrl::fromLocalFile(a.ordner.Datei(name))});
            return m;
        };
        std::unique_ptr<QMimeData> bild(dateiDaten(QStringLiteral("blau.bmp")));
        Ablegen(a.w->PaintBox1, a.MitteInBox(1), bild.get(), ok);
        QVERIFY(ok);
        QTRY_COMPARE(a.S().FormelListe[1]->BildTyp, 2);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(a.S().FormelListe[1]->Bild.data()),
                            qsizetype(a.S().FormelListe[1]->Bild.size())),
                 bmp);
        QCOMPARE(a.S().AktFormel, 1);
        Ablegen(a.w->ListBox1, QPoint(5, 5), bild.get(), ok);
        QVERIFY(!ok);
        // A JPEG named ".jpeg" is a JPEG picture too.
        {
            QImage gruen(5, 5, QImage::Format_RGB32);
            gruen.fill(Qt::green);
            QVERIFY(gruen.save(a.ordner.Datei(QStringLiteral("gruen.jpeg")), "JPEG"));
        }
        std::unique_ptr<QMimeData> jpeg(dateiDaten(QStringLiteral("gruen.jpeg")));
        Ablegen(a.w->PaintBox1, a.MitteInBox(0), jpeg.get(), ok);
        QVERIFY(ok);
        QTRY_COMPARE(a.S().FormelListe[0]->BildTyp, 1);
        QCOMPARE(a.S().FormelListe[0]->Bild.size(),
                 std::size_t(QFileInfo(a.ordner.Datei(QStringLiteral("gruen.jpeg"))).size()));
        QVERIFY2(a.boxen.gezeigt.empty(), qPrintable(a.boxen.Protokoll()));

        // A library file dropped anywhere on the window is opened.
        std::unique_ptr<QMimeData> bib(dateiDaten(QStringLiteral("Beta.pqb")));
        Ablegen(a.w->ListBox1, QPoint(5, 5), bib.get(), ok);
        QVERIFY(ok);
        QTRY_COMPARE(a.w->ListBox1->item(0)->text(), QStringLiteral("Beta"));
        QCOMPARE(a.w->RichEdit1->toPlainText(), QStringLiteral("u=v"));
        // Alpha was saved with its changes when it was left.
        kd::FormelListeTyp alpha;
        kd::LiesBibliothek(QFile::encodeName(a.ordner.Datei(QStringLiteral("Alpha.pqb"))).toStdString(), alpha);
        QCOMPARE(alpha[0]->BildTyp, 1);
        QCOMPARE(alpha[1]->BildTyp, 2);
        // Other files are refused.
        a.ordner.Schreibe(QStringLiteral("notiz.txt"), "x");
        std::unique_ptr<QMimeData> text(dateiDaten(QStringLiteral("notiz.txt")));
        Ablegen(a.w->PaintBox1, a.MitteInBox(0), text.get(), ok);
        QVERIFY(!ok);
    }

    void teilerGibtDerListePlatz() {
        Aufbau a(kDrei);
        QWidget* teiler = a.w->Teiler1;
        QVERIFY(teiler && teiler->isVisible());
        const QRect seite = a.w->CScrollBox1->geometry();
        const QRect liste = a.w->ListBox1->geometry();
        const QRect logo = a.w->Image1->geometry();
        // In the gap between the page and the list.
        QCOMPARE(teiler->x(), seite.right() + 1);
        QCOMPARE(teiler->geometry().right(), liste.left() - 1);
        const QPoint mitte = teiler->rect().center();
        QTest::mousePress(teiler, Qt::LeftButton, {}, mitte);
        QTest::mouseMove(teiler, mitte - QPoint(100, 0));
        // The divider has moved with the mouse: the release is at its middle again.
        QTest::mouseRelease(teiler, Qt::LeftButton, {}, mitte);
        QCOMPARE(a.w->Teilung(), 100);
        QCOMPARE(a.w->CScrollBox1->geometry(), seite.adjusted(0, 0, -100, 0));
        QCOMPARE(a.w->ListBox1->geometry(), liste.adjusted(-100, 0, 0, 0));
        QCOMPARE(a.w->Image1->geometry(), logo.translated(-50, 0));
        QCOMPARE(teiler->x(), seite.right() - 99);
        // A wider window keeps the divider's share; the page never gets too narrow.
        a.w->resize(a.w->width() + 200, a.w->height());
        QCOMPARE(a.w->CScrollBox1->width(), seite.width() + 100);
        QCOMPARE(a.w->ListBox1->width(), liste.width() + 100);
        a.w->SetTeilung(5000);
        QCOMPARE(a.w->CScrollBox1->width(), 150);
        a.w->SetTeilung(-30);
        QCOMPARE(a.w->Teilung(), 0);
        QCOMPARE(a.w->ListBox1->width(), liste.width());
    }

    void einstellungenImZweitenFenster() {
        const QString konfigDatei = konfig_.filePath(QStringLiteral("KALDORA/Formelsammlung.conf"));
        QFile::remove(konfigDatei);
        QRect geometrie;
        {
            Aufbau a(kDrei);
            const QStringList vorher = QDir(a.ordner.Pfad()).entryList(QDir::Files);
            a.w->EinstellungenLaden();  // none yet: the standard
            QCOMPARE(a.w->Zoomstufe(), 1.0);
            a.w->setGeometry(40, 50, 700, 600);
            a.Taste(Qt::Key_Plus, Qt::ControlModifier);
            a.Taste(Qt::Key_Plus, Qt::ControlModifier);
            a.w->SetTeilung(60);
            geometrie = a.w->geometry();
            QVERIFY(a.w->close());
            QVERIFY(QFile::exists(konfigDatei));
            // Nothing beside the libraries.
            QStringList nachher = QDir(a.ordner.Pfad()).entryList(QDir::Files);
            nachher.removeAll(QStringLiteral("abbild.bin"));
            QCOMPARE(nachher, vorher);
        }
        {
            Aufbau b(kDrei);
            b.w->EinstellungenLaden();
            QCOMPARE(b.w->Zoomstufe(), 1.25);
            QCOMPARE(b.w->PaintBox1->ZoomFactor,
                     kd::SeitenZoom * b.w->PaintBox1->logicalDpiY() / 96.0 * 1.25);
            QCOMPARE(b.w->size(), geometrie.size());
            QCOMPARE(b.w->Teilung(), 60);
        }
        // A broken or out-of-range value gives a zoom in the range.
        for (const auto& [wert, stufe] : std::vector<std::pair<QVariant, double>>{
                 {QStringLiteral("Unsinn"), 1.0}, {99.0, 4.0}, {0.01, 0.5}, {QStringLiteral("nan"), 1.0}}) {
            {
                QSettings e(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KALDORA"),
                            QStringLiteral("Formelsammlung"));
                e.setValue(QStringLiteral("Hauptfenster/Zoom"), wert);
            }
            Aufbau c(kDrei);
            c.w->EinstellungenLaden();
            QCOMPARE(c.w->Zoomstufe(), stufe);
        }
        // Windows that do not load the settings leave them alone.
        {
            QSettings e(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KALDORA"),
                        QStringLiteral("Formelsammlung"));
            e.setValue(QStringLiteral("Hauptfenster/Zoom"), 2.0);
        }
        {
            Aufbau d(kDrei);
            QCOMPARE(d.w->Zoomstufe(), 1.0);
            d.Taste(Qt::Key_Minus, Qt::ControlModifier);
            QVERIFY(d.w->close());
        }
        QSettings e(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KALDORA"),
                    QStringLiteral("Formelsammlung"));
        QCOMPARE(e.value(QStringLiteral("Hauptfenster/Zoom")).toDouble(), 2.0);
    }

private:
    QTemporaryDir konfig_;
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
