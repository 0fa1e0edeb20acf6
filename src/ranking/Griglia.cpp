// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ranking/Griglia.h"

#include "core/Failure.h"
#include "ranking/GridTexts.h"
#include "ranking/LocaleNumbers.h"
#include "store/RecordSet.h"

#include <array>
#include <cmath>
#include <limits>

namespace {

// The plain digits loadGrid writes for a whole number, with a minus when
// negative; none for any other text.
std::optional<qlonglong> plainWhole(QStringView text)
{
    const qsizetype start = text.startsWith(u'-') ? 1 : 0;
    if (text.size() <= start || text.size() - start > 18)
        return std::nullopt;
    qlonglong n = 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c - u'0');
    }
    return start ? -n : n;
}

std::optional<qlonglong> readWhole(QStringView text, const QLocale &locale)
{
    if (const auto n = plainWhole(text))
        return n;
    bool ok = false;
    qlonglong n = text.toLongLong(&ok);
    if (!ok)
        n = locale.toLongLong(text, &ok);
    if (ok)
        return n;
    const double d = locale.toDouble(text, &ok);
    if (ok && std::isfinite(d) && std::fabs(d) < 9.0e18)
        return std::llround(d);
    return std::nullopt;
}

QLocale grouping(const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(l.numberOptions() & ~QLocale::OmitGroupSeparator);
    return l;
}

// A field's text as the grid shows it right after loading: empty for Null,
// whole numbers as plain digits, the percentage in its shortest form with
// the locale's decimal separator. The numbers' forms are made once a grid:
// a grid of 32,767 rows writes some 100,000 numbers, and QLocale's own
// formatting costs an allocation or more each.
QString cellText(const QVariant &value, const LocaleNumbers &numbers)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        // The percentage is a single-precision number: its shortest form
        // has at most seven significant digits.
        return numbers.shortest(static_cast<float>(value.toDouble()));
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Bool:
        return QString::number(value.toLongLong());
    default:
        return value.toString();
    }
}

// The "#,##" form of a text; grouped writes a number already read.
template <typename Grouped> QString formatGroupedWith(QStringView text, const QLocale &locale, Grouped grouped)
{
    if (text.isEmpty())
        return {};
    const auto n = readWhole(text, locale);
    if (!n)
        return text.toString();
    return *n == 0 ? QString() : grouped(*n);
}

} // namespace

void loadGrid(GridTexts &grid, RecordSet &records, const QLocale &locale)
{
    const LocaleNumbers numbers(locale);
    const int fields = std::min(records.FieldCount(), GridTexts::Cols - 1);
    grid.setRows(static_cast<int>(std::min<qsizetype>(records.RecordCount() + 1, std::numeric_limits<int>::max())));
    std::array<QString, GridTexts::Cols> cells;
    GridTexts::RowTexts texts;
    int row = 1;
    for (records.MoveFirst(); !records.Eof() && row < grid.Rows(); records.MoveNext(), ++row) {
        for (int f = 0; f < fields; ++f) {
            const auto c = static_cast<std::size_t>(f) + 1;
            cells[c] = cellText(records.Field(f), numbers);
            texts[c] = cells[c];
        }
        grid.setRow(row, texts);
    }
}

QString formatGrouped(const QString &text, const QLocale &locale)
{
    const QLocale grouped = grouping(locale);
    return formatGroupedWith(text, locale, [&](qlonglong n) { return grouped.toString(n); });
}

void FormattaGriglia(GridTexts &grid, const QLocale &locale)
{
    const LocaleNumbers numbers(locale);
    const auto grouped = [&numbers](qlonglong n) { return numbers.grouped(n); };
    const int last = grid.Rows() - 1;
    QString puntiI, puntiF, var, incr;
    for (int r = 1; r <= last; ++r) {
        GridTexts::RowTexts cells = grid.row(r);
        puntiI = formatGroupedWith(cells[ColPuntiI], locale, grouped);
        puntiF = formatGroupedWith(cells[ColPuntiF], locale, grouped);
        cells[ColPuntiI] = puntiI;
        cells[ColPuntiF] = puntiF;

        if (!cells[ColVar].isEmpty()) {
            const auto positive = numbers.positive(cells[ColVar]);
            if (!positive)
                throw UserError(QStringLiteral("Riga %1 della griglia: la variazione «%2» non è un numero.")
                                    .arg(r)
                                    .arg(cells[ColVar]));
            var.clear();
            if (*positive)
                var.append(u'+');
            var.append(cells[ColVar]).append(u" %");
            cells[ColVar] = var;

            const QStringView d = cells[ColIncr];
            const auto n = readWhole(d, locale);
            if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
                throw UserError(
                    QStringLiteral("Riga %1 della griglia: l'incremento «%2» non è un numero intero.").arg(r).arg(d));
            // The "#,##" form of d, read once.
            incr = *n == 0 ? QString() : numbers.grouped(*n);
            if (*n > 0)
                incr.prepend(QLatin1Char('+'));
            cells[ColIncr] = incr.isEmpty() ? QStringView(u"0") : QStringView(incr);
        }
        grid.setRow(r, cells);
    }
}

void IntestaGriglia(GridTexts &grid)
{
    static const char *const captions[] = {"Pos.",     "Nick",     "Madre",  "Grado",
                                           "Punti I.", "Punti F.", "var. %", "incr.p."};
    for (int c = 1; c < GridTexts::Cols; ++c)
        grid.setTextArray(c, QString::fromUtf8(captions[c - 1]));

    static constexpr int widths[GridTexts::Cols] = {300, 500, 1800, 800, 1400, 1000, 1000, 960, 970};
    for (int c = 0; c < GridTexts::Cols; ++c)
        grid.setColWidth(c, widths[c]);

    const int last = grid.Rows() - 1;
    for (int r = 1; r <= last; ++r)
        grid.setTextMatrix(r, ColPos, QString::number(r));
}
