// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ExportFixtures.h"
#include "export/Report.h"

#include <QTest>

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void testWorkedExample_data();
    void testWorkedExample();
    void testOneRow_data();
    void testOneRow();
    void testRows_data();
    void testRows();
    void testBuildsAreIndependent();
    void testLargeGrid();
};

void TestReport::testWorkedExample_data()
{
    QTest::addColumn<bool>("byPercentage");
    QTest::addColumn<QString>("expected");

    QTest::newRow("by percentage") << true << workedExampleByPercentage();
    QTest::newRow("by points gained") << false << workedExampleByPoints();
}

void TestReport::testWorkedExample()
{
    QFETCH(bool, byPercentage);
    QFETCH(QString, expected);

    QCOMPARE(buildReport(gridOf(workedExampleRows()), byPercentage), expected);
}

void TestReport::testOneRow_data()
{
    QTest::addColumn<MemberRow>("row");
    QTest::addColumn<bool>("byPercentage");
    QTest::addColumn<QString>("expected");

    // Madre and Grado carry texts that must never reach the report.
    const auto row = [](const char *pos, const char *nick, const char *p1, const char *p2, const char *per,
                        const char *diff) {
        return MemberRow{QString::fromUtf8(pos),       QString::fromUtf8(nick),
                         QStringLiteral("MADRE 9:99"), QStringLiteral("GRADO Ammiraglio"),
                         QString::fromUtf8(p1),        QString::fromUtf8(p2),
                         QString::fromUtf8(per),       QString::fromUtf8(diff)};
    };

    QTest::newRow("complete, by percentage") << row("7", "Zeta", "1.000", "1.100", "+10 %", "+100") << true
                                             << QStringLiteral("7 - Zeta  |  da 1.000 a 1.100  (+10 %)\r\n");
    QTest::newRow("complete, by points gained") << row("7", "Zeta", "1.000", "1.100", "+10 %", "+100") << false
                                                << QStringLiteral("7 - Zeta  |  da 1.000 a 1.100  (+100)\r\n");
    QTest::newRow("no start score, by percentage") << row("3", "Birba", "", "3.100", "", "") << true
                                                   << QStringLiteral("3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
    QTest::newRow("no start score, by points gained")
        << row("3", "Birba", "", "3.100", "", "") << false
        << QStringLiteral("3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
    QTest::newRow("no start score overrides change texts, by percentage")
        << row("3", "Birba", "", "3.100", "+5 %", "+150") << true
        << QStringLiteral("3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
    QTest::newRow("no start score overrides change texts, by points gained")
        << row("3", "Birba", "", "3.100", "+5 %", "+150") << false
        << QStringLiteral("3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
    QTest::newRow("start score reading ?") << row("3", "Birba", "?", "3.100", "+5 %", "+150") << true
                                           << QStringLiteral("3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
    QTest::newRow("blank start score is not empty") << row("3", "Birba", " ", "3.100", "+5 %", "+150") << true
                                                    << QStringLiteral("3 - Birba  |  da   a 3.100  (+5 %)\r\n");
    QTest::newRow("no final score") << row("4", "Dorado", "5.000", "", "", "") << true << QString();
    QTest::newRow("no final score, change texts present")
        << row("4", "Dorado", "5.000", "", "+5 %", "+250") << false << QString();
    QTest::newRow("neither score") << row("4", "Dorado", "", "", "", "") << true << QString();
    QTest::newRow("blank final score is not empty")
        << row("4", "Dorado", "5.000", " ", "", "") << true << QStringLiteral("4 - Dorado  |  da 5.000 a    ()\r\n");
    QTest::newRow("empty change cell stays empty")
        << row("5", "Eco", "1.000", "1.000", "", "0") << true << QStringLiteral("5 - Eco  |  da 1.000 a 1.000  ()\r\n");
    QTest::newRow("texts copied unchanged")
        << row(" 12 ", "  Rosso  Fuoco ", "1.000 ", " 1.100", "+10 % ", "Tab\there") << false
        << QStringLiteral(" 12  -   Rosso  Fuoco   |  da 1.000  a  1.100  (Tab\there)\r\n");
    QTest::newRow("non-ASCII nickname") << row("1", "Ærøskøbing·ß", "1", "2", "+100 %", "+1") << true
                                        << QStringLiteral("1 - Ærøskøbing·ß  |  da 1 a 2  (+100 %)\r\n");
}

void TestReport::testOneRow()
{
    QFETCH(MemberRow, row);
    QFETCH(bool, byPercentage);
    QFETCH(QString, expected);

    QCOMPARE(buildReport(gridOf({row}), byPercentage), expected);
}

void TestReport::testRows_data()
{
    QTest::addColumn<QList<MemberRow>>("rows");
    QTest::addColumn<QString>("expected");

    const auto member = [](const char *pos, const char *p1, const char *p2) {
        return MemberRow{QString::fromLatin1(pos),
                         QStringLiteral("Nick") + QString::fromLatin1(pos),
                         QString(),
                         QString(),
                         QString::fromLatin1(p1),
                         QString::fromLatin1(p2),
                         QStringLiteral("+1 %"),
                         QStringLiteral("+1")};
    };

    QTest::newRow("header row alone") << QList<MemberRow>{} << QString();
    QTest::newRow("gaps where the final score is missing")
        << QList<MemberRow>{member("1", "100", "101"), member("2", "100", ""), member("3", "", "50"),
                            member("4", "", ""), member("5", "100", "101")}
        << QStringLiteral("1 - Nick1  |  da 100 a 101  (+1 %)\r\n"
                          "3 - Nick3  |  da ? a 50  (nuovo entrato)\r\n"
                          "5 - Nick5  |  da 100 a 101  (+1 %)\r\n");
    QTest::newRow("no row with a final score")
        << QList<MemberRow>{member("1", "100", ""), member("2", "", ""), member("3", "7", "")} << QString();
}

void TestReport::testRows()
{
    QFETCH(QList<MemberRow>, rows);
    QFETCH(QString, expected);

    QCOMPARE(buildReport(gridOf(rows), true), expected);
}

void TestReport::testBuildsAreIndependent()
{
    const GridTexts first = gridOf(workedExampleRows());
    const GridTexts second =
        gridOf({{QStringLiteral("1"), QStringLiteral("Vega"), QString(), QString(), QStringLiteral("1.000"),
                 QStringLiteral("2.000"), QStringLiteral("+100 %"), QStringLiteral("+1.000")}});

    QCOMPARE(buildReport(first, true), workedExampleByPercentage());
    QCOMPARE(buildReport(second, false), QStringLiteral("1 - Vega  |  da 1.000 a 2.000  (+1.000)\r\n"));
    QCOMPARE(buildReport(first, false), workedExampleByPoints());
}

void TestReport::testLargeGrid()
{
    // Beyond the 16-bit row limit; every tenth member lacks final data.
    const int members = 40000;
    GridTexts grid;
    grid.setRows(members + 1);
    for (int r = 1; r <= members; ++r) {
        grid.setTextMatrix(r, ColPos, QString::number(r));
        grid.setTextMatrix(r, ColNick, QStringLiteral("Membro%1").arg(r));
        grid.setTextMatrix(r, ColPuntiI, QStringLiteral("1.000"));
        if (r % 10 != 0)
            grid.setTextMatrix(r, ColPuntiF, QStringLiteral("1.500"));
        grid.setTextMatrix(r, ColVar, QStringLiteral("+50 %"));
        grid.setTextMatrix(r, ColIncr, QStringLiteral("+500"));
    }

    const QString report = buildReport(grid, false);

    QCOMPARE(report.count(QStringLiteral("\r\n")), members - members / 10);
    QVERIFY(report.startsWith(QStringLiteral("1 - Membro1  |  da 1.000 a 1.500  (+500)\r\n2 - Membro2  |")));
    QVERIFY(report.endsWith(QStringLiteral("\r\n39999 - Membro39999  |  da 1.000 a 1.500  (+500)\r\n")));
    QVERIFY(report.contains(QStringLiteral("\r\n32768 - Membro32768  |")));
    QVERIFY(!report.contains(QStringLiteral("\r\n32770 - ")));
}

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
