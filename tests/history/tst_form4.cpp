// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// The history window, and the main window's button that opens it.
#include "app/Form1.h"
#include "export/window/Form3.h"
#include "history/window/Form4.h"
#include "import/Confronto.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/Storico.h"
#include "support/Seed.h"
#include "support/WindowTestScene.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QtCharts/QChartView>

#include <memory>

namespace {

// Four snapshots, two periods: [1] grows, [2] shrinks, [3] leaves after the
// first period.
void seedHistory()
{
    Membri::createIfMissing(Membri::fileName());
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    const QDateTime start(QDate(2026, 11, 1), QTime(10, 0));
    const std::vector<std::vector<Storico::RigaRilevazione>> lists = {
        {{"Lupo", "[1]", "Capo", 1000}, {"Orso", "[2]", "Capo", 90000}, {"Volpe", "[3]", "Capo", 500}},
        {{"Lupo", "[1]", "Capo", 1500}, {"Orso", "[2]", "Capo", 89000}, {"Volpe", "[3]", "Capo", 600}},
        {{"Lupo", "[1]", "Capo", 1500}, {"Orso", "[2]", "Capo", 89000}},
        {{"Lupo", "[1]", "Capo", 2500}, {"Orso", "[2]", "Capo", 88000}},
    };
    for (int i = 0; i < 4; ++i)
        Storico::scriviRilevazione(data.database(), data.DatabaseName(), start.addDays(7 * i), i % 2 + 1,
                                   lists[static_cast<std::size_t>(i)]);
}

QString chartTitle(const Form4 &form)
{
    return form.findChild<QChartView *>("Grafico")->chart()->title();
}

QStringList column(const QTableView *table, int col)
{
    QStringList texts;
    for (int r = 0; r < table->model()->rowCount(); ++r)
        texts << table->model()->index(r, col).data().toString();
    return texts;
}

} // namespace

class TestForm4 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testShowsTheHistory();
    void testCopyAndSaveTheChart();
    void testDeleteAsksFirst();
    void testEmptyHistory();
    void testUnreadableHistoryIsReported();
    void testMainWindowButton();
    void testCompareTwoSnapshots();
    void testFailedCompareShowsTheFileAgain();
    void testExportCsv();
    void testPostTellsThePeriod();

private:
    std::unique_ptr<WindowTestScene> m_scene;
};

void TestForm4::init()
{
    m_scene = std::make_unique<WindowTestScene>();
    QVERIFY(m_scene->dir.isValid());
}

void TestForm4::cleanup()
{
    const QStringList left = m_scene->boxesLeft();
    m_scene.reset();
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
}

void TestForm4::testShowsTheHistory()
{
    seedHistory();
    Form4 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QStringLiteral("Storico Quadrivo"));
    QVERIFY(!form.windowIcon().isNull());
    QVERIFY(form.isModal());

    auto *snapshots = form.findChild<QTableView *>("TblRilevazioni");
    auto *members = form.findChild<QTableView *>("TblMembri");
    QCOMPARE(column(snapshots, 1), (QStringList{"Finale", "Iniziale", "Finale", "Iniziale"}));
    QCOMPARE(column(snapshots, 3), (QStringList{"90.500", "90.500", "91.100", "91.500"}));
    QCOMPARE(snapshots->selectionModel()->selectedRows().value(0).row(), 0);
    QCOMPARE(column(members, 1), (QStringList{"[1]", "[3]", "[2]"}));
    QCOMPARE(column(members, 5), (QStringList{"+1.500", "+100", "-2.000"}));

    QCOMPARE(chartTitle(form), QStringLiteral("Punti totali dell'alleanza"));
    members->selectRow(2);
    QCOMPARE(chartTitle(form), QStringLiteral("Punti di Orso"));
    members->clearSelection();
    QCOMPARE(chartTitle(form), QStringLiteral("Punti totali dell'alleanza"));

    // A click on a header sorts by numbers: 500 before 1.000 before 90.000.
    members->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    QTest::mouseClick(members->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(members->horizontalHeader()->sectionViewportPosition(3) + 5, 5));
    const QStringList first = column(members, 3);
    QVERIFY2(first == (QStringList{"500", "1.000", "90.000"}) || first == (QStringList{"90.000", "1.000", "500"}),
             qPrintable(first.join(u' ')));

    // Resizable, and comfortable on a screen of 1024 x 768.
    QVERIFY(form.minimumWidth() < form.maximumWidth());
    QVERIFY(form.frameGeometry().width() <= 1024 && form.frameGeometry().height() <= 768);
}

