// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// Files and folders the program may not write or read. Permissions do not
// bind the superuser, so when started as root this test runs as nobody.
#include "app/Form1.h"
#include "core/Failure.h"
#include "export/Report.h"
#include "history/window/Form4.h"
#include "import/window/Form2.h"
#include "ranking/Module1.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/ReadOnlyFile.h"
#include "store/Storico.h"
#include "store/WriteTransaction.h"
#include "support/Seed.h"
#include "support/WindowTestScene.h"
#include "ui/TextBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

constexpr QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser;
constexpr QFileDevice::Permissions readOnlyFolder = readOnly | QFileDevice::ExeOwner | QFileDevice::ExeUser;
constexpr QFileDevice::Permissions readWrite = readOnly | QFileDevice::WriteOwner | QFileDevice::WriteUser;
constexpr QFileDevice::Permissions readWriteFolder = readOnlyFolder | QFileDevice::WriteOwner | QFileDevice::WriteUser;
constexpr QFileDevice::Permissions everyoneEnters =
    readWriteFolder | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

// How many files of the folder this process holds open, where the system
// shows its open files; -1 elsewhere.
int openFilesIn(const QString &folder)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    if (!fds.exists())
        return -1;
    const QString prefix = QDir(folder).canonicalPath() + u'/';
    int open = 0;
    for (const QFileInfo &fd : fds.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
        open += fd.symLinkTarget().startsWith(prefix) ? 1 : 0;
    return open;
}

