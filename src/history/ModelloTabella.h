// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "history/StoricoDati.h"

#include <QAbstractTableModel>
#include <QLocale>
#include <QStringList>

namespace StoricoDati {

/// A read-only table over rows of a Quadro: the columns' titles, the text
/// each cell shows, the value it sorts by (SortRole), and the numbers, from
/// a given column on, aligned right. A table gives its rows, texts and
/// values; the rest is common to every table of the history.
class ModelloTabella : public QAbstractTableModel
{
public:
    /// Called before and after the Quadro changes.
    void inizioAggiornamento() { beginResetModel(); }
    void fineAggiornamento() { endResetModel(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    ModelloTabella(const Quadro &quadro, const QLocale &locale, QStringList titoli, int primaNumerica, QObject *parent);

    const Quadro &quadro() const { return m_quadro; }
    const QLocale &locale() const { return m_locale; }

    virtual int righe() const = 0;
    /// The text shown in the cell.
    virtual QVariant testo(int riga, int colonna) const = 0;
    /// The value the cell sorts by.
    virtual QVariant chiave(int riga, int colonna) const = 0;

private:
    const Quadro &m_quadro;
    QLocale m_locale;
    QStringList m_titoli;
    int m_primaNumerica;
};

} // namespace StoricoDati
