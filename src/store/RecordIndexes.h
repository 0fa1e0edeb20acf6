// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QHash>
#include <QVarLengthArray>
#include <QVariant>

#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

class RecordRows;

/// The indexes that answer a search: for every set of fields searched, the
/// records by their values. An index is built at the first search on its
/// fields and kept up to date as records are saved, so a search costs the
/// same whatever the number of records.
///
/// An index keeps no copy of the values: it files each record under the
/// hash of its fields' values, and the records filed together under one key
/// are told apart from those of another key with the same hash by the
/// values their first record holds in the rows.
class RecordIndexes
{
public:
    /// One condition: the field at this position equals this value.
    using Wanted = std::pair<int, QVariant>;
    /// The conditions of one search; a search rarely has more than two.
    using WantedList = QVarLengthArray<Wanted, 2>;

    /// The first record, in record order, whose fields equal every wanted
    /// value; values compare as values, and nothing equals Null.
    std::optional<qsizetype> findFirst(const RecordRows &rows, WantedList wanted);

    /// A record appended to rows.
    void added(const RecordRows &rows, qsizetype record);
    /// A record of rows whose fields held oldValues before it was saved.
    void changed(const RecordRows &rows, qsizetype record, const std::vector<QVariant> &oldValues);

private:
    /// The records that share a key, the first of them held apart: most
    /// keys belong to one record, and need nothing more.
    class Bucket
    {
    public:
        Bucket() = default;
        explicit Bucket(qsizetype record)
            : m_first(record)
        {
        }
        Bucket(const Bucket &other);
        Bucket &operator=(const Bucket &other);
        Bucket(Bucket &&) noexcept = default;
        Bucket &operator=(Bucket &&) noexcept = default;
        ~Bucket() = default;

        bool empty() const { return m_first < 0; }
        qsizetype first() const { return m_first; }
        bool contains(qsizetype record) const;
        void insert(qsizetype record);
        void erase(qsizetype record);

    private:
        qsizetype m_first = -1;
        std::unique_ptr<std::set<qsizetype>> m_rest;
    };

    /// The keys whose values hash alike: almost always one.
    using Slot = QVarLengthArray<Bucket, 1>;

    struct Index
    {
        std::vector<int> fields;
        QHash<size_t, Slot> byHash; // by the hash of the key's values
    };

    Index &indexFor(const RecordRows &rows, const WantedList &wanted);

    std::vector<std::unique_ptr<Index>> m_indexes;
};
