// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QByteArray>
#include <QLocale>

class GridTexts;

/// The grid as shown, as a CSV file for a spreadsheet of the locale
/// (CsvWriter): the header row with the grid's captions, then every row in
/// display order. Numbers as such a spreadsheet reads them: without
/// thousands separators, the percentage without " %" and no "+" before a
/// gain; other texts as shown.
QByteArray csvGriglia(const GridTexts &grid, const QLocale &locale);