void TestForm4::testCopyAndSaveTheChart()
{
    seedHistory();
    Form4 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(form.findChild<QPushButton *>("BtnCopia"), Qt::LeftButton);
    const QImage copied = QGuiApplication::clipboard()->image();
    QVERIFY(!copied.isNull());
    // Drawn: the title, the axes and the line need more than one colour.
    QSet<QRgb> colours;
    for (int y = 0; y < copied.height() && colours.size() < 3; y += 3)
        for (int x = 0; x < copied.width() && colours.size() < 3; x += 3)
            colours.insert(copied.pixel(x, y));
    QCOMPARE(colours.size(), 3);

    QString proposed;
    QString answer = m_scene->dir.filePath("grafico.png");
    form.chiediNomeImmagine = [&](QWidget *, const QString &path) {
        proposed = path;
        return answer;
    };
    QTest::mouseClick(form.findChild<QPushButton *>("BtnSalva"), Qt::LeftButton);
    QCOMPARE(proposed, QDir::current().absoluteFilePath("Quadrivo-storico.png"));
    QImage saved(answer, "PNG");
    QCOMPARE(saved.size(), copied.size());

    answer = m_scene->dir.filePath("manca/grafico.png");
    QTest::mouseClick(form.findChild<QPushButton *>("BtnSalva"), Qt::LeftButton);
    const auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.startsWith("Impossibile salvare l'immagine") && boxes[0].text.contains("manca"),
             qPrintable(boxes[0].text));
    QVERIFY(!QFile::exists(answer));
}

void TestForm4::testDeleteAsksFirst()
{
    seedHistory();
    Form4 form;
    auto *snapshots = form.findChild<QTableView *>("TblRilevazioni");
    const QString newest = snapshots->model()->index(0, 0).data().toString();
    const QStringList before = column(snapshots, 0);

    m_scene->boxes.answerNext(QMessageBox::No);
    QTest::mouseClick(form.findChild<QPushButton *>("BtnElimina"), Qt::LeftButton);
    auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Eliminare la rilevazione del %1?").arg(newest));
    QCOMPARE(boxes[0].buttonTexts, (QStringList{"&Sì", "&No"}));
    QCOMPARE(boxes[0].defaultButton, QMessageBox::No);
    QCOMPARE(column(snapshots, 0), before);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi").toInt(), 10);

    m_scene->boxes.answerNext(QMessageBox::Yes);
    QTest::mouseClick(form.findChild<QPushButton *>("BtnElimina"), Qt::LeftButton);
    QCOMPARE(m_scene->boxes.take().size(), 1);
    QCOMPARE(column(snapshots, 0), before.mid(1));
    QCOMPARE(snapshots->selectionModel()->selectedRows().value(0).row(), 0);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Rilevazioni").toInt(), 3);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi").toInt(), 8);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Punteggi WHERE Rilevazione NOT IN (SELECT Id FROM Rilevazioni)").toInt(),
             0);
}

void TestForm4::testEmptyHistory()
{
    Membri::createIfMissing(Membri::fileName());
    Form4 form;
    QCOMPARE(form.findChild<QTableView *>("TblRilevazioni")->model()->rowCount(), 0);
    QCOMPARE(form.findChild<QTableView *>("TblMembri")->model()->rowCount(), 0);
    for (const char *name : {"BtnCopia", "BtnSalva", "BtnElimina"})
        QVERIFY2(!form.findChild<QPushButton *>(name)->isEnabled(), name);
    QVERIFY(form.findChild<QPushButton *>("BtnChiudi")->isEnabled());
}

void TestForm4::testUnreadableHistoryIsReported()
{
    QVERIFY(seedMembers({{1, "A", "[1]", "Capo", 100, {}, {}, {}}}));
    QVERIFY(execSql("DROP TABLE Punteggi"));
    Form1 form;
    QTimer::singleShot(0, &form, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    QTest::mouseClick(form.findChild<QPushButton *>("BtnStorico"), Qt::LeftButton);
    const auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.contains("storico") && boxes[0].text.contains(Membri::fileName()),
             qPrintable(boxes[0].text));
}

