// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/PreparedQuery.h"

#include <QStringDecoder>

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Exception.h>

#include <sqlite3.h>

#include <cstring>

QString columnText(const SQLite::Column &column)
{
    const char *text = column.getText();
    const int bytes = column.getBytes();
    // QString::fromUtf8 drops a leading U+FEFF as a byte order mark; a
    // text that starts with one keeps it.
    if (bytes >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        return QStringDecoder(QStringDecoder::Utf8,
                              QStringDecoder::Flag::ConvertInitialBom)(QByteArrayView(text, bytes));
    return QString::fromUtf8(text, bytes);
}

QVariant columnValue(const SQLite::Column &column)
{
    switch (column.getType()) {
    case SQLITE_INTEGER:
        return qlonglong(column.getInt64());
    case SQLITE_FLOAT:
        return column.getDouble();
    case SQLITE_TEXT:
        return columnText(column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(column.getBlob()), column.getBytes());
    default:
        return {};
    }
}

PreparedQuery::PreparedQuery(SQLite::Database &db, const QString &sql)
    : m_db(db)
{
    try {
        m_stmt.emplace(db, sql.toStdString());
        m_texts.resize(std::size_t(m_stmt->getBindParameterCount()));
    } catch (const SQLite::Exception &e) {
        m_error = SqlError::of(e);
    }
}

PreparedQuery::~PreparedQuery() = default;

bool PreparedQuery::failed(int rc)
{
    m_error = SqlError::of(m_db.getHandle());
    if (m_error.code == SQLITE_ERROR && rc != SQLITE_ERROR)
        m_error.code = rc;
    m_stmt->tryReset();
    m_hasRow = false;
    return false;
}

bool PreparedQuery::placeholder(int position)
{
    if (!m_stmt || position < 0 || std::size_t(position) >= m_texts.size())
        return false;
    if (m_hasRow) {
        m_stmt->tryReset();
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
        if (placeholder(position)) {
            const QByteArray &given = *static_cast<const QByteArray *>(value.constData());
            std::string &bytes = m_texts[std::size_t(position)];
            bytes.assign(given.constData(), std::size_t(given.size()));
            m_stmt->bindNoCopy(position + 1, static_cast<const void *>(bytes.data()), int(bytes.size()));
        }
        return;
    default:
        return value.isNull() ? bindNull(position) : bind(position, value.toString());
    }
}

void PreparedQuery::bind(int position, qint64 value)
{
    if (placeholder(position))
        m_stmt->bind(position + 1, int64_t(value));
}

void PreparedQuery::bind(int position, double value)
{
    if (placeholder(position))
        m_stmt->bind(position + 1, value);
}

void PreparedQuery::bindNull(int position)
{
    if (placeholder(position))
        m_stmt->bind(position + 1);
}

void PreparedQuery::bind(int position, const QString &text)
{
    if (text.isNull())
        return bindNull(position);
    if (!placeholder(position))
        return;
    // In UTF-8, the file's encoding, kept here while it is bound: SQLite
    // takes it without a copy or a conversion of its own, and keeps a
    // leading U+FEFF, which it drops from a UTF-16 text.
    std::string &utf8 = m_texts[std::size_t(position)];
    utf8 = text.toStdString();
    m_stmt->bindNoCopy(position + 1, utf8);
}

bool PreparedQuery::step()
{
    const int rc = m_stmt->tryExecuteStep();
    m_hasRow = rc == SQLITE_ROW;
    if (rc == SQLITE_DONE) {
        // Reset at once: the statement's transaction ends with it.
        const int reset = m_stmt->tryReset();
        return reset == SQLITE_OK ? false : failed(reset);
    }
    return m_hasRow || failed(rc);
}

bool PreparedQuery::exec()
{
    if (!m_stmt)
        return false;
    if (m_hasRow)
        m_stmt->tryReset();
    m_error = {};
    step();
    return !m_error.isValid();
}

QVariant PreparedQuery::value(int column) const
{
    return m_hasRow ? columnValue(m_stmt->getColumn(column)) : QVariant();
}

bool PreparedQuery::next()
{
    if (!m_hasRow)
        return false;
    return step();
}

int PreparedQuery::columnCount() const
{
    return m_stmt ? m_stmt->getColumnCount() : 0;
}

QString PreparedQuery::columnName(int column) const
{
    return m_stmt ? QString::fromUtf8(m_stmt->getColumnName(column)) : QString();
}

std::unique_ptr<PreparedQuery> PreparedQuery::run(SQLite::Database &db, const QString &sql)
{
    auto query = std::make_unique<PreparedQuery>(db, sql);
    if (query->isValid())
        query->exec();
    return query;
}

bool PreparedQuery::finish()
{
    if (!m_stmt || !m_hasRow)
        return m_stmt.has_value(); // never run, or already run to its end and reset
    while (step()) { }
    return !m_error.isValid();
}

int PreparedQuery::rowsAffected() const
{
    return m_stmt ? m_stmt->getChanges() : 0;
}
