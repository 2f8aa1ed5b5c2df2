// Qt's own texts in German: the context menu of an edit field and the buttons of a
// standard dialog, after the start-up loads Qt's translation.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "gui/platform/Uebersetzung.h"
#include "helpers/Umgebung.h"

namespace {

QStringList MenueTexte(QLineEdit& feld) {
    std::unique_ptr<QMenu> menue(feld.createStandardContextMenu());
    QStringList texte;
    for (QAction* a : menue->actions())
        if (!a->isSeparator()) texte << a->text().section(u'\t', 0, 0).remove(u'&');
    return texte;
}

} // namespace

class TestUebersetzung : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kdtest::AnwendungEinrichten(); }

    void qtsEigeneTexteSindDeutsch() {
        // A folder without the translation: nothing is loaded, the texts stay as they are.
        QTemporaryDir leer;
        QVERIFY(!kd::QtUebersetzungLaden(*qApp, leer.path()));
        QLineEdit feld;
        QVERIFY(MenueTexte(feld).contains(QStringLiteral("Undo")));

        QVERIFY(kd::QtUebersetzungLaden(*qApp));
        const QStringList texte = MenueTexte(feld);
        for (const char* deutsch : {"Rückgängig", "Wiederherstellen", "Ausschneiden", "Kopieren",
                                    "Einfügen", "Löschen", "Alles auswählen"})
            QVERIFY2(texte.contains(QString::fromUtf8(deutsch)), qPrintable(texte.join(u'|')));
        QVERIFY(!texte.contains(QStringLiteral("Undo")));

        QDialogButtonBox knoepfe(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                 QDialogButtonBox::Close);
        QCOMPARE(knoepfe.button(QDialogButtonBox::Cancel)->text().remove(u'&'),
                 QStringLiteral("Abbrechen"));
        QCOMPARE(knoepfe.button(QDialogButtonBox::Close)->text().remove(u'&'),
                 QStringLiteral("Schließen"));
    }
};

QTEST_MAIN(TestUebersetzung)
#include "tst_uebersetzung.moc"
