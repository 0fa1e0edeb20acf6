// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

/// Sets how the C library's heap serves the program: large blocks (a grid,
/// a record set's values, a pasted list) get pages of their own, given back
/// to the system as soon as they are freed. Call first in main(), before
/// anything is allocated in quantity. Does nothing where the C library
/// needs no telling.
void configureHeap();

/// Gives the system back the pages of the heap that freed blocks left
/// empty inside it, which the C library otherwise keeps for later. Call
/// when a window's command is done and the memory it used is free (a few
/// milliseconds after an import of 32,767 members). Does nothing where the
/// C library is neither glibc nor Windows'.
void releaseFreedMemory();
