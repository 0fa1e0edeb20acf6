// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "core/Failure.h"
#include "store/CopiaGiornaliera.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/SqlConnection.h"
#include "support/Seed.h"
#include "support/TempWorkDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QTemporaryDir>
#include <QTest>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

Member member(int valid, const QString &nick, const QString &madre, QVariant punti1 = {}, QVariant punti2 = {})
{
    return Member{valid, nick, madre, QStringLiteral("Membro"), punti1, punti2, {}, {}};
}

// Every record of the member table, as the import reads it.
void openAll(DataControl &data)
{
    data.setDatabaseName(Membri::fileName());
    data.setRecordSource(Membri::selectAll());
    data.Refresh();
}

QByteArray validDatabaseWithoutMembri(const QString &path)
{
    // A genuine SQLite file that holds some other table.
    SQLite::Database(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
        .exec("CREATE TABLE Clienti (Nome TEXT)");
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class TestDataControl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testCreatesTableAtFirstStart();
    void testNewRecordTakesTableDefaults();
    void testForeignFileIsNeverModified_data();
    void testForeignFileIsNeverModified();
    void testMissingFileIsNotCreatedByRefresh();
    void testUnsortedStatementKeepsInsertionOrder();
    void testUpdateIsSavedAtOnce();
    void testExclusiveOnlyWhileNoOtherConnectionHasTheFile();
    void testFindFirstMatchesValuesLiterally_data();
    void testFindFirstMatchesValuesLiterally();
    void testFindFirstFollowsSavedChanges();
    void testFindFirstTellsApartKeysThatHashAlike_data();
    void testFindFirstTellsApartKeysThatHashAlike();
    void testTextsAreStoredAsTheyStand_data();
    void testTextsAreStoredAsTheyStand();
    void testScoreTextIsConvertedUnderLocale();
    void testUnreadableScoreNamesTheValue();
    void testRejectedUpdateChangesNothing();
    void testManyRecordsComeBackAsStored();
    void testDailyCopyIsTakenOnceAndTheNewestTenKept();

private:
    std::unique_ptr<TempWorkDir> m_dir;
};

void TestDataControl::init()
{
    m_dir = std::make_unique<TempWorkDir>();
    QVERIFY(m_dir->isValid());
}

void TestDataControl::cleanup()
{
    m_dir.reset();
}

void TestDataControl::testCreatesTableAtFirstStart()
{
    QVERIFY(!QFile::exists(Membri::fileName()));
    Membri::createIfMissing(Membri::fileName());
    QVERIFY(QFile::exists(Membri::fileName()));
    QVERIFY(!QFile::exists(Membri::fileName() + QStringLiteral(".nuovo")));

    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();
    QVERIFY(rs.Eof());
    QCOMPARE(rs.FieldCount(), 8);
    const QStringList expected = {"Valid", "Nick", "Madre", "Grado", "Punti1", "Punti2", "Per", "Diff"};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(rs.FieldName(i), expected[i]);

    // A second start leaves the file and its records alone.
    QVERIFY(execSql(QStringLiteral("INSERT INTO Membri (Nick) VALUES ('Lupo')")));
    Membri::createIfMissing(Membri::fileName());
    QCOMPARE(readMembers().size(), 1);
}

void TestDataControl::testNewRecordTakesTableDefaults()
{
    Membri::createIfMissing(Membri::fileName());
    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();
    rs.AddNew();
    rs.setField(Membri::Nick, QStringLiteral("Birba"));
    rs.setField(Membri::Punti2, QStringLiteral("3100"));
    rs.Update();

    // Valid defaults to 1 and the number fields to Null: a newcomer of a
    // final import is current and has no initial score.
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][Membri::Valid].toInt(), 1);
    QVERIFY(!rows[0][Membri::Punti1].isValid());
    QCOMPARE(rows[0][Membri::Punti2].toInt(), 3100);
    QVERIFY(!rows[0][Membri::Per].isValid());
    QVERIFY(!rows[0][Membri::Diff].isValid());

    // The record set holds the new record as saved, at its end.
    QCOMPARE(rs.RecordCount(), 1);
    rs.MoveFirst();
    QCOMPARE(rs.Field(Membri::Valid).toInt(), 1);
    QCOMPARE(rs.Field(Membri::Nick).toString(), QStringLiteral("Birba"));
}

