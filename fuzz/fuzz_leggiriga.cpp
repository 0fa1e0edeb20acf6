// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// The member-list parser over any text, with any rank list. The input is the
// rank list, a line "--", then the member list (without the "--" line the
// whole input is the member list and no rank is known). Every call of
// LeggiRiga is compared with a plain reading of the grammar that eats the
// remaining text from the front, and with the questions that reading asks
// of the rank list.
#include "FuzzSupport.h"

#include "import/LeggiRiga.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

constexpr QStringView crLf = u"\r\n";

// What the plain reading expects of one call.
struct Expected
{
    enum Kind { NoLine, Line, Error } kind = NoLine;
    RigaMembro riga;
    QStringList asked;
    QStringView rest;     // the remaining text after the line
    QStringView failedAt; // Error: the remaining text from the line that cannot be cut
    QString reason;       // Error: the reason text
};

// The parser's steps as a reader of the grammar would write them: the
// remaining text loses its front with every cut.
class PlainReading
{
public:
    PlainReading(QStringView rest, const fuzz::RankList &ranks)
        : m_rest(rest)
        , m_ranks(ranks)
    {
    }

    Expected next()
    {
        Expected e;
        if (!m_rest.contains(crLf))
            return e;
        const QStringView start = m_rest;
        try {
            cut(u" ", QStringLiteral("manca lo spazio dopo la posizione"));
            e.riga.Nick = cut(u"  ", QStringLiteral("manca il doppio spazio dopo il nickname"));
            e.riga.Grado = cut(u" ", rankReason(1));
            // Up to four questions; a fifth word is taken unasked.
            int words = 1;
            while (words < 5) {
                e.asked << e.riga.Grado;
                if (m_ranks.contains(e.riga.Grado))
                    break;
                ++words;
                e.riga.Grado += u' ';
                e.riga.Grado += cut(u" ", rankReason(words));
            }
            e.riga.Punti = cut(u" ", QStringLiteral("manca lo spazio dopo il punteggio"));
            e.riga.Madre = cut(u" ", QStringLiteral("manca lo spazio dopo il pianeta madre"));
            m_rest = m_rest.mid(1);
            const qsizetype end = m_rest.indexOf(crLf);
            if (end >= 0)
                m_rest = m_rest.mid(end + 2);
            else if (!m_rest.isEmpty())
                m_rest = m_rest.mid(1);
            else
                throw Failure{QStringLiteral("il testo finisce subito dopo il pianeta madre")};
        } catch (const Failure &failure) {
            e.kind = Expected::Error;
            e.failedAt = start;
            e.reason = failure.reason;
            e.asked.clear();
            m_rest = start;
            return e;
        }
        e.kind = Expected::Line;
        e.rest = m_rest;
        return e;
    }

private:
    struct Failure
    {
        QString reason;
    };

    static QString rankReason(int word)
    {
        return QStringLiteral("manca lo spazio dopo la parola %1 del grado").arg(word);
    }

    QString cut(QStringView separator, const QString &reason)
    {
        const qsizetype found = m_rest.indexOf(separator);
        if (found < 0)
            throw Failure{reason};
        const QString field = m_rest.left(found).toString();
        m_rest = m_rest.mid(found + separator.size());
        return field;
    }

    QStringView m_rest;
    const fuzz::RankList &m_ranks;
};

// The excerpt a message shows: the line up to its CR LF, at most 80
// characters, the 80th replaced by "…" when longer, never half a pair.
QString expectedExcerpt(QStringView from)
{
    const qsizetype end = from.indexOf(crLf);
    const QStringView line = end < 0 ? from : from.left(end);
    if (line.size() <= 80)
        return line.toString();
    qsizetype keep = 79;
    if (line.at(keep - 1).isHighSurrogate())
        --keep;
    return line.left(keep).toString() + QStringLiteral("…");
}

QString describe(const RigaMembro &r)
{
    return QStringList{r.Nick, r.Grado, r.Punti, r.Madre}.join(u'|');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = fuzz::decodeInput(data, size);
    const std::vector<QStringView> pieces = fuzz::splitAtMarkers(input);
    const fuzz::RankList ranks(pieces.size() > 1 ? pieces[0] : QStringView());
    const QString text = (pieces.size() > 1 ? pieces[1] : pieces[0]).toString();

    PlainReading plain(QStringView(text), ranks);
    qsizetype pos = 0;
    for (int number = 1;; ++number) {
        const Expected expected = plain.next();
        QStringList asked;
        const RankLookup lookup = [&](const QString &phrase) {
            asked << phrase;
            return ranks.contains(phrase);
        };
        const qsizetype before = pos;
        std::optional<RigaMembro> riga;
        try {
            riga = LeggiRiga(text, pos, lookup, number);
        } catch (const ParseError &error) {
            fuzz::check(expected.kind == Expected::Error, "LeggiRiga failed where the grammar cuts a line",
                        error.message());
            fuzz::check(pos == before, "LeggiRiga moved the position of a line it could not cut");
            fuzz::check(error.lineNumber() == number, "ParseError has the wrong line number");
            fuzz::check(error.reason() == expected.reason, "ParseError gives the wrong reason",
                        error.reason() + QStringLiteral(" / ") + expected.reason);
            const QString excerpt = expectedExcerpt(expected.failedAt);
            fuzz::check(error.excerpt() == excerpt, "ParseError shows the wrong excerpt",
                        error.excerpt() + QStringLiteral(" / ") + excerpt);
            fuzz::check(fuzz::isValidUtf16(error.excerpt()), "the excerpt splits a surrogate pair");
            fuzz::check(!error.message().isEmpty(), "ParseError has no message");
            return 0;
        }
        if (!riga) {
            fuzz::check(expected.kind == Expected::NoLine, "LeggiRiga found no line where the grammar cuts one");
            fuzz::check(pos == before, "LeggiRiga moved the position without a line");
            fuzz::check(text.indexOf(crLf, pos) < 0, "LeggiRiga stopped before the last CR LF");
            return 0;
        }
        fuzz::check(expected.kind == Expected::Line, "LeggiRiga cut a line where the grammar cuts none",
                    describe(*riga));
        fuzz::check(pos > before && pos <= text.size(), "LeggiRiga did not advance within the text");
        fuzz::check(describe(*riga) == describe(expected.riga), "LeggiRiga cut other fields than the grammar",
                    describe(*riga) + QStringLiteral(" / ") + describe(expected.riga));
        fuzz::check(asked == expected.asked, "LeggiRiga asked the rank list other questions",
                    asked.join(u'|') + QStringLiteral(" / ") + expected.asked.join(u'|'));
        fuzz::check(asked.size() <= 4, "more than four questions for one line");
        fuzz::check(text.size() - pos == expected.rest.size(), "LeggiRiga left another remaining text");
        fuzz::check(!riga->Madre.contains(u' ') && !riga->Punti.contains(u' ') && !riga->Nick.contains(u"  ")
                        && riga->Grado.count(u' ') <= 4,
                    "a field holds a separator", describe(*riga));
        fuzz::check(fuzz::isValidUtf16(riga->Nick) && fuzz::isValidUtf16(riga->Grado) && fuzz::isValidUtf16(riga->Punti)
                        && fuzz::isValidUtf16(riga->Madre),
                    "a field splits a surrogate pair", describe(*riga));
    }
}
