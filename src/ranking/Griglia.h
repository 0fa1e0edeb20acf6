// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QLocale>
#include <QString>

class GridTexts;
class RecordSet;

/// Fills the grid with one row per record, field i in column i + 1, the
/// header row and the fixed column left empty.
void loadGrid(GridTexts &grid, RecordSet &records, const QLocale &locale);

/// The "#,##" form: a number grouped by thousands, zero as the empty text;
/// an empty text stays empty and a text that is not a number is unchanged.
QString formatGrouped(const QString &text, const QLocale &locale);

/// Formats the number cells of the data rows: grouped scores, the signed
/// percentage with " %", the signed points gained.
void FormattaGriglia(GridTexts &grid, const QLocale &locale);

/// Header captions, column widths in twips and position numbers.
void IntestaGriglia(GridTexts &grid);
