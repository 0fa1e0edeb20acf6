// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QIcon>

/// The program's 32 x 32, 16-colour icon, the same for every window.
QIcon appIcon();
