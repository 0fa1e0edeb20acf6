// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

class RecordSet;
class TableColumns;

/// The member table and the statements the program runs on it.
namespace Membri {

/// The database file, in the current directory.
QString fileName();

/// Every record, fields 0 to 7: Valid, Nick, Madre, Grado, Punti1, Punti2, Per, Diff.
QString selectAll();
/// The current members for the grid, by percentage or by points gained.
QString selectRanking(bool byPercentage);
/// Every record with its Valid field alone.
QString selectValid();

enum Field { Valid = 0, Nick, Madre, Grado, Punti1, Punti2, Per, Diff };

/// Creates the database file with an empty member table and an empty
/// history (Storico) when no file of that name exists. An existing file is
/// left alone. Throws UserError.
void createIfMissing(const QString &path);

/// The member table's name.
QString table();

/// Checks that the columns read from a database are those of the member
/// table; throws UserError naming the file otherwise. Nothing is written.
void checkSchema(const TableColumns &columns, const QString &fileName);

/// True when the file is a Microsoft Access database (Jet or ACE), the
/// format an earlier tool kept its members in.
bool isAccessFile(const QString &path);

/// What the user is told of such a file: what it is, that it was left
/// untouched, and what to do.
QString accessFileMessage(const QString &path);

/// Sets Valid = 0 in every record of the set, saving each at once.
void freeAll(RecordSet &records);

} // namespace Membri
