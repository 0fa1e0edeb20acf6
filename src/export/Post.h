// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <vector>

class GridTexts;
struct Periodo;

/// What the forum post and the Discord post say, as plain texts: the
/// period, the alliance's total, the ranking of the report and the lists
/// of newcomers, leavers and members standing still. Each post writes it
/// in its own markup.
struct Post
{
    /// How a change is shown: a gain and a loss each in a colour of its own.
    enum Segno { Nullo, Guadagno, Perdita };

    /// One line of the ranking, as the report has it.
    struct Riga
    {
        QString pos, nick, da, a, variazione;
        Segno segno = Nullo;
    };

    /// A member in a list, with a score or a number of days.
    struct Voce
    {
        QString nick, valore;
    };

    struct Sezione
    {
        QString titolo;
        std::vector<Voce> voci;
    };

    /// The title, with the period's dates and days where the history knows them.
    QString titolo;
    /// The alliance's total at the start and at the end, and its change in
    /// points and percent (empty when the start total is 0).
    QString totaleDa, totaleA, totaleVariazione, totalePercento;
    Segno segnoTotale = Nullo;
    QString titoloClassifica;
    /// The grid's captions of the ranking's columns: position, nick, start,
    /// end and the change the chosen order shows.
    std::array<QString, 5> colonne;
    std::vector<Riga> classifica;
    /// "Nuovi entrati", "Usciti", "Fermi da almeno 7 giorni": those that
    /// have a member, in this order.
    std::vector<Sezione> sezioni;
};

/// The post of the grid as shown, sorted by percentage or by points
/// gained: the rows and texts of the report, the totals over every row,
/// and what the history tells of the period. Numbers as the grid writes
/// them under the locale.
Post componiPost(const GridTexts &grid, bool byPercentage, const Periodo &periodo, const QLocale &locale);
