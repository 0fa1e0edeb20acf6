// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/window/Form3.h"
#include "support/MessageBoxCatcher.h"
#include "ui/AppIcon.h"
#include "ui/TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>
#include <memory>

namespace {

// Twips to pixels, worked out here rather than with the program's helper.
int px(int twips, int dpi)
{
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

QPushButton *button(const Form3 &form, const char *name)
{
    return form.findChild<QPushButton *>(QString::fromLatin1(name));
}

// Presses a button's access key and waits for the click, which the button
// delivers after a short animation.
bool pressAccessKey(QWidget *window, QPushButton *target, Qt::Key key)
{
    QSignalSpy clicked(target, &QPushButton::clicked);
    QTest::keyClick(window, key, Qt::AltModifier);
    return QTest::qWaitFor([&clicked] { return clicked.size() == 1; }, 2000);
}

// The selected text with the document's paragraph marks as CR LF.
QString selectedWithCrLf(const TextBox *box)
{
    QString text = box->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

const QString Report = QStringLiteral("1 - Aldebaran  |  da 10.000 a 12.500  (+25 %)\r\n"
                                      "2 - Cometa  |  da 8.000 a 7.600  (-5 %)\r\n"
                                      "3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");

} // namespace

class TestForm3 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testWindow();
    void testControls_data();
    void testControls();
    void testTextBox();
    void testFocusAndTabOrder();
    void testNoDefaultButton();
    void testFormatRow();
    void testClosing_data();
    void testClosing();
    void testSelectAll_data();
    void testSelectAll();
    void testCopy_data();
    void testCopy();

private:
    // Shows the form and waits until it is the active window.
    bool showActive(Form3 &form);

    std::unique_ptr<MessageBoxCatcher> m_boxes;
};

void TestForm3::init()
{
    m_boxes = std::make_unique<MessageBoxCatcher>();
    QGuiApplication::clipboard()->clear();
}

void TestForm3::cleanup()
{
    const auto boxes = m_boxes->take();
    m_boxes.reset();
    QVERIFY2(boxes.isEmpty(), qPrintable(QStringLiteral("unexpected box: ") + boxes.value(0).text));
}

bool TestForm3::showActive(Form3 &form)
{
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

void TestForm3::testWindow()
{
    Form3 form;

    QCOMPARE(form.objectName(), QStringLiteral("Form3"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Esportazione Quadrivo"));
    // The report's window with a row for the formats under its buttons.
    const QSize client(px(7725, form.logicalDpiX()), px(9195, form.logicalDpiY()));
    QCOMPARE(form.size(), client);
    QCOMPARE(form.minimumSize(), client);
    QCOMPARE(form.maximumSize(), client);
    QCOMPARE(form.windowIcon().pixmap(32).toImage(), appIcon().pixmap(32).toImage());
    QVERIFY(!form.font().bold());
    QCOMPARE(form.font().pointSizeF(), 8.25);
    QVERIFY(form.Text1()->Text().isEmpty());

    // Centred on its screen as soon as it is built.
    const QRect screen = form.screen()->geometry();
    const QPoint offset = form.frameGeometry().center() - screen.center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("off centre by %1, %2").arg(offset.x()).arg(offset.y())));
}

void TestForm3::testControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("bold");

    QTest::newRow("Text1") << QStringLiteral("Text1") << QString() << QRect(300, 240, 7095, 6975) << false;
    QTest::newRow("BtnSelAll") << QStringLiteral("BtnSelAll") << QStringLiteral("&Seleziona tutto")
                               << QRect(300, 7860, 1695, 435) << true;
    QTest::newRow("BtnCopia") << QStringLiteral("BtnCopia") << QStringLiteral("C&opia in clipboard")
                              << QRect(3000, 7860, 2235, 435) << true;
    QTest::newRow("BtnChiudi") << QStringLiteral("BtnChiudi") << QStringLiteral("&Chiudi")
                               << QRect(6240, 7860, 1215, 435) << true;
    QTest::newRow("LblFormato") << QStringLiteral("LblFormato") << QStringLiteral("&Formato:")
                                << QRect(300, 8520, 900, 435) << true;
    QTest::newRow("CmbFormato") << QStringLiteral("CmbFormato") << QStringLiteral("Testo")
                                << QRect(1260, 8520, 2535, 435) << false;
    QTest::newRow("BtnCsv") << QStringLiteral("BtnCsv") << QStringLiteral("Salva CS&V...")
                            << QRect(5760, 8520, 1695, 435) << true;
}

void TestForm3::testControls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(bool, bold);

