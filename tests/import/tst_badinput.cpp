// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// Whatever is pasted: no crash, no hang, a clear message where a line
// cannot be cut, and the lines saved before it intact.
#include "import/Importazione.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "support/Seed.h"
#include "support/TempWorkDir.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>

namespace {

const QString goodLines = QStringLiteral("1 Primo  Capo 100 [1:1:1] x\r\n2 Secondo  Vice Comandante 200 [2:2:2] x\r\n");

bool knownRank(const QString &phrase)
{
    return phrase.compare(QLatin1String("capo"), Qt::CaseInsensitive) == 0
           || phrase.compare(QLatin1String("vice comandante"), Qt::CaseInsensitive) == 0;
}

QString garbage(qsizetype size, quint32 seed, bool binary)
{
    QRandomGenerator random(seed);
    QString text(size, Qt::Uninitialized);
    for (QChar &c : text)
        c = binary ? QChar(ushort(random.bounded(0, 0x110))) : QChar(ushort(random.bounded(0x20, 0x7f)));
    return text;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testNothingCrashesAndEarlierLinesStay_data();
    void testNothingCrashesAndEarlierLinesStay();
    void testSpecialCharactersInEveryFieldAreKept_data();
    void testSpecialCharactersInEveryFieldAreKept();

private:
    std::unique_ptr<TempWorkDir> m_dir;
};

void TestBadInput::init()
{
    m_dir = std::make_unique<TempWorkDir>();
    QVERIFY(m_dir->isValid());
    Membri::createIfMissing(Membri::fileName());
}

void TestBadInput::cleanup()
{
    m_dir.reset();
}

void TestBadInput::testNothingCrashesAndEarlierLinesStay_data()
{
    QTest::addColumn<QString>("tail");

    QString lines;
    for (int i = 0; lines.size() < 1024 * 1024; ++i)
        lines += QStringLiteral("%1 Nick %1  Capo %1 [%1] x\r\n").arg(i + 3);
    QTest::newRow("1 MB of member lines") << lines;
    QTest::newRow("10 MB of printable garbage") << garbage(10 * 1024 * 1024, 1, false);
    QTest::newRow("binary garbage with NULs") << garbage(1024 * 1024, 2, true) + QStringLiteral("\r\n");
    QTest::newRow("100,000-character line")
        << QStringLiteral("3 ") + QString(100000, u'x') + QStringLiteral("  Capo 5 [3] x\r\n");
    QTest::newRow("100,000 characters without separators") << QString(100000, u'y') + QStringLiteral("\r\n");
    QTest::newRow("only spaces") << QString(50000, u' ') + QStringLiteral("\r\n") + QString(50000, u' ');
    QTest::newRow("only line breaks") << QStringLiteral("\r\n").repeated(50000);
    QTest::newRow("no line break after many spaces") << QStringLiteral("3 a  b c d ").repeated(100000);
}

void TestBadInput::testNothingCrashesAndEarlierLinesStay()
{
    QFETCH(QString, tail);
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    int saved = 0;
    try {
        saved = importaPalmeria(data, goodLines + tail, 1, knownRank, QLocale::c());
    } catch (const ImportError &error) {
        saved = error.savedLines();
        QVERIFY(error.message().startsWith(QStringLiteral("Riga %1 ").arg(saved + 1)));
        // The line is shown shortened, never whole.
        QVERIFY(error.message().size() < 1000);
    }
    QVERIFY(saved >= 2);
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), saved);
    QCOMPARE(rows[0], (QVariantList{1, "Primo", "[1:1:1]", "Capo", 100, {}, {}, {}}));
    QCOMPARE(rows[1], (QVariantList{1, "Secondo", "[2:2:2]", "Vice Comandante", 200, {}, {}, {}}));
}

void TestBadInput::testSpecialCharactersInEveryFieldAreKept_data()
{
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("grado");
    QTest::addColumn<QString>("madre");

    QTest::newRow("apostrophes") << "D'Artagnan l'Ardito"
                                 << "Capo"
                                 << "[1:'2':3]";
    QTest::newRow("quotes") << "\"Il\" Lupo"
                            << "Capo"
                            << "\"[1:2:3]\"";
    QTest::newRow("percent and underscore") << "100% _Forte_"
                                            << "Capo"
                                            << "[%:_:%]";
    QTest::newRow("backslashes") << "C:\\Lupo\\"
                                 << "Capo"
                                 << "[1\\2\\3]";
    QTest::newRow("right to left") << QString::fromUtf8("ذئب רמי") << "Capo" << QString::fromUtf8("[١:٢:٣]");
    QTest::newRow("combining") << QString::fromUtf8("Lupe\u0301 Cafe\u0301") << "Capo"
                               << QString::fromUtf8("[e\u0301:2:3]");
    QTest::newRow("sql") << "x'); DROP TABLE Membri; --"
                         << "Capo"
                         << "'OR'1'='1";
}

void TestBadInput::testSpecialCharactersInEveryFieldAreKept()
{
    QFETCH(QString, nick);
    QFETCH(QString, grado);
    QFETCH(QString, madre);
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    const QString line = QStringLiteral("1 %1  %2 100 %3 x\r\n").arg(nick, grado, madre);
    QCOMPARE(importaPalmeria(data, line, 1, knownRank, QLocale::c()), 1);
    QCOMPARE(importaPalmeria(data, QStringLiteral("1 %1  %2 150 %3 x\r\n").arg(nick, grado, madre), 2, knownRank,
                             QLocale::c()),
             1);
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0], (QVariantList{1, nick, madre, grado, 100, 150, 50.0, 50}));
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
