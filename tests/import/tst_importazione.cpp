// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/Importazione.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "support/Seed.h"
#include "support/TempWorkDir.h"

#include <QSet>
#include <QTest>

#include <memory>

namespace {

QString line(const QString &pos, const QString &nick, const QString &grado, const QString &punti, const QString &madre)
{
    return pos + u' ' + nick + QStringLiteral("  ") + grado + u' ' + punti + u' ' + madre
           + QStringLiteral(" 12.05.2009\r\n");
}

bool knownRank(const QString &phrase)
{
    static const QSet<QString> ranks = {"capo", "vice comandante", "membro", "recluta"};
    return ranks.contains(phrase.toLower());
}

const QLocale italian(QLocale::Italian, QLocale::Italy);
const QLocale english(QLocale::English, QLocale::UnitedStates);

int runImport(const QString &text, qint16 tipoDati, const QLocale &locale = italian)
{
    DataControl data(locale);
    data.setDatabaseName(Membri::fileName());
    return importaPalmeria(data, text, tipoDati, knownRank, locale);
}

Member free(const QString &nick, const QString &madre)
{
    return Member{0, nick, madre, "Capo", 1, 2, 100.0, 1};
}

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

} // namespace

class TestImportazione : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testRounding_data();
    void testRounding();
    void testInitialFillsFreeRecordsInOrder();
    void testInitialWithoutCompleteLineFreesEverything();
    void testInitialReadsGroupedScoresUnderLocale();
    void testFinalComputesTheChange_data();
    void testFinalComputesTheChange();
    void testFinalCases();
    void testNewcomerMetAgainKeepsGoing();
    void testMadreIsMatchedLiterally();
    void testFailingLineKeepsEarlierLines_data();
    void testFailingLineKeepsEarlierLines();
    void testUnknownDataKindChangesNothing();

private:
    std::unique_ptr<TempWorkDir> m_dir;
};

void TestImportazione::init()
{
    m_dir = std::make_unique<TempWorkDir>();
    QVERIFY(m_dir->isValid());
    Membri::createIfMissing(Membri::fileName());
}

void TestImportazione::cleanup()
{
    m_dir.reset();
}

void TestImportazione::testRounding_data()
{
    QTest::addColumn<float>("q");
    QTest::addColumn<float>("rounded");
    QTest::newRow("half up") << 0.125f << 0.13f;
    QTest::newRow("half of a single") << 0.145f << 0.15f;
    QTest::newRow("negative half away from zero") << -0.125f << -0.13f;
    QTest::newRow("thirds") << float(1.0 / 3.0 * 100.0) << 33.33f;
    QTest::newRow("two thirds") << float(2.0 / 3.0 * 100.0) << 66.67f;
    QTest::newRow("below a cent") << 0.004f << 0.0f;
    QTest::newRow("negative below a cent is zero") << -0.004f << 0.0f;
    QTest::newRow("large") << 123456.785f << 123456.79f;
}

void TestImportazione::testRounding()
{
    QFETCH(float, q);
    QFETCH(float, rounded);
    const float r = arrotondaCentesimi(q);
    QCOMPARE(r, rounded);
    QVERIFY(!std::signbit(r) || r != 0.0f);
}

void TestImportazione::testInitialFillsFreeRecordsInOrder()
{
    QVERIFY(seedMembers({free("Vecchio1", "[9:9:1]"), free("Vecchio2", "[9:9:2]"), free("Vecchio3", "[9:9:3]"),
                         Member{1, "Vecchio4", "[9:9:4]", "Capo", 4, 5, 25.0, 1}, free("Vecchio5", "[9:9:5]")}));
    const QString text = line("1", "Lupo Grigio", "Vice Comandante", "45.210", "[3:127:9]")
                         + line("2", "Orso", "Capo", "1.000", "[1:1:1]") + line("3", "Gatto", "Membro", "7", "[2:2:2]");
    QCOMPARE(runImport(text, 1), 3);

    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 5);
    const QVariantList first = {1, "Lupo Grigio", "[3:127:9]", "Vice Comandante", 45210, {}, {}, {}};
    QCOMPARE(rows[0], first);
    QCOMPARE(rows[1][Membri::Nick].toString(), QStringLiteral("Orso"));
    QCOMPARE(rows[1][Membri::Punti1].toInt(), 1000);
    QCOMPARE(rows[2][Membri::Nick].toString(), QStringLiteral("Gatto"));
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(rows[r][Membri::Valid].toInt(), 1);
        QVERIFY(isNull(rows[r][Membri::Punti2]) && isNull(rows[r][Membri::Per]) && isNull(rows[r][Membri::Diff]));
    }
    // Records no line took stay free with their old contents.
    const QVariantList fourth = {0, "Vecchio4", "[9:9:4]", "Capo", 4, 5, 25.0, 1};
    QCOMPARE(rows[3], fourth);
    QCOMPARE(rows[4][Membri::Valid].toInt(), 0);
    QCOMPARE(rows[4][Membri::Nick].toString(), QStringLiteral("Vecchio5"));

    // More lines than records: the rest are appended.
    QCOMPARE(runImport(text + text + line("7", "Ultimo", "Capo", "1", "[7:7:7]"), 1), 7);
    const QList<QVariantList> after = readMembers();
    QCOMPARE(after.size(), 7);
    QCOMPARE(after[6][Membri::Nick].toString(), QStringLiteral("Ultimo"));
    QCOMPARE(after[6][Membri::Valid].toInt(), 1);
}

