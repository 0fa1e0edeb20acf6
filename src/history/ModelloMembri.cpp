// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/ModelloMembri.h"

namespace StoricoDati {

ModelloMembri::ModelloMembri(const Quadro &quadro, const QLocale &locale, QObject *parent)
    : ModelloTabella(quadro, locale,
                     {QStringLiteral("Nick"), QStringLiteral("Madre"), QStringLiteral("Grado"), QStringLiteral("Prima"),
                      QStringLiteral("Ultima"), QStringLiteral("Variazione"), QStringLiteral("Rilevazioni"),
                      QStringLiteral("Giorni fermo")},
                     Prima, parent)
{
}

int ModelloMembri::righe() const
{
    return static_cast<int>(quadro().madri.size());
}

QVariant ModelloMembri::testo(int riga, int colonna) const
{
    const RigaMadre &r = quadro().madri[static_cast<std::size_t>(riga)];
    switch (colonna) {
    case Nick:
    case Madre:
    case Grado:
        return chiave(riga, colonna); // texts show as they sort
    case Prima:
        return locale().toString(r.prima);
    case Ultima:
        return locale().toString(r.ultima);
    case Variazione:
        return testoVariazione(r.variazione, locale());
    case Rilevazioni:
        return locale().toString(r.rilevazioni);
    case GiorniFermo:
        return locale().toString(r.giorniFermo);
    default:
        return {};
    }
}

QVariant ModelloMembri::chiave(int riga, int colonna) const
{
    const RigaMadre &r = quadro().madri[static_cast<std::size_t>(riga)];
    switch (colonna) {
    case Nick:
        return r.nick;
    case Madre:
        return r.madre;
    case Grado:
        return r.grado;
    case Prima:
        return r.prima;
    case Ultima:
        return r.ultima;
    case Variazione:
        return r.variazione;
    case Rilevazioni:
        return r.rilevazioni;
    case GiorniFermo:
        return r.giorniFermo;
    default:
        return {};
    }
}

} // namespace StoricoDati
