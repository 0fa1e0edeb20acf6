// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "Fail.h"

#include <cstdio>
#include <cstdlib>

void fail(const QString &why)
{
    std::fprintf(stderr, "quadrivo_bench: %s\n", qPrintable(why));
    std::fflush(stderr);
    std::exit(1);
}
