// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/Post.h"

#include "ranking/GridTexts.h"
#include "ranking/LocaleNumbers.h"
#include "ranking/Periodo.h"

#include <QStringView>

#include <cmath>

namespace {

Post::Segno segnoDi(QStringView change, const QLocale &locale)
{
    // The grid writes a "+" before every gain, the locale's minus before a loss.
    if (change.startsWith(u'+'))
        return Post::Guadagno;
    if (change.startsWith(locale.negativeSign()) || change.startsWith(u'-'))
        return Post::Perdita;
    return Post::Nullo;
}

// A score as the grid writes it, grouped by thousands; 0 for an empty cell.
qlonglong punti(QStringView text, const QLocale &locale)
{
    bool ok = false;
    const qlonglong n = locale.toLongLong(text, &ok);
    return ok ? n : 0;
}

QString giorni(qint64 n, const QLocale &locale)
{
    return n == 1 ? QStringLiteral("1 giorno") : QStringLiteral("%1 giorni").arg(locale.toString(n));
}

} // namespace

Post componiPost(const GridTexts &grid, bool byPercentage, const Periodo &periodo, const QLocale &locale)
{
    Post post;
    post.titolo = QStringLiteral("Classifica dell'alleanza");
    if (periodo.datato())
        post.titolo +=
            QStringLiteral(" dal %1 al %2 (%3)").arg(periodo.dal, periodo.al, giorni(periodo.giorni, locale));
    post.titoloClassifica =
        byPercentage ? QStringLiteral("Classifica per percentuale") : QStringLiteral("Classifica per incremento punti");
    post.colonne = {grid.TextMatrix(0, ColPos).toString(), grid.TextMatrix(0, ColNick).toString(),
                    grid.TextMatrix(0, ColPuntiI).toString(), grid.TextMatrix(0, ColPuntiF).toString(),
                    grid.TextMatrix(0, byPercentage ? ColVar : ColIncr).toString()};

    Post::Sezione nuovi{QStringLiteral("Nuovi entrati"), {}};
    Post::Sezione usciti{QStringLiteral("Usciti"), {}};
    qlonglong totaleDa = 0;
    qlonglong totaleA = 0;
    const int last = grid.Rows() - 1;
    for (int row = 1; row <= last; ++row) {
        const QStringView nick = grid.TextMatrix(row, ColNick);
        const QStringView da = grid.TextMatrix(row, ColPuntiI);
        const QStringView a = grid.TextMatrix(row, ColPuntiF);
        totaleDa += punti(da, locale);
        totaleA += punti(a, locale);
        // The report's rules: no start score (or "?") is a newcomer, no end
        // score gives no line.
        const bool nuovo = da.isEmpty() || da == u"?";
        if (a.isEmpty()) {
            if (!nuovo)
                usciti.voci.push_back({nick.toString(), da.toString()});
            continue;
        }
        if (nuovo)
            nuovi.voci.push_back({nick.toString(), a.toString()});
        const QStringView change =
            nuovo ? QStringView(u"nuovo entrato") : grid.TextMatrix(row, byPercentage ? ColVar : ColIncr);
        post.classifica.push_back({grid.TextMatrix(row, ColPos).toString(), nick.toString(),
                                   nuovo ? QStringLiteral("?") : da.toString(), a.toString(), change.toString(),
                                   nuovo ? Post::Nullo : segnoDi(change, locale)});
    }

    const LocaleNumbers numbers(locale);
    const qlonglong variazione = totaleA - totaleDa;
    post.totaleDa = numbers.grouped(totaleDa);
    post.totaleA = numbers.grouped(totaleA);
    post.totaleVariazione =
        variazione > 0 ? QStringLiteral("+") + numbers.grouped(variazione) : numbers.grouped(variazione);
    post.segnoTotale = variazione > 0 ? Post::Guadagno : variazione < 0 ? Post::Perdita : Post::Nullo;
    if (totaleDa != 0) {
        // Rounded to two decimals and written in its shortest form, as the
        // grid writes a member's percentage.
        const double percento =
            std::round(static_cast<double>(variazione) * 10000.0 / static_cast<double>(totaleDa)) / 100.0;
        post.totalePercento = (percento > 0 ? QStringLiteral("+") : QString())
                              + numbers.shortest(percento == 0 ? 0.0f : static_cast<float>(percento))
                              + QStringLiteral(" %");
    }

    Post::Sezione fermi{QStringLiteral("Fermi da almeno 7 giorni"), {}};
    for (const Periodo::Fermo &f : periodo.fermi)
        fermi.voci.push_back({f.nick, giorni(f.giorni, locale)});
    for (Post::Sezione *sezione : {&nuovi, &usciti, &fermi})
        if (!sezione->voci.empty())
            post.sezioni.push_back(std::move(*sezione));
    return post;
}
