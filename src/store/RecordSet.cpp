// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "RecordSet.h"

#include "DatabaseError.h"
#include "Numbers.h"
#include "SqlErrors.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool isIntegral(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool isFloating(const QVariant &v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

// A text as the table gives it back. SQLite reads U+FFFE, U+FFFF and any
// surrogate that is not half of a pair as U+FFFD, so they are replaced
// before a value is kept or compared: what a record set holds is then what
// a later session reads.
QString storedText(const QString &text)
{
    // Shares the text until the first replacement.
    QString result = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate() || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

// A value as it is bound to a statement. SQLite takes U+FEFF at the start
// of a text for a byte order mark and drops it (U+FFFE, which it would take
// for a swapped one, never gets here: storedText replaced it). A mark of
// our own in front is the one it drops, so the text is stored as it stands.
QVariant bindable(const QVariant &v)
{
    if (v.typeId() != QMetaType::QString)
        return v;
    const QString text = v.toString();
    if (text.startsWith(QChar(0xFEFF)))
        return QVariant(QChar(0xFEFF) + text);
    return v;
}

// A value as an index key: numbers that are whole compare equal whatever
// their C++ type; texts compare exactly.
std::optional<QString> keyPart(const QVariant &v)
{
    if (isNull(v))
        return std::nullopt;
    if (isIntegral(v))
        return QLatin1Char('i') + QString::number(v.toLongLong());
    if (isFloating(v)) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15)
            return QLatin1Char('i') + QString::number(static_cast<qint64>(d));
        return QLatin1Char('d') + QString::number(d, 'g', 17);
    }
    return QLatin1Char('t') + storedText(v.toString());
}

void appendKeyPart(QString &key, const QString &part)
{
    key += QString::number(part.size());
    key += QLatin1Char(':');
    key += part;
}

} // namespace

RecordSet::RecordSet(const QSqlDatabase &db, const QString &statement, const QLocale &locale, const QString &fileName)
    : m_db(db)
    , m_locale(locale)
    , m_fileName(fileName)
{
    static const QRegularExpression selectRe(QStringLiteral("^\\s*SELECT\\s"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression fromRe(QStringLiteral("\\bFROM\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch select = selectRe.match(statement);
    const QRegularExpressionMatch from = fromRe.match(statement);
    if (!select.hasMatch() || !from.hasMatch())
        throw DatabaseError(QStringLiteral("Istruzione non valida per il database «%1»: %2").arg(m_fileName, statement));
    m_table = from.captured(1);

    // The table's columns, to know which fields can be written and how
    // values given as text are converted.
    struct Column
    {
        int index;
        Affinity affinity;
    };
    QHash<QString, Column> columns;
    {
        QSqlQuery info(m_db);
        if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(m_table)))
            fail(QStringLiteral("Impossibile leggere il database «%1»"), info);
        while (info.next()) {
            const QString type = info.value(2).toString().toUpper();
            Affinity affinity = Affinity::Other;
            if (type.contains(QLatin1String("INT")))
                affinity = Affinity::Integer;
            else if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
                     || type.contains(QLatin1String("TEXT")))
                affinity = Affinity::Text;
            else if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA"))
                     || type.contains(QLatin1String("DOUB")))
                affinity = Affinity::Real;
            columns.insert(info.value(1).toString().toLower(), Column{info.value(0).toInt(), affinity});
        }
    }

    // The statement runs as written, with the rowid fetched in front of its
    // fields so that every record can be written back.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    const QString text = QStringLiteral("SELECT rowid,") + statement.mid(select.capturedLength());
    if (!query.exec(text))
        fail(QStringLiteral("Impossibile leggere il database «%1»"), query);

    const QSqlRecord record = query.record();
    for (int i = 1; i < record.count(); ++i) {
        FieldInfo info;
        info.name = record.fieldName(i);
        const auto column = columns.constFind(info.name.toLower());
        if (column != columns.constEnd()) {
            info.tableColumn = column->index;
            info.affinity = column->affinity;
        }
        m_fields.push_back(info);
    }

    const int n = FieldCount();
    while (query.next()) {
        m_rowids.push_back(query.value(0).toLongLong());
        for (int i = 0; i < n; ++i) {
            QVariant v = query.value(i + 1);
            m_values.push_back(isNull(v) ? QVariant() : std::move(v));
        }
    }
    if (query.lastError().isValid())
        fail(QStringLiteral("Impossibile leggere il database «%1»"), query);
}

