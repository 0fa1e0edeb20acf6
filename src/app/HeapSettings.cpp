// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/HeapSettings.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void configureHeap()
{
#if defined(__GLIBC__)
    // glibc gives a block of 128 KiB or more pages of its own, but raises
    // that limit to the size of each such block freed, up to 32 MiB: once
    // the first large list is gone, the next grids, record sets and texts
    // come from the shared heap, which keeps the pages they free and is
    // left with holes that later blocks do not fit. The limit fixed where
    // it starts keeps every large block apart; lower, the 88 KiB that
    // SQLite takes for each INSERT ... RETURNING would cost two system
    // calls a saved record. (Windows' heap does the like on its own.)
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

void releaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
