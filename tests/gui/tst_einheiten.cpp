// The unit converter driven through its widgets: the pages and groups, typing,
// beeps, the locale separator, opening from the main window, and that every text
// fits its control.
#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

#include "core/numeric/Encoding.h"
#include "core/units/Einheiten.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/units/Hauptformular.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::THauptformular;
using kdtest::FakeMeldungen;

namespace {

QString Text(std::string_view cp1252) { return QString::fromStdString(kd::Cp1252ToUtf8(cp1252)); }

const char* const kGruppen[] = {"Laenge", "Flaeche", "Volumen", "Masse", "Zeit", "Temperatur"};
const char* const kStaemme[] = {"Laengen", "Flaechen", "Volumen", "Massen", "Zeit", "Temperatur"};
const char* const kBeispiele[] = {"LaengenBeispiel", "FlaechenBeispiel", "VolumenBeispiel",
                                  "MassenBeispiel",  "ZeitBeispiel",     "Temperaturformel"};

template <class W>
W* Kind(const QWidget& w, const QString& name) {
    W* k = w.findChild<W*>(name);
    if (!k) qWarning("no widget %s", qPrintable(name));
    return k;
}

QList<QRadioButton*> Knoepfe(const QGroupBox* g) { return g->findChildren<QRadioButton*>(); }

// Shows page `seite` and clicks a unit with the mouse.
void Waehle(THauptformular& d, int seite, bool von, int einheit) {
    d.Register->setCurrentIndex(seite);
    const auto& f = d.Felder(seite);
    QAbstractButton* k = (von ? f.VonKnoepfe : f.NachKnoepfe)->button(einheit);
    QTest::mouseClick(k, Qt::LeftButton, {}, QPoint(8, k->height() / 2));
}

void Paar(THauptformular& d, int seite, int von, int nach) {
    Waehle(d, seite, true, von);
    Waehle(d, seite, false, nach);
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

void Loesche(QLineEdit* e) {
    e->setFocus();
    e->end(false);
    while (!e->text().isEmpty()) QTest::keyClick(e, Qt::Key_Backspace);
}

bool Zeige(QWidget& w) {
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

// Runs `was` on the converter the main window opens, once its modal loop runs.
void BeimOeffnen(kd::TDlgFormelSamml& w, std::function<void(THauptformular&)> was, bool& gelaufen) {
    QTimer::singleShot(0, &w, [&w, was, &gelaufen] {
        auto* d = w.findChild<THauptformular*>();
        if (d) {
            was(*d);
            gelaufen = true;
            d->BitBtn2->click();
        }
    });
}

} // namespace

class TestEinheiten : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        kdtest::AnwendungEinrichten();
        QLocale::setDefault(QLocale::c());
    }

    void fensterUndSeitenWieBeschrieben() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        QCOMPARE(d.windowTitle(), QStringLiteral("Einheiten-Umrechnung"));
        QCOMPARE(d.size(), QSize(549, 467));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QCOMPARE(Kind<QTabWidget>(d, "Register"), d.Register);
        QCOMPARE(d.Register->count(), 6);
        QCOMPARE(d.Register->currentIndex(), 5);
        QCOMPARE(d.BitBtn1->objectName(), QStringLiteral("BitBtn1"));
        QCOMPARE(d.BitBtn1->text(), QStringLiteral("OK"));
        QCOMPARE(d.BitBtn2->objectName(), QStringLiteral("BitBtn2"));
        QCOMPARE(d.BitBtn2->text(), QStringLiteral("Schließen"));
        const QStringList tabs = {"Länge", "Fläche", "Volumen", "Masse", "Zeit", "Temperatur"};

