// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/QtTranslations.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include <memory>

// Qt's own texts are Italian whatever the system locale; the tests run
// under LANG=C.UTF-8. ("Rifai" is Qt's own Italian for Redo.)
class TestQtTranslations : public QObject
{
    Q_OBJECT

private slots:
    void testQtTextsAreItalian();
};

void TestQtTranslations::testQtTextsAreItalian()
{
    QTranslator translator;
    QVERIFY(caricaTraduzioniQt(*qApp, translator));

    QPlainTextEdit box;
    box.setPlainText(QStringLiteral("testo"));
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text().remove(u'&').section(u'\t', 0, 0);
    QCOMPARE(texts, QStringList({"Annulla", "Rifai", "Taglia", "Copia", "Incolla", "Elimina", "Seleziona tutto"}));

    QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No);
    QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text().remove(u'&'), QStringLiteral("Sì"));
    QCOMPARE(buttons.button(QDialogButtonBox::No)->text().remove(u'&'), QStringLiteral("No"));

    QApplication::removeTranslator(&translator);
}

QTEST_MAIN(TestQtTranslations)
#include "tst_qttranslations.moc"
