// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "support/MessageBoxCatcher.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

MessageBoxCatcher::MessageBoxCatcher()
{
    qApp->installEventFilter(this);
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    qApp->removeEventFilter(this);
}

QList<MessageBoxCatcher::Box> MessageBoxCatcher::take()
{
    return std::exchange(m_boxes, {});
}

bool MessageBoxCatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            Box seen{box->text(), box->windowTitle(), box->icon(), box->standardButtons(), QMessageBox::NoButton, {}};
            if (box->defaultButton())
                seen.defaultButton = box->standardButton(box->defaultButton());
            for (QAbstractButton *button : box->buttons())
                seen.buttonTexts.append(button->text());
            m_boxes.append(seen);
            const QMessageBox::StandardButton answer = m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst();
            QPointer<QMessageBox> guard(box);
            QTimer::singleShot(0, box, [guard, answer] {
                if (guard)
                    guard->done(answer);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
