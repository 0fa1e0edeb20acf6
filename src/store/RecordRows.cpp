// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/RecordRows.h"

#include <QString>

#include <limits>

namespace {

constexpr std::size_t blockRecords = 1024;
// A field with more distinct texts than this (a nickname) is no longer
// looked through for an equal one.
constexpr qsizetype sharedTextsLimit = 64;

} // namespace

RecordRows::RecordRows(int fieldCount)
    : m_fieldCount(static_cast<std::size_t>(fieldCount))
    , m_fieldTexts(m_fieldCount, SharedTexts(sharedTextsLimit))
{
}

RecordRows::~RecordRows() = default;
RecordRows::RecordRows(RecordRows &&) noexcept = default;
RecordRows &RecordRows::operator=(RecordRows &&) noexcept = default;

RecordRows::Cell &RecordRows::cell(qsizetype record, int field)
{
    const auto r = static_cast<std::size_t>(record);
    return m_cells[r / blockRecords][(r % blockRecords) * m_fieldCount + static_cast<std::size_t>(field)];
}

const RecordRows::Cell &RecordRows::cell(qsizetype record, int field) const
{
    return const_cast<RecordRows *>(this)->cell(record, field);
}

QVariant RecordRows::valueOf(const Cell &c, bool copyText) const
{
    switch (c.kind) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return qlonglong(c.integer);
    case Kind::Real:
        return c.real;
    case Kind::Text: {
        const auto *chars = reinterpret_cast<const QChar *>(c.text);
        const auto size = static_cast<qsizetype>(c.size);
        return copyText ? QString(chars, size) : QString::fromRawData(chars, size);
    }
    case Kind::Other:
        return m_others[c.other];
    }
    return {};
}

QVariant RecordRows::value(qsizetype record, int field) const
{
    return valueOf(cell(record, field), true);
}

QVariant RecordRows::peek(qsizetype record, int field) const
{
    return valueOf(cell(record, field), false);
}

const char16_t *RecordRows::keepText(int field, QStringView text)
{
    if (text.isEmpty())
        return m_texts.keep(text).utf16();
    SharedTexts &seen = m_fieldTexts[static_cast<std::size_t>(field)];
    if (const QString found = seen.find(text); !found.isNull())
        return QStringView(found).utf16();
    const QStringView kept = m_texts.keep(text);
    // The kept text reads its copy in the blocks, which live as long as
    // the rows and their shared texts.
    seen.keep(QString::fromRawData(kept.data(), kept.size()));
    return kept.utf16();
}

void RecordRows::set(qsizetype record, int field, const QVariant &value)
{
    Cell &c = cell(record, field);
    if (!value.isValid()) {
        c = Cell();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::LongLong:
        c = Cell();
        c.kind = Kind::Integer;
        c.integer = value.toLongLong();
        return;
    case QMetaType::Double:
        c = Cell();
        c.kind = Kind::Real;
        c.real = value.toDouble();
        return;
    case QMetaType::QString: {
        const auto *text = static_cast<const QString *>(value.constData());
        if (text->isNull() || text->size() > std::numeric_limits<quint32>::max())
            break;
        // A record saved again mostly keeps its texts.
        if (c.kind == Kind::Text && QStringView(c.text, static_cast<qsizetype>(c.size)) == *text)
            return;
        const char16_t *chars = keepText(field, *text);
        c = Cell();
        c.kind = Kind::Text;
        c.text = chars;
        c.size = static_cast<quint32>(text->size());
        return;
    }
    default:
        break;
    }
    if (c.kind == Kind::Other) {
        m_others[c.other] = value;
        return;
    }
    m_others.push_back(value);
    c = Cell();
    c.kind = Kind::Other;
    c.other = m_others.size() - 1;
}

void RecordRows::append(qint64 rowid)
{
    const std::size_t record = m_rowids.size();
    if (record % blockRecords == 0)
        m_cells.push_back(std::make_unique<Cell[]>(blockRecords * m_fieldCount));
    m_rowids.push_back(rowid);
}

void RecordRows::append(qint64 rowid, const std::vector<QVariant> &values)
{
    append(rowid);
    const qsizetype record = count() - 1;
    for (int i = 0; i < fieldCount(); ++i)
        set(record, i, values[static_cast<std::size_t>(i)]);
}
