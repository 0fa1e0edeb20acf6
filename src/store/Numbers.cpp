// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/Numbers.h"

#include <limits>

std::optional<qint32> parseInt32(QStringView text, const QLocale &locale)
{
    const QString group = locale.groupSeparator();
    QString digits = text.toString();
    if (!group.isEmpty())
        digits.remove(group);
    if (digits.trimmed().isEmpty())
        return std::nullopt;

    QLocale strict = locale;
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const qlonglong value = strict.toLongLong(digits, &ok);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}
