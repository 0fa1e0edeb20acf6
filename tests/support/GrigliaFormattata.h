// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "ranking/GridTexts.h"
#include "ranking/Griglia.h"
#include "ranking/LocaleNumbers.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <vector>

/// A member of a grid made for a test: a score of 0 stands for none.
struct MembroDiProva
{
    QString nick, madre, grado;
    qint64 da = 0, a = 0;
};

/// The grid of the members in the given order, its texts as the main
/// window makes them under the locale: loaded as the records would be
/// (the change where both scores are there, the percentage rounded to two
/// decimals), then formatted and headed by the grid's own code.
inline GridTexts grigliaFormattata(const std::vector<MembroDiProva> &membri, const QLocale &locale)
{
    const LocaleNumbers numbers(locale);
    GridTexts grid;
    grid.setRows(static_cast<int>(membri.size()) + 1);
    for (std::size_t i = 0; i < membri.size(); ++i) {
        const MembroDiProva &m = membri[i];
        const int row = static_cast<int>(i) + 1;
        grid.setTextMatrix(row, ColNick, m.nick);
        grid.setTextMatrix(row, ColMadre, m.madre);
        grid.setTextMatrix(row, ColGrado, m.grado);
        if (m.da != 0)
            grid.setTextMatrix(row, ColPuntiI, QString::number(m.da));
        if (m.a != 0)
            grid.setTextMatrix(row, ColPuntiF, QString::number(m.a));
        if (m.da != 0 && m.a != 0) {
            const double per = std::round(static_cast<double>(m.a - m.da) * 10000.0 / static_cast<double>(m.da));
            grid.setTextMatrix(row, ColVar, numbers.shortest(static_cast<float>(per / 100.0)));
            grid.setTextMatrix(row, ColIncr, QString::number(m.a - m.da));
        }
    }
    FormattaGriglia(grid, locale);
    IntestaGriglia(grid);
    return grid;
}
