// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Storico.h"

#include "core/Failure.h"
#include "store/PreparedQuery.h"
#include "store/SharedTexts.h"
#include "store/SqlConnection.h"
#include "store/SqlErrors.h"
#include "store/WriteTransaction.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace Storico {

namespace {

int leggiFormato(QSqlQuery &query, const QString &fileName)
{
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        failSql(QStringLiteral("Impossibile leggere il database «%1»"), fileName, query.lastError());
    const int formato = query.value(0).toInt();
    query.finish();
    return formato;
}

[[noreturn]] void formatoSconosciuto(const QString &fileName, int formato)
{
    throw UserError(QStringLiteral("Il file «%1» è nel formato %2, che questa versione di Quadrivo non conosce "
                                   "(conosce fino al formato %3): è stato salvato da una versione più recente. "
                                   "Il file non è stato modificato.")
                        .arg(fileName)
                        .arg(formato)
                        .arg(Formato));
}

// Makes sure the file holds the history before it is used.
void pronto(const QSqlDatabase &db, const QString &fileName)
{
    if (formatoDaAggiornare(db, fileName))
        aggiornaFormato(db, fileName);
}

} // namespace

namespace {

constexpr int RighePerIstruzione = 50;

// A snapshot touches nearly every leaf of the index on Madre, which
// outgrows SQLite's default 2 MiB page cache once the history holds a few
// large snapshots: the connection gets 16 MiB while it writes one, and its
// own size back afterwards.
class CacheAmpia
{
public:
    explicit CacheAmpia(const QSqlDatabase &db)
        : m_db(db)
    {
        QSqlQuery query(m_db);
        if (query.exec(QStringLiteral("PRAGMA cache_size")) && query.next())
            m_size = query.value(0).toString();
        query.finish();
        if (!m_size.isEmpty())
            query.exec(QStringLiteral("PRAGMA cache_size=-16384"));
    }
    ~CacheAmpia()
    {
        if (!m_size.isEmpty())
            QSqlQuery(m_db).exec(QStringLiteral("PRAGMA cache_size=%1").arg(m_size));
    }
    CacheAmpia(const CacheAmpia &) = delete;
    CacheAmpia &operator=(const CacheAmpia &) = delete;

private:
    QSqlDatabase m_db;
    QString m_size;
};

QString inserimentoPunteggi(int righe)
{
    return QStringLiteral("INSERT INTO Punteggi (Rilevazione,Riga,Nick,Madre,Grado,Punti) VALUES ")
           + QStringList(righe, QStringLiteral("(?,?,?,?,?,?)")).join(u',');
}

} // namespace

QStringList istruzioniSchema()
{
    return {
        QStringLiteral(
            "CREATE TABLE Rilevazioni (Id INTEGER PRIMARY KEY, Quando TEXT NOT NULL, Tipo INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE Punteggi (Rilevazione INTEGER NOT NULL REFERENCES Rilevazioni(Id), "
                       "Riga INTEGER NOT NULL, Nick TEXT, Madre TEXT, Grado TEXT, Punti INTEGER NOT NULL)"),
        QStringLiteral("CREATE INDEX PunteggiMadre ON Punteggi(Madre)"),
        QStringLiteral("PRAGMA user_version=%1").arg(Formato),
    };
}

bool formatoDaAggiornare(const QSqlDatabase &db, const QString &fileName)
{
    QSqlQuery query(db);
    const int formato = leggiFormato(query, fileName);
    if (formato < 0 || formato > Formato)
        formatoSconosciuto(fileName, formato);
    return formato < Formato;
}

void aggiornaFormato(const QSqlDatabase &db, const QString &fileName)
{
    if (SqlConnection::isReadOnly(db))
        throw UserError(QStringLiteral("Il file «%1» non contiene lo storico, e lo storico non si può aggiungere "
                                       "perché il file è di sola lettura. Il file non è stato modificato.")
                            .arg(fileName));
    // The first write to a file of an older format: a damaged one is left
    // as it is.
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next())
        failSql(QStringLiteral("Impossibile controllare il database «%1»"), fileName, query.lastError());
    if (query.value(0).toString() != QLatin1String("ok"))
        throw UserError(QStringLiteral("Il file «%1» è danneggiato: non si può aggiornare per lo storico. "
                                       "Il file non è stato modificato.")
                            .arg(fileName));
    query.finish();

    const QString action = QStringLiteral("Impossibile aggiornare il database «%1» per lo storico");
    WriteTransaction transazione(db, action, fileName);
    // Another program may have brought it up to date meanwhile.
    if (!formatoDaAggiornare(db, fileName))
        return;
    for (const QString &statement : istruzioniSchema()) {
        if (!query.exec(statement))
            failSql(action, fileName, query.lastError());
    }
    transazione.commit();
}

