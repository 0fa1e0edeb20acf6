// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "support/WindowTestScene.h"

#include <QLocale>

WindowTestScene::WindowTestScene()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

QStringList WindowTestScene::boxesLeft()
{
    QStringList texts;
    for (const MessageBoxCatcher::Box &box : boxes.take())
        texts << (box.text.isEmpty() ? QStringLiteral("(box without text)") : box.text);
    return texts;
}
