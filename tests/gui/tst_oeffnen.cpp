// A library named on the command line, opened by the main window: inside the library
// folder, outside it with the copy question answered yes or no, and refused files.
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include "gui/app/DlgFormelSamml.h"
#include "helpers/FakeMeldungen.h"
#include "helpers/Umgebung.h"

using kd::Meldungen;
using kdtest::Bibliothek;
using kdtest::FakeMeldungen;
using kdtest::TestOrdner;

namespace {

QStringList Liste(const kd::TDlgFormelSamml& w) {
    QStringList l;
    for (int i = 0; i < w.ListBox1->count(); ++i) l << w.ListBox1->item(i)->text();
    return l;
}

void Schreibe(const QString& pfad, const QByteArray& b) {
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(b);
}

} // namespace

class TestOeffnen : public QObject {
    Q_OBJECT

    std::unique_ptr<TestOrdner> ordner_;
    std::unique_ptr<QTemporaryDir> aussen_;
    FakeMeldungen boxen_;
    std::unique_ptr<kd::TDlgFormelSamml> w_;

private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void init() {
        ordner_ = std::make_unique<TestOrdner>();
        aussen_ = std::make_unique<QTemporaryDir>();
        ordner_->Schreibe(QStringLiteral("A.pqb"), Bibliothek({"a=1"}));
        ordner_->Schreibe(QStringLiteral("B.pqb"), Bibliothek({"b=2", "c=3"}));
        boxen_ = FakeMeldungen();
        w_ = kdtest::NeuesFenster(boxen_);
        w_->Start();
        QCOMPARE(Liste(*w_), (QStringList{"A", "B"}));
    }
    void cleanup() {
        w_.reset();
        ordner_.reset();
        aussen_.reset();
    }

    void eineBibliothekImOrdner() {
        QVERIFY(w_->BibliothekOeffnen(ordner_->Datei(QStringLiteral("B.pqb"))));
        QCOMPARE(Liste(*w_), (QStringList{"B", "A"}));
        QCOMPARE(w_->ListBox1->currentRow(), 0);
        QCOMPARE(w_->RichEdit1->toPlainText(), QStringLiteral("b=2"));
        QVERIFY2(boxen_.gezeigt.empty(), qPrintable(boxen_.Protokoll()));
    }

    void relativZumArbeitsordner() {
        const QString vorher = QDir::currentPath();
        QVERIFY(QDir::setCurrent(ordner_->Pfad()));
        const bool offen = w_->BibliothekOeffnen(QStringLiteral("B.pqb"));
        QDir::setCurrent(vorher);
        QVERIFY(offen);
        QCOMPARE(Liste(*w_).first(), QStringLiteral("B"));
    }

    void vonAnderswoNachJaKopiert() {
        const QString datei = aussen_->filePath(QStringLiteral("Physik.pqb"));
        Schreibe(datei, Bibliothek({"F=m*a"}));
        boxen_.Antworte({Meldungen::Antwort::Ja});
        QVERIFY(w_->BibliothekOeffnen(datei));

        QCOMPARE(int(boxen_.gezeigt.size()), 1);
        const auto& frage = boxen_.gezeigt[0];
        QCOMPARE(frage.titel, QStringLiteral("Achtung"));
        QCOMPARE(frage.tasten, Meldungen::Tasten::JaNeinAbbrechen);
        QVERIFY2(frage.text.contains(QStringLiteral("\"Physik\"")), qPrintable(frage.text));
        QVERIFY2(frage.text.contains(datei), qPrintable(frage.text));

        QCOMPARE(ordner_->Lies(QStringLiteral("Physik.pqb")), Bibliothek({"F=m*a"}));
        QCOMPARE(Liste(*w_), (QStringList{"Physik", "A", "B"}));
        QCOMPARE(w_->RichEdit1->toPlainText(), QStringLiteral("F=m*a"));
        QVERIFY(QFileInfo::exists(datei));

        // Closing writes the new order, which lists the copy.
        boxen_.Antworte({});
        w_->close();
        QCOMPARE(ordner_->Lies(QStringLiteral("KDFormel.MFL")), QByteArray("Physik\r\nA\r\nB\r\n"));
    }

    void vonAnderswoOhneJaBleibtAllesWieEsWar() {
        for (Meldungen::Antwort a : {Meldungen::Antwort::Nein, Meldungen::Antwort::Abbrechen}) {
            const QString datei = aussen_->filePath(QStringLiteral("Physik.pqb"));
            Schreibe(datei, Bibliothek({"F=m*a"}));
            boxen_.gezeigt.clear();
            boxen_.Antworte({a});
            QVERIFY(!w_->BibliothekOeffnen(datei));
            QCOMPARE(int(boxen_.gezeigt.size()), 1);
            QVERIFY(!ordner_->Existiert(QStringLiteral("Physik.pqb")));
            QCOMPARE(Liste(*w_), (QStringList{"A", "B"}));
            QCOMPARE(w_->RichEdit1->toPlainText(), QStringLiteral("a=1"));
        }
    }

    void abgelehnteDateien_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("missing") << "fehlt.pqb" << QByteArray() << "wurde nicht gefunden";
        QTest::newRow("no library") << "kaputt.pqb" << QByteArray("\x09\0\0\0Unsinn", 10) << "kaputt.pqb";
    }
    void abgelehnteDateien() {
        QFETCH(QString, name);
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, meldung);
        const QString datei = aussen_->filePath(name);
        if (!inhalt.isEmpty()) Schreibe(datei, inhalt);
        QVERIFY(!w_->BibliothekOeffnen(datei));
        QCOMPARE(int(boxen_.gezeigt.size()), 1);
        const auto& box = boxen_.gezeigt[0];
        QCOMPARE(box.symbol, Meldungen::Symbol::Stop);
        QCOMPARE(box.titel, QStringLiteral("KALDORA Formelsammlung"));
        QVERIFY2(box.text.contains(meldung), qPrintable(box.text));
        QCOMPARE(Liste(*w_), (QStringList{"A", "B"}));
        QCOMPARE(w_->RichEdit1->toPlainText(), QStringLiteral("a=1"));
        QCOMPARE(QDir(ordner_->Pfad()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"A.pqb", "B.pqb"}));
    }
};

QTEST_MAIN(TestOeffnen)
#include "tst_oeffnen.moc"
