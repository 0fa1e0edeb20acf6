// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/ReadOnlyFile.h"
#include "store/RecordSet.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <SQLiteCpp/Database.h>

#include <memory>

class SqlConnection;

/// A window's link to the database file: set DatabaseName and RecordSource,
/// call Refresh, then work on Recordset(). The file is opened at the first
/// Refresh and closed with the control; it is never created here. A file
/// the program cannot write is opened for reading only, and every write
/// through it is refused.
class DataControl
{
public:
    explicit DataControl(const QLocale &locale = QLocale());
    ~DataControl();

    DataControl(const DataControl &) = delete;
    DataControl &operator=(const DataControl &) = delete;

    QString DatabaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &name);

    QString RecordSource() const { return m_recordSource; }
    void setRecordSource(const QString &statement) { m_recordSource = statement; }

    /// Asks that the file be held by this control alone from its next
    /// opening to its close, when no other connection has it open then:
    /// for a run of many single-record saves. A file open in the other way
    /// is closed, to be opened anew at the next Refresh.
    void setExclusive(bool wanted);
    /// True when the open file is held by this control alone.
    bool exclusive() const;

    /// Runs RecordSource and makes its result the current record set,
    /// positioned on its first record. Throws UserError.
    void Refresh();

    /// The record set of the last Refresh. Throws UserError when none.
    RecordSet &Recordset();

    /// The open file, for statements that need no record set (the
    /// history's); opened and checked as Refresh does. Throws UserError.
    SQLite::Database &database();

    /// Drops the record set and closes the file. A file held alone keeps
    /// its log beside it (SqlConnection::close()). While a write
    /// transaction is open the file stays open, for the transaction to end.
    void close();

    /// Copies the open file's log into the file; nothing when it is closed.
    void checkpoint();

    /// True when the open file is open for reading only.
    bool readOnly() const;

    /// Opens the file as database() does and throws UserError, saying so,
    /// when it is open for reading only: for commands that ask nothing
    /// before they write, this is the first step. A file that can be written
    /// gets its copy of the day (CopiaGiornaliera) before the first change
    /// of the day; a copy that cannot be made stops nothing, and says why
    /// through takeCopyWarning(), once: this control does not try again
    /// that day.
    void checkWritable();

    /// Why the copy of the day could not be made, once; empty otherwise.
    QString takeCopyWarning();

private:
    void open();
    /// Opens the file when it is not open, and checks that it holds the
    /// member table; returns the table's columns.
    TableColumns openAndCheck();
    /// True when the file, read without locks, is no longer as it was
    /// when it was opened: what the connection holds of it is out of date.
    bool changedSinceOpen() const;

    QLocale m_locale;
    QString m_databaseName;
    QString m_recordSource;
    bool m_exclusive = false;
    std::unique_ptr<SqlConnection> m_connection;
    ReadOnlyFile::Stamp m_stamp;
    std::unique_ptr<RecordSet> m_recordset;
    QDate m_copyFailedOn;
    QString m_copyWarning;
};
