// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/window/Form2.h"
#include "ranking/Module1.h"
#include "store/Membri.h"
#include "support/CodePage.h"
#include "support/Seed.h"
#include "support/WindowTestScene.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

#include <memory>

namespace {

QRect twipsRect(const QWidget *w, int left, int top, int width, int height)
{
    const qreal x = w->logicalDpiX();
    const qreal y = w->logicalDpiY();
    return QRect(twipsToPixels(left, x), twipsToPixels(top, y), twipsToPixels(width, x), twipsToPixels(height, y));
}

void click(Form2 &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
}

const QByteArray ranks = "Capo\r\nVice Comandante\r\n";

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testWindowLayout();
    void testLabelWordFollowsDataKind_data();
    void testLabelWordFollowsDataKind();
    void testTabOrderFocusAndKeys();
    void testPastedLineEndsBecomeCrLf();
    void testReadSampleFile_data();
    void testReadSampleFile();
    void testSaveSampleFile_data();
    void testSaveSampleFile();
    void testSaveThenReadGivesTheTextBack();
    void testUnreadableSampleFileIsReported();
    void testOkPreconditions();
    void testOkImportsAndCloses();
    void testOkFailureKeepsTheWindowOpen();

private:
    std::unique_ptr<WindowTestScene> m_scene;
};

void TestForm2::init()
{
    Module1::TipoDati = 1;
    m_scene = std::make_unique<WindowTestScene>();
    QVERIFY(m_scene->dir.isValid());
}

void TestForm2::cleanup()
{
    const QStringList left = m_scene->boxesLeft();
    m_scene.reset();
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
}

