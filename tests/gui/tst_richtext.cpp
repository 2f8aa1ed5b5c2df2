// Formula text in a rich-text edit: Greek letters as Unicode characters with their
// Symbol byte, indices at 7 pt, both ways, and text pasted from elsewhere.
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

#include <string>

#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/RichText.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::FormeltextZuRichText;
using kd::RichTextZuFormeltext;

namespace {

QTextCharFormat FormatBei(QTextEdit& e, int pos) {
    QTextCursor c(e.document());
    c.setPosition(pos);
    c.setPosition(pos + 1, QTextCursor::KeepAnchor);
    return c.charFormat();
}

} // namespace

class TestRichText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void Hauptfenster() {
        // The text line of the main window shows the selected formula this way.
        kdtest::TestOrdner ordner;
        QVERIFY(ordner.Gueltig());
        ordner.Schreibe("Alpha.pqb", kdtest::Bibliothek({"y=~a|1*~p"}));
        kdtest::FakeMeldungen boxen;
        auto w = kdtest::NeuesFenster(boxen);
        w->Start();
        QCOMPARE(w->Sammlung().AktFormel, 0);
        QCOMPARE(w->RichEdit1->toPlainText(), QStringLiteral("y=α1*π"));
        QCOMPARE(RichTextZuFormeltext(w->RichEdit1), std::string("y=~a|1*~p"));
    }

    void RundeWege() {
        QTextEdit e;
        const std::string faelle[] = {"x|2", "~p", "~|a", "y=~a+b|1*~p", "e=~\xA5", "a|b|c", "~",
                                      "x|", "~|", "g|n", "\xC4=1", "a||b"};
        for (const std::string& f : faelle) {
            FormeltextZuRichText(f, &e, 8);
            QCOMPARE(RichTextZuFormeltext(&e), f);
        }
    }

    void Attribute() {
        QTextEdit e;
        FormeltextZuRichText("x|2~p~|a", &e, 9);
        QCOMPARE(e.toPlainText(), QStringLiteral("x2πα"));
        QCOMPARE(FormatBei(e, 0).fontPointSize(), 9.0);
        QCOMPARE(FormatBei(e, 0).fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
        QVERIFY(!FormatBei(e, 0).hasProperty(kd::SymbolByteProperty));
        QCOMPARE(FormatBei(e, 1).fontPointSize(), 7.0);
        QVERIFY(FormatBei(e, 1).baselineOffset() < 0);  // lowered like an index
        QCOMPARE(FormatBei(e, 0).baselineOffset(), 0.0);
        QCOMPARE(FormatBei(e, 2).fontPointSize(), 9.0);
        QCOMPARE(FormatBei(e, 2).fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Sans"));
        QCOMPARE(FormatBei(e, 2).intProperty(kd::SymbolByteProperty), int('p'));
        QCOMPARE(FormatBei(e, 3).fontPointSize(), 7.0);
        QCOMPARE(FormatBei(e, 3).intProperty(kd::SymbolByteProperty), int('a'));
        // New typing is plain text at the given size.
        QCOMPARE(e.currentCharFormat().fontPointSize(), 9.0);
        QVERIFY(!e.currentCharFormat().hasProperty(kd::SymbolByteProperty));
    }

    void LeerUndBlanks() {
        QTextEdit e;
        FormeltextZuRichText("abc", &e, 8);
        FormeltextZuRichText("   ", &e, 8);
        QVERIFY(e.toPlainText().isEmpty());
        FormeltextZuRichText("", &e, 8);
        QCOMPARE(RichTextZuFormeltext(&e), std::string());
        QCOMPARE(RichTextZuFormeltext(nullptr), std::string());
        FormeltextZuRichText("a", nullptr, 8);  // no edit: nothing happens
    }

    void EingefuegtesGriechisch() {
        QTextEdit e;
        QGuiApplication::clipboard()->setText(QStringLiteral("α"));
        e.paste();
        QCOMPARE(RichTextZuFormeltext(&e), std::string("~a"));
        // Unicode text with signs and Greek, plain text as a program would paste it.
        e.setPlainText(QStringLiteral("Ω=2·π∞µ"));
        QCOMPARE(RichTextZuFormeltext(&e), std::string("~W=2\xB7~p~\xA5~m"));
        // HTML in the Symbol font, as copied from a Windows program.
        e.setHtml(QStringLiteral("<span style=\"font-family:Symbol\">p</span>r<sub style=\"font-size:6pt\">0</sub>"));
        QCOMPARE(RichTextZuFormeltext(&e), std::string("~pr|0"));
        // Characters with no Windows-1252 form and no Symbol letter.
        e.setPlainText(QStringLiteral("a\u4E2Db"));
        QCOMPARE(RichTextZuFormeltext(&e), std::string("a?b"));
    }

    void GetippteZeichenNebenGriechisch() {
        // A letter typed behind a Greek one takes over its format; it stays a letter.
        QTextEdit e;
        FormeltextZuRichText("~a", &e, 8);
        QTextCursor c = e.textCursor();
        c.movePosition(QTextCursor::End);
        c.setCharFormat(kd::SymbolFormat('a', 8));
        c.insertText(QStringLiteral("b"), kd::SymbolFormat('a', 8));
        QCOMPARE(RichTextZuFormeltext(&e), std::string("~ab"));
    }

    void RaenderUndLaenge() {
        QTextEdit e;
        e.setPlainText(QStringLiteral("\n\tx=1\t\n\n"));
        QCOMPARE(RichTextZuFormeltext(&e), std::string("x=1"));
        e.setPlainText(QStringLiteral("a\nb"));
        QCOMPARE(RichTextZuFormeltext(&e), std::string("a\nb"));
        e.setPlainText(QString(300, QLatin1Char('x')));
        QCOMPARE(RichTextZuFormeltext(&e), std::string(255, 'x'));
        // 200 Greek letters make 400 bytes of notation: whole characters up to 255.
        e.setPlainText(QString(200, QChar(0x03B1)));
        std::string soll;
        while (soll.size() + 2 <= 255) soll += "~a";
        QCOMPARE(RichTextZuFormeltext(&e), soll);
        // A text longer than a short string is cut.
        FormeltextZuRichText(std::string(300, 'y'), &e, 8);
        QCOMPARE(e.toPlainText().size(), 255);
    }

    void AenderungenUnterdrueckt() {
        QTextEdit e;
        QSignalSpy aenderung(&e, &QTextEdit::textChanged);
        bool waehrend = false;
        QObject::connect(e.document(), &QTextDocument::contentsChange, &e,
                         [&] { waehrend = waehrend || kd::RichTextUmwandlungLaeuft(); });
        FormeltextZuRichText("~p|2", &e, 8);
        RichTextZuFormeltext(&e);
        QCOMPARE(aenderung.count(), 0);
        QVERIFY(waehrend);
        QVERIFY(!kd::RichTextUmwandlungLaeuft());
        // One undo step brings the old text back.
        e.setPlainText(QStringLiteral("alt"));
        e.document()->setUndoRedoEnabled(true);
        e.document()->clearUndoRedoStacks();
        FormeltextZuRichText("neu", &e, 8);
        e.undo();
        QCOMPARE(e.toPlainText(), QStringLiteral("alt"));
    }

    void CaretBleibt() {
        QTextEdit e;
        FormeltextZuRichText("abcdef", &e, 8);
        QTextCursor c = e.textCursor();
        c.setPosition(3);
        e.setTextCursor(c);
        FormeltextZuRichText("~p~p~p~p", &e, 8);
        QCOMPARE(e.textCursor().position(), 3);
        FormeltextZuRichText("a", &e, 8);
        QCOMPARE(e.textCursor().position(), 1);
    }

    void Positionen() {
        QCOMPARE(kd::FormeltextPosition("a~b|cd", 0), std::size_t(0));
        QCOMPARE(kd::FormeltextPosition("a~b|cd", 1), std::size_t(1));
        QCOMPARE(kd::FormeltextPosition("a~b|cd", 2), std::size_t(3));
        QCOMPARE(kd::FormeltextPosition("a~b|cd", 3), std::size_t(5));
        QCOMPARE(kd::FormeltextPosition("a~b|cd", 4), std::size_t(6));
        QCOMPARE(kd::FormeltextPosition("a~b|cd", 99), std::size_t(6));
        QCOMPARE(kd::FormeltextPosition("~|ab", 1), std::size_t(3));
    }
};

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"
