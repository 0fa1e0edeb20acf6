// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QEventLoop;

/// Counts the frames a window (the main window unless told) paints and ends
/// a wait at the first new one. Installed on the application.
class PaintWatcher : public QObject
{
public:
    /// The window, by object name, whose frames count from now on.
    void watch(const QString &window) { m_window = window; }

    bool eventFilter(QObject *watched, QEvent *event) override;

    int paints() const { return m_paints; }

    /// Returns once a paint after the given count has been handled.
    void waitForPaintAfter(int seen);

    /// The milliseconds from the start of the timer to the end of the last
    /// frame: to the moment it was painted whole, when it was a repaint the
    /// window asked for; otherwise to now.
    double msToFrame(const QElapsedTimer &timer) const;

private:
    QString m_window = QStringLiteral("Form1");
    int m_paints = 0;
    QEventLoop *m_loop = nullptr;
    bool m_repainting = false;
    int m_framePaints = -1; // the paints counted when the last timed frame ended
    QElapsedTimer m_sinceFrameEnd;
};
