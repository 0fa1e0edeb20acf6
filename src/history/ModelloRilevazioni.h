// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "history/ModelloTabella.h"

namespace StoricoDati {

/// The table of snapshots over a Quadro: Data, Tipo, Membri, Punti totali.
class ModelloRilevazioni : public ModelloTabella
{
public:
    enum Colonna { Data, Tipo, Membri, PuntiTotali, Colonne };

    ModelloRilevazioni(const Quadro &quadro, const QLocale &locale, QObject *parent = nullptr);

private:
    int righe() const override;
    QVariant testo(int riga, int colonna) const override;
    QVariant chiave(int riga, int colonna) const override;
};

} // namespace StoricoDati
