// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/Membri.h"

#include <QString>

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
class GridTexts
{
public:
    static constexpr int Cols = ColIncr + 1;

    GridTexts();

    int Rows() const { return m_rows; }
    /// Sets the row count; surviving rows keep their texts, new rows are empty.
    void setRows(int rows);

    const QString &TextMatrix(int row, int col) const { return m_cells[index(row, col)]; }
    void setTextMatrix(int row, int col, const QString &text) { m_cells[index(row, col)] = text; }

    /// A header cell by its single index, row * Cols + col.
    void setTextArray(int index, const QString &text) { m_cells[static_cast<std::size_t>(index)] = text; }

    /// Column widths in twips.
    int ColWidth(int col) const { return m_colWidths[static_cast<std::size_t>(col)]; }
    void setColWidth(int col, int twips) { m_colWidths[static_cast<std::size_t>(col)] = twips; }

private:
    static std::size_t index(int row, int col)
    {
        return static_cast<std::size_t>(row) * Cols + static_cast<std::size_t>(col);
    }

    int m_rows = 1;
    std::vector<QString> m_cells;
    std::array<int, Cols> m_colWidths;
};
