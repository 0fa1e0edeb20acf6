// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

/// The records of a record set as the table holds them: each record's
/// rowid and its field values, row by row. The values lie in blocks of a
/// fixed number of records, so that a set that grows never moves or copies
/// what it holds: one vector of 32,767 records of eight fields is 8 MB, and
/// a vector that doubles holds its old and its new storage at once.
class RecordRows
{
public:
    explicit RecordRows(int fieldCount = 0)
        : m_fieldCount(static_cast<std::size_t>(fieldCount))
    {
    }

    int fieldCount() const { return static_cast<int>(m_fieldCount); }
    qsizetype count() const { return static_cast<qsizetype>(m_rowids.size()); }
    qint64 rowid(qsizetype record) const { return m_rowids[static_cast<std::size_t>(record)]; }

    const QVariant &value(qsizetype record, int field) const { return fields(record)[field]; }
    QVariant &value(qsizetype record, int field) { return fields(record)[field]; }

    /// Appends a record; values holds fieldCount() values.
    void append(qint64 rowid, std::vector<QVariant> &&values)
    {
        QVariant *fields = append(rowid);
        for (QVariant &v : values)
            *fields++ = std::move(v);
    }

    /// Appends a record of Null fields, to be filled in through the
    /// pointer returned, valid as long as the record.
    QVariant *append(qint64 rowid)
    {
        const std::size_t record = m_rowids.size();
        if (record % blockRecords == 0)
            m_blocks.push_back(std::make_unique<QVariant[]>(blockRecords * m_fieldCount));
        m_rowids.push_back(rowid);
        return fields(static_cast<qsizetype>(record));
    }

private:
    static constexpr std::size_t blockRecords = 512;

    const QVariant *fields(qsizetype record) const
    {
        const auto r = static_cast<std::size_t>(record);
        return m_blocks[r / blockRecords].get() + (r % blockRecords) * m_fieldCount;
    }
    QVariant *fields(qsizetype record) { return const_cast<QVariant *>(std::as_const(*this).fields(record)); }

    std::size_t m_fieldCount;
    std::vector<qint64> m_rowids;
    std::vector<std::unique_ptr<QVariant[]>> m_blocks;
};