void click(QWidget *window, const char *button)
{
    QAbstractButton *b = window->findChild<QAbstractButton *>(QString::fromLatin1(button));
    QVERIFY2(b, button);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Every file of the folder with its bytes.
QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    for (const QFileInfo &info :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        QFile file(info.filePath());
        contents.insert(info.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return contents;
}

// The texts of the boxes shown since the last look.
QStringList boxTexts(MessageBoxCatcher &boxes)
{
    QStringList texts;
    for (const auto &box : boxes.take())
        texts << box.text;
    return texts;
}

QStringList nicks(const GridTexts &grid)
{
    QStringList list;
    for (int r = 1; r < grid.Rows(); ++r)
        list << grid.TextMatrix(r, ColNick).toString();
    return list;
}

QStringList column(const QTableView *table, int col)
{
    QStringList texts;
    for (int r = 0; r < table->model()->rowCount(); ++r)
        texts << table->model()->index(r, col).data().toString();
    return texts;
}

} // namespace

class TestPermissions : public QObject
{
    Q_OBJECT

public:
    explicit TestPermissions(const QString &child)
        : m_child(child)
    {
    }

private slots:
    void init();
    void cleanup();

    void testReadOnlyDatabase_data();
    void testReadOnlyDatabase();
    void testReadOnlyDatabaseChangedMeanwhile();
    void testUnreadableRankList();
    void testUnreadableAndUnwritableSampleFile();

private:
    QString m_child; // the program of the second process
    std::unique_ptr<WindowTestScene> m_scene;
};

void TestPermissions::init()
{
    Module1::TipoDati = 1;
#ifndef Q_OS_UNIX
    QSKIP("the modes these tests give files and folders are Unix's");
#endif
    m_scene = std::make_unique<WindowTestScene>();
    QVERIFY(m_scene->dir.isValid());
    // The superuser, or a process holding its capabilities, reads a file
    // that no one may read: then nothing here can be checked.
    const QString probe = m_scene->dir.filePath("prova");
    QVERIFY(m_scene->dir.write("prova", "x") && QFile::setPermissions(probe, {}));
    const bool bind = !QFile(probe).open(QIODevice::ReadOnly);
    QVERIFY(QFile::remove(probe));
    if (!bind)
        QSKIP("permissions do not bind this process, which reads a file of mode 000 "
              "(root, where the user nobody cannot be taken)");
}

void TestPermissions::cleanup()
{
    // Writable again, so the folder can be removed.
    QFile::setPermissions(m_scene->dir.path(), readWriteFolder);
    for (const QString &name : QDir(m_scene->dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        QFile::setPermissions(m_scene->dir.filePath(name),
                              name.endsWith(QLatin1String(".txt")) && QFileInfo(m_scene->dir.filePath(name)).isDir()
                                  ? readWriteFolder
                                  : readWrite);
    const QStringList left = m_scene->boxesLeft();
    m_scene.reset();
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
}

void TestPermissions::testReadOnlyDatabase_data()
{
    // The folder read-only, else the file; the log a writer killed after its
    // commits left beside the file (without its shared memory: it cannot be
    // read without making one); a file of the format before the history.
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("log");
    QTest::addColumn<bool>("sharedMemory");
    QTest::addColumn<bool>("history");
    QTest::newRow("file") << false << false << false << true;
    QTest::newRow("file, log of a killed writer") << false << true << true << true;
    QTest::newRow("folder") << true << false << false << true;
    QTest::newRow("folder, log of a killed writer") << true << true << true << true;
    QTest::newRow("folder, log without its shared memory") << true << true << false << true;
    QTest::newRow("file, format before the history") << false << false << false << false;
}

void TestPermissions::testReadOnlyDatabase()
{
    QFETCH(bool, folder);
    QFETCH(bool, log);
    QFETCH(bool, sharedMemory);
    QFETCH(bool, history);
    // By percentage Lupo leads, by points Orso, until the log gives Lupo
    // 1,000 points more.
    QVERIFY(seedMembers({{1, "Lupo", "[1]", "Capo", 1000, 1500, 50.0, 500},
                         {1, "Orso", "[2]", "Capo", 90000, 91000, 1.11, 1000},
                         {0, "Volpe", "[3]", "Capo", 500, 600, 20.0, 100}}));
    QVERIFY(m_scene->dir.write("Gradi.txt", "Capo\r\n"));
    if (history) {
        DataControl data;
        data.setDatabaseName(Membri::fileName());
        Storico::scriviRilevazione(data.database(), data.DatabaseName(), QDateTime(QDate(2026, 11, 1), QTime(10, 0)), 1,
                                   {{"Lupo", "[1]", "Capo", 1000}, {"Orso", "[2]", "Capo", 90000}});
        Storico::scriviRilevazione(data.database(), data.DatabaseName(), QDateTime(QDate(2026, 11, 8), QTime(10, 0)), 2,
                                   {{"Lupo", "[1]", "Capo", 1500}, {"Orso", "[2]", "Capo", 91000}});
    } else {
        QVERIFY(execSql("DROP TABLE Punteggi") && execSql("DROP TABLE Rilevazioni")
                && execSql("PRAGMA user_version=0"));
    }
    if (log) {
        QProcess writer;
        writer.setProgram(m_child);
        writer.setArguments({"registro", "UPDATE Membri SET Punti2=2500,Per=150,Diff=1500 WHERE Madre='[1]'",
                             "INSERT INTO Rilevazioni (Id,Quando,Tipo) VALUES (3,'2026-11-15T10:00:00',2)",
                             "INSERT INTO Punteggi (Rilevazione,Riga,Nick,Madre,Grado,Punti) "
                             "VALUES (3,1,'Lupo','[1]','Capo',2500),(3,2,'Orso','[2]','Capo',91000)"});
        writer.start();
        QVERIFY(writer.waitForReadyRead(10000));
        QCOMPARE(writer.readAll(), QByteArray("scritto\n"));
        writer.kill();
        QVERIFY(writer.waitForFinished(10000));
        QVERIFY(QFileInfo(m_scene->dir.filePath("Quadrivo.mdb-wal")).size() > 0);
        if (!sharedMemory)
            QVERIFY(QFile::remove(m_scene->dir.filePath("Quadrivo.mdb-shm")));
    }
    QVERIFY(QFile::setPermissions(folder ? m_scene->dir.path() : m_scene->dir.filePath(Membri::fileName()),
                                  folder ? readOnlyFolder : readOnly));
    const QMap<QString, QByteArray> before = folderContents(m_scene->dir.path());

    Form1 form;
    if (log && !sharedMemory) {
        // Read without the log, the grid would be wrong: not read at all.
        const QStringList texts = boxTexts(m_scene->boxes);
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("«Quadrivo.mdb-wal»")), qPrintable(texts[0]));
        QCOMPARE(form.grid().Rows(), 1);
        QCOMPARE(folderContents(m_scene->dir.path()), before);
        return;
    }
    const auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Il file Quadrivo.mdb è di sola lettura: si possono consultare le "
                                           "statistiche e lo storico, ma non modificarli."));
    QCOMPARE(boxes[0].icon, QMessageBox::Information);
    QCOMPARE(boxes[0].title, QStringLiteral("Quadrivo ZORVA"));

    // Both orders, and the report of the second.
    QCOMPARE(nicks(form.grid()), (QStringList{"Lupo", "Orso"}));
    QCOMPARE(form.grid().TextMatrix(1, ColPuntiF), log ? QStringLiteral("2.500") : QStringLiteral("1.500"));
    click(&form, "OptOrd1");
    QCOMPARE(nicks(form.grid()), log ? (QStringList{"Lupo", "Orso"}) : (QStringList{"Orso", "Lupo"}));
    QCOMPARE(buildReport(form.grid(), false), log ? QStringLiteral("1 - Lupo  |  da 1.000 a 2.500  (+1.500)\r\n"
                                                                   "2 - Orso  |  da 90.000 a 91.000  (+1.000)\r\n")
                                                  : QStringLiteral("1 - Orso  |  da 90.000 a 91.000  (+1.000)\r\n"
                                                                   "2 - Lupo  |  da 1.000 a 1.500  (+500)\r\n"));

    const QString refusal = ReadOnlyFile::refusal(Membri::fileName());
    click(&form, "BtnPulisci");
    QCOMPARE(boxTexts(m_scene->boxes), QStringList{refusal});
    QCOMPARE(form.grid().Rows(), 3);
    QVERIFY(form.findChild<QPushButton *>("BtnPulisci")->isEnabled());

    for (qint16 tipo : {qint16(1), qint16(2)}) {
        Module1::TipoDati = tipo;
        Form2 entry;
        entry.show();
        entry.Text1()->setText(QStringLiteral("1 Cervo  Capo 5 [4] x\r\n"));
        click(&entry, "BtnOk");
        QCOMPARE(boxTexts(m_scene->boxes), QStringList{refusal + QStringLiteral("\nNessuna riga è stata importata.")});
        QVERIFY(entry.isVisible());
        QCOMPARE(entry.Text1()->Text(), QStringLiteral("1 Cervo  Capo 5 [4] x\r\n"));
    }

    if (history) {
        Form4 storico;
        auto *snapshots = storico.findChild<QTableView *>("TblRilevazioni");
        QCOMPARE(snapshots->model()->rowCount(), log ? 3 : 2);
        QCOMPARE(column(storico.findChild<QTableView *>("TblMembri"), 4),
                 log ? (QStringList{"2.500", "91.000"}) : (QStringList{"91.000", "1.500"}));
        // Refused before the question, which would be pointless.
        click(&storico, "BtnElimina");
        QCOMPARE(boxTexts(m_scene->boxes), QStringList{refusal});
        QCOMPARE(snapshots->model()->rowCount(), log ? 3 : 2);
    } else {
        click(&form, "BtnStorico");
        const QStringList texts = boxTexts(m_scene->boxes);
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("non contiene lo storico"))
                     && texts[0].contains(QStringLiteral("sola lettura")),
                 qPrintable(texts[0]));
    }

    // Any other write, of a record or in one transaction, is refused before
    // it begins.
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    data.setRecordSource(Membri::selectAll());
    data.Refresh();
    for (int write = 0; write < 2; ++write) {
        try {
            if (write == 0) {
                data.Recordset().Edit();
                data.Recordset().Update();
            } else {
                WriteTransaction transaction(data.database(), QStringLiteral("Impossibile scrivere in «%1»"),
                                             Membri::fileName());
            }
            QFAIL("a write began on a read-only file");
        } catch (const UserError &error) {
            QCOMPARE(error.message(), refusal);
        }
    }
    data.close();
    QCOMPARE(folderContents(m_scene->dir.path()), before);
}

