// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

class QSqlError;

/// Says in Italian why SQLite refused an operation.
QString describeSqlError(const QSqlError &error);

/// True when the error means that another program holds the database.
bool isBusyError(const QSqlError &error);

/// Throws UserError saying what could not be done to the file and why:
/// action names the file with %1, as in "Impossibile salvare nel
/// database «%1»".
[[noreturn]] void failSql(const QString &action, const QString &fileName, const QSqlError &error);