qint64 scriviRilevazione(const QSqlDatabase &db, const QString &fileName, const QDateTime &quando, int tipo,
                         const std::vector<RigaRilevazione> &righe)
{
    pronto(db, fileName);
    const QString action = QStringLiteral("Impossibile scrivere la rilevazione nel database «%1»");
    const CacheAmpia cache(db);
    WriteTransaction transazione(db, action, fileName);

    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("INSERT INTO Rilevazioni (Quando,Tipo) VALUES (?,?)")))
        failSql(action, fileName, query.lastError());
    query.bindValue(0, QLocale::c().toString(quando, QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
    query.bindValue(1, tipo);
    if (!query.exec())
        failSql(action, fileName, query.lastError());
    const qint64 id = query.lastInsertId().toLongLong();
    query.finish();

    // The lines go in the order of the index on Madre, so that each insert
    // lands next to the one before; Riga keeps the list's order.
    const std::vector<std::size_t> order = ordinePerMadre(righe);
    {
        // Many lines to a statement, which SQLite then sets up once for all.
        PreparedQuery block(db, inserimentoPunteggi(RighePerIstruzione));
        PreparedQuery single(db, inserimentoPunteggi(1));
        for (PreparedQuery *insert : {&block, &single})
            if (!insert->isValid())
                failSql(action, fileName, insert->lastError());
        for (std::size_t k = 0; k < order.size();) {
            const bool full = order.size() - k >= RighePerIstruzione;
            PreparedQuery &insert = full ? block : single;
            for (int n = full ? RighePerIstruzione : 1, at = 0; n > 0; --n, ++k, at += 6) {
                const RigaRilevazione &r = righe[order[k]];
                insert.bind(at, id);
                insert.bind(at + 1, qint64(order[k] + 1));
                insert.bind(at + 2, r.Nick);
                insert.bind(at + 3, r.Madre);
                insert.bind(at + 4, r.Grado);
                insert.bind(at + 5, qint64(r.Punti));
            }
            if (!insert.exec())
                failSql(action, fileName, insert.lastError());
        }
    }
    transazione.commit();
    return id;
}

Storia leggiStoria(const QSqlDatabase &db, const QString &fileName)
{
    pronto(db, fileName);
    const QString action = QStringLiteral("Impossibile leggere lo storico dal database «%1»");
    Storia storia;
    // Both statements read the same state of the file, whatever another
    // program writes meanwhile.
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("BEGIN")))
        failSql(action, fileName, query.lastError());
    const auto end = [&] {
        query.finish();
        query.exec(QStringLiteral("COMMIT"));
    };
    const auto failed = [&](const QSqlError &error) {
        end();
        failSql(action, fileName, error);
    };

    if (!query.exec(QStringLiteral("SELECT Id,Quando,Tipo FROM Rilevazioni")))
        failed(query.lastError());
    while (query.next())
        storia.rilevazioni.push_back({query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toInt()});
    if (query.lastError().isValid())
        failed(query.lastError());

    // Counted first, so that the rows go into storage of their size: a
    // history of ten snapshots of 32,767 lines is 327,670 rows.
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM Punteggi")) || !query.next())
        failed(query.lastError());
    storia.punteggi.reserve(static_cast<std::size_t>(std::max<qlonglong>(0, query.value(0).toLongLong())));
    query.finish();
    if (!query.exec(QStringLiteral("SELECT Rilevazione,Riga,Madre,Punti FROM Punteggi")))
        failed(query.lastError());
    // A home planet comes back in every snapshot: its rows share one text.
    SharedTexts madri;
    while (query.next()) {
        QString madre = query.value(2).toString();
        madri.share(madre);
        storia.punteggi.push_back(
            {query.value(0).toLongLong(), query.value(1).toLongLong(), std::move(madre), query.value(3).toLongLong()});
    }
    if (query.lastError().isValid())
        failed(query.lastError());
    end();
    return storia;
}

std::vector<Nome> leggiNomi(const QSqlDatabase &db, const QString &fileName, const QList<qint64> &rilevazioni)
{
    std::vector<Nome> nomi;
    if (rilevazioni.isEmpty())
        return nomi;
    QStringList ids;
    for (qint64 id : rilevazioni)
        ids << QString::number(id);
    const QString action = QStringLiteral("Impossibile leggere lo storico dal database «%1»");
    const QString dove = QStringLiteral("FROM Punteggi WHERE Rilevazione IN (%1)").arg(ids.join(u','));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // Counted first, for storage of their size.
    if (!query.exec(QStringLiteral("SELECT COUNT(*) ") + dove) || !query.next())
        failSql(action, fileName, query.lastError());
    nomi.reserve(static_cast<std::size_t>(std::max<qlonglong>(0, query.value(0).toLongLong())));
    query.finish();
    if (!query.exec(QStringLiteral("SELECT Rilevazione,Riga,Nick,Grado ") + dove))
        failSql(action, fileName, query.lastError());
    while (query.next()) {
        nomi.push_back({query.value(0).toLongLong(), query.value(1).toLongLong(), query.value(2).toString(),
                        query.value(3).toString()});
    }
    if (query.lastError().isValid())
        failSql(action, fileName, query.lastError());
    return nomi;
}

void eliminaRilevazione(const QSqlDatabase &db, const QString &fileName, const Rilevazione &rilevazione)
{
    pronto(db, fileName);
    const QString action = QStringLiteral("Impossibile eliminare la rilevazione dal database «%1»");
    WriteTransaction transazione(db, action, fileName);
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("DELETE FROM Rilevazioni WHERE Id=? AND Quando=? AND Tipo=?")))
        failSql(action, fileName, query.lastError());
    query.bindValue(0, rilevazione.Id);
    query.bindValue(1, rilevazione.Quando);
    query.bindValue(2, rilevazione.Tipo);
    if (!query.exec())
        failSql(action, fileName, query.lastError());
    if (query.numRowsAffected() != 1)
        throw UserError(QStringLiteral("Impossibile eliminare la rilevazione dal database «%1»: "
                                       "la rilevazione non esiste più. Il file non è stato modificato.")
                            .arg(fileName));
    if (!query.prepare(QStringLiteral("DELETE FROM Punteggi WHERE Rilevazione=?")))
        failSql(action, fileName, query.lastError());
    query.bindValue(0, rilevazione.Id);
    if (!query.exec())
        failSql(action, fileName, query.lastError());
    transazione.commit();
}

} // namespace Storico
