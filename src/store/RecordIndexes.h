// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QHash>
#include <QString>
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

    /// A value as a search compares it: whole numbers alike whatever their
    /// C++ type, other numbers as they are, texts exactly as stored.
    struct KeyPart
    {
        enum class Kind : quint8 { Integer, Real, Text };
        Kind kind = Kind::Integer;
        qint64 integer = 0;
        double real = 0;
        QString text;

        friend bool operator==(const KeyPart &a, const KeyPart &b);
    };
    /// The values of an index's fields, in the order of its fields.
    using Key = QVarLengthArray<KeyPart, 2>;

private:
    /// The records that share a key, the first of them held apart: most
    /// keys belong to one record, and need nothing more.
    class Bucket
    {
    public:
        bool empty() const { return m_first < 0; }
        qsizetype first() const { return m_first; }
        void insert(qsizetype record);
        void erase(qsizetype record);

    private:
        qsizetype m_first = -1;
        std::set<qsizetype> m_rest;
    };

    struct Index
    {
        std::vector<int> fields;
        QHash<Key, Bucket> records;
    };

    Index &indexFor(const RecordRows &rows, const WantedList &wanted);

    std::vector<std::unique_ptr<Index>> m_indexes;
};

size_t qHash(const RecordIndexes::KeyPart &part, size_t seed = 0);
