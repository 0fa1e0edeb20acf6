// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

/// Reads whole numbers in the 32-bit range as the user writes them under
/// one locale: an optional sign and digits, the locale's digit-grouping
/// separator accepted anywhere and ignored. Anything else gives no value.
/// The locale's separators are looked up once, when the reader is made, so
/// an import reads its scores without asking the system at every line.
class IntegerReader
{
public:
    explicit IntegerReader(const QLocale &locale);

    std::optional<qint32> operator()(QStringView text) const;

private:
    QLocale m_strict; // the locale, rejecting group separators
    QString m_group;
    bool m_asciiDigits; // the locale writes 0 to 9 as ASCII
};

/// One number read as IntegerReader(locale) reads it.
std::optional<qint32> parseInt32(QStringView text, const QLocale &locale);
