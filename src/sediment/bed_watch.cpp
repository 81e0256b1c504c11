// A watch over the bed change of the sediment steps: the step whose bed change is large against
// the water depth (the bed then outruns the flow that drives it), an inflow column that erodes
// its inlet, and, when the flow of a step fails, where and when the bed had moved most. Reads
// Bedmove, Bcellt, Bkooi, Bkooj, Binout, Ccellt, Ckdist, Iter, stimet and F 37, F 68, F 174,
// F 255; writes warnings in boogie.
#include <algorithm>
#include <cmath>

#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f150_199.h"
#include "state/options_f250_299.h"
#include "state/status.h"

namespace qorva::sedloop {

namespace {

// The bed change of one column in one step.
struct Move {
  int step = 0;
  double time = 0;
  double dz = 0;     // m, positive = deposition
  double depth = 0;  // m of water over the column at that step
  int b = 0, i = 0, j = 0, cell = 0;
};

struct Watch {
  Move largest;          // the largest |dz| of the run so far
  int steepSteps = 0;    // steps whose bed change exceeded a tenth of the depth
  Move steepest;         // the largest of those, against the depth
  bool inletNoted = false;
};

Watch watch;

// Steps listed one by one before the rest are only counted.
constexpr int kListed = 10;
// A step's change of a column above this share of its depth is too long a step.
constexpr double kStepShare = 0.1;
// An inflow column eroding more than this share of its depth in one step scours its inlet.
constexpr double kInletShare = 0.02;

double columnDepth(int c) {
  double h = 0;
  for (int n = 0; c > 0 && n <= NoCells; ++n, c = Ccellt[c]) h += Ckdist[c];
  return 2 * h;
}

double share(const Move& m) { return std::fabs(m.dz) / std::max(m.depth, 1e-20); }

// The bed of the grid moves with the change of a step (F 255 0, 1, 3, 4, 5); otherwise the
// change is only counted.
bool bedMoves() {
  const int o = FlagBedchangeOption;
  return Hydrostatic != 2 && (o == 0 || o == 1 || o == 3 || o == 4 || o == 5);
}

bool cyclicFeed() { return FlagCyclicS >= 1; }

void steepStep(const Move& m) {
  ++watch.steepSteps;
  if (share(m) > share(watch.steepest)) watch.steepest = m;
  if (watch.steepSteps <= kListed)
    logf("Warning: in step %d the bed of column i = %d, j = %d (bed cell %d) moved %lg m, more "
         "than a tenth of its water depth of %lg m. A bed that moves this much in one step "
         "outruns the flow that moves it and grows spikes: shorten the time step (F 33), or let "
         "it follow the discharge (F 350)\n",
         m.step, m.i, m.j, m.b, m.dz, m.depth);
  if (watch.steepSteps == kListed)
    logf("Warning: further steps whose bed change exceeds a tenth of the water depth are not "
         "listed; the end of the run counts them\n");
}

void inletNote(const Move& m) {
  watch.inletNoted = true;
  logf("Note: in step %d the bed of inflow column i = %d, j = %d eroded %lg m under %lg m of "
       "water.\n",
       m.step, m.i, m.j, -m.dz, m.depth);
  if (cyclicFeed()) {
    logf("The feed of F 174 takes the concentration profile of the outflow, which at the start "
         "of a run, or while the outflow is not in equilibrium, brings too little next to the "
         "bed: start from a suspension in equilibrium (task O with con2res) and keep the time "
         "step short (F 33)\n");
    return;
  }
  logf("An inflow group brings its sediment evenly over the depth (M data sets, timei), while "
       "the bed takes the water next to it to its equilibrium concentration: the first column "
       "supplies what the feed lacks near the bed, and an inflow of even velocity gives the "
       "first columns more bed shear than the developed flow. A feed with the concentration "
       "profile of the outflow (F 174 with a second value: 7 spreads the concentration of the M "
       "data set or timei like the outflow's, 1 to 6 feed the outflow's own), the developed "
       "velocity profile at the inflow (F 174 first value, or an inflow file) and a short time "
       "step (F 33) keep the inlet bed in place\n");
}

}  // namespace

void resetBedWatch() { watch = Watch{}; }

void watchBedChange() {
  Move steep, inlet;
  for (int b = WBStart; b <= WBEnd; ++b) {
    const int c = Bcellt[b];
    const double dz = Bedmove[b];
    if (c < 1 || !(std::fabs(dz) > 0)) continue;
    const Move m{Iter, stimet, dz, columnDepth(c), b, Bkooi[b], Bkooj[b], c};
    if (std::fabs(dz) > std::fabs(watch.largest.dz)) watch.largest = m;
    if (share(m) > share(steep)) steep = m;
    if (Binout[b] > 1e-10 && dz < 0 && share(m) > share(inlet)) inlet = m;
  }
  if (!bedMoves()) return;
  if (steep.step != 0 && share(steep) > kStepShare) steepStep(steep);
  if (!watch.inletNoted && inlet.step != 0 && share(inlet) > kInletShare) inletNote(inlet);
}

void bedWatchSummary() {
  if (watch.steepSteps < 1) return;
  const Move& m = watch.steepest;
  logf("Steps whose bed change exceeded a tenth of the water depth: %d; the most, %lg m under "
       "%lg m of water, at column i = %d, j = %d in step %d\n",
       watch.steepSteps, m.dz, m.depth, m.i, m.j, m.step);
}

void reportBedAtFailure() {
  const Move& m = watch.largest;
  if (m.step == 0) {
    logf("The flow failed in step %d (%lf s) of the sediment computation, before the bed had "
         "moved\n",
         Iter, stimet);
    return;
  }
  logf("The flow failed in step %d (%lf s) of the sediment computation; the bed had moved most "
       "in step %d (%lf s): %lg m at column i = %d, j = %d (bed cell %d, bottom cell %d then), "
       "under %lg m of water\n",
       Iter, stimet, m.step, m.time, m.dz, m.i, m.j, m.b, m.cell, m.depth);
}

}  // namespace qorva::sedloop
