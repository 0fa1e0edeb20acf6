// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/ModelloRilevazioni.h"

namespace StoricoDati {

ModelloRilevazioni::ModelloRilevazioni(const Quadro &quadro, const QLocale &locale, QObject *parent)
    : ModelloTabella(
        quadro, locale,
        {QStringLiteral("Data"), QStringLiteral("Tipo"), QStringLiteral("Membri"), QStringLiteral("Punti totali")},
        Membri, parent)
{
}

int ModelloRilevazioni::righe() const
{
    return static_cast<int>(quadro().rilevazioni.size());
}

QVariant ModelloRilevazioni::testo(int riga, int colonna) const
{
    const RigaRilevazione &r = quadro().rilevazioni[static_cast<std::size_t>(riga)];
    switch (colonna) {
    case Data:
        return testoData(r, locale());
    case Tipo:
        return testoTipo(r.tipo);
    case Membri:
        return locale().toString(r.membri);
    case PuntiTotali:
        return locale().toString(r.puntiTotali);
    default:
        return {};
    }
}

QVariant ModelloRilevazioni::chiave(int riga, int colonna) const
{
    const RigaRilevazione &r = quadro().rilevazioni[static_cast<std::size_t>(riga)];
    switch (colonna) {
    case Data:
        return -riga; // the rows stand newest first
    case Tipo:
        return r.tipo;
    case Membri:
        return r.membri;
    case PuntiTotali:
        return r.puntiTotali;
    default:
        return {};
    }
}

} // namespace StoricoDati
