// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

/// True when the phrase is one of the rank names of the rank list file,
/// letter case aside. Reads the file afresh at every call. Throws UserError.
bool CercaGrado(const QString &phrase, const QString &path = QStringLiteral("Gradi.txt"));
