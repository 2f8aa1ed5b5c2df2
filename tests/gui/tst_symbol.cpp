// The symbol picker driven with the mouse and the keyboard: the characters of the
// cells, the index row, Esc, the hover frame, both ways of opening, and a picture.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <vector>

#include "gui/dialogs/DlgSymbol.h"
#include "gui/platform/Symbole.h"

using kd::TDlgSymbol;

namespace {

struct Empfang {
    std::vector<char> zeichen;
    std::vector<QObject*> sender;
    TDlgSymbol::Empfaenger Empfaenger() {
        return [this](QObject* s, char c) {
            sender.push_back(s);
            zeichen.push_back(c);
        };
    }
};

QPoint Mitte(int zeile, int spalte) {
    return {spalte * TDlgSymbol::Zelle + TDlgSymbol::Zelle / 2, zeile * TDlgSymbol::Zelle + TDlgSymbol::Zelle / 2};
}

// Opens a picker, clicks one cell, and returns what arrived.
std::vector<char> Klick(int zeile, int spalte, bool mitIndexzeile) {
    Empfang e;
    QPointer<TDlgSymbol> d = TDlgSymbol::Nichtmodal(nullptr, e.Empfaenger(), mitIndexzeile);
    if (!d) return {};
    QTest::mouseClick(d->PaintBox1, Qt::LeftButton, {}, Mitte(zeile, spalte));
    const bool offen = d && d->isVisible();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (offen && d) delete d.data();
    return e.zeichen;
}

// Dark pixels in a rectangle of an image (a drawn character).
int DunklePunkte(const QImage& bild, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(bild.pixel(x, y)) < 128) ++n;
    return n;
}

} // namespace

