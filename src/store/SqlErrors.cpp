// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/SqlErrors.h"

#include "core/Failure.h"
#include "store/DamagedDatabase.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <SQLiteCpp/Exception.h>
#include <sqlite3.h>

namespace {

// The low byte of an extended result code is the primary one.
int primaryCode(const SqlError &error)
{
    return error.code & 0xff;
}

// A disk with no room left, or all but none, where the file lies. SQLite
// then fails to read as well as to write: the log's index in shared memory
// has to grow on the disk before a reader can use it.
bool diskFull(const QString &fileName)
{
    const QStorageInfo storage(QFileInfo(fileName).absolutePath());
    return storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < 64 * 1024;
}

} // namespace

SqlError SqlError::of(sqlite3 *db)
{
    if (!db)
        return {SQLITE_NOMEM, QString()};
    const int code = sqlite3_extended_errcode(db);
    return {code == SQLITE_OK ? SQLITE_ERROR : code, QString::fromUtf8(sqlite3_errmsg(db))};
}

SqlError SqlError::of(const SQLite::Exception &e)
{
    // An error of the wrapper's own (a misuse) carries no code of SQLite.
    const int code = e.getExtendedErrorCode() > 0 ? e.getExtendedErrorCode() : e.getErrorCode();
    return {code > 0 ? code : SQLITE_ERROR, QString::fromUtf8(e.what())};
}

bool isBusyError(const SqlError &error)
{
    const int code = primaryCode(error);
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

QString describeSqlError(const SqlError &error)
{
    switch (error.code) {
    case SQLITE_READONLY_ROLLBACK:
        return QStringLiteral("il file è di sola lettura, e un programma interrotto vi ha lasciato modifiche a metà "
                              "(nel file che finisce con «-journal»), che si possono annullare solo scrivendo il file; "
                              "per non mostrare dati sbagliati il file non è stato letto");
    case SQLITE_READONLY_RECOVERY:
    case SQLITE_READONLY_CANTINIT:
        return QStringLiteral("il file è di sola lettura, e il suo registro delle modifiche (il file che finisce con "
                              "«-wal») si può leggere solo scrivendo accanto al file; per non mostrare dati "
                              "incompleti il file non è stato letto");
    default:
        break;
    }
    switch (primaryCode(error)) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("il database è occupato da un altro programma; riprovare più tardi");
    case SQLITE_NOMEM:
        return QStringLiteral("memoria insufficiente");
    case SQLITE_READONLY:
        return QStringLiteral("il file è di sola lettura");
    case SQLITE_IOERR:
        return QStringLiteral("errore di lettura o scrittura del file");
    case SQLITE_CORRUPT:
        return QStringLiteral("il file è danneggiato");
    case SQLITE_FULL:
        return QStringLiteral("il disco è pieno");
    case SQLITE_CANTOPEN:
        return QStringLiteral("il file non si può aprire");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("un valore non è ammesso dalla tabella");
    case SQLITE_MISMATCH:
        return QStringLiteral("un valore non è del tipo del campo");
    case SQLITE_AUTH:
        return QStringLiteral("accesso negato");
    case SQLITE_NOTADB:
        return QStringLiteral("il file non è un database SQLite");
    default:
        break;
    }
    const QString &detail = error.text;
    return detail.isEmpty() ? QStringLiteral("errore sconosciuto del database")
                            : QStringLiteral("errore del database (%1)").arg(detail);
}

void failSql(const QString &action, const QString &fileName, const SqlError &error)
{
    const int code = primaryCode(error);
    if ((code == SQLITE_IOERR || code == SQLITE_CANTOPEN) && diskFull(fileName))
        throw UserError(action.arg(fileName)
                        + QStringLiteral(": il disco è pieno, e senza spazio libero il file non si può leggere. "
                                         "Nulla di quanto è già stato salvato è andato perso: liberare spazio sul "
                                         "disco e riprovare."));
    const QString message = action.arg(fileName) + QStringLiteral(": ") + describeSqlError(error) + QLatin1Char('.');
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)
        throw DamagedDatabase(message);
    throw UserError(message);
}

void failSql(const QString &action, const QString &fileName, const SQLite::Exception &e)
{
    failSql(action, fileName, SqlError::of(e));
}
