// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// The history in the file: which imports keep a snapshot, the format of
// older and newer files, and a snapshot that is whole or absent.
#include "core/Failure.h"
#include "import/Importazione.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/Storico.h"
#include "support/Seed.h"
#include "support/TempWorkDir.h"

#include <QDateTime>
#include <QProcess>
#include <QTest>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include <algorithm>
#include <memory>
#include <numeric>

namespace {

const QLocale italian(QLocale::Italian, QLocale::Italy);

QString line(int pos, const QString &nick, const QString &punti, const QString &madre)
{
    return QStringLiteral("%1 %2  Capo %3 %4 12.05.2009\r\n").arg(pos).arg(nick, punti, madre);
}

int runImport(const QString &text, qint16 tipoDati, QString *storico = nullptr)
{
    DataControl data(italian);
    data.setDatabaseName(Membri::fileName());
    return importaPalmeria(
        data, text, tipoDati, [](const QString &phrase) { return phrase == "Capo"; }, italian, storico);
}

// A file as the program made it before the history: the member table
// alone, format 0.
bool makeOldFile(const QString &journal)
{
    try {
        SQLite::Database db(Membri::fileName().toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(("PRAGMA journal_mode=" + journal).toStdString());
        db.exec("CREATE TABLE Membri (Valid INTEGER NOT NULL DEFAULT 1 CHECK (Valid IN (0, 1)), "
                "Nick TEXT, Madre TEXT, Grado TEXT, Punti1 INTEGER, Punti2 INTEGER, Per REAL, Diff INTEGER)");
        db.exec("INSERT INTO Membri VALUES (1,'Lupo','[1:1:1]','Capo',100,150,50.0,50),"
                "(0,'Orso','[2:2:2]','Capo',7,NULL,NULL,NULL)");
        return true;
    } catch (const SQLite::Exception &) {
        return false;
    }
}

void openMembers(DataControl &data)
{
    data.setDatabaseName(Membri::fileName());
    data.setRecordSource(Membri::selectAll());
    data.Refresh();
}

} // namespace

class TestStorico : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testEveryMemberLine_data();
    void testEveryMemberLine();
    void testSnapshotKeepsEachLineAsListed();
    void testLinesGoInTheOrderOfTheirPlanetsTexts();
    void testSnapshotThatCannotBeWrittenLeavesTheImport();
    void testOlderFileGetsTheHistory();
    void testNewerFileIsRefusedUntouched();
    void testOlderFileThatCannotBeWrittenStillShowsMembers();
    void testKilledWriterLeavesNoHalfSnapshot();
    void testDeleteActsOnlyOnTheSnapshotSeen();

private:
    std::unique_ptr<TempWorkDir> m_dir;
};

void TestStorico::init()
{
    m_dir = std::make_unique<TempWorkDir>();
    QVERIFY(m_dir->isValid());
}

void TestStorico::cleanup()
{
    m_dir.reset();
}

void TestStorico::testEveryMemberLine_data()
{
    QTest::addColumn<qint16>("tipo");
    QTest::addColumn<QString>("tail");
    QTest::addColumn<bool>("stops");
    QTest::addColumn<bool>("kept");

    // Text after the last CR LF is no line: the import runs to its end.
    QTest::newRow("to its end") << qint16(1) << QStringLiteral("4 Senza  Capo 1 [9]") << false << true;
    QTest::newRow("blank rest") << qint16(2) << QStringLiteral("\r\n \t\r\n\r\n") << true << true;
    QTest::newRow("real line") << qint16(1) << QStringLiteral("4 Rotta\r\n") << true << false;
}

void TestStorico::testEveryMemberLine()
{
    QFETCH(qint16, tipo);
    QFETCH(QString, tail);
    QFETCH(bool, stops);
    QFETCH(bool, kept);
    Membri::createIfMissing(Membri::fileName());

    const QString text = line(1, "Lupo Grigio", "45.210", "[3:127:9]") + line(2, "Orso", "1.000", "[1:1:1]")
                         + line(3, "Lupo Grigio", "7", "[3:127:9]") + tail;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QString storico = "not touched";
    try {
        QCOMPARE(runImport(text, tipo, &storico), 3);
        QVERIFY(!stops);
        QCOMPARE(storico, QString());
    } catch (const ImportError &error) {
        QVERIFY2(stops, qPrintable(error.message()));
        QCOMPARE(error.savedLines(), 3);
        QCOMPARE(error.message().contains("conservata nello storico"), kept);
    }
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    const QList<QVariantList> snapshots = queryRows("SELECT Id,Quando,Tipo FROM Rilevazioni");
    QCOMPARE(snapshots.size(), kept ? 1 : 0);
    if (!kept) {
        QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi").toInt(), 0);
        return;
    }
    const QDateTime quando = QDateTime::fromString(snapshots[0][1].toString(), Qt::ISODate);
    QVERIFY2(quando >= before && quando <= after, qPrintable(snapshots[0][1].toString()));
    QCOMPARE(snapshots[0][2].toInt(), int(tipo));
    QCOMPARE(queryRows("SELECT Rilevazione,Riga,Nick,Madre,Grado,Punti FROM Punteggi ORDER BY Riga"),
             (QList<QVariantList>{{snapshots[0][0], 1, "Lupo Grigio", "[3:127:9]", "Capo", 45210},
                                  {snapshots[0][0], 2, "Orso", "[1:1:1]", "Capo", 1000},
                                  {snapshots[0][0], 3, "Lupo Grigio", "[3:127:9]", "Capo", 7}}));
}

