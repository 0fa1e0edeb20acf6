// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QSqlDatabase>
#include <QString>

/// One open SQLite connection, closed and unregistered when it goes away.
/// Waits a few seconds for a database that another program holds before it
/// reports it busy.
class SqlConnection
{
public:
    enum Mode { Existing, Create };

    /// Opens the file; Existing never creates it. Throws UserError.
    SqlConnection(const QString &path, Mode mode);
    ~SqlConnection();

    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    QSqlDatabase database() const;

    /// Write-ahead logging with synchronous=NORMAL: a committed record
    /// survives a killed process. Where the log cannot be used, the rollback
    /// journal with synchronous=FULL gives the same guarantee.
    void configureJournal();

    void close();

    /// How long a command waits for a database held by another program.
    static constexpr int BusyTimeoutMs = 3000;

private:
    QString m_name;
    bool m_registered = false;
};