RecordSet::~RecordSet() = default;

void RecordSet::fail(const QString &action, const QSqlQuery &query) const
{
    throw DatabaseError(action.arg(m_fileName) + QStringLiteral(": ") + describeSqlError(query.lastError())
                        + QLatin1Char('.'));
}

void RecordSet::MoveFirst()
{
    CancelUpdate();
    m_pos = 0;
}

void RecordSet::MoveNext()
{
    CancelUpdate();
    if (!Eof())
        ++m_pos;
}

void RecordSet::Edit()
{
    if (Eof())
        throw DatabaseError(QStringLiteral("Nessun record corrente da modificare nel database «%1».").arg(m_fileName));
    const auto first = m_values.begin() + static_cast<std::ptrdiff_t>(m_pos * FieldCount());
    m_buffer.assign(first, first + FieldCount());
    m_touched.assign(m_fields.size(), false);
    m_mode = Mode::Edit;
}

void RecordSet::AddNew()
{
    m_buffer.assign(m_fields.size(), QVariant());
    m_touched.assign(m_fields.size(), false);
    m_mode = Mode::AddNew;
}

void RecordSet::CancelUpdate()
{
    m_mode = Mode::None;
    m_buffer.clear();
    m_touched.clear();
}

void RecordSet::Update()
{
    if (m_mode == Mode::None)
        throw DatabaseError(QStringLiteral("Nessuna modifica da salvare nel database «%1».").arg(m_fileName));
    // Saved or refused, the edit is over: a refused record is never saved
    // later by accident.
    const Mode mode = m_mode;
    try {
        if (mode == Mode::Edit)
            saveEdit();
        else
            saveNew();
    } catch (...) {
        CancelUpdate();
        throw;
    }
    CancelUpdate();
}

void RecordSet::saveEdit()
{
    const int n = FieldCount();
    if (!m_updateQuery) {
        QStringList sets = writableColumns();
        for (QString &column : sets)
            column += QStringLiteral("=?");
        auto query = std::make_unique<QSqlQuery>(m_db);
        if (sets.isEmpty() || !query->prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(m_table, sets.join(u','))))
            fail(QStringLiteral("Impossibile salvare nel database «%1»"), *query);
        m_updateQuery = std::move(query);
    }
    QSqlQuery &query = *m_updateQuery;
    int bind = 0;
    for (int i = 0; i < n; ++i)
        if (m_fields[static_cast<std::size_t>(i)].tableColumn >= 0)
            query.bindValue(bind++, bindable(m_buffer[static_cast<std::size_t>(i)]));
    query.bindValue(bind, m_rowids[static_cast<std::size_t>(m_pos)]);
    if (!query.exec())
        fail(QStringLiteral("Impossibile salvare nel database «%1»"), query);
    if (query.numRowsAffected() != 1)
        throw DatabaseError(QStringLiteral("Impossibile salvare nel database «%1»: il record non esiste più.").arg(m_fileName));

    std::vector<QVariant> old(m_buffer.size());
    for (int i = 0; i < n; ++i) {
        old[static_cast<std::size_t>(i)] = std::exchange(value(m_pos, i), m_buffer[static_cast<std::size_t>(i)]);
    }
    reindex(m_pos, old);
}

