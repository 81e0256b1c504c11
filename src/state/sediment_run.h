// The mass account and run state of a sediment computation (task S): per-size counters
// (index 1..lnumber, kg unless said), the totals that the bed routines add to, and the status
// texts of the time loop. The loop resets them at its start; resetSedimentRun() puts them
// back to their start values for a new run of the program.
#pragma once

#include <string>

#include "state/table.h"

namespace qorva {

// Room for every size of a run (lnumber up to 50 in `control`).
using SizeCounters = Fixed<double, 52>;

// kIn, kUt: in through inflow groups and out through outflow groups; kSusp, kSuspo: in
// suspension now and at the start; kLayer1: in the bed layers at the start, kLayer2: the change
// of that mass since; kBedmove: the bed change per size (kg divided by density); Bvollefttot:
// mass left over by the layered-bed fraction update; kDefectRatio: relative defect (F 448);
// bedLimDef: erosion that the active layer did not have (m, negative); suspDef: reserved per
// size for the suspended-mass corrections.
inline SizeCounters kIn, kUt, kSusp, kSuspo, kLayer1, kLayer2, kBedmove, Bvollefttot,
    kDefectRatio, bedLimDef, suspDef;
// Suspended volume (m3) per size before the grid moves with the bed.
inline SizeCounters totalsusp;
// Concentration fed back into inflow group 1 in cyclic runs; -1 until set.
inline SizeCounters concBuffer;

// Run totals (kg of solids): erosion refused under a non-movable bed, the mass the
// outflow-edge cap removed, the suspended sediment the grid gained or lost when it followed the
// bed, the bed change the corners did not take (as a magnitude and signed), and the bed change
// that computeBedmove summed over the bed cells of one solution of the layered-bed solver. The
// sediment loop resets the defects at its start and reports them at its end.
inline double kLimDef = 0, SumBedMoveDef = 0, SuspVolChangeDef = 0, BedMoveDefectAbs = 0,
              BedMoveDefectSum = 0, SumBedChangeLoc = 0;

// Sum of the squared differences between measured and computed bed changes at the
// interpolation points (F 48), and its count in FlagBechInt.
inline double bechStanddev = 0;

// The end time text of the run ("Max time %lf sec.").
inline std::string mc_v2;
// 0 once a sediment computation has ended normally.
inline int gFlagSedim = 0;

// The sediment run going on: the number of its last completed time step and the time (s) at
// the end of that step. The flow result written during the run carries them, so that a restart
// from it goes on with the next step at that time.
inline int SedStepsDone = 0;
inline double SedTimeDone = 0;
// The run record of a flow result read by task R: FlagSedRestart 1 when the result was written
// by a sediment run, which ended step RestartSedStep at RestartSedTime (s). The next sediment
// run takes them over and sets FlagSedRestart back to 0.
inline int FlagSedRestart = 0, RestartSedStep = 0;
inline double RestartSedTime = 0;

void resetSedimentRun();

}  // namespace qorva
