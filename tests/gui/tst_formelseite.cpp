// The formula page of the main window with real widgets: painting and the cached
// layouts, the highlight that moves without drawing the page again, the Symbol font
// test, selection with mouse and keys, the Tab marking, computing through the input
// mask, delete and move.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/library/Bibliothek.h"
#include "core/pictures/Jpeg.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/TextObjekte.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/dialogs/DlgEingabe.h"
#include "gui/platform/Cursors.h"
#include "gui/platform/RichText.h"
#include "gui/platform/VirtPntBox.h"
#include "helpers/BeiModal.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::Meldungen;
using kd::TDlgEingabe;
using kd::TDlgFormelSamml;
using kdtest::Bibliothek;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

namespace {

void Zeige(TDlgFormelSamml& w) {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

// Lets the pending paints happen.
void Malen(TDlgFormelSamml& w) {
    QApplication::processEvents();
    w.PaintBox1->repaint();
    QApplication::processEvents();
}

// What the view of the page shows now.
QImage Ansicht(TDlgFormelSamml& w) {
    Malen(w);
    return w.CScrollBox1->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A window on a library of these formula texts.
struct Fenster {
    TestOrdner ordner;
    FakeMeldungen boxen;
    std::unique_ptr<TDlgFormelSamml> w;

    explicit Fenster(const std::vector<std::string>& texte) {
        ordner.Schreibe("Alpha.pqb", Bibliothek(texte));
        w = kdtest::NeuesFenster(boxen);
        w->Start();
    }
    Fenster(const kd::FormelListeTyp& liste, bool) {
        kd::SchreibeBibliothek(QFile::encodeName(ordner.Datei("Alpha.pqb")).toStdString(), liste);
        w = kdtest::NeuesFenster(boxen);
        w->Start();
    }
};

void Taste(TDlgFormelSamml& w, Qt::Key k) { QTest::keyClick(w.RichEdit1, k); }

QString Markiert(TDlgFormelSamml& w) { return w.RichEdit1->textCursor().selectedText(); }

// A library of n formulas "y1=x+1", "y2=x+2", ...
std::vector<std::string> Viele(int n) {
    std::vector<std::string> t;
    for (int i = 1; i <= n; ++i) t.push_back("y" + std::to_string(i) + "=x+" + std::to_string(i));
    return t;
}

// The pixel y of page y in the paint box.
int PixelY(TDlgFormelSamml& w, std::int32_t seiteY) {
    w.PaintBox1->SetScale();
    return w.PaintBox1->PixelRect(kd::TRect{0, seiteY, 1, seiteY}).center().y();
}

// The frame of formula i in the coordinates of the scroll box's viewport.
QRect ImViewport(TDlgFormelSamml& w, int i) {
    w.PaintBox1->SetScale();
    const QRect r = w.PaintBox1->PixelRect(w.Seite.Markierungsrahmen(i)).normalized();
    return r.translated(w.PaintBox1->mapTo(w.CScrollBox1->viewport(), QPoint(0, 0)));
}

// Whether the whole frame of formula i (its top, when it is taller than the view) is
// in the visible part of the page.
bool RahmenSichtbar(TDlgFormelSamml& w, int i) {
    QApplication::processEvents();
    const QRect r = ImViewport(w, i);
    const int hoehe = w.CScrollBox1->viewport()->height();
    if (r.height() > hoehe) return r.top() >= 0 && r.top() < hoehe;
    return r.top() >= 0 && r.bottom() < hoehe;
}

void Klick(TDlgFormelSamml& w, int pixelY) {
    QTest::mouseClick(w.PaintBox1, Qt::LeftButton, {}, QPoint(200, pixelY));
}

// Answers the input mask once it is open (the command waits for the modal mask).
using BeiMaske = kdtest::BeiModal<TDlgEingabe>;

// Types values into the mask's edits and presses OK; records what the mask showed.
struct Eingabe {
    QStringList werte;
    int zeilen = -1;
    int hoehe = -1;
    QStringList gezeigt;
    void operator()(TDlgEingabe& d) {
        zeilen = 0;
        for (QLineEdit* e : d.Edits)
            if (!e->isHidden()) {
                gezeigt << e->text();
                ++zeilen;
            }
        hoehe = d.height();
        for (int k = 0; k < werte.size(); ++k) d.Edits[std::size_t(k)]->setText(werte[k]);
        d.BitBtn1->click();
    }
};

kd::Bild Rot(int w, int h) {
    kd::Bild b;
    b.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Set(x, y, 220, 0, 0);
    return b;
}

void Neu(kd::FormelListeTyp& l, const std::string& text, std::vector<std::uint8_t> jpeg = {}) {
    auto f = std::make_unique<kd::TFormelBiblio>();
    f->FormelText = text;
    if (!jpeg.empty()) {
        f->BildTyp = 1;
        f->Bild = std::move(jpeg);
    }
    l.Add(std::move(f));
}

// The Symbol test answers as a font without the bracket pieces.
class OhneKlammerstuecke : public TDlgFormelSamml {
public:
    using TDlgFormelSamml::TDlgFormelSamml;
    int SymbolPixelZaehlen() override { return 0; }
};

} // namespace

class TestFormelseite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }
    void cleanup() { kd::SymbolKlammer() = true; }

