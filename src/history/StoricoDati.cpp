// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/StoricoDati.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <span>

namespace StoricoDati {

namespace {

// A planet's line in one snapshot, once componi() has read it: its
// Rilevazione is then the snapshot's index into Quadro::rilevazioni.
using Voce = Storico::Punteggio;

// Whole days from the first of the run of equal scores at the end of a
// planet's course (oldest first) to its last snapshot; only the calendar
// counts, not how many snapshots the run holds.
qint64 giorniFermo(const Quadro &quadro, std::span<const Voce> sue)
{
    std::size_t inizio = sue.size() - 1;
    while (inizio > 0 && sue[inizio - 1].Punti == sue.back().Punti)
        --inizio;
    if (inizio == sue.size() - 1)
        return 0;
    return contaGiorni(quadro.rilevazioni[static_cast<std::size_t>(sue[inizio].Rilevazione)].quando,
                       quadro.rilevazioni[static_cast<std::size_t>(sue.back().Rilevazione)].quando);
}

} // namespace

qint64 contaGiorni(const QDateTime &da, const QDateTime &a)
{
    // Dates and times of day as the clock showed them: a change of the
    // clock between the two neither adds a day nor takes one away, and a
    // time in the hour the clock skips (not valid as a moment here) still
    // has its day.
    if (!da.date().isValid() || !da.time().isValid() || !a.date().isValid() || !a.time().isValid())
        return 0;
    const qint64 giorni = da.date().daysTo(a.date()) - (a.time() < da.time() ? 1 : 0);
    return std::max<qint64>(0, giorni);
}

Quadro componi(Storico::Storia storia)
{
    Quadro quadro;

    // Snapshots newest first, in the order they were taken, which their Ids
    // record. Quando is local time without an offset: when the clocks go
    // back it reads earlier than the snapshot before it.
    quadro.rilevazioni.reserve(storia.rilevazioni.size());
    for (const Storico::Rilevazione &r : storia.rilevazioni) {
        RigaRilevazione riga;
        riga.id = r.Id;
        riga.quandoTesto = r.Quando;
        riga.quando = QDateTime::fromString(r.Quando, Qt::ISODate);
        riga.tipo = r.Tipo;
        quadro.rilevazioni.push_back(std::move(riga));
    }
    std::sort(quadro.rilevazioni.begin(), quadro.rilevazioni.end(),
              [](const RigaRilevazione &a, const RigaRilevazione &b) { return a.id > b.id; });
    QHash<qint64, int> perId;
    perId.reserve(static_cast<qsizetype>(quadro.rilevazioni.size()));
    for (std::size_t i = 0; i < quadro.rilevazioni.size(); ++i)
        perId.insert(quadro.rilevazioni[i].id, static_cast<int>(i));

    // One pass over the score rows: the totals, and each row's snapshot as
    // its index in quadro.rilevazioni; the rows of an unknown snapshot go.
    std::vector<Voce> &righe = storia.punteggi;
    std::vector<std::size_t> conteggio(storia.madri.size(), 0); // each planet's rows
    // The last row's snapshot, usually the next row's too.
    int ultima = -1;
    std::size_t tenute = 0;
    for (Voce &p : righe) {
        if (ultima < 0 || quadro.rilevazioni[static_cast<std::size_t>(ultima)].id != p.Rilevazione) {
            const auto found = perId.constFind(p.Rilevazione);
            if (found == perId.constEnd())
                continue;
            ultima = *found;
        }
        RigaRilevazione &totale = quadro.rilevazioni[static_cast<std::size_t>(ultima)];
        ++totale.membri;
        totale.puntiTotali += p.Punti;
        ++conteggio[static_cast<std::size_t>(p.Madre)];
        p.Rilevazione = ultima;
        righe[tenute++] = p;
    }
    righe.resize(tenute);

    // Each planet's rows side by side, in place: every row swapped straight
    // to its planet's next free place.
    std::vector<std::size_t> inizio(conteggio.size() + 1, 0);
    std::partial_sum(conteggio.begin(), conteggio.end(), inizio.begin() + 1);
    {
        std::vector<std::size_t> prossima(inizio.begin(), inizio.end() - 1);
        for (std::size_t m = 0; m < conteggio.size(); ++m) {
            while (prossima[m] < inizio[m + 1]) {
                Voce &p = righe[prossima[m]];
                const auto sua = static_cast<std::size_t>(p.Madre);
                if (sua == m)
                    ++prossima[m];
                else
                    std::swap(p, righe[prossima[sua]++]);
            }
        }
    }

    // The planets with rows in a known snapshot, in room made at once.
    quadro.madri.reserve(conteggio.size());
    for (std::size_t m = 0; m < conteggio.size(); ++m) {
        if (conteggio[m] == 0)
            continue;
        RigaMadre &riga = quadro.madri.emplace_back();
        riga.madre = storia.madri[m];
        const auto primaVoce = righe.begin() + static_cast<std::ptrdiff_t>(inizio[m]);
        auto fine = righe.begin() + static_cast<std::ptrdiff_t>(inizio[m + 1]);
        // Oldest first (the higher the index, the older the snapshot), and
        // in one snapshot the first line, which alone counts.
        std::sort(primaVoce, fine, [](const Voce &a, const Voce &b) {
            return a.Rilevazione != b.Rilevazione ? a.Rilevazione > b.Rilevazione : a.Riga < b.Riga;
        });
        fine =
            std::unique(primaVoce, fine, [](const Voce &a, const Voce &b) { return a.Rilevazione == b.Rilevazione; });
        const std::span<const Voce> sue(&*primaVoce, static_cast<std::size_t>(fine - primaVoce));
        const Voce &prima = sue.front();
        const Voce &ultimaVoce = sue.back();
        riga.ultimaRilevazione = quadro.rilevazioni[static_cast<std::size_t>(ultimaVoce.Rilevazione)].id;
        riga.ultimaRiga = ultimaVoce.Riga;
        riga.prima = prima.Punti;
        riga.ultima = ultimaVoce.Punti;
        riga.variazione = ultimaVoce.Punti - prima.Punti;
        riga.rilevazioni = static_cast<int>(sue.size());
        riga.punti.reserve(sue.size());
        for (const Voce &v : sue)
            riga.punti.emplace_back(static_cast<int>(v.Rilevazione), v.Punti);
        riga.giorniFermo = giorniFermo(quadro, sue);
    }
    std::sort(quadro.madri.begin(), quadro.madri.end(), [](const RigaMadre &a, const RigaMadre &b) {
        if (a.variazione != b.variazione)
            return a.variazione > b.variazione;
        if (a.ultima != b.ultima)
            return a.ultima > b.ultima;
        return a.madre < b.madre;
    });
    return quadro;
}

QList<qint64> rilevazioniDeiNomi(const Quadro &quadro)
{
    QSet<qint64> ids;
    for (const RigaMadre &m : quadro.madri)
        ids.insert(m.ultimaRilevazione);
    return QList<qint64>(ids.cbegin(), ids.cend());
}

void assegnaNomi(Quadro &quadro, const std::vector<Storico::Nome> &nomi)
{
    QHash<std::pair<qint64, qint64>, const Storico::Nome *> perRiga;
    perRiga.reserve(static_cast<qsizetype>(nomi.size()));
    for (const Storico::Nome &n : nomi)
        perRiga.insert({n.Rilevazione, n.Riga}, &n);
    for (RigaMadre &m : quadro.madri) {
        if (const Storico::Nome *n = perRiga.value({m.ultimaRilevazione, m.ultimaRiga})) {
            m.nick = n->Nick;
            m.grado = n->Grado;
        }
    }
}

QString testoData(const RigaRilevazione &r, const QLocale &locale)
{
    return r.quando.isValid() ? locale.toString(r.quando, QLocale::ShortFormat) : r.quandoTesto;
}

QString testoTipo(int tipo)
{
    if (tipo == 1)
        return QStringLiteral("Iniziale");
    if (tipo == 2)
        return QStringLiteral("Finale");
    return QString::number(tipo);
}

QString testoVariazione(qint64 variazione, const QLocale &locale)
{
    return variazione > 0 ? QStringLiteral("+") + locale.toString(variazione) : locale.toString(variazione);
}

QString titoloGrafico(const Quadro &quadro, int madre)
{
    if (madre < 0 || static_cast<std::size_t>(madre) >= quadro.madri.size())
        return QStringLiteral("Punti totali dell'alleanza");
    return QStringLiteral("Punti di %1").arg(quadro.madri[static_cast<std::size_t>(madre)].nick);
}

QList<QPointF> serie(const Quadro &quadro, int madre)
{
    QList<QPointF> punti;
    const auto aggiungi = [&](int rilevazione, qint64 valore) {
        const QDateTime &quando = quadro.rilevazioni[static_cast<std::size_t>(rilevazione)].quando;
        if (quando.isValid())
            punti.append(QPointF(static_cast<qreal>(quando.toMSecsSinceEpoch()), static_cast<qreal>(valore)));
    };
    if (madre < 0 || static_cast<std::size_t>(madre) >= quadro.madri.size()) {
        for (int i = static_cast<int>(quadro.rilevazioni.size()) - 1; i >= 0; --i)
            aggiungi(i, quadro.rilevazioni[static_cast<std::size_t>(i)].puntiTotali);
    } else {
        for (const auto &[rilevazione, valore] : quadro.madri[static_cast<std::size_t>(madre)].punti)
            aggiungi(rilevazione, valore);
    }
    return punti;
}

} // namespace StoricoDati
