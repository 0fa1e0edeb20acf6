// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/StoredValue.h"

#include "core/Failure.h"
#include "store/Numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace StoredValue {

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

bool isIntegral(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool isFloating(const QVariant &v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

QString storedText(const QString &text)
{
    // Below the surrogates every character is stored as it is.
    const QStringView chars(text);
    if (std::all_of(chars.begin(), chars.end(), [](QChar c) { return c.unicode() < 0xD800; }))
        return text;
    // Shares the text until the first replacement.
    QString result = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate() || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

QVariant toStored(Affinity affinity, const QVariant &v, const QLocale &locale, const QString &field)
{
    if (isNull(v))
        return QVariant();
    // The common cases first: a text for a text, a whole number for a whole
    // number.
    const int type = v.typeId();
    if (type == QMetaType::QString && (affinity == Affinity::Text || affinity == Affinity::Other))
        return QVariant(storedText(*static_cast<const QString *>(v.constData())));
    if (affinity == Affinity::Integer && (type == QMetaType::Int || type == QMetaType::LongLong)) {
        const qlonglong n = v.toLongLong();
        if (n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max())
            return QVariant(n);
    }
    const auto notANumber = [&](const char *kind) {
        return UserError(QStringLiteral("Il valore «%1» non si può leggere come %2 (campo %3).")
                             .arg(v.toString(), QString::fromUtf8(kind), field));
    };
    switch (affinity) {
    case Affinity::Integer: {
        if (v.typeId() == QMetaType::QString) {
            const auto n = parseInt32(v.toString(), locale);
            if (!n)
                throw notANumber("numero intero");
            return QVariant(qlonglong(*n));
        }
        qlonglong n = 0;
        if (isIntegral(v))
            n = v.toLongLong();
        else if (isFloating(v) && v.toDouble() == std::trunc(v.toDouble()) && std::fabs(v.toDouble()) < 3.0e9)
            n = static_cast<qlonglong>(v.toDouble());
        else
            throw notANumber("numero intero");
        if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
            throw notANumber("numero intero");
        return QVariant(n);
    }
    case Affinity::Real: {
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const double d = locale.toDouble(v.toString(), &ok);
            if (!ok || !std::isfinite(d))
                throw notANumber("numero");
            return QVariant(d);
        }
        if (!isIntegral(v) && !isFloating(v))
            throw notANumber("numero");
        return QVariant(v.toDouble());
    }
    case Affinity::Text:
        return QVariant(storedText(v.toString()));
    case Affinity::Other:
        break;
    }
    if (v.typeId() == QMetaType::QString)
        return QVariant(storedText(v.toString()));
    return v;
}

} // namespace StoredValue
