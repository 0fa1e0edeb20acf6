// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QtGlobal>

/// The most memory this process has held at once (resident set or working
/// set), in bytes; 0 where the system does not say.
qint64 peakMemoryBytes();