void TestDataControl::testForeignFileIsNeverModified_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("says");

    QByteArray random(4096, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    QTest::newRow("text file") << QByteArray("Questo non è un database.\r\n") << QString();
    QTest::newRow("random bytes") << random << QString();
    QTest::newRow("empty file") << QByteArray() << QString();
    // QtTest runs this before init(), so the files are made in a folder of
    // their own.
    const QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QTest::newRow("database without Membri")
        << validDatabaseWithoutMembri(folder.filePath(QStringLiteral("other.db"))) << QString();

    const QString fullPath = folder.filePath(QStringLiteral("full.db"));
    Membri::createIfMissing(fullPath);
    QFile full(fullPath);
    full.open(QIODevice::ReadOnly);
    QTest::newRow("truncated database") << full.readAll().left(1000) << QString();

    // An Access file gets its own message, whichever engine wrote it.
    QByteArray jet(2048, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    QByteArray ace = jet;
    ace.replace(4, 15, "Standard ACE DB");
    QTest::newRow("Access file (Jet)") << jet << QStringLiteral("Microsoft Access");
    QTest::newRow("Access file (ACE)") << ace << QStringLiteral("Microsoft Access");
}

void TestDataControl::testForeignFileIsNeverModified()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, says);
    QVERIFY(m_dir->write(Membri::fileName(), content));

    Membri::createIfMissing(Membri::fileName());
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    data.setRecordSource(Membri::selectAll());
    try {
        data.Refresh();
        QFAIL("a foreign file was accepted as the member table");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains(Membri::fileName()), qPrintable(error.message()));
        QVERIFY2(error.message().contains(says), qPrintable(error.message()));
        QCOMPARE(error.message().contains(QStringLiteral("Microsoft Access")), !says.isEmpty());
    }
    // A later command reports it again.
    QVERIFY_THROWS_EXCEPTION(UserError, data.Refresh());
    data.close();

    QCOMPARE(m_dir->read(Membri::fileName()), content);
    const QStringList left = QDir().entryList(QDir::Files);
    QVERIFY2(!left.join(u' ').contains(QStringLiteral("Quadrivo.mdb-")), qPrintable(left.join(u' ')));
}

void TestDataControl::testMissingFileIsNotCreatedByRefresh()
{
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    data.setRecordSource(Membri::selectAll());
    QVERIFY_THROWS_EXCEPTION(UserError, data.Refresh());
    QVERIFY(!QFile::exists(Membri::fileName()));
}

void TestDataControl::testUnsortedStatementKeepsInsertionOrder()
{
    QVERIFY(seedMembers({member(1, "Zeta", "[1:1:1]"), member(0, "Alfa", "[2:2:2]"), member(1, "Mu", "[3:3:3]")}));
    QVERIFY(execSql(QStringLiteral("UPDATE Membri SET Nick='Zeta2' WHERE Nick='Zeta'")));

    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();
    QStringList nicks;
    for (; !rs.Eof(); rs.MoveNext())
        nicks << rs.Field(Membri::Nick).toString();
    QCOMPARE(nicks, QStringList({"Zeta2", "Alfa", "Mu"}));
}

void TestDataControl::testUpdateIsSavedAtOnce()
{
    QVERIFY(seedMembers({member(1, "Lupo", "[1:1:1]", 100), member(1, "Orso", "[2:2:2]", 200)}));
    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();
    rs.MoveNext();
    rs.Edit();
    rs.setField(Membri::Punti2, 250);
    rs.setField(Membri::Per, 25.0);
    rs.Update();

    // Another connection sees the change while this one is still open.
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows[1][Membri::Punti2].toInt(), 250);
    QCOMPARE(rows[1][Membri::Per].toDouble(), 25.0);
    QVERIFY(!rows[0][Membri::Punti2].isValid());
    QCOMPARE(rs.Field(Membri::Punti2).toInt(), 250);
}

