// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "DataControl.h"

#include "DatabaseError.h"
#include "Membri.h"
#include "SqlConnection.h"
#include "Storico.h"

#include <QFileInfo>

DataControl::DataControl(const QLocale &locale)
    : m_locale(locale)
{
}

DataControl::~DataControl()
{
    close();
}

void DataControl::setDatabaseName(const QString &name)
{
    if (name != m_databaseName)
        close();
    m_databaseName = name;
}

void DataControl::open()
{
    if (m_connection)
        return;
    if (m_databaseName.isEmpty())
        throw DatabaseError(QStringLiteral("Nessun database indicato."));
    const QFileInfo info(m_databaseName);
    if (!info.exists())
        throw DatabaseError(QStringLiteral("Il database «%1» non esiste.").arg(m_databaseName));
    if (!info.isFile())
        throw DatabaseError(QStringLiteral("«%1» non è un file: impossibile aprire il database.").arg(m_databaseName));

    auto connection = std::make_unique<SqlConnection>(m_databaseName, SqlConnection::Existing);
    // Nothing is written to a file until it is known to hold the member table.
    Membri::checkSchema(connection->database(), m_databaseName);
    // A file of a newer format is refused; one of an older format gets the
    // history, unless it cannot be written now (read-only, busy, damaged):
    // the member table works without it, and the history's commands say why.
    if (Storico::formatoDaAggiornare(connection->database(), m_databaseName)) {
        try {
            Storico::aggiornaFormato(connection->database(), m_databaseName);
        } catch (const DatabaseError &) {
        }
    }
    connection->configureJournal();
    m_connection = std::move(connection);
}

void DataControl::Refresh()
{
    m_recordset.reset();
    try {
        openOrCheck();
        m_recordset = std::make_unique<RecordSet>(m_connection->database(), m_recordSource, m_locale,
                                                  m_databaseName);
    } catch (...) {
        close();
        throw;
    }
}

void DataControl::openOrCheck()
{
    // Opening checks the table; an open file is checked again at every
    // statement, since it may have been replaced while the program runs.
    if (m_connection)
        Membri::checkSchema(m_connection->database(), m_databaseName);
    else
        open();
}

QSqlDatabase DataControl::database()
{
    try {
        openOrCheck();
    } catch (...) {
        close();
        throw;
    }
    return m_connection->database();
}

RecordSet &DataControl::Recordset()
{
    if (!m_recordset)
        throw DatabaseError(QStringLiteral("Il database «%1» non è aperto.").arg(m_databaseName));
    return *m_recordset;
}

void DataControl::close()
{
    m_recordset.reset();
    m_connection.reset();
}
