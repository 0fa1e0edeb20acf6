// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/PreparedQuery.h"

#include "store/SharedSqlite.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>

namespace {

// Copies text into ascii when every character is ASCII; false otherwise.
bool toAscii(const QString &text, std::string &ascii)
{
    ascii.resize(std::size_t(text.size()));
    const QChar *from = text.constData();
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        if (from[i].unicode() >= 0x80)
            return false;
        ascii[i] = char(from[i].unicode());
    }
    return true;
}

bool isAscii(const unsigned char *text, int bytes)
{
    return std::all_of(text, text + bytes, [](unsigned char c) { return c < 0x80; });
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
            m_ascii.resize(std::size_t(sqlite3_bind_parameter_count(m_stmt)));
        return;
    }
    m_query = std::make_unique<QSqlQuery>(db);
    m_query->setForwardOnly(true);
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

bool PreparedQuery::placeholder(int position)
{
    if (position < 0 || std::size_t(position) >= m_ascii.size())
        return false;
    if (m_hasRow) {
        sqlite3_reset(m_stmt);
        m_hasRow = false;
    }
    return true;
}

void PreparedQuery::bind(int position, const QVariant &value)
{
    // What a record holds (texts, whole numbers, reals) is read without a
    // conversion. A QVariant of a value type is never null in Qt 6; only
    // the others (a null pointer) need the test.
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return bindNull(position);
    case QMetaType::QString:
        return bind(position, *static_cast<const QString *>(value.constData()));
    case QMetaType::LongLong:
        return bind(position, qint64(*static_cast<const qlonglong *>(value.constData())));
    case QMetaType::Double:
        return bind(position, *static_cast<const double *>(value.constData()));
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return bind(position, qint64(value.toLongLong()));
    case QMetaType::Float:
        return bind(position, value.toDouble());
    case QMetaType::QByteArray:
        if (m_query) {
            m_query->bindValue(position, value);
        } else if (placeholder(position)) {
            const QByteArray &bytes = *static_cast<const QByteArray *>(value.constData());
            sqlite3_bind_blob(m_stmt, position + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        }
        return;
    default:
        return value.isNull() ? bindNull(position) : bind(position, value.toString());
    }
}

void PreparedQuery::bind(int position, qint64 value)
{
    if (m_query)
        m_query->bindValue(position, qlonglong(value));
    else if (placeholder(position))
        sqlite3_bind_int64(m_stmt, position + 1, value);
}

void PreparedQuery::bind(int position, double value)
{
    if (m_query)
        m_query->bindValue(position, value);
    else if (placeholder(position))
        sqlite3_bind_double(m_stmt, position + 1, value);
}

void PreparedQuery::bindNull(int position)
{
    if (m_query)
        m_query->bindValue(position, QVariant());
    else if (placeholder(position))
        sqlite3_bind_null(m_stmt, position + 1);
}

void PreparedQuery::bind(int position, const QString &text)
{
    if (text.isNull())
        return bindNull(position);
    // SQLite takes U+FEFF at the start of a UTF-16 text for a byte order
    // mark and drops it; a mark of our own in front is the one it drops.
    const bool marked = text.startsWith(QChar(0xFEFF));
    if (m_query) {
        m_query->bindValue(position, marked ? QChar(0xFEFF) + text : text);
        return;
    }
    if (!placeholder(position))
        return;
    // A text in ASCII is the same in UTF-8, the file's encoding, so SQLite
    // takes it as it is; any other goes as UTF-16, as Qt's driver gives it.
    std::string &ascii = m_ascii[std::size_t(position)];
    if (toAscii(text, ascii)) {
        sqlite3_bind_text(m_stmt, position + 1, ascii.data(), int(ascii.size()), SQLITE_STATIC);
        return;
    }
    const QString given = marked ? QChar(0xFEFF) + text : text;
    sqlite3_bind_text16(m_stmt, position + 1, given.utf16(), int(given.size() * sizeof(QChar)), SQLITE_TRANSIENT);
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
    if (m_query) {
        // Qt gives Null as a null value of the column's type.
        QVariant v = m_query->value(column);
        return v.isNull() ? QVariant() : v;
    }
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, column);
    case SQLITE_TEXT: {
        // ASCII is read as it is stored; anything else through SQLite's own
        // conversion to UTF-16, as Qt's driver reads it.
        const unsigned char *utf8 = sqlite3_column_text(m_stmt, column);
        const int bytes = sqlite3_column_bytes(m_stmt, column);
        if (isAscii(utf8, bytes))
            return QString::fromLatin1(reinterpret_cast<const char *>(utf8), bytes);
        const void *utf16 = sqlite3_column_text16(m_stmt, column);
        return QString(static_cast<const QChar *>(utf16), sqlite3_column_bytes16(m_stmt, column) / int(sizeof(QChar)));
    }
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, column)),
                          sqlite3_column_bytes(m_stmt, column));
    default:
        return {};
    }
}

bool PreparedQuery::next()
{
    if (!m_hasRow)
        return false;
    if (m_query) {
        m_hasRow = m_query->next();
        if (!m_hasRow && m_query->lastError().isValid())
            m_error = m_query->lastError();
        return m_hasRow;
    }
    const int rc = sqlite3_step(m_stmt);
    m_hasRow = rc == SQLITE_ROW;
    if (rc == SQLITE_DONE)
        return sqlite3_reset(m_stmt) == SQLITE_OK ? false : failed();
    return m_hasRow || failed();
}

int PreparedQuery::columnCount() const
{
    return m_query ? m_query->record().count() : sqlite3_column_count(m_stmt);
}

QString PreparedQuery::columnName(int column) const
{
    if (m_query)
        return m_query->record().fieldName(column);
    const auto *name = static_cast<const char16_t *>(sqlite3_column_name16(m_stmt, column));
    return name ? QString::fromUtf16(name) : QString();
}

std::unique_ptr<PreparedQuery> PreparedQuery::run(const QSqlDatabase &db, const QString &sql, Engine engine)
{
    auto query = std::make_unique<PreparedQuery>(db, sql, engine);
    if (query->isValid())
        query->exec();
    return query;
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
