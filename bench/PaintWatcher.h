// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

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

private:
    QString m_window = QStringLiteral("Form1");
    int m_paints = 0;
    QEventLoop *m_loop = nullptr;
};
