// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

#include <vector>

/// What the history tells of the period the grid shows: the dates of the
/// two lists behind it and the members whose score has stood still. The
/// history works it out; the posts of the export say it.
struct Periodo
{
    /// A member of the grid whose score has not changed for some days.
    struct Fermo
    {
        QString nick;
        qint64 giorni = 0;
    };

    /// The dates of the start and the end list, as the locale writes them;
    /// both empty where the history cannot tell which lists they are.
    QString dal;
    QString al;
    /// Whole days from the start list to the end list, when both are known.
    qint64 giorni = 0;
    /// The members the report lists whose score has stood still for at
    /// least a week, most days first.
    std::vector<Fermo> fermi;

    bool datato() const { return !dal.isEmpty() && !al.isEmpty(); }
};
