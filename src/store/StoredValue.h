// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/TableColumns.h"

#include <QLocale>
#include <QString>
#include <QVariant>

/// How a value becomes what SQLite stores and gives back.
namespace StoredValue {

/// Null: an invalid or null QVariant.
bool isNull(const QVariant &v);
/// A whole number of any C++ type.
bool isIntegral(const QVariant &v);
bool isFloating(const QVariant &v);

/// A text as the table gives it back. SQLite reads U+FFFE, U+FFFF and any
/// surrogate that is not half of a pair as U+FFFD, so they are replaced
/// before a value is kept or compared: what a record set holds is then
/// what a later session reads.
QString storedText(const QString &text);

/// The value a column of this affinity holds once it is saved: text for a
/// number column is read under the locale, whole numbers must fit in 32
/// bits. Throws UserError naming the value and the field.
QVariant toStored(Affinity affinity, const QVariant &v, const QLocale &locale, const QString &field);

} // namespace StoredValue
