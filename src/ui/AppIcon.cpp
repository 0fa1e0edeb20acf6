// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/AppIcon.h"

#include <QPixmap>

#include "ui/quadrivo.xpm"

QIcon appIcon()
{
    return QIcon(QPixmap(quadrivo_xpm));
}
