// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// The history window's tables and chart series, worked out by hand.
#include "history/ModelloMembri.h"
#include "history/ModelloRilevazioni.h"
#include "history/StoricoDati.h"
#include "support/Seed.h"

#include <QScopeGuard>
#include <QSortFilterProxyModel>
#include <QTest>

#include <ctime>

namespace {

// Three snapshots; rows out of order;
// a planet twice in one snapshot (its first line, Riga 1, counts); a row of
// a snapshot that does not exist.
struct Line
{
    qint64 rilevazione, riga;
    const char *nick, *madre, *grado;
    qint64 punti;
};

const Line lines[] = {
    {2, 3, "Duplicato", "[1:1:1]", "Capo", 9},
    {1, 1, "Lupo", "[1:1:1]", "Capo", 1000},
    {3, 2, "Lupone", "[1:1:1]", "Vice Comandante", 2750},
    {1, 2, "Orso", "[2:2:2]", "Membro", 250000},
    {2, 1, "Lupo", "[1:1:1]", "Capo", 1500},
    {1, 3, "Volpe", "[3:3:3]", "Recluta", 5000},
    {99, 1, "Nessuno", "[5:5:5]", "Capo", 7},
    {1, 4, "Calo", "[6:6:6]", "Capo", 800},
    {2, 2, "Orso", "[2:2:2]", "Membro", 250000},
    {3, 1, "Gatto", "[4:4:4]", "Recluta", 1234567},
    {3, 3, "Pari", "[0:9:9]", "Capo", 5000},
    {3, 4, "Calo", "[6:6:6]", "Capo", 300},
};

// The window's contents as it works them out: the history, then the names
// of the snapshots it asks for.
StoricoDati::Quadro quadro()
{
    Storico::Storia s;
    s.rilevazioni = {{1, "2026-11-01T10:00:00", 1}, {2, "2026-11-08T10:00:00", 2}, {3, "2026-11-15T09:30:00", 1}};
    for (const Line &l : lines)
        aggiungiPunteggio(s, l.rilevazione, l.riga, l.madre, l.punti);
    StoricoDati::Quadro q = StoricoDati::componi(s);
    const QList<qint64> asked = StoricoDati::rilevazioniDeiNomi(q);
    std::vector<Storico::Nome> nomi;
    for (const Line &l : lines)
        if (asked.contains(l.rilevazione))
            nomi.push_back({l.rilevazione, l.riga, l.nick, l.grado});
    StoricoDati::assegnaNomi(q, nomi);
    return q;
}

QList<QStringList> texts(const QAbstractItemModel &model)
{
    QList<QStringList> rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < model.columnCount(); ++c)
            row << model.index(r, c).data().toString();
        rows << row;
    }
    return rows;
}

} // namespace

class TestStoricoDati : public QObject
{
    Q_OBJECT

private slots:
    void testTables_data();
    void testTables();
    void testNumbersSortAsNumbers();
    void testChartSeries();
    void testOrderIsTheOrderTaken();
    void testGiorniFermo();
    void testContaGiorni_data();
    void testContaGiorni();
};

void TestStoricoDati::testTables_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QList<QStringList>>("snapshots");
    QTest::addColumn<QList<QStringList>>("members");

    // Dates in the locale's short format, whatever its data says that is.
    const auto dates = [](const QLocale &locale, const QStringList &rows) {
        const QDateTime at[] = {QDateTime(QDate(2026, 11, 15), QTime(9, 30)),
                                QDateTime(QDate(2026, 11, 8), QTime(10, 0)),
                                QDateTime(QDate(2026, 11, 1), QTime(10, 0))};
        QList<QStringList> result;
        for (int i = 0; i < 3; ++i)
            result << (QStringList{locale.toString(at[i], QLocale::ShortFormat)} + rows[i].split(u' '));
        return result;
    };
    const QLocale it(QLocale::Italian, QLocale::Italy);
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("italiano") << it << dates(it, {"Iniziale 4 1.242.617", "Finale 3 251.509", "Iniziale 4 256.800"})
                              << QList<QStringList>{
                                     {"Lupone", "[1:1:1]", "Vice Comandante", "1.000", "2.750", "+1.750", "3", "0"},
                                     {"Gatto", "[4:4:4]", "Recluta", "1.234.567", "1.234.567", "0", "1", "0"},
                                     {"Orso", "[2:2:2]", "Membro", "250.000", "250.000", "0", "2", "7"},
                                     {"Pari", "[0:9:9]", "Capo", "5.000", "5.000", "0", "1", "0"},
                                     {"Volpe", "[3:3:3]", "Recluta", "5.000", "5.000", "0", "1", "0"},
                                     {"Calo", "[6:6:6]", "Capo", "800", "300", "-500", "2", "0"}};
    QTest::newRow("english") << en << dates(en, {"Iniziale 4 1,242,617", "Finale 3 251,509", "Iniziale 4 256,800"})
                             << QList<QStringList>{
                                    {"Lupone", "[1:1:1]", "Vice Comandante", "1,000", "2,750", "+1,750", "3", "0"},
                                    {"Gatto", "[4:4:4]", "Recluta", "1,234,567", "1,234,567", "0", "1", "0"},
                                    {"Orso", "[2:2:2]", "Membro", "250,000", "250,000", "0", "2", "7"},
                                    {"Pari", "[0:9:9]", "Capo", "5,000", "5,000", "0", "1", "0"},
                                    {"Volpe", "[3:3:3]", "Recluta", "5,000", "5,000", "0", "1", "0"},
                                    {"Calo", "[6:6:6]", "Capo", "800", "300", "-500", "2", "0"}};
}

