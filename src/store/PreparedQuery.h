// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/SqlErrors.h"

#include <QString>
#include <QVariant>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace SQLite {
class Column;
}

/// A text column's value; empty for Null.
QString columnText(const SQLite::Column &column);
/// A column's value as Qt's types hold it; an invalid QVariant for Null.
QVariant columnValue(const SQLite::Column &column);

/// A statement prepared once and run once a record, or once: the saves of
/// an import, the lines of a snapshot, the reading of a table. Failures
/// come back as false with lastError() set, never as exceptions, so that
/// each caller says what it could not do.
///
/// It must be destroyed before its connection closes.
class PreparedQuery
{
public:
    /// Prepares sql; isValid() and lastError() say whether it could be.
    PreparedQuery(SQLite::Database &db, const QString &sql);
    /// A statement with no placeholders, run once: exec() then next().
    static std::unique_ptr<PreparedQuery> run(SQLite::Database &db, const QString &sql);
    ~PreparedQuery();

    PreparedQuery(const PreparedQuery &) = delete;
    PreparedQuery &operator=(const PreparedQuery &) = delete;

    bool isValid() const { return m_stmt.has_value(); }

    /// Binds the value to the placeholder at this position (from 0). Null
    /// is an invalid or null QVariant; a text is stored exactly as given.
    void bind(int position, const QVariant &value);
    void bind(int position, qint64 value);
    void bind(int position, int value) { bind(position, qint64(value)); }
    void bind(int position, double value);
    /// A null QString is Null.
    void bind(int position, const QString &text);
    void bindNull(int position);

    /// Runs the statement up to its first row of results, if it has any.
    /// False with lastError() set when SQLite refused it.
    bool exec();
    /// True when exec() reached a row of results.
    bool hasRow() const { return m_hasRow; }
    /// The column of the row reached; an invalid QVariant for Null, and
    /// when there is no row.
    QVariant value(int column) const;
    /// Moves to the next row of results; false at the end, or with
    /// lastError() set when SQLite failed.
    bool next();
    /// The statement's result columns and their names.
    int columnCount() const;
    QString columnName(int column) const;
    /// Runs the statement to its end and resets it, so that its transaction
    /// commits now; false with lastError() set when that failed.
    bool finish();

    /// The rows the last statement changed.
    int rowsAffected() const;
    SqlError lastError() const { return m_error; }

private:
    bool failed(int rc);
    bool step();
    bool placeholder(int position); // readies the statement for a new value

    SQLite::Database &m_db;
    std::optional<SQLite::Statement> m_stmt;
    bool m_hasRow = false;
    std::vector<std::string> m_texts; // the texts and bytes bound, kept while bound
    SqlError m_error;
};
