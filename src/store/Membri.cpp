// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Membri.h"

#include "core/Failure.h"
#include "store/RecordSet.h"
#include "store/SqlConnection.h"
#include "store/SqlErrors.h"
#include "store/Storico.h"
#include "store/TableColumns.h"

#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

namespace Membri {

QString fileName()
{
    return QStringLiteral("Quadrivo.mdb");
}

QString selectAll()
{
    return QStringLiteral("SELECT Valid,Nick,Madre,Grado,Punti1,Punti2,Per,Diff ") + QStringLiteral("FROM Membri");
}

QString selectRanking(bool byPercentage)
{
    return QStringLiteral("SELECT '',Nick,Madre,Grado,Punti1,Punti2,Per,Diff ")
           + QStringLiteral("FROM Membri WHERE Valid=1 ")
           + (byPercentage ? QStringLiteral("ORDER BY Per DESC,Punti2 DESC,Punti1 DESC")
                           : QStringLiteral("ORDER BY Diff DESC,Punti2 DESC,Punti1 DESC"));
}

QString selectValid()
{
    return QStringLiteral("SELECT Valid FROM Membri");
}

QString table()
{
    return QStringLiteral("Membri");
}

void checkSchema(const TableColumns &columns, const QString &fileName)
{
    if (columns.isEmpty())
        throw UserError(QStringLiteral("Il file «%1» non contiene la tabella Membri: "
                                       "non è un database di Quadrivo. Il file non è stato modificato.")
                            .arg(fileName));
    for (const char *name : {"Valid", "Nick", "Madre", "Grado", "Punti1", "Punti2", "Per", "Diff"}) {
        if (!columns.find(QLatin1String(name)))
            throw UserError(QStringLiteral("Nel file «%1» la tabella Membri non ha il campo %2. "
                                           "Il file non è stato modificato.")
                                .arg(fileName, QLatin1String(name).toString().toLower()));
    }
}

void createIfMissing(const QString &path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return;

    // Built under a temporary name and renamed only when complete, so that a
    // failure never leaves a half-made file under the real name.
    const QString building = path + QStringLiteral(".nuovo");
    QFile::remove(building);
    const auto failed = [&](const QString &reason) {
        return UserError(QStringLiteral("Impossibile creare il database «%1»: %2.").arg(path, reason));
    };
    {
        SqlConnection connection(building, SqlConnection::Create);
        try {
            SQLite::Database &db = connection.database();
            db.exec("CREATE TABLE Membri ("
                    "Valid INTEGER NOT NULL DEFAULT 1 CHECK (Valid IN (0, 1)), "
                    "Nick TEXT, Madre TEXT, Grado TEXT, "
                    "Punti1 INTEGER, Punti2 INTEGER, Per REAL, Diff INTEGER)");
            for (const QString &statement : Storico::istruzioniSchema())
                db.exec(statement.toStdString());
            db.exec("PRAGMA journal_mode=WAL");
        } catch (const SQLite::Exception &e) {
            const QString reason = describeSqlError(SqlError::of(e));
            connection.close();
            QFile::remove(building);
            throw failed(reason);
        }
    }
    QFile::remove(building + QStringLiteral("-wal"));
    QFile::remove(building + QStringLiteral("-shm"));
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        if (!QFileInfo::exists(path))
            throw failed(QStringLiteral("il file non si può scrivere nella cartella"));
    }
}

bool isAccessFile(const QString &path)
{
    // Jet and ACE files name their format at byte 4.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(19);
    const QByteArray format = head.mid(4, 15);
    return format == "Standard Jet DB" || format == "Standard ACE DB";
}

QString accessFileMessage(const QString &path)
{
    return QStringLiteral("Il file «%1» è un database di Microsoft Access (formato Jet), che Quadrivo non usa: "
                          "Quadrivo tiene i suoi dati in un database SQLite. Il file è stato lasciato com'era, "
                          "senza modificarlo.\n\n"
                          "Per ricominciare, rinominare il file o spostarlo in un'altra cartella e avviare di nuovo "
                          "Quadrivo, che creerà un database nuovo. Le palmerie salvate si recuperano con "
                          "«Leggi da FILE» nella finestra di inserimento.")
        .arg(path);
}

void freeAll(RecordSet &records)
{
    records.MoveFirst();
    while (!records.Eof()) {
        records.Edit();
        records.setField(Valid, 0);
        records.Update();
        records.MoveNext();
    }
}

} // namespace Membri
