// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/Form1.h"
#include "app/HeapSettings.h"
#include "ranking/Module1.h"
#include "store/Membri.h"
#include "support/Seed.h"
#include "support/WindowTestScene.h"
#include "ui/CenterForm.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTest>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

QRect twipsRect(const QWidget *w, int left, int top, int width, int height)
{
    const qreal x = w->logicalDpiX();
    const qreal y = w->logicalDpiY();
    return QRect(twipsToPixels(left, x), twipsToPixels(top, y), twipsToPixels(width, x), twipsToPixels(height, y));
}

QStringList nicks(const Form1 &form)
{
    QStringList list;
    for (int r = 1; r < form.grid().Rows(); ++r)
        list << form.grid().TextMatrix(r, ColNick).toString();
    return list;
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testWindowLayout();
    void testTabOrderAndAccessKeys();
    void testEmptyStartCreatesTheTable();
    void testForeignFileIsReportedAndKept();
    void testOrderOptionsResortAndRenumber();
    void testGridViewShowsTheTexts();
    void testClearingFreesEveryRecord();
    void testCentredEvenOffTheScreen();
    void testFreedMemoryGoesBackWithTheHeapWhole();

private:
    std::unique_ptr<WindowTestScene> m_scene;
};

void TestForm1::init()
{
    m_scene = std::make_unique<WindowTestScene>();
    QVERIFY(m_scene->dir.isValid());
}

void TestForm1::cleanup()
{
    // No test may leave a message box it did not expect.
    const QStringList left = m_scene->boxesLeft();
    m_scene.reset();
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
}

void TestForm1::testWindowLayout()
{
    Form1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Quadrivo punteggio alleanza ZORVA"));
    QCOMPARE(form.size(), twipsRect(&form, 0, 0, 10065, 8565).size());
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.windowIcon().availableSizes().value(0), QSize(32, 32));

    struct Control
    {
        const char *name;
        const char *caption;
        int left, top, width, height;
        bool bold;
    };
    const Control controls[] = {
        {"Fgrid", nullptr, 360, 180, 9255, 7095, false},
        {"BtnDati1", "Dati &Iniziali", 420, 7920, 1455, 435, true},
        {"BtnDati2", "Dati &Finali", 1980, 7920, 1455, 435, true},
        {"BtnPulisci", "&Pulisci", 4020, 7920, 1215, 435, true},
        {"BtnEsporta", "E&sporta", 5700, 7920, 1215, 435, true},
        {"BtnEsci", "&ESCI", 7440, 7920, 1215, 435, true},
        {"OptOrd0", "Ordina x %", 420, 7500, 1575, 195, true},
        {"OptOrd1", "Ordina x incr.punti", 1980, 7500, 2175, 195, true},
    };
    for (const Control &c : controls) {
        auto *w = form.findChild<QWidget *>(QString::fromLatin1(c.name));
        QVERIFY2(w, c.name);
        QCOMPARE(w->geometry(), twipsRect(&form, c.left, c.top, c.width, c.height));
        QCOMPARE(w->font().bold(), c.bold);
        QCOMPARE(w->font().pointSizeF(), 8.25);
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            QCOMPARE(b->text(), QString::fromUtf8(c.caption));
    }
    QVERIFY(form.findChild<QRadioButton *>("OptOrd0")->isChecked());
    QVERIFY(!form.findChild<QRadioButton *>("OptOrd1")->isChecked());
}

