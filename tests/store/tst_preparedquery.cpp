// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Membri.h"
#include "store/PreparedQuery.h"
#include "store/SqlConnection.h"
#include "store/SqlErrors.h"
#include "support/Seed.h"
#include "support/TempWorkDir.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestPreparedQuery : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testValuesGoInAndComeBackAsGiven();
    void testBusyDatabaseIsReported();
    void testEveryCommitIsWholeInTheLog();

private:
    std::unique_ptr<TempWorkDir> m_dir;
    std::unique_ptr<SqlConnection> m_connection;
};

void TestPreparedQuery::init()
{
    m_dir = std::make_unique<TempWorkDir>();
    Membri::createIfMissing(Membri::fileName());
    m_connection = std::make_unique<SqlConnection>(Membri::fileName(), SqlConnection::Existing);
    m_connection->configureJournal();
}

void TestPreparedQuery::cleanup()
{
    m_connection.reset();
    m_dir.reset();
}

void TestPreparedQuery::testValuesGoInAndComeBackAsGiven()
{
    SQLite::Database &db = m_connection->database();
    PreparedQuery insert(db, QStringLiteral("INSERT INTO Membri (Nick,Madre,Grado,Punti1,Per) VALUES (?,?,?,?,?) "
                                            "RETURNING rowid,Valid,Nick,Madre,Grado,Punti1,Punti2,Per"));
    QVERIFY(insert.isValid());
    const QString withMark = QChar(0xFEFF) + QStringLiteral("Mark");
    for (int round = 0; round < 2; ++round) {
        insert.bind(0, round == 0 ? QString() : QStringLiteral("Città")); // a null text is Null
        insert.bind(1, QStringLiteral(""));                               // an empty one is not
        insert.bind(2, withMark);                                         // kept, not taken for a byte order mark
        insert.bind(3, round == 0 ? QVariant(2147483647) : QVariant(qlonglong(-5)));
        insert.bind(4, 12.5);
        QVERIFY(insert.exec());
        QVERIFY(insert.hasRow());
        QCOMPARE(insert.value(0), QVariant(qlonglong(round + 1)));
        QCOMPARE(insert.value(1), QVariant(qlonglong(1))); // the table's default
        QCOMPARE(insert.value(2), round == 0 ? QVariant() : QVariant(QStringLiteral("Città")));
        QCOMPARE(insert.value(3), QVariant(QStringLiteral("")));
        QCOMPARE(insert.value(4), QVariant(withMark));
        QCOMPARE(insert.value(5), round == 0 ? QVariant(qlonglong(2147483647)) : QVariant(qlonglong(-5)));
        QVERIFY(insert.value(6).isNull());
        QCOMPARE(insert.value(7), QVariant(12.5));
        QVERIFY(insert.finish());
    }

    // Each statement committed when it ended: another connection sees both.
    {
        SqlConnection other(Membri::fileName(), SqlConnection::Existing);
        QCOMPARE(
            other.database().execAndGet("SELECT count(*) FROM Membri WHERE Nick IS NULL OR Nick = 'Città'").getInt(),
            2);
    }

    PreparedQuery update(db, QStringLiteral("UPDATE Membri SET Valid=? WHERE rowid=?"));
    update.bind(0, 0);
    update.bind(1, 2);
    QVERIFY(update.exec());
    QCOMPARE(update.rowsAffected(), 1);
    update.bind(1, 99);
    QVERIFY(update.exec());
    QCOMPARE(update.rowsAffected(), 0);

    // A refused value is said so, and the statement runs again afterwards.
    update.bind(0, 7);
    update.bind(1, 1);
    QVERIFY(!update.exec());
    QCOMPARE(describeSqlError(update.lastError()), QStringLiteral("un valore non è ammesso dalla tabella"));
    update.bind(0, 0);
    QVERIFY(update.exec());
    QCOMPARE(update.rowsAffected(), 1);

    QVERIFY(!PreparedQuery(db, QStringLiteral("UPDATE Nessuna SET x=1")).isValid());
}

void TestPreparedQuery::testBusyDatabaseIsReported()
{
    SqlConnection other(Membri::fileName(), SqlConnection::Existing);
    other.database().exec("BEGIN IMMEDIATE");

    PreparedQuery insert(m_connection->database(), QStringLiteral("INSERT INTO Membri (Nick) VALUES (?)"));
    m_connection->database().setBusyTimeout(50);
    insert.bind(0, QStringLiteral("Lince"));
    QVERIFY(!insert.exec());
    QVERIFY(isBusyError(insert.lastError()));
    other.database().exec("ROLLBACK");
    QVERIFY(insert.exec());
}

// When a commit returns, the log must hold it whole, headers included, as a
// kill would leave it: a copy of the file and its log taken then shows
// every record saved so far, on a connection that holds the file alone as
// an import's does.
void TestPreparedQuery::testEveryCommitIsWholeInTheLog()
{
    m_connection.reset();
    const QString file = Membri::fileName();
    SqlConnection alone(file, SqlConnection::Alone);
    alone.configureJournal();
    QVERIFY(alone.alone());

    PreparedQuery insert(alone.database(), QStringLiteral("INSERT INTO Membri (Nick) VALUES (?)"));
    for (int saved = 1; saved <= 5; ++saved) {
        insert.bind(0, QStringLiteral("Membro %1").arg(saved));
        QVERIFY(insert.exec());
        for (const QString &suffix : {QString(), QStringLiteral("-wal")}) {
            QFile::remove(QStringLiteral("copia.mdb") + suffix);
            QVERIFY(QFile::copy(file + suffix, QStringLiteral("copia.mdb") + suffix));
        }
        QCOMPARE(queryValue(QStringLiteral("SELECT COUNT(*) FROM Membri"), QStringLiteral("copia.mdb")).toInt(), saved);
    }

    // A transaction larger than the page cache spills pages into the log
    // before its commit; changing one of them again makes SQLite rewrite
    // the headers of the frames from there on, without their pages, the
    // commit's last: it too must be in the log when the commit returns.
    SQLite::Database &db = alone.database();
    db.exec("PRAGMA cache_size=20");
    db.exec("BEGIN");
    PreparedQuery many(db, QStringLiteral("INSERT INTO Membri (Nick) VALUES (?)"));
    for (int i = 0; i < 20000; ++i) {
        many.bind(0, QStringLiteral("Membro %1").arg(i));
        QVERIFY(many.exec());
    }
    db.exec("UPDATE Membri SET Punti1=1 WHERE rowid % 400 = 0");
    db.exec("COMMIT");
    for (const QString &suffix : {QString(), QStringLiteral("-wal")}) {
        QFile::remove(QStringLiteral("copia.mdb") + suffix);
        QVERIFY(QFile::copy(file + suffix, QStringLiteral("copia.mdb") + suffix));
    }
    QCOMPARE(queryValue(QStringLiteral("SELECT COUNT(*) FROM Membri"), QStringLiteral("copia.mdb")).toInt(), 20005);
}

QTEST_GUILESS_MAIN(TestPreparedQuery)
#include "tst_preparedquery.moc"
