// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

/// True when an ordinary, not hidden, file of that name exists.
bool esisteFileOrdinario(const QString &path);

/// "Esempio1.txt" for initial data, "Esempio2.txt" for final data.
QString nomeFileEsempio(qint16 tipoDati);

/// The text box's text for a sample file: every item of the file on a line
/// of its own, each line ended by CR LF. Throws UserError.
QString leggiFileEsempio(const QString &path);

/// What a sample file keeps of the box's text: every line ended by a line
/// break; whatever follows the last CR LF is dropped.
QString testoDaSalvare(const QString &text);

/// Replaces the sample file with the box's lines. Throws UserError.
void salvaFileEsempio(const QString &path, const QString &text);