class TestSymbol : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kd::InitRessourcen(); }

    void Buchstaben() {
        QCOMPARE(Klick(0, 0, false), std::vector<char>{'A'});
        QCOMPARE(Klick(1, 12, false), std::vector<char>{'Z'});
        QCOMPARE(Klick(2, 0, false), std::vector<char>{'a'});
        QCOMPARE(Klick(3, 12, false), std::vector<char>{'z'});
        QCOMPARE(Klick(3, 0, true), std::vector<char>{'n'});
    }

    void Zeichentabelle() {
        TDlgSymbol d;
        d.SetParameter({}, true);
        QString alle;
        for (int r = 0; r < TDlgSymbol::Zeilen; ++r)
            for (int c = 0; c < TDlgSymbol::Spalten; ++c) alle += QChar(d.ZeichenBei(r, c));
        QCOMPARE(alle, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        const char index[] = {'.', ':', '^', '_', '=', '~', '\'', '"', '-', '"', '"', '"'};
        for (int c = 0; c < 12; ++c) QCOMPARE(d.ZeichenBei(4, c), int(index[c]));
        QCOMPARE(d.ZeichenBei(4, 12), 165);
        QCOMPARE(d.ZeichenBei(5, 0), -1);
        QCOMPARE(d.ZeichenBei(0, 13), -1);
        QCOMPARE(d.ZeichenBei(-1, 0), -1);
        d.SetParameter({}, false);
        QCOMPARE(d.ZeichenBei(4, 12), -1);
    }

    void Indexzeile() {
        QCOMPARE(Klick(4, 0, true), std::vector<char>{'.'});
        QCOMPARE(Klick(4, 8, true), std::vector<char>{'-'});
        QCOMPARE(Klick(4, 10, true), std::vector<char>{'"'});
        QCOMPARE(Klick(4, 12, true), std::vector<char>{char(165)});
        // Without the row the grid ends after row 3: a click below sends nothing.
        QCOMPARE(Klick(4, 12, false), std::vector<char>{});
    }

    void EscSendetNichts() {
        Empfang e;
        QPointer<TDlgSymbol> d = TDlgSymbol::Nichtmodal(nullptr, e.Empfaenger(), true);
        QVERIFY(d);
        QTest::mouseMove(d->PaintBox1, Mitte(1, 1));
        QTest::keyClick(d, Qt::Key_Escape);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->GewaehlterCode(), -1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!d);  // freed itself
        QVERIFY(e.zeichen.empty());
    }

    void EinZeichenProOeffnung() {
        Empfang e;
        QPointer<TDlgSymbol> d = TDlgSymbol::Nichtmodal(nullptr, e.Empfaenger(), false);
        QVERIFY(d);
        QTest::mouseClick(d->PaintBox1, Qt::LeftButton, {}, Mitte(0, 2));
        QCOMPARE(e.zeichen.size(), std::size_t(1));
        QCOMPARE(e.sender.front(), static_cast<QObject*>(d.data()));
        QCOMPARE(d->GewaehlterCode(), int('C'));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!d);
    }

    void Rahmen() {
        TDlgSymbol d;
        d.SetParameter({}, true);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.RahmenZeile(), -1);
        d.PaintBox1MouseMove(Mitte(2, 5));
        QCOMPARE(d.RahmenZeile(), 2);
        QCOMPARE(d.RahmenSpalte(), 5);
        d.PaintBox1MouseMove(Mitte(4, 12));
        QCOMPARE(d.RahmenZeile(), 4);
        QCOMPARE(d.RahmenSpalte(), 12);
        d.PaintBox1MouseMove(QPoint(-5, 3));
        QCOMPARE(d.RahmenZeile(), -1);
        d.PaintBox1MouseMove(Mitte(1, 1));
        d.TabNotChange();
        QCOMPARE(d.RahmenSpalte(), -1);
    }

    void Fenster() {
        TDlgSymbol d;
        d.SetParameter({}, true);
        QCOMPARE(d.windowTitle(), QStringLiteral("Sonderzeichen"));
        QVERIFY(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(d.TabNot->count(), 1);
        QCOMPARE(d.TabNot->tabText(0), QStringLiteral("Symbol"));
        QCOMPARE(d.PaintBox1->size(), QSize(260, 100));
        QVERIFY(d.Image1->isVisibleTo(&d));
        QCOMPARE(TDlgSymbol::LetzteSeite(), 0);
        // The grid fits in the window and the picture in the grid's fifth row.
        QVERIFY(d.rect().contains(QRect(d.PaintBox1->mapTo(&d, QPoint(0, 0)), d.PaintBox1->size())));
        QVERIFY(QRect(0, 80, 260, 20).contains(d.Image1->geometry()));
        d.SetParameter({}, false);
        QCOMPARE(d.PaintBox1->size(), QSize(260, 80));
        QVERIFY(!d.Image1->isVisibleTo(&d));
    }

    void Modal() {
        Empfang e;
        bool geklickt = false;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* d = qobject_cast<TDlgSymbol*>(w);
                if (!d || !d->isVisible()) continue;
                geklickt = true;
                modal = d->isModal();
                QTest::mouseClick(d->PaintBox1, Qt::LeftButton, {}, Mitte(3, 2));
                if (d->isVisible()) d->reject();  // never hang on a failed click
                return;
            }
            qWarning("kein Fenster");
        });
        TDlgSymbol::Modal(nullptr, e.Empfaenger(), true);
        QVERIFY(geklickt);
        QVERIFY(modal);
        QCOMPARE(e.zeichen, std::vector<char>{'p'});
    }

    void Bild() {
        TDlgSymbol d;
        d.SetParameter({}, true);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.PaintBox1MouseMove(Mitte(2, 5));
        const QImage bild = d.PaintBox1->grab().toImage();
        // Every letter cell and the infinity sign are drawn.
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 13; ++c)
                QVERIFY2(DunklePunkte(bild, QRect(c * 20 + 2, r * 20 + 2, 16, 16)) > 3,
                         qPrintable(QStringLiteral("Zelle %1,%2").arg(r).arg(c)));
        QVERIFY(DunklePunkte(bild, QRect(12 * 20 + 2, 82, 16, 16)) > 3);
        const QString ordner = qEnvironmentVariable("KD_BILDER");
        if (!ordner.isEmpty()) {
            QDir().mkpath(ordner);
            const QImage fenster = d.grab().toImage();
            QVERIFY(fenster.save(QDir(ordner).filePath(QStringLiteral("symbol.png"))));
            // Four times as large, for the marks of the index row.
            QVERIFY(fenster.scaled(fenster.size() * 4).save(QDir(ordner).filePath(QStringLiteral("symbol_x4.png"))));
            TDlgSymbol ohne;
            ohne.SetParameter({}, false);
            ohne.show();
            QVERIFY(QTest::qWaitForWindowExposed(&ohne));
            QVERIFY(ohne.grab().save(QDir(ordner).filePath(QStringLiteral("symbol_ohne_index.png"))));
        }
    }
};

QTEST_MAIN(TestSymbol)
#include "tst_symbol.moc"
