// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/PeriodoStorico.h"

#include "history/DataEstesa.h"
#include "ranking/GridTexts.h"
#include "ranking/LocaleNumbers.h"
#include "store/DataControl.h"

#include <QHash>
#include <QSet>
#include <QStringView>

#include <algorithm>

namespace StoricoDati {

namespace {

// The grid's scores of one side, by planet, as the grid writes them.
struct Lato
{
    QHash<QString, QStringView> perMadre;
    bool doppi = false;

    void aggiungi(const QString &madre, QStringView punti)
    {
        doppi = doppi || perMadre.contains(madre);
        perMadre.insert(madre, punti);
    }
};

} // namespace

Periodo periodoDellaGriglia(const Quadro &quadro, const GridTexts &grid, const QLocale &locale)
{
    Lato inizio;
    Lato fine;
    const int last = grid.Rows() - 1;
    for (int row = 1; row <= last; ++row) {
        const QString madre = grid.TextMatrix(row, ColMadre).toString();
        const QStringView da = grid.TextMatrix(row, ColPuntiI);
        const QStringView a = grid.TextMatrix(row, ColPuntiF);
        if (!da.isEmpty() && da != u"?")
            inizio.aggiungi(madre, da);
        if (!a.isEmpty())
            fine.aggiungi(madre, a);
    }

    // For each snapshot: its scores that are not 0 (the grid shows 0 as
    // nothing), and how many of them the grid holds at each side.
    const std::size_t n = quadro.rilevazioni.size();
    std::vector<qsizetype> righe(n, 0), comeInizio(n, 0), comeFine(n, 0);
    const LocaleNumbers numbers(locale);
    for (const RigaMadre &m : quadro.madri) {
        const auto i = inizio.perMadre.constFind(m.madre);
        const auto f = fine.perMadre.constFind(m.madre);
        for (const auto &[rilevazione, punti] : m.punti) {
            if (punti == 0)
                continue;
            const auto r = static_cast<std::size_t>(rilevazione);
            ++righe[r];
            if (i == inizio.perMadre.constEnd() && f == fine.perMadre.constEnd())
                continue;
            const QString testo = numbers.grouped(punti);
            if (i != inizio.perMadre.constEnd() && *i == testo)
                ++comeInizio[r];
            if (f != fine.perMadre.constEnd() && *f == testo)
                ++comeFine[r];
        }
    }

    // The newest snapshot from the given one on (the Quadro holds them
    // newest first) whose scores are just those of one side; where several
    // are, one of the kind given. A list imported again as the next
    // period's start list is the same list twice.
    const auto cerca = [&](std::size_t da, const Lato &lato, const std::vector<qsizetype> &come, int tipo) {
        std::size_t trovata = n;
        for (std::size_t r = da; r < n; ++r) {
            if (righe[r] != lato.perMadre.size() || come[r] != righe[r])
                continue;
            if (quadro.rilevazioni[r].tipo == tipo)
                return r;
            trovata = std::min(trovata, r);
        }
        return trovata;
    };
    Periodo periodo;
    if (!inizio.doppi && !fine.doppi && !inizio.perMadre.isEmpty() && !fine.perMadre.isEmpty()) {
        const std::size_t a = cerca(0, fine, comeFine, 2);
        const std::size_t da = a < n ? cerca(a + 1, inizio, comeInizio, 1) : n;
        if (da < n) {
            const QDateTime &quandoDa = quadro.rilevazioni[da].quando;
            const QDateTime &quandoA = quadro.rilevazioni[a].quando;
            if (quandoDa.isValid() && quandoA.isValid()) {
                periodo.dal = giornoEsteso(quandoDa, locale);
                periodo.al = giornoEsteso(quandoA, locale);
                periodo.giorni = contaGiorni(quandoDa, quandoA);
            }
        }
    }

    QHash<QString, const RigaMadre *> storia;
    storia.reserve(static_cast<qsizetype>(quadro.madri.size()));
    for (const RigaMadre &m : quadro.madri)
        storia.insert(m.madre, &m);
    QSet<QString> visti;
    for (int row = 1; row <= last; ++row) {
        if (grid.TextMatrix(row, ColPuntiF).isEmpty())
            continue;
        const QString madre = grid.TextMatrix(row, ColMadre).toString();
        const RigaMadre *m = storia.value(madre);
        if (visti.contains(madre) || !m || m->rilevazioni < 2 || m->giorniFermo < giorniFermoMinimi)
            continue;
        visti.insert(madre);
        periodo.fermi.push_back({grid.TextMatrix(row, ColNick).toString(), m->giorniFermo});
    }
    std::stable_sort(periodo.fermi.begin(), periodo.fermi.end(),
                     [](const Periodo::Fermo &x, const Periodo::Fermo &y) { return x.giorni > y.giorni; });
    return periodo;
}

Periodo leggiPeriodo(const QString &fileName, const GridTexts &grid, const QLocale &locale)
{
    DataControl data1;
    data1.setDatabaseName(fileName);
    const Quadro quadro = componi(Storico::leggiStoria(data1.database(), data1.DatabaseName()));
    return periodoDellaGriglia(quadro, grid, locale);
}

} // namespace StoricoDati
