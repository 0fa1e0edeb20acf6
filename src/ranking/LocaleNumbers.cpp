// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/LocaleNumbers.h"

#include <limits>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

LocaleNumbers::LocaleNumbers(const QLocale &locale)
    : m_locale(locale)
    , m_grouping(locale)
{
    m_grouping.setNumberOptions(m_grouping.numberOptions() & ~QLocale::OmitGroupSeparator);
    const QString zero = m_locale.zeroDigit();
    const QString separator = m_grouping.groupSeparator();
    const QString minus = m_locale.negativeSign();
    const QString point = m_locale.decimalPoint();
    if (zero != u"0" || minus.size() != 1)
        return;
    m_minus = minus.front().unicode();

    if (separator.size() == 1) {
        m_separator = separator.front().unicode();
        // Every length from 1 to 19 digits, every digit, both signs, and the
        // one number whose magnitude has no positive twin.
        m_plainGroups = plainGrouped(std::numeric_limits<qlonglong>::min())
                        == m_grouping.toString(std::numeric_limits<qlonglong>::min());
        qlonglong n = 0;
        for (int digits = 1; digits <= 19 && m_plainGroups; ++digits) {
            n = n * 10 + digits % 10;
            for (const qlonglong probe : {n, -n})
                m_plainGroups = m_plainGroups && plainGrouped(probe) == m_grouping.toString(probe);
        }
    }

    if (point.size() == 1 && !isDigit(point.front()) && point.front() != minus.front()) {
        m_point = point.front().unicode();
        // The forms plainPositive takes, as QLocale reads them.
        m_plainDecimals = true;
        for (const char *form : {"0", "7", "-7", "-0", "12.5", "-0.25", "007.50", "0.0", "123456789.987654321"}) {
            const QString probe = QString::fromLatin1(form).replace(u'.', QChar(m_point)).replace(u'-', QChar(m_minus));
            bool ok = false;
            const float q = m_locale.toFloat(probe, &ok);
            m_plainDecimals = m_plainDecimals && ok && plainPositive(probe) == (q > 0);
        }
    }
}

QString LocaleNumbers::grouped(qlonglong n) const
{
    return m_plainGroups ? plainGrouped(n) : m_grouping.toString(n);
}

std::optional<bool> LocaleNumbers::positive(const QString &text) const
{
    if (m_plainDecimals)
        if (const auto plain = plainPositive(text))
            return plain;
    bool ok = false;
    const float q = m_locale.toFloat(text, &ok);
    if (!ok)
        return std::nullopt;
    return q > 0;
}

QString LocaleNumbers::plainGrouped(qlonglong n) const
{
    const bool negative = n < 0;
    quint64 magnitude = negative ? 0 - static_cast<quint64>(n) : static_cast<quint64>(n);
    char16_t text[32];
    int at = 32;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            text[--at] = m_separator;
        text[--at] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude > 0);
    if (negative)
        text[--at] = m_minus;
    return QString(reinterpret_cast<const QChar *>(text + at), 32 - at);
}

std::optional<bool> LocaleNumbers::plainPositive(QStringView text) const
{
    // An optional minus, one to nine digits, and optionally the decimal
    // point with one to nine more: always a number within a float's range.
    qsizetype i = 0;
    const bool negative = i < text.size() && text[i] == QChar(m_minus);
    if (negative)
        ++i;
    bool nonZero = false;
    const auto digitsFrom = [&] {
        const qsizetype start = i;
        for (; i < text.size() && isDigit(text[i]); ++i)
            nonZero = nonZero || text[i] != u'0';
        return i - start;
    };
    const qsizetype whole = digitsFrom();
    if (whole < 1 || whole > 9)
        return std::nullopt;
    if (i < text.size()) {
        if (text[i] != QChar(m_point))
            return std::nullopt;
        ++i;
        const qsizetype fraction = digitsFrom();
        if (fraction < 1 || fraction > 9 || i != text.size())
            return std::nullopt;
    }
    return !negative && nonZero;
}
