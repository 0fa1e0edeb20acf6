// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "history/StoricoDati.h"

#include <QByteArray>
#include <QLocale>

namespace StoricoDati {

/// The whole history as a CSV file for a spreadsheet of the locale
/// (CsvWriter): a row per member (by home planet, in the members' table
/// order) with Nick, Madre and Grado of its latest snapshot, a column per
/// snapshot in the order taken, headed by its date and kind, holding the
/// score there or nothing, and Giorni fermo. Numbers without thousands
/// separators.
QByteArray csvStorico(const Quadro &quadro, const QLocale &locale);

/// Writes that file at the path, whole or not at all. Throws UserError.
void salvaCsvStorico(const QString &path, const Quadro &quadro, const QLocale &locale);

} // namespace StoricoDati
