// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/ModelloTabella.h"

#include <utility>

namespace StoricoDati {

ModelloTabella::ModelloTabella(const Quadro &quadro, const QLocale &locale, QStringList titoli, int primaNumerica,
                               QObject *parent)
    : QAbstractTableModel(parent)
    , m_quadro(quadro)
    , m_locale(locale)
    , m_titoli(std::move(titoli))
    , m_primaNumerica(primaNumerica)
{
}

int ModelloTabella::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : righe();
}

int ModelloTabella::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_titoli.size());
}

QVariant ModelloTabella::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return testo(index.row(), index.column());
    case SortRole:
        return chiave(index.row(), index.column());
    case Qt::TextAlignmentRole:
        if (index.column() >= m_primaNumerica)
            return QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default:
        return {};
    }
}

QVariant ModelloTabella::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section >= 0 && section < m_titoli.size() ? QVariant(m_titoli[section]) : QVariant();
}

} // namespace StoricoDati