void RecordSet::saveNew()
{
    const int n = FieldCount();
    quint64 mask = 0;
    QStringList names;
    for (int i = 0; i < n && i < 64; ++i) {
        if (m_touched[static_cast<std::size_t>(i)] && m_fields[static_cast<std::size_t>(i)].tableColumn >= 0) {
            mask |= quint64(1) << i;
            names << m_fields[static_cast<std::size_t>(i)].name;
        }
    }
    std::shared_ptr<QSqlQuery> &insert = m_insertQueries[mask];
    if (!insert) {
        auto query = std::make_shared<QSqlQuery>(m_db);
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(m_table, names.join(u','), QStringList(names.size(), QStringLiteral("?")).join(u','));
        if (!query->prepare(sql)) {
            m_insertQueries.remove(mask);
            fail(QStringLiteral("Impossibile salvare nel database «%1»"), *query);
        }
        insert = std::move(query);
    }
    QSqlQuery &query = *insert;
    int bind = 0;
    for (int i = 0; i < n; ++i)
        if (mask & (quint64(1) << i))
            query.bindValue(bind++, bindable(m_buffer[static_cast<std::size_t>(i)]));
    if (!query.exec())
        fail(QStringLiteral("Impossibile salvare nel database «%1»"), query);
    const qint64 rowid = query.lastInsertId().toLongLong();

    // The saved record as the table holds it, defaults included.
    std::vector<QVariant> saved(m_fields.size());
    if (!m_readBackQuery) {
        const QStringList columns = writableColumns();
        if (!columns.isEmpty()) {
            auto query = std::make_unique<QSqlQuery>(m_db);
            if (!query->prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(columns.join(u','), m_table)))
                fail(QStringLiteral("Impossibile rileggere il database «%1»"), *query);
            m_readBackQuery = std::move(query);
        }
    }
    if (m_readBackQuery) {
        QSqlQuery &read = *m_readBackQuery;
        read.bindValue(0, rowid);
        if (!read.exec() || !read.next())
            fail(QStringLiteral("Impossibile rileggere il database «%1»"), read);
        int column = 0;
        for (int i = 0; i < n; ++i) {
            if (m_fields[static_cast<std::size_t>(i)].tableColumn >= 0) {
                QVariant v = read.value(column++);
                saved[static_cast<std::size_t>(i)] = isNull(v) ? QVariant() : std::move(v);
            }
        }
        // Reset at once: a statement left open would keep the next save's
        // transaction from committing.
        read.finish();
    }

    const qsizetype record = RecordCount();
    m_rowids.push_back(rowid);
    for (QVariant &v : saved)
        m_values.push_back(std::move(v));
    for (const auto &index : m_indexes)
        if (const auto key = keyOf(*index, record))
            index->rows[*key].insert(record);
}

QStringList RecordSet::writableColumns() const
{
    QStringList columns;
    for (const FieldInfo &f : m_fields)
        if (f.tableColumn >= 0)
            columns << f.name;
    return columns;
}

void RecordSet::checkField(int field) const
{
    if (field < 0 || field >= FieldCount())
        throw DatabaseError(QStringLiteral("Il campo %1 non esiste nel database «%2».").arg(field).arg(m_fileName));
}

