// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/CsvGriglia.h"

#include "core/CsvWriter.h"
#include "ranking/GridTexts.h"

#include <QStringList>
#include <QStringView>

namespace {

// A whole number as the grid writes it (grouped, maybe with "+"), without
// groups; a text that is not one stays as it is.
QString intero(QStringView text, const QLocale &locale, const QLocale &cifre)
{
    bool ok = false;
    const qlonglong n = locale.toLongLong(text, &ok);
    return ok ? cifre.toString(n) : text.toString();
}

// "+5,3 %" as "5,3": the grid's percentage is already written without
// groups, in the locale's decimals.
QString percento(QStringView text, const QLocale &locale)
{
    QStringView numero = text;
    if (numero.endsWith(u" %"))
        numero.chop(2);
    if (numero.startsWith(u'+'))
        numero = numero.sliced(1);
    bool ok = false;
    locale.toDouble(numero, &ok);
    return ok ? numero.toString() : text.toString();
}

} // namespace

QByteArray csvGriglia(const GridTexts &grid, const QLocale &locale)
{
    QLocale cifre = locale;
    cifre.setNumberOptions(cifre.numberOptions() | QLocale::OmitGroupSeparator);
    CsvWriter csv(locale);
    QStringList campi;
    for (int row = 0; row < grid.Rows(); ++row) {
        campi.clear();
        for (int col = ColPos; col < GridTexts::Cols; ++col) {
            const QStringView cella = grid.TextMatrix(row, col);
            if (row == 0 || cella.isEmpty())
                campi << cella.toString();
            else if (col == ColVar)
                campi << percento(cella, locale);
            else if (col == ColPos || col == ColPuntiI || col == ColPuntiF || col == ColIncr)
                campi << intero(cella, locale, cifre);
            else
                campi << cella.toString();
        }
        csv.addRow(campi);
    }
    return csv.bytes();
}
