// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/SharedSqlite.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

sqlite3 *sharedConnection(const QSqlDatabase &db, SqliteThreads threads)
{
#ifdef QUADRIVO_SQLITE_STATIC
    // A copy of SQLite of our own: never the driver's.
    Q_UNUSED(db);
    Q_UNUSED(threads);
    return nullptr;
#else
    // A library built for one thread has no locks of its own: a second
    // thread in it would corrupt what the two share.
    if (threads == SqliteThreads::Several && sqlite3_threadsafe() == 0)
        return nullptr;
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData());
    if (!connection)
        return nullptr;

    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT sqlite_source_id()")) || !query.next()
        || query.value(0).toString() != QLatin1String(sqlite3_sourceid()))
        return nullptr;
    QStringList theirs;
    if (!query.exec(QStringLiteral("PRAGMA compile_options")))
        return nullptr;
    while (query.next())
        theirs << query.value(0).toString();
    QStringList ours;
    for (int i = 0; const char *option = sqlite3_compileoption_get(i); ++i)
        ours << QLatin1String(option);
    if (theirs != ours || sqlite3_initialize() != SQLITE_OK)
        return nullptr;
    return connection;
#endif
}
