// The separate-builder road of the free surface (F 323 1): the algorithm of F 36 through the
// builders of the water-level equations and the node update, one routine per algorithm, the
// only road of the semi-implicit equation F 36 9; the pressure-head road (F 323 2) that moves
// block 1 by the pressure of its top cells; and the parallel shift of F 36 3. Each ends with
// the common tail. Reads the options of F 36, F 323, F 343, F 351, F 261, F 282, F 229, F 271,
// F 322, G 28, F 236, the reference state and Cpres; writes the equation rows, the water
// levels, mc_program, otime[28..30], otimeSurfsolve.
#include <omp.h>

#include <cmath>
#include <utility>

#include "solvers/solvers.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/level_equations.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {


// Moves every node of the blocks that take part by the same amount, so that the reference
// node lies at the reference level; under a mud-flow model (separate builders only) the
// surface is set flat at that level instead.
void shift(bool separate) {
  if (!onPlane(iPres, jPres)) return;
  const double zref = zval[iPres][jPres][znumber];
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0 || k.flag2D != 0 || (separate && k.thixo != 0)) continue;
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        double& z = zval[i][j][znumber];
        z = separate && FlagThixo != 0 ? GlobZRef : z + GlobZRef - zref;
        zval[i][j][znumber + 1] = z;
      }
  }
}

void mark(int k) {
  if (debugging == 'P') otime[k] = omp_get_wtime();
}

// A column without neighbours, time term or pin has no equation of its own (Cap 0): it keeps
// its level rather than take one divided by nothing.
void keepLoneColumns() {
  surf::forEachWorkedColumn([](int i, int j) {
    const int c = columnBottom(i, j);
    if (c == 0 || Cap[c] > 0) return;
    Cap[c] = 1;
    Csource[c] = Cf[c];
  });
}

void semiImplicit() {
  computeCoeffCasulli();
  if (FlagMomentSurf == 1) computeSourceCasulli();
  setSurfaceBoundary();
  if (NoWeirs > 0) computeWeirs();
  keepLoneColumns();
  mc_program = "Surface block solver";
  mark(28);
  if (BlockCasulli == 1) computeBlockCasulliMG();
  if (BlockCasulli == 2) computeBlockCasulli();
  mark(29);
  mc_program = "Surface solver";
  surfaceSolver(solverFroude != 0 ? 43 : 4);
  mark(30);
  mc_program = "End surface solver";
  if (debugging == 'D' || debugging == 'E') surfaceBugtrap(1);
  Cf[0] = 0;
  surfaceUpdate();
}

void fivePoint() {
  computeCoeffTFS4();
  for (int c = 0; c <= NoCells; ++c) Cf[c] = 0;
  surfaceSolver(4);
  if (debugging == 'D' || debugging == 'E') surfaceBugtrap(5);
  Cf[0] = 0;
  surfaceUpdate();
}

void ninePoint() {
  computeCoeffTFS7();
  setSurfaceBoundary();
  if (NoNestflater > 1 && FlagCoupledNesting == 4 && Ccoarsenest)
    for (int c = 1; c <= NoCells; ++c)
      if (const int m = Ccoarsenest[c]; m > 0) {
        Cap[c] = 1e20;
        Csource[c] = Cf[m] * 1e20;
      }
  for (int c = WCStart; c <= WCEnd; ++c) Cf[c] = 0;
  surfaceSolver(solverFroude != 0 ? 83 : 8);
  if (debugging == 'E') surfaceBugtrap(7);
  Cf[0] = 0;
  if (FlagUpdateDownwind != 0)
    surfaceUpdateDownwind();
  else
    surfaceUpdate();
  if (FlagPreventDiv != 0) surfacePreventDiv();
  computeBDeltah();
}

void eightPoint() {
  computeCoeffTFS8();
  for (int c = WCStart; c <= WCEnd; ++c) Cf[c] = 0;
  surfaceSolver(8);
  if (debugging == 'E') surfaceBugtrap(6);
  Cf[0] = 0;
  surfaceUpdate();
}

void endSteps() {
  computeTailSurf();
  if (debugging == 'P') {
    const double t = omp_get_wtime();
    logf("Surface genereation time: %lf seconds at %lf seconds\n", t - otime[72], t - otime[0]);
    otimeSurfsolve += t - otime[72];
  }
  mc_program = "End Surface ";
}

// A reference column, and an upstream one, that the pressure-head road can stand on.
void needWetReferences() {
  bool wet = columnBottom(iPres, jPres) != 0;
  if (iPres2 > 0)
    wet = wet && columnBottom(iPres2, jPres2) != 0;
  else if (NoBlocks >= 1)
    wet = wet && columnBottom(block[1].i1, block[1].j2 / 2) != 0;
  if (!wet) failf(-1, "%s", "Error, dry upstream/downstream surface3\n\n");
}

}  // namespace

void surfaceShift() { shift(false); }

void surface2() {
  {
    surf::OwnLevelField own;
    switch (FlagTFS) {
      case 0:
      case 2: computeSurfClassic(); break;
      case 3: shift(true); break;
      case 4: fivePoint(); break;
      case 5:
      case 6: surface_continuity(); break;
      case 7: ninePoint(); break;
      case 8: eightPoint(); break;
      case 9: semiImplicit(); break;
      case 10: {
        const int cR = columnBottom(iPres, jPres);
        GlobZRef -= 0.000101937 * Cpres[cR];
        surfaceAlgo10(cR, GlobZRef);
        break;
      }
      case 30: backwater(); break;
      default: break;
    }
  }
  endSteps();
}

void surface3() {
  needWetReferences();
  if (NoBlocks >= 1) {
    const GridBlock& k = block[1];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        double P = 0;
        int n = 0;
        for (const auto& [p, q] : {std::pair{i, j}, {i + 1, j}, {i, j + 1}, {i + 1, j + 1}}) {
          const int t = columnTop(p, q);
          if (t == 0) continue;
          P += Cpres[t];
          ++n;
        }
        if (n > 0) zval[i][j][znumber] += 0.1 * (P / n) / 9810;
      }
  }
  endSteps();
}

}  // namespace qorva
