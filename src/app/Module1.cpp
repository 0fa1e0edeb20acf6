// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/Module1.h"

namespace Module1 {

qint16 TipoDati = 0;

} // namespace Module1