void TestDataControl::testExclusiveOnlyWhileNoOtherConnectionHasTheFile()
{
    QVERIFY(seedMembers({member(1, "Lupo", "[1:1:1]", 100)}));
    const auto save = [](DataControl &data, int punti2) {
        RecordSet &rs = data.Recordset();
        rs.Edit();
        rs.setField(Membri::Punti2, punti2);
        rs.Update();
    };
    {
        // Another connection has read the file: it is shared, and a save is
        // seen there at once.
        SqlConnection other(Membri::fileName(), SqlConnection::Existing);
        QCOMPARE(other.database().execAndGet("SELECT COUNT(*) FROM Membri").getInt(), 1);
        DataControl data;
        data.setExclusive(true);
        openAll(data);
        QVERIFY(!data.exclusive());
        save(data, 150);
        QCOMPARE(other.database().execAndGet("SELECT Punti2 FROM Membri").getInt(), 150);
    }

    DataControl data;
    data.setExclusive(true);
    openAll(data);
    QVERIFY(data.exclusive());
    save(data, 175);
    // Held alone, the file cannot be read by anyone else until it closes.
    const auto outsiderReads = [] {
        try {
            SQLite::Database db(Membri::fileName().toStdString(), SQLite::OPEN_READWRITE, 1);
            return db.execAndGet("SELECT Punti2 FROM Membri").getInt() == 175;
        } catch (const SQLite::Exception &) {
            return false;
        }
    };
    QVERIFY(!outsiderReads());
    data.close();
    QVERIFY(outsiderReads());
}

void TestDataControl::testFindFirstMatchesValuesLiterally_data()
{
    QTest::addColumn<QString>("madre");
    QTest::newRow("apostrophe") << "[1:2:3]'";
    QTest::newRow("quote") << "\"[1:2:3]\"";
    QTest::newRow("percent") << "%";
    QTest::newRow("underscore") << "[1_2:3]";
    QTest::newRow("backslash") << "[1\\2:3]";
    QTest::newRow("sql") << "x' OR Valid=1 OR Madre='";
}

void TestDataControl::testFindFirstMatchesValuesLiterally()
{
    QFETCH(QString, madre);
    QVERIFY(seedMembers({member(1, "Primo", "[1:2:3]"), member(1, "Altro", "[1x2:3]"), member(1, "Giusto", madre)}));
    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();

    rs.FindFirst({{QStringLiteral("Madre"), madre}, {QStringLiteral("Valid"), 1}});
    QVERIFY(!rs.NoMatch());
    QCOMPARE(rs.Field(Membri::Nick).toString(), QStringLiteral("Giusto"));

    rs.FindFirst({{QStringLiteral("Madre"), madre + QStringLiteral("x")}, {QStringLiteral("Valid"), 1}});
    QVERIFY(rs.NoMatch());
    rs.FindFirst({{QStringLiteral("Madre"), madre}, {QStringLiteral("Valid"), 0}});
    QVERIFY(rs.NoMatch());
}

void TestDataControl::testFindFirstFollowsSavedChanges()
{
    QVERIFY(seedMembers({member(1, "A", "[1]"), member(0, "B", "[2]"), member(1, "C", "[3]"), member(0, "D", "[4]")}));
    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();

    const std::vector<Criterion> free = {{QStringLiteral("Valid"), 0}};
    rs.FindFirst(free);
    QVERIFY(!rs.NoMatch());
    QCOMPARE(rs.Field(Membri::Nick).toString(), QStringLiteral("B"));
    rs.Edit();
    rs.setField(Membri::Valid, 1);
    rs.Update();

    // The record taken over is no longer free; the next free one is found.
    rs.FindFirst(free);
    QCOMPARE(rs.Field(Membri::Nick).toString(), QStringLiteral("D"));
    rs.Edit();
    rs.setField(Membri::Valid, 1);
    rs.setField(Membri::Madre, QStringLiteral("[9]"));
    rs.Update();
    rs.FindFirst(free);
    QVERIFY(rs.NoMatch());

    // A changed key is found under its new value only.
    rs.FindFirst({{QStringLiteral("Madre"), QStringLiteral("[4]")}, {QStringLiteral("Valid"), 1}});
    QVERIFY(rs.NoMatch());
    rs.FindFirst({{QStringLiteral("Madre"), QStringLiteral("[9]")}, {QStringLiteral("Valid"), 1}});
    QCOMPARE(rs.Field(Membri::Nick).toString(), QStringLiteral("D"));

    // A record freed again is found first, in record-set order.
    rs.FindFirst({{QStringLiteral("Madre"), QStringLiteral("[3]")}, {QStringLiteral("Valid"), 1}});
    rs.Edit();
    rs.setField(Membri::Valid, 0);
    rs.Update();
    rs.FindFirst(free);
    QCOMPARE(rs.Field(Membri::Nick).toString(), QStringLiteral("C"));

    // An appended record can be found at once; Null is never equal.
    rs.AddNew();
    rs.setField(Membri::Madre, QStringLiteral("[5]"));
    rs.Update();
    rs.FindFirst({{QStringLiteral("Madre"), QStringLiteral("[5]")}, {QStringLiteral("Valid"), 1}});
    QVERIFY(!rs.NoMatch());
    rs.FindFirst({{QStringLiteral("Punti1"), QVariant()}});
    QVERIFY(rs.NoMatch());
}