// Read without locks, a file that another program changed is read afresh,
// not partly from what the connection kept of it.
void TestPermissions::testReadOnlyDatabaseChangedMeanwhile()
{
    QVERIFY(seedMembers({{1, "Lupo", "[1]", "Capo", 1000, {}, {}, {}}}));
    const QString file = m_scene->dir.filePath(Membri::fileName());
    QVERIFY(QFile::setPermissions(file, readOnly));
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    data.setRecordSource(Membri::selectAll());
    data.Refresh();
    QVERIFY(data.readOnly());
    QCOMPARE(data.Recordset().RecordCount(), 1);

    QVERIFY(QFile::setPermissions(file, readWrite));
    QVERIFY(execSql("INSERT INTO Membri (Nick,Madre,Grado,Punti1) VALUES ('Orso','[2]','Capo',90000)"));
    QVERIFY(QFile::setPermissions(file, readOnly));
    data.Refresh();
    QVERIFY(data.readOnly());
    QCOMPARE(data.Recordset().RecordCount(), 2);
}

void TestPermissions::testUnreadableRankList()
{
    QVERIFY(seedMembers({{1, "A", "[1]", "Capo", 100, {}, {}, {}}}));
    const QList<QVariantList> before = readMembers();
    QVERIFY(m_scene->dir.write("Gradi.txt", "Capo\r\n"));
    QVERIFY(QFile::setPermissions(m_scene->dir.filePath("Gradi.txt"), QFileDevice::WriteOwner));

    Form2 form;
    form.show();
    form.Text1()->setText(QStringLiteral("1 B  Capo 5 [2] x\r\n"));
    click(&form, "BtnOk");
    const auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.contains(QStringLiteral("Gradi.txt")), qPrintable(boxes[0].text));
    QVERIFY(form.isVisible());
    QCOMPARE(readMembers(), before);
    QVERIFY(openFilesIn(m_scene->dir.path()) <= 0);
}