void TestImportazione::testInitialWithoutCompleteLineFreesEverything()
{
    QVERIFY(
        seedMembers({Member{1, "A", "[1]", "Capo", 10, 20, 100.0, 10}, Member{1, "B", "[2]", "Capo", 10, {}, {}, {}}}));
    QCOMPARE(runImport(QStringLiteral("1 A  Capo 10 [1] x"), 1), 0);
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows[0], (QVariantList{0, "A", "[1]", "Capo", 10, 20, 100.0, 10}));
    QCOMPARE(rows[1][Membri::Valid].toInt(), 0);
}

void TestImportazione::testInitialReadsGroupedScoresUnderLocale()
{
    QCOMPARE(runImport(line("1", "A", "Capo", "45,210", "[1]"), 1, english), 1);
    QCOMPARE(readMembers()[0][Membri::Punti1].toInt(), 45210);
    // Under an English locale the Italian grouping is not a number.
    QVERIFY_THROWS_EXCEPTION(ImportError, runImport(line("1", "A", "Capo", "45.210", "[1]"), 1, english));
}

void TestImportazione::testFinalComputesTheChange_data()
{
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("final");
    QTest::addColumn<int>("diff");
    QTest::addColumn<float>("per");
    QTest::newRow("quarter") << 1000 << 1250 << 250 << 25.0f;
    QTest::newRow("third") << 3 << 4 << 1 << 33.33f;
    QTest::newRow("loss") << 8 << 7 << -1 << -12.5f;
    QTest::newRow("half rounded away from zero") << 800 << 801 << 1 << 0.13f;
    QTest::newRow("no change") << 500 << 500 << 0 << 0.0f;
    QTest::newRow("large") << 2000000000 << 2147483647 << 147483647 << 7.37f;
}

void TestImportazione::testFinalComputesTheChange()
{
    QFETCH(int, initial);
    QFETCH(int, final);
    QFETCH(int, diff);
    QFETCH(float, per);
    QCOMPARE(runImport(line("1", "Lupo", "Capo", QString::number(initial), "[1:1:1]"), 1), 1);
    QCOMPARE(runImport(line("1", "Lupo", "Capo", QString::number(final), "[1:1:1]"), 2), 1);
    const QVariantList row = readMembers().value(0);
    QCOMPARE(row[Membri::Punti1].toInt(), initial);
    QCOMPARE(row[Membri::Punti2].toInt(), final);
    QCOMPARE(row[Membri::Diff].toInt(), diff);
    QCOMPARE(float(row[Membri::Per].toDouble()), per);
}

void TestImportazione::testFinalCases()
{
    QVERIFY(seedMembers({free("Libero", "[8:8:8]")}));
    const QString initial = line("1", "Zero", "Capo", "0", "[1:1:1]") + line("2", "Assente", "Capo", "50", "[2:2:2]")
                            + line("3", "Vecchio Nome", "Recluta", "100", "[3:3:3]")
                            + line("4", "Trasloco", "Capo", "100", "[4:4:4]");
    QCOMPARE(runImport(initial, 1), 4);
    QCOMPARE(readMembers().size(), 4); // the free record was taken over

    const QString final =
        line("1", "Zero", "Capo", "30", "[1:1:1]") + line("2", "Nuovo Nome", "Vice Comandante", "110", "[3:3:3]")
        + line("3", "Trasloco", "Capo", "120", "[4:4:5]") + line("4", "Arrivato", "Membro", "70", "[6:6:6]");
    QCOMPARE(runImport(final, 2), 4);

    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 6);
    // Initial score 0: the final score only.
    QCOMPARE(rows[0], (QVariantList{1, "Zero", "[1:1:1]", "Capo", 0, 30, {}, {}}));
    // Missing from the final list: still current, nothing final.
    QCOMPARE(rows[1], (QVariantList{1, "Assente", "[2:2:2]", "Capo", 50, {}, {}, {}}));
    // Found by home planet: new nickname and rank replace the old ones.
    QCOMPARE(rows[2], (QVariantList{1, "Nuovo Nome", "[3:3:3]", "Vice Comandante", 100, 110, double(10.0f), 10}));
    // A changed home planet: the old record stays current without a final score ...
    QCOMPARE(rows[3], (QVariantList{1, "Trasloco", "[4:4:4]", "Capo", 100, {}, {}, {}}));
    // ... and the member is new, appended with no initial score.
    QCOMPARE(rows[4], (QVariantList{1, "Trasloco", "[4:4:5]", "Capo", {}, 120, {}, {}}));
    QCOMPARE(rows[5], (QVariantList{1, "Arrivato", "[6:6:6]", "Membro", {}, 70, {}, {}}));
}

