// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "core/Failure.h"
#include "import/CercaGrado.h"
#include "import/Gradi.h"
#include "import/Importazione.h"
#include "import/TextFile.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "support/CodePage.h"
#include "support/Seed.h"
#include "support/TempWorkDir.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <filesystem>

namespace {

// The message of the UserError the call throws; empty when it throws none.
template <typename Call> QString fileErrorOf(Call call)
{
    try {
        call();
    } catch (const UserError &error) {
        return error.message();
    }
    return {};
}

// The files this process holds open, where the system tells.
qsizetype openFiles()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size();
}

enum Change { RewrittenInPlace, RewrittenInPlaceLaterTime, ReplacedByRename, DeletedAndCreated };

} // namespace

Q_DECLARE_METATYPE(Change)

class TestCercaGrado : public QObject
{
    Q_OBJECT

private slots:
    void testLookup_data();
    void testLookup();
    void testReplacedFileIsSeen();
    void testUnreadableFile_data();
    void testUnreadableFile();
    void testChangeAfterAnswersFromMemory_data();
    void testChangeAfterAnswersFromMemory();
    void testWordsOfOneRankShareAReading();
    void testDeletedFileIsReportedThenCreatedAgain();
    void testLinkIsReadAtEveryCall();
    void testUnknownFileSystemIsReadAtEveryCall();
    void testEditByAnotherProcessDuringAnImport();
    void testSavesBesideTheListAreNoNews();
    void testFileMountedOverIsSeenAtTheNextImport();
};

void TestCercaGrado::testLookup_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<bool>("found");

    const QByteArray vice = "Capo\r\nVice Comandante\r\nMembro\r\n";
    QTest::newRow("as written") << vice << "Vice Comandante" << true;
    QTest::newRow("lower case") << vice << "vice comandante" << true;
    QTest::newRow("upper case") << vice << "VICE COMANDANTE" << true;
    QTest::newRow("beginning of a name") << vice << "Vice" << false;
    QTest::newRow("two blanks between words") << vice << "Vice  Comandante" << false;
    QTest::newRow("leading blank in the phrase") << vice << " Membro" << false;
    QTest::newRow("no empty item, empty phrase") << vice << "" << false;

    const QByteArray unquoted = "Capo, Vice\r\n";
    QTest::newRow("unquoted comma, first") << unquoted << "Capo" << true;
    QTest::newRow("unquoted comma, second") << unquoted << "Vice" << true;
    QTest::newRow("unquoted comma, whole") << unquoted << "Capo, Vice" << false;
    const QByteArray quoted = "\"Capo, Vice\"\r\n";
    QTest::newRow("quoted comma, whole") << quoted << "Capo, Vice" << true;
    QTest::newRow("quoted comma, first") << quoted << "Capo" << false;
    QTest::newRow("quoted comma, second") << quoted << "Vice" << false;

    QTest::newRow("blanks before the name") << QByteArray("Capo\r\n   Recluta\r\n") << "Recluta" << true;
    QTest::newRow("blanks after the name") << QByteArray("Recluta   \r\n") << "Recluta" << true;
    QTest::newRow("tab after the name") << QByteArray("Recluta\t\r\n") << "Recluta" << false;
    QTest::newRow("empty line, empty phrase") << QByteArray("Capo\r\n\r\nMembro\r\n") << "" << true;
    QTest::newRow("empty file, empty phrase") << QByteArray() << "" << false;
    QTest::newRow("empty file") << QByteArray() << "Capo" << false;
    QTest::newRow("last line without line end") << QByteArray("Capo\r\nRecluta") << "RECLUTA" << true;
    QTest::newRow("one-letter last name") << QByteArray("Capo\r\nX") << "x" << true;
    QTest::newRow("utf-8 accents, other case") << QByteArray("\xC3\xA8mulo\r\n") << "ÈMULO" << true;
    QTest::newRow("windows-1252 accents, other case")
        << QByteArray("Capo\r\n\xC8mulo Capit\xE0\r\n") << "èmulo CAPITÀ" << true;
    QTest::newRow("accent is not its plain letter") << QByteArray("\xC8mulo\r\n") << "Emulo" << false;
}

