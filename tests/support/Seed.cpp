// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "support/Seed.h"

#include "store/Membri.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

template <typename Work> bool withDatabase(Work &&work, const QString &file = Membri::fileName())
{
    const QString name = QStringLiteral("seed");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open())
            ok = work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

bool seedMembers(const QList<Member> &members)
{
    Membri::createIfMissing(Membri::fileName());
    return withDatabase([&](QSqlDatabase &db) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT INTO Membri (Valid,Nick,Madre,Grado,Punti1,Punti2,Per,Diff) "
                                     "VALUES (?,?,?,?,?,?,?,?)"));
        for (const Member &m : members) {
            const QVariantList values = m.toList();
            for (int i = 0; i < values.size(); ++i)
                query.bindValue(i, values[i]);
            if (!query.exec()) {
                qWarning("seed: %s", qPrintable(query.lastError().text()));
                return false;
            }
        }
        return true;
    });
}

QList<QVariantList> readMembers()
{
    QList<QVariantList> rows;
    withDatabase([&](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.exec(
                QStringLiteral("SELECT Valid,Nick,Madre,Grado,Punti1,Punti2,Per,Diff FROM Membri ORDER BY rowid")))
            return false;
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < 8; ++i) {
                const QVariant v = query.value(i);
                row << (v.isNull() ? QVariant() : v);
            }
            rows << row;
        }
        return true;
    });
    return rows;
}

bool execSql(const QString &statement)
{
    return withDatabase([&](QSqlDatabase &db) {
        QSqlQuery query(db);
        return query.exec(statement);
    });
}

QVariant queryValue(const QString &statement, const QString &file)
{
    QVariant value;
    withDatabase(
        [&](QSqlDatabase &db) {
            QSqlQuery query(db);
            if (query.exec(statement) && query.next())
                value = query.value(0);
            return true;
        },
        file);
    return value;
}
