// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ExportFixtures.h"
#include "core/Failure.h"
#include "export/Post.h"
#include "export/PostBBCode.h"
#include "export/PostMarkdown.h"
#include "export/window/Export.h"
#include "export/window/Form3.h"
#include "ranking/Periodo.h"
#include "support/MessageBoxCatcher.h"
#include "support/TempWorkDir.h"
#include "ui/TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// Watches for export windows: counts each one as it is shown, runs the
// test's steps in it once its modal loop runs, and closes any window the
// steps left open, so that a faulty export fails the test instead of
// blocking it.
class Form3Watcher : public QObject
{
public:
    Form3Watcher() { qApp->installEventFilter(this); }
    ~Form3Watcher() override { qApp->removeEventFilter(this); }

    std::function<void(Form3 *)> steps;
    int shown = 0;
    int leftOpen = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *form = qobject_cast<Form3 *>(watched)) {
                ++shown;
                QPointer<Form3> guard(form);
                QTimer::singleShot(0, form, [this, guard] {
                    if (guard && steps)
                        steps(guard);
                    if (guard && guard->isVisible()) {
                        ++leftOpen;
                        guard->done(QDialog::Rejected);
                    }
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// What the steps saw inside one export window.
struct Seen
{
    QString text;
    bool activeModal = false;
    QWidget *parent = nullptr;
    QString clipboard;
    QPointer<Form3> form;
};

// Steps that read the report, copy it, and close the window with "&Chiudi".
std::function<void(Form3 *)> copyAndClose(Seen &seen)
{
    return [&seen](Form3 *form) {
        seen.form = form;
        seen.text = form->Text1()->Text();
        seen.activeModal = QApplication::activeModalWidget() == form;
        seen.parent = form->parentWidget();
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("BtnCopia")), Qt::LeftButton);
        seen.clipboard = QGuiApplication::clipboard()->text();
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("BtnChiudi")), Qt::LeftButton);
    };
}

// The rows of a CSV file read back: fields split at the separator outside
// quotes, a doubled quote inside them read as one.
QList<QStringList> leggiCsv(const QString &text, QChar separator)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            row << std::exchange(field, QString());
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << std::exchange(field, QString());
            rows << std::exchange(row, QStringList());
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

int form3Windows()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += qobject_cast<Form3 *>(w) ? 1 : 0;
    return count;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testNothingToExport_data();
    void testNothingToExport();
    void testExport_data();
    void testExport();
    void testSecondExportHoldsOnlyTheNewReport();
    void testFormats_data();
    void testFormats();
    void testSaveCsv();

private:
    std::unique_ptr<MessageBoxCatcher> m_boxes;
    std::unique_ptr<Form3Watcher> m_watcher;
};

void TestExport::init()
{
    m_boxes = std::make_unique<MessageBoxCatcher>();
    m_watcher = std::make_unique<Form3Watcher>();
    QGuiApplication::clipboard()->clear();
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

void TestExport::cleanup()
{
    const auto boxes = m_boxes->take();
    m_boxes.reset();
    m_watcher.reset();
    QVERIFY2(boxes.isEmpty(), qPrintable(QStringLiteral("unexpected box: ") + boxes.value(0).text));
}

void TestExport::testNothingToExport_data()
{
    QTest::addColumn<bool>("byPercentage");

    QTest::newRow("by percentage") << true;
    QTest::newRow("by points gained") << false;
}

void TestExport::testNothingToExport()
{
    QFETCH(bool, byPercentage);

    QWidget owner;
    const GridTexts headerOnly = gridOf({});
    QCOMPARE(headerOnly.Rows(), 1);

    QVERIFY(!exportReport(&owner, headerOnly, byPercentage));

    const auto boxes = m_boxes->take();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Nessuna statistica da esportare"));
    QCOMPARE(boxes[0].title, QStringLiteral("Avviso"));
    QCOMPARE(boxes[0].icon, QMessageBox::Information);
    QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_watcher->shown, 0);
    QCOMPARE(form3Windows(), 0);
    QVERIFY(owner.findChildren<Form3 *>().isEmpty());
}

