// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "core/CsvWriter.h"

CsvWriter::CsvWriter(const QLocale &locale)
    : m_separator(locale.decimalPoint() == u"," ? u';' : u',')
{
}

void CsvWriter::addRow(const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            m_text += m_separator;
        const QString &field = fields[i];
        const bool quoted =
            field.contains(m_separator) || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n');
        if (!quoted) {
            m_text += field;
            continue;
        }
        m_text += u'"';
        for (const QChar c : field) {
            if (c == u'"')
                m_text += u'"';
            m_text += c;
        }
        m_text += u'"';
    }
    m_text += QLatin1String("\r\n");
}

QByteArray CsvWriter::bytes() const
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + m_text.toUtf8();
}