void TestCercaGrado::testLookup()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, phrase);
    QFETCH(bool, found);
    if (QTest::currentDataTag() == QLatin1String("utf-8 accents, other case") && !systemCodePageIsUtf8())
        QSKIP("the system's code page is not UTF-8 here");
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", file));
    QCOMPARE(CercaGrado(phrase), found);

    // The same answers from memory, and from a Gradi that reads at every
    // call because its path has a folder part.
    Gradi kept;
    Gradi everyTime(QStringLiteral("./Gradi.txt"));
    for (int call = 0; call < 2; ++call) {
        QCOMPARE(kept.CercaGrado(phrase), found);
        QCOMPARE(everyTime.CercaGrado(phrase), found);
    }
    QCOMPARE(kept.letture(), 1);
    QCOMPARE(everyTime.letture(), 2);
}

void TestCercaGrado::testReplacedFileIsSeen()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capo\r\n"));
    QVERIFY(CercaGrado("Capo"));
    QVERIFY(!CercaGrado("Membro"));
    QVERIFY(dir.write("Gradi.txt", "Membro\r\n"));
    QVERIFY(!CercaGrado("Capo"));
    QVERIFY(CercaGrado("Membro"));
}

void TestCercaGrado::testUnreadableFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("makeFolder");
    QTest::newRow("missing") << "Gradi.txt" << false;
    QTest::newRow("a folder of that name") << "Gradi.txt" << true;
    QTest::newRow("another file name") << "Altri.txt" << false;
}

void TestCercaGrado::testUnreadableFile()
{
    QFETCH(QString, path);
    QFETCH(bool, makeFolder);
    TempWorkDir dir;
    // A readable default file must not stand in for the path asked for.
    if (path != "Gradi.txt")
        QVERIFY(dir.write("Gradi.txt", "Capo\r\n"));
    if (makeFolder)
        QVERIFY(QDir().mkdir(path));
    const QString message = fileErrorOf([&] { CercaGrado("Capo", path); });
    QVERIFY2(message.contains(u'«' + path + u'»'), qPrintable(message));
    Gradi gradi(path);
    QCOMPARE(fileErrorOf([&] { gradi.CercaGrado("Capo"); }), message);
}

void TestCercaGrado::testChangeAfterAnswersFromMemory_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("eventsRun");
    // The watcher reports any change once the event loop runs, one within
    // the times' granularity included.
    QTest::newRow("rewritten in place, same length, events") << RewrittenInPlace << true;
    QTest::newRow("replaced by rename, events") << ReplacedByRename << true;
    QTest::newRow("deleted and created again, events") << DeletedAndCreated << true;
    // With no event loop, as during an import, the next import's check of
    // the stamp sees it: here by another time or another size.
    QTest::newRow("rewritten in place, same length, later time") << RewrittenInPlaceLaterTime << false;
    QTest::newRow("replaced by rename, longer") << ReplacedByRename << false;
    QTest::newRow("deleted and created again, longer") << DeletedAndCreated << false;
}

void TestCercaGrado::testChangeAfterAnswersFromMemory()
{
    QFETCH(Change, change);
    QFETCH(bool, eventsRun);
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capo\r\nMembro\r\n"));
    Gradi gradi;
    QVERIFY(gradi.CercaGrado("Capo"));
    // An unchanged file stands the check of an import that starts.
    gradi.verificaFile();
    QVERIFY(!gradi.CercaGrado("Cape"));
    QCOMPARE(gradi.letture(), 1);

    const bool sameLength = eventsRun || change == RewrittenInPlaceLaterTime;
    const QByteArray after = sameLength ? "Cape\r\nMembro\r\n" : "Cape\r\nMembro\r\nRecluta\r\n";
    switch (change) {
    case RewrittenInPlace:
        QVERIFY(dir.write("Gradi.txt", after));
        break;
    case RewrittenInPlaceLaterTime: {
        const QDateTime before = QFileInfo(QStringLiteral("Gradi.txt")).lastModified();
        QVERIFY(dir.write("Gradi.txt", after));
        QFile file(QStringLiteral("Gradi.txt"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(before.addSecs(2), QFileDevice::FileModificationTime));
        break;
    }
    case ReplacedByRename:
        QVERIFY(dir.write("Gradi.new", after));
        // Over the old file at once, as std::rename does on Linux (and
        // MoveFileEx with its flag to replace on Windows).
        std::filesystem::rename("Gradi.new", "Gradi.txt");
        break;
    case DeletedAndCreated:
        QVERIFY(QFile::remove("Gradi.txt"));
        QVERIFY(dir.write("Gradi.txt", after));
        break;
    }

    if (eventsRun) {
        QTRY_VERIFY(gradi.CercaGrado("Cape"));
    } else {
        // The names stand for the rest of the import.
        QVERIFY(gradi.CercaGrado("Capo"));
        QCOMPARE(gradi.letture(), 1);
        gradi.verificaFile();
        QVERIFY(gradi.CercaGrado("Cape"));
    }
    QVERIFY(!gradi.CercaGrado("Capo"));
    QVERIFY(gradi.CercaGrado("Membro"));
    QCOMPARE(gradi.letture(), 2);
}

// The words of one rank are answered from the reading its first word was,
// even when news of a change came in between: the change is seen at the
// next rank.
void TestCercaGrado::testWordsOfOneRankShareAReading()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capo\r\nVice Comandante\r\n"));
    Gradi gradi;
    QVERIFY(!gradi.CercaGrado("VICE"));
    QVERIFY(dir.write("Gradi.txt", "Vice\r\n"));
    QCoreApplication::processEvents();
    QVERIFY(gradi.CercaGrado("Vice Comandante"));
    QTRY_VERIFY(gradi.CercaGrado("Vice"));
    QVERIFY(!gradi.CercaGrado("Vice Comandante"));
    QCOMPARE(gradi.letture(), 2);
}

