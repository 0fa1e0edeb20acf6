// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

class GridTexts;

/// The plain-text report of the grid as shown: one CR LF-terminated line per
/// member row with a final score, the change taken from "var. %" when sorted
/// by percentage, else from "incr.p.".
QString buildReport(const GridTexts &grid, bool byPercentage);
