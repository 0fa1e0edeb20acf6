// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "PaintWatcher.h"

#include "Fail.h"

#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

bool PaintWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
        const QWidget *window = static_cast<QWidget *>(watched)->window();
        if (window && window->objectName() == m_window) {
            ++m_paints;
            if (m_loop)
                m_loop->quit();
        }
    }
    return QObject::eventFilter(watched, event);
}

void PaintWatcher::waitForPaintAfter(int seen)
{
    if (m_paints > seen)
        return;
    QEventLoop loop;
    m_loop = &loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    m_loop = nullptr;
    if (m_paints <= seen)
        fail(QStringLiteral("%1 did not paint within 10 s").arg(m_window));
}
