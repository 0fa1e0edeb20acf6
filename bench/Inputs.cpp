// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "Inputs.h"

#include <QLocale>
#include <QRandomGenerator>

#include <algorithm>
#include <numeric>

namespace {

// One to four words, accents included; no name is the first words of another,
// so each rank is found at its full length.
const char *const rankNames[] = {
    "Capo",
    "Recluta",
    "Esploratore",
    "Vice Comandante",
    "Primo Ufficiale",
    "Guardia Stellare",
    "Capitano di Flotta",
    "Custode del Portale",
    "Maestro delle Rotte Stellari",
    "Veterano Onorario della Città",
};

const char *const nickWords[] = {
    "Lupo",   "Grigio", "Stella", "Nord",  "Orso",  "Bruno",  "Falco", "Rosso",   "Vento", "Mare",
    "Drago",  "Nero",   "Luna",   "Piena", "Tigre", "Bianca", "Sole",  "Alto",    "Fiume", "Verde",
    "Aquila", "Reale",  "Cometa", "Blu",   "Volpe", "Astuta", "Tuono", "Lontano", "Gatto", "Selvaggio",
};

constexpr int galaxies = 9;
constexpr int systems = 499;
constexpr int planets = 15;

int pick(QRandomGenerator &rng, int count)
{
    return static_cast<int>(rng.bounded(static_cast<quint32>(count)));
}

QString makeNick(QRandomGenerator &rng)
{
    const int words = 1 + pick(rng, 3);
    QString nick;
    for (int w = 0; w < words; ++w) {
        if (w > 0)
            nick += u' ';
        nick += QString::fromUtf8(nickWords[pick(rng, static_cast<int>(std::size(nickWords)))]);
    }
    if (pick(rng, 3) == 0)
        nick += QStringLiteral(" %1").arg(1 + pick(rng, 999));
    return nick;
}

// The rank as a member list shows it; now and then in other letter case.
QString writtenRank(const QString &rank, QRandomGenerator &rng)
{
    switch (pick(rng, 10)) {
    case 0:
        return rank.toUpper();
    case 1:
        return rank.toLower();
    default:
        return rank;
    }
}

qint32 initialScore(QRandomGenerator &rng)
{
    if (pick(rng, 200) == 0)
        return 0;
    // Mostly small scores, a few large ones, as in a real alliance.
    const quint32 scale = pick(rng, 10) == 0 ? 50'000'000u : 2'000'000u;
    return static_cast<qint32>(1 + rng.bounded(scale));
}

qint32 finalScore(qint32 initial, QRandomGenerator &rng)
{
    if (initial == 0)
        return static_cast<qint32>(rng.bounded(100'000u));
    if (pick(rng, 30) == 0)
        return initial;
    // From a 5 % loss to a 25 % gain.
    const double change = (static_cast<double>(rng.bounded(3001u)) - 500.0) / 10000.0;
    return static_cast<qint32>(initial + static_cast<qint64>(initial * change));
}

// The list's text. Afterwards each member's texts are views of the text
// itself, where the list writes them, so that the members hold no copies:
// the process's peak memory is measured. The text must then stay as it is.
QString listText(std::vector<BenchMember> &members, QRandomGenerator &rng)
{
    const QLocale locale; // the benchmark's Italian locale: scores grouped with "."
    QString text;
    text.reserve(static_cast<qsizetype>(members.size()) * 80);
    struct Places
    {
        qsizetype nick, grado, madre;
    };
    std::vector<Places> places;
    places.reserve(members.size());
    int position = 1;
    for (const BenchMember &m : members) {
        const QString date = QStringLiteral("%1.%2.2026")
                                 .arg(1 + pick(rng, 28), 2, 10, QLatin1Char('0'))
                                 .arg(1 + pick(rng, 12), 2, 10, QLatin1Char('0'));
        Places at{};
        text += QString::number(position++);
        text += u' ';
        at.nick = text.size();
        text += m.nick;
        text += u"  ";
        at.grado = text.size();
        text += m.grado;
        text += u' ';
        text += locale.toString(m.punti);
        text += u' ';
        at.madre = text.size();
        text += m.madre;
        text += u' ';
        text += date;
        text += u"\r\n";
        places.push_back(at);
    }
    text.squeeze();
    const QChar *chars = text.constData();
    for (std::size_t i = 0; i < members.size(); ++i) {
        BenchMember &m = members[i];
        m.nick = QString::fromRawData(chars + places[i].nick, m.nick.size());
        m.grado = QString::fromRawData(chars + places[i].grado, m.grado.size());
        m.madre = QString::fromRawData(chars + places[i].madre, m.madre.size());
    }
    return text;
}

void sortByScore(std::vector<BenchMember> &members)
{
    std::stable_sort(members.begin(), members.end(),
                     [](const BenchMember &a, const BenchMember &b) { return a.punti > b.punti; });
}

} // namespace

QString rankListText(const QStringList &ranks)
{
    QString text;
    for (const QString &rank : ranks) {
        text += rank;
        text += u"\r\n";
    }
    return text;
}

BenchInputs makeInputs(int members, quint32 seed)
{
    QRandomGenerator rng(seed);
    BenchInputs in;
    for (const char *name : rankNames)
        in.ranks << QString::fromUtf8(name);

    // Every home planet once, in a shuffled order.
    std::vector<int> planetsLeft(galaxies * systems * planets);
    std::iota(planetsLeft.begin(), planetsLeft.end(), 0);
    for (std::size_t i = planetsLeft.size() - 1; i > 0; --i)
        std::swap(planetsLeft[i], planetsLeft[rng.bounded(static_cast<quint32>(i + 1))]);
    std::size_t nextPlanet = 0;
    const auto newMadre = [&] {
        const int p = planetsLeft.at(nextPlanet++);
        return QStringLiteral("[%1:%2:%3]")
            .arg(1 + p / (systems * planets))
            .arg(1 + p / planets % systems)
            .arg(1 + p % planets);
    };

    for (int i = 0; i < members; ++i) {
        BenchMember m;
        m.nick = makeNick(rng);
        m.grado = writtenRank(in.ranks[pick(rng, in.ranks.size())], rng);
        m.punti = initialScore(rng);
        m.madre = newMadre();
        in.initial.push_back(m);
    }
    sortByScore(in.initial);
    for (int i = 0; i < members; ++i)
        in.initial[static_cast<std::size_t>(i)].initialIndex = i;

    // About 5 % leave, as many are new, 2 % move to another home planet.
    in.leavers = (members * 5 + 50) / 100;
    in.newcomers = in.leavers;
    in.moved = (members * 2 + 50) / 100;
    std::vector<int> order(static_cast<std::size_t>(members));
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[rng.bounded(static_cast<quint32>(i + 1))]);
    std::vector<char> leaves(static_cast<std::size_t>(members), 0);
    std::vector<char> moves(static_cast<std::size_t>(members), 0);
    for (int k = 0; k < in.leavers; ++k)
        leaves[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])] = 1;
    for (int k = in.leavers; k < in.leavers + in.moved; ++k)
        moves[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])] = 1;

    for (const BenchMember &before : in.initial) {
        const auto i = static_cast<std::size_t>(before.initialIndex);
        if (leaves[i])
            continue;
        BenchMember after = before;
        after.punti = finalScore(before.punti, rng);
        if (moves[i])
            after.madre = newMadre();
        if (pick(rng, 20) == 0)
            after.grado = writtenRank(in.ranks[pick(rng, in.ranks.size())], rng);
        in.final.push_back(after);
    }
    for (int k = 0; k < in.newcomers; ++k) {
        BenchMember m;
        m.nick = makeNick(rng);
        m.grado = writtenRank(in.ranks[pick(rng, in.ranks.size())], rng);
        m.punti = static_cast<qint32>(rng.bounded(500'000u));
        m.madre = newMadre();
        in.final.push_back(m);
    }
    sortByScore(in.final);

    in.initialText = listText(in.initial, rng);
    in.finalText = listText(in.final, rng);
    return in;
}
