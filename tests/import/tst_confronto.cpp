// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// A comparison of two kept snapshots against the two imports it stands for.
#include "core/Failure.h"
#include "import/Confronto.h"
#include "import/Importazione.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "support/Seed.h"
#include "support/TempWorkDir.h"

#include <QTest>

namespace {

struct Line
{
    const char *nick, *madre;
    int punti;
};

// Five members before the period, so that the table holds more free
// records than the start's lines and fewer than the end needs.
const Line before[] = {{"P1", "[9:9:1]", 100},
                       {"P2", "[9:9:2]", 200},
                       {"P3", "[9:9:3]", 300},
                       {"P4", "[9:9:4]", 400},
                       {"P5", "[9:9:5]", 500}};
// A zero initial score, a leaver, a member who moves planet, a newcomer.
const Line start[] = {
    {"Lupo", "[1:1:1]", 1000}, {"Orso", "[2:2:2]", 0}, {"Volpe", "[3:3:3]", 5000}, {"Gatto", "[4:4:4]", 45210}};
const Line end[] = {
    {"Lupo", "[1:1:1]", 1533}, {"Orso", "[2:2:2]", 700}, {"Gatto", "[4:4:5]", 46000}, {"Nuovo", "[5:5:5]", 1234567}};

template <std::size_t N> QString list(const Line (&lines)[N], const QLocale &locale)
{
    QString text;
    int pos = 1;
    for (const Line &l : lines)
        text += QStringLiteral("%1 %2  Capo %3 %4 12.05.2009\r\n")
                    .arg(pos++)
                    .arg(QString::fromLatin1(l.nick), locale.toString(l.punti), QString::fromLatin1(l.madre));
    return text;
}

void import(const QString &text, qint16 tipo, const QLocale &locale)
{
    DataControl data(locale);
    data.setDatabaseName(Membri::fileName());
    importaPalmeria(
        data, text, tipo, [](const QString &phrase) { return phrase == "Capo"; }, locale);
}

// The history of a period: the members before, then the start and the end
// as snapshots 2 and 3; the table is left as the end's import made it.
void period(const QLocale &locale)
{
    Membri::createIfMissing(Membri::fileName());
    import(list(before, locale), 1, locale);
    import(list(start, locale), 1, locale);
    import(list(end, locale), 2, locale);
}

Storico::Rilevazione snapshot(qint64 id)
{
    return {id, queryValue(QStringLiteral("SELECT Quando FROM Rilevazioni WHERE Id=%1").arg(id)).toString(),
            queryValue(QStringLiteral("SELECT Tipo FROM Rilevazioni WHERE Id=%1").arg(id)).toInt()};
}

void compare(const Storico::Rilevazione &a, const Storico::Rilevazione &b, const QLocale &locale)
{
    DataControl data(locale);
    data.setDatabaseName(Membri::fileName());
    confrontaRilevazioni(data, a, b);
}

} // namespace

class TestConfronto : public QObject
{
    Q_OBJECT

private slots:
    void testAsTheTwoImports_data();
    void testAsTheTwoImports();
    void testFailureLeavesTheTable();
};

void TestConfronto::testAsTheTwoImports_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("backwards");
    for (const QLocale &locale : {QLocale(QLocale::Italian, QLocale::Italy), QLocale(QLocale::English)}) {
        const QByteArray name = locale.name().toLatin1();
        QTest::newRow(name + " avanti") << locale << false;
        QTest::newRow(name + " indietro") << locale << true;
    }
}

// From the same table, the comparison of the period's two snapshots (or of
// the end against the start) leaves Membri as importing them does.
void TestConfronto::testAsTheTwoImports()
{
    QFETCH(QLocale, locale);
    QFETCH(bool, backwards);
    QList<QVariantList> compared, imported;
    {
        TempWorkDir dir;
        QVERIFY(dir.isValid());
        period(locale);
        compare(snapshot(backwards ? 3 : 2), snapshot(backwards ? 2 : 3), locale);
        compared = readMembers();
        QCOMPARE(queryValue("SELECT COUNT(*) FROM Rilevazioni").toInt(), 3);
    }
    {
        TempWorkDir dir;
        QVERIFY(dir.isValid());
        period(locale);
        import(backwards ? list(end, locale) : list(start, locale), 1, locale);
        import(backwards ? list(start, locale) : list(end, locale), 2, locale);
        imported = readMembers();
    }
    QCOMPARE(compared, imported);
    QCOMPARE(compared.size(), 6);
}

// A line that cannot be merged at the very end: nothing of the comparison
// stays in the table, and the user is told.
void TestConfronto::testFailureLeavesTheTable()
{
    const QLocale locale(QLocale::Italian, QLocale::Italy);
    TempWorkDir dir;
    QVERIFY(dir.isValid());
    period(locale);
    // Gatto's move makes [4:4:4] a leaver; its score at the start now
    // makes the change at the end's last line leave the 32-bit range.
    QVERIFY(execSql("UPDATE Punteggi SET Punti=-5 WHERE Rilevazione=2 AND Madre='[4:4:4]'"));
    QVERIFY(execSql("UPDATE Punteggi SET Madre='[4:4:4]', Punti=2147483647 WHERE Rilevazione=3 AND Riga=4"));
    const QList<QVariantList> before = readMembers();
    try {
        compare(snapshot(2), snapshot(3), locale);
        QFAIL("the comparison went through");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains("le statistiche non sono state modificate"), qPrintable(error.message()));
    }
    QCOMPARE(readMembers(), before);
}

QTEST_GUILESS_MAIN(TestConfronto)
#include "tst_confronto.moc"
