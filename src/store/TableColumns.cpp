// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/TableColumns.h"

#include "core/Failure.h"
#include "store/SqlErrors.h"

#include "store/PreparedQuery.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

namespace {

// SQLite's rules for a column's affinity, from the words of its type.
Affinity affinityOf(const QString &declared)
{
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
        || type.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA"))
        || type.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Other;
}

bool isNameStart(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9');
}

// The position just past a keyword that stands as a word of its own at
// pos, or -1.
qsizetype pastKeyword(QStringView text, qsizetype pos, QLatin1String keyword)
{
    if (pos > 0 && isNameChar(text[pos - 1]))
        return -1;
    if (text.sliced(pos).left(keyword.size()).compare(keyword, Qt::CaseInsensitive) != 0)
        return -1;
    const qsizetype end = pos + keyword.size();
    return end < text.size() && text[end].isSpace() ? end : -1;
}

} // namespace

TableColumns TableColumns::read(SQLite::Database &db, const QString &table, const QString &fileName)
{
    TableColumns columns;
    try {
        // The name comes from a parsed statement: letters, digits and '_' only.
        SQLite::Statement query(db, "PRAGMA table_info(" + table.toStdString() + ')');
        while (query.executeStep())
            columns.m_columns.insert(columnText(query.getColumn(1)).toLower(),
                                     Column{query.getColumn(0).getInt(), affinityOf(columnText(query.getColumn(2)))});
    } catch (const SQLite::Exception &e) {
        failSql(QStringLiteral("Impossibile aprire il database «%1»"), fileName, e);
    }
    return columns;
}

const TableColumns::Column *TableColumns::find(const QString &name) const
{
    const auto it = m_columns.constFind(name.toLower());
    return it == m_columns.constEnd() ? nullptr : &*it;
}

Statement Statement::parse(const QString &text, const QString &fileName)
{
    const QStringView view(text);
    qsizetype pos = 0;
    while (pos < view.size() && view[pos].isSpace())
        ++pos;
    const qsizetype fields = pastKeyword(view, pos, QLatin1String("SELECT"));

    // The first FROM that stands as a word, and the name after it.
    QString table;
    for (qsizetype i = fields < 0 ? view.size() : fields; i < view.size() && table.isEmpty(); ++i) {
        qsizetype name = pastKeyword(view, i, QLatin1String("FROM"));
        if (name < 0)
            continue;
        while (name < view.size() && view[name].isSpace())
            ++name;
        qsizetype end = name;
        if (end < view.size() && isNameStart(view[end]))
            while (end < view.size() && isNameChar(view[end]))
                ++end;
        table = view.sliced(name, end - name).toString();
    }
    if (fields < 0 || table.isEmpty())
        throw UserError(QStringLiteral("Istruzione non valida per il database «%1»: %2").arg(fileName, text));
    return Statement{table, QStringLiteral("SELECT rowid,") + view.sliced(fields + 1).toString()};
}
