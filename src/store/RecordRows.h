// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "core/TextBlocks.h"
#include "store/SharedTexts.h"

#include <QStringView>
#include <QVariant>

#include <memory>
#include <vector>

/// The records of a record set as the table holds them: each record's
/// rowid and its field values, row by row.
///
/// A value takes 16 bytes: a whole number or a real in place, a text as a
/// piece of the rows' own store of texts, anything else (a blob) kept
/// apart. A QVariant takes 32 bytes and a text of its own another
/// allocation: 32,767 records of eight fields were 11 MB in 100,000 heap
/// blocks, and are 5 MB in a few hundred. The values and the texts lie in
/// blocks that never move, so that a set that grows never copies what it
/// holds, and a text once kept stays where it is as long as the rows live.
class RecordRows
{
public:
    explicit RecordRows(int fieldCount = 0);
    ~RecordRows();
    RecordRows(RecordRows &&) noexcept;
    RecordRows &operator=(RecordRows &&) noexcept;
    RecordRows(const RecordRows &) = delete;
    RecordRows &operator=(const RecordRows &) = delete;

    int fieldCount() const { return static_cast<int>(m_fieldCount); }
    qsizetype count() const { return static_cast<qsizetype>(m_rowids.size()); }
    qint64 rowid(qsizetype record) const { return m_rowids[static_cast<std::size_t>(record)]; }

    /// A field's value as it was set, with a text of its own.
    QVariant value(qsizetype record, int field) const;
    /// The same value for a comparison made at once: a text is read where
    /// the rows keep it, not copied, and must not outlive the rows.
    QVariant peek(qsizetype record, int field) const;
    void set(qsizetype record, int field, const QVariant &value);

    /// Appends a record of Null fields, for set to fill.
    void append(qint64 rowid);
    /// Appends a record; values holds fieldCount() values.
    void append(qint64 rowid, const std::vector<QVariant> &values);

private:
    enum class Kind : quint8 { Null, Integer, Real, Text, Other };

    struct Cell
    {
        union {
            qint64 integer = 0;
            double real;
            const char16_t *text;
            std::size_t other; // in m_others
        };
        quint32 size = 0; // of a text
        Kind kind = Kind::Null;
    };

    Cell &cell(qsizetype record, int field);
    const Cell &cell(qsizetype record, int field) const;
    QVariant valueOf(const Cell &c, bool copyText) const;
    const char16_t *keepText(int field, QStringView text);

    std::size_t m_fieldCount;
    std::vector<qint64> m_rowids;
    std::vector<std::unique_ptr<Cell[]>> m_cells;
    TextBlocks m_texts;
    std::vector<SharedTexts> m_fieldTexts; // a rank over every member is kept once
    std::vector<QVariant> m_others;
};
