// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

/// The numbers a grid writes and reads under one locale, exactly as QLocale
/// writes and reads them, at a fraction of QLocale's cost where the locale
/// writes them plainly: ASCII digits, one-character signs and separators,
/// groups of three. Whether it does is checked against QLocale itself, on
/// every length of number, when the object is made; wherever the check
/// fails, QLocale does the work (Indian grouping, a Spanish "1234", other
/// digits). A grid of 32,767 rows writes and reads some 100,000 numbers.
class LocaleNumbers
{
public:
    explicit LocaleNumbers(const QLocale &locale);

    /// n with the locale's group separators, as QLocale::toString(n) with
    /// grouping writes it.
    QString grouped(qlonglong n) const;

    /// A single-precision number in its shortest form of at most seven
    /// significant digits, without group separators, as
    /// QLocale::toString(value, 'g', 7) writes it.
    QString shortest(float value) const;

    /// Whether the text, read as a single-precision number under the
    /// locale (QLocale::toFloat), is greater than zero; none when it does
    /// not read as one.
    std::optional<bool> positive(QStringView text) const;

private:
    QString plainGrouped(qlonglong n) const;
    QString plainShortest(float value) const;
    /// None when the text is not a plain decimal number.
    std::optional<bool> plainPositive(QStringView text) const;

    QLocale m_locale;
    QLocale m_grouping;
    QLocale m_ungrouped;
    QString m_zero;
    QString m_negativeZero;
    bool m_plainGroups = false;
    bool m_plainDecimals = false;
    bool m_plainShortest = false;
    char16_t m_separator = u',';
    char16_t m_minus = u'-';
    char16_t m_point = u'.';
    char16_t m_plus = u'+';
    char16_t m_exponential = u'e';
};
