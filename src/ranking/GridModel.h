// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "ranking/GridTexts.h"

#include <QAbstractTableModel>

/// Shows the grid's texts in a Qt view: the header row as the view's
/// horizontal header, the fixed column as its vertical header, the data
/// rows and columns 1 to 8 as cells that cannot be edited.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit GridModel(QObject *parent = nullptr);

    const GridTexts &texts() const { return m_texts; }
    /// Replaces every text at once.
    void assign(GridTexts texts);
    /// Leaves only the header row.
    void clearRows();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    GridTexts m_texts;
};
