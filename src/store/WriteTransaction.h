// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>
#include <SQLiteCpp/Database.h>

/// One write transaction, taken at once (BEGIN IMMEDIATE) so that what is
/// read inside it cannot change; rolled back unless committed. A failure
/// throws UserError with the given action (its %1 is the file's name); on a
/// connection that reads only, the refusal of ReadOnlyFile, before anything
/// is begun.
class WriteTransaction
{
public:
    WriteTransaction(SQLite::Database &db, const QString &action, const QString &fileName);
    ~WriteTransaction();

    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    void commit();

private:
    SQLite::Database &m_db;
    QString m_action;
    QString m_fileName;
    bool m_open = false;
};
