// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/LeggiVoce.h"

// How items are read:
// - An item ends at a comma or at a line end; the comma or the line end is
//   consumed. CR LF, a lone LF and a lone CR each end one line, so files
//   edited on any system read alike.
// - Spaces before an item are skipped, and so are spaces at the end of an
//   item that is not quoted. Only the space is a blank: a tab is kept.
// - An item that begins with a double quote runs to the next double quote,
//   commas and line ends included, or to the end of the text when no quote
//   closes it. Whatever stands between the closing quote and the next comma
//   or line end is dropped.
// - An empty line is an empty item. A comma at the end of a line ends its
//   item, and the line end then ends one more, empty, item; a comma at the
//   very end of the text ends its item and nothing follows.
// - The end of the text is pos >= text.size(); there LeggiVoce returns an
//   empty item and leaves pos alone.

namespace {

bool endsItem(QChar c)
{
    return c == u',' || c == u'\r' || c == u'\n';
}

} // namespace

QStringView nextItem(QStringView text, qsizetype &pos)
{
    const qsizetype size = text.size();
    if (pos >= size)
        return {};

    qsizetype i = pos;
    while (i < size && text[i] == u' ')
        ++i;

    qsizetype begin = i;
    qsizetype end = i;
    if (i < size && text[i] == u'"') {
        begin = i + 1;
        const qsizetype close = text.indexOf(u'"', begin);
        end = close < 0 ? size : close;
        i = end;
        if (i < size)
            ++i;
        while (i < size && !endsItem(text[i]))
            ++i;
    } else {
        while (i < size && !endsItem(text[i]))
            ++i;
        end = i;
        while (end > begin && text[end - 1] == u' ')
            --end;
    }

    if (i < size) {
        const bool crLf = text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n';
        i += crLf ? 2 : 1;
    }
    pos = i;
    return text.sliced(begin, end - begin);
}

QString LeggiVoce(QStringView text, qsizetype &pos)
{
    return nextItem(text, pos).toString();
}
