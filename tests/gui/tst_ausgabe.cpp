// The main window's output commands driven through the real window: copying as text,
// as a picture and as a worksheet formula, pasting, printing to a PDF file, and adding,
// saving and removing a formula's picture, with message boxes and dialogs scripted.
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include "core/library/Sammlung.h"
#include "core/page/KDGData.h"
#include "core/page/VirtPntBox.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/Zwischenablage.h"
#include "helpers/FakeDateidialoge.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kdtest::FakeDateidialoge;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;
using A = kd::Meldungen::Antwort;

namespace {

// The window with the new-formula dialog replaced by a note of what it was given.
class Fenster : public kd::TDlgFormelSamml {
public:
    using kd::TDlgFormelSamml::TDlgFormelSamml;
    void EditNeueFormel() override {
        ++neueFormel;
        zeile = KDGData->FormelZeilen.at(0);
    }
    int neueFormel = 0;
    std::string zeile;
};

struct Aufbau {
    TestOrdner ordner;
    FakeMeldungen boxen;
    FakeDateidialoge dialoge;
    std::unique_ptr<Fenster> w;

    explicit Aufbau(const std::vector<std::string>& texte) {
        ordner.Schreibe(QStringLiteral("Alpha.pqb"), kdtest::Bibliothek(texte));
        w = std::make_unique<Fenster>(&boxen);
        w->SetWartezeit(0);
        w->SetDateidialoge(&dialoge);
        w->Start();
    }
    kd::Formelsammlung& S() { return w->Sammlung(); }
    std::vector<std::string> Texte() {
        std::vector<std::string> t;
        for (const auto& f : S().FormelListe) t.push_back(f->FormelText);
        return t;
    }
};

QClipboard* Ablage() { return QGuiApplication::clipboard(); }

void Lege(const QString& text, const QByteArray& eigen = {}, const QString& html = {}) {
    auto* m = new QMimeData;
    if (!text.isEmpty()) m->setText(text);
    if (!html.isEmpty()) m->setHtml(html);
    if (!eigen.isNull()) m->setData(QString::fromLatin1(kd::FormeltextMime), eigen);
    Ablage()->setMimeData(m);
}

int PdfSeiten(const QByteArray& pdf) {
    static const QRegularExpression seite(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    int n = 0;
    auto it = seite.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

QByteArray Bmp(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 30));
    QByteArray b;
    QBuffer puffer(&b);
    puffer.open(QIODevice::WriteOnly);
    img.save(&puffer, "BMP");
    return b;
}

} // namespace

class TestAusgabe : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void kopierenAlsText() {
        Aufbau a({"y=~a+b|1", "z=2"});
        a.w->SpeedKopierenClick();
        const QMimeData* m = Ablage()->mimeData();
        QVERIFY(m);
        // The exact formula text in our own type, Greek as Unicode in the plain text.
        QCOMPARE(m->data(QString::fromLatin1(kd::FormeltextMime)), QByteArray("y=~a+b|1"));
        QCOMPARE(m->text(), QStringLiteral("y=α+b1"));
        QVERIFY(m->hasHtml());
        QVERIFY(!a.w->RichEdit1->textCursor().hasSelection());

