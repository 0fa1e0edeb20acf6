// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/RecordIndexes.h"

#include "store/RecordRows.h"
#include "store/StoredValue.h"

#include <QHashFunctions>

#include <algorithm>
#include <cmath>

using Key = RecordIndexes::Key;
using KeyPart = RecordIndexes::KeyPart;

bool operator==(const KeyPart &a, const KeyPart &b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case KeyPart::Kind::Integer:
        return a.integer == b.integer;
    case KeyPart::Kind::Real:
        return a.real == b.real || (std::isnan(a.real) && std::isnan(b.real));
    case KeyPart::Kind::Text:
        return a.text == b.text;
    }
    return false;
}

size_t qHash(const KeyPart &part, size_t seed)
{
    switch (part.kind) {
    case KeyPart::Kind::Integer:
        return qHash(part.integer, seed);
    case KeyPart::Kind::Real:
        return std::isnan(part.real) ? seed : qHash(part.real, seed);
    case KeyPart::Kind::Text:
        return qHash(part.text, seed);
    }
    return seed;
}

namespace {

// A value as a key part; none for Null, which equals nothing.
std::optional<KeyPart> keyPart(const QVariant &v)
{
    KeyPart part;
    // Texts and whole numbers, the common keys, are told apart first.
    switch (v.typeId()) {
    case QMetaType::QString:
        part.kind = KeyPart::Kind::Text;
        part.text = StoredValue::storedText(*static_cast<const QString *>(v.constData()));
        return part;
    case QMetaType::LongLong:
        part.integer = *static_cast<const qlonglong *>(v.constData());
        return part;
    default:
        break;
    }
    if (StoredValue::isNull(v))
        return std::nullopt;
    if (StoredValue::isIntegral(v)) {
        part.integer = v.toLongLong();
    } else if (StoredValue::isFloating(v)) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15) {
            part.integer = static_cast<qint64>(d);
        } else {
            part.kind = KeyPart::Kind::Real;
            part.real = d;
        }
    } else {
        part.kind = KeyPart::Kind::Text;
        part.text = StoredValue::storedText(v.toString());
    }
    return part;
}

// The key of an index's fields; none when a value is Null.
template <typename ValueAt> std::optional<Key> keyOf(std::size_t fields, ValueAt valueAt)
{
    Key key;
    for (std::size_t i = 0; i < fields; ++i) {
        auto part = keyPart(valueAt(i));
        if (!part)
            return std::nullopt;
        key.push_back(std::move(*part));
    }
    return key;
}

std::optional<Key> recordKey(const std::vector<int> &fields, const RecordRows &rows, qsizetype record)
{
    return keyOf(fields.size(), [&](std::size_t i) -> const QVariant & { return rows.value(record, fields[i]); });
}

// True when the record's fields of the index hold the very values they held.
bool unchanged(const std::vector<int> &fields, const RecordRows &rows, qsizetype record,
               const std::vector<QVariant> &oldValues)
{
    return std::all_of(fields.cbegin(), fields.cend(), [&](int field) {
        const QVariant &before = oldValues[static_cast<std::size_t>(field)];
        const QVariant &now = rows.value(record, field);
        return before.typeId() == now.typeId() && before == now;
    });
}

} // namespace

std::optional<qsizetype> RecordIndexes::findFirst(const RecordRows &rows, WantedList wanted)
{
    std::sort(wanted.begin(), wanted.end(), [](const Wanted &a, const Wanted &b) { return a.first < b.first; });
    const auto key = keyOf(std::size_t(wanted.size()),
                           [&](std::size_t i) -> const QVariant & { return wanted[qsizetype(i)].second; });
    if (!key)
        return std::nullopt;
    const Index &index = indexFor(rows, wanted);
    const auto it = index.records.constFind(*key);
    if (it == index.records.constEnd() || it->empty())
        return std::nullopt;
    return it->first();
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
        if (unchanged(fields, rows, record, oldValues))
            continue;
        const auto oldKey = keyOf(fields.size(), [&](std::size_t i) -> const QVariant & {
            return oldValues[static_cast<std::size_t>(fields[i])];
        });
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

void RecordIndexes::Bucket::insert(qsizetype record)
{
    if (m_first < 0) {
        m_first = record;
    } else if (record < m_first) {
        m_rest.insert(m_rest.begin(), m_first);
        m_first = record;
    } else {
        // Records mostly come in order: the end is then the place.
        m_rest.insert(m_rest.end(), record);
    }
}

void RecordIndexes::Bucket::erase(qsizetype record)
{
    if (record != m_first) {
        m_rest.erase(record);
    } else if (m_rest.empty()) {
        m_first = -1;
    } else {
        m_first = *m_rest.begin();
        m_rest.erase(m_rest.begin());
    }
}

RecordIndexes::Index &RecordIndexes::indexFor(const RecordRows &rows, const WantedList &wanted)
{
    const auto sameFields = [&](const Index &index) {
        return std::equal(index.fields.cbegin(), index.fields.cend(), wanted.cbegin(), wanted.cend(),
                          [](int field, const Wanted &w) { return field == w.first; });
    };
    for (const auto &index : m_indexes)
        if (sameFields(*index))
            return *index;
    auto index = std::make_unique<Index>();
    for (const Wanted &w : wanted)
        index->fields.push_back(w.first);
    index->records.reserve(rows.count());
    for (qsizetype r = 0; r < rows.count(); ++r)
        if (const auto key = recordKey(index->fields, rows, r))
            index->records[*key].insert(r);
    m_indexes.push_back(std::move(index));
    return *m_indexes.back();
}
