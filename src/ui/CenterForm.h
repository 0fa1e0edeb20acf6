// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

/// Where a window of the given outer size stands when centred on the screen.
/// Computed in single precision and never clamped: a window larger than the
/// screen gets negative coordinates.
QPoint centeredPosition(QSize outer, const QRect &screen);

/// Centres a window (its frame included) on its screen.
void CenterForm(QWidget *form);
