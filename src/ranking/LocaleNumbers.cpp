// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/LocaleNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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
    , m_ungrouped(locale)
{
    m_grouping.setNumberOptions(m_grouping.numberOptions() & ~QLocale::OmitGroupSeparator);
    m_ungrouped.setNumberOptions(m_ungrouped.numberOptions() | QLocale::OmitGroupSeparator);
    m_zero = m_ungrouped.toString(0.0, 'g', 7);
    m_negativeZero = m_ungrouped.toString(-0.0, 'g', 7);
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

        const QString plus = m_locale.positiveSign();
        const QString exponential = m_locale.exponential();
        if (plus.size() == 1 && exponential.size() == 1) {
            m_plus = plus.front().unicode();
            m_exponential = exponential.front().unicode();
            // Both signs, whole and fractional, the longest fixed forms and
            // the exponent's, small and large, of both signs.
            m_plainShortest = true;
            for (const float probe : {7.0f, -12.35f, 0.5f, 33.33333f, -0.0001f, 0.00012345f, 100.0f, 1234567.0f,
                                      -12345678.0f, 1.0e20f, 3.4e38f, 1.0e-38f, 123.4567f}) {
                m_plainShortest =
                    m_plainShortest && plainShortest(probe) == m_ungrouped.toString(double(probe), 'g', 7);
            }
        }
    }
}

QString LocaleNumbers::shortest(float value) const
{
    // Zero, the change of every member who stood still, has the form
    // QLocale gives it, once for each sign.
    if (value == 0.0f)
        return std::signbit(value) ? m_negativeZero : m_zero;
    if (m_plainShortest && std::isfinite(value))
        return plainShortest(value);
    return m_ungrouped.toString(double(value), 'g', 7);
}

QString LocaleNumbers::plainShortest(float value) const
{
    // The C library's "%.7g", with the locale's signs, point and exponent.
    // A value exactly halfway between two forms of seven digits (eight
    // digits, the last a 5, and nothing after) is rounded to even there
    // but away from zero by QLocale: the double next to it, away from
    // zero, is written instead.
    double exact = value;
    char text[32];
    const auto eight = std::to_chars(text, text + sizeof text, exact, std::chars_format::scientific, 7);
    if (eight.ec == std::errc() && *(std::find(text, eight.ptr, 'e') - 1) == '5') {
        double back = 0;
        if (std::from_chars(text, eight.ptr, back).ec == std::errc() && back == exact)
            exact = std::nextafter(exact, exact > 0 ? HUGE_VAL : -HUGE_VAL);
    }
    const auto written = std::to_chars(text, text + sizeof text, exact, std::chars_format::general, 7);
    char16_t out[32];
    int size = 0;
    for (const char *c = text; c != written.ptr; ++c) {
        switch (*c) {
        case '-':
            out[size++] = m_minus;
            break;
        case '+':
            out[size++] = m_plus;
            break;
        case '.':
            out[size++] = m_point;
            break;
        case 'e':
            out[size++] = m_exponential;
            break;
        default:
            out[size++] = static_cast<char16_t>(*c);
        }
    }
    return QString(reinterpret_cast<const QChar *>(out), size);
}

QString LocaleNumbers::grouped(qlonglong n) const
{
    return m_plainGroups ? plainGrouped(n) : m_grouping.toString(n);
}

std::optional<bool> LocaleNumbers::positive(QStringView text) const
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
