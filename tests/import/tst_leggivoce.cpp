// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/LeggiVoce.h"

#include <QTest>

class TestLeggiVoce : public QObject
{
    Q_OBJECT

private slots:
    void testItems_data();
    void testItems();
    void testPositionAfterEachItem();
};

void TestLeggiVoce::testItems_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("one item per line") << "Capo\r\nVice Comandante\r\n" << QStringList{"Capo", "Vice Comandante"};
    QTest::newRow("last line without line end") << "Capo\r\nMembro" << QStringList{"Capo", "Membro"};
    QTest::newRow("unquoted comma splits") << "Capo, Vice\r\n" << QStringList{"Capo", "Vice"};
    QTest::newRow("quoted comma kept") << "\"Capo, Vice\"\r\nX" << QStringList{"Capo, Vice", "X"};
    QTest::newRow("leading blanks skipped") << "   Capo\r\n" << QStringList{"Capo"};
    QTest::newRow("blanks inside quotes kept") << "  \" Capo \"\r\n" << QStringList{" Capo "};
    QTest::newRow("trailing blanks dropped, inner kept") << "Vice  Comandante   \r\n"
                                                         << QStringList{"Vice  Comandante"};
    QTest::newRow("tab is ordinary") << "\tCapo\t\r\n" << QStringList{"\tCapo\t"};
    QTest::newRow("empty lines") << "\r\nCapo\r\n\r\n" << QStringList{"", "Capo", ""};
    QTest::newRow("line of blanks") << "   \r\nCapo" << QStringList{"", "Capo"};
    QTest::newRow("lone LF and lone CR") << "A\nB\rC\r\nD" << QStringList{"A", "B", "C", "D"};
    QTest::newRow("LF CR is two line ends") << "A\n\rB" << QStringList{"A", "", "B"};
    QTest::newRow("comma at end of line") << "A,\r\nB" << QStringList{"A", "", "B"};
    QTest::newRow("comma at end of text") << "A," << QStringList{"A"};
    QTest::newRow("text after closing quote dropped") << "\"Capo\" Flotta,B\r\nC" << QStringList{"Capo", "B", "C"};
    QTest::newRow("unclosed quote runs to the end") << "\"Capo\r\nVice, X" << QStringList{"Capo\r\nVice, X"};
    QTest::newRow("quote inside an item is literal") << "Ca\"po\",B" << QStringList{"Ca\"po\"", "B"};
    QTest::newRow("empty quoted item") << "\"\",A" << QStringList{"", "A"};
    QTest::newRow("empty text") << "" << QStringList{};
}

void TestLeggiVoce::testItems()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QStringList read;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype before = pos;
        read << LeggiVoce(text, pos);
        QVERIFY2(pos > before, "the reader did not advance");
    }
    QCOMPARE(read, items);
}

void TestLeggiVoce::testPositionAfterEachItem()
{
    // Each item leaves pos just past the comma or the line end that ended it.
    const QString text = QStringLiteral("A,B\r\nC\n\"D,E\"x\rF");
    const QList<qsizetype> ends = {2, 5, 7, 14, 15};
    qsizetype pos = 0;
    for (const qsizetype end : ends) {
        LeggiVoce(text, pos);
        QCOMPARE(pos, end);
    }
    QCOMPARE(LeggiVoce(text, pos), QString());
    QCOMPARE(pos, text.size());
}

QTEST_GUILESS_MAIN(TestLeggiVoce)
#include "tst_leggivoce.moc"
