// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// The forum post, the Discord post and the grid's CSV file, in Italian and
// in English.
#include "export/CsvGriglia.h"
#include "export/Post.h"
#include "export/PostBBCode.h"
#include "export/PostMarkdown.h"
#include "ranking/Periodo.h"
#include "support/GrigliaFormattata.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// A gain, no change, a loss with a nick that looks like markup, a
// newcomer and a leaver, in the grid's order.
std::vector<MembroDiProva> membri()
{
    return {{"Aldebaran", "[1:23]", "Capitano", 10000, 12530},
            {"Fermo", "[3:33]", "Recluta", 1000, 1000},
            {"[b]Lupo \"Grigio\"[/b]", "[2:45]", "Vice Comandante", 8000, 7600},
            {"Birba, la Rossa", "[3:12]", "Recluta", 0, 3100},
            {"Dorado`", "[4:56]", "Tenente", 5000, 0}};
}

Periodo periodo(const QString &dal, const QString &al)
{
    Periodo p;
    p.dal = dal;
    p.al = al;
    p.giorni = 7;
    p.fermi = {{"Fermo", 14}};
    return p;
}

const QString bbcodeIt = QStringLiteral(
    "[b]Classifica dell'alleanza dal 01/11/2026 al 08/11/2026 (7 giorni)[/b]\r\n"
    "\r\n"
    "Totale dell'alleanza: da 24.000 a 24.230 ([color=#1E9347]+230[/color], [color=#1E9347]+0,96 %[/color])\r\n"
    "\r\n"
    "[b]Classifica per percentuale[/b]\r\n"
    "1. Aldebaran: da 10.000 a 12.530 ([color=#1E9347]+25,3 %[/color])\r\n"
    "2. Fermo: da 1.000 a 1.000 (0 %)\r\n"
    "3. [\u2060b]Lupo \"Grigio\"[\u2060/b]: da 8.000 a 7.600 ([color=#E0443A]-5 %[/color])\r\n"
    "4. Birba, la Rossa: da ? a 3.100 (nuovo entrato)\r\n"
    "\r\n"
    "[b]Nuovi entrati[/b]\r\n"
    "Birba, la Rossa: 3.100\r\n"
    "\r\n"
    "[b]Usciti[/b]\r\n"
    "Dorado`: 5.000\r\n"
    "\r\n"
    "[b]Fermi da almeno 7 giorni[/b]\r\n"
    "Fermo: 14 giorni\r\n");

const QString bbcodeEn = QStringLiteral(
    "[b]Classifica dell'alleanza dal 11/1/2026 al 11/8/2026 (7 giorni)[/b]\r\n"
    "\r\n"
    "Totale dell'alleanza: da 24,000 a 24,230 ([color=#1E9347]+230[/color], [color=#1E9347]+0.96 %[/color])\r\n"
    "\r\n"
    "[b]Classifica per incremento punti[/b]\r\n"
    "1. Aldebaran: da 10,000 a 12,530 ([color=#1E9347]+2,530[/color])\r\n"
    "2. Fermo: da 1,000 a 1,000 (0)\r\n"
    "3. [\u2060b]Lupo \"Grigio\"[\u2060/b]: da 8,000 a 7,600 ([color=#E0443A]-400[/color])\r\n"
    "4. Birba, la Rossa: da ? a 3,100 (nuovo entrato)\r\n"
    "\r\n"
    "[b]Nuovi entrati[/b]\r\n"
    "Birba, la Rossa: 3,100\r\n"
    "\r\n"
    "[b]Usciti[/b]\r\n"
    "Dorado`: 5,000\r\n"
    "\r\n"
    "[b]Fermi da almeno 7 giorni[/b]\r\n"
    "Fermo: 14 giorni\r\n");

const QString markdownIt = QStringLiteral("```\r\n"
                                          "Classifica dell'alleanza dal 01/11/2026 al 08/11/2026 (7 giorni)\r\n"
                                          "\r\n"
                                          "Totale dell'alleanza: da 24.000 a 24.230 (+230, +0,96 %)\r\n"
                                          "\r\n"
                                          "Classifica per percentuale\r\n"
                                          "Pos.  Nick                  Punti I.  Punti F.         var. %\r\n"
                                          "   1  Aldebaran               10.000    12.530        +25,3 %\r\n"
                                          "   2  Fermo                    1.000     1.000            0 %\r\n"
                                          "   3  [b]Lupo \"Grigio\"[/b]     8.000     7.600           -5 %\r\n"
                                          "   4  Birba, la Rossa              ?     3.100  nuovo entrato\r\n"
                                          "\r\n"
                                          "Nuovi entrati\r\n"
                                          "- Birba, la Rossa  3.100\r\n"
                                          "\r\n"
                                          "Usciti\r\n"
                                          "- Dorado\u02CB  5.000\r\n"
                                          "\r\n"
                                          "Fermi da almeno 7 giorni\r\n"
                                          "- Fermo  14 giorni\r\n"
                                          "```\r\n");

