// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/BackgroundCheckpoint.h"
#include "store/Membri.h"
#include "store/PreparedQuery.h"
#include "store/SqlConnection.h"
#include "support/TempWorkDir.h"

#include <QTest>

// In this program SQLite says it was built for one thread: the function is
// defined here, so the linker binds the store's calls to it rather than to
// the library's.
extern "C" int sqlite3_threadsafe(void)
{
    return 0;
}

class TestSharedSqlite : public QObject
{
    Q_OBJECT

private slots:
    void testSingleThreadedSqliteGetsNoSecondThread();
};

void TestSharedSqlite::testSingleThreadedSqliteGetsNoSecondThread()
{
    TempWorkDir dir;
    Membri::createIfMissing(Membri::fileName());
    SqlConnection connection(Membri::fileName(), SqlConnection::Existing);
    connection.configureJournal();
    // The caller's own thread still uses the library.
    QVERIFY(PreparedQuery(connection.database(), QStringLiteral("SELECT 1")).isValid());
    QVERIFY(!BackgroundCheckpoint(connection.database()).running());
}

QTEST_GUILESS_MAIN(TestSharedSqlite)
#include "tst_sharedsqlite.moc"
