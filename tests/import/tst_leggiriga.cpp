// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/CercaGrado.h"
#include "import/LeggiRiga.h"
#include "support/TempWorkDir.h"

#include <QSet>
#include <QTest>

namespace {

// An in-memory rank list that records every question it is asked.
RankLookup listLookup(const QStringList &ranks, QStringList *asked = nullptr)
{
    return [ranks, asked](const QString &phrase) {
        if (asked)
            asked->append(phrase);
        for (const QString &rank : ranks) {
            if (rank.toLower() == phrase.toLower())
                return true;
        }
        return false;
    };
}

QString fields(const RigaMembro &riga)
{
    return riga.Nick + u'|' + riga.Grado + u'|' + riga.Punti + u'|' + riga.Madre;
}

} // namespace

class TestLeggiRiga : public QObject
{
    Q_OBJECT

private slots:
    void testOneLine_data();
    void testOneLine();
    void testWholeText_data();
    void testWholeText();
    void testError_data();
    void testError();
    void testLineExcerpt_data();
    void testLineExcerpt();
    void testLongList();
    void testWithRankFile();
};

void TestLeggiRiga::testOneLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("ranks");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("rest");

    const QStringList ranks = {"Capo", "Vice Comandante"};
    const QStringList capo = {"Capo"};
    const QStringList fourQuestions = {"A", "A B", "A B C", "A B C D"};
    QTest::newRow("worked example")
        << "7 Lupo Grigio  Vice Comandante 45.210 [3:127:9] 12.05.2009\r\n8 Orso  Capo 1 [1] x\r\n"
        << ranks << "Lupo Grigio|Vice Comandante|45.210|[3:127:9]" << QStringList{"Vice", "Vice Comandante"}
        << "8 Orso  Capo 1 [1] x\r\n";
    QTest::newRow("one word, one question") << "1 Orso  capo 100 [1:1:1] x\r\n"
                                            << ranks << "Orso|capo|100|[1:1:1]" << QStringList{"capo"} << "";
    QTest::newRow("shortest listed phrase wins")
        << "1 Orso  Capo Flotta 100 [1:1:1] x\r\n"
        << QStringList{"Capo Flotta", "Capo"} << "Orso|Capo|Flotta|100" << capo << "";
    QTest::newRow("five words taken unasked") << "1 Orso  A B C D E 100 [1] x\r\n"
                                              << ranks << "Orso|A B C D E|100|[1]" << fourQuestions << "";
    QTest::newRow("sixth word becomes the score") << "1 Orso  A B C D E F 100 [1] x\r\n"
                                                  << ranks << "Orso|A B C D E|F|100" << fourQuestions << "";
    QTest::newRow("unlisted rank swallows the next line")
        << "1 Orso  Ignoto 100 [1:1:1] 12.05.2009\r\n2 Lupo  Capo 50 [2:2:2] 13.05.2009\r\n3 Gatto  Capo 7 [3] x\r\n"
        << ranks << "Orso|Ignoto 100 [1:1:1] 12.05.2009\r\n2 Lupo||Capo"
        << QStringList{"Ignoto", "Ignoto 100", "Ignoto 100 [1:1:1]", "Ignoto 100 [1:1:1] 12.05.2009\r\n2"}
        << "3 Gatto  Capo 7 [3] x\r\n";
    QTest::newRow("three spaces after the nickname")
        << "1 Orso   Capo 100 [1] a b c d\r\n"
        << ranks << "Orso| Capo 100 [1] a|b|c" << QStringList{"", " Capo", " Capo 100", " Capo 100 [1]"} << "";
    QTest::newRow("one space after the nickname") << "1 Lupo Capo 100 [1] x\r\n2 Orso  Capo 50 [2] y\r\nz" << ranks
                                                  << "Lupo Capo 100 [1] x\r\n2 Orso|Capo|50|[2]" << capo << "z";
    QTest::newRow("tab is part of a field") << "1\t2 Orso\t  Capo 100\t [1] x\r\n"
                                            << ranks << "Orso\t|Capo|100\t|[1]" << capo << "";
    QTest::newRow("empty line before a member line") << "\r\n1 Orso  Capo 100 [1] x\r\n"
                                                     << ranks << "Orso|Capo|100|[1]" << capo << "";
    QTest::newRow("Madre followed by CR LF") << "1 Orso  Capo 100 [1]\r\n2 Lupo  Capo 50 [2] x\r\n3 Gatto" << ranks
                                             << "Orso|Capo|100|[1]\r\n2" << capo << "3 Gatto";
    QTest::newRow("Madre, one space, CR LF loses a line")
        << "1 Orso  Capo 100 [1] \r\n2 Lupo  Capo 50 [2] x\r\n3 Gatto  Capo 7 [3] x\r\n"
        << ranks << "Orso|Capo|100|[1]" << capo << "3 Gatto  Capo 7 [3] x\r\n";
    const QString longNick(40000, u'n');
    QTest::newRow("a field beyond 32,767 characters") << "1 " + longNick + "  Capo 100 [1] x\r\n"
                                                      << ranks << longNick + "|Capo|100|[1]" << capo << "";
    QTest::newRow("no CR LF left after the fields")
        << "1 Orso  Capo 100 [1]\r\n2 xyz" << ranks << "Orso|Capo|100|[1]\r\n2" << capo << "z";
}