    void seiteZeigtJedeFormelUnterEinander() {
        Fenster f({"y=x {Kopf}", "y=x}", "z=a/b", "w=("});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Malen(w);
        QVERIFY(w.LayoutGueltig);
        QCOMPARE(w.Seite.Anzahl, 4);
        QCOMPARE(w.Seite.BildBreite, kd::TFormelseite::RandOhneBild);
        // Blocks one below the other.
        for (int i = 1; i < 4; ++i)
            QVERIFY(w.Seite.FormelPos[std::size_t(i)].Unterkante < w.Seite.FormelPos[std::size_t(i - 1)].Unterkante);
        // "y=x}" has no "{": the whole text is the formula (no comment is cut off), and
        // that text does not parse, like "w=(".
        for (int i : {1, 3}) {
            auto* t = dynamic_cast<kd::TFormelText*>(w.Seite.ElementListe[i]);
            QVERIFY2(t && t->Text == "Fehler in Formel", qPrintable(QString::number(i)));
            QCOMPARE(t->Color, kd::RGB(255, 0, 0));
        }
        QVERIFY(!dynamic_cast<kd::TFormelText*>(w.Seite.ElementListe[0]));
        // The first formula's heading is drawn above it in dark blue: some pixel of the
        // heading's line is bluish, none of the formula's own line.
        const QImage bild = Ansicht(w);
        const auto blaeulich = [&](int von, int bis) {
            for (int y = von; y < bis; ++y)
                for (int x = 0; x < bild.width(); ++x) {
                    const QColor c = bild.pixelColor(x, y);
                    if (c.blue() > c.red() + 40 && c.blue() > c.green() + 40 && c.blue() < 200) return true;
                }
            return false;
        };
        QVERIFY(blaeulich(PixelY(w, 2975 - 50 + 40), PixelY(w, 2975 - 50) + 1));
        // The later paints reuse the trees.
        const kd::TDLine* baum = w.Seite.ElementListe[0];
        w.ShowFormel();
        Malen(w);
        QCOMPARE(w.Seite.ElementListe[0], baum);
        // A change of the records builds them again.
        w.Sammlung().FormelListe[0]->FormelText = "q=1";
        w.Sammlung().LayoutUngueltig();
        Malen(w);
        QVERIFY(w.LayoutGueltig);
        QVERIFY(!dynamic_cast<kd::TFormelText*>(w.Seite.ElementListe[0]));
        QVERIFY(w.Seite.FormelPos[0].Unterkante > 2970 - 400);
    }

    void bildHoeherAlsFormelSchiebtDieNaechsteNachUnten() {
        kd::FormelListeTyp mit, ohne;
        Neu(mit, "a=1", kd::KodiereJpeg(Rot(20, 120)));
        Neu(mit, "b=2");
        Neu(ohne, "a=1");
        Neu(ohne, "b=2");
        Fenster fm(mit, true), fo(ohne, true);
        Zeige(*fm.w);
        Zeige(*fo.w);
        Malen(*fm.w);
        Malen(*fo.w);
        const kd::TFormelseite& s = fm.w->Seite;
        QCOMPARE(s.BildBreite, kd::TFormelseite::RandMitBild);
        QCOMPARE(fo.w->Seite.BildBreite, kd::TFormelseite::RandOhneBild);
        // The picture column is 323 wide, the picture six times as high: 1938.
        const std::int32_t bildHoehe = 1938;
        const std::int32_t h = fo.w->Seite.ElementListe[0]->Rect.Top - fo.w->Seite.ElementListe[0]->Rect.Bottom;
        QCOMPARE(s.FormelPos[0].Unterkante, fo.w->Seite.FormelPos[0].Unterkante - (bildHoehe - h));
        // The next formula starts below the picture.
        QVERIFY(s.ElementListe[1]->Rect.Top < 2915 - bildHoehe);
        QCOMPARE(s.FormelPos[1].Unterkante - s.FormelPos[0].Unterkante,
                 fo.w->Seite.FormelPos[1].Unterkante - fo.w->Seite.FormelPos[0].Unterkante);
        // The picture is drawn in the column: red pixels left of the formulas.
        const QImage bild = Ansicht(*fm.w);
        const QColor c = bild.pixelColor(50, PixelY(*fm.w, 2915 - 300));
        QVERIFY2(c.red() > 180 && c.green() < 80, qPrintable(c.name()));
        if (const QString ziel = qEnvironmentVariable("KD_BILDER"); !ziel.isEmpty())
            fm.w->grab().save(QDir(ziel).filePath(QStringLiteral("MitBild.png")));
    }