    Form3 form;
    auto *control = form.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &form);
    const int dx = control->logicalDpiX();
    const int dy = control->logicalDpiY();
    QCOMPARE(control->geometry(),
             QRect(px(twips.left(), dx), px(twips.top(), dy), px(twips.width(), dx), px(twips.height(), dy)));
    QCOMPARE(control->font().bold(), bold);
    QCOMPARE(control->font().pointSizeF(), 8.25);
    if (auto *b = qobject_cast<QPushButton *>(control))
        QCOMPARE(b->text(), caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), caption);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        QCOMPARE(combo->currentText(), caption);
    else
        QCOMPARE(control, form.Text1());
}

void TestForm3::testTextBox()
{
    Form3 form;
    TextBox *box = form.Text1();
    QVERIFY(!box->isReadOnly());
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // A line wider than the box wraps on screen but stays one line of text.
    const QString longLine =
        QStringLiteral("1 - Aldebaran  |  da 10.000 a 12.500  (+25 %) ").repeated(20) + QStringLiteral("\r\n");
    box->setText(longLine);
    QVERIFY(showActive(form));
    const QTextBlock first = box->document()->firstBlock();
    QVERIFY(first.layout());
    QVERIFY2(first.layout()->lineCount() > 1, "the long line is not wrapped");
    QCOMPARE(box->Text(), longLine);
    QVERIFY(!box->verticalScrollBar()->isVisible());
    QVERIFY(!box->horizontalScrollBar()->isVisible());
}

void TestForm3::testFocusAndTabOrder()
{
    Form3 form;
    form.Text1()->setText(Report);
    QVERIFY(showActive(form));

    QCOMPARE(QApplication::focusWidget(), button(form, "BtnSelAll"));
    const QList<QWidget *> order = {
        button(form, "BtnCopia"), button(form, "BtnChiudi"), form.Text1(), form.findChild<QComboBox *>("CmbFormato"),
        button(form, "BtnCsv"),   button(form, "BtnSelAll")};
    for (QWidget *next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    // Tab moved the focus out of the text box without typing into it.
    QCOMPARE(form.Text1()->Text(), Report);
}

void TestForm3::testNoDefaultButton()
{
    Form3 form;
    QVERIFY(showActive(form));

    const auto buttons = form.findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 4);
    for (const QPushButton *b : buttons) {
        QVERIFY2(!b->isDefault(), qPrintable(b->objectName()));
        QVERIFY2(!b->autoDefault(), qPrintable(b->objectName()));
    }
}

// The formats in their order, "Testo" first; Alt+F gives the combo box the
// focus, Alt+V presses "Salva CS&V...".
void TestForm3::testFormatRow()
{
    Form3 form;
    QVERIFY(showActive(form));
    auto *combo = form.findChild<QComboBox *>("CmbFormato");
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(items, (QStringList{"Testo", "BBCode (forum)", "Markdown (Discord)"}));
    QCOMPARE(combo->currentIndex(), 0);

    QTest::keyClick(&form, Qt::Key_F, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), combo);
    QVERIFY(pressAccessKey(&form, button(form, "BtnCsv"), Qt::Key_V));
}

enum class CloseAction { EscapeOnButton, EscapeInTextBox, ClickChiudi, AltC, CloseBox };

void TestForm3::testClosing_data()
{
    QTest::addColumn<CloseAction>("action");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Escape on a button") << CloseAction::EscapeOnButton << false;
    QTest::newRow("Escape in the text box") << CloseAction::EscapeInTextBox << false;
    QTest::newRow("Chiudi") << CloseAction::ClickChiudi << true;
    QTest::newRow("Alt+C") << CloseAction::AltC << true;
    QTest::newRow("close box") << CloseAction::CloseBox << true;
}