void TestDataControl::testFindFirstTellsApartKeysThatHashAlike_data()
{
    QTest::addColumn<QString>("moving");
    QTest::addColumn<QString>("staying");
    QTest::newRow("the real moves") << "Reale"
                                    << "Intero";
    QTest::newRow("the whole number moves") << "Intero"
                                            << "Reale";
}

// A real and the whole number made of its bits hash alike in Qt 6, so the
// search indexes file them together: each must still be found as itself,
// also once the other has moved to another value.
void TestDataControl::testFindFirstTellsApartKeysThatHashAlike()
{
    QFETCH(QString, moving);
    QFETCH(QString, staying);
    const double real = 2.5;
    qint64 bits = 0;
    std::memcpy(&bits, &real, sizeof real);
    if (qHash(real) != qHash(bits))
        QSKIP("This Qt hashes the two apart: there is nothing to tell apart.");
    const QVariant value[] = {real, qlonglong(bits)};
    QVERIFY(seedMembers(
        {member(1, "Reale", "[1]", value[0]), member(1, "Intero", "[2]", value[1]), member(1, "Altro", "[3]", 7)}));
    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();
    const auto found = [&rs](const QVariant &punti1) {
        rs.FindFirst({{QStringLiteral("Punti1"), punti1}});
        return rs.NoMatch() ? QString() : rs.Field(Membri::Nick).toString();
    };
    QCOMPARE(found(value[0]), QStringLiteral("Reale"));
    QCOMPARE(found(value[1]), QStringLiteral("Intero"));

    const QVariant &left = value[moving == u"Reale" ? 0 : 1];
    const QVariant &kept = value[moving == u"Reale" ? 1 : 0];
    QCOMPARE(found(left), moving);
    rs.Edit();
    rs.setField(Membri::Punti1, 7);
    rs.Update();
    QCOMPARE(found(left), QString());
    QCOMPARE(found(kept), staying);
    QCOMPARE(found(7), moving == u"Reale" ? QStringLiteral("Reale") : QStringLiteral("Intero"));
}

void TestDataControl::testTextsAreStoredAsTheyStand_data()
{
    // Characters that SQLite could take for a byte order mark at the start
    // of a text, and the ones it cannot give back, which are kept as U+FFFD
    // from the start so that the record set and the table agree.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    const QString lupo = QStringLiteral("Lupo");
    const QChar mark(0xFEFF), swapped(0xFFFE), replacement(QChar::ReplacementCharacter);
    QTest::newRow("mark first") << mark + lupo << mark + lupo;
    QTest::newRow("mark alone") << QString(mark) << QString(mark);
    QTest::newRow("mark inside") << QStringLiteral("Lu") + mark + QStringLiteral("po")
                                 << QStringLiteral("Lu") + mark + QStringLiteral("po");
    QTest::newRow("swapped mark first") << swapped + lupo << replacement + lupo;
    QTest::newRow("two marks first") << QString(mark) + swapped + lupo << QString(mark) + replacement + lupo;
    QTest::newRow("U+FFFF inside") << lupo + QChar(0xFFFF) << lupo + replacement;
    QTest::newRow("lone high surrogate") << QChar(0xD83D) + lupo << replacement + lupo;
    QTest::newRow("lone low surrogate") << lupo + QChar(0xDE00) << lupo + replacement;
    QTest::newRow("surrogate pair") << lupo + QChar(0xD83D) + QChar(0xDE00) << lupo + QChar(0xD83D) + QChar(0xDE00);
}

