// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// The item reader over any bytes: the bytes are decoded as a text file is,
// then read item by item to the end. Every call must move forward (else a
// reading loop never ends), and every item must be what the rules make of
// the stretch of text the call consumed. The same bytes are then a rank
// list file for CercaGrado, which must find a phrase exactly when one of
// the items, letter case aside, is that phrase, and for a Gradi made for
// the file, as an entry window makes one, which must answer as CercaGrado
// from the names it keeps in memory.
#include "FuzzSupport.h"

#include "import/CercaGrado.h"
#include "import/Gradi.h"
#include "import/LeggiVoce.h"
#include "import/TextFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

bool endsItem(QChar c)
{
    return c == u',' || c == u'\r' || c == u'\n';
}

// The decoded text is the bytes as UTF-8 or, when they are not valid UTF-8,
// one character per byte with ASCII unchanged.
void checkDecoding(const QByteArray &bytes, const QString &text)
{
    QByteArray utf8 = bytes;
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8.remove(0, 3);
    if (text.toUtf8() == utf8 && fuzz::isValidUtf16(text))
        return;
    fuzz::check(text.size() == bytes.size(), "decodeText lost or added characters");
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        fuzz::check(b >= 0x80 || text[i] == QChar(b), "decodeText changed an ASCII byte");
        fuzz::check(b < 0x80 || text[i].unicode() >= 0x80, "decodeText made ASCII of a high byte");
    }
}

QString rankFolder;
QString rankFile;

// A few phrases made from the items: as written, in capitals, one
// character longer and one shorter; the empty phrase too.
void checkRankLookup(const QByteArray &bytes, const QString &text, const std::vector<QString> &items)
{
    QFile file(rankFile);
    fuzz::check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
                "cannot write the rank list file");
    file.close();

    const fuzz::RankList ranks(text);
    std::vector<QString> phrases{QString()};
    if (!items.empty()) {
        for (const QString &item : {items.front(), items[items.size() / 2], items.back()}) {
            phrases.push_back(item.toUpper());
            phrases.push_back(item + u'x');
            phrases.push_back(item.left(item.size() - 1));
        }
    }
    for (const QString &phrase : phrases) {
        fuzz::check(CercaGrado(phrase, rankFile) == ranks.contains(phrase),
                    "CercaGrado does not answer as the items of the file", phrase);
    }

    // Gradi reads the file of the current folder; every phrase is asked
    // twice, the second time from memory where the system allows it.
    const QString previous = QDir::currentPath();
    fuzz::check(QDir::setCurrent(rankFolder), "cannot enter the temporary folder");
    {
        Gradi gradi;
        for (int round = 0; round < 2; ++round) {
            for (const QString &phrase : phrases) {
                fuzz::check(gradi.CercaGrado(phrase) == ranks.contains(phrase),
                            "Gradi does not answer as the items of the file", phrase);
            }
        }
    }
    QDir::setCurrent(previous);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir dir;
    fuzz::check(dir.isValid(), "no temporary folder");
    rankFolder = dir.path();
    rankFile = dir.filePath(QStringLiteral("Gradi.txt"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = decodeText(bytes);
    checkDecoding(bytes, text);

    const QStringView view(text);
    std::vector<QString> items;
    qsizetype pos = 0;
    while (pos < view.size()) {
        const qsizetype before = pos;
        qsizetype copyPos = pos;
        const QStringView item = nextItem(view, pos);
        const QString copy = LeggiVoce(view, copyPos);
        fuzz::check(pos > before, "LeggiVoce does not advance: a reading loop would never end");
        fuzz::check(pos <= view.size(), "LeggiVoce went past the end of the text");
        fuzz::check(copyPos == pos && copy == item, "LeggiVoce and nextItem disagree");
        items.push_back(copy);

        // The item lies within what the call consumed.
        const qsizetype begin = item.data() ? item.data() - view.data() : before;
        fuzz::check(item.isEmpty() || (begin >= before && begin + item.size() <= pos),
                    "the item lies outside the text the call consumed");

        qsizetype first = before;
        while (first < pos && view[first] == u' ')
            ++first;
        const bool quoted = first < pos && view[first] == u'"';
        if (quoted) {
            fuzz::check(!item.contains(u'"'), "a quoted item holds a double quote", copy);
            fuzz::check(item.isEmpty() || begin == first + 1, "a quoted item does not start after its quote", copy);
        } else {
            fuzz::check(item.isEmpty() || begin == first, "blanks before an item were not skipped", copy);
            for (QChar c : item)
                fuzz::check(!endsItem(c), "an item runs over a comma or a line end", copy);
            fuzz::check(!item.startsWith(u' ') && !item.endsWith(u' '), "an item keeps its blanks", copy);
        }
        // Whatever the item did not take, up to pos, is blanks, the closing
        // quote and what follows it, and one comma or line end.
        const QChar last = view[pos - 1];
        fuzz::check(pos == view.size() || endsItem(last), "the call did not stop after a comma or line end", copy);
        // A CR LF is one line end: the call never stops between CR and LF.
        fuzz::check(!(last == u'\r' && pos < view.size() && view[pos] == u'\n'), "a CR LF was taken for two line ends",
                    copy);
    }
    checkRankLookup(bytes, text, items);
    return 0;
}
