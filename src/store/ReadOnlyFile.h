// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>
#include <SQLiteCpp/Database.h>

/// A database file the program cannot write: found out before the file is
/// opened, and read without creating or changing anything beside it.
namespace ReadOnlyFile {

/// True when the file, its folder (where SQLite makes the log and the
/// shared memory) or a log file already beside it cannot be written.
bool cannotWrite(const QString &path);

/// How SQLite reads a file it may not write.
enum class Reading {
    /// mode=ro: a file in rollback-journal mode, locked as usual.
    Journal,
    /// mode=ro&readonly_shm=1: a file in write-ahead-log mode whose log and
    /// shared memory lie beside it; SQLite reads the log, locking as usual,
    /// and writes neither.
    SharedLog,
    /// mode=ro&immutable=1: a file in write-ahead-log mode whose log holds
    /// nothing. SQLite takes no lock and makes no file; the reader makes sure
    /// that the file stays as it was (see Stamp).
    Immutable,
};

/// Chooses how the file is read. Throws UserError when its log holds
/// commits that cannot be read without making a file beside it: the file
/// is then not read rather than read without them.
Reading choose(const QString &path);

/// The query of the file's URI for a reading.
QString uriQuery(Reading reading);

/// What changes when another program writes a file read without locks:
/// its size and time, and its log.
struct Stamp
{
    qint64 size = -1;
    qint64 modified = 0;
    qint64 logSize = -1; // -1: no log

    bool operator==(const Stamp &) const = default;
};

Stamp stamp(const QString &path);

/// What a command that would write a file opened for reading only says.
QString refusal(const QString &fileName);

/// Throws UserError with the refusal when the connection reads only; a
/// write checks this before it touches anything.
void refuseWriting(SQLite::Database &db, const QString &fileName);

} // namespace ReadOnlyFile
