// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

/// The name of a layer over SQLite's own file layer (its default VFS) that
/// writes each frame of the log, its 24-byte header and its page, with one
/// system call instead of two; every other file and call passes through
/// unchanged. A connection that commits records one by one asks for it by
/// this name ("vfs=" in its URI). Registered with the SQLite library linked
/// here at the first call; empty when it cannot be.
const char *joinedWritesVfs();
