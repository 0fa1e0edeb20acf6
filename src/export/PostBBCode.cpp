// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/PostBBCode.h"

#include "export/Post.h"

#include <QStringView>

namespace {

// Mid tones, some 4:1 against white and against the dark themes' near
// black (#1E1E1E) alike.
constexpr QStringView verde = u"#1E9347";
constexpr QStringView rosso = u"#E0443A";

// A text of the grid or of the history as plain text: every opening
// bracket is followed by a word joiner, which shows as nothing and breaks
// no line, so that no forum reads "[b]" or "[url]" in a nick as a tag.
QString testo(const QString &t)
{
    QString out = t;
    out.replace(u'[', QStringLiteral("[\u2060"));
    return out;
}

QString colorato(const QString &t, Post::Segno segno)
{
    switch (segno) {
    case Post::Guadagno:
        return QStringLiteral("[color=%1]%2[/color]").arg(verde, testo(t));
    case Post::Perdita:
        return QStringLiteral("[color=%1]%2[/color]").arg(rosso, testo(t));
    case Post::Nullo:
        break;
    }
    return testo(t);
}

QString grassetto(const QString &t)
{
    return QStringLiteral("[b]") + testo(t) + QStringLiteral("[/b]\r\n");
}

} // namespace

QString scriviBBCode(const Post &post)
{
    QString out = grassetto(post.titolo);
    out += QStringLiteral("\r\nTotale dell'alleanza: da ") + testo(post.totaleDa) + QStringLiteral(" a ")
           + testo(post.totaleA) + QStringLiteral(" (") + colorato(post.totaleVariazione, post.segnoTotale);
    if (!post.totalePercento.isEmpty())
        out += QStringLiteral(", ") + colorato(post.totalePercento, post.segnoTotale);
    out += QStringLiteral(")\r\n");

    if (!post.classifica.empty()) {
        out += QStringLiteral("\r\n") + grassetto(post.titoloClassifica);
        for (const Post::Riga &r : post.classifica) {
            out += testo(r.pos) + QStringLiteral(". ") + testo(r.nick) + QStringLiteral(": da ") + testo(r.da)
                   + QStringLiteral(" a ") + testo(r.a) + QStringLiteral(" (") + colorato(r.variazione, r.segno)
                   + QStringLiteral(")\r\n");
        }
    }
    for (const Post::Sezione &sezione : post.sezioni) {
        out += QStringLiteral("\r\n") + grassetto(sezione.titolo);
        for (const Post::Voce &voce : sezione.voci)
            out += testo(voce.nick) + QStringLiteral(": ") + testo(voce.valore) + QStringLiteral("\r\n");
    }
    return out;
}
