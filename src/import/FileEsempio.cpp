// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/FileEsempio.h"

#include "import/LeggiVoce.h"
#include "import/TextFile.h"

#include <QFileInfo>

bool esisteFileOrdinario(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

QString nomeFileEsempio(qint16 tipoDati)
{
    return QStringLiteral("Esempio%1.txt").arg(tipoDati);
}

QString leggiFileEsempio(const QString &path)
{
    const QString content = readTextFile(path);
    const QStringView text(content);
    QString box;
    box.reserve(content.size() + content.size() / 8);
    qsizetype pos = 0;
    while (pos < text.size()) {
        box += LeggiVoce(text, pos);
        box += QLatin1String("\r\n");
    }
    return box;
}

QString testoDaSalvare(const QString &text)
{
    const qsizetype lastBreak = text.lastIndexOf(QLatin1String("\r\n"));
    return lastBreak < 0 ? QString() : text.left(lastBreak + 2);
}

void salvaFileEsempio(const QString &path, const QString &text)
{
    writeTextFile(path, testoDaSalvare(text));
}
