// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/LeggiRiga.h"

#include <algorithm>

namespace {

constexpr QStringView crLf = u"\r\n";
constexpr qsizetype excerptLength = 80;

// What a line that cannot be cut lacks.
enum class Missing {
    SpaceAfterPosition,
    DoubleSpaceAfterNick,
    SpaceAfterRankWord,
    SpaceAfterScore,
    SpaceAfterMadre,
    RestOfLine,
};

QString reasonText(Missing missing, int rankWord)
{
    switch (missing) {
    case Missing::SpaceAfterPosition:
        return QStringLiteral("manca lo spazio dopo la posizione");
    case Missing::DoubleSpaceAfterNick:
        return QStringLiteral("manca il doppio spazio dopo il nickname");
    case Missing::SpaceAfterRankWord:
        return QStringLiteral("manca lo spazio dopo la parola %1 del grado").arg(rankWord);
    case Missing::SpaceAfterScore:
        return QStringLiteral("manca lo spazio dopo il punteggio");
    case Missing::SpaceAfterMadre:
        return QStringLiteral("manca lo spazio dopo il pianeta madre");
    case Missing::RestOfLine:
        break;
    }
    return QStringLiteral("il testo finisce subito dopo il pianeta madre");
}

// Where separator next stands in text from `from` on, -1 where nowhere.
// Fields are a few characters long, so a plain loop finds the next one
// sooner than a call to a search built for long texts.
qsizetype find(QStringView text, QStringView separator, qsizetype from)
{
    if (from < 0 || text.size() - from < separator.size())
        return -1;
    const char16_t *begin = text.utf16();
    const char16_t *end = begin + text.size() - (separator.size() - 1);
    const char16_t *sep = separator.utf16();
    for (const char16_t *at = begin + from; at < end; ++at)
        if (*at == sep[0] && std::equal(sep + 1, sep + separator.size(), at + 1))
            return at - begin;
    return -1;
}

// The remaining text is never copied: the fields are cut from one view by
// moving a position, so a long list costs time in proportion to its length.
// The caller's position moves only once the whole line is cut.
class Cutter
{
public:
    Cutter(QStringView text, qsizetype start, int lineNumber)
        : m_text(text)
        , m_pos(start)
        , m_start(start)
        , m_lineNumber(lineNumber)
    {
    }

    qsizetype position() const { return m_pos; }

    // The characters up to the next separator, which is removed with them.
    // The search runs on past the line end: a line lacking a separator
    // takes in the following text up to the next one.
    QStringView cut(QStringView separator, Missing missing, int rankWord = 0)
    {
        const qsizetype found = find(m_text, separator, m_pos);
        if (found < 0)
            fail(missing, rankWord);
        const QStringView field = m_text.sliced(m_pos, found - m_pos);
        m_pos = found + separator.size();
        return field;
    }

    // Removes one character, none at the end of the text.
    void skipOne()
    {
        if (m_pos < m_text.size())
            ++m_pos;
    }

    // Drops the rest of the line with its CR LF; when the fields took in the
    // last CR LF, only one character goes.
    void dropRestOfLine()
    {
        const qsizetype found = find(m_text, crLf, m_pos);
        if (found >= 0)
            m_pos = found + crLf.size();
        else if (m_pos < m_text.size())
            ++m_pos;
        else
            fail(Missing::RestOfLine, 0);
    }

private:
    [[noreturn]] void fail(Missing missing, int rankWord) const
    {
        throw ParseError(m_lineNumber, lineExcerpt(m_text, m_start), reasonText(missing, rankWord));
    }

    QStringView m_text;
    qsizetype m_pos;
    qsizetype m_start;
    int m_lineNumber;
};

} // namespace

ParseError::ParseError(int lineNumber, const QString &excerpt, const QString &reason)
    : UserError(QStringLiteral("Riga %1 non leggibile: «%2»: %3.").arg(QString::number(lineNumber), excerpt, reason))
    , m_lineNumber(lineNumber)
    , m_excerpt(excerpt)
    , m_reason(reason)
{
}

std::optional<RigaMembro> LeggiRiga(QStringView text, qsizetype &pos, const RankLookup &cercaGrado, int lineNumber)
{
    if (find(text, crLf, pos) < 0)
        return std::nullopt;

    Cutter line(text, pos, lineNumber);
    RigaMembro riga;
    line.cut(u" ", Missing::SpaceAfterPosition);
    riga.Nick = line.cut(u"  ", Missing::DoubleSpaceAfterNick).toString();

    // The rank may have several words, and only the rank list knows where it
    // ends: the phrase grows a word at a time until the list holds it. Four
    // questions at most; a fifth word is then taken without asking.
    riga.Grado = line.cut(u" ", Missing::SpaceAfterRankWord, 1).toString();
    for (int words = 1; words < 5 && !cercaGrado(riga.Grado); ++words) {
        riga.Grado += u' ';
        riga.Grado += line.cut(u" ", Missing::SpaceAfterRankWord, words + 1);
    }

    riga.Punti = line.cut(u" ", Missing::SpaceAfterScore).toString();
    riga.Madre = line.cut(u" ", Missing::SpaceAfterMadre).toString();
    // The character after Madre's space goes with it; the line then ends
    // wherever its CR LF is.
    line.skipOne();
    line.dropRestOfLine();
    pos = line.position();
    return riga;
}

QString lineExcerpt(QStringView text, qsizetype start)
{
    start = std::clamp<qsizetype>(start, 0, text.size());
    const qsizetype end = find(text, crLf, start);
    const QStringView line = text.sliced(start, (end < 0 ? text.size() : end) - start);
    if (line.size() <= excerptLength)
        return line.toString();
    qsizetype keep = excerptLength - 1;
    if (line[keep - 1].isHighSurrogate())
        --keep;
    return line.first(keep).toString() + u'…';
}