void TestDataControl::testTextsAreStoredAsTheyStand()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QVERIFY(seedMembers({member(1, "Orso", "[2:2:2]", 200)}));
    {
        DataControl data;
        openAll(data);
        RecordSet &rs = data.Recordset();
        rs.Edit();
        rs.setField(Membri::Nick, text);
        rs.Update();
        rs.AddNew();
        rs.setField(Membri::Nick, QStringLiteral("Nuovo"));
        rs.setField(Membri::Madre, text);
        rs.Update();
        // What was saved can be found under the value it was given.
        rs.FindFirst({{QStringLiteral("Madre"), text}, {QStringLiteral("Valid"), 1}});
        QVERIFY(!rs.NoMatch());
        QCOMPARE(rs.Field(Membri::Madre).toString(), stored);
    }

    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][Membri::Nick].toString(), stored);
    QCOMPARE(rows[1][Membri::Madre].toString(), stored);

    // A later session finds the record under the same value.
    DataControl again;
    openAll(again);
    again.Recordset().FindFirst({{QStringLiteral("Madre"), text}, {QStringLiteral("Valid"), 1}});
    QVERIFY(!again.Recordset().NoMatch());
    QCOMPARE(again.Recordset().Field(Membri::Nick).toString(), QStringLiteral("Nuovo"));
}

void TestDataControl::testScoreTextIsConvertedUnderLocale()
{
    Membri::createIfMissing(Membri::fileName());
    DataControl data(QLocale(QLocale::Italian, QLocale::Italy));
    openAll(data);
    RecordSet &rs = data.Recordset();
    rs.AddNew();
    rs.setField(Membri::Punti1, QStringLiteral("45.210"));
    rs.setField(Membri::Punti2, QStringLiteral("-1.234.567"));
    rs.Update();

    DataControl english(QLocale(QLocale::English, QLocale::UnitedStates));
    openAll(english);
    english.Recordset().AddNew();
    english.Recordset().setField(Membri::Punti1, QStringLiteral("45,210"));
    english.Recordset().Update();

    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows[0][Membri::Punti1].toLongLong(), 45210);
    QCOMPARE(rows[0][Membri::Punti2].toLongLong(), -1234567);
    QCOMPARE(rows[1][Membri::Punti1].toLongLong(), 45210);
}

void TestDataControl::testUnreadableScoreNamesTheValue()
{
    Membri::createIfMissing(Membri::fileName());
    DataControl data(QLocale(QLocale::English, QLocale::UnitedStates));
    openAll(data);
    RecordSet &rs = data.Recordset();
    rs.AddNew();
    for (const QString &bad : {QStringLiteral("45.210"), QStringLiteral("3000000000"), QStringLiteral("Flotta")}) {
        try {
            rs.setField(Membri::Punti1, bad);
            QFAIL("an unreadable score was accepted");
        } catch (const UserError &error) {
            QVERIFY2(error.message().contains(bad), qPrintable(error.message()));
        }
    }
}

void TestDataControl::testRejectedUpdateChangesNothing()
{
    QVERIFY(seedMembers({member(1, "Lupo", "[1]", 100)}));
    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();
    rs.Edit();
    rs.setField(Membri::Nick, QStringLiteral("Cambiato"));
    rs.setField(Membri::Valid, 2); // refused by the table
    QVERIFY_THROWS_EXCEPTION(UserError, rs.Update());
    QVERIFY(!rs.Editing());
    QCOMPARE(rs.Field(Membri::Nick).toString(), QStringLiteral("Lupo"));
    QCOMPARE(readMembers()[0][Membri::Nick].toString(), QStringLiteral("Lupo"));
    // An edit dropped by a move is not saved later.
    rs.Edit();
    rs.setField(Membri::Nick, QStringLiteral("Perso"));
    rs.MoveNext();
    QVERIFY_THROWS_EXCEPTION(UserError, rs.Update());
    QCOMPARE(readMembers()[0][Membri::Nick].toString(), QStringLiteral("Lupo"));
}

