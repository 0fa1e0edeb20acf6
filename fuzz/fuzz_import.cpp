// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// The import over any text into a real database file. The input is the
// rank list, a line "--", the initial member list, a line "--" and the
// final member list (with one "--" line the member list serves as both,
// without one the whole input does and no rank is known). On an emptied
// table each input runs a whole period with the final list first, so that
// the table holds records, final scores and changes to reuse, and then a
// period with the initial and the final list. After each import the table
// must hold exactly what the import's rules make of the lines, record by
// record. The rank list is a real Gradi.txt, asked through CercaGrado as
// the entry window asks it; the rules cut the lines with the same list kept
// in memory.
#include "FuzzSupport.h"

#include "import/CercaGrado.h"
#include "import/Importazione.h"
#include "import/LeggiRiga.h"
#include "import/TextFile.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/Numbers.h"
#include "store/PreparedQuery.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

// The check's own connection to the file, open for the whole run.
std::unique_ptr<SQLite::Database> checkDb;

// Quadrivo.mdb and Gradi.txt in a temporary folder of its own, which goes
// when the run ends. The current directory stays as it is, for libFuzzer's
// paths.
QString databasePath;
QString rankPath;

QLocale italian()
{
    return QLocale(QLocale::Italian, QLocale::Italy);
}

// One record of Membri as the import's rules leave it.
struct Record
{
    int valid = 1;
    QString nick, madre, grado;
    std::optional<qint64> punti1, punti2, diff;
    std::optional<double> per;
};
using Table = std::vector<Record>;

struct Lines
{
    std::vector<RigaMembro> lines;
    bool failed = false; // the parser stopped at the line after the last one
};

Lines cutLines(const QString &text, const RankLookup &lookup)
{
    Lines result;
    qsizetype pos = 0;
    try {
        while (const auto riga = LeggiRiga(text, pos, lookup, int(result.lines.size()) + 1))
            result.lines.push_back(*riga);
    } catch (const ParseError &) {
        result.failed = true;
    }
    return result;
}

// The number of lines saved, and whether the import stops with an error.
struct Outcome
{
    int saved = 0;
    bool failed = false;
};

qsizetype firstWhere(const Table &table, int valid, const QString *madre = nullptr)
{
    const QString wanted = madre ? fuzz::asStored(*madre) : QString();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].valid == valid && (!madre || table[i].madre == wanted))
            return qsizetype(i);
    return -1;
}

// The line's texts as the table keeps them.
void takeTexts(Record &r, const RigaMembro &riga)
{
    r.nick = fuzz::asStored(riga.Nick);
    r.madre = fuzz::asStored(riga.Madre);
    r.grado = fuzz::asStored(riga.Grado);
}

Outcome initialImport(Table &table, const Lines &cut)
{
    for (Record &r : table)
        r.valid = 0;
    const QLocale locale = italian();
    for (std::size_t i = 0; i < cut.lines.size(); ++i) {
        const RigaMembro &riga = cut.lines[i];
        const auto punti = parseInt32(riga.Punti, locale);
        if (!punti)
            return {int(i), true};
        const qsizetype free = firstWhere(table, 0);
        Record &r = free < 0 ? table.emplace_back() : table[std::size_t(free)];
        r.valid = 1;
        takeTexts(r, riga);
        r.punti1 = *punti;
        r.punti2.reset();
        r.per.reset();
        r.diff.reset();
    }
    return {int(cut.lines.size()), cut.failed};
}

Outcome finalImport(Table &table, const Lines &cut)
{
    const QLocale locale = italian();
    for (std::size_t i = 0; i < cut.lines.size(); ++i) {
        const RigaMembro &riga = cut.lines[i];
        const auto puntiFin = parseInt32(riga.Punti, locale);
        if (!puntiFin)
            return {int(i), true};
        Table next = table;
        qint64 puntiIni = 0;
        qsizetype at = firstWhere(next, 1, &riga.Madre);
        if (at >= 0) {
            puntiIni = next[std::size_t(at)].punti1.value_or(0);
        } else {
            at = firstWhere(next, 0);
            if (at < 0) {
                next.emplace_back();
                at = qsizetype(next.size()) - 1;
            }
            Record &r = next[std::size_t(at)];
            r.valid = 1;
            r.punti1.reset();
            r.per.reset();
            r.diff.reset();
        }
        Record &r = next[std::size_t(at)];
        takeTexts(r, riga);
        r.punti2 = *puntiFin;
        if (puntiIni != 0) {
            const qint64 d = qint64(*puntiFin) - puntiIni;
            if (d < std::numeric_limits<qint32>::min() || d > std::numeric_limits<qint32>::max())
                return {int(i), true};
            r.diff = d;
            r.per = double(d) / double(puntiIni) * 100.0;
        }
        table = std::move(next);
    }
    return {int(cut.lines.size()), cut.failed};
}

std::optional<qint64> integer(const SQLite::Column &v)
{
    if (v.isNull())
        return std::nullopt;
    return v.getInt64();
}

QString text(const SQLite::Column &v)
{
    return columnText(v);
}

