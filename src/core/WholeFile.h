// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

/// Why a file could not be read or written, in Italian where the cause is
/// a common one, else in Qt's own words.
QString fileErrorReason(const QFileDevice &file);

/// Creates or replaces the file with the bytes, whole or not at all: they
/// are written under a temporary name and renamed over the file when
/// complete, so that a failure leaves an old file as it was. Throws
/// UserError saying which file, why, and what is kept.
void writeWholeFile(const QString &path, const QByteArray &bytes);