// The order the snapshot is written in is the order QString's < gives,
// ties in the list's order: for texts told apart within their first eight
// units, beyond them, by length alone, and by characters of any range.
void TestStorico::testLinesGoInTheOrderOfTheirPlanetsTexts()
{
    QStringList madri = {"[1:1:10]b", "[1:1:1]", "[1:1:10]a", "[1:1:1]", "[1:1:10]", "", "[1:1", "[1:1:10]"};
    madri << QString(QChar(0)) << QString::fromUtf8("[1:1:1]\xC3\xA8") << "[2:1:1]"
          << QString::fromUtf8("\xF0\x9F\x98\x80") << QString::fromUtf8("\xEF\xBF\xBD") << "[1:1:1]";
    std::vector<Storico::RigaRilevazione> righe;
    for (const QString &madre : madri)
        righe.push_back({QStringLiteral("N"), madre, QStringLiteral("Capo"), 1});
    std::vector<std::size_t> expected(righe.size());
    std::iota(expected.begin(), expected.end(), std::size_t(0));
    std::stable_sort(expected.begin(), expected.end(),
                     [&](std::size_t a, std::size_t b) { return righe[a].Madre < righe[b].Madre; });
    QVERIFY(Storico::ordinePerMadre(righe) == expected);
}

void TestStorico::testSnapshotThatCannotBeWrittenLeavesTheImport()
{
    Membri::createIfMissing(Membri::fileName());
    // The third score row is refused, as a full disk would refuse it.
    QVERIFY(execSql("CREATE TRIGGER pieno BEFORE INSERT ON Punteggi WHEN NEW.Riga = 3 "
                    "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
    QString storico;
    QCOMPARE(runImport(line(1, "A", "10", "[1]") + line(2, "B", "20", "[2]") + line(3, "C", "30", "[3]"), 1, &storico),
             3);
    QVERIFY2(storico.contains("non è stata conservata nello storico") && storico.contains(Membri::fileName()),
             qPrintable(storico));
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Membri WHERE Valid=1").toInt(), 3);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Rilevazioni").toInt(), 0);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi").toInt(), 0);
}

void TestStorico::testOlderFileGetsTheHistory()
{
    QVERIFY(makeOldFile("WAL"));
    const QList<QVariantList> members = readMembers();
    {
        DataControl data;
        openMembers(data);
        QCOMPARE(data.Recordset().RecordCount(), 2);
    }
    QCOMPARE(queryValue("PRAGMA user_version").toInt(), 1);
    QCOMPARE(queryRows("SELECT name FROM pragma_table_info('Rilevazioni')"),
             (QList<QVariantList>{{"Id"}, {"Quando"}, {"Tipo"}}));
    QCOMPARE(queryRows("SELECT name FROM pragma_table_info('Punteggi')"),
             (QList<QVariantList>{{"Rilevazione"}, {"Riga"}, {"Nick"}, {"Madre"}, {"Grado"}, {"Punti"}}));
    QCOMPARE(queryRows("SELECT il.name FROM pragma_index_list('Punteggi') l, pragma_index_info(l.name) il"),
             (QList<QVariantList>{{"Madre"}}));
    QCOMPARE(readMembers(), members);

    // The upgraded file keeps snapshots like a new one.
    QCOMPARE(runImport(line(1, "A", "10", "[1]"), 2), 1);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi").toInt(), 1);
}

void TestStorico::testNewerFileIsRefusedUntouched()
{
    QVERIFY(makeOldFile("DELETE"));
    QVERIFY(execSql("PRAGMA user_version=2"));
    const QByteArray bytes = m_dir->read(Membri::fileName());
    {
        DataControl data;
        try {
            openMembers(data);
            QFAIL("a file of a newer format was opened");
        } catch (const UserError &error) {
            QVERIFY2(error.message().contains(Membri::fileName()) && error.message().contains("formato 2")
                         && error.message().contains("non è stato modificato"),
                     qPrintable(error.message()));
        }
        QVERIFY_THROWS_EXCEPTION(ImportError, runImport(line(1, "A", "10", "[1]"), 1));
    }
    QCOMPARE(m_dir->read(Membri::fileName()), bytes);
}

