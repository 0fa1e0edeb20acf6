// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/Report.h"

#include "ranking/GridTexts.h"

#include <QStringView>

#include <array>

namespace {

using Pieces = std::array<QStringView, 11>;

// The pieces of one member's line; false when the row gives no line.
// Both passes of buildReport go through here, so they cannot disagree.
bool linePieces(const GridTexts &grid, int row, bool byPercentage, Pieces &pieces)
{
    QStringView start = grid.TextMatrix(row, ColPuntiI);
    QStringView percent = grid.TextMatrix(row, ColVar);
    QStringView gain = grid.TextMatrix(row, ColIncr);
    if (start.isEmpty())
        start = u"?";
    // Compared with the text, not with the emptiness: a cell that reads "?"
    // counts as an unknown start score too.
    if (start == u"?")
        percent = gain = u"nuovo entrato";
    const QStringView change = byPercentage ? percent : gain;

    const QStringView end = grid.TextMatrix(row, ColPuntiF);
    if (end.isEmpty())
        return false;

    pieces = {grid.TextMatrix(row, ColPos),
              u" - ",
              grid.TextMatrix(row, ColNick),
              u"  |  da ",
              start,
              u" a ",
              end,
              u"  (",
              change,
              u")",
              u"\r\n"};
    return true;
}

} // namespace

QString buildReport(const GridTexts &grid, bool byPercentage)
{
    const int last = grid.Rows() - 1;
    Pieces pieces;

    // Measured first, so that a grid of any size is written in one allocation.
    qsizetype length = 0;
    for (int row = 1; row <= last; ++row) {
        if (!linePieces(grid, row, byPercentage, pieces))
            continue;
        for (const QStringView piece : pieces)
            length += piece.size();
    }

    QString report;
    report.reserve(length);
    for (int row = 1; row <= last; ++row) {
        if (!linePieces(grid, row, byPercentage, pieces))
            continue;
        for (const QStringView piece : pieces)
            report.append(piece);
    }
    return report;
}
