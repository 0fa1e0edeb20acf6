// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <SQLiteCpp/Database.h>

#include <memory>

/// Copies the write-ahead log into the database file on a thread of its
/// own while it lives, so that the disk's work on the log overlaps with
/// the caller's commits instead of waiting for the last of them. An import
/// keeps one for the length of its lines.
///
/// The thread has a connection of its own and runs SQLite's PASSIVE
/// checkpoint every few milliseconds: it waits for no lock, blocks no
/// reader or writer, and copies only committed pages, so nothing a killed
/// program committed is lost and nothing another program does is held up.
/// It runs only where the driver and this program share one SQLite library
/// (two copies of SQLite in one process would not see each other's file
/// locks) built thread-safe; anywhere else, and whenever its connection
/// cannot be opened, the object does nothing and the log is copied when
/// the caller's connection closes, as without it. On a connection that
/// reads only it does nothing.
class BackgroundCheckpoint
{
public:
    explicit BackgroundCheckpoint(SQLite::Database &db);
    /// Stops the thread after the checkpoint under way and closes its
    /// connection.
    ~BackgroundCheckpoint();

    BackgroundCheckpoint(const BackgroundCheckpoint &) = delete;
    BackgroundCheckpoint &operator=(const BackgroundCheckpoint &) = delete;

    /// True while a thread copies the log.
    bool running() const;

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
};
