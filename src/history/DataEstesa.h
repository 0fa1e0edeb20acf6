// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "history/StoricoDati.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

/// Dates that leave the history, in a post or in a file, with the year in
/// full: the locale's short format, whose year has two digits in most
/// locales ("10/12/26"), with four ("10/12/2026").
namespace StoricoDati {

/// The date alone.
QString giornoEsteso(const QDateTime &quando, const QLocale &locale);
/// The date and the time, or Quando as stored when it does not read as one.
QString momentoEsteso(const RigaRilevazione &r, const QLocale &locale);

} // namespace StoricoDati