void TestLeggiRiga::testOneLine()
{
    QFETCH(QString, text);
    QFETCH(QStringList, ranks);
    QFETCH(QString, fields);
    QFETCH(QStringList, asked);
    QFETCH(QString, rest);

    QStringList questions;
    qsizetype pos = 0;
    const std::optional<RigaMembro> riga = LeggiRiga(text, pos, listLookup(ranks, &questions), 1);
    QVERIFY(riga);
    QCOMPARE(::fields(*riga), fields);
    QCOMPARE(questions, asked);
    QCOMPARE(text.mid(pos), rest);
}

void TestLeggiRiga::testWholeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("failingLine");

    const QString orso = "1 Orso  Capo 100 [1] x\r\n";
    const QString lupo = "2 Lupo  Capo 50 [2] y";
    const QStringList both = {"Orso|Capo|100|[1]", "Lupo|Capo|50|[2]"};
    QTest::newRow("no CR LF") << "1 Orso  Capo 100 [1] x" << QStringList{} << 0;
    QTest::newRow("last line without CR LF") << orso + lupo << QStringList{both[0]} << 0;
    QTest::newRow("every line ended") << orso + lupo + "\r\n" << both << 0;
    QTest::newRow("empty line between") << orso + "\r\n" + lupo + "\r\n" << both << 0;
    QTest::newRow("ends with an empty line") << orso + lupo + "\r\n\r\n" << both << 3;
    QTest::newRow("nothing left after the fields") << orso + "1 Orso  Capo 100 [1]\r\n2 x" << QStringList{both[0]} << 2;
}

void TestLeggiRiga::testWholeText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(int, failingLine);

    const RankLookup lookup = listLookup({"Capo"});
    QStringList read;
    int number = 1;
    qsizetype pos = 0;
    try {
        for (;; ++number) {
            const std::optional<RigaMembro> riga = LeggiRiga(text, pos, lookup, number);
            if (!riga)
                break;
            read << fields(*riga);
        }
        QCOMPARE(failingLine, 0);
    } catch (const ParseError &error) {
        QCOMPARE(error.lineNumber(), failingLine);
    }
    QCOMPARE(read, lines);
}

void TestLeggiRiga::testError_data()
{
    QTest::addColumn<QString>("bad");
    QTest::addColumn<QString>("excerpt");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no space after the position") << "12345\r\n"
                                                 << "12345"
                                                 << "manca lo spazio dopo la posizione";
    QTest::newRow("no double space") << "3 Rotto Capo 5 [3] x\r\n"
                                     << "3 Rotto Capo 5 [3] x"
                                     << "manca il doppio spazio dopo il nickname";
    QTest::newRow("no space after the rank") << "3 Rotto  Capo\r\n"
                                             << "3 Rotto  Capo"
                                             << "manca lo spazio dopo la parola 1 del grado";
    QTest::newRow("no space after a later rank word") << "3 Rotto  Ignoto Grado\r\n"
                                                      << "3 Rotto  Ignoto Grado"
                                                      << "manca lo spazio dopo la parola 2 del grado";
    QTest::newRow("no space after the score") << "3 Rotto  Capo 5\r\n"
                                              << "3 Rotto  Capo 5"
                                              << "manca lo spazio dopo il punteggio";
    QTest::newRow("no space after Madre") << "3 Rotto  Capo 5 [3]\r\n"
                                          << "3 Rotto  Capo 5 [3]"
                                          << "manca lo spazio dopo il pianeta madre";
    QTest::newRow("nothing left after Madre") << "3 Rotto  Capo 5 [3]\r\n4 x"
                                              << "3 Rotto  Capo 5 [3]"
                                              << "il testo finisce subito dopo il pianeta madre";
    QTest::newRow("empty last line") << "\r\n"
                                     << ""
                                     << "manca lo spazio dopo la posizione";
}

