// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/Storico.h"

#include <QtGlobal>

#include <optional>

class RecordSet;

/// The change of a member's score between the two snapshots.
struct Variazione
{
    qint32 diff; // points gained
    float per;   // percent, rounded to two decimals
};

/// Points gained and percent from an initial score that is not 0;
/// std::nullopt when the points gained leave the 32-bit range.
std::optional<Variazione> calcolaVariazione(qint32 puntiIni, qint32 puntiFin);

/// Rounds to two decimals, halves away from zero, as the "0.00" pattern
/// does on a single-precision number.
float arrotondaCentesimi(float q);

/// Merges one member line into the member table as an initial import does:
/// into the first free record, or a new one, with the initial score and no
/// final score or change; the record is saved at once. Returns the line as
/// the record holds it. Throws UserError.
Storico::RigaRilevazione fondiRigaIniziale(RecordSet &rs, const Storico::RigaRilevazione &riga);

/// Merges one member line as a final import does: into the current member
/// of the same home planet, else into a free record or a new one as a
/// newcomer; the final score, and the change where there is an initial
/// score that is not 0; the record is saved at once. Returns the line as the
/// record holds it. Throws UserError.
Storico::RigaRilevazione fondiRigaFinale(RecordSet &rs, const Storico::RigaRilevazione &riga);
