// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

/// Runs every step on generated lists of the given size, the given number
/// of times, in a temporary working folder, and writes the figures to
/// standard output one a line. Needs a QApplication. Returns the exit code.
int runChild(int members, int runs);
