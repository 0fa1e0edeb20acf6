// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "FuzzSupport.h"

#include "import/LeggiVoce.h"
#include "import/TextFile.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "\n*** Quadrivo fuzz check failed: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "*** %s\n", detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

QString decodeInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    return decodeText(bytes);
}

std::vector<QStringView> splitAtMarkers(QStringView text)
{
    std::vector<QStringView> pieces;
    qsizetype begin = 0;
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && text[lineEnd] != u'\r' && text[lineEnd] != u'\n')
            ++lineEnd;
        qsizetype next = lineEnd;
        if (next < text.size())
            next += text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n' ? 2 : 1;
        if (lineEnd < text.size() && text.sliced(lineStart, lineEnd - lineStart) == u"--") {
            pieces.push_back(text.sliced(begin, lineStart - begin));
            begin = next;
        }
        lineStart = next;
    }
    pieces.push_back(text.sliced(begin));
    return pieces;
}

QString asStored(const QString &text)
{
    QString stored;
    stored.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            stored += c;
            stored += text[++i];
        } else if (c.isSurrogate() || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF) {
            stored += QChar::ReplacementCharacter;
        } else {
            stored += c;
        }
    }
    return stored;
}

bool isValidUtf16(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (text[i].isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

RankList::RankList(QStringView fileText)
{
    qsizetype pos = 0;
    while (pos < fileText.size()) {
        const qsizetype before = pos;
        m_names.insert(LeggiVoce(fileText, pos).toLower());
        check(pos > before, "LeggiVoce does not advance in the rank list");
    }
}

} // namespace fuzz
