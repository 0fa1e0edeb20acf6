// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

/// True when the phrase is one of the rank names of the rank list file,
/// letter case aside. Reads the file afresh at every call. Throws UserError.
bool CercaGrado(const QString &phrase, const QString &path = QStringLiteral("Gradi.txt"));

/// Writes text into into in lower case, as QString::toLower gives it. ASCII
/// is lowered letter by letter in into's own room, kept from one call to
/// the next; text with any other character goes through toLower, whose
/// mappings may change its length.
void minuscole(QStringView text, QString &into);
