// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "core/Failure.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

/// One member line of a pasted member list, fields as written.
struct RigaMembro
{
    QString Nick;
    QString Grado;
    QString Punti;
    QString Madre;
};

/// The rank lookup the parser asks, word by word.
using RankLookup = std::function<bool(const QString &phrase)>;

/// A member line that cannot be cut, with its number, its text and which
/// separator was missing, in Italian.
class ParseError : public UserError
{
public:
    ParseError(int lineNumber, const QString &excerpt, const QString &reason);

    /// The 1-based number of the member line in its import.
    int lineNumber() const { return m_lineNumber; }
    /// The line's text up to its line end, shortened when long.
    QString excerpt() const { return m_excerpt; }
    /// Why the line cannot be cut.
    QString reason() const { return m_reason; }

private:
    int m_lineNumber;
    QString m_excerpt;
    QString m_reason;
};

/// Cuts one member line from text at pos and advances pos past it;
/// std::nullopt when the text from pos on holds no CR LF. Throws ParseError.
std::optional<RigaMembro> LeggiRiga(QStringView text, qsizetype &pos, const RankLookup &cercaGrado, int lineNumber);

/// The line that starts at start, up to its CR LF or the end of the text,
/// shortened to about 80 characters with "…" when longer.
QString lineExcerpt(QStringView text, qsizetype start);
