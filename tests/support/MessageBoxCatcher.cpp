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
            m_boxes.append(Box{box->text(), box->windowTitle(), box->icon(), box->standardButtons()});
            QPointer<QMessageBox> guard(box);
            QTimer::singleShot(0, box, [guard] {
                if (guard)
                    guard->done(QMessageBox::Ok);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
