// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

class QSqlError;

/// Says in Italian why SQLite refused an operation.
QString describeSqlError(const QSqlError &error);

/// True when the error means that another program holds the database.
bool isBusyError(const QSqlError &error);
