// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QtGlobal>

namespace Module1 {

/// The kind of member list being entered: 1 = initial data, 2 = final data,
/// 0 until the main window first sets it. The program's one global.
extern qint16 TipoDati;

} // namespace Module1
