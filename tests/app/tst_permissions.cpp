// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// Files and folders the program may not write or read. Permissions do not
// bind the superuser, so when started as root this test runs itself again
// as an ordinary user.
#include "app/Form1.h"
#include "ranking/Module1.h"
#include "import/window/Form2.h"
#include "import/Importazione.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "support/Seed.h"
#include "support/WindowTestScene.h"
#include "ui/TextBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>
#endif

namespace {

constexpr QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser;
constexpr QFileDevice::Permissions readOnlyFolder = readOnly | QFileDevice::ExeOwner | QFileDevice::ExeUser;
constexpr QFileDevice::Permissions readWrite = readOnly | QFileDevice::WriteOwner | QFileDevice::WriteUser;
constexpr QFileDevice::Permissions readWriteFolder = readOnlyFolder | QFileDevice::WriteOwner | QFileDevice::WriteUser;

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
    QTest::mouseClick(window->findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
}

} // namespace

class TestPermissions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testReadOnlyDatabase_data();
    void testReadOnlyDatabase();
    void testUnreadableRankList();
    void testUnreadableAndUnwritableSampleFile();

private:
    std::unique_ptr<WindowTestScene> m_scene;
};

void TestPermissions::init()
{
    Module1::TipoDati = 1;
    m_scene = std::make_unique<WindowTestScene>();
    QVERIFY(m_scene->dir.isValid());
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
    QTest::addColumn<bool>("folder");
    QTest::newRow("file") << false;
    QTest::newRow("folder") << true;
}

void TestPermissions::testReadOnlyDatabase()
{
    QFETCH(bool, folder);
    QVERIFY(seedMembers({{1, "A", "[1]", "Capo", 100, {}, {}, {}}, {0, "B", "[2]", "Capo", 50, 60, 20.0, 10}}));
    QVERIFY(m_scene->dir.write("Gradi.txt", "Capo\r\n"));
    const QList<QVariantList> before = readMembers();
    const QByteArray bytes = m_scene->dir.read(Membri::fileName());
    QVERIFY(QFile::setPermissions(folder ? m_scene->dir.path() : m_scene->dir.filePath(Membri::fileName()),
                                  folder ? readOnlyFolder : readOnly));

    Form1 form;
    // Showing the members needs no writing; whatever start-up says, it
    // must name the file.
    for (const auto &box : m_scene->boxes.take())
        QVERIFY2(box.text.contains(Membri::fileName()), qPrintable(box.text));

    click(&form, "BtnPulisci");
    auto boxes = m_scene->boxes.take();
    QVERIFY(!boxes.isEmpty());
    QVERIFY2(boxes[0].text.contains(QStringLiteral("sola lettura")), qPrintable(boxes[0].text));
    QVERIFY2(boxes[0].text.contains(Membri::fileName()), qPrintable(boxes[0].text));

    for (qint16 tipo : {qint16(1), qint16(2)}) {
        DataControl data;
        data.setDatabaseName(Membri::fileName());
        try {
            importaPalmeria(
                data, QStringLiteral("1 C  Capo 5 [1] x\r\n"), tipo, [](const QString &) { return true; }, QLocale());
            QFAIL("an import went on in a read-only database");
        } catch (const ImportError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("sola lettura")), qPrintable(error.message()));
        }
    }
    // The program goes on, and nothing changed.
    QVERIFY(form.findChild<QPushButton *>("BtnPulisci")->isEnabled());
    QCOMPARE(m_scene->dir.read(Membri::fileName()), bytes);
    QFile::setPermissions(m_scene->dir.path(), readWriteFolder);
    QFile::setPermissions(m_scene->dir.filePath(Membri::fileName()), readWrite);
    QCOMPARE(readMembers(), before);
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
#ifdef Q_OS_UNIX
    if (::geteuid() == 0) {
        char self[PATH_MAX];
        const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        if (n <= 0) {
            std::perror("readlink");
            return 1;
        }
        self[n] = '\0';
        std::vector<char *> args = {const_cast<char *>("setpriv"),
                                    const_cast<char *>("--reuid=65534"),
                                    const_cast<char *>("--regid=65534"),
                                    const_cast<char *>("--clear-groups"),
                                    const_cast<char *>("--"),
                                    self};
        for (int i = 1; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        ::setenv("HOME", "/tmp", 1);
        ::unsetenv("XDG_RUNTIME_DIR");
        ::execvp("setpriv", args.data());
        std::perror("setpriv");
        return 1;
    }
#endif
    QApplication app(argc, argv);
    TestPermissions test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_permissions.moc"
