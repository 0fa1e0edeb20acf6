// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QFont>

class QWidget;

/// Converts a length in twips (1/1440 inch) to pixels at the given logical DPI.
int twipsToPixels(int twips, qreal dpi);

/// Places a control at a rectangle given in twips inside its parent's client area.
void placeTwips(QWidget *control, int left, int top, int width, int height);

/// Gives a window a fixed client area of the given size in twips.
void setClientSizeTwips(QWidget *window, int width, int height);

/// "MS Sans Serif" 8.25 pt, falling back to a sans-serif face where it is missing.
QFont msSansSerif(bool bold = false);
