// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/Module1.h"

namespace Module1 {

qint16 TipoDati = 0;

} // namespace Module1
