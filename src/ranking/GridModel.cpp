// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/GridModel.h"

GridModel::GridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void GridModel::assign(GridTexts texts)
{
    beginResetModel();
    m_texts = std::move(texts);
    endResetModel();
}

void GridModel::clearRows()
{
    beginResetModel();
    m_texts.setRows(1);
    endResetModel();
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_texts.Rows() - 1;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : GridTexts::Cols - 1;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return m_texts.TextMatrix(index.row() + 1, index.column() + 1).toString();
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section + 1 < GridTexts::Cols ? m_texts.TextMatrix(0, section + 1).toString() : QString();
    return section + 1 < m_texts.Rows() ? m_texts.TextMatrix(section + 1, 0).toString() : QString();
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
