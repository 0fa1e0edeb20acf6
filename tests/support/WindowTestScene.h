// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "support/MessageBoxCatcher.h"
#include "support/TempWorkDir.h"

#include <QStringList>

/// What a window test runs in: the Italian locale, an empty working folder
/// of its own and a catcher that answers every message box. Made in a
/// test's init() and dropped in its cleanup(); the catcher goes before the
/// folder.
struct WindowTestScene
{
    WindowTestScene();

    /// The texts of the boxes shown and not taken by the test, which a test
    /// must not leave behind; forgets them.
    QStringList boxesLeft();

    TempWorkDir dir;
    MessageBoxCatcher boxes;
};
