// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "history/StoricoDati.h"
#include "ranking/Periodo.h"

#include <QLocale>
#include <QString>

class GridTexts;

namespace StoricoDati {

/// A member stands still in the posts from this many days on: where games
/// of this kind mark a player inactive.
constexpr qint64 giorniFermoMinimi = 7;

/// What the history tells of the grid's period. The lists behind the grid
/// are found by their scores: the end list is the newest snapshot whose
/// scores that are not 0 are, planet by planet, the grid's "Punti F.", and
/// the start list the newest snapshot before it whose scores are its
/// "Punti I." (an import and a comparison alike leave the member table so);
/// where several snapshots hold the same scores, a final one is taken for
/// the end and an initial one for the start. Where no pair of snapshots
/// fits, or a planet stands twice in the grid, the period has no dates. The members standing still are the grid's rows
/// with a final score whose planet the history holds in two snapshots or
/// more with Giorni fermo of giorniFermoMinimi or more.
Periodo periodoDellaGriglia(const Quadro &quadro, const GridTexts &grid, const QLocale &locale);

/// Reads the history of the database file and works out the grid's
/// period. Throws UserError naming the file.
Periodo leggiPeriodo(const QString &fileName, const GridTexts &grid, const QLocale &locale);

} // namespace StoricoDati
