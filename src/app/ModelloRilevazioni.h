// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "app/StoricoDati.h"

#include <QAbstractTableModel>
#include <QLocale>

namespace StoricoDati {

/// The table of snapshots over a Quadro: Data, Tipo, Membri, Punti totali.
class ModelloRilevazioni : public QAbstractTableModel
{
public:
    enum Colonna { Data, Tipo, Membri, PuntiTotali, Colonne };

    ModelloRilevazioni(const Quadro &quadro, const QLocale &locale, QObject *parent = nullptr);

    /// Called before and after the Quadro changes.
    void inizioAggiornamento() { beginResetModel(); }
    void fineAggiornamento() { endResetModel(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const Quadro &m_quadro;
    QLocale m_locale;
};

} // namespace StoricoDati
