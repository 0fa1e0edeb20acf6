// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/PreparedQuery.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <SQLiteCpp/Database.h>

#include <map>
#include <memory>
#include <vector>

/// Writes the records of one record set back to its table: the UPDATE of an
/// edited record and the INSERT of a new one, each prepared once and run as
/// a statement of its own, so every record is saved in its own transaction.
/// On a connection that reads only, each save is refused before it starts.
class RecordWriter
{
public:
    /// columns: for each field of the record set, the name of its table
    /// column, or an empty name for a field that is not one (never written).
    RecordWriter(SQLite::Database &db, const QString &table, std::vector<QString> columns, const QString &fileName);
    ~RecordWriter();

    RecordWriter(const RecordWriter &) = delete;
    RecordWriter &operator=(const RecordWriter &) = delete;

    /// Saves every column field of values into the record with this rowid.
    /// Throws UserError; a record that no longer exists is one.
    void update(qint64 rowid, const std::vector<QVariant> &values);

    /// Appends a record with the fields marked in touched and the table's
    /// defaults for the rest. Returns its rowid and, in values, the record
    /// as the table holds it (a field that is not a column stays as given).
    /// Throws UserError.
    qint64 insert(std::vector<QVariant> &values, const std::vector<bool> &touched);

private:
    PreparedQuery &prepared(std::unique_ptr<PreparedQuery> &query, const QString &sql, const QString &action);
    [[noreturn]] void fail(const QString &action, const PreparedQuery &query) const;

    SQLite::Database &m_db;
    QString m_table;
    std::vector<QString> m_columns;
    QString m_fileName;
    bool m_readOnly = false;
    std::unique_ptr<PreparedQuery> m_update;
    std::map<QString, std::unique_ptr<PreparedQuery>> m_inserts; // by the list of columns given
};