void TestExport::testExport_data()
{
    QTest::addColumn<QList<MemberRow>>("rows");
    QTest::addColumn<bool>("byPercentage");
    QTest::addColumn<QString>("expected");

    QTest::newRow("by percentage") << workedExampleRows() << true << workedExampleByPercentage();
    QTest::newRow("by points gained") << workedExampleRows() << false << workedExampleByPoints();
    // Members without final data are no error: the window opens empty.
    QTest::newRow("no member with a final score") << QList<MemberRow>{workedExampleRows().at(3)} << true << QString();
}

void TestExport::testExport()
{
    QFETCH(QList<MemberRow>, rows);
    QFETCH(bool, byPercentage);
    QFETCH(QString, expected);

    QWidget owner;
    QGuiApplication::clipboard()->setText(QStringLiteral("contenuto precedente"));
    Seen seen;
    m_watcher->steps = copyAndClose(seen);

    QVERIFY(exportReport(&owner, gridOf(rows), byPercentage));

    QCOMPARE(m_watcher->shown, 1);
    QCOMPARE(m_watcher->leftOpen, 0);
    QCOMPARE(seen.text, expected);
    QVERIFY(seen.activeModal);
    QCOMPARE(seen.parent, &owner);
    QCOMPARE(seen.clipboard, expected);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    // The window is gone once the export returns.
    QVERIFY(seen.form.isNull());
    QCOMPARE(form3Windows(), 0);
}

void TestExport::testSecondExportHoldsOnlyTheNewReport()
{
    QWidget owner;
    Seen first;
    m_watcher->steps = copyAndClose(first);
    QVERIFY(exportReport(&owner, gridOf(workedExampleRows()), true));
    QCOMPARE(first.text, workedExampleByPercentage());

    // The same grid sorted the other way, as after switching the option.
    QList<MemberRow> resorted = workedExampleRows();
    resorted.swapItemsAt(0, 1);
    resorted[0].pos = QStringLiteral("1");
    resorted[1].pos = QStringLiteral("2");
    Seen second;
    m_watcher->steps = copyAndClose(second);
    QVERIFY(exportReport(&owner, gridOf(resorted), false));

    const QString expected = QStringLiteral("1 - Cometa  |  da 8.000 a 7.600  (-400)\r\n"
                                            "2 - Aldebaran  |  da 10.000 a 12.500  (+2.500)\r\n"
                                            "3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
    QCOMPARE(m_watcher->shown, 2);
    QCOMPARE(m_watcher->leftOpen, 0);
    QCOMPARE(second.text, expected);
    QCOMPARE(second.clipboard, expected);
}

void TestExport::testFormats_data()
{
    QTest::addColumn<bool>("byPercentage");
    QTest::addColumn<bool>("readable");

    QTest::newRow("by percentage") << true << true;
    QTest::newRow("by points gained") << false << true;
    QTest::newRow("history unreadable") << true << false;
}

// Each format puts its text in the box, made from the grid and its order
// and from the history, which is read once; "Testo" gives back the
// report; the box is copied as it is.
void TestExport::testFormats()
{
    QFETCH(bool, byPercentage);
    QFETCH(bool, readable);

    const GridTexts grid = gridOf(workedExampleRows());
    Periodo periodo;
    periodo.dal = QStringLiteral("01/11/2026");
    periodo.al = QStringLiteral("08/11/2026");
    periodo.giorni = 7;
    periodo.fermi = {{QStringLiteral("Cometa"), 9}};
    int letture = 0;
    const LeggiPeriodo leggiPeriodo = [&] {
        ++letture;
        if (!readable)
            throw UserError(QStringLiteral("Impossibile leggere lo storico nel database «Quadrivo.mdb»."));
        return periodo;
    };
    const QLocale locale;
    const Post post = componiPost(grid, byPercentage, readable ? periodo : Periodo{}, locale);
    const QString report = byPercentage ? workedExampleByPercentage() : workedExampleByPoints();

    QStringList texts;
    QString copied;
    m_watcher->steps = [&](Form3 *form) {
        auto *combo = form->findChild<QComboBox *>(QStringLiteral("CmbFormato"));
        texts << form->Text1()->Text();
        for (int index : {1, 2, 1, 0}) {
            combo->setCurrentIndex(index);
            texts << form->Text1()->Text();
        }
        combo->setCurrentIndex(1);
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("BtnCopia")), Qt::LeftButton);
        copied = QGuiApplication::clipboard()->text();
        form->accept();
    };
    QVERIFY(exportReport(nullptr, grid, byPercentage, leggiPeriodo));

    QCOMPARE(texts, (QStringList{report, scriviBBCode(post), scriviMarkdown(post), scriviBBCode(post), report}));
    QCOMPARE(copied, scriviBBCode(post));
    QCOMPARE(letture, 1);
    QVERIFY(texts[1].startsWith(readable ? QStringLiteral("[b]Classifica dell'alleanza dal 01/11/2026 al "
                                                          "08/11/2026 (7 giorni)[/b]\r\n")
                                         : QStringLiteral("[b]Classifica dell'alleanza[/b]\r\n")));
    const auto boxes = m_boxes->take();
    QCOMPARE(boxes.size(), readable ? 0 : 1);
    if (!readable)
        QCOMPARE(boxes[0].text, QStringLiteral("Impossibile leggere lo storico nel database «Quadrivo.mdb».\n"
                                               "Il testo è senza le date del periodo e senza i membri fermi."));
}

