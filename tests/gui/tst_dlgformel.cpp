// The formula entry dialog driven through its widgets: the check on OK, the function
// list, the further sub-formula, the preview with its message line and arrow, the
// constants, symbol and index aids, pasting, the curve check, and the main window's
// new formula, edit and calculator. Pictures of the dialog go to $KD_BILDER.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <string>

#include "core/constants/Konstanten.h"
#include "core/eval/Formeleingabe.h"
#include "core/eval/KDGData.h"
#include "core/eval/Rechenfehler.h"
#include "core/eval/Tabellierung.h"
#include "core/matrix/MatrixObj.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/dialogs/DlgFormel.h"
#include "gui/dialogs/DlgKonstante.h"
#include "gui/dialogs/DlgSymbol.h"
#include "gui/platform/RichText.h"
#include "gui/platform/VirtPntBox.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::TDlgFormel;
using kd::TKDGData;
using kdtest::Bibliothek;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

namespace {

QString U(const std::string& cp1252) { return QString::fromStdString(kd::Cp1252ToUtf8(cp1252)); }

// The dialog as the main window opens it: formulas only.
struct Formulare {
    FakeMeldungen boxen;
    TKDGData daten;
    TDlgFormel d{&boxen};

    explicit Formulare(const std::string& zeile, bool nurFormeln = true) {
        daten.NurFormeln = nurFormeln;
        daten.FormelZeilen = {zeile};
        if (nurFormeln) {
            for (QWidget* w : {static_cast<QWidget*>(d.Panel1), static_cast<QWidget*>(d.RadioButton1),
                               static_cast<QWidget*>(d.RadioButton2), static_cast<QWidget*>(d.RadioButton3),
                               static_cast<QWidget*>(d.Bibliothek), static_cast<QWidget*>(d.FormelNeu),
                               static_cast<QWidget*>(d.ComboBox1)})
                w->hide();
        }
        d.Vorbereiten(daten);
        d.show();
    }
    void Setze(const std::string& zeile) {
        kd::FormeltextZuRichText(zeile, d.RichEdit1, TDlgFormel::Schriftgroesse);
        d.OnChange();
    }
    void CaretAnsEnde() {
        QTextCursor c = d.RichEdit1->textCursor();
        c.movePosition(QTextCursor::End);
        d.RichEdit1->setTextCursor(c);
    }
    void Markiere(int start, int laenge) {
        QTextCursor c = d.RichEdit1->textCursor();
        c.setPosition(start);
        c.setPosition(start + laenge, QTextCursor::KeepAnchor);
        d.RichEdit1->setTextCursor(c);
    }
};

// Runs `aktion` as soon as a modal window is open (the next pass of the event loop).
// A formula dialog the action left open (a failed check in it) is closed.
void WennModal(std::function<void(QWidget*)> aktion) {
    QTimer::singleShot(0, [aktion] {
        QPointer<QWidget> m = QApplication::activeModalWidget();
        aktion(m);
        if (auto* d = qobject_cast<TDlgFormel*>(m.data()); d && d->isVisible()) d->done(0);
    });
}

// The row of the function list whose entry starts with `name`.
int Funktionszeile(const TDlgFormel& d, const QString& name) {
    for (int i = 0; i < d.ListBox1->count(); ++i)
        if (d.ListBox1->item(i)->text().startsWith(name)) return i;
    return -1;
}

bool HatDunklePixel(const QImage& bild) {
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            if (qGray(bild.pixel(x, y)) < 100) return true;
    return false;
}

} // namespace

