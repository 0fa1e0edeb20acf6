// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QVariant>

#include <vector>

/// The records of a record set as the table holds them: each record's
/// rowid and its field values, row by row.
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

    const QVariant &value(qsizetype record, int field) const { return m_values[slot(record, field)]; }
    QVariant &value(qsizetype record, int field) { return m_values[slot(record, field)]; }

    /// Appends a record; values holds fieldCount() values.
    void append(qint64 rowid, std::vector<QVariant> &&values)
    {
        QVariant *fields = append(rowid);
        for (QVariant &v : values)
            *fields++ = std::move(v);
    }

    /// Appends a record of Null fields, to be filled in through the
    /// pointer returned, valid until the next append.
    QVariant *append(qint64 rowid)
    {
        m_rowids.push_back(rowid);
        m_values.resize(m_values.size() + m_fieldCount);
        return m_values.data() + (m_values.size() - m_fieldCount);
    }

private:
    std::size_t slot(qsizetype record, int field) const
    {
        return static_cast<std::size_t>(record) * m_fieldCount + static_cast<std::size_t>(field);
    }

    std::size_t m_fieldCount;
    std::vector<qint64> m_rowids;
    std::vector<QVariant> m_values;
};