void TestImportazione::testNewcomerMetAgainKeepsGoing()
{
    // After a clearing, a final import treats every member as new; a free
    // record is taken over and emptied of its old scores.
    QVERIFY(seedMembers({free("Vecchio", "[1:1:1]")}));
    const QString list = line("1", "Nuovo", "Capo", "300", "[5:5:5]") + line("2", "Altro", "Capo", "200", "[6:6:6]");
    QCOMPARE(runImport(list, 2), 2);
    QCOMPARE(readMembers()[0], (QVariantList{1, "Nuovo", "[5:5:5]", "Capo", {}, 300, {}, {}}));

    // Met again by a later final import: no initial score, so no change is
    // computed, and the import goes on past it.
    QCOMPARE(runImport(line("1", "Nuovo", "Capo", "350", "[5:5:5]") + line("2", "Altro", "Capo", "250", "[6:6:6]"), 2),
             2);
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0], (QVariantList{1, "Nuovo", "[5:5:5]", "Capo", {}, 350, {}, {}}));
    QCOMPARE(rows[1], (QVariantList{1, "Altro", "[6:6:6]", "Capo", {}, 250, {}, {}}));
}

void TestImportazione::testMadreIsMatchedLiterally()
{
    const QString odd = QStringLiteral("[1:'2%_\\\"]");
    QCOMPARE(runImport(line("1", "A", "Capo", "100", "[1:12:x]") + line("2", "B", "Capo", "100", odd), 1), 2);
    QCOMPARE(runImport(line("1", "B", "Capo", "150", odd), 2), 1);
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 2);
    QVERIFY(isNull(rows[0][Membri::Punti2]));
    QCOMPARE(rows[1][Membri::Punti2].toInt(), 150);
    QCOMPARE(rows[1][Membri::Diff].toInt(), 50);
}

void TestImportazione::testFailingLineKeepsEarlierLines_data()
{
    QTest::addColumn<qint16>("tipoDati");
    QTest::addColumn<QString>("bad");
    QTest::addColumn<QString>("reason");

    // A separator is missing only when no later line supplies it: the bad
    // line is then the last one.
    QTest::newRow("last line without double space")
        << qint16(1) << QStringLiteral("3 Rotto Capo 5 [3] x\r\n") << "doppio";
    QTest::newRow("initial score not a number") << qint16(1) << line("3", "Rotto", "Capo", "tanti", "[3]") << "«tanti»";
    QTest::newRow("final score not a number") << qint16(2) << line("3", "Rotto", "Capo", "tanti", "[3]") << "«tanti»";
    QTest::newRow("final score beyond 32 bits")
        << qint16(2) << line("3", "Rotto", "Capo", "2147483648", "[1]") << "«2147483648»";
    QTest::newRow("change beyond 32 bits") << qint16(2) << line("3", "Rotto", "Capo", "2147483647", "[9]") << "limiti";
}

void TestImportazione::testFailingLineKeepsEarlierLines()
{
    QFETCH(qint16, tipoDati);
    QFETCH(QString, bad);
    QFETCH(QString, reason);
    // [9] starts below zero, so that a final score of 2147483647 overflows the change.
    QVERIFY(runImport(line("1", "Primo", "Capo", "100", "[1]") + line("2", "Secondo", "Capo", "100", "[2]")
                          + line("9", "Nono", "Capo", "-100", "[9]"),
                      1)
            == 3);
    const bool cut = bad.contains(QStringLiteral("  "));
    const QString text = line("1", "Primo", "Capo", "200", "[1]") + line("2", "Secondo", "Capo", "300", "[2]") + bad
                         + (cut ? line("4", "Dopo", "Capo", "400", "[4]") : QString());
    try {
        runImport(text, tipoDati);
        QFAIL("the import did not stop at the bad line");
    } catch (const ImportError &error) {
        QCOMPARE(error.savedLines(), 2);
        QVERIFY2(error.message().startsWith(QStringLiteral("Riga 3 ")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(bad.left(bad.indexOf(u'\r'))), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QStringLiteral("Le 2 righe precedenti sono state salvate")),
                 qPrintable(error.message()));
        if (!reason.isEmpty())
            QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
    }
    const QList<QVariantList> rows = readMembers();
    const int scoreField = tipoDati == 1 ? Membri::Punti1 : Membri::Punti2;
    QCOMPARE(rows[0][scoreField].toInt(), 200);
    QCOMPARE(rows[1][scoreField].toInt(), 300);
    for (const QVariantList &row : rows)
        QVERIFY(row[Membri::Nick].toString() != QStringLiteral("Dopo")
                && row[Membri::Nick].toString() != QStringLiteral("Rotto"));
}

void TestImportazione::testUnknownDataKindChangesNothing()
{
    QVERIFY(seedMembers({Member{1, "A", "[1]", "Capo", 10, {}, {}, {}}}));
    QVERIFY_THROWS_EXCEPTION(ImportError, runImport(line("1", "B", "Capo", "5", "[2]"), 0));
    QCOMPARE(readMembers(), (QList<QVariantList>{{1, "A", "[1]", "Capo", 10, {}, {}, {}}}));
}

QTEST_GUILESS_MAIN(TestImportazione)
#include "tst_importazione.moc"
