// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/CercaGrado.h"

#include "import/LeggiVoce.h"
#include "import/TextFile.h"

namespace {

// True when the item, lower-cased, equals wanted. Plain ASCII is lowered
// letter by letter as toLower would, without a copy; an item with any other
// character goes through toLower, whose mappings may change its length.
bool equalsLowered(QStringView item, const QString &wanted)
{
    const qsizetype size = item.size();
    const bool sameSize = size == wanted.size();
    for (qsizetype i = 0; i < size; ++i) {
        char16_t c = item[i].unicode();
        if (c >= 0x80)
            return QString::fromRawData(item.data(), size).toLower() == wanted;
        if (!sameSize)
            continue;
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
        if (c != wanted[i].unicode())
            return false;
    }
    return sameSize;
}

} // namespace

bool CercaGrado(const QString &phrase, const QString &path)
{
    // The user may edit the list while the program runs, so nothing is kept
    // between calls; the file is small and read with one read.
    const QString content = readTextFile(path);
    const QString wanted = phrase.toLower();
    const QStringView text(content);
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (equalsLowered(nextItem(text, pos), wanted))
            return true;
    }
    return false;
}
