// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Storico.h"

#include "core/Failure.h"
#include "store/PreparedQuery.h"
#include "store/SqlConnection.h"
#include "store/SqlErrors.h"
#include "store/WriteTransaction.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QVariant>

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <algorithm>

namespace Storico {

namespace {

int leggiFormato(SQLite::Database &db, const QString &fileName)
{
    try {
        SQLite::Statement query(db, "PRAGMA user_version");
        query.executeStep();
        return query.getColumn(0).getInt();
    } catch (const SQLite::Exception &e) {
        failSql(QStringLiteral("Impossibile leggere il database «%1»"), fileName, e);
    }
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
void pronto(SQLite::Database &db, const QString &fileName)
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
    explicit CacheAmpia(SQLite::Database &db)
        : m_db(db)
    {
        try {
            SQLite::Statement query(m_db, "PRAGMA cache_size");
            if (query.executeStep())
                m_size = query.getColumn(0).getString();
        } catch (const SQLite::Exception &) {
        }
        if (!m_size.empty())
            m_db.tryExec("PRAGMA cache_size=-16384");
    }
    ~CacheAmpia()
    {
        if (!m_size.empty())
            m_db.tryExec("PRAGMA cache_size=" + m_size);
    }
    CacheAmpia(const CacheAmpia &) = delete;
    CacheAmpia &operator=(const CacheAmpia &) = delete;

private:
    SQLite::Database &m_db;
    std::string m_size;
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

bool formatoDaAggiornare(SQLite::Database &db, const QString &fileName)
{
    const int formato = leggiFormato(db, fileName);
    if (formato < 0 || formato > Formato)
        formatoSconosciuto(fileName, formato);
    return formato < Formato;
}

void aggiornaFormato(SQLite::Database &db, const QString &fileName)
{
    if (SqlConnection::isReadOnly(db))
        throw UserError(QStringLiteral("Il file «%1» non contiene lo storico, e lo storico non si può aggiungere "
                                       "perché il file è di sola lettura. Il file non è stato modificato.")
                            .arg(fileName));
    // The first write to a file of an older format: a damaged one is left
    // as it is.
    std::string check;
    try {
        SQLite::Statement query(db, "PRAGMA quick_check");
        if (query.executeStep())
            check = query.getColumn(0).getString();
    } catch (const SQLite::Exception &e) {
        failSql(QStringLiteral("Impossibile controllare il database «%1»"), fileName, e);
    }
    if (check != "ok")
        throw UserError(QStringLiteral("Il file «%1» è danneggiato: non si può aggiornare per lo storico. "
                                       "Il file non è stato modificato.")
                            .arg(fileName));

    const QString action = QStringLiteral("Impossibile aggiornare il database «%1» per lo storico");
    WriteTransaction transazione(db, action, fileName);
    // Another program may have brought it up to date meanwhile.
    if (!formatoDaAggiornare(db, fileName))
        return;
    try {
        for (const QString &statement : istruzioniSchema())
            db.exec(statement.toStdString());
    } catch (const SQLite::Exception &e) {
        failSql(action, fileName, e);
    }
    transazione.commit();
}

qint64 scriviRilevazione(SQLite::Database &db, const QString &fileName, const QDateTime &quando, int tipo,
                         const std::vector<RigaRilevazione> &righe)
{
    pronto(db, fileName);
    const QString action = QStringLiteral("Impossibile scrivere la rilevazione nel database «%1»");
    const CacheAmpia cache(db);
    WriteTransaction transazione(db, action, fileName);

    qint64 id = 0;
    try {
        SQLite::Statement query(db, "INSERT INTO Rilevazioni (Quando,Tipo) VALUES (?,?)");
        query.bind(1, QLocale::c().toString(quando, QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toStdString());
        query.bind(2, tipo);
        query.exec();
        id = db.getLastInsertRowid();
    } catch (const SQLite::Exception &e) {
        failSql(action, fileName, e);
    }

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

Storia leggiStoria(SQLite::Database &db, const QString &fileName)
{
    pronto(db, fileName);
    const QString action = QStringLiteral("Impossibile leggere lo storico dal database «%1»");
    Storia storia;
    try {
        // Every statement reads the same state of the file, whatever another
        // program writes meanwhile.
        SQLite::Transaction lettura(db, SQLite::TransactionBehavior::DEFERRED);
        SQLite::Statement rilevazioni(db, "SELECT Id,Quando,Tipo FROM Rilevazioni");
        while (rilevazioni.executeStep())
            storia.rilevazioni.push_back({rilevazioni.getColumn(0).getInt64(), columnText(rilevazioni.getColumn(1)),
                                          rilevazioni.getColumn(2).getInt()});

        // Counted first, so that the rows go into storage of their size: a
        // history of ten snapshots of 32,767 lines is 327,670 rows.
        SQLite::Statement conta(db, "SELECT COUNT(*) FROM Punteggi");
        conta.executeStep();
        storia.punteggi.reserve(static_cast<std::size_t>(std::max<int64_t>(0, conta.getColumn(0).getInt64())));
        SQLite::Statement punteggi(db, "SELECT Rilevazione,Riga,Madre,Punti FROM Punteggi");
        QHash<QString, int> madri;
        while (punteggi.executeStep()) {
            const QString madre = columnText(punteggi.getColumn(2));
            auto found = madri.constFind(madre);
            if (found == madri.constEnd()) {
                found = madri.insert(madre, static_cast<int>(storia.madri.size()));
                storia.madri.push_back(madre);
            }
            storia.punteggi.push_back({punteggi.getColumn(0).getInt64(), punteggi.getColumn(1).getInt64(), *found,
                                       punteggi.getColumn(3).getInt64()});
        }
        lettura.commit();
    } catch (const SQLite::Exception &e) {
        failSql(action, fileName, e);
    }
    return storia;
}

std::vector<Nome> leggiNomi(SQLite::Database &db, const QString &fileName, const QList<qint64> &rilevazioni)
{
    std::vector<Nome> nomi;
    if (rilevazioni.isEmpty())
        return nomi;
    QStringList ids;
    for (qint64 id : rilevazioni)
        ids << QString::number(id);
    const std::string dove = "FROM Punteggi WHERE Rilevazione IN (" + ids.join(u',').toStdString() + ')';
    try {
        // Counted first, for storage of their size.
        SQLite::Statement conta(db, "SELECT COUNT(*) " + dove);
        conta.executeStep();
        nomi.reserve(static_cast<std::size_t>(std::max<int64_t>(0, conta.getColumn(0).getInt64())));
        SQLite::Statement query(db, "SELECT Rilevazione,Riga,Nick,Grado " + dove);
        while (query.executeStep())
            nomi.push_back({query.getColumn(0).getInt64(), query.getColumn(1).getInt64(),
                            columnText(query.getColumn(2)), columnText(query.getColumn(3))});
    } catch (const SQLite::Exception &e) {
        failSql(QStringLiteral("Impossibile leggere lo storico dal database «%1»"), fileName, e);
    }
    return nomi;
}

void eliminaRilevazione(SQLite::Database &db, const QString &fileName, const Rilevazione &rilevazione)
{
    pronto(db, fileName);
    const QString action = QStringLiteral("Impossibile eliminare la rilevazione dal database «%1»");
    WriteTransaction transazione(db, action, fileName);
    int eliminate = 0;
    try {
        SQLite::Statement query(db, "DELETE FROM Rilevazioni WHERE Id=? AND Quando=? AND Tipo=?");
        query.bind(1, int64_t(rilevazione.Id));
        query.bind(2, rilevazione.Quando.toStdString());
        query.bind(3, rilevazione.Tipo);
        eliminate = query.exec();
        if (eliminate == 1) {
            SQLite::Statement righe(db, "DELETE FROM Punteggi WHERE Rilevazione=?");
            righe.bind(1, int64_t(rilevazione.Id));
            righe.exec();
        }
    } catch (const SQLite::Exception &e) {
        failSql(action, fileName, e);
    }
    if (eliminate != 1)
        throw UserError(QStringLiteral("Impossibile eliminare la rilevazione dal database «%1»: "
                                       "la rilevazione non esiste più. Il file non è stato modificato.")
                            .arg(fileName));
    transazione.commit();
}

} // namespace Storico
