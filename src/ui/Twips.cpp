// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/Twips.h"

#include <QWidget>

#include <cmath>

int twipsToPixels(int twips, qreal dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

void placeTwips(QWidget *control, int left, int top, int width, int height)
{
    const qreal dpiX = control->logicalDpiX();
    const qreal dpiY = control->logicalDpiY();
    control->setGeometry(twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
                         twipsToPixels(height, dpiY));
}

void setClientSizeTwips(QWidget *window, int width, int height)
{
    window->setFixedSize(twipsToPixels(width, window->logicalDpiX()), twipsToPixels(height, window->logicalDpiY()));
}

QFont msSansSerif(bool bold)
{
    QFont font;
    // Metric-compatible faces first, so captions fit their twips-sized controls.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}
