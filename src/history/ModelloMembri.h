// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "history/ModelloTabella.h"

namespace StoricoDati {

/// The table of members over a Quadro: Nick, Madre, Grado, Prima, Ultima,
/// Variazione, Rilevazioni, Giorni fermo.
class ModelloMembri : public ModelloTabella
{
public:
    enum Colonna { Nick, Madre, Grado, Prima, Ultima, Variazione, Rilevazioni, GiorniFermo, Colonne };

    ModelloMembri(const Quadro &quadro, const QLocale &locale, QObject *parent = nullptr);

private:
    int righe() const override;
    QVariant testo(int riga, int colonna) const override;
    QVariant chiave(int riga, int colonna) const override;
};

} // namespace StoricoDati