void TestLeggiRiga::testError()
{
    QFETCH(QString, bad);
    QFETCH(QString, excerpt);
    QFETCH(QString, reason);

    const QString text = "1 Orso  Capo 100 [1] x\r\n" + bad;
    const RankLookup lookup = listLookup({"Capo"});
    qsizetype pos = 0;
    QVERIFY(LeggiRiga(text, pos, lookup, 1));
    const qsizetype start = pos;
    try {
        LeggiRiga(text, pos, lookup, 2);
        QFAIL("no ParseError");
    } catch (const ParseError &error) {
        QCOMPARE(error.lineNumber(), 2);
        QCOMPARE(error.excerpt(), excerpt);
        QCOMPARE(error.reason(), reason);
        QCOMPARE(error.message(), "Riga 2 non leggibile: «" + excerpt + "»: " + reason + ".");
    }
    QCOMPARE(pos, start);
}

void TestLeggiRiga::testLineExcerpt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("excerpt");

    const QString x80(80, u'x');
    QTest::newRow("up to CR LF") << "1 A\r\n2 B" << 0 << "1 A";
    QTest::newRow("a later line, up to the end") << "1 A\r\n2 B" << 5 << "2 B";
    QTest::newRow("a lone LF is no line end") << "1 A\n2 B\r\n" << 0 << "1 A\n2 B";
    QTest::newRow("80 characters kept") << x80 + "\r\n" << 0 << x80;
    QTest::newRow("longer shortened") << x80 + "yy\r\n" << 0 << QString(79, u'x') + u'…';
    QTest::newRow("surrogate pair not split")
        << QString(78, u'x') + QStringLiteral("😀") + x80 << 0 << QString(78, u'x') + u'…';
}

void TestLeggiRiga::testLineExcerpt()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(QString, excerpt);
    QCOMPARE(lineExcerpt(text, start), excerpt);
}

void TestLeggiRiga::testLongList()
{
    const QStringList ranks = {"Vice Comandante", "Gran Maestro", "Primo Ufficiale"};
    QSet<QString> lowered;
    for (const QString &rank : ranks)
        lowered.insert(rank.toLower());
    const RankLookup lookup = [&lowered](const QString &phrase) { return lowered.contains(phrase.toLower()); };

    const int count = 32767;
    const auto member = [&ranks](int i) {
        return QStringList{QStringLiteral("Membro %1").arg(i + 1), ranks[i % 3], QString::number(i * 7),
                           QStringLiteral("[%1:%2:9]").arg(i % 9).arg(i)};
    };
    QString text;
    for (int i = 0; i < count; ++i) {
        const QStringList m = member(i);
        text += QString::number(i + 1) + u' ' + m[0] + QStringLiteral("  ") + m[1] + u' ' + m[2] + u' ' + m[3]
                + QStringLiteral(" 12.05.2009\r\n");
    }
    qsizetype pos = 0;
    for (int i = 0; i < count; ++i) {
        const std::optional<RigaMembro> riga = LeggiRiga(text, pos, lookup, i + 1);
        QVERIFY(riga);
        const QString expected = member(i).join(u'|');
        if (fields(*riga) != expected)
            QFAIL(qPrintable(QStringLiteral("line %1: %2 instead of %3").arg(i + 1).arg(fields(*riga), expected)));
    }
    QCOMPARE(pos, text.size());
    QVERIFY(!LeggiRiga(text, pos, lookup, count + 1));
}

void TestLeggiRiga::testWithRankFile()
{
    TempWorkDir dir;
    QVERIFY(dir.write("Gradi.txt", "Capo\r\nVice Comandante\r\n\xC8mulo Supremo\r\n"));
    const RankLookup lookup = [](const QString &phrase) { return CercaGrado(phrase); };
    const QString text = QStringLiteral("7 Lupo Grigio  Vice Comandante 45.210 [3:127:9] 12.05.2009\r\n"
                                        "8 Orso  èMULO SUPREMO 10 [1:2:3] 12.05.2009\r\n");
    qsizetype pos = 0;
    std::optional<RigaMembro> riga = LeggiRiga(text, pos, lookup, 1);
    QVERIFY(riga);
    QCOMPARE(fields(*riga), "Lupo Grigio|Vice Comandante|45.210|[3:127:9]");
    riga = LeggiRiga(text, pos, lookup, 2);
    QVERIFY(riga);
    QCOMPARE(fields(*riga), QStringLiteral("Orso|èMULO SUPREMO|10|[1:2:3]"));
    QVERIFY(!LeggiRiga(text, pos, lookup, 3));
}

QTEST_GUILESS_MAIN(TestLeggiRiga)
#include "tst_leggiriga.moc"