void TestForm3::testClosing()
{
    QFETCH(CloseAction, action);
    QFETCH(bool, closes);

    Form3 form;
    form.Text1()->setText(Report);
    QVERIFY(showActive(form));
    QSignalSpy finished(&form, &QDialog::finished);

    switch (action) {
    case CloseAction::EscapeOnButton:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        break;
    case CloseAction::EscapeInTextBox:
        form.Text1()->setFocus();
        QTest::keyClick(form.Text1(), Qt::Key_Escape);
        break;
    case CloseAction::ClickChiudi:
        QTest::mouseClick(button(form, "BtnChiudi"), Qt::LeftButton);
        break;
    case CloseAction::AltC:
        QVERIFY(pressAccessKey(&form, button(form, "BtnChiudi"), Qt::Key_C));
        break;
    case CloseAction::CloseBox:
        QVERIFY(form.close());
        break;
    }

    QCOMPARE(form.isVisible(), !closes);
    QCOMPARE(finished.size(), closes ? 1 : 0);
    QCOMPARE(form.Text1()->Text(), Report);
}

void TestForm3::testSelectAll_data()
{
    QTest::addColumn<bool>("byAccessKey");

    QTest::newRow("button") << false;
    QTest::newRow("Alt+S") << true;
}

void TestForm3::testSelectAll()
{
    QFETCH(bool, byAccessKey);

    Form3 form;
    form.Text1()->setText(Report);
    QVERIFY(showActive(form));
    QTextCursor caret = form.Text1()->textCursor();
    caret.setPosition(5);
    form.Text1()->setTextCursor(caret);

    if (byAccessKey)
        QVERIFY(pressAccessKey(&form, button(form, "BtnSelAll"), Qt::Key_S));
    else
        QTest::mouseClick(button(form, "BtnSelAll"), Qt::LeftButton);

    QCOMPARE(QApplication::focusWidget(), form.Text1());
    const QTextCursor selection = form.Text1()->textCursor();
    QCOMPARE(selection.selectionStart(), 0);
    QCOMPARE(selection.selectionEnd(), form.Text1()->document()->characterCount() - 1);
    QCOMPARE(selectedWithCrLf(form.Text1()), Report);
}

void TestForm3::testCopy_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byAccessKey");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing selected") << Report << 0 << 0 << QString() << false << Report;
    QTest::newRow("part selected") << Report << 4 << 60 << QString() << false << Report;
    QTest::newRow("Alt+O") << Report << 4 << 60 << QString() << true << Report;
    // -1 puts the caret at the end, where a new line is typed.
    QTest::newRow("typed changes") << Report << -1 << -1 << QStringLiteral("4 - Eco\n") << false
                                   << Report + QStringLiteral("4 - Eco\r\n");
    QTest::newRow("typed into a line") << QStringLiteral("1 - A\r\n2 - B\r\n") << 0 << 0 << QStringLiteral("0") << false
                                       << QStringLiteral("01 - A\r\n2 - B\r\n");
    QTest::newRow("empty box") << QString() << 0 << 0 << QString() << false << QString();
}

void TestForm3::testCopy()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(QString, typed);
    QFETCH(bool, byAccessKey);
    QFETCH(QString, expected);

    QGuiApplication::clipboard()->setText(QStringLiteral("contenuto precedente"));
    Form3 form;
    TextBox *box = form.Text1();
    box->setText(text);
    QVERIFY(showActive(form));

    // Positions count CR LF as one character, as the document holds it.
    const int end = box->document()->characterCount() - 1;
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(selStart < 0 ? end : selStart);
    cursor.setPosition(selEnd < 0 ? end : selEnd, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    if (!typed.isEmpty()) {
        box->setFocus();
        for (const QChar c : typed) {
            if (c == u'\n')
                QTest::keyClick(box, Qt::Key_Return);
            else
                QTest::keyClicks(box, QString(c));
        }
    }
    const int anchor = box->textCursor().anchor();
    const int position = box->textCursor().position();

    if (byAccessKey)
        QVERIFY(pressAccessKey(&form, button(form, "BtnCopia"), Qt::Key_O));
    else
        QTest::mouseClick(button(form, "BtnCopia"), Qt::LeftButton);

    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(box->Text(), expected);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->textCursor().anchor(), anchor);
    QCOMPARE(box->textCursor().position(), position);
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