void TestStoricoDati::testTables()
{
    QFETCH(QLocale, locale);
    QFETCH(QList<QStringList>, snapshots);
    QFETCH(QList<QStringList>, members);

    const StoricoDati::Quadro q = quadro();
    StoricoDati::ModelloRilevazioni rilevazioni(q, locale);
    StoricoDati::ModelloMembri membri(q, locale);
    QCOMPARE(texts(rilevazioni), snapshots);
    QCOMPARE(texts(membri), members);

    QStringList headers;
    for (const QAbstractItemModel *model :
         {static_cast<QAbstractItemModel *>(&rilevazioni), static_cast<QAbstractItemModel *>(&membri)})
        for (int c = 0; c < model->columnCount(); ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"Data", "Tipo", "Membri", "Punti totali", "Nick", "Madre", "Grado", "Prima",
                                   "Ultima", "Variazione", "Rilevazioni", "Giorni fermo"}));
}

void TestStoricoDati::testNumbersSortAsNumbers()
{
    const StoricoDati::Quadro q = quadro();
    StoricoDati::ModelloMembri membri(q, QLocale(QLocale::Italian, QLocale::Italy));
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&membri);
    proxy.setSortRole(StoricoDati::SortRole);
    proxy.sort(StoricoDati::ModelloMembri::Prima, Qt::AscendingOrder);
    QStringList prima;
    for (int r = 0; r < proxy.rowCount(); ++r)
        prima << proxy.index(r, StoricoDati::ModelloMembri::Prima).data().toString();
    QCOMPARE(prima, (QStringList{"800", "1.000", "5.000", "5.000", "250.000", "1.234.567"}));
    proxy.sort(StoricoDati::ModelloMembri::Variazione, Qt::AscendingOrder);
    QCOMPARE(proxy.index(0, StoricoDati::ModelloMembri::Variazione).data().toString(), QStringLiteral("-500"));
}

void TestStoricoDati::testChartSeries()
{
    const StoricoDati::Quadro q = quadro();
    const auto at = [](const char *iso) {
        return qreal(QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toMSecsSinceEpoch());
    };
    QCOMPARE(StoricoDati::titoloGrafico(q, -1), QStringLiteral("Punti totali dell'alleanza"));
    QCOMPARE(StoricoDati::serie(q, -1), (QList<QPointF>{{at("2026-11-01T10:00:00"), 256800},
                                                        {at("2026-11-08T10:00:00"), 251509},
                                                        {at("2026-11-15T09:30:00"), 1242617}}));
    // Row 0 is [1:1:1], in all three snapshots; row 5 is [6:6:6], in two.
    QCOMPARE(StoricoDati::titoloGrafico(q, 0), QStringLiteral("Punti di Lupone"));
    QCOMPARE(StoricoDati::serie(q, 0), (QList<QPointF>{{at("2026-11-01T10:00:00"), 1000},
                                                       {at("2026-11-08T10:00:00"), 1500},
                                                       {at("2026-11-15T09:30:00"), 2750}}));
    QCOMPARE(StoricoDati::serie(q, 5),
             (QList<QPointF>{{at("2026-11-01T10:00:00"), 800}, {at("2026-11-15T09:30:00"), 300}}));
}

// Quando is local time without an offset: when the clocks go back, a later
// snapshot can read as earlier. The order is the order taken, by Id.
void TestStoricoDati::testOrderIsTheOrderTaken()
{
    Storico::Storia s;
    s.rilevazioni = {{2, "2025-10-26T02:10:00", 2}, {1, "2025-10-26T02:40:00", 1}};
    s.madri = {"[1:1:1]"};
    s.punteggi = {{1, 1, 0, 100}, {2, 1, 0, 150}};
    const StoricoDati::Quadro q = StoricoDati::componi(s);
    QCOMPARE(q.rilevazioni.front().id, 2);
    QCOMPARE(q.madri.front().prima, 100);
    QCOMPARE(q.madri.front().ultima, 150);
    QCOMPARE(q.madri.front().variazione, 50);
    QList<qreal> totals;
    for (const QPointF &p : StoricoDati::serie(q, -1))
        totals << p.y();
    QCOMPARE(totals, (QList<qreal>{100, 150}));
}