int RecordSet::fieldByName(const QString &name) const
{
    for (int i = 0; i < FieldCount(); ++i)
        if (m_fields[static_cast<std::size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw DatabaseError(QStringLiteral("Il campo %1 non esiste nel database «%2».").arg(name, m_fileName));
}

QVariant RecordSet::Field(int field) const
{
    checkField(field);
    if (Editing())
        return m_buffer[static_cast<std::size_t>(field)];
    if (Eof())
        throw DatabaseError(QStringLiteral("Nessun record corrente nel database «%1».").arg(m_fileName));
    return value(m_pos, field);
}

void RecordSet::setField(int field, const QVariant &v)
{
    checkField(field);
    const FieldInfo &info = m_fields[static_cast<std::size_t>(field)];
    if (!Editing())
        throw DatabaseError(QStringLiteral("Il record non è aperto per la modifica nel database «%1».").arg(m_fileName));
    if (info.tableColumn < 0)
        throw DatabaseError(QStringLiteral("Il campo %1 non si può modificare.").arg(info.name));
    m_buffer[static_cast<std::size_t>(field)] = convert(info, v);
    m_touched[static_cast<std::size_t>(field)] = true;
}

QVariant RecordSet::convert(const FieldInfo &info, const QVariant &v) const
{
    if (isNull(v))
        return QVariant();
    const auto notANumber = [&] {
        return DatabaseError(QStringLiteral("Il valore «%1» non si può leggere come numero intero (campo %2).")
                                 .arg(v.toString(), info.name));
    };
    switch (info.affinity) {
    case Affinity::Integer: {
        if (v.typeId() == QMetaType::QString) {
            const auto n = parseInt32(v.toString(), m_locale);
            if (!n)
                throw notANumber();
            return QVariant(qlonglong(*n));
        }
        qlonglong n = 0;
        if (isIntegral(v)) {
            n = v.toLongLong();
        } else if (isFloating(v) && v.toDouble() == std::trunc(v.toDouble()) && std::fabs(v.toDouble()) < 3.0e9) {
            n = static_cast<qlonglong>(v.toDouble());
        } else {
            throw notANumber();
        }
        if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
            throw notANumber();
        return QVariant(n);
    }
    case Affinity::Real: {
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const double d = m_locale.toDouble(v.toString(), &ok);
            if (!ok || !std::isfinite(d))
                throw DatabaseError(QStringLiteral("Il valore «%1» non si può leggere come numero (campo %2).")
                                        .arg(v.toString(), info.name));
            return QVariant(d);
        }
        if (!isIntegral(v) && !isFloating(v))
            throw DatabaseError(QStringLiteral("Il valore «%1» non si può leggere come numero (campo %2).")
                                    .arg(v.toString(), info.name));
        return QVariant(v.toDouble());
    }
    case Affinity::Text:
        return QVariant(storedText(v.toString()));
    case Affinity::Other:
        break;
    }
    if (v.typeId() == QMetaType::QString)
        return QVariant(storedText(v.toString()));
    return v;
}

std::optional<QString> RecordSet::keyOf(const Index &index, qsizetype record) const
{
    QString key;
    for (int field : index.fields) {
        const auto part = keyPart(value(record, field));
        if (!part)
            return std::nullopt;
        appendKeyPart(key, *part);
    }
    return key;
}

RecordSet::Index &RecordSet::indexFor(std::vector<int> fields)
{
    for (const auto &index : m_indexes)
        if (index->fields == fields)
            return *index;
    auto index = std::make_unique<Index>();
    index->fields = std::move(fields);
    for (qsizetype r = 0; r < RecordCount(); ++r)
        if (const auto key = keyOf(*index, r))
            index->rows[*key].insert(r);
    m_indexes.push_back(std::move(index));
    return *m_indexes.back();
}

void RecordSet::reindex(qsizetype record, const std::vector<QVariant> &oldValues)
{
    for (const auto &index : m_indexes) {
        QString oldKey;
        bool oldValid = true;
        for (int field : index->fields) {
            const auto part = keyPart(oldValues[static_cast<std::size_t>(field)]);
            if (!part) {
                oldValid = false;
                break;
            }
            appendKeyPart(oldKey, *part);
        }
        const auto newKey = keyOf(*index, record);
        if (oldValid && newKey && *newKey == oldKey)
            continue;
        if (oldValid) {
            const auto it = index->rows.find(oldKey);
            if (it != index->rows.end()) {
                it->erase(record);
                if (it->empty())
                    index->rows.erase(it);
            }
        }
        if (newKey)
            index->rows[*newKey].insert(record);
    }
}

void RecordSet::FindFirst(const std::vector<Criterion> &criteria)
{
    CancelUpdate();
    std::vector<std::pair<int, QVariant>> wanted;
    for (const Criterion &c : criteria)
        wanted.emplace_back(fieldByName(c.field), c.value);
    std::sort(wanted.begin(), wanted.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    std::vector<int> fields;
    QString key;
    bool comparable = true;
    for (const auto &[field, v] : wanted) {
        fields.push_back(field);
        const auto part = keyPart(v);
        if (!part)
            comparable = false; // nothing equals Null
        else
            appendKeyPart(key, *part);
    }

    m_noMatch = true;
    if (!comparable)
        return;
    const Index &index = indexFor(std::move(fields));
    const auto it = index.rows.constFind(key);
    if (it != index.rows.constEnd() && !it->empty()) {
        m_pos = *it->begin();
        m_noMatch = false;
    }
}
