// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "app/StoricoDati.h"

#include <QAbstractTableModel>
#include <QLocale>

namespace StoricoDati {

/// The table of members over a Quadro: Nick, Madre, Grado, Prima, Ultima,
/// Variazione, Rilevazioni.
class ModelloMembri : public QAbstractTableModel
{
public:
    enum Colonna { Nick, Madre, Grado, Prima, Ultima, Variazione, Rilevazioni, Colonne };

    ModelloMembri(const Quadro &quadro, const QLocale &locale, QObject *parent = nullptr);

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
