// Copying a formula as LaTeX and as MathML through the real context menu: right click on
// the page, click on the item; a sub-formula marked with Tab is copied alone; the
// picture copy carries the MathML too. The MathML is read back with Qt's XML reader.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTextEdit>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/Zwischenablage.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::TDlgFormelSamml;
using kdtest::Bibliothek;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

namespace {

struct Fenster {
    TestOrdner ordner;
    FakeMeldungen boxen;
    std::unique_ptr<TDlgFormelSamml> w;
    explicit Fenster(const std::vector<std::string>& texte) {
        ordner.Schreibe("Alpha.pqb", Bibliothek(texte));
        w = kdtest::NeuesFenster(boxen);
        w->Start();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) qFatal("window not shown");
    }
};

// Opens the context menu with a right click on the highlighted formula (a right click
// selects the formula under the mouse) and clicks the item.
bool Menuepunkt(TDlgFormelSamml& w, const char* name) {
    QCoreApplication::processEvents();
    w.SeiteBereit();
    w.PaintBox1->SetScale();
    const QPoint stelle =
        w.PaintBox1->PixelRect(w.Seite.Markierungsrahmen(w.Sammlung().AktFormel)).normalized().center();
    QTest::mousePress(w.PaintBox1, Qt::RightButton, {}, stelle);
    QTest::mouseRelease(w.PaintBox1, Qt::RightButton, {}, stelle);
    if (!QTest::qWaitFor([&] { return w.PopupMenu1->isVisible(); })) return false;
    QAction* a = w.PopupMenu1->findChild<QAction*>(QString::fromLatin1(name));
    if (!a) {
        for (QAction* b : w.PopupMenu1->actions())
            if (b->objectName() == QLatin1String(name)) a = b;
    }
    if (!a) return false;
    if (qEnvironmentVariableIsSet("KD_BILDER"))
        w.PopupMenu1->grab().save(qEnvironmentVariable("KD_BILDER") + "/kontextmenue.png");
    QTest::mouseClick(w.PopupMenu1, Qt::LeftButton, {}, w.PopupMenu1->actionGeometry(a).center());
    return QTest::qWaitFor([&] { return !w.PopupMenu1->isVisible(); });
}

// Element names of a MathML text in document order; empty when it is no XML.
QStringList Elemente(const QString& xml) {
    QStringList namen;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() == QXmlStreamReader::StartElement) namen << r.name().toString();
    }
    if (r.hasError()) return {};
    return namen;
}

QString Ablagetext() { return QGuiApplication::clipboard()->mimeData()->text(); }

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void latexUndMathMLAusDemKontextmenue() {
        Fenster f({"E|k|i|n=m/2*v^2", "y=("});
        TDlgFormelSamml& w = *f.w;
        QVERIFY(Menuepunkt(w, "AlsLatexKopieren1"));
        QCOMPARE(Ablagetext(), QStringLiteral("E_{\\mathrm{kin}} = \\frac{m}{2} \\cdot v^{2}"));

        QVERIFY(Menuepunkt(w, "AlsMathMLKopieren1"));
        const QMimeData* m = QGuiApplication::clipboard()->mimeData();
        const QString mathml = m->text();
        QCOMPARE(QString::fromUtf8(m->data(QString::fromLatin1(kd::MathMLMime))), mathml);
        QVERIFY(m->hasHtml());
        QVERIFY(m->html().contains(QStringLiteral("<mfrac>")));
        const QStringList el = Elemente(mathml);
        QCOMPARE(el.value(0), QStringLiteral("math"));
        QCOMPARE(el.count(QStringLiteral("mfrac")), 1);
        QCOMPARE(el.count(QStringLiteral("msub")), 1);
        QCOMPARE(el.count(QStringLiteral("msup")), 1);
        QVERIFY2(f.boxen.gezeigt.empty(), qPrintable(f.boxen.Protokoll()));

        // A formula that does not parse: the message, the clipboard unchanged.
        QTest::keyClick(w.RichEdit1, Qt::Key_Down);
        QTRY_COMPARE(w.RichEdit1->toPlainText(), QStringLiteral("y=("));
        QVERIFY(Menuepunkt(w, "AlsLatexKopieren1"));
        QCOMPARE(f.boxen.gezeigt.size(), std::size_t(1));
        QCOMPARE(f.boxen.gezeigt[0].text, QStringLiteral("Fehler in Formel, oder Markierung falsch"));
        QCOMPARE(Ablagetext(), mathml);
    }

    void markierteTeilformelAllein() {
        Fenster f({"A=a*b:U=2*(a+b)"});
        TDlgFormelSamml& w = *f.w;
        QVERIFY(Menuepunkt(w, "AlsLatexKopieren1"));
        QCOMPARE(Ablagetext(),
                 QStringLiteral("A = a \\cdot b \\qquad U = 2 \\cdot \\left( a + b \\right)"));
        // Tab marks the first, then the second sub-formula.
        QTest::keyClick(w.RichEdit1, Qt::Key_Tab);
        QTest::keyClick(w.RichEdit1, Qt::Key_Tab);
        QCOMPARE(w.RichEdit1->textCursor().selectedText(), QStringLiteral("U=2*(a+b)"));
        QVERIFY(Menuepunkt(w, "AlsLatexKopieren1"));
        QCOMPARE(Ablagetext(), QStringLiteral("U = 2 \\cdot \\left( a + b \\right)"));
        QVERIFY2(f.boxen.gezeigt.empty(), qPrintable(f.boxen.Protokoll()));
    }

    void bildMitMathML() {
        Fenster f({"c=WURZEL(a^2+b^2)"});
        TDlgFormelSamml& w = *f.w;
        QVERIFY(Menuepunkt(w, "AlsFormelinZwischenablage1"));
        const QMimeData* m = QGuiApplication::clipboard()->mimeData();
        QVERIFY(!m->data(QStringLiteral("image/png")).isEmpty());
        QVERIFY(!m->data(QStringLiteral("image/svg+xml")).isEmpty());
        const QString mathml = QString::fromUtf8(m->data(QString::fromLatin1(kd::MathMLMime)));
        const QStringList el = Elemente(mathml);
        QCOMPARE(el.value(0), QStringLiteral("math"));
        QCOMPARE(el.count(QStringLiteral("msqrt")), 1);
        QCOMPARE(el.count(QStringLiteral("msup")), 2);
        QVERIFY(m->html().contains(QStringLiteral("<math ")));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