void TestStorico::testOlderFileThatCannotBeWrittenStillShowsMembers()
{
    // Another program holds the file: the history cannot be added now.
    QVERIFY(makeOldFile("WAL"));
    QProcess holder;
    holder.start(QUADRIVO_CHILD, {"lock"});
    QVERIFY(holder.waitForStarted(10000));
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));

    DataControl data;
    openMembers(data);
    QCOMPARE(data.Recordset().RecordCount(), 2);
    try {
        Storico::leggiStoria(data.database(), data.DatabaseName());
        QFAIL("the history was read from a file without it");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains("occupato") && error.message().contains(Membri::fileName()),
                 qPrintable(error.message()));
    }

    // Once the other program lets go, the history is there.
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    QVERIFY(Storico::leggiStoria(data.database(), data.DatabaseName()).rilevazioni.empty());
    data.close();
    QCOMPARE(queryValue("PRAGMA user_version").toInt(), 1);
}

void TestStorico::testSnapshotKeepsEachLineAsListed()
{
    // More lines than one statement takes, home planets in falling order
    // (the lines are written in the index's order), one of them twice.
    Membri::createIfMissing(Membri::fileName());
    std::vector<Storico::RigaRilevazione> righe;
    for (int i = 0; i < 123; ++i)
        righe.push_back({QStringLiteral("Nick %1").arg(i), QStringLiteral("[%1]").arg(999 - i, 3),
                         i % 2 ? QStringLiteral("Capo") : QStringLiteral("Capitàno"), 1000 * i});
    righe[70].Madre = righe[3].Madre;
    {
        DataControl data(italian);
        openMembers(data);
        Storico::scriviRilevazione(data.database(), Membri::fileName(), QDateTime::currentDateTime(), 2, righe);
    }
    const QList<QVariantList> kept = queryRows("SELECT Riga,Nick,Madre,Grado,Punti FROM Punteggi ORDER BY Riga");
    QCOMPARE(kept.size(), 123);
    for (int i = 0; i < 123; ++i) {
        const Storico::RigaRilevazione &r = righe[static_cast<std::size_t>(i)];
        QCOMPARE(kept[i], (QVariantList{i + 1, r.Nick, r.Madre, r.Grado, r.Punti}));
    }
}

void TestStorico::testKilledWriterLeavesNoHalfSnapshot()
{
    Membri::createIfMissing(Membri::fileName());
    const int lines = 20000;
    QProcess writer;
    writer.start(QUADRIVO_CHILD, {"storico", QString::number(lines)});
    QVERIFY(writer.waitForStarted(10000));
    // Killed in the middle of a later snapshot, after two are written.
    int written = 0;
    while (written < 2 && writer.waitForReadyRead(30000))
        while (writer.canReadLine())
            written = writer.readLine().trimmed().toInt();
    QVERIFY(written >= 2);
    QTest::qWait(25);
    writer.kill();
    QVERIFY(writer.waitForFinished(10000));
    while (writer.canReadLine())
        written = writer.readLine().trimmed().toInt();

    QCOMPARE(queryValue("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    const int snapshots = queryValue("SELECT COUNT(*) FROM Rilevazioni").toInt();
    QVERIFY2(snapshots >= written, qPrintable(QString("%1 of %2").arg(snapshots).arg(written)));
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi").toInt(), snapshots * lines);
    QCOMPARE(queryValue(QString("SELECT COUNT(*) FROM (SELECT Rilevazione FROM Punteggi GROUP BY Rilevazione "
                                "HAVING COUNT(*) <> %1 OR MIN(Riga) <> 1 OR MAX(Riga) <> %1)")
                            .arg(lines))
                 .toInt(),
             0);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi WHERE Rilevazione NOT IN (SELECT Id FROM Rilevazioni)").toInt(),
             0);
}

// A deleted newest snapshot frees its Id for the next one: a command on the
// snapshot a window showed must not reach the new one that took its Id.
void TestStorico::testDeleteActsOnlyOnTheSnapshotSeen()
{
    Membri::createIfMissing(Membri::fileName());
    DataControl data(italian);
    openMembers(data);
    SQLite::Database &db = data.database();
    const QString file = Membri::fileName();
    const std::vector<Storico::RigaRilevazione> righe{{"Lupo", "[1:1:1]", "Capo", 100}};
    const QDateTime first(QDate(2025, 3, 1), QTime(10, 0));
    Storico::scriviRilevazione(db, file, first, 1, righe);
    const qint64 seen = Storico::scriviRilevazione(db, file, first.addDays(7), 2, righe);
    const Storico::Rilevazione shown{seen, first.addDays(7).toString(Qt::ISODate), 2};

    Storico::eliminaRilevazione(db, file, shown);
    const qint64 taken = Storico::scriviRilevazione(db, file, first.addDays(14), 1, righe);
    QCOMPARE(taken, seen);
    try {
        Storico::eliminaRilevazione(db, file, shown);
        QFAIL("the new snapshot was deleted in place of the one shown");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains("non esiste più"), qPrintable(error.message()));
    }
    QCOMPARE(queryRows("SELECT Id,Tipo FROM Rilevazioni ORDER BY Id"), (QList<QVariantList>{{1, 1}, {2, 1}}));
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi").toInt(), 2);
}

QTEST_GUILESS_MAIN(TestStorico)
#include "tst_storico.moc"
