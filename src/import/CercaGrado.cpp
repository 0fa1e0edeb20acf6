// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/CercaGrado.h"

#include "import/LeggiVoce.h"
#include "import/TextFile.h"

void minuscole(QStringView text, QString &into)
{
    into.resize(text.size());
    QChar *to = into.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            into = text.toString().toLower();
            return;
        }
        to[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
    }
}

bool CercaGrado(const QString &phrase, const QString &path)
{
    // The user may edit the list while the program runs, so nothing is kept
    // between calls; the file is small and read with one read.
    const QString content = readTextFile(path);
    const QString wanted = phrase.toLower();
    const QStringView text(content);
    QString item;
    qsizetype pos = 0;
    while (pos < text.size()) {
        minuscole(nextItem(text, pos), item);
        if (item == wanted)
            return true;
    }
    return false;
}
