// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/ModelloMembri.h"

namespace StoricoDati {

namespace {

QVariant allineaDestra()
{
    return QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
}

} // namespace

ModelloMembri::ModelloMembri(const Quadro &quadro, const QLocale &locale, QObject *parent)
    : QAbstractTableModel(parent)
    , m_quadro(quadro)
    , m_locale(locale)
{
}

int ModelloMembri::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_quadro.madri.size());
}

int ModelloMembri::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Colonne;
}

QVariant ModelloMembri::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const RigaMadre &r = m_quadro.madri[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Nick:
            return r.nick;
        case Madre:
            return r.madre;
        case Grado:
            return r.grado;
        case Prima:
            return m_locale.toString(r.prima);
        case Ultima:
            return m_locale.toString(r.ultima);
        case Variazione:
            return testoVariazione(r.variazione, m_locale);
        case Rilevazioni:
            return m_locale.toString(r.rilevazioni);
        default:
            return {};
        }
    }
    if (role == SortRole) {
        switch (index.column()) {
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
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() >= Prima)
        return allineaDestra();
    return {};
}

QVariant ModelloMembri::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Nick:
        return QStringLiteral("Nick");
    case Madre:
        return QStringLiteral("Madre");
    case Grado:
        return QStringLiteral("Grado");
    case Prima:
        return QStringLiteral("Prima");
    case Ultima:
        return QStringLiteral("Ultima");
    case Variazione:
        return QStringLiteral("Variazione");
    case Rilevazioni:
        return QStringLiteral("Rilevazioni");
    default:
        return {};
    }
}

} // namespace StoricoDati