// The day's copy holds the file as it was before the day's first change,
// read through a connection that holds the file alone, and a later change
// that day leaves it as it is; a new day's copy removes the oldest beyond
// ten, and nothing else in the folder.
void TestDataControl::testManyRecordsComeBackAsStored()
{
    // Enough records and texts to fill many of the record set's blocks:
    // nicknames of every length up to a long one, ranks that repeat and
    // then stop repeating, an empty text beside Null, a blob, reals.
    QList<Member> members;
    for (int i = 0; i < 3000; ++i) {
        const QString nick = i == 1500 ? QString(10000, u'z') : QString(i % 41, QChar(u'a' + i % 26));
        const QString grado = i < 1000 ? QStringLiteral("Membro %1").arg(i % 3) : QStringLiteral("Grado %1").arg(i);
        members << Member{i % 2, nick, QStringLiteral("[%1]").arg(i), grado, i, i * 7, i / 3.0, QVariant()};
    }
    members[7].Nick = QVariant();
    QVERIFY(seedMembers(members));
    QVERIFY(execSql(QStringLiteral("UPDATE Membri SET Grado = X'00FF' WHERE rowid = 9")));
    const QList<QVariantList> stored = readMembers();

    DataControl data;
    openAll(data);
    RecordSet &rs = data.Recordset();
    const auto compareAll = [&](const QList<QVariantList> &expected) {
        rs.MoveFirst();
        for (const QVariantList &row : expected) {
            QVERIFY(!rs.Eof());
            for (int f = 0; f < 8; ++f) {
                QCOMPARE(rs.Field(f).typeId(), row[f].typeId());
                QCOMPARE(rs.Field(f), row[f]);
            }
            rs.MoveNext();
        }
        QVERIFY(rs.Eof());
    };
    compareAll(stored);
    QVERIFY(stored[7][Membri::Nick].isNull() && !stored[0][Membri::Nick].isNull());

    // Saved again, a record takes its new texts and keeps the others; the
    // search finds it by the new ones only.
    rs.FindFirst({{QStringLiteral("Madre"), QStringLiteral("[1500]")}});
    QVERIFY(!rs.NoMatch());
    rs.Edit();
    rs.setField(Membri::Nick, QString(10000, u'y'));
    rs.setField(Membri::Grado, QStringLiteral("Membro 1"));
    rs.Update();
    rs.FindFirst({{QStringLiteral("Nick"), QString(10000, u'z')}});
    QVERIFY(rs.NoMatch());
    rs.FindFirst(
        {{QStringLiteral("Nick"), QString(10000, u'y')}, {QStringLiteral("Grado"), QStringLiteral("Membro 1")}});
    QVERIFY(!rs.NoMatch());
    QCOMPARE(rs.Field(Membri::Madre).toString(), QStringLiteral("[1500]"));
    compareAll(readMembers());
}

void TestDataControl::testDailyCopyIsTakenOnceAndTheNewestTenKept()
{
    QVERIFY(seedMembers({member(1, "A", "[1]", 100)}));
    const QDate today = QDate::currentDate();
    const QString copy = QStringLiteral("Copie/Quadrivo-%1.mdb").arg(today.toString(Qt::ISODate));
    for (int change = 1; change <= 2; ++change) {
        {
            DataControl data;
            data.setExclusive(change == 1);
            openAll(data);
            QCOMPARE(data.exclusive(), change == 1);
            data.checkWritable();
            QCOMPARE(data.takeCopyWarning(), QString());
            QCOMPARE(QDir(QStringLiteral("Copie")).entryList(QDir::Files), QStringList{QFileInfo(copy).fileName()});
        }
        QCOMPARE(queryValue(QStringLiteral("SELECT Punti1 FROM Membri"), copy).toInt(), 100);
        QVERIFY(execSql(QStringLiteral("UPDATE Membri SET Punti1 = %1").arg(100 + change)));
    }
    QCOMPARE(queryValue(QStringLiteral("PRAGMA integrity_check"), copy).toString(), QStringLiteral("ok"));

    QVERIFY(m_dir->write(QStringLiteral("Copie/appunti.txt"), "x"));
    QVERIFY(m_dir->write(QStringLiteral("Copie/Quadrivo-vecchia.mdb"), "x"));
    SQLite::Database db(Membri::fileName().toStdString(), SQLite::OPEN_READWRITE);
    for (int day = 1; day <= 10; ++day) {
        QCOMPARE(CopiaGiornaliera::copiaDelGiorno(db, Membri::fileName(), today.addDays(day)), QString());
        const QList<CopiaGiornaliera::Copia> copie = CopiaGiornaliera::copieDatate(Membri::fileName());
        QCOMPARE(copie.size(), std::min(day + 1, 10));
        QCOMPARE(copie.first().giorno, today.addDays(std::max(0, day - 9)));
        QCOMPARE(copie.last().giorno, today.addDays(day));
    }
    QVERIFY(!QFile::exists(copy));
    QCOMPARE(QDir(QStringLiteral("Copie")).entryList(QDir::Files).size(), 12);
}

QTEST_GUILESS_MAIN(TestDataControl)
#include "tst_datacontrol.moc"
