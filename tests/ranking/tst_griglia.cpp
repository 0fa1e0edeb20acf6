// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/GridTexts.h"
#include "ranking/Griglia.h"
#include "ranking/LocaleNumbers.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "support/Seed.h"
#include "support/TempWorkDir.h"

#include <QRandomGenerator>
#include <QTest>

#include <bit>
#include <cmath>
#include <memory>
#include <vector>

namespace {

QVariant single(double v)
{
    return double(float(v));
}

// The grid as the main window builds it, under the given locale.
GridTexts buildGrid(bool byPercentage, const QLocale &locale)
{
    DataControl data(locale);
    data.setDatabaseName(Membri::fileName());
    data.setRecordSource(Membri::selectRanking(byPercentage));
    data.Refresh();
    GridTexts grid;
    loadGrid(grid, data.Recordset(), locale);
    FormattaGriglia(grid, locale);
    IntestaGriglia(grid);
    return grid;
}

QStringList column(const GridTexts &grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid.Rows(); ++r)
        texts << grid.TextMatrix(r, col).toString();
    return texts;
}

} // namespace

class TestGriglia : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testFormatsTheExampleRows_data();
    void testFormatsTheExampleRows();
    void testPercentageKeepsItsShortestForm_data();
    void testPercentageKeepsItsShortestForm();
    void testGroupedForm_data();
    void testGroupedForm();
    void testNumbersAsTheLocaleWritesThem_data();
    void testNumbersAsTheLocaleWritesThem();
    void testShortestAsQLocaleWritesIt_data();
    void testShortestAsQLocaleWritesIt();
    void testEmptyTableGivesHeaderRowOnly();
    void testOrderByPercentage();
    void testOrderByPointsGained();
    void testCellWrittenAloneKeepsItsRow();

private:
    std::unique_ptr<TempWorkDir> m_dir;
};

void TestGriglia::init()
{
    m_dir = std::make_unique<TempWorkDir>();
    QVERIFY(m_dir->isValid());
}

void TestGriglia::cleanup()
{
    m_dir.reset();
}

void TestGriglia::testFormatsTheExampleRows_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("row1");
    QTest::addColumn<QStringList>("row2");
    QTest::addColumn<QStringList>("row3");
    QTest::addColumn<QStringList>("row4");

    QTest::newRow("italian") << QLocale(QLocale::Italian, QLocale::Italy)
                             << QStringList{"1.234.567", "1.300.000", "+5,3 %", "+65.433"}
                             << QStringList{"1.250.000", "1.210.000", "-3,2 %", "-40.000"}
                             << QStringList{"500.000", "500.000", "0 %", "0"} << QStringList{"800.000", "", "", ""};
    QTest::newRow("english") << QLocale(QLocale::English, QLocale::UnitedStates)
                             << QStringList{"1,234,567", "1,300,000", "+5.3 %", "+65,433"}
                             << QStringList{"1,250,000", "1,210,000", "-3.2 %", "-40,000"}
                             << QStringList{"500,000", "500,000", "0 %", "0"} << QStringList{"800,000", "", "", ""};
}

