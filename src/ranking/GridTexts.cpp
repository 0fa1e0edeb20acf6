// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/GridTexts.h"

#include "core/Failure.h"

#include <algorithm>
#include <limits>

GridTexts::GridTexts()
    : m_rows(1)
{
    m_colWidths.fill(960);
}

void GridTexts::setRows(int rows)
{
    const std::size_t before = m_rows.size();
    m_rows.resize(static_cast<std::size_t>(std::max(rows, 1)));
    // A grid cleared before it is rebuilt gives its storage back at once,
    // not when the new grid replaces it.
    if (m_rows.size() < before / 2)
        m_rows.shrink_to_fit();
}

GridTexts::RowTexts GridTexts::row(int row) const
{
    RowTexts texts;
    for (int c = 0; c < Cols; ++c)
        texts[static_cast<std::size_t>(c)] = TextMatrix(row, c);
    return texts;
}

void GridTexts::setRow(int row, const RowTexts &texts)
{
    Row &r = m_rows[static_cast<std::size_t>(row)];
    qsizetype length = 0;
    for (const QStringView text : texts)
        length += text.size();
    if (length > std::numeric_limits<qint32>::max())
        throw UserError(QStringLiteral("Riga %1 della griglia: i testi sono troppo lunghi.").arg(row));
    // Written into a new string, which then replaces the old: the texts may
    // point into the old one.
    QString joined;
    if (length > 0) {
        joined.resize(length);
        QChar *out = joined.data();
        for (std::size_t c = 0; c < texts.size(); ++c) {
            out = std::copy(texts[c].begin(), texts[c].end(), out);
            r.ends[c] = static_cast<qint32>(out - joined.constData());
        }
    } else {
        r.ends.fill(0);
    }
    r.text = std::move(joined);
}

void GridTexts::setTextMatrix(int row, int col, QStringView text)
{
    RowTexts texts = this->row(row);
    texts[static_cast<std::size_t>(col)] = text;
    setRow(row, texts);
}
