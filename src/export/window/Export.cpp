// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/window/Export.h"

#include "ranking/GridTexts.h"
#include "export/window/Form3.h"
#include "export/Report.h"
#include "ui/MessageBox.h"
#include "ui/TextBox.h"

#include <QString>

void showExport(QWidget *parent, const GridTexts &grid, bool byPercentage)
{
    const QString report = buildReport(grid, byPercentage);
    // A window per export: nothing of an earlier report can survive in it.
    Form3 form(parent);
    form.Text1()->setText(report);
    form.exec();
}

bool exportReport(QWidget *parent, const GridTexts &grid, bool byPercentage)
{
    if (grid.Rows() == 1) {
        MessageBox::show(parent, QStringLiteral("Nessuna statistica da esportare"), MessageBox::Icon::Information,
                         QStringLiteral("Avviso"));
        return false;
    }
    showExport(parent, grid, byPercentage);
    return true;
}
