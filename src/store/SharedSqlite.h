// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QSqlDatabase>

struct sqlite3;

/// Who uses the library through the shared connection's file: the
/// caller's thread alone, or also a thread of ours with a connection of its
/// own.
enum class SqliteThreads { Caller, Several };

/// The driver's connection, when Qt's SQLite driver runs on the SQLite
/// library linked here: same source, same build options, so that both are
/// one library (the system's, on Linux) and its structures and file locks
/// mean the same to both. For Several threads the library must also have
/// been built thread-safe. nullptr for anything else, and always where the
/// program carries its own copy of SQLite.
sqlite3 *sharedConnection(const QSqlDatabase &db, SqliteThreads threads = SqliteThreads::Caller);
