// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/PreparedQuery.h"

#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>

namespace {

// The driver's connection, when the driver runs on the SQLite library
// linked here: same source, same build options, so that both are one
// library (the system's, on Linux) and its structures mean the same to
// both. Anything else, and the statement stays with Qt.
sqlite3 *sharedConnection(const QSqlDatabase &db)
{
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
}

QString text16(const void *text, int bytes)
{
    return QString(static_cast<const QChar *>(text), bytes / int(sizeof(QChar)));
}

} // namespace

PreparedQuery::PreparedQuery(const QSqlDatabase &db, const QString &sql, Engine engine)
{
    if (engine == Engine::Fastest)
        m_db = sharedConnection(db);
    if (m_db) {
        const int rc = sqlite3_prepare16_v3(m_db, sql.utf16(), int(sql.size() * sizeof(QChar)),
                                            SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
        m_valid = rc == SQLITE_OK && m_stmt;
        if (!m_valid)
            failed();
        else
            m_bound.resize(std::size_t(sqlite3_bind_parameter_count(m_stmt)));
        return;
    }
    m_query = std::make_unique<QSqlQuery>(db);
    m_valid = m_query->prepare(sql);
    if (!m_valid)
        m_error = m_query->lastError();
}

PreparedQuery::~PreparedQuery()
{
    sqlite3_finalize(m_stmt);
}

bool PreparedQuery::failed()
{
    const auto *message = static_cast<const char16_t *>(sqlite3_errmsg16(m_db));
    m_error = QSqlError(QStringLiteral("SQLite"), message ? QString::fromUtf16(message) : QString(),
                        QSqlError::StatementError, QString::number(sqlite3_extended_errcode(m_db)));
    if (m_stmt)
        sqlite3_reset(m_stmt);
    m_hasRow = false;
    return false;
}

void PreparedQuery::bind(int position, const QVariant &value)
{
    if (m_query) {
        m_query->bindValue(position, value);
        return;
    }
    if (position < 0 || std::size_t(position) >= m_bound.size())
        return;
    if (m_hasRow) {
        sqlite3_reset(m_stmt);
        m_hasRow = false;
    }
    // The value stays in m_bound, so SQLite reads the text where it lies.
    QVariant &kept = m_bound[std::size_t(position)] = value;
    const int index = position + 1;
    if (!kept.isValid() || kept.isNull()) {
        sqlite3_bind_null(m_stmt, index);
        return;
    }
    switch (kept.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(m_stmt, index, kept.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(m_stmt, index, kept.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray &bytes = *static_cast<const QByteArray *>(kept.constData());
        sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
        return;
    }
    case QMetaType::QString:
        break;
    default:
        kept = kept.toString();
        break;
    }
    const QString &text = *static_cast<const QString *>(kept.constData());
    if (text.isNull())
        sqlite3_bind_null(m_stmt, index);
    else
        sqlite3_bind_text16(m_stmt, index, text.utf16(), int(text.size() * sizeof(QChar)), SQLITE_STATIC);
}

bool PreparedQuery::exec()
{
    if (m_query) {
        if (!m_query->exec()) {
            m_error = m_query->lastError();
            return false;
        }
        m_hasRow = m_query->next();
        return true;
    }
    if (!m_valid)
        return false;
    if (m_hasRow)
        sqlite3_reset(m_stmt);
    const int rc = sqlite3_step(m_stmt);
    m_hasRow = rc == SQLITE_ROW;
    if (rc == SQLITE_DONE) {
        // Reset at once: the statement's transaction ends with it.
        if (sqlite3_reset(m_stmt) != SQLITE_OK)
            return failed();
        return true;
    }
    return m_hasRow || failed();
}

QVariant PreparedQuery::value(int column) const
{
    if (!m_hasRow)
        return {};
    if (m_query)
        return m_query->value(column);
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, column);
    case SQLITE_TEXT: {
        const void *text = sqlite3_column_text16(m_stmt, column);
        return text16(text, sqlite3_column_bytes16(m_stmt, column));
    }
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, column)),
                          sqlite3_column_bytes(m_stmt, column));
    default:
        return {};
    }
}

bool PreparedQuery::finish()
{
    if (m_query) {
        m_hasRow = false;
        m_query->finish();
        return true;
    }
    if (!m_valid || !m_hasRow)
        return m_valid; // never run, or already run to its end and reset
    m_hasRow = false;
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_DONE)
        return failed();
    return sqlite3_reset(m_stmt) == SQLITE_OK || failed();
}

int PreparedQuery::rowsAffected() const
{
    return m_query ? m_query->numRowsAffected() : sqlite3_changes(m_db);
}

QSqlError PreparedQuery::lastError() const
{
    return m_error;
}