void TestPermissions::testUnreadableAndUnwritableSampleFile()
{
    QVERIFY(m_scene->dir.write("Esempio1.txt", "a\r\n"));
    QVERIFY(QFile::setPermissions(m_scene->dir.filePath("Esempio1.txt"), QFileDevice::WriteOwner));

    Form2 form;
    form.show();
    form.Text1()->setText(QStringLiteral("testo\r\n"));
    click(&form, "BtnLeggi");
    auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.contains(QStringLiteral("Esempio1.txt")), qPrintable(boxes[0].text));
    QCOMPARE(form.Text1()->Text(), QString());

    // A folder where the file cannot be created.
    QVERIFY(QFile::remove(m_scene->dir.filePath("Esempio1.txt")));
    QVERIFY(QFile::setPermissions(m_scene->dir.path(), readOnlyFolder));
    form.Text1()->setText(QStringLiteral("riga\r\n"));
    click(&form, "BtnSalva");
    boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.contains(QStringLiteral("Esempio1.txt")), qPrintable(boxes[0].text));
    QVERIFY(!QFile::exists(m_scene->dir.filePath("Esempio1.txt")));
    QCOMPARE(form.Text1()->Text(), QStringLiteral("riga\r\n"));
    QVERIFY(openFilesIn(m_scene->dir.path()) <= 0);
}

int main(int argc, char *argv[])
{
    QString child = QStringLiteral(QUADRIVO_CHILD);
#ifdef Q_OS_UNIX
    // As root the tests run in a process of their own as nobody, who may
    // not enter the checkout (a home folder of mode 700): it starts a copy
    // of the second program, which loads nothing from the checkout, from
    // a folder anyone may enter, removed here once the tests are over.
    std::optional<QTemporaryDir> copy;
    if (::geteuid() == 0) {
        copy.emplace();
        const QString copied = copy->filePath(QFileInfo(child).fileName());
        if (!copy->isValid() || !QFile::copy(child, copied) || !QFile::setPermissions(copy->path(), everyoneEnters)
            || !QFile::setPermissions(copied, everyoneEnters)) {
            std::fprintf(stderr, "cannot copy %s into %s\n", qPrintable(child), qPrintable(copy->path()));
            return 1;
        }
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid < 0) {
            std::perror("fork");
            return 1;
        }
        if (pid > 0) {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0)
                if (errno != EINTR)
                    return 1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        copy->setAutoRemove(false);
        child = copied;
        // Where nobody cannot be had (a namespace that maps no such user),
        // the tests stay root and skip, saying why.
        if (::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0
            && ::setresuid(65534, 65534, 65534) == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::setenv("HOME", "/tmp", 1);
            ::unsetenv("XDG_RUNTIME_DIR");
        } else {
            std::perror("nobody");
        }
    }
#endif
    QApplication app(argc, argv);
    TestPermissions test(child);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_permissions.moc"