const QString markdownEn = QStringLiteral("```\r\n"
                                          "Classifica dell'alleanza dal 11/1/2026 al 11/8/2026 (7 giorni)\r\n"
                                          "\r\n"
                                          "Totale dell'alleanza: da 24,000 a 24,230 (+230, +0.96 %)\r\n"
                                          "\r\n"
                                          "Classifica per incremento punti\r\n"
                                          "Pos.  Nick                  Punti I.  Punti F.        incr.p.\r\n"
                                          "   1  Aldebaran               10,000    12,530         +2,530\r\n"
                                          "   2  Fermo                    1,000     1,000              0\r\n"
                                          "   3  [b]Lupo \"Grigio\"[/b]     8,000     7,600           -400\r\n"
                                          "   4  Birba, la Rossa              ?     3,100  nuovo entrato\r\n"
                                          "\r\n"
                                          "Nuovi entrati\r\n"
                                          "- Birba, la Rossa  3,100\r\n"
                                          "\r\n"
                                          "Usciti\r\n"
                                          "- Dorado\u02CB  5,000\r\n"
                                          "\r\n"
                                          "Fermi da almeno 7 giorni\r\n"
                                          "- Fermo  14 giorni\r\n"
                                          "```\r\n");

// What a history that cannot tell leaves out: the dates and the members
// standing still.
QString senzaStorico(QString post, const QString &dal, const QString &al)
{
    post.replace(QStringLiteral(" dal %1 al %2 (7 giorni)").arg(dal, al), QString());
    const qsizetype fermi = post.indexOf(QStringLiteral("Fermi da almeno"));
    const qsizetype inizio = post.lastIndexOf(QStringLiteral("\r\n\r\n"), fermi);
    const qsizetype fine = post.indexOf(QStringLiteral("\r\n"), post.indexOf(QStringLiteral("14 giorni"), fermi));
    return post.remove(inizio, fine - inizio);
}

// The BBCode's tags with the texts between them blanked out: every text of
// the grid must be plain text, and every tag closed.
void verificaTag(const QString &bbcode)
{
    static const QRegularExpression nostri(QStringLiteral(R"(\[(b|/b|color=#[0-9A-F]{6}|/color)\])"));
    QString resto = bbcode;
    resto.remove(nostri);
    static const QRegularExpression tag(QStringLiteral(R"(\[[/*A-Za-z])"));
    QVERIFY2(!resto.contains(tag), qPrintable(resto));
    QCOMPARE(bbcode.count(QStringLiteral("[b]")), bbcode.count(QStringLiteral("[/b]")));
    QCOMPARE(bbcode.count(QStringLiteral("[color=")), bbcode.count(QStringLiteral("[/color]")));
}

} // namespace

class TestFormati : public QObject
{
    Q_OBJECT

private slots:
    void testPosts_data();
    void testPosts();
    void testDiscordParts();
    void testCsv_data();
    void testCsv();
};

void TestFormati::testPosts_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("byPercentage");
    QTest::addColumn<bool>("bbcode");
    QTest::addColumn<QString>("dal");
    QTest::addColumn<QString>("al");
    QTest::addColumn<QString>("expected");

    const QLocale it(QLocale::Italian, QLocale::Italy);
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("BBCode, it_IT, by percentage") << it << true << true << "01/11/2026"
                                                  << "08/11/2026" << bbcodeIt;
    QTest::newRow("BBCode, en_US, by points") << en << false << true << "11/1/2026"
                                              << "11/8/2026" << bbcodeEn;
    QTest::newRow("Markdown, it_IT, by percentage") << it << true << false << "01/11/2026"
                                                    << "08/11/2026" << markdownIt;
    QTest::newRow("Markdown, en_US, by points") << en << false << false << "11/1/2026"
                                                << "11/8/2026" << markdownEn;
}

void TestFormati::testPosts()
{
    QFETCH(QLocale, locale);
    QFETCH(bool, byPercentage);
    QFETCH(bool, bbcode);
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(QString, expected);

    const GridTexts grid = grigliaFormattata(membri(), locale);
    const auto scrivi = [&](const Periodo &p) {
        const Post post = componiPost(grid, byPercentage, p, locale);
        return bbcode ? scriviBBCode(post) : scriviMarkdown(post);
    };
    QCOMPARE(scrivi(periodo(dal, al)), expected);
    QCOMPARE(scrivi(Periodo{}), senzaStorico(expected, dal, al));
    if (bbcode)
        verificaTag(expected);
}

