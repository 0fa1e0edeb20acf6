// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/RecordIndexes.h"

#include "store/RecordRows.h"
#include "store/StoredValue.h"

#include <QHashFunctions>
#include <QString>

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace {

/// A value as a search compares it: whole numbers alike whatever their C++
/// type, other numbers as they are, texts exactly as stored.
struct KeyPart
{
    enum class Kind : quint8 { Integer, Real, Text };
    Kind kind = Kind::Integer;
    qint64 integer = 0;
    double real = 0;
    QString text;
};

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

size_t hashOf(const KeyPart &part)
{
    switch (part.kind) {
    case KeyPart::Kind::Integer:
        return qHash(part.integer);
    case KeyPart::Kind::Real:
        return std::isnan(part.real) ? 0 : qHash(part.real);
    case KeyPart::Kind::Text:
        return qHash(part.text);
    }
    return 0;
}

/// The values of an index's fields, in the order of its fields.
using Key = QVarLengthArray<KeyPart, 2>;

size_t hashOf(const Key &key)
{
    size_t hash = size_t(key.size());
    for (const KeyPart &part : key)
        hash ^= hashOf(part) + size_t(0x9e3779b97f4a7c15ULL) + (hash << 6) + (hash >> 2);
    return hash;
}

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
    return keyOf(fields.size(), [&](std::size_t i) { return rows.peek(record, fields[i]); });
}

// True when the record's fields hold the key. A text or a whole number, the
// common keys, is compared as it stands; anything else as a key part.
bool holds(const std::vector<int> &fields, const RecordRows &rows, qsizetype record, const Key &key)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QVariant v = rows.peek(record, fields[i]);
        const KeyPart &part = key[qsizetype(i)];
        if (v.typeId() == QMetaType::LongLong && part.kind == KeyPart::Kind::Integer) {
            if (*static_cast<const qlonglong *>(v.constData()) != part.integer)
                return false;
            continue;
        }
        // A text equal to a stored text is one; an unequal one may still
        // store as it, if it holds what storing replaces.
        if (v.typeId() == QMetaType::QString && part.kind == KeyPart::Kind::Text
            && *static_cast<const QString *>(v.constData()) == part.text)
            continue;
        const auto own = keyPart(v);
        if (!own || !(*own == part))
            return false;
    }
    return true;
}

// True when the record's fields of the index hold the very values they held.
bool unchanged(const std::vector<int> &fields, const RecordRows &rows, qsizetype record,
               const std::vector<QVariant> &oldValues)
{
    return std::all_of(fields.cbegin(), fields.cend(), [&](int field) {
        const QVariant &before = oldValues[static_cast<std::size_t>(field)];
        const QVariant now = rows.peek(record, field);
        return before.typeId() == now.typeId() && before == now;
    });
}

// Files the record, whose key is given, with the records of that key in the
// index, or alone (an index's type is private to RecordIndexes: deduced).
template <typename Index> void file(Index &index, const RecordRows &rows, qsizetype record, const Key &key)
{
    auto &slot = index.byHash[hashOf(key)];
    for (auto &bucket : slot) {
        if (holds(index.fields, rows, bucket.first(), key)) {
            bucket.insert(record);
            return;
        }
    }
    slot.append(typename std::decay_t<decltype(slot)>::value_type(record));
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
    const auto slot = index.byHash.constFind(hashOf(*key));
    if (slot == index.byHash.constEnd())
        return std::nullopt;
    for (const Bucket &bucket : *slot)
        if (holds(index.fields, rows, bucket.first(), *key))
            return bucket.first();
    return std::nullopt;
}

void RecordIndexes::added(const RecordRows &rows, qsizetype record)
{
    for (const auto &index : m_indexes)
        if (const auto key = recordKey(index->fields, rows, record))
            file(*index, rows, record, *key);
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
            // Found by the record itself: its row holds its new values now.
            const auto slot = index->byHash.find(hashOf(*oldKey));
            if (slot != index->byHash.end()) {
                for (qsizetype b = 0; b < slot->size(); ++b) {
                    Bucket &bucket = (*slot)[b];
                    if (bucket.contains(record)) {
                        bucket.erase(record);
                        if (bucket.empty())
                            slot->remove(b);
                        break;
                    }
                }
                if (slot->isEmpty())
                    index->byHash.erase(slot);
            }
        }
        if (newKey)
            file(*index, rows, record, *newKey);
    }
}

RecordIndexes::Bucket::Bucket(const Bucket &other)
    : m_first(other.m_first)
    , m_rest(other.m_rest ? std::make_unique<std::set<qsizetype>>(*other.m_rest) : nullptr)
{
}

RecordIndexes::Bucket &RecordIndexes::Bucket::operator=(const Bucket &other)
{
    if (this != &other) {
        m_first = other.m_first;
        m_rest = other.m_rest ? std::make_unique<std::set<qsizetype>>(*other.m_rest) : nullptr;
    }
    return *this;
}

bool RecordIndexes::Bucket::contains(qsizetype record) const
{
    return record == m_first || (m_rest && m_rest->count(record) > 0);
}

void RecordIndexes::Bucket::insert(qsizetype record)
{
    if (m_first < 0) {
        m_first = record;
        return;
    }
    if (!m_rest)
        m_rest = std::make_unique<std::set<qsizetype>>();
    if (record < m_first) {
        m_rest->insert(m_rest->begin(), m_first);
        m_first = record;
    } else {
        // Records mostly come in order: the end is then the place.
        m_rest->insert(m_rest->end(), record);
    }
}

void RecordIndexes::Bucket::erase(qsizetype record)
{
    if (record != m_first) {
        if (m_rest)
            m_rest->erase(record);
    } else if (!m_rest) {
        m_first = -1;
    } else {
        m_first = *m_rest->begin();
        m_rest->erase(m_rest->begin());
    }
    if (m_rest && m_rest->empty())
        m_rest.reset();
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
    index->byHash.reserve(rows.count());
    for (qsizetype r = 0; r < rows.count(); ++r)
        if (const auto key = recordKey(index->fields, rows, r))
            file(*index, rows, r, *key);
    m_indexes.push_back(std::move(index));
    return *m_indexes.back();
}
