// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "store/Storico.h"

class DataControl;

/// Makes the member table what an initial import of the start snapshot's
/// lines, in their order, followed by a final import of the end snapshot's
/// lines would make of it, by the imports' own rules; the history is not
/// touched. Unlike the imports, it is written in one transaction: whole, or
/// the table as it was. Each snapshot is named by Id, Quando and Tipo as
/// the window showed it. Throws UserError; the table is then unchanged.
void confrontaRilevazioni(DataControl &data1, const Storico::Rilevazione &inizio, const Storico::Rilevazione &fine);
