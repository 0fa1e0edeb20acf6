// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/FusioneRighe.h"

#include "core/Failure.h"
#include "store/Membri.h"
#include "store/RecordSet.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

// A line as the record holds it before it is saved: texts as stored, the
// score as the number the record set read.
Storico::RigaRilevazione asSaved(const RecordSet &rs, int puntiField)
{
    return {rs.Field(Membri::Nick).toString(), rs.Field(Membri::Madre).toString(), rs.Field(Membri::Grado).toString(),
            static_cast<qint32>(rs.Field(puntiField).toLongLong())};
}

} // namespace

float arrotondaCentesimi(float q)
{
    if (!std::isfinite(q))
        return q;
    // The shortest decimal form of the single-precision value, rounded as
    // written: 0.125 becomes 0.13, 0.145 becomes 0.15.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, q, std::chars_format::fixed);
    if (written.ec != std::errc())
        return q;
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    const std::size_t dot = digits.find('.');
    const std::string_view whole = digits.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : digits.substr(dot + 1);

    long long cents = 0;
    for (char c : whole)
        cents = cents * 10 + (c - '0');
    for (std::size_t i = 0; i < 2; ++i)
        cents = cents * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    if (fraction.size() > 2 && fraction[2] >= '5')
        ++cents;
    if (cents == 0)
        return 0.0f;

    // The single nearest to the rounded decimal, as reading its text would
    // give: cents / 100 in double is the nearest double to that decimal, and
    // no decimal of two places lies close enough to the midpoint of two
    // singles for the second rounding, to a single, to go the other way.
    const double rounded = static_cast<double>(cents) / 100.0;
    return static_cast<float>(negative ? -rounded : rounded);
}

std::optional<Variazione> calcolaVariazione(qint32 puntiIni, qint32 puntiFin)
{
    qint32 d = 0;
    if (qSubOverflow(puntiFin, puntiIni, &d))
        return std::nullopt;
    const float q = static_cast<float>(static_cast<double>(d) / static_cast<double>(puntiIni) * 100.0);
    return Variazione{d, arrotondaCentesimi(q)};
}

Storico::RigaRilevazione fondiRigaIniziale(RecordSet &rs, const Storico::RigaRilevazione &riga)
{
    rs.FindFirst({{QStringLiteral("Valid"), 0}});
    if (rs.NoMatch()) {
        rs.AddNew();
    } else {
        rs.Edit();
        rs.setField(Membri::Valid, 1);
    }
    rs.setField(Membri::Nick, riga.Nick);
    rs.setField(Membri::Madre, riga.Madre);
    rs.setField(Membri::Grado, riga.Grado);
    rs.setField(Membri::Punti1, riga.Punti);
    rs.setField(Membri::Punti2, QVariant());
    rs.setField(Membri::Per, QVariant());
    rs.setField(Membri::Diff, QVariant());
    Storico::RigaRilevazione saved = asSaved(rs, Membri::Punti1);
    rs.Update();
    return saved;
}

Storico::RigaRilevazione fondiRigaFinale(RecordSet &rs, const Storico::RigaRilevazione &riga)
{
    const qint32 puntiFin = riga.Punti;

    qint32 puntiIni = 0;
    rs.FindFirst({{QStringLiteral("Madre"), riga.Madre}, {QStringLiteral("Valid"), 1}});
    if (!rs.NoMatch()) {
        rs.Edit();
        // A newcomer of an earlier final import has no initial score: it is
        // met again as a member without one.
        const QVariant punti1 = rs.Field(Membri::Punti1);
        if (punti1.isValid() && !punti1.isNull()) {
            bool ok = false;
            const qlonglong n = punti1.toLongLong(&ok);
            if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
                throw UserError(QStringLiteral("Il punteggio iniziale «%1» nel database non è un numero intero.")
                                    .arg(punti1.toString()));
            puntiIni = static_cast<qint32>(n);
        }
    } else {
        rs.FindFirst({{QStringLiteral("Valid"), 0}});
        if (!rs.NoMatch()) {
            rs.Edit();
            rs.setField(Membri::Valid, 1);
            rs.setField(Membri::Punti1, QVariant());
            rs.setField(Membri::Per, QVariant());
            rs.setField(Membri::Diff, QVariant());
        } else {
            rs.AddNew();
        }
    }
    rs.setField(Membri::Nick, riga.Nick);
    rs.setField(Membri::Madre, riga.Madre);
    rs.setField(Membri::Grado, riga.Grado);
    rs.setField(Membri::Punti2, puntiFin);
    if (puntiIni != 0) {
        const auto v = calcolaVariazione(puntiIni, puntiFin);
        if (!v)
            throw UserError(QStringLiteral("La variazione da %1 a %2 punti esce dai limiti dei numeri interi.")
                                .arg(puntiIni)
                                .arg(puntiFin));
        rs.setField(Membri::Per, static_cast<double>(v->per));
        rs.setField(Membri::Diff, v->diff);
    }
    Storico::RigaRilevazione saved = asSaved(rs, Membri::Punti2);
    rs.Update();
    return saved;
}
