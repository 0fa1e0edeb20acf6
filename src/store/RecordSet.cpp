// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/RecordSet.h"

#include "core/Failure.h"
#include "store/PreparedQuery.h"
#include "store/SqlErrors.h"
#include "store/StoredValue.h"

#include <utility>
#include <vector>

RecordSet::RecordSet(SQLite::Database &db, const Statement &statement, const TableColumns &columns,
                     const QLocale &locale, const QString &fileName)
    : m_locale(locale)
    , m_fileName(fileName)
{
    // The statement runs as written, with the rowid fetched in front of its
    // fields so that every record can be written back.
    const auto query = PreparedQuery::run(db, statement.withRowid);
    const QString reading = QStringLiteral("Impossibile leggere il database «%1»");
    if (query->lastError().isValid())
        failSql(reading, m_fileName, query->lastError());

    std::vector<QString> writable;
    for (int i = 1; i < query->columnCount(); ++i) {
        FieldInfo info;
        info.name = query->columnName(i);
        if (const TableColumns::Column *column = columns.find(info.name)) {
            info.isColumn = true;
            info.affinity = column->affinity;
        }
        writable.push_back(info.isColumn ? info.name : QString());
        m_fields.push_back(info);
    }
    m_writer = std::make_unique<RecordWriter>(db, statement.table, std::move(writable), m_fileName);

    const int n = FieldCount();
    m_rows = RecordRows(n);
    for (bool row = query->hasRow(); row; row = query->next()) {
        m_rows.append(query->value(0).toLongLong());
        const qsizetype record = m_rows.count() - 1;
        for (int i = 0; i < n; ++i)
            m_rows.set(record, i, query->value(i + 1)); // Null comes as an invalid QVariant
    }
    if (query->lastError().isValid())
        failSql(reading, m_fileName, query->lastError());
}

RecordSet::~RecordSet() = default;

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
        throw UserError(QStringLiteral("Nessun record corrente da modificare nel database «%1».").arg(m_fileName));
    m_buffer.resize(m_fields.size());
    for (int i = 0; i < FieldCount(); ++i)
        m_buffer[static_cast<std::size_t>(i)] = m_rows.value(m_pos, i);
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
        throw UserError(QStringLiteral("Nessuna modifica da salvare nel database «%1».").arg(m_fileName));
    // Saved or refused, the edit is over: a refused record is never saved
    // later by accident.
    try {
        if (m_mode == Mode::Edit)
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
    m_writer->update(m_rows.rowid(m_pos), m_buffer);
    // The record takes the saved values; the indexes are told the old ones.
    std::vector<QVariant> before(m_fields.size());
    for (int i = 0; i < FieldCount(); ++i)
        before[static_cast<std::size_t>(i)] = m_rows.value(m_pos, i);
    for (int i = 0; i < FieldCount(); ++i)
        m_rows.set(m_pos, i, m_buffer[static_cast<std::size_t>(i)]);
    m_indexes.changed(m_rows, m_pos, before);
}

void RecordSet::saveNew()
{
    const qint64 rowid = m_writer->insert(m_buffer, m_touched);
    m_rows.append(rowid, m_buffer);
    m_indexes.added(m_rows, RecordCount() - 1);
}

void RecordSet::Close()
{
    CancelUpdate();
    m_rows = RecordRows(FieldCount());
    m_indexes = RecordIndexes();
    m_pos = 0;
    m_noMatch = false;
}

void RecordSet::checkField(int field) const
{
    if (field < 0 || field >= FieldCount())
        throw UserError(QStringLiteral("Il campo %1 non esiste nel database «%2».").arg(field).arg(m_fileName));
}

int RecordSet::fieldByName(const QString &name) const
{
    // Names are mostly written as the table writes them.
    for (int i = 0; i < FieldCount(); ++i)
        if (m_fields[static_cast<std::size_t>(i)].name == name)
            return i;
    for (int i = 0; i < FieldCount(); ++i)
        if (m_fields[static_cast<std::size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw UserError(QStringLiteral("Il campo %1 non esiste nel database «%2».").arg(name, m_fileName));
}

QVariant RecordSet::Field(int field) const
{
    checkField(field);
    if (Editing())
        return m_buffer[static_cast<std::size_t>(field)];
    if (Eof())
        throw UserError(QStringLiteral("Nessun record corrente nel database «%1».").arg(m_fileName));
    return m_rows.value(m_pos, field);
}

void RecordSet::setField(int field, const QVariant &v)
{
    checkField(field);
    const FieldInfo &info = m_fields[static_cast<std::size_t>(field)];
    if (!Editing())
        throw UserError(QStringLiteral("Il record non è aperto per la modifica nel database «%1».").arg(m_fileName));
    if (!info.isColumn)
        throw UserError(QStringLiteral("Il campo %1 non si può modificare.").arg(info.name));
    m_buffer[static_cast<std::size_t>(field)] = StoredValue::toStored(info.affinity, v, m_locale, info.name);
    m_touched[static_cast<std::size_t>(field)] = true;
}

void RecordSet::FindFirst(const std::vector<Criterion> &criteria)
{
    CancelUpdate();
    RecordIndexes::WantedList wanted;
    for (const Criterion &c : criteria)
        wanted.emplace_back(fieldByName(c.field), c.value);
    const auto found = m_indexes.findFirst(m_rows, std::move(wanted));
    m_noMatch = !found;
    if (found)
        m_pos = *found;
}
