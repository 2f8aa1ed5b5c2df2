// The unit converter driven through its widgets: the pages and groups, typing,
// beeps, the locale separator, opening from the main window, and that every text
// fits its control.
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
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

#include <cmath>
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
W* Kind(const QWidget& w, const QString& name) { return w.findChild<W*>(name); }

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
        THauptformular d;
        QVERIFY(Zeige(d));
        QCOMPARE(d.windowTitle(), QStringLiteral("Einheiten-Umrechnung"));
        QCOMPARE(d.size(), QSize(549, 467));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QCOMPARE(Kind<QTabWidget>(d, "Register"), d.Register);
        QCOMPARE(d.Register->currentIndex(), 5);
        QCOMPARE(Kind<QPushButton>(d, "BitBtn1")->text(), QStringLiteral("OK"));
        QCOMPARE(Kind<QPushButton>(d, "BitBtn2")->text(), QStringLiteral("Schließen"));
        const QStringList tabs = {"Länge", "Fläche", "Volumen", "Masse", "Zeit", "Temperatur"};
        QCOMPARE(d.Register->count(), tabs.size());
        for (int s = 0; s < 6; ++s) {
            QCOMPARE(d.Register->tabText(s), tabs[s]);
            d.Register->setCurrentIndex(s);
            const QString g = QString::fromLatin1(kGruppen[s]), st = QString::fromLatin1(kStaemme[s]);
            auto* von = Kind<QGroupBox>(d, "Von" + g);
            auto* nach = Kind<QGroupBox>(d, "Nach" + g);
            QVERIFY(von && nach);
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
            }
            QCOMPARE(Kind<QLabel>(d, QString::fromLatin1(kBeispiele[s]))->text(),
                     s == 5 ? QStringLiteral("Formel:") : QStringLiteral("Beispiel:"));
            QCOMPARE(Kind<QLineEdit>(d, st + "Eingabe")->maxLength(), 12);
            QVERIFY(Kind<QLineEdit>(d, st + "Ausgabe")->isEnabled());
            QVERIFY(Kind<QLineEdit>(d, st + "Ausgabe")->isReadOnly());
            QVERIFY(Kind<QLabel>(d, st + "Eingabeeinheit") && Kind<QLabel>(d, st + "Ausgabeeinheit"));
        }
    }

    void tippenRechnetUmUndJedeSeiteBehaeltIhrPaar() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        const struct {
            int seite, von, nach;
            const char* eingabe;
            QString ausgabe, beispiel;
        } faelle[] = {
            {0, 0, 9, "1", "39370.0787402", "Beispiel: 1 m = 39370.079 mil"},
            {1, 4, 5, "1", "1E-18", "Beispiel: 1 µm² = 1E-18 km²"},
            {2, 12, 10, "1,5", "12", "Beispiel: 1 gal  (US) = 8 liq pt  (US)"},
            {5, 0, 1, "12,5", "285.65", "Formel: x °C = (x+273,15) K"},
        };
        for (const auto& f : faelle) {
            Paar(d, f.seite, f.von, f.nach);
            const auto& w = d.Felder(f.seite);
            QTest::keyClicks(w.Eingabe, f.eingabe);
            QCOMPARE(w.Ausgabe->text(), f.ausgabe);
            QCOMPARE(w.Beschriftung->text(), f.beispiel);
            QCOMPARE(w.Eingabeeinheit->text(), Text(kd::Einheit(f.seite, f.von)));
            QCOMPARE(w.Ausgabeeinheit->text(), Text(kd::Einheit(f.seite, f.nach)));
        }
        // Back on "Länge": its pair, input and result are still there.
        d.Register->setCurrentIndex(0);
        QVERIFY(d.Felder(0).VonKnoepfe->button(0)->isChecked());
        QTest::keyClicks(d.Felder(0).Eingabe, "0");
        QCOMPARE(d.Felder(0).Ausgabe->text(), QStringLiteral("393700.787402"));
        QCOMPARE(d.Felder(1).Ausgabe->text(), QStringLiteral("1E-18"));
        QVERIFY(!d.Felder(3).VonKnoepfe->checkedButton());
        QCOMPARE(boxen.signaltoene, 0);
    }

    void ergebnisIstLesbarUndKopierbar() {
        // The result is drawn in the normal text colour on the field's ground (a
        // contrast ratio of at least 4.5:1), can be selected and copied, but not edited.
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        Paar(d, 0, 0, 2);  // m -> cm
        QTest::keyClicks(d.Felder(0).Eingabe, "12");
        QLineEdit* a = d.Felder(0).Ausgabe;
        QCOMPARE(a->text(), QStringLiteral("1200"));
        const auto leuchte = [](QColor c) {
            const auto kanal = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * kanal(c.redF()) + 0.7152 * kanal(c.greenF()) + 0.0722 * kanal(c.blueF());
        };
        const QPalette::ColorGroup gruppe = a->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const double l1 = leuchte(a->palette().color(gruppe, QPalette::Text));
        const double l2 = leuchte(a->palette().color(gruppe, QPalette::Base));
        const double kontrast = (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
        QVERIFY2(kontrast >= 4.5, qPrintable(QString::number(kontrast)));

        QTest::mouseDClick(a, Qt::LeftButton, {}, a->rect().center());
        a->setFocus();
        QTest::keyClick(a, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(a, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1200"));
        QTest::keyClicks(a, "9");
        QCOMPARE(a->text(), QStringLiteral("1200"));
    }

    void piepenUndLeereErgebnisse() {
        FakeMeldungen boxen;
        THauptformular d(&boxen);
        QVERIFY(Zeige(d));
        Paar(d, 0, 0, 2);  // m -> cm
        QLineEdit* e = d.Felder(0).Eingabe;
        QLineEdit* a = d.Felder(0).Ausgabe;
        const struct {
            Qt::Key taste;
            int toene;
            QString ausgabe;
        } schritte[] = {
            {Qt::Key_Minus, 0, ""},  // a negative number begins
            {Qt::Key_1, 0, "-100"},   {Qt::Key_Comma, 0, "-100"}, {Qt::Key_5, 0, "-150"},
            {Qt::Key_Comma, 1, ""},   {Qt::Key_X, 2, ""},         {Qt::Key_Backspace, 3, ""},
            {Qt::Key_Backspace, 3, "-150"},
        };
        e->setFocus();
        for (const auto& s : schritte) {
            QTest::keyClick(e, s.taste);
            QCOMPARE(boxen.signaltoene, s.toene);
            QCOMPARE(a->text(), s.ausgabe);
        }
        e->clear();  // emptying gives no beep
        QVERIFY(a->text().isEmpty());
        // The same temperature unit copies any text, also one without Windows-1252 form.
        Paar(d, 5, 0, 0);
        const auto& t = d.Felder(5);
        QCOMPARE(t.Beschriftung->text(), QStringLiteral("Formel: x °C = x °C"));
        Tippe(t.Eingabe, QStringLiteral("abc αβ"));
        QCOMPARE(t.Ausgabe->text(), QStringLiteral("abc αβ"));
        QCOMPARE(boxen.signaltoene, 3);
        Waehle(d, 5, false, 1);  // now it is read
        QVERIFY(t.Ausgabe->text().isEmpty());
        QCOMPARE(boxen.signaltoene, 4);
        QVERIFY(boxen.gezeigt.empty());
    }

    void dezimaltrennerDesGebietsschemas() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        THauptformular d;
        QLocale::setDefault(QLocale::c());
        QVERIFY(Zeige(d));
        Paar(d, 0, 10, 0);
        d.Felder(0).Eingabe->setText(QStringLiteral("2.5"));
        QCOMPARE(d.Felder(0).Beschriftung->text(), QStringLiteral("Beispiel: 1 in = 0,0254 m"));
        QCOMPARE(d.Felder(0).Ausgabe->text(), QStringLiteral("0,0635"));
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
        BeimOeffnen(*w, [](THauptformular& d) {  // a new window: nothing chosen, nothing shown
            QCOMPARE(d.Register->currentIndex(), 5);
            for (int s = 0; s < 6; ++s) {
                const auto& f = d.Felder(s);
                QVERIFY(!f.VonKnoepfe->checkedButton() && !f.NachKnoepfe->checkedButton());
                QVERIFY(f.Eingabe->text().isEmpty() && f.Ausgabe->text().isEmpty());
            }
            QCOMPARE(d.Felder(0).Beschriftung->text(), QStringLiteral("Beispiel:"));
        }, gelaufen);
        w->SpeedInformation->click();
        QVERIFY(gelaufen);
        QCOMPARE(boxen.signaltoene, 3);
        QVERIFY(boxen.gezeigt.empty());
    }

    // Every label and button shows its whole text, for every pair of units.
    void nichtsWirdAbgeschnitten() {
        THauptformular d;
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
            for (const QWidget* w : QList<QWidget*>{f.Eingabe, f.Ausgabe, f.Eingabeeinheit, f.Ausgabeeinheit, f.Beschriftung})
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
