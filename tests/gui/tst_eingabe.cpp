// The input mask "Eingabe": its rows for the variables, the shown values, reading them
// back on OK and the refusal of a value that is no number.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "gui/dialogs/DlgEingabe.h"
#include "helpers/FakeMeldungen.h"

using kd::TDlgEingabe;
using kdtest::FakeMeldungen;

namespace {

kd::Bezeichnerliste Liste(const std::vector<std::pair<std::string, kd::Extended>>& werte) {
    kd::Bezeichnerliste l;
    for (const auto& [name, wert] : werte) {
        auto b = std::make_unique<kd::TBezeichner>(name);
        b->SetWert(wert);
        l.Add(std::move(b));
    }
    return l;
}

int Sichtbar(const TDlgEingabe& d) {
    int n = 0;
    for (QLineEdit* e : d.Edits) n += e->isHidden() ? 0 : 1;
    return n;
}

// Dark pixels in a row band of the name column.
int Tinte(const QImage& bild, int von, int bis) {
    int n = 0;
    for (int y = std::max(0, von); y < std::min(bild.height(), bis); ++y)
        for (int x = 0; x < bild.width(); ++x) n += qGray(bild.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}

} // namespace

class TestEingabe : public QObject {
    Q_OBJECT
private slots:
    void zeilenUndHoeheNachAnzahl() {
        struct Fall {
            int n;
            int zeilen;
            int hoehe;
        };
        const Fall faelle[] = {{1, 1, 402 - 9 * 36}, {2, 2, 402 - 8 * 36}, {5, 5, 402 - 5 * 36},
                               {10, 10, 402}, {12, 10, 402}};
        for (const Fall& f : faelle) {
            std::vector<std::pair<std::string, kd::Extended>> werte;
            for (int i = 0; i < f.n; ++i) werte.push_back({"a" + std::to_string(i + 1), kd::Undefiniert});
            kd::Bezeichnerliste l = Liste(werte);
            FakeMeldungen boxen;
            TDlgEingabe d(&boxen);
            d.SetVariablen(&l);
            QCOMPARE(d.windowTitle(), QStringLiteral("Eingabe"));
            QCOMPARE(d.Zeilenabstand, 36);
            QCOMPARE(d.Anzahl(), f.zeilen);
            QCOMPARE(Sichtbar(d), f.zeilen);
            QCOMPARE(d.height(), f.hoehe);
            QCOMPARE(d.width(), 312);
            QCOMPARE(d.Panel1->height(), 373 - (402 - f.hoehe));
            // The last row's edit lies inside the panel.
            QVERIFY(d.Edits[std::size_t(f.zeilen - 1)]->geometry().bottom() <
                    d.Panel1->geometry().bottom());
        }
    }

    void langeNamenWerdenGanzGezeigt() {
        // Names that begin alike are shown whole: the name column grows with the longest
        // name, the edits and buttons move right, and nothing is drawn under them.
        kd::Bezeichnerliste l =
            Liste({{"Beschleunigung", kd::Undefiniert}, {"Beschleunigungsweg", kd::Undefiniert},
                   {"v", kd::Undefiniert}});
        FakeMeldungen boxen;
        TDlgEingabe d(&boxen);
        d.SetVariablen(&l);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        if (qEnvironmentVariableIsSet("KD_BILDER"))
            d.grab().save(qEnvironmentVariable("KD_BILDER") + "/eingabe.png");
        const QImage bild = d.PaintBox1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // The rightmost ink of each row, in the paint box.
        const auto rechts = [&](int zeile) {
            int r = -1;
            const int oben = zeile * d.Zeilenabstand, unten = oben + d.Zeilenabstand - 4;
            for (int y = std::max(0, oben); y < std::min(bild.height(), unten); ++y)
                for (int x = 0; x < bild.width(); ++x)
                    if (qGray(bild.pixel(x, y)) < 128) r = std::max(r, x);
            return r;
        };
        const int kurz = rechts(0), lang = rechts(1);
        QVERIFY2(lang > kurz + 10, qPrintable(QStringLiteral("%1 %2").arg(kurz).arg(lang)));
        QVERIFY2(lang < bild.width() - 2, qPrintable(QStringLiteral("%1 of %2").arg(lang).arg(bild.width())));
        const int spalteEnde = d.Panel1->x() + d.PaintBox1->x() + d.PaintBox1->width();
        for (QLineEdit* e : d.Edits) QVERIFY(e->x() >= spalteEnde);
        QVERIFY(d.BitBtn1->x() > d.Panel1->geometry().right());
        QVERIFY(d.BitBtn1->geometry().right() < d.width());
    }

