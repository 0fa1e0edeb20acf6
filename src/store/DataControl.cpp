// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/DataControl.h"

#include "core/Failure.h"
#include "store/CopiaGiornaliera.h"
#include "store/Membri.h"
#include "store/SqlConnection.h"
#include "store/Storico.h"
#include "store/TableColumns.h"

#include <QFileInfo>

#include <utility>

DataControl::DataControl(const QLocale &locale)
    : m_locale(locale)
{
}

DataControl::~DataControl()
{
    m_recordset.reset();
    m_connection.reset();
}

void DataControl::setDatabaseName(const QString &name)
{
    if (name != m_databaseName)
        close();
    m_databaseName = name;
}

void DataControl::open()
{
    if (m_databaseName.isEmpty())
        throw UserError(QStringLiteral("Nessun database indicato."));
    const QFileInfo info(m_databaseName);
    if (!info.exists())
        throw UserError(QStringLiteral("Il database «%1» non esiste.").arg(m_databaseName));
    if (!info.isFile())
        throw UserError(QStringLiteral("«%1» non è un file: impossibile aprire il database.").arg(m_databaseName));
    if (Membri::isAccessFile(m_databaseName))
        throw UserError(Membri::accessFileMessage(m_databaseName));
    if (ReadOnlyFile::cannotWrite(m_databaseName)) {
        // Stamped before it is opened, so that any change from here on shows.
        m_stamp = ReadOnlyFile::stamp(m_databaseName);
        m_connection = std::make_unique<SqlConnection>(m_databaseName, SqlConnection::ReadOnly);
    } else {
        m_connection = std::make_unique<SqlConnection>(m_databaseName,
                                                       m_exclusive ? SqlConnection::Alone : SqlConnection::Existing);
    }
}

void DataControl::setExclusive(bool wanted)
{
    if (wanted != m_exclusive)
        close();
    m_exclusive = wanted;
}

bool DataControl::exclusive() const
{
    return m_connection && m_connection->alone();
}

bool DataControl::changedSinceOpen() const
{
    return m_connection && m_connection->withoutLocks() && ReadOnlyFile::stamp(m_databaseName) != m_stamp;
}

bool DataControl::readOnly() const
{
    return m_connection && SqlConnection::isReadOnly(m_connection->database());
}

TableColumns DataControl::openAndCheck()
{
    if (changedSinceOpen())
        close();
    const bool opening = !m_connection;
    if (opening)
        open();
    SQLite::Database &db = m_connection->database();
    // The member table is checked at every statement, since the file may
    // have been replaced while the program runs; nothing is written to a
    // file until it is known to hold it.
    TableColumns membri = TableColumns::read(db, Membri::table(), m_databaseName);
    Membri::checkSchema(membri, m_databaseName);
    if (opening) {
        // A file of a newer format is refused; one of an older format gets
        // the history, unless it cannot be written now (read-only, busy,
        // damaged): the member table works without it, and the history's
        // commands say why. A file opened for reading only keeps its format
        // and its journal mode.
        const bool daAggiornare = Storico::formatoDaAggiornare(db, m_databaseName);
        if (!readOnly()) {
            if (daAggiornare) {
                try {
                    Storico::aggiornaFormato(db, m_databaseName);
                } catch (const UserError &) {
                }
            }
            m_connection->configureJournal();
        }
    }
    return membri;
}

void DataControl::Refresh()
{
    m_recordset.reset();
    try {
        const Statement statement = Statement::parse(m_recordSource, m_databaseName);
        // A file read without locks that another program changed while it
        // was read is read again, through a new connection.
        for (int reading = 1;; ++reading) {
            const TableColumns membri = openAndCheck();
            SQLite::Database &db = m_connection->database();
            const bool onMembri = statement.table.compare(Membri::table(), Qt::CaseInsensitive) == 0;
            m_recordset = std::make_unique<RecordSet>(
                db, statement, onMembri ? membri : TableColumns::read(db, statement.table, m_databaseName), m_locale,
                m_databaseName);
            if (!changedSinceOpen()) {
                m_connection->paceCheckpoints(m_recordset->RecordCount());
                break;
            }
            close();
            if (reading == 3)
                throw UserError(QStringLiteral("Il file «%1» cambia mentre Quadrivo lo legge: un altro programma "
                                               "lo sta modificando. Riprovare più tardi.")
                                    .arg(m_databaseName));
        }
    } catch (...) {
        close();
        throw;
    }
}

SQLite::Database &DataControl::database()
{
    try {
        openAndCheck();
    } catch (...) {
        close();
        throw;
    }
    return m_connection->database();
}

void DataControl::checkWritable()
{
    SQLite::Database &db = database();
    ReadOnlyFile::refuseWriting(db, m_databaseName);
    // Through this connection, which may hold the file alone.
    const QDate today = QDate::currentDate();
    if (m_copyFailedOn == today)
        return;
    const QString warning = CopiaGiornaliera::copiaDelGiorno(db, m_databaseName, today);
    if (!warning.isEmpty()) {
        m_copyFailedOn = today;
        m_copyWarning = warning;
    }
}

QString DataControl::takeCopyWarning()
{
    return std::exchange(m_copyWarning, QString());
}

RecordSet &DataControl::Recordset()
{
    if (!m_recordset)
        throw UserError(QStringLiteral("Il database «%1» non è aperto.").arg(m_databaseName));
    return *m_recordset;
}

void DataControl::close()
{
    m_recordset.reset();
    // A transaction still open (WriteTransaction) holds the connection: it
    // is closed once the transaction has ended, at the next close().
    if (m_connection && !m_connection->inTransaction())
        m_connection.reset();
}

void DataControl::checkpoint()
{
    if (m_connection)
        m_connection->checkpoint();
}
