// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "EntryWindow.h"

#include "Fail.h"
#include "PaintWatcher.h"

#include "app/Form1.h"
#include "import/window/Form2.h"
#include "ui/TextBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTextDocument>
#include <QTimer>

#include <utility>

double importThroughWindows(Form1 &form, PaintWatcher &watcher, QString text, qint16 tipoDati)
{
    const char *opener = tipoDati == 1 ? "BtnDati1" : "BtnDati2";
    auto *open = form.findChild<QAbstractButton *>(QString::fromLatin1(opener));
    if (!open)
        fail(QStringLiteral("no button %1 in the main window").arg(QString::fromLatin1(opener)));

    QElapsedTimer timer;
    bool pressed = false;
    // Runs in the entry window's own event loop, once it is shown.
    QTimer::singleShot(0, &form, [&] {
        auto *entry = qobject_cast<Form2 *>(QApplication::activeModalWidget());
        auto *ok = entry ? entry->findChild<QAbstractButton *>(QStringLiteral("BtnOk")) : nullptr;
        if (!ok)
            fail(QStringLiteral("no entry window with &OK"));
        watcher.watch(QStringLiteral("Form2"));
        const int seen = watcher.paints();
        const qsizetype size = text.size();
        QApplication::clipboard()->setText(std::exchange(text, QString()));
        entry->Text1()->setFocus();
        entry->Text1()->paste();
        QApplication::clipboard()->clear();
        watcher.waitForPaintAfter(seen);
        if (entry->Text1()->document()->characterCount() < size / 2)
            fail(QStringLiteral("the list was not pasted into the entry window"));
        watcher.watch(QStringLiteral("Form1"));
        pressed = true;
        timer.start();
        ok->click();
    });
    open->click();
    // Back here the entry window is closed and the grid rebuilt; the main
    // window's next frame shows it.
    watcher.waitForPaintAfter(watcher.paints());
    const double ms = watcher.msToFrame(timer);
    if (!pressed)
        fail(QStringLiteral("the entry window did not open"));
    if (QApplication::activeModalWidget())
        fail(QStringLiteral("the entry window did not close"));
    return ms;
}
