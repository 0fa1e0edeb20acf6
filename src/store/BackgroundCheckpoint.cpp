// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/BackgroundCheckpoint.h"

#include "store/SqlConnection.h"

#include <sqlite3.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// Often enough that the disk writes the log while the commits go on, seldom
// enough that each checkpoint has pages to copy.
constexpr std::chrono::milliseconds interval(10);

} // namespace

struct BackgroundCheckpoint::Worker
{
    sqlite3 *connection = nullptr;
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    std::thread thread;

    void run()
    {
        std::unique_lock lock(mutex);
        while (!stop) {
            lock.unlock();
            // Busy or caught up, the next round tries again; a failure
            // leaves the log as it is, to be copied at the close.
            sqlite3_wal_checkpoint_v2(connection, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
            lock.lock();
            wake.wait_for(lock, interval, [this] { return stop; });
        }
    }
};

BackgroundCheckpoint::BackgroundCheckpoint(SQLite::Database &db)
{
    // A file opened for reading only has nothing to copy and must not be
    // written.
    if (SqlConnection::isReadOnly(db))
        return;
    // A library built for one thread has no locks of its own: a second
    // thread in it would corrupt what the two share.
    if (sqlite3_threadsafe() == 0)
        return;
    const char *file = sqlite3_db_filename(db.getHandle(), "main");
    if (!file || !*file)
        return;
    auto worker = std::make_unique<Worker>();
    if (sqlite3_open_v2(file, &worker->connection, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
        || sqlite3_exec(worker->connection, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(worker->connection);
        return;
    }
    try {
        worker->thread = std::thread([w = worker.get()] { w->run(); });
    } catch (const std::system_error &) {
        sqlite3_close(worker->connection);
        return;
    }
    m_worker = std::move(worker);
}

BackgroundCheckpoint::~BackgroundCheckpoint()
{
    if (!m_worker)
        return;
    {
        const std::lock_guard lock(m_worker->mutex);
        m_worker->stop = true;
    }
    m_worker->wake.notify_one();
    m_worker->thread.join();
    sqlite3_close(m_worker->connection);
}

bool BackgroundCheckpoint::running() const
{
    return m_worker != nullptr;
}
