// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>

/// Catches every message box the moment it is shown, records what it asked
/// and answers it (with OK unless an answer is queued), so no modal box ever
/// blocks a test.
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
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QStringList buttonTexts; // as the box lists them
    };

    MessageBoxCatcher();
    ~MessageBoxCatcher() override;

    /// The boxes shown since the last take(), oldest first; forgets them.
    QList<Box> take();
    int count() const { return static_cast<int>(m_boxes.size()); }

    /// The answer to the next box shown; later boxes get OK again.
    void answerNext(QMessageBox::StandardButton answer) { m_answers.append(answer); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<Box> m_boxes;
    QList<QMessageBox::StandardButton> m_answers;
};