// A ranking too long for one message: three blocks, each whole and within
// the limit with its heading, the columns aligned across them, every
// member once and in order. The rows' length leaves each block less room
// than its fences take: a block that forgot them would be too long.
void TestFormati::testDiscordParts()
{
    const QLocale it(QLocale::Italian, QLocale::Italy);
    std::vector<MembroDiProva> tanti;
    for (int i = 0; i < 75; ++i)
        tanti.push_back({QStringLiteral("[ABC] Membro %1 (prova)").arg(i + 1), QStringLiteral("[%1:1:1]").arg(i + 1),
                         QStringLiteral("Recluta"), 100000 + 1000 * i, 100000 + 1000 * i + 500 * (i % 3 - 1)});
    const GridTexts grid = grigliaFormattata(tanti, it);
    const Post post = componiPost(grid, true, Periodo{}, it);
    const QString testo = scriviMarkdown(post);

    const QStringList parti = testo.split(QStringLiteral("\r\n\r\nparte "));
    QCOMPARE(parti.size(), 3);
    QStringList righe;
    for (int i = 0; i < parti.size(); ++i) {
        const QString parte = (i == 0 ? QString() : QStringLiteral("parte ")) + parti[i];
        const QString titolo = QStringLiteral("parte %1 di 3\r\n```\r\n").arg(i + 1);
        QVERIFY2(parte.startsWith(titolo), qPrintable(parte.left(40)));
        const QString blocco = parte.mid(titolo.size() - 5).chopped(parte.endsWith(u'\n') ? 2 : 0);
        QVERIFY2(blocco.endsWith(QStringLiteral("\r\n```")), qPrintable(blocco.right(20)));
        QVERIFY2(titolo.size() - 5 + blocco.size() <= limiteDiscord,
                 qPrintable(QString::number(titolo.size() - 5 + blocco.size())));
        QStringList sue = blocco.split(QStringLiteral("\r\n"));
        QCOMPARE(sue.count(QStringLiteral("```")), 2);
        righe << sue.mid(1, sue.size() - 2);
    }
    qsizetype larghezza = -1;
    int membro = 0;
    for (const QString &riga : righe) {
        if (!riga.contains(QStringLiteral("Membro ")))
            continue;
        QVERIFY2(riga.contains(QStringLiteral("[ABC] Membro %1 ").arg(++membro)), qPrintable(riga));
        QVERIFY(larghezza < 0 || riga.size() == larghezza);
        larghezza = riga.size();
    }
    QCOMPARE(membro, 75);

    verificaTag(scriviBBCode(post));
}

void TestFormati::testCsv_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("it_IT") << QLocale(QLocale::Italian, QLocale::Italy)
                           << QByteArray("\xEF\xBB\xBFPos.;Nick;Madre;Grado;Punti I.;Punti F.;var. %;incr.p.\r\n"
                                         "1;Aldebaran;[1:23];Capitano;10000;12530;25,3;2530\r\n"
                                         "2;Fermo;[3:33];Recluta;1000;1000;0;0\r\n"
                                         "3;\"[b]Lupo \"\"Grigio\"\"[/b]\";[2:45];Vice Comandante;8000;7600;-5;-400\r\n"
                                         "4;Birba, la Rossa;[3:12];Recluta;;3100;;\r\n"
                                         "5;Dorado`;[4:56];Tenente;5000;;;\r\n");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                           << QByteArray("\xEF\xBB\xBFPos.,Nick,Madre,Grado,Punti I.,Punti F.,var. %,incr.p.\r\n"
                                         "1,Aldebaran,[1:23],Capitano,10000,12530,25.3,2530\r\n"
                                         "2,Fermo,[3:33],Recluta,1000,1000,0,0\r\n"
                                         "3,\"[b]Lupo \"\"Grigio\"\"[/b]\",[2:45],Vice Comandante,8000,7600,-5,-400\r\n"
                                         "4,\"Birba, la Rossa\",[3:12],Recluta,,3100,,\r\n"
                                         "5,Dorado`,[4:56],Tenente,5000,,,\r\n");
}

void TestFormati::testCsv()
{
    QFETCH(QLocale, locale);
    QFETCH(QByteArray, expected);

    QCOMPARE(csvGriglia(grigliaFormattata(membri(), locale), locale), expected);
}

QTEST_GUILESS_MAIN(TestFormati)
#include "tst_formati.moc"