void TestForm2::testWindowLayout()
{
    Form2 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Inserimento palmeria "));
    QCOMPARE(form.size(), twipsRect(&form, 0, 0, 7725, 8535).size());
    QVERIFY(!form.windowIcon().isNull());

    struct Control
    {
        const char *name;
        const char *caption;
        int left, top, width, height;
        bool bold;
    };
    const Control controls[] = {
        {"BtnAnnulla", "&Annulla", 300, 7860, 1215, 435, true},
        {"BtnLeggi", "&Leggi da FILE", 2100, 7860, 1635, 435, true},
        {"BtnOk", "&OK", 6240, 7860, 1215, 435, true},
        {"Label1", nullptr, 300, 300, 5055, 195, true},
        {"BtnSalva", "&Salva FILE", 4020, 7860, 1635, 435, true},
        {"Text1", nullptr, 300, 660, 7095, 6375, false},
    };
    for (const Control &c : controls) {
        auto *w = form.findChild<QWidget *>(QString::fromLatin1(c.name));
        QVERIFY2(w, c.name);
        QCOMPARE(w->geometry(), twipsRect(&form, c.left, c.top, c.width, c.height));
        QCOMPARE(w->font().bold(), c.bold);
        if (auto *b = qobject_cast<QPushButton *>(w)) {
            QCOMPARE(b->text(), QString::fromUtf8(c.caption));
            QVERIFY(!b->isDefault() && !b->autoDefault());
        }
    }
    QCOMPARE(form.Text1()->Text(), QString());
    QCOMPARE(form.Text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void TestForm2::testLabelWordFollowsDataKind_data()
{
    QTest::addColumn<int>("tipoDati");
    QTest::addColumn<QString>("label");
    QTest::newRow("initial") << 1 << "Incollare qui sotto la palmeria INIZIALE";
    QTest::newRow("final") << 2 << "Incollare qui sotto la palmeria FINALE";
    QTest::newRow("unset") << 0 << "Incollare qui sotto la palmeria ";
}

void TestForm2::testLabelWordFollowsDataKind()
{
    QFETCH(int, tipoDati);
    QFETCH(QString, label);
    Module1::TipoDati = qint16(tipoDati);
    // Each opening is a new window: the word is added once.
    for (int opening = 0; opening < 2; ++opening) {
        Form2 form;
        QCOMPARE(form.findChild<QLabel *>("Label1")->text(), label);
    }
}

void TestForm2::testTabOrderFocusAndKeys()
{
    Form2 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.findChild<QWidget *>("BtnAnnulla"));

    const QStringList order = {"BtnLeggi", "BtnOk", "BtnSalva", "Text1", "BtnAnnulla"};
    for (const QString &name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
    QCOMPARE(form.findChild<QPushButton *>("BtnLeggi")->shortcut(), QKeySequence("Alt+L"));
    QCOMPARE(form.findChild<QPushButton *>("BtnSalva")->shortcut(), QKeySequence("Alt+S"));

    // Escape does not close the window; Enter in the box starts a new line.
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    form.Text1()->setFocus();
    QTest::keyClicks(form.Text1(), "a");
    QTest::keyClick(form.Text1(), Qt::Key_Return);
    QTest::keyClicks(form.Text1(), "b");
    QVERIFY(form.isVisible());
    QCOMPARE(form.Text1()->Text(), QStringLiteral("a\r\nb"));
    // A line break within a block (Shift+Enter) is one too.
    QTest::keyClick(form.Text1(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(form.Text1(), "c");
    QCOMPARE(form.Text1()->document()->blockCount(), 2);
    QCOMPARE(form.Text1()->Text(), QStringLiteral("a\r\nb\r\nc"));
}

void TestForm2::testPastedLineEndsBecomeCrLf()
{
    Form2 form;
    for (const QString &pasted :
         {QStringLiteral("1 A\n2 B\n"), QStringLiteral("1 A\r2 B\r"), QStringLiteral("1 A\r\n2 B\r\n")}) {
        form.Text1()->clear();
        form.Text1()->setFocus();
        // Pasting goes through the box's own mime-data handling.
        QGuiApplication::clipboard()->setText(pasted);
        form.Text1()->paste();
        QCOMPARE(form.Text1()->Text(), QStringLiteral("1 A\r\n2 B\r\n"));
    }
    form.Text1()->setText(QStringLiteral("x\ry\nz"));
    QCOMPARE(form.Text1()->Text(), QStringLiteral("x\r\ny\r\nz"));
}

void TestForm2::testReadSampleFile_data()
{
    QTest::addColumn<int>("tipoDati");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("box");

    QTest::newRow("items become lines") << 1 << true << QByteArray("a,b\r\nc") << "a\r\nb\r\nc\r\n";
    QTest::newRow("empty file") << 1 << true << QByteArray() << "";
    QTest::newRow("quotes dropped") << 2 << true << QByteArray("\"x, y\"\r\n  z\r\n") << "x, y\r\nz\r\n";
    QTest::newRow("empty line kept") << 1 << true << QByteArray("a\r\n\r\nb\r\n") << "a\r\n\r\nb\r\n";
    QTest::newRow("Windows-1252 file") << 1 << true << QByteArray("Citt\xe0 \x80\r\n") << "Città €\r\n";
    QTest::newRow("missing") << 1 << false << QByteArray() << "";
    QTest::newRow("missing final") << 2 << false << QByteArray() << "";
}

void TestForm2::testReadSampleFile()
{
    QFETCH(int, tipoDati);
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(QString, box);
    Module1::TipoDati = qint16(tipoDati);
    const QString name = QStringLiteral("Esempio%1.txt").arg(tipoDati);
    if (exists)
        QVERIFY(m_scene->dir.write(name, content));
    // The file of the other kind is never read.
    QVERIFY(m_scene->dir.write(QStringLiteral("Esempio%1.txt").arg(3 - tipoDati), "altro\r\n"));

    Form2 form;
    form.Text1()->setText(QStringLiteral("testo di prima\r\n"));
    click(form, "BtnLeggi");
    QCOMPARE(form.Text1()->Text(), box);

    const auto boxes = m_scene->boxes.take();
    if (exists) {
        QVERIFY(boxes.isEmpty());
    } else {
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("File '%1' non trovato").arg(name));
        QCOMPARE(boxes[0].title, QStringLiteral("Quadrivo ZORVA"));
        QCOMPARE(boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

void TestForm2::testSaveSampleFile_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("tail after last break dropped") << "x\r\ny" << QByteArray("x\r\n");
    QTest::newRow("empty box") << "" << QByteArray();
    QTest::newRow("no line break") << "solo" << QByteArray();
    QTest::newRow("empty line kept") << "a\r\n\r\nb\r\n" << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("accented, UTF-8 here") << "Città\r\n" << QByteArray("Citt\xc3\xa0\r\n");
}

void TestForm2::testSaveSampleFile()
{
    QFETCH(QString, box);
    QFETCH(QByteArray, file);
    if (QTest::currentDataTag() == QLatin1String("accented, UTF-8 here") && !systemCodePageIsUtf8())
        QSKIP("the system's code page is not UTF-8 here");
    QVERIFY(m_scene->dir.write(QStringLiteral("Esempio1.txt"), "vecchio contenuto più lungo\r\n"));
    Form2 form;
    form.Text1()->setText(box);
    click(form, "BtnSalva");
    QVERIFY(QFile::exists(QStringLiteral("Esempio1.txt")));
    QCOMPARE(m_scene->dir.read(QStringLiteral("Esempio1.txt")), file);
    QCOMPARE(form.Text1()->Text(), box);
    QVERIFY(!QFile::exists(QStringLiteral("Esempio2.txt")));
}

void TestForm2::testSaveThenReadGivesTheTextBack()
{
    Module1::TipoDati = 2;
    const QString text = QStringLiteral(
        "1 Lupo Grigio  Vice Comandante 45.210 [3:127:9] 12.05.2009\r\n\r\n2 Orso  Capo 7 [1:1:1] x\r\n");
    Form2 form;
    form.Text1()->setText(text);
    click(form, "BtnSalva");
    form.Text1()->setText(QString());
    click(form, "BtnLeggi");
    QCOMPARE(form.Text1()->Text(), text);
}

void TestForm2::testUnreadableSampleFileIsReported()
{
    // A folder where the sample file should be: neither read nor written.
    QVERIFY(QDir().mkdir(QStringLiteral("Esempio1.txt")));
    Form2 form;
    form.Text1()->setText(QStringLiteral("a\r\n"));
    click(form, "BtnSalva");
    auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.contains(QStringLiteral("Esempio1.txt")), qPrintable(boxes[0].text));
    QCOMPARE(boxes[0].icon, QMessageBox::Critical);
    QVERIFY(form.isVisible() || !form.result());
}

void TestForm2::testOkPreconditions()
{
    QVERIFY(seedMembers({{1, "A", "[1]", "Capo", 10, {}, {}, {}}}));
    const QList<QVariantList> before = readMembers();
    Form2 form;
    form.show();
    form.Text1()->setText(QStringLiteral("1 B  Capo 20 [2] x\r\n"));
    click(form, "BtnOk");
    auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("File 'Gradi.txt' non trovato"));
    QCOMPARE(boxes[0].title, QStringLiteral("Quadrivo ZORVA"));
    QCOMPARE(boxes[0].icon, QMessageBox::NoIcon);
    QVERIFY(form.isVisible());
    QCOMPARE(form.Text1()->Text(), QStringLiteral("1 B  Capo 20 [2] x\r\n"));

    QVERIFY(m_scene->dir.write(QStringLiteral("Gradi.txt"), ranks));
    form.Text1()->setText(QString());
    click(form, "BtnOk");
    boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Nessun testo incollato"));
    QCOMPARE(boxes[0].title, QString());
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QVERIFY(form.isVisible());
    QCOMPARE(readMembers(), before);
}

void TestForm2::testOkImportsAndCloses()
{
    QVERIFY(m_scene->dir.write(QStringLiteral("Gradi.txt"), ranks));
    Membri::createIfMissing(Membri::fileName());
    Form2 form;
    form.show();
    form.Text1()->setText(
        QStringLiteral("1 Lupo Grigio  Vice Comandante 45.210 [3:127:9] 12.05.2009\n2 Orso  Capo 7 [1:1:1] x\n"));
    click(form, "BtnOk");
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    const QList<QVariantList> rows = readMembers();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0], (QVariantList{1, "Lupo Grigio", "[3:127:9]", "Vice Comandante", 45210, {}, {}, {}}));
}

void TestForm2::testOkFailureKeepsTheWindowOpen()
{
    QVERIFY(m_scene->dir.write(QStringLiteral("Gradi.txt"), ranks));
    Membri::createIfMissing(Membri::fileName());
    Form2 form;
    form.show();
    const QString text =
        QStringLiteral("1 Orso  Capo 7 [1:1:1] x\r\n2 Rotto  Capo tanti [2:2:2] x\r\n3 Dopo  Capo 9 [3:3:3] x\r\n");
    form.Text1()->setText(text);
    QTextCursor cursor = form.Text1()->textCursor();
    cursor.setPosition(30);
    form.Text1()->setTextCursor(cursor);
    click(form, "BtnOk");
    const auto boxes = m_scene->boxes.take();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.startsWith(QStringLiteral("Riga 2 ")), qPrintable(boxes[0].text));
    QVERIFY2(boxes[0].text.contains(QStringLiteral("2 Rotto  Capo tanti")), qPrintable(boxes[0].text));
    QVERIFY2(boxes[0].text.contains(QStringLiteral("La riga precedente è stata salvata")), qPrintable(boxes[0].text));
    QCOMPARE(boxes[0].icon, QMessageBox::Critical);
    QVERIFY(form.isVisible());
    QCOMPARE(form.Text1()->Text(), text);
    QCOMPARE(form.Text1()->textCursor().position(), 30);
    QCOMPARE(form.Text1()->document()->defaultFont(), form.Text1()->font());
    QCOMPARE(readMembers().size(), 1);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