// "Salva CS&V..." proposes Quadrivo.csv in the current folder and writes
// the grid there; a write that fails leaves the file written before whole
// and nothing else in the folder, and says so.
void TestExport::testSaveCsv()
{
    TempWorkDir dir;
    QVERIFY(dir.isValid());
    QList<MemberRow> rows = workedExampleRows();
    rows[1].nick = QStringLiteral("Cometa \"la; Rossa\"");
    const QString path = dir.filePath(QStringLiteral("Quadrivo.csv"));
    QString proposed;
    QByteArray first;
    QByteArray kept;
    QStringList names;
    m_watcher->steps = [&](Form3 *form) {
        form->chiediNomeCsv = [&](QWidget *, const QString &suggested) {
            proposed = suggested;
            return path;
        };
        auto *salva = form->findChild<QPushButton *>(QStringLiteral("BtnCsv"));
        QTest::mouseClick(salva, Qt::LeftButton);
        first = dir.read(QStringLiteral("Quadrivo.csv"));
#ifdef Q_OS_UNIX
        // The system refuses to write past half of it: the next write fails.
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit half = before;
        half.rlim_cur = static_cast<rlim_t>(first.size() / 2);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &half);
        QTest::mouseClick(salva, Qt::LeftButton);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, handler);
        kept = dir.read(QStringLiteral("Quadrivo.csv"));
        names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
#endif
        form->accept();
    };
    QVERIFY(exportReport(nullptr, gridOf(rows), true));

    QCOMPARE(proposed, QDir::current().absoluteFilePath(QStringLiteral("Quadrivo.csv")));
    QVERIFY(first.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(leggiCsv(QString::fromUtf8(first.mid(3)), u';'),
             (QList<QStringList>{{"Pos.", "Nick", "Madre", "Grado", "Punti I.", "Punti F.", "var. %", "incr.p."},
                                 {"1", "Aldebaran", "1:23", "Capitano", "10000", "12500", "25", "2500"},
                                 {"2", "Cometa \"la; Rossa\"", "2:45", "Recluta", "8000", "7600", "-5", "-400"},
                                 {"3", "Birba", "3:12", "Recluta", "", "3100", "", ""},
                                 {"4", "Dorado", "4:56", "Tenente", "5000", "", "", ""}}));
#ifdef Q_OS_UNIX
    QCOMPARE(kept, first);
    QCOMPARE(names, QStringList{QStringLiteral("Quadrivo.csv")});
    const auto boxes = m_boxes->take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.startsWith(QStringLiteral("Impossibile scrivere il file «%1»: ").arg(path))
                 && boxes[0].text.endsWith(QStringLiteral("Il file precedente è rimasto com'era.")),
             qPrintable(boxes[0].text));
#endif
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
