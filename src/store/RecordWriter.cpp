// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/RecordWriter.h"

#include "core/Failure.h"
#include "store/ReadOnlyFile.h"
#include "store/SqlConnection.h"
#include "store/SqlErrors.h"
#include "store/StoredValue.h"

RecordWriter::RecordWriter(SQLite::Database &db, const QString &table, std::vector<QString> columns,
                           const QString &fileName)
    : m_db(db)
    , m_table(table)
    , m_columns(std::move(columns))
    , m_fileName(fileName)
    , m_readOnly(SqlConnection::isReadOnly(db))
{
}

RecordWriter::~RecordWriter() = default;

void RecordWriter::fail(const QString &action, const PreparedQuery &query) const
{
    failSql(action, m_fileName, query.lastError());
}

PreparedQuery &RecordWriter::prepared(std::unique_ptr<PreparedQuery> &query, const QString &sql, const QString &action)
{
    if (!query) {
        auto made = std::make_unique<PreparedQuery>(m_db, sql);
        if (!made->isValid())
            fail(action, *made);
        query = std::move(made);
    }
    return *query;
}

void RecordWriter::update(qint64 rowid, const std::vector<QVariant> &values)
{
    if (m_readOnly)
        throw UserError(ReadOnlyFile::refusal(m_fileName));
    const QString action = QStringLiteral("Impossibile salvare nel database «%1»");
    if (!m_update) {
        QStringList sets;
        for (const QString &column : m_columns)
            if (!column.isEmpty())
                sets << column + QStringLiteral("=?");
        if (sets.isEmpty())
            throw UserError(QStringLiteral("Impossibile salvare nel database «%1»: nessun campo si può modificare.")
                                .arg(m_fileName));
        prepared(m_update, QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(m_table, sets.join(u',')), action);
    }
    PreparedQuery &query = *m_update;
    int bind = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (!m_columns[i].isEmpty())
            query.bind(bind++, values[i]);
    query.bind(bind, rowid);
    if (!query.exec())
        fail(action, query);
    if (query.rowsAffected() != 1)
        throw UserError(
            QStringLiteral("Impossibile salvare nel database «%1»: il record non esiste più.").arg(m_fileName));
}

qint64 RecordWriter::insert(std::vector<QVariant> &values, const std::vector<bool> &touched)
{
    if (m_readOnly)
        throw UserError(ReadOnlyFile::refusal(m_fileName));
    const QString action = QStringLiteral("Impossibile salvare nel database «%1»");
    QStringList names;
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (touched[i] && !m_columns[i].isEmpty())
            names << m_columns[i];
    const QString key = names.join(u',');
    std::unique_ptr<PreparedQuery> &insert = m_inserts[key];
    if (!insert) {
        // The statement gives back the saved record, defaults included, so
        // nothing is read again (RETURNING: SQLite 3.35 and later).
        QStringList returned = {QStringLiteral("rowid")};
        for (const QString &column : m_columns)
            if (!column.isEmpty())
                returned << column;
        const QString given = names.isEmpty()
                                  ? QStringLiteral("DEFAULT VALUES")
                                  : QStringLiteral("(%1) VALUES (%2)")
                                        .arg(key, QStringList(names.size(), QStringLiteral("?")).join(u','));
        prepared(insert, QStringLiteral("INSERT INTO %1 %2 RETURNING %3").arg(m_table, given, returned.join(u',')),
                 action);
    }
    PreparedQuery &query = *insert;
    int bind = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (touched[i] && !m_columns[i].isEmpty())
            query.bind(bind++, values[i]);
    if (!query.exec() || !query.hasRow())
        fail(action, query);
    const qint64 rowid = query.value(0).toLongLong();
    int column = 1;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].isEmpty())
            continue;
        QVariant v = query.value(column++);
        values[i] = StoredValue::isNull(v) ? QVariant() : std::move(v);
    }
    // Run to its end at once: the record's transaction commits when its
    // statement ends, before the next line is cut.
    if (!query.finish())
        fail(action, query);
    return rowid;
}
