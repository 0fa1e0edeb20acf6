// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QHash>
#include <QString>
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

    /// The first record, in record order, whose fields equal every wanted
    /// value; values compare as values, and nothing equals Null.
    std::optional<qsizetype> findFirst(const RecordRows &rows, std::vector<Wanted> wanted);

    /// A record appended to rows.
    void added(const RecordRows &rows, qsizetype record);
    /// A record of rows whose fields held oldValues before it was saved.
    void changed(const RecordRows &rows, qsizetype record, const std::vector<QVariant> &oldValues);

private:
    struct Index
    {
        std::vector<int> fields;
        QHash<QString, std::set<qsizetype>> records;
    };

    Index &indexFor(const RecordRows &rows, std::vector<int> fields);

    std::vector<std::unique_ptr<Index>> m_indexes;
};
