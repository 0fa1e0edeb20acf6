// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>

/// Catches every message box the moment it is shown, records what it asked
/// and answers it with OK, so no modal box ever blocks a test.
class MessageBoxCatcher : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString text;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    };

    MessageBoxCatcher();
    ~MessageBoxCatcher() override;

    /// The boxes shown since the last take(), oldest first; forgets them.
    QList<Box> take();
    int count() const { return static_cast<int>(m_boxes.size()); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<Box> m_boxes;
};
