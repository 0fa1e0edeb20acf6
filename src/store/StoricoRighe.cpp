// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Storico.h"

#include "core/Failure.h"
#include "store/SqlErrors.h"

#include "store/PreparedQuery.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

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

std::vector<RigaRilevazione> leggiRighe(SQLite::Database &db, const QString &fileName, const Rilevazione &rilevazione)
{
    const QString action = QStringLiteral("Impossibile leggere la rilevazione dal database «%1»");
    std::vector<RigaRilevazione> righe;
    try {
        SQLite::Statement esiste(db, "SELECT COUNT(*) FROM Rilevazioni WHERE Id=? AND Quando=? AND Tipo=?");
        esiste.bind(1, int64_t(rilevazione.Id));
        esiste.bind(2, rilevazione.Quando.toStdString());
        esiste.bind(3, rilevazione.Tipo);
        esiste.executeStep();
        if (esiste.getColumn(0).getInt64() != 1)
            throw UserError(QStringLiteral("Impossibile leggere la rilevazione del %1 dal database «%2»: "
                                           "la rilevazione non esiste più.")
                                .arg(rilevazione.Quando, fileName));

        SQLite::Statement query(db, "SELECT Nick,Madre,Grado,Punti FROM Punteggi WHERE Rilevazione=? ORDER BY Riga");
        query.bind(1, int64_t(rilevazione.Id));
        while (query.executeStep()) {
            const int64_t punti = query.getColumn(3).getInt64();
            if (punti < std::numeric_limits<qint32>::min() || punti > std::numeric_limits<qint32>::max())
                throw UserError(QStringLiteral("Impossibile leggere la rilevazione del %1 dal database «%2»: "
                                               "il punteggio %3 esce dai limiti dei numeri interi.")
                                    .arg(rilevazione.Quando, fileName)
                                    .arg(qlonglong(punti)));
            righe.push_back({columnText(query.getColumn(0)), columnText(query.getColumn(1)),
                             columnText(query.getColumn(2)), static_cast<qint32>(punti)});
        }
    } catch (const SQLite::Exception &e) {
        failSql(action, fileName, e);
    }
    return righe;
}

} // namespace Storico
