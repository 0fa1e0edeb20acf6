// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/SqlConnection.h"

#include "core/Failure.h"
#include "store/ReadOnlyFile.h"
#include "store/SqlErrors.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <string>

#include <sqlite3.h>

namespace {

std::string uriOf(const QString &path, const QString &query)
{
    // A URI, so that "mode=rw" keeps SQLite from creating a missing file.
    const QByteArray encoded = QUrl::toPercentEncoding(QDir::fromNativeSeparators(path), "/");
    return "file:" + encoded.toStdString() + '?' + query.toStdString();
}

// What the log's index in shared memory can take at most while a file is
// held alone: three blocks of 32 KiB, some 12,000 frames, beyond the 10,000
// pages after which the log is copied into the file.
constexpr qint64 sharedMemoryRoom = 3 * 32768;

// A connection that holds the file alone keeps the log's index in its own
// memory and never makes the shared-memory file. The next connection to open
// the file after it must make one, and on a disk the import has filled to
// the last byte it cannot: the file, whole as it is, could not be read by
// anyone until the disk had room again. So room is taken for it now, with
// real bytes (a file only set to a size takes no room on most file
// systems): the next connection shortens the file and grows it again into
// the room it frees. Nothing is done when the room cannot be had.
void keepRoomForSharedMemory(const QString &path)
{
    QFile shm(path + QStringLiteral("-shm"));
    if (!shm.open(QIODevice::ReadWrite) || shm.size() >= sharedMemoryRoom || !shm.seek(shm.size()))
        return;
    const QByteArray zeros(int(sharedMemoryRoom - shm.size()), '\0');
    if (shm.write(zeros) != zeros.size() || !shm.flush())
        shm.resize(0);
}

// The first column of a pragma's answer, lower case; empty when it fails.
QString pragmaText(SQLite::Database &db, const char *pragma)
{
    try {
        SQLite::Statement query(db, pragma);
        return query.executeStep() ? QString::fromUtf8(query.getColumn(0).getText()).toLower() : QString();
    } catch (const SQLite::Exception &) {
        return {};
    }
}

} // namespace

SqlConnection::SqlConnection(const QString &path, Mode mode)
{
    QString query = mode == Create ? QStringLiteral("mode=rwc") : QStringLiteral("mode=rw");
    // Each connection is used by one thread at a time: SQLite need not lock
    // it at every call.
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX
                | (mode == Create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READWRITE);
    if (mode == ReadOnly) {
        const ReadOnlyFile::Reading reading = ReadOnlyFile::choose(path);
        query = ReadOnlyFile::uriQuery(reading);
        m_withoutLocks = reading == ReadOnlyFile::Reading::Immutable;
        flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READONLY;
    }
    const std::string uri = uriOf(path, query);
    try {
        m_db = std::make_unique<SQLite::Database>(uri, flags, BusyTimeoutMs);
        if (mode == Alone && !takeAlone()) {
            // Another connection has the file open: it is shared, as usual.
            m_db = std::make_unique<SQLite::Database>(uri, flags, BusyTimeoutMs);
        } else if (mode == Alone) {
            keepRoomForSharedMemory(path);
        }
    } catch (const SQLite::Exception &e) {
        m_db.reset();
        m_alone = false;
        throw UserError(
            QStringLiteral("Impossibile aprire il database «%1»: %2.").arg(path, describeSqlError(SqlError::of(e))));
    }
}

bool SqlConnection::takeAlone()
{
    // Set before the file is first read, so that the log's index is kept in
    // this process's memory instead of a file shared with other readers;
    // the lock is taken without waiting and kept until the close.
    m_db->setBusyTimeout(0);
    m_alone = m_db->tryExec("PRAGMA locking_mode=EXCLUSIVE") == SQLITE_OK
              && m_db->tryExec("BEGIN EXCLUSIVE") == SQLITE_OK && m_db->tryExec("COMMIT") == SQLITE_OK;
    m_db->setBusyTimeout(BusyTimeoutMs);
    return m_alone;
}

SqlConnection::~SqlConnection()
{
    close();
}

bool SqlConnection::isReadOnly(const SQLite::Database &db)
{
    return sqlite3_db_readonly(db.getHandle(), "main") == 1;
}

bool SqlConnection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db->getHandle()) == 0;
}

void SqlConnection::configureJournal()
{
    SQLite::Database &db = *m_db;
    QString mode = pragmaText(db, "PRAGMA journal_mode");
    if (mode != QLatin1String("wal"))
        mode = pragmaText(db, "PRAGMA journal_mode=WAL");
    db.tryExec(mode == QLatin1String("wal") ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL");
    // The log is copied into the file every 10,000 pages instead of SQLite's
    // 1,000, and whenever a connection closes (see close()). An import saves
    // each record on a page of its own, scattered over the table: copied
    // a thousand at a time, the same pages went to the file again and again,
    // each time with two waits for the disk.
    db.tryExec("PRAGMA wal_autocheckpoint=10000");
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
    m_db->tryExec("PRAGMA wal_autocheckpoint=" + std::to_string(pages));
}

void SqlConnection::checkpoint()
{
    // What the log holds goes into the file now, not at the next save of
    // whoever comes next. PASSIVE waits for no one; whatever it cannot copy
    // stays in the log, safe.
    if (m_db && !isReadOnly(*m_db))
        sqlite3_wal_checkpoint_v2(m_db->getHandle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

void SqlConnection::close()
{
    if (!m_db)
        return;
    // A connection that held the file alone leaves its log beside it,
    // whole: the next connection reads it as its own, as after a crash,
    // and the main window copies it once it has shown what it read
    // (checkpoint()), so that the user waits for neither copy.
    int keep = 1;
    if (!(m_alone && sqlite3_db_config(m_db->getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, &keep) == SQLITE_OK))
        checkpoint();
    m_db.reset();
    m_alone = false;
}
