// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "support/Seed.h"

#include "store/Membri.h"
#include "store/PreparedQuery.h"

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>

namespace {

template <typename Work> bool withDatabase(Work &&work, const QString &file = Membri::fileName())
{
    try {
        SQLite::Database db(file.toStdString(), SQLite::OPEN_READWRITE, 3000);
        return work(db);
    } catch (const SQLite::Exception &e) {
        qWarning("seed: %s", e.what());
        return false;
    }
}

} // namespace

bool seedMembers(const QList<Member> &members)
{
    Membri::createIfMissing(Membri::fileName());
    return withDatabase([&](SQLite::Database &db) {
        SQLite::Statement query(db, "INSERT INTO Membri (Valid,Nick,Madre,Grado,Punti1,Punti2,Per,Diff) "
                                    "VALUES (?,?,?,?,?,?,?,?)");
        for (const Member &m : members) {
            const QVariantList values = m.toList();
            for (int i = 0; i < values.size(); ++i) {
                const QVariant &v = values[i];
                if (!v.isValid() || v.isNull())
                    query.bind(i + 1);
                else if (v.typeId() == QMetaType::QString)
                    query.bind(i + 1, v.toString().toStdString());
                else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
                    query.bind(i + 1, v.toDouble());
                else
                    query.bind(i + 1, int64_t(v.toLongLong()));
            }
            query.exec();
            query.reset();
        }
        return true;
    });
}

QList<QVariantList> readMembers()
{
    QList<QVariantList> rows;
    withDatabase([&](SQLite::Database &db) {
        SQLite::Statement query(db, "SELECT Valid,Nick,Madre,Grado,Punti1,Punti2,Per,Diff FROM Membri ORDER BY rowid");
        while (query.executeStep()) {
            QVariantList row;
            for (int i = 0; i < 8; ++i)
                row << columnValue(query.getColumn(i));
            rows << row;
        }
        return true;
    });
    return rows;
}

bool execSql(const QString &statement)
{
    return withDatabase([&](SQLite::Database &db) {
        db.exec(statement.toStdString());
        return true;
    });
}

QList<QVariantList> queryRows(const QString &statement)
{
    QList<QVariantList> rows;
    withDatabase([&](SQLite::Database &db) {
        SQLite::Statement query(db, statement.toStdString());
        while (query.executeStep()) {
            QVariantList row;
            for (int i = 0; i < query.getColumnCount(); ++i)
                row << columnValue(query.getColumn(i));
            rows << row;
        }
        return true;
    });
    return rows;
}

QVariant queryValue(const QString &statement, const QString &file)
{
    QVariant value;
    withDatabase(
        [&](SQLite::Database &db) {
            SQLite::Statement query(db, statement.toStdString());
            if (query.executeStep())
                value = columnValue(query.getColumn(0));
            return true;
        },
        file);
    return value;
}

void aggiungiPunteggio(Storico::Storia &storia, qint64 rilevazione, qint64 riga, const QString &madre, qint64 punti)
{
    auto found = std::find(storia.madri.begin(), storia.madri.end(), madre);
    if (found == storia.madri.end())
        found = storia.madri.insert(found, madre);
    storia.punteggi.push_back({rilevazione, riga, static_cast<int>(found - storia.madri.begin()), punti});
}