QString describe(const Record &r)
{
    const auto n = [](const std::optional<qint64> &v) { return v ? QString::number(*v) : QStringLiteral("Null"); };
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
        .arg(QString::number(r.valid), r.nick, r.madre, r.grado, n(r.punti1), n(r.punti2),
             r.per ? QString::number(*r.per) : QStringLiteral("Null"), n(r.diff));
}

// The table must hold the model's records in record-set order; Per within
// the rounding to two decimals of a single-precision number.
void compareTable(const Table &model, const char *phase)
{
    std::optional<SQLite::Statement> query;
    try {
        query.emplace(*checkDb, "SELECT Valid,Nick,Madre,Grado,Punti1,Punti2,Per,Diff FROM Membri ORDER BY rowid");
    } catch (const SQLite::Exception &e) {
        fuzz::check(false, "the check cannot read the table", QString::fromUtf8(e.what()));
    }
    std::size_t i = 0;
    for (; query->executeStep(); ++i) {
        Record got;
        got.valid = query->getColumn(0).getInt();
        got.nick = text(query->getColumn(1));
        got.madre = text(query->getColumn(2));
        got.grado = text(query->getColumn(3));
        got.punti1 = integer(query->getColumn(4));
        got.punti2 = integer(query->getColumn(5));
        if (!query->getColumn(6).isNull())
            got.per = query->getColumn(6).getDouble();
        got.diff = integer(query->getColumn(7));
        fuzz::check(i < model.size(), "the import left more records than its rules", describe(got));
        const Record &want = model[i];
        const QString detail = QStringLiteral("%1: record %2: %3 instead of %4")
                                   .arg(QString::fromLatin1(phase), QString::number(i), describe(got), describe(want));
        fuzz::check(got.valid == want.valid && got.nick == want.nick && got.madre == want.madre
                        && got.grado == want.grado && got.punti1 == want.punti1 && got.punti2 == want.punti2
                        && got.diff == want.diff && got.per.has_value() == want.per.has_value(),
                    "a record differs from what the import's rules give", detail);
        if (want.per) {
            const double tolerance = 0.005 + std::fabs(*want.per) * 3e-7 + 1e-9;
            fuzz::check(std::fabs(*got.per - *want.per) <= tolerance, "Per is not the change in percent", detail);
        }
    }
    query.reset();
    fuzz::check(i == model.size(), "the import left fewer records than its rules");
}

void runImport(Table &model, const QString &text, qint16 tipoDati, const fuzz::RankList &ranks, const char *phase)
{
    const Lines cut = cutLines(text, [&ranks](const QString &phrase) { return ranks.contains(phrase); });
    const RankLookup lookup = [](const QString &phrase) { return CercaGrado(phrase, rankPath); };
    const Outcome expected = tipoDati == 1 ? initialImport(model, cut) : finalImport(model, cut);

    Outcome got;
    {
        DataControl data1(italian());
        data1.setDatabaseName(databasePath);
        try {
            got.saved = importaPalmeria(data1, text, tipoDati, lookup, italian());
        } catch (const ImportError &error) {
            got.failed = true;
            got.saved = error.savedLines();
            fuzz::check(!error.message().isEmpty(), "ImportError has no message");
        }
    }
    fuzz::check(got.failed == expected.failed && got.saved == expected.saved,
                "the import saved another number of lines than its rules",
                QStringLiteral("%1: %2 saved%3 instead of %4%5")
                    .arg(QString::fromLatin1(phase))
                    .arg(got.saved)
                    .arg(got.failed ? QStringLiteral(", then stopped") : QString())
                    .arg(expected.saved)
                    .arg(expected.failed ? QStringLiteral(", then stopped") : QString()));
    compareTable(model, phase);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    (void)argc;
    new QCoreApplication(qtArgc, qtArgv);

    static QTemporaryDir dir;
    fuzz::check(dir.isValid(), "no temporary folder");
    databasePath = dir.filePath(Membri::fileName());
    rankPath = dir.filePath(QStringLiteral("Gradi.txt"));
    Membri::createIfMissing(databasePath);

    try {
        checkDb = std::make_unique<SQLite::Database>(databasePath.toStdString(), SQLite::OPEN_READWRITE, 3000);
    } catch (const SQLite::Exception &e) {
        fuzz::check(false, "the check cannot open the database", QString::fromUtf8(e.what()));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = fuzz::decodeInput(data, size);
    const std::vector<QStringView> pieces = fuzz::splitAtMarkers(input);
    writeTextFile(rankPath, pieces.size() > 1 ? pieces[0].toString() : QString());
    const fuzz::RankList ranks(readTextFile(rankPath));
    const QString initial = (pieces.size() > 1 ? pieces[1] : pieces[0]).toString();
    const QString final = (pieces.size() > 2 ? pieces[2] : QStringView(initial)).toString();

    // Every input starts from an empty table, so that a finding replays
    // alone and the file stays small.
    {
        fuzz::check(checkDb->tryExec("DELETE FROM Membri") == 0, "the check cannot empty the table",
                    QString::fromUtf8(checkDb->getErrorMsg()));
    }

    Table model;
    runImport(model, final, 1, ranks, "first period, initial import");
    runImport(model, final, 2, ranks, "first period, final import");
    runImport(model, initial, 1, ranks, "initial import");
    runImport(model, final, 2, ranks, "final import");
    return 0;
}