        // A selection: only its text, read back as notation.
        QTextCursor c = a.w->RichEdit1->textCursor();
        c.setPosition(2);
        c.setPosition(4, QTextCursor::KeepAnchor);
        a.w->RichEdit1->setTextCursor(c);
        a.w->SpeedKopierenClick();
        QCOMPARE(Ablage()->mimeData()->data(QString::fromLatin1(kd::FormeltextMime)),
                 QByteArray("~a+"));
        QCOMPARE(Ablage()->mimeData()->text(), QStringLiteral("α+"));
        QVERIFY2(a.boxen.gezeigt.empty(), qPrintable(a.boxen.Protokoll()));
    }

    void einfuegenRegeln() {
        const struct {
            QString text;
            QByteArray eigen;
            QString html;
            std::string formel;
        } faelle[] = {
            {QStringLiteral("a+b"), {}, {}, "Y=a+b"},
            {QStringLiteral("=a+b"), {}, {}, "Y=a+b"},
            {QStringLiteral("y=a\n+b\t"), {}, {}, "y=a+b"},
            // Greek letters of other programs become Symbol codes.
            {QStringLiteral("α=2*π+∞"), {}, {}, "~a=2*~p+~\xA5"},
            // Our own type wins over the others and is taken exactly.
            {QStringLiteral("falsch"), QByteArray("w=~p|2"), QStringLiteral("<b>x</b>"), "w=~p|2"},
            // Rich text: small characters are indices.
            {{}, {}, QStringLiteral("<span>q=F</span><span style=\"font-size:6pt\">G</span>"), "q=F|G"},
        };
        for (const auto& f : faelle) {
            Aufbau a({"y=1", "y=2"});
            Lege(f.text, f.eigen, f.html);
            a.w->SpeedEinfuegenClick();
            QVERIFY2(a.w->neueFormel == 0, a.w->zeile.c_str());
            // After the selected formula (the first), which the new one replaces.
            QCOMPARE(a.Texte(), (std::vector<std::string>{"y=1", f.formel, "y=2"}));
            QCOMPARE(a.S().AktFormel, 1);
            QVERIFY(a.S().Geaendert);
            QVERIFY2(a.boxen.gezeigt.empty(), qPrintable(a.boxen.Protokoll()));
        }
    }

    void einfuegenVonHochUndTiefzahlen() {
        // Pasted sub- and superscripts become the notation; a character no formula can
        // hold refuses the paste with a message.
        {
            Aufbau a({"y=1"});
            Lege(QStringLiteral("v=s₁/t₂"));
            a.w->SpeedEinfuegen->click();
            QCOMPARE(a.Texte(), (std::vector<std::string>{"y=1", "v=s|1/t|2"}));
            QVERIFY2(a.boxen.gezeigt.empty(), qPrintable(a.boxen.Protokoll()));
        }
        Aufbau a({"y=1"});
        Lege(QStringLiteral("y=a✓"));
        a.w->SpeedEinfuegen->click();
        QCOMPARE(a.Texte(), std::vector<std::string>{"y=1"});
        QCOMPARE(a.w->neueFormel, 0);
        QVERIFY(!a.S().Geaendert);
        QCOMPARE(int(a.boxen.gezeigt.size()), 1);
        QCOMPARE(a.boxen.gezeigt[0].titel, QStringLiteral("Fehler"));
        QVERIFY(a.boxen.gezeigt[0].text.contains(QStringLiteral("✓")));
    }

    void einfuegenFehlerhaftOeffnetDialog() {
        Aufbau a({"y=1"});
        Lege(QStringLiteral("y=(a+"));
        a.w->SpeedEinfuegenClick();
        QCOMPARE(a.w->neueFormel, 1);
        QCOMPARE(a.w->zeile, std::string("y=(a+"));
        QCOMPARE(a.Texte(), std::vector<std::string>{"y=1"});
        QVERIFY(!a.S().Geaendert);
        QVERIFY(a.w->RichEdit1->toPlainText().isEmpty());
    }

    void kopierenAlsBild() {
        Aufbau a({"y=a/b+~a", "y=("});
        a.w->AlsFormelinZwischenablage1Click();
        const QMimeData* m = Ablage()->mimeData();
        QVERIFY(m);
        const QByteArray svg = m->data(QStringLiteral("image/svg+xml"));
        QVERIFY(!svg.isEmpty());
        const QImage png = QImage::fromData(m->data(QStringLiteral("image/png")), "PNG");
        QVERIFY(!png.isNull());
        // True size: the SVG in millimetres, the PNG at 300 pixels per inch.
        static const QRegularExpression masse(
            QStringLiteral("width=\"([0-9.]+)mm\" height=\"([0-9.]+)mm\""));
        const auto treffer = masse.match(QString::fromUtf8(svg));
        QVERIFY2(treffer.hasMatch(), svg.left(400).constData());
        const double bmm = treffer.captured(1).toDouble(), hmm = treffer.captured(2).toDouble();
        QCOMPARE(png.dotsPerMeterX(), 11811);
        QVERIFY(std::abs(png.width() * 25.4 / 300 - bmm) < 0.2);
        QVERIFY(std::abs(png.height() * 25.4 / 300 - hmm) < 0.2);
        // A formula of a fraction is some millimetres wide and high.
        QVERIFY2(bmm > 5 && bmm < 60 && hmm > 4 && hmm < 30, qPrintable(treffer.captured(0)));
        // Something is drawn, and not beyond the picture.
        int dunkel = 0;
        for (int y = 0; y < png.height(); ++y)
            for (int x = 0; x < png.width(); ++x) dunkel += qGray(png.pixel(x, y)) < 128;
        QVERIFY(dunkel > 50);
        if (qEnvironmentVariableIsSet("KD_BILDER")) {
            png.save(qEnvironmentVariable("KD_BILDER") + "/formelbild.png");
            QFile f(qEnvironmentVariable("KD_BILDER") + "/formelbild.svg");
            if (f.open(QIODevice::WriteOnly)) f.write(svg);
        }

        a.w->SetFormel(1);
        a.w->AlsFormelinZwischenablage1Click();
        QCOMPARE(a.boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(a.boxen.gezeigt[0].text, QStringLiteral("Fehler in Formel, oder Markierung falsch"));
        QCOMPARE(a.boxen.gezeigt[0].titel, QStringLiteral("Achtung"));
    }

    void kopierenAlsExcelFormel() {
        Aufbau a({"y=SIN(x)+ABS(a)", "a=1;b=SUMME(i=1;3;i)"});
        a.w->SpeedCopyExcel();
        QCOMPARE(Ablage()->mimeData()->text(), QStringLiteral("=Sin(x)+Abs(a)"));
        QVERIFY(a.boxen.gezeigt.empty());

        // Several sub-formulas: the message, and the first one is marked.
        a.w->SetFormel(1);
        a.w->SpeedCopyExcel();
        QCOMPARE(a.boxen.gezeigt.size(), std::size_t(1));
        QVERIFY(a.boxen.gezeigt[0].text.startsWith(QStringLiteral("Die Formel besteht aus mehreren Teilformeln.")));
        QCOMPARE(a.w->RichEdit1->textCursor().selectedText(), QStringLiteral("a=1"));
        // The marked second one with its warning.
        QTextCursor c = a.w->RichEdit1->textCursor();
        c.setPosition(4);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        a.w->RichEdit1->setTextCursor(c);
        a.w->SpeedCopyExcel();
        QCOMPARE(a.boxen.gezeigt.size(), std::size_t(2));
        QCOMPARE(a.boxen.gezeigt[1].text,
                 QStringLiteral("Summenfunktion läßt sich nicht entsprechend umsetzten"));
        QCOMPARE(Ablage()->mimeData()->text(), QStringLiteral("=SUMME(i=1;3;i)"));
    }

    void druckenInPdf() {
        std::vector<std::string> texte(60, "y=a/b");
        texte[3] = "y=( {kaputt}";
        Aufbau a(texte);
        const QString pdf = a.ordner.Datei(QStringLiteral("druck.pdf"));
        // Cancelled: nothing is written.
        a.w->SpeedDruckenClick();
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t(1));
        QCOMPARE(a.dialoge.aufrufe[0].dokument, QStringLiteral("Pexaplan 5.0 - [Alpha]"));
        QVERIFY(!QFile::exists(pdf));

        a.dialoge.pdf = pdf;
        a.w->SpeedDruckenClick();
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray eins = f.readAll();
        f.close();
        const int seiten = PdfSeiten(eins);
        if (qEnvironmentVariableIsSet("KD_BILDER")) {
            QFile kopie(qEnvironmentVariable("KD_BILDER") + "/druck.pdf");
            if (kopie.open(QIODevice::WriteOnly)) kopie.write(eins);
        }
        // 59 formulas of about 20 mm with their gaps do not fit on two sheets.
        QVERIFY2(seiten >= 3 && seiten <= 6, qPrintable(QString::number(seiten)));

        a.dialoge.kopien = 2;
        a.w->SpeedDruckenClick();
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(PdfSeiten(f.readAll()), 2 * seiten);
        QVERIFY(!kd::DrawingState().Printing);
        QVERIFY2(a.boxen.gezeigt.empty(), qPrintable(a.boxen.Protokoll()));
    }

    void grafikEinfuegenSpeichernLoeschen() {
        Aufbau a({"y=1", "y=2"});
        const QByteArray bmp = Bmp(40, 20);
        a.ordner.Schreibe(QStringLiteral("rot.bmp"), bmp);
        a.ordner.Schreibe(QStringLiteral("kaputt.jpg"), QByteArray("kein JPEG"));
        a.ordner.Schreibe(QStringLiteral("bild.png"), bmp);

        // Other names and files that are no picture of their kind change nothing.
        a.dialoge.dateien = {a.ordner.Datei("bild.png"), a.ordner.Datei("kaputt.jpg"), {}};
        for (int i = 0; i < 3; ++i) a.w->GrafikOpenClick();
        QCOMPARE(a.S().FormelListe[0]->BildTyp, 0);
        QVERIFY(!a.S().Geaendert);
        QCOMPARE(a.boxen.gezeigt.size(), std::size_t(1));  // the broken JPEG
        QCOMPARE(a.dialoge.aufrufe[0].filter.size(), 7);
        QCOMPARE(a.dialoge.aufrufe[0].filter[0],
                 QStringLiteral("Alle Dateien (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"));

        a.dialoge.dateien = {a.ordner.Datei("rot.bmp")};
        a.w->GrafikOpenClick();
        const kd::TFormelBiblio& rec = *a.S().FormelListe[0];
        QCOMPARE(rec.BildTyp, 2);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(rec.Bild.data()), qsizetype(rec.Bild.size())), bmp);
        QVERIFY(a.S().Geaendert);

        // Save: "Bild.BMP" proposed; an existing file is overwritten only after OK.
        const QString ziel = a.ordner.Datei(QStringLiteral("alt.bmp"));
        a.ordner.Schreibe(QStringLiteral("alt.bmp"), QByteArray("alt"));
        a.dialoge.dateien = {ziel, ziel};
        a.boxen.Antworte({A::Abbrechen, A::Ok});
        a.w->Grafikspeichern1Click();
        QCOMPARE(a.dialoge.aufrufe.back().vorschlag, QStringLiteral("Bild.BMP"));
        QCOMPARE(a.dialoge.aufrufe.back().endung, QStringLiteral("BMP"));
        QCOMPARE(a.ordner.Lies(QStringLiteral("alt.bmp")), QByteArray("alt"));
        QCOMPARE(a.boxen.gezeigt.back().text, QStringLiteral("Die Datei existiert bereits! Überschreiben ?"));
        QCOMPARE(a.boxen.gezeigt.back().titel, QStringLiteral("alt.bmp"));
        a.w->Grafikspeichern1Click();
        QCOMPARE(a.ordner.Lies(QStringLiteral("alt.bmp")), bmp);

        // Delete: only after Yes.
        a.boxen.Antworte({A::Nein, A::Ja});
        a.w->SpeedBildLoeschenClick();
        QCOMPARE(a.S().FormelListe[0]->BildTyp, 2);
        QCOMPARE(a.boxen.gezeigt.back().text, QStringLiteral("Bild wirklich löschen?"));
        a.w->SpeedBildLoeschenClick();
        QCOMPARE(a.S().FormelListe[0]->BildTyp, 0);
        QVERIFY(a.S().FormelListe[0]->Bild.empty());
        // Without a picture nothing is asked.
        const std::size_t boxen = a.boxen.gezeigt.size();
        a.w->SpeedBildLoeschenClick();
        a.w->Grafikspeichern1Click();
        QCOMPARE(a.boxen.gezeigt.size(), boxen);
        QCOMPARE(a.boxen.ohneAntwort, 0);
    }
};

QTEST_MAIN(TestAusgabe)
#include "tst_ausgabe.moc"
