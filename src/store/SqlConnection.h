// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

#include <SQLiteCpp/Database.h>

#include <memory>

/// One open SQLite connection, closed when it goes away. Waits a few
/// seconds for a database that another program holds before it reports it
/// busy.
class SqlConnection
{
public:
    /// ReadOnly reads an existing file that the program cannot write
    /// (ReadOnlyFile), creating and changing nothing beside it. Alone opens
    /// an existing file held by this connection alone until it closes, when
    /// no other connection has it open at this moment: a run of single-record
    /// commits then takes no file lock and shares no memory with another
    /// reader. When the file is not free at once it is opened as Existing.
    enum Mode { Existing, Create, ReadOnly, Alone };

    /// Opens the file; Existing and ReadOnly never create it. Throws
    /// UserError.
    SqlConnection(const QString &path, Mode mode);
    ~SqlConnection();

    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    SQLite::Database &database() { return *m_db; }

    /// True when the connection reads only; every write checks this first.
    static bool isReadOnly(const SQLite::Database &db);
    /// True when the connection reads a file without locks
    /// (ReadOnlyFile::Reading::Immutable): the reader must see that the file
    /// stays as it was.
    bool withoutLocks() const { return m_withoutLocks; }
    /// True when the connection holds the file alone (Mode Alone, granted).
    bool alone() const { return m_alone; }

    /// True while a transaction is open on the connection.
    bool inTransaction() const;

    /// Write-ahead logging with synchronous=NORMAL: a committed record
    /// survives a killed process. Where the log cannot be used, the rollback
    /// journal with synchronous=FULL gives the same guarantee.
    void configureJournal();

    /// For a connection that holds the file alone: how often it copies
    /// the log into the file during a run of single-record commits over a
    /// table of the given number of records. Does nothing otherwise.
    void paceCheckpoints(qsizetype records);

    /// Copies the log into the file, waiting for no one.
    void checkpoint();

    /// Copies the log into the file, except on a connection that held the
    /// file alone: that one leaves its log whole beside the file for the
    /// next connection, which checkpoint() then empties.
    void close();

    /// How long a command waits for a database held by another program.
    static constexpr int BusyTimeoutMs = 3000;

private:
    /// Takes the open file for this connection alone; false when another
    /// connection has it open.
    bool takeAlone();

    std::unique_ptr<SQLite::Database> m_db;
    bool m_withoutLocks = false;
    bool m_alone = false;
};
