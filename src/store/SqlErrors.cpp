// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/SqlErrors.h"

#include "core/Failure.h"

#include <QSqlError>

namespace {

// SQLite's primary result codes; the driver reports extended codes, whose
// low byte is the primary one.
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    NoMem = 7,
    ReadOnly = 8,
    IoErr = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    Constraint = 19,
    Mismatch = 20,
    Auth = 23,
    NotADb = 26,
};

// Extended codes of a connection that reads only and finds a file it
// could read correctly only by writing first.
enum SqliteExtendedCode {
    ReadOnlyRecovery = ReadOnly | (1 << 8),
    ReadOnlyRollback = ReadOnly | (3 << 8),
    ReadOnlyCantInit = ReadOnly | (5 << 8),
};

int extendedCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : -1;
}

int primaryCode(const QSqlError &error)
{
    const int code = extendedCode(error);
    return code >= 0 ? (code & 0xff) : -1;
}

} // namespace

bool isBusyError(const QSqlError &error)
{
    const int code = primaryCode(error);
    return code == Busy || code == Locked;
}

QString describeSqlError(const QSqlError &error)
{
    switch (extendedCode(error)) {
    case ReadOnlyRollback:
        return QStringLiteral("il file è di sola lettura, e un programma interrotto vi ha lasciato modifiche a metà "
                              "(nel file che finisce con «-journal»), che si possono annullare solo scrivendo il file; "
                              "per non mostrare dati sbagliati il file non è stato letto");
    case ReadOnlyRecovery:
    case ReadOnlyCantInit:
        return QStringLiteral("il file è di sola lettura, e il suo registro delle modifiche (il file che finisce con "
                              "«-wal») si può leggere solo scrivendo accanto al file; per non mostrare dati "
                              "incompleti il file non è stato letto");
    default:
        break;
    }
    switch (primaryCode(error)) {
    case Busy:
    case Locked:
        return QStringLiteral("il database è occupato da un altro programma; riprovare più tardi");
    case NoMem:
        return QStringLiteral("memoria insufficiente");
    case ReadOnly:
        return QStringLiteral("il file è di sola lettura");
    case IoErr:
        return QStringLiteral("errore di lettura o scrittura del file");
    case Corrupt:
        return QStringLiteral("il file è danneggiato");
    case Full:
        return QStringLiteral("il disco è pieno");
    case CantOpen:
        return QStringLiteral("il file non si può aprire");
    case Constraint:
        return QStringLiteral("un valore non è ammesso dalla tabella");
    case Mismatch:
        return QStringLiteral("un valore non è del tipo del campo");
    case Auth:
        return QStringLiteral("accesso negato");
    case NotADb:
        return QStringLiteral("il file non è un database SQLite");
    default:
        break;
    }
    const QString detail = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return detail.isEmpty() ? QStringLiteral("errore sconosciuto del database")
                            : QStringLiteral("errore del database (%1)").arg(detail);
}

void failSql(const QString &action, const QString &fileName, const QSqlError &error)
{
    throw UserError(action.arg(fileName) + QStringLiteral(": ") + describeSqlError(error) + QLatin1Char('.'));
}
