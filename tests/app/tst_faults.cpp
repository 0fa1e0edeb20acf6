// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// Faults from outside the program: a killed import, a database held by
// another process, a damaged database file, a copy of the file that cannot
// be made.
#include "app/Form1.h"
#include "import/Importazione.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "support/Seed.h"
#include "support/WindowTestScene.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {

QString memberLine(int i)
{
    return QStringLiteral("%1 Membro %1  %2 %3 [%4:%5:1] 01.12.2026\r\n")
        .arg(i)
        .arg(i % 2 ? QStringLiteral("Vice Comandante") : QStringLiteral("Capo"))
        .arg(1000 + i)
        .arg(i / 500 + 1)
        .arg(i % 500 + 1);
}

bool startChild(QProcess &child, const QStringList &args)
{
    child.setProgram(QStringLiteral(QUADRIVO_CHILD));
    child.setArguments(args);
    child.start();
    return child.waitForStarted(10000);
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testKilledImportKeepsAPrefixOfTheLines();
    void testBusyDatabaseIsReportedAndLeftAlone();
    void testDamagedDatabaseIsReportedByEveryCommand_data();
    void testDamagedDatabaseIsReportedByEveryCommand();
    void testFullDiskHidesNothingSaved();
    void testCopyThatCannotBeMadeStopsNoChange_data();
    void testCopyThatCannotBeMadeStopsNoChange();

private:
    std::unique_ptr<WindowTestScene> m_scene;
};

void TestFaults::init()
{
    m_scene = std::make_unique<WindowTestScene>();
    QVERIFY(m_scene->dir.isValid());
}

void TestFaults::cleanup()
{
    const QStringList left = m_scene->boxesLeft();
    m_scene.reset();
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
}

void TestFaults::testKilledImportKeepsAPrefixOfTheLines()
{
    const int lines = 40000;
    QString text;
    for (int i = 1; i <= lines; ++i)
        text += memberLine(i);
    QVERIFY(m_scene->dir.write("Lista.txt", text.toUtf8()));
    QVERIFY(m_scene->dir.write("Gradi.txt", "Capo\r\nVice Comandante\r\n"));
    Membri::createIfMissing(Membri::fileName());

    QProcess child;
    QVERIFY(startChild(child, {"import", "Lista.txt", "1"}));
    // Kill it once a good part of the list is saved: a line asks for its
    // rank once or twice, after the lines before it are saved.
    QElapsedTimer waited;
    waited.start();
    int asked = 0;
    while (asked < 6000 && waited.elapsed() < 60000 && child.state() == QProcess::Running) {
        if (!child.canReadLine())
            child.waitForReadyRead(20);
        while (child.canReadLine())
            asked = child.readLine().trimmed().split(' ').last().toInt();
    }
    QCOMPARE(child.state(), QProcess::Running);
    child.kill();
    QVERIFY(child.waitForFinished(10000));

    QCOMPARE(queryValue("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    const QList<QVariantList> rows = readMembers();
    QVERIFY2(rows.size() >= 2000 && rows.size() < lines, qPrintable(QString::number(rows.size())));
    for (int i = 0; i < rows.size(); ++i) {
        const int n = i + 1;
        const QVariantList expected = {1,
                                       QStringLiteral("Membro %1").arg(n),
                                       QStringLiteral("[%1:%2:1]").arg(n / 500 + 1).arg(n % 500 + 1),
                                       n % 2 ? QStringLiteral("Vice Comandante") : QStringLiteral("Capo"),
                                       1000 + n,
                                       {},
                                       {},
                                       {}};
        if (rows[i] != expected)
            QFAIL(qPrintable(QStringLiteral("record %1 is not line %1").arg(n)));
    }

    // The program starts and shows them.
    Form1 form;
    QCOMPARE(form.grid().Rows() - 1, rows.size());
}

void TestFaults::testBusyDatabaseIsReportedAndLeftAlone()
{
    QVERIFY(seedMembers({{1, "A", "[1]", "Capo", 100, {}, {}, {}}, {1, "B", "[2]", "Capo", 200, {}, {}, {}}}));
    const QList<QVariantList> before = readMembers();

    QProcess holder;
    QVERIFY(startChild(holder, {"lock"}));
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));

    Form1 form;
    QCOMPARE(form.grid().Rows(), 3); // reading is not blocked
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::mouseClick(form.findChild<QPushButton *>("BtnPulisci"), Qt::LeftButton);
    const qint64 waited = elapsed.elapsed();
    auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.contains(QStringLiteral("occupato")), qPrintable(boxes[0].text));
    QVERIFY2(waited >= 1000 && waited < 20000, qPrintable(QString::number(waited)));
    QCOMPARE(readMembers(), before);
    QCOMPARE(form.grid().Rows(), 3);

    {
        DataControl data;
        data.setDatabaseName(Membri::fileName());
        try {
            importaPalmeria(
                data, QStringLiteral("1 C  Capo 5 [3] x\r\n"), 1, [](const QString &) { return true; }, QLocale());
            QFAIL("the import went on in a busy database");
        } catch (const ImportError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("occupato")), qPrintable(error.message()));
        }
    }
    QCOMPARE(readMembers(), before);

    // Once the other program lets go, the same command works.
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    QCOMPARE(holder.exitCode(), 0);
    QTest::mouseClick(form.findChild<QPushButton *>("BtnPulisci"), Qt::LeftButton);
    QCOMPARE(m_scene->boxes.take().size(), 0);
    QCOMPARE(form.grid().Rows(), 1);
    QCOMPARE(queryValue("SELECT SUM(Valid) FROM Membri").toInt(), 0);
}

