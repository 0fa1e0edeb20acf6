// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>
#include <QStringView>

/// True when the system's code page, in which text files are read and
/// written, is UTF-8: on Linux, not on Windows, whose 8-bit code page reads
/// UTF-8's bytes as other letters.
inline bool systemCodePageIsUtf8()
{
    return QString::fromLocal8Bit("\xC3\xA8") == QStringView(u"\u00E8");
}
