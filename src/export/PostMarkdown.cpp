// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/PostMarkdown.h"

#include "export/Post.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr QLatin1String aCapo("\r\n");
constexpr QLatin1String recinto("```");

// A text inside a code block: Discord ends the block at the next three
// backticks wherever they stand, so a backtick becomes the modifier
// letter grave accent, which looks the same and keeps the columns.
QString testo(const QString &t)
{
    QString out = t;
    out.replace(u'`', u'\u02CB');
    return out;
}

// Columns padded with spaces, two between them; each column aligned to
// the left or to the right.
QStringList tabella(const std::vector<QStringList> &righe, const std::vector<bool> &aDestra)
{
    std::vector<qsizetype> larghezze(aDestra.size(), 0);
    for (const QStringList &riga : righe)
        for (std::size_t c = 0; c < larghezze.size(); ++c)
            larghezze[c] = std::max(larghezze[c], riga[static_cast<qsizetype>(c)].size());
    QStringList out;
    for (const QStringList &riga : righe) {
        QString linea;
        for (std::size_t c = 0; c < larghezze.size(); ++c) {
            const QString cella = testo(riga[static_cast<qsizetype>(c)]);
            if (c > 0)
                linea += QLatin1String("  ");
            linea += aDestra[c] ? cella.rightJustified(larghezze[c]) : cella.leftJustified(larghezze[c]);
        }
        out << linea;
    }
    return out;
}

QStringList righeDelPost(const Post &post)
{
    QStringList righe{testo(post.titolo), QString()};
    QString totale = QStringLiteral("Totale dell'alleanza: da %1 a %2 (%3")
                         .arg(testo(post.totaleDa), testo(post.totaleA), testo(post.totaleVariazione));
    if (!post.totalePercento.isEmpty())
        totale += QStringLiteral(", ") + testo(post.totalePercento);
    righe << totale + QStringLiteral(")");

    if (!post.classifica.empty()) {
        righe << QString() << testo(post.titoloClassifica);
        std::vector<QStringList> celle{QStringList(post.colonne.begin(), post.colonne.end())};
        for (const Post::Riga &r : post.classifica)
            celle.push_back({r.pos, r.nick, r.da, r.a, r.variazione});
        righe << tabella(celle, {true, false, true, true, true});
    }
    for (const Post::Sezione &sezione : post.sezioni) {
        righe << QString() << testo(sezione.titolo);
        std::vector<QStringList> celle;
        for (const Post::Voce &voce : sezione.voci)
            celle.push_back({QStringLiteral("- ") + voce.nick, voce.valore});
        righe << tabella(celle, {false, true});
    }
    return righe;
}

// A block's length: its fences, its lines and their line ends.
qsizetype lunghezza(const QStringList &righe)
{
    qsizetype n = 2 * recinto.size() + aCapo.size();
    for (const QString &riga : righe)
        n += riga.size() + aCapo.size();
    return n;
}

QString blocco(const QStringList &righe)
{
    return QString(recinto) + aCapo + righe.join(aCapo) + aCapo + recinto + aCapo;
}

// The lines cut into blocks of at most spazio characters each, fences
// included; a line too long for any block is cut too. No block starts or
// ends with an empty line.
std::vector<QStringList> inBlocchi(const QStringList &righe, qsizetype spazio)
{
    const qsizetype piena = spazio - lunghezza({}) - aCapo.size();
    std::vector<QStringList> blocchi(1);
    qsizetype usato = lunghezza({});
    const auto aggiungi = [&](const QString &riga) {
        if (usato + riga.size() + aCapo.size() > spazio && !blocchi.back().isEmpty()) {
            while (!blocchi.back().isEmpty() && blocchi.back().back().isEmpty())
                blocchi.back().removeLast();
            blocchi.emplace_back();
            usato = lunghezza({});
        }
        if (riga.isEmpty() && blocchi.back().isEmpty())
            return;
        blocchi.back() << riga;
        usato += riga.size() + aCapo.size();
    };
    for (const QString &riga : righe) {
        for (qsizetype da = 0; da < riga.size(); da += piena)
            aggiungi(riga.mid(da, piena));
        if (riga.isEmpty())
            aggiungi(riga);
    }
    return blocchi;
}

} // namespace

QString scriviMarkdown(const Post &post)
{
    const QStringList righe = righeDelPost(post);
    if (lunghezza(righe) <= limiteDiscord)
        return blocco(righe);

    // Each block gets its heading, whose length depends on the number of
    // blocks: made again, with room for a longer heading, until it fits.
    for (qsizetype cifre = 1;; ++cifre) {
        const QString larga = QStringLiteral("parte %1 di %1").arg(QString(cifre, u'9'));
        const std::vector<QStringList> blocchi = inBlocchi(righe, limiteDiscord - larga.size() - aCapo.size());
        const QString numero = QString::number(blocchi.size());
        if (numero.size() > cifre)
            continue;
        QString out;
        for (std::size_t i = 0; i < blocchi.size(); ++i) {
            if (i > 0)
                out += aCapo;
            out += QStringLiteral("parte %1 di %2").arg(i + 1).arg(numero) + aCapo + blocco(blocchi[i]);
        }
        return out;
    }
}
