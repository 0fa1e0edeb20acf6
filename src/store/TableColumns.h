// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QHash>
#include <QString>

namespace SQLite {
class Database;
}

/// How SQLite treats the values of a column, from its declared type.
enum class Affinity { Text, Integer, Real, Other };

/// The columns of one table as the database declares them, read once with
/// PRAGMA table_info and shared by the schema check and the record set.
class TableColumns
{
public:
    struct Column
    {
        int index = -1;
        Affinity affinity = Affinity::Other;
    };

    /// Reads the table's columns; a table that does not exist has none.
    /// Throws UserError naming the file when the database cannot be read.
    static TableColumns read(SQLite::Database &db, const QString &table, const QString &fileName);

    bool isEmpty() const { return m_columns.isEmpty(); }
    /// The column of that name, compared without regard to case; nullptr
    /// when the table has none.
    const Column *find(const QString &name) const;

private:
    QHash<QString, Column> m_columns; // by lower-case name
};

/// A statement of the form "SELECT fields FROM table ...": the table it
/// reads, and its text with the rowid fetched in front of its fields.
struct Statement
{
    QString table;
    QString withRowid;

    /// Throws UserError naming the file when the text is not of that form.
    static Statement parse(const QString &text, const QString &fileName);
};