class TestDlgFormel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }
    void init() { kd::Konstanten().BasisSetzen(); }

    void ZeileOhneGleichWirdNichtAngenommen() {
        // A blank line, or a line of the list without "=": the "Fehler" box.
        struct Fall {
            std::vector<std::string> zeilen;
        };
        const Fall faelle[] = {{{" "}}, {{"y=1", "a+b"}}, {{"y=1", "  ", "a"}}};
        for (const Fall& fall : faelle) {
            Formulare f(fall.zeilen.front());
            f.daten.FormelZeilen = fall.zeilen;
            f.d.Vorbereiten(f.daten);
            f.d.OKBtnClick();
            QVERIFY(f.d.isVisible());
            QCOMPARE(f.d.result(), 0);
            QCOMPARE(f.boxen.gezeigt.size(), std::size_t(1));
            QCOMPARE(f.boxen.gezeigt.front().titel, QStringLiteral("Fehler"));
            QCOMPARE(f.boxen.gezeigt.front().symbol, kd::Meldungen::Symbol::Stop);
            QCOMPARE(f.boxen.gezeigt.front().text, QStringLiteral("In einer oder mehreren Formeln fehlt \"=\""));
            QCOMPARE(f.daten.FormelZeilen, fall.zeilen);  // the record stays
        }
        // A line that does not parse (a+b: "=" expected; an open bracket) is refused by
        // the preview, which shows why; no box.
        for (const char* z : {"a+b", "y=(a"}) {
            Formulare f(z);
            f.d.OKBtnClick();
            QVERIFY(f.d.isVisible());
            QVERIFY(f.boxen.gezeigt.empty());
            QVERIFY(!f.d.Meldungstext().isEmpty());
            QVERIFY(!f.d.Image4->isHidden());
            QCOMPARE(f.daten.FormelZeilen, std::vector<std::string>{z});
        }
    }

    void OkUndAbbruch() {
        {
            Formulare f("y=a*x");
            f.Setze("~a=~b|0");
            f.d.OKBtnClick();
            QCOMPARE(f.d.result(), int(TDlgFormel::Angenommen));
            QVERIFY(!f.d.isVisible());
            QCOMPARE(f.daten.FormelZeilen.front(), std::string("~a=~b|0"));
        }
        {
            Formulare f("y=a*x");
            f.Setze("y=b");
            f.d.CancelBtnClick();
            QCOMPARE(f.d.result(), int(TDlgFormel::Abgebrochen));
            QCOMPARE(f.daten.FormelZeilen.front(), std::string("y=a*x"));
        }
    }

    void Funktionsliste() {
        Formulare f("y=");
        f.CaretAnsEnde();
        f.d.GrundfunktionenClick();
        QVERIFY(f.d.ListBox1->isVisible());
        QCOMPARE(f.d.ListBox1->count(), 25);
        QCOMPARE(f.d.ListBox1->item(0)->text(), QStringLiteral("Abs(  )"));
        QCOMPARE(f.d.ListBox1->item(21)->text(), QStringLiteral("Gamma(  )"));
        QCOMPARE(f.d.ListBox1->item(24)->text(), QStringLiteral("Produkt(  )"));

        // Wurzel(  ) by Enter: WURZEL() with the caret between the brackets.
        f.d.ListBox1->setCurrentRow(Funktionszeile(f.d, QStringLiteral("Wurzel(")));
        QTest::keyClick(f.d.ListBox1, Qt::Key_Return);
        QVERIFY(!f.d.ListBox1->isVisible());
        QCOMPARE(f.d.Formeltext(), std::string("y=WURZEL()"));
        QCOMPARE(f.d.RichEdit1->textCursor().position(), 9);
        QVERIFY(!f.d.RichEdit1->textCursor().hasSelection());

        // Integral(  ) by double click: the 19 characters selected for overtyping.
        f.d.GrundfunktionenClick();
        const int zeile = Funktionszeile(f.d, QStringLiteral("Integral("));
        f.d.ListBox1->setCurrentRow(zeile);
        QVERIFY(QTest::qWaitForWindowExposed(&f.d));
        QCoreApplication::processEvents();
        const QRect r = f.d.ListBox1->visualItemRect(f.d.ListBox1->item(zeile));
        QTest::mouseClick(f.d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(f.d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(f.d.Formeltext(), std::string("y=WURZEL(Integral(x=start;ende;formel))"));
        QCOMPARE(f.d.RichEdit1->textCursor().selectedText(), QStringLiteral("x=start;ende;formel"));
        // Overtyping the selection.
        QTest::keyClicks(f.d.RichEdit1, "t=0;1;t");
        QCOMPARE(f.d.Formeltext(), std::string("y=WURZEL(Integral(t=0;1;t))"));
        QVERIFY(f.d.Vorschau());
    }

    void FxKnopfOeffnetUndSchliesstDieListe() {
        // Two real clicks on the fx button: the list opens and closes again; nothing is
        // picked from it.
        Formulare f("y=");
        f.d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.d));
        const QPoint mitte = f.d.Grundfunktion->rect().center();
        QTest::mouseClick(f.d.Grundfunktion, Qt::LeftButton, {}, mitte);
        QVERIFY(f.d.ListBox1->isVisible());
        QVERIFY(!f.d.ListBox1->geometry().intersects(f.d.Grundfunktion->geometry()));
        QVERIFY(f.d.ListBox1->geometry().bottom() < f.d.height());
        // The click goes to whatever is on top at the button's place.
        if (qEnvironmentVariableIsSet("KD_BILDER"))
            f.d.grab().save(qEnvironmentVariable("KD_BILDER") + "/funktionsliste.png");
        QWidget* oben = f.d.childAt(f.d.Grundfunktion->geometry().center());
        QCOMPARE(oben, static_cast<QWidget*>(f.d.Grundfunktion));
        QTest::mouseClick(f.d.Grundfunktion, Qt::LeftButton, {}, mitte);
        QVERIFY(!f.d.ListBox1->isVisible());
        QCOMPARE(f.d.Formeltext(), std::string("y="));
    }

    void FunktionslisteImKurvenmodus() {
        // With the curve settings shown (formulas and curves), no sums are offered.
        Formulare f("y=x", false);
        f.d.RadioButton2->setChecked(true);
        f.d.RadioButton2Click();
        f.d.GrundfunktionenClick();
        QCOMPARE(f.d.ListBox1->count(), 22);
    }

    void SchliessenMitOffenerListe() {
        Formulare f("y=1");
        f.d.GrundfunktionenClick();
        QVERIFY(f.d.ListBox1->isVisible());
        f.d.close();
        QVERIFY(f.d.isVisible());
        QVERIFY(!f.d.ListBox1->isVisible());
        // Esc likewise, then Esc closes the dialog.
        f.d.GrundfunktionenClick();
        QTest::keyClick(&f.d, Qt::Key_Escape);
        QVERIFY(f.d.isVisible());
        QVERIFY(!f.d.ListBox1->isVisible());
        f.d.close();
        QVERIFY(!f.d.isVisible());
        QCOMPARE(f.d.result(), int(TDlgFormel::Abgebrochen));
    }

    void WeitereTeilformel() {
        struct Fall {
            const char* vorher;
            const char* nachher;
        };
        const Fall faelle[] = {
            {"y=a{Kurve}", "y=a;y=x{Kurve}"},
            {"y=a\"Notiz\"", "y=a;y=x\"Notiz\""},
            {"~a=1", "~a=1;y=x"},
        };
        for (const Fall& fall : faelle) {
            for (bool nebenein : {false, true}) {
                Formulare f(fall.vorher);
                nebenein ? f.d.SpeedFormelnNebeneinClick() : f.d.SpeedFormelnUntereinClick();
                QCOMPARE(f.d.Formeltext(), std::string(fall.nachher));
                QCOMPARE(f.d.RichEdit1->textCursor().selectedText(), QStringLiteral("y=x"));
                QVERIFY(f.d.Vorschau());
            }
        }
    }

    void VorschauUndPfeil() {
        Formulare f("y=a");
        QVERIFY(f.d.Vorschau());
        QVERIFY(f.d.Image4->isHidden());
        // The preview draws the formula.
        QVERIFY(HatDunklePixel(f.d.PaintBox1->grab().toImage()));

        f.Setze("y=(a+b");
        QVERIFY(!f.d.Vorschau());
        QCOMPARE(f.d.Meldungstext(), U(kd::Fehlertexte[3]));
        QVERIFY(!f.d.Image4->isHidden());
        const int x1 = f.d.Image4->x();
        // The arrow follows the failing place.
        f.Setze("y=(a+b+c+d+e");
        QCOMPARE(f.d.Meldungstext(), U(kd::Fehlertexte[3]));
        const int x2 = f.d.Image4->x();
        QVERIFY2(x2 > x1, qPrintable(QStringLiteral("%1 %2").arg(x1).arg(x2)));
        // It stays under the formula line.
        QVERIFY(x2 + f.d.Image4->width() / 2 <= f.d.RichEdit1->geometry().right() + 1);
        // The message line is light grey.
        const QImage zeile = f.d.PaintBox2->grab().toImage();
        QCOMPARE(QColor(zeile.pixel(zeile.width() - 2, 1)), QColor(192, 192, 192));

        // Parsed again: the arrow goes, the tree is there.
        f.Setze("y=(a+b)");
        QVERIFY(f.d.Vorschau());
        QVERIFY(f.d.Image4->isHidden());
        QVERIFY(f.d.Meldungstext().isEmpty());

        // A blank line shows nothing.
        f.Setze("   ");
        QVERIFY(!f.d.Vorschau());
        QVERIFY(f.d.Meldungstext().isEmpty());
    }

    void VorschauZentriert() {
        Formulare f("y=1");
        const kd::TDLine* v = f.d.Vorschau();
        QVERIFY(v);
        const auto& box = *f.d.PaintBox1;
        const double breite = box.width() / box.ZoomFactor;
        const double mitte = (v->Rect.Left + v->Rect.Right) / 2.0;
        QVERIFY(std::abs(mitte - breite / 2) <= 2);
        QVERIFY(v->Rect.Top < box.PageHeight && v->Rect.Bottom > box.PageHeight - box.height() / box.ZoomFactor);
        QVERIFY(std::abs(box.ZoomFactor - TDlgFormel::Vergroesserung * box.width() / 2970.0) < 1e-9);
    }

    void WertFuerStartwerte() {
        struct Fall {
            const char* zeile;
            QString meldung;
        };
        const Fall faelle[] = {
            {"y=2*3", QStringLiteral("y = 6  für Startwerte")},
            {"~a=2;~b=~a^2", QStringLiteral("β = 4  für Startwerte")},
            {"y=a*2", QString()},                  // a has no value
            {"y=B[1,1]", QString()},               // table references are not computed
            {"y=WURZEL(0-4)", U(kd::Rechenfehlertexte[3])},
            // Ten minutes of passes: the value is given up after a tenth of a second.
            {"y=SUMME(i=1;65534;SUMME(j=1;65534;17*ATN(SIN(j))+1))", QString()},
        };
        for (const Fall& fall : faelle) {
            Formulare f(fall.zeile);
            QCOMPARE(f.d.Meldungstext(), fall.meldung);
            QVERIFY(f.d.Image4->isHidden());
        }
    }

    void Konstanten() {
        Formulare f("y=2*");
        f.CaretAnsEnde();
        // Take over of "~p" and "g|n" through the real constants dialog.
        for (const char* name : {"~p", "g|n"}) {
            WennModal([name](QWidget* m) {
                auto* k = qobject_cast<kd::TDlgKonstante*>(m);
                QVERIFY(k);
                k->SetWartezeit(0);
                for (int i = 0; i < k->ListBox1->count(); ++i)
                    if (k->Liste().Zeilen()[std::size_t(i)].rfind(std::string(name) + "=", 0) == 0) {
                        k->ListBox1->setCurrentRow(i);
                        k->CM_Click(i);
                    }
                k->CM_InsProg();
            });
            f.d.SpeedKonstanteClick();
            if (std::string(name) == "~p") f.d.RichEdit1->insertPlainText(QStringLiteral("*"));
        }
        QCOMPARE(f.d.Formeltext(), std::string("y=2*~p*g|n"));
        QCOMPARE(f.d.RichEdit1->textCursor().position(), 8);
        QVERIFY(f.d.Vorschau());
        // The receiver alone: a Greek index.
        f.d.KonstantReceiver(nullptr, '~');
        f.d.KonstantReceiver(nullptr, '|');
        f.d.KonstantReceiver(nullptr, 'w');
        QCOMPARE(f.d.Formeltext(), std::string("y=2*~p*g|n~|w"));
    }

    void Symbole() {
        struct Fall {
            int zeile, spalte;
            const char* ergebnis;
        };
        const Fall faelle[] = {
            {2, 0, "y=~a"},   // a: alpha
            {0, 0, "y=~A"},
            {4, 0, "y=|."},   // the index row: a dot mark
            {4, 6, "y='"},    // the apostrophe stays plain
            {4, 12, "y=~\xA5"},  // infinity
        };
        for (const Fall& fall : faelle) {
            Formulare f("y=");
            f.CaretAnsEnde();
            WennModal([&fall](QWidget* m) {
                auto* s = qobject_cast<kd::TDlgSymbol*>(m);
                QVERIFY(s);
                const QPoint p(fall.spalte * kd::TDlgSymbol::Zelle + 10, fall.zeile * kd::TDlgSymbol::Zelle + 10);
                s->PaintBox1MouseMove(p);
                s->PaintBox1Click(p);
            });
            f.d.SpeedSymboleClick();
            QCOMPARE(f.d.Formeltext(), std::string(fall.ergebnis));
            QCOMPARE(f.d.RichEdit1->textCursor().position(), 3);
        }
        // Esc sends nothing.
        Formulare f("y=");
        WennModal([](QWidget* m) { QTest::keyClick(m, Qt::Key_Escape); });
        f.d.SpeedSymboleClick();
        QCOMPARE(f.d.Formeltext(), std::string("y="));
    }

    void Index() {
        Formulare f("y=gn");
        f.Markiere(3, 1);
        f.d.SpeedIndizesClick();
        QCOMPARE(f.d.Formeltext(), std::string("y=g|n"));
        QVERIFY(f.d.Vorschau());
        // Without a selection nothing changes.
        f.CaretAnsEnde();
        f.d.SpeedIndizesClick();
        QCOMPARE(f.d.Formeltext(), std::string("y=g|n"));
    }

    void EinfuegenNormalisiert() {
        Formulare f("");
        f.d.RichEdit1->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("y=α+1\nz=2"));
        QTest::keyClick(f.d.RichEdit1, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(f.d.Formeltext(), std::string("y=~a+1 z=2"));
        QCOMPARE(f.d.RichEdit1->document()->blockCount(), 1);
        // Pasted text of any size is cut to the 255 characters of a line.
        QApplication::clipboard()->setText(QString(300, QLatin1Char('x')));
        QTest::keyClick(f.d.RichEdit1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.d.Formeltext().size(), std::size_t(255));
    }

    // Each Greek letter or index takes two bytes of the stored text: a line of fewer
    // than 255 characters but more than 255 bytes is refused with a message on OK,
    // and nothing is cut or stored.
    void GespeicherteLaengeWirdGeprueft() {
        std::string griechisch = "y=";
        for (int i = 0; i < 120; ++i) griechisch += "~a";  // 242 bytes
        Formulare f(griechisch);
        f.CaretAnsEnde();
        for (int i = 0; i < 7; ++i) {  // seven typed alpha keys
            QTest::sendKeyEvent(QTest::Press, f.d.RichEdit1, Qt::Key_unknown, QStringLiteral("\u03b1"), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, f.d.RichEdit1, Qt::Key_unknown, QStringLiteral("\u03b1"), Qt::NoModifier);
        }
        QTest::mouseClick(f.d.OKBtn, Qt::LeftButton);
        QVERIFY(f.d.isVisible());
        QCOMPARE(f.boxen.gezeigt.size(), std::size_t(1));
        QVERIFY(f.boxen.gezeigt.front().text.startsWith(QStringLiteral("Formel zu lang: 256 Zeichen")));
        QCOMPARE(f.daten.FormelZeilen, std::vector<std::string>{griechisch});
        // One letter less fits: 254 bytes are taken whole.
        QTest::keyClick(f.d.RichEdit1, Qt::Key_Backspace);
        QTest::mouseClick(f.d.OKBtn, Qt::LeftButton);
        QCOMPARE(f.d.result(), int(TDlgFormel::Angenommen));
        QCOMPARE(f.daten.FormelZeilen.front().size(), std::size_t(254));
    }

    void EingefuegteHochUndTiefzahlen() {
        // Unicode sub- and superscripts become the notation; characters a formula cannot
        // hold are refused with a message instead of becoming "?".
        struct Fall {
            QString ablage;
            std::string formel;
        };
        const Fall faelle[] = {
            {QStringLiteral("v=s₁/t₂"), "v=s|1/t|2"},
            {QStringLiteral("x=aₙ₊₁"), "x=a|n|+|1"},
            {QStringLiteral("E=m*c⁴"), "E=m*c^4"},
            {QStringLiteral("k=x⁻¹+y²"), "k=x^(-1)+y\xB2"},
        };
        for (const Fall& fall : faelle) {
            Formulare f("");
            f.d.RichEdit1->setFocus();
            QApplication::clipboard()->setText(fall.ablage);
            QTest::keyClick(f.d.RichEdit1, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(f.d.Formeltext(), fall.formel);
            QVERIFY2(f.boxen.gezeigt.empty(), qPrintable(f.boxen.Protokoll()));
        }
        Formulare f("y=1");
        f.CaretAnsEnde();
        QApplication::clipboard()->setText(QStringLiteral("+z✓"));
        QTest::keyClick(f.d.RichEdit1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.d.Formeltext(), std::string("y=1"));
        QCOMPARE(int(f.boxen.gezeigt.size()), 1);
        QCOMPARE(f.boxen.gezeigt[0].titel, QStringLiteral("Fehler"));
        QVERIFY(f.boxen.gezeigt[0].text.contains(QStringLiteral("✓")));
    }

    void HoechstensZeichen() {
        Formulare f("y=" + std::string(253, 'a'));
        f.CaretAnsEnde();
        QTest::keyClicks(f.d.RichEdit1, "b");
        QCOMPARE(f.d.Formeltext().size(), std::size_t(255));
        QCOMPARE(f.boxen.signaltoene, 1);
        // An insertion that does not fit is refused as a whole.
        f.d.SpeedFormelnUntereinClick();
        QCOMPARE(f.d.Formeltext().size(), std::size_t(255));
        QCOMPARE(f.boxen.signaltoene, 2);
    }

    void Kurvenpruefung() {
        FakeMeldungen boxen;
        TKDGData daten;
        daten.NurFormeln = false;
        daten.FormelZeilen = {"y=x^2", "y=x"};
        daten.XStart = 0;
        daten.XEnde = 2;
        daten.XPunkte = 3;
        TDlgFormel d(&boxen);
        d.Vorbereiten(daten);
        d.show();
        QVERIFY(d.RadioButton2->isChecked());
        QVERIFY(d.Radio2D->isChecked());
        QVERIFY(!d.EZStart->isEnabled());  // the Z controls belong to 3-D
        QCOMPARE(d.EYStart->text(), QStringLiteral("auto"));
        QCOMPARE(d.ComboBox1->count(), 2);

        // A refused range: the message box and the focus on the field.
        d.EXEnde->setText(QStringLiteral("-1"));
        d.OKBtnClick();
        QVERIFY(d.isVisible());
        QCOMPARE(boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(boxen.gezeigt.back().titel, QStringLiteral("Fehler"));
        QCOMPARE(boxen.gezeigt.back().text, U(kd::MeldungStartwertX));
        QCOMPARE(d.focusWidget(), static_cast<QWidget*>(d.EXStart));
        QVERIFY(!daten.Werte);

        d.EXEnde->setText(QStringLiteral("2"));
        d.EXPnts->setText(QStringLiteral("abc"));
        QVERIFY(!d.Check());
        QCOMPARE(d.Fehlertext(), std::string("Fehlerhafte Eingabe"));

        // Passing: both lines tabulated into the record's table.
        d.EXPnts->setText(QStringLiteral("3"));
        d.OKBtnClick();
        QCOMPARE(d.result(), int(TDlgFormel::Angenommen));
        QVERIFY(daten.Werte);
        QCOMPARE(daten.Werte->LastRow, 2);
        QCOMPARE(daten.Werte->GetValue(1, 3), kd::Extended(4));
        QCOMPARE(daten.Werte->GetValue(2, 2), kd::Extended(1));
        QCOMPARE(daten.YMax, kd::Extended(4));
        QCOMPARE(daten.XPunkte, 3);
    }

    void Kurvenpruefung3D() {
        FakeMeldungen boxen;
        TKDGData daten;
        daten.NurFormeln = false;
        daten.Dreidimensional = true;
        daten.FormelZeilen = {"y=x*z"};
        daten.XEnde = 1;
        daten.XPunkte = 2;
        daten.ZEnde = 1;
        daten.ZPunkte = 1;
        TDlgFormel d(&boxen);
        d.Vorbereiten(daten);
        QVERIFY(d.Radio3D->isChecked());
        QVERIFY(d.EZStart->isEnabled());
        QVERIFY(!d.Check());
        QCOMPARE(d.Fehlertext(), std::string(kd::MeldungPunkteZ));
        d.EZPnts->setText(QStringLiteral("2"));
        QVERIFY(d.Check());
        QVERIFY(daten.Dreidimensional);
        QCOMPARE(daten.Werte->GetValue(2, 2), kd::Extended(1));
        // Preview in curve mode: x and z are the plot variables, computed at their start.
        QCOMPARE(d.Meldungstext(), QStringLiteral("y = 0  für Startwerte"));
        // Formulas alone: the curve settings do not count.
        d.RadioButton3->setChecked(true);
        d.RadioButton3Click();
        QVERIFY(!d.Panel2->isEnabled());
        d.EXPnts->setText(QStringLiteral("kaputt"));
        QVERIFY(d.Check());
    }

    void Bild() {
        // The dialog as the main window shows it: no control reaches past the window,
        // and the formula-only dialog is shorter than the one with the curve area.
        // Pictures go to $KD_BILDER when it is set.
        const QString ordner = qEnvironmentVariable("KD_BILDER");
        if (!ordner.isEmpty()) QDir().mkpath(ordner);
        auto speichere = [&](QWidget& w, const char* name) {
            if (!ordner.isEmpty()) QVERIFY(w.grab().save(QDir(ordner).filePath(QString::fromLatin1(name))));
        };
        auto allesInnen = [](QWidget& w) {
            for (QWidget* k : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!k->isHidden() && k != w.findChild<QListWidget*>())
                    QVERIFY2(w.rect().contains(k->geometry()), qPrintable(k->objectName()));
        };
        int hoeheNurFormeln = 0;
        {
            Formulare f("~a=~b|0+Integral(x=0;1;x^2)+WURZEL(2)");
            f.d.SpeedSymbole->move(480, f.d.SpeedSymbole->y());
            f.d.SpeedIndizes->move(510, f.d.SpeedIndizes->y());
            f.d.hide();
            f.d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f.d));
            QCOMPARE(f.d.SpeedSymbole->x(), 480);
            allesInnen(f.d);
            hoeheNurFormeln = f.d.height();
            QCOMPARE(f.d.RichEdit1->toPlainText().left(3), QStringLiteral("α=β"));
            QVERIFY(HatDunklePixel(f.d.PaintBox1->grab().toImage()));
            speichere(f.d, "dlgformel.png");
            f.Setze("y=(a+b");
            speichere(f.d, "dlgformel_fehler.png");
            f.Setze("y=2*3");
            f.d.GrundfunktionenClick();
            QVERIFY(f.d.rect().contains(f.d.ListBox1->geometry()));
            speichere(f.d, "dlgformel_liste.png");
        }
        TKDGData daten;
        daten.NurFormeln = false;
        FakeMeldungen boxen;
        TDlgFormel d(&boxen);
        d.Vorbereiten(daten);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        allesInnen(d);
        QVERIFY(d.height() > hoeheNurFormeln);
        speichere(d, "dlgformel_kurven.png");
    }

    // --- the main window's commands ---

    void NeueFormelInLeererBibliothek() {
        TestOrdner ordner;
        ordner.Schreibe("Leer.pqb", Bibliothek({}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        QCOMPARE(w->Sammlung().FormelListe.Count(), 0);
        QCOMPARE(w->Sammlung().AktFormel, -1);
        WennModal([](QWidget* m) {
            auto* d = qobject_cast<TDlgFormel*>(m);
            QVERIFY(d);
            // As the main window shows it: the exchange line is one blank; formulas only.
            QCOMPARE(d->Formeltext(), std::string());  // the blank exchange line
            QVERIFY(d->Panel1->isHidden() && d->ComboBox1->isHidden() && d->RadioButton3->isHidden());
            QCOMPARE(d->SpeedSymbole->x(), 480);
            QCOMPARE(d->SpeedIndizes->x(), 510);
            kd::FormeltextZuRichText("E=m*c^2", d->RichEdit1, TDlgFormel::Schriftgroesse);
            d->OKBtnClick();
        });
        w->SpeedFxNeuClick();
        QCOMPARE(w->Sammlung().FormelListe.Count(), 1);
        QCOMPARE(w->Sammlung().FormelListe[0]->FormelText, std::string("E=m*c^2"));
        QCOMPARE(w->Sammlung().AktFormel, 0);
        QVERIFY(w->Sammlung().Geaendert);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("E=m*c^2"));
    }

    void NeueFormelNachDerAuswahl() {
        TestOrdner ordner;
        ordner.Schreibe("A.pqb", Bibliothek({"a=1", "b=2", "c=3"}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        struct Fall {
            int auswahl;
            int neu;
        };
        // After the selected formula; without a selection at the end, and selected.
        const Fall faelle[] = {{1, 2}, {-1, 4}};
        for (const Fall& fall : faelle) {
            w->Sammlung().AktFormel = fall.auswahl;
            WennModal([](QWidget* m) {
                auto* d = qobject_cast<TDlgFormel*>(m);
                QVERIFY(d);
                kd::FormeltextZuRichText("n=0", d->RichEdit1, TDlgFormel::Schriftgroesse);
                d->OKBtnClick();
            });
            w->SpeedFxNeuClick();
            QCOMPARE(w->Sammlung().FormelListe[fall.neu]->FormelText, std::string("n=0"));
            QCOMPARE(w->Sammlung().AktFormel, fall.neu);
        }
        // Cancel adds nothing.
        const int vorher = w->Sammlung().FormelListe.Count();
        WennModal([](QWidget* m) { qobject_cast<TDlgFormel*>(m)->CancelBtnClick(); });
        w->SpeedFxNeuClick();
        QCOMPARE(w->Sammlung().FormelListe.Count(), vorher);
    }

    void Editieren() {
        TestOrdner ordner;
        ordner.Schreibe("A.pqb", Bibliothek({"a=1", "v=s/t"}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        w->SetFormel(1);
        QVERIFY(!w->Sammlung().Geaendert);
        WennModal([&w](QWidget* m) {
            auto* d = qobject_cast<TDlgFormel*>(m);
            QVERIFY(d);
            QVERIFY(w->EditorOffen);
            QCOMPARE(d->Formeltext(), std::string("v=s/t"));
            kd::FormeltextZuRichText("v=s/~t", d->RichEdit1, TDlgFormel::Schriftgroesse);
            d->OKBtnClick();
        });
        w->SpeedFormEditClick();
        QVERIFY(!w->EditorOffen);
        QVERIFY(w->Sammlung().Geaendert);
        QCOMPARE(w->Sammlung().FormelListe[1]->FormelText, std::string("v=s/~t"));
        QCOMPARE(w->Sammlung().AktFormel, 1);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("v=s/τ"));
        QCOMPARE(w->Sammlung().FormelListe.Count(), 2);

        // Cancel changes nothing.
        w->Sammlung().Geaendert = false;
        WennModal([](QWidget* m) { qobject_cast<TDlgFormel*>(m)->CancelBtnClick(); });
        w->SpeedFormEditClick();
        QVERIFY(!w->Sammlung().Geaendert);
        QCOMPARE(w->Sammlung().FormelListe[1]->FormelText, std::string("v=s/~t"));

        // Without a selection the text becomes a new formula.
        w->Sammlung().AktFormel = -1;
        WennModal([](QWidget* m) {
            auto* d = qobject_cast<TDlgFormel*>(m);
            QVERIFY(d);
            kd::FormeltextZuRichText("w=1", d->RichEdit1, TDlgFormel::Schriftgroesse);
            d->OKBtnClick();
        });
        w->SpeedFormEditClick();
        QCOMPARE(w->Sammlung().FormelListe.Count(), 3);
        QCOMPARE(w->Sammlung().FormelListe[2]->FormelText, std::string("w=1"));
    }

    void Taschenrechner() {
        TestOrdner ordner;
        ordner.Schreibe("A.pqb", Bibliothek({"a=1"}));
        FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        const char* eingaben[] = {"y=2*3", "y=7-1"};
        for (const char* e : eingaben) {
            WennModal([e](QWidget* m) {
                auto* d = qobject_cast<TDlgFormel*>(m);
                QVERIFY(d);
                QCOMPARE(d->Formeltext(), std::string("y="));
                QVERIFY(d->SpeedSymbole->isHidden() && d->SpeedIndizes->isHidden());
                QVERIFY(!d->ComboBox1->isHidden());
                kd::FormeltextZuRichText(e, d->RichEdit1, TDlgFormel::Schriftgroesse);
                d->OnChange();
                QCOMPARE(d->Meldungstext(), QStringLiteral("y = 6  für Startwerte"));
                d->OKBtnClick();
            });
            w->SpeedTaschenrechnerClick();
        }
        // The exchange line was "y=" each time; the entered lines stay below it.
        const std::vector<std::string> verlauf{"y=7-1", "y=7-1", "y=2*3"};
        QCOMPARE(w->KDGData->FormelZeilen, verlauf);
        // Choosing a line of the history puts it into the formula line.
        WennModal([](QWidget* m) {
            auto* d = qobject_cast<TDlgFormel*>(m);
            QVERIFY(d);
            QCOMPARE(d->ComboBox1->count(), 3);
            d->ComboBox1Click(2);
            QCOMPARE(d->Formeltext(), std::string("y=2*3"));
            const QString ordner = qEnvironmentVariable("KD_BILDER");
            if (!ordner.isEmpty()) QVERIFY(d->grab().save(QDir(ordner).filePath(QStringLiteral("rechner.png"))));
            d->CancelBtnClick();
        });
        w->SpeedTaschenrechnerClick();
        QCOMPARE(w->Sammlung().FormelListe.Count(), 1);  // nothing went into the library
        QVERIFY(!w->Sammlung().Geaendert);
        QCOMPARE(w->KDGData->FormelZeilen.size(), std::size_t(4));
    }
};

QTEST_MAIN(TestDlgFormel)
#include "tst_dlgformel.moc"
