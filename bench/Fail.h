// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

/// Ends the benchmark with the reason on standard error and exit code 1.
[[noreturn]] void fail(const QString &why);
