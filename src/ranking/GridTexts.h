// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/Membri.h"

#include <QString>
#include <QStringView>

#include <array>
#include <vector>

/// The grid's columns: the fixed column 0, then one column for each field of
/// the ranking statement in the member table's field order (the position
/// number stands where that statement has an empty text for Valid).
enum GridColumn : int {
    ColFixed = 0,
    ColPos = Membri::Valid + 1,
    ColNick = Membri::Nick + 1,
    ColMadre = Membri::Madre + 1,
    ColGrado = Membri::Grado + 1,
    ColPuntiI = Membri::Punti1 + 1,
    ColPuntiF = Membri::Punti2 + 1,
    ColVar = Membri::Per + 1,
    ColIncr = Membri::Diff + 1,
};

/// The ranking grid's cells as texts: row 0 is the header row, column 0 the
/// fixed column, rows 1 to Rows() - 1 the members in display order.
///
/// A row keeps its cells' texts back to back in one string: at 32,767
/// members that is some 33,000 strings instead of 300,000, each with its
/// header and the heap's overhead, and one allocation a row each time a
/// row is written.
class GridTexts
{
public:
    static constexpr int Cols = ColIncr + 1;
    using RowTexts = std::array<QStringView, Cols>;

    GridTexts();

    int Rows() const { return static_cast<int>(m_rows.size()); }
    /// Sets the row count; surviving rows keep their texts, new rows are empty.
    void setRows(int rows);

    /// A cell's text; valid until its row is written again.
    QStringView TextMatrix(int row, int col) const
    {
        const Row &r = m_rows[static_cast<std::size_t>(row)];
        const qsizetype start = col == 0 ? 0 : r.ends[static_cast<std::size_t>(col) - 1];
        return QStringView(r.text).sliced(start, r.ends[static_cast<std::size_t>(col)] - start);
    }
    void setTextMatrix(int row, int col, QStringView text);
    /// Writes every cell of a row at once. The texts may be the row's own.
    void setRow(int row, const RowTexts &texts);
    /// Every cell of a row, for setRow.
    RowTexts row(int row) const;

    /// A header cell by its single index, row * Cols + col.
    void setTextArray(int index, QStringView text) { setTextMatrix(index / Cols, index % Cols, text); }

    /// Column widths in twips.
    int ColWidth(int col) const { return m_colWidths[static_cast<std::size_t>(col)]; }
    void setColWidth(int col, int twips) { m_colWidths[static_cast<std::size_t>(col)] = twips; }

private:
    struct Row
    {
        QString text;
        /// Where each cell's text ends in text.
        std::array<qint32, Cols> ends{};
    };

    std::vector<Row> m_rows;
    std::array<int, Cols> m_colWidths;
};
