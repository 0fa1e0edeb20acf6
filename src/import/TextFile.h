// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

/// A text file that could not be read or written, with a message for the
/// user in Italian that names the file.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &message);

    /// The message as text.
    QString message() const;
};

/// Decodes 8-bit text in the system code page; when the bytes are not valid
/// in it, the whole text is decoded as Windows-1252 instead.
QString decodeText(const QByteArray &bytes);

/// Reads a whole text file and decodes it. Throws FileError.
QString readTextFile(const QString &path);

/// Creates or replaces the file with the text in the system code page.
/// Throws FileError.
void writeTextFile(const QString &path, const QString &text);
