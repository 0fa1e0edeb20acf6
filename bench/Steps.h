// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

#include <vector>

/// What the benchmark times, in the order of a run and of the table.
enum class Step {
    Parse,
    InitialImport,
    FinalImport,
    InitialFloor,
    FinalFloor,
    FinalFloorInOrder,
    StartUp,
    GridByPoints,
    ReportByPoints,
    GridByPercent,
    ReportByPercent,
    InitialThroughWindows,
    FinalThroughWindows,
    Snapshot,
    HistoryWindow,
    Compare,
};

struct StepInfo
{
    Step step;
    const char *key;   // name in the child's output
    const char *label; // row of the table
    bool floor;        // a bare-SQLite reference, not a step of the program
};

const std::vector<StepInfo> &allSteps();

/// How many snapshots the history window shows at a list size: 100 of
/// lists up to 300 members, 10 of longer ones.
int historySnapshots(int members);
