// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "Steps.h"

const std::vector<StepInfo> &allSteps()
{
    static const std::vector<StepInfo> steps = {
        {Step::Parse, "parse", "parse initial list (LeggiRiga+CercaGrado)", false},
        {Step::InitialImport, "import1", "initial import (table holds N)", false},
        {Step::FinalImport, "import2", "final import", false},
        {Step::InitialFloor, "floor1", "floor: 2N single-record commits", true},
        {Step::FinalFloor, "floor2", "floor: N single-record commits", true},
        {Step::FinalFloorInOrder, "floor2o", "floor: N commits, final import's order", true},
        {Step::StartUp, "startup", "start-up to first frame", false},
        {Step::GridByPoints, "grid1", "grid rebuild, click OptOrd1 (points)", false},
        {Step::ReportByPoints, "report1", "report, by points", false},
        {Step::GridByPercent, "grid0", "grid rebuild, click OptOrd0 (%)", false},
        {Step::ReportByPercent, "report0", "report, by %", false},
        {Step::InitialThroughWindows, "windows1", "initial import, OK to grid painted", false},
        {Step::FinalThroughWindows, "windows2", "final import, OK to grid painted", false},
        {Step::Snapshot, "snapshot", "history: write one snapshot of N lines", false},
        {Step::HistoryWindow, "history", "history window open, filled (S x N)", false},
        {Step::Compare, "compare", "compare 2 snapshots, Si to grid painted", false},
    };
    return steps;
}

int historySnapshots(int members)
{
    return members <= 300 ? 100 : 10;
}
