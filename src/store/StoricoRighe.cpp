// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Storico.h"

#include "core/Failure.h"
#include "store/SqlErrors.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <array>
#include <limits>

namespace Storico {

std::vector<std::size_t> ordinePerMadre(const std::vector<RigaRilevazione> &righe)
{
    // Each text's first eight UTF-16 units, high end first and padded with
    // zeros, compare as the texts' beginnings do: most pairs are told apart
    // by the keys, in one array, without reaching for 32,767 texts spread
    // over the heap; only texts of equal keys are compared whole.
    struct Key
    {
        std::array<quint64, 2> units;
        std::size_t index;
    };
    std::vector<Key> keys(righe.size());
    for (std::size_t i = 0; i < righe.size(); ++i) {
        const QString &madre = righe[i].Madre;
        Key &key = keys[i];
        key.units = {0, 0};
        key.index = i;
        for (qsizetype u = 0; u < std::min<qsizetype>(madre.size(), 8); ++u)
            key.units[std::size_t(u / 4)] |= quint64(madre[u].unicode()) << (16 * (3 - u % 4));
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
        if (a.units != b.units)
            return a.units < b.units;
        return righe[a.index].Madre < righe[b.index].Madre;
    });
    std::vector<std::size_t> order(keys.size());
    std::transform(keys.begin(), keys.end(), order.begin(), [](const Key &key) { return key.index; });
    return order;
}

std::vector<RigaRilevazione> leggiRighe(const QSqlDatabase &db, const QString &fileName, const Rilevazione &rilevazione)
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
