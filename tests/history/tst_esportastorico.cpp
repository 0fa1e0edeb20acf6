// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// What the history gives the export: the period of the grid and the
// members standing still, and the history's CSV file.
#include "history/CsvStorico.h"
#include "history/PeriodoStorico.h"
#include "history/StoricoDati.h"
#include "support/GrigliaFormattata.h"
#include "support/Seed.h"

#include <QTest>

namespace {

// Two periods; the first one's final list imported again, a day later, as
// the second one's initial list. [2:2:2] never changes, [4:4:4] joins in
// the second snapshot and stands still from there; [3:3:3] leaves.
StoricoDati::Quadro quadro()
{
    Storico::Storia s;
    s.rilevazioni = {{1, "2026-11-01T10:00:00", 1},
                     {2, "2026-11-08T10:00:00", 2},
                     {3, "2026-11-09T10:00:00", 1},
                     {4, "2026-11-23T10:00:00", 2}};
    const std::pair<const char *, std::vector<std::pair<qint64, qint64>>> planets[] = {
        {"[1:1:1]", {{1, 1000000}, {2, 1500000}, {3, 1500000}, {4, 2000000}}},
        {"[2:2:2]", {{1, 500}, {2, 500}, {3, 500}, {4, 500}}},
        {"[3:3:3]", {{1, 700}}},
        {"[4:4:4]", {{2, 300}, {3, 300}, {4, 300}}}};
    qint64 riga = 0;
    for (const auto &[madre, scores] : planets) {
        ++riga;
        for (const auto &[id, punti] : scores)
            aggiungiPunteggio(s, id, riga, QString::fromLatin1(madre), punti);
    }
    StoricoDati::Quadro q = StoricoDati::componi(s);
    StoricoDati::assegnaNomi(q, {{4, 1, "Lupo, il Grigio", "Capo"},
                                 {4, 2, "[TAG] \"Orso\"", "Capo"},
                                 {1, 3, "Volpe", "Recluta"},
                                 {4, 4, "Gatto", "Recluta"}});
    return q;
}

const MembroDiProva lupo{"Lupo, il Grigio", "[1:1:1]", "Capo"};
const MembroDiProva orso{"[TAG] \"Orso\"", "[2:2:2]", "Capo"};
const MembroDiProva volpe{"Volpe", "[3:3:3]", "Recluta"};
const MembroDiProva gatto{"Gatto", "[4:4:4]", "Recluta"};

MembroDiProva con(MembroDiProva m, qint64 da, qint64 a)
{
    m.da = da;
    m.a = a;
    return m;
}

} // namespace

Q_DECLARE_METATYPE(std::vector<MembroDiProva>)

class TestEsportaStorico : public QObject
{
    Q_OBJECT

private slots:
    void testPeriodo_data();
    void testPeriodo();
    void testCsv_data();
    void testCsv();
};

void TestEsportaStorico::testPeriodo_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<std::vector<MembroDiProva>>("membri");
    QTest::addColumn<QString>("dal");
    QTest::addColumn<QString>("al");
    QTest::addColumn<qint64>("giorni");

    const QLocale it(QLocale::Italian, QLocale::Italy);
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    const std::vector<MembroDiProva> primo = {con(lupo, 1000000, 1500000), con(orso, 500, 500), con(volpe, 700, 0),
                                              con(gatto, 0, 300)};
    const std::vector<MembroDiProva> secondo = {con(lupo, 1500000, 2000000), con(orso, 500, 500), con(gatto, 300, 300)};
    // The end list of the first period is also the second's start list:
    // the final one is its end.
    QTest::newRow("first period, it_IT") << it << primo << "01/11/2026"
                                         << "08/11/2026" << qint64(7);
    QTest::newRow("first period, en_US") << en << primo << "11/1/2026"
                                         << "11/8/2026" << qint64(7);
    QTest::newRow("second period") << it << secondo << "09/11/2026"
                                   << "23/11/2026" << qint64(14);
    QTest::newRow("no snapshot holds the end scores")
        << it << std::vector<MembroDiProva>{con(lupo, 1000000, 1999999), con(orso, 500, 500), con(gatto, 0, 300)}
        << QString() << QString() << qint64(0);
}

// The members standing still are those of the grid with a final score,
// whatever the period: [3:3:3] has none, [1:1:1] moves.
void TestEsportaStorico::testPeriodo()
{
    QFETCH(QLocale, locale);
    QFETCH(std::vector<MembroDiProva>, membri);
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(qint64, giorni);

    const Periodo p = StoricoDati::periodoDellaGriglia(quadro(), grigliaFormattata(membri, locale), locale);
    QCOMPARE(p.dal, dal);
    QCOMPARE(p.al, al);
    QCOMPARE(p.giorni, giorni);
    QStringList fermi;
    for (const Periodo::Fermo &f : p.fermi)
        fermi << QStringLiteral("%1 %2").arg(f.nick).arg(f.giorni);
    QCOMPARE(fermi, (QStringList{"[TAG] \"Orso\" 22", "Gatto 15"}));
}

void TestEsportaStorico::testCsv_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("it_IT") << QLocale(QLocale::Italian, QLocale::Italy)
                           << QByteArray(
                                  "\xEF\xBB\xBFNick;Madre;Grado;01/11/2026 10:00 Iniziale;08/11/2026 10:00 Finale;"
                                  "09/11/2026 10:00 Iniziale;23/11/2026 10:00 Finale;Giorni fermo\r\n"
                                  "Lupo, il Grigio;[1:1:1];Capo;1000000;1500000;1500000;2000000;0\r\n"
                                  "Volpe;[3:3:3];Recluta;700;;;;0\r\n"
                                  "\"[TAG] \"\"Orso\"\"\";[2:2:2];Capo;500;500;500;500;22\r\n"
                                  "Gatto;[4:4:4];Recluta;;300;300;300;15\r\n");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                           << QByteArray(
                                  "\xEF\xBB\xBFNick,Madre,Grado,11/1/2026 10:00 AM Iniziale,11/8/2026 10:00 AM "
                                  "Finale,11/9/2026 10:00 AM Iniziale,11/23/2026 10:00 AM Finale,Giorni fermo\r\n"
                                  "\"Lupo, il Grigio\",[1:1:1],Capo,1000000,1500000,1500000,2000000,0\r\n"
                                  "Volpe,[3:3:3],Recluta,700,,,,0\r\n"
                                  "\"[TAG] \"\"Orso\"\"\",[2:2:2],Capo,500,500,500,500,22\r\n"
                                  "Gatto,[4:4:4],Recluta,,300,300,300,15\r\n");
}

void TestEsportaStorico::testCsv()
{
    QFETCH(QLocale, locale);
    QFETCH(QByteArray, expected);

    QCOMPARE(StoricoDati::csvStorico(quadro(), locale), expected);
}

QTEST_GUILESS_MAIN(TestEsportaStorico)
#include "tst_esportastorico.moc"
