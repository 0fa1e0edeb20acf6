// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Numbers.h"

#include <QTest>

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void testParseInt32_data();
    void testParseInt32();
};

void TestNumbers::testParseInt32_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("it plain") << "it_IT"
                              << "45210" << true << 45210;
    QTest::newRow("it grouped") << "it_IT"
                                << "45.210" << true << 45210;
    QTest::newRow("it grouped millions") << "it_IT"
                                         << "1.234.567" << true << 1234567;
    QTest::newRow("it comma is decimal") << "it_IT"
                                         << "45,210" << false << 0;
    QTest::newRow("en grouped") << "en_US"
                                << "45,210" << true << 45210;
    QTest::newRow("en dot is decimal") << "en_US"
                                       << "45.210" << false << 0;
    QTest::newRow("negative") << "it_IT"
                              << "-1.500" << true << -1500;
    QTest::newRow("plus sign") << "en_US"
                               << "+7" << true << 7;
    QTest::newRow("zero") << "en_US"
                          << "0" << true << 0;
    QTest::newRow("int32 max") << "en_US"
                               << "2,147,483,647" << true << 2147483647;
    QTest::newRow("int32 min") << "en_US"
                               << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("above int32") << "en_US"
                                 << "2147483648" << false << 0;
    QTest::newRow("below int32") << "en_US"
                                 << "-2147483649" << false << 0;
    QTest::newRow("letters") << "it_IT"
                             << "12a" << false << 0;
    QTest::newRow("word") << "it_IT"
                          << "Flotta" << false << 0;
    QTest::newRow("empty") << "it_IT"
                           << "" << false << 0;
    QTest::newRow("separator alone") << "it_IT"
                                     << "." << false << 0;
    QTest::newRow("blank") << "it_IT"
                           << " " << false << 0;
}

void TestNumbers::testParseInt32()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);

    const auto n = parseInt32(text, QLocale(locale));
    QCOMPARE(n.has_value(), valid);
    if (valid)
        QCOMPARE(*n, value);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
