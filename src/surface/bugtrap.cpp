// The debug check of the water-level equation: every column of the worked blocks whose
// coefficients or solution look wrong is logged with its values; and two routines of the same
// family that no step calls: the column-mean pressures and the downstream pin of the equation.
// Reads the level equation at the bottom cells, BFroude, Cpres, the timei series and the
// reference state; surface_solver_downstream writes Cap and Csource of the pinned rows.
#include <cmath>

#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/timeseries.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

bool sound(int c) {
  const double f = Cf[c];
  if (std::isnan(f)) return false;
  if (std::fabs(f) <= 1e-10) return true;
  return Cap[c] >= 1e-5 && Cae[c] >= -1e-10 && Caw[c] >= -1e-10 && Cas[c] >= -1e-10 &&
         Can[c] >= -1e-10 && f >= -1000 && f <= 1000;
}

double columnMeanPressure(int c) {
  double s = 0;
  int n = 0;
  downColumn(c, [&](int m) { s += Cpres[m]; ++n; });
  return n > 0 ? s / n : 0.0;
}

// Pins bottom cell c's row to the change that brings its column's top to `level`.
void pin(int c, double level) {
  if (c == 0) return;
  Cap[c] = 1e20;
  Csource[c] = (level - topFace(topOf(c))) * 1e20;
}

}  // namespace

void surfaceBugtrap(int location) {
  double sumSource = 0, sumAp = 0, sumF = 0;
  int n = 0;
  surf::forEachWorkedColumn([&](int i, int j) {
    const int c = columnBottom(i, j);
    if (c == 0 || !(Cap[c] < 1e10)) return;
    sumSource += Csource[c];
    sumAp += Cap[c];
    sumF += Cf[c];
    ++n;
  });
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    for (int c = std::max(block[b].cellstart, 1); c <= block[b].cellend && c <= NoCells; ++c) {
      if (!isBottomCell(c) || sound(c)) continue;
      logf("Warning, strange values in surface algorithm, F 36 %d, cell %d\n", FlagTFS, c);
      logf("Called from location %d\n", location);
      logf("Cap, Cae, Caw, Cas, Can, Cf, Csource = %lf %lf %lf %lf %lf %lf %lf\n", Cap[c],
           Cae[c], Caw[c], Cas[c], Can[c], Cf[c], Csource[c]);
      logf("Froude no.: %lf\n", BFroude[Cbed[c]]);
    }
  }
  if (location == 9 && debugging == 'D') {
    logf("Special data for F 369 1: \n");
    for (int b = 1; b <= 12; ++b)
      logf("Block %d, cellstart %d, cellend %d\n", b, block[b].cellstart, block[b].cellend);
    logf("\n");
  }
  const double m = n > 0 ? n : 1;  // no counted column: sums of nothing
  if (levelEquationMeanLogged())
    logf("Surface sums: Cap = %lf, Csource = %lf, Cf = %lf\n", sumAp / m, sumSource / m,
         sumF / m);
}

double surfaceNonhydro(int c1, int c2, int c3, int c4, double& fourth) {
  double s = 0;
  for (int c : {c1, c2, c3, c4})
    if (c > 0) s += columnMeanPressure(c);
  fourth = c4 > 0 ? columnMeanPressure(c4) : 0.0;
  return s;
}

void surface_solver_downstream() {
  const int ref = columnBottom(iPres, jPres);
  const bool series = TimeInNo >= 1 && TimeInHout && TimeInHinn;
  const double zd = series && TimeInHoutGiven ? timeSeriesValue(TimeInHout, stimet)
                    : onPlane(iPres, jPres)   ? zval[iPres][jPres][znumber]
                                              : 0.0;
  pin(ref, zd);
  if (jSurf != 0) {
    const double zu = series && TimeInHinnGiven ? timeSeriesValue(TimeInHinn, stimet)
                      : onPlane(iPres2, jPres2) ? zval[iPres2][jPres2][znumber]
                                                : 0.0;
    pin(columnBottom(iPres2, jPres2), zu);
  }
  for (int g : {kSurf, kSurf2}) {
    if (g < 1 || g > 9) continue;
    const DischargeGroup& grp = DischargeStruct[g];
    const int n = surf::listedSurfaces(grp);
    for (int e = 0; e < n; ++e) pin(bottomOf(surf::boundaryCell(grp.surfaceList[e])), zd);
  }
}

}  // namespace qorva
