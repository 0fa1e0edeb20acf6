// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QByteArray>
#include <QString>

/// Decodes 8-bit text in the system code page; when the bytes are not valid
/// in it, the whole text is decoded as Windows-1252 instead.
QString decodeText(const QByteArray &bytes);

/// Reads a whole text file and decodes it. Throws UserError.
QString readTextFile(const QString &path);

/// Creates or replaces the file with the text in the system code page,
/// whole or not at all: on a failure an old file stays as it was. Throws
/// UserError.
void writeTextFile(const QString &path, const QString &text);
