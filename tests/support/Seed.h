// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/Membri.h"
#include "store/Storico.h"

#include <QList>
#include <QString>
#include <QVariant>

/// One record of the member table, fields in table order; an invalid
/// QVariant is Null.
struct Member
{
    QVariant Valid, Nick, Madre, Grado, Punti1, Punti2, Per, Diff;

    QVariantList toList() const { return {Valid, Nick, Madre, Grado, Punti1, Punti2, Per, Diff}; }
};

/// Creates "Quadrivo.mdb" in the current directory and inserts the records
/// with plain SQL, apart from the code under test.
bool seedMembers(const QList<Member> &members);

/// Every record of "Quadrivo.mdb" in rowid order, read with plain SQL.
QList<QVariantList> readMembers();

/// Runs one statement on "Quadrivo.mdb" with plain SQL.
bool execSql(const QString &statement);

/// Every row a query on "Quadrivo.mdb" gives, with plain SQL.
QList<QVariantList> queryRows(const QString &statement);

/// The first value of the first row a query on the file ("Quadrivo.mdb"
/// unless told) gives.
QVariant queryValue(const QString &statement, const QString &file = Membri::fileName());

/// Adds a score row to a history held in memory, naming its home planet
/// as the store does: by its place in the history's planets, each once.
void aggiungiPunteggio(Storico::Storia &storia, qint64 rilevazione, qint64 riga, const QString &madre, qint64 punti);
