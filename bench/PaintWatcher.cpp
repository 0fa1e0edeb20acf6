// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "PaintWatcher.h"

#include "Fail.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

bool PaintWatcher::eventFilter(QObject *watched, QEvent *event)
{
    // Every event of the program passes here: its type is looked at first.
    const QEvent::Type type = event->type();
    if ((type != QEvent::Paint && type != QEvent::UpdateRequest) || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    const QWidget *window = widget->window();
    if (!window || window->objectName() != m_window)
        return QObject::eventFilter(watched, event);
    if (type == QEvent::Paint) {
        ++m_paints;
        if (m_loop)
            m_loop->quit();
    } else if (widget->isWindow() && !m_repainting) {
        // The window's repaint is handed to it from here, so that the end
        // of its frame (every widget painted, the frame flushed) is known:
        // whatever the event loop runs after it in the same pass is work the
        // user does not wait for.
        const int before = m_paints;
        m_repainting = true;
        QCoreApplication::sendEvent(watched, event);
        m_repainting = false;
        if (m_paints > before) {
            m_framePaints = m_paints;
            m_sinceFrameEnd.start();
        }
        return true;
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

double PaintWatcher::msToFrame(const QElapsedTimer &timer) const
{
    const bool lastFrameTimed = m_framePaints == m_paints;
    const qint64 ns = timer.nsecsElapsed() - (lastFrameTimed ? m_sinceFrameEnd.nsecsElapsed() : 0);
    return static_cast<double>(ns) / 1.0e6;
}
