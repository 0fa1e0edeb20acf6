// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/WriteTransaction.h"

#include "store/ReadOnlyFile.h"
#include "store/SqlErrors.h"

#include <QSqlError>
#include <QSqlQuery>

WriteTransaction::WriteTransaction(const QSqlDatabase &db, const QString &action, const QString &fileName)
    : m_db(db)
    , m_action(action)
    , m_fileName(fileName)
{
    ReadOnlyFile::refuseWriting(m_db, m_fileName);
    QSqlQuery begin(m_db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        failSql(m_action, m_fileName, begin.lastError());
    m_open = true;
}

WriteTransaction::~WriteTransaction()
{
    if (m_open) {
        QSqlQuery rollback(m_db);
        rollback.exec(QStringLiteral("ROLLBACK"));
    }
}

void WriteTransaction::commit()
{
    QSqlQuery commit(m_db);
    if (!commit.exec(QStringLiteral("COMMIT")))
        failSql(m_action, m_fileName, commit.lastError());
    m_open = false;
}
