// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "CercaGrado.h"

#include "LeggiVoce.h"
#include "TextFile.h"

bool CercaGrado(const QString &phrase, const QString &path)
{
    // The user may edit the list while the program runs, so nothing is kept
    // between calls; the file is small and read with one read.
    const QString content = readTextFile(path);
    const QString wanted = phrase.toLower();
    const QStringView text(content);
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QStringView item = nextItem(text, pos);
        // A raw-data string borrows the item's characters; toLower copies
        // them only when it has a letter to change.
        if (QString::fromRawData(item.data(), item.size()).toLower() == wanted)
            return true;
    }
    return false;
}
