// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

class GridTexts;
class QWidget;

/// Opens a new export window holding the grid's report and returns when it is closed.
void showExport(QWidget *parent, const GridTexts &grid, bool byPercentage);

/// The "E&sporta" command: tells the user when the grid shows no member,
/// otherwise shows the report modally. Returns whether the window was shown.
bool exportReport(QWidget *parent, const GridTexts &grid, bool byPercentage);
