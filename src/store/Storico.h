// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <SQLiteCpp/Database.h>

#include <vector>

class QDateTime;

/// The history: every member list an import saved whole, kept as one
/// snapshot ("rilevazione") in the tables Rilevazioni and Punteggi beside
/// Membri. The file's format is its PRAGMA user_version: 0 for files made
/// before the history, Formato for files that hold it.
namespace Storico {

constexpr int Formato = 1;

/// The statements that add the history to a file holding Membri: the two
/// tables, the index on Madre and the format number.
QStringList istruzioniSchema();

/// Reads the format of an open file already known to hold Membri. Returns
/// true when it is older than Formato and lacks the history; throws
/// UserError naming the file, which is left untouched, when it is newer
/// (or unknown).
bool formatoDaAggiornare(SQLite::Database &db, const QString &fileName);

/// Brings a file of an older format up to Formato: the history's tables and
/// index are added in one transaction, nothing else changes. A damaged file
/// is left as it is. Throws UserError naming the file.
void aggiornaFormato(SQLite::Database &db, const QString &fileName);

/// One saved member line, as the import stored it.
struct RigaRilevazione
{
    QString Nick;
    QString Madre;
    QString Grado;
    qint32 Punti = 0;
};

/// Writes one snapshot in one transaction: whole or not at all. Quando is
/// kept as local date and time, ISO 8601 to the second; Tipo is 1 (initial
/// data) or 2 (final data); the lines get Riga 1, 2, ... in their order.
/// Returns the snapshot's Id. Throws UserError naming the file.
///
/// This and the two functions below first bring a file of an older format
/// up to date, and say why when they cannot.
qint64 scriviRilevazione(SQLite::Database &db, const QString &fileName, const QDateTime &quando, int tipo,
                         const std::vector<RigaRilevazione> &righe);

/// A snapshot as the table holds it.
struct Rilevazione
{
    qint64 Id = 0;
    QString Quando;
    int Tipo = 0;
};

/// A score row as the whole history is read: its home planet, as an index
/// into Storia::madri, and its score, not its other texts.
struct Punteggio
{
    qint64 Rilevazione = 0;
    qint64 Riga = 0;
    int Madre = 0;
    qint64 Punti = 0;
};

/// Everything the history holds but the rows' Nick and Grado, in no
/// particular order. A home planet comes back in every snapshot: its text
/// is held once, and the rows name it by its place in madri.
struct Storia
{
    std::vector<Rilevazione> rilevazioni;
    /// Every home planet of the rows, each once (a Null Madre is empty).
    std::vector<QString> madri;
    std::vector<Punteggio> punteggi;
};

/// Reads every snapshot and every score row, two statements in all. Throws
/// UserError naming the file.
Storia leggiStoria(SQLite::Database &db, const QString &fileName);

/// A score row's Nick and Grado (Null texts are empty).
struct Nome
{
    qint64 Rilevazione = 0;
    qint64 Riga = 0;
    QString Nick;
    QString Grado;
};

/// Nick and Grado of every row of the given snapshots, one statement: the
/// window needs them only from the latest snapshot of each member, and
/// texts cost most of the reading. Throws UserError naming the file.
std::vector<Nome> leggiNomi(SQLite::Database &db, const QString &fileName, const QList<qint64> &rilevazioni);

/// The lines' positions in the order of their home planets, as QString's
/// < orders the texts, the lines of one planet in the list's order: the
/// order scriviRilevazione writes them in, next to each other in the index
/// on Madre.
std::vector<std::size_t> ordinePerMadre(const std::vector<RigaRilevazione> &righe);

/// The member lines of the snapshot with the given Id, Quando and Tipo, in
/// their Riga order. Throws UserError naming the file, also when that
/// snapshot no longer exists (see eliminaRilevazione).
std::vector<RigaRilevazione> leggiRighe(SQLite::Database &db, const QString &fileName, const Rilevazione &rilevazione);

/// Deletes a snapshot and its rows in one transaction: the snapshot with
/// the given Id, Quando and Tipo, as a window showed it. Ids of deleted
/// snapshots are given again, so the Id alone could name a newer one. Throws
/// UserError naming the file, also when that snapshot no longer exists.
void eliminaRilevazione(SQLite::Database &db, const QString &fileName, const Rilevazione &rilevazione);

} // namespace Storico
