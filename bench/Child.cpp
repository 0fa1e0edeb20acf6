// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "Child.h"

#include "EntryWindow.h"
#include "Fail.h"
#include "Inputs.h"
#include "PaintWatcher.h"
#include "PeakMemory.h"
#include "Steps.h"

#include "app/Form1.h"
#include "app/HeapSettings.h"
#include "core/Failure.h"
#include "export/Report.h"
#include "history/window/Form4.h"
#include "import/Gradi.h"
#include "import/Importazione.h"
#include "import/LeggiRiga.h"
#include "ranking/GridTexts.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/Storico.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <sqlite3.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

namespace {

constexpr quint32 seed = 20261208;
const QString rankFile = QStringLiteral("Gradi.txt");
const QString baseFile = QStringLiteral("base.mdb");
const QString floorFile = QStringLiteral("floor.mdb");
const QString historyFile = QStringLiteral("history.mdb");

void writeSystemText(const QString &path, const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    const QByteArray bytes = encoder.encode(text);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write %1").arg(path));
}

void removeDatabase(const QString &path)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

double elapsedMs(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1.0e6;
}

// The lookup the entry window gives the parser: its own Gradi, made with the
// window before "OK" is pressed and closed with it, after the import.
RankLookup lookUpRank(Gradi &gradi)
{
    return [&gradi](const QString &phrase) { return gradi.CercaGrado(phrase); };
}

int runImport(const QString &text, qint16 tipoDati, Gradi &gradi)
{
    DataControl data1;
    data1.setDatabaseName(Membri::fileName());
    try {
        const Gradi::DuranteImportazione importazione(gradi);
        return importaPalmeria(data1, text, tipoDati, lookUpRank(gradi), QLocale());
    } catch (const ImportError &error) {
        fail(error.message());
    }
}

// Answers the history window's question before a comparison with "Sì",
// timing from that press; any other box ends the benchmark.
class CompareAnswerer : public QObject
{
public:
    CompareAnswerer(QElapsedTimer &timer, const PaintWatcher &watcher)
        : m_timer(timer)
        , m_watcher(watcher)
    {
    }

