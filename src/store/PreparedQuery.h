// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariant>

#include <memory>
#include <string>
#include <vector>

class QSqlQuery;
struct sqlite3;
struct sqlite3_stmt;

/// A statement prepared once and run once a record: the saves of an import
/// and the lines of a snapshot. Where Qt's SQLite driver runs on the very
/// SQLite library this program is linked with, the statement goes straight
/// to SQLite on the driver's own connection, skipping Qt's bookkeeping of
/// every call (about a sixth of a one-record commit); anywhere else it is a
/// QSqlQuery. Both give the same results and the same errors.
///
/// It must be destroyed before its connection closes.
class PreparedQuery
{
public:
    enum class Engine {
        Fastest, ///< straight to SQLite where that is safe, else Qt
        Qt,      ///< always through QSqlQuery
    };

    /// Prepares sql; isValid() and lastError() say whether it could be.
    PreparedQuery(const QSqlDatabase &db, const QString &sql, Engine engine = Engine::Fastest);
    /// A statement with no placeholders, run once: exec() then next().
    static std::unique_ptr<PreparedQuery> run(const QSqlDatabase &db, const QString &sql,
                                              Engine engine = Engine::Fastest);
    ~PreparedQuery();

    PreparedQuery(const PreparedQuery &) = delete;
    PreparedQuery &operator=(const PreparedQuery &) = delete;

    bool isValid() const { return m_valid; }
    /// True when the statement runs straight on SQLite.
    bool isDirect() const { return m_stmt != nullptr; }

    /// Binds the value to the placeholder at this position (from 0), as
    /// Qt's driver binds it, except that a text is stored exactly as given
    /// (see bind(int, const QString &)). Null is an invalid or null QVariant.
    void bind(int position, const QVariant &value);
    void bind(int position, qint64 value);
    void bind(int position, int value) { bind(position, qint64(value)); }
    void bind(int position, double value);
    /// A null QString is Null. A leading U+FEFF is kept: SQLite would take
    /// it for a byte order mark and drop it.
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
    QSqlError lastError() const;

private:
    bool failed();

    bool m_valid = false;
    std::unique_ptr<QSqlQuery> m_query;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_hasRow = false;
    bool placeholder(int position);   // readies a direct statement for a new value
    std::vector<std::string> m_ascii; // the texts bound, where they are ASCII
    QSqlError m_error;
};
