// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/RecordIndexes.h"
#include "store/RecordRows.h"
#include "store/RecordWriter.h"
#include "store/TableColumns.h"

#include <QLocale>
#include <QString>
#include <QVariant>
#include <SQLiteCpp/Database.h>

#include <vector>

/// One condition of a search: the field with this name equals this value.
/// Values are compared as values, never spliced into SQL.
struct Criterion
{
    QString field;
    QVariant value;
};

/// An updatable record set over the result of one statement on one table:
/// a cursor over the records in the order the statement delivered them,
/// with fields addressed by their position in the statement. Each Update is
/// saved at once, in its own transaction.
class RecordSet
{
public:
    /// Runs the statement and loads its records; columns are those of the
    /// statement's table. Throws UserError.
    RecordSet(SQLite::Database &db, const Statement &statement, const TableColumns &columns, const QLocale &locale,
              const QString &fileName);
    ~RecordSet();

    RecordSet(const RecordSet &) = delete;
    RecordSet &operator=(const RecordSet &) = delete;

    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    qsizetype RecordCount() const { return m_rows.count(); }
    /// The field's name in the statement.
    QString FieldName(int field) const { return m_fields[static_cast<std::size_t>(field)].name; }

    /// True when the current position is past the last record. (EOF itself
    /// is a standard macro.)
    bool Eof() const { return m_pos >= RecordCount(); }
    void MoveFirst();
    /// Moves to the next record; a pending edit is dropped.
    void MoveNext();

    /// Opens the current record for changes.
    void Edit();
    /// Starts a new record, filled with the table's defaults when saved.
    void AddNew();
    /// Saves the edited or new record. A new record goes to the end of the
    /// set; the current position does not change.
    void Update();
    /// Drops a pending edit or new record.
    void CancelUpdate();
    bool Editing() const { return m_mode != Mode::None; }

    /// Drops every record the set holds, and its search indexes, giving
    /// their memory back; the set is empty afterwards (DAO's Close).
    void Close();

    /// Makes current the first record, in record-set order, that meets every
    /// criterion. A pending edit is dropped.
    void FindFirst(const std::vector<Criterion> &criteria);
    bool NoMatch() const { return m_noMatch; }

    /// A field of the current record (of the edit buffer while editing);
    /// an invalid QVariant for Null.
    QVariant Field(int field) const;
    /// Sets a field of the edit buffer. Text given for a number field is
    /// read under the record set's locale; text that is not such a number
    /// throws UserError naming the value.
    void setField(int field, const QVariant &value);

private:
    enum class Mode { None, Edit, AddNew };

    struct FieldInfo
    {
        QString name;
        bool isColumn = false; // false: not a column of the table, read-only
        Affinity affinity = Affinity::Other;
    };

    void checkField(int field) const;
    int fieldByName(const QString &name) const;
    void saveEdit();
    void saveNew();

    QLocale m_locale;
    QString m_fileName;
    std::vector<FieldInfo> m_fields;
    RecordRows m_rows;
    RecordIndexes m_indexes;
    std::unique_ptr<RecordWriter> m_writer;

    qsizetype m_pos = 0;
    bool m_noMatch = false;
    Mode m_mode = Mode::None;
    std::vector<QVariant> m_buffer;
    std::vector<bool> m_touched;
};