    /// The main window's paints counted at the press.
    int paintsAtPress() const { return m_paintsAtPress; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched)) {
                if (!box->text().startsWith(QStringLiteral("Sostituire")))
                    fail(QStringLiteral("message box: %1").arg(box->text()));
                QTimer::singleShot(0, box, [this, box] {
                    QAbstractButton *yes = box->button(QMessageBox::Yes);
                    if (!yes)
                        fail(QStringLiteral("the question has no Yes button"));
                    m_paintsAtPress = m_watcher.paints();
                    m_timer.start();
                    yes->click();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer &m_timer;
    const PaintWatcher &m_watcher;
    int m_paintsAtPress = 0;
};

// The bare cost of saving records one by one: the record update the import
// issues, through plain SQLite (SQLiteCpp's statements over its C API), each
// statement its own transaction, on a separate file with the same schema
// and journal settings, on SQLite's own file layer as any other SQLite
// client would be. The values are bound straight from the generated lists;
// nothing is kept, so that the floor adds no memory of its own to the
// process's peak. Each step is given the inputs it binds from: they are
// made again for every run and dropped before the windows' steps.
class Floor
{
public:
    explicit Floor(const BenchInputs &in)
    {
        Membri::createIfMissing(floorFile);
        try {
            m_db = std::make_unique<SQLite::Database>(floorFile.toStdString(), SQLite::OPEN_READWRITE, 3000);
            if (QString::fromStdString(m_db->execAndGet("PRAGMA journal_mode=WAL").getString()).toLower()
                != QLatin1String("wal"))
                fail(QStringLiteral("the floor's file cannot use write-ahead logging"));
            m_db->exec("PRAGMA synchronous=NORMAL");

            // Where the final import saves each member: over the record of the
            // same home planet, or in a new record (0).
            for (const BenchMember &m : in.final) {
                const bool matched =
                    m.initialIndex >= 0 && m.madre == in.initial[static_cast<std::size_t>(m.initialIndex)].madre;
                m_finalRowids.push_back(matched ? m.initialIndex + 1 : 0);
            }

            SQLite::Transaction fillAll(*m_db);
            SQLite::Statement fill(*m_db, "INSERT INTO Membri (Valid,Nick,Madre,Grado,Punti1,Punti2,Per,Diff) "
                                          "VALUES (?,?,?,?,?,?,?,?)");
            for (const BenchMember &m : in.initial) {
                bindInitial(fill, m, 1);
                run(fill);
            }
            fillAll.commit();

            m_members = static_cast<qlonglong>(in.initial.size());
            m_insert = std::make_unique<SQLite::Statement>(
                *m_db, "INSERT INTO Membri (Nick,Madre,Grado,Punti2) VALUES (?,?,?,?)");
            m_update = std::make_unique<SQLite::Statement>(
                *m_db, "UPDATE Membri SET Valid=?,Nick=?,Madre=?,Grado=?,Punti1=?,Punti2=?,Per=?,Diff=? WHERE rowid=?");
        } catch (const SQLite::Exception &e) {
            fail(QString::fromUtf8(e.what()));
        }
    }

    ~Floor()
    {
        m_insert.reset();
        m_update.reset();
        m_db.reset();
    }

    Floor(const Floor &) = delete;
    Floor &operator=(const Floor &) = delete;

    /// As many commits as an initial import into a full table: N freed, N filled.
    double initialMs(const BenchInputs &in)
    {
        return timed([&] {
            SQLite::Statement &query = *m_update;
            for (const int valid : {0, 1}) {
                qlonglong rowid = 1;
                for (const BenchMember &m : in.initial) {
                    bindInitial(query, m, valid);
                    query.bind(9, int64_t(rowid++));
                    run(query);
                }
            }
        });
    }

    /// As many commits as a final import: N.
    double finalMs(const BenchInputs &in)
    {
        return timed([&] {
            SQLite::Statement &query = *m_update;
            qlonglong rowid = 1;
            for (std::size_t k = 0; k < in.final.size(); ++k) {
                bindFinal(query, in, k);
                query.bind(9, int64_t(rowid++));
                run(query);
            }
        });
    }

    /// The final import's commits in its own order: the matched members'
    /// records scattered over the table, the others appended.
    double finalInImportOrderMs(const BenchInputs &in)
    {
        return timed(
            [&] {
                SQLite::Statement &update = *m_update;
                SQLite::Statement &insert = *m_insert;
                for (std::size_t k = 0; k < in.final.size(); ++k) {
                    const BenchMember &m = in.final[k];
                    if (m_finalRowids[k] > 0) {
                        bindFinal(update, in, k);
                        update.bind(9, int64_t(m_finalRowids[k]));
                        run(update);
                    } else {
                        insert.bind(1, m.nick.toStdString());
                        insert.bind(2, m.madre.toStdString());
                        insert.bind(3, m.grado.toStdString());
                        insert.bind(4, int64_t(m.punti));
                        run(insert);
                    }
                }
            },
            [&] {
                // The appended records go, so that every run starts alike.
                if (m_db->tryExec("DELETE FROM Membri WHERE rowid > " + std::to_string(m_members)) != SQLITE_OK)
                    fail(QString::fromUtf8(m_db->getErrorMsg()));
            });
    }

private:
    // The milliseconds the commits take; then what restores the file, and
    // SQLite's page cache for this connection goes back (the program's
    // steps run beside this open connection).
    template <typename Commits> double timed(Commits commits, const std::function<void()> &restore = {})
    {
        QElapsedTimer timer;
        timer.start();
        commits();
        const double elapsed = elapsedMs(timer);
        if (restore)
            restore();
        m_db->tryExec("PRAGMA shrink_memory");
        return elapsed;
    }

    static void run(SQLite::Statement &query)
    {
        const int rc = query.tryExecuteStep();
        query.tryReset();
        if (rc != SQLITE_DONE)
            fail(QStringLiteral("the floor's statement failed: SQLite code %1").arg(rc));
    }

    static void bindText(SQLite::Statement &query, int position, const QString &text)
    {
        if (text.isNull())
            query.bind(position);
        else
            query.bind(position, text.toStdString());
    }

    // The fields of an initial import's save: the member freed (valid 0)
    // or filled (1).
    static void bindInitial(SQLite::Statement &query, const BenchMember &m, int valid)
    {
        query.bind(1, valid);
        bindText(query, 2, m.nick);
        bindText(query, 3, m.madre);
        bindText(query, 4, m.grado);
        query.bind(5, int64_t(m.punti));
        for (int i = 6; i <= 8; ++i)
            query.bind(i);
    }

    // The fields of a final import's save of the k-th member of the final
    // list: with its initial score and the change where it matched one.
    void bindFinal(SQLite::Statement &query, const BenchInputs &in, std::size_t k) const
    {
        const BenchMember &m = in.final[k];
        query.bind(1, 1);
        bindText(query, 2, m.nick);
        bindText(query, 3, m.madre);
        bindText(query, 4, m.grado);
        query.bind(5);
        query.bind(6, int64_t(m.punti));
        query.bind(7);
        query.bind(8);
        if (m_finalRowids[k] > 0) {
            const qint32 before = in.initial[static_cast<std::size_t>(m_finalRowids[k] - 1)].punti;
            query.bind(5, int64_t(before));
            if (before != 0) {
                query.bind(7, double(m.punti - before) / double(before) * 100.0);
                query.bind(8, int64_t(m.punti - before));
            }
        }
    }

    std::vector<qlonglong> m_finalRowids;
    qlonglong m_members = 0;
    std::unique_ptr<SQLite::Database> m_db;
    std::unique_ptr<SQLite::Statement> m_update;
    std::unique_ptr<SQLite::Statement> m_insert;
};

// The initial list's lines as a snapshot keeps them.
std::vector<Storico::RigaRilevazione> snapshotLines(const std::vector<BenchMember> &members, qint32 bonus)
{
    std::vector<Storico::RigaRilevazione> lines;
    lines.reserve(members.size());
    for (const BenchMember &m : members)
        lines.push_back({m.nick, m.madre, m.grado, m.punti + bonus});
    return lines;
}

// A history of the given number of snapshots of the initial list, a week
// apart, every member a little higher each time, in a file of its own.
void makeHistory(const BenchInputs &in, int snapshots)
{
    removeDatabase(historyFile);
    Membri::createIfMissing(historyFile);
    DataControl data;
    data.setDatabaseName(historyFile);
    const QDateTime start = QDateTime::currentDateTime().addDays(-7 * snapshots);
    try {
        for (int i = 0; i < snapshots; ++i)
            Storico::scriviRilevazione(data.database(), historyFile, start.addDays(7 * i), i % 2 + 1,
                                       snapshotLines(in.initial, 100 * i));
    } catch (const UserError &error) {
        fail(error.message());
    }
}

QString sqliteVersion()
{
    return QString::fromLatin1(sqlite3_libversion());
}

// The list of the given kind alone, as a user has it to paste.
QString listText(int members, qint16 tipoDati)
{
    BenchInputs in = makeInputs(members, seed);
    return std::move(tipoDati == 1 ? in.initialText : in.finalText);
}

void report(const char *key, int run, double ms)
{
    std::printf("M %s %d %.4f\n", key, run, ms);
}

QAbstractButton *optionButton(Form1 &form, const char *name)
{
    auto *button = form.findChild<QAbstractButton *>(QString::fromLatin1(name));
    if (!button)
        fail(QStringLiteral("no button %1 in the main window").arg(QString::fromLatin1(name)));
    return button;
}

void checkRows(const Form1 &form, int expected, const char *when)
{
    if (form.grid().Rows() - 1 != expected)
        fail(QStringLiteral("%1: the grid shows %2 members instead of %3")
                 .arg(QString::fromLatin1(when))
                 .arg(form.grid().Rows() - 1)
                 .arg(expected));
}

} // namespace

int runChild(int members, int runs)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        fail(QStringLiteral("no temporary working folder"));

    // A failure in a window shows a modal box, which nobody would close here.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            fail(QStringLiteral("message box: %1").arg(box->text()));
    });
    watchdog.start(100);

    // The generated lists are the benchmark's, not the program's: each step
    // is given those it reads, made for it and gone after it, so that the
    // peak memory is the program's own. An import through the data control
    // holds the one list it imports, as the entry window does.
    std::optional<BenchInputs> setup(std::in_place, makeInputs(members, seed));
    const int validAfterFinal = setup->validAfterFinal();
    const auto finalMembers = static_cast<int>(setup->final.size());
    writeSystemText(rankFile, rankListText(setup->ranks));
    std::printf("SQLITE %s\n", qPrintable(sqliteVersion()));
    std::printf("N %d\n", members);
    std::printf("VALID %d\n", validAfterFinal);

    // The realistic starting point: the table holds the records of an
    // earlier initial import of the same size.
    Membri::createIfMissing(Membri::fileName());
    {
        // Made and gone with the import, as the entry window's: a rank list
        // watched for the whole benchmark would take news of every save of
        // the steps that follow.
        Gradi preparing(rankFile);
        if (runImport(setup->initialText, 1, preparing) != members)
            fail(QStringLiteral("the preparing import did not read every line"));
    }
    // The import left its log beside the file; a connection that opens it
    // and closes it the usual way copies the log into the file, so that
    // the file alone can be copied.
    {
        DataControl settling;
        settling.setDatabaseName(Membri::fileName());
        try {
            settling.database();
        } catch (const UserError &error) {
            fail(error.message());
        }
    }
    removeDatabase(baseFile);
    if (!QFile::copy(Membri::fileName(), baseFile))
        fail(QStringLiteral("cannot copy the database"));

    const int snapshots = historySnapshots(members);
    std::printf("SNAPSHOTS %d\n", snapshots);
    makeHistory(*setup, snapshots);

    Floor floor(*setup);
    setup.reset();
    PaintWatcher watcher;
    qApp->installEventFilter(&watcher);

    for (int run = 1; run <= runs; ++run) {
        removeDatabase(Membri::fileName());
        if (!QFile::copy(baseFile, Membri::fileName()))
            fail(QStringLiteral("cannot restore the database"));

        QElapsedTimer timer;
        int initialLines = 0;
        int finalLines = 0;
        {
            const QString initialText = listText(members, 1);
            {
                Gradi gradi(rankFile);
                timer.start();
                const QStringView text(initialText);
                qsizetype pos = 0;
                int lines = 0;
                const RankLookup lookup = lookUpRank(gradi);
                while (LeggiRiga(text, pos, lookup, lines + 1))
                    ++lines;
                report("parse", run, elapsedMs(timer));
                if (lines != members)
                    fail(QStringLiteral("the parser read %1 lines of %2").arg(lines).arg(members));
            }
            Gradi gradi(rankFile);
            timer.start();
            initialLines = runImport(initialText, 1, gradi);
            report("import1", run, elapsedMs(timer));
        }
        // What the main window does once a command is done.
        releaseFreedMemory();
        {
            const QString finalText = listText(members, 2);
            Gradi gradi(rankFile);
            timer.start();
            finalLines = runImport(finalText, 2, gradi);
            report("import2", run, elapsedMs(timer));
        }
        releaseFreedMemory();
        if (initialLines != members || finalLines != finalMembers)
            fail(QStringLiteral("an import did not read every line"));

        {
            const BenchInputs in = makeInputs(members, seed);
            // One more snapshot of the initial list, as the initial import
            // has just written one (its cost is part of import1). Its lines
            // are made for this step alone. The imports ran with no other
            // connection open, as in the program, whose main window closes
            // the file before the entry window; the snapshot is written
            // through the main window's.
            auto mainWindowData = std::make_unique<DataControl>();
            mainWindowData->setDatabaseName(Membri::fileName());
            try {
                SQLite::Database &db = mainWindowData->database();
                const std::vector<Storico::RigaRilevazione> initialSnapshot = snapshotLines(in.initial, 0);
                timer.start();
                Storico::scriviRilevazione(db, Membri::fileName(), QDateTime::currentDateTime(), 1, initialSnapshot);
                report("snapshot", run, elapsedMs(timer));
            } catch (const UserError &error) {
                fail(error.message());
            }
            mainWindowData.reset();

            report("floor1", run, floor.initialMs(in));
            report("floor2", run, floor.finalMs(in));
            report("floor2o", run, floor.finalInImportOrderMs(in));
        }
        releaseFreedMemory();

        // Start-up: from before the main window exists to its first frame.
        const int paintsBefore = watcher.paints();
        timer.start();
        auto form = std::make_unique<Form1>();
        form->show();
        watcher.waitForPaintAfter(paintsBefore);
        report("startup", run, watcher.msToFrame(timer));
        checkRows(*form, validAfterFinal, "start-up");

        // Each order: the click reloads the grid, then the window repaints.
        QAbstractButton *byPoints = optionButton(*form, "OptOrd1");
        QAbstractButton *byPercent = optionButton(*form, "OptOrd0");
        for (const auto &[button, gridKey, reportKey, percent] :
             {std::tuple{byPoints, "grid1", "report1", false}, std::tuple{byPercent, "grid0", "report0", true}}) {
            const int seen = watcher.paints();
            timer.start();
            button->click();
            watcher.waitForPaintAfter(seen);
            report(gridKey, run, watcher.msToFrame(timer));
            if (!button->isChecked())
                fail(QStringLiteral("the option button did not take the click"));
            checkRows(*form, validAfterFinal, gridKey);

            // The report's text is written on pages the process does not
            // hold yet, in every run: whether the heap happens to keep a
            // free block as large as the text (what the rebuild freed)
            // otherwise decides between 3.5 and 15.5 ms at 32,767 members.
            releaseFreedMemory();
            timer.start();
            const QString text = buildReport(form->grid(), percent);
            report(reportKey, run, elapsedMs(timer));
            if (text.isEmpty())
                fail(QStringLiteral("empty report"));
        }

        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();

        // Each import through the windows, on the table as the preparing
        // import left it, with the main window showing it.
        for (const auto &[key, tipoDati, shown] :
             {std::tuple{"windows1", qint16(1), members}, std::tuple{"windows2", qint16(2), validAfterFinal}}) {
            removeDatabase(Membri::fileName());
            if (!QFile::copy(baseFile, Membri::fileName()))
                fail(QStringLiteral("cannot restore the database"));
            auto form = std::make_unique<Form1>();
            form->show();
            watcher.waitForPaintAfter(watcher.paints());
            report(key, run, importThroughWindows(*form, watcher, listText(members, tipoDati), tipoDati));
            checkRows(*form, shown, key);
            form.reset();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }

        // The history window: from before it exists to its first frame,
        // with both tables and the chart filled.
        removeDatabase(Membri::fileName());
        if (!QFile::copy(historyFile, Membri::fileName()))
            fail(QStringLiteral("cannot copy the history"));
        watcher.watch(QStringLiteral("Form4"));
        {
            const int paintsBefore = watcher.paints();
            timer.start();
            std::unique_ptr<Form4> history;
            try {
                history = std::make_unique<Form4>();
            } catch (const UserError &error) {
                fail(error.message());
            }
            history->show();
            watcher.waitForPaintAfter(paintsBefore);
            report("history", run, watcher.msToFrame(timer));
            auto *table = history->findChild<QAbstractItemView *>(QStringLiteral("TblRilevazioni"));
            if (!table || table->model()->rowCount() != snapshots)
                fail(QStringLiteral("the history window does not show every snapshot"));
        }
        watcher.watch(QStringLiteral("Form1"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        // The window was opened here without the main window, which gives
        // the heap's empty pages back when it closes.
        releaseFreedMemory();

        // A comparison of the history's oldest and newest snapshots through
        // the windows: from the press of "Sì" to the main window painted
        // with its grid rebuilt.
        {
            auto form = std::make_unique<Form1>();
            form->show();
            watcher.waitForPaintAfter(watcher.paints());
            QElapsedTimer compareTimer;
            CompareAnswerer answerer(compareTimer, watcher);
            watchdog.stop();
            qApp->installEventFilter(&answerer);
            bool pressed = false;
            QTimer::singleShot(0, form.get(), [&pressed] {
                auto *history = qobject_cast<Form4 *>(QApplication::activeModalWidget());
                auto *table =
                    history ? history->findChild<QAbstractItemView *>(QStringLiteral("TblRilevazioni")) : nullptr;
                auto *button =
                    history ? history->findChild<QAbstractButton *>(QStringLiteral("BtnConfronta")) : nullptr;
                if (!table || !button)
                    fail(QStringLiteral("no history window with Co&nfronta"));
                table->selectionModel()->select(table->model()->index(table->model()->rowCount() - 1, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
                pressed = true;
                button->click();
            });
            optionButton(*form, "BtnStorico")->click();
            watcher.waitForPaintAfter(answerer.paintsAtPress());
            report("compare", run, watcher.msToFrame(compareTimer));
            qApp->removeEventFilter(&answerer);
            watchdog.start(100);
            if (!pressed)
                fail(QStringLiteral("the comparison was not started"));
            checkRows(*form, members, "compare");
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        std::fflush(stdout);
    }

    qApp->removeEventFilter(&watcher);
    std::printf("PEAK %lld\n", static_cast<long long>(peakMemoryBytes()));
    std::fflush(stdout);
    QDir::setCurrent(QDir::tempPath());
    return 0;
}