    void auswahlWechselMaltDieSeiteNicht() {
        Fenster f(Viele(6));
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        const QImage vorher = Ansicht(w);
        QCOMPARE(w.Sammlung().AktFormel, 0);
        const int gezeichnet = w.SeitenZeichnungen;
        Taste(w, Qt::Key_Down);
        const QImage danach = Ansicht(w);
        QCOMPARE(w.Sammlung().AktFormel, 1);
        QCOMPARE(w.SeitenZeichnungen, gezeichnet);
        QVERIFY(danach != vorher);
        // The frame is navy where it is drawn: some pixel around formula 1 is navy.
        const kd::TRect r = w.Seite.Markierungsrahmen(1);
        const int y = PixelY(w, r.Bottom);
        bool navy = false;
        for (int x = 0; x < danach.width() && !navy; ++x) navy = danach.pixel(x, y) == qRgb(0, 0, 128);
        QVERIFY(navy);
        // Inverting twice gives the page back pixel for pixel.
        Taste(w, Qt::Key_Up);
        QCOMPARE(Ansicht(w), vorher);
        QCOMPARE(w.SeitenZeichnungen, gezeichnet);
    }

    void symboltestEinmal() {
        Fenster f({"y=(a+b)", "z=(SUMME(i=1;n;i))"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Malen(w);
        w.ShowFormel();
        Malen(w);
        QCOMPARE(w.SymbolTests, 1);
        QVERIFY(w.SymbolTestGemacht);
        // DejaVu Sans draws the bracket pieces.
        QVERIFY(kd::SymbolKlammer());
    }

    void symboltestFehlgeschlagenMaltNochEinmal() {
        TestOrdner ordner;
        ordner.Schreibe("Alpha.pqb", Bibliothek({"y=(a+b)"}));
        FakeMeldungen boxen;
        OhneKlammerstuecke w(&boxen);
        w.SetWartezeit(0);
        w.Start();
        QCOMPARE(w.SymbolTests, 1);
        QVERIFY(!kd::SymbolKlammer());
        const int gezeichnet = w.SeitenZeichnungen;
        Zeige(w);
        Malen(w);
        // Painted once more (without the Symbol pieces), and the test is not repeated.
        QCOMPARE(w.SeitenZeichnungen, gezeichnet + 1);
        w.ShowFormel();
        Malen(w);
        QCOMPARE(w.SymbolTests, 1);
    }

    void tastenWaehlenUndKlemmen() {
        Fenster f(Viele(40));
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        QScrollBar* senkrecht = w.CScrollBox1->verticalScrollBar();
        struct Schritt {
            Qt::Key taste;
            int akt;
        };
        const Schritt schritte[] = {
            {Qt::Key_Up, 0},  // Up on the first keeps it
            {Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Home, 0},
            {Qt::Key_End, 39}, {Qt::Key_Down, 39},  // Down on the last keeps it
            {Qt::Key_Up, 38},
        };
        for (const Schritt& s : schritte) {
            Taste(w, s.taste);
            QCOMPARE(w.Sammlung().AktFormel, s.akt);
        }
        Taste(w, Qt::Key_End);
        Malen(w);
        // End scrolled: the last formula is in the view.
        QVERIFY(senkrecht->value() > 0);
        w.PaintBox1->SetScale();
        const std::int32_t u = w.Seite.FormelPos[39].Unterkante;
        QVERIFY(w.PaintBox1->RectVollSichtbar(kd::TRect{10, u, 20, u - 50}));
        QCOMPARE(w.RichEdit1->toPlainText(), QStringLiteral("y40=x+40"));
        // Home goes back to the top of the page.
        Taste(w, Qt::Key_Home);
        QCOMPARE(senkrecht->value(), 0);

        // Page Down and Page Up scroll by the height of the visible part.
        Taste(w, Qt::Key_PageDown);
        QCOMPARE(senkrecht->value(),
                 std::min(senkrecht->maximum(), w.CScrollBox1->viewport()->height()));
        Taste(w, Qt::Key_PageUp);
        QCOMPARE(senkrecht->value(), 0);
        QCOMPARE(w.Sammlung().AktFormel, 0);

        // Keys that would edit are discarded, typing too: nothing is asked, nothing changes.
        for (Qt::Key k : {Qt::Key_Backspace, Qt::Key_Escape}) Taste(w, k);
        QTest::keyClicks(w.RichEdit1, "abc");
        QCOMPARE(w.RichEdit1->toPlainText(), QStringLiteral("y1=x+1"));
        QCOMPARE(w.Sammlung().FormelListe.Count(), 40);
        QVERIFY2(f.boxen.gezeigt.empty(), qPrintable(f.boxen.Protokoll()));
        // Del is the key of "Löschen": it asks first (not answered here: nothing goes).
        Taste(w, Qt::Key_Delete);
        QCOMPARE(f.boxen.gezeigt.size(), std::size_t(1));
        QVERIFY(f.boxen.gezeigt[0].text.contains(QStringLiteral("wirklich löschen?")));
        QCOMPARE(w.Sammlung().FormelListe.Count(), 40);
        QVERIFY(w.isVisible());
    }

    void tastenAufDerBibliothekslisteWirkenAufDieFormeln() {
        Fenster f(Viele(3));
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        w.ListBox1->setFocus();
        QTest::keyClick(w.ListBox1, Qt::Key_End);
        QCOMPARE(w.Sammlung().AktFormel, 2);
        QCOMPARE(w.ListBox1->currentRow(), 0);
    }

    void mausWaehltUndVergisstEingaben() {
        Fenster f(Viele(3));
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Malen(w);
        w.Sammlung().MerkList[0] = 5;
        // The keys keep the remembered values.
        Taste(w, Qt::Key_Down);
        QCOMPARE(double(w.Sammlung().MerkList[0]), 5.0);
        // A click into formula 2's block selects it and forgets them.
        Klick(w, PixelY(w, w.Seite.FormelPos[2].Unterkante + 20));
        QCOMPARE(w.Sammlung().AktFormel, 2);
        QCOMPARE(double(w.Sammlung().MerkList[0]), 1e300);
        Klick(w, PixelY(w, w.Seite.FormelPos[0].Unterkante + 20));
        QCOMPARE(w.Sammlung().AktFormel, 0);
        // Below the last formula: nothing new is selected.
        Klick(w, PixelY(w, w.Seite.FormelPos[2].Unterkante - 100));
        QCOMPARE(w.Sammlung().AktFormel, 0);
        QCOMPARE(w.RichEdit1->toPlainText(), QStringLiteral("y1=x+1"));
        // A release without a press in the page does nothing.
        QTest::mouseRelease(w.PaintBox1, Qt::LeftButton, {}, QPoint(200, PixelY(w, w.Seite.FormelPos[2].Unterkante + 20)));
        QCOMPARE(w.Sammlung().AktFormel, 0);
    }

    void warteCursorWaehrendDerEditor() {
        Fenster f(Viele(2));
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        const QImage warten = kd::KDCursor(QStringLiteral("CURSWAIT")).pixmap().toImage();
        QVERIFY(!warten.isNull());
        QTest::mouseMove(w.PaintBox1, QPoint(100, 100));
        QVERIFY(w.PaintBox1->cursor().pixmap().toImage() != warten);
        w.EditorOffen = true;
        QTest::mouseMove(w.PaintBox1, QPoint(120, 110));
        QCOMPARE(w.PaintBox1->cursor().pixmap().toImage(), warten);
        w.EditorOffen = false;
    }

    void kontextmenueVomKnopf() {
        Fenster f(Viele(2));
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        w.SpeedButton4->click();
        QTRY_VERIFY(w.PopupMenu1->isVisible());
        // At (300, 350) of the window, moved up only as far as the screen needs.
        const QPoint soll = w.mapToGlobal(QPoint(300, 350));
        const QRect schirm = w.screen()->availableGeometry();
        QCOMPARE(w.PopupMenu1->pos().x(), soll.x());
        QCOMPARE(w.PopupMenu1->pos().y(),
                 std::max(schirm.top(), std::min(soll.y(), schirm.bottom() + 1 - w.PopupMenu1->height())));
        w.PopupMenu1->hide();
    }

    void tabWandertDurchDieTeilformeln() {
        Fenster f({"y=SUMME(i=1;3;i):z=PRODUKT(k=1;2;k)", "a=1;b=22;c=3", "y=a+b"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        // Sum and product arguments do not divide: two sub-formulas, then round again.
        const QStringList folge = {"y=SUMME(i=1;3;i)", "z=PRODUKT(k=1;2;k)", "y=SUMME(i=1;3;i)",
                                   "z=PRODUKT(k=1;2;k)"};
        for (const QString& erwartet : folge) {
            Taste(w, Qt::Key_Tab);
            QCOMPARE(Markiert(w), erwartet);
        }
        QCOMPARE(w.Sammlung().AktFormel, 0);

        // A selection the user made: inside the first sub-formula Tab marks all of it;
        // inside a later one it marks the next, after the last the first.
        Taste(w, Qt::Key_Down);
        struct Fall {
            int von, bis;
            QString marke;
        };
        const Fall faelle[] = {{1, 3, "a=1"}, {5, 6, "c=3"}, {9, 11, "a=1"}, {4, 8, "c=3"}};
        for (const Fall& fall : faelle) {
            QTextCursor c = w.RichEdit1->textCursor();
            c.setPosition(fall.von);
            c.setPosition(fall.bis, QTextCursor::KeepAnchor);
            w.RichEdit1->setTextCursor(c);
            Taste(w, Qt::Key_Tab);
            QCOMPARE(Markiert(w), fall.marke);
        }
        // From the last one Tab goes to the first, from the first to the second.
        Taste(w, Qt::Key_Tab);
        QCOMPARE(Markiert(w), QStringLiteral("a=1"));
        Taste(w, Qt::Key_Tab);
        QCOMPARE(Markiert(w), QStringLiteral("b=22"));

        // One sub-formula: Tab marks the whole text, again and again.
        Taste(w, Qt::Key_Down);
        Taste(w, Qt::Key_Tab);
        QCOMPARE(Markiert(w), QStringLiteral("y=a+b"));
        Taste(w, Qt::Key_Tab);
        QCOMPARE(Markiert(w), QStringLiteral("y=a+b"));
    }

    void tabZaehltSymbolzeichenAlsEinZeichen() {
        // Greek letters ("~a") and index marks ("|") are one visible character or none;
        // the marking stays on the sub-formula also when one begins with such a mark.
        struct Fall {
            std::string text;
            QStringList folge;
        };
        const Fall faelle[] = {
            {"~a=~p*r:U=2*~p*r", {QStringLiteral("α=π*r"), QStringLiteral("U=2*π*r")}},
            {"y=2*x;~w=3*x {Omega}", {QStringLiteral("y=2*x"), QStringLiteral("ω=3*x {Omega}"),
                                      QStringLiteral("y=2*x")}},
            {"a=1:|x=2:~b=3", {QStringLiteral("a=1"), QStringLiteral("x=2"), QStringLiteral("β=3"),
                               QStringLiteral("a=1")}},
            // The example library's "Zeitdilatation".
            {"t=~g*t|0:~g=1/WURZEL(1-(v/c|o)^2) {Zeitdilatation}",
             {QStringLiteral("t=γ*t0"), QStringLiteral("γ=1/WURZEL(1-(v/co)^2) {Zeitdilatation}")}},
        };
        for (const Fall& fall : faelle) {
            Fenster f({fall.text});
            TDlgFormelSamml& w = *f.w;
            Zeige(w);
            for (const QString& erwartet : fall.folge) {
                Taste(w, Qt::Key_Tab);
                QCOMPARE(Markiert(w), erwartet);
            }
        }

        // The marked sub-formula after a Greek letter is computed, not refused.
        Fenster f({"y=2*x;~w=3*x {Omega}"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Taste(w, Qt::Key_Tab);
        Taste(w, Qt::Key_Tab);
        Eingabe eingabe;
        eingabe.werte = {"2"};
        BeiMaske maske(std::ref(eingabe));
        w.SpeedBerechnen->click();
        QCOMPARE(maske.geoeffnet, 1);
        QCOMPARE(f.boxen.gezeigt.back().titel, QStringLiteral("Berechnung"));
        QVERIFY2(f.boxen.gezeigt.back().text.endsWith(QStringLiteral("=6")),
                 qPrintable(f.boxen.Protokoll()));
    }

    void richTextHinUndZurueck() {
        const std::vector<std::string> texte = {"x|2", "~p", "~|a", "A=~p*r|1^2 {Kreis}"};
        Fenster f(texte);
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        const QStringList sichtbar = {"x2", QStringLiteral("π"), QStringLiteral("α"),
                                      QStringLiteral("A=π*r1^2 {Kreis}")};
        for (int i = 0; i < int(texte.size()); ++i) {
            w.SetFormel(i);
            QCOMPARE(w.RichEdit1->toPlainText(), sichtbar[i]);
            QCOMPARE(kd::RichTextZuFormeltext(w.RichEdit1), texte[std::size_t(i)]);
        }
    }

    void berechnenOhneVariablen() {
        Fenster f({"y=2*3+1"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        BeiMaske maske([](TDlgEingabe& d) { d.reject(); });
        w.SpeedBerechnen->click();
        QCOMPARE(maske.geoeffnet, 0);
        QCOMPARE(int(f.boxen.gezeigt.size()), 1);
        QCOMPARE(f.boxen.gezeigt[0].titel, QStringLiteral("Berechnung"));
        QCOMPARE(f.boxen.gezeigt[0].text, QStringLiteral("Ergebnis=7"));
        QCOMPARE(f.boxen.gezeigt[0].symbol, Meldungen::Symbol::Keins);
    }

    void berechnenMitZweiVariablen() {
        Fenster f({"f=a*b"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Eingabe eingabe;
        eingabe.werte = {"2", "3"};
        BeiMaske maske(std::ref(eingabe));
        w.SpeedBerechnen->click();
        QCOMPARE(maske.geoeffnet, 1);
        QCOMPARE(eingabe.zeilen, 2);
        QCOMPARE(eingabe.gezeigt, (QStringList{"", ""}));  // nothing remembered yet
        QCOMPARE(eingabe.hoehe, 402 - 8 * 36);
        QCOMPARE(f.boxen.gezeigt.back().text, QStringLiteral("Ergebnis: f( 2; 3 )=6"));
        QCOMPARE(double(w.Sammlung().MerkList[0]), 2.0);
        QCOMPARE(double(w.Sammlung().MerkList[1]), 3.0);

        // The next computation offers the typed values.
        Eingabe wieder;
        BeiMaske maske2(std::ref(wieder));
        w.SpeedBerechnen->click();
        QCOMPARE(wieder.gezeigt, (QStringList{"2", "3"}));
    }

    void abgelehnterWertHaeltDieMaskeOffen() {
        Fenster f({"f=a*b"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        bool offen = false, fokus = false;
        int toene = -1;
        BeiMaske maske([&](TDlgEingabe& d) {
            d.Edits[0]->setText("2");
            d.Edits[1]->setText("x7");
            d.BitBtn1->click();
            offen = d.isVisible();
            toene = f.boxen.signaltoene;
            fokus = d.focusWidget() == d.Edits[1];
            d.Edits[1]->setText("4");
            d.BitBtn1->click();
        });
        w.SpeedBerechnen->click();
        QVERIFY(offen);
        QVERIFY(fokus);
        QCOMPARE(toene, 1);
        QCOMPARE(f.boxen.gezeigt.back().text, QStringLiteral("Ergebnis: f( 2; 4 )=8"));
    }

    void abbrechenZeigtNichts() {
        Fenster f({"f=a*b"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        BeiMaske maske([](TDlgEingabe& d) { d.BitBtn2->click(); });
        w.SpeedBerechnen->click();
        QCOMPARE(maske.geoeffnet, 1);
        QVERIFY2(f.boxen.gezeigt.empty(), qPrintable(f.boxen.Protokoll()));
        QCOMPARE(double(w.Sammlung().MerkList[0]), 1e300);
    }

    void mehrereTeilformelnWerdenMarkiert() {
        Fenster f({"y=2*3:z=4+1"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        w.SpeedBerechnen->click();
        QCOMPARE(int(f.boxen.gezeigt.size()), 1);
        QCOMPARE(f.boxen.gezeigt[0].titel, QStringLiteral("Achtung"));
        QCOMPARE(f.boxen.gezeigt[0].text,
                 QStringLiteral("Die Formel besteht aus mehreren Teilformeln.\n"
                                "Bitte markieren Sie eine mit der Maus oder der Tab-Taste"));
        QCOMPARE(Markiert(w), QStringLiteral("y=2*3"));
        // Started again, the marked part is computed.
        w.SpeedBerechnen->click();
        QCOMPARE(f.boxen.gezeigt.back().text, QStringLiteral("Ergebnis=6"));
        Taste(w, Qt::Key_Tab);
        w.SpeedBerechnen->click();
        QCOMPARE(f.boxen.gezeigt.back().text, QStringLiteral("Ergebnis=5"));
    }

    void berechnenMitZehnUndMehrVariablen() {
        std::string zehn = "y=a1", elf;
        for (int i = 2; i <= 10; ++i) zehn += "+a" + std::to_string(i);
        elf = zehn + "+a11";
        Fenster f({zehn, elf});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Eingabe eingabe;
        for (int i = 1; i <= 10; ++i) eingabe.werte << QString::number(i);
        BeiMaske maske(std::ref(eingabe));
        w.SpeedBerechnen->click();
        QCOMPARE(eingabe.zeilen, 10);
        QCOMPARE(eingabe.hoehe, 402);
        QCOMPARE(f.boxen.gezeigt.back().text,
                 QStringLiteral("Ergebnis: f( 1; 2; 3; 4; 5; 6; 7; 8; 9; 10 )=55"));

        // Eleven: refused before the mask; the remembered values stay.
        Taste(w, Qt::Key_Down);
        BeiMaske nie([](TDlgEingabe& d) { d.reject(); });
        w.SpeedBerechnen->click();
        QCOMPARE(nie.geoeffnet, 0);
        QCOMPARE(f.boxen.gezeigt.back().titel, QStringLiteral("Achtung"));
        QVERIFY(f.boxen.gezeigt.back().text.contains(QStringLiteral("mehr als 10")));
        QCOMPARE(double(w.Sammlung().MerkList[9]), 10.0);
        QCOMPARE(double(w.Sammlung().MerkList[10]), 1e300);
    }

    void loeschenDerErstenLaesstKeineGewaehlt() {
        Fenster f({"a=1", "b=2", "c=3"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        f.boxen.Antworte({Meldungen::Antwort::Nein});
        w.SpeedLoeschenFormel->click();
        QCOMPARE(w.Sammlung().FormelListe.Count(), 3);
        QCOMPARE(f.boxen.gezeigt.back().text, QStringLiteral("Formel wirklich löschen?\n\na=1"));

        f.boxen.Antworte({Meldungen::Antwort::Ja});
        w.SpeedLoeschenFormel->click();
        QCOMPARE(w.Sammlung().FormelListe.Count(), 2);
        QCOMPARE(w.Sammlung().AktFormel, -1);
        QVERIFY(w.RichEdit1->toPlainText().isEmpty());
        QVERIFY(w.Sammlung().Geaendert);
        Malen(w);
        QCOMPARE(w.Seite.Anzahl, 2);
        // Nothing selected: delete, move and compute do nothing.
        const auto boxen = f.boxen.gezeigt.size();
        w.SpeedLoeschenFormel->click();
        w.SpeedButton2->click();
        w.SpeedBerechnen->click();
        QCOMPARE(f.boxen.gezeigt.size(), boxen);
        // A selection again, then the last one deleted: the one above is selected.
        Taste(w, Qt::Key_End);
        f.boxen.Antworte({Meldungen::Antwort::Ja});
        w.SpeedLoeschenFormel->click();
        QCOMPARE(w.Sammlung().AktFormel, 0);
        QCOMPARE(w.Sammlung().FormelListe[0]->FormelText, std::string("b=2"));
    }

    void verschiebenAnDenEndenAendertNichts() {
        Fenster f({"a=1", "b=2", "c=3"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        const auto texte = [&] {
            std::vector<std::string> t;
            for (const auto& r : w.Sammlung().FormelListe) t.push_back(r->FormelText);
            return t;
        };
        const std::vector<std::string> anfang = {"a=1", "b=2", "c=3"};
        w.SpeedButton2->click();  // the first cannot go up
        QCOMPARE(texte(), anfang);
        QCOMPARE(w.Sammlung().AktFormel, 0);
        QVERIFY(!w.Sammlung().Geaendert);
        w.SpeedButton3->click();
        QCOMPARE(texte(), (std::vector<std::string>{"b=2", "a=1", "c=3"}));
        QCOMPARE(w.Sammlung().AktFormel, 1);
        w.SpeedButton3->click();
        w.SpeedButton3->click();  // the last cannot go down
        QCOMPARE(texte(), (std::vector<std::string>{"b=2", "c=3", "a=1"}));
        QCOMPARE(w.Sammlung().AktFormel, 2);
        Malen(w);
        // The page shows the new order: the highlight is on the moved formula.
        QVERIFY(w.LayoutGueltig);
        QCOMPARE(w.Seite.Anzahl, 3);
        w.SpeedButton2->click();
        QCOMPARE(texte(), (std::vector<std::string>{"b=2", "a=1", "c=3"}));
    }

    void mehrAls251FormelnWerdenGezeichnet() {
        // The page grows with the library: End in a 260-formula library shows the last
        // formula on the page, framed, in the view.
        Fenster f(Viele(260));
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Taste(w, Qt::Key_End);
        QCOMPARE(w.Sammlung().AktFormel, 259);
        QCOMPARE(w.RichEdit1->toPlainText(), QStringLiteral("y260=x+260"));
        Malen(w);
        QCOMPARE(w.Seite.Anzahl, 260);
        QVERIFY(RahmenSichtbar(w, 259));
        // Something is drawn where the last formula lies.
        const QRect r = ImViewport(w, 259);
        const QImage bild = Ansicht(w);
        int dunkel = 0;
        for (int y = std::max(0, r.top()); y <= std::min(bild.height() - 1, r.bottom()); ++y)
            for (int x = std::max(0, r.left()); x <= std::min(bild.width() - 1, r.right()); ++x)
                if (qGray(bild.pixel(x, y)) < 100) ++dunkel;
        QVERIFY2(dunkel > 20, qPrintable(QString::number(dunkel)));
        // A click on it selects it.
        Taste(w, Qt::Key_Up);
        Malen(w);
        Klick(w, PixelY(w, w.Seite.FormelPos[259].Unterkante + 20));
        QCOMPARE(w.Sammlung().AktFormel, 259);
    }

    void auswahlBleibtImBlick() {
        // After every change of the selection its whole frame is in the view: after
        // Page Down, after tall formulas, and at the bottom above the horizontal
        // scroll bar.
        std::string hoch = "h=1";
        for (int i = 0; i < 14; ++i) hoch = "(" + hoch + ")/(1+x)";
        hoch = "h=" + hoch.substr(2);
        std::vector<std::string> texte = Viele(30);
        texte.insert(texte.begin() + 5, hoch);
        texte.insert(texte.begin() + 6, hoch);
        Fenster f(texte);
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        QScrollBar* senkrecht = w.CScrollBox1->verticalScrollBar();
        const int anzahl = int(texte.size());

        Taste(w, Qt::Key_Home);
        Taste(w, Qt::Key_PageDown);
        // Page Down moves by what is visible, not by the scroll box with its scroll bar.
        QCOMPARE(senkrecht->value(),
                 std::min(senkrecht->maximum(), w.CScrollBox1->viewport()->height()));
        Taste(w, Qt::Key_Down);
        QVERIFY(RahmenSichtbar(w, 1));
        for (int i = 2; i < anzahl; ++i) {
            Taste(w, Qt::Key_Down);
            QCOMPARE(w.Sammlung().AktFormel, i);
            QVERIFY2(RahmenSichtbar(w, i), qPrintable(QString::number(i)));
        }
        for (int i = anzahl - 2; i >= 0; --i) {
            Taste(w, Qt::Key_Up);
            QVERIFY2(RahmenSichtbar(w, i), qPrintable(QString::number(i)));
        }
        Taste(w, Qt::Key_End);
        QVERIFY(w.CScrollBox1->horizontalScrollBar()->isVisible());
        QVERIFY(RahmenSichtbar(w, anzahl - 1));
    }

    void rechtsklickWaehltDieFormelUnterDerMaus() {
        // With "a=1" highlighted a right-click on "c=3" selects it, so "Löschen" in the
        // menu deletes that one; the question names it and has Nein as its default.
        Fenster f({"a=1", "b=2", "c=3"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Malen(w);
        QCOMPARE(w.Sammlung().AktFormel, 0);
        QTest::mouseClick(w.PaintBox1, Qt::RightButton, {},
                          QPoint(200, PixelY(w, w.Seite.FormelPos[2].Unterkante + 20)));
        QCOMPARE(w.Sammlung().AktFormel, 2);
        QCOMPARE(w.RichEdit1->toPlainText(), QStringLiteral("c=3"));
        QTRY_VERIFY(w.PopupMenu1->isVisible());
        f.boxen.Antworte({Meldungen::Antwort::Ja});
        w.Lschen1->trigger();
        w.PopupMenu1->hide();
        QCOMPARE(f.boxen.gezeigt.back().text, QStringLiteral("Formel wirklich löschen?\n\nc=3"));
        QVERIFY(f.boxen.gezeigt.back().tasten == Meldungen::Tasten::JaNeinAbbrechenVorgabeNein);
        std::vector<std::string> rest;
        for (const auto& r : w.Sammlung().FormelListe) rest.push_back(r->FormelText);
        QCOMPARE(rest, (std::vector<std::string>{"a=1", "b=2"}));
    }

    void nachDemLoeschenStehtDieFormelDarueberInDerTextzeile() {
        Fenster f({"a=1:b=2", "c=3", "d=4"});
        TDlgFormelSamml& w = *f.w;
        Zeige(w);
        Taste(w, Qt::Key_Down);
        f.boxen.Antworte({Meldungen::Antwort::Ja});
        w.SpeedLoeschenFormel->click();
        QCOMPARE(w.Sammlung().AktFormel, 0);
        QCOMPARE(w.RichEdit1->toPlainText(), QStringLiteral("a=1:b=2"));
        // Tab works on the highlighted formula.
        Taste(w, Qt::Key_Tab);
        QCOMPARE(Markiert(w), QStringLiteral("a=1"));
        Malen(w);
        QVERIFY(RahmenSichtbar(w, 0));
    }

    void beispielbibliothekenOhneFehler() {
        // The example libraries typeset without a formula that does not parse; with
        // KD_BILDER set the page of each is saved there as a PNG.
        // Built beside the tests by the target beispielbibliotheken.
        const QDir quelle(QCoreApplication::applicationDirPath() +
                          QStringLiteral("/../resources/libraries-built"));
        const QStringList dateien = quelle.entryList({QStringLiteral("*.pqb")}, QDir::Files);
        QVERIFY(!dateien.isEmpty());
        for (const QString& datei : dateien) {
            TestOrdner ordner;
            QFile::copy(quelle.filePath(datei), ordner.Datei(datei));
            FakeMeldungen boxen;
            auto w = kdtest::NeuesFenster(boxen);
            w->resize(900, 760);
            w->Start();
            Zeige(*w);
            Malen(*w);
            QVERIFY(w->Seite.Anzahl >= 25);
            for (int i = 0; i < w->Seite.Anzahl; ++i) {
                auto* t = dynamic_cast<kd::TFormelText*>(w->Seite.ElementListe[i]);
                QVERIFY2(!t || t->Text != "Fehler in Formel",
                         qPrintable(datei + ": " + QString::number(i)));
            }
            for (int i = 0; i < 3; ++i) Taste(*w, Qt::Key_Down);
            Taste(*w, Qt::Key_Tab);
            const QString ziel = qEnvironmentVariable("KD_BILDER");
            if (!ziel.isEmpty()) {
                Malen(*w);
                w->grab().save(QDir(ziel).filePath(QFileInfo(datei).baseName() + ".png"));
            }
            QVERIFY2(boxen.gezeigt.empty(), qPrintable(boxen.Protokoll()));
        }
    }
};

QTEST_MAIN(TestFormelseite)
#include "tst_formelseite.moc"
