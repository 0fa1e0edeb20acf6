// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Storico.h"

#include "core/Failure.h"
#include "store/SqlErrors.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

namespace Storico {

std::vector<RigaRilevazione> leggiRighe(const QSqlDatabase &db, const QString &fileName,
                                        const Rilevazione &rilevazione)
{
    const QString action = QStringLiteral("Impossibile leggere la rilevazione dal database «%1»");
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT COUNT(*) FROM Rilevazioni WHERE Id=? AND Quando=? AND Tipo=?")))
        failSql(action, fileName, query.lastError());
    query.addBindValue(rilevazione.Id);
    query.addBindValue(rilevazione.Quando);
    query.addBindValue(rilevazione.Tipo);
    if (!query.exec() || !query.next())
        failSql(action, fileName, query.lastError());
    if (query.value(0).toLongLong() != 1)
        throw UserError(QStringLiteral("Impossibile leggere la rilevazione del %1 dal database «%2»: "
                                       "la rilevazione non esiste più.")
                            .arg(rilevazione.Quando, fileName));
    query.finish();

    std::vector<RigaRilevazione> righe;
    if (!query.prepare(QStringLiteral("SELECT Nick,Madre,Grado,Punti FROM Punteggi WHERE Rilevazione=? ORDER BY Riga")))
        failSql(action, fileName, query.lastError());
    query.addBindValue(rilevazione.Id);
    if (!query.exec())
        failSql(action, fileName, query.lastError());
    while (query.next()) {
        const qlonglong punti = query.value(3).toLongLong();
        if (punti < std::numeric_limits<qint32>::min() || punti > std::numeric_limits<qint32>::max())
            throw UserError(QStringLiteral("Impossibile leggere la rilevazione del %1 dal database «%2»: "
                                           "il punteggio %3 esce dai limiti dei numeri interi.")
                                .arg(rilevazione.Quando, fileName)
                                .arg(punti));
        righe.push_back({query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                         static_cast<qint32>(punti)});
    }
    if (query.lastError().isValid())
        failSql(action, fileName, query.lastError());
    return righe;
}

} // namespace Storico
