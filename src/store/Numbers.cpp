// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Numbers.h"

#include <limits>

IntegerReader::IntegerReader(const QLocale &locale)
    : m_strict(locale)
    , m_group(locale.groupSeparator())
    , m_asciiDigits(locale.zeroDigit() == QLatin1String("0"))
{
    m_strict.setNumberOptions(QLocale::RejectGroupSeparator);
}

std::optional<qint32> IntegerReader::operator()(QStringView text) const
{
    // The common case, digits and separators alone, is read here; it gives
    // what the locale's own reading below gives.
    if (m_asciiDigits && m_group.size() <= 1) {
        qint64 value = 0;
        int digits = 0;
        bool plain = true;
        for (const QChar c : text) {
            if (c >= u'0' && c <= u'9') {
                value = value * 10 + (c.unicode() - u'0');
                if (++digits > 10) {
                    plain = false;
                    break;
                }
            } else if (m_group.isEmpty() || c != m_group.front()) {
                plain = false;
                break;
            }
        }
        if (plain) {
            if (digits == 0 || value > std::numeric_limits<qint32>::max())
                return std::nullopt;
            return static_cast<qint32>(value);
        }
    }

    QString digits = text.toString();
    if (!m_group.isEmpty())
        digits.remove(m_group);
    if (digits.trimmed().isEmpty())
        return std::nullopt;
    bool ok = false;
    const qlonglong value = m_strict.toLongLong(digits, &ok);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

std::optional<qint32> parseInt32(QStringView text, const QLocale &locale)
{
    return IntegerReader(locale)(text);
}
