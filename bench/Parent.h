// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <vector>

struct SizePlan
{
    int members;
    int runs;
};

/// Runs each size in a child process of its own, so that each size's peak
/// memory is its own, and prints the table. Returns the exit code.
int runParent(const std::vector<SizePlan> &plan);