void TestGriglia::testFormatsTheExampleRows()
{
    QFETCH(QLocale, locale);
    QVERIFY(seedMembers({
        {1, "Gain", "[1]", "Capo", 1234567, 1300000, single(5.30), 65433},
        {1, "Loss", "[2]", "Capo", 1250000, 1210000, single(-3.20), -40000},
        {1, "Same", "[3]", "Capo", 500000, 500000, single(0.0), 0},
        {1, "Only initial", "[4]", "Capo", 800000, {}, {}, {}},
    }));

    QFETCH(QStringList, row1);
    QFETCH(QStringList, row2);
    QFETCH(QStringList, row3);
    QFETCH(QStringList, row4);
    const QList<QStringList> expected = {row1, row2, row3, row4};
    const QStringList nicks = {"Gain", "Loss", "Same", "Only initial"};

    const GridTexts grid = buildGrid(true, locale);
    QCOMPARE(grid.Rows(), 5);
    for (int m = 0; m < 4; ++m) {
        // Rows come in percentage order; find each member's row by name.
        const int at = column(grid, 2).indexOf(nicks[m]) + 1;
        QVERIFY(at > 0);
        const QStringList cells = {grid.TextMatrix(at, ColPuntiI).toString(), grid.TextMatrix(at, ColPuntiF).toString(),
                                   grid.TextMatrix(at, ColVar).toString(), grid.TextMatrix(at, ColIncr).toString()};
        QCOMPARE(cells, expected[m]);
        QCOMPARE(grid.TextMatrix(at, ColMadre), QStringLiteral("[%1]").arg(m + 1));
        QCOMPARE(grid.TextMatrix(at, ColGrado), QStringLiteral("Capo"));
        QCOMPARE(grid.TextMatrix(at, ColFixed), QString());
    }
}

void TestGriglia::testPercentageKeepsItsShortestForm_data()
{
    QTest::addColumn<double>("per");
    QTest::addColumn<QString>("italian");
    QTest::addColumn<QString>("english");

    QTest::newRow("two decimals") << 33.33 << "+33,33 %"
                                  << "+33.33 %";
    QTest::newRow("trailing zero dropped") << 12.50 << "+12,5 %"
                                           << "+12.5 %";
    QTest::newRow("whole") << 25.0 << "+25 %"
                           << "+25 %";
    QTest::newRow("small") << 0.13 << "+0,13 %"
                           << "+0.13 %";
    QTest::newRow("negative") << -12.5 << "-12,5 %"
                              << "-12.5 %";
    QTest::newRow("large, no grouping") << 1234.56 << "+1234,56 %"
                                        << "+1234.56 %";
}

void TestGriglia::testPercentageKeepsItsShortestForm()
{
    QFETCH(double, per);
    QFETCH(QString, italian);
    QFETCH(QString, english);
    QVERIFY(seedMembers({{1, "M", "[1]", "Capo", 1000, 2000, single(per), 1000}}));
    QCOMPARE(buildGrid(true, QLocale(QLocale::Italian, QLocale::Italy)).TextMatrix(1, ColVar), italian);
    QCOMPARE(buildGrid(true, QLocale(QLocale::English, QLocale::UnitedStates)).TextMatrix(1, ColVar), english);
}

void TestGriglia::testGroupedForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("italian");
    QTest::addColumn<QString>("english");

    QTest::newRow("zero is empty") << "0"
                                   << ""
                                   << "";
    QTest::newRow("empty stays empty") << ""
                                       << ""
                                       << "";
    QTest::newRow("below a thousand") << "999"
                                      << "999"
                                      << "999";
    QTest::newRow("thousands") << "1000"
                               << "1.000"
                               << "1,000";
    QTest::newRow("negative") << "-40000"
                              << "-40.000"
                              << "-40,000";
    QTest::newRow("int32 max") << "2147483647"
                               << "2.147.483.647"
                               << "2,147,483,647";
    QTest::newRow("not a number unchanged") << "abc"
                                            << "abc"
                                            << "abc";
}

void TestGriglia::testGroupedForm()
{
    QFETCH(QString, text);
    QFETCH(QString, italian);
    QFETCH(QString, english);
    QCOMPARE(formatGrouped(text, QLocale(QLocale::Italian, QLocale::Italy)), italian);
    QCOMPARE(formatGrouped(text, QLocale(QLocale::English, QLocale::UnitedStates)), english);
    // The C locale groups too: "#,##" always groups.
    QCOMPARE(formatGrouped(QStringLiteral("1000"), QLocale::c()), QStringLiteral("1,000"));
}

