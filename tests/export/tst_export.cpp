// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ExportFixtures.h"
#include "export/window/Export.h"
#include "export/window/Form3.h"
#include "support/MessageBoxCatcher.h"
#include "ui/TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Watches for export windows: counts each one as it is shown, runs the
// test's steps in it once its modal loop runs, and closes any window the
// steps left open, so that a faulty export fails the test instead of
// blocking it.
class Form3Watcher : public QObject
{
public:
    Form3Watcher() { qApp->installEventFilter(this); }
    ~Form3Watcher() override { qApp->removeEventFilter(this); }

    std::function<void(Form3 *)> steps;
    int shown = 0;
    int leftOpen = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *form = qobject_cast<Form3 *>(watched)) {
                ++shown;
                QPointer<Form3> guard(form);
                QTimer::singleShot(0, form, [this, guard] {
                    if (guard && steps)
                        steps(guard);
                    if (guard && guard->isVisible()) {
                        ++leftOpen;
                        guard->done(QDialog::Rejected);
                    }
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// What the steps saw inside one export window.
struct Seen
{
    QString text;
    bool activeModal = false;
    QWidget *parent = nullptr;
    QString clipboard;
    QPointer<Form3> form;
};

// Steps that read the report, copy it, and close the window with "&Chiudi".
std::function<void(Form3 *)> copyAndClose(Seen &seen)
{
    return [&seen](Form3 *form) {
        seen.form = form;
        seen.text = form->Text1()->Text();
        seen.activeModal = QApplication::activeModalWidget() == form;
        seen.parent = form->parentWidget();
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("BtnCopia")), Qt::LeftButton);
        seen.clipboard = QGuiApplication::clipboard()->text();
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("BtnChiudi")), Qt::LeftButton);
    };
}

int form3Windows()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += qobject_cast<Form3 *>(w) ? 1 : 0;
    return count;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testNothingToExport_data();
    void testNothingToExport();
    void testExport_data();
    void testExport();
    void testSecondExportHoldsOnlyTheNewReport();

private:
    std::unique_ptr<MessageBoxCatcher> m_boxes;
    std::unique_ptr<Form3Watcher> m_watcher;
};

void TestExport::init()
{
    m_boxes = std::make_unique<MessageBoxCatcher>();
    m_watcher = std::make_unique<Form3Watcher>();
    QGuiApplication::clipboard()->clear();
}

void TestExport::cleanup()
{
    const auto boxes = m_boxes->take();
    m_boxes.reset();
    m_watcher.reset();
    QVERIFY2(boxes.isEmpty(), qPrintable(QStringLiteral("unexpected box: ") + boxes.value(0).text));
}

void TestExport::testNothingToExport_data()
{
    QTest::addColumn<bool>("byPercentage");

    QTest::newRow("by percentage") << true;
    QTest::newRow("by points gained") << false;
}

void TestExport::testNothingToExport()
{
    QFETCH(bool, byPercentage);

    QWidget owner;
    const GridTexts headerOnly = gridOf({});
    QCOMPARE(headerOnly.Rows(), 1);

    QVERIFY(!exportReport(&owner, headerOnly, byPercentage));

    const auto boxes = m_boxes->take();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Nessuna statistica da esportare"));
    QCOMPARE(boxes[0].title, QStringLiteral("Avviso"));
    QCOMPARE(boxes[0].icon, QMessageBox::Information);
    QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_watcher->shown, 0);
    QCOMPARE(form3Windows(), 0);
    QVERIFY(owner.findChildren<Form3 *>().isEmpty());
}

void TestExport::testExport_data()
{
    QTest::addColumn<QList<MemberRow>>("rows");
    QTest::addColumn<bool>("byPercentage");
    QTest::addColumn<QString>("expected");

    QTest::newRow("by percentage") << workedExampleRows() << true << workedExampleByPercentage();
    QTest::newRow("by points gained") << workedExampleRows() << false << workedExampleByPoints();
    // Members without final data are no error: the window opens empty.
    QTest::newRow("no member with a final score") << QList<MemberRow>{workedExampleRows().at(3)} << true << QString();
}

void TestExport::testExport()
{
    QFETCH(QList<MemberRow>, rows);
    QFETCH(bool, byPercentage);
    QFETCH(QString, expected);

    QWidget owner;
    QGuiApplication::clipboard()->setText(QStringLiteral("contenuto precedente"));
    Seen seen;
    m_watcher->steps = copyAndClose(seen);

    QVERIFY(exportReport(&owner, gridOf(rows), byPercentage));

    QCOMPARE(m_watcher->shown, 1);
    QCOMPARE(m_watcher->leftOpen, 0);
    QCOMPARE(seen.text, expected);
    QVERIFY(seen.activeModal);
    QCOMPARE(seen.parent, &owner);
    QCOMPARE(seen.clipboard, expected);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    // The window is gone once the export returns.
    QVERIFY(seen.form.isNull());
    QCOMPARE(form3Windows(), 0);
}

void TestExport::testSecondExportHoldsOnlyTheNewReport()
{
    QWidget owner;
    Seen first;
    m_watcher->steps = copyAndClose(first);
    QVERIFY(exportReport(&owner, gridOf(workedExampleRows()), true));
    QCOMPARE(first.text, workedExampleByPercentage());

    // The same grid sorted the other way, as after switching the option.
    QList<MemberRow> resorted = workedExampleRows();
    resorted.swapItemsAt(0, 1);
    resorted[0].pos = QStringLiteral("1");
    resorted[1].pos = QStringLiteral("2");
    Seen second;
    m_watcher->steps = copyAndClose(second);
    QVERIFY(exportReport(&owner, gridOf(resorted), false));

    const QString expected = QStringLiteral("1 - Cometa  |  da 8.000 a 7.600  (-400)\r\n"
                                            "2 - Aldebaran  |  da 10.000 a 12.500  (+2.500)\r\n"
                                            "3 - Birba  |  da ? a 3.100  (nuovo entrato)\r\n");
    QCOMPARE(m_watcher->shown, 2);
    QCOMPARE(m_watcher->leftOpen, 0);
    QCOMPARE(second.text, expected);
    QCOMPARE(second.clipboard, expected);
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
