// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "core/Failure.h"
#include "import/TextFile.h"
#include "support/CodePage.h"
#include "support/TempWorkDir.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <cerrno>

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void testDecode_data();
    void testDecode();
    void testReadKeepsLineEnds();
    void testReadWholeFile_data();
    void testReadWholeFile();
    void testReadFailure_data();
    void testReadFailure();
    void testWriteReplacesFile();
    void testWriteFailure_data();
    void testWriteFailure();
    void testRefusedWriteKeepsOldFile_data();
    void testRefusedWriteKeepsOldFile();
};

void TestTextFile::testDecode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ascii") << QByteArray("Capo\r\n") << QStringLiteral("Capo\r\n");
    QTest::newRow("utf-8") << QByteArray("\xC3\xA8 \xE2\x82\xAC") << QStringLiteral("è €");
    QTest::newRow("windows-1252 accents") << QByteArray("Capit\xE0 \xC8 \x80") << QStringLiteral("Capità È €");
    QTest::newRow("windows-1252 high block") << QByteArray("\x82\x8A\x92\x96\x99\x9F") << QStringLiteral("‚Š’–™Ÿ");
    QTest::newRow("unassigned bytes as latin-1")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("latin-1 upper half") << QByteArray("\xA0\xFF") << QStringLiteral("\u00A0ÿ");
    QTest::newRow("a bad byte makes the whole text windows-1252")
        << QByteArray("\xE8t\xC3\xA8") << QStringLiteral("ètÃ¨");
    QTest::newRow("a sequence cut short at the end") << QByteArray("\xC3\xA8\xE8") << QStringLiteral("Ã¨è");
}

void TestTextFile::testDecode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    if (QTest::currentDataTag() == QLatin1String("utf-8") && !systemCodePageIsUtf8())
        QSKIP("the system's code page is not UTF-8 here");
    QCOMPARE(decodeText(bytes), text);
}

void TestTextFile::testReadKeepsLineEnds()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capitano\r\nGran Sacerdote \xE8\r\n"));
    QCOMPARE(readTextFile("Gradi.txt"), QStringLiteral("Capitano\r\nGran Sacerdote è\r\n"));
}

void TestTextFile::testReadWholeFile_data()
{
    // Sizes around the steps in which the file is read, so that a byte lost
    // or read twice at a step shows.
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("name");
    for (const int size : {0, 1, 4095, 4096, 4097, 8192, 100003})
        QTest::addRow("%d bytes", size) << size << QStringLiteral("Gradi.txt");
    QTest::newRow("accented file name") << 5000 << QStringLiteral("Gradì è.txt");
}

void TestTextFile::testReadWholeFile()
{
    QFETCH(int, size);
    QFETCH(QString, name);
    QByteArray bytes;
    bytes.reserve(size);
    for (int i = 0; i < size; ++i)
        bytes += i % 23 == 22 ? '\n' : char('a' + (i / 23) % 26);
    TempWorkDir dir;
    QVERIFY(dir.write(name, bytes));
    QCOMPARE(readTextFile(name), QString::fromLatin1(bytes));
}

void TestTextFile::testReadFailure_data()
{
    QTest::addColumn<bool>("makeFolder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << false << "non trovato";
    QTest::newRow("a folder of that name") << true << "cartella";
}

void TestTextFile::testReadFailure()
{
    QFETCH(bool, makeFolder);
    QFETCH(QString, reason);
    TempWorkDir dir;
    if (makeFolder)
        QVERIFY(QDir().mkdir("Gradi.txt"));
    try {
        readTextFile("Gradi.txt");
        QFAIL("no UserError");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains("«Gradi.txt»"), qPrintable(error.message()));
        QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
    }
}

void TestTextFile::testWriteReplacesFile()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Esempio1.txt", "a much longer old content\r\n"));
    writeTextFile("Esempio1.txt", "1 A\r\n2 B\r\n");
    // No line-end translation, no byte order mark, the old tail gone.
    QCOMPARE(dir.read("Esempio1.txt"), QByteArray("1 A\r\n2 B\r\n"));

    const QString accented = QStringLiteral("Èmulo Capità €\r\n");
    writeTextFile("Esempio1.txt", accented);
    QCOMPARE(readTextFile("Esempio1.txt"), accented);
}

void TestTextFile::testWriteFailure_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder of that name") << "Esempio1.txt"
                                           << "cartella, non un file";
    QTest::newRow("missing folder") << "nessuna/Esempio1.txt"
                                    << "non esiste";
}

void TestTextFile::testWriteFailure()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    TempWorkDir dir;
    QVERIFY(QDir().mkdir("Esempio1.txt"));
    try {
        writeTextFile(path, "x\r\n");
        QFAIL("no UserError");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains(QDir::toNativeSeparators(path)), qPrintable(error.message()));
        QVERIFY2(error.message().startsWith("Impossibile scrivere"), qPrintable(error.message()));
        QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
    }
}

void TestTextFile::testRefusedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file size limit") << "limit" << qt_error_string(EFBIG);
    QTest::newRow("full disk") << "full"
                               << "spazio esaurito sul dispositivo";
}

// The system takes part of the new text and refuses the rest: the old list
// must survive whole, nothing else be left in the folder, and the message
// say why.
void TestTextFile::testRefusedWriteKeepsOldFile()
{
    QFETCH(QString, way);
    QFETCH(QString, reason);
    TempWorkDir dir;
    QVERIFY(QDir().mkdir("disco"));
    const QString path = dir.filePath("disco/Esempio1.txt");
    const QByteArray old = "1 Vecchio  Capo 10 [1:1:1] 01.12.2026\r\n";
    QProcess child;
    child.start(QStringLiteral(QUADRIVO_CHILD), {QStringLiteral("save"), way, path, QString::fromLatin1(old)});
    QVERIFY(child.waitForFinished(30000));
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 77)
        QSKIP("no file system of its own can be mounted here");
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, child.readAllStandardError());

    const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    QCOMPARE(lines.size(), 4);
    const QString message = QString::fromUtf8(lines[0]);
    const QByteArray kept = QByteArray::fromHex(lines[2]);
    const QString lost = QStringLiteral("%1 bytes left of the old %2, message: %3").arg(kept.size()).arg(old.size());
    QVERIFY2(kept == old, qPrintable(lost.arg(message)));
    QStringList names = QString::fromUtf8(lines[1]).split(u' ');
    names.removeOne(QStringLiteral("riempitivo"));
    QCOMPARE(names, QStringList{QStringLiteral("Esempio1.txt")});
    QCOMPARE(message, QStringLiteral("Impossibile scrivere il file «%1»: %2. Il file precedente è rimasto com'era.")
                          .arg(QDir::toNativeSeparators(path), reason));
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
