// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <functional>

class GridTexts;
class QWidget;
struct Periodo;

/// Reads what the history tells of the grid's period. Throws UserError.
using LeggiPeriodo = std::function<Periodo()>;

/// Opens a new export window holding the grid's report and returns when it
/// is closed. The other formats are made when chosen; the history is read
/// for them, once, by leggiPeriodo (none: the posts say nothing of it).
void showExport(QWidget *parent, const GridTexts &grid, bool byPercentage, const LeggiPeriodo &leggiPeriodo = {});

/// The "E&sporta" command: tells the user when the grid shows no member,
/// otherwise shows the report modally. Returns whether the window was shown.
bool exportReport(QWidget *parent, const GridTexts &grid, bool byPercentage, const LeggiPeriodo &leggiPeriodo = {});
