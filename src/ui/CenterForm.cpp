// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/CenterForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

QPoint centeredPosition(QSize outer, const QRect &screen)
{
    const float left = (static_cast<float>(screen.width()) - static_cast<float>(outer.width())) / 2.0f;
    const float top = (static_cast<float>(screen.height()) - static_cast<float>(outer.height())) / 2.0f;
    return screen.topLeft() + QPoint(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
}

void CenterForm(QWidget *form)
{
    QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    form->move(centeredPosition(form->frameGeometry().size(), screen->geometry()));
}