void TestGriglia::testNumbersAsTheLocaleWritesThem_data()
{
    QTest::addColumn<QLocale>("locale");
    // Groups of three; Indian groups; no group for four digits, then an odd
    // one; Devanagari digits; other separators.
    QTest::newRow("italian") << QLocale(QLocale::Italian, QLocale::Italy);
    QTest::newRow("indian english") << QLocale(QLocale::English, QLocale::India);
    QTest::newRow("spanish") << QLocale(QLocale::Spanish, QLocale::Spain);
    QTest::newRow("marathi") << QLocale(QLocale::Marathi, QLocale::India);
    QTest::newRow("swiss german") << QLocale(QLocale::German, QLocale::Switzerland);
    QTest::newRow("french") << QLocale(QLocale::French, QLocale::France);
}

// Whatever the locale, the grid's numbers are exactly what QLocale writes:
// the grouped scores and points gained, the percentage's sign.
void TestGriglia::testNumbersAsTheLocaleWritesThem()
{
    QFETCH(QLocale, locale);
    QVERIFY(seedMembers({
        {1, "Gain", "[1]", "Capo", 1234567, 1300000, single(5.30), 65433},
        {1, "Loss", "[2]", "Capo", 4321, -1210000, single(-3.20), -40000},
        {1, "Big", "[3]", "Capo", 2147483647, 12, single(1234.56), 2100000000},
    }));
    QLocale grouping = locale;
    grouping.setNumberOptions(grouping.numberOptions() & ~QLocale::OmitGroupSeparator);
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    const auto signedText = [](const QString &text, bool positive) {
        return positive ? QStringLiteral("+") + text : text;
    };
    const QList<QStringList> expected = {
        {grouping.toString(1234567), grouping.toString(1300000),
         signedText(plain.toString(double(float(5.30)), 'g', 7), true) + QStringLiteral(" %"),
         signedText(grouping.toString(65433), true)},
        {grouping.toString(4321), grouping.toString(-1210000),
         plain.toString(double(float(-3.20)), 'g', 7) + QStringLiteral(" %"), grouping.toString(-40000)},
        {grouping.toString(2147483647), grouping.toString(12),
         signedText(plain.toString(double(float(1234.56)), 'g', 7), true) + QStringLiteral(" %"),
         signedText(grouping.toString(2100000000), true)},
    };

    const GridTexts grid = buildGrid(true, locale);
    const QStringList nicks = {"Gain", "Loss", "Big"};
    for (int m = 0; m < 3; ++m) {
        const int at = column(grid, ColNick).indexOf(nicks[m]) + 1;
        QVERIFY(at > 0);
        const QStringList cells = {grid.TextMatrix(at, ColPuntiI).toString(), grid.TextMatrix(at, ColPuntiF).toString(),
                                   grid.TextMatrix(at, ColVar).toString(), grid.TextMatrix(at, ColIncr).toString()};
        QCOMPARE(cells, expected[m]);
    }
}

void TestGriglia::testShortestAsQLocaleWritesIt_data()
{
    testNumbersAsTheLocaleWritesThem_data();
}

// The percentage's own writing matches QLocale's on any single-precision
// number: fixed and exponent forms, both signs, both zeros.
void TestGriglia::testShortestAsQLocaleWritesIt()
{
    QFETCH(QLocale, locale);
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    const LocaleNumbers numbers(locale);
    QRandomGenerator rng(20261209);
    std::vector<float> values = {0.0f, -0.0f, 5.3f, -3.2f, 1234.56f, 1.0e7f, 9999999.0f, 0.0001f, 0.00001f};
    for (int i = 0; i < 20000; ++i) {
        const float v = std::bit_cast<float>(rng.generate());
        values.push_back(std::isfinite(v) ? v : 0.5f);
        values.push_back(static_cast<float>(rng.bounded(2.0e6) - 1.0e6));
    }
    for (const float v : values)
        QCOMPARE(numbers.shortest(v), plain.toString(double(v), 'g', 7));
}

