// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/GridTexts.h"

GridTexts::GridTexts()
    : m_cells(Cols)
{
    m_colWidths.fill(960);
}

void GridTexts::setRows(int rows)
{
    m_rows = rows < 1 ? 1 : rows;
    m_cells.resize(static_cast<std::size_t>(m_rows) * Cols);
}
