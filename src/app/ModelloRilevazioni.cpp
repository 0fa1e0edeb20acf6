// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/ModelloRilevazioni.h"

namespace StoricoDati {

namespace {

QVariant allineaDestra()
{
    return QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
}

} // namespace

ModelloRilevazioni::ModelloRilevazioni(const Quadro &quadro, const QLocale &locale, QObject *parent)
    : QAbstractTableModel(parent)
    , m_quadro(quadro)
    , m_locale(locale)
{
}

int ModelloRilevazioni::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_quadro.rilevazioni.size());
}

int ModelloRilevazioni::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Colonne;
}

QVariant ModelloRilevazioni::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const RigaRilevazione &r = m_quadro.rilevazioni[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Data:
            return testoData(r, m_locale);
        case Tipo:
            return testoTipo(r.tipo);
        case Membri:
            return m_locale.toString(r.membri);
        case PuntiTotali:
            return m_locale.toString(r.puntiTotali);
        default:
            return {};
        }
    }
    if (role == SortRole) {
        switch (index.column()) {
        case Data:
            return -index.row(); // the rows stand newest first
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
    if (role == Qt::TextAlignmentRole && index.column() >= Membri)
        return allineaDestra();
    return {};
}

QVariant ModelloRilevazioni::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Data:
        return QStringLiteral("Data");
    case Tipo:
        return QStringLiteral("Tipo");
    case Membri:
        return QStringLiteral("Membri");
    case PuntiTotali:
        return QStringLiteral("Punti totali");
    default:
        return {};
    }
}

} // namespace StoricoDati
