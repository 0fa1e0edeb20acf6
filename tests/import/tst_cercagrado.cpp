// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "core/Failure.h"
#include "import/CercaGrado.h"
#include "import/TextFile.h"
#include "support/TempWorkDir.h"

#include <QDir>
#include <QTest>

class TestCercaGrado : public QObject
{
    Q_OBJECT

private slots:
    void testLookup_data();
    void testLookup();
    void testReplacedFileIsSeen();
    void testUnreadableFile_data();
    void testUnreadableFile();
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
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", file));
    QCOMPARE(CercaGrado(phrase), found);
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
    try {
        CercaGrado("Capo", path);
        QFAIL("no UserError");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains(u'«' + path + u'»'), qPrintable(error.message()));
    }
}

QTEST_GUILESS_MAIN(TestCercaGrado)
#include "tst_cercagrado.moc"
