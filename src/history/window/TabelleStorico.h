// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

#include <vector>

class QAbstractItemModel;
class QSortFilterProxyModel;
class QTableView;
class QWidget;

/// The history window's tables: how they are made and laid out.
namespace TabelleStorico {

/// A table of whole rows, one selected at a time, sorted by a click on a
/// header through the proxy (numbers as numbers); the first order is shown
/// by the header without sorting again.
QTableView *addTable(QWidget *parent, const char *name, QAbstractItemModel *model, QSortFilterProxyModel *proxy,
                     int sortColumn);

/// Widths that fit the header and the widest value a column usually holds.
void setColumnWidths(QTableView *table, const std::vector<QString> &samples);

/// The table under a bold title whose access key moves to it.
QWidget *titledPane(QWidget *parent, const QString &title, QTableView *table);

} // namespace TabelleStorico
