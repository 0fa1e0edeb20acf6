// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "AppIcon.h"

#include <QPixmap>

#include "quadrivo.xpm"

QIcon appIcon()
{
    return QIcon(QPixmap(quadrivo_xpm));
}