void TestForm1::testTabOrderAndAccessKeys()
{
    Form1 form;
    const QStringList order = {"Fgrid", "BtnDati1", "BtnDati2", "BtnPulisci", "BtnEsporta", "BtnEsci", "OptOrd0"};
    QWidget *w = form.findChild<QWidget *>("Fgrid");
    for (int i = 1; i < order.size(); ++i) {
        w = w->nextInFocusChain();
        while (w && !(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        QVERIFY(w);
        QCOMPARE(w->objectName(), order[i]);
    }
    QCOMPARE(form.findChild<QWidget *>("OptOrd0")->nextInFocusChain()->objectName(), QStringLiteral("OptOrd1"));

    const QList<QPair<QString, QKeySequence>> keys = {{"BtnDati1", QKeySequence("Alt+I")},
                                                      {"BtnDati2", QKeySequence("Alt+F")},
                                                      {"BtnPulisci", QKeySequence("Alt+P")},
                                                      {"BtnEsporta", QKeySequence("Alt+S")},
                                                      {"BtnEsci", QKeySequence("Alt+E")}};
    for (const auto &[name, key] : keys)
        QCOMPARE(form.findChild<QPushButton *>(name)->shortcut(), key);
}

void TestForm1::testEmptyStartCreatesTheTable()
{
    Form1 form;
    QVERIFY(QFile::exists(Membri::fileName()));
    QCOMPARE(form.grid().Rows(), 1);
    QCOMPARE(form.grid().TextMatrix(0, ColPos), QStringLiteral("Pos."));
    QCOMPARE(form.grid().TextMatrix(0, ColIncr), QStringLiteral("incr.p."));
    QVERIFY(readMembers().isEmpty());
}

void TestForm1::testForeignFileIsReportedAndKept()
{
    const QByteArray foreign("Standard Jet DB\0\0\0 old data", 27);
    QVERIFY(m_scene->dir.write(Membri::fileName(), foreign));
    {
        Form1 form;
        const auto boxes = m_scene->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(QStringLiteral("Quadrivo.mdb")), qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].title, QStringLiteral("Quadrivo ZORVA"));
        QCOMPARE(boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(form.grid().Rows(), 1);
        QCOMPARE(form.grid().TextMatrix(0, ColNick), QStringLiteral("Nick"));

        // Every later command that needs the table says so again.
        QTest::mouseClick(form.findChild<QRadioButton *>("OptOrd1"), Qt::LeftButton);
        QCOMPARE(m_scene->boxes.take().size(), 1);
        QTest::mouseClick(form.findChild<QPushButton *>("BtnPulisci"), Qt::LeftButton);
        QVERIFY(m_scene->boxes.take().size() >= 1);
    }
    QCOMPARE(m_scene->dir.read(Membri::fileName()), foreign);
}

void TestForm1::testOrderOptionsResortAndRenumber()
{
    QVERIFY(seedMembers({
        {1, "Percento", "[1]", "Capo", 100, 200, 100.0, 100},
        {1, "Punti", "[2]", "Capo", 100000, 110000, 10.0, 10000},
        {0, "Libero", "[3]", "Capo", 1, 1000, 99900.0, 999},
    }));
    Form1 form;
    QCOMPARE(nicks(form), (QStringList{"Percento", "Punti"}));

    auto *byPoints = form.findChild<QRadioButton *>("OptOrd1");
    QTest::mouseClick(byPoints, Qt::LeftButton);
    QVERIFY(byPoints->isChecked());
    QCOMPARE(nicks(form), (QStringList{"Punti", "Percento"}));
    QCOMPARE(form.grid().TextMatrix(1, ColPos), QStringLiteral("1"));
    QCOMPARE(form.grid().TextMatrix(2, ColPos), QStringLiteral("2"));
    QCOMPARE(form.grid().TextMatrix(1, ColIncr), QStringLiteral("+10.000"));

    // Choosing the selected option again leaves the grid as it is.
    QTest::mouseClick(byPoints, Qt::LeftButton);
    QCOMPARE(nicks(form), (QStringList{"Punti", "Percento"}));

    QTest::mouseClick(form.findChild<QRadioButton *>("OptOrd0"), Qt::LeftButton);
    QCOMPARE(nicks(form), (QStringList{"Percento", "Punti"}));
    QCOMPARE(form.grid().TextMatrix(1, ColVar), QStringLiteral("+100 %"));
}

void TestForm1::testGridViewShowsTheTexts()
{
    QVERIFY(seedMembers({{1, "Lupo Grigio", "[3:127:9]", "Vice Comandante", 1234567, 1300000, double(5.3f), 65433}}));
    Form1 form;
    auto *view = form.findChild<QTableView *>("Fgrid");
    QAbstractItemModel *model = view->model();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->columnCount(), 8);
    const QStringList cells = {"1",         "Lupo Grigio", "[3:127:9]", "Vice Comandante",
                               "1.234.567", "1.300.000",   "+5,3 %",    "+65.433"};
    for (int c = 0; c < 8; ++c) {
        QCOMPARE(model->index(0, c).data().toString(), cells[c]);
        QVERIFY(!(model->flags(model->index(0, c)) & Qt::ItemIsEditable));
    }
    QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Punti I."));
    const qreal dpi = view->logicalDpiX();
    QCOMPARE(view->columnWidth(1), twipsToPixels(1800, dpi));
    QCOMPARE(view->verticalHeader()->width(), twipsToPixels(300, dpi));
}

