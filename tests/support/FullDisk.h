// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

/// In a mount namespace of the caller's own: an initial import of a long
/// list into a new database on a small file system of its own at folder,
/// until the disk is full; then the file read, with the disk still full, as
/// the main window reads it and as any other SQLite client does; then, the
/// last bytes of the disk taken too and the log's shared memory gone, the
/// message of the main window's reading. Prints one line each: the lines
/// the import saved, the members the window read, the records the other
/// client read, the bytes left free, the message. Returns 0, or 77 when no
/// file system can be mounted.
int fullDisk(const QString &folder);
