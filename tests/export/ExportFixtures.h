// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "ranking/GridTexts.h"

#include <QList>
#include <QMetaType>
#include <QString>

/// The texts of one member row of the grid, columns 1 to 8.
struct MemberRow
{
    QString pos, nick, madre, grado, punti1, punti2, per, diff;
};
Q_DECLARE_METATYPE(MemberRow)

/// A grid holding the header captions and the given member rows in order.
inline GridTexts gridOf(const QList<MemberRow> &rows)
{
    GridTexts grid;
    grid.setRows(static_cast<int>(rows.size()) + 1);
    const QString captions[] = {QStringLiteral("Pos."),   QStringLiteral("Nick"),     QStringLiteral("Madre"),
                                QStringLiteral("Grado"),  QStringLiteral("Punti I."), QStringLiteral("Punti F."),
                                QStringLiteral("var. %"), QStringLiteral("incr.p.")};
    for (int col = 1; col <= 8; ++col)
        grid.setTextMatrix(0, col, captions[col - 1]);
    for (int r = 0; r < rows.size(); ++r) {
        const MemberRow &m = rows.at(r);
        const QString cells[] = {m.pos, m.nick, m.madre, m.grado, m.punti1, m.punti2, m.per, m.diff};
        for (int col = 1; col <= 8; ++col)
            grid.setTextMatrix(r + 1, col, cells[col - 1]);
    }
    return grid;
}

/// Four members under an Italian locale: two complete, one new, one without final data.
inline QList<MemberRow> workedExampleRows()
{
    return {
        {QStringLiteral("1"), QStringLiteral("Aldebaran"), QStringLiteral("1:23"), QStringLiteral("Capitano"),
         QStringLiteral("10.000"), QStringLiteral("12.500"), QStringLiteral("+25 %"), QStringLiteral("+2.500")},
        {QStringLiteral("2"), QStringLiteral("Cometa"), QStringLiteral("2:45"), QStringLiteral("Recluta"),
         QStringLiteral("8.000"), QStringLiteral("7.600"), QStringLiteral("-5 %"), QStringLiteral("-400")},
        {QStringLiteral("3"), QStringLiteral("Birba"), QStringLiteral("3:12"), QStringLiteral("Recluta"), QString(),
         QStringLiteral("3.100"), QString(), QString()},
        {QStringLiteral("4"), QStringLiteral("Dorado"), QStringLiteral("4:56"), QStringLiteral("Tenente"),
         QStringLiteral("5.000"), QString(), QString(), QString()},
    };
}

inline QString workedExampleByPercentage()
{
    return QStringLiteral("1 - Aldebaran  |  da 10.000 a 12.500  (+25 %)\r\n"
                          "2 - Cometa  |  da 8.000 a 7.600  (-5 %)\r\n"
                          "3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
}

inline QString workedExampleByPoints()
{
    return QStringLiteral("1 - Aldebaran  |  da 10.000 a 12.500  (+2.500)\r\n"
                          "2 - Cometa  |  da 8.000 a 7.600  (-400)\r\n"
                          "3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
}
