// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QHash>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <set>
#include <vector>

/// One condition of a search: the field with this name equals this value.
/// Values are compared as values, never spliced into SQL.
struct Criterion
{
    QString field;
    QVariant value;
};

/// An updatable record set over the result of one statement on one table.
/// Records are kept in the order the statement delivered them; fields are
/// addressed by their position in the statement. Each Update is saved at
/// once, in its own transaction. Searches are answered from indexes that are
/// kept up to date as records are saved, so a search costs the same whatever
/// the size of the set.
class RecordSet
{
public:
    /// Runs a statement of the form "SELECT fields FROM table ..." and loads
    /// its records. Throws DatabaseError.
    RecordSet(const QSqlDatabase &db, const QString &statement, const QLocale &locale, const QString &fileName);
    ~RecordSet();

    RecordSet(const RecordSet &) = delete;
    RecordSet &operator=(const RecordSet &) = delete;

    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    qsizetype RecordCount() const { return static_cast<qsizetype>(m_rowids.size()); }
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

    /// Makes current the first record, in record-set order, that meets every
    /// criterion. A pending edit is dropped.
    void FindFirst(const std::vector<Criterion> &criteria);
    bool NoMatch() const { return m_noMatch; }

    /// A field of the current record (of the edit buffer while editing);
    /// an invalid QVariant for Null.
    QVariant Field(int field) const;
    /// Sets a field of the edit buffer. Text given for a number field is
    /// read under the record set's locale; text that is not such a number
    /// throws DatabaseError naming the value.
    void setField(int field, const QVariant &value);

private:
    enum class Affinity { Text, Integer, Real, Other };
    enum class Mode { None, Edit, AddNew };

    struct FieldInfo
    {
        QString name;
        int tableColumn = -1; // -1: not a column of the table, read-only
        Affinity affinity = Affinity::Other;
    };

    struct Index
    {
        std::vector<int> fields;
        QHash<QString, std::set<qsizetype>> rows;
    };

    const QVariant &value(qsizetype record, int field) const
    {
        return m_values[static_cast<std::size_t>(record) * m_fields.size() + static_cast<std::size_t>(field)];
    }
    QVariant &value(qsizetype record, int field)
    {
        return m_values[static_cast<std::size_t>(record) * m_fields.size() + static_cast<std::size_t>(field)];
    }

    /// The statement's fields that are columns of the table, in order.
    QStringList writableColumns() const;
    void checkField(int field) const;
    int fieldByName(const QString &name) const;
    QVariant convert(const FieldInfo &info, const QVariant &value) const;
    std::optional<QString> keyOf(const Index &index, qsizetype record) const;
    Index &indexFor(std::vector<int> fields);
    void reindex(qsizetype record, const std::vector<QVariant> &oldValues);
    void saveEdit();
    void saveNew();
    [[noreturn]] void fail(const QString &action, const QSqlQuery &query) const;

    QSqlDatabase m_db;
    QLocale m_locale;
    QString m_fileName;
    QString m_table;
    std::vector<FieldInfo> m_fields;
    std::vector<qint64> m_rowids;
    std::vector<QVariant> m_values; // RecordCount() x FieldCount(), row by row

    qsizetype m_pos = 0;
    bool m_noMatch = false;
    Mode m_mode = Mode::None;
    std::vector<QVariant> m_buffer;
    std::vector<bool> m_touched;

    std::vector<std::unique_ptr<Index>> m_indexes;
    std::unique_ptr<QSqlQuery> m_updateQuery;
    std::unique_ptr<QSqlQuery> m_readBackQuery;
    QHash<quint64, std::shared_ptr<QSqlQuery>> m_insertQueries;
};
