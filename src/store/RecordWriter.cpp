// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/RecordWriter.h"

#include "core/Failure.h"
#include "store/SqlErrors.h"
#include "store/StoredValue.h"

#include <QSqlError>
#include <QSqlQuery>

RecordWriter::RecordWriter(const QSqlDatabase &db, const QString &table, std::vector<QString> columns,
                           const QString &fileName)
    : m_db(db)
    , m_table(table)
    , m_columns(std::move(columns))
    , m_fileName(fileName)
{
}

RecordWriter::~RecordWriter() = default;

void RecordWriter::fail(const QString &action, const QSqlQuery &query) const
{
    throw UserError(action.arg(m_fileName) + QStringLiteral(": ") + describeSqlError(query.lastError())
                    + QLatin1Char('.'));
}

QSqlQuery &RecordWriter::prepared(std::unique_ptr<QSqlQuery> &query, const QString &sql, const QString &action)
{
    if (!query) {
        auto made = std::make_unique<QSqlQuery>(m_db);
        if (!made->prepare(sql))
            fail(action, *made);
        query = std::move(made);
    }
    return *query;
}

void RecordWriter::update(qint64 rowid, const std::vector<QVariant> &values)
{
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
    QSqlQuery &query = *m_update;
    int bind = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (!m_columns[i].isEmpty())
            query.bindValue(bind++, StoredValue::bindable(values[i]));
    query.bindValue(bind, rowid);
    if (!query.exec())
        fail(action, query);
    if (query.numRowsAffected() != 1)
        throw UserError(
            QStringLiteral("Impossibile salvare nel database «%1»: il record non esiste più.").arg(m_fileName));
}

qint64 RecordWriter::insert(std::vector<QVariant> &values, const std::vector<bool> &touched)
{
    const QString action = QStringLiteral("Impossibile salvare nel database «%1»");
    QStringList names;
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (touched[i] && !m_columns[i].isEmpty())
            names << m_columns[i];
    const QString key = names.join(u',');
    std::shared_ptr<QSqlQuery> &insert = m_inserts[key];
    if (!insert) {
        auto query = std::make_shared<QSqlQuery>(m_db);
        const QString sql = names.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(m_table, key, QStringList(names.size(), QStringLiteral("?")).join(u','));
        if (!query->prepare(sql)) {
            m_inserts.remove(key);
            fail(action, *query);
        }
        insert = std::move(query);
    }
    QSqlQuery &query = *insert;
    int bind = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (touched[i] && !m_columns[i].isEmpty())
            query.bindValue(bind++, StoredValue::bindable(values[i]));
    if (!query.exec())
        fail(action, query);
    const qint64 rowid = query.lastInsertId().toLongLong();

    // The saved record as the table holds it, defaults included.
    QStringList columns;
    for (const QString &column : m_columns)
        if (!column.isEmpty())
            columns << column;
    if (columns.isEmpty())
        return rowid;
    const QString readAction = QStringLiteral("Impossibile rileggere il database «%1»");
    QSqlQuery &read = prepared(
        m_readBack, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(columns.join(u','), m_table), readAction);
    read.bindValue(0, rowid);
    if (!read.exec() || !read.next())
        fail(readAction, read);
    int column = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].isEmpty())
            continue;
        QVariant v = read.value(column++);
        values[i] = StoredValue::isNull(v) ? QVariant() : std::move(v);
    }
    // Reset at once: a statement left open would keep the next save's
    // transaction from committing.
    read.finish();
    return rowid;
}