// The message at start-up names the newest of the copies kept beside the
// file, when there is one, and no command makes a copy of a damaged file.
void TestFaults::testDamagedDatabaseIsReportedByEveryCommand_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("copies");
    const QStringList copies = {"Quadrivo-2025-12-30.mdb", "Quadrivo-2026-01-02.mdb", "Quadrivo-2026-13-01.mdb",
                                "Quadrivo-2027-01-01.txt", "appunti.txt"};

    QByteArray random(8192, '\0');
    quint32 seed = 12345;
    for (char &c : random) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 16);
    }
    QTest::newRow("random bytes") << random << QStringList();
    QTest::newRow("text") << QByteArray("Nick;Madre;Punti\r\nLupo;[1:2:3];100\r\n") << copies;

    {
        TempWorkDir other;
        seedMembers({{1, "A", "[1]", "Capo", 100, {}, {}, {}}});
        const QByteArray whole = other.read(Membri::fileName());
        QTest::newRow("truncated") << whole.left(whole.size() / 2) << copies;
        QByteArray scrambled = whole;
        for (int i = 100; i < 200 && i < scrambled.size(); ++i)
            scrambled[i] = char(0xA5);
        QTest::newRow("damaged header") << scrambled << copies;
    }
}

void TestFaults::testDamagedDatabaseIsReportedByEveryCommand()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, copies);
    QVERIFY(m_scene->dir.write(Membri::fileName(), content));
    QVERIFY(m_scene->dir.write("Gradi.txt", "Capo\r\n"));
    QVERIFY(QDir().mkdir("Copie"));
    for (const QString &copy : copies)
        QVERIFY(m_scene->dir.write("Copie/" + copy, "x"));
    {
        Form1 form;
        auto boxes = m_scene->boxes.take();
        QCOMPARE(boxes.size(), 1);
        const QString &text = boxes[0].text;
        QVERIFY2(text.contains(Membri::fileName()), qPrintable(text));
        const QString newest = QDir::toNativeSeparators("Copie/Quadrivo-2026-01-02.mdb");
        const QString day = QLocale().toString(QDate(2026, 1, 2), QLocale::LongFormat);
        QCOMPARE(text.contains(newest), !copies.isEmpty());
        QCOMPARE(text.contains(day), !copies.isEmpty());
        QVERIFY2(!text.contains("2025-12-30") && !text.contains("2026-13") && !text.contains("2027"), qPrintable(text));
        QCOMPARE(form.grid().Rows(), 1);

        QTest::mouseClick(form.findChild<QRadioButton *>("OptOrd1"), Qt::LeftButton);
        QCOMPARE(m_scene->boxes.take().size(), 1);
        QTest::mouseClick(form.findChild<QPushButton *>("BtnPulisci"), Qt::LeftButton);
        boxes = m_scene->boxes.take();
        QVERIFY(!boxes.isEmpty());
        QVERIFY2(boxes[0].text.contains(Membri::fileName()), qPrintable(boxes[0].text));

        DataControl data;
        data.setDatabaseName(Membri::fileName());
        for (qint16 tipo : {qint16(1), qint16(2)}) {
            try {
                importaPalmeria(
                    data, QStringLiteral("1 C  Capo 5 [3] x\r\n"), tipo, [](const QString &) { return true; },
                    QLocale());
                QFAIL("an import went on in a damaged database");
            } catch (const ImportError &error) {
                QVERIFY2(error.message().contains(Membri::fileName()), qPrintable(error.message()));
            }
        }
    }
    QCOMPARE(m_scene->dir.read(Membri::fileName()), content);
    QStringList kept = copies;
    kept.sort();
    QCOMPARE(QDir("Copie").entryList(QDir::Files, QDir::Name), kept);
}