void TestCercaGrado::testDeletedFileIsReportedThenCreatedAgain()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capo\r\n"));
    const qsizetype openBefore = openFiles();
    {
        Gradi gradi;
        QVERIFY(gradi.CercaGrado("Capo"));
        QVERIFY(gradi.CercaGrado("CAPO"));
        QCOMPARE(gradi.letture(), 1);

        QVERIFY(QFile::remove("Gradi.txt"));
        const QString missing = fileErrorOf([] { CercaGrado("Capo"); });
        QVERIFY2(missing.contains(QStringLiteral("file non trovato")), qPrintable(missing));
        QTRY_COMPARE(fileErrorOf([&] { gradi.CercaGrado("Capo"); }), missing);

        // The file back is read at once, and from memory again once the
        // folder's news of it arrives.
        QVERIFY(dir.write("Gradi.txt", "Membro\r\n"));
        QVERIFY(gradi.CercaGrado("Membro"));
        QVERIFY(!gradi.CercaGrado("Capo"));
        const auto readsOfTwoCalls = [&gradi] {
            const int before = gradi.letture();
            gradi.CercaGrado("Membro");
            gradi.CercaGrado("Membro");
            return gradi.letture() - before;
        };
        QTRY_COMPARE(readsOfTwoCalls(), 0);
    }
    // Nothing is left open: neither the file nor the watches.
    QCOMPARE(openFiles(), openBefore);
}

// A symbolic link may lead anywhere, a network drive included: it is read
// at every call, and a link turned to another file is seen at once.
void TestCercaGrado::testLinkIsReadAtEveryCall()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Capi.txt", "Capo\r\n"));
    QVERIFY(dir.write("Membri.txt", "Membro\r\n"));
    QVERIFY(QFile::link(QStringLiteral("Capi.txt"), QStringLiteral("Gradi.txt")));
    if (!QFileInfo(QStringLiteral("Gradi.txt")).isSymbolicLink())
        QSKIP("no symbolic link can be made here");
    Gradi gradi;
    QVERIFY(gradi.CercaGrado("Capo"));
    QVERIFY(QFile::remove("Gradi.txt"));
    QVERIFY(QFile::link(QStringLiteral("Membri.txt"), QStringLiteral("Gradi.txt")));
    QVERIFY(gradi.CercaGrado("Membro"));
    QVERIFY(!gradi.CercaGrado("Capo"));
    QCOMPARE(gradi.letture(), 3);
}

// A file system not known to be local, as a network share is, may change
// with no news: the file is read at every call. A ramfs stands in for it.
void TestCercaGrado::testUnknownFileSystemIsReadAtEveryCall()
{
    TempWorkDir dir;
    QProcess child;
    child.start(QStringLiteral(QUADRIVO_CHILD), {QStringLiteral("ramrank"), QStringLiteral("Capo")});
    QVERIFY(child.waitForFinished(30000));
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 77)
        QSKIP("no file system can be mounted here");
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, child.readAllStandardError());
    QCOMPARE(child.readAllStandardOutput(), QByteArray("Capo=1 letture=1\nCapo=0 letture=2\n"));
}