void TestForm4::testMainWindowButton()
{
    QVERIFY(seedMembers({{1, "A", "[1]", "Capo", 100, {}, {}, {}}}));
    Form1 form;
    auto *button = form.findChild<QPushButton *>("BtnStorico");
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("S&torico"));
    QCOMPARE(button->shortcut(), QKeySequence("Alt+T"));
    QVERIFY(button->font().bold());
    const qreal x = form.logicalDpiX(), y = form.logicalDpiY();
    QCOMPARE(button->geometry(),
             QRect(twipsToPixels(8760, x), twipsToPixels(7920, y), twipsToPixels(855, x), twipsToPixels(435, y)));
    QWidget *next = form.findChild<QWidget *>("OptOrd1")->nextInFocusChain();
    while (next && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    QCOMPARE(next, button);

    // It opens the history modally; the grid is not rebuilt afterwards.
    QVERIFY(execSql("INSERT INTO Membri (Valid,Nick,Madre,Grado,Punti1) VALUES (1,'B','[2]','Capo',5)"));
    bool opened = false;
    QTimer::singleShot(0, &form, [&] {
        auto *history = qobject_cast<Form4 *>(QApplication::activeModalWidget());
        opened = history && history->isModal();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(opened);
    QCOMPARE(form.grid().Rows(), 2);
}

// Two snapshots chosen together replace the statistics, after a question
// whose default is No; the window closes and the grid is rebuilt.
void TestForm4::testCompareTwoSnapshots()
{
    seedHistory();
    Form1 form;
    QCOMPARE(form.grid().Rows(), 1);
    bool checked = false;
    QTimer::singleShot(0, &form, [&] {
        auto *history = qobject_cast<Form4 *>(QApplication::activeModalWidget());
        QVERIFY(history);
        const auto closeOnFailure = qScopeGuard([history] { history->close(); });
        auto *snapshots = history->findChild<QTableView *>("TblRilevazioni");
        auto *elimina = history->findChild<QPushButton *>("BtnElimina");
        auto *confronta = history->findChild<QPushButton *>("BtnConfronta");
        QVERIFY(confronta);
        QCOMPARE(confronta->text(), QStringLiteral("Co&nfronta"));
        QCOMPARE(confronta->size(), elimina->size());
        QCOMPARE(elimina->nextInFocusChain(), confronta);
        QVERIFY(elimina->isEnabled() && !confronta->isEnabled());
        // The newest is selected; the oldest is added to it.
        snapshots->selectionModel()->select(snapshots->model()->index(3, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(!elimina->isEnabled() && confronta->isEnabled());
        const QString oldest = snapshots->model()->index(3, 0).data().toString();
        const QString newest = snapshots->model()->index(0, 0).data().toString();

        m_scene->boxes.answerNext(QMessageBox::No);
        QTest::mouseClick(confronta, Qt::LeftButton);
        auto boxes = m_scene->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("Sostituire le statistiche attuali con il confronto fra la "
                                               "rilevazione del %1 e quella del %2?")
                                    .arg(oldest, newest));
        QCOMPARE(boxes[0].defaultButton, QMessageBox::No);
        QVERIFY(history->isVisible());
        QCOMPARE(queryValue("SELECT COUNT(*) FROM Membri").toInt(), 0);

        m_scene->boxes.answerNext(QMessageBox::Yes);
        QTest::mouseClick(confronta, Qt::LeftButton);
        QCOMPARE(m_scene->boxes.take().size(), 1);
        QVERIFY(!history->isVisible());
        checked = true;
    });
    QTest::mouseClick(form.findChild<QPushButton *>("BtnStorico"), Qt::LeftButton);
    QVERIFY(checked);
    // Lupo and Orso from the first list to the last; Volpe left.
    QCOMPARE(form.grid().Rows(), 4);
    QCOMPARE(queryValue("SELECT SUM(Diff) FROM Membri WHERE Valid=1").toInt(), 1500 - 2000);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Rilevazioni").toInt(), 4);
}

// A snapshot deleted behind the window's back stops the comparison: the
// window stays, shows the history as the file holds it now, the member
// still selected, and is drawn again.
void TestForm4::testFailedCompareShowsTheFileAgain()
{
    seedHistory();
    Form4 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *snapshots = form.findChild<QTableView *>("TblRilevazioni");
    auto *members = form.findChild<QTableView *>("TblMembri");
    members->selectRow(2);
    snapshots->selectionModel()->select(snapshots->model()->index(3, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(execSql("DELETE FROM Rilevazioni WHERE Id=1"));

    m_scene->boxes.answerNext(QMessageBox::Yes);
    QTest::mouseClick(form.findChild<QPushButton *>("BtnConfronta"), Qt::LeftButton);
    const auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 2);
    QVERIFY2(boxes[1].text.contains("la rilevazione non esiste più"), qPrintable(boxes[1].text));
    QVERIFY(form.isVisible() && !form.confrontoFatto() && form.updatesEnabled());
    QCOMPARE(snapshots->model()->rowCount(), 3);
    const QModelIndexList selected = members->selectionModel()->selectedRows(1);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected[0].data().toString(), QStringLiteral("[2]"));
    QCOMPARE(chartTitle(form), QStringLiteral("Punti di Orso"));
}

// "Esporta CS&V..." after "Co&nfronta", in the row and in the tab order;
// the whole history into the file chosen, a column per snapshot.
void TestForm4::testExportCsv()
{
    seedHistory();
    Form4 form;
    auto *csv = form.findChild<QPushButton *>("BtnCsv");
    auto *confronta = form.findChild<QPushButton *>("BtnConfronta");
    auto *chiudi = form.findChild<QPushButton *>("BtnChiudi");
    QVERIFY(csv);
    QCOMPARE(csv->text(), QStringLiteral("Esporta CS&V..."));
    QCOMPARE(csv->shortcut(), QKeySequence("Alt+V"));
    QVERIFY(csv->font().bold());
    QCOMPARE(confronta->nextInFocusChain(), csv);
    QCOMPARE(csv->nextInFocusChain(), chiudi);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(confronta->x() < csv->x() && csv->x() < chiudi->x() && csv->y() == confronta->y());

    QString proposed;
    const QString path = m_scene->dir.filePath("storico.csv");
    form.chiediNomeCsv = [&](QWidget *, const QString &suggested) {
        proposed = suggested;
        return path;
    };
    QTest::mouseClick(csv, Qt::LeftButton);
    QCOMPARE(proposed, QDir::current().absoluteFilePath("Storico.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBFNick;Madre;Grado;01/11/2026 10:00 Iniziale;08/11/2026 10:00 "
                                        "Finale;15/11/2026 10:00 Iniziale;22/11/2026 10:00 Finale;Giorni fermo\r\n"
                                        "Lupo;[1];Capo;1000;1500;1500;2500;0\r\n"
                                        "Volpe;[3];Capo;500;600;;;0\r\n"
                                        "Orso;[2];Capo;90000;89000;89000;88000;0\r\n"));
}

// After a comparison of the first snapshot with the last, the forum post of
// "E&sporta" names their dates, read from the history behind the grid.
void TestForm4::testPostTellsThePeriod()
{
    seedHistory();
    {
        DataControl data;
        data.setDatabaseName(Membri::fileName());
        confrontaRilevazioni(data, {1, "2026-11-01T10:00:00", 1}, {4, "2026-11-22T10:00:00", 2});
    }
    Form1 form;
    QString post;
    QTimer::singleShot(0, &form, [&] {
        auto *export_ = qobject_cast<Form3 *>(QApplication::activeModalWidget());
        QVERIFY(export_);
        const auto close = qScopeGuard([export_] { export_->close(); });
        export_->findChild<QComboBox *>("CmbFormato")->setCurrentIndex(Form3::BBCode);
        post = export_->Text1()->Text();
    });
    QTest::mouseClick(form.findChild<QPushButton *>("BtnEsporta"), Qt::LeftButton);
    QVERIFY2(post.startsWith("[b]Classifica dell'alleanza dal 01/11/2026 al 22/11/2026 (21 giorni)[/b]\r\n"),
             qPrintable(post));
    QVERIFY2(post.endsWith("[b]Usciti[/b]\r\nVolpe: 500\r\n"), qPrintable(post));
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
