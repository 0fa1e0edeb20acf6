// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/RecordIndexes.h"

#include "store/RecordRows.h"
#include "store/StoredValue.h"

#include <algorithm>
#include <cmath>

namespace {

// A value as a key: numbers that are whole compare equal whatever their
// C++ type; texts compare exactly, as SQLite gives them back.
std::optional<QString> keyPart(const QVariant &v)
{
    if (StoredValue::isNull(v))
        return std::nullopt;
    if (StoredValue::isIntegral(v))
        return QLatin1Char('i') + QString::number(v.toLongLong());
    if (StoredValue::isFloating(v)) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15)
            return QLatin1Char('i') + QString::number(static_cast<qint64>(d));
        return QLatin1Char('d') + QString::number(d, 'g', 17);
    }
    return QLatin1Char('t') + StoredValue::storedText(v.toString());
}

// The key of several values, each prefixed with its length so that no two
// lists of values share a key; none when a value is Null.
template <typename ValueAt> std::optional<QString> keyOf(const std::vector<int> &fields, ValueAt valueAt)
{
    QString key;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto part = keyPart(valueAt(i));
        if (!part)
            return std::nullopt;
        key += QString::number(part->size());
        key += QLatin1Char(':');
        key += *part;
    }
    return key;
}

std::optional<QString> recordKey(const std::vector<int> &fields, const RecordRows &rows, qsizetype record)
{
    return keyOf(fields, [&](std::size_t i) -> const QVariant & { return rows.value(record, fields[i]); });
}

} // namespace

std::optional<qsizetype> RecordIndexes::findFirst(const RecordRows &rows, std::vector<Wanted> wanted)
{
    std::sort(wanted.begin(), wanted.end(), [](const Wanted &a, const Wanted &b) { return a.first < b.first; });
    std::vector<int> fields;
    for (const Wanted &w : wanted)
        fields.push_back(w.first);
    const auto key = keyOf(fields, [&](std::size_t i) -> const QVariant & { return wanted[i].second; });
    if (!key)
        return std::nullopt;
    const Index &index = indexFor(rows, std::move(fields));
    const auto it = index.records.constFind(*key);
    if (it == index.records.constEnd() || it->empty())
        return std::nullopt;
    return *it->begin();
}

void RecordIndexes::added(const RecordRows &rows, qsizetype record)
{
    for (const auto &index : m_indexes)
        if (const auto key = recordKey(index->fields, rows, record))
            index->records[*key].insert(record);
}

void RecordIndexes::changed(const RecordRows &rows, qsizetype record, const std::vector<QVariant> &oldValues)
{
    for (const auto &index : m_indexes) {
        const std::vector<int> &fields = index->fields;
        const auto oldKey = keyOf(
            fields, [&](std::size_t i) -> const QVariant & { return oldValues[static_cast<std::size_t>(fields[i])]; });
        const auto newKey = recordKey(fields, rows, record);
        if (oldKey == newKey)
            continue;
        if (oldKey) {
            const auto it = index->records.find(*oldKey);
            if (it != index->records.end()) {
                it->erase(record);
                if (it->empty())
                    index->records.erase(it);
            }
        }
        if (newKey)
            index->records[*newKey].insert(record);
    }
}

RecordIndexes::Index &RecordIndexes::indexFor(const RecordRows &rows, std::vector<int> fields)
{
    for (const auto &index : m_indexes)
        if (index->fields == fields)
            return *index;
    auto index = std::make_unique<Index>();
    index->fields = std::move(fields);
    for (qsizetype r = 0; r < rows.count(); ++r)
        if (const auto key = recordKey(index->fields, rows, r))
            index->records[*key].insert(r);
    m_indexes.push_back(std::move(index));
    return *m_indexes.back();
}
