// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/GridTexts.h"

GridTexts::GridTexts()
    : m_cells(Cols)
{
    m_colWidths.fill(960);
}

void GridTexts::setRows(int rows)
{
    const std::size_t before = m_cells.size();
    m_rows = rows < 1 ? 1 : rows;
    m_cells.resize(static_cast<std::size_t>(m_rows) * Cols);
    // A grid cleared before it is rebuilt gives its storage back at once,
    // not when the new grid replaces it.
    if (m_cells.size() < before / 2)
        m_cells.shrink_to_fit();
}