// An import that fills the disk stops with its saved lines in the log; with
// the disk still full the main window and any other SQLite client read
// every one of them. A file that cannot be read for want of room says so.
void TestFaults::testFullDiskHidesNothingSaved()
{
    QVERIFY(QDir().mkdir(QStringLiteral("piccolo")));
    QProcess child;
    QVERIFY(startChild(child, {QStringLiteral("fulldisk"), QDir().absoluteFilePath(QStringLiteral("piccolo"))}));
    QVERIFY(child.waitForFinished(60000));
    if (child.exitCode() == 77)
        QSKIP("no file system of its own can be mounted here");
    QCOMPARE(child.exitCode(), 0);
    const QStringList out = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n');
    QVERIFY2(out.size() >= 5, qPrintable(out.join(u'|')));
    const int saved = out[0].toInt();
    QVERIFY2(saved > 0 && saved < 20000, qPrintable(out[0]));
    QCOMPARE(out[1].toInt(), saved); // the main window's grid
    QCOMPARE(out[2].toInt(), saved); // another client, reading only
    QVERIFY2(out[3].toLongLong() < 4096, qPrintable(out[3]));
    QVERIFY2(out[4].contains(u"il disco è pieno") && out[4].contains(u"andato perso"), qPrintable(out[4]));
}

// A copy of the day that cannot be made (no folder for it, or no file)
// stops neither "&Pulisci" nor an import, and is said once.
void TestFaults::testCopyThatCannotBeMadeStopsNoChange_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("folder");
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QTest::newRow("Copie is a file") << QStringLiteral("Copie") << false;
    QTest::newRow("the new copy's name is a folder")
        << QStringLiteral("Copie/Quadrivo-%1.mdb.nuovo").arg(today) << true;
}

void TestFaults::testCopyThatCannotBeMadeStopsNoChange()
{
    QFETCH(QString, obstacle);
    QFETCH(bool, folder);
    QVERIFY(seedMembers({{1, "A", "[1]", "Capo", 100, {}, {}, {}}, {1, "B", "[2]", "Capo", 200, {}, {}, {}}}));
    QVERIFY(folder ? QDir().mkpath(obstacle) : m_scene->dir.write(obstacle, "x"));
    {
        Form1 form;
        QCOMPARE(form.grid().Rows(), 3);
        QTest::mouseClick(form.findChild<QPushButton *>("BtnPulisci"), Qt::LeftButton);
        auto boxes = m_scene->boxes.take();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(QStringLiteral("copia di sicurezza")), qPrintable(boxes[0].text));
        QVERIFY2(boxes[0].text.contains(Membri::fileName()), qPrintable(boxes[0].text));
        QCOMPARE(queryValue("SELECT SUM(Valid) FROM Membri").toInt(), 0);
        QCOMPARE(form.grid().Rows(), 1);

        QVERIFY(execSql("UPDATE Membri SET Valid = 1"));
        QTest::mouseClick(form.findChild<QPushButton *>("BtnPulisci"), Qt::LeftButton);
        QCOMPARE(m_scene->boxes.take().size(), 0);
        QCOMPARE(queryValue("SELECT SUM(Valid) FROM Membri").toInt(), 0);
    }

    // The import holds the file alone; its copy fails the same way.
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    QCOMPARE(importaPalmeria(
                 data, QStringLiteral("1 C  Capo 5 [3] x\r\n"), 1, [](const QString &) { return true; }, QLocale()),
             1);
    QVERIFY2(data.takeCopyWarning().contains(QStringLiteral("copia di sicurezza")), "no warning from the import");
    QCOMPARE(queryValue("SELECT COUNT(*) FROM Membri WHERE Valid = 1").toInt(), 1);
    QCOMPARE(QFileInfo(obstacle).isDir(), folder);
    QCOMPARE(QFileInfo(obstacle).isFile(), !folder);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