        for (int s = 0; s < 6; ++s) {
            QCOMPARE(d.Register->tabText(s), tabs[s]);
            d.Register->setCurrentIndex(s);
            const QString g = QString::fromLatin1(kGruppen[s]);
            const QString st = QString::fromLatin1(kStaemme[s]);
            auto* von = Kind<QGroupBox>(d, "Von" + g);
            auto* nach = Kind<QGroupBox>(d, "Nach" + g);
            QVERIFY(von && nach);
            QCOMPARE(von, d.Felder(s).Von);
            QCOMPARE(von->title(), QStringLiteral(" von "));
            QCOMPARE(nach->title(), QStringLiteral(" nach "));
            QVERIFY(von->geometry().right() < nach->geometry().left());  // side by side
            for (QGroupBox* gr : {von, nach}) {
                const auto k = Knoepfe(gr);
                QCOMPARE(k.size(), kd::EinheitenAnzahl(s));
                QSet<int> spalten;
                for (int i = 0; i < k.size(); ++i) {
                    QCOMPARE(k[i]->text(), Text(kd::Einheit(s, i)));
                    QVERIFY(!k[i]->isChecked());
                    spalten.insert(k[i]->x());
                }
                QCOMPARE(int(spalten.size()), s <= 3 ? 2 : 1);
                // Column by column: the first unit of the second column is right of the first.
                if (s <= 3) QVERIFY(k.last()->x() > k.first()->x());
            }
            auto* beispiel = Kind<QLabel>(d, QString::fromLatin1(kBeispiele[s]));
            QVERIFY(beispiel);
            QCOMPARE(beispiel->text(), s == 5 ? QStringLiteral("Formel:") : QStringLiteral("Beispiel:"));
            auto* eingabe = Kind<QLineEdit>(d, st + "Eingabe");
            auto* ausgabe = Kind<QLineEdit>(d, st + "Ausgabe");
            QVERIFY(eingabe && ausgabe);
            QCOMPARE(eingabe->maxLength(), 12);
            QVERIFY(eingabe->isEnabled());
            QVERIFY(!ausgabe->isEnabled());
            QVERIFY(ausgabe->text().isEmpty());
            QVERIFY(Kind<QLabel>(d, st + "Eingabeeinheit"));
            QVERIFY(Kind<QLabel>(d, st + "Ausgabeeinheit"));
        }
        QVERIFY(boxen.gezeigt.empty());
    }

    void tippenRechnetUm() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        const struct {
            int seite, von, nach;
            const char* eingabe;
            QString ausgabe, beispiel;
        } faelle[] = {
            {0, 0, 9, "1", "39370.0787402", "Beispiel: 1 m = 39370.079 mil"},
            {0, 10, 0, "2", "0.0508", "Beispiel: 1 in = 0.0254 m"},
            {1, 4, 5, "1", "1E-18", "Beispiel: 1 µm² = 1E-18 km²"},
            {2, 12, 10, "1,5", "12", "Beispiel: 1 gal  (US) = 8 liq pt  (US)"},
            {3, 5, 1, "1", "453.592", "Beispiel: 1 lb = 453.592 g"},
            {4, 2, 0, "-1,5", "-5400", "Beispiel: 1 h = 3600 s"},
            {5, 0, 1, "12,5", "285.65", "Formel: x °C = (x+273,15) K"},
            {5, 2, 0, "212", "100", "Formel: x °F = ((x-32)/1,8) °C"},
        };
        for (const auto& f : faelle) {
            Paar(d, f.seite, f.von, f.nach);
            const auto& w = d.Felder(f.seite);
            Loesche(w.Eingabe);
            QTest::keyClicks(w.Eingabe, f.eingabe);
            QCOMPARE(w.Ausgabe->text(), f.ausgabe);
            QCOMPARE(w.Beschriftung->text(), f.beispiel);
            QCOMPARE(w.Eingabeeinheit->text(), Text(kd::Einheit(f.seite, f.von)));
            QCOMPARE(w.Ausgabeeinheit->text(), Text(kd::Einheit(f.seite, f.nach)));
        }
        QCOMPARE(boxen.signaltoene, 0);
    }

    void nurEineGruppeGibtKeinErgebnis() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        Waehle(d, 0, false, 7);
        const auto& l = d.Felder(0);
        QTest::keyClicks(l.Eingabe, "5x");
        QVERIFY(l.Ausgabe->text().isEmpty());
        QCOMPARE(l.Beschriftung->text(), QStringLiteral("Beispiel:"));
        QCOMPARE(l.Ausgabeeinheit->text(), QStringLiteral("km"));
        Waehle(d, 5, true, 1);
        QVERIFY(d.Felder(5).Beschriftung->text().isEmpty());  // "Formel:" goes at the first click
        QCOMPARE(boxen.signaltoene, 0);
        // The second unit converts the waiting text, which is no number.
        Waehle(d, 0, true, 0);
        QCOMPARE(boxen.signaltoene, 1);
        QVERIFY(l.Ausgabe->text().isEmpty());
    }

    void pieptBeiJedemTastendruckOhneZahl() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        Paar(d, 0, 0, 2);
        QLineEdit* e = d.Felder(0).Eingabe;
        QLineEdit* a = d.Felder(0).Ausgabe;
        const struct {
            Qt::Key taste;
            const char* text;
            int toene;
            QString ausgabe;
        } schritte[] = {
            {Qt::Key_Minus, "-", 0, ""},    // a negative number begins
            {Qt::Key_1, "-1", 0, "-100"},   {Qt::Key_Comma, "-1,", 0, "-100"},
            {Qt::Key_5, "-1,5", 0, "-150"}, {Qt::Key_Comma, "-1,5,", 1, ""},
            {Qt::Key_X, "-1,5,x", 2, ""},   {Qt::Key_Backspace, "-1,5,", 3, ""},
            {Qt::Key_Backspace, "-1,5", 3, "-150"},
        };
        e->setFocus();
        for (const auto& s : schritte) {
            QTest::keyClick(e, s.taste);
            QCOMPARE(e->text(), QString::fromLatin1(s.text));
            QCOMPARE(boxen.signaltoene, s.toene);
            QCOMPARE(a->text(), s.ausgabe);
        }
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);  // emptying gives no beep
        QVERIFY(a->text().isEmpty());
        QCOMPARE(boxen.signaltoene, 3);
        // Input beyond 12 characters is not taken.
        QTest::keyClicks(e, "1234567890123");
        QCOMPARE(e->text(), QStringLiteral("123456789012"));
        QCOMPARE(a->text(), QStringLiteral("1.2345678E13"));
        QCOMPARE(boxen.signaltoene, 3);
        QVERIFY(boxen.gezeigt.empty());
    }

    void gleicheTemperaturKopiertDenText() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        Paar(d, 5, 0, 0);
        const auto& t = d.Felder(5);
        QCOMPARE(t.Beschriftung->text(), QStringLiteral("Formel: x °C = x °C"));
        Tippe(t.Eingabe, QStringLiteral("abc αβ"));
        QCOMPARE(t.Ausgabe->text(), QStringLiteral("abc αβ"));
        QCOMPARE(boxen.signaltoene, 0);
        // Another target: now the text is read, and it is no number.
        Waehle(d, 5, false, 1);
        QVERIFY(t.Ausgabe->text().isEmpty());
        QCOMPARE(boxen.signaltoene, 1);
    }

    void jedeSeiteBehaeltIhrPaar() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        Paar(d, 0, 7, 0);  // km -> m
        QTest::keyClicks(d.Felder(0).Eingabe, "2");
        Paar(d, 1, 5, 0);  // km² -> m²
        QTest::keyClicks(d.Felder(1).Eingabe, "1");
        QCOMPARE(d.Felder(1).Ausgabe->text(), QStringLiteral("1000000"));
        d.Register->setCurrentIndex(0);
        QCOMPARE(d.Felder(0).Ausgabe->text(), QStringLiteral("2000"));  // nothing recomputed
        QTest::keyClicks(d.Felder(0).Eingabe, "5");
        QCOMPARE(d.Felder(0).Ausgabe->text(), QStringLiteral("25000"));
        QCOMPARE(d.Felder(0).Beschriftung->text(), QStringLiteral("Beispiel: 1 km = 1000 m"));
        QCOMPARE(d.Felder(1).Ausgabe->text(), QStringLiteral("1000000"));
        QVERIFY(d.Felder(0).VonKnoepfe->button(7)->isChecked());
        QVERIFY(d.Felder(1).VonKnoepfe->button(5)->isChecked());
        QVERIFY(!d.Felder(2).VonKnoepfe->checkedButton());
    }

    void dezimaltrennerDesGebietsschemas() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QLocale::setDefault(QLocale::c());
        QVERIFY(Zeige(d));
        Paar(d, 0, 10, 0);
        QTest::keyClicks(d.Felder(0).Eingabe, "2.5");
        QCOMPARE(d.Felder(0).Beschriftung->text(), QStringLiteral("Beispiel: 1 in = 0,0254 m"));
        QCOMPARE(d.Felder(0).Ausgabe->text(), QStringLiteral("0,0635"));
        Paar(d, 5, 0, 1);
        QTest::keyClicks(d.Felder(5).Eingabe, "12,5");
        QCOMPARE(d.Felder(5).Ausgabe->text(), QStringLiteral("285,65"));
    }

    void knoepfeSchliessen() {
        FakeMeldungen boxen;
        for (bool ok : {true, false}) {
            THauptformular d(&boxen);
            QTimer::singleShot(0, &d, [&d, ok] { (ok ? d.BitBtn1 : d.BitBtn2)->click(); });
            QCOMPARE(d.exec(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
        }
    }

    void hauptfensterOeffnetJedesMalNeu() {
        kdtest::TestOrdner ordner;
        QVERIFY(ordner.Gueltig());
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        bool gelaufen = false;
        BeimOeffnen(*w, [](THauptformular& d) {
            QCOMPARE(d.Register->currentIndex(), 5);
            Paar(d, 0, 0, 3);
            QTest::keyClicks(d.Felder(0).Eingabe, "abc");
        }, gelaufen);
        w->SpeedInformation->click();
        QVERIFY(gelaufen);
        QCOMPARE(boxen.signaltoene, 3);  // the converter beeps through the window's interface
        QVERIFY(!w->findChild<THauptformular*>());  // gone after closing

        gelaufen = false;
        BeimOeffnen(*w, [](THauptformular& d) {
            QCOMPARE(d.Register->currentIndex(), 5);
            for (int s = 0; s < 6; ++s) {
                const auto& f = d.Felder(s);
                QVERIFY(!f.VonKnoepfe->checkedButton());
                QVERIFY(!f.NachKnoepfe->checkedButton());
                QVERIFY(f.Eingabe->text().isEmpty());
                QVERIFY(f.Ausgabe->text().isEmpty());
                QCOMPARE(f.Beschriftung->text(), s == 5 ? QStringLiteral("Formel:") : QStringLiteral("Beispiel:"));
            }
            QTest::keyClicks(d.Felder(0).Eingabe, "7");
            QVERIFY(d.Felder(0).Ausgabe->text().isEmpty());
        }, gelaufen);
        w->SpeedInformation->click();
        QVERIFY(gelaufen);
        QCOMPARE(boxen.signaltoene, 3);
        QVERIFY(boxen.gezeigt.empty());
    }

    // Every label and button shows its whole text, for every pair of units.
    void nichtsWirdAbgeschnitten() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        const auto passt = [](const QWidget* w) { return w->width() >= w->sizeHint().width(); };
        for (QPushButton* b : {d.BitBtn1, d.BitBtn2}) QVERIFY(passt(b));
        QVERIFY(d.Register->tabBar()->width() <= d.Register->width());
        for (int s = 0; s < 6; ++s) {
            d.Register->setCurrentIndex(s);
            const auto& f = d.Felder(s);
            for (QGroupBox* g : {f.Von, f.Nach})
                for (QRadioButton* k : Knoepfe(g)) {
                    QVERIFY2(passt(k), qPrintable(k->text()));
                    QVERIFY2(g->contentsRect().contains(k->geometry()), qPrintable(k->text()));
                }
            const int n = kd::EinheitenAnzahl(s);
            for (int v = 0; v < n; ++v)
                for (int z = 0; z < n; ++z) {
                    f.VonKnoepfe->button(v)->setChecked(true);
                    f.NachKnoepfe->button(z)->setChecked(true);
                    QVERIFY2(passt(f.Beschriftung), qPrintable(f.Beschriftung->text()));
                    QVERIFY2(passt(f.Eingabeeinheit), qPrintable(f.Eingabeeinheit->text()));
                    QVERIFY2(passt(f.Ausgabeeinheit), qPrintable(f.Ausgabeeinheit->text()));
                }
            // The longest result texts fit the result field, the row fits its panel.
            const QFontMetrics fm(f.Ausgabe->font());
            for (const QString& t : {QStringLiteral("-0.000888888888888"), QStringLiteral("-39370.0787402")})
                QVERIFY2(fm.horizontalAdvance(t) <= f.Ausgabe->width() - 8, qPrintable(t));
            QVERIFY(fm.horizontalAdvance(QStringLiteral("888888888888")) <= f.Eingabe->width() - 8);
            const QWidget* panel = f.Eingabe->parentWidget();
            for (const QWidget* w : {static_cast<const QWidget*>(f.Eingabe), static_cast<const QWidget*>(f.Ausgabe),
                                     static_cast<const QWidget*>(f.Eingabeeinheit), static_cast<const QWidget*>(f.Ausgabeeinheit),
                                     static_cast<const QWidget*>(f.Beschriftung)})
                QVERIFY2(panel->contentsRect().contains(w->geometry()), qPrintable(w->objectName()));
        }
        // Pictures of the pages for a look by eye: KD_BILDER names a folder.
        const QString ordner = qEnvironmentVariable("KD_BILDER");
        if (!ordner.isEmpty()) {
            QDir().mkpath(ordner);
            for (int s = 0; s < 6; ++s) {
                d.Register->setCurrentIndex(s);
                d.Felder(s).VonKnoepfe->button(s == 5 ? 0 : 1)->setChecked(true);
                d.Felder(s).Eingabe->setText(QStringLiteral("-12,5"));
                QVERIFY(d.grab().save(QDir(ordner).filePath(QStringLiteral("einheiten%1.png").arg(s))));
            }
        }
    }
};

QTEST_MAIN(TestEinheiten)
#include "tst_einheiten.moc"
