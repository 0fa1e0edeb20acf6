// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

class QWidget;

/// Asks, in a file dialog, where a CSV file goes, starting from the
/// proposed path; the dialog asks before an existing file is replaced.
/// Returns the path chosen, empty when the user cancels.
QString chiediFileCsv(QWidget *parent, const QString &proposed);