// Days counted by time, not by snapshots: a run to the end (also across a
// snapshot that lacks the planet), a change in the latest snapshot, a
// planet seen once, a day short by a second, and a clock set back.
void TestStoricoDati::testGiorniFermo()
{
    Storico::Storia s;
    s.rilevazioni = {{1, "2026-01-01T12:00:00", 1},
                     {2, "2026-01-03T12:00:00", 2},
                     {3, "2026-01-10T11:59:59", 1},
                     {4, "2026-01-10T12:05:00", 2},
                     {5, "2026-01-10T11:00:00", 1}};
    const std::pair<const char *, std::vector<std::pair<qint64, qint64>>> planets[] = {
        {"A", {{1, 10}, {2, 10}, {3, 10}, {4, 10}}},
        {"B", {{1, 5}, {2, 7}, {4, 7}}},
        {"C", {{1, 1}, {2, 1}, {3, 1}, {4, 2}}},
        {"D", {{3, 9}}},
        {"E", {{1, 3}, {3, 3}}},
        {"G", {{4, 4}, {5, 4}}}};
    for (const auto &[madre, scores] : planets)
        for (const auto &[id, punti] : scores)
            aggiungiPunteggio(s, id, 1, QString::fromLatin1(madre), punti);
    QMap<QString, qint64> giorni;
    for (const StoricoDati::RigaMadre &m : StoricoDati::componi(s).madri)
        giorni.insert(m.madre, m.giorniFermo);
    QCOMPARE(giorni, (QMap<QString, qint64>{{"A", 9}, {"B", 7}, {"C", 0}, {"D", 0}, {"E", 8}, {"G", 0}}));
}

void TestStoricoDati::testContaGiorni_data()
{
    QTest::addColumn<QString>("da");
    QTest::addColumn<QString>("a");
    QTest::addColumn<qint64>("giorni");
    // Italy's clocks went forward on 31 March 2024 and back on 27 October.
    const struct
    {
        const char *name, *da, *a;
        qint64 giorni;
    } rows[] = {
        {"week across spring", "2024-03-25T12:00:00", "2024-04-01T12:00:00", 7},
        {"day across spring", "2024-03-30T12:00:00", "2024-03-31T12:00:00", 1},
        {"week across autumn", "2024-10-21T12:00:00", "2024-10-28T12:00:00", 7},
        {"day across autumn", "2024-10-26T12:00:00", "2024-10-27T12:00:00", 1},
        {"across autumn, earlier in the day", "2024-10-26T12:00:00", "2024-10-27T11:30:00", 0},
        {"in the hour skipped in spring", "2024-03-30T02:30:00", "2024-03-31T02:30:00", 1},
        {"across midnight", "2024-01-01T23:00:00", "2024-01-02T01:00:00", 0},
        {"backwards", "2024-01-08T12:00:00", "2024-01-01T12:00:00", 0},
        {"unreadable", "2024-01-01T12:00:00", "ieri", 0},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString::fromLatin1(r.da) << QString::fromLatin1(r.a) << r.giorni;
}

// Calendar days where the clock changes, counted alike by the members'
// table.
void TestStoricoDati::testContaGiorni()
{
    QFETCH(QString, da);
    QFETCH(QString, a);
    QFETCH(qint64, giorni);
    const QByteArray tz = qgetenv("TZ");
    const bool hadTz = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", "Europe/Rome");
    ::tzset();
    const auto restore = qScopeGuard([&] {
        if (hadTz)
            qputenv("TZ", tz);
        else
            qunsetenv("TZ");
        ::tzset();
    });
    if (QDateTime(QDate(2024, 7, 1), QTime(12, 0)).offsetFromUtc() != 2 * 3600) {
#if defined(Q_OS_WIN)
        // Windows' C library reads TZ as "CET-1CEST", with the American
        // rules for summer time: no value of it gives Rome's clock changes.
        QSKIP("the local time cannot be made Europe/Rome's here: Windows' C library reads no zone name in TZ");
#else
        QSKIP("the time zone Europe/Rome is missing here (tzdata)");
#endif
    }

    QCOMPARE(StoricoDati::contaGiorni(QDateTime::fromString(da, Qt::ISODate), QDateTime::fromString(a, Qt::ISODate)),
             giorni);
    Storico::Storia s;
    s.rilevazioni = {{1, da, 1}, {2, a, 2}};
    s.madri = {"[1:1:1]"};
    s.punteggi = {{1, 1, 0, 100}, {2, 1, 0, 100}};
    QCOMPARE(StoricoDati::componi(s).madri.at(0).giorniFermo, giorni);
}

QTEST_GUILESS_MAIN(TestStoricoDati)
#include "tst_storicodati.moc"
