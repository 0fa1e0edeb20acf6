// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/window/Export.h"

#include "core/Failure.h"
#include "core/WholeFile.h"
#include "export/CsvGriglia.h"
#include "export/Post.h"
#include "export/PostBBCode.h"
#include "export/PostMarkdown.h"
#include "export/Report.h"
#include "export/window/Form3.h"
#include "ranking/GridTexts.h"
#include "ranking/Periodo.h"
#include "ui/MessageBox.h"
#include "ui/TextBox.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace {

// The history's part of the posts. A history that cannot be read leaves
// the posts without it, and the user is told so.
Periodo periodoDa(QWidget *parent, const LeggiPeriodo &leggiPeriodo)
{
    if (!leggiPeriodo)
        return {};
    try {
        return leggiPeriodo();
    } catch (const UserError &error) {
        MessageBox::show(
            parent, error.message() + QStringLiteral("\nIl testo è senza le date del periodo e senza i membri fermi."),
            MessageBox::Icon::Exclamation, applicationTitle());
        return {};
    }
}

} // namespace

void showExport(QWidget *parent, const GridTexts &grid, bool byPercentage, const LeggiPeriodo &leggiPeriodo)
{
    const QString report = buildReport(grid, byPercentage);
    // A window per export: nothing of an earlier report can survive in it.
    Form3 form(parent);
    form.Text1()->setText(report);

    std::optional<Periodo> periodo;
    form.testoDelFormato = [&](Form3::Formato formato) {
        if (formato == Form3::Testo)
            return report;
        if (!periodo)
            periodo = periodoDa(&form, leggiPeriodo);
        const Post post = componiPost(grid, byPercentage, *periodo, QLocale());
        return formato == Form3::BBCode ? scriviBBCode(post) : scriviMarkdown(post);
    };
    form.scriviCsv = [&grid](const QString &path) { writeWholeFile(path, csvGriglia(grid, QLocale())); };
    form.exec();
}

bool exportReport(QWidget *parent, const GridTexts &grid, bool byPercentage, const LeggiPeriodo &leggiPeriodo)
{
    if (grid.Rows() == 1) {
        MessageBox::show(parent, QStringLiteral("Nessuna statistica da esportare"), MessageBox::Icon::Information,
                         QStringLiteral("Avviso"));
        return false;
    }
    showExport(parent, grid, byPercentage, leggiPeriodo);
    return true;
}
