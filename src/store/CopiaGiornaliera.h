// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

#include <SQLiteCpp/Database.h>

/// The copies of the database file kept beside it, in the folder "Copie",
/// one for each day the file was changed, taken before that day's first
/// change: "Quadrivo.mdb" is copied to "Copie/Quadrivo-AAAA-MM-GG.mdb".
namespace CopiaGiornaliera {

/// How many dated copies are kept; older ones are removed.
constexpr int copieTenute = 10;

/// One dated copy: its path (beside the file, as the file's name is given)
/// and its day.
struct Copia
{
    QString percorso;
    QDate giorno;
};

/// The folder of the copies of the file.
QString cartellaCopie(const QString &fileName);

/// The dated copies of the file in its folder of copies, oldest first.
/// Other files there are not copies.
QList<Copia> copieDatate(const QString &fileName);

/// Copies the open file, whole, through its own connection (SQLite's
/// online backup) to the copy of the day, unless that exists already, and
/// then removes the dated copies beyond the newest copieTenute. The copy is
/// made under a temporary name and renamed once complete. Returns why the
/// copy could not be made, in Italian; empty when it was made or was
/// already there. Never throws.
QString copiaDelGiorno(SQLite::Database &db, const QString &fileName, QDate giorno);

/// What the message about a damaged file adds: the newest copy, its day,
/// and how to go back to it. Empty when there is no copy.
QString comeTornareAllaCopia(const QString &fileName, const QLocale &locale);

} // namespace CopiaGiornaliera
