// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/SqlConnection.h"

#include "core/Failure.h"
#include "store/JoinedWrites.h"
#include "store/ReadOnlyFile.h"
#include "store/SharedSqlite.h"
#include "store/SqlErrors.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>

#include <sqlite3.h>

namespace {

// Asks SQLite not to copy the log into the file when the connection closes;
// false where the driver's connection is not within reach.
bool keepLogAtClose(const QSqlDatabase &db)
{
    sqlite3 *connection = sharedConnection(db);
    int keep = 1;
    return connection && sqlite3_db_config(connection, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, &keep) == SQLITE_OK;
}

} // namespace

SqlConnection::SqlConnection(const QString &path, Mode mode)
    : m_name(QStringLiteral("quadrivo-%1").arg(reinterpret_cast<quintptr>(this), 0, 16))
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        throw UserError(QStringLiteral("Impossibile aprire il database «%1»: "
                                       "il driver SQLite di Qt non è installato.")
                            .arg(path));
    // A URI, so that "mode=rw" keeps SQLite from creating a missing file.
    QString query = mode == Create ? QStringLiteral("mode=rwc") : QStringLiteral("mode=rw");
    QString options = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
    if (mode == ReadOnly) {
        const ReadOnlyFile::Reading reading = ReadOnlyFile::choose(path);
        query = ReadOnlyFile::uriQuery(reading);
        m_withoutLocks = reading == ReadOnlyFile::Reading::Immutable;
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_registered = true;
    const QByteArray encoded = QUrl::toPercentEncoding(QDir::fromNativeSeparators(path), "/");
    const QString uri = QStringLiteral("file:") + QString::fromLatin1(encoded) + u'?' + query;
    db.setConnectOptions(options);
    bool opened = false;
    if (const QLatin1String joined(joinedWritesVfs()); mode == Alone && !joined.isEmpty()) {
        // The import's commits write each frame of the log at once. Where
        // Qt's driver runs on a SQLite of its own, the layer is unknown to
        // it and the file opens as usual.
        db.setDatabaseName(uri + QStringLiteral("&vfs=") + joined);
        opened = db.open();
    }
    if (!opened) {
        db.setDatabaseName(uri);
        opened = db.open();
    }
    if (opened && mode == Alone && !takeAlone(db)) {
        // Another connection has the file open: it is shared, as usual.
        db.close();
        opened = db.open();
    }
    if (!opened) {
        const QString reason = describeSqlError(db.lastError());
        db = QSqlDatabase();
        close();
        throw UserError(QStringLiteral("Impossibile aprire il database «%1»: %2.").arg(path, reason));
    }
}

bool SqlConnection::takeAlone(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    // Set before the file is first read, so that the log's index is kept in
    // this process's memory instead of a file shared with other readers;
    // the lock is taken without waiting and kept until the close.
    query.exec(QStringLiteral("PRAGMA busy_timeout=0"));
    m_alone = query.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"))
              && query.exec(QStringLiteral("BEGIN EXCLUSIVE")) && query.exec(QStringLiteral("COMMIT"));
    query.exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(BusyTimeoutMs));
    return m_alone;
}

SqlConnection::~SqlConnection()
{
    close();
}

QSqlDatabase SqlConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool SqlConnection::isReadOnly(const QSqlDatabase &db)
{
    return db.connectOptions().contains(QLatin1String("QSQLITE_OPEN_READONLY"));
}

void SqlConnection::configureJournal()
{
    QSqlDatabase db = database();
    QSqlQuery query(db);
    QString mode;
    if (query.exec(QStringLiteral("PRAGMA journal_mode")) && query.next())
        mode = query.value(0).toString().toLower();
    if (mode != QLatin1String("wal") && query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && query.next())
        mode = query.value(0).toString().toLower();
    query.finish();
    query.exec(mode == QLatin1String("wal") ? QStringLiteral("PRAGMA synchronous=NORMAL")
                                            : QStringLiteral("PRAGMA synchronous=FULL"));
    // The log is copied into the file every 10,000 pages instead of SQLite's
    // 1,000, and whenever a connection closes (see close()). An import saves
    // each record on a page of its own, scattered over the table: copied
    // a thousand at a time, the same pages went to the file again and again,
    // each time with two waits for the disk.
    query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=10000"));
}

void SqlConnection::paceCheckpoints(qsizetype records)
{
    if (!m_alone)
        return;
    // Held alone, the connection copies the log itself, and each copy waits
    // twice for the disk; a longer log, begun anew at every import, costs
    // fresh pages. A page of log for every sixteen records of the table, and
    // no fewer than 500, was the quickest at 3,000 and 32,767 members.
    const qsizetype pages = std::clamp<qsizetype>(records / 16, 500, 10000);
    QSqlQuery(database()).exec(QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(pages));
}

void SqlConnection::checkpoint()
{
    QSqlDatabase db = database();
    // What the log holds goes into the file now, not at the next save of
    // whoever comes next. PASSIVE waits for no one; whatever it cannot copy
    // stays in the log, safe.
    if (db.isOpen() && !isReadOnly(db))
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

void SqlConnection::close()
{
    if (!m_registered)
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        // A connection that held the file alone leaves its log beside it,
        // whole: the next connection reads it as its own, as after a crash,
        // and the main window copies it once it has shown what it read
        // (checkpoint()), so that the user waits for neither copy.
        if (!(m_alone && keepLogAtClose(db)))
            checkpoint();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_registered = false;
    m_alone = false;
}
