// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QLocale>
#include <QStringView>

#include <optional>

/// Reads a whole number in the 32-bit range as the user writes it: an
/// optional sign and digits, the locale's digit-grouping separator accepted
/// anywhere and ignored. Anything else gives no value.
std::optional<qint32> parseInt32(QStringView text, const QLocale &locale);
