// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/WriteTransaction.h"

#include "store/ReadOnlyFile.h"
#include "store/SqlErrors.h"

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

WriteTransaction::WriteTransaction(SQLite::Database &db, const QString &action, const QString &fileName)
    : m_db(db)
    , m_action(action)
    , m_fileName(fileName)
{
    ReadOnlyFile::refuseWriting(m_db, m_fileName);
    if (m_db.tryExec("BEGIN IMMEDIATE") != SQLITE_OK)
        failSql(m_action, m_fileName, SqlError::of(m_db.getHandle()));
    m_open = true;
}

WriteTransaction::~WriteTransaction()
{
    if (m_open)
        m_db.tryExec("ROLLBACK");
}

void WriteTransaction::commit()
{
    if (m_db.tryExec("COMMIT") != SQLITE_OK)
        failSql(m_action, m_fileName, SqlError::of(m_db.getHandle()));
    m_open = false;
}
