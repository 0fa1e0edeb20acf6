// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/window/TabelleStorico.h"

#include "history/StoricoDati.h"
#include "ui/Twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace TabelleStorico {

QTableView *addTable(QWidget *parent, const char *name, QAbstractItemModel *model, QSortFilterProxyModel *proxy,
                     int sortColumn)
{
    proxy->setSourceModel(model);
    proxy->setSortRole(StoricoDati::SortRole);
    proxy->setSortCaseSensitivity(Qt::CaseInsensitive);

    auto *table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(proxy);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView *header = table->horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(sortColumn, Qt::DescendingOrder);
    header->setStretchLastSection(true);
    QObject::connect(header, &QHeaderView::sortIndicatorChanged, proxy,
                     [proxy](int column, Qt::SortOrder order) { proxy->sort(column, order); });
    return table;
}

void setColumnWidths(QTableView *table, const std::vector<QString> &samples)
{
    const QFontMetrics metrics(table->font());
    const QFontMetrics headerMetrics(table->horizontalHeader()->font());
    for (int c = 0; c < static_cast<int>(samples.size()); ++c) {
        const QString header = table->model()->headerData(c, Qt::Horizontal).toString();
        const int width = std::max(metrics.horizontalAdvance(samples[static_cast<std::size_t>(c)]),
                                   headerMetrics.horizontalAdvance(header) + 16);
        table->setColumnWidth(c, width + 12);
    }
}

QWidget *titledPane(QWidget *parent, const QString &title, QTableView *table)
{
    auto *pane = new QWidget(parent);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *label = new QLabel(title, pane);
    label->setFont(msSansSerif(true));
    label->setBuddy(table);
    layout->addWidget(label);
    table->setParent(pane);
    layout->addWidget(table);
    return pane;
}

} // namespace TabelleStorico
