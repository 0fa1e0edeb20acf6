// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/Storico.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QPointF>
#include <QString>

#include <utility>
#include <vector>

/// What the history window shows, worked out from the snapshots and score
/// rows the history holds: the table of snapshots, the table of members (one
/// row per home planet) and the chart's series. Plain code; the tables'
/// models (ModelloRilevazioni, ModelloMembri) are Qt Core models over it.
namespace StoricoDati {

/// One snapshot with its totals.
struct RigaRilevazione
{
    qint64 id = 0;
    QString quandoTesto; // Quando as stored
    QDateTime quando;    // invalid when Quando does not read as a date and time
    int tipo = 0;
    qint64 membri = 0; // its lines
    qint64 puntiTotali = 0;
};

/// One home planet found in any snapshot. Where a snapshot holds the planet
/// twice, its first line counts.
struct RigaMadre
{
    QString madre;
    QString nick;                 // of the latest snapshot holding it (see assegnaNomi)
    QString grado;                // of the latest snapshot holding it
    qint64 ultimaRilevazione = 0; // that snapshot's Id
    qint64 ultimaRiga = 0;        // and the line there
    qint64 prima = 0;             // score in the earliest snapshot holding it
    qint64 ultima = 0;            // score in the latest one
    qint64 variazione = 0;
    int rilevazioni = 0;
    /// Whole calendar days (contaGiorni) its score has stood still: from
    /// the first of the run of equal scores that ends its course to the
    /// last snapshot holding it; 0 when the latest score differs from the
    /// one before, or when the time of either does not read or runs
    /// backwards.
    qint64 giorniFermo = 0;
    /// Its score in every snapshot holding it, oldest first: the index of
    /// the snapshot in Quadro::rilevazioni, and the score.
    std::vector<std::pair<int, qint64>> punti;
};

struct Quadro
{
    /// Newest first: by Id, the order they were taken in.
    std::vector<RigaRilevazione> rilevazioni;
    /// By change from highest to lowest, then by Ultima from highest to
    /// lowest, then by Madre.
    std::vector<RigaMadre> madri;
};

/// Whole calendar days from da to a, local times as stored: the days
/// between their dates, one less when a's time of day is earlier than da's,
/// so that a week is 7 days whatever the clock did in between; 0 when a is
/// not later by a whole day, or when either lacks a valid date or time.
qint64 contaGiorni(const QDateTime &da, const QDateTime &a);

/// Works out the window's contents, but the members' Nick and Grado, in
/// time linear in the history's size (a sort of each member's few lines
/// aside), reordering the history's rows in place rather than copying
/// them. Score rows of an unknown snapshot are left out.
Quadro componi(Storico::Storia storia);

/// The snapshots whose lines name the members: each member's latest.
QList<qint64> rilevazioniDeiNomi(const Quadro &quadro);
/// Gives each member Nick and Grado of its line in its latest snapshot.
void assegnaNomi(Quadro &quadro, const std::vector<Storico::Nome> &nomi);

/// "Data": the date and time in the locale's short format, or Quando as
/// stored when it does not read as one.
QString testoData(const RigaRilevazione &r, const QLocale &locale);
/// "Tipo": "Iniziale", "Finale", or the number as stored.
QString testoTipo(int tipo);
/// A change grouped by thousands, with "+" when positive.
QString testoVariazione(qint64 variazione, const QLocale &locale);

/// The chart's title: the alliance's total with no member (madre < 0),
/// otherwise that member's points.
QString titoloGrafico(const Quadro &quadro, int madre);
/// The chart's points, oldest first: x is the time in milliseconds since
/// the epoch, y the points. With no member (madre < 0) the total of every
/// snapshot, otherwise that member's score in every snapshot holding it.
/// Snapshots without a readable time are left out.
QList<QPointF> serie(const Quadro &quadro, int madre);

/// The role that gives a cell's value for sorting: numbers as numbers.
constexpr int SortRole = Qt::UserRole;

} // namespace StoricoDati
