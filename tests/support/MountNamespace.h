// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

/// Moves the calling process into a mount namespace of its own, so that
/// what it mounts afterwards is seen by it alone and goes when it ends.
/// With the right to mount, a plain new namespace; without it, a user
/// namespace of its own as well, where the kernel allows one. Must be
/// called while the process has one thread. False when neither can be had
/// (and always on systems other than Linux).
bool enterOwnMountNamespace();
