// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>

/// A CSV file as a spreadsheet of the given locale reads it: fields
/// separated by ";" where the locale's decimal separator is a comma and
/// by "," elsewhere, quoted (a quote doubled) where they hold the
/// separator, a quote or a line break; every row ended by CR LF; UTF-8
/// with a byte order mark, by which spreadsheets know the encoding.
class CsvWriter
{
public:
    explicit CsvWriter(const QLocale &locale);

    QChar separator() const { return m_separator; }

    /// Appends one row of fields.
    void addRow(const QStringList &fields);

    /// The file's bytes: the byte order mark and every row so far.
    QByteArray bytes() const;

private:
    QChar m_separator;
    QString m_text;
};
