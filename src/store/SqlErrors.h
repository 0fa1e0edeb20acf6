// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

struct sqlite3;

namespace SQLite {
class Exception;
}

/// Why SQLite refused an operation: its extended result code (0 for
/// none) and its own text.
struct SqlError
{
    int code = 0;
    QString text;

    bool isValid() const { return code != 0; }

    /// The last error of the connection.
    static SqlError of(sqlite3 *db);
    static SqlError of(const SQLite::Exception &e);
};

/// Says in Italian why SQLite refused an operation.
QString describeSqlError(const SqlError &error);

/// True when the error means that another program holds the database.
bool isBusyError(const SqlError &error);

/// Throws UserError saying what could not be done to the file and why:
/// action names the file with %1, as in "Impossibile salvare nel
/// database «%1»". A damaged file throws DamagedDatabase.
[[noreturn]] void failSql(const QString &action, const QString &fileName, const SqlError &error);
[[noreturn]] void failSql(const QString &action, const QString &fileName, const SQLite::Exception &e);