// Another program saves the rank list in place while an import runs: that
// import goes on with the names it started with, so the line whose rank
// only the new list knows stops it, and the next import, which proves the
// file again as it starts, reads the new list.
void TestCercaGrado::testEditByAnotherProcessDuringAnImport()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capo\r\n"));
    Membri::createIfMissing(Membri::fileName());
    const QString text = QStringLiteral("1 Uno  Capo 10 [1:1:1] 01.12.2026\r\n"
                                        "2 Due  Capo 20 [1:1:2] 01.12.2026\r\n"
                                        "3 Tre  Vice Comandante 30 [1:1:3] 01.12.2026\r\n");
    Gradi gradi;
    bool edited = false;
    const RankLookup lookup = [&](const QString &phrase) {
        if (phrase == QLatin1String("Vice") && !edited) {
            QProcess editor;
            editor.start(QStringLiteral(QUADRIVO_CHILD), {QStringLiteral("write"), dir.filePath("Gradi.txt"),
                                                          QStringLiteral("Capo\r\nVice Comandante\r\n")});
            edited =
                editor.waitForFinished(30000) && editor.exitStatus() == QProcess::NormalExit && editor.exitCode() == 0;
        }
        return gradi.CercaGrado(phrase);
    };

    DataControl data(QLocale::c());
    data.setDatabaseName(Membri::fileName());
    int savedBeforeTheStop = -1;
    try {
        const Gradi::DuranteImportazione importazione(gradi);
        importaPalmeria(data, text, 1, lookup, QLocale::c());
    } catch (const ImportError &error) {
        savedBeforeTheStop = error.savedLines();
    }
    QVERIFY(edited);
    QCOMPARE(savedBeforeTheStop, 2);
    QCOMPARE(gradi.letture(), 1);

    int lines = 0;
    try {
        const Gradi::DuranteImportazione importazione(gradi);
        lines = importaPalmeria(data, text, 1, lookup, QLocale::c());
    } catch (const ImportError &error) {
        QFAIL(qPrintable(error.message()));
    }
    QCOMPARE(lines, 3);
    QCOMPARE(gradi.letture(), 2);
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[2][Membri::Grado].toString(), QStringLiteral("Vice Comandante"));
    QCOMPARE(rows[2][Membri::Punti1].toInt(), 30);
}

// An import saves its records one by one in the database beside the rank
// list (on Windows each save is news of the folder): that is no news of the
// list, neither queued while it runs nor taken as a change afterwards, so
// the next import answers from the same reading.
void TestCercaGrado::testSavesBesideTheListAreNoNews()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capo\r\n"));
    Membri::createIfMissing(Membri::fileName());
    const QString text = QStringLiteral("1 Uno  Capo 10 [1:1:1] 01.12.2026\r\n"
                                        "2 Due  Capo 20 [1:1:2] 01.12.2026\r\n");
    Gradi gradi;
    DataControl data(QLocale::c());
    data.setDatabaseName(Membri::fileName());
    const auto import = [&] {
        const Gradi::DuranteImportazione importazione(gradi);
        return importaPalmeria(
            data, text, 1, [&](const QString &phrase) { return gradi.CercaGrado(phrase); }, QLocale::c());
    };
    QCOMPARE(import(), 2);
    // Any news there is comes in while the event loop runs.
    QTest::qWait(300);
    QCOMPARE(import(), 2);
    QCOMPARE(gradi.letture(), 1);
}

// A file mounted over the rank list sends no event about it; the next
// import must answer from the file now under the name, and one with the
// file as it was must not read it again.
void TestCercaGrado::testFileMountedOverIsSeenAtTheNextImport()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capo\r\n"));
    QVERIFY(dir.write("Altri.txt", "Membro\r\n"));
    QProcess child;
    child.start(QStringLiteral(QUADRIVO_CHILD), {QStringLiteral("mountrank"), QStringLiteral("Altri.txt"),
                                                 QStringLiteral("Capo"), QStringLiteral("Membro")});
    QVERIFY(child.waitForFinished(30000));
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 77)
        QSKIP("no file can be mounted here");
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, child.readAllStandardError());

    const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QByteArray("Capo=1 Membro=0 letture=1"));
    QCOMPARE(lines[2], QByteArray("Capo=0 Membro=1")); // the file under the name
    QCOMPARE(lines[1], QByteArray("Capo=0 Membro=1 letture=2"));
}

QTEST_GUILESS_MAIN(TestCercaGrado)
#include "tst_cercagrado.moc"