void TestForm1::testClearingFreesEveryRecord()
{
    const QList<Member> members = {
        {1, "A", "[1]", "Capo", 100, 200, 100.0, 100},
        {0, "B", "[2]", "Capo", 5, {}, {}, {}},
        {1, "C", "[3]", "Recluta", {}, 70, {}, {}},
    };
    QVERIFY(seedMembers(members));
    Form1 form;
    QCOMPARE(form.grid().Rows(), 3);
    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(form.findChild<QPushButton *>("BtnPulisci"), Qt::LeftButton);
        QCOMPARE(form.grid().Rows(), 1);
        const QList<QVariantList> rows = readMembers();
        QCOMPARE(rows.size(), members.size());
        for (int i = 0; i < rows.size(); ++i) {
            QVariantList expected = members[i].toList();
            expected[0] = 0;
            QCOMPARE(rows[i], expected);
        }
    }
}

void TestForm1::testCentredEvenOffTheScreen()
{
    Form1 form;
    const QRect screen = form.screen()->geometry();
    const QRect frame = form.frameGeometry();
    QVERIFY(qAbs((frame.left() - screen.left()) * 2 - (screen.width() - frame.width())) <= 1);
    QVERIFY(qAbs((frame.top() - screen.top()) * 2 - (screen.height() - frame.height())) <= 1);

    // A screen smaller than the window: centred all the same, edges off it.
    QCOMPARE(centeredPosition(QSize(671, 571), QRect(0, 0, 640, 480)), QPoint(-16, -46));
    QCOMPARE(centeredPosition(QSize(671, 571), QRect(1920, 0, 1280, 1024)), QPoint(1920 + 305, 227));
}

// What the window does after each command: the heap's free pages go back
// to the system, and every block still held keeps its bytes, and the heap
// serves and merges blocks as before. Blocks of many sizes, most of them
// freed, leave free runs of several pages between the ones kept.
void TestForm1::testFreedMemoryGoesBackWithTheHeapWhole()
{
    struct Block
    {
        unsigned char *data = nullptr;
        std::size_t size = 0;
    };
    std::vector<Block> blocks;
    quint32 seed = 20261211;
    const auto fill = [&](std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const std::size_t size = 1024 + seed % (40 * 1024);
            auto *data = static_cast<unsigned char *>(std::malloc(size));
            QVERIFY(data);
            std::memset(data, static_cast<int>(size % 251), size);
            blocks.push_back({data, size});
        }
    };
    const auto keepsItsBytes = [](const Block &b) {
        for (std::size_t i = 0; i < b.size; ++i)
            if (b.data[i] != static_cast<unsigned char>(b.size % 251))
                return false;
        return true;
    };
    const auto freeAll = [&](std::size_t keepOneIn) {
        std::vector<Block> kept;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (keepOneIn && i % keepOneIn == 0)
                kept.push_back(blocks[i]);
            else
                std::free(blocks[i].data);
        }
        blocks = std::move(kept);
    };

    fill(3000);
    freeAll(10);
    releaseFreedMemory();
    for (const Block &b : blocks)
        QVERIFY(keepsItsBytes(b));
    // Freed next to a run whose pages went, and the run served again.
    freeAll(2);
    fill(3000);
    releaseFreedMemory();
    for (const Block &b : blocks)
        QVERIFY(keepsItsBytes(b));
    freeAll(0);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