    void werteWerdenGezeigtUndGelesen() {
        kd::Bezeichnerliste l = Liste({{"a", 2.5L}, {"~a", kd::Undefiniert}, {"b|1", -3}});
        FakeMeldungen boxen;
        TDlgEingabe d(&boxen);
        d.SetVariablen(&l);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // ZahlText with 8 digits; 1E300 is an empty edit. Edit1 has the focus, selected.
        QCOMPARE(d.Edits[0]->text(), QStringLiteral("2,5"));
        QCOMPARE(d.Edits[1]->text(), QString());
        QCOMPARE(d.Edits[2]->text(), QStringLiteral("-3"));
        QTRY_COMPARE(d.focusWidget(), d.Edits[0]);
        QCOMPARE(d.Edits[0]->selectedText(), QStringLiteral("2,5"));
        QVERIFY(!d.ErsteAnzeige);

        // Each name is drawn in its row of the name column.
        const QImage namen = d.PaintBox1->grab().toImage();
        for (int k = 0; k < 3; ++k)
            QVERIFY2(Tinte(namen, k * 36 + 2, k * 36 + 18) > 10, qPrintable(QString::number(k)));
        QCOMPARE(Tinte(namen, 3 * 36 + 2, namen.height()), 0);

        d.Edits[0]->setText("1,5E3");
        d.Edits[1]->setText("7");
        d.Edits[2]->setText("50%");
        d.BitBtn1->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(double(l[0]->GetWert()), 1500.0);
        QCOMPARE(double(l[1]->GetWert()), 7.0);
        QCOMPARE(double(l[2]->GetWert()), 0.5);
        QCOMPARE(boxen.signaltoene, 0);
    }

    // A remembered value comes back exactly, and OK on the unchanged edits computes
    // with exactly that value (it used to be offered rounded to 8 characters).
    void gemerkteWerteKommenGenauZurueck() {
        struct Fall {
            kd::Extended wert;
            QString text;
        };
        const Fall faelle[] = {{12345678, "12345678"},
                               {38785091.3L, "38785091,3"},
                               {0.000123456789L, "0,000123456789"},
                               {-2.5E-7L, "-2,5E-7"}};
        for (const Fall& f : faelle) {
            kd::Bezeichnerliste l = Liste({{"a", f.wert}, {"abcdefghijklmnopqrstuvwxyz", 1}});
            FakeMeldungen boxen;
            TDlgEingabe d(&boxen);
            d.SetVariablen(&l);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QCOMPARE(d.Edits[0]->text(), f.text);
            // A long name is not cut: its edit names it in full.
            QCOMPARE(d.Edits[1]->toolTip(), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
            QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QVERIFY2(l[0]->GetWert() == f.wert, qPrintable(f.text));
        }
    }

    void abgelehnterWertBleibtOffen() {
        struct Fall {
            QString text;
            bool angenommen;
        };
        const Fall faelle[] = {{"12", true}, {"", false}, {"x", false}, {"1,2,3", false},
                               {"E5", false}, {"3 ", true}, {QStringLiteral("π"), false}};
        for (const Fall& f : faelle) {
            kd::Bezeichnerliste l = Liste({{"a", 1}, {"b", 2}});
            FakeMeldungen boxen;
            TDlgEingabe d(&boxen);
            d.SetVariablen(&l);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            d.Edits[0]->setText(f.text);
            d.Edits[1]->setText("9");
            d.BitBtn1->click();
            QCOMPARE(d.isVisible(), !f.angenommen);
            QCOMPARE(boxen.signaltoene, f.angenommen ? 0 : 1);
            if (!f.angenommen) {
                QCOMPARE(d.focusWidget(), d.Edits[0]);
                // The remaining edits are not read.
                QCOMPARE(double(l[1]->GetWert()), 2.0);
                d.reject();
            } else {
                QCOMPARE(double(l[1]->GetWert()), 9.0);
            }
        }
    }

    void abbrechenLiestNichts() {
        kd::Bezeichnerliste l = Liste({{"a", 1}});
        FakeMeldungen boxen;
        TDlgEingabe d(&boxen);
        d.SetVariablen(&l);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.Edits[0]->setText("5");
        d.BitBtn2->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(double(l[0]->GetWert()), 1.0);
        const QString ziel = qEnvironmentVariable("KD_BILDER");
        if (!ziel.isEmpty()) {
            kd::Bezeichnerliste drei = Liste({{"m", 2}, {"~w", kd::Undefiniert}, {"g|n", 9.80665L}});
            TDlgEingabe bild(&boxen);
            bild.SetVariablen(&drei);
            bild.show();
            QVERIFY(QTest::qWaitForWindowExposed(&bild));
            bild.grab().save(QDir(ziel).filePath(QStringLiteral("Eingabe.png")));
        }
    }
};

QTEST_MAIN(TestEingabe)
#include "tst_eingabe.moc"