void TestGriglia::testEmptyTableGivesHeaderRowOnly()
{
    QVERIFY(seedMembers({{0, "Freed", "[1]", "Capo", 100, 200, single(100.0), 100}}));
    const GridTexts grid = buildGrid(true, QLocale(QLocale::Italian, QLocale::Italy));
    QCOMPARE(grid.Rows(), 1);
    const QStringList captions = {"", "Pos.", "Nick", "Madre", "Grado", "Punti I.", "Punti F.", "var. %", "incr.p."};
    const QList<int> widths = {300, 500, 1800, 800, 1400, 1000, 1000, 960, 970};
    for (int c = 0; c < GridTexts::Cols; ++c) {
        QCOMPARE(grid.TextMatrix(0, c), captions[c]);
        QCOMPARE(grid.ColWidth(c), widths[c]);
    }
}

void TestGriglia::testOrderByPercentage()
{
    QVERIFY(seedMembers({
        {1, "NoPer", "[1]", "Capo", {}, 9000, {}, {}},
        {1, "Ten", "[2]", "Capo", 100, 110, single(10.0), 10},
        {1, "TieLowFinal", "[3]", "Capo", 1000, 1200, single(20.0), 200},
        {1, "TieHighFinal", "[4]", "Capo", 2000, 2400, single(20.0), 400},
        {0, "Free", "[5]", "Capo", 1, 100, single(9900.0), 99},
        {1, "Loss", "[6]", "Capo", 100, 90, single(-10.0), -10},
        {1, "TieSameFinalHighInitial", "[7]", "Capo", 1100, 1200, single(20.0), 100},
    }));
    const GridTexts grid = buildGrid(true, QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(column(grid, 2),
             (QStringList{"TieHighFinal", "TieSameFinalHighInitial", "TieLowFinal", "Ten", "Loss", "NoPer"}));
    QCOMPARE(column(grid, 1), (QStringList{"1", "2", "3", "4", "5", "6"}));
}

void TestGriglia::testOrderByPointsGained()
{
    QVERIFY(seedMembers({
        {1, "NoDiff", "[1]", "Capo", 500, {}, {}, {}},
        {1, "Small", "[2]", "Capo", 100, 110, single(10.0), 10},
        {1, "Big", "[3]", "Capo", 100000, 101000, single(1.0), 1000},
        {1, "Zero", "[4]", "Capo", 100, 100, single(0.0), 0},
    }));
    const GridTexts grid = buildGrid(false, QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(column(grid, 2), (QStringList{"Big", "Small", "Zero", "NoDiff"}));
    QCOMPARE(column(grid, 8), (QStringList{"+1,000", "+10", "0", ""}));
    QCOMPARE(column(grid, 1), (QStringList{"1", "2", "3", "4"}));
}

void TestGriglia::testCellWrittenAloneKeepsItsRow()
{
    GridTexts grid;
    grid.setRows(3);
    grid.setTextMatrix(1, ColVar, u"+5 %");
    grid.setTextMatrix(1, ColNick, u"Ugo");
    grid.setTextMatrix(1, ColPuntiF, u"1.200");
    // Longer, shorter, empty, and a text of the row itself.
    grid.setTextMatrix(1, ColNick, u"Ugo il Grande");
    grid.setTextMatrix(1, ColVar, u"");
    grid.setTextMatrix(1, ColIncr, grid.TextMatrix(1, ColNick));
    grid.setTextMatrix(1, ColNick, grid.TextMatrix(1, ColNick).sliced(4));
    grid.setRows(2);
    grid.setRows(4);

    QStringList row;
    for (int c = 0; c < GridTexts::Cols; ++c)
        row << grid.TextMatrix(1, c).toString();
    QCOMPARE(row, (QStringList{"", "", "il Grande", "", "", "", "1.200", "", "Ugo il Grande"}));
    for (int c = 0; c < GridTexts::Cols; ++c)
        QVERIFY(grid.TextMatrix(3, c).isEmpty());
}

QTEST_GUILESS_MAIN(TestGriglia)
#include "tst_griglia.moc"
