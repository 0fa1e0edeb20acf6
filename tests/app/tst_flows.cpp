// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/Form1.h"
#include "export/window/Form3.h"
#include "import/window/Form2.h"
#include "ranking/Module1.h"
#include "store/Membri.h"
#include "support/Seed.h"
#include "support/WindowTestScene.h"
#include "ui/TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

QByteArray exampleFile(const char *name)
{
    QFile file(QStringLiteral(QUADRIVO_EXAMPLES_DIR "/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the steps inside the modal window that the click opens, then waits
// until the click has returned.
template <typename Window> bool withModal(QAbstractButton *opener, const std::function<void(Window *)> &steps)
{
    bool ran = false;
    QTimer::singleShot(0, opener, [&] {
        auto *window = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (window) {
            steps(window);
            ran = true;
        }
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    QTest::mouseClick(opener, Qt::LeftButton);
    return ran;
}

// The members in a copy of the database file alone, without its log: what
// a user who copies the file takes along; -1 when it cannot be read.
int membersInTheFileAlone()
{
    const QString copy = QStringLiteral("copia.mdb");
    QFile::remove(copy);
    if (!QFile::copy(Membri::fileName(), copy))
        return -1;
    const QVariant members = queryValue(QStringLiteral("SELECT COUNT(*) FROM Membri"), copy);
    QFile::remove(copy);
    return members.isValid() ? members.toInt() : -1;
}

QStringList column(const Form1 &form, int col)
{
    QStringList texts;
    for (int r = 1; r < form.grid().Rows(); ++r)
        texts << form.grid().TextMatrix(r, col).toString();
    return texts;
}

} // namespace

class TestFlows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testCancelStillReloadsTheGrid();
    void testPasteAndImportFromTheMainWindow();
    void testExampleFilesImportInitialThenFinal();
    void testExportAfterClearingHasNothingToExport();

private:
    std::unique_ptr<WindowTestScene> m_scene;
};

void TestFlows::init()
{
    m_scene = std::make_unique<WindowTestScene>();
    QVERIFY(m_scene->dir.isValid());
}

void TestFlows::cleanup()
{
    const QStringList left = m_scene->boxesLeft();
    m_scene.reset();
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
}

void TestFlows::testCancelStillReloadsTheGrid()
{
    Form1 form;
    QCOMPARE(form.grid().Rows(), 1);
    // The table changes while the entry window is open; cancelling reloads.
    const bool ran = withModal<Form2>(form.findChild<QPushButton *>("BtnDati2"), [](Form2 *entry) {
        QCOMPARE(Module1::TipoDati, qint16(2));
        QVERIFY(seedMembers({{1, "Nuovo", "[1]", "Capo", 10, {}, {}, {}}}));
        QTest::mouseClick(entry->findChild<QPushButton *>("BtnAnnulla"), Qt::LeftButton);
    });
    QVERIFY(ran);
    QCOMPARE(column(form, 2), QStringList{"Nuovo"});
}

void TestFlows::testPasteAndImportFromTheMainWindow()
{
    QVERIFY(m_scene->dir.write("Gradi.txt", "Capo\r\nVice Comandante\r\n"));
    Form1 form;
    const bool ran = withModal<Form2>(form.findChild<QPushButton *>("BtnDati1"), [](Form2 *entry) {
        QCOMPARE(Module1::TipoDati, qint16(1));
        QGuiApplication::clipboard()->setText("1 Lupo Grigio  Vice Comandante 45.210 [3:127:9] 12.05.2009\n"
                                              "2 Orso  Capo 1.000 [1:1:1] 12.05.2009\n");
        entry->Text1()->setFocus();
        entry->Text1()->paste();
        QTest::mouseClick(entry->findChild<QPushButton *>("BtnOk"), Qt::LeftButton);
        QVERIFY(!entry->isVisible());
    });
    QVERIFY(ran);
    QCOMPARE(column(form, 2), (QStringList{"Lupo Grigio", "Orso"}));
    QCOMPARE(column(form, 5), (QStringList{"45.210", "1.000"}));
    QCOMPARE(column(form, 6), (QStringList{"", ""}));
    // The import left its log beside the file; once the grid is shown, the
    // file alone holds both members again.
    QTRY_COMPARE(membersInTheFileAlone(), 2);
}

void TestFlows::testExampleFilesImportInitialThenFinal()
{
    const QByteArray ranks = exampleFile("Gradi.txt");
    QVERIFY(!ranks.isEmpty());
    QVERIFY(m_scene->dir.write("Gradi.txt", ranks));
    QVERIFY(m_scene->dir.write("Esempio1.txt", exampleFile("Esempio1.txt")));
    QVERIFY(m_scene->dir.write("Esempio2.txt", exampleFile("Esempio2.txt")));

    Form1 form;
    for (const char *button : {"BtnDati1", "BtnDati2"}) {
        const bool ran = withModal<Form2>(form.findChild<QPushButton *>(button), [](Form2 *entry) {
            QTest::mouseClick(entry->findChild<QPushButton *>("BtnLeggi"), Qt::LeftButton);
            QVERIFY(!entry->Text1()->Text().isEmpty());
            QTest::mouseClick(entry->findChild<QPushButton *>("BtnOk"), Qt::LeftButton);
            QVERIFY(!entry->isVisible());
        });
        QVERIFY(ran);
    }
    // 25 members at the start; one left, one moved home planet, two joined.
    QCOMPARE(form.grid().Rows() - 1, 25 + 1 + 2);
    const QStringList ranksShown = column(form, 4);
    for (const QString &rank : ranksShown)
        QVERIFY2(ranks.contains(rank.toUtf8()), qPrintable(rank));
    // Members in both lists come first, each with a signed change.
    QVERIFY(column(form, 7).first().endsWith(QStringLiteral(" %")));
    const int newcomers = int(column(form, 5).count(QString()));
    QCOMPARE(newcomers, 3);

    // The report: one line per member with a final score.
    const bool exported = withModal<Form3>(form.findChild<QPushButton *>("BtnEsporta"), [](Form3 *report) {
        const QString text = report->Text1()->Text();
        // 24 members stayed (one moved planet: only the new record has a
        // final score) and two joined.
        QCOMPARE(text.count(QStringLiteral("\r\n")), 24 + 2);
        QCOMPARE(text.count(QStringLiteral("(nuovo entrato)")), 3);
        QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    });
    QVERIFY(exported);
}

void TestFlows::testExportAfterClearingHasNothingToExport()
{
    QVERIFY(seedMembers({{1, "A", "[1]", "Capo", 10, 20, 100.0, 10}}));
    Form1 form;
    QCOMPARE(form.grid().Rows(), 2);
    QTest::mouseClick(form.findChild<QPushButton *>("BtnPulisci"), Qt::LeftButton);
    QCOMPARE(form.grid().Rows(), 1);
    QTest::mouseClick(form.findChild<QPushButton *>("BtnEsporta"), Qt::LeftButton);
    const auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Nessuna statistica da esportare"));
    QCOMPARE(boxes[0].title, QStringLiteral("Avviso"));
    QCOMPARE(boxes[0].icon, QMessageBox::Information);
    QVERIFY(QApplication::topLevelWidgets().count() >= 1);
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<Form3 *>(w));
}

QTEST_MAIN(TestFlows)
#include "tst_flows.moc"
